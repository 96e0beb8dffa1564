// The world windows' decisions without a window: passport names, the board's characters,
// the chat settings file and the start categories.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "program/world_rules.h"

namespace trilane {
namespace {

namespace fs = std::filesystem;

// A folder of its own for each test: the program folder is "Trilane" inside it, so the chat
// settings file lands in the test's folder and nowhere else.
class TempFolder {
 public:
  TempFolder() {
    std::random_device rd;
    dir_ = fs::temp_directory_path() /
           ("trilane-world-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    fs::create_directories(dir_ / "Trilane");
  }
  ~TempFolder() {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  fs::path Program() const { return dir_ / "Trilane"; }
  fs::path Path() const { return dir_; }

 private:
  fs::path dir_;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(PassportNames, TwoToMaxAllowedCharacters) {
  struct Case {
    std::string text;
    size_t max;
    bool valid;
  } cases[] = {
      {"Al", 12, true},
      {"A", 12, false},  // one character
      {"", 12, false},
      {"Ann_Lee-1.(x)", 12, false},  // 13 characters
      {"Ann_Lee-1(x)", 12, true},
      {"Ann Lee", 12, false},                // a blank
      {"\xC8\xE2\xE0\xED", 12, true},        // "Иван" in code page 1251
      {"\xA8\xB8", 12, true},                // Ё ё
      {"ab#", 12, false},                    // "#" is not a passport character
      {"ab$", 15, false},                    // nor "$"
      {"Saint-Petersbur", 15, true},         // a city of 15
      {"Saint-Petersburg", 15, false},       // and of 16
      {std::string("a\x98", 2), 12, false},  // the code page's unassigned byte
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsPassportName(c.text, c.max), c.valid) << c.text;
  }
}

TEST(BoardText, DisallowedCharactersBecomeUnderscoresAndShowAsBlanks) {
  EXPECT_EQ(BoardText("Hello world, all!"), "Hello_world,_all!");
  EXPECT_EQ(BoardText("#$%*~ "), "______");
  EXPECT_EQ(BoardText("\xCF\xF0\xE8\xE2\xE5\xF2 (ok)@x.ru"), "\xCF\xF0\xE8\xE2\xE5\xF2_(ok)@x.ru");
  EXPECT_EQ(ShownBoardText("Hello_world,_all!"), "Hello world, all!");
  EXPECT_EQ(ShownBoardText(BoardText("###")), "   ");
}

TEST(ChatSettingsFile, ParsesItsThreeLines) {
  struct Case {
    std::string bytes;
    ChatSettings expected;
  } cases[] = {
      {"1\r\n0\r\n0\r\n", {1, false, false}},
      {"57\r\n1\r\n1\r\n", {57, true, true}},
      {"57\n1\n1", {57, true, true}},           // bare line feeds, no last line end
      {"abc\r\n1\r\n0\r\n", {0, true, false}},  // a first line that is no number reads 0
      {"12x\r\n1\r\n0\r\n", {0, true, false}},
      {"9\r\n 1\r\n10\r\n", {9, false, false}},  // on only when exactly "1"
      {"", {0, false, false}},
      {"5", {5, false, false}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseChatSettings(c.bytes), c.expected) << c.bytes;
  }
  const ChatSettings s{123, true, false};
  EXPECT_EQ(FormatChatSettings(s), "123\r\n1\r\n0\r\n");
  EXPECT_EQ(ParseChatSettings(FormatChatSettings(s)), s);
}

TEST(ChatSettingsFile, LiesAboveTheProgramFolderAndIsCreatedWhenMissing) {
  TempFolder folder;
  const fs::path path = ChatSettingsPath(folder.Program());
  EXPECT_EQ(path, folder.Path() / "QorChatQor.ini");
  EXPECT_EQ(ChatSettingsPath(folder.Program() / ""), path);

  ASSERT_FALSE(fs::exists(path));
  EXPECT_EQ(LoadChatSettings(path), (ChatSettings{1, false, false}));
  EXPECT_EQ(ReadAll(path), "1\r\n0\r\n0\r\n");

  ASSERT_TRUE(SaveChatSettings(path, {40, true, true}));
  EXPECT_EQ(LoadChatSettings(path), (ChatSettings{40, true, true}));
}

TEST(ChatSettingsFile, AFolderThatCannotBeWrittenCountsEveryMessageAsNew) {
  if (geteuid() == 0) GTEST_SKIP() << "the superuser writes into any folder";
  TempFolder folder;
  fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
  const ChatSettings read = LoadChatSettings(ChatSettingsPath(folder.Program()));
  EXPECT_EQ(read.lastSeen, 0);
}

TEST(Board, LastMessageAtTheBottomTurnsTheRowsOver) {
  EXPECT_EQ(BoardRow(1, false), 1);
  EXPECT_EQ(BoardRow(10, false), 10);
  EXPECT_EQ(BoardRow(1, true), 10);
  EXPECT_EQ(BoardRow(10, true), 1);
  // The blanks of a system's time format become "_"; the title holds board text only.
  EXPECT_EQ(MessageStamp("9:05 PM", "12/11/26", "Tri lane#"), "9:05_PM_12/11/26_Tri_lane_");
}

TEST(WorldCategories, StartWhereTheMenuAsks) {
  EXPECT_EQ(TopTenButtonCategory(false), WorldCategory::kLocal);
  EXPECT_EQ(TopTenButtonCategory(true), WorldCategory::kNet);
  const std::pair<int, WorldCategory> picture[] = {
      {0, WorldCategory::kWindowsCycles}, {1, WorldCategory::kWindowsCycles},
      {2, WorldCategory::kAccountCycles}, {3, WorldCategory::kWindowsCycles},
      {4, WorldCategory::kAndroidCycles}, {5, WorldCategory::kWindowsCycles},
      {7, WorldCategory::kWindowsCycles}};
  for (auto [last, expected] : picture) EXPECT_EQ(WorldPictureCategory(last), expected) << last;
  EXPECT_EQ(CategoryTable(WorldCategory::kAccountCycles), 1114);
  EXPECT_EQ(CategoryTable(WorldCategory::kWindowsCycles), 814);
  EXPECT_EQ(CategoryTable(WorldCategory::kAndroidCycles), 914);
  EXPECT_FALSE(CategoryTable(WorldCategory::kLocal));
}

TEST(WorldTexts, RatingsWithThreeDecimalsAndACommaNotesWithTheVersion) {
  const std::pair<double, const char*> ratings[] = {
      {3.05, "3,050"},   {-9.95, "-9,950"},   {0.0005, "0,000"},  // a half goes to even
      {0.0015, "0,002"}, {12.3456, "12,346"}, {-0.0004, "0,000"}, {1234.5, "1234,500"}};
  for (auto [rating, text] : ratings) EXPECT_EQ(RatingText(rating), text) << rating;
  EXPECT_EQ(StatisticsNote("This statistic is maintained since version"),
            "This statistic is maintained since version 5.7");
  EXPECT_EQ(OnlineListSelector(0), 's');
  EXPECT_EQ(OnlineListSelector(1), 'r');
  EXPECT_EQ(OnlineListSelector(2), 'k');
}

}  // namespace
}  // namespace trilane
