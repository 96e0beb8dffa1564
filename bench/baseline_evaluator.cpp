#include "baseline_evaluator.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace trilane::bench {

RowValue EvaluateBySorting(const Row& row) {
  std::vector<int> ranks;
  for (const Card& c : row) ranks.push_back(c.rank);
  std::sort(ranks.begin(), ranks.end(), std::greater<>());
  bool flush = true;
  for (const Card& c : row) flush = flush && c.code.suit == row[0].code.suit;
  bool straight = true;
  for (int i = 0; i + 1 < 5; ++i) straight = straight && ranks[i] == ranks[i + 1] + 1;
  const bool wheel = ranks == std::vector<int>{13, 4, 3, 2, 1};
  // Groups of equal ranks, largest group first, then higher rank first.
  std::vector<std::pair<int, int>> groups;  // (count, rank)
  for (int r : ranks) {
    if (!groups.empty() && groups.back().second == r) {
      ++groups.back().first;
    } else {
      groups.push_back({1, r});
    }
  }
  std::stable_sort(groups.begin(), groups.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  RowValue v;
  auto fill = [&](uint8_t cat) {
    v.category = cat;
    int i = 0;
    for (const auto& g : groups) v.v[i++] = static_cast<uint8_t>(g.second);
  };
  if (straight && flush) {
    v.category = kStraightFlush;
    v.v[0] = static_cast<uint8_t>(ranks[0]);
  } else if (groups[0].first == 4) {
    fill(kFourOfAKind);
  } else if (groups[0].first == 3 && groups[1].first == 2) {
    fill(kFullHouse);
  } else if (flush) {
    fill(kFlush);
  } else if (straight || wheel) {
    v.category = kStraight;
    v.v[0] = static_cast<uint8_t>(wheel ? 4 : ranks[0]);
  } else if (groups[0].first == 3) {
    fill(kThreeOfAKind);
  } else if (groups[0].first == 2 && groups[1].first == 2) {
    fill(kTwoPairs);
  } else if (groups[0].first == 2) {
    fill(kPair);
  } else {
    fill(kHighCard);
  }
  return v;
}

}  // namespace trilane::bench
