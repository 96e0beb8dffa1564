#pragma once
// Subsets of hand slots as bit masks (bit i = slot i + 1), in the lexicographic order of
// their slot numbers, and the values of every five- and three-card subset of one hand,
// computed once so that searches combine them by index.

#include <array>
#include <cstdint>
#include <vector>

#include "rules/deck.h"
#include "rules/evaluate.h"

namespace trilane {

// All k-element subsets of 1..n as ascending lists, in lexicographic order.
std::vector<std::vector<int>> Combinations(int n, int k);

inline constexpr int kFiveOfThirteen = 1287;
inline constexpr int kThreeOfThirteen = 286;
inline constexpr int kFiveOfEight = 56;

struct SubsetTables {
  std::array<uint16_t, kFiveOfThirteen> five;   // masks of 5 of 13 slots, lexicographic
  std::array<uint16_t, kThreeOfThirteen> three; // masks of 3 of 13 slots, lexicographic
  std::array<uint8_t, kFiveOfEight> fiveOfEight;  // masks of 5 of 8 list indices
  std::array<uint16_t, 1 << 13> index;          // mask -> its place among masks of its size
};
const SubsetTables& Subsets();

// The row made of the hand's cards at the mask's slots, in slot order; a three-card mask
// fills slots 1..3 and leaves 4 and 5 empty.
Row RowFromMask(const Hand& hand, uint16_t mask);

struct HandSubsetValues {
  std::array<RowValue, kFiveOfThirteen> five;
  std::array<RowValue, kThreeOfThirteen> three;
};
void ValueSubsets(const Hand& hand, HandSubsetValues& out);

// The 13-slot mask of the list indices in `small` (bit j = the j-th slot of `list`).
class ListMapper {
 public:
  explicit ListMapper(const std::array<uint8_t, 8>& listSlots);
  uint16_t Map(uint8_t small) const { return lo_[small & 15] | hi_[small >> 4]; }

 private:
  std::array<uint16_t, 16> lo_{}, hi_{};
};

// The slots not in `mask`, ascending (slot numbers 0-based).
std::array<uint8_t, 8> ComplementSlots(uint16_t fiveMask);

}  // namespace trilane
