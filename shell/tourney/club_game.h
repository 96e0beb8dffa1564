#pragma once
// One seat at a tournament table as the program's windows run it: the club socket and the
// club controller of the seat, the game's flow on the program's match, and the one-second
// tick that runs the turn clock. What the windows must show arrives as signals, always from
// the event loop and never inside a socket's own event; the game plays the clock's sounds
// and the sounds of a stopped game itself.
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "net/club/club_controller.h"
#include "table/table_match.h"
#include "table/table_view.h"

namespace trilane::club {
class ClubSocket;
}

namespace trilane::tourney {

struct ClubGameServices {
  // The match on the table: a taken seat starts a network game on it, which waits for the
  // server's first deal. It must outlive the game.
  TableMatch* match = nullptr;
  // A sound of the program by name ("WWrongs", "STimerA"); may be empty.
  std::function<void(std::string_view name)> playSound;
  // The clock image of a table position shows `count`; position 0 clears all four.
  std::function<void(int position, int count)> showClock;
};

class ClubGame : public QObject, public club::ClubListener {
  Q_OBJECT

 public:
  static constexpr int kTickMs = 1000;

  explicit ClubGame(ClubGameServices services, QObject* parent = nullptr);
  ~ClubGame() override;
  ClubGame(const ClubGame&) = delete;
  ClubGame& operator=(const ClubGame&) = delete;

  // A seat was taken: the game's flow goes on the table and the club socket connects to the
  // table's tournament server; "connect" goes out once the socket is open.
  void Connect(int seat, const MatchStart& start, const QString& address, quint16 port);
  // The seat is given up in the lobby before the game: "disA", the socket closes and the flow
  // leaves the table.
  void GiveUpSeat();
  // "Exit to menu", the end of the game, or a seat lost in the lobby: the socket closes and
  // the flow leaves the table.
  void Leave();
  // The end-of-game button: the pacer's totals go to the server first. The pacer's game is
  // over once the server has booked it ("e"), so `booked` follows that (or a bounded wait);
  // the others' was booked before their button was enabled, and `booked` follows at once.
  void EndGame(const EndMatchRequest& request);

  // The flow asks for a turn clock (the table's view passes it on as its timeline plays).
  void ClockSet(int position, int seconds);
  void ClocksStopped();

  // The lobby's watcher: true once after the socket failed or closed before the first deal.
  bool TakeSocketError();

  club::ClubLink Link() const;
  // A tournament game is on the table: from the first deal until it is ended or left.
  bool ClubMode() const { return clubMode_; }
  int Seat() const { return seat_; }
  const MatchStart& Start() const { return start_; }
  // The table's names by seat (code page 1251), as the lobby read them at the first deal.
  void SetSeatNames(const std::array<std::string, 4>& names);
  const std::array<std::string, 4>& SeatNames() const { return names_; }
  bool SendChat(const QString& text);

  // The tick's length (one second in play; tests make it short).
  void SetTickInterval(int milliseconds) { ticks_.setInterval(milliseconds); }
  // Runs after every socket event and tick (tests let the seat play there).
  void SetAfterEvent(std::function<void()> afterEvent) { afterEvent_ = std::move(afterEvent); }

 signals:
  // "connect" went out: the seat waits for the other three players.
  void introduced();
  // The first deal arrived: the lobby closes and the table shows the game.
  void dealt();
  // "e" arrived: the game is over and booked.
  void ended();
  // The game stopped before its end: the notice's two lines ("WWrongs" or "WKoGutX" has
  // sounded and the socket is closed). Not emitted for a socket that failed before the first
  // deal: the lobby's watcher reports that.
  void stopped(const QString& line, const QString& second);
  // The pacer's results are booked (or the wait for "e" ran out): the end of the match runs.
  void booked(const trilane::EndMatchRequest& request);
  void chatLine(int seat, const QString& text, bool own);

 private:
  // --- ClubListener (called inside the controller; everything shown is queued)
  void Introduced() override;
  void GameDealt() override;
  void ChatLine(int seat, const std::string& utf8, bool own) override;
  void GameEnded() override;
  void GameStopped(const club::ClubNotice& notice) override;

  void Tick();
  void DrawClock();
  void CloseTable();
  void Later(std::function<void()> step);
  void Sound(TableSound sound) const;
  void Booked();

  ClubGameServices services_;
  int seat_ = 0;
  MatchStart start_;
  std::array<std::string, 4> names_;
  std::unique_ptr<club::ClubController> controller_;
  std::unique_ptr<club::ClubSocket> socket_;
  RoundFlow* flow_ = nullptr;
  QTimer ticks_;
  QTimer bookingWait_;
  std::optional<EndMatchRequest> pendingEnd_;
  std::function<void()> afterEvent_;
  bool clubMode_ = false;
  bool socketError_ = false;
  bool clockShown_ = false;
};

}  // namespace trilane::tourney
