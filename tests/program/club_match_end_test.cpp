// What the end of a tournament game leaves behind: the history line from the tournament's
// figures, the online-game counter of the table, and the line written once the game is
// booked.
#include <gtest/gtest.h>

#include "program/club_match_end.h"

#include "tests/program/program_folder.h"

namespace trilane::tourney {
namespace {

TEST(TourneyMatchEnd, HistoryLineFromTheTournamentFigures) {
  ClubMatchEnd end;
  end.seatNames = {"Ann", "Bob", "Cid", "Dee"};
  end.ownName = "Bob";
  end.games = 4;
  end.tableScore = 7;
  end.scoreBefore = 100;
  end.ratingBefore = 12;
  end.after = web::OnlineRating{109, 20, 15};
  HistoryRecord record = ClubHistoryRecord(end);
  EXPECT_EQ(record.players, "Ann/Bob/Cid/Dee");
  EXPECT_EQ(record.kind, kTourneyMatch);
  EXPECT_EQ(record.games, 4);
  EXPECT_EQ(record.result, 9);  // the tournament's score gained, not the table's total
  EXPECT_EQ(record.rating, 15);

  // A tournament score may fall below nothing.
  end.scoreBefore = 5;
  end.after = web::OnlineRating{-20, 8, -3};
  EXPECT_EQ(ClubHistoryRecord(end).result, -25);
  EXPECT_EQ(ClubHistoryRecord(end).rating, -3);

  // The figures could not be read: the table's total and the rating held before.
  end.after.reset();
  record = ClubHistoryRecord(end);
  EXPECT_EQ(record.result, 7);
  EXPECT_EQ(record.rating, 12);

  // Names unknown (the list could not be read at the deal): the own name alone.
  end.seatNames = {};
  EXPECT_EQ(ClubHistoryRecord(end).players, "Bob");

  // One online game per table: only the pacer counts it.
  EXPECT_EQ(ClubMatchCounters(1)[5], 1);
  for (int seat = 2; seat <= 4; ++seat) {
    for (int64_t counter : ClubMatchCounters(seat)) EXPECT_EQ(counter, 0) << "seat " << seat;
  }
}

TEST(TourneyMatchEnd, TheBookedGameWritesItsHistoryLine) {
  testing::ProgramFolder folder;
  LocalMatchEnd files;
  files.programFolder = folder.Path();
  files.now = CalendarTime{2026, 12, 10, 14, 5};
  ClubMatchEnd end;
  end.seatNames = {"Ann", "Bob", "Cid", "Dee"};
  end.ownName = "Ann";
  end.games = 4;
  end.tableScore = -6;
  end.ratingBefore = 3;
  // Without a web client the figures stay unread: the table's total and the rating held.
  const ClubMatchWritten written = FinishClubMatch(nullptr, 1, end, files);
  EXPECT_FALSE(written.historyError);
  EXPECT_EQ(written.record.result, -6);
  const std::vector<HistoryRecord> lines = folder.HistoryLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].kind, kTourneyMatch);
  EXPECT_EQ(lines[0].players, "Ann/Bob/Cid/Dee");
  EXPECT_EQ(lines[0].result, -6);

  // The history folder cannot be made.
  testing::ProgramFolder blocked;
  blocked.Write(kHistoryFolderName, "not a folder");
  files.programFolder = blocked.Path();
  EXPECT_TRUE(FinishClubMatch(nullptr, 2, end, files).historyError);
}

}  // namespace
}  // namespace trilane::tourney
