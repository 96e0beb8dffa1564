#pragma once
// The reference club service started on 127.0.0.1 for one test, with a web client on it.
// The client's transport can drop chosen posts before they leave, so that a test can see
// what the program does when the service cannot be reached for one call.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "club_service_process.h"
#include "web/calls.h"
#include "web/curl_transport.h"

namespace trilane::testing {

// Passes everything to the real transport, except that the next `count` posts whose body
// holds `marker` fail as an unreachable service would, or reach it and lose their reply.
class DroppingTransport : public web::HttpTransport {
 public:
  explicit DroppingTransport(web::HttpTransport& inner) : inner_(inner) {}

  void DropPosts(std::string marker, int count) {
    marker_ = std::move(marker);
    count_ = count;
    deliver_ = false;
  }

  // The next `count` such posts reach the service, but their replies are lost on the way back.
  void LoseReplies(std::string marker, int count) {
    DropPosts(std::move(marker), count);
    deliver_ = true;
  }

  web::HttpReply Post(const web::HttpRequest& request) override {
    if (count_ > 0 && request.body.find(marker_) != std::string::npos) {
      --count_;
      if (deliver_) inner_.Post(request);
      return {false, 0, {}, "lost by the test"};
    }
    return inner_.Post(request);
  }
  web::HttpReply Get(const web::HttpRequest& request) override { return inner_.Get(request); }
  web::HttpReply UploadFtp(const web::FtpAccount& account, const std::string& fileName,
                           std::string_view bytes, std::chrono::milliseconds timeout) override {
    return inner_.UploadFtp(account, fileName, bytes, timeout);
  }

 private:
  web::HttpTransport& inner_;
  std::string marker_;
  int count_ = 0;
  bool deliver_ = false;
};

// The form key of the results' save (the read sends "best" alone).
inline constexpr char kSaveBestMarker[] = "crdtrilanekon=";

class AccountClub {
 public:
  AccountClub() : service_(std::make_unique<web::testing::ClubService>()) {
    auto addresses = web::AddressesUnder(service_->Url() + "/directory.txt");
    if (addresses) client_.emplace(transport_, *addresses);
  }

  bool Started() const { return !service_->Url().empty() && client_.has_value(); }
  web::WebClient& Client() { return *client_; }
  DroppingTransport& Transport() { return transport_; }
  // The service goes away; the client keeps its addresses and finds nobody there.
  void Stop() { service_.reset(); }

  // An account made straight through the call, without signing it in.
  bool Register(const std::string& nick, const std::string& password) {
    web::TQorUser user = web::ResetUser(nick, password);
    user.City = "Oslo";
    user.Country1 = "Norway";
    user.Country2 = "1-035";
    user.Sex = 'W';
    user.EMail = nick + "@example.no";
    return client_->WebRegisterUser(user) == web::RegisterResult::kCreated;
  }

 private:
  std::unique_ptr<web::testing::ClubService> service_;
  web::CurlTransport curl_;
  DroppingTransport transport_{curl_};
  std::optional<web::WebClient> client_;
};

// Skips a build without the service; a service that does not start is a failure.
#define TRILANE_START_CLUB(club)                               \
  if (!std::filesystem::exists(web::testing::kServiceProgram)) \
    GTEST_SKIP() << "no " << web::testing::kServiceProgram;    \
  AccountClub club;                                            \
  ASSERT_TRUE(club.Started()) << "the club service did not start"

}  // namespace trilane::testing
