#pragma once
// A club service over a private in-memory database, driven without sockets.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "server/club_service.h"

namespace trilane::club {

inline constexpr int64_t kNow = 1'765'000'000;  // a fixed moment; days are counted from it

class ClubFixture : public ::testing::Test {
 protected:
  ClubFixture()
      : store_(MakeSqlClubStore(OpenSqlitePool(":memory:", 1))),
        hasher_(HashStrength::Fast),
        service_(std::make_unique<ClubService>(*store_, hasher_)) {}

  void UseLimits(const ServiceLimits& limits) {
    service_ = std::make_unique<ClubService>(*store_, hasher_, limits);
  }

  void SetUp() override { ASSERT_TRUE(InitCrypto()); }

  std::string Post(Script script, std::string_view body, std::string_view address = "10.0.0.1",
                   int64_t now = kNow) {
    return service_->Handle(script, body, address, now);
  }
  std::string Account(std::string_view body, std::string_view address = "10.0.0.1") {
    return Post(Script::Account, body, address);
  }

  // Registers and signs in from `address`.
  void Join(const std::string& nick, const std::string& password = "abcd",
            std::string_view address = "10.0.0.1") {
    ASSERT_EQ(Account("nick=" + nick + "&pw=" + password +
                          "&city=Oslo&country1=Norway&country2=1-035&sex=W&email=a@b.c"
                          "&dater=1.1.2000&R01=xxx&R02=xxx&R03=xxx&R04=0&R05=0&R06=0",
                      address),
              "ok");
    ASSERT_EQ(Account("nick=" + nick + "&&pw=" + password + "&&label0=0", address)[0], '$');
  }

  std::unique_ptr<ClubStore> store_;
  PasswordHasher hasher_;
  std::unique_ptr<ClubService> service_;
};

}  // namespace trilane::club
