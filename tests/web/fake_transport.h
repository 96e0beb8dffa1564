#pragma once
// A transport that records what it is asked and answers from a script of replies.

#include <deque>
#include <vector>

#include "web/http_transport.h"

namespace trilane::web::testing {

class FakeTransport : public HttpTransport {
 public:
  struct Sent {
    bool post;
    HttpRequest request;
  };

  // The next replies, in order; when none is left the exchange fails.
  void Answer(std::string body) { replies_.push_back({true, 200, std::move(body), {}}); }
  void Fail() { replies_.push_back({false, 0, {}, "refused"}); }

  HttpReply Post(const HttpRequest& r) override { return Take(true, r); }
  HttpReply Get(const HttpRequest& r) override { return Take(false, r); }
  HttpReply UploadFtp(const FtpAccount& account, const std::string& fileName,
                      std::string_view bytes, std::chrono::milliseconds) override {
    uploads.push_back({account, fileName, std::string(bytes)});
    return Take(true, HttpRequest{});
  }

  std::vector<Sent> sent;
  struct Upload {
    FtpAccount account;
    std::string fileName;
    std::string bytes;
  };
  std::vector<Upload> uploads;

 private:
  HttpReply Take(bool post, const HttpRequest& r) {
    sent.push_back({post, r});
    if (replies_.empty()) return {false, 0, {}, "no reply scripted"};
    HttpReply reply = replies_.front();
    replies_.pop_front();
    return reply;
  }
  std::deque<HttpReply> replies_;
};

}  // namespace trilane::web::testing
