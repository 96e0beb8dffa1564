#pragma once
// What the world windows and the message board decide without drawing: the characters a
// passport name and a board message may hold, the chat settings file shared by the maker's
// games, where each world category starts and what it reads, and the texts the windows
// compose. Texts are code-page-1251 bytes, as everywhere below the windows.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace trilane {

// ---- Passport names and board texts ----

// The characters of passport names and board messages: Latin letters, digits, the Cyrillic
// letters А..я with Ё and ё, and ! ( ) , - . @ _ (a code-page-1251 byte).
bool IsPassportChar(unsigned char byte);
// A passport nick or city, and the name a like is sent with: 2..maxChars such characters.
bool IsPassportName(std::string_view cp1251, size_t maxChars);
inline constexpr size_t kPassportNickChars = 12;
inline constexpr size_t kPassportCityChars = 15;

// A text as the board takes it: every other character, the blank included, becomes "_".
std::string BoardText(std::string_view cp1251);
// A board text as it is shown: "_" is drawn as a blank.
std::string ShownBoardText(std::string_view cp1251);

// ---- The chat settings file ----

inline constexpr char kChatSettingsFileName[] = "QorChatQor.ini";

struct ChatSettings {
  int64_t lastSeen = 1;       // the newest message number the player has seen
  bool lastAtBottom = false;  // the board is drawn oldest first
  bool openOnNew = false;     // a new message opens the board during a game
  bool operator==(const ChatSettings&) const = default;
};

// The file lies in the folder above the program's folder, which the maker's games share.
std::filesystem::path ChatSettingsPath(const std::filesystem::path& programFolder);
// Three lines: a first line that is not a number reads as 0; lines 2 and 3 are on only when
// they are exactly "1".
ChatSettings ParseChatSettings(std::string_view bytes);
std::string FormatChatSettings(const ChatSettings& settings);
// Reads the file; a missing one is created as "1", "0", "0". A file that cannot be read
// (nor created) gives a last-seen number of 0, so every message counts as new.
ChatSettings LoadChatSettings(const std::filesystem::path& path);
// False when the file could not be written (the old one is kept).
bool SaveChatSettings(const std::filesystem::path& path, const ChatSettings& settings);

// The row 1..10 of the board that record 1..10 takes.
int BoardRow(int record, bool lastAtBottom);

// The stamp a message carries: time + "_" + date + "_" + the program's title; blanks and the
// reply grammar's terminators become "_", the title holds board text only.
std::string MessageStamp(std::string_view time, std::string_view date, std::string_view title);

// ---- The world top ten ----

// Categories 1..7 (A..G) of the world top-ten window.
enum class WorldCategory : int {
  kAccountRating = 1,  // A: the world top ten by account rating
  kAccountCycles = 2,  // B: cycles played for the rating (table 1114)
  kWindowsCycles = 3,  // C: cycles played without an account on this program (814)
  kAndroidCycles = 4,  // D: the phone version's table (914)
  kOnline = 5,         // E: the online tournament
  kLocal = 6,          // F: the local club file's top ten
  kNet = 7,            // G: the network club file's top ten
};

// The category the "Top Ten" button opens: F, or G in network mode.
WorldCategory TopTenButtonCategory(bool netMode);
// The category the menu's world picture opens: the last of B, C or D chosen, else C.
WorldCategory WorldPictureCategory(int lastCategory);
// The world table a category reads (1114, 814 or 914), or nothing.
std::optional<int64_t> CategoryTable(WorldCategory category);
// The words entry of a category's title.
int CategoryTitleEntry(WorldCategory category);

// A rating as the lists show it: three decimals, halves to even, with a comma.
std::string RatingText(double rating);

// The note of the statistics window: the entry's text with this program's version after it.
std::string StatisticsNote(std::string_view entryText);
inline constexpr char kStatisticsVersion[] = "5.7";

// ---- The online top ten ----

// The list selector of the online top ten: 0 score 's', 1 rating 'r', 2 games 'k'.
char OnlineListSelector(int index);

}  // namespace trilane
