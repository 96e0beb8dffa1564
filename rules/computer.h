#pragma once
// The computer's arrangement: an exhaustive, deterministic search. Every machine of a
// network game computes the computer seats itself, so the chosen split must never change:
// the first split of highest weight in enumeration order.

#include <cstdint>

#include "rules/arrangement.h"

namespace trilane {

// Weight of a split from each row's category and first tie-break rank.
int32_t ArrangementScore(const RowValue& front, const RowValue& middle, const RowValue& back);

struct ComputerArrangement {
  Arrangement rows;
  RowValues values;
  int32_t weight = 0;
  // False when no split with a Back of two pairs or better was legal and the first legal
  // split of the enumeration was taken instead.
  bool searched = true;
  // How many Middle candidates the search looked at, Back by Back: the work this hand cost,
  // the same on every machine (benchmarks pick their slowest hand by it, not by a clock).
  uint32_t candidatesExamined = 0;
};

// The hand is used in its slot order (the dealt hand sorted by rank).
ComputerArrangement ArrangeByComputer(const Hand& hand);

}  // namespace trilane
