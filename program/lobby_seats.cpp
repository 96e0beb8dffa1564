#include "program/lobby_seats.h"

#include <algorithm>

namespace trilane::tourney {

bool SeatFree(const web::TQorClient& seat) {
  return seat.Nick == "X";
}

HeldSeat CheckHeldSeat(const web::TableList& tables, HeldSeat held) {
  if (!held.Held() || held.table < 1 || held.table > kTables) return {};
  // Checked before any button is drawn, so that every table's free seats are offered at once
  // when the held seat turns out lost, not only the tables drawn after it.
  if (SeatFree(tables[static_cast<size_t>(held.table - 1)].Seats[0])) return {};
  return held;
}

TableButtons ButtonsOfTable(const web::TQorTable_4& table, int tableNumber, HeldSeat held) {
  TableButtons buttons;
  for (int k = 1; k <= kSeatsPerTable; ++k) {
    const web::TQorClient& seat = table.Seats[static_cast<size_t>(k - 1)];
    SeatButton& b = buttons[static_cast<size_t>(k - 1)];
    if (!SeatFree(seat)) {
      const bool mine = held.table == tableNumber && held.seat == k;
      if (mine && k < kSeatsPerTable) {
        b.caption = SeatCaption::kLogOff;
        b.enabled = true;
      } else {
        b.caption = SeatCaption::kOccupied;
        b.nick = seat.Nick;
        b.score = seat.Score;
      }
      continue;
    }
    const bool belowOccupied = k == 1 || !SeatFree(table.Seats[static_cast<size_t>(k - 2)]);
    b.caption = belowOccupied ? SeatCaption::kTakeThePlaceOf : SeatCaption::kFree;
    b.enabled = belowOccupied && !held.Held();
  }
  return buttons;
}

LobbyButtons ButtonsOfLobby(const web::TableList& tables, HeldSeat held, bool serverOn) {
  // Default-initialised, not "{}": clang 14 crashes value-initialising this nested array of
  // buttons; every SeatButton starts as kServerOff, disabled either way.
  LobbyButtons lobby;
  if (!serverOn) return lobby;  // every button kServerOff, disabled
  held = CheckHeldSeat(tables, held);
  for (int t = 1; t <= kTables; ++t)
    lobby[static_cast<size_t>(t - 1)] = ButtonsOfTable(tables[static_cast<size_t>(t - 1)], t, held);
  return lobby;
}

std::vector<int> SeatsGivenUp(int seat) {
  switch (seat) {
    case 1:
      return {1, 2, 3};
    case 2:
      return {2, 3};
    case 3:
      return {3};
    default:
      return {};
  }
}

std::vector<int> SeatsFreedAfterError(int seat) {
  std::vector<int> seats;
  for (int k = std::max(seat, 1); seat >= 1 && k <= kSeatsPerTable; ++k) seats.push_back(k);
  return seats;
}

std::string WelcomeText(std::string_view text) {
  std::string shown(text);
  std::replace(shown.begin(), shown.end(), '_', ' ');
  return shown;
}

int WelcomeFontPoints(size_t characters) {
  if (characters > 54) return 20;
  if (characters > 39) return 24;
  return 28;
}

}  // namespace trilane::tourney
