#include "program/net_match_end.h"

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
  // The same steps as a local match, on the network club file, with an "N" history line.
  LocalMatchEnd match = end.match;
  match.netMode = true;
  match.networkGame = true;
  match.historyPlayers = NetHistoryNames(end.players, match.name);
  return FinishLocalMatch(match);
}

std::array<int64_t, 12> NetMatchCounters(bool host) {
  std::array<int64_t, 12> counters{};
  if (host) counters[kNetGamesCounter] = kNetGamesPerMatch;
  return counters;
}

}  // namespace trilane
