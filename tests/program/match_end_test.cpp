// The local steps at the end of a match: history line, member line, top ten.
#include <gtest/gtest.h>

#include <filesystem>

#include "program/match_end.h"
#include "records/club_file.h"
#include "records/history_file.h"
#include "tests/program/program_folder.h"

namespace trilane {
namespace {

using testing::ProgramFolder;

LocalMatchEnd Match(const ProgramFolder& folder, int slot, const std::string& name,
                    const std::string& password, int64_t score, int64_t rounds) {
  LocalMatchEnd m;
  m.programFolder = folder.Path();
  m.slot = slot;
  m.name = name;
  m.passwordCode = *EncodePassword(password);
  m.score = score;
  m.rounds = rounds;
  m.now = CalendarTime{2026, 12, 10, 14, 5};
  return m;
}

TEST(MatchEndTest, NewPlayerGetsAHistoryLineAndAMemberLine) {
  ProgramFolder folder;
  folder.InstallClubFiles();
  const LocalMatchEndOutcome out = FinishLocalMatch(Match(folder, 6, "Anna", "pw", 12, 3));
  EXPECT_FALSE(out.historyError.has_value());
  EXPECT_FALSE(out.clubError.has_value());
  EXPECT_FALSE(out.cycleCompleted);
  EXPECT_DOUBLE_EQ(out.rating, 2.0);  // (0 * 0 + 12 / 2) / 3

  const HistoryCheck history = CheckHistoryFile(folder.Path() / "History" / "Trilane_I0001.hst");
  ASSERT_TRUE(history.valid) << history.error.Describe();
  ASSERT_EQ(history.records, 1);
  const auto row = ReadHistoryRecord(history.recordLines[0]);
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(row->players, "Anna");
  EXPECT_EQ(row->games, 3);
  EXPECT_EQ(row->result, 12);

  auto club = LoadClubFile(folder.File("Trilane.clb"));
  ASSERT_TRUE(club.has_value());
  const Member m = ReadMember(*club, 1);
  EXPECT_EQ(m.name, "Anna");
  EXPECT_EQ(m.games, 3);
  EXPECT_EQ(m.cycleScore, 12);
  EXPECT_TRUE(PasswordMatches("pw", m.passwordCode));
}

TEST(MatchEndTest, MemberCompletingACycleEntersTheTopTen) {
  ProgramFolder folder;
  folder.InstallClubFiles();
  folder.PutMember(1, "Boris", 1.0, 79, 500000, "abc");
  const LocalMatchEndOutcome out = FinishLocalMatch(Match(folder, 1, "Boris", "abc", 40, 1));
  ASSERT_FALSE(out.clubError.has_value());
  EXPECT_TRUE(out.cycleCompleted);
  EXPECT_EQ(out.place, 1);
  EXPECT_EQ(out.cycleScore, 500040);

  auto club = LoadClubFile(folder.File("Trilane.clb"));
  ASSERT_TRUE(club.has_value());
  EXPECT_EQ(ReadTopTen(*club)[0].name, "Boris");
  EXPECT_EQ(ReadTopTen(*club)[0].score, 500040);
  // The next cycle starts from nothing.
  EXPECT_EQ(ReadMember(*club, 1).cycleScore, 0);
  EXPECT_EQ(ReadMember(*club, 1).games, 80);
}

TEST(MatchEndTest, WriteLockKeepsTheClubFileAndHistoryFailureIsReported) {
  ProgramFolder folder;
  folder.InstallClubFiles();
  const std::string before = folder.Read("Trilane.clb");
  // "History" is a file: the folder cannot be made.
  folder.Write("History", "not a folder");
  LocalMatchEnd m = Match(folder, 6, "Anna", "pw", -4, 2);
  m.clubWriteLock = true;
  const LocalMatchEndOutcome out = FinishLocalMatch(m);
  EXPECT_TRUE(out.historyError.has_value());
  EXPECT_FALSE(out.clubError.has_value());
  EXPECT_EQ(folder.Read("Trilane.clb"), before);
}

TEST(MatchEndTest, BrokenClubFileStillWritesHistory) {
  ProgramFolder folder;
  folder.InstallClubFiles();
  folder.Write("Trilane.clb", "garbage");
  const LocalMatchEndOutcome out = FinishLocalMatch(Match(folder, 6, "Anna", "pw", 6, 3));
  EXPECT_TRUE(out.clubError.has_value());
  EXPECT_FALSE(out.historyError.has_value());
  EXPECT_DOUBLE_EQ(out.rating, 1.0);
  EXPECT_EQ(folder.Read("Trilane.clb"), "garbage");
}

}  // namespace
}  // namespace trilane
