// The rated match against the reference club service: a whole cycle booked match by match,
// its entry into the account table with the bonus, transfers of that bonus, and the
// pre-charge and booking when the service cannot be reached, and the end of a rated match
// step by step as the window plays it.

#include "program/rated_match.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "account_club.h"
#include "records/history_file.h"
#include "tests/program/program_folder.h"

namespace trilane {
namespace {

using testing::AccountClub;
using testing::kSaveBestMarker;
using web::AccountState;
using Kind = PreChargeStep::Kind;

// Signs Ann in and ticks "Play global rating".
void SignInRated(AccountClub& club, AccountInUse& account) {
  ASSERT_TRUE(club.Register("Ann", "abcd1"));
  ASSERT_TRUE(account.SignIn("Ann", "abcd1"));
  account.SetPlayForRating(true);
}

// A match for the rating as the program runs it, with `score` as the match's result.
BookingOutcome PlayRated(AccountInUse& account, int64_t score) {
  account.SetPlayForRating(true);
  PreCharge charge(account);
  const PreChargeStep step = charge.Advance();
  EXPECT_EQ(step.kind, Kind::kStarted);
  EXPECT_TRUE(account.RatedMatchRunning());
  RatedBooking booking(account, score);
  const BookingOutcome outcome = booking.Attempt();
  EXPECT_TRUE(outcome.stored);
  EXPECT_FALSE(account.RatedMatchRunning());
  account.SetState(AccountState::kSignedIn);
  return outcome;
}

TEST(RatedMatchTest, ACycleOfTwentyMatchesBooksEachRatingAndEntersTheCycleWithItsBonus) {
  TRILANE_START_CLUB(club);
  ASSERT_TRUE(club.Register("Bob", "bobby1"));  // registered, never signed in here
  AccountInUse account(club.Client());
  SignInRated(club, account);

  const std::vector<int64_t> scores = {12, -6, 0, 31,  -52, 7, 7,  -1, 30, -30,
                                       3,  4,  5, -13, 22,  0, -4, 18, -9, 26};
  int64_t total = 0;
  BookingOutcome last;
  for (size_t i = 0; i < scores.size(); ++i) {
    const MatchStart start = RatedMatchStart(account);
    EXPECT_EQ(start.currentSlot, kSlotAccount);
    EXPECT_EQ(start.gamesPlayed, static_cast<int32_t>(4 * i));
    EXPECT_EQ(start.accountBlockRounds, static_cast<int32_t>(4 * i));
    EXPECT_EQ(start.accountHasRatedGames, i > 0);

    last = PlayRated(account, scores[i]);
    total += scores[i];
    const bool lastOfCycle = i + 1 == scores.size();
    EXPECT_EQ(last.cycleCompleted, lastOfCycle) << i;
    EXPECT_EQ(last.cycleScore, total) << i;

    const auto held = club.Client().WebReadBest("Ann", "abcd1");
    ASSERT_TRUE(held.ok);
    const int64_t kon = 4 * static_cast<int64_t>(i + 1);
    EXPECT_EQ(held.value.Kon, kon);
    EXPECT_NEAR(held.value.Rating, static_cast<double>(total) / kon + kon / 80.0, 1e-9) << i;
    EXPECT_EQ(held.value.KonL, lastOfCycle ? 0 : kon) << i;
    EXPECT_EQ(held.value.Score, lastOfCycle ? 0 : total) << i;
    EXPECT_EQ(held.value.Sessions, lastOfCycle ? 1 : 0) << i;
    EXPECT_EQ(held.value.Best, lastOfCycle ? total : 0) << i;
    EXPECT_EQ(account.Game().Kon, held.value.Kon);
    EXPECT_EQ(account.Game().Score, held.value.Score);
    if (i == 0) {
      EXPECT_NEAR(held.value.Rating, 3.05, 1e-12);  // K = 0, R = 0, a match of 12
    }
  }
  ASSERT_EQ(total, 50);

  // The cycle into the account table: the first place and its 25 Qors.
  const CycleEntry entry = account.EnterCycle(last.cycleScore);
  EXPECT_TRUE(entry.entered);
  EXPECT_EQ(entry.place, 1);
  EXPECT_EQ(entry.bonus, 25);
  EXPECT_EQ(entry.balance, 25);
  EXPECT_EQ(account.User().R04, 25);
  const auto table = club.Client().WebReadRecords(kAccountTableId);
  ASSERT_TRUE(table.ok);
  EXPECT_EQ(table.value[0].Nick, "Ann");
  EXPECT_EQ(table.value[0].Score, total);
  EXPECT_FALSE(account.EnterCycle(last.cycleScore).entered);  // one entry per cycle

  // Transfers of the bonus.
  EXPECT_EQ(account.CheckTransfer(0), TransferResult::kEmpty);
  EXPECT_EQ(account.TransferQors("Bob", 0), TransferResult::kEmpty);
  EXPECT_EQ(account.TransferQors("Bob", -3), TransferResult::kNothing);
  EXPECT_EQ(account.TransferQors("Bob", 26), TransferResult::kNotEnough);
  EXPECT_EQ(account.TransferQors("Nobody", 5), TransferResult::kNoSuchMember);
  EXPECT_EQ(account.User().R04, 25);
  EXPECT_EQ(account.TransferQors("Bob", 10), TransferResult::kDone);
  EXPECT_EQ(account.User().R04, 15);
  EXPECT_EQ(club.Client().WebReadQors("Bob").value, 10);
  EXPECT_EQ(club.Client().WebReadQors("Ann").value, 15);
}

TEST(RatedMatchTest, ThePresidentIsTheBestRatedAccountAndShowsTheProfileItSent) {
  TRILANE_START_CLUB(club);
  AccountInUse account(club.Client());
  SignInRated(club, account);
  web::TInfo14 profile;
  profile.Name1 = "Ann-Kristin Margrethe Larsen";  // longer than its 20 characters
  profile.About = "Tom & Jerry $1 ~ok";
  profile.YouTube = "https://youtube.com/watch?v=x&t=1";
  ASSERT_TRUE(account.UpdateProfile(profile));
  EXPECT_EQ(account.User().Info.Name1, "Ann-Kristin Margreth");
  EXPECT_EQ(account.User().Info.About, "Tom & Jerry  1  ok");
  EXPECT_EQ(account.User().Info.YouTube, profile.YouTube);

  EXPECT_TRUE(account.RefreshTopTen());
  EXPECT_FALSE(account.RefreshPresident());  // nobody has played for the rating yet
  PlayRated(account, 12);
  ASSERT_TRUE(account.RefreshTopTen());
  EXPECT_EQ(account.TopTen()[0].Nick, "Ann");
  EXPECT_NEAR(account.TopTen()[0].Rating, 3.05, 1e-12);
  ASSERT_TRUE(account.RefreshPresident());
  EXPECT_EQ(account.PresidentProfile(), account.User().Info);
}

TEST(RatedMatchTest, APreChargeThatCannotBeStoredStartsNoMatch) {
  {
    // The service is gone: the results cannot even be read.
    TRILANE_START_CLUB(club);
    AccountInUse account(club.Client());
    SignInRated(club, account);
    club.Stop();
    PreCharge charge(account);
    const PreChargeStep step = charge.Advance();
    EXPECT_EQ(step.kind, Kind::kFailed);
    EXPECT_EQ(account.State(), AccountState::kNone);
    EXPECT_FALSE(account.RatedMatchRunning());
    EXPECT_EQ(charge.Advance().kind, Kind::kFailed);  // and stays so
  }
  {
    // Every send lost: two pauses with the sound, a third sound, nothing stored.
    TRILANE_START_CLUB(club);
    AccountInUse account(club.Client());
    SignInRated(club, account);
    club.Transport().DropPosts(kSaveBestMarker, 3);
    PreCharge charge(account);
    std::vector<PreChargeStep> steps;
    for (int i = 0; i < 3; ++i) steps.push_back(charge.Advance());
    EXPECT_EQ(steps[0].kind, Kind::kWait);
    EXPECT_EQ(steps[0].wait, std::chrono::milliseconds(2000));
    EXPECT_EQ(steps[1].kind, Kind::kWait);
    EXPECT_EQ(steps[1].wait, std::chrono::milliseconds(3000));
    EXPECT_EQ(steps[2].kind, Kind::kFailed);
    for (const PreChargeStep& s : steps) EXPECT_TRUE(s.playWrongs);
    EXPECT_FALSE(charge.Advance().playWrongs);  // the sound is played once
    EXPECT_EQ(account.State(), AccountState::kNone);
    EXPECT_FALSE(account.RatedMatchRunning());
    EXPECT_EQ(club.Client().WebReadBest("Ann", "abcd1").value.Kon, 0);
  }
  {
    // Not in state 3: nothing is read or sent.
    TRILANE_START_CLUB(club);
    AccountInUse account(club.Client());
    SignInRated(club, account);
    account.SetPlayForRating(false);
    PreCharge charge(account);
    EXPECT_EQ(charge.Advance().kind, Kind::kNotRated);
    EXPECT_EQ(account.State(), AccountState::kSignedIn);
  }
}

TEST(RatedMatchTest, TheSecondSendStoresThePreChargeAndTheCopyKeepsTheValuesRead) {
  TRILANE_START_CLUB(club);
  AccountInUse account(club.Client());
  SignInRated(club, account);
  PlayRated(account, 12);
  account.SetPlayForRating(true);
  club.Transport().DropPosts(kSaveBestMarker, 1);
  PreCharge charge(account);
  const PreChargeStep first = charge.Advance();
  EXPECT_EQ(first.kind, Kind::kWait);
  EXPECT_TRUE(first.playWrongs);
  EXPECT_EQ(charge.Advance().kind, Kind::kStarted);
  EXPECT_TRUE(account.RatedMatchRunning());
  // The service holds the pre-charge; the program's copy the match's starting values.
  const auto held = club.Client().WebReadBest("Ann", "abcd1");
  EXPECT_EQ(held.value.Kon, 8);
  EXPECT_EQ(held.value.KonL, 0);
  EXPECT_EQ(account.Game().Kon, 4);
  EXPECT_NEAR(account.Game().Rating, 3.05, 1e-12);
  EXPECT_EQ(account.Game().KonL, 4);
  EXPECT_EQ(account.Game().Score, 12);
  // A page refreshed during the match must not take the emptied cycle over the copy, or the
  // booking would send a cycle the service refuses.
  EXPECT_TRUE(account.RefreshBest());
  EXPECT_EQ(account.Game().KonL, 4);
  EXPECT_EQ(account.Game().Score, 12);
}

TEST(RatedMatchTest, ARepeatFindsASendWhoseReplyWasLostAndDoesNotSendItAgain) {
  TRILANE_START_CLUB(club);
  AccountInUse account(club.Client());
  SignInRated(club, account);
  PlayRated(account, 12);

  account.SetPlayForRating(true);
  club.Transport().LoseReplies(kSaveBestMarker, 1);
  PreCharge charge(account);
  EXPECT_EQ(charge.Advance().kind, Kind::kWait);
  EXPECT_EQ(charge.Advance().kind, Kind::kStarted);
  EXPECT_EQ(club.Client().WebReadBest("Ann", "abcd1").value.Kon, 8);

  club.Transport().LoseReplies(kSaveBestMarker, 1);
  RatedBooking booking(account, 4);
  EXPECT_FALSE(booking.Attempt().stored);
  const BookingOutcome repeated = booking.Attempt();
  EXPECT_TRUE(repeated.stored);
  EXPECT_EQ(repeated.cycleScore, 16);
  EXPECT_FALSE(account.RatedMatchRunning());
  const auto held = club.Client().WebReadBest("Ann", "abcd1");
  EXPECT_EQ(held.value.Kon, 8);
  EXPECT_EQ(held.value.KonL, 8);
  EXPECT_EQ(held.value.Score, 16);
  EXPECT_NEAR(held.value.Rating, 16.0 / 8 + 8 / 80.0, 1e-9);
  EXPECT_EQ(account.Game().Score, 16);
}

TEST(RatedMatchTest, AFailedBookingCanBeRepeatedOrLeftWithThePreChargeStanding) {
  TRILANE_START_CLUB(club);
  AccountInUse account(club.Client());
  SignInRated(club, account);
  PlayRated(account, 12);  // the cycle holds 4 games and 12 points

  // The booking's send is lost once; the repeat books the same match on the same cycle.
  account.SetPlayForRating(true);
  ASSERT_EQ(PreCharge(account).Advance().kind, Kind::kStarted);
  club.Transport().DropPosts(kSaveBestMarker, 1);
  RatedBooking booking(account, -4);
  EXPECT_FALSE(booking.Attempt().stored);
  EXPECT_TRUE(account.RatedMatchRunning());
  EXPECT_EQ(account.Game().KonL, 4);
  EXPECT_EQ(account.Game().Score, 12);
  const BookingOutcome repeated = booking.Attempt();
  ASSERT_TRUE(repeated.stored);
  EXPECT_EQ(repeated.cycleScore, 8);
  auto held = club.Client().WebReadBest("Ann", "abcd1");
  EXPECT_EQ(held.value.KonL, 8);
  EXPECT_EQ(held.value.Score, 8);
  EXPECT_NEAR(held.value.Rating, 8.0 / 8 + 8 / 80.0, 1e-9);
  account.SetState(AccountState::kSignedIn);

  // Given up: the service keeps the match as a loss of 40 and the cycle emptied.
  account.SetPlayForRating(true);
  ASSERT_EQ(PreCharge(account).Advance().kind, Kind::kStarted);
  club.Transport().DropPosts(kSaveBestMarker, 1);
  RatedBooking lost(account, 20);
  EXPECT_FALSE(lost.Attempt().stored);
  lost.GiveUp();
  EXPECT_FALSE(account.RatedMatchRunning());
  held = club.Client().WebReadBest("Ann", "abcd1");
  EXPECT_EQ(held.value.Kon, 12);
  EXPECT_NEAR(held.value.Rating, (8.0 - 40) / 12 + 12 / 80.0, 1e-9);
  EXPECT_EQ(held.value.KonL, 0);
  EXPECT_EQ(held.value.Score, 0);
}

TEST(RatedMatchTest, TheEndOfARatedMatchStepByStep) {
  using Step = MatchEndStep::Kind;
  TRILANE_START_CLUB(club);
  AccountInUse account(club.Client());
  SignInRated(club, account);
  testing::ProgramFolder folder;
  const CalendarTime now{2026, 12, 10, 14, 5};
  EndMatchRequest request;
  request.endMatch = true;
  request.rounds = 4;

  // The booking's send is lost: "Repeat?", Yes books the match; the state goes back to 2
  // only once the end is through.
  ASSERT_EQ(PreCharge(account).Advance().kind, Kind::kStarted);
  club.Transport().DropPosts(kSaveBestMarker, 1);
  RatedMatchMode won(account, folder.Path(), kDefaultDatePattern);
  request.score = 12;
  EXPECT_EQ(won.End(request, now).kind, Step::kRepeatBooking);
  EXPECT_TRUE(account.RatedMatchRunning());
  EXPECT_EQ(won.Advance(true), MatchEndStep::Sound(TableSound::kMatchWon));
  EXPECT_FALSE(account.RatedMatchRunning());
  EXPECT_EQ(account.State(), AccountState::kRated);
  EXPECT_EQ(won.Advance(true).kind, Step::kDone);
  EXPECT_EQ(account.State(), AccountState::kSignedIn);
  auto held = club.Client().WebReadBest("Ann", "abcd1");
  EXPECT_EQ(held.value.KonL, 4);
  EXPECT_EQ(held.value.Score, 12);

  // Given up: the pre-charge stands, and the rest of the end still runs.
  account.SetPlayForRating(true);
  ASSERT_EQ(PreCharge(account).Advance().kind, Kind::kStarted);
  club.Transport().DropPosts(kSaveBestMarker, 1);
  RatedMatchMode lost(account, folder.Path(), kDefaultDatePattern);
  request.score = -5;
  EXPECT_EQ(lost.End(request, now).kind, Step::kRepeatBooking);
  EXPECT_EQ(lost.Advance(false), MatchEndStep::Sound(TableSound::kRoundLost));
  EXPECT_EQ(lost.Advance(true).kind, Step::kDone);
  EXPECT_EQ(account.State(), AccountState::kSignedIn);
  held = club.Client().WebReadBest("Ann", "abcd1");
  EXPECT_EQ(held.value.Kon, 8);
  EXPECT_EQ(held.value.KonL, 0);

  // Both matches have their history line, with the account's rating after each.
  const std::vector<HistoryRecord> lines = folder.HistoryLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].kind, kAccountMatch);
  EXPECT_EQ(lines[0].result, 12);
  EXPECT_EQ(lines[0].players, "Ann");
  EXPECT_EQ(lines[1].result, -5);

  // Left in the middle: the pre-charge stands, the account is back in state 2.
  account.SetPlayForRating(true);
  ASSERT_EQ(PreCharge(account).Advance().kind, Kind::kStarted);
  EXPECT_TRUE(RatedMatchMode(account, folder.Path(), kDefaultDatePattern).Leave());
  EXPECT_FALSE(account.RatedMatchRunning());
  EXPECT_EQ(account.State(), AccountState::kSignedIn);
}

}  // namespace
}  // namespace trilane
