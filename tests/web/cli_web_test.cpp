// trilane-cli web as players and scripts use it: exit codes, one-line errors, JSON results.

#include <gtest/gtest.h>

#include "../app/cli_runner.h"
#include "club_service_process.h"

namespace trilane::web {
namespace {

using test::RunCli;
using testing::ClubService;
using testing::kServiceProgram;
namespace fs = std::filesystem;

TEST(CliWeb, ListsTheCallsAndRefusesBadInput) {
  const auto list = RunCli({"web", "--list"});
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_NE(list.out.find("WebReadUser (read-user) nick=... pw=...\n"), std::string::npos);
  EXPECT_NE(list.out.find("WebTakeSeat (take-seat)"), std::string::npos);

  const std::vector<std::vector<std::string>> bad = {
      {"web"},
      {"web", "NoSuchCall"},
      {"web", "read-user", "nick=Ann"},                 // pw missing
      {"web", "read-user", "nick=Ann", "pw=x", "x=1"},  // not an argument of this call
      {"web", "read-user", "nick"},
      {"web", "rating-place", "rating=high"},
      {"web", "read-online-top", "list=q"},
      {"web", "club-members", "--service", "http:///nohost"},
      {"web", "club-members", "--bogus"},
  };
  for (const auto& args : bad) {
    const auto r = RunCli(args);
    EXPECT_EQ(r.exitCode, 2) << args.back();
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
}

TEST(CliWeb, AFailedCallExitsWithOne) {
  const std::string nowhere =
      "http://127.0.0.1:" + std::to_string(testing::FreePort()) + "/directory.txt";
  const auto r = RunCli({"web", "WEBCLUBMEMBERS", "--service", nowhere, "--json"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "{\"call\":\"WebClubMembers\",\"ok\":false,\"members\":-1}\n");
}

TEST(CliWeb, CallsTheService) {
  if (!fs::exists(kServiceProgram)) GTEST_SKIP() << "no " << kServiceProgram;
  ClubService service;
  ASSERT_FALSE(service.Url().empty());
  const std::string dir = service.Url() + "/directory.txt";
  const auto created =
      RunCli({"web", "register-user", "--service", dir, "nick=Olga", "pw=pass1", "city=Москва",
              "country1=Russia", "country2=1-001", "sex=W", "email=o@x.ru"});
  EXPECT_EQ(created.exitCode, 0) << created.out << created.err;
  EXPECT_NE(created.out.find("meaning: created\n"), std::string::npos);
  const auto again = RunCli({"web", "register-user", "--service", dir, "nick=Olga", "pw=pass1",
                             "city=Oslo", "country1=Russia", "email=o@x.ru"});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_NE(again.out.find("meaning: nick taken\n"), std::string::npos);

  const auto read =
      RunCli({"web", "read-user", "--service", dir, "nick=Olga", "pw=pass1", "--json"});
  EXPECT_EQ(read.exitCode, 0);
  EXPECT_EQ(read.out.rfind("{\"call\":\"WebReadUser\",\"ok\":true,\"Nick\":\"Olga\",", 0), 0u)
      << read.out;
  EXPECT_NE(read.out.find("\"City\":\"Москва\""), std::string::npos) << read.out;

  const auto tables = RunCli({"web", "read-tables", "--service", dir});
  EXPECT_EQ(tables.exitCode, 0);
  EXPECT_NE(tables.out.find("  10. IP=127.0.0.1"), std::string::npos) << tables.out;
}

}  // namespace
}  // namespace trilane::web
