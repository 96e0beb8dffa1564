#pragma once
// Numbers of the game itself that several rooms share.

#include <cstdint>

namespace trilane {

// The program's number among the maker's games: in the direct-play greeting, the club
// file and the web game ids.
inline constexpr int kGameCode = 94;

// A member's games run in cycles of 80; the cycle's score is the member's score.
inline constexpr int32_t kCycleLength = 80;
// A network, club or rated match is four games.
inline constexpr int32_t kMatchLength = 4;

}  // namespace trilane
