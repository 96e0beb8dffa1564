#include <gtest/gtest.h>

#include "base/codepage.h"
#include "records/address_cipher.h"
#include "records/settings.h"
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

TEST(Settings, DefaultFileCharacterForCharacter) {
  const std::string file = FormatSettings(DefaultSettings());
  const auto lines = SplitLines(file);
  ASSERT_EQ(lines.size(), 35u);
  EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
  EXPECT_EQ(file.find('\n'), file.find("\r\n") + 1);
  const std::vector<std::string> expected = {"<# General>",
                                             "011110141RL010020000",
                                             "<# Cards>",
                                             "0",
                                             "<# Decks>",
                                             "000",
                                             "<# Individual>",
                                             "0#####",
                                             "<# Fonts>",
                                             "Comic Sans MS",
                                             "Comic Sans MS",
                                             "FixedSys",
                                             "Courier New",
                                             "100",
                                             "100",
                                             "100",
                                             "100",
                                             "<# IP & Port>",
                                             "127.0.0.1",
                                             "25666",
                                             "<# Background>",
                                             "020",
                                             "<# Name Of Player>",
                                             "",
                                             "<# World Top Ten>"};
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << i + 1;
  EXPECT_EQ(lines[26], "Incognito");
  EXPECT_EQ(lines[27], "1-001");
  EXPECT_EQ(lines[28], "Moscow");
  EXPECT_EQ(lines[29], "M");
  EXPECT_EQ(lines[31], "<# Save Games as GIF>");
  EXPECT_EQ(lines[32], "\xEB");
  EXPECT_EQ(lines[33], "1");
  EXPECT_EQ(lines[34], "1000");
}

TEST(Settings, GoodFileReadsEveryField) {
  const SettingsRead read = ParseSettings(Slurp(DataFile("settings_good.ini")));
  EXPECT_TRUE(read.reachedEnd);
  EXPECT_TRUE(read.notes.empty()) << read.notes.front().Where();
  const TSettings& s = read.settings;
  // General line "320621352#L151121010".
  EXPECT_EQ(s.LanguageIndex, 3);
  EXPECT_TRUE(s.SoundOn);
  EXPECT_FALSE(s.MusicOn);
  EXPECT_FALSE(s.GifAnimationOn);
  EXPECT_TRUE(s.FlyCardsOn);  // only "0" turns it off
  EXPECT_EQ(s.MenuMode, 2);
  EXPECT_TRUE(s.NetMode);
  EXPECT_TRUE(s.OwnCursor);  // only "0" turns it off
  EXPECT_EQ(s.FlightSpeed, 5);
  EXPECT_EQ(s.WindowSize, 2);
  EXPECT_FALSE(s.StartRegistered);
  EXPECT_TRUE(s.Liked);
  EXPECT_FALSE(s.RadioListFromServer);
  EXPECT_EQ(s.CaptionTint, 5);
  EXPECT_TRUE(s.NewButtons);
  EXPECT_TRUE(s.AuxPurple);
  EXPECT_EQ(s.AuxGray, 2);
  EXPECT_EQ(s.MenuDesign, 1);
  EXPECT_EQ(s.TableDesign, 0);
  EXPECT_TRUE(s.SaluteButtons);
  EXPECT_FALSE(s.SaluteCards);
  // The other lines.
  EXPECT_EQ(s.CardDesign, 17);
  EXPECT_EQ(s.BackDesign, 9);
  EXPECT_TRUE(s.BackAlwaysOne);
  EXPECT_TRUE(s.RuleTwoFour);
  EXPECT_EQ(s.FontName,
            (std::array<std::string, 4>{"Arial", "Times New Roman", "Fixedsys", "Courier New"}));
  EXPECT_EQ(s.FontScale, (std::array<int, 4>{120, 90, 100, 150}));
  EXPECT_EQ(s.ServerAddress, "192.168.0.7");
  EXPECT_EQ(s.ServerPort, "25700");
  EXPECT_EQ(s.Background, 7);
  EXPECT_EQ(s.BackgroundColour, 4);
  EXPECT_EQ(s.PlayerName, Cp("Вера"));
  EXPECT_EQ(s.TopTenScriptPath, "c2NyaXB0");
  EXPECT_EQ(s.TopTenNick, "Verochka");
  EXPECT_EQ(s.TopTenCountry, "2-017");
  EXPECT_EQ(s.TopTenCity, Cp("Тверь"));
  EXPECT_EQ(s.TopTenSex, "W");
  EXPECT_EQ(s.StatsScriptPath, "c3RhdHM=");
  EXPECT_FALSE(s.GifRecording);  // line 33 says on, but only the small window records
  EXPECT_EQ(s.GifSource, 2);
  EXPECT_EQ(s.GifDelay, 250);
}

TEST(Settings, WrittenValuesReadBackTheSame) {
  TSettings a = ParseSettings(Slurp(DataFile("settings_good.ini"))).settings;
  TSettings b = DefaultSettings();
  b.LanguageIndex = 15;  // written "f"
  b.SoundOn = false;
  b.MusicOn = true;
  b.WindowSize = 1;
  b.GifRecording = true;
  b.StartRegistered = false;
  b.Liked = false;
  b.CaptionTint = 7;
  b.AuxGray = 3;
  b.SaluteCards = true;
  b.BackDesign = 12;
  b.PlayerName = Cp("Ёлка & Co");
  for (const TSettings& s : {DefaultSettings(), a, b}) {
    const SettingsRead back = ParseSettings(FormatSettings(s));
    EXPECT_TRUE(back.reachedEnd);
    EXPECT_TRUE(back.notes.empty());
    EXPECT_EQ(back.settings, s);
  }
}

TEST(Settings, GeneralLineCodes) {
  struct Case {
    std::string general;
    int language;
    bool sound, music;
  };
  const Case cases[] = {
      {"0", 0, true, true},    {"9", 9, true, true},   {"a", 10, true, true},
      {"k", 20, true, true},   {"l", 0, true, true},   {"A", 0, true, true},
      {"00", 0, false, false}, {"12", 1, true, false}, {"13", 1, false, true},
      {"1x", 1, true, true},
  };
  const std::string defaults = FormatSettings(DefaultSettings());
  const auto base = SplitLines(defaults);
  for (const Case& c : cases) {
    std::vector<std::string> lines(base.begin(), base.end());
    lines[1] = c.general;  // a short general line: only the positions it holds are read
    const TSettings s = ParseSettings(JoinLines(lines)).settings;
    EXPECT_EQ(s.LanguageIndex, c.language) << c.general;
    EXPECT_EQ(s.SoundOn, c.sound) << c.general;
    EXPECT_EQ(s.MusicOn, c.music) << c.general;
    EXPECT_TRUE(s.StartRegistered) << "position 10 is not in the line";
  }
  TSettings eleven = DefaultSettings();
  eleven.LanguageIndex = 11;
  EXPECT_EQ(DisplayLanguage(eleven), 0);  // no words table: English
}

TEST(Settings, BrokenFilesKeepDefaults) {
  const TSettings d = DefaultSettings();
  const TSettings good = ParseSettings(Slurp(DataFile("settings_good.ini"))).settings;

  // 34 lines: nothing is taken.
  auto r = ParseSettings(Slurp(DataFile("settings_34_lines.ini")));
  EXPECT_EQ(r.settings, d);
  EXPECT_FALSE(r.reachedEnd);

  // Line 6 of one character: the general line and card design are read, nothing after.
  r = ParseSettings(Slurp(DataFile("settings_short_line6.ini")));
  EXPECT_EQ(r.settings.LanguageIndex, 3);
  EXPECT_EQ(r.settings.CardDesign, 17);
  EXPECT_EQ(r.settings.BackDesign, d.BackDesign);
  EXPECT_EQ(r.settings.RuleTwoFour, d.RuleTwoFour);
  EXPECT_EQ(r.settings.FontName, d.FontName);
  EXPECT_EQ(r.settings.ServerAddress, d.ServerAddress);
  EXPECT_FALSE(r.reachedEnd);
  ASSERT_FALSE(r.notes.empty());
  EXPECT_EQ(r.notes.back().line, 6);

  // Empty line 12: the first two font names are read; scales, address and the rest keep
  // their defaults.
  r = ParseSettings(Slurp(DataFile("settings_empty_line12.ini")));
  EXPECT_EQ(r.settings.FontName[0], "Arial");
  EXPECT_EQ(r.settings.FontName[1], "Times New Roman");
  EXPECT_EQ(r.settings.FontName[2], d.FontName[2]);
  EXPECT_EQ(r.settings.FontScale, d.FontScale);
  EXPECT_EQ(r.settings.ServerAddress, d.ServerAddress);
  EXPECT_EQ(r.settings.ServerPort, d.ServerPort);
  EXPECT_EQ(r.settings.Background, d.Background);
  EXPECT_EQ(r.settings.PlayerName, d.PlayerName);
  EXPECT_EQ(r.settings.TopTenNick, "Incognito");
  EXPECT_EQ(r.settings.TopTenScriptPath, d.TopTenScriptPath);
  EXPECT_EQ(r.settings.GifDelay, d.GifDelay);
  EXPECT_EQ(r.settings.BackDesign, 9);
  EXPECT_EQ(r.notes.back().line, 12);

  // Odd values: language "a", country 1-049 (Europe has 48), sex "X".
  r = ParseSettings(Slurp(DataFile("settings_odd_values.ini")));
  EXPECT_TRUE(r.reachedEnd);
  EXPECT_EQ(r.settings.LanguageIndex, 10);
  EXPECT_EQ(r.settings.TopTenCountry, "1-001");
  EXPECT_EQ(r.settings.TopTenSex, "M");
  EXPECT_EQ(r.settings.GifDelay, good.GifDelay);

  // Words where numbers belong keep the default of that value only.
  r = ParseSettings(Slurp(DataFile("settings_not_numbers.ini")));
  EXPECT_TRUE(r.reachedEnd);
  EXPECT_EQ(r.settings.CardDesign, d.CardDesign);
  EXPECT_EQ(r.settings.FontScale[0], d.FontScale[0]);
  EXPECT_EQ(r.settings.FontScale[1], 90);
  EXPECT_EQ(r.settings.GifDelay, d.GifDelay);
  EXPECT_EQ(r.settings.TopTenNick, "Verochka");
  std::vector<int> noted;
  for (const auto& n : r.notes) noted.push_back(n.line);
  EXPECT_EQ(noted, (std::vector<int>{4, 14, 35}));
}

TEST(Settings, CountryCodes) {
  for (const char* good : {"1-001", "1-048", "2-051", "3-035", "4-014", "5-023", "6-054"}) {
    EXPECT_TRUE(IsValidCountryCode(good)) << good;
  }
  for (const char* bad :
       {"1-049", "7-001", "0-001", "1-000", "1_001", "1-01", "1-0a1", "1- 01", "1-001 "}) {
    EXPECT_FALSE(IsValidCountryCode(bad)) << bad;
  }
}

TEST(AddressCipher, RoundTripsAndDefaults) {
  for (const uint16_t key : {uint16_t{0}, uint16_t{1}, kSettingsAddressKey, uint16_t{0xFFFF}}) {
    for (const std::string& plain :
         {std::string(), std::string("a"), std::string("ab"),
          std::string("http://127.0.0.1:8094/x"), std::string("\0\xff\x80 bytes", 9)}) {
      const std::string text = EncipherAddress(plain, key);
      EXPECT_EQ(text.size() % 4, 0u);
      EXPECT_EQ(DecipherAddress(text, key), plain);
    }
  }
  EXPECT_NE(EncipherAddress("http://127.0.0.1/", 1), EncipherAddress("http://127.0.0.1/", 2));
  EXPECT_EQ(EncipherAddress("http://127.0.0.1/", 1).find("127"), std::string::npos);
  for (const char* bad : {"abc", "a===", "ab!d", "=abc", "ab=c"}) {
    EXPECT_FALSE(DecipherAddress(bad, 1)) << bad;
  }
  const TSettings d = DefaultSettings();
  EXPECT_EQ(DecipherAddress(d.TopTenScriptPath, kSettingsAddressKey), kDefaultWorldTopScript);
  EXPECT_EQ(DecipherAddress(d.StatsScriptPath, kSettingsAddressKey), kDefaultStatsScript);
}

class SettingsFile : public ScratchDir {};

TEST_F(SettingsFile, LoadSaveAndFailedSaves) {
  const fs::path file = dir_ / kSettingsFileName;
  SettingsRead missing = LoadSettings(file);
  EXPECT_EQ(missing.settings, DefaultSettings());
  ASSERT_EQ(missing.notes.size(), 1u);
  EXPECT_EQ(missing.notes[0].kind, RecordErrorKind::kMissing);

  TSettings s = DefaultSettings();
  s.PlayerName = "Tom";
  ASSERT_FALSE(SaveSettings(file, s));
  EXPECT_EQ(LoadSettings(file).settings, s);

  // One failed attempt is retried; two are reported and leave the file as it was.
  int attempts = 0;
  s.PlayerName = "Jerry";
  auto failOnce = [&](WriteStep step) {
    if (step != WriteStep::kWriteData) return FaultAction::kProceed;
    return ++attempts == 1 ? FaultAction::kFail : FaultAction::kProceed;
  };
  EXPECT_FALSE(SaveSettings(file, s, failOnce));
  EXPECT_EQ(LoadSettings(file).settings.PlayerName, "Jerry");

  const std::string before = Slurp(file);
  auto error = SaveSettings(file, DefaultSettings(), [](WriteStep) { return FaultAction::kFail; });
  ASSERT_TRUE(error);
  EXPECT_TRUE(error->IsWriteFailure());
  EXPECT_EQ(Slurp(file), before);
}

}  // namespace
}  // namespace trilane
