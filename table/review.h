#pragma once
// After a round played in rows: what the player's hand could have scored against the three
// arrangements that were revealed, beside what it did score.

#include <optional>

#include "rules/best_arrangement.h"
#include "table/round_flow.h"

namespace trilane {

struct RoundReview {
  Arrangement played;    // the own rows as they were revealed
  int32_t scored = 0;    // what they scored (Front + Middle + Back + Hand)
  BestArrangement best;  // the best rows against the same three, and their points
  // The rows played scored as much as the best ones (they may still differ from them).
  bool PlayedBest() const { return scored >= best.points; }
};

// The review of the round on the table once its result is shown; nothing before that, nor
// for a round settled by special combinations (no rows were played).
std::optional<RoundReview> ReviewRound(const RoundFlow& flow);

}  // namespace trilane
