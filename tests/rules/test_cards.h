#pragma once
// Small helpers for writing cards in tests: "As Kd 10h" or the game's own "Тп Кб 1ч".

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "rules/arrangement.h"
#include "rules/cards.h"
#include "rules/deck.h"

namespace trilane::test {

inline std::vector<Card> Cards(const std::string& text) {
  std::vector<Card> out;
  std::istringstream in(text);
  std::string word;
  while (in >> word) {
    if (word == "##") {
      out.push_back(kEmptySlot);
      continue;
    }
    auto c = ParseCard(word);
    EXPECT_TRUE(c.has_value()) << "bad card in test: " << word;
    out.push_back(c.value_or(kEmptySlot));
  }
  return out;
}

// Five slots; a three-card text becomes a Front with two empty slots.
inline Row MakeRow(const std::string& text) {
  auto cards = Cards(text);
  Row row;
  row.fill(kEmptySlot);
  for (size_t i = 0; i < cards.size() && i < 5; ++i) row[i] = cards[i];
  return row;
}

// The deck in card-number order: "2ч" (rank 01) first, the ace of spades "Тп" (13) last.
inline Deck OrderedDeck() {
  Deck deck;
  for (int i = 0; i < kDeckSize; ++i) deck[i] = CardFromNumber(i + 1);
  return deck;
}

// A deck shuffled by the game's generator from `seed`.
inline Deck ShuffledDeck(uint32_t seed) {
  DeckRandom random(seed);
  return ShuffleDeck(random);
}

inline Hand MakeHand(const std::string& text, bool sort = true) {
  auto cards = Cards(text);
  EXPECT_EQ(cards.size(), 13u) << text;
  Hand hand;
  hand.fill(kEmptySlot);
  for (size_t i = 0; i < cards.size() && i < 13; ++i) hand[i] = cards[i];
  if (sort) SortHand(hand);
  return hand;
}

inline RowValue V(uint8_t cat, uint8_t a = 0, uint8_t b = 0, uint8_t c = 0, uint8_t d = 0,
                  uint8_t e = 0) {
  return RowValue{cat, {a, b, c, d, e}};
}

inline std::string Text(const Row& row) {
  std::string s;
  for (const Card& c : row) s += AsciiName(c.code) + " ";
  return s;
}

}  // namespace trilane::test
