#pragma once
// Row values: a poker category 1..9 and five tie-break ranks, compared lexicographically.

#include <array>
#include <cstdint>

#include "rules/cards.h"

namespace trilane {

enum Category : uint8_t {
  kHighCard = 1,
  kPair = 2,
  kTwoPairs = 3,
  kThreeOfAKind = 4,
  kStraight = 5,
  kFlush = 6,
  kFullHouse = 7,
  kFourOfAKind = 8,
  kStraightFlush = 9,
};

struct RowValue {
  uint8_t category = 0;
  std::array<uint8_t, 5> v{};

  // The six bytes packed so that integer order is the lexicographic order (every byte is
  // below 16).
  constexpr uint32_t Key() const {
    return uint32_t{category} << 20 | uint32_t{v[0]} << 16 | uint32_t{v[1]} << 12 |
           uint32_t{v[2]} << 8 | uint32_t{v[3]} << 4 | uint32_t{v[4]};
  }
  friend constexpr bool operator==(const RowValue&, const RowValue&) = default;
};

// A row's five slots; the Front passes its three cards and two empty slots.
using Row = std::array<Card, 5>;

// The row's value by the pattern table. Any slot contents are accepted (arrangements from
// other machines are valued as they come); ranks outside 1..14 count as empty.
RowValue EvaluateRow(const Row& row);

// The pattern table taken step by step, for any input. EvaluateRow agrees with it on every
// row; it stays as the reference the fast paths are checked against.
RowValue EvaluateRowByPatterns(const Row& row);

// The fast cores behind EvaluateRow, on row keys (RowValue::Key): five real cards (ranks
// 1..13, any suit letters) and a Front of three real cards.
uint32_t FiveCardKey(const uint8_t ranks[5], const uint8_t suits[5]);
uint32_t ThreeCardKey(uint8_t a, uint8_t b, uint8_t c);
RowValue RowValueFromKey(uint32_t key);

constexpr bool RowBeats(const RowValue& a, const RowValue& b) { return a.Key() > b.Key(); }
constexpr int CompareRows(const RowValue& a, const RowValue& b) {
  return RowBeats(a, b) ? 1 : (RowBeats(b, a) ? -1 : 0);
}

// The words-table entry of a row's name: 800 "Hight card" .. 808 "Straight-Flush", 809
// "Royal-Flush" for an ace-high straight flush; 0 (no text) outside categories 1..9.
int RowNameEntry(uint8_t category, uint8_t v1);

}  // namespace trilane
