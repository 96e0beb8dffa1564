// The best-arrangement search of the review and of "trilane-cli best": one seeded deal per
// call, the three other seats arranged by the computer. Besides the mean the harness
// prints, the median and the slowest single search over every deal the run saw are
// reported as counters (in milliseconds).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "rules/best_arrangement.h"
#include "rules/computer.h"

namespace trilane {
namespace {

struct Deal {
  Hand hand;
  Opponents against;
};

// Deals without special combinations (those settle the round without a search).
const std::vector<Deal>& Deals() {
  static const std::vector<Deal> deals = [] {
    std::vector<Deal> out;
    DeckRandom random(20);
    while (out.size() < 200) {
      const Hands hands = DealHands(ShuffleDeck(random), 1);
      bool special = false;
      for (const Hand& h : hands) special = special || FindSpecial(h).code != 0;
      if (special) continue;
      Deal d;
      d.hand = hands[3];
      for (int p = 0; p < 3; ++p) d.against[p] = ArrangeByComputer(hands[p]).rows;
      out.push_back(d);
    }
    return out;
  }();
  return deals;
}

void BM_FindBestArrangement(benchmark::State& state) {
  const bool ruleTwoFour = state.range(0) != 0;
  const std::vector<Deal>& deals = Deals();
  std::vector<double> ms;
  ms.reserve(100000);
  size_t i = 0;
  for (auto _ : state) {
    const Deal& d = deals[i++ % deals.size()];
    const auto start = std::chrono::steady_clock::now();
    const BestArrangement best = FindBestArrangement(d.hand, d.against, ruleTwoFour);
    const auto stop = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(best.points);
    ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
  }
  std::sort(ms.begin(), ms.end());
  state.counters["median_ms"] = ms.empty() ? 0.0 : ms[ms.size() / 2];
  state.counters["slowest_ms"] = ms.empty() ? 0.0 : ms.back();
  state.counters["deals"] = static_cast<double>(std::min(ms.size(), deals.size()));
}
BENCHMARK(BM_FindBestArrangement)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trilane

BENCHMARK_MAIN();
