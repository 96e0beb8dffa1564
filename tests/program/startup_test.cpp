// The club-file checks of the start, with the messages they show.
#include <gtest/gtest.h>

#include <filesystem>

#include "program/startup.h"
#include "records/club_file.h"
#include "tests/program/program_folder.h"
#include "words/words.h"

namespace trilane {
namespace {

using testing::ProgramFolder;

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override { SetLanguageIndex(kEnglish); }
  ProgramFolder folder_;
};

TEST_F(StartupTest, GoodFilesPass) {
  folder_.InstallClubFiles();
  const StartupChecks checks = CheckClubFiles(folder_.Path());
  EXPECT_TRUE(checks.ok) << checks.fatalMessage;
  EXPECT_TRUE(checks.warnings.empty());
  EXPECT_FALSE(checks.startInRussian);
  EXPECT_EQ(checks.marker, kInstalledMarker);
}

TEST_F(StartupTest, MissingFilesAreNamed) {
  const StartupChecks none = CheckClubFiles(folder_.Path());
  EXPECT_FALSE(none.ok);
  EXPECT_EQ(none.fatalMessage,
            "Can`t find the file \"" + (folder_.Path() / "Trilane.clb").string() + "\"!");

  // The local file alone: the network file is the one missing.
  folder_.InstallClubFiles();
  std::filesystem::remove(folder_.File("Trilane.net"));
  const StartupChecks net = CheckClubFiles(folder_.Path());
  EXPECT_FALSE(net.ok);
  EXPECT_NE(net.fatalMessage.find("Trilane.net"), std::string::npos);
}

TEST_F(StartupTest, BrokenFilesAreIncorrect) {
  folder_.InstallClubFiles();
  const std::string good = folder_.Read("Trilane.clb");
  struct Case {
    const char* what;
    std::string bytes;
    std::string reason;  // part of the message's second line
  };
  std::string sixteen = good.substr(0, good.rfind("\r\n", good.size() - 3) + 2);
  std::string badSum = good;
  badSum[2] = badSum[2] == 'x' ? 'y' : 'x';  // a name byte changes: the checksums no longer hold
  std::string foreign = good;
  const size_t line16 = 5 * 61 + 10 * 28;  // lines 1..15 with their CR LF
  foreign[line16] = static_cast<char>(foreign[line16] + 1);
  const Case cases[] = {
      {"16 lines", sixteen, "line 17: the file has 16 lines"},
      {"a changed byte", badSum, "line 17, column 11: checksum 1 is "},
      {"another game's marker", foreign, "line 16, column 1: the game marker"},
      {"empty", "", "the file has 0 lines"},
  };
  for (const Case& c : cases) {
    folder_.Write("Trilane.clb", c.bytes);
    const StartupChecks checks = CheckClubFiles(folder_.Path());
    EXPECT_FALSE(checks.ok) << c.what;
    EXPECT_EQ(checks.fatalMessage.rfind("The incorrect file \"", 0), 0u)
        << c.what << ": " << checks.fatalMessage;
    // The second line gives the reader's reason; the file stays as it was.
    const size_t brk = checks.fatalMessage.find("\n\r");
    ASSERT_NE(brk, std::string::npos) << c.what << ": " << checks.fatalMessage;
    EXPECT_EQ(checks.fatalMessage.substr(0, brk),
              "The incorrect file \"" + (folder_.Path() / "Trilane.clb").string() + "\"!");
    EXPECT_NE(checks.fatalMessage.find(c.reason, brk), std::string::npos)
        << c.what << ": " << checks.fatalMessage;
    EXPECT_EQ(folder_.Read("Trilane.clb"), c.bytes) << c.what;
  }
}

TEST_F(StartupTest, LineSeventeenStartsInRussian) {
  folder_.InstallClubFiles();
  ClubFile club = NewClubFile(false);
  club.lines[16][0] = '1';
  ASSERT_FALSE(SaveClubFile(folder_.File("Trilane.clb"), club).has_value());
  const StartupChecks checks = CheckClubFiles(folder_.Path());
  EXPECT_TRUE(checks.ok);
  EXPECT_TRUE(checks.startInRussian);
}

}  // namespace
}  // namespace trilane
