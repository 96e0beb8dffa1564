#pragma once
// The local steps at the end of a direct-play match: the rating the match gives, an "N"
// history line naming everyone who played, and the member's line and the top ten in the
// network club file "Trilane.net". Only files are touched, like the local end of a match.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "program/match_end.h"

namespace trilane {

struct NetMatchEnd {
  // The player and the match as for a local match; the network club file is always used.
  LocalMatchEnd match;
  // The people at the table by NetId (code page 1251), the local player among them.
  std::vector<std::string> players;
};

// The history line's names: the players joined by "/" (the history file cuts them to 51
// bytes); the local name alone when nobody else is listed.
std::string NetHistoryNames(const std::vector<std::string>& players, const std::string& ownName);

// Runs the steps in order: rating, history line, club file. A failed step does not stop the
// later ones; each failure is reported once in the outcome.
LocalMatchEndOutcome FinishNetMatch(const NetMatchEnd& end);

// The game counters the web statistics take for a finished direct-play match: four network
// games from the host, nothing from a joiner.
std::array<int64_t, 12> NetMatchCounters(bool host);

}  // namespace trilane
