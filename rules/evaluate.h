#pragma once
// Row values: a poker category 1..9 and five tie-break ranks, compared lexicographically.

#include <algorithm>
#include <array>
#include <bit>
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

// The pattern table taken step by step, for any input. EvaluateRow agrees with it on every
// row; it stays as the reference the fast paths are checked against.
RowValue EvaluateRowByPatterns(const Row& row);

namespace detail {
// Ranks of a mask's bits (bit r = rank r for ranks 1..13, indexed without bit 0), highest
// first, one per nibble from bit 16 down: exactly the V1..V5 part of a row key.
extern const std::array<uint32_t, 1 << 13> kDescendingRanks;
// Straights, flushes and rows with three or four of a rank: the rare rows.
uint32_t FiveCardKeyRare(uint32_t m1, uint32_t m2, uint32_t m3, uint32_t m4, bool flush, bool run);
// 1 for a card of the deck's ranks, 0 for an empty or garbled slot (an integer, so that
// the tests of five slots combine without branches).
inline unsigned IsRealCard(const Card& c) {
  return static_cast<unsigned>(static_cast<uint8_t>(c.rank - 1) < 13) &
         static_cast<unsigned>(c.code.IsCard());
}
}  // namespace detail

// The fast cores behind EvaluateRow, on row keys (RowValue::Key): five real cards (ranks
// 1..13, any suit letters) and a Front of three real cards.
inline uint32_t FiveCardKey(const uint8_t ranks[5], const uint8_t suits[5]) {
  // m1: ranks seen at least once; m2: at least twice; m3, m4 likewise.
  uint32_t m1 = 0, m2 = 0, m3 = 0, m4 = 0;
  for (int i = 0; i < 5; ++i) {
    const uint32_t b = 1u << ranks[i];
    m4 |= m3 & b;
    m3 |= m2 & b;
    m2 |= m1 & b;
    m1 |= b;
  }
  const uint8_t s = suits[0];
  const bool flush = (suits[1] == s) & (suits[2] == s) & (suits[3] == s) & (suits[4] == s);
  constexpr uint32_t kWheel = 1u << 1 | 1u << 2 | 1u << 3 | 1u << 4 | 1u << 13;
  const bool run = (m1 >> std::countr_zero(m1)) == 0x1F;
  // High card, one pair and two pairs (over nine rows in ten) without a branch: the pairs'
  // ranks lead, the single ranks follow as kickers.
  if (!(flush | run | (m1 == kWheel) | (m3 != 0))) [[likely]] {
    const uint32_t pairs = (m2 != 0) + ((m2 & (m2 - 1)) != 0);
    return (uint32_t{kHighCard} + pairs) << 20 | detail::kDescendingRanks[m2 >> 1] |
           detail::kDescendingRanks[(m1 & ~m2) >> 1] >> (4 * pairs);
  }
  return detail::FiveCardKeyRare(m1, m2, m3, m4, flush, run);
}

inline uint32_t ThreeCardKey(uint8_t a, uint8_t b, uint8_t c) {
  const uint32_t lo = std::min({a, b, c});
  const uint32_t hi = std::max({a, b, c});
  const uint32_t mid = uint32_t{a} + b + c - lo - hi;
  if (lo == hi) return uint32_t{kThreeOfAKind} << 20 | lo << 16;
  if (lo == mid) return uint32_t{kPair} << 20 | lo << 16 | hi << 12;
  if (mid == hi) return uint32_t{kPair} << 20 | hi << 16 | lo << 12;
  return uint32_t{kHighCard} << 20 | hi << 16 | mid << 12 | lo << 8;
}

constexpr RowValue RowValueFromKey(uint32_t key) {
  return RowValue{static_cast<uint8_t>(key >> 20),
                  {static_cast<uint8_t>((key >> 16) & 15), static_cast<uint8_t>((key >> 12) & 15),
                   static_cast<uint8_t>((key >> 8) & 15), static_cast<uint8_t>((key >> 4) & 15),
                   static_cast<uint8_t>(key & 15)}};
}

// The row's value by the pattern table. Any slot contents are accepted (arrangements from
// other machines are valued as they come); ranks outside 1..14 count as empty. Five real
// cards and a Front of three take the fast paths, anything else the table itself.
inline RowValue EvaluateRow(const Row& row) {
  using detail::IsRealCard;
  const unsigned firstThree = IsRealCard(row[0]) & IsRealCard(row[1]) & IsRealCard(row[2]);
  if (firstThree & IsRealCard(row[3]) & IsRealCard(row[4])) [[likely]] {
    const uint8_t ranks[5] = {row[0].rank, row[1].rank, row[2].rank, row[3].rank, row[4].rank};
    const uint8_t suits[5] = {row[0].code.suit, row[1].code.suit, row[2].code.suit,
                              row[3].code.suit, row[4].code.suit};
    return RowValueFromKey(FiveCardKey(ranks, suits));
  }
  if (firstThree && row[3] == kEmptySlot && row[4] == kEmptySlot && row[0].code.suit != '#' &&
      row[1].code.suit != '#' && row[2].code.suit != '#') {
    return RowValueFromKey(ThreeCardKey(row[0].rank, row[1].rank, row[2].rank));
  }
  return EvaluateRowByPatterns(row);
}

constexpr bool RowBeats(const RowValue& a, const RowValue& b) { return a.Key() > b.Key(); }
constexpr int CompareRows(const RowValue& a, const RowValue& b) {
  return RowBeats(a, b) ? 1 : (RowBeats(b, a) ? -1 : 0);
}

// The words entry of a row's name: kWordHighCard .. kWordStraightFlush by category,
// kWordRoyalFlush for an ace-high straight flush; 0 outside categories 1..9.
int RowNameEntry(uint8_t category, uint8_t v1);

}  // namespace trilane
