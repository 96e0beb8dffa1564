// Any fifteen bytes as a row of five (two code letters and a rank each): the evaluator must agree with
// the pattern table and never read outside the row.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "rules/evaluate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 15) return 0;
  trilane::Row row;
  for (int i = 0; i < 5; ++i) {
    row[i] = trilane::Card{trilane::CardCode{data[3 * i], data[3 * i + 1]}, data[3 * i + 2]};
  }
  if (!(trilane::EvaluateRow(row) == trilane::EvaluateRowByPatterns(row))) std::abort();
  return 0;
}
