#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

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
#ifdef _WIN32
  // Windows has no permission bits, only the read-only attribute: a writable file reads as
  // read-write for everyone, before and after the replacement.
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::group_write | fs::perms::others_read | fs::perms::others_write);
#else
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
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

TEST_F(AtomicWrite, ReplacingAFileThatIsOpen) {
  const fs::path file = dir_ / "Trilane.ini";
  Spit(file, "old");
  std::ifstream reader(file, std::ios::binary);  // another program reading the file
  ASSERT_TRUE(reader);
  const auto error = WriteFileAtomically(file, "new");
#ifdef _WIN32
  // Windows does not replace a file that is open without delete sharing (as the C runtime
  // opens files): the write fails as a whole, the old bytes stay and no temporary file is
  // left. Once the file is closed the same write goes through.
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, RecordErrorKind::kRenameFailed);
  EXPECT_NE(error->reason.find("open in another program"), std::string::npos) << error->reason;
  EXPECT_EQ(Slurp(file), "old");
  EXPECT_EQ(Names(), std::vector<std::string>{"Trilane.ini"});
  reader.close();
  ASSERT_FALSE(WriteFileAtomically(file, "new"));
#else
  // POSIX replaces the name; the reader goes on reading the old bytes to their end.
  ASSERT_FALSE(error) << error->Describe();
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), "old");
#endif
  EXPECT_EQ(Slurp(file), "new");
}

TEST_F(AtomicWrite, CyrillicFolderAndFileNames) {
  // A program folder with a Russian name: on Windows every step has to use the wide-character
  // calls (the ANSI code page of a Western system has no Cyrillic); errors name it in UTF-8.
  const fs::path folder = dir_ / fs::path(u8"Игры");
  fs::create_directories(folder);
  const fs::path file = folder / fs::path(u8"Трилейн.ini");
  ASSERT_FALSE(WriteFileAtomically(file, "first"));
  ASSERT_FALSE(WriteFileAtomically(file, "second"));
  EXPECT_EQ(*ReadWholeFile(file), "second");
  EXPECT_EQ(Names(), std::vector<std::string>{"Игры"});
  EXPECT_EQ(fs::directory_iterator(folder)->path().filename(), fs::path(u8"Трилейн.ini"));

  auto missing = ReadWholeFile(folder / fs::path(u8"Нет.ini"));
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().path.find("Игры"), std::string::npos) << missing.error().path;

  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_TRUE(IsReadOnlyFile(file));
  auto refused = WriteFileAtomically(file, "third");
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->kind, RecordErrorKind::kReadOnly);
  EXPECT_EQ(*ReadWholeFile(file), "second");
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
