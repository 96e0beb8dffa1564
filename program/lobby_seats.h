#pragma once
// What the lobby's forty seat buttons say and allow, from the table list, the seat this
// player holds and whether the tournament server is on; and which seats go with a seat that
// is given up. Pure: the window only draws what these functions decide.
//
// Seats are taken in order (1, then 2, 3, 4), so a free seat is offered only when the seat
// below it is occupied; a held seat may be given up until the game starts, except seat 4,
// whose taking makes the table full and starts the game.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "web/calls.h"

namespace trilane::tourney {

inline constexpr int kTables = 10;
inline constexpr int kSeatsPerTable = 4;

// The seat this player holds in the lobby; table 0 for none.
struct HeldSeat {
  int table = 0;  // 1..10
  int seat = 0;   // 1..4
  bool Held() const { return table != 0; }
  bool operator==(const HeldSeat&) const = default;
};

enum class SeatCaption : uint8_t {
  kLogOff,          // the own seat, which may be given up
  kOccupied,        // nick + " : " + score
  kTakeThePlaceOf,  // a free seat that is next in order
  kFree,            // a free seat above a free seat
  kServerOff,       // the server is off or could not be read
};

struct SeatButton {
  SeatCaption caption = SeatCaption::kServerOff;
  bool enabled = false;
  std::string nick;  // kOccupied: code page 1251
  int64_t score = 0;
  bool operator==(const SeatButton&) const = default;
};

using TableButtons = std::array<SeatButton, kSeatsPerTable>;
using LobbyButtons = std::array<TableButtons, kTables>;

// A seat of the list is free when its nick is "X".
bool SeatFree(const web::TQorClient& seat);

// The seat `held` names is lost when its table's first seat reads free in the list (the
// service cleared the table): the lobby then holds no seat. Returns the seat still held.
HeldSeat CheckHeldSeat(const web::TableList& tables, HeldSeat held);

// The buttons of one table for `held` (already checked with CheckHeldSeat).
TableButtons ButtonsOfTable(const web::TQorTable_4& table, int tableNumber, HeldSeat held);
// All forty: the tables' buttons while the server is on, otherwise "Server Off" everywhere.
LobbyButtons ButtonsOfLobby(const web::TableList& tables, HeldSeat held, bool serverOn);

// The seats to free when seat `seat` is given up with the seat button: the own seat first,
// then the seats above it that the order would otherwise leave stranded (from seat 1 also 2
// and 3, from seat 2 also 3; seat 4 is never given up this way).
std::vector<int> SeatsGivenUp(int seat);
// The seats to free after a socket error at seat `seat`: the own seat and every seat above.
std::vector<int> SeatsFreedAfterError(int seat);

// The welcome line of the server state: every "_" stands for a blank.
std::string WelcomeText(std::string_view text);
// The welcome line's font height in points by its length in characters.
int WelcomeFontPoints(size_t characters);

}  // namespace trilane::tourney
