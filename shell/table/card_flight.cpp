#include "shell/table/card_flight.h"

#include <algorithm>
#include <cstdlib>

#include "base/rounding.h"

namespace trilane {

std::vector<QPoint> FlightPath(QPoint from, QPoint to) {
  const int dx = to.x() - from.x();
  const int dy = to.y() - from.y();
  std::vector<QPoint> path;
  path.reserve(static_cast<size_t>(std::max(std::abs(dx), std::abs(dy))) + 1);
  path.push_back(from);
  if (dx == 0 && dy == 0) return path;
  if (std::abs(dx) >= std::abs(dy)) {
    const int step = dx > 0 ? 1 : -1;
    for (int x = from.x() + step;; x += step) {
      const int y = static_cast<int>(
          RoundHalfEvenToInt(static_cast<double>(dy) * (x - from.x()) / dx + from.y()));
      path.emplace_back(x, y);
      if (x == to.x()) break;
    }
  } else {
    const int step = dy > 0 ? 1 : -1;
    for (int y = from.y() + step;; y += step) {
      const int x = static_cast<int>(
          RoundHalfEvenToInt(static_cast<double>(dx) * (y - from.y()) / dy + from.x()));
      path.emplace_back(x, y);
      if (y == to.y()) break;
    }
  }
  return path;
}

double FlightStepsPerSecond(int speed) {
  // 1: a 2 ms pause per step; 2: 1 ms per step; 3: 1 ms per two steps; 4: per three steps;
  // 5 and 6: no pauses at all, so only the frame rate limits them.
  static constexpr double kRates[] = {500.0, 1000.0, 2000.0, 3000.0, 6000.0, 12000.0};
  return kRates[std::clamp(speed, kMinFlightSpeed, kMaxFlightSpeed) - 1];
}

}  // namespace trilane
