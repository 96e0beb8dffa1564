#include "rules/evaluate.h"

#include "words/word_entries.h"

namespace trilane {
namespace {

inline bool IsRealRank(uint8_t r) { return r >= 1 && r <= 13; }

RowValue Make(uint8_t cat, uint8_t a = 0, uint8_t b = 0, uint8_t c = 0, uint8_t d = 0,
              uint8_t e = 0) {
  return RowValue{cat, {a, b, c, d, e}};
}

inline uint32_t Top(uint32_t mask) { return 31u - static_cast<uint32_t>(std::countl_zero(mask)); }

}  // namespace

namespace detail {

constexpr std::array<uint32_t, 1 << 13> kDescendingRanks = [] {
  std::array<uint32_t, 1 << 13> t{};
  for (uint32_t index = 0; index < t.size(); ++index) {
    const uint32_t mask = index << 1;
    uint32_t packed = 0;
    int n = 0;
    for (int rank = 13; rank >= 1 && n < 5; --rank) {
      if (mask & (1u << rank)) packed |= uint32_t(rank) << (16 - 4 * n++);
    }
    t[index] = packed;
  }
  return t;
}();

uint32_t FiveCardKeyRare(uint32_t m1, uint32_t m2, uint32_t m3, uint32_t m4, bool flush, bool run) {
  const auto& desc = kDescendingRanks;
  constexpr uint32_t kWheel = 1u << 1 | 1u << 2 | 1u << 3 | 1u << 4 | 1u << 13;
  if (m2 == 0) {
    const uint32_t top = Top(m1);
    if (run) return uint32_t{flush ? kStraightFlush : kStraight} << 20 | top << 16;
    // Ace-to-five counts as a straight, but of one suit it is only a flush.
    if (m1 == kWheel && !flush) return uint32_t{kStraight} << 20 | 4u << 16;
    return uint32_t{kFlush} << 20 | desc[m1 >> 1];
  }
  if (m4) {
    const uint32_t rest = m1 & ~m4;  // empty only for five of one rank (a garbled row)
    return uint32_t{kFourOfAKind} << 20 | Top(m4) << 16 | (rest ? Top(rest) : Top(m4)) << 12;
  }
  if (m3 && (m2 & ~m3)) return uint32_t{kFullHouse} << 20 | Top(m3) << 16 | Top(m2 & ~m3) << 12;
  if (flush) {
    // Only a repeated code (a malformed arrangement) gets here: the ranks, repeats included.
    uint32_t packed = 0;
    int n = 0;
    for (uint32_t rank = 13; rank >= 1; --rank) {
      const int times = ((m1 >> rank) & 1) + ((m2 >> rank) & 1) + ((m3 >> rank) & 1);
      for (int k = 0; k < times; ++k) packed |= rank << (16 - 4 * n++);
    }
    return uint32_t{kFlush} << 20 | packed;
  }
  if (m3) return uint32_t{kThreeOfAKind} << 20 | Top(m3) << 16 | (desc[(m1 & ~m3) >> 1] >> 4);
  // Pairs of a repeated-code row that is no flush (the common path handles the rest).
  const uint32_t pairs = (m2 != 0) + ((m2 & (m2 - 1)) != 0);
  return (kHighCard + pairs) << 20 | desc[m2 >> 1] | desc[(m1 & ~m2) >> 1] >> (4 * pairs);
}

}  // namespace detail

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
  static constexpr int kNames[] = {kWordHighCard,  kWordPair,        kWordTwoPair,
                                   kWordThreeOfAKind, kWordStraight, kWordFlush,
                                   kWordFullHouse, kWordFourOfAKind, kWordStraightFlush};
  if (category < 1 || category > 9) return 0;
  if (category == kStraightFlush && v1 == 13) return kWordRoyalFlush;
  return kNames[category - 1];
}

}  // namespace trilane
