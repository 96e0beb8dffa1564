#pragma once
// The lobby's seating with the tournament script: the player's seat record, the seat held,
// the table list with the server's state, taking and giving up a seat (with the seats above
// it), the freeing of a seat whose table could not be reached, and the table's names at the
// deal. Nothing here draws, waits or touches a socket: the lobby window asks for each step,
// then draws what came back, asks its questions and tells the seat's club game to connect
// or to let go.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "program/lobby_seats.h"
#include "table/match.h"
#include "web/calls.h"

namespace trilane::tourney {

// The table list as last read, and what the window does with it.
struct LobbyRead {
  LobbyButtons buttons;  // every seat kServerOff, disabled
  bool stateRead = false;  // the server's state and welcome line were read
  web::ServerInfo info;
  // A seat held until now was lost (the server went off, or cleared the table): the club
  // game lets it go.
  bool seatLost = false;
  // A seat is held while the server is on: "Refresh", "Close" and "Top 10" are greyed.
  bool locked = false;
};

enum class SeatClick : uint8_t {
  kNothing,      // no web client, a seat out of range, another seat held, seat 4 held
  kGivenUp,      // the own seat and the seats above it were freed
  kNotGivenUp,   // the script refused to free the own seat: the seat stays held
  kSameAddress,  // "This table is taken from your IP" (the notice)
  kTaken,        // the seat is held; connect when `port` is set
  kNotTaken,     // the script refused the seat
};

struct SeatClickOutcome {
  SeatClick kind = SeatClick::kNothing;
  // kTaken: the seat's match start and the table's tournament server.
  int seat = 0;
  MatchStart start;
  std::string address;
  std::optional<uint16_t> port;  // nothing: the list's port is out of range
};

class LobbySeating {
 public:
  // The seat record is filled from the signed-in account, the tournament figures read for
  // it and the address the service sees. `web` may be null (nothing is read or sent).
  LobbySeating(web::WebClient* web, const web::TQorUser& user);

  // The player's place in the tournament list (-1 when it could not be read).
  int64_t ReadOwnPlace();
  // Reads the table list and the server's state. A server that is off or could not be read
  // frees a seat still held; a table that the service cleared takes the held seat with it.
  LobbyRead Refresh();
  // A click on seat `seat` (1..4) of table `table` (1..10). The window refreshes after every
  // outcome but kNothing, kNotGivenUp and kSameAddress.
  SeatClickOutcome ClickSeat(int table, int seat);
  // The club socket failed before the game: the held seat and every seat above it are freed.
  void FreeAfterSocketError();
  // The fourth seat was taken and the server dealt: the table's names for the game's
  // messages (read while the server still lists them; nothing when no seat is held or the
  // list could not be read). The lobby holds no seat afterwards.
  std::optional<std::array<std::string, 4>> GameDealt();

  HeldSeat Held() const { return held_; }
  bool ServerOn() const { return serverOn_; }
  const web::TQorClient& OwnSeatRecord() const { return own_; }
  // The tournament server of the list's first table: its address and the port of table 0.
  const std::string& ServerAddress() const { return serverAddress_; }
  int BasePort() const { return basePort_; }

 private:
  void FreeSeats(int table, const std::vector<int>& seats);

  web::WebClient* web_;
  web::TQorClient own_;
  HeldSeat held_;
  bool serverOn_ = false;
  std::string serverAddress_ = "0.0.0.0";
  int basePort_ = 0;
};

}  // namespace trilane::tourney
