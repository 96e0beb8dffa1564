#include "shell/direct/direct_play_connection.h"

#include <QDateTime>

#include "net/core/net_texts.h"
#include "net/direct/direct_codec.h"
#include "net/direct/host_controller.h"
#include "net/direct/joiner_controller.h"
#include "net/direct/qt_transport.h"
#include "records/settings.h"
#include "shell/direct/network_fields.h"
#include "shell/direct/wait_window.h"
#include "shell/modal.h"
#include "shell/text.h"
#include "words/words.h"

namespace trilane {

QString ShownText(const TableText& text) {
  return ScreenText(
      QString::fromStdString(ComposeText(text, [](int entry) { return Word(entry); })));
}

DirectPlayConnection::DirectPlayConnection(DirectPlayServices services, QObject* parent)
    : QObject(parent), services_(std::move(services)) {
  ticks_.setInterval(kTickMs);
  connect(&ticks_, &QTimer::timeout, this, &DirectPlayConnection::Tick);
}

DirectPlayConnection::~DirectPlayConnection() {
  // The sockets go before the controllers they report to, and the table's flow before the
  // controller it sends through.
  transport_.reset();
  CloseTable();
}

void DirectPlayConnection::CloseTable() {
  // Only this game's flow: a later game may be on the table already.
  if (flow_ != nullptr && services_.match != nullptr && &services_.match->Flow() == flow_)
    services_.match->Close();
  flow_ = nullptr;
}

uint32_t DirectPlayConnection::Seed() const {
  if (services_.seed) return *services_.seed;
  return static_cast<uint32_t>(QDateTime::currentMSecsSinceEpoch());
}

bool DirectPlayConnection::StartHosting(std::string_view ownName, const QHostAddress& address,
                                        quint16 port, QString* error) {
  if (role_ != Role::kNone || services_.match == nullptr) return false;
  auto host = std::make_unique<direct::HostController>(ownName, *this);
  auto transport = std::make_unique<direct::HostTransport>(*host);
  direct::HostController& hostSide = *host;
  direct::HostTransport& listener = *transport;
  side_ = std::move(host);
  transport_ = std::move(transport);
  flow_ = &services_.match->StartNetwork(*side_, Seed());
  side_->Attach(*flow_);
  transport_->SetAfterEvent([this] { AfterEvent(); });
  hostSide.StartSeating();
  std::string reason;
  if (!listener.Listen(address, port, &reason)) {
    if (error != nullptr) *error = QString::fromStdString(reason);
    side_->Leave();
    transport_.reset();
    CloseTable();
    side_.reset();
    return false;
  }
  host_ = &hostSide;
  role_ = Role::kHost;
  return true;
}

void DirectPlayConnection::StartJoining(std::string_view ownName, const MatchStart& start,
                                        const QString& address, quint16 port) {
  if (role_ != Role::kNone || services_.match == nullptr) return;
  role_ = Role::kJoiner;
  auto joiner = std::make_unique<direct::JoinerController>(ownName, start, *this);
  auto transport = std::make_unique<direct::JoinTransport>(*joiner);
  direct::JoinTransport& connection = *transport;
  side_ = std::move(joiner);
  transport_ = std::move(transport);
  flow_ = &services_.match->StartNetwork(*side_, Seed());
  side_->Attach(*flow_);
  transport_->SetAfterEvent([this] { AfterEvent(); });
  connection.Connect(address, port);
}

bool DirectPlayConnection::StartGame(const MatchStart& start, bool ruleTwoFour) {
  if (role_ != Role::kHost || host_ == nullptr) return false;
  // Seating is over: nobody else may come in while the game runs.
  transport_->StopListening();
  if (!host_->StartGame(start, ruleTwoFour)) return false;
  faceUp_.Clear();
  ticks_.start();
  UpdateChatAllowed();
  return true;
}

void DirectPlayConnection::Cancel() {
  ticks_.stop();
  if (transport_) transport_->StopListening();
  if (side_) side_->Leave();
  UpdateChatAllowed();
}

void DirectPlayConnection::Leave() {
  Cancel();
  CloseTable();
}

int DirectPlayConnection::NetId() const {
  return side_ ? side_->NetId() : 0;
}

int DirectPlayConnection::Joiners() const {
  return side_ ? side_->Joiners() : 0;
}

direct::LinkPhase DirectPlayConnection::Phase() const {
  return side_ ? side_->Phase() : direct::LinkPhase::kIdle;
}

bool DirectPlayConnection::JoinError() const {
  return side_ && side_->JoinError();
}

quint16 DirectPlayConnection::ListeningPort() const {
  return transport_ ? transport_->Port() : 0;
}

std::vector<std::string> DirectPlayConnection::PlayerNames() const {
  std::vector<std::string> names;
  if (!side_) return names;
  const direct::NetNames& all = side_->Names();
  const int people = Joiners() + 1;
  for (int netId = 1; netId <= people && netId <= 4; ++netId) {
    names.push_back(net::WithoutTrailingBlanks(all[static_cast<size_t>(netId - 1)]));
  }
  return names;
}

bool DirectPlayConnection::SendChat(const QString& text) {
  if (text.isEmpty() || !chatAllowed_ || !side_) return false;
  return side_->SendChat(ToUtf8(text));
}

void DirectPlayConnection::TypeAtSendButton(QChar c) {
  if (flow_ == nullptr || c.unicode() > 0x7F) return;
  if (faceUp_.Type(static_cast<char>(c.unicode()))) flow_->ToggleFaceUp();
}

void DirectPlayConnection::SendButtonFocusChanged() {
  faceUp_.Clear();
}

void DirectPlayConnection::Sound(std::string_view name) const {
  if (services_.playSound) services_.playSound(name);
}

void DirectPlayConnection::AfterEvent() {
  // A joiner's round ticks from its seating on; the first deal and the chat follow it.
  if (role_ == Role::kJoiner && side_ && side_->Phase() == direct::LinkPhase::kSeated &&
      !ticks_.isActive() && !interrupted_) {
    ticks_.start();
  }
  UpdateChatAllowed();
  if (afterEvent_) afterEvent_();
}

void DirectPlayConnection::Tick() {
  if (flow_ != nullptr) flow_->Tick();
  AfterEvent();
}

void DirectPlayConnection::UpdateChatAllowed() {
  const bool allowed = !interrupted_ && side_ && side_->ChatOpen();
  if (allowed == chatAllowed_) return;
  chatAllowed_ = allowed;
  emit chatAllowedChanged(allowed);
}

// --- DirectListener

void DirectPlayConnection::JoinerSeated(int netId, const TableText& line) {
  emit joinerSeated(netId, ShownText(line));
}

void DirectPlayConnection::SeatedAs(int netId) {
  faceUp_.Clear();
  emit seatedAs(netId);
}

void DirectPlayConnection::SeatsChanged() {
  emit seatsChanged();
}

void DirectPlayConnection::ChatLine(int writer, const std::string& utf8, bool own) {
  if (!own) Sound(SoundResourceName(TableSound::kMessage));
  emit chatLine(writer, QString::fromStdString(utf8), own);
}

void DirectPlayConnection::GameInterrupted(const TableText& message) {
  if (interrupted_) return;
  interrupted_ = true;
  ticks_.stop();
  Sound(SoundResourceName(TableSound::kFailure));
  UpdateChatAllowed();
  const QString text = ShownText(message);
  // The message box runs its own event loop: never inside the socket's event. The host
  // stops listening there too.
  QTimer::singleShot(0, this, [this, text] {
    if (transport_) transport_->StopListening();
    emit gameInterrupted(text);
  });
}

void DirectPlayConnection::JoinFailed(const TableText& message) {
  emit joinFailed(ShownText(message));
}

// ---------------------------------------------------------------------------------------

bool WaitForTable(DirectPlayConnection& connection, const TSettings& settings,
                  const NetChoice& choice, const MatchStart& start, QWidget* parent,
                  QString* error) {
  if (!choice.joining) {
    if (!connection.StartHosting(start.name, QHostAddress::Any, choice.port, error)) return false;
    WaitWindow window(settings, WaitWindow::Role::kHost, parent);
    QObject::connect(&connection, &DirectPlayConnection::joinerSeated, &window,
                     [&window](int netId, const QString&) { window.JoinerSeated(netId); });
    // A seated joiner that leaves before the game starts takes the game with it.
    QObject::connect(&connection, &DirectPlayConnection::gameInterrupted, &window,
                     [&window](const QString& message) {
                       ShowError(&window, message);
                       window.CloseWithoutPlay();
                     });
    ExecModal(window);
    if (!window.Go()) {
      connection.Cancel();
      return false;
    }
    return connection.StartGame(start, settings.RuleTwoFour);
  }
  WaitWindow window(settings, WaitWindow::Role::kJoiner, parent);
  window.SetJoinErrorSource([&connection] { return connection.JoinError(); });
  QObject::connect(&connection, &DirectPlayConnection::seatedAs, &window,
                   [&window](int) { window.CloseToPlay(); });
  QObject::connect(&connection, &DirectPlayConnection::joinFailed, &window,
                   [&window](const QString&) { window.Tick(); });
  connection.StartJoining(start.name, start, QString::fromStdString(choice.address), choice.port);
  ExecModal(window);
  if (!window.Go()) {
    connection.Cancel();
    return false;
  }
  return true;
}

}  // namespace trilane
