// trilane-club-service: the club's web service for the program (accounts, statistics, world
// tables, the message board, tournament tables, photos and add-on downloads), on one machine
// with SQLite or, for a larger club, several processes sharing PostgreSQL.
//
//   trilane-club-service [--listen ADDR:PORT] [--data DIR] [--ftp-port P] [options]
//
// See server/README.md for every option. This file only composes: the options, the store, the
// club service, the tournament tables, the HTTP front and the photo upload.

#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <thread>

#include "server/club_service.h"
#include "server/config_watcher.h"
#include "server/http_front.h"
#include "server/photo_upload.h"
#include "server/rate_limiter.h"
#include "server/service_options.h"
#ifdef TRILANE_TOURNEY_SERVER
#include "server/tourney_server.h"
#endif

namespace fs = std::filesystem;
using namespace trilane::club;

int main(int argc, char** argv) {
  const ServiceOptions options = ParseServiceOptions(argc, argv);

  // SIGTERM and SIGINT are taken by the main thread, which then stops the service; every
  // other thread (the HTTP workers included) inherits the blocked mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  if (!InitCrypto()) {
    std::cerr << "trilane-club-service: the crypto library cannot start\n";
    return 1;
  }
  std::error_code ec;
  const fs::path photos = options.data / "photos";
  fs::create_directories(photos, ec);
  if (ec) {
    std::cerr << "trilane-club-service: cannot create " << photos << ": " << ec.message() << "\n";
    return 1;
  }

  // A request holds a worker thread only while it is answered (waiting connections cost none),
  // and a worker waits for a free database connection only while it works.
  const int connections = std::min(options.threads, 8);
  std::unique_ptr<ClubStore> store;
  try {
    auto pool = options.store.empty()
                    ? OpenSqlitePool((options.data / "club.sqlite").string(), connections)
                    : OpenPostgresPool(options.store, connections);
    store = MakeSqlClubStore(std::move(pool));
  } catch (const std::exception& e) {
    std::cerr << "trilane-club-service: " << e.what() << "\n";
    return 1;
  }
  PasswordHasher hasher(options.fastHashes ? HashStrength::Fast : HashStrength::Interactive);
  ClubService service(*store, hasher);
  ConfigWatcher config(options.data / "club.conf", service, options.tourneyBasePort);
  RateLimiter limiter(options.rate, options.burst);
  HttpFront http(options, photos, service, config, limiter);

  // The tournament tables run beside the web scripts, or alone against the same store when
  // the club serves its tables from other hosts than its web service.
#ifdef TRILANE_TOURNEY_SERVER
  std::unique_ptr<TourneyServer> tourney;
  if (!options.noTourney) {
    TourneyServerOptions tables;
    tables.address = config.Current().tourney.address;
    tables.basePort = config.Current().tourney.basePort;
    tables.timing.secondMs = options.tourneySecondMs;
    tables.verbose = options.verbose;
    tourney = std::make_unique<TourneyServer>(*store, tables);
    std::string reason;
    if (!tourney->Start(&reason)) {
      tourney.reset();
      std::cerr << "trilane-club-service: tournament tables unavailable: " << reason << "\n";
      if (options.tourneyOnly) return 1;
    }
  }
  if (options.tourneyOnly) {
    std::printf("tournament tables on %s:%d..%d\n", config.Current().tourney.address.c_str(),
                config.Current().tourney.basePort + 1,
                config.Current().tourney.basePort + kTourneyTables);
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    return 0;
  }
#else
  if (options.tourneyOnly) {
    std::cerr << "trilane-club-service: this build has no tournament tables\n";
    return 1;
  }
#endif

  if (!http.Start()) {
    std::cerr << "trilane-club-service: cannot listen on " << options.host << ":" << options.port
              << "\n";
    return 1;
  }

  PhotoUploadServer ftp;
  if (options.ftpPort != 0) {
    std::string reason;
    if (!ftp.Start({options.host, options.ftpPort, "trilane", options.ftpPassword, photos.string()},
                   &reason)) {
      std::cerr << "trilane-club-service: photo upload unavailable: " << reason << "\n";
    }
  }

  // Every second club.conf is looked at (the operator's switches take effect at once); once an
  // hour the bookkeeping of past days is forgotten. Four times a second the connections past
  // their request deadline are cut.
  std::atomic<bool> stopping{false};
  std::thread janitor([&] {
    for (int ticks = 0; !stopping; ++ticks) {
      http.CutLate(std::chrono::steady_clock::now());
      if (ticks % 4 == 0) config.Reload();
      if (ticks % (4 * 3600) == 0) {
        try {
          const int64_t now = std::time(nullptr);
          store->Prune(now / 86400 - 1, now - 2 * 86400);
        } catch (const std::exception& e) {
          std::fprintf(stderr, "trilane-club-service: pruning failed: %s\n", e.what());
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
  });

  std::printf("listening on http://%s:%d\n", UrlHost(options.host).c_str(), http.Port());
#ifdef TRILANE_TOURNEY_SERVER
  if (tourney) {
    std::printf("tournament tables on %s:%d..%d\n", config.Current().tourney.address.c_str(),
                config.Current().tourney.basePort + 1,
                config.Current().tourney.basePort + kTourneyTables);
  }
#endif
  std::fflush(stdout);
  int signal = 0;
  sigwait(&stopSignals, &signal);

  http.Stop();
  stopping = true;
  janitor.join();
  ftp.Stop();
  return 0;
}
