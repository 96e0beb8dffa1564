#include "program/lobby_seating.h"

#include <string_view>
#include <vector>

#include "base/codepage.h"

namespace trilane::tourney {
namespace {

// Every seat of this lobby is one of a four-seat table.
constexpr std::string_view kFourSeats = "4";

}  // namespace

LobbySeating::LobbySeating(web::WebClient* web, const web::TQorUser& user) : web_(web) {
  own_.Nick = user.Nick;
  own_.Country = user.Country1;
  own_.City = user.City;
  own_.Sex = user.Sex == 'W' ? 'W' : 'M';
  if (web_ == nullptr) return;
  const web::WebRead<web::OnlineRating> rating = web_->WebReadRating(kTourneyGameId, own_.Nick);
  if (rating.ok) {
    own_.Score = rating.value.Score;
    own_.Kon = rating.value.Kon;
    own_.Rating = rating.value.Rating;
  }
  if (const std::optional<std::string> address = web_->WebOwnAddress(); address) own_.IP = *address;
}

int64_t LobbySeating::ReadOwnPlace() {
  if (web_ == nullptr) return -1;
  const web::WebRead<int64_t> place = web_->WebOnlinePlace('s', kTourneyGameId, own_.Score);
  return place.ok ? place.value : -1;
}

LobbyRead LobbySeating::Refresh() {
  web::WebRead<web::TableList> tables;
  web::WebRead<web::ServerInfo> info;
  if (web_ != nullptr) {
    tables = web_->WebReadTables(kTourneyGameId);
    info = web_->WebReadServerInfo(kTourneyGameId);
  }
  if (tables.ok) {
    serverAddress_ = tables.value[0].IP;
    basePort_ = static_cast<int>(tables.value[0].Port - 1);
  }
  LobbyRead read;
  serverOn_ = tables.ok && info.ok && info.value.state == 'Y';
  if (!serverOn_ && held_.Held()) {
    // The server is off or could not be read: the seat is given up, not left held.
    if (web_ != nullptr)
      web_->WebTakeSeat(kFourSeats, kTourneyGameId, held_.table, 0, web::FreeSeat(), held_.seat);
    held_ = {};
    read.seatLost = true;
  }
  if (serverOn_) {
    const HeldSeat still = CheckHeldSeat(tables.value, held_);
    read.seatLost = held_.Held() && !still.Held();
    held_ = still;
  }
  read.buttons = ButtonsOfLobby(tables.value, held_, serverOn_);
  read.stateRead = info.ok;
  read.info = info.value;
  read.locked = held_.Held() && serverOn_;
  return read;
}

void LobbySeating::FreeSeats(int table, const std::vector<int>& seats) {
  for (int k : seats) web_->WebTakeSeat(kFourSeats, kTourneyGameId, table, 0, web::FreeSeat(), k);
}

SeatClickOutcome LobbySeating::ClickSeat(int table, int seat) {
  SeatClickOutcome out;
  if (web_ == nullptr || table < 1 || table > kTables || seat < 1 || seat > kSeatsPerTable)
    return out;
  web::WebClient& web = *web_;
  if (held_.table == table && held_.seat == seat) {
    // Giving up: the own seat first, then the seats the order would leave stranded above.
    std::vector<int> seats = SeatsGivenUp(seat);
    if (seats.empty()) return out;
    if (web.WebTakeSeat(kFourSeats, kTourneyGameId, table, 2, web::FreeSeat(), seat) !=
        web::SeatResult::kTaken) {
      out.kind = SeatClick::kNotGivenUp;
      return out;
    }
    seats.erase(seats.begin());
    FreeSeats(table, seats);
    held_ = {};
    out.kind = SeatClick::kGivenUp;
    return out;
  }
  if (held_.Held()) return out;

  // One address, one player at a table: checked where the server is not on this machine.
  if (seat >= 2 && serverAddress_ != "127.0.0.1" && own_.IP != "X") {
    for (int lower = 1; lower < seat; ++lower) {
      const web::WebRead<web::TQorClient> other = web.WebReadSeat(lower, kTourneyGameId, table);
      if (other.ok && other.value.IP == own_.IP) {
        out.kind = SeatClick::kSameAddress;
        return out;
      }
    }
  }
  if (web.WebTakeSeat(kFourSeats, kTourneyGameId, table, 1, own_, seat) !=
      web::SeatResult::kTaken) {
    out.kind = SeatClick::kNotTaken;
    return out;
  }
  held_ = {table, seat};
  out.kind = SeatClick::kTaken;
  out.seat = seat;
  out.start.currentSlot = kSlotClubGame;
  out.start.name = Cp1251ToUtf8(own_.Nick);
  out.start.gamesPlayed = static_cast<int32_t>(own_.Kon);
  out.start.initialScore = static_cast<int32_t>(own_.Score);
  out.start.initialRating = static_cast<double>(own_.Rating);
  out.address = serverAddress_;
  const int port = basePort_ + table;
  if (port > 0 && port <= 65535) out.port = static_cast<uint16_t>(port);
  return out;
}

void LobbySeating::FreeAfterSocketError() {
  if (held_.Held() && web_ != nullptr) FreeSeats(held_.table, SeatsFreedAfterError(held_.seat));
  held_ = {};
}

std::optional<std::array<std::string, 4>> LobbySeating::GameDealt() {
  std::optional<std::array<std::string, 4>> names;
  if (web_ != nullptr && held_.Held()) {
    const web::WebRead<web::TableList> tables = web_->WebReadTables(kTourneyGameId);
    if (tables.ok) {
      names.emplace();
      for (size_t s = 0; s < 4; ++s)
        (*names)[s] = tables.value[static_cast<size_t>(held_.table - 1)].Seats[s].Nick;
    }
  }
  held_ = {};
  return names;
}

}  // namespace trilane::tourney
