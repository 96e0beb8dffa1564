#pragma once
// Texts the table shows, kept as words-table entries, names and numbers until the view
// turns them into the current language. The flow never holds a translated string, so the
// same round can be shown in any language and checked by entry number in tests.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "words/word_entries.h"

namespace trilane {

// One piece of a composed text: a words-table entry (entry >= 0) or literal UTF-8 text
// (a separator, a number, a player's name).
struct TextPart {
  int entry = -1;
  std::string literal;
  friend bool operator==(const TextPart&, const TextPart&) = default;
};

struct TableText {
  std::vector<TextPart> parts;

  static TableText Word(int entry) { return TableText{}.W(entry); }
  static TableText Literal(std::string_view text) { return TableText{}.L(text); }
  TableText& W(int entry) {
    parts.push_back({entry, {}});
    return *this;
  }
  TableText& L(std::string_view text) {
    parts.push_back({-1, std::string(text)});
    return *this;
  }
  bool Empty() const { return parts.empty(); }
  friend bool operator==(const TableText&, const TableText&) = default;
};

// A points figure as the plates and tablets write it: "+3" above 0, "-2", "0".
std::string SignedNumber(int32_t value);

// The text in the current language; `word` returns an entry's UTF-8 text.
using WordLookup = std::function<std::string_view(int entry)>;
std::string ComposeText(const TableText& text, const WordLookup& word);

// The text with every entry written as "[number]", for logs and tests without the words.
std::string EntryText(const TableText& text);

}  // namespace trilane
