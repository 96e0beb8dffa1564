// The information clock's pages: which page a minute shows, what each reads and shows, and
// its hint when the service answers, has nobody yet, or cannot be reached.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "fake_transport.h"
#include "web/information_clock.h"
#include "words/word_entries.h"

namespace trilane::web {
namespace {

using testing::FakeTransport;

TEST(InformationClock, PageOfTheMinute) {
  EXPECT_EQ(InformationPageAt(14, true), 1);
  EXPECT_EQ(InformationPageAt(15, true), 2);
  EXPECT_EQ(InformationPageAt(0, true), 1);
  EXPECT_EQ(InformationPageAt(59, true), 4);
  EXPECT_EQ(InformationPageAt(5, true), 6);   // the Qors page, for a signed-in player
  EXPECT_EQ(InformationPageAt(5, false), 7);  // without an account
  EXPECT_EQ(InformationPageAt(6, false), 7);
}

TEST(InformationClock, ShortCounts) {
  const std::pair<int64_t, const char*> cases[] = {
      {0, "0"},
      {999, "999"},
      {1000, "1K"},
      {999999, "999K"},
      {1000000, "1M"},
      {1999999, "1M"},
      {999999999, "999M"},
      {1000000000, "1G"},
      {25400000000, "25G"},
  };
  for (const auto& [count, shown] : cases) EXPECT_EQ(ShortCount(count), shown) << count;
}

// Every page against one reply: what it asks for, what it shows.
TEST(InformationClock, EachPageReadsAndShows) {
  const std::string stats = "$100 40 7 Ann 5400 6 30 90 12 3 0 0 0 0 0 0 0 z*$";
  const std::string records =
      "$1 0 120 Ann 1-035 Oslo W 5.7f # #*$2 0 80 Bob 1-046 Kyiv M 5.7f # #*$";
  struct Case {
    int page;
    std::string reply;
    std::string script;  // where the request went
    std::string value;
    std::string nick;
    std::string icon;
  };
  const Case cases[] = {
      {1, stats, "/scripts/stats", "75", "", "Windows"},  // 100 * 90 / (30 + 90)
      {2, stats, "/scripts/stats", "5K", "", "Windows"},
      {3, records, "/scripts/worldtop", "120", "Ann", "Windows"},
      {4, records, "/scripts/worldtop", "120", "Ann", "Android"},
      {5, records, "/scripts/worldtop", "120", "Ann", "Account48"},
      {6, "$250$", "/scripts/account", "250", "", "GQors128"},
      {7, "$1234$", "/scripts/account", "1234", "", "Account48"},
  };
  for (const Case& c : cases) {
    FakeTransport transport;
    WebClient client(transport, *AddressesUnder("http://svc:1/directory.txt"));
    transport.Answer(c.reply);
    const InformationPage page = ReadInformationPage(client, c.page, "Ann");
    ASSERT_EQ(transport.sent.size(), 1u) << c.page;
    EXPECT_NE(transport.sent[0].request.url.find(c.script), std::string::npos) << c.page;
    EXPECT_EQ(page.page, c.page);
    EXPECT_FALSE(page.failed) << c.page;
    EXPECT_EQ(page.value, c.value) << c.page;
    EXPECT_EQ(page.nick, c.nick) << c.page;
    EXPECT_EQ(page.icon, c.icon) << c.page;
  }
  // The three world tables are told apart by their ids.
  const std::map<int, std::string> ids = {{3, "gid=814"}, {4, "gid=914"}, {5, "gid=1114"}};
  for (const auto& [number, id] : ids) {
    FakeTransport transport;
    WebClient client(transport, *AddressesUnder("http://svc:1/directory.txt"));
    transport.Answer(records);
    ReadInformationPage(client, number, "");
    EXPECT_EQ(transport.sent[0].request.body, id) << number;
  }
}

TEST(InformationClock, NobodyYetAndNoGames) {
  FakeTransport transport;
  WebClient client(transport, *AddressesUnder("http://svc:1/directory.txt"));
  transport.Answer("$100 40 7 Ann 0 0 0 0 0 0 0 0 0 0 0 0 0 z*$");
  EXPECT_EQ(ReadInformationPage(client, 1, "").value, "0");  // no matches: no division
  transport.Answer("$");
  const InformationPage empty = ReadInformationPage(client, 3, "");
  EXPECT_TRUE(empty.empty);
  EXPECT_FALSE(empty.failed);
  EXPECT_EQ(empty.value, "0");
}

TEST(InformationClock, HintsOnSuccessEmptyAndFailure) {
  FakeTransport transport;  // answers nothing: every read fails
  WebClient client(transport, *AddressesUnder("http://svc:1/directory.txt"));
  const auto word = [](int entry) -> std::string {
    switch (entry) {
      case kWordStatDynamicIq:
        return "IQ";
      case kWordBestWindowsPlayer:
        return "Best: ";
      case kWordClubMembers:
        return "Members: ";
      case kWordQors:
        return "Qors";
      case kWordNoRecords:
        return "No";
      case kWordNoConnectHint:
        return "NO CONNECT";
      default:
        return "?";
    }
  };
  const std::pair<int, const char*> failed[] = {{1, "IQ: NO CONNECT"},
                                                {3, "Best: NO CONNECT"},
                                                {6, "Qors NO CONNECT"},
                                                {7, "Members: NO CONNECT"}};
  for (const auto& [number, hint] : failed) {
    const InformationPage page = ReadInformationPage(client, number, "Ann");
    EXPECT_TRUE(page.failed) << number;
    EXPECT_EQ(page.value, "0") << number;
    EXPECT_EQ(InformationHint(page, word), hint) << number;
  }
  InformationPage best;
  best.page = 3;
  best.hintEntry = kWordBestWindowsPlayer;
  best.nick = "\xc0\xed\xff";  // code page 1251
  EXPECT_EQ(InformationHint(best, word), "Best: Аня");
  best.nick.clear();
  best.empty = true;
  EXPECT_EQ(InformationHint(best, word), "Best: No");
}

}  // namespace
}  // namespace trilane::web
