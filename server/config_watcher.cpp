#include "server/config_watcher.h"

#include <fstream>
#include <sstream>

namespace trilane::club {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

ConfigWatcher::ConfigWatcher(std::filesystem::path path, ClubService& service, int basePort)
    : path_(std::move(path)), service_(service), basePort_(basePort) {
  Reload();
}

void ConfigWatcher::Reload() {
  std::error_code ec;
  const auto stamp = std::filesystem::last_write_time(path_, ec);
  std::lock_guard lock(mutex_);
  if (!ec && stamp == stamp_) return;
  stamp_ = ec ? std::filesystem::file_time_type{} : stamp;
  config_ = ec ? ServiceConfig{} : ParseServiceConfig(ReadFile(path_));
  if (basePort_ != 0) config_.tourney.basePort = basePort_;
  service_.SetTourney(config_.tourney);
}

ServiceConfig ConfigWatcher::Current() {
  std::lock_guard lock(mutex_);
  return config_;
}

}  // namespace trilane::club
