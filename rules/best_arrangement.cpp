#include "rules/best_arrangement.h"

#include <limits>

#include "rules/computer.h"
#include "rules/subsets.h"

namespace trilane {
namespace {

// What one row of the player's scores against the three opponents' rows of the same kind:
// the duels and the own strong-row bonus as points, and the duels won and lost as three
// two-bit counters (one per opponent), so that three rows add up to the counts the
// majority bonus reads.
struct RowOutcome {
  int16_t points = 0;
  uint8_t wins = 0;
  uint8_t losses = 0;
};

RowOutcome Outcome(RowIndex row, const RowValue& own, const std::array<uint32_t, 3>& opponentKeys) {
  RowOutcome out;
  const uint32_t key = own.Key();
  for (int o = 0; o < 3; ++o) {
    if (key > opponentKeys[o]) {
      ++out.points;
      out.wins = static_cast<uint8_t>(out.wins + (1u << (2 * o)));
    } else if (key < opponentKeys[o]) {
      --out.points;
      out.losses = static_cast<uint8_t>(out.losses + (1u << (2 * o)));
    }
  }
  out.points = static_cast<int16_t>(out.points + 3 * StrongRowBonus(row, own.category));
  return out;
}

// The majority bonus by the packed counters of rows won (or lost) against each opponent.
std::array<int8_t, 64> MajorityTable(bool ruleTwoFour) {
  const int need = ruleTwoFour ? 2 : 3;
  const int worth = ruleTwoFour ? 1 : 3;
  std::array<int8_t, 64> table{};
  for (unsigned packed = 0; packed < 64; ++packed) {
    int sum = 0;
    for (int o = 0; o < 3; ++o)
      sum += ((packed >> (2 * o)) & 3u) >= static_cast<unsigned>(need) ? worth : 0;
    table[packed] = static_cast<int8_t>(sum);
  }
  return table;
}

Arrangement ArrangementOf(const Hand& hand, uint16_t front, uint16_t middle, uint16_t back) {
  Arrangement a;
  a.rows[kFront] = RowFromMask(hand, front);
  a.rows[kMiddle] = RowFromMask(hand, middle);
  a.rows[kBack] = RowFromMask(hand, back);
  return a;
}

// The opponents' strong rows cost the player once each, whatever the player plays.
int32_t OpponentBonuses(const std::array<RowValues, 3>& values) {
  int32_t sum = 0;
  for (const RowValues& v : values) {
    for (RowIndex row : {kFront, kMiddle, kBack}) sum += StrongRowBonus(row, v[row].category);
  }
  return sum;
}

}  // namespace

Hand HandOf(const Arrangement& arrangement) {
  Hand hand;
  hand.fill(kEmptySlot);
  int n = 0;
  for (const Row& row : arrangement.rows) {
    for (const Card& c : row) {
      if (c.code.IsCard() && n < kCardsPerHand) hand[n++] = c;
    }
  }
  SortHand(hand);
  return hand;
}

int32_t PointsAgainst(const Arrangement& own, const Opponents& against, bool ruleTwoFour) {
  TableValues values;
  for (int p = 0; p < 3; ++p) values[p] = EvaluateArrangement(against[p]);
  values[3] = EvaluateArrangement(own);
  return RoundTotal(ScoreRound(values, ruleTwoFour).points, 3);
}

BestArrangement FindBestArrangement(const Hand& hand, const Opponents& against, bool ruleTwoFour) {
  BestArrangement best;

  std::array<Special, kPositions> specials{};
  for (int p = 0; p < 3; ++p) specials[p] = FindSpecial(HandOf(against[p]));
  specials[3] = FindSpecial(hand);
  best.ownSpecial = specials[3];
  for (const Special& s : specials) best.settledBySpecials = best.settledBySpecials || s.code != 0;
  if (best.settledBySpecials) {
    RoundPoints points{};
    Totals totals{};
    SettleSpecials(specials, points, totals);
    best.points = totals[3];
    const ComputerArrangement computed = ArrangeByComputer(hand);
    best.rows = computed.rows;
    best.values = computed.values;
    return best;
  }

  std::array<RowValues, 3> opponentValues;
  std::array<std::array<uint32_t, 3>, 3> keysByRow{};  // [row][opponent]
  for (int o = 0; o < 3; ++o) {
    opponentValues[o] = EvaluateArrangement(against[o]);
    for (int row = 0; row < 3; ++row) keysByRow[row][o] = opponentValues[o][row].Key();
  }

  // Every subset's value and its outcome in each row it may fill, once; the splits below
  // only add them up.
  static thread_local HandSubsetValues subsetValues;
  ValueSubsets(hand, subsetValues);
  static thread_local std::array<RowOutcome, kFiveOfThirteen> asBack, asMiddle;
  static thread_local std::array<RowOutcome, kThreeOfThirteen> asFront;
  static thread_local std::array<uint32_t, kFiveOfThirteen> fiveKeys;
  static thread_local std::array<uint32_t, kThreeOfThirteen> threeKeys;
  for (int i = 0; i < kFiveOfThirteen; ++i) {
    fiveKeys[i] = subsetValues.five[i].Key();
    asBack[i] = Outcome(kBack, subsetValues.five[i], keysByRow[kBack]);
    asMiddle[i] = Outcome(kMiddle, subsetValues.five[i], keysByRow[kMiddle]);
  }
  for (int i = 0; i < kThreeOfThirteen; ++i) {
    threeKeys[i] = subsetValues.three[i].Key();
    asFront[i] = Outcome(kFront, subsetValues.three[i], keysByRow[kFront]);
  }
  const std::array<int8_t, 64> majority = MajorityTable(ruleTwoFour);

  const SubsetTables& t = Subsets();
  int32_t bestScore = std::numeric_limits<int32_t>::min();
  uint16_t bestFront = 0, bestMiddle = 0, bestBack = 0;
  int32_t legal = 0;
  for (int b = 0; b < kFiveOfThirteen; ++b) {
    const uint16_t backMask = t.five[b];
    const uint32_t backKey = fiveKeys[b];
    const ListMapper mapper(ComplementSlots(backMask));
    for (uint8_t small : t.fiveOfEight) {
      const uint16_t middleMask = mapper.Map(small);
      const int m = t.index[middleMask];
      const uint32_t middleKey = fiveKeys[m];
      if (middleKey >= backKey) continue;
      const uint16_t frontMask = static_cast<uint16_t>(0x1FFF & ~backMask & ~middleMask);
      const int f = t.index[frontMask];
      if (threeKeys[f] >= middleKey) continue;
      ++legal;
      const RowOutcome& x = asBack[b];
      const RowOutcome& y = asMiddle[m];
      const RowOutcome& z = asFront[f];
      // Two-bit counters never carry: each is at most three.
      const int32_t score = x.points + y.points + z.points + majority[x.wins + y.wins + z.wins] -
                            majority[x.losses + y.losses + z.losses];
      if (score > bestScore) {
        bestScore = score;
        bestFront = frontMask;
        bestMiddle = middleMask;
        bestBack = backMask;
      }
    }
  }
  best.legalSplits = legal;
  if (legal == 0) {
    // Only a hand that is no full hand of thirteen cards has no legal split.
    const ComputerArrangement computed = ArrangeByComputer(hand);
    best.rows = computed.rows;
    best.values = computed.values;
    best.points = PointsAgainst(best.rows, against, ruleTwoFour);
    return best;
  }
  best.rows = ArrangementOf(hand, bestFront, bestMiddle, bestBack);
  best.values = EvaluateArrangement(best.rows);
  best.points = bestScore - OpponentBonuses(opponentValues);
  return best;
}

}  // namespace trilane
