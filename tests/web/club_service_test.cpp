// Every call of the web layer against the reference club service, started on a free port with
// an empty data folder. A build with the service runs it; a missing program is a failure.

#include <gtest/gtest.h>

#include <thread>

#include "club_service_process.h"
#include "web/calls.h"
#include "web/curl_transport.h"

namespace trilane::web {
namespace {

using testing::ClubService;
using testing::kServiceProgram;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

TEST(ClubServiceTest, EveryCallAgainstTheReferenceService) {
#ifndef TRILANE_CLUB_SERVICE_BUILT
  GTEST_SKIP() << "this build has no club service";
#endif
  ASSERT_TRUE(fs::exists(kServiceProgram)) << "no " << kServiceProgram;
  ClubService service;
  ASSERT_FALSE(service.Url().empty()) << "the service did not start";

  CurlTransport transport;
  SetServiceOverride(service.Url() + "/directory.txt");
  const ServiceAddresses addresses = ChooseAddresses(transport, nullptr, 5000ms);
  SetServiceOverride(std::nullopt);
  // The directory names the scripts, enciphered; this proves both sides use the same keys.
  EXPECT_EQ(addresses.accountScript, service.Url() + "/scripts/account");
  EXPECT_EQ(addresses.statsScript, service.Url() + "/scripts/stats");
  EXPECT_EQ(addresses.worldTopScript, service.Url() + "/scripts/worldtop");
  EXPECT_TRUE(addresses.worldTopAvailable);
  EXPECT_TRUE(addresses.chatAvailable);
  WebClient client(transport, addresses);

  // Accounts.
  EXPECT_EQ(client.WebClubMembers().value, 0);
  TQorUser ann = ResetUser("Ann", "abcd1");
  ann.City = "Oslo";
  ann.Country1 = "Norway";
  ann.Country2 = "1-035";
  ann.Sex = 'W';
  ann.EMail = "ann@example.no";
  ann.R01 = ann.R02 = ann.R03 = "xxx";
  EXPECT_EQ(client.WebRegisterUser(ann), RegisterResult::kCreated);
  EXPECT_EQ(client.WebRegisterUser(ann), RegisterResult::kNickTaken);
  TQorUser bob = ann;
  bob.Nick = "Bob";
  bob.City = "\xCA\xE8\xE5\xE2";  // "Киев": a city may hold Cyrillic letters
  bob.Country1 = "Ukraine";
  bob.Country2 = "1-046";
  bob.Sex = 'M';
  EXPECT_EQ(client.WebRegisterUser(bob), RegisterResult::kCreated);
  EXPECT_EQ(client.WebClubMembers().value, 2);

  const auto signedIn = client.WebReadUser("Ann", "abcd1");
  ASSERT_TRUE(signedIn.ok);
  EXPECT_EQ(signedIn.value.City, "Oslo");
  EXPECT_EQ(signedIn.value.Country2, "1-035");
  EXPECT_EQ(signedIn.value.Sex, 'W');
  EXPECT_EQ(signedIn.value.EMail, "ann@example.no");
  EXPECT_FALSE(client.WebReadUser("Ann", "wrong1").ok);

  // A rated match: the pre-charge, then the booking of a match score of 12.
  auto best = client.WebReadBest("Ann", "abcd1");
  ASSERT_TRUE(best.ok);
  EXPECT_EQ(best.value.Kon, 0);
  TQorGame game = best.value;
  game.Kon = 4;
  game.Rating = (0 - 40.0) / 4 + 4 / 80.0;  // -9.95
  game.KonL = 0;
  game.Score = 0;
  EXPECT_TRUE(client.WebSaveBest("Ann", "abcd1", game));
  best = client.WebReadBest("Ann", "abcd1");
  ASSERT_TRUE(best.ok);
  EXPECT_EQ(best.value.Kon, 4);
  EXPECT_NEAR(best.value.Rating, -9.95, 1e-9);
  game = best.value;
  game.Rating = 4 / 80.0 + (40 + 4 * (game.Rating - 4 / 80.0) + 12) / 4;  // 3.05
  game.KonL = 4;
  game.Score = 12;
  EXPECT_TRUE(client.WebSaveBest("Ann", "abcd1", game));
  best = client.WebReadBest("Ann", "abcd1");
  EXPECT_NEAR(best.value.Rating, 3.05, 1e-9);
  EXPECT_EQ(best.value.KonL, 4);
  EXPECT_EQ(best.value.Score, 12);
  EXPECT_FALSE(client.WebSaveBest("Ann", "wrong1", game));

  EXPECT_EQ(client.WebRatingPlace(3.05).value, 1);
  const auto top = client.WebReadTopTen();
  ASSERT_TRUE(top.ok);
  EXPECT_EQ(top.value[0].Nick, "Ann");
  EXPECT_EQ(top.value[0].Country, "1-035");
  EXPECT_NEAR(top.value[0].Rating, 3.05, 1e-9);

  // Qors and the profile.
  const auto qors = client.WebReadQors("Ann");
  EXPECT_TRUE(qors.ok);
  EXPECT_EQ(qors.value, 0);
  EXPECT_FALSE(client.WebReadQors("Nobody").ok);
  EXPECT_FALSE(client.WebSaveQors("Ann", -5));  // more than the balance
  TInfo14 info;
  info.Name1 = "Ann";
  info.Name2 = "Larsen";
  info.About = "I know every card";
  info.WebSite = "ann.example.no";
  EXPECT_TRUE(client.WebSaveInfo("Ann", info));
  const auto profile = client.WebReadInfo("Ann");
  ASSERT_TRUE(profile.ok);
  EXPECT_EQ(profile.value, info);

  // World tables and the message board.
  EXPECT_EQ(client.WebSaveRecord(814, "Ann", "Oslo", "1-035", 120, "W", "#", "#").value, 1);
  EXPECT_EQ(client.WebSaveRecord(814, "Bob", bob.City, "1-046", 80, "M", "#", "#").value, 2);
  const auto records = client.WebReadRecords(814);
  ASSERT_TRUE(records.ok);
  EXPECT_EQ(records.value[0].Nick, "Ann");
  EXPECT_EQ(records.value[0].Score, 120);
  EXPECT_EQ(records.value[1].City, bob.City);
  EXPECT_EQ(records.value[2].Nick, "#");
  EXPECT_EQ(client.WebRecordCount(814).value, 2);
  const auto mine = client.WebReadMyRecords(814, "Bob", bob.City);
  ASSERT_TRUE(mine.ok);
  EXPECT_EQ(mine.value[0].Nick, "Bob");
  EXPECT_EQ(mine.value[0].Place, 2);
  const auto posted = client.WebSaveRecord(100, "Ann", "Oslo", "1-035", 1, "W",
                                           "12:00_10.12.2026_Trilane", "Hello_all!");
  ASSERT_TRUE(posted.ok);
  const auto board = client.WebReadRecords(100);
  ASSERT_TRUE(board.ok);
  EXPECT_EQ(board.value[0].R10, "Hello_all!");
  EXPECT_EQ(board.value[0].R08, "5.7f");

  // Statistics.
  EXPECT_TRUE(client.WebCountStart(814, 1, 1));
  EXPECT_TRUE(client.WebSaveGameStats(814, {8, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(client.WebLike(814, 1, "Ann"));
  const auto stats = client.WebReadStats();
  ASSERT_TRUE(stats.ok);
  EXPECT_EQ(stats.value.Stat1, 1);
  EXPECT_EQ(stats.value.Stat2, 1);
  EXPECT_EQ(stats.value.Stat3, 1);
  EXPECT_EQ(stats.value.Stat4, "Ann");
  EXPECT_EQ(stats.value.StatX[0], 8);
  EXPECT_EQ(stats.value.StatX[3], 12);

  // The tournament: server state, tables, seats, ratings.
  const auto server = client.WebReadServerInfo();
  ASSERT_TRUE(server.ok);
  EXPECT_EQ(server.value.state, 'Y');
  auto tables = client.WebReadTables();
  ASSERT_TRUE(tables.ok);
  EXPECT_EQ(tables.value[0].IP, "127.0.0.1");
  EXPECT_GT(tables.value[0].Port, 0);
  EXPECT_EQ(tables.value[9].Port, tables.value[0].Port + 9);
  TQorClient seat;
  seat.Nick = "Ann";
  seat.City = "Oslo";
  seat.Country = "Norway";
  seat.Sex = 'W';
  seat.IP = "127.0.0.1";
  EXPECT_EQ(client.WebTakeSeat("4", 94, 1, 1, seat, 1), SeatResult::kTaken);
  TQorClient bobSeat = seat;
  bobSeat.Nick = "Bob";
  EXPECT_EQ(client.WebTakeSeat("4", 94, 1, 1, bobSeat, 1), SeatResult::kAlreadyHeld);
  EXPECT_EQ(client.WebReadSeat(1, 94, 1).value.Nick, "Ann");
  tables = client.WebReadTables();
  EXPECT_EQ(tables.value[0].Seats[0].Nick, "Ann");
  EXPECT_EQ(tables.value[0].Seats[1].Nick, "X");
  EXPECT_EQ(client.WebTakeSeat("4", 94, 1, 2, FreeSeat(), 1), SeatResult::kTaken);
  EXPECT_EQ(client.WebReadSeat(1, 94, 1).value.Nick, "X");
  const auto rating = client.WebReadRating(94, "Ann");
  ASSERT_TRUE(rating.ok);
  EXPECT_EQ(rating.value.Score, 0);
  EXPECT_TRUE(client.WebReadOnlineTop('s').ok);
  EXPECT_TRUE(client.WebOnlinePlace('s', 94, 0).ok);

  // Plain fetches: the address echo, an add-on, and a photo through the FTP upload.
  EXPECT_EQ(client.WebOwnAddress(), "127.0.0.1");
  EXPECT_EQ(client.DownloadAddon("QorCards06A.dll"), "MZ add-on");
  EXPECT_EQ(client.DownloadAddon("QorMissing.dll"), std::nullopt);
  EXPECT_EQ(client.WebLoadAvatar("Ann"), std::nullopt);
  ServiceAddresses withFtp = client.Addresses();
  withFtp.photoUpload.port = service.FtpPort();
  client.SetAddresses(withFtp);
  const std::string jpeg = std::string("\xFF\xD8\xFF\xE0", 4) + std::string(600, 'j') + "\xFF\xD9";
  bool uploaded = false;
  for (int attempt = 0; attempt < 50 && !uploaded; ++attempt) {  // the FTP server starts aside
    uploaded = client.UploadPhoto("Ann", jpeg);
    if (!uploaded) std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(uploaded) << "the photo upload of the service took no photo";
  EXPECT_EQ(client.WebLoadAvatar("Ann"), jpeg);

  // Bob signs in last: from then on two nicks have signed in at this address, and the calls
  // without a password are refused for both of them.
  const auto bobIn = client.WebReadUser("Bob", "abcd1");
  ASSERT_TRUE(bobIn.ok);
  EXPECT_EQ(bobIn.value.City, bob.City);
  EXPECT_FALSE(client.WebSaveInfo("Ann", info));
}

}  // namespace
}  // namespace trilane::web
