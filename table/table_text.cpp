#include "table/table_text.h"

namespace trilane {

std::string SignedNumber(int32_t value) {
  std::string digits = std::to_string(value);
  return value > 0 ? "+" + digits : digits;
}

std::string ComposeText(const TableText& text, const WordLookup& word) {
  std::string out;
  for (const TextPart& part : text.parts) {
    if (part.entry >= 0) {
      if (word) out += word(part.entry);
    } else {
      out += part.literal;
    }
  }
  return out;
}

std::string EntryText(const TableText& text) {
  return ComposeText(text, [](int entry) -> std::string_view {
    thread_local std::string buffer;
    buffer = "[" + std::to_string(entry) + "]";
    return buffer;
  });
}

}  // namespace trilane
