#include "rules/evaluate.h"

#include <bit>

namespace trilane {
namespace {

inline bool IsRealRank(uint8_t r) { return r >= 1 && r <= 13; }

RowValue Make(uint8_t cat, uint8_t a = 0, uint8_t b = 0, uint8_t c = 0, uint8_t d = 0,
              uint8_t e = 0) {
  return RowValue{cat, {a, b, c, d, e}};
}

// Five real cards: the categories from rank counts and the suits, with the table's order of
// precedence (quads and full house before flush, flush before straight and the rest).
RowValue EvaluateFive(const Row& row) {
  uint32_t mask = 0;
  uint64_t counts = 0;  // four bits per rank
  for (const Card& c : row) {
    mask |= 1u << c.rank;
    counts += uint64_t{1} << (4 * c.rank);
  }
  const uint8_t s = row[0].code.suit;
  const bool flush = row[1].code.suit == s && row[2].code.suit == s && row[3].code.suit == s &&
                     row[4].code.suit == s;
  const int distinct = std::popcount(mask);

  if (distinct == 5) {
    const int top = 31 - std::countl_zero(mask);
    const int low = std::countr_zero(mask);
    const bool straight = top - low == 4;
    if (flush && straight) return Make(kStraightFlush, static_cast<uint8_t>(top));
    uint8_t r[5];
    uint32_t m = mask;
    for (int i = 0; i < 5; ++i) {
      const int hi = 31 - std::countl_zero(m);
      r[i] = static_cast<uint8_t>(hi);
      m &= ~(1u << hi);
    }
    if (flush) return Make(kFlush, r[0], r[1], r[2], r[3], r[4]);
    if (straight) return Make(kStraight, static_cast<uint8_t>(top));
    constexpr uint32_t kWheel = 1u << 1 | 1u << 2 | 1u << 3 | 1u << 4 | 1u << 13;
    if (mask == kWheel) return Make(kStraight, 4);
    return Make(kHighCard, r[0], r[1], r[2], r[3], r[4]);
  }

  // Groups from high rank to low: the rank of a four, a three, up to two pairs, singles.
  uint8_t four = 0, three = 0, pairs[2] = {0, 0}, singles[3] = {0, 0, 0};
  int nPairs = 0, nSingles = 0;
  uint32_t m = mask;
  while (m) {
    const int rank = 31 - std::countl_zero(m);
    m &= ~(1u << rank);
    switch ((counts >> (4 * rank)) & 0xF) {
      case 4: four = static_cast<uint8_t>(rank); break;
      case 3: three = static_cast<uint8_t>(rank); break;
      case 2: pairs[nPairs++] = static_cast<uint8_t>(rank); break;
      default: singles[nSingles++] = static_cast<uint8_t>(rank); break;
    }
  }
  if (four) return Make(kFourOfAKind, four, singles[0]);
  if (three && nPairs == 1) return Make(kFullHouse, three, pairs[0]);
  if (flush) {
    // Only reachable with a repeated code (a malformed arrangement): the sorted ranks.
    uint8_t r[5];
    int i = 0;
    for (int rank = 13; rank >= 1; --rank) {
      for (unsigned k = (counts >> (4 * rank)) & 0xF; k > 0; --k) r[i++] = static_cast<uint8_t>(rank);
    }
    return Make(kFlush, r[0], r[1], r[2], r[3], r[4]);
  }
  if (three) return Make(kThreeOfAKind, three, singles[0], singles[1]);
  if (nPairs == 2) return Make(kTwoPairs, pairs[0], pairs[1], singles[0]);
  return Make(kPair, pairs[0], singles[0], singles[1], singles[2]);
}

RowValue EvaluateFront(const Row& row) {
  uint8_t a = row[0].rank, b = row[1].rank, c = row[2].rank;
  if (a > b) std::swap(a, b);
  if (b > c) std::swap(b, c);
  if (a > b) std::swap(a, b);
  if (a == c) return Make(kThreeOfAKind, a);
  if (a == b) return Make(kPair, a, c);
  if (b == c) return Make(kPair, b, a);
  return Make(kHighCard, c, b, a);
}

}  // namespace

RowValue EvaluateRow(const Row& row) {
  bool fiveReal = true;
  for (const Card& c : row) fiveReal = fiveReal && IsRealRank(c.rank) && c.code.IsCard();
  if (fiveReal) {
    // A rank seen five times only comes from a garbled arrangement; leave it to the table.
    uint8_t r = row[0].rank;
    if (!(row[1].rank == r && row[2].rank == r && row[3].rank == r && row[4].rank == r)) {
      return EvaluateFive(row);
    }
  }
  bool front = row[3] == kEmptySlot && row[4] == kEmptySlot;
  for (int i = 0; i < 3 && front; ++i) {
    front = IsRealRank(row[i].rank) && row[i].code.IsCard() && row[i].code.suit != '#';
  }
  if (front) return EvaluateFront(row);
  return EvaluateRowByPatterns(row);
}

RowValue EvaluateRowByPatterns(const Row& row) {
  // 1. Stable sort by rank 1..14; codes move with their ranks.
  uint8_t s[6];
  CardCode c[6];
  int n = 1;
  for (int r = 1; r <= 14; ++r) {
    for (const Card& card : row) {
      const uint8_t rank = IsRealRank(card.rank) ? card.rank : kEmptyRank;
      if (rank == r) {
        s[n] = rank;
        c[n] = card.code;
        ++n;
      }
    }
  }
  auto card = [&](int i) { return c[i].IsCard(); };
  const bool sameSuit =
      c[1].suit == c[2].suit && c[2].suit == c[3].suit && c[3].suit == c[4].suit && c[4].suit == c[5].suit;
  const bool consecutive = s[2] == s[1] + 1 && s[3] == s[2] + 1 && s[4] == s[3] + 1 && s[5] == s[4] + 1;
  constexpr uint8_t E = kEmptyRank;

  if (sameSuit && consecutive) return Make(9, s[5]);                                     // a
  if (s[1] == s[2] && s[2] == s[3] && s[3] == s[4] && card(1))                            // b
    return Make(8, s[1], s[5] == E ? 0 : s[5]);
  if (s[2] == s[3] && s[3] == s[4] && s[4] == s[5] && card(2)) return Make(8, s[2], s[1]);  // c
  if (s[1] == s[2] && s[2] == s[3] && s[4] == s[5] && card(1) && card(4))                 // d
    return Make(7, s[1], s[5]);
  if (s[3] == s[4] && s[4] == s[5] && s[1] == s[2] && card(1) && card(3))                 // e
    return Make(7, s[3], s[1]);
  if (sameSuit && card(1)) return Make(6, s[5], s[4], s[3], s[2], s[1]);                  // f
  if (consecutive && card(5)) return Make(5, s[5]);                                       // g
  if (s[1] == 1 && s[2] == 2 && s[3] == 3 && s[4] == 4 && s[5] == 13 && card(1))          // h
    return Make(5, s[4]);
  if (s[1] == s[2] && s[2] == s[3] && card(1)) {                                          // i
    if (s[5] != E) return Make(4, s[1], s[5], s[4]);
    if (s[4] != E) return Make(4, s[1], s[4]);
    return Make(4, s[1]);
  }
  if (s[2] == s[3] && s[3] == s[4] && card(2)) {                                          // j
    if (s[5] != E) return Make(4, s[2], s[5], s[1]);
    if (s[1] != E) return Make(4, s[2], s[1]);
    return Make(4, s[2]);
  }
  if (s[3] == s[4] && s[4] == s[5] && card(3)) return Make(4, s[3], s[2], s[1]);          // k
  if (s[1] == s[2] && s[3] == s[4] && card(1) && card(3))                                 // l
    return Make(3, s[3], s[1], s[5] != E ? s[5] : 0);
  if (s[1] == s[2] && s[4] == s[5] && card(1) && card(4)) return Make(3, s[4], s[1], s[3]);  // m
  if (s[2] == s[3] && s[4] == s[5] && card(2) && card(4)) return Make(3, s[4], s[2], s[1]);  // n
  if (s[1] == s[2] && card(1)) {                                                          // o
    if (s[5] != E) return Make(2, s[1], s[5], s[4], s[3]);
    if (s[4] != E) return Make(2, s[1], s[4], s[3]);
    if (s[3] != E) return Make(2, s[1], s[3]);
    return Make(2, s[1]);
  }
  if (s[2] == s[3] && card(2)) {                                                          // p
    if (s[5] != E) return Make(2, s[2], s[5], s[4], s[1]);
    if (s[4] != E) return Make(2, s[2], s[4], s[1]);
    return Make(2, s[2], s[1]);
  }
  if (s[3] == s[4] && card(3)) {                                                          // q
    if (s[5] != E) return Make(2, s[3], s[5], s[2], s[1]);
    return Make(2, s[3], s[2], s[1]);
  }
  if (s[4] == s[5] && card(4)) return Make(2, s[4], s[3], s[2], s[1]);                    // r
  if (s[5] == E) return Make(1, s[3], s[2], s[1]);                                        // s
  return Make(1, s[5], s[4], s[3], s[2], s[1]);
}

int RowNameEntry(uint8_t category, uint8_t v1) {
  if (category < 1 || category > 9) return 0;
  if (category == kStraightFlush && v1 == 13) return 809;
  return 799 + category;
}

}  // namespace trilane
