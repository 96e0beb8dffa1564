// The best-arrangement search of the review and of "trilane-cli best": one seeded deal per
// call, the three other seats arranged by the computer. Besides the mean the harness
// prints, the median and the slowest single search over every deal the run saw are
// reported as counters (in milliseconds), each both as wall time and as processor time:
// the wall figure shows what a player waits, the processor figure what the search costs
// whatever else the machine is doing.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
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
  std::vector<double> ms, cpuMs;
  ms.reserve(100000);
  cpuMs.reserve(100000);
  size_t i = 0;
  for (auto _ : state) {
    const Deal& d = deals[i++ % deals.size()];
    const std::clock_t cpuStart = std::clock();
    const auto start = std::chrono::steady_clock::now();
    const BestArrangement best = FindBestArrangement(d.hand, d.against, ruleTwoFour);
    const auto stop = std::chrono::steady_clock::now();
    const std::clock_t cpuStop = std::clock();
    benchmark::DoNotOptimize(best.points);
    ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    cpuMs.push_back(1000.0 * static_cast<double>(cpuStop - cpuStart) / CLOCKS_PER_SEC);
  }
  const auto median = [](std::vector<double>& v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
  };
  state.counters["median_ms"] = median(ms);
  state.counters["slowest_ms"] = ms.empty() ? 0.0 : ms.back();
  state.counters["median_cpu_ms"] = median(cpuMs);
  state.counters["slowest_cpu_ms"] = cpuMs.empty() ? 0.0 : cpuMs.back();
  state.counters["deals"] = static_cast<double>(std::min(ms.size(), deals.size()));
}
BENCHMARK(BM_FindBestArrangement)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace trilane

BENCHMARK_MAIN();
