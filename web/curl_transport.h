#pragma once
// The program's HTTP and FTP client: libcurl, synchronous, one connection handle for the life
// of the transport (so cookies and kept-alive connections are shared by every call).
//
// Time-outs: connecting may take at most 5 s, and the request's read time-out bounds every
// wait, the connection included: when no byte has moved for that long the exchange ends as a
// failure. A peer that sends one byte now and then never lets the read time-out run out, so a
// whole call also ends, as a failure, once it has taken kOverallMargin longer than its read
// time-out. The web client decides the read time-out (web/calls.h).

#include <chrono>
#include <memory>
#include <string>

#include "web/http_transport.h"

namespace trilane::web {

class CurlTransport : public HttpTransport {
 public:
  static constexpr std::chrono::milliseconds kConnectTimeout{5000};
  static constexpr std::chrono::milliseconds kOverallMargin{5000};

  CurlTransport();
  ~CurlTransport() override;
  CurlTransport(const CurlTransport&) = delete;
  CurlTransport& operator=(const CurlTransport&) = delete;

  // Calls leave from this local address (several players at one machine, each with an
  // address of its own); empty: the system chooses.
  void SetLocalAddress(const std::string& address);

  HttpReply Post(const HttpRequest& request) override;
  HttpReply Get(const HttpRequest& request) override;
  HttpReply UploadFtp(const FtpAccount& account, const std::string& fileName,
                      std::string_view bytes, std::chrono::milliseconds readTimeout) override;

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
};

}  // namespace trilane::web
