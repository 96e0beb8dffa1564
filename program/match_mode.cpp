#include "program/match_mode.h"

#include "program/club_access.h"

namespace trilane {

bool ChargeLeftMatch(const LocalMatchEnd& match) {
  return match.clubWriteLock || RemoveMemberLine(match.programFolder, match.netMode, match.slot);
}

MatchEndStep MatchEndSteps::Next() {
  if (steps_.empty()) return {};
  const MatchEndStep step = steps_.front();
  steps_.pop_front();
  return step;
}

LocalMatchEndOutcome LocalMatchMode::WriteFiles(const LocalMatchEnd& match) {
  return FinishLocalMatch(match);
}

MatchEndStep LocalMatchMode::End(const EndMatchRequest& request, const CalendarTime& now) {
  using Kind = MatchEndStep::Kind;
  LocalMatchEnd match = match_;
  match.score = request.score;
  match.rounds = request.rounds;
  match.now = now;
  const LocalMatchEndOutcome outcome = WriteFiles(match);

  steps_ = {};
  if (outcome.historyError) steps_.Push(MatchEndStep::Of(Kind::kHistoryNotSaved));
  // The match's sound, unless the cycle's verdict follows.
  if (!outcome.cycleCompleted) {
    if (request.score > 0) steps_.Push(MatchEndStep::Sound(TableSound::kMatchWon));
    if (request.score < 0) steps_.Push(MatchEndStep::Sound(TableSound::kRoundLost));
  }
  if (outcome.clubError) steps_.Push(MatchEndStep::Of(Kind::kDiskWriteError));
  if (outcome.cycleCompleted) {
    CycleEnd cycle;
    cycle.place = outcome.place;
    cycle.cycleScore = outcome.cycleScore;
    cycle.net = match_.netMode;
    steps_.Push(MatchEndStep::Cycle(Kind::kEndOfCycle, cycle));
    // A network club's cycle stays on this machine.
    if (!match_.netMode) steps_.Push(MatchEndStep::Cycle(Kind::kEnterWorldCycle, cycle));
  }
  return steps_.Next();
}

MatchEndStep LocalMatchMode::Advance(bool) {
  return steps_.Next();
}

bool LocalMatchMode::Leave() {
  return ChargeLeftMatch(match_);
}

void LocalMatchMode::Rename(const std::string& name, const std::string& passwordCode) {
  match_.name = name;
  match_.passwordCode = passwordCode;
}

}  // namespace trilane
