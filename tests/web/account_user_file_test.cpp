// The local user file: byte layout, round trip, the files that count as none, where it lies
// and the password of the start-up sign-in.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "records/address_cipher.h"
#include "web/user_file.h"

namespace trilane::web {
namespace {

namespace fs = std::filesystem;

class UserFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = ::testing::TempDir() + "trilane-user-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path File() const { return dir_ / kUserFileName; }
  void Write(const std::string& bytes) const { std::ofstream(File(), std::ios::binary) << bytes; }
  std::string Read() const {
    std::ifstream in(File(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  fs::path dir_;
};

TEST_F(UserFileTest, WritesThreeLinesAndReadsThemBack) {
  const UserFile ann{"Ann", "secret12"};
  ASSERT_FALSE(WriteUserFile(File(), ann));
  const std::string bytes = Read();
  const std::string cipher = EncipherPassword("secret12");
  EXPECT_EQ(bytes, "Qor User File\r\nAnn\r\n" + cipher + "\r\n");
  EXPECT_EQ(cipher.find("secret"), std::string::npos);
  // Ours, not the addresses' key: a password line must not decipher as an address would.
  EXPECT_NE(DecipherAddress(cipher, kSettingsAddressKey), "secret12");
  EXPECT_EQ(ReadUserFile(File()), ann);

  // A nick in Cyrillic letters and a password with the characters the start-up replaces.
  const UserFile ivan{"\xC8\xE2\xE0\xED", "a b#c$d"};
  ASSERT_FALSE(WriteUserFile(File(), ivan));
  EXPECT_EQ(ReadUserFile(File()), ivan);
  // Lone LF line ends (a file that passed through an editor) read the same.
  Write("Qor User File\nAnn\n" + cipher + "\n");
  EXPECT_EQ(ReadUserFile(File()), ann);
}

// The bytes a saved sign-in has on disk: a change of the cipher or its key would make every
// user file written before it unreadable, so the expected bytes are fixed here, not taken
// from the code under test.
TEST_F(UserFileTest, AFileSavedByAnEarlierVersionStillReads) {
  Write("Qor User File\r\nAnn\r\nXfjC2OCPS4c=\r\n");
  EXPECT_EQ(ReadUserFile(File()), (UserFile{"Ann", "secret12"}));
  EXPECT_EQ(EncipherPassword("secret12"), "XfjC2OCPS4c=");
}

TEST_F(UserFileTest, AMalformedFileCountsAsNone) {
  const std::string cipher = EncipherPassword("secret12");
  const std::vector<std::pair<std::string, std::string>> broken = {
      {"empty", ""},
      {"header only", "Qor User File\r\n"},
      {"no password line", "Qor User File\r\nAnn\r\n"},
      {"wrong header", "Qor user file\r\nAnn\r\n" + cipher + "\r\n"},
      {"header with a blank", "Qor User File \r\nAnn\r\n" + cipher + "\r\n"},
      {"empty nick", "Qor User File\r\n\r\n" + cipher + "\r\n"},
      {"not base64", "Qor User File\r\nAnn\r\n!!!!\r\n"},
      {"cut base64", "Qor User File\r\nAnn\r\n" + cipher.substr(1) + "\r\n"},
      {"a fourth line", "Qor User File\r\nAnn\r\n" + cipher + "\r\nmore\r\n"},
      {"binary", std::string("\x00\xFF\x01Qor", 6)},
      {"huge", "Qor User File\r\nAnn\r\n" + std::string(1 << 20, 'A') + "\r\n"},
  };
  for (const auto& [name, bytes] : broken) {
    Write(bytes);
    EXPECT_FALSE(ReadUserFile(File())) << name;
  }
  fs::remove(File());
  EXPECT_FALSE(ReadUserFile(File())) << "missing";
  fs::create_directory(File());
  EXPECT_FALSE(ReadUserFile(File())) << "a folder";
}

TEST_F(UserFileTest, DeleteRemovesTheFileAndAFailedWriteKeepsTheOld) {
  ASSERT_FALSE(WriteUserFile(File(), {"Ann", "secret12"}));
  EXPECT_TRUE(DeleteUserFile(File()));
  EXPECT_FALSE(fs::exists(File()));
  EXPECT_TRUE(DeleteUserFile(File()));  // nothing to delete is no failure

  ASSERT_FALSE(WriteUserFile(File(), {"Ann", "secret12"}));
  // A nick with a line end would make a file that reads back as someone else.
  EXPECT_TRUE(WriteUserFile(File(), {"Bob\r\nX", "secret12"}));
  EXPECT_TRUE(WriteUserFile(File(), {"", "secret12"}));
  EXPECT_EQ(ReadUserFile(File())->nick, "Ann");
  EXPECT_TRUE(WriteUserFile(dir_ / "no such folder" / kUserFileName, {"Ann", "secret12"}));
}

TEST(UserFilePathTest, TheParentOfTheProgramsFolder) {
  const std::vector<std::pair<fs::path, fs::path>> cases = {
      {"/opt/games/trilane", "/opt/games/QorUser.qor"},
      {"/opt/games/trilane/", "/opt/games/QorUser.qor"},
      {"/opt/games/other", "/opt/games/QorUser.qor"},  // games side by side share it
      {"/trilane", "/QorUser.qor"},
      {"/", "/QorUser.qor"},  // no parent: the folder itself
      {"trilane", "trilane/QorUser.qor"},
  };
  for (const auto& [folder, file] : cases) EXPECT_EQ(UserFilePath(folder), file) << folder;
}

TEST(UserFilePathTest, TheStartupPasswordTurnsBlanksHashesAndDollarsIntoDashes) {
  EXPECT_EQ(StartupPassword("a b#c$d-e"), "a-b-c-d-e");
  EXPECT_EQ(StartupPassword("plain12"), "plain12");
}

}  // namespace
}  // namespace trilane::web
