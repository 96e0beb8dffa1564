#include "server/text_rules.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/codepage.h"

namespace trilane::club {
namespace {

bool IsLatinOrDigitOrSign(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  return c < 128 && std::strchr("!(),-.@_", static_cast<char>(c)) != nullptr && c != 0;
}

bool IsCyrillic(char32_t c) {
  return (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451;
}

}  // namespace

bool IsNameText(std::string_view utf8, size_t maxChars, bool allowCyrillic) {
  size_t pos = 0;
  size_t n = 0;
  while (pos < utf8.size()) {
    auto c = DecodeUtf8(utf8, pos);
    if (!c) return false;
    if (!IsLatinOrDigitOrSign(*c) && !(allowCyrillic && IsCyrillic(*c))) return false;
    if (++n > maxChars) return false;
  }
  return n >= 2;
}

bool IsAccountNick(std::string_view utf8) {
  return IsNameText(utf8, 12, false);
}
bool IsPassportNick(std::string_view utf8) {
  return IsNameText(utf8, 12, true);
}
bool IsCity(std::string_view utf8) {
  return IsNameText(utf8, 15, true);
}
bool IsPassword(std::string_view utf8) {
  return utf8.size() >= 4 && IsNameText(utf8, 12, false);
}
bool IsEmail(std::string_view utf8) {
  if (!IsNameText(utf8, 30, false)) return false;
  const size_t at = utf8.find('@');
  return at != std::string_view::npos && at != 0 && utf8.back() != '@';
}

bool IsCountryCode(std::string_view text) {
  return text.size() == 5 && text[0] >= '1' && text[0] <= '6' && text[1] == '-' &&
         std::isdigit(static_cast<unsigned char>(text[2])) &&
         std::isdigit(static_cast<unsigned char>(text[3])) &&
         std::isdigit(static_cast<unsigned char>(text[4]));
}

bool IsCountryName(std::string_view text) {
  if (text.size() > 16) return false;
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (!std::isalnum(c) && c != '.' && c != '_' && c != '-') return false;
  }
  return true;
}

bool IsSex(std::string_view text) {
  return text == "M" || text == "W";
}

bool IsBoardText(std::string_view utf8) {
  size_t pos = 0;
  size_t n = 0;
  while (pos < utf8.size()) {
    auto c = DecodeUtf8(utf8, pos);
    if (!c || !(IsLatinOrDigitOrSign(*c) || IsCyrillic(*c)) || ++n > 200) return false;
  }
  return n >= 1;
}

bool IsReplyWord(std::string_view utf8, size_t maxChars) {
  size_t pos = 0;
  size_t n = 0;
  while (pos < utf8.size()) {
    auto c = DecodeUtf8(utf8, pos);
    if (!c || *c <= 0x20 || *c == 0x7F || *c == '$' || *c == '*' || *c == '~') return false;
    if (!UnicodeToCp1251(*c)) return false;
    if (++n > maxChars) return false;
  }
  return n >= 1;
}

std::optional<std::string> CleanProfileText(std::string_view utf8, size_t maxChars) {
  std::string out;
  size_t pos = 0;
  size_t n = 0;
  while (pos < utf8.size()) {
    auto c = DecodeUtf8(utf8, pos);
    if (!c || !UnicodeToCp1251(*c)) return std::nullopt;
    if (*c < 0x20 || *c == 0x7F) continue;
    if (*c == '$' || *c == '~') c = U' ';
    if (++n > maxChars) return std::nullopt;
    AppendUtf8(out, *c);
  }
  return out;
}

std::optional<int64_t> ParseInteger(std::string_view text, int64_t low, int64_t high) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  int64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (text[0] == '-' && text.size() == 1) return std::nullopt;
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::optional<double> ParseReal(std::string_view text, double limit) {
  if (text.empty() || text.size() > 32) return std::nullopt;
  size_t i = 0;
  if (text[0] == '-') ++i;
  size_t digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return std::nullopt;
    }
  }
  if (digits == 0) return std::nullopt;
  const double value = std::strtod(std::string(text).c_str(), nullptr);
  if (!std::isfinite(value) || std::fabs(value) > limit) return std::nullopt;
  return value;
}

std::string FormatReal(double value) {
  if (std::fabs(value) < 0.00001) return "0";
  char buffer[40];
  for (int precision = 1; precision <= 15; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    if (std::strtod(buffer, nullptr) == value) break;
  }
  if (std::strchr(buffer, 'e') == nullptr) return buffer;
  // The program reads the first character that is not a digit as the decimal point, so an
  // exponent would be misread: write such values out in full.
  std::snprintf(buffer, sizeof buffer, "%.15f", value);
  std::string text = buffer;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string NickKey(std::string_view nick) {
  std::string key(nick);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

}  // namespace trilane::club
