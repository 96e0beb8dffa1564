// The end of a direct-play match: an "N" history line with everyone's names, and the
// member's line in the network club file only.
#include <gtest/gtest.h>

#include "program/net_match_end.h"
#include "records/club_file.h"
#include "records/history_file.h"
#include "tests/program/program_folder.h"

namespace trilane {
namespace {

using testing::ProgramFolder;

NetMatchEnd NetMatch(const ProgramFolder& folder, int slot, std::vector<std::string> players,
                     int64_t score) {
  NetMatchEnd end;
  end.match.programFolder = folder.Path();
  end.match.slot = slot;
  end.match.name = "Anna";
  end.match.passwordCode = *EncodePassword("pw");
  end.match.score = score;
  end.match.rounds = 4;
  end.match.now = CalendarTime{2026, 12, 10, 14, 5};
  end.players = std::move(players);
  return end;
}

TEST(NetMatchEndTest, NamesOfTheTable) {
  EXPECT_EQ(NetHistoryNames({"Host", "Anna", "Bo"}, "Anna"), "Host/Anna/Bo");
  EXPECT_EQ(NetHistoryNames({"Anna"}, "Anna"), "Anna");
  EXPECT_EQ(NetHistoryNames({}, "Anna"), "Anna");
}

TEST(NetMatchEndTest, WritesAnNLineAndTheNetworkClubFile) {
  ProgramFolder folder;
  folder.InstallClubFiles();
  const std::string localBefore = folder.Read("Trilane.clb");
  const LocalMatchEndOutcome out =
      FinishNetMatch(NetMatch(folder, kSlotNewPlayer, {"Host", "Anna"}, -6));
  EXPECT_FALSE(out.historyError.has_value());
  EXPECT_FALSE(out.clubError.has_value());
  EXPECT_DOUBLE_EQ(out.rating, -0.75);  // (0 + -6 / 2) / 4

  const HistoryCheck history = CheckHistoryFile(folder.Path() / "History" / "Trilane_I0001.hst");
  ASSERT_TRUE(history.valid) << history.error.Describe();
  ASSERT_EQ(history.records, 1);
  const auto row = ReadHistoryRecord(history.recordLines[0]);
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(row->players, "Host/Anna");
  EXPECT_EQ(row->kind, kNetMatch);
  EXPECT_EQ(row->games, 4);
  EXPECT_EQ(row->result, -6);

  auto net = LoadClubFile(folder.File("Trilane.net"));
  ASSERT_TRUE(net.has_value());
  EXPECT_EQ(ReadMember(*net, 1).name, "Anna");
  EXPECT_EQ(ReadMember(*net, 1).games, 4);
  EXPECT_EQ(folder.Read("Trilane.clb"), localBefore);
}

TEST(NetMatchEndTest, ABrokenNetworkClubFileStillGetsTheHistoryLine) {
  ProgramFolder folder;
  folder.InstallClubFiles();
  folder.Write("Trilane.net", "not a club file");
  const LocalMatchEndOutcome out = FinishNetMatch(NetMatch(folder, 1, {"Host", "Anna", "Bo"}, 10));
  EXPECT_TRUE(out.clubError.has_value());
  EXPECT_FALSE(out.historyError.has_value());
  EXPECT_EQ(folder.Read("Trilane.net"), "not a club file");
  const HistoryCheck history = CheckHistoryFile(folder.Path() / "History" / "Trilane_I0001.hst");
  ASSERT_TRUE(history.valid);
  EXPECT_EQ(ReadHistoryRecord(history.recordLines[0])->players, "Host/Anna/Bo");
}

TEST(NetMatchEndTest, OnlyTheHostCountsNetworkGames) {
  const auto host = NetMatchCounters(true);
  const auto joiner = NetMatchCounters(false);
  EXPECT_EQ(host[4], 4);  // R5
  for (size_t i = 0; i < host.size(); ++i) {
    if (i != 4) {
      EXPECT_EQ(host[i], 0) << i;
    }
    EXPECT_EQ(joiner[i], 0) << i;
  }
}

}  // namespace
}  // namespace trilane
