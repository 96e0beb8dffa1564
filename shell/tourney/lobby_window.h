#pragma once
// The lobby of the online tournament (FTour4): ten tables of four seats, the tournament
// server's state and welcome line, and the player's own tournament card. A signed-in player
// takes a free seat through the tournament script and the club socket connects to the
// table's tournament server; when the fourth seat is taken the server deals and the lobby
// closes. It keeps its list current every ten seconds and watches the club socket every
// second: a socket that failed before the game frees the seat.
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "program/lobby_seating.h"
#include "shell/aux_window.h"
#include "table/table_view.h"
#include "web/calls.h"

class QLabel;
class QTableWidget;

namespace trilane::tourney {

class ClubGame;

struct LobbyServices {
  web::WebClient* web = nullptr;
  // The signed-in account: its nick, first country, city and sex fill the seat record.
  web::TQorUser user;
  // The seat taken connects here; it must outlive the lobby.
  ClubGame* game = nullptr;
  // A sound of the program by name; may be empty.
  std::function<void(std::string_view name)> playSound;
  // "Top 10": the online top ten; the button is hidden when empty.
  std::function<void(QWidget* parent)> openTopTen;
};

class LobbyWindow : public AuxWindow {
  Q_OBJECT

 public:
  static constexpr int kListRefreshMs = 10000;
  static constexpr int kWatchMs = 1000;

  LobbyWindow(const TSettings& settings, LobbyServices services, QWidget* parent);

  // "Refresh": the player card, then the table list.
  void Refresh();
  // A click on seat `seat` (1..4) of table `table` (1..10).
  void ClickSeat(int table, int seat);
  // The one-second watcher of the club socket.
  void Watch();

  HeldSeat Held() const { return seating_.Held(); }
  bool ServerOn() const { return seating_.ServerOn(); }
  const web::TQorClient& OwnSeatRecord() const { return seating_.OwnSeatRecord(); }
  // The tournament server of the list's first table: its address and the port of table 0.
  const std::string& ServerAddress() const { return seating_.ServerAddress(); }
  int BasePort() const { return seating_.BasePort(); }
  // The lists' timers (tests shorten them).
  void SetWatchInterval(int milliseconds) { watch_.setInterval(milliseconds); }

  void done(int result) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void DrawPlayerCard();
  void DrawButtons(const LobbyButtons& buttons);
  void DrawServerState(bool stateRead, const web::ServerInfo& info);
  void GameDealt();
  void Sound(TableSound sound) const;

  LobbyServices services_;
  LobbySeating seating_;
  int64_t ownPlace_ = -1;
  bool closingForGame_ = false;
  std::array<std::array<QorCardsButton*, kSeatsPerTable>, kTables> seatButtons_{};
  std::array<QorCardsButton*, kTables> tableButtons_{};
  QorCardsButton* refresh_ = nullptr;
  QorCardsButton* close_ = nullptr;
  QorCardsButton* top_ = nullptr;
  QLabel* welcome_ = nullptr;
  QLabel* lamp_ = nullptr;
  QLabel* lampText_ = nullptr;
  QLabel* cardTitle_ = nullptr;
  QTableWidget* card_ = nullptr;
  QTimer list_;
  QTimer watch_;
};

}  // namespace trilane::tourney
