#include "server/request.h"

#include <gtest/gtest.h>

#include <map>

namespace trilane::club {
namespace {

struct Case {
  const char* name;
  Script script;
  std::string body;
  Call call;
  std::map<std::string, std::string> fields;  // expected UTF-8 values (a subset)
};

TEST(RequestTest, RecognisesCallsAndDecodesEachForm) {
  const Case cases[] = {
      {"sign-in field list decodes escapes",
       Script::Account,
       "nick=A%26B&&pw=x%3Dy+z&&label0=0",
       Call::ReadUser,
       {{"nick", "A&B"}, {"pw", "x=y z"}}},
      {"raw form keeps + and % as they are",
       Script::Account,
       "nick=Ann&labelinfosave=0&namei=a+b%41",
       Call::SaveInfo,
       {{"namei", "a+b%41"}}},
      {"raw form is code page 1251",
       Script::WorldTop,
       "gid=814&nick=Ann&city=\xCC\xEE\xF1\xEA\xE2\xE0",
       Call::ReadMyRecords,
       {{"city", "Москва"}}},
      {"field-list Cyrillic arrives as UTF-8",
       Script::Tourney,
       "top10s94=0&&nick=%D0%AF",
       Call::ReadOnlineTop,
       {{"nick", "Я"}}},
      {"an ampersand inside a raw value stays in it",
       Script::Account,
       "nick=Ann&labelinfosave=0&about=cats&dogs&telephone=1",
       Call::SaveInfo,
       {{"about", "cats&dogs"}, {"telephone", "1"}}},
      {"a value cannot change a key sent before it",
       Script::Account,
       "nick=Ann&labelinfosave=0&about=x&nick=Eve",
       Call::SaveInfo,
       {{"nick", "Ann"}, {"about", "x&nick=Eve"}}},
      {"top ten alone, results with a password",
       Script::Account,
       "crdtrilanekon=0",
       Call::ReadTopTen,
       {}},
      {"best results save",
       Script::Account,
       "nick=A&pw=b&crdtrilanekon=4&crdtrilanebest=0",
       Call::SaveBest,
       {{"crdtrilanebest", "0"}}},
      {"best results read", Script::Account, "nick=A&&pw=b&&crdtrilanebest=0", Call::ReadBest, {}},
      {"registration has no label",
       Script::Account,
       "nick=A&pw=b&city=c&country1=d&country2=1-001&sex=M",
       Call::RegisterUser,
       {}},
      {"seat take",
       Script::Tourney,
       "client4on3=0&gid=94&num=2&can=1&nick3=Ann",
       Call::TakeSeat,
       {{"nick3", "Ann"}, {"num", "2"}}},
      {"seat read",
       Script::Tourney,
       "readclient2=0&&gid=94&&num=7",
       Call::ReadSeat,
       {{"num", "7"}}},
      {"record count", Script::WorldTop, "rgid=1114", Call::RecordCount, {{"rgid", "1114"}}},
      {"record save",
       Script::WorldTop,
       "gid=100&nick=A&city=B&country=1-001&score=3&R7=M",
       Call::SaveRecord,
       {{"score", "3"}}},
      {"statistics read", Script::Stats, "gid=814", Call::ReadStats, {}},
      {"like", Script::Stats, "gid=814&stat3=1&stat4=Ann", Call::Like, {{"stat4", "Ann"}}},
      {"empty pieces are skipped",
       Script::Stats,
       "&&gid=814&&&&",
       Call::ReadStats,
       {{"gid", "814"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string reason;
    auto r = ParseRequest(c.script, c.body, &reason);
    ASSERT_TRUE(r) << reason;
    EXPECT_EQ(r->call, c.call);
    for (const auto& [key, value] : c.fields) {
      const std::string* got = r->Find(key);
      ASSERT_NE(got, nullptr) << key;
      EXPECT_EQ(*got, value) << key;
    }
  }
}

TEST(RequestTest, SeatSelectorAndGameIdComeFromTheKeys) {
  auto place = ParseRequest(Script::Tourney, "placek94=0&kon1=12", nullptr);
  ASSERT_TRUE(place);
  EXPECT_EQ(place->call, Call::OnlinePlace);
  EXPECT_EQ(place->selector, 'k');
  EXPECT_EQ(place->keyGameId, 94);
  auto seat = ParseRequest(Script::Tourney, "clienton4=0&gid=94", nullptr);
  ASSERT_TRUE(seat);
  EXPECT_EQ(seat->seat, 4);
  EXPECT_EQ(seat->tableSize, 0);
  auto tables = ParseRequest(Script::Tourney, "readtable410=94&&gid=94", nullptr);
  ASSERT_TRUE(tables);
  EXPECT_EQ(tables->keyGameId, 94);
}

TEST(RequestTest, RefusesWhatNoCallSendsOrCannotBeDecoded) {
  const std::pair<Script, std::string> bad[] = {
      {Script::Account, ""},
      {Script::Account, "foo=1&bar=2"},
      {Script::Account, "nick=Ann&&pw=%4&&label0=0"},          // broken escape
      {Script::Account, "nick=%FF%FE&&pw=abcd&&label0=0"},     // not UTF-8
      {Script::Account, "nick=%E4%B8%AD&&pw=abcd&&label0=0"},  // not in code page 1251
      {Script::Tourney, "readtable410=x&&gid=94"},
      {Script::Tourney, "top10x94=0"},
      {Script::Stats, "nick=Ann"},
  };
  for (const auto& [script, body] : bad) {
    EXPECT_FALSE(ParseRequest(script, body, nullptr)) << body;
  }
}

}  // namespace
}  // namespace trilane::club
