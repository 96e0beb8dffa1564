#include "net/direct/direct_texts.h"

#include "words/word_entries.h"

namespace trilane::direct {

TableText InterruptedGameMessage() {
  return TableText::Word(kWordOneOfPlayers)
      .L(" ")
      .W(kWordHasInterruptedGame)
      .L("\n\r")
      .W(kWordPressOkForMenu);
}

TableText NoAccessibleGamesMessage() {
  return TableText::Word(kWordNoGamesAvailable);
}

bool FaceUpCode::Type(char c) {
  // Far longer than any way of writing the number; a buffer this long is typing, not a code.
  constexpr size_t kLongest = 32;
  if (typed_.size() >= kLongest) typed_.clear();
  typed_ += c;
  size_t digits = 0;
  while (digits < typed_.size() && typed_[digits] == '0') ++digits;
  if (typed_.substr(digits) != "71948") return false;
  typed_.clear();
  return true;
}

}  // namespace trilane::direct
