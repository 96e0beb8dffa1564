// club.conf text of any shape. Nothing may crash, and:
//  - the file is read line by line: reading two texts one after the other (the second over
//    what the first set) gives what reading them joined by a line break gives;
//  - whatever the text, the settings are ones the service can hand out: ports in range,
//    table hosts that are one reply word, a host exactly where a port is set; and the lobby's
//    replies built from them keep their shape (ten tables of 38 fields, one server line).

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "server/service_config.h"
#include "server/text_rules.h"

using namespace trilane::club;

namespace {

bool Same(const ServiceConfig& a, const ServiceConfig& b) {
  const TourneySettings& x = a.tourney;
  const TourneySettings& y = b.tourney;
  return a.worldTopPaused == b.worldTopPaused && a.chatPaused == b.chatPaused &&
         x.serverOn == y.serverOn && x.welcome == y.welcome && x.address == y.address &&
         x.basePort == y.basePort && x.tableAddress == y.tableAddress && x.tablePort == y.tablePort;
}

void CheckSettings(const TourneySettings& t) {
  if (t.basePort < 1 || t.basePort + kTourneyTables > 65535) std::abort();
  if (!IsReplyWord(t.address, 64)) std::abort();
  for (int i = 0; i < kTourneyTables; ++i) {
    if (t.tableAddress[i].empty() != (t.tablePort[i] == 0)) std::abort();
    if (!t.tableAddress[i].empty() && !IsReplyWord(t.tableAddress[i], 64)) std::abort();
    if (t.tablePort[i] < 0 || t.tablePort[i] > 65535) std::abort();
    if (t.PortOf(i + 1) < 1 || t.PortOf(i + 1) > 65535) std::abort();
  }
}

struct Lobby {
  Lobby() : store(MakeSqlClubStore(OpenSqlitePool(":memory:", 1))), service(*store, hasher) {}
  PasswordHasher hasher{HashStrength::Fast};
  std::unique_ptr<ClubStore> store;
  ClubService service;
};

void CheckReplies(Lobby& lobby, const TourneySettings& t) {
  // The seats stay empty, so the replies depend on the settings alone.
  lobby.service.SetTourney(t);
  const std::string tables =
      lobby.service.Handle(Script::Tourney, "readtable410=94&&gid=94", "10.0.0.1", 0);
  int entries = 0;
  size_t start = 0;
  while (start < tables.size()) {
    if (tables[start] != '$') std::abort();
    const size_t end = tables.find('*', start);
    if (end == std::string::npos) std::abort();
    const std::string_view entry(tables.data() + start + 1, end - start - 1);
    int fields = 1;
    for (char c : entry) {
      if (c == ' ') ++fields;
      if (c == '$' || static_cast<unsigned char>(c) < 0x20) std::abort();
    }
    if (fields != 38) std::abort();
    ++entries;
    start = end + 1;
  }
  if (entries != kTourneyTables) std::abort();
  const std::string info =
      lobby.service.Handle(Script::Tourney, "serverinforead=0&&gid=94", "10.0.0.1", 0);
  if (info.size() < 5 || info.front() != '$' || info.back() != '$') std::abort();
  if (info[1] != (t.serverOn ? 'Y' : 'X') || info[2] != ' ') std::abort();
  for (size_t i = 3; i + 1 < info.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(info[i]);
    if (c <= 0x20 || c == '$' || c == '*') std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Lobby lobby;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ServiceConfig whole = ParseServiceConfig(text);
  CheckSettings(whole.tourney);
  CheckReplies(lobby, whole.tourney);

  // Split at the first line break (or in the middle), read the halves one after the other.
  size_t cut = text.find('\n');
  std::string first, second;
  if (cut == std::string_view::npos) {
    cut = size / 2;
    first = std::string(text.substr(0, cut));
    second = std::string(text.substr(cut));
    const ServiceConfig joined = ParseServiceConfig(first + "\n" + second);
    if (!Same(ParseServiceConfig(second, ParseServiceConfig(first)), joined)) std::abort();
  } else {
    first = std::string(text.substr(0, cut));
    second = std::string(text.substr(cut + 1));
    if (!Same(ParseServiceConfig(second, ParseServiceConfig(first)), whole)) std::abort();
  }
  return 0;
}
