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

#include <optional>
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

// Who can reach a listen address (a numeric IPv4 or IPv6 address, or "localhost"): only this
// machine, a private network (10/8, 172.16/12, 192.168/16, 169.254/16, 100.64/10, fc00::/7,
// fe80::/10), or anyone. An address that is not numeric, and the "any" addresses 0.0.0.0 and
// ::, count as anyone.
enum class ListenReach { kLoopback, kPrivate, kPublic };
ListenReach ReachOf(std::string_view host);

// Why the service must not start with these options, or nothing when it may:
//  - taking callers' addresses from X-Forwarded-For is safe only where nobody but the proxy
//    can connect, so --trust-proxy needs a loopback or private listen address;
//  - beyond loopback the service directory may not take its origin from the Host header a
//    caller sends, so --public-url is required there.
std::optional<std::string> CheckListenOptions(std::string_view host, bool trustProxy,
                                              std::string_view publicUrl);

}  // namespace trilane::club
