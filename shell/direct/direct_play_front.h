#pragma once
// Direct play as the main window offers it: the player window with its network fields, the
// waiting window, the game on the table with the chat strip over its message box, and the
// end of the match or of an interrupted game. The main window hands in what it owns
// (settings, table, sounds) and a few actions of its own; everything else lives here.
#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

#include "program/match_end.h"
#include "shell/direct/direct_play_connection.h"
#include "shell/direct/network_fields.h"
#include "shell/password_dialog.h"

namespace trilane {

class ChatPanel;
class TableWidget;

// The player window of network play: the welcome window's name and password, and under
// them the network fields. Its "Ok" checks the name and password first, then the network
// fields; it then starts hosting or joining and keeps the waiting window open. The window
// closes (accepted) only once the game is on the table.
class NetPlayerDialog : public PasswordDialog {
  Q_OBJECT

 public:
  // `open` runs once the name, password and network fields have passed, with the sign-in
  // result and the choice; true when the game is on the table.
  using OpenTable = std::function<bool(const SignInResult&, const NetChoice&, QString* error)>;
  NetPlayerDialog(TSettings& settings, int slot, const std::string& memberName,
                  const std::string& storedCode, OpenTable open, QWidget* parent);

  NetworkFieldsPanel* Fields() const { return fields_; }

  void done(int result) override;

 private:
  NetworkFieldsPanel* fields_;
  OpenTable open_;
};

struct DirectPlayContext {
  TSettings* settings = nullptr;
  QWidget* window = nullptr;  // the parent of the windows and message boxes
  // The table widget, over whose message box the chat strip lies.
  TableWidget* table = nullptr;
  // The match on the table; each game is a network game on it.
  TableMatch* match = nullptr;
  // The host's deck seed; empty: from the clock.
  std::optional<uint32_t> seed;
  std::filesystem::path programFolder;
  std::function<void(std::string_view name)> playSound;
  // Shows the table (the game is on it now); may be empty when the caller shows it.
  std::function<void()> showTable;
  // An interrupted game: the table goes, the main screen and the music come back.
  std::function<void()> backToMenu;
};

class DirectPlayFront : public QObject {
  Q_OBJECT

 public:
  explicit DirectPlayFront(DirectPlayContext window, QObject* parent = nullptr);
  ~DirectPlayFront() override;

  // The main menu's member line (1..5 of "Trilane.net") or "New Player" (6) in network
  // play. True once the game is on the table.
  bool OpenPlayerWindow(int slot);
  // The end-of-game button ended the match: the "N" history line and the network club
  // file, then every connection of this machine closes. `match` brings the score, the
  // rounds, the time and the club file's lock; the player is the one this window seated.
  LocalMatchEndOutcome FinishMatch(LocalMatchEnd match);
  // "Exit to menu" in the middle of the game: the connections close.
  void Leave();

  // The network round's tick of the games to come (one second; tests make it short).
  void SetTickInterval(int milliseconds) { tickMs_ = milliseconds; }

  bool Playing() const { return connection_ != nullptr; }
  DirectPlayConnection* Connection() const { return connection_.get(); }
  ChatPanel* Chat() const { return chat_; }

 private:
  bool OpenTable(const SignInResult& player, const NetChoice& choice, QString* error);
  MatchStart StartFor(const SignInResult& player) const;
  void PlaceChat();
  void EndConnection();
  void DisposeConnection();

  DirectPlayContext w_;
  std::unique_ptr<DirectPlayConnection> connection_;
  ChatPanel* chat_ = nullptr;
  int slot_ = 0;
  SignInResult player_;
  int tickMs_ = DirectPlayConnection::kTickMs;
};

}  // namespace trilane
