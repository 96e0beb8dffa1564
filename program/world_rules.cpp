#include "program/world_rules.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "base/rounding.h"
#include "records/file_io.h"
#include "web/account_rules.h"
#include "words/word_entries.h"

namespace trilane {

bool IsPassportChar(unsigned char c) {
  return web::IsNameCharacter(static_cast<char>(c));
}

bool IsPassportName(std::string_view text, size_t maxChars) {
  return web::RateText(text, maxChars, true) != web::FieldVerdict::kInvalid;
}

std::string BoardText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (!IsPassportChar(static_cast<unsigned char>(c))) c = '_';
  }
  return out;
}

std::string ShownBoardText(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '_') c = ' ';
  }
  return out;
}

std::filesystem::path ChatSettingsPath(const std::filesystem::path& programFolder) {
  std::filesystem::path folder = programFolder;
  // "dir/" has an empty file name: its parent is "dir" itself.
  if (!folder.has_filename()) folder = folder.parent_path();
  return folder.parent_path() / kChatSettingsFileName;
}

namespace {

// The lines of an 8-bit text file, without their CR LF or LF ends.
std::string_view LineAt(std::string_view bytes, int index) {
  for (int i = 0;; ++i) {
    const size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (i == index) return line;
    if (end == std::string_view::npos) return {};
    bytes.remove_prefix(end + 1);
  }
}

}  // namespace

ChatSettings ParseChatSettings(std::string_view bytes) {
  ChatSettings settings;
  const std::string_view first = LineAt(bytes, 0);
  int64_t number = 0;
  const auto [end, error] = std::from_chars(first.data(), first.data() + first.size(), number);
  settings.lastSeen = error == std::errc() && end == first.data() + first.size() ? number : 0;
  settings.lastAtBottom = LineAt(bytes, 1) == "1";
  settings.openOnNew = LineAt(bytes, 2) == "1";
  return settings;
}

std::string FormatChatSettings(const ChatSettings& settings) {
  return std::to_string(settings.lastSeen) + "\r\n" + (settings.lastAtBottom ? "1" : "0") + "\r\n" +
         (settings.openOnNew ? "1" : "0") + "\r\n";
}

ChatSettings LoadChatSettings(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error) && !error) {
    const ChatSettings fresh;
    if (SaveChatSettings(path, fresh)) return fresh;
  }
  auto bytes = ReadWholeFile(path);
  if (!bytes) {
    ChatSettings unreadable;
    unreadable.lastSeen = 0;
    return unreadable;
  }
  return ParseChatSettings(*bytes);
}

bool SaveChatSettings(const std::filesystem::path& path, const ChatSettings& settings) {
  return !WriteFileAtomically(path, FormatChatSettings(settings)).has_value();
}

int BoardRow(int record, bool lastAtBottom) {
  return lastAtBottom ? 11 - record : record;
}

std::string MessageStamp(std::string_view time, std::string_view date, std::string_view title) {
  // The time and date keep their separators; a blank (as in "9:05 PM") would end the field
  // in the board's replies, so it goes as "_" and shows as a blank again.
  std::string stamp(time);
  stamp += '_';
  stamp += date;
  for (char& c : stamp) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '$' || c == '*' || c == '~') c = '_';
  }
  stamp += '_';
  stamp += BoardText(title);
  return stamp;
}

WorldCategory TopTenButtonCategory(bool netMode) {
  return netMode ? WorldCategory::kNet : WorldCategory::kLocal;
}

WorldCategory WorldPictureCategory(int lastCategory) {
  if (lastCategory >= 2 && lastCategory <= 4) return static_cast<WorldCategory>(lastCategory);
  return WorldCategory::kWindowsCycles;
}

std::optional<int64_t> CategoryTable(WorldCategory category) {
  switch (category) {
    case WorldCategory::kAccountCycles:
      return 1114;
    case WorldCategory::kWindowsCycles:
      return 814;
    case WorldCategory::kAndroidCycles:
      return 914;
    default:
      return std::nullopt;
  }
}

int CategoryTitleEntry(WorldCategory category) {
  switch (category) {
    case WorldCategory::kAccountRating:
      return kWordTopCategoryA;
    case WorldCategory::kAccountCycles:
      return kWordTopCategoryB;
    case WorldCategory::kWindowsCycles:
      return kWordTopCategoryC;
    case WorldCategory::kAndroidCycles:
      return kWordTopCategoryD;
    case WorldCategory::kOnline:
      return kWordTopCategoryE;
    case WorldCategory::kLocal:
      return kWordTopCategoryF;
    case WorldCategory::kNet:
      break;
  }
  return kWordTopCategoryG;
}

std::string RatingText(double rating) {
  if (!std::isfinite(rating)) rating = 0;
  // Thousandths as a whole number first, so that the halves go to even as everywhere else.
  const double thousandths = RoundHalfEven(rating * 1000.0);
  const bool negative = thousandths < 0;
  const double magnitude = std::fabs(thousandths);
  const auto whole = static_cast<long long>(magnitude / 1000.0);
  const auto fraction = static_cast<long long>(magnitude - static_cast<double>(whole) * 1000.0);
  char text[48];
  std::snprintf(text, sizeof text, "%s%lld,%03lld", negative ? "-" : "", whole, fraction);
  return text;
}

std::string StatisticsNote(std::string_view entryText) {
  std::string note(entryText);
  while (!note.empty() && note.back() == ' ') note.pop_back();
  return note + " " + kStatisticsVersion;
}

char OnlineListSelector(int index) {
  switch (index) {
    case 1:
      return 'r';
    case 2:
      return 'k';
    default:
      return 's';
  }
}

}  // namespace trilane
