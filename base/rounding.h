#pragma once
// The one rounding rule of the game: to the nearest integer, halves to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). Positions, sizes, ratings and card geometry all use it.

#include <cmath>
#include <cstdint>

namespace trilane {

inline double RoundHalfEven(double x) { return std::nearbyint(x); }  // default FE_TONEAREST

inline int64_t RoundHalfEvenToInt(double x) { return static_cast<int64_t>(std::nearbyint(x)); }

// Rounds to `digits` decimal places, halves to even on the scaled value.
inline double RoundHalfEvenTo(double x, int digits) {
  const double scale = std::pow(10.0, digits);
  return std::nearbyint(x * scale) / scale;
}

}  // namespace trilane
