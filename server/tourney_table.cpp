#include "server/tourney_table.h"

#include <algorithm>
#include <variant>

#include "base/rounding.h"
#include "rules/game.h"
#include "server/text_rules.h"

namespace trilane::club {

namespace {

// A sign-in vouches for an address this long, as it does for the tournament script's seats.
constexpr int64_t kSignInSeconds = 24 * 3600;
// Chat lines a connection may send within one second; more are dropped, not relayed.
constexpr int kChatsPerSecond = 5;

bool IsLoopback(const std::string& address) {
  return address == "127.0.0.1" || address == "::1" || address == "::ffff:127.0.0.1";
}

Arrangement RowsOf(const PayloadCodes& codes) {
  Arrangement rows;
  for (int i = 0; i < 15; ++i) rows.rows[i / 5][i % 5] = CardFromCode(codes[i]);
  return rows;
}

std::string TotalsText(const SeatTotals& totals) {
  std::string text;
  for (int32_t t : totals) text += (text.empty() ? "" : " ") + std::to_string(t);
  return text;
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

TourneyTable::TourneyTable(int table, ClubStore& store, DeckShuffle shuffle, TourneyTiming timing,
                           StoreRunner runner)
    : table_(table),
      store_(store),
      shuffle_(std::move(shuffle)),
      timing_(timing),
      runner_(std::move(runner)) {
  if (!runner_) {
    runner_ = [](std::function<void()> work, std::function<void(const std::string&)> failed) {
      try {
        work();
      } catch (const std::exception& e) {
        failed(e.what());
      }
    };
  }
}

int TourneyTable::BoundSeats() const {
  return static_cast<int>(
      std::count_if(seatConnection_.begin(), seatConnection_.end(), [](int c) { return c >= 0; }));
}

TourneyTable::Actions TourneyTable::TakeActions() {
  Actions out = std::move(actions_);
  actions_ = {};
  return out;
}

void TourneyTable::Opened(int connection, const std::string& address, TableTime now) {
  connections_[connection] = Connection{address, 0, {}, now.ms, 0, 0};
}

void TourneyTable::CloseConnection(int connection) {
  auto it = connections_.find(connection);
  if (it == connections_.end()) return;
  if (it->second.seat != 0) seatConnection_[it->second.seat - 1] = -1;
  connections_.erase(it);
  actions_.closes.push_back(connection);
}

void TourneyTable::Unbind(int seat) {
  const int connection = seatConnection_[seat - 1];
  if (connection >= 0) CloseConnection(connection);
}

void TourneyTable::Refuse(int seat, const std::string& why) {
  actions_.log.push_back("table " + std::to_string(table_) + " seat " + std::to_string(seat) +
                         ": refused " + why);
}

void TourneyTable::SendTo(int seat, const std::string& bytes) {
  const int connection = seatConnection_[seat - 1];
  if (connection >= 0) actions_.sends.push_back({connection, bytes});
}

void TourneyTable::SendOthers(int seat, const std::string& bytes) {
  for (int s = 1; s <= kSeats; ++s) {
    if (s != seat) SendTo(s, bytes);
  }
}

// A player's frame goes to the other three with byte 50 set to the seat it came from.
void TourneyTable::Relay(int from, const std::string& bytes) {
  SendOthers(from, WithSeat(bytes, from));
}

void TourneyTable::Received(int connection, const Decoded& frame, TableTime now) {
  auto it = connections_.find(connection);
  if (it == connections_.end()) return;
  Connection& c = it->second;
  if (c.seat == 0) {
    // Nothing is taken from a connection before it holds a seat.
    if (const auto* connect = std::get_if<Connect>(&frame.message)) {
      return Introduce(connection, c, connect->seat, frame.seat, now);
    }
    Refuse(0, "a frame before \"connect\" from " + c.address);
    return CloseConnection(connection);
  }
  if (const auto* chat = std::get_if<Chat>(&frame.message)) return TakeChat(c, *chat, now);
  TakeFrame(c.seat, frame, now);
}

void TourneyTable::Introduce(int connection, Connection& c, int seat, int byteSeat, TableTime now) {
  const auto refuse = [&](const std::string& why) {
    Refuse(seat, why + " (" + c.address + ")");
    CloseConnection(connection);
  };
  if (byteSeat != seat) return refuse("\"connect\" signed by another seat");
  if (phase_ != Phase::kWaiting) return refuse("\"connect\" while a game is on");
  Seat held;
  bool fromHolder = false;
  try {
    held = store_.ReadTables(kTourneyGameId)[table_ - 1][seat - 1];
    if (held.Free()) return refuse("\"connect\" to a free seat");
    // The seat is this connection's when the tournament script gave it to this address; on
    // loopback (the service's own machine, or a forwarder in front of it) when the holder
    // signed in from there.
    fromHolder = held.ip == c.address ||
                 (IsLoopback(c.address) &&
                  store_.SignedInSince(held.nick, c.address, now.epochSeconds - kSignInSeconds));
  } catch (const std::exception& e) {
    return refuse(std::string("\"connect\" while the store fails: ") + e.what());
  }
  if (!fromHolder) return refuse("\"connect\" to a seat taken from another address");
  if (const int bound = seatConnection_[seat - 1]; bound >= 0) {
    // A live connection keeps its seat; it only yields once the seat has another holder.
    if (NickKey(connections_[bound].nick) == NickKey(held.nick)) {
      return refuse("\"connect\" to a seat already connected");
    }
    Refuse(seat, "the seat's old connection: the seat has a new holder");
    CloseConnection(bound);
  }
  c.seat = seat;
  c.nick = held.nick;
  seatConnection_[seat - 1] = connection;
  if (BoundSeats() == kSeats) StartGame(now);
}

void TourneyTable::TakeChat(Connection& c, const Chat& chat, TableTime now) {
  if (now.ms - c.chatWindowMs >= 1000) {
    c.chatWindowMs = now.ms;
    c.chats = 0;
  }
  if (++c.chats > kChatsPerSecond) return Refuse(c.seat, "chat flood");
  // Written anew from what was read: at most 15 bytes, nothing after a "#".
  SendOthers(c.seat, EncodeChat(chat.text, c.seat));
}

void TourneyTable::StartGame(TableTime now) {
  TableSeats seats;
  try {
    seats = store_.ReadTables(kTourneyGameId)[table_ - 1];
  } catch (const std::exception& e) {
    // Nothing has started: the seats' programs connect again once the store answers.
    actions_.log.push_back("table " + std::to_string(table_) +
                           ": no game, the store fails: " + e.what());
    for (int s = 1; s <= kSeats; ++s) Unbind(s);
    return;
  }
  // A seat given up or freed since its connection was bound is not played by that
  // connection.
  bool allHeld = true;
  for (int s = 1; s <= kSeats; ++s) {
    const Connection& c = connections_[seatConnection_[s - 1]];
    if (seats[s - 1].Free() || NickKey(seats[s - 1].nick) != NickKey(c.nick)) {
      Refuse(s, "a connection whose seat is no longer held by " + c.nick);
      Unbind(s);
      allHeld = false;
    }
  }
  if (!allHeld) return;
  for (int s = 1; s <= kSeats; ++s) nicks_[s - 1] = seats[s - 1].nick;
  ++game_;
  // The pacer's program ends the game when its count of games reaches a multiple of four;
  // its count starts from the seat's games.
  deals_ = kMatchLength - static_cast<int>(std::max<int64_t>(seats[0].kon, 0) % kMatchLength);
  played_ = 0;
  totals_ = {};
  booked_ = false;
  actions_.log.push_back("table " + std::to_string(table_) + ": game of " + std::to_string(deals_) +
                         " deals for " + nicks_[0] + ", " + nicks_[1] + ", " + nicks_[2] + ", " +
                         nicks_[3]);
  Deal(now);
}

void TourneyTable::Deal(TableTime now) {
  Deck deck = shuffle_ ? shuffle_() : Deck{};
  if (!IsCompleteDeck(deck)) {
    // A shuffle that yields no whole deck leaves the table standing rather than dealing it.
    actions_.log.push_back("table " + std::to_string(table_) + ": the shuffle failed");
    return Finish("no deck");
  }
  for (int s = 1; s <= kSeats; ++s) {
    const int block = 5 - s;
    Hand& hand = hands_[s - 1];
    for (int i = 0; i < kCardsPerHand; ++i) hand[i] = deck[(block - 1) * kCardsPerHand + i];
    SortHand(hand);
  }
  rowsIn_ = {};
  score_ = {};
  values_ = {};
  nextStep_ = 3;
  deadline_ = {};
  phase_ = Phase::kDealt;
  const std::string bytes = EncodeDeal(deck);
  for (int s = 1; s <= kSeats; ++s) SendTo(s, bytes);
  PacerClock(now);
}

void TourneyTable::PacerClock(TableTime now, int extraSeconds) {
  deadline_ = {};
  deadline_[0] =
      now.ms + static_cast<int64_t>(timing_.pacerSeconds + timing_.graceSeconds + extraSeconds) *
                   timing_.secondMs;
}

void TourneyTable::TakeFrame(int seat, const Decoded& frame, TableTime now) {
  const auto pacerOnly = [&](const char* what) {
    if (seat == 1) return true;
    Refuse(seat, std::string(what) + " from a seat that does not pace");
    return false;
  };
  std::visit(Overloaded{
                 [&](const Stage& m) { TakeStage(seat, m, frame, now); },
                 [&](const NextDeal&) {
                   if (!pacerOnly("\"bnext\"")) return;
                   if (phase_ != Phase::kRoundOver || played_ >= deals_)
                     return Refuse(seat, "\"bnext\" out of turn");
                   Deal(now);
                 },
                 [&](const Result& m) {
                   if (!pacerOnly("\"o\"")) return;
                   if (phase_ != Phase::kRoundOver || played_ < deals_)
                     return Refuse(seat, "\"o\" before the last deal's result");
                   if (m.totals != totals_) {
                     actions_.log.push_back("table " + std::to_string(table_) +
                                            ": the pacer claimed " + TotalsText(m.totals) +
                                            ", the table scored " + TotalsText(totals_) +
                                            "; the table's totals stand");
                   }
                   for (int s = 1; s <= kSeats; ++s) SendTo(s, EncodeGameEnded());
                   Finish("game over");
                 },
                 [&](const TimeOut&) {
                   if (phase_ == Phase::kWaiting) return Refuse(seat, "\"TOut\" before the game");
                   SendOthers(seat, EncodePlayerTimedOut(seat));
                   Finish("seat " + std::to_string(seat) + " ran out of time");
                 },
                 [&](const Leave&) {
                   if (phase_ == Phase::kWaiting) return Unbind(seat);
                   SendOthers(seat, EncodePlayerLeft(seat));
                   Finish("seat " + std::to_string(seat) + " left");
                 },
                 [&](const Connect&) { Refuse(seat, "a second \"connect\""); },
                 [&](const auto&) { Refuse(seat, "a frame that is no player's"); },
             },
             frame.message);
}

void TourneyTable::TakeStage(int seat, const Stage& stage, const Decoded& frame, TableTime now) {
  if (stage.sender != seat) return Refuse(seat, "a stage signed for another seat");
  if (stage.step != 2) {
    if (seat != 1) return Refuse(seat, "a pacer's step from a seat that does not pace");
    if (stage.step == 1) {
      if (phase_ != Phase::kDealt) return Refuse(seat, "\"h1\" out of turn");
      Relay(seat, frame.bytes);
      std::array<Special, kPositions> specials{};
      bool any = false;
      for (int s = 0; s < kSeats; ++s) {
        specials[s] = FindSpecial(hands_[s]);
        any = any || specials[s].code > 0;
      }
      if (any) {
        // Special combinations settle the deal at once, on every program as here.
        trilane::Totals totals{totals_[0], totals_[1], totals_[2], totals_[3]};
        SettleSpecials(specials, score_.points, totals);
        for (int s = 0; s < kSeats; ++s) totals_[s] = totals[s];
        return RoundFinished(now);
      }
      phase_ = Phase::kArranging;
      deadline_ = {};
      for (int s = 1; s <= kSeats; ++s) {
        int seconds = timing_.ArrangingSeconds(s) + timing_.flightSeconds + timing_.graceSeconds;
        // The pacer cannot send its rows before everyone else's are in, so its own clock
        // would run out over a silent seat and the pacer would lose for it: the table
        // gives up on any other seat a little before the pacer's clock can.
        if (s != 1) seconds = std::min(seconds, timing_.ArrangingSeconds(1) - 2);
        deadline_[s - 1] = now.ms + static_cast<int64_t>(seconds) * timing_.secondMs;
      }
      return;
    }
    if (phase_ != Phase::kRating || stage.step != nextStep_) {
      return Refuse(seat, "\"h" + std::to_string(stage.step) + "\" out of turn");
    }
    Relay(seat, frame.bytes);
    if (stage.step == 7) {
      for (int s = 0; s < kSeats; ++s) totals_[s] += RoundTotal(score_.points, s);
      return RoundFinished(now);
    }
    ++nextStep_;
    return PacerClock(now);
  }

  if (phase_ != Phase::kArranging) return Refuse(seat, "rows out of turn");
  if (rowsIn_[seat - 1]) return Refuse(seat, "rows sent twice");
  if (seat == 1 && !(rowsIn_[1] && rowsIn_[2] && rowsIn_[3])) {
    return Refuse(seat, "the pacer's rows before everyone else's");
  }
  const Arrangement rows = RowsOf(stage.codes);
  if (!UsesHandCards(rows, hands_[seat - 1])) return Refuse(seat, "rows of cards not its own");
  const RowValues values = EvaluateArrangement(rows);
  if (!IsLegalArrangement(values)) return Refuse(seat, "rows that do not rise");
  rows_[seat - 1] = rows;
  values_[seat - 1] = values;
  rowsIn_[seat - 1] = true;
  deadline_[seat - 1] = 0;
  Relay(seat, frame.bytes);
  if (seat == 1) {
    // The pacer's rows reveal the deal: every point of it follows from the four rows.
    score_ = ScoreRound(values_, false);
    phase_ = Phase::kRating;
    nextStep_ = 3;
    PacerClock(now);
  }
}

void TourneyTable::RoundFinished(TableTime now) {
  ++played_;
  phase_ = Phase::kRoundOver;
  if (played_ >= deals_) Book();
  // The pacer's program pauses on the result before its clock runs again.
  PacerClock(now, 4);
}

void TourneyTable::Book() {
  if (booked_) return;
  booked_ = true;
  std::array<int64_t, kSeats> totals{};
  for (int s = 0; s < kSeats; ++s) totals[s] = totals_[s];
  ClubStore& store = store_;
  runner_([&store, nicks = nicks_, totals,
           deals = played_] { store.BookTourneyGame(kTourneyGameId, nicks, totals, deals); },
          [this, game = game_](const std::string& why) { BookingFailed(game, why); });
  actions_.log.push_back("table " + std::to_string(table_) + ": booked " + TotalsText(totals_) +
                         " after " + std::to_string(played_) + " deals");
}

// The store refused the game's booking, which then holds none of its seats: the game ends
// (its seats' connections close, and their programs say the connection was lost) unless it
// is over already. The service itself carries on.
void TourneyTable::BookingFailed(int game, const std::string& why) {
  actions_.log.push_back("table " + std::to_string(table_) + ": booking failed (" + why + ")");
  if (game != game_ || phase_ == Phase::kWaiting) return;
  booked_ = false;
  Finish("the store failed");
}

void TourneyTable::Finish(const std::string& why) {
  if (phase_ != Phase::kWaiting && !booked_) {
    actions_.log.push_back("table " + std::to_string(table_) + ": " + why + " after " +
                           std::to_string(played_) + " deals; nothing booked");
  }
  for (int s = 1; s <= kSeats; ++s) Unbind(s);
  phase_ = Phase::kWaiting;
  deadline_ = {};
  // The game is over: its seats are free for the next players.
  ClubStore& store = store_;
  runner_([&store, table = table_] { store.ClearTable(kTourneyGameId, table); },
          [this](const std::string& why) {
            actions_.log.push_back("table " + std::to_string(table_) + ": seats not freed (" + why +
                                   ")");
          });
}

void TourneyTable::Closed(int connection, TableTime) {
  auto it = connections_.find(connection);
  if (it == connections_.end()) return;
  const int seat = it->second.seat;
  if (seat != 0) seatConnection_[seat - 1] = -1;
  connections_.erase(it);
  if (seat == 0 || phase_ == Phase::kWaiting) return;
  SendOthers(seat, EncodePlayerLeft(seat));
  Finish("seat " + std::to_string(seat) + " left");
}

void TourneyTable::Tick(TableTime now) {
  std::vector<int> late;
  for (const auto& [connection, c] : connections_) {
    if (c.seat == 0 &&
        now.ms - c.openedMs >= static_cast<int64_t>(timing_.introductionSeconds) * timing_.secondMs)
      late.push_back(connection);
  }
  for (int connection : late) {
    Refuse(0, "a connection that never said \"connect\"");
    CloseConnection(connection);
  }
  if (phase_ == Phase::kWaiting) return;
  for (int s = 1; s <= kSeats; ++s) {
    if (deadline_[s - 1] != 0 && now.ms >= deadline_[s - 1]) {
      // The seat's own program should have said "TOut" by now: it is gone or hostile.
      SendOthers(s, EncodePlayerTimedOut(s));
      return Finish("seat " + std::to_string(s) + " stayed silent past its clock");
    }
  }
}

}  // namespace trilane::club
