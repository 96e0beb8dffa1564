#include "server/service_options.h"

#include <cstdlib>
#include <iostream>

#include "server/club_store.h"
#include "server/service_config.h"
#include "server/text_rules.h"

namespace fs = std::filesystem;

namespace trilane::club {
namespace {

constexpr const char* kUsage =
    "usage: trilane-club-service [--listen ADDR:PORT] [--data DIR] [--ftp-port P]\n"
    "  [--ftp-password TEXT] [--addons DIR]... [--store postgres://...]\n"
    "  [--public-url http://HOST:PORT] [--threads N] [--rate PER_SECOND] [--burst N]\n"
    "  [--fast-hashes] [--trust-proxy] [--verbose]\n"
    "  [--tourney-base-port P] [--no-tourney | --tourney-only]\n"
    "  [--tourney-second-ms N]\n";

[[noreturn]] void Usage(const std::string& problem) {
  std::cerr << "trilane-club-service: " << problem << "\n" << kUsage;
  std::exit(2);
}

// --help: the usage and what each option does, on standard output (the manual page is
// made from it).
[[noreturn]] void Help() {
  std::cout << kUsage
            << "\n"
               "The club service of the game: accounts, ratings, top tens, the message board,\n"
               "statistics, tournament tables, photos and add-on downloads over HTTP, with\n"
               "SQLite in the data folder or a PostgreSQL database.\n"
               "\n"
               "Options:\n"
               "  --listen ADDR:PORT   where to listen (127.0.0.1:8094); port 0 picks a free\n"
               "                       port; beyond loopback --public-url is required\n"
               "  --data DIR           club.sqlite, photos/ and club.conf (club-data beside\n"
               "                       the program)\n"
               "  --ftp-port P         the photo upload's FTP port (2121); 0: no upload\n"
               "  --ftp-password TEXT  password of the FTP user trilane (photos)\n"
               "  --addons DIR         where the add-on libraries lie (repeatable; the\n"
               "                       program's folder and its parent)\n"
               "  --store URL          a PostgreSQL database (postgres://...)\n"
               "  --public-url URL     origin written into the service directory\n"
               "  --threads N          worker threads (32)\n"
               "  --rate N, --burst N  token bucket per caller address (20 per second, 60);\n"
               "                       --rate 0 turns it off\n"
               "  --trust-proxy        take the caller's address from X-Forwarded-For (only\n"
               "                       on a loopback or private listen address)\n"
               "  --fast-hashes        the minimum password hash cost: tests and load runs\n"
               "  --verbose            one line on stderr for every refused call\n"
               "  --tourney-base-port P  table t listens on P + t (club.conf's\n"
               "                       tourney_base_port, 25700)\n"
               "  --no-tourney         no tournament tables in this process\n"
               "  --tourney-only       only the tournament tables, against the same store; no\n"
               "                       HTTP, no FTP\n"
               "  --tourney-second-ms N  the length of the tables' clock second (1000; tests\n"
               "                       and load runs)\n"
               "  --version            print the version and exit\n"
               "\n"
               "It prints one line, \"listening on http://ADDR:PORT\", once it accepts\n"
               "connections, and stops cleanly on SIGTERM or SIGINT.\n";
  std::exit(0);
}

fs::path ExecutableFolder() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : self.parent_path();
}

}  // namespace

ServiceOptions ParseServiceOptions(int argc, char** argv) {
  ServiceOptions o;
  auto number = [](const std::string& text, int64_t low, int64_t high, const char* what) {
    auto n = ParseInteger(text, low, high);
    if (!n) Usage(std::string("bad ") + what + ": " + text);
    return *n;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Usage(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--listen") {
      const std::string v = value();
      const size_t colon = v.rfind(':');
      if (colon == std::string::npos || colon == 0) Usage("--listen wants ADDR:PORT");
      o.host = v.substr(0, colon);
      if (o.host.size() > 2 && o.host.front() == '[' && o.host.back() == ']') {
        o.host = o.host.substr(1, o.host.size() - 2);
      }
      o.port = static_cast<int>(number(v.substr(colon + 1), 0, 65535, "port"));
    } else if (arg == "--data") {
      o.data = value();
    } else if (arg == "--ftp-port") {
      o.ftpPort = static_cast<int>(number(value(), 0, 65535, "FTP port"));
    } else if (arg == "--ftp-password") {
      o.ftpPassword = value();
    } else if (arg == "--addons") {
      o.addons.emplace_back(value());
    } else if (arg == "--store") {
      o.store = value();
    } else if (arg == "--public-url") {
      o.publicUrl = value();
      while (!o.publicUrl.empty() && o.publicUrl.back() == '/') o.publicUrl.pop_back();
    } else if (arg == "--threads") {
      o.threads = static_cast<int>(number(value(), 1, 256, "thread count"));
    } else if (arg == "--rate") {
      o.rate = static_cast<double>(number(value(), 0, 1000000, "rate"));
    } else if (arg == "--burst") {
      o.burst = static_cast<double>(number(value(), 1, 1000000, "burst"));
    } else if (arg == "--fast-hashes") {
      o.fastHashes = true;
    } else if (arg == "--trust-proxy") {
      o.trustProxy = true;
    } else if (arg == "--verbose") {
      o.verbose = true;
    } else if (arg == "--tourney-base-port") {
      o.tourneyBasePort = static_cast<int>(number(value(), 1, 65535 - kTourneyTables, "base port"));
    } else if (arg == "--no-tourney") {
      o.noTourney = true;
    } else if (arg == "--tourney-only") {
      o.tourneyOnly = true;
    } else if (arg == "--tourney-second-ms") {
      o.tourneySecondMs = static_cast<int>(number(value(), 1, 60000, "clock second"));
    } else if (arg == "--help" || arg == "-h") {
      Help();
    } else if (arg == "--version") {
      std::cout << "trilane-club-service " << TRILANE_VERSION << "\n";
      std::exit(0);
    } else {
      Usage("unknown option " + arg);
    }
  }
  if (o.noTourney && o.tourneyOnly) Usage("--no-tourney and --tourney-only exclude each other");
  if (auto problem = CheckListenOptions(o.host, o.trustProxy, o.publicUrl)) Usage(*problem);
  const fs::path exe = ExecutableFolder();
  if (o.data.empty()) o.data = exe / "club-data";
  if (o.addons.empty()) o.addons = {exe, exe.parent_path()};
  return o;
}

}  // namespace trilane::club
