#pragma once
// What the end of a tournament game leaves behind on this machine and in the club's game
// statistics: one "T" history line with the table's names, the score the game brought the
// seat in the tournament and the tournament rating after it, and the online-game counter,
// which only the pacer's seat sends so that a table counts once. Pure.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "program/match_end.h"
#include "records/history_file.h"
#include "web/calls.h"

namespace trilane::tourney {

struct ClubMatchEnd {
  std::array<std::string, 4> seatNames;  // code page 1251, by seat; "" where unknown
  std::string ownName;                   // code page 1251
  int64_t games = 0;                     // the game's deals
  int64_t tableScore = 0;                // the seat's total at the table
  int64_t scoreBefore = 0;               // the seat's tournament score when it was taken
  double ratingBefore = 0;
  // The seat's tournament figures read after the game; none when the read failed.
  std::optional<web::OnlineRating> after;
};

// The history line: the result is the tournament score gained and the rating the tournament
// one; when the figures could not be read, the table's total and the rating held before.
HistoryRecord ClubHistoryRecord(const ClubMatchEnd& end);

// The game counters of a finished tournament game: one online game from seat 1.
std::array<int64_t, 12> ClubMatchCounters(int seat);

struct ClubMatchWritten {
  HistoryRecord record;       // the line written (or meant to be)
  bool historyError = false;  // shown as "Cann`t save history!"
};

// The end of a tournament game once its server has booked it: the seat's tournament figures
// read after the game and the online-game counter sent from seat `seat` (nothing of either
// without a web client), then the history line written into the history folder of `files`
// with its time and date pattern. The match's sound follows the line's result.
ClubMatchWritten FinishClubMatch(web::WebClient* web, int seat, ClubMatchEnd end,
                                 const LocalMatchEnd& files);

}  // namespace trilane::tourney
