#pragma once
// The settings record and its file "Trilane.ini": 35 lines of code-page-1251 text with
// CR LF ends, section titles and values alternating. The meaning of a value comes from its
// line number and, in the general line (line 2), from the character position.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/expected.h"
#include "records/file_io.h"
#include "records/record_error.h"

namespace trilane {

inline constexpr char kSettingsFileName[] = "Trilane.ini";
inline constexpr int kSettingsLines = 35;

// Every user choice of the program. Texts are code-page-1251 bytes. Arrays are 0-based:
// index r - 1 is font role r (1 "decor", 2 "serif", 3 "fixed", 4 "conew").
struct TSettings {
  int LanguageIndex = 0;  // 0..9; the file can carry up to 20 (see DisplayLanguage)
  bool SoundOn = true;
  bool MusicOn = true;
  bool GifAnimationOn = true;
  bool FlyCardsOn = true;
  bool OwnCursor = true;
  int FlightSpeed = 4;  // 1..6
  int WindowSize = 1;   // 1 small, 2 full screen, 3..5 the larger windows
  int MenuMode = 1;     // 1 cycle games and score, 2 all games and rating
  bool NetMode = false;
  bool StartRegistered = true;
  bool Liked = true;
  bool RadioListFromServer = true;
  int CaptionTint = 1;  // 1..7
  bool NewButtons = false;
  bool AuxPurple = false;
  int AuxGray = 2;      // 1..3
  int MenuDesign = 0;   // 0..1
  int TableDesign = 0;  // 0..1
  bool SaluteButtons = false;
  bool SaluteCards = false;
  int CardDesign = 0;  // 0..47
  int BackDesign = 0;  // 0..12
  bool BackAlwaysOne = false;
  bool RuleTwoFour = false;  // true "2-4", false "1-6"
  std::array<std::string, 4> FontName{"Comic Sans MS", "Comic Sans MS", "FixedSys", "Courier New"};
  std::array<int, 4> FontScale{100, 100, 100, 100};  // 50..150 percent
  std::string ServerAddress = "127.0.0.1";
  std::string ServerPort = "25666";
  int Background = 2;        // 1..10
  int BackgroundColour = 0;  // 0..6
  std::string PlayerName;
  std::string TopTenScriptPath;          // enciphered (records/address_cipher.h)
  std::string TopTenNick = "Incognito";  // at most 12 characters
  std::string TopTenCountry = "1-001";   // continent digit, "-", country number
  std::string TopTenCity = "Moscow";     // at most 15 characters
  std::string TopTenSex = "M";           // "M" or "W"
  std::string StatsScriptPath;           // enciphered
  bool GifRecording = false;
  int GifSource = 1;    // 1 main window, 2 screen
  int GifDelay = 1000;  // 10..5000 ms

  bool operator==(const TSettings&) const = default;
};

// The defaults, with the two script addresses set to the built-in enciphered values.
TSettings DefaultSettings();

// The language whose words are shown: indexes without a table (10 and above) show English.
inline int DisplayLanguage(const TSettings& s) {
  return s.LanguageIndex >= 0 && s.LanguageIndex <= 9 ? s.LanguageIndex : 0;
}

// True when `code` is a valid country code: continent 1..6, "-", a three-digit number
// within that continent's list.
bool IsValidCountryCode(std::string_view code);

struct SettingsRead {
  TSettings settings;
  // The reading got through line 35 (only then are the script addresses refreshed from the
  // service directory).
  bool reachedEnd = false;
  // Every place where a value was not taken and its default kept, with the reason.
  std::vector<RecordError> notes;
};

// Never fails: a short, broken or foreign file leaves defaults where it cannot be read.
SettingsRead ParseSettings(std::string_view bytes);
std::string FormatSettings(const TSettings& settings);

// A file that is missing or cannot be read gives the defaults, with a note saying why.
SettingsRead LoadSettings(const std::filesystem::path& path);
// Writes the 35 lines atomically; a failed attempt is tried once more. On failure the old
// file is intact and the caller shows "Can`t save options!".
std::optional<RecordError> SaveSettings(const std::filesystem::path& path,
                                        const TSettings& settings, const WriteFaultHook& hook = {});

}  // namespace trilane
