// One tournament table with four club controllers in one process: the players' flows and
// the table run on a virtual clock, and every byte between them goes through the codec.

#include "server/tourney_table.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/club/club_controller.h"
#include "rules/computer.h"
#include "server/club_store.h"
#include "server/sql.h"
#include "table/auto_player.h"

namespace trilane::club {
namespace {

namespace fs = std::filesystem;

constexpr int kTable = 3;
constexpr int64_t kEpoch = 1'765'000'000;

class Pipe : public net::Link {
 public:
  void Send(std::string_view bytes) override {
    if (!closed) sent.append(bytes);
  }
  void Close() override { closed = true; }
  std::string sent;
  bool closed = false;
};

class Recorder : public ClubListener {
 public:
  void GameEnded() override { ended = true; }
  void GameStopped(const ClubNotice& n) override { stopped = n; }
  bool ended = false;
  std::optional<ClubNotice> stopped;
};

class ClockedTable : public HeadlessTable {
 public:
  ClubController* controller = nullptr;
  void SetTurnClock(int position, int seconds) override { controller->ClockSet(position, seconds); }
  void StopTurnClocks() override { controller->ClocksStopped(); }
};

struct Player {
  explicit Player(int seat)
      : seat(seat),
        controller(seat, MatchStart{kSlotClubGame, "P" + std::to_string(seat)}, recorder),
        flow(view, controller, DeckSource{}),
        player(flow) {
    view.controller = &controller;
    controller.Attach(flow);
    view.onRoundFinished = [this] {
      SeatTotals bySeat{};
      for (int s = 1; s <= 4; ++s)
        bySeat[s - 1] = flow.RoundTotals()[PositionOf(this->seat, s) - 1];
      rounds.push_back(bySeat);
    };
  }
  int seat;
  Pipe pipe;
  Recorder recorder;
  ClockedTable view;
  ClubController controller;
  RoundFlow flow;
  AutoPlayer player;
  Decoder fromPlayer{Direction::kToServer};
  int connection = 0;
  bool plays = true;  // a frozen program neither acts nor keeps its clock
  bool serverClosed = false;
  bool closeReported = false;
  std::vector<SeatTotals> rounds;
};

// A seat's block of the current deal, sorted as a hand, read from another seat's flow.
Hand SortedBlock(const Player& from, int seat) {
  Hand hand;
  for (int i = 0; i < kCardsPerHand; ++i)
    hand[i] = from.flow.CurrentDeck()[(4 - seat) * kCardsPerHand + i];
  SortHand(hand);
  return hand;
}

Deck SeededDeck(uint32_t seed) {
  DeckRandom random(seed);
  return ShuffleDeck(random);
}

class TourneyTableTest : public ::testing::Test {
 protected:
  TourneyTableTest() { UseStore(MakeSqlClubStore(OpenSqlitePool(":memory:", 1))); }

  // The four players' accounts and seats in `store`, and the table over it.
  void UseStore(std::unique_ptr<ClubStore> store) {
    table_.reset();
    store_ = std::move(store);
    for (int s = 1; s <= 4; ++s) {
      Account a;
      a.nick = "P" + std::to_string(s);
      a.city = "Oslo";
      a.country1 = "Norway";
      a.sex = "W";
      store_->CreateAccount(a);
      Seat seat;
      seat.nick = a.nick;
      seat.ip = Address(s);
      seat.takenAt = kEpoch;
      EXPECT_TRUE(store_->TakeSeat(kTourneyGameId, kTable, s, seat));
    }
    table_ =
        std::make_unique<TourneyTable>(kTable, *store_, [this] { return SeededDeck(++deals_); });
  }

  static std::string Address(int seat) { return "10.0.0." + std::to_string(seat); }
  TableTime Now() const { return {nowMs_, kEpoch + nowMs_ / 1000}; }

  // Opens the four players' connections in seat order and introduces them.
  void SeatEveryone() {
    for (int s = 1; s <= 4; ++s) {
      players_.push_back(std::make_unique<Player>(s));
      Player& p = *players_.back();
      p.connection = 100 + s;
      table_->Opened(p.connection, Address(s), Now());
      p.controller.Connecting(p.pipe);
      p.controller.Connected();
    }
  }

  Player* ByConnection(int connection) {
    for (auto& p : players_) {
      if (p->connection == connection) return p.get();
    }
    return nullptr;
  }

  // Carries the table's actions to the players.
  void Deliver() {
    TourneyTable::Actions actions = table_->TakeActions();
    for (const std::string& line : actions.log) log_.push_back(line);
    for (const auto& send : actions.sends) {
      if (Player* p = ByConnection(send.connection); p && !p->serverClosed) {
        p->controller.Received(send.bytes);
      }
    }
    for (int connection : actions.closes) {
      if (Player* p = ByConnection(connection)) {
        p->serverClosed = true;
        p->controller.Closed();
      }
    }
  }

  // Moves bytes and lets the seats act until nothing moves for `idleSeconds` virtual seconds
  // in a row (each idle step is one second on every clock).
  void Run(int idleSeconds = 60) {
    for (int idle = 0; idle < idleSeconds;) {
      bool moved = false;
      for (auto& p : players_) {
        if (!p->pipe.sent.empty()) {
          moved = true;
          std::string bytes = std::move(p->pipe.sent);
          p->pipe.sent.clear();
          for (Decoded& frame : p->fromPlayer.Feed(bytes)) {
            if (rewrite_) rewrite_(*p, frame);
            if (!p->serverClosed) table_->Received(p->connection, frame, Now());
          }
        }
        if (p->pipe.closed && !p->closeReported && !p->serverClosed) {
          p->closeReported = true;
          moved = true;
          table_->Closed(p->connection, Now());
        }
        Deliver();
      }
      for (auto& p : players_) {
        if (!p->plays) continue;
        for (AutoPlayer::Did did; (did = p->player.Step()) != AutoPlayer::Did::kNothing;) {
          moved = true;
          if (did == AutoPlayer::Did::kEndedMatch) p->controller.EndGame(p->player.EndRequest());
        }
      }
      if (moved) {
        idle = 0;
        continue;
      }
      ++idle;
      nowMs_ += 1000;
      for (auto& p : players_) {
        if (!p->plays) continue;
        p->flow.Tick();
        p->controller.Tick();
      }
      table_->Tick(Now());
      Deliver();
    }
  }

  bool Logged(const std::string& part) const {
    for (const std::string& line : log_) {
      if (line.find(part) != std::string::npos) return true;
    }
    return false;
  }

  std::unique_ptr<ClubStore> store_;
  std::unique_ptr<TourneyTable> table_;
  std::vector<std::unique_ptr<Player>> players_;
  std::vector<std::string> log_;
  std::function<void(Player&, Decoded&)> rewrite_;
  uint32_t deals_ = 0;
  int64_t nowMs_ = 0;
};

TEST_F(TourneyTableTest, FourSeatsPlayAGameTheTableScoresAndBooksItself) {
  // The pacer claims other totals than the table scored: the claim is logged and ignored.
  rewrite_ = [](Player& p, Decoded& frame) {
    if (p.seat == 1 && std::holds_alternative<Result>(frame.message)) {
      frame.bytes = EncodeResult({999, 0, 0, -999}, 1);
      frame.message = ReadFrame(frame.bytes, Direction::kToServer);
    }
  };
  SeatEveryone();
  Run();
  ASSERT_EQ(table_->DealsPlayed(), 4);
  for (auto& p : players_) {
    SCOPED_TRACE(p->seat);
    EXPECT_TRUE(p->recorder.ended);
    EXPECT_FALSE(p->recorder.stopped.has_value());
    ASSERT_EQ(p->rounds.size(), 4u);
    EXPECT_EQ(p->rounds, players_[0]->rounds);
  }
  EXPECT_EQ(players_[0]->rounds.back(), table_->Totals());
  EXPECT_TRUE(Logged("the pacer claimed 999 0 0 -999"));
  for (int s = 1; s <= 4; ++s) {
    const auto booked = store_->ReadTourneyPlayer(kTourneyGameId, "P" + std::to_string(s));
    ASSERT_TRUE(booked.has_value());
    EXPECT_EQ(booked->score, table_->Totals()[s - 1]);
    EXPECT_EQ(booked->kon, 4);
    EXPECT_EQ(booked->rating, PerHundred(booked->score, 4));
    EXPECT_EQ(booked->city, "Oslo");
    EXPECT_TRUE(store_->ReadTables(kTourneyGameId)[kTable - 1][s - 1].Free());
  }
}

// Rows of a hand in the order the travel payload lists them (Front 3, Middle 5, Back 5).
Arrangement InOrder(const Hand& hand) {
  Arrangement rows;
  for (int i = 0; i < 13; ++i) {
    const int row = i < 3 ? kFront : (i < 8 ? kMiddle : kBack);
    rows.rows[row][i < 3 ? i : (i < 8 ? i - 3 : i - 8)] = hand[i];
  }
  return rows;
}

// Frames only the pacer may send, frames that speak for another seat and rows that are
// not the sender's to send, all from seat 2: none reaches anyone, the round stands where it
// was, and the game then goes on as if nothing had been sent.
TEST_F(TourneyTableTest, FramesForAnotherSeatOrOnlyThePacersChangeNothing) {
  SeatEveryone();
  players_[1]->plays = false;  // seat 2 holds back while the others arrange
  Run(1);
  ASSERT_EQ(players_[0]->flow.Stage(), RoundStage::kArranging);
  const Hand seat2Hand = SortedBlock(*players_[1], 2);
  const Hand seat3Hand = SortedBlock(*players_[1], 3);
  // Seat 2's own cards, the highest in front: rows that do not rise.
  Hand falling = seat2Hand;
  std::reverse(falling.begin(), falling.end());
  ASSERT_FALSE(IsLegalArrangement(EvaluateArrangement(InOrder(falling))));
  const Arrangement seat2Rows = ArrangeByComputer(seat2Hand).rows;
  ASSERT_TRUE(IsLegalArrangement(EvaluateArrangement(seat2Rows)));
  const struct {
    const char* name;
    std::string bytes;
  } forged[] = {
      {"h1 from seat 2", EncodeStep(1, 2)},
      {"h3 signed by seat 1", EncodeStep(3, 1)},
      {"h5 from seat 2", EncodeStep(5, 2)},
      {"bnext from seat 2", EncodeNextDeal(2)},
      {"o from seat 2", EncodeResult({1, 2, 3, 4}, 2)},
      {"seat 3's rows signed by seat 3", EncodeArrangement(InOrder(seat3Hand), 3)},
      {"seat 3's rows signed by seat 2", EncodeArrangement(InOrder(seat3Hand), 2)},
      {"seat 2's own legal rows signed by seat 3", EncodeArrangement(seat2Rows, 3)},
      {"rows that do not rise", EncodeArrangement(InOrder(falling), 2)},
      {"a second connect", EncodeConnect(2)},
      {"a server frame", EncodeGameEnded()},
  };
  Decoder decoder(Direction::kToServer);
  for (const auto& f : forged) {
    SCOPED_TRACE(f.name);
    const std::vector<Decoded> frames = decoder.Feed(f.bytes);
    ASSERT_EQ(frames.size(), 1u);
    table_->Received(players_[1]->connection, frames[0], Now());
    const TourneyTable::Actions actions = table_->TakeActions();
    EXPECT_TRUE(actions.sends.empty());
    EXPECT_TRUE(actions.closes.empty());
    EXPECT_EQ(actions.log.size(), 1u);
  }
  players_[1]->plays = true;
  Run();
  EXPECT_EQ(table_->DealsPlayed(), 4);
  for (auto& p : players_) {
    EXPECT_TRUE(p->recorder.ended);
    EXPECT_EQ(p->rounds, players_[0]->rounds);
  }
}

// Chat goes to the other three under the writer's seat, written anew (15 bytes, nothing
// after a "#"), five lines a second at most.
TEST_F(TourneyTableTest, ChatIsRelayedUnderTheWritersSeat) {
  SeatEveryone();
  for (auto& p : players_) p->plays = false;
  Run(1);
  ASSERT_TRUE(table_->GameOn());
  Decoder decoder(Direction::kToServer);
  const Decoded chat = decoder.Feed(WithSeat(Frame("s" + std::string(20, 'x') + "#tail", 2), 4))[0];
  table_->Received(players_[1]->connection, chat, Now());
  TourneyTable::Actions actions = table_->TakeActions();
  ASSERT_EQ(actions.sends.size(), 3u);
  for (const auto& send : actions.sends) {
    EXPECT_NE(send.connection, players_[1]->connection);
    EXPECT_EQ(send.bytes, EncodeChat(std::string(15, 'x'), 2));
  }
  for (int i = 0; i < 9; ++i) table_->Received(players_[1]->connection, chat, Now());
  EXPECT_EQ(table_->TakeActions().sends.size(), 3u * 4);
  nowMs_ += 1000;
  table_->Received(players_[1]->connection, chat, Now());
  EXPECT_EQ(table_->TakeActions().sends.size(), 3u);
}

TEST_F(TourneyTableTest, ASilentSeatIsTimedOutByTheTable) {
  SeatEveryone();
  players_[2]->plays = false;  // seat 3 froze after the deal
  // Its arranging time (65 s), the cards' flights and the table's grace pass before the
  // table gives up on it.
  Run(65);
  EXPECT_TRUE(table_->GameOn());
  Run(30);
  EXPECT_FALSE(table_->GameOn());
  for (auto& p : players_) {
    if (p->seat == 3) continue;
    SCOPED_TRACE(p->seat);
    ASSERT_TRUE(p->recorder.stopped.has_value());
    EXPECT_EQ(p->recorder.stopped->reason, StopReason::kPlayerTimedOut);
    EXPECT_EQ(p->recorder.stopped->seat, 3);
    EXPECT_EQ(p->flow.Stage(), RoundStage::kRoundOver);
  }
  EXPECT_FALSE(store_->ReadTourneyPlayer(kTourneyGameId, "P1").has_value());
  EXPECT_TRUE(store_->ReadTables(kTourneyGameId)[kTable - 1][0].Free());
}

TEST_F(TourneyTableTest, ASeatThatClosesEndsTheGameForTheOthers) {
  SeatEveryone();
  players_[3]->plays = false;
  Run(1);
  players_[3]->controller.Leave();  // seat 4's connection closes mid-deal
  players_[3]->plays = true;
  Run();
  for (auto& p : players_) {
    if (p->seat == 4) continue;
    SCOPED_TRACE(p->seat);
    ASSERT_TRUE(p->recorder.stopped.has_value());
    EXPECT_EQ(p->recorder.stopped->reason, StopReason::kPlayerLeft);
    EXPECT_EQ(p->recorder.stopped->seat, 4);
  }
  EXPECT_FALSE(table_->GameOn());
}

TEST_F(TourneyTableTest, ABookingTheStoreRefusesBooksNoSeatAndEndsOnlyThatGame) {
  // A database file whose third player's first booking fails inside the store.
  const fs::path folder = fs::path(testing::TempDir()) /
                          ("booking_" + std::to_string(::getpid()) + "_" +
                           testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string file = (folder / "club.sqlite").string();
  UseStore(MakeSqlClubStore(OpenSqlitePool(file, 1)));
  OpenSqlitePool(file, 1)->Acquire()->ExecuteScript(
      "CREATE TRIGGER planted BEFORE INSERT ON tourney_players WHEN NEW.nick = 'P3' "
      "BEGIN SELECT RAISE(ABORT, 'planted failure'); END");

  SeatEveryone();
  Run();
  EXPECT_EQ(table_->DealsPlayed(), 4);
  EXPECT_FALSE(table_->GameOn());
  EXPECT_TRUE(Logged("booking failed (planted failure)"));
  for (auto& p : players_) {
    SCOPED_TRACE(p->seat);
    EXPECT_TRUE(p->serverClosed);
    EXPECT_FALSE(store_->ReadTourneyPlayer(kTourneyGameId, "P" + std::to_string(p->seat)));
  }
  // The table plays on: its seats are free for the next game.
  for (const TableSeats& seats : {store_->ReadTables(kTourneyGameId)[kTable - 1]}) {
    for (const Seat& seat : seats) EXPECT_TRUE(seat.Free());
  }
  table_.reset();
  store_.reset();
  fs::remove_all(folder);
}

TEST_F(TourneyTableTest, AConnectionTakesOnlyASeatTheStoreGaveItsAddress) {
  ASSERT_TRUE(store_->ClearSeat(kTourneyGameId, kTable, 4, "P4"));
  const struct {
    const char* name;
    std::string address;
    std::string bytes;
  } refused[] = {
      {"a seat taken from another address", "10.0.0.9", EncodeConnect(1)},
      {"a free seat", Address(4), EncodeConnect(4)},
      {"connect signed by another seat", Address(2), WithSeat(EncodeConnect(2), 3)},
      {"a frame before connect", Address(2), EncodeChat("hi", 2)},
  };
  int connection = 1;
  Decoder decoder(Direction::kToServer);
  for (const auto& r : refused) {
    SCOPED_TRACE(r.name);
    table_->Opened(++connection, r.address, Now());
    for (const Decoded& frame : decoder.Feed(r.bytes)) table_->Received(connection, frame, Now());
    const TourneyTable::Actions actions = table_->TakeActions();
    EXPECT_EQ(actions.closes, std::vector<int>{connection});
    EXPECT_EQ(table_->BoundSeats(), 0);
  }
  // The holder's address binds; a second connection for the same seat and holder is turned
  // away and the first keeps the seat.
  table_->Opened(50, Address(1), Now());
  table_->Received(50, decoder.Feed(EncodeConnect(1))[0], Now());
  table_->Opened(51, Address(1), Now());
  table_->Received(51, decoder.Feed(EncodeConnect(1))[0], Now());
  EXPECT_EQ(table_->TakeActions().closes, std::vector<int>{51});
  EXPECT_EQ(table_->BoundSeats(), 1);
  // On loopback (a forwarder in front of the tables) the holder's sign-in from there counts.
  table_->Opened(60, "127.0.0.1", Now());
  table_->Received(60, decoder.Feed(EncodeConnect(2))[0], Now());
  EXPECT_EQ(table_->TakeActions().closes, std::vector<int>{60});
  store_->NoteSignIn("P2", "127.0.0.1", Now().epochSeconds);
  table_->Opened(61, "127.0.0.1", Now());
  table_->Received(61, decoder.Feed(EncodeConnect(2))[0], Now());
  EXPECT_TRUE(table_->TakeActions().closes.empty());
  EXPECT_EQ(table_->BoundSeats(), 2);
  // A connection that never introduces itself is closed when its time is up.
  table_->Opened(52, Address(2), Now());
  nowMs_ += 11000;
  table_->Tick(Now());
  EXPECT_EQ(table_->TakeActions().closes, std::vector<int>{52});
}

}  // namespace
}  // namespace trilane::club
