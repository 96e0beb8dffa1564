// How a match against the computer ends and is left, step by step: what the window is told
// to show, in the player's order, after the files are written; and the member line a left
// match costs.
#include "program/match_mode.h"

#include <gtest/gtest.h>

#include <vector>

#include "records/club_file.h"
#include "tests/program/program_folder.h"

namespace trilane {
namespace {

using testing::ProgramFolder;
using Kind = MatchEndStep::Kind;

LocalMatchEnd Player(const ProgramFolder& folder, int slot, const std::string& name) {
  LocalMatchEnd m;
  m.programFolder = folder.Path();
  m.slot = slot;
  m.name = name;
  m.passwordCode = *EncodePassword("pw");
  return m;
}

EndMatchRequest Result(int32_t score, int32_t rounds) {
  EndMatchRequest request;
  request.endMatch = true;
  request.score = score;
  request.rounds = rounds;
  return request;
}

// Every step up to kDone, answering Yes to every question.
std::vector<MatchEndStep> Steps(MatchMode& mode, const EndMatchRequest& request) {
  std::vector<MatchEndStep> steps{mode.End(request, CalendarTime{2026, 12, 10, 14, 5})};
  while (steps.back().kind != Kind::kDone && steps.size() < 20) steps.push_back(mode.Advance(true));
  return steps;
}

TEST(LocalMatchModeTest, TheMatchSoundFollowsTheScoreAndTheFilesAreWrittenFirst) {
  struct Case {
    int32_t score;
    std::vector<MatchEndStep> steps;
  };
  const Case cases[] = {
      {12, {MatchEndStep::Sound(TableSound::kMatchWon), {}}},
      {-3, {MatchEndStep::Sound(TableSound::kRoundLost), {}}},
      {0, {{}}},
  };
  for (const Case& c : cases) {
    ProgramFolder folder;
    folder.InstallClubFiles();
    LocalMatchMode mode(Player(folder, 6, "Anna"));
    EXPECT_EQ(Steps(mode, Result(c.score, 3)), c.steps) << c.score;
    auto club = LoadClubFile(folder.File("Trilane.clb"));
    ASSERT_TRUE(club.has_value());
    EXPECT_EQ(ReadMember(*club, 1).cycleScore, c.score);
    EXPECT_TRUE(CheckHistoryFile(folder.Path() / "History" / "Trilane_I0001.hst").valid);
  }
}

TEST(LocalMatchModeTest, ARenamedPlayerEndsTheMatchUnderTheNewName) {
  ProgramFolder folder;
  folder.InstallClubFiles();
  LocalMatchMode mode(Player(folder, 6, "Anna"));
  mode.Rename("Vera", *EncodePassword("new"));
  Steps(mode, Result(7, 2));
  auto club = LoadClubFile(folder.File("Trilane.clb"));
  ASSERT_TRUE(club.has_value());
  EXPECT_EQ(ReadMember(*club, 1).name, "Vera");
  EXPECT_TRUE(PasswordMatches("new", ReadMember(*club, 1).passwordCode));
}

TEST(LocalMatchModeTest, ACompletedCycleShowsItsVerdictAndGoesToTheWorldTableOutsideNetPlay) {
  ProgramFolder folder;
  folder.InstallClubFiles();
  folder.PutMember(1, "Boris", 1.0, 79, 500000, "abc");
  CycleEnd cycle;
  cycle.place = 1;
  cycle.cycleScore = 500040;
  // No match sound: the verdict's own follows.
  LocalMatchMode mode(Player(folder, 1, "Boris"));
  EXPECT_EQ(Steps(mode, Result(40, 1)),
            (std::vector<MatchEndStep>{MatchEndStep::Cycle(Kind::kEndOfCycle, cycle),
                                       MatchEndStep::Cycle(Kind::kEnterWorldCycle, cycle),
                                       {}}));

  // A network club's cycle stays on this machine.
  folder.PutMember(1, "Boris", 1.0, 79, 500000, "abc", kNetClubFileName);
  LocalMatchEnd net = Player(folder, 1, "Boris");
  net.netMode = true;
  LocalMatchMode netMode(net);
  const std::vector<MatchEndStep> steps = Steps(netMode, Result(40, 1));
  ASSERT_EQ(steps.size(), 2u);
  EXPECT_EQ(steps[0].kind, Kind::kEndOfCycle);
  EXPECT_TRUE(steps[0].cycle.net);
  EXPECT_EQ(steps[0].cycle.cycleScore, 500040);
  EXPECT_EQ(steps[1].kind, Kind::kDone);
}

TEST(LocalMatchModeTest, FailedFilesAreShownInTheOrderThePlayerMeetsThem) {
  ProgramFolder folder;
  folder.InstallClubFiles();
  folder.Write("History", "not a folder");
  folder.Write("Trilane.clb", "garbage");
  LocalMatchMode mode(Player(folder, 6, "Anna"));
  EXPECT_EQ(Steps(mode, Result(5, 2)),
            (std::vector<MatchEndStep>{MatchEndStep::Of(Kind::kHistoryNotSaved),
                                       MatchEndStep::Sound(TableSound::kMatchWon),
                                       MatchEndStep::Of(Kind::kDiskWriteError),
                                       {}}));
}

TEST(LocalMatchModeTest, ALeftMatchCostsTheMemberLineUnlessTheClubFileIsProtected) {
  ProgramFolder folder;
  folder.InstallClubFiles();
  folder.PutMember(2, "Boris", 1.0, 10, 300, "abc");
  const std::string before = folder.Read("Trilane.clb");

  // A new player has no line; a protected file is not written.
  EXPECT_TRUE(LocalMatchMode(Player(folder, 6, "Anna")).Leave());
  LocalMatchEnd locked = Player(folder, 2, "Boris");
  locked.clubWriteLock = true;
  EXPECT_TRUE(LocalMatchMode(locked).Leave());
  EXPECT_EQ(folder.Read("Trilane.clb"), before);

  EXPECT_TRUE(LocalMatchMode(Player(folder, 2, "Boris")).Leave());
  auto club = LoadClubFile(folder.File("Trilane.clb"));
  ASSERT_TRUE(club.has_value());
  EXPECT_NE(ReadMember(*club, 2).name, "Boris");

  // The line cannot be written: the window shows "Error of disk writing!".
  folder.Write("Trilane.clb", "garbage");
  EXPECT_FALSE(LocalMatchMode(Player(folder, 2, "Boris")).Leave());
  EXPECT_FALSE(ChargeLeftMatch(Player(folder, 2, "Boris")));
}

}  // namespace
}  // namespace trilane
