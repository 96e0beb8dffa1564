#include <gtest/gtest.h>

#include <cmath>

#include "base/codepage.h"
#include "records/history_file.h"
#include "records/text_lines.h"
#include "test_files.h"

namespace trilane {
namespace {

using testing::DataFile;
using testing::ScratchDir;
using testing::Slurp;
using testing::Spit;
namespace fs = std::filesystem;

std::string Cp(const char* utf8) {
  return *Utf8ToCp1251(utf8);
}

const CalendarTime kMarch7{2026, 3, 7, 9, 5};

TEST(HistoryFile, RecordLinesMatchTheFixture) {
  // The fixture was written by an independent script; its first two records are these.
  const std::string bytes = Slurp(DataFile("history_good.hst"));
  const auto lines = SplitLines(bytes);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(*FormatHistoryRecord({"Anna", 12, -35, 0.05, kLocalMatch}, kMarch7, "dd.MM.yyyy"),
            lines[0]);
  EXPECT_EQ(*FormatHistoryRecord({Cp("Вера/Tom/Ann"), 4, 120, -3.25, kNetMatch},
                                 {2026, 3, 7, 21, 40}, kDefaultDatePattern),
            lines[1]);
  EXPECT_EQ(HistoryTerminatorLine(), lines[lines.size() - 2]);
  EXPECT_EQ(BuildHistoryFile({std::string(lines[0]), std::string(lines[1]), std::string(lines[2])}),
            Slurp(DataFile("history_good.hst")));
}

TEST(HistoryFile, FieldFormats) {
  struct Rating {
    double value;
    const char* text;
  };
  const Rating ratings[] = {{0, "      0,00"},      {0.05, "      0,05"},
                            {12.5, "     12,50"},   {-3.25, "     -3,25"},
                            {0.125, "      0,12"},  {0.375, "      0,38"},
                            {-0.001, "     -0,00"}, {1234567.891, "1234567,89"}};
  for (const Rating& r : ratings) EXPECT_EQ(*FormatHistoryRating(r.value), r.text) << r.value;
  EXPECT_FALSE(FormatHistoryRating(-1234567.89));
  EXPECT_FALSE(FormatHistoryRating(std::nan("")));

  const std::string longName(60, 'n');
  const std::string line =
      *FormatHistoryRecord({longName, 80, -1, 0, kTourneyMatch}, {2026, 12, 31, 23, 59},
                           "yyyy-MM-dd 'week'");  // longer than 10: cut
  ASSERT_EQ(line.size(), kHistoryLineLength);
  EXPECT_EQ(line.substr(0, 15), "23:592026-12-31");
  EXPECT_EQ(line.substr(15, 51), std::string(51, 'n'));
  EXPECT_EQ(line.substr(66, 3), " 80");
  EXPECT_EQ(line.substr(89, 10), "T#########");
  EXPECT_EQ(
      FormatHistoryRecord({"A\r\nB", 1, 1, 1, kAccountMatch}, kMarch7, "d/M/yy")->substr(0, 19),
      " 9:05    7/3/26A  B");

  EXPECT_EQ(FormatShortDate({2026, 3, 7}, "d.M.y"), "7.3.26");
  EXPECT_EQ(FormatShortDate({2026, 3, 7}, "MM/dd/yyyy"), "03/07/2026");
  EXPECT_EQ(FormatShortDate({2026, 3, 7}, "yyyy'y'"), "2026y");
  EXPECT_FALSE(FormatHistoryRecord({"x", 1000, 0, 0, kLocalMatch}, kMarch7, "dd"));
  EXPECT_FALSE(FormatHistoryRecord({"x", 1, 0, 0, static_cast<MatchKind>(4)}, kMarch7, "dd"));
  EXPECT_FALSE(FormatHistoryRecord({"x", 1, 0, 0, kLocalMatch}, {2026, 1, 1, 24, 0}, "dd"));
}

TEST(HistoryFile, OnlyDaysOfTheCalendarAreWritten) {
  struct Case {
    int year, month, day;
    bool real;
  };
  const Case cases[] = {
      {2026, 2, 31, false}, {2026, 2, 29, false}, {2024, 2, 29, true},  {2000, 2, 29, true},
      {1900, 2, 29, false}, {2026, 4, 31, false}, {2026, 12, 31, true}, {2026, 1, 0, false},
      {2026, 13, 1, false}, {2026, 0, 1, false},  {0, 1, 1, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsCalendarDate(c.year, c.month, c.day), c.real)
        << c.year << "-" << c.month << "-" << c.day;
    EXPECT_EQ(FormatHistoryRecord({"x", 1, 0, 0, kLocalMatch}, {c.year, c.month, c.day, 12, 0},
                                  "dd.MM.yyyy")
                  .has_value(),
              c.real)
        << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST(HistoryFile, CheckGoodAndBrokenCopies) {
  struct Case {
    const char* file;
    bool valid;
    int records;
    int line;
  };
  const Case cases[] = {
      {"history_good.hst", true, 3, 0},        {"history_empty.hst", true, 0, 0},
      {"history_short_line.hst", false, 0, 2}, {"history_edited.hst", false, 0, 5},
      {"history_no_totals.hst", false, 0, 5},  {"history_no_terminator.hst", false, 0, 4},
      {"history_bad_totals.hst", false, 0, 5}, {"no_such.hst", false, 0, 0},
  };
  for (const Case& c : cases) {
    const HistoryCheck check = CheckHistoryFile(DataFile(c.file));
    EXPECT_EQ(check.valid, c.valid) << c.file << ": " << check.error.Where();
    if (c.valid) {
      EXPECT_EQ(check.records, c.records) << c.file;
    } else {
      EXPECT_EQ(check.error.line, c.line) << c.file << ": " << check.error.Where();
      EXPECT_FALSE(check.error.reason.empty());
    }
  }
  // Any change among the first 99 characters of any line is caught.
  const std::string good = Slurp(DataFile("history_good.hst"));
  for (size_t line = 0; line < 4; ++line) {
    for (size_t col : {0u, 50u, 98u}) {
      std::string bytes = good;
      bytes[line * 116 + col] ^= 0x01;
      EXPECT_FALSE(CheckHistory(bytes).valid) << line << "," << col;
    }
  }
  const auto record = ReadHistoryRecord(CheckHistory(good).recordLines[1]);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->writtenTime, "21:40");
  EXPECT_EQ(record->players, Cp("Вера/Tom/Ann"));
  EXPECT_EQ(record->games, 4);
  EXPECT_EQ(record->result, 120);
  EXPECT_DOUBLE_EQ(record->rating, -3.25);
  EXPECT_EQ(record->kind, kNetMatch);
}

// What is written is what is read back, for every kind of match; a line whose columns were
// rewritten with fresh checksums but hold no numbers reads as nothing.
TEST(HistoryFile, RecordsReadBackAsWritten) {
  const HistoryRecord written[] = {
      {"Anna", 12, -35, 0.05, kLocalMatch, {}, {}},
      {Cp("Вера/Tom/Ann"), 4, 120, -3.25, kNetMatch, {}, {}},
      {"Solo", 80, 9999999999, 99.99, kAccountMatch, {}, {}},
      {"Seat", -99, -999999999, -12.5, kTourneyMatch, {}, {}},
  };
  for (const HistoryRecord& w : written) {
    const std::string line = *FormatHistoryRecord(w, kMarch7, "dd.MM.yyyy");
    const auto r = ReadHistoryRecord(line);
    ASSERT_TRUE(r) << line;
    EXPECT_EQ(r->players, w.players);
    EXPECT_EQ(r->games, w.games);
    EXPECT_EQ(r->result, w.result);
    EXPECT_DOUBLE_EQ(r->rating, w.rating);
    EXPECT_EQ(r->kind, w.kind);
    EXPECT_EQ(r->writtenTime, "9:05");
    EXPECT_EQ(r->writtenDate, "07.03.2026");
    EXPECT_EQ(MatchKindFromLetter(line[89]), w.kind);
  }
  std::string line = *FormatHistoryRecord(written[0], kMarch7, "dd.MM.yyyy");
  line.replace(66, 3, "abc");
  EXPECT_FALSE(ReadHistoryRecord(line));
  line = *FormatHistoryRecord(written[0], kMarch7, "dd.MM.yyyy");
  line[89] = 'X';
  EXPECT_FALSE(ReadHistoryRecord(line));
  EXPECT_FALSE(MatchKindFromLetter('l'));
}

class HistoryAppendTest : public ScratchDir {
 protected:
  Expected<HistoryAppend, RecordError> Append(const std::string& name,
                                              const WriteFaultHook& hook = {}) {
    return AppendHistory(dir_ / "History", {{name, 4, 10, 1.5, kLocalMatch}}, kMarch7,
                         kDefaultDatePattern, hook);
  }
  fs::path File(int n) { return HistoryFilePath(dir_ / "History", n); }
  // A valid file of `records` identical records.
  void Fill(int n, int records) {
    const std::string line = *FormatHistoryRecord({"Old", 4, 1, 0, kLocalMatch}, kMarch7, "dd");
    fs::create_directories(dir_ / "History");
    Spit(File(n), BuildHistoryFile(std::vector<std::string>(records, line)));
  }
};

TEST_F(HistoryAppendTest, FirstMatchThenAppends) {
  auto a = Append("First");
  ASSERT_TRUE(a) << a.error().Describe();
  EXPECT_EQ(a->fileNumber, 1);
  EXPECT_EQ(File(1).filename(), "Trilane_I0001.hst");
  EXPECT_TRUE(a->restarted);
  const std::string first = Slurp(File(1));
  EXPECT_EQ(SplitLines(first).size(), 3u);  // record, terminator, totals
  a = Append("Second");
  EXPECT_FALSE(a->restarted);
  const HistoryCheck check = CheckHistoryFile(File(1));
  ASSERT_TRUE(check.valid);
  EXPECT_EQ(check.records, 2);
  EXPECT_EQ(ReadHistoryRecord(check.recordLines[1])->players, "Second");
}

TEST_F(HistoryAppendTest, FullFilesMoveOnAndGapsAreFilled) {
  Fill(1, kHistoryRecordsPerFile - 1);
  EXPECT_EQ(Append("840th")->fileNumber, 1);
  auto a = Append("841st");
  EXPECT_EQ(a->fileNumber, 2);
  EXPECT_EQ(a->records, 1);
  EXPECT_EQ(CheckHistoryFile(File(1)).records, kHistoryRecordsPerFile);

  // Files 1 (full) and 3 without 2: the list stops at 1, the next match starts 2.
  fs::remove(File(2));
  Fill(3, 5);
  EXPECT_EQ(ListHistoryFiles(dir_ / "History").size(), 1u);
  EXPECT_EQ(Append("gap")->fileNumber, 2);
  const auto listed = ListHistoryFiles(dir_ / "History");
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed[1].records, 1);
  EXPECT_EQ(listed[2].records, 5);
}

TEST_F(HistoryAppendTest, AnInvalidFileIsRestartedAndKeptAside) {
  Fill(1, 3);
  std::string bytes = Slurp(File(1));
  bytes[20] = 'X';
  Spit(File(1), bytes);
  auto a = Append("After edit");
  ASSERT_TRUE(a);
  EXPECT_TRUE(a->restarted);
  EXPECT_EQ(a->records, 1);
  EXPECT_EQ(CheckHistoryFile(File(1)).records, 1);
  EXPECT_EQ(a->setAside.filename(), "Trilane_I0001.hst.bad");
  EXPECT_EQ(Slurp(a->setAside), bytes);
}

TEST_F(HistoryAppendTest, FailedSavesKeepEveryFile) {
  Fill(1, 3);
  const std::string good = Slurp(File(1));
  auto fail = [](WriteStep s) {
    return s == WriteStep::kRename ? FaultAction::kFail : FaultAction::kProceed;
  };
  auto a = Append("Lost", fail);
  ASSERT_FALSE(a);
  EXPECT_TRUE(a.error().IsWriteFailure());
  EXPECT_EQ(Slurp(File(1)), good);

  std::string bad = good;
  bad[30] = 'Y';
  Spit(File(1), bad);
  EXPECT_FALSE(Append("Lost", fail));
  EXPECT_EQ(Slurp(File(1)), bad);  // the invalid file is back in place, byte for byte
  EXPECT_FALSE(fs::exists(fs::path(File(1)) += ".bad"));

  EXPECT_FALSE(AppendHistory(dir_ / "History", {}, kMarch7, "dd"));
}

}  // namespace
}  // namespace trilane
