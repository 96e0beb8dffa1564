#pragma once
// The online tournament as the main window offers it: the menu's tournament picture opens the
// lobby for a signed-in account, the first deal puts the game on the table with its turn
// clocks, the game's notices are shown, and the end of the game writes its history line,
// counts the online game and opens the lobby again.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "program/match_end.h"
#include "program/match_mode.h"
#include "shell/tourney/club_game.h"
#include "web/calls.h"

namespace trilane {
class MainWindow;
}

namespace trilane::tourney {

class TurnClocks;
class LobbyWindow;

struct TourneyContext {
  MainWindow* window = nullptr;
  // The web service; empty: the front reaches the service the settings name, through a
  // transport of its own chosen when the lobby first opens.
  web::WebClient* web = nullptr;
  // The signed-in account; nothing when no account is signed in.
  std::function<std::optional<web::TQorUser>()> signedIn;
  // The online top ten (the lobby's "Top 10"); may be empty.
  std::function<void(QWidget* parent)> openTopTen;
};

class TourneyFront : public QObject {
  Q_OBJECT

 public:
  explicit TourneyFront(TourneyContext context, QObject* parent = nullptr);
  ~TourneyFront() override;

  // The tournament picture: the lobby, or "Log in to your account!" without an account.
  void OpenLobby();
  // The end-of-game button of a tournament game; false when no tournament game is on.
  bool FinishMatch(const EndMatchRequest& request, const LocalMatchEnd& match);
  // "Exit to menu" in the middle of a tournament game; false when none is on.
  bool Leave();

  ClubGame& Game() { return *game_; }
  TurnClocks& Clocks() { return *clocks_; }
  // The lobby while it is open (tests reach its buttons).
  LobbyWindow* Lobby() const { return lobby_; }

 signals:
  // The lobby is on the screen (tests act on it from here).
  void lobbyShown();
  // A tournament game's end was written and the menu is back.
  void matchFinished();

 private:
  void GameDealt();
  void GameStopped(const QString& line, const QString& second);
  void Booked(const EndMatchRequest& request);
  web::WebClient* Web();

  TourneyContext context_;
  std::unique_ptr<web::HttpTransport> ownTransport_;
  std::unique_ptr<web::WebClient> ownWeb_;
  std::unique_ptr<ClubGame> game_;
  TurnClocks* clocks_ = nullptr;
  LobbyWindow* lobby_ = nullptr;
  bool onTable_ = false;
  LocalMatchEnd pendingMatch_;
};

// A tournament game's mode: the club game takes its end (the totals go to the table's
// server; the booking comes back later, and the front then writes the history line and
// brings the menu back). A game no longer at the table ends as a local match would.
class ClubMatchMode final : public LocalMatchMode {
 public:
  ClubMatchMode(TourneyFront& front, LocalMatchEnd match);

  MatchEndStep End(const EndMatchRequest& request, const CalendarTime& now) override;
  bool Leave() override;

 private:
  TourneyFront& front_;
};

// The front stays with the window; it must be destroyed before the window.
std::unique_ptr<TourneyFront> OfferTourney(TourneyContext context);

}  // namespace trilane::tourney
