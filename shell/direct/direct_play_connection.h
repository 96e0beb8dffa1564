#pragma once
// One direct-play game as the windows run it: the socket and the controller of this
// machine's role, the one-second tick of a network round, the chat and the hidden face-up
// code, and the end of a game that a player left. What the windows must show arrives as
// signals; the connection shows nothing itself, except that it plays the game's sounds.
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/direct/controller.h"
#include "net/direct/direct_listener.h"
#include "net/direct/direct_texts.h"
#include "table/table_match.h"

class QWidget;

namespace trilane {

namespace direct {
class Controller;
class HostController;
class Transport;
}  // namespace direct

struct TSettings;
struct NetChoice;

struct DirectPlayServices {
  // The match on the table: hosting or joining starts a network game on it that sends
  // through this connection's controller, and the connection closes it before the controller
  // goes. It must outlive the connection.
  TableMatch* match = nullptr;
  // The host's deck seed; empty: taken from the clock (every host shuffles its own decks,
  // the joiners take the host's).
  std::optional<uint32_t> seed;
  // A sound of the program by name ("WWrongs", "WToMenK"); may be empty.
  std::function<void(std::string_view name)> playSound;
};

// A text of the game in the current language, line breaks made plain.
QString ShownText(const TableText& text);

class DirectPlayConnection : public QObject, public direct::DirectListener {
  Q_OBJECT

 public:
  enum class Role { kNone, kHost, kJoiner };
  static constexpr int kTickMs = 1000;

  explicit DirectPlayConnection(DirectPlayServices services, QObject* parent = nullptr);
  ~DirectPlayConnection() override;
  DirectPlayConnection(const DirectPlayConnection&) = delete;
  DirectPlayConnection& operator=(const DirectPlayConnection&) = delete;

  // Host: listens at `port` (0: any free port) and seats joiners from now on. False, with
  // the system's reason, when the port cannot be had.
  bool StartHosting(std::string_view ownName, const QHostAddress& address, quint16 port,
                    QString* error = nullptr);
  // Joiner: connects to the host and greets it; `start` is the local player's match start.
  void StartJoining(std::string_view ownName, const MatchStart& start, const QString& address,
                    quint16 port);
  // The host's "Ok" in the waiting window: the game starts with the joiners seated so far.
  bool StartGame(const MatchStart& start, bool ruleTwoFour);
  // "Cancel" in the waiting window: the host stops listening, a joiner closes its socket.
  void Cancel();
  // The end of the game or "Exit to menu": every connection of this machine closes and the
  // game's flow leaves the table.
  void Leave();

  // The chat field's text; false when nothing was sent (empty, or not allowed yet).
  bool SendChat(const QString& text);
  // Characters typed while the chat send button has the focus, and its focus changes.
  void TypeAtSendButton(QChar c);
  void SendButtonFocusChanged();

  Role PlayingAs() const { return role_; }
  int NetId() const;
  int Joiners() const;
  direct::LinkPhase Phase() const;
  // The joiner's error flag of the waiting window.
  bool JoinError() const;
  // The chat field takes input: the host once the game is dealt, a joiner from its first
  // deal, nobody once the game has ended.
  bool ChatAllowed() const { return chatAllowed_; }
  bool Ticking() const { return ticks_.isActive(); }
  quint16 ListeningPort() const;
  RoundFlow* Flow() const { return flow_; }
  // The people at the table by NetId, code page 1251 without trailing blanks.
  std::vector<std::string> PlayerNames() const;

  // The round's tick (one second in play; tests make it short).
  void SetTickInterval(int milliseconds) { ticks_.setInterval(milliseconds); }
  // Runs after every socket event and tick has been handled (tests let a seat play here).
  void SetAfterEvent(std::function<void()> afterEvent) { afterEvent_ = std::move(afterEvent); }

 signals:
  // Host: a joiner took NetId 2..4; `line` is the waiting window's line for it.
  void joinerSeated(int netId, const QString& line);
  // Joiner: seated as `netId`; the waiting and player windows close.
  void seatedAs(int netId);
  void seatsChanged();
  // Joiner: the host could not be reached or closed before seating.
  void joinFailed(const QString& message);
  // A chat line under the writer's number ("WToMenK" has sounded for others' lines).
  void chatLine(int writer, const QString& text, bool own);
  void chatAllowedChanged(bool allowed);
  // A player left, "abort" came or the connection dropped: "WWrongs" has sounded and the
  // connections are closed. The window shows `message` in an error box and returns to the
  // main screen. Emitted from the event loop, never inside a socket's own event.
  void gameInterrupted(const QString& message);

 private:
  // --- DirectListener
  void JoinerSeated(int netId, const TableText& line) override;
  void SeatedAs(int netId) override;
  void SeatsChanged() override;
  void ChatLine(int writer, const std::string& utf8, bool own) override;
  void GameInterrupted(const TableText& message) override;
  void JoinFailed(const TableText& message) override;

  void AfterEvent();
  void Tick();
  // The game's flow leaves the table (before the controller it sends through goes).
  void CloseTable();
  uint32_t Seed() const;
  void UpdateChatAllowed();
  void Sound(std::string_view name) const;

  DirectPlayServices services_;
  Role role_ = Role::kNone;
  RoundFlow* flow_ = nullptr;
  // This machine's side and its sockets; the host's side also for starting the game.
  std::unique_ptr<direct::Controller> side_;
  std::unique_ptr<direct::Transport> transport_;
  direct::HostController* host_ = nullptr;
  direct::FaceUpCode faceUp_;
  QTimer ticks_;
  std::function<void()> afterEvent_;
  bool chatAllowed_ = false;
  bool interrupted_ = false;
};

// The player window's OK in network play, once the name checks have passed: starts hosting
// or joining as `choice` says and keeps the waiting window open until the game can start
// (true: the host pressed "Ok" and dealt, or this joiner was seated), the player cancelled,
// or a seated joiner left before the start (its message shown) (false). A port the host
// cannot listen on gives false with the reason in `error`; the player window stays open
// whenever the answer is false.
bool WaitForTable(DirectPlayConnection& connection, const TSettings& settings,
                  const NetChoice& choice, const MatchStart& start, QWidget* parent,
                  QString* error = nullptr);

}  // namespace trilane
