#pragma once
// The tournament server: ten tables, table t listening on address:basePort + t, run by one
// poll() loop on a thread of its own. The loop only moves bytes: it accepts connections,
// decodes what they send into frames for their table, writes what the tables send, and
// closes what they close. The tables (tourney_table.h) decide everything else.

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "server/club_store.h"
#include "server/tourney_table.h"

namespace trilane::club {

struct TourneyServerOptions {
  std::string address = "127.0.0.1";
  int basePort = 25700;  // table t listens on basePort + t
  TourneyTiming timing;
  bool verbose = false;  // log every refused frame, not only games and faults
};

// A deck no player can foresee: a Fisher-Yates shuffle drawn from the system's secure
// generator. (The program's own shuffle generator is a 32-bit congruential one that anyone
// who saw a few deals could follow.)
Deck UnpredictableDeck();

class TourneyServer {
 public:
  TourneyServer(ClubStore& store, TourneyServerOptions options);
  ~TourneyServer();
  TourneyServer(const TourneyServer&) = delete;
  TourneyServer& operator=(const TourneyServer&) = delete;

  // Binds the ten ports and starts the loop; false, with the reason, when a port cannot be
  // bound (nothing then runs).
  bool Start(std::string* error);
  void Stop();

 private:
  struct Loop;
  ClubStore& store_;
  TourneyServerOptions options_;
  std::unique_ptr<Loop> loop_;
  std::thread thread_;
};

}  // namespace trilane::club
