#include "web/replies.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace trilane::web {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The position of the last "$" that is not the reply's last character.
std::optional<size_t> LastUsableDollar(std::string_view reply) {
  if (reply.size() < 2) return std::nullopt;
  const size_t pos = reply.rfind('$', reply.size() - 2);
  if (pos == std::string_view::npos) return std::nullopt;
  return pos;
}

// The segment that starts after the "$" at `dollar`: up to the terminator or the reply's last
// character.
std::string_view SegmentAfter(std::string_view reply, size_t dollar, char terminator) {
  const size_t begin = dollar + 1;
  const size_t last = reply.size() - 1;
  size_t end = reply.find(terminator, begin);
  if (end == std::string_view::npos || end > last) end = last;
  return reply.substr(begin, end - begin);
}

}  // namespace

bool FindMarker(std::string_view reply, std::string_view marker) {
  return !marker.empty() && reply.find(marker) != std::string_view::npos;
}

std::optional<int64_t> ReadDollarNumber(std::string_view reply) {
  const auto dollar = LastUsableDollar(reply);
  if (!dollar) return std::nullopt;
  const size_t last = reply.size() - 1;
  size_t end = *dollar + 1;
  while (end < last && IsDigit(reply[end])) ++end;
  return ParseStrictInt(reply.substr(*dollar + 1, end - *dollar - 1));
}

std::optional<std::string> ReadDollarSegment(std::string_view reply, char terminator) {
  if (reply.size() < 2) return std::nullopt;
  const size_t dollar = reply.find('$');
  if (dollar == std::string_view::npos || dollar == reply.size() - 1) return std::nullopt;
  return std::string(SegmentAfter(reply, dollar, terminator));
}

std::vector<std::string> SplitFields(std::string_view text, char separator) {
  std::vector<std::string> fields;
  size_t begin = 0;
  while (true) {
    const size_t end = text.find(separator, begin);
    if (end == std::string_view::npos) {
      fields.emplace_back(text.substr(begin));
      return fields;
    }
    fields.emplace_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
}

std::optional<std::vector<std::string>> ReadDollarFields(std::string_view reply, char terminator,
                                                         char separator) {
  auto segment = ReadDollarSegment(reply, terminator);
  if (!segment) return std::nullopt;
  return SplitFields(*segment, separator);
}

std::vector<std::vector<std::string>> ReadDollarFieldList(std::string_view reply, char terminator,
                                                          char separator, size_t maxEntries) {
  std::vector<std::vector<std::string>> entries;
  if (reply.size() < 2) return entries;
  const size_t last = reply.size() - 1;
  for (size_t pos = reply.find('$'); pos != std::string_view::npos && pos < last;
       pos = reply.find('$', pos + 1)) {
    if (entries.size() == maxEntries) break;
    entries.push_back(SplitFields(SegmentAfter(reply, pos, terminator), separator));
  }
  return entries;
}

bool ReadOkAfterDollar(std::string_view reply) {
  const auto dollar = LastUsableDollar(reply);
  if (!dollar) return false;
  std::string_view tail = reply.substr(*dollar + 1);
  tail = tail.substr(0, tail.find('#'));
  return tail.size() >= 3 && tail[1] == 'o' && tail[2] == 'k';
}

std::optional<int64_t> ParseStrictInt(std::string_view text) {
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string WebFloat(double value) {
  // Not a number and infinities have no decimal form the service could read; they go as 0,
  // like the values too small to matter.
  if (!std::isfinite(value) || std::fabs(value) < 0.00001) return "0";
  char buffer[400];
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  std::string text(buffer, ec == std::errc() ? end : buffer);
  if (text.find('e') == std::string::npos) return text;
  // The service reads no exponent: write the same 15 significant digits in fixed form.
  const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
  const int decimals = std::max(0, 14 - exponent);
  auto fixed =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  text.assign(buffer, fixed.ec == std::errc() ? fixed.ptr : buffer);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

std::optional<double> ParseWebFloat(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return 0.0;
  std::string number(text);
  for (char& c : number) {
    if (c != ' ' && c != '-' && !IsDigit(c)) {
      c = '.';
      break;
    }
  }
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                         std::chars_format::fixed);
  if (ec != std::errc() || end != number.data() + number.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

}  // namespace trilane::web
