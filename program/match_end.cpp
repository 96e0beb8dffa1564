#include "program/match_end.h"

#include "records/club_file.h"

namespace trilane {

std::filesystem::path ClubFilePath(const std::filesystem::path& programFolder, bool netMode) {
  return programFolder / (netMode ? kNetClubFileName : kClubFileName);
}

LocalMatchEndOutcome FinishLocalMatch(const LocalMatchEnd& match) {
  LocalMatchEndOutcome out;
  const std::filesystem::path clubPath = ClubFilePath(match.programFolder, match.netMode);

  // The rating: from the member's line as it stands (nothing writes the club file during a
  // match), or from nothing for a new player.
  std::optional<MemberResult> result;
  auto club = LoadClubFile(clubPath);
  if (club) {
    auto r = MatchResultFor(*club, match.slot, match.name, match.passwordCode, match.score,
                            match.rounds);
    if (r) {
      result = *r;
    } else {
      out.clubError = r.error();
    }
  } else {
    out.clubError = club.error();
  }
  if (!result && match.slot == kSlotNewPlayer && match.rounds > 0) {
    // A new player's rating needs no club file.
    ClubFile empty = NewClubFile(match.netMode);
    if (auto r = MatchResultFor(empty, match.slot, match.name, match.passwordCode, match.score,
                                match.rounds)) {
      result = *r;
    }
  }
  if (result) {
    out.rating = result->rating;
    out.cycleCompleted = result->gamesAfter > 0 && result->gamesAfter % kCycleLength == 0;
    out.cycleScore = result->cycleScore;
  }

  // The history line.
  HistoryRecord line;
  line.players = match.historyPlayers.empty() ? match.name : match.historyPlayers;
  line.games = match.rounds;
  line.result = match.score;
  line.rating = out.rating;
  line.kind = match.networkGame ? kNetMatch : kLocalMatch;
  auto appended =
      AppendHistory(match.programFolder / kHistoryFolderName, {line}, match.now, match.datePattern);
  if (appended) {
    out.historyFile = appended->file;
  } else {
    out.historyError = appended.error();
  }

  // The member's line and the top ten.
  if (result && !out.clubError && !match.clubWriteLock) {
    auto written = WriteMemberResultToFile(clubPath, *result);
    if (written) {
      out.place = written->place;
      out.cycleCompleted = written->cycleCompleted;
      out.cycleScore = written->cycleScore;
    } else {
      out.clubError = written.error();
    }
  }
  return out;
}

}  // namespace trilane
