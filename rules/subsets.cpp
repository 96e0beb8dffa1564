#include "rules/subsets.h"

#include <bit>

namespace trilane {

std::vector<std::vector<int>> Combinations(int n, int k) {
  std::vector<std::vector<int>> out;
  if (k < 0 || n < 0 || k > n) return out;
  std::vector<int> c(k);
  for (int i = 0; i < k; ++i) c[i] = i + 1;
  while (true) {
    out.push_back(c);
    int i = k - 1;
    while (i >= 0 && c[i] == n - k + i + 1) --i;
    if (i < 0) break;
    ++c[i];
    for (int j = i + 1; j < k; ++j) c[j] = c[j - 1] + 1;
  }
  return out;
}

namespace {
SubsetTables BuildSubsets() {
  SubsetTables t{};
  auto fill = [](int n, int k, auto& dest) {
    int idx = 0;
    for (const auto& c : Combinations(n, k)) {
      unsigned mask = 0;
      for (int s : c) mask |= 1u << (s - 1);
      dest[idx++] = static_cast<std::remove_reference_t<decltype(dest[0])>>(mask);
    }
  };
  fill(13, 5, t.five);
  fill(13, 3, t.three);
  fill(8, 5, t.fiveOfEight);
  t.index.fill(0xFFFF);
  for (int i = 0; i < kFiveOfThirteen; ++i) t.index[t.five[i]] = static_cast<uint16_t>(i);
  for (int i = 0; i < kThreeOfThirteen; ++i) t.index[t.three[i]] = static_cast<uint16_t>(i);
  return t;
}
}  // namespace

const SubsetTables& Subsets() {
  static const SubsetTables tables = BuildSubsets();
  return tables;
}

Row RowFromMask(const Hand& hand, uint16_t mask) {
  Row row;
  row.fill(kEmptySlot);
  unsigned m = mask & 0x1FFFu;
  for (int next = 0; m != 0 && next < 5; ++next) {
    row[next] = hand[std::countr_zero(m)];
    m &= m - 1;
  }
  return row;
}

void ValueSubsets(const Hand& hand, HandSubsetValues& out) {
  const SubsetTables& t = Subsets();
  bool real = true;
  for (const Card& c : hand) real = real && c.rank >= 1 && c.rank <= 13 && c.code.IsCard();
  if (!real) {
    for (int i = 0; i < kFiveOfThirteen; ++i) out.five[i] = EvaluateRow(RowFromMask(hand, t.five[i]));
    for (int i = 0; i < kThreeOfThirteen; ++i) out.three[i] = EvaluateRow(RowFromMask(hand, t.three[i]));
    return;
  }
  uint8_t ranks[5], suits[5];
  for (int i = 0; i < kFiveOfThirteen; ++i) {
    unsigned m = t.five[i];
    for (int k = 0; k < 5; ++k, m &= m - 1) {
      const Card& c = hand[std::countr_zero(m)];
      ranks[k] = c.rank;
      suits[k] = c.code.suit;
    }
    out.five[i] = RowValueFromKey(FiveCardKey(ranks, suits));
  }
  for (int i = 0; i < kThreeOfThirteen; ++i) {
    unsigned m = t.three[i];
    const int a = std::countr_zero(m);
    m &= m - 1;
    const int b = std::countr_zero(m);
    m &= m - 1;
    const int c = std::countr_zero(m);
    out.three[i] = hand[a].code.suit == '#' || hand[b].code.suit == '#' || hand[c].code.suit == '#'
                       ? EvaluateRow(RowFromMask(hand, t.three[i]))
                       : RowValueFromKey(ThreeCardKey(hand[a].rank, hand[b].rank, hand[c].rank));
  }
}

ListMapper::ListMapper(const std::array<uint8_t, 8>& listSlots) {
  for (unsigned x = 0; x < 16; ++x) {
    for (int j = 0; j < 4; ++j) {
      if (x & (1u << j)) {
        lo_[x] |= static_cast<uint16_t>(1u << listSlots[j]);
        hi_[x] |= static_cast<uint16_t>(1u << listSlots[j + 4]);
      }
    }
  }
}

std::array<uint8_t, 8> ComplementSlots(uint16_t fiveMask) {
  std::array<uint8_t, 8> list{};
  int n = 0;
  for (int slot = 0; slot < kCardsPerHand; ++slot) {
    if (!(fiveMask & (1u << slot)) && n < 8) list[n++] = static_cast<uint8_t>(slot);
  }
  return list;
}

}  // namespace trilane
