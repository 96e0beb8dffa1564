#include "program/club_match_end.h"

#include <vector>

#include "program/net_match_end.h"

namespace trilane::tourney {

HistoryRecord ClubHistoryRecord(const ClubMatchEnd& end) {
  HistoryRecord record;
  std::vector<std::string> players;
  for (const std::string& name : end.seatNames) {
    if (!name.empty() && name != "X") players.push_back(name);
  }
  record.players = NetHistoryNames(players, end.ownName);
  record.games = end.games;
  record.kind = kTourneyMatch;
  if (end.after) {
    record.result = end.after->Score - end.scoreBefore;
    record.rating = static_cast<double>(end.after->Rating);
  } else {
    record.result = end.tableScore;
    record.rating = end.ratingBefore;
  }
  return record;
}

std::array<int64_t, 12> ClubMatchCounters(int seat) {
  std::array<int64_t, 12> counters{};
  if (seat == 1) counters[5] = 1;  // R6
  return counters;
}

ClubMatchWritten FinishClubMatch(web::WebClient* web, int seat, ClubMatchEnd end,
                                 const LocalMatchEnd& files) {
  if (web != nullptr) {
    const web::WebRead<web::OnlineRating> after = web->WebReadRating(kTourneyGameId, end.ownName);
    if (after.ok) end.after = after.value;
    if (seat == 1) web->WebSaveGameStats(kWindowsTableId, ClubMatchCounters(1));
  }
  ClubMatchWritten written;
  written.record = ClubHistoryRecord(end);
  written.historyError = !AppendHistory(files.programFolder / kHistoryFolderName, {written.record},
                                        files.now, files.datePattern);
  return written;
}

}  // namespace trilane::tourney
