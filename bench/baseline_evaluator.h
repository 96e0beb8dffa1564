#pragma once
// A plain evaluator of five real cards, written the obvious way (sort the ranks, count the
// groups), kept beside the benchmarks as the yardstick the row evaluator is measured against.

#include "rules/evaluate.h"

namespace trilane::bench {

RowValue EvaluateBySorting(const Row& row);

}  // namespace trilane::bench
