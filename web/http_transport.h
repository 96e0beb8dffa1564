#pragma once
// What the web calls need from an HTTP and FTP client. The program's transport is libcurl
// (web/curl_transport.h); tests hand in their own.

#include <chrono>
#include <string>
#include <string_view>

#include "web/request.h"

namespace trilane::web {

// The outcome of one exchange. `ok` is true only when the exchange completed and, for HTTP,
// the status was 2xx; `error` then says what went wrong, for messages and logs of the caller.
struct HttpReply {
  bool ok = false;
  long status = 0;
  std::string body;
  std::string error;
};

// Where account photos are stored.
struct FtpAccount {
  std::string host;
  int port = 21;
  std::string user;
  std::string password;
  std::string folder;  // on the server, e.g. "/photos"
  bool operator==(const FtpAccount&) const = default;
};

class HttpTransport {
 public:
  virtual ~HttpTransport() = default;
  // A form post: the request's headers and body, synchronously.
  virtual HttpReply Post(const HttpRequest& request) = 0;
  // A plain GET with no headers of ours (the request's headers are ignored).
  virtual HttpReply Get(const HttpRequest& request) = 0;
  // Stores `bytes` as `fileName` in the account's folder, in passive mode.
  virtual HttpReply UploadFtp(const FtpAccount& account, const std::string& fileName,
                              std::string_view bytes, std::chrono::milliseconds readTimeout) = 0;
};

}  // namespace trilane::web
