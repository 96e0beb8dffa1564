#pragma once
// Arrangements (Front, Middle, Back), the one rule they obey, and the thirteen-card special
// combinations that settle a round before any row is played.

#include <array>

#include "rules/deck.h"
#include "rules/evaluate.h"

namespace trilane {

enum RowIndex { kFront = 0, kMiddle = 1, kBack = 2 };

// rows[0] Front (slots 4 and 5 always empty), rows[1] Middle, rows[2] Back.
struct Arrangement {
  std::array<Row, 3> rows{};
  friend bool operator==(const Arrangement&, const Arrangement&) = default;
};
using RowValues = std::array<RowValue, 3>;

RowValues EvaluateArrangement(const Arrangement& arrangement);

// Strictly rising: Back beats Middle and Middle beats Front.
constexpr bool IsLegalArrangement(const RowValue& front, const RowValue& middle,
                                  const RowValue& back) {
  return RowBeats(back, middle) && RowBeats(middle, front);
}
inline bool IsLegalArrangement(const RowValues& v) {
  return IsLegalArrangement(v[kFront], v[kMiddle], v[kBack]);
}

// The thirteen cards of the rows are exactly the hand's (cards compare by their code), and
// the Front's slots 4 and 5 are empty. What a seat sends as its rows is refused otherwise.
bool UsesHandCards(const Arrangement& rows, const Hand& hand);

struct Special {
  int code = 0;    // 0 none, 2..13
  int points = 0;  // 0 when none
  friend bool operator==(const Special&, const Special&) = default;
};

enum SpecialCode {
  kNoSpecial = 0,
  kThreeFlushes = 2,
  kThreeStraights = 3,
  kSixPairs = 4,
  kFourTriples = 5,
  kFullColored = 6,
  kAllLow = 7,
  kAllHighs = 8,
  kThreeQuads = 9,
  kThreeStraightFlushes = 10,
  kAllBroadways = 11,
  kDragon = 12,
  kCleanDragon = 13,
};

// The first special combination of the hand in the order of the table, or {0, 0}. The
// patterns read the hand in rank order, so the hand is sorted (SortHand) before testing.
Special FindSpecial(const Hand& hand);

// 2 when the hand splits into two five-card straight flushes and a three-card straight
// flush, 1 when into two straights and a three-card straight, 0 otherwise.
int SplitIntoStraights(const Hand& hand);
// The same answer by the plain search: every five-card subset in order, every five of the
// remaining eight, the last three tested.
int SplitIntoStraightsByEnumeration(const Hand& hand);

// The words entry of a special combination's name (kWordCleanDragon .. kWordThreeFlushes);
// 0 for no special.
int SpecialNameEntry(int code);

}  // namespace trilane
