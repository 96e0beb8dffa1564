#include <gtest/gtest.h>

#include <algorithm>

#include "records/file_io.h"
#include "records/text_lines.h"
#include "test_files.h"

namespace trilane {
namespace {

using testing::ScratchDir;
using testing::Slurp;
using testing::Spit;
namespace fs = std::filesystem;

TEST(TextLines, LineEndsOfEveryKind) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\rc\r\n", {"a", "b", "c"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\r\r\n", {"a", ""}},
  };
  for (const Case& c : cases) {
    const auto got = SplitLines(c.bytes);
    EXPECT_EQ(std::vector<std::string>(got.begin(), got.end()), c.lines) << c.bytes;
  }
}

TEST(TextLines, NumbersAndCommaReals) {
  EXPECT_EQ(ParseWholeNumber("  42"), 42);
  EXPECT_EQ(ParseWholeNumber("-7 "), -7);
  EXPECT_EQ(ParseWholeNumber("+5"), 5);
  for (const char* bad : {"", " ", "4 2", "+-5", "0x10", "12a", "99999999999999999999"}) {
    EXPECT_FALSE(ParseWholeNumber(bad)) << bad;
  }
  EXPECT_EQ(ParseCommaReal("  0,250000"), 0.25);
  EXPECT_EQ(ParseCommaReal(" -3,5"), -3.5);
  EXPECT_EQ(ParseCommaReal("2.5"), 2.5);
  for (const char* bad : {"", ",", "1,2,3", "--1", "1-", "#########"}) {
    EXPECT_FALSE(ParseCommaReal(bad)) << bad;
  }
  EXPECT_EQ(FormatScaledComma(-325, 2), "-3,25");
  EXPECT_EQ(FormatScaledComma(5, 2), "0,05");
  EXPECT_EQ(FormatScaledComma(0, 6), "0,000000");
}

class AtomicWrite : public ScratchDir {};

TEST_F(AtomicWrite, ReplacesTheFileAndKeepsItsPermissions) {
  const fs::path file = dir_ / "Trilane.clb";
  Spit(file, "old");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_FALSE(WriteFileAtomically(file, "new bytes"));
  EXPECT_EQ(Slurp(file), "new bytes");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Names(), std::vector<std::string>{"Trilane.clb"});  // no temporary file left
}

TEST_F(AtomicWrite, EveryFailedStepKeepsTheOldBytes) {
  const fs::path file = dir_ / "Trilane.ini";
  const std::string old = "old contents\r\nline two\r\n";
  for (WriteStep step :
       {WriteStep::kCreateTemp, WriteStep::kWriteData, WriteStep::kSync, WriteStep::kRename}) {
    for (FaultAction action : {FaultAction::kFail, FaultAction::kCrash}) {
      SCOPED_TRACE(static_cast<int>(step) * 10 + static_cast<int>(action));
      fs::remove_all(dir_);
      fs::create_directories(dir_);
      Spit(file, old);
      const auto error = WriteFileAtomically(file, std::string(5000, 'x'), [&](WriteStep s) {
        return s == step ? action : FaultAction::kProceed;
      });
      ASSERT_TRUE(error);
      EXPECT_TRUE(error->IsWriteFailure());
      EXPECT_EQ(Slurp(file), old);
      if (action == FaultAction::kFail) {
        EXPECT_EQ(Names(), std::vector<std::string>{"Trilane.ini"});
      }
      // After a crash a half-written temporary file may remain; the next write still works.
      ASSERT_FALSE(WriteFileAtomically(file, "fine"));
      EXPECT_EQ(Slurp(file), "fine");
    }
  }
}

TEST_F(AtomicWrite, RefusesReadOnlyFilesAndMissingFolders) {
  const fs::path file = dir_ / "locked.ini";
  Spit(file, "keep me");
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  auto error = WriteFileAtomically(file, "replaced");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, RecordErrorKind::kReadOnly);
  EXPECT_EQ(Slurp(file), "keep me");

  error = WriteFileAtomically(dir_ / "no such folder" / "x.ini", "bytes");
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, RecordErrorKind::kCreateFailed);

  fs::create_directories(dir_ / "folder.ini");
  error = WriteFileAtomically(dir_ / "folder.ini", "bytes");
  ASSERT_TRUE(error);
  EXPECT_TRUE(fs::is_directory(dir_ / "folder.ini"));
}

TEST_F(AtomicWrite, ReadingReportsMissingAndUnreadable) {
  auto missing = ReadWholeFile(dir_ / "absent");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().kind, RecordErrorKind::kMissing);
  auto folder = ReadWholeFile(dir_);
  ASSERT_FALSE(folder);
  EXPECT_EQ(folder.error().kind, RecordErrorKind::kUnreadable);
  const std::string bytes("a\0b\xff", 4);
  Spit(dir_ / "binary", bytes);
  EXPECT_EQ(*ReadWholeFile(dir_ / "binary"), bytes);
}

}  // namespace
}  // namespace trilane
