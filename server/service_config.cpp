#include "server/service_config.h"

#include "server/text_rules.h"

namespace trilane::club {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

}  // namespace

ServiceConfig ParseServiceConfig(std::string_view text, ServiceConfig config) {
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (const size_t hash = line.find('#'); hash != std::string_view::npos) {
      line = line.substr(0, hash);
    }
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, eq));
    const std::string_view value = Trim(line.substr(eq + 1));
    auto flag = [&](bool& out) {
      if (value == "1" || value == "on" || value == "yes") out = true;
      if (value == "0" || value == "off" || value == "no") out = false;
    };
    if (key == "world_top_paused") {
      flag(config.worldTopPaused);
    } else if (key == "chat_paused") {
      flag(config.chatPaused);
    } else if (key == "tourney_server") {
      flag(config.tourney.serverOn);
    } else if (key == "welcome") {
      config.tourney.welcome = std::string(value);
    } else if (key == "tourney_address") {
      if (IsReplyWord(value, 64)) config.tourney.address = std::string(value);
    } else if (key.starts_with("table") && key.size() > 5) {
      // tableN = host:port
      auto table = ParseInteger(key.substr(5), 1, kTourneyTables);
      const size_t colon = value.rfind(':');
      if (table && colon != std::string_view::npos) {
        auto port = ParseInteger(value.substr(colon + 1), 1, 65535);
        const std::string_view host = value.substr(0, colon);
        if (port && IsReplyWord(host, 64)) {
          config.tourney.tableAddress[*table - 1] = std::string(host);
          config.tourney.tablePort[*table - 1] = static_cast<int>(*port);
        }
      }
    } else if (key == "tourney_base_port") {
      if (auto port = ParseInteger(value, 1, 65535 - kTourneyTables)) {
        config.tourney.basePort = static_cast<int>(*port);
      }
    }
  }
  return config;
}

}  // namespace trilane::club
