#pragma once
// "club.conf" in the data folder: what the club's operator switches while the service runs.
// One key=value per line, "#" starts a comment. Read again whenever the file changes.
//
//   world_top_paused = 0|1      the directory says "WTGamesPause"
//   chat_paused = 0|1           the directory says "CTGamesPause"
//   tourney_server = on|off     the lobby's server lamp
//   welcome = text              the lobby's welcome line
//   tourney_address = host      where the tournament server listens
//   tourney_base_port = n       table t is served on n + t
//   tableN = host:port          table N (1..10) is served there instead

#include <string>
#include <string_view>

#include "server/club_service.h"

namespace trilane::club {

struct ServiceConfig {
  bool worldTopPaused = false;
  bool chatPaused = false;
  TourneySettings tourney;
};

// Unknown keys and bad values are ignored (the value keeps its default).
ServiceConfig ParseServiceConfig(std::string_view text, ServiceConfig defaults = {});

}  // namespace trilane::club
