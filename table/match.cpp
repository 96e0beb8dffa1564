#include "table/match.h"

#include <cmath>
#include <cstdio>

#include "base/rounding.h"

namespace trilane {

MatchCounters FirstDealCounters(const MatchStart& start) {
  MatchCounters c;
  const bool fresh = start.currentSlot == kSlotNewPlayer ||
                     (start.currentSlot == kSlotAccount && !start.accountHasRatedGames) ||
                     start.currentSlot < 1 || start.currentSlot > kSlotClubGame;
  if (!fresh) {
    c.gamesPlayed = start.gamesPlayed < 0 ? 0 : start.gamesPlayed;
    c.initialScore = start.initialScore;
    c.initialRating = start.initialRating;
  }
  return c;
}

int32_t RoundInCycle(int32_t gamesPlayed) {
  const int32_t r = gamesPlayed % kCycleLength;
  return r == 0 ? kCycleLength : r;
}

EndOfRoundButtons EndOfRoundRules(PlayMode mode, int accountState, bool pacer,
                                  int32_t gamesPlayed) {
  const bool cycleDone = gamesPlayed % kCycleLength == 0;
  const bool blockDone = gamesPlayed % kMatchLength == 0;
  switch (mode) {
    case PlayMode::kComputer:
      if (accountState == kAccountRated) return {!blockDone, blockDone};
      return {!cycleDone, true};
    case PlayMode::kNet:
      return {pacer && !blockDone, blockDone};
    case PlayMode::kClub:
      return {pacer && !blockDone, pacer && blockDone};
  }
  return {};
}

std::string FormatRating(double rating) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%6.2f", RoundHalfEvenTo(rating, 2));
  std::string text = buffer;
  for (char& ch : text) {
    if (ch == '.') ch = ',';
  }
  return text;
}

GeneralScoreFigures ComputeGeneralScore(PlayMode mode, const MatchStart& start,
                                        const MatchCounters& counters, double currentRating) {
  GeneralScoreFigures t;
  t.roundsInAll = std::to_string(counters.gamesPlayed);
  t.scoreAtStart = std::to_string(counters.initialScore);
  t.scoreThisMatch = std::to_string(counters.matchScore);
  t.scoreInAll = std::to_string(counters.GeneralScore());
  if (mode == PlayMode::kClub) {
    t.roundsThisMatch = "-";
    t.ratingAtStart = FormatRating(counters.initialRating);
    t.ratingNow = "?";
    return t;
  }
  if (start.accountState == kAccountRated) {
    t.roundsThisMatch = std::to_string(start.accountBlockRounds + counters.matchGames);
    t.ratingAtStart = std::to_string(RoundHalfEvenToInt(counters.initialRating));
    t.ratingNow = "?";
  } else {
    t.roundsThisMatch = std::to_string(RoundInCycle(counters.gamesPlayed));
    t.ratingAtStart = FormatRating(counters.initialRating);
    t.ratingNow = FormatRating(currentRating);
  }
  return t;
}

}  // namespace trilane
