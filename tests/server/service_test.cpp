#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <latch>
#include <memory>
#include <thread>

#include "club_fixture.h"
#include "forwarding_store.h"
#include "records/address_cipher.h"
#include "server/service_config.h"
#include "server/text_rules.h"

namespace trilane::club {
namespace {

using Accounts = ClubFixture;

const char kRegisterAnn[] =
    "nick=Ann&pw=abcd&city=Oslo&country1=Norway&country2=1-035&sex=W&email=ann@mail.ee"
    "&dater=01.01.1990&R01=xxx&R02=xxx&R03=xxx&R04=500&R05=0&R06=0";

TEST_F(Accounts, RegistrationSignInAndStoredPassword) {
  EXPECT_EQ(Account(kRegisterAnn), "ok");
  EXPECT_EQ(Account(kRegisterAnn), "is");
  // Nicks are one account regardless of case.
  std::string lower = kRegisterAnn;
  lower.replace(lower.find("Ann"), 3, "ann");
  EXPECT_EQ(Account(lower), "is");

  // The balance claimed at registration is ignored; the date is the service's own.
  EXPECT_EQ(Account("nick=Ann&&pw=abcd&&label0=0"),
            "$Oslo Norway 1-035 W ann@mail.ee " + RegistrationDate(kNow) + " xxx xxx xxx 0 0 0$");
  EXPECT_EQ(Account("nick=Ann&&pw=abce&&label0=0"), "no");
  EXPECT_EQ(Account("nick=Bob&&pw=abcd&&label0=0"), "no");
  EXPECT_EQ(Account("nick=Ann&&label0=0"), "no");

  const auto stored = store_->FindAccount("Ann");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->passwordHash.find("abcd"), std::string::npos);
  EXPECT_EQ(stored->passwordHash.rfind("$argon2", 0), 0u);
  EXPECT_EQ(Account("label1=0"), "$1$");
}

TEST_F(Accounts, RegistrationFollowsTheFieldRules) {
  const std::pair<const char*, const char*> broken[] = {
      {"nick=Ann", "nick=A"},             // one character
      {"nick=Ann", "nick=An n"},          // a blank
      {"nick=Ann", "nick=\xC0\xED\xED"},  // Cyrillic (code page 1251)
      {"nick=Ann", "nick=Ann'--"},        // a quote
      {"pw=abcd", "pw=abc"},              // too short
      {"email=ann@mail.ee", "email=@mail.ee"},
      {"email=ann@mail.ee", "email=ann@"},
      {"country2=1-035", "country2=9-035"},
      {"country1=Norway", "country1="},
      {"sex=W", "sex=X"},
      {"city=Oslo", "city=Oslo Oslo Oslo Oslo"},
  };
  for (const auto& [from, to] : broken) {
    std::string body = kRegisterAnn;
    body.replace(body.find(from), std::strlen(from), to);
    EXPECT_EQ(Account(body), "err") << to;
  }
  // A Cyrillic city is fine and comes back in code page 1251.
  std::string body = kRegisterAnn;
  body.replace(body.find("city=Oslo"), 9, "city=\xCC\xEE\xF1\xEA\xE2\xE0");
  EXPECT_EQ(Account(body), "ok");
  EXPECT_EQ(Account("nick=Ann&&pw=abcd&&label0=0").substr(0, 8), "$\xCC\xEE\xF1\xEA\xE2\xE0 ");
  EXPECT_EQ(Account("label1=0"), "$1$");
}

TEST_F(Accounts, ProfileNeedsASignInFromTheSameAddress) {
  Join("Ann");
  const std::string save =
      "nick=Ann&labelinfosave=0&namei=Ann&name2=Lee&about=I like $cards~&telephone=1"
      "&emailo=&website=&skype=&ok=&vk=&telegram=&facebook=&twitter=&instagramm=&youtube=yt";
  EXPECT_EQ(Account(save, "10.9.9.9"), "err");
  EXPECT_EQ(Account(save), "ok");
  EXPECT_EQ(Account("nick=Ann&&labelinforead=0"), "$Ann~Lee~I like  cards ~1~~~~~~~~~~yt$");
  EXPECT_EQ(Account("nick=Nobody&&labelinforead=0"), "no");
  const std::string tooLong = "nick=Ann&labelinfosave=0&namei=" + std::string(21, 'a');
  EXPECT_EQ(Account(tooLong), "err");
  // 0x98 is the one byte code page 1251 leaves unassigned.
  EXPECT_EQ(Account("nick=Ann&labelinfosave=0&namei=A\x98"), "err");
  EXPECT_EQ(Account("nick=Ann&&labelinforead=0"), "$Ann~Lee~I like  cards ~1~~~~~~~~~~yt$");
}

// The client's arithmetic of a rated match.
struct Results {
  int64_t kon = 0, best = 0, sessions = 0, konl = 0, score = 0;
  double rating = 0;
};

std::string SaveBody(const std::string& nick, const Results& r) {
  return "nick=" + nick + "&pw=abcd&crdtrilanekon=" + std::to_string(r.kon) +
         "&crdtrilanebest=" + std::to_string(r.best) + "&crdtrilanerating=" + FormatReal(r.rating) +
         "&crdtrilaneses=" + std::to_string(r.sessions) +
         "&crdtrilanekonl=" + std::to_string(r.konl) +
         "&crdtrilanescore=" + std::to_string(r.score) + "&crdtrilaneR1=0&crdtrilaneR2=#";
}

class RatedMatches : public ClubFixture {
 protected:
  // The results the program sends before a match (the pre-charge) and after it with score m.
  static Results PreCharge(const Results& local) {
    const double k = static_cast<double>(local.kon);
    const double k1 = k + 4;
    Results pre = local;
    pre.kon += 4;
    pre.rating = (k * (local.rating - k / 80) - 40) / k1 + k1 / 80;
    pre.konl = 0;
    pre.score = 0;
    return pre;
  }
  static Results Booking(const Results& local, const Results& pre, int64_t m) {
    const double k1 = static_cast<double>(pre.kon);
    Results after = pre;
    after.rating = k1 / 80 + (40 + k1 * (pre.rating - k1 / 80) + m) / k1;
    const int64_t b = local.score + m;
    if (local.konl + 4 >= 80) {
      after.best = std::max(local.best, b);
      after.sessions = local.sessions + 1;
      after.konl = 0;
      after.score = 0;
    } else {
      after.konl = local.konl + 4;
      after.score = b;
    }
    return after;
  }
  // Pre-charge and booking of one match with score m, as the program sends them.
  void PlayMatch(Results& local, int64_t m) {
    const Results pre = PreCharge(local);
    ASSERT_EQ(Account(SaveBody("Ann", pre)), "ok");
    const Results after = Booking(local, pre, m);
    ASSERT_EQ(Account(SaveBody("Ann", after)), "ok");
    local = after;
  }
};

TEST_F(RatedMatches, PreChargeAndBookingFollowTheRatingRules) {
  Join("Ann");
  EXPECT_EQ(Account("nick=Ann&&pw=abcd&&crdtrilanebest=0"), "$0 0 0 0 0 0 0 #$");
  EXPECT_EQ(Account("nick=Ann&&pw=wxyz&&crdtrilanebest=0"), "no");

  Results pre{4, 0, 0, 0, 0, -9.95};
  Results forged = pre;
  forged.rating = 50;
  EXPECT_EQ(Account(SaveBody("Ann", forged)), "err");
  EXPECT_EQ(Account(SaveBody("Ann", pre)), "ok");
  EXPECT_EQ(Account("nick=Ann&&pw=abcd&&crdtrilanebest=0"), "$4 0 -9.95 0 0 0 0 #$");

  Results booked{4, 0, 0, 4, 12, 3.05};
  Results wrongCycle = booked;
  wrongCycle.score = 13;
  EXPECT_EQ(Account(SaveBody("Ann", wrongCycle)), "err");
  EXPECT_EQ(Account(SaveBody("Ann", booked)), "ok");
  EXPECT_EQ(Account("nick=Ann&&pw=abcd&&crdtrilanebest=0"), "$4 0 3.05 0 4 12 0 #$");
  // A booking is taken once per pre-charge.
  EXPECT_EQ(Account(SaveBody("Ann", booked)), "err");

  EXPECT_EQ(Account("crdtrilanekon=0"), "$1 Ann Oslo Norway 1-035 W 3.05*");
  EXPECT_EQ(Account("crdtrilanerating=3.05"), "$1$");
  EXPECT_EQ(Account("crdtrilanerating=3"), "$2$");
}

TEST_F(RatedMatches, CompletedCycleEntersTheAccountTableOnceAndEarnsItsBonus) {
  Join("Ann");
  Results local;
  for (int match = 0; match < 20; ++match) PlayMatch(local, match == 0 ? 7 : 1);
  EXPECT_EQ(local.sessions, 1);
  EXPECT_EQ(local.best, 26);
  // The entry claims another score than the cycle's: the service enters its own.
  const std::string entry =
      "gid=1114&nick=Ann&city=Oslo&country=Norway&score=999&R7=W&R8=5.7f"
      "&R9=#&R10=#*";
  EXPECT_EQ(Post(Script::WorldTop, entry, "10.7.7.7"), "err");  // not where Ann signed in
  EXPECT_EQ(Post(Script::WorldTop, entry), "$1$");
  EXPECT_EQ(Post(Script::WorldTop, entry), "err");  // one entry per completed cycle
  EXPECT_NE(Post(Script::WorldTop, "gid=1114").find(" 26 Ann "), std::string::npos);

  EXPECT_EQ(Account("nick=Ann&labelqorsave=0&R04=10"), "ok");  // not the bonus: held, not paid
  EXPECT_EQ(Account("nick=Ann&&labelqorread=0"), "$0$");
  EXPECT_EQ(Account("nick=Ann&labelqorsave=0&R04=25"), "ok");
  EXPECT_EQ(Account("nick=Ann&&labelqorread=0"), "$25$");
  EXPECT_EQ(Account("nick=Ann&labelqorsave=0&R04=25"), "ok");  // paid once
  EXPECT_EQ(Account("nick=Ann&&labelqorread=0"), "$25$");
}

// Holds the first results reading after it read, until released: a second call runs whole
// between the first one's reading and its writing.
class HeldResults : public ForwardingStore {
 public:
  using ForwardingStore::ForwardingStore;
  GameResults ReadResults(std::string_view nick, std::string_view game) override {
    GameResults read = inner_.ReadResults(nick, game);
    if (hold_.exchange(false)) {
      readDone_->count_down();
      release_->wait();
    }
    return read;
  }
  // Runs `call` twice: the first held between its reading and its writing while the second
  // runs whole. The replies of the first and the second.
  std::pair<std::string, std::string> Race(const std::function<std::string()>& call) {
    readDone_ = std::make_unique<std::latch>(1);
    release_ = std::make_unique<std::latch>(1);
    hold_ = true;
    std::string first;
    std::thread caller([&] { first = call(); });
    readDone_->wait();
    const std::string second = call();
    release_->count_down();
    caller.join();
    return {first, second};
  }

 private:
  std::atomic<bool> hold_{false};
  std::unique_ptr<std::latch> readDone_, release_;
};

TEST_F(RatedMatches, OneBookingSentTwiceAtOnceBooksOnceAndOwesOneCycle) {
  Join("Ann");
  Results local;
  for (int match = 0; match < 19; ++match) PlayMatch(local, 1);
  // The twentieth match completes the cycle: its pre-charge, then its booking twice.
  const Results pre = PreCharge(local);
  const Results booked = Booking(local, pre, 5);

  HeldResults held(*store_);
  ClubService service(held, hasher_);
  for (const Results& twice : {pre, booked}) {
    SCOPED_TRACE(twice.rating);
    const auto [first, second] = held.Race(
        [&] { return service.Handle(Script::Account, SaveBody("Ann", twice), "10.0.0.1", kNow); });
    EXPECT_EQ(second, "ok");
    EXPECT_EQ(first, "err");
  }
  const std::string entry =
      "gid=1114&nick=Ann&city=Oslo&country=Norway&score=0&R7=W&R8=5.7f&R9=#&R10=#*";
  EXPECT_EQ(Post(Script::WorldTop, entry), "$1$");
  EXPECT_EQ(Post(Script::WorldTop, entry), "err");  // one cycle, one entry
}

TEST_F(RatedMatches, TheTopTenListsTheRatedAccountsHighestFirst) {
  for (const auto& [nick, rating] : {std::pair{"Ann", 2.5}, {"Bob", 7.25}, {"Cy", -1.0}}) {
    Join(nick);
    GameResults g;
    g.kon = 4;
    g.rating = rating;
    ASSERT_TRUE(store_->SaveResults(nick, kGameLabel, GameResults{}, g));
  }
  EXPECT_EQ(Account("crdtrilanekon=0"),
            "$1 Bob Oslo Norway 1-035 W 7.25*$2 Ann Oslo Norway 1-035 W 2.5*"
            "$3 Cy Oslo Norway 1-035 W -1*");
  EXPECT_EQ(Account("crdtrilanerating=3"), "$2$");
}

TEST_F(Accounts, QorsMoveOnlyAsTransfersFromASignedInSender) {
  Join("Ann", "abcd", "10.0.0.1");
  Join("Bob", "efgh", "10.0.0.2");
  ASSERT_TRUE(store_->AddQors("Ann", 100));

  // Ann transfers 30 to Bob: the credit waits for Ann's debit.
  EXPECT_EQ(Account("nick=Bob&labelqorsave=0&R04=30"), "ok");
  EXPECT_EQ(Account("nick=Bob&&labelqorread=0"), "$0$");
  EXPECT_EQ(Account("nick=Ann&labelqorsave=0&R04=-30"), "ok");
  EXPECT_EQ(Account("nick=Ann&&labelqorread=0"), "$70$");
  EXPECT_EQ(Account("nick=Bob&&labelqorread=0"), "$30$");

  // Bob cannot take Ann's Qors, nor credit himself from his own address.
  EXPECT_EQ(Account("nick=Bob&labelqorsave=0&R04=50", "10.0.0.2"), "ok");
  EXPECT_EQ(Account("nick=Ann&labelqorsave=0&R04=-50", "10.0.0.2"), "err");
  EXPECT_EQ(Account("nick=Ann&&labelqorread=0"), "$70$");
  EXPECT_EQ(Account("nick=Bob&&labelqorread=0"), "$30$");

  // No more than the balance, no empty transfer, no unknown recipient, no stale credit.
  EXPECT_EQ(Account("nick=Ann&labelqorsave=0&R04=-71"), "err");
  EXPECT_EQ(Account("nick=Ann&labelqorsave=0&R04=0"), "err");
  EXPECT_EQ(Account("nick=Nobody&labelqorsave=0&R04=5"), "err");
  EXPECT_EQ(Account("nick=Bob&labelqorsave=0&R04=5"), "ok");
  EXPECT_EQ(Post(Script::Account, "nick=Ann&labelqorsave=0&R04=-5", "10.0.0.1", kNow + 3600),
            "ok");  // spent, the credit had expired
  EXPECT_EQ(Account("nick=Bob&&labelqorread=0"), "$30$");
  EXPECT_EQ(Account("nick=Nobody&&labelqorread=0"), "no");
}

using WorldTables = ClubFixture;

TEST_F(WorldTables, EntriesArePlacedByScoreAndReadBack) {
  auto save = [&](const char* nick, int score) {
    return Post(Script::WorldTop, std::string("gid=814&nick=") + nick +
                                      "&city=Oslo&country=1-035&score=" + std::to_string(score) +
                                      "&R7=M&R8=5.7f&R9=#&R10=#*");
  };
  EXPECT_EQ(save("Ann", 50), "$1$");
  EXPECT_EQ(save("Bob", 70), "$1$");
  EXPECT_EQ(save("Cy", 50), "$3$");  // an equal score ranks after the earlier entry
  EXPECT_EQ(save("Ann", -20), "$4$");
  EXPECT_EQ(Post(Script::WorldTop, "rgid=814"), "$4$");
  EXPECT_EQ(Post(Script::WorldTop, "rgid=914"), "$0$");
  EXPECT_EQ(Post(Script::WorldTop, "gid=914"), "#");
  const std::string list = Post(Script::WorldTop, "gid=814");
  EXPECT_EQ(list.substr(0, list.find('*') + 1), "$1 2 70 Bob 1-035 Oslo M 5.7f # #*");
  EXPECT_EQ(Post(Script::WorldTop, "gid=814&nick=Ann&city=Oslo"),
            "$2 1 50 Ann 1-035 Oslo M 5.7f # #*$4 4 -20 Ann 1-035 Oslo M 5.7f # #*");
  EXPECT_EQ(save("Ann", 1'000'000), "err");
  EXPECT_EQ(Post(Script::WorldTop, "gid=815&nick=Ann&city=Oslo&country=1-035&score=1&R7=M"), "err");
}

TEST_F(WorldTables, ResultsWithoutAnAccountAreLimitedPerAddress) {
  ServiceLimits limits;
  limits.resultsPerDay = 2;
  UseLimits(limits);
  const std::string entry = "gid=814&nick=Ann&city=Oslo&country=1-035&score=5&R7=M";
  EXPECT_EQ(Post(Script::WorldTop, entry), "$1$");
  EXPECT_EQ(Post(Script::WorldTop, entry), "$2$");
  EXPECT_EQ(Post(Script::WorldTop, entry), "err");
  EXPECT_EQ(Post(Script::WorldTop, entry, "10.0.0.2"), "$3$");
  EXPECT_EQ(Post(Script::WorldTop, entry, "10.0.0.1", kNow + 86400), "$4$");
}

TEST_F(WorldTables, BoardMessagesAreNumberedByTheBoardAndTheOldestDropOff) {
  ServiceLimits limits;
  limits.boardKeep = 3;
  UseLimits(limits);
  auto send = [&](const std::string& text) {
    return Post(Script::WorldTop,
                "gid=100&nick=\xC0\xED\xFF&city=Oslo&country=1-035&score=99&R7=W&R8=5.7f"
                "&R9=12:00_01.01.2026_Trilane&R10=" +
                    text + "*");
  };
  EXPECT_EQ(Post(Script::WorldTop, "gid=100"), "#");
  for (const char* text : {"Hello_all!", "second", "third", "fourth"}) {
    EXPECT_EQ(send(text), "$1$");
  }
  // Numbered 1 to 4 whatever number the sender claimed; newest first; the oldest dropped.
  const std::string board = Post(Script::WorldTop, "gid=100");
  EXPECT_EQ(board.substr(0, board.find('*') + 1),
            "$1 4 4 \xC0\xED\xFF 1-035 Oslo W 5.7f 12:00_01.01.2026_Trilane fourth*");
  EXPECT_EQ(std::count(board.begin(), board.end(), '*'), 3);
  EXPECT_EQ(board.find("Hello"), std::string::npos);
  EXPECT_EQ(send("two words"), "err");
  EXPECT_EQ(send("a$b"), "err");
  EXPECT_EQ(send(""), "err");
  // A member's nick posts only from where the member signed in.
  Join("Ann", "abcd", "10.0.0.5");
  auto sendAsAnn = [&](const char* address) {
    return Post(Script::WorldTop,
                "gid=100&nick=Ann&city=Oslo&country=1-035&score=0&R7=W&R8=5.7f&R9=#&R10=hi*",
                address);
  };
  EXPECT_EQ(sendAsAnn("10.0.0.1"), "err");
  EXPECT_EQ(sendAsAnn("10.0.0.5"), "$1$");
}

using Statistics = ClubFixture;

TEST_F(Statistics, StartsLikesAndMatchCountersWithinTheirLimits) {
  EXPECT_EQ(Post(Script::Stats, "gid=814&stat1=1&stat2=1"), "$ ok#");
  EXPECT_EQ(Post(Script::Stats, "gid=814&stat1=1&stat2=0"), "$ ok#");
  EXPECT_EQ(Post(Script::Stats, "gid=814&stat1=7&stat2=0"), "$ err#");
  EXPECT_EQ(Post(Script::Stats, "gid=814&stat3=1&stat4=Ann"), "$ ok#");
  EXPECT_EQ(Post(Script::Stats, "gid=814&stat3=1&stat4=Ann"), "$ err#");  // once a day
  EXPECT_EQ(Post(Script::Stats, "gid=814&stat3=1&stat4=A", "10.0.0.2"), "$ err#");
  EXPECT_EQ(Post(Script::Stats,
                 "gid=814&R1=8&R2=0&R3=0&R4=12&R5=0&R6=0&R7=0&R8=0&R9=0&R10=0"
                 "&R11=0&R12=0"),
            "$ ok#");
  EXPECT_EQ(Post(Script::Stats,
                 "gid=814&R1=0&R2=0&R3=0&R4=0&R5=4&R6=0&R7=0&R8=0&R9=0&R10=0"
                 "&R11=0&R12=0"),
            "$ ok#");
  const char* impossible[] = {
      "R1=8&R2=0&R3=5&R4=12&R5=0&R6=0",  // won and lost at once
      "R1=0&R2=0&R3=0&R4=0&R5=3&R6=0",   // network games come in fours
      "R1=0&R2=1&R3=0&R4=0&R5=0&R6=0",   // a cycle without games
      "R1=1&R2=0&R3=999&R4=0&R5=0&R6=0", "R1=4&R2=0&R3=0&R4=0&R5=0&R6=0&R7=1",
  };
  for (const char* counters : impossible) {
    std::string body = std::string("gid=814&") + counters;
    for (int i = 1; i <= 12; ++i) {
      const std::string key = "R" + std::to_string(i) + "=";
      if (body.find("&" + key) == std::string::npos) body += "&" + key + "0";
    }
    EXPECT_EQ(Post(Script::Stats, body), "$ err#") << counters;
  }
  EXPECT_EQ(Post(Script::Stats, "gid=814"), "$2 1 1 Ann 8 0 0 12 4 0 0 0 0 0 0 0 0 *");
  EXPECT_EQ(Post(Script::Stats, "gid=999"), "err");
}

using Tournament = ClubFixture;

std::string Take(int table, int seat, const std::string& nick, int can = 1) {
  const std::string s = std::to_string(seat);
  return "client4on" + s + "=0&gid=94&num=" + std::to_string(table) +
         "&can=" + std::to_string(can) + "&nick" + s + "=" + nick + "&score" + s + "=999&kon" + s +
         "=0&rating" + s + "=999&country" + s + "=Norway&city" + s + "=Oslo&sex" + s + "=W&ip" + s +
         "=1.2.3.4";
}

TEST_F(Tournament, SeatsAreTakenInOrderBySignedInPlayersAndFreedByTheirHolders) {
  Join("Ann", "abcd", "10.0.0.1");
  Join("Bob", "abcd", "10.0.0.2");
  Join("Cy", "abcd", "10.0.0.3");
  auto post = [&](const std::string& body, const char* address) {
    return Post(Script::Tourney, body, address);
  };
  EXPECT_EQ(post(Take(3, 1, "Ann"), "10.0.0.9"), "err");  // not where Ann signed in
  EXPECT_EQ(post(Take(3, 2, "Ann"), "10.0.0.1"), "err");  // seat 1 first
  EXPECT_EQ(post(Take(3, 1, "Ann"), "10.0.0.1"), "ok");
  EXPECT_EQ(post(Take(3, 1, "Bob"), "10.0.0.2"), "is");
  EXPECT_EQ(post(Take(4, 1, "Ann"), "10.0.0.1"), "err");  // one seat per player
  EXPECT_EQ(post(Take(3, 2, "Bob"), "10.0.0.2"), "ok");
  EXPECT_EQ(post(Take(3, 3, "Cy"), "10.0.0.3"), "ok");

  // The service's own figures and the address it sees, not the claimed ones.
  EXPECT_EQ(post("readclient1=0&&gid=94&&num=3", "10.0.0.5"), "$Ann 0 0 0 Norway Oslo W 10.0.0.1$");

  // A fourth player sat down at Ann's machine (taken there before anyone else signed in).
  Seat dan;
  dan.nick = "Dan";
  dan.ip = "10.0.0.1";
  dan.takenAt = kNow;
  ASSERT_TRUE(store_->TakeSeat(94, 3, 4, dan));

  // Nobody frees another player's seat...
  EXPECT_EQ(post(Take(3, 2, "X", 0), "10.0.0.3"), "err");
  // ...and the player below who has just given up frees only the seats taken at her address.
  EXPECT_EQ(post(Take(3, 1, "X", 2), "10.0.0.1"), "ok");
  EXPECT_EQ(post(Take(3, 2, "X", 0), "10.0.0.1"), "err");
  EXPECT_EQ(post(Take(3, 3, "X", 0), "10.0.0.1"), "err");
  EXPECT_EQ(post(Take(3, 4, "X", 0), "10.0.0.1"), "ok");
  EXPECT_EQ(post("readclient2=0&&gid=94&&num=3", "10.0.0.5"), "$Bob 0 0 0 Norway Oslo W 10.0.0.2$");
  EXPECT_EQ(post("readclient3=0&&gid=94&&num=3", "10.0.0.5"), "$Cy 0 0 0 Norway Oslo W 10.0.0.3$");
  EXPECT_EQ(post("readclient4=0&&gid=94&&num=3", "10.0.0.5"), "$X 0 0 0 X X M X$");
  // Their holders still free them.
  EXPECT_EQ(post(Take(3, 3, "X", 0), "10.0.0.3"), "ok");
}

TEST_F(Tournament, TableListHoldsTenTablesFromTheLastAndFreesStaleSeats) {
  Join("Ann");
  TourneySettings settings;
  settings.address = "192.168.1.5";
  settings.basePort = 25000;
  settings.welcome = "Good luck to all";
  service_->SetTourney(settings);
  ASSERT_EQ(Post(Script::Tourney, Take(1, 1, "Ann")), "ok");

  const std::string list = Post(Script::Tourney, "readtable410=94&&gid=94");
  ASSERT_EQ(list.rfind("$10 192.168.1.5 25010 4 4 X X 0 0 0 X X M X ", 0), 0u);
  std::vector<std::string> entries;
  for (size_t at = list.find('$'); at != std::string::npos; at = list.find('$', at + 1)) {
    entries.push_back(list.substr(at + 1, list.find('*', at) - at - 1));
  }
  ASSERT_EQ(entries.size(), 10u);
  EXPECT_EQ(std::count(entries[9].begin(), entries[9].end(), ' '), 37);  // 38 fields
  EXPECT_EQ(entries[9].substr(0, 40), "1 192.168.1.5 25001 3 4 X Ann 0 0 0 Norw");

  EXPECT_EQ(Post(Script::Tourney, "serverinforead=0&&gid=94"), "$Y Good_luck_to_all$");
  const std::string later =
      Post(Script::Tourney, "readtable410=94&&gid=94", "10.0.0.1", kNow + 3600);
  EXPECT_EQ(later.find("Ann"), std::string::npos);

  settings.serverOn = false;
  service_->SetTourney(settings);
  EXPECT_EQ(Post(Script::Tourney, "serverinforead=0&&gid=94"), "$X Good_luck_to_all$");
  EXPECT_EQ(Post(Script::Tourney, Take(2, 1, "Ann")), "err");
}

TEST_F(Tournament, RatingsAndOnlineTopComeFromTheTournamentRecords) {
  store_->SaveTourneyPlayer(94, {"Ann", "Oslo", "Norway", "W", 120, 16, 7});
  store_->SaveTourneyPlayer(94, {"Bob", "Rome", "Italy", "M", 80, 40, 9});
  EXPECT_EQ(Post(Script::Tourney, "readrating94=0&nick=Ann"), "$120 16 7$");
  EXPECT_EQ(Post(Script::Tourney, "readrating94=0&nick=Zed"), "$0 0 0$");
  EXPECT_EQ(Post(Script::Tourney, "top10s94=0&&nick=z"),
            "$1 Ann Oslo Norway W 120*$2 Bob Rome Italy M 80*");
  EXPECT_EQ(Post(Script::Tourney, "top10k94=0&&nick=z"),
            "$1 Bob Rome Italy M 40*$2 Ann Oslo Norway W 16*");
  EXPECT_EQ(Post(Script::Tourney, "placer94=0&rating1=8"), "$2$");
  EXPECT_EQ(Post(Script::Tourney, "places94=0&score1=500"), "$1$");
}

TEST_F(Tournament, OperatorSwitchesPlaceTheTables) {
  const ServiceConfig config = ParseServiceConfig(
      "# the club of the third floor\n"
      "tourney_server = off\n"
      "welcome = Back at nine\r\n"
      "tourney_address = 10.0.0.5\n"
      "tourney_base_port = 30000\n"
      "table3 = 10.0.0.7:31003\n"
      "table11 = 10.0.0.8:1\n"
      "tourney_base_port = many\n"
      "chat_paused = 1\n");
  EXPECT_FALSE(config.tourney.serverOn);
  EXPECT_TRUE(config.chatPaused);
  EXPECT_FALSE(config.worldTopPaused);
  service_->SetTourney(config.tourney);
  EXPECT_EQ(Post(Script::Tourney, "serverinforead=0&&gid=94"), "$X Back_at_nine$");
  const std::string list = Post(Script::Tourney, "readtable410=94&&gid=94");
  EXPECT_NE(list.find("$3 10.0.0.7 31003 4 4 "), std::string::npos);
  EXPECT_NE(list.find("$4 10.0.0.5 30004 4 4 "), std::string::npos);
  EXPECT_EQ(list.find("10.0.0.8"), std::string::npos);
}

TEST(Directory, NamesTheScriptsEncipheredAndThePauses) {
  const std::string text = DirectoryText("http://10.1.1.1:8094", false, true);
  auto value = [&](const std::string& key) {
    const size_t at = text.find(key);
    EXPECT_NE(at, std::string::npos) << key;
    const size_t start = at + key.size() + 1;
    return text.substr(start, text.find('#', start) - start);
  };
  EXPECT_EQ(DecipherAddress(value("StatPath"), kSettingsAddressKey),
            "http://10.1.1.1:8094/scripts/stats");
  EXPECT_EQ(DecipherAddress(value("WTGamesPatt"), kSettingsAddressKey),
            "http://10.1.1.1:8094/scripts/worldtop");
  EXPECT_EQ(DecipherAddress(value("AccPath"), kAccountAddressKey),
            "http://10.1.1.1:8094/scripts/account");
  EXPECT_EQ(text.find("WTGamesPause"), std::string::npos);
  EXPECT_NE(text.find("CTGamesPause"), std::string::npos);
}

TEST(TextRules, RealsAreWrittenAsTheProgramReadsThem) {
  EXPECT_EQ(FormatReal(3.05), "3.05");
  EXPECT_EQ(FormatReal(-9.95), "-9.95");
  EXPECT_EQ(FormatReal(0.000001), "0");
  EXPECT_EQ(FormatReal(0.00002), "0.00002");
  EXPECT_EQ(FormatReal(1234.5), "1234.5");
  EXPECT_FALSE(ParseReal("1e5", 1e9));
  EXPECT_FALSE(ParseReal("nan", 1e9));
  EXPECT_FALSE(ParseReal("1.2.3", 1e9));
  EXPECT_EQ(ParseReal("-0.5", 1e9), -0.5);
}

}  // namespace
}  // namespace trilane::club

namespace trilane::club {
namespace {

TEST_F(Accounts, PasswordGuessesAreLimitedPerAddress) {
  ServiceLimits limits;
  limits.passwordChecksPerDay = 3;
  UseLimits(limits);
  ASSERT_EQ(Account(kRegisterAnn, "10.0.0.9"), "ok");
  for (const char* guess : {"aaaa", "bbbb", "cccc"}) {
    EXPECT_EQ(Account(std::string("nick=Ann&&pw=") + guess + "&&label0=0"), "no");
  }
  EXPECT_EQ(Account("nick=Ann&&pw=abcd&&label0=0"), "no");  // no more hashing today
  EXPECT_EQ(Account("nick=Ann&&pw=abcd&&label0=0", "10.0.0.2")[0], '$');
  // A password proven a moment ago costs no hashing, so it passes even here.
  EXPECT_EQ(Account("nick=Ann&&pw=abcd&&label0=0")[0], '$');
}

TEST_F(Accounts, WrongPasswordsAreLimitedPerAddressAcrossNicks) {
  ServiceLimits limits;
  limits.wrongPasswordsPerDay = 2;
  UseLimits(limits);
  for (const char* nick : {"Ann", "Bob", "Cy"}) Join(nick, "abcd", "10.0.0.2");
  EXPECT_EQ(Account("nick=Ann&&pw=aaaa&&label0=0"), "no");
  EXPECT_EQ(Account("nick=Bob&&pw=aaaa&&label0=0"), "no");
  // Two wrong passwords: this address hashes no more today, even the right one of a third nick.
  EXPECT_EQ(Account("nick=Cy&&pw=wxyz&&label0=0"), "no");
  EXPECT_EQ(Account("nick=Cy&&pw=abcd&&label0=0", "10.0.0.3")[0], '$');
}

// Holds every check of the password "held" inside its hashing slot until released.
class HeldHasher : public PasswordHasher {
 public:
  HeldHasher() : PasswordHasher(HashStrength::Fast, 2, std::chrono::milliseconds(300)) {}
  bool CheckHash(std::string_view password, const std::string& hash) override {
    if (password == "held") {
      std::unique_lock lock(mutex_);
      ++inside_;
      changed_.notify_all();
      changed_.wait(lock, [&] { return released_; });
    }
    return PasswordHasher::CheckHash(password, hash);
  }
  void WaitInside(int n) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(5), [&] { return inside_ >= n; });
  }
  int Inside() {
    std::lock_guard lock(mutex_);
    return inside_;
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int inside_ = 0;
  bool released_ = false;
};

TEST_F(Accounts, AnHonestSignInGetsASlotWhileAnotherAddressGuesses) {
  Join("Ann", "abcd", "10.0.0.1");
  Join("Bob", "abcd", "10.0.0.2");
  HeldHasher hasher;  // remembers no password yet: every check hashes
  ClubService service(*store_, hasher);
  auto signIn = [&](const char* nick, const char* password, const char* address) {
    return service.Handle(Script::Account,
                          std::string("nick=") + nick + "&&pw=" + password + "&&label0=0", address,
                          kNow);
  };
  // One guessing address sends two checks at once: the first holds a slot...
  std::string guess1, guess2;
  std::thread first([&] { guess1 = signIn("Bob", "held", "10.6.6.6"); });
  hasher.WaitInside(1);
  // ...and the second waits for none: it is turned away, or (before the limit per address)
  // holds the other slot.
  std::thread second([&] { guess2 = signIn("Ann", "held", "10.6.6.6"); });
  for (int i = 0; i < 500 && guess2.empty() && hasher.Inside() < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_EQ(signIn("Ann", "abcd", "10.0.0.1")[0], '$');
  hasher.Release();
  first.join();
  second.join();
  EXPECT_EQ(guess1, "no");
  EXPECT_EQ(guess2, "err");
}

TEST_F(Accounts, PruningForgetsOnlyPastBookkeeping) {
  store_->NoteSignIn("Ann", "10.0.0.1", kNow - 3 * 86400);
  store_->NoteSignIn("Bob", "10.0.0.1", kNow);
  ASSERT_TRUE(store_->CountClaim("like", "10.0.0.1", kNow / 86400 - 5, 1));
  ASSERT_TRUE(store_->CountClaim("like", "10.0.0.1", kNow / 86400, 1));
  store_->Prune(kNow / 86400 - 1, kNow - 2 * 86400);
  EXPECT_FALSE(store_->SignedInSince("Ann", "10.0.0.1", 0));
  EXPECT_TRUE(store_->SignedInSince("Bob", "10.0.0.1", kNow));
  EXPECT_TRUE(store_->CountClaim("like", "10.0.0.1", kNow / 86400 - 5, 1));  // forgotten
  EXPECT_FALSE(store_->CountClaim("like", "10.0.0.1", kNow / 86400, 1));     // kept
}

}  // namespace
}  // namespace trilane::club
