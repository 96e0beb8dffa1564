#pragma once
// The service program's command line: every option, its default and its checks. A bad
// command line ends the program with the usage on standard error (status 2); --help prints
// the usage and what each option does on standard output.

#include <filesystem>
#include <string>
#include <vector>

namespace trilane::club {

struct ServiceOptions {
  std::string host = "127.0.0.1";
  int port = 8094;
  std::filesystem::path data;
  int ftpPort = 2121;
  std::string ftpPassword = "photos";
  std::vector<std::filesystem::path> addons;
  std::string store;  // empty: SQLite in the data folder
  std::string publicUrl;
  int threads = 32;
  double rate = 20;
  double burst = 60;
  bool fastHashes = false;
  bool trustProxy = false;
  bool verbose = false;
  // The tournament tables: by default on club.conf's address and base port.
  int tourneyBasePort = 0;  // 0: club.conf's
  bool noTourney = false;
  bool tourneyOnly = false;
  int tourneySecondMs = 1000;
};

// The options as given; the data and add-on folders default to places beside the program.
ServiceOptions ParseServiceOptions(int argc, char** argv);

}  // namespace trilane::club
