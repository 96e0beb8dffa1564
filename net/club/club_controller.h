#pragma once
// This machine's seat at a tournament table: it introduces itself to the tournament server
// once the club socket is connected, follows the server's deals and the pacer's stages on
// its round flow, sends its own rows, chat and (as the pacer) the pacing steps, keeps the
// turn clock the flow sets, and ends the game on "e", "a", "T", its own time-out or a lost
// connection. It is the networked side both paths share (the flow's StageSender, the chat,
// leaving); the transport hands it the socket's events and the view hands it the flow's
// clock settings.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/club/club_codec.h"
#include "net/core/controller.h"
#include "net/core/link.h"
#include "table/round_flow.h"
#include "table/table_text.h"

namespace trilane::club {

// Where the club socket stands (`ClubLink`).
enum class ClubLink : uint8_t {
  kNone = 0,
  kConnecting = 1,  // a seat was taken and the socket is connecting
  kConnected = 2,   // connected and introduced with "connect" + seat
  kFinished = 10,   // the game ended, was stopped or left: a later loss goes unreported
};

// Why a game stopped before its end.
enum class StopReason : uint8_t {
  kPlayerLeft,      // "a": another player's connection closed
  kPlayerTimedOut,  // "T": another player's time ran out
  kOwnTimeOut,      // this player's own turn clock ran out ("TOut" was sent)
  kConnectionLost,  // the socket closed or failed while a game was on
  kNotConnected,    // the socket closed or failed before the first deal
};

struct ClubNotice {
  StopReason reason = StopReason::kConnectionLost;
  int seat = 0;      // the player who left or ran out of time
  TableText line;    // the notice's first line
  TableText second;  // "You won!", "You lose!" or nothing
};

// What the table and the lobby show of the club game. Every call comes after the round flow
// has been told; a listener may show a window but must not call back into the controller
// before returning.
class ClubListener {
 public:
  virtual ~ClubListener() = default;
  // "connect" went out: the seat waits for the other players.
  virtual void Introduced() {}
  // The first deal of the game arrived: the lobby closes.
  virtual void GameDealt() {}
  // A chat line under the writer's seat (UTF-8); the window plays "WToMenK" for others' lines.
  virtual void ChatLine(int /*seat*/, const std::string& /*utf8*/, bool /*own*/) {}
  // "e": the game is over and booked; the end-of-game button is enabled.
  virtual void GameEnded() {}
  // The game stopped before its end (the socket is already closed): the window plays
  // "WWrongs" ("WKoGutX" for another player's time-out) and shows the notice.
  virtual void GameStopped(const ClubNotice& /*notice*/) {}
  // A frame that was not taken (logs and tests only).
  virtual void Refused(int /*seat*/, const std::string& /*why*/) {}
};

// The turn clock (`TurnClock`, `ClockPosition`): a count of whole seconds at a table position.
struct TurnClock {
  int position = 0;  // 0 when no clock is shown
  int count = 0;
  bool running = false;
};

class ClubController : public net::Controller {
 public:
  // `seat` 1..4; `start` the seat record's figures (its games count the deals).
  ClubController(int seat, const MatchStart& start, ClubListener& listener);

  // Configures the flow for this seat and starts the match, which waits for the first deal.
  void Attach(RoundFlow& flow) override;
  // Names by seat (UTF-8), as the lobby's table list shows them.
  void SetSeatNames(const std::array<std::string, 4>& names);

  // --- transport events
  void Connecting(net::Link& link);
  void Connected();
  void Received(std::string_view bytes);
  // The socket closed or failed.
  void Closed();

  // --- the turn clock: the view passes on what the flow asks for, the window's one-second
  // timer calls Tick.
  void ClockSet(int position, int seconds);
  void ClocksStopped();
  void Tick();
  const TurnClock& Clock() const { return clock_; }

  // --- local actions
  // Enter in the chat field; false when nothing was sent (no game yet, an empty text).
  bool SendChat(std::string_view utf8) override;
  // The end-of-game button's request: the pacer sends its totals first.
  void EndGame(const EndMatchRequest& request);
  // The seat is given up in the lobby before the game: "disA", then the socket closes.
  void GiveUpSeat();
  // "Exit to menu": the socket closes, nothing more is taken.
  void Leave() override;

  // --- StageSender
  void SendStep(StageStep step) override;
  void SendArrangement(const Arrangement& rows) override;
  void SendDeal(const Deck&, bool) override {}
  void SendNextDeal() override;

  ClubLink Link() const { return link_; }
  int Seat() const { return seat_; }
  bool Dealt() const { return dealt_; }
  bool ChatOpen() const override { return dealt_ && link_ == ClubLink::kConnected; }

 private:
  void Handle(const Decoded& frame);
  void TakeStage(const Stage& stage, int seat);
  void Stop(const ClubNotice& notice);
  void Send(const std::string& frame);
  TableText PlayerText(int entry, int seat, int tail) const;

  int seat_;
  MatchStart start_;
  ClubListener& listener_;
  RoundFlow* flow_ = nullptr;
  net::Link* socket_ = nullptr;
  Decoder decoder_{Direction::kToPlayer};
  ClubLink link_ = ClubLink::kNone;
  bool dealt_ = false;
  bool resultSent_ = false;  // the pacer's "o" is out and its "e" not yet in
  TurnClock clock_;
};

}  // namespace trilane::club
