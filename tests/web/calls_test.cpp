// The call table: what each call sends, and what it makes of the replies.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "fake_transport.h"
#include "web/calls.h"

namespace trilane::web {
namespace {

using testing::FakeTransport;
using namespace std::chrono_literals;

ServiceAddresses TestAddresses() {
  ServiceAddresses a = *AddressesUnder("http://svc:1/directory.txt");
  return a;
}

struct Fixture : ::testing::Test {
  FakeTransport transport;
  WebClient client{transport, TestAddresses()};
  const std::string& LastBody() { return transport.sent.back().request.body; }
  const std::string& LastUrl() { return transport.sent.back().request.url; }
};

using WebCalls = Fixture;

TEST_F(WebCalls, EveryCallSendsItsFormToItsScript) {
  TQorUser u = ResetUser("Ann", "pw12");
  u.City = "Oslo";
  u.Country1 = "Norway";
  u.Country2 = "1-035";
  u.Sex = 'W';
  u.EMail = "a@b.no";
  u.DateR = "01.02.2026";
  u.R01 = u.R02 = u.R03 = "xxx";
  TQorGame g;
  g.Kon = 4;
  g.Best = 30;
  g.Rating = -9.95;
  g.Sessions = 1;
  g.KonL = 8;
  g.Score = -12;
  g.R1 = 0;
  g.R2 = "#";
  TInfo14 info;
  info.Name1 = "Ann";
  info.About = "I like cards";
  TQorClient seat;
  seat.Nick = "Ann";
  seat.Score = 5;
  seat.Kon = 8;
  seat.Rating = 3;
  seat.Country = "1-035";
  seat.City = "Oslo";
  seat.Sex = 'W';
  seat.IP = "10.0.0.1";

  struct Case {
    std::function<void()> call;
    const char* url;  // after "http://svc:1"
    std::string body;
  };
  const std::vector<Case> cases = {
      {[&] { client.WebRegisterUser(u); }, "/scripts/account",
       "nick=Ann&pw=pw12&city=Oslo&country1=Norway&country2=1-035&sex=W&email=a@b.no&"
       "dater=01.02.2026&R01=xxx&R02=xxx&R03=xxx&R04=0&R05=0&R06=0"},
      {[&] { client.WebReadUser("Ann", "pw12"); }, "/scripts/account",
       "nick=Ann&&pw=pw12&&label0=0"},
      {[&] { client.WebReadTopTen(); }, "/scripts/account", "crdtrilanekon=0"},
      {[&] { client.WebRatingPlace(3.05); }, "/scripts/account", "crdtrilanerating=3.05"},
      {[&] { client.WebClubMembers(); }, "/scripts/account", "label1=0"},
      {[&] { client.WebReadQors("Ann"); }, "/scripts/account", "nick=Ann&&labelqorread=0"},
      {[&] { client.WebSaveQors("Bob", -25); }, "/scripts/account",
       "nick=Bob&labelqorsave=0&R04=-25"},
      {[&] { client.WebReadInfo("Ann"); }, "/scripts/account", "nick=Ann&&labelinforead=0"},
      {[&] { client.WebSaveInfo("Ann", info); }, "/scripts/account",
       "nick=Ann&labelinfosave=0&namei=Ann&name2=&about=I like cards&telephone=&emailo=&"
       "website=&skype=&ok=&vk=&telegram=&facebook=&twitter=&instagramm=&youtube="},
      {[&] { client.WebReadBest("Ann", "pw12"); }, "/scripts/account",
       "nick=Ann&&pw=pw12&&crdtrilanebest=0"},
      {[&] { client.WebSaveBest("Ann", "pw12", g); }, "/scripts/account",
       "nick=Ann&pw=pw12&crdtrilanekon=4&crdtrilanebest=30&crdtrilanerating=-9.95&"
       "crdtrilaneses=1&crdtrilanekonl=8&crdtrilanescore=-12&crdtrilaneR1=0&crdtrilaneR2=#"},
      {[&] { client.WebRecordCount(1114); }, "/scripts/worldtop", "rgid=1114"},
      {[&] { client.WebReadRecords(814); }, "/scripts/worldtop", "gid=814"},
      {[&] { client.WebReadMyRecords(914, "Ann", "Oslo"); }, "/scripts/worldtop",
       "gid=914&nick=Ann&city=Oslo"},
      {[&] {
         client.WebSaveRecord(100, "Ann", "Oslo", "1-035", 7, "W", "12:00_01.02.2026_T", "Hi");
       },
       "/scripts/worldtop",
       "gid=100&nick=Ann&city=Oslo&country=1-035&score=7&R7=W&R8=5.7f&R9=12:00_01.02.2026_T&"
       "R10=Hi*"},
      {[&] { client.WebReadTables(); }, "/scripts/tourney", "readtable410=94&&gid=94"},
      {[&] { client.WebTakeSeat("4", 94, 3, 1, seat, 2); }, "/scripts/tourney",
       "client4on2=0&gid=94&num=3&can=1&nick2=Ann&score2=5&kon2=8&rating2=3&country2=1-035&"
       "city2=Oslo&sex2=W&ip2=10.0.0.1"},
      {[&] { client.WebTakeSeat("", 94, 1, 0, FreeSeat(), 1); }, "/scripts/tourney",
       "clienton1=0&gid=94&num=1&can=0&nick1=X&score1=0&kon1=0&rating1=0&country1=X&city1=X&"
       "sex1=M&ip1=X"},
      {[&] { client.WebReadSeat(3, 94, 7); }, "/scripts/tourney", "readclient3=0&&gid=94&&num=7"},
      {[&] { client.WebReadServerInfo(); }, "/scripts/tourney", "serverinforead=0&&gid=94"},
      {[&] { client.WebReadRating(94, "Ann"); }, "/scripts/tourney", "readrating94=0&nick=Ann"},
      {[&] { client.WebReadOnlineTop('r'); }, "/scripts/tourney", "top10r94=0&&nick=z"},
      {[&] { client.WebOnlinePlace('s', 94, 15); }, "/scripts/tourney", "places94=0&score1=15"},
      {[&] { client.WebOnlinePlace('r', 94, 3); }, "/scripts/tourney", "placer94=0&rating1=3"},
      {[&] { client.WebOnlinePlace('k', 94, 40); }, "/scripts/tourney", "placek94=0&kon1=40"},
      {[&] { client.WebReadStats(); }, "/scripts/stats", "gid=814"},
      {[&] { client.WebCountStart(814, 1, 1); }, "/scripts/stats", "gid=814&stat1=1&stat2=1"},
      {[&] { client.WebLike(814, 1, "Ann"); }, "/scripts/stats", "gid=814&stat3=1&stat4=Ann"},
      {[&] {
         client.WebSaveGameStats(814, {8, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0, 0});
       },
       "/scripts/stats", "gid=814&R1=8&R2=0&R3=0&R4=12&R5=0&R6=0&R7=0&R8=0&R9=0&R10=0&R11=0&R12=0"},
  };
  for (const Case& c : cases) {
    const size_t before = transport.sent.size();
    c.call();
    ASSERT_EQ(transport.sent.size(), before + 1) << c.body;
    const auto& sent = transport.sent.back();
    EXPECT_TRUE(sent.post);
    EXPECT_EQ(sent.request.url, std::string("http://svc:1") + c.url) << c.body;
    EXPECT_EQ(sent.request.body, c.body);
    EXPECT_EQ(sent.request.headers.at(0), "User-Agent: MosaicTurnKey");
  }
}

TEST_F(WebCalls, GetsGoToTheFoldersWithoutTheToken) {
  transport.Answer("JPEG");
  EXPECT_EQ(client.WebLoadAvatar("Ann"), "JPEG");
  EXPECT_FALSE(transport.sent.back().post);
  EXPECT_EQ(LastUrl(), "http://svc:1/photos/Ann.jpg");
  EXPECT_TRUE(transport.sent.back().request.headers.empty());

  transport.Answer(" 192.0.2.7\r\n");
  EXPECT_EQ(client.WebOwnAddress(), "192.0.2.7");
  EXPECT_EQ(LastUrl(), "http://svc:1/scripts/myip");
  transport.Answer("<html>oops</html>");
  EXPECT_EQ(client.WebOwnAddress(), std::nullopt);

  transport.Answer("MZ");
  EXPECT_EQ(client.DownloadAddon("QorCards06A.dll"), "MZ");
  EXPECT_EQ(LastUrl(), "http://svc:1/downloads/progr/cards/QorCards06A.dll");
  EXPECT_EQ(client.DownloadAddon("../etc/passwd"), std::nullopt);

  transport.Answer("");
  EXPECT_TRUE(client.UploadPhoto("Ann", "jpegbytes"));
  ASSERT_EQ(transport.uploads.size(), 1u);
  EXPECT_EQ(transport.uploads[0].fileName, "Ann.jpg");
  EXPECT_EQ(transport.uploads[0].bytes, "jpegbytes");
  EXPECT_EQ(transport.uploads[0].account.host, "svc");
}

TEST_F(WebCalls, FailedExchangesGiveTheFailureValues) {
  // Nothing is scripted: every exchange fails.
  EXPECT_EQ(client.WebRegisterUser(ResetUser("a", "b")), RegisterResult::kFailed);
  EXPECT_EQ(client.WebTakeSeat("4", 94, 1, 1, FreeSeat(), 1), SeatResult::kFailed);
  const auto place = client.WebRatingPlace(1);
  EXPECT_FALSE(place.ok);
  EXPECT_EQ(place.value, -1);
  EXPECT_EQ(client.WebClubMembers().value, -1);
  EXPECT_EQ(client.WebSaveRecord(814, "a", "b", "c", 1, "M", "#", "#").value, -1);
  EXPECT_EQ(client.WebOnlinePlace('s', 94, 1).value, -1);
  EXPECT_EQ(client.WebReadRating(94, "a").value.Score, -1);
  EXPECT_FALSE(client.WebReadQors("a").ok);
  EXPECT_FALSE(client.WebSaveQors("a", 1));
  EXPECT_FALSE(client.WebCountStart(814, 1, 0));
  EXPECT_FALSE(client.WebReadStats().ok);
  const auto user = client.WebReadUser("Ann", "pw");
  EXPECT_FALSE(user.ok);
  EXPECT_EQ(user.value, ResetUser("Ann", "pw"));
  EXPECT_EQ(client.WebLoadAvatar("Ann"), std::nullopt);
}

TEST_F(WebCalls, MarkerReplies) {
  struct Case {
    const char* reply;
    RegisterResult registered;
    SeatResult seat;
    bool saved;  // a FindMarker "ok" save
  };
  const Case cases[] = {
      {"$ ok#", RegisterResult::kCreated, SeatResult::kTaken, true},
      {"ok, but the nick is taken", RegisterResult::kNickTaken, SeatResult::kAlreadyHeld, true},
      {"$ error#", RegisterResult::kFailed, SeatResult::kFailed, false},
      {"", RegisterResult::kFailed, SeatResult::kFailed, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseRegisterReply(c.reply), c.registered) << c.reply;
    EXPECT_EQ(ParseTakeSeatReply(c.reply), c.seat) << c.reply;
    transport.Answer(c.reply);
    EXPECT_EQ(client.WebSaveQors("a", 1), c.saved) << c.reply;
  }
}

TEST_F(WebCalls, SignInReadsTheRecordOrIsRefused) {
  transport.Answer("$Oslo Norway 1-035 Woman a@b.no 01.02.2026 xxx xxx xxx 120 0 0$");
  auto user = client.WebReadUser("Ann", "pw12");
  ASSERT_TRUE(user.ok);
  EXPECT_EQ(user.value.Nick, "Ann");
  EXPECT_EQ(user.value.Pw, "pw12");
  EXPECT_EQ(user.value.City, "Oslo");
  EXPECT_EQ(user.value.Country2, "1-035");
  EXPECT_EQ(user.value.Sex, 'W');
  EXPECT_EQ(user.value.DateR, "01.02.2026");
  EXPECT_EQ(user.value.R04, 120);

  transport.Answer("no");
  EXPECT_FALSE(client.WebReadUser("Ann", "bad").ok);
  // "no" inside the record is part of a player's text, not a refusal.
  transport.Answer("$Sosnovy_Bor Russia 1-001 M nobody@x.ru 01.02.2026 xxx xxx xxx 0 0 0$");
  EXPECT_TRUE(client.WebReadUser("Ann", "pw12").ok);
  // A reply without a record is no sign-in.
  transport.Answer("<html>maintenance</html>");
  EXPECT_FALSE(client.WebReadUser("Ann", "pw12").ok);
  // A malformed number stops the read; the fields before it are kept.
  transport.Answer("$Oslo Norway 1-035 W a@b.no 01.02.2026 xxx xxx xxx 12x 0 0$");
  user = client.WebReadUser("Ann", "pw12");
  EXPECT_FALSE(user.ok);
  EXPECT_EQ(user.value.R03, "xxx");
  EXPECT_EQ(user.value.R04, 0);
}

TEST_F(WebCalls, TopTenAnyDecimalSeparator) {
  transport.Answer("$1 Ann Oslo Norway Norway F 1234.5*$2 Bob Kyiv Ukraine Ukraine M 3,05*$");
  const auto top = client.WebReadTopTen();
  ASSERT_TRUE(top.ok);
  EXPECT_EQ(top.value[0].Nick, "Ann");
  EXPECT_EQ(top.value[0].City, "Oslo");
  EXPECT_EQ(top.value[0].Country, "Norway");
  EXPECT_EQ(top.value[0].Sex, 'F');
  EXPECT_DOUBLE_EQ(top.value[0].Rating, 1234.5);
  EXPECT_DOUBLE_EQ(top.value[1].Rating, 3.05);
  EXPECT_EQ(top.value[2], TQorTop10{});

  transport.Answer("nothing yet");
  EXPECT_TRUE(client.WebReadTopTen().ok);  // an empty table
  transport.Answer("$1 Ann Oslo Norway Norway F abc*$");
  EXPECT_FALSE(client.WebReadTopTen().ok);
}

TEST_F(WebCalls, QorsAndProfile) {
  transport.Answer("$250$");
  EXPECT_EQ(client.WebReadQors("Ann").value, 250);
  transport.Answer("no such nick");
  const auto refused = client.WebReadQors("X");
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.value, 0);

  transport.Answer("$John~Smith~I know cards~+1 555~j@s.com~site~sky~ok~vk~tg~fb~tw~in~yt$");
  const auto info = client.WebReadInfo("John");
  ASSERT_TRUE(info.ok);
  EXPECT_EQ(info.value.Name2, "Smith");
  EXPECT_EQ(info.value.About, "I know cards");
  EXPECT_EQ(info.value.WebSite, "site");
  EXPECT_EQ(info.value.Skype, "sky");
  EXPECT_EQ(info.value.YouTube, "yt");
  transport.Answer("no");
  EXPECT_FALSE(client.WebReadInfo("Nobody").ok);
}

// The service's "#" marks a text never filled in; only a field that is exactly the mark is empty.
TEST(WebRecords, UnfilledFieldShowsEmpty) {
  struct Case {
    std::string_view field;
    std::string_view shown;
  };
  for (const Case& c : {Case{"#", ""}, Case{"", ""}, Case{"Oslo", "Oslo"}, Case{"##", "##"},
                        Case{"#1", "#1"}, Case{" #", " #"}}) {
    EXPECT_EQ(ShownField(c.field), c.shown) << c.field;
    EXPECT_EQ(IsEmptyNick(c.field), c.shown.empty()) << c.field;
  }
  // A list read over a short reply keeps the reset entries, and they hold nobody.
  EXPECT_TRUE(IsEmptyNick(EmptyRecord(814).Nick));
  EXPECT_EQ(ShownField(EmptyRecord(814).City), "");
}

TEST_F(WebCalls, BestResultsReadOverAReset) {
  TQorGame previous;
  previous.Kon = 99;
  previous.Best = 77;
  previous.KonL = 12;
  previous.PlayNow = 'Y';
  transport.Answer("$8 40 3,05 2 16 -12 0 #$");
  auto best = client.WebReadBest("Ann", "pw12", previous);
  ASSERT_TRUE(best.ok);
  EXPECT_EQ(best.value.Kon, 8);
  EXPECT_EQ(best.value.Best, 40);
  EXPECT_DOUBLE_EQ(best.value.Rating, 3.05);
  EXPECT_EQ(best.value.Sessions, 2);
  EXPECT_EQ(best.value.KonL, 16);
  EXPECT_EQ(best.value.Score, -12);
  EXPECT_EQ(best.value.PlayNow, 'N');

  // No record: not a success, or a pre-charge would be built from zeros over the real results.
  transport.Answer("error");
  best = client.WebReadBest("Ann", "pw12", previous);
  EXPECT_FALSE(best.ok);
  EXPECT_EQ(best.value.Kon, 0);
  EXPECT_EQ(best.value.Best, 77);  // not part of the reset
}

TEST_F(WebCalls, WorldTablesAndBoard) {
  transport.Answer("$1 0 120 Ann 1-035 Oslo W 5.7f # #*$2 0 80 Bob 1-046 Kyiv M 5.7f # #*$");
  const auto records = client.WebReadRecords(814);
  ASSERT_TRUE(records.ok);
  EXPECT_EQ(records.value[0].Place, 1);
  EXPECT_EQ(records.value[0].Score, 120);
  EXPECT_EQ(records.value[0].Nick, "Ann");
  EXPECT_EQ(records.value[0].Country, "1-035");
  EXPECT_EQ(records.value[0].City, "Oslo");
  EXPECT_EQ(records.value[0].R07, "W");
  EXPECT_EQ(records.value[1].Nick, "Bob");
  EXPECT_EQ(records.value[2].Nick, "#");  // empty
  EXPECT_EQ(records.value[2].GID, 814);
  EXPECT_EQ(records.value[2].R10, "#*");

  transport.Answer("$3$");
  EXPECT_EQ(client.WebSaveRecord(814, "Ann", "Oslo", "1-035", 120, "W", "#", "#").value, 3);
  transport.Answer("$42$");
  EXPECT_EQ(client.WebRecordCount(814).value, 42);
}

TEST_F(WebCalls, TablesFillFromTheLast) {
  std::string reply;
  for (int t = 10; t >= 1; --t) {
    reply += "$x 10.0.0." + std::to_string(t) + " " + std::to_string(25000 + t) + " F 0 X";
    for (int s = 1; s <= 4; ++s) {
      reply += t == 1 && s == 1 ? " Ann 5 8 3 1-035 Oslo W 10.1.1.1" : " X 0 0 0 X X M X";
    }
    reply += "*";
  }
  reply += "$";
  transport.Answer(reply);
  const auto tables = client.WebReadTables();
  ASSERT_TRUE(tables.ok);
  EXPECT_EQ(tables.value[0].IP, "10.0.0.1");
  EXPECT_EQ(tables.value[0].Port, 25001);
  EXPECT_EQ(tables.value[0].Seats[0].Nick, "Ann");
  EXPECT_EQ(tables.value[0].Seats[0].Rating, 3);
  EXPECT_EQ(tables.value[0].Seats[0].Sex, 'W');
  EXPECT_EQ(tables.value[0].Seats[0].IP, "10.1.1.1");
  EXPECT_EQ(tables.value[0].Seats[1].Nick, "X");
  EXPECT_EQ(tables.value[9].Port, 25010);
  EXPECT_EQ(client.LastReply(), reply);

  transport.Answer("$x 10.0.0.1 port*$");
  const auto broken = client.WebReadTables();
  EXPECT_FALSE(broken.ok);
  EXPECT_EQ(broken.value[9].IP, "10.0.0.1");  // stored before the bad port
  EXPECT_EQ(broken.value[0], EmptyTable());
}

TEST_F(WebCalls, SeatServerAndRating) {
  transport.Answer("$Ann 5 8 3 1-035 Oslo Woman 10.1.1.1$");
  const auto seat = client.WebReadSeat(1, 94, 1);
  ASSERT_TRUE(seat.ok);
  EXPECT_EQ(seat.value.IP, "10.1.1.1");
  EXPECT_EQ(seat.value.Sex, 'W');

  transport.Answer("$Y Welcome_to_the_club$");
  const auto server = client.WebReadServerInfo();
  ASSERT_TRUE(server.ok);
  EXPECT_EQ(server.value.state, 'Y');
  EXPECT_EQ(server.value.text, "Welcome_to_the_club");
  transport.Answer("closed");
  EXPECT_EQ(client.WebReadServerInfo().value.state, 'X');

  transport.Answer("$15 8 3$");
  const auto rating = client.WebReadRating(94, "Ann");
  ASSERT_TRUE(rating.ok);
  EXPECT_EQ(rating.value, (OnlineRating{15, 8, 3}));

  transport.Answer("$1 Ann Oslo 1-035 W 15*$");
  const auto top = client.WebReadOnlineTop('s');
  ASSERT_TRUE(top.ok);
  EXPECT_EQ(top.value[0].Score, 15);
  EXPECT_EQ(top.value[0].City, "Oslo");
}

TEST_F(WebCalls, StatisticsRecord) {
  transport.Answer("$100 40 7 Ann 500 6 900 300 12 3 0 0 0 0 0 0 0 z*$");
  const auto stats = client.WebReadStats();
  ASSERT_TRUE(stats.ok);
  EXPECT_EQ(stats.value.GID, 814);
  EXPECT_EQ(stats.value.Stat1, 100);
  EXPECT_EQ(stats.value.Stat4, "Ann");
  EXPECT_EQ(stats.value.StatX[0], 500);
  EXPECT_EQ(stats.value.StatX[5], 3);
  EXPECT_EQ(stats.value.StatZ, "z");
  transport.Answer("$100 40*$");  // cut short
  EXPECT_FALSE(client.WebReadStats().ok);
  transport.Answer("$ ok#");
  EXPECT_TRUE(client.WebLike(814, 1, "Ann"));
  transport.Answer("$ no#");
  EXPECT_FALSE(client.WebCountStart(814, 1, 0));
}

TEST_F(WebCalls, RecordsReadsSetTheReadTimeOutForEveryLaterCall) {
  EXPECT_EQ(client.ReadTimeout(), WebClient::kDefaultReadTimeout);
  client.WebClubMembers();
  EXPECT_EQ(transport.sent.back().request.readTimeout, WebClient::kDefaultReadTimeout);
  client.WebReadRecords(814);
  EXPECT_EQ(transport.sent.back().request.readTimeout, 3000ms);
  client.WebReadUser("Ann", "pw");  // an account call after a records read
  EXPECT_EQ(transport.sent.back().request.readTimeout, 3000ms);
  for (auto read :
       {+[](WebClient& c) { c.WebReadStats(); }, +[](WebClient& c) { c.WebReadTables(); },
        +[](WebClient& c) { c.WebReadMyRecords(814, "a", "b"); }}) {
    FakeTransport t;
    WebClient fresh(t, TestAddresses());
    read(fresh);
    EXPECT_EQ(fresh.ReadTimeout(), 3000ms);
  }
}

}  // namespace
}  // namespace trilane::web
