#include "program/menu_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/rounding.h"

namespace trilane {
namespace {

std::string Field(std::string_view line, size_t from, size_t to) {  // 1-based, inclusive
  if (line.size() < from) return std::string(to - from + 1, ' ');
  std::string s(line.substr(from - 1, to - from + 1));
  s.resize(to - from + 1, ' ');
  return s;
}

std::string PadLeft(std::string s, size_t width) {
  if (s.size() < width) s.insert(0, width - s.size(), ' ');
  return s;
}

std::string Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

// The rating field: "######" when the line has none, else the number with two decimals in
// six characters.
std::string RatingText(const std::string& field) {
  if (field.size() >= 10 && field[9] == '#') return field.substr(0, 6);
  std::string number = Trim(field);
  for (char& c : number) {
    if (c == ',') c = '.';
  }
  char* end = nullptr;
  const double value = std::strtod(number.c_str(), &end);
  if (number.empty() || end == nullptr || *end != '\0') return field.substr(0, 6);
  char text[32];
  std::snprintf(text, sizeof text, "%6.2f", RoundHalfEvenTo(value, 2));
  std::string out = text;
  for (char& c : out) {
    if (c == '.') c = ',';
  }
  return out;
}

std::string CycleGames(const std::string& field) {
  if (field == "#######") return "###";
  const std::string number = Trim(field);
  char* end = nullptr;
  const long long games = std::strtoll(number.c_str(), &end, 10);
  if (number.empty() || *end != '\0') return PadLeft(number.substr(0, 3), 3);
  return PadLeft(std::to_string(games % 80), 3);
}

}  // namespace

std::string MemberCaption(std::string_view line, int menuMode) {
  const std::string name = Field(line, 1, 20);
  const std::string rating = Field(line, 21, 30);
  const std::string games = Field(line, 31, 37);
  const std::string score = Field(line, 39, 44);
  if (menuMode == 2) return name + "  " + games + "  " + RatingText(rating);
  return name + "    " + CycleGames(games) + "    " + score;
}

std::string AccountMemberCaption(std::string_view nick, double rating, int64_t cycleGames,
                                 int64_t allGames, int64_t cycleScore, int menuMode) {
  std::string name(nick.substr(0, 20));
  name.resize(20, ' ');
  char number[32];
  std::snprintf(number, sizeof number, "%10.2f", RoundHalfEvenTo(rating, 2));
  const std::string ratingText = RatingText(number);
  std::snprintf(number, sizeof number, "%7lld", static_cast<long long>(allGames));
  const std::string games = number;
  std::snprintf(number, sizeof number, "%6lld", static_cast<long long>(cycleScore));
  const std::string score = number;
  if (menuMode == 2) return name + "  " + games + "  " + ratingText;
  return name + "    " + PadLeft(std::to_string(cycleGames), 3) + "    " + score;
}

std::string TopTenCaption(std::string_view line) {
  return Field(line, 1, 20) + "  " + Field(line, 21, 26);
}

std::string ShortenToFit(std::string caption, int limit,
                         const std::function<int(std::string_view)>& width) {
  bool lostText = false;
  size_t lastDeleted = 0;
  for (size_t pos = 20; pos >= 5 && width(caption) >= limit; --pos) {
    if (caption.size() < pos) continue;
    const char c = caption[pos - 1];
    if (c != ' ' && c != '#') lostText = true;
    caption.erase(pos - 1, 1);
    lastDeleted = pos;
  }
  if (lostText && lastDeleted >= 4) {
    // "..." takes the three places before the last deletion point.
    caption.replace(lastDeleted - 4, 3, "...");
  }
  return caption;
}

}  // namespace trilane
