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
    c.roundNumber = start.roundNumber < 0 ? 0 : start.roundNumber;
    c.initialScore = start.initialScore;
    c.initialRating = start.initialRating;
  }
  return c;
}

int32_t RoundInCycle(int32_t roundNumber) {
  const int32_t r = roundNumber % kCycleLength;
  return r == 0 ? kCycleLength : r;
}

EndOfRoundButtons EndOfRoundRules(PlayMode mode, int accountState, bool pacer,
                                  int32_t roundNumber) {
  const bool cycleDone = roundNumber % kCycleLength == 0;
  const bool blockDone = roundNumber % kMatchLength == 0;
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

TCount GeneralCount(PlayMode mode, const MatchStart& start, const MatchCounters& counters,
                    double currentRating) {
  TCount t;
  t.Count_KonAll = std::to_string(counters.roundNumber);
  t.Count_ScoBeg = std::to_string(counters.initialScore);
  t.Count_ScoCur = std::to_string(counters.sessionScore);
  t.Count_ScoAll = std::to_string(counters.GeneralScore());
  if (mode == PlayMode::kClub) {
    t.Count_KonCur = "-";
    t.Count_ReiBeg = FormatRating(counters.initialRating);
    t.Count_ReiCur = "?";
    return t;
  }
  if (start.accountState == kAccountRated) {
    t.Count_KonCur = std::to_string(start.accountKonL + counters.sessionRounds);
    t.Count_ReiBeg = std::to_string(RoundHalfEvenToInt(counters.initialRating));
    t.Count_ReiCur = "?";
  } else {
    t.Count_KonCur = std::to_string(RoundInCycle(counters.roundNumber));
    t.Count_ReiBeg = FormatRating(counters.initialRating);
    t.Count_ReiCur = FormatRating(currentRating);
  }
  return t;
}

}  // namespace trilane
