#include "rules/computer.h"

#include <algorithm>

#include "rules/subsets.h"

namespace trilane {
namespace {

int32_t BackTerm(const RowValue& v) {
  const int32_t v1 = v.v[0];
  switch (v.category) {
    case 9: return 1000000;
    case 8: return 400000;
    case 7: return 100000 + 100 * v1;
    case 6: return 40000 + 90 * v1;
    case 5: return 10000 + 80 * v1;
    case 4: return 1000 + 70 * v1;
    case 3: return 400 + 60 * v1;
    case 2: return 1;
    default: return 0;
  }
}

int32_t MiddleTerm(const RowValue& v) {
  const int32_t v1 = v.v[0];
  switch (v.category) {
    case 9: return 2000000;
    case 8: return 800000;
    case 7: return 200000 + 100 * v1;
    case 6: return 80000 + 90 * v1;
    case 5: return 20000 + 80 * v1;
    case 4: return 5000 + 70 * v1;
    case 3: return 800 + 60 * v1;
    case 2: return 100 + 50 * v1;
    case 1: return 10 + v1;
    default: return 0;
  }
}

int32_t FrontTerm(const RowValue& v) {
  const int32_t v1 = v.v[0];
  switch (v.category) {
    case 4: return 25000 + 70 * v1;
    case 2: return 1000 + 50 * v1;
    case 1: return 500 + v1;
    default: return 0;
  }
}

ComputerArrangement Build(const Hand& hand, uint16_t back, uint16_t middle, const RowValues& values,
                          int32_t weight, bool searched) {
  ComputerArrangement out;
  out.rows.rows[kBack] = RowFromMask(hand, back);
  out.rows.rows[kMiddle] = RowFromMask(hand, middle);
  out.rows.rows[kFront] = RowFromMask(hand, static_cast<uint16_t>(0x1FFF & ~back & ~middle));
  out.values = values;
  out.weight = weight;
  out.searched = searched;
  return out;
}

}  // namespace

int32_t ArrangementScore(const RowValue& front, const RowValue& middle, const RowValue& back) {
  return BackTerm(back) + MiddleTerm(middle) + FrontTerm(front);
}

ComputerArrangement ArrangeByComputer(const Hand& hand) {
  const SubsetTables& t = Subsets();
  HandSubsetValues values;
  ValueSubsets(hand, values);

  // Keys and row terms by subset index; the search below only adds and compares them.
  std::array<uint32_t, kFiveOfThirteen> key5;
  std::array<int32_t, kFiveOfThirteen> backW, middleW;
  std::array<uint32_t, kThreeOfThirteen> key3;
  std::array<int32_t, kThreeOfThirteen> frontW;
  int32_t bestFront = 0;
  for (int i = 0; i < kFiveOfThirteen; ++i) {
    key5[i] = values.five[i].Key();
    backW[i] = BackTerm(values.five[i]);
    middleW[i] = MiddleTerm(values.five[i]);
  }
  for (int i = 0; i < kThreeOfThirteen; ++i) {
    key3[i] = values.three[i].Key();
    frontW[i] = FrontTerm(values.three[i]);
    bestFront = std::max(bestFront, frontW[i]);
  }

  // Backs are visited strongest category first so that a high weight is found early and
  // bounds prune the rest. The result is still the first split of highest weight in the
  // enumeration order (Back subset, then Middle subset, lexicographic): a later-visited
  // split only replaces an equal weight when it comes earlier in that order.
  // Middle and Front terms never decrease as a row value rises, so no Middle under this
  // Back can weigh more than the Back's own value as a Middle would.
  std::array<std::array<uint16_t, kFiveOfThirteen>, 10> byCategory;
  std::array<int, 10> counts{};
  for (int b = 0; b < kFiveOfThirteen; ++b) {
    const uint8_t cat = values.five[b].category;
    if (cat >= kTwoPairs && cat <= kStraightFlush) byCategory[cat][counts[cat]++] = static_cast<uint16_t>(b);
  }
  int32_t best = 0;
  int bestBack = -1, bestMid = -1, bestFr = -1, bestOrder = 0;
  uint32_t examined = 0;
  for (int cat = kStraightFlush; cat >= kTwoPairs; --cat) {
    for (int i = 0; i < counts[cat]; ++i) {
      const int b = byCategory[cat][i];
      const int32_t bound = backW[b] + middleW[b] + bestFront;
      if (bound < best || (bound == best && b > bestBack)) continue;
      const uint16_t backMask = t.five[b];
      const ListMapper mapper(ComplementSlots(backMask));
      for (int mi = 0; mi < kFiveOfEight; ++mi) {
        ++examined;
        const uint16_t middleMask = mapper.Map(t.fiveOfEight[mi]);
        const int m = t.index[middleMask];
        if (key5[b] <= key5[m]) continue;
        if (backW[b] + middleW[m] + bestFront < best) continue;
        const int f = t.index[0x1FFF & ~backMask & ~middleMask];
        if (key5[m] <= key3[f]) continue;
        const int32_t w = backW[b] + middleW[m] + frontW[f];
        const int order = b * kFiveOfEight + mi;
        if (w > best || (w == best && order < bestOrder)) {
          best = w;
          bestBack = b;
          bestMid = m;
          bestFr = f;
          bestOrder = order;
        }
      }
    }
  }
  if (bestBack >= 0) {
    ComputerArrangement found = Build(hand, t.five[bestBack], t.five[bestMid],
                                      {values.three[bestFr], values.five[bestMid], values.five[bestBack]},
                                      best, true);
    found.candidatesExamined = examined;
    return found;
  }

  // Nothing passed the filters: the first legal split of the same enumeration, any Back.
  for (int b = 0; b < kFiveOfThirteen; ++b) {
    const uint16_t backMask = t.five[b];
    const ListMapper mapper(ComplementSlots(backMask));
    for (uint8_t small : t.fiveOfEight) {
      ++examined;
      const uint16_t middleMask = mapper.Map(small);
      const int m = t.index[middleMask];
      const int f = t.index[0x1FFF & ~backMask & ~middleMask];
      if (key5[b] > key5[m] && key5[m] > key3[f]) {
        ComputerArrangement first = Build(hand, backMask, middleMask,
                                          {values.three[f], values.five[m], values.five[b]},
                                          ArrangementScore(values.three[f], values.five[m], values.five[b]),
                                          false);
        first.candidatesExamined = examined;
        return first;
      }
    }
  }
  // Unreachable for a hand of thirteen distinct cards (every such hand has a legal split);
  // a malformed hand gets its slots in order, unchecked.
  ComputerArrangement plain = Build(hand, 0x1F00, 0x00F8, {}, 0, false);
  plain.values = EvaluateArrangement(plain.rows);
  plain.weight = ArrangementScore(plain.values[kFront], plain.values[kMiddle], plain.values[kBack]);
  plain.candidatesExamined = examined;
  return plain;
}

}  // namespace trilane
