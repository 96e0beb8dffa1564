#pragma once
// One round with the computer on all four seats, as the rules settle it: special
// combinations first; without any, every seat arranged by the computer and the rows scored.

#include <array>

#include "rules/computer.h"
#include "rules/scoring.h"

namespace trilane {

struct ComputerRound {
  std::array<Special, kPositions> specials{};
  bool settledBySpecials = false;
  std::array<ComputerArrangement, kPositions> arranged{};  // filled when rows were played
  RoundScore score;                                         // column Special when settled
  Totals roundTotals{};                                     // what the round added
};

// Plays the round on the dealt hands (by table position) and adds it to `totals`.
ComputerRound PlayComputerRound(const Hands& hands, bool ruleTwoFour, Totals& totals);

}  // namespace trilane
