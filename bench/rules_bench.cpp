// Benchmarks of the game rules over fixed seeded data sets: the row evaluator (against the
// plain sorting evaluator of the same run), the computer arrangement, a whole round.

#include <benchmark/benchmark.h>

#include <utility>
#include <vector>

#include "baseline_evaluator.h"
#include "rules/computer_round.h"

namespace trilane {
namespace {

constexpr size_t kRows = 10'000'000;

// Rows of distinct cards drawn with the deck's own generator; the same every run.
std::vector<Row> MakeRows(size_t count, int cards, uint32_t seed) {
  std::vector<Row> rows(count);
  DeckRandom random(seed);
  for (Row& row : rows) {
    row.fill(kEmptySlot);
    uint64_t used = 0;
    for (int i = 0; i < cards;) {
      const int n = static_cast<int>(random.Random(kDeckSize)) + 1;
      if (used & (uint64_t{1} << n)) continue;
      used |= uint64_t{1} << n;
      row[i++] = CardFromNumber(n);
    }
  }
  return rows;
}

const std::vector<Row>& FiveCardRows() {
  static const std::vector<Row> rows = MakeRows(kRows, 5, 1);
  return rows;
}
const std::vector<Row>& Fronts() {
  static const std::vector<Row> rows = MakeRows(kRows, 3, 2);
  return rows;
}

// Rows are evaluated in batches so that the loop of the harness costs nothing per row;
// every row of the set is visited once (10 million rows).
constexpr size_t kBatch = 1000;

template <typename Evaluate>
void RunRows(benchmark::State& state, const std::vector<Row>& rows, Evaluate evaluate) {
  size_t i = 0;
  for (auto _ : state) {
    uint32_t sum = 0;
    for (size_t k = 0; k < kBatch; ++k) sum += evaluate(rows[i + k]).Key();
    benchmark::DoNotOptimize(sum);
    i += kBatch;
    if (i + kBatch > rows.size()) i = 0;
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kBatch));
}

void BM_EvaluateRow_Five(benchmark::State& state) { RunRows(state, FiveCardRows(), EvaluateRow); }
void BM_Baseline_Five(benchmark::State& state) { RunRows(state, FiveCardRows(), bench::EvaluateBySorting); }
void BM_EvaluateRow_Front(benchmark::State& state) { RunRows(state, Fronts(), EvaluateRow); }
BENCHMARK(BM_EvaluateRow_Five)->Iterations(kRows / kBatch);
BENCHMARK(BM_Baseline_Five)->Iterations(kRows / kBatch);
BENCHMARK(BM_EvaluateRow_Front)->Iterations(kRows / kBatch);

const std::vector<Hand>& SeededHands() {
  static const std::vector<Hand> hands = [] {
    std::vector<Hand> out;
    DeckRandom random(20221018u);
    while (out.size() < 1000) {
      for (const Hand& h : DealHands(ShuffleDeck(random), 1)) out.push_back(h);
    }
    return out;
  }();
  return hands;
}

void BM_ArrangeByComputer_Mean(benchmark::State& state) {
  const auto& hands = SeededHands();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ArrangeByComputer(hands[i]));
    if (++i == hands.size()) i = 0;
  }
}
BENCHMARK(BM_ArrangeByComputer_Mean)->Iterations(20000);

// The slowest hand of the seeded set and thirteen cards of one suit (every subset a flush
// or a straight flush: nothing is pruned by category). The slowest hand is the one whose
// search looks at the most Middle candidates: a count of work, the same on every run and
// machine, where a clock would pick whichever hand the machine happened to be busy under.
void BM_ArrangeByComputer_Worst(benchmark::State& state) {
  static const std::pair<Hand, uint32_t> worst = [] {
    const auto& hands = SeededHands();
    std::pair<Hand, uint32_t> most{hands[0], 0};
    for (const Hand& h : hands) {
      const uint32_t work = ArrangeByComputer(h).candidatesExamined;
      if (work > most.second) most = {h, work};
    }
    return most;
  }();
  for (auto _ : state) benchmark::DoNotOptimize(ArrangeByComputer(worst.first));
  state.counters["candidates"] = static_cast<double>(worst.second);
}
BENCHMARK(BM_ArrangeByComputer_Worst);

void BM_ArrangeByComputer_OneSuit(benchmark::State& state) {
  Hand hand;
  for (int i = 0; i < 13; ++i) hand[i] = CardFromNumber(i * 4 + 4);  // the spades, two to ace
  for (auto _ : state) benchmark::DoNotOptimize(ArrangeByComputer(hand));
}
BENCHMARK(BM_ArrangeByComputer_OneSuit);

// Shuffle, deal, specials, the computer's arrangement for all four seats, scoring.
void BM_FullRound(benchmark::State& state) {
  DeckRandom random(7);
  Totals totals{};
  for (auto _ : state) {
    benchmark::DoNotOptimize(PlayComputerRound(DealHands(ShuffleDeck(random), 1), false, totals));
  }
  benchmark::DoNotOptimize(totals);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FullRound)->Iterations(20000);

}  // namespace
}  // namespace trilane

BENCHMARK_MAIN();
