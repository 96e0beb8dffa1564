#include "shell/direct/net_match_end.h"

#include "records/club_file.h"
#include "records/history_file.h"

namespace trilane {

namespace {

constexpr int64_t kNetGamesPerMatch = 4;
constexpr size_t kNetGamesCounter = 4;  // R5

}  // namespace

std::string NetHistoryNames(const std::vector<std::string>& players, const std::string& ownName) {
  if (players.size() < 2) return ownName;
  std::string joined;
  for (const std::string& name : players) {
    if (!joined.empty()) joined += '/';
    joined += name;
  }
  return joined;
}

LocalMatchEndOutcome FinishNetMatch(const NetMatchEnd& end) {
  const LocalMatchEnd& match = end.match;
  LocalMatchEndOutcome out;
  const std::filesystem::path clubPath = ClubFilePath(match.programFolder, true);

  // The rating comes from the member's line of the network club file as it stands (nothing
  // writes that file during a match), or from nothing for a new player.
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
  if (!result && match.slot == kNewPlayerSlot && match.rounds > 0) {
    ClubFile empty = NewClubFile(true);
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

  HistoryRecord line;
  line.players = NetHistoryNames(end.players, match.name);
  line.games = match.rounds;
  line.result = match.score;
  line.rating = out.rating;
  line.kind = kNetMatch;
  auto appended =
      AppendHistory(match.programFolder / kHistoryFolderName, {line}, match.now, match.datePattern);
  if (appended) {
    out.historyFile = appended->file;
  } else {
    out.historyError = appended.error();
  }

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

std::array<int64_t, 12> NetMatchCounters(bool host) {
  std::array<int64_t, 12> counters{};
  if (host) counters[kNetGamesCounter] = kNetGamesPerMatch;
  return counters;
}

}  // namespace trilane
