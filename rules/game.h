#pragma once
// Numbers of the game itself that several rooms share.

#include <cstdint>

#include "base/rounding.h"

namespace trilane {

// The program's number among the maker's games: in the direct-play greeting, the club
// file and the web game ids.
inline constexpr int kGameCode = 94;

// The ids the web service keeps this game's tables under, made from the game code; the
// program sends them and the club service checks them.
constexpr int WebGameId(int gameCode) {
  return gameCode > 80 ? gameCode + 720 : gameCode;
}
inline constexpr int kWindowsTableId = WebGameId(kGameCode);  // 814: results without an
                                                              // account, statistics ("WINDOWS")
inline constexpr int kAndroidTableId = 914;   // results sent by other clients of the club
inline constexpr int kAccountTableId = 1114;  // cycles played for the world rating
inline constexpr int kBoardId = 100;          // the message board
inline constexpr int kTourneyGameId = kGameCode;  // the online tournament

// A member's games run in cycles of 80; the cycle's score is the member's score.
inline constexpr int32_t kCycleLength = 80;
// A network, club or rated match is four games.
inline constexpr int32_t kMatchLength = 4;

// A hundred times part / whole, rounded halves-to-even; 0 when whole is not positive. The
// online rating is the points per game written this way, and the statistics give the
// computer's share of the matches so.
inline int64_t PerHundred(int64_t part, int64_t whole) {
  if (whole <= 0) return 0;
  return RoundHalfEvenToInt(100.0 * static_cast<double>(part) / static_cast<double>(whole));
}

// The Qors a completed cycle earns by its place in the account table: 25 for the first place,
// 10 for the rest of the top ten, nothing below.
constexpr int64_t CycleBonus(int64_t place) {
  if (place == 1) return 25;
  if (place >= 2 && place <= 10) return 10;
  return 0;
}

}  // namespace trilane
