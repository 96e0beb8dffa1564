#include "records/text_lines.h"

#include <charconv>

namespace trilane {

std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < bytes.size()) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(bytes.substr(start, i - start));
      i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  size_t total = 0;
  for (const auto& l : lines) total += l.size() + 2;
  out.reserve(total);
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

std::optional<int64_t> ParseWholeNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || p != end) return std::nullopt;
  return value;
}

std::string PadLeft(std::string_view text, size_t width, char pad) {
  if (text.size() >= width) return std::string(text);
  return std::string(width - text.size(), pad) + std::string(text);
}

std::string PadRightOrCut(std::string_view text, size_t width) {
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace trilane

namespace trilane {

std::optional<double> ParseCommaReal(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  std::string s(text);
  bool digits = false;
  bool separator = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if ((c == ',' || c == '.') && !separator) {
      separator = true;
      s[i] = '.';
    } else if (!(c == '-' && i == 0)) {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  double value = 0;
  const char* end = s.data() + s.size();
  auto [p, ec] = std::from_chars(s.data(), end, value);
  if (ec != std::errc() || p != end) return std::nullopt;
  return value;
}

std::string FormatScaledComma(int64_t scaled, int decimals) {
  const bool negative = scaled < 0;
  const uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
  std::string digits = PadLeft(std::to_string(magnitude), static_cast<size_t>(decimals) + 1, '0');
  digits.insert(digits.size() - static_cast<size_t>(decimals), ",");
  return negative ? "-" + digits : digits;
}

}  // namespace trilane
