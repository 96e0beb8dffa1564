#include "server/service_config.h"

#include <arpa/inet.h>

#include <cstring>

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

ListenReach ReachOf(std::string_view host) {
  if (host == "localhost") return ListenReach::kLoopback;
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
  }
  const std::string text(host);
  unsigned char v4[4];
  if (inet_pton(AF_INET, text.c_str(), v4) == 1) {
    if (v4[0] == 127) return ListenReach::kLoopback;
    if (v4[0] == 10 || (v4[0] == 172 && (v4[1] & 0xF0) == 16) || (v4[0] == 192 && v4[1] == 168) ||
        (v4[0] == 169 && v4[1] == 254) || (v4[0] == 100 && (v4[1] & 0xC0) == 64)) {
      return ListenReach::kPrivate;
    }
    return ListenReach::kPublic;
  }
  unsigned char v6[16];
  if (inet_pton(AF_INET6, text.c_str(), v6) == 1) {
    static const unsigned char kLoopback6[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    static const unsigned char kMapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    if (std::memcmp(v6, kLoopback6, 16) == 0) return ListenReach::kLoopback;
    if (std::memcmp(v6, kMapped, 12) == 0) {
      char mapped[INET_ADDRSTRLEN];
      inet_ntop(AF_INET, v6 + 12, mapped, sizeof mapped);
      return ReachOf(mapped);
    }
    if ((v6[0] & 0xFE) == 0xFC || (v6[0] == 0xFE && (v6[1] & 0xC0) == 0x80)) {
      return ListenReach::kPrivate;
    }
  }
  return ListenReach::kPublic;
}

std::optional<std::string> CheckListenOptions(std::string_view host, bool trustProxy,
                                              std::string_view publicUrl) {
  const ListenReach reach = ReachOf(host);
  if (trustProxy && reach == ListenReach::kPublic) {
    return "--trust-proxy needs a loopback or private listen address (anyone reaching " +
           std::string(host) + " could choose the address the service sees)";
  }
  if (reach != ListenReach::kLoopback && publicUrl.empty()) {
    return "listening on " + std::string(host) +
           " needs --public-url (the directory must not take its host from callers)";
  }
  return std::nullopt;
}

}  // namespace trilane::club
