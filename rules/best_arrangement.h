#pragma once
// The best arrangement of one hand against three arrangements already on the table: every
// legal split of the thirteen cards is scored as the round would score it, and one of the
// highest is kept. Special combinations settle the round as they always do, before rows.
//
// The player sits at table position 4; `against[p - 1]` is position p's arrangement.

#include <array>
#include <cstdint>

#include "rules/arrangement.h"
#include "rules/deck.h"
#include "rules/scoring.h"

namespace trilane {

using Opponents = std::array<Arrangement, 3>;

struct BestArrangement {
  // The round is settled by special combinations (the player's or an opponent's): the rows
  // change nothing, `points` is the player's special column and `rows` is one legal split.
  bool settledBySpecials = false;
  Special ownSpecial;  // the player's own special combination, when the hand is one
  Arrangement rows;
  RowValues values{};
  int32_t points = 0;       // what position 4 scores in the round
  int32_t legalSplits = 0;  // legal arrangements examined (0 when settled by specials)
};

// The thirteen cards of an arrangement as a hand sorted by rank (empty slots skipped).
Hand HandOf(const Arrangement& arrangement);

// Position 4's points (Front + Middle + Back + Hand) when it plays `own` against the three,
// special combinations left aside.
int32_t PointsAgainst(const Arrangement& own, const Opponents& against, bool ruleTwoFour);

// Exhaustive over the 72 072 ways to choose a Back and a Middle; no allocation. The hand is
// used in its slot order, so among splits of equal points the one found first depends only
// on the hand as given.
BestArrangement FindBestArrangement(const Hand& hand, const Opponents& against, bool ruleTwoFour);

}  // namespace trilane
