#include <gtest/gtest.h>

#include "table/match.h"

namespace trilane {
namespace {

TEST(MatchTest, RoundWithinTheCycle) {
  EXPECT_EQ(RoundInCycle(1), 1);
  EXPECT_EQ(RoundInCycle(79), 79);
  EXPECT_EQ(RoundInCycle(80), 80);
  EXPECT_EQ(RoundInCycle(81), 1);
  EXPECT_EQ(RoundInCycle(160), 80);
}

TEST(MatchTest, EndOfRoundButtons) {
  struct Case {
    PlayMode mode;
    int accountState;
    bool pacer;
    int32_t gamesPlayed;
    EndOfRoundButtons want;  // {next game, exit to menu}
  } cases[] = {
      {PlayMode::kComputer, 1, true, 79, {true, true}},
      {PlayMode::kComputer, 1, true, 80, {false, true}},  // the cycle is complete
      {PlayMode::kComputer, 2, true, 160, {false, true}},
      {PlayMode::kComputer, 2, true, 4, {true, true}},
      {PlayMode::kComputer, 3, true, 7, {true, false}},  // rated: blocks of four
      {PlayMode::kComputer, 3, true, 8, {false, true}},
      {PlayMode::kNet, 1, true, 7, {true, false}},
      {PlayMode::kNet, 1, true, 8, {false, true}},
      {PlayMode::kNet, 1, false, 7, {false, false}},  // a joiner never deals
      {PlayMode::kNet, 1, false, 8, {false, true}},
      {PlayMode::kClub, 2, true, 5, {true, false}},
      {PlayMode::kClub, 2, true, 12, {false, true}},
      {PlayMode::kClub, 2, false, 12, {false, false}},  // waits for the server's end
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EndOfRoundRules(c.mode, c.accountState, c.pacer, c.gamesPlayed), c.want)
        << static_cast<int>(c.mode) << " state " << c.accountState << " pacer " << c.pacer
        << " round " << c.gamesPlayed;
  }
}

TEST(MatchTest, FirstDealValuesBySlot) {
  MatchStart member{2, "Anna", 79, 140, 12.5, false, 1, 0};
  MatchCounters c = FirstDealCounters(member);
  EXPECT_EQ(c.gamesPlayed, 79);
  EXPECT_EQ(c.initialScore, 140);
  EXPECT_DOUBLE_EQ(c.initialRating, 12.5);
  EXPECT_EQ(c.matchGames, 0);

  MatchStart newPlayer = member;
  newPlayer.currentSlot = kSlotNewPlayer;  // whatever the caller passed, a new player starts at 0
  c = FirstDealCounters(newPlayer);
  EXPECT_EQ(c.gamesPlayed, 0);
  EXPECT_EQ(c.initialScore, 0);
  EXPECT_DOUBLE_EQ(c.initialRating, 0);

  MatchStart account = member;
  account.currentSlot = kSlotAccount;
  EXPECT_EQ(FirstDealCounters(account).gamesPlayed, 0);
  account.accountHasRatedGames = true;
  EXPECT_EQ(FirstDealCounters(account).gamesPlayed, 79);

  MatchStart club = member;
  club.currentSlot = kSlotClubGame;
  c = FirstDealCounters(club);
  EXPECT_EQ(c.gamesPlayed, 79);
  EXPECT_EQ(c.GeneralScore(), 140);  // the seat's score; the session adds to it
}

TEST(MatchTest, GeneralScoreWindow) {
  MatchStart start{1, "Anna", 0, 140, 12.5, false, 1, 0};
  MatchCounters c = FirstDealCounters(start);
  c.gamesPlayed = 161;
  c.matchGames = 2;
  c.matchScore = -7;
  const GeneralScoreFigures local = ComputeGeneralScore(PlayMode::kComputer, start, c, 3.125);
  EXPECT_EQ(local, (GeneralScoreFigures{"161", "1", "140", "-7", "133", " 12,50", "  3,12"}));

  start.accountState = kAccountRated;
  start.accountBlockRounds = 2;
  c.initialRating = 1502.5;
  const GeneralScoreFigures rated = ComputeGeneralScore(PlayMode::kComputer, start, c, 0);
  EXPECT_EQ(rated.roundsThisMatch, "4");
  EXPECT_EQ(rated.ratingAtStart, "1502");
  EXPECT_EQ(rated.ratingNow, "?");

  const GeneralScoreFigures club = ComputeGeneralScore(PlayMode::kClub, start, c, 0);
  EXPECT_EQ(club.roundsThisMatch, "-");
  EXPECT_EQ(club.scoreInAll, "133");
  EXPECT_EQ(club.ratingNow, "?");
}

}  // namespace
}  // namespace trilane
