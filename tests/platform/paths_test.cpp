// Where the program keeps its files: beside the executable when it runs from the build, in
// the user's folder when it is installed, and what a new user's folder starts with.
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace trilane {
namespace {

TEST(ProgramFolderTest, ChoosesBetweenTheExecutablesFolderAndTheUsersFolder) {
  struct Case {
    const char* what;
    QString installedData;
    bool writable;
    QString xdgDataHome;
    QString home;
    QString expected;
  };
  const QString exe = "/opt/build/Trilane";
  const Case cases[] = {
      {"the build: writable, no installed data", "", true, "/x/data", "/home/a", exe},
      {"installed", "/usr/share/games/trilane", false, "/x/data", "/home/a", "/x/data/Trilane"},
      // A root that may write /usr/games still keeps its files out of the system's folders.
      {"installed, folder writable", "/usr/share/games/trilane", true, "", "/root",
       "/root/.local/share/Trilane"},
      {"a read-only copy, no installed data", "", false, "/x/data/", "/home/a", "/x/data/Trilane"},
      {"XDG_DATA_HOME unset", "/d", false, "", "/home/a", "/home/a/.local/share/Trilane"},
      {"XDG_DATA_HOME relative is ignored", "/d", false, "data", "/home/a",
       "/home/a/.local/share/Trilane"},
      {"no home at all: the executable's folder", "/d", false, "", "", exe},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseProgramFolder(exe, c.installedData, c.writable, c.xdgDataHome, c.home),
              c.expected)
        << c.what;
  }
}

class UserFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root.isValid());
    installed = root.filePath("share/games/trilane");
    ASSERT_TRUE(QDir().mkpath(installed));
    Put(installed + "/Trilane.clb", "club");
    Put(installed + "/Trilane.net", "net club");
    // Installed files are read-only.
    for (const char* name : {"/Trilane.clb", "/Trilane.net"})
      QFile::setPermissions(installed + name, QFileDevice::ReadOwner | QFileDevice::ReadOther);
    user = root.filePath("home/.local/share/Trilane");
  }
  static void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  static QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }

  QTemporaryDir root;
  QString installed;
  QString user;
};

TEST_F(UserFolderTest, ANewUserStartsWithTheInstalledClubFilesAndMayWriteThem) {
  ASSERT_TRUE(PrepareUserFolder(user, installed));
  EXPECT_EQ(Read(user + "/Trilane.clb"), "club");
  EXPECT_EQ(Read(user + "/Trilane.net"), "net club");
  EXPECT_TRUE(QFileInfo(user + "/Trilane.clb").permissions() & QFileDevice::WriteOwner);
  // The player's results are never replaced by a later start.
  Put(user + "/Trilane.clb", "results");
  ASSERT_TRUE(PrepareUserFolder(user, installed));
  EXPECT_EQ(Read(user + "/Trilane.clb"), "results");
}

TEST_F(UserFolderTest, AFolderWithOneClubFileIsLeftAsItIs) {
  // A lost club file is reported by the start-up checks, not quietly made new.
  ASSERT_TRUE(QDir().mkpath(user));
  Put(user + "/Trilane.net", "net results");
  ASSERT_TRUE(PrepareUserFolder(user, installed));
  EXPECT_FALSE(QFileInfo::exists(user + "/Trilane.clb"));
  EXPECT_EQ(Read(user + "/Trilane.net"), "net results");
}

TEST_F(UserFolderTest, AFolderThatCannotBeMadeIsReported) {
  Put(root.filePath("file"), "x");
  EXPECT_FALSE(PrepareUserFolder(root.filePath("file/Trilane"), installed));
}

TEST_F(UserFolderTest, TheHelpPageIsBesideTheProgramOrInTheInstalledData) {
  ASSERT_TRUE(QDir().mkpath(installed + "/help"));
  Put(installed + "/help/3.html", "installed");
  ASSERT_TRUE(QDir().mkpath(user + "/help"));
  Put(user + "/help/5.html", "beside");
  EXPECT_EQ(HelpPage(user, installed, 5), user + "/help/5.html");  // beside wins
  EXPECT_EQ(HelpPage(user, installed, 3), installed + "/help/3.html");
  // Neither has it: the message names the place beside the program.
  EXPECT_EQ(HelpPage(user, installed, 7), user + "/help/7.html");
  EXPECT_EQ(HelpPage(user, QString(), 3), user + "/help/3.html");
}

TEST(AddOnFoldersTest, TheProgramFolderThenItsParent) {
  // The test runs from the build, which has no installed data folder.
  EXPECT_TRUE(InstalledDataFolder().isEmpty());
  EXPECT_EQ(AddOnFolders("/home/a/.local/share/Trilane"),
            (std::vector<QString>{"/home/a/.local/share/Trilane", "/home/a/.local/share"}));
}

}  // namespace
}  // namespace trilane
