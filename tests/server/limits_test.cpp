// The service's guards tested on their own: the rate limiter with the time handed in, the
// password hasher's queue and hash upgrades, the match bound against the game's rules, and
// calls arriving at once at a club kept in a file.

#include <gtest/gtest.h>
#include <sodium.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <latch>
#include <mutex>
#include <thread>
#include <vector>

#include "club_fixture.h"
#include "rules/computer_round.h"
#include "rules/scoring.h"
#include "server/rate_limiter.h"

namespace trilane::club {
namespace {

namespace fs = std::filesystem;

TEST(RateLimiter, BurstThenRefillAtTheSetRatePerAddress) {
  RateLimiter limiter(2, 5);  // two a second, five at once
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(limiter.Allow("10.0.0.1", 100.0)) << i;
  EXPECT_FALSE(limiter.Allow("10.0.0.1", 100.0));
  // Another address has its own bucket.
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(limiter.Allow("10.0.0.2", 100.0)) << i;
  EXPECT_FALSE(limiter.Allow("10.0.0.2", 100.0));
  // 0.4 s give 0.8 of a token: not yet; 0.5 s give one.
  EXPECT_FALSE(limiter.Allow("10.0.0.1", 100.4));
  EXPECT_TRUE(limiter.Allow("10.0.0.1", 100.5));
  EXPECT_FALSE(limiter.Allow("10.0.0.1", 100.5));
  // A long pause fills the bucket to the burst and no further.
  int allowed = 0;
  while (limiter.Allow("10.0.0.1", 1000.0) && allowed < 100) ++allowed;
  EXPECT_EQ(allowed, 5);
  // Time that seems to run backwards adds nothing.
  EXPECT_FALSE(limiter.Allow("10.0.0.1", 900.0));
  RateLimiter off(0, 1);
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(off.Allow("10.0.0.1", 0.0));
}

TEST(PasswordHasher, AFullQueueIsRefusedAfterABoundedWait) {
  ASSERT_TRUE(InitCrypto());
  // One real hash at a time, and a waiter gives up after 10 ms.
  PasswordHasher hasher(HashStrength::Interactive, 1, std::chrono::milliseconds(10));
  std::atomic<int> hashed{0}, busy{0};
  std::latch start(4);
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&] {
      start.arrive_and_wait();
      try {
        if (!hasher.Hash("abcd").empty()) ++hashed;
      } catch (const HasherBusy&) {
        ++busy;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_GE(hashed, 1);
  EXPECT_GE(busy, 1);
  EXPECT_EQ(hashed + busy, 4);
}

using Hashes = ClubFixture;

TEST_F(Hashes, AFastHashIsMadeStrongAtTheNextSignIn) {
  Join("Ann");
  const std::string fast = store_->FindAccount("Ann")->passwordHash;
  ASSERT_EQ(crypto_pwhash_str_needs_rehash(fast.c_str(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                           crypto_pwhash_MEMLIMIT_INTERACTIVE),
            1);
  // The same club, now run with real hashes.
  PasswordHasher strong(HashStrength::Interactive);
  ClubService service(*store_, strong);
  EXPECT_EQ(service.Handle(Script::Account, "nick=Ann&&pw=wxyz&&label0=0", "10.0.0.1", kNow), "no");
  EXPECT_EQ(store_->FindAccount("Ann")->passwordHash, fast);
  EXPECT_EQ(service.Handle(Script::Account, "nick=Ann&&pw=abcd&&label0=0", "10.0.0.1", kNow)[0],
            '$');
  const std::string upgraded = store_->FindAccount("Ann")->passwordHash;
  EXPECT_NE(upgraded, fast);
  EXPECT_EQ(crypto_pwhash_str_needs_rehash(upgraded.c_str(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                           crypto_pwhash_MEMLIMIT_INTERACTIVE),
            0);
  EXPECT_EQ(crypto_pwhash_str_verify(upgraded.c_str(), "abcd", 4), 0);
  // A club run with fast hashes again never weakens it.
  EXPECT_EQ(Account("nick=Ann&&pw=abcd&&label0=0")[0], '$');
  EXPECT_EQ(store_->FindAccount("Ann")->passwordHash, upgraded);
}

TEST_F(Hashes, AWrongPasswordIsRefusedEveryTime) {
  Join("Ann");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Account("nick=Ann&&pw=abce&&label0=0"), "no") << i;
  EXPECT_EQ(Account("nick=Ann&&pw=abce&&crdtrilanebest=0"), "no");
  EXPECT_EQ(Account("nick=Ann&&pw=abcd&&label0=0")[0], '$');
}

// The hand of one suit, 2 to ace.
Hand OneSuit(int suit) {
  Hand hand;
  for (int rank = 1; rank <= 13; ++rank) hand[rank - 1] = CardFromNumber((rank - 1) * 4 + suit);
  return hand;
}

TEST(MatchBound, IsFourTimesTheMostOneSeatWinsInADeal) {
  // Settled on specials: a Clean Dragon against three hands without one.
  std::array<Special, kPositions> specials{};
  specials[0] = FindSpecial(OneSuit(1));
  ASSERT_EQ(specials[0].code, kCleanDragon);
  RoundPoints points{};
  Totals totals{};
  SettleSpecials(specials, points, totals);
  EXPECT_EQ(totals[0], kMaxDealPoints);

  // Played on the rows: the strongest rows there are against three weak ones, under the rule
  // that pays the majority most.
  TableValues values{};
  values[0] = {RowValue{kThreeOfAKind, {13, 13, 13, 0, 0}},
               RowValue{kStraightFlush, {12, 11, 10, 9, 8}},
               RowValue{kStraightFlush, {13, 12, 11, 10, 9}}};
  for (int p = 1; p < kPositions; ++p) {
    values[p] = {RowValue{kHighCard, {static_cast<uint8_t>(p + 5), 2, 1, 0, 0}},
                 RowValue{kHighCard, {static_cast<uint8_t>(p + 7), 4, 3, 2, 1}},
                 RowValue{kHighCard, {static_cast<uint8_t>(p + 9), 4, 3, 2, 1}}};
  }
  const RoundScore rows = ScoreRound(values, false);
  EXPECT_EQ(RoundTotal(rows.points, 0), 48);
  EXPECT_LT(RoundTotal(rows.points, 0), kMaxDealPoints);
  EXPECT_EQ(kMaxMatchPoints, 4 * kMaxDealPoints);
}

// A club kept in a SQLite file with several connections, as the service runs it.
class FileClub : public ClubFixture {
 protected:
  void SetUp() override {
    ClubFixture::SetUp();
    folder_ = fs::temp_directory_path() /
              ("club-file-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    service_.reset();
    store_ = MakeSqlClubStore(OpenSqlitePool((folder_ / "club.sqlite").string(), 8));
    service_ = std::make_unique<ClubService>(*store_, hasher_);
  }
  void TearDown() override {
    service_.reset();
    store_.reset();
    fs::remove_all(folder_);
  }

  // Runs `calls` posts at once, each from its own thread; the replies, and the reasons of
  // those that failed inside the store.
  std::vector<std::string> AtOnce(int calls, const std::function<std::string(int)>& body,
                                  Script script, std::vector<std::string>* storeErrors) {
    std::vector<std::string> replies(calls);
    std::mutex mutex;
    std::latch start(calls);
    std::vector<std::thread> threads;
    for (int i = 0; i < calls; ++i) {
      threads.emplace_back([&, i] {
        const std::string text = body(i);
        start.arrive_and_wait();
        const ClubService::Outcome out = service_->Answer(script, text, "10.0.0.1", kNow);
        replies[i] = out.reply;
        if (out.reason.rfind("store:", 0) == 0) {
          std::lock_guard lock(mutex);
          storeErrors->push_back(out.reason);
        }
      });
    }
    for (auto& t : threads) t.join();
    return replies;
  }

  fs::path folder_;
};

TEST_F(FileClub, ParallelDebitsNeverGoBelowZero) {
  Join("Ann");
  ASSERT_TRUE(store_->AddQors("Ann", 100));
  std::vector<std::string> errors;
  const auto replies = AtOnce(
      16, [](int) { return std::string("nick=Ann&labelqorsave=0&R04=-10"); }, Script::Account,
      &errors);
  EXPECT_EQ(std::count(replies.begin(), replies.end(), "ok"), 10);
  EXPECT_EQ(store_->FindAccount("Ann")->qors, 0);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(FileClub, ParallelSeatCallsGiveANickOneSeat) {
  Join("Ann");
  std::vector<std::string> errors;
  const auto replies = AtOnce(
      kTourneyTables,
      [](int i) { return "client4on1=0&gid=94&num=" + std::to_string(i + 1) + "&can=1&nick1=Ann"; },
      Script::Tourney, &errors);
  EXPECT_EQ(std::count(replies.begin(), replies.end(), "ok"), 1);
  int seated = 0;
  for (const TableSeats& table : store_->ReadTables(kTourneyGameId)) {
    for (const Seat& seat : table) seated += seat.nick == "Ann" ? 1 : 0;
  }
  EXPECT_EQ(seated, 1);
  EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace trilane::club
