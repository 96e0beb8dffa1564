// The real program, run as a demo on a copy of its folder: three rounds must end the match by
// themselves and leave a valid history file and club file behind; a start that cannot use
// the club files ends at once and says why on the error stream.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "records/club_file.h"
#include "records/history_file.h"
#include "tests/program/program_folder.h"

namespace trilane {
namespace {

using testing::ProgramFolder;

// Copies the program into `folder` and starts it there, headless with sound opened.
void StartProgram(ProgramFolder& folder, QProcess& run, const QStringList& arguments) {
  const std::filesystem::path program = std::filesystem::path(TRILANE_PROGRAM_DIR) / "trilane";
  ASSERT_TRUE(std::filesystem::exists(program));
  std::filesystem::copy_file(program, folder.File("trilane"));
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("SDL_AUDIODRIVER", "dummy");
  run.setProcessEnvironment(env);
  run.setWorkingDirectory(QString::fromStdString(folder.Path().string()));
  run.start(QString::fromStdString(folder.File("trilane").string()), arguments);
  ASSERT_TRUE(run.waitForStarted(10000));
}

TEST(DemoRunTest, AMissingOrBrokenClubFileIsNamedOnTheErrorStream) {
  struct Case {
    const char* what;
    std::function<void(ProgramFolder&)> prepare;
    std::vector<std::string> expected;  // on the error stream
  };
  const Case kCases[] = {
      {"no club files", [](ProgramFolder&) {}, {"Can`t find the file \"", "Trilane.clb\"!"}},
      {"a cut network file",
       [](ProgramFolder& folder) {
         folder.InstallClubFiles();
         folder.Write("Trilane.net", folder.Read("Trilane.net").substr(0, 100));
       },
       {"The incorrect file \"", "Trilane.net\"!\n", "line "}},
  };
  for (const Case& c : kCases) {
    ProgramFolder folder;
    c.prepare(folder);
    const std::string before = std::filesystem::exists(folder.File("Trilane.net"))
                                   ? folder.Read("Trilane.net")
                                   : std::string();
    QProcess run;
    ASSERT_NO_FATAL_FAILURE(StartProgram(folder, run, {"--demo"})) << c.what;
    ASSERT_TRUE(run.waitForFinished(60000)) << c.what << ": the program did not end";
    EXPECT_EQ(run.exitCode(), 1) << c.what;
    const std::string err = run.readAllStandardError().toStdString();
    for (const std::string& part : c.expected) {
      EXPECT_NE(err.find(part), std::string::npos) << c.what << ": " << err;
    }
    // The broken file is left as it was, and no settings were written.
    if (!before.empty()) {
      EXPECT_EQ(folder.Read("Trilane.net"), before) << c.what;
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("Trilane.ini"))) << c.what;
  }
}

TEST(DemoRunTest, ThreeRoundsLeaveAHistoryLineAndAMemberLine) {
  ProgramFolder folder;
  folder.InstallClubFiles();
  QProcess run;
  ASSERT_NO_FATAL_FAILURE(
      StartProgram(folder, run, {"--demo", "--demo-rounds", "3", "--seed", "7", "--speed", "6"}));
  ASSERT_TRUE(run.waitForFinished(180000)) << "the demo did not end by itself";
  EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();

  const HistoryCheck history = CheckHistoryFile(folder.Path() / "History" / "Trilane_I0001.hst");
  ASSERT_TRUE(history.valid) << history.error.Describe();
  ASSERT_EQ(history.records, 1);
  const auto row = ReadHistoryRecord(history.recordLines[0]);
  ASSERT_TRUE(row.has_value());
  EXPECT_EQ(row->games, 3);

  auto club = LoadClubFile(folder.File("Trilane.clb"));
  ASSERT_TRUE(club.has_value()) << club.error().Describe();
  const Member member = ReadMember(*club, 1);
  ASSERT_FALSE(member.empty);
  EXPECT_EQ(member.games, 3);
  EXPECT_EQ(member.cycleScore, row->result);
  // The settings were written at the close.
  EXPECT_TRUE(std::filesystem::exists(folder.File("Trilane.ini")));
}

TEST(DemoRunTest, ASessionsEndRequestClosesTheProgramAndKeepsItsSettings) {
  ProgramFolder folder;
  folder.InstallClubFiles();
  // The title screen, then the menu, idle for a long while, sound opened as at a player's
  // desk: only the signal ends it.
  QProcess run;
  ASSERT_NO_FATAL_FAILURE(StartProgram(folder, run, {"--measure", "--idle-seconds", "120"}));
  while (!run.readAllStandardOutput().contains("title-painted"))
    ASSERT_TRUE(run.waitForReadyRead(30000)) << "the title screen never came";
  run.waitForFinished(2000);  // the song and the start-up work get going
  ASSERT_EQ(run.state(), QProcess::Running);
  run.terminate();  // SIGTERM, as a logout sends
  ASSERT_TRUE(run.waitForFinished(15000)) << "the program ignored the request to end";
  EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
  EXPECT_TRUE(std::filesystem::exists(folder.File("Trilane.ini")));
}

}  // namespace
}  // namespace trilane
