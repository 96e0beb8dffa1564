#pragma once
// A player of the club service under test, calling it from its own loopback address:
// registered with a password of "pass1" and signed in.
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "web/calls.h"
#include "web/curl_transport.h"
#include "web/service_addresses.h"

namespace trilane::testing {

// A player of the club at its own loopback address.
struct ClubMember {
  ClubMember(const std::string& serviceUrl, const std::string& nick, const std::string& address)
      : nick(nick) {
    transport.SetLocalAddress(address);
    web::SetServiceOverride(serviceUrl + "/directory.txt");
    client = std::make_unique<web::WebClient>(
        transport, web::ChooseAddresses(transport, nullptr, std::chrono::milliseconds(5000)));
    web::SetServiceOverride(std::nullopt);
    web::TQorUser user = web::ResetUser(nick, "pass1");
    user.City = "Oslo";
    user.Country1 = "Norway";
    user.Country2 = "1-035";
    user.Sex = 'W';
    user.EMail = nick + "@example.no";
    user.R01 = user.R02 = user.R03 = "xxx";
    registered = client->WebRegisterUser(user) == web::RegisterResult::kCreated;
    const web::WebRead<web::TQorUser> read = client->WebReadUser(nick, "pass1");
    signedIn = read.ok;
    account = read.value;
  }
  std::string nick;
  web::CurlTransport transport;
  std::unique_ptr<web::WebClient> client;
  web::TQorUser account;
  bool registered = false;
  bool signedIn = false;
};

}  // namespace trilane::testing
