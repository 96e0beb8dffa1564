#pragma once
// Keeps the service's view of "club.conf" current: reads it again whenever its modification
// time changes and hands the tournament part to the club service.

#include <filesystem>
#include <mutex>

#include "server/club_service.h"
#include "server/service_config.h"

namespace trilane::club {

class ConfigWatcher {
 public:
  // `basePort`, when not 0, stands for club.conf's tourney_base_port: the table list names
  // the ports the tables really listen on.
  ConfigWatcher(std::filesystem::path path, ClubService& service, int basePort = 0);

  // Reads the file again when it changed since the last look (a missing file is the defaults).
  void Reload();
  ServiceConfig Current();

 private:
  std::filesystem::path path_;
  ClubService& service_;
  std::mutex mutex_;
  std::filesystem::file_time_type stamp_{};
  int basePort_ = 0;
  ServiceConfig config_;
};

}  // namespace trilane::club
