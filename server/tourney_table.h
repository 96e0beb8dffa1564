#pragma once
// One table of the online tournament as the tournament server keeps it: which connection
// holds which seat, the game's deals, stages and scores, and the turn clock. No sockets and
// no clock of its own: the server's loop hands it each connection's frames and the time,
// and carries out what it asks for (bytes to send, connections to close). Everything a
// player sends is checked here before the others see it, and the results booked in the
// club's store are the table's own scoring, never a player's claim.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "net/club/club_codec.h"
#include "rules/scoring.h"
#include "server/club_store.h"

namespace trilane::club {

struct TourneyTiming {
  int secondMs = 1000;  // the clock's second (shorter in tests)
  // Added to every limit the players' own clocks keep: a player's program times itself out
  // first and says so; the table's clock only catches programs that stay silent. It also
  // covers the result's pauses and the lock that pace the pacer's next press.
  int graceSeconds = 8;
  // A connection that has not introduced itself with "connect" by then is closed.
  int introductionSeconds = 10;
  int pacerSeconds = 26;
  // A player's arranging clock starts once the cards have flown into its rows, which a slow
  // flight setting stretches over several seconds after "h1".
  int flightSeconds = 10;
  // Arranging: 80 - 5 × seat (75 s for seat 1 .. 60 s for seat 4).
  int ArrangingSeconds(int seat) const { return 80 - 5 * seat; }
};

// The times a call happens at: a monotonic clock for the turn clock, the calendar for the
// store's sign-ins.
struct TableTime {
  int64_t ms = 0;
  int64_t epochSeconds = 0;
};

// The shuffled deck of each deal: unpredictable in the service, seeded in tests.
using DeckShuffle = std::function<Deck()>;

// Runs a table's store writes (a game's booking, freeing its seats): at once, or on a worker
// so that a write waiting for the database never holds up the loop that relays every table's
// frames. When `work` throws, `failed` is called with the reason on the table's own thread.
using StoreRunner =
    std::function<void(std::function<void()> work, std::function<void(const std::string&)> failed)>;

class TourneyTable {
 public:
  struct Send {
    int connection;
    std::string bytes;
  };
  struct Actions {
    std::vector<Send> sends;
    std::vector<int> closes;  // closed once what was sent to them is out
    std::vector<std::string> log;
  };

  TourneyTable(int table, ClubStore& store, DeckShuffle shuffle, TourneyTiming timing = {},
               StoreRunner runner = {});

  void Opened(int connection, const std::string& address, TableTime now);
  void Received(int connection, const Decoded& frame, TableTime now);
  // The connection closed or failed (not after the table asked to close it).
  void Closed(int connection, TableTime now);
  void Tick(TableTime now);
  // What the table asked for since the last call.
  Actions TakeActions();
  bool HasActions() const {
    return !actions_.sends.empty() || !actions_.closes.empty() || !actions_.log.empty();
  }

  int Number() const { return table_; }
  bool GameOn() const { return phase_ != Phase::kWaiting; }
  int BoundSeats() const;
  const SeatTotals& Totals() const { return totals_; }
  int DealsPlayed() const { return played_; }

 private:
  enum class Phase : uint8_t {
    kWaiting,    // seats are being introduced
    kDealt,      // waiting for the pacer's "h1"
    kArranging,  // waiting for every seat's rows
    kRating,     // waiting for the pacer's "h3".."h7"
    kRoundOver,  // waiting for "bnext" (or "o" after the last deal)
  };
  struct Connection {
    std::string address;
    int seat = 0;
    std::string nick;  // the seat's holder when it was bound
    int64_t openedMs = 0;
    int64_t chatWindowMs = 0;
    int chats = 0;
  };

  void Introduce(int connection, Connection& c, int seat, int byteSeat, TableTime now);
  void TakeFrame(int seat, const Decoded& frame, TableTime now);
  void TakeStage(int seat, const Stage& stage, const Decoded& frame, TableTime now);
  void TakeChat(Connection& c, const Chat& chat, TableTime now);
  void StartGame(TableTime now);
  void Deal(TableTime now);
  void RoundFinished(TableTime now);
  void Book();
  void BookingFailed(int game, const std::string& why);
  void Finish(const std::string& why);
  void Relay(int from, const std::string& bytes);
  void SendTo(int seat, const std::string& bytes);
  void SendOthers(int seat, const std::string& bytes);
  void Refuse(int seat, const std::string& why);
  void CloseConnection(int connection);
  void PacerClock(TableTime now, int extraSeconds = 0);
  void Unbind(int seat);

  int table_;
  ClubStore& store_;
  DeckShuffle shuffle_;
  TourneyTiming timing_;
  StoreRunner runner_;
  int game_ = 0;  // the number of the game on (or last on) this table
  Actions actions_;
  std::map<int, Connection> connections_;
  std::array<int, 4> seatConnection_{-1, -1, -1, -1};

  Phase phase_ = Phase::kWaiting;
  std::array<std::string, 4> nicks_;
  int deals_ = 0;   // deals this game plays
  int played_ = 0;  // deals scored
  Hands hands_{};   // by seat: index s - 1 holds block 5 - s
  std::array<Arrangement, 4> rows_{};
  TableValues values_{};
  std::array<bool, 4> rowsIn_{};
  RoundScore score_{};
  SeatTotals totals_{};
  int nextStep_ = 3;
  bool booked_ = false;
  std::array<int64_t, 4> deadline_{};  // ms; 0 when the table waits for nothing from the seat
};

}  // namespace trilane::club
