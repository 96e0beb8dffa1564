#include "shell/tourney/club_game.h"

#include "base/codepage.h"
#include "net/club/club_socket.h"
#include "shell/modal.h"
#include "words/words.h"

namespace trilane::tourney {
namespace {

// How long the pacer waits for the server to confirm its results before the end of the
// match runs anyway: the server books them whatever the pacer does next.
constexpr int kBookingWaitMs = 5000;

QString Shown(const TableText& text) {
  return ScreenText(
      QString::fromStdString(ComposeText(text, [](int entry) { return Word(entry); })));
}

}  // namespace

ClubGame::ClubGame(ClubGameServices services, QObject* parent)
    : QObject(parent), services_(std::move(services)) {
  ticks_.setInterval(kTickMs);
  connect(&ticks_, &QTimer::timeout, this, &ClubGame::Tick);
  bookingWait_.setSingleShot(true);
  bookingWait_.setInterval(kBookingWaitMs);
  connect(&bookingWait_, &QTimer::timeout, this, &ClubGame::Booked);
}

ClubGame::~ClubGame() {
  ticks_.stop();
  if (controller_) controller_->Leave();
  CloseTable();
  // The socket names the controller: it goes first.
  socket_.reset();
  controller_.reset();
}

void ClubGame::Connect(int seat, const MatchStart& start, const QString& address, quint16 port) {
  // A seat before this one has finished: its flow leaves the table before its controller,
  // which the flow sends through, goes.
  CloseTable();
  socket_.reset();
  controller_.reset();
  seat_ = seat;
  start_ = start;
  start_.currentSlot = kSlotClubGame;
  names_ = {};
  clubMode_ = false;
  socketError_ = false;
  pendingEnd_.reset();
  controller_ = std::make_unique<club::ClubController>(seat, start_, *this);
  socket_ = std::make_unique<club::ClubSocket>(*controller_);
  socket_->SetAfterEvent([this] {
    if (afterEvent_) afterEvent_();
  });
  if (services_.match != nullptr) {
    flow_ = &services_.match->StartNetwork(*controller_, 0);
    controller_->Attach(*flow_);
  }
  ticks_.start();
  socket_->Connect(address, port);
}

void ClubGame::GiveUpSeat() {
  if (controller_) controller_->GiveUpSeat();
  ticks_.stop();
  CloseTable();
}

void ClubGame::Leave() {
  if (controller_) controller_->Leave();
  ticks_.stop();
  bookingWait_.stop();
  pendingEnd_.reset();
  clubMode_ = false;
  CloseTable();
}

void ClubGame::EndGame(const EndMatchRequest& request) {
  if (!controller_) return;
  const bool waitForBooking =
      request.sendClubResult && controller_->Link() == club::ClubLink::kConnected;
  controller_->EndGame(request);
  if (services_.showClock) services_.showClock(0, 0);
  clockShown_ = false;
  pendingEnd_ = request;
  if (waitForBooking) {
    bookingWait_.start();
  } else {
    Later([this] { Booked(); });
  }
}

void ClubGame::Booked() {
  bookingWait_.stop();
  if (!pendingEnd_) return;
  const EndMatchRequest request = *pendingEnd_;
  pendingEnd_.reset();
  ticks_.stop();
  if (controller_) controller_->Leave();
  clubMode_ = false;
  emit booked(request);
}

void ClubGame::ClockSet(int position, int seconds) {
  if (!controller_) return;
  controller_->ClockSet(position, seconds);
  DrawClock();
}

void ClubGame::ClocksStopped() {
  if (!controller_) return;
  controller_->ClocksStopped();
  DrawClock();
}

bool ClubGame::TakeSocketError() {
  return std::exchange(socketError_, false);
}

club::ClubLink ClubGame::Link() const {
  return controller_ ? controller_->Link() : club::ClubLink::kNone;
}

void ClubGame::SetSeatNames(const std::array<std::string, 4>& names) {
  names_ = names;
  if (!controller_) return;
  std::array<std::string, 4> utf8;
  for (size_t i = 0; i < names.size(); ++i) utf8[i] = Cp1251ToUtf8(names[i]);
  controller_->SetSeatNames(utf8);
}

bool ClubGame::SendChat(const QString& text) {
  return controller_ && controller_->SendChat(text.toStdString());
}

// --- ClubListener

void ClubGame::Introduced() {
  Later([this] { emit introduced(); });
}

void ClubGame::GameDealt() {
  clubMode_ = true;
  Later([this] { emit dealt(); });
}

void ClubGame::ChatLine(int seat, const std::string& utf8, bool own) {
  if (!own) Sound(TableSound::kMessage);
  const QString text = QString::fromStdString(utf8);
  Later([this, seat, text, own] { emit chatLine(seat, text, own); });
}

void ClubGame::GameEnded() {
  if (pendingEnd_) {
    // The pacer's "o" was booked.
    Later([this] { Booked(); });
    return;
  }
  if (services_.showClock) services_.showClock(0, 0);
  clockShown_ = false;
  Later([this] { emit ended(); });
}

void ClubGame::GameStopped(const club::ClubNotice& notice) {
  if (services_.showClock) services_.showClock(0, 0);
  clockShown_ = false;
  if (notice.reason == club::StopReason::kNotConnected) {
    // No game came of the seat: the lobby's watcher reports it and frees the seat.
    socketError_ = true;
    return;
  }
  Sound(notice.reason == club::StopReason::kPlayerTimedOut ? TableSound::kRoundWon
                                                           : TableSound::kFailure);
  const QString line = Shown(notice.line);
  const QString second = notice.second.Empty() ? QString() : Shown(notice.second);
  Later([this, line, second] { emit stopped(line, second); });
}

// --- the tick

void ClubGame::Tick() {
  if (!controller_) return;
  if (flow_ != nullptr) flow_->Tick();
  const bool counting = clubMode_ && controller_->Clock().running;
  controller_->Tick();
  if (counting && controller_->Link() == club::ClubLink::kConnected) {
    const club::TurnClock& clock = controller_->Clock();
    // The own clock ticks aloud, brighter in its last seven seconds.
    if (clock.position == 4 && clock.count > 7) Sound(TableSound::kClockTick);
    if (clock.position == 4 && clock.count >= 1 && clock.count <= 7)
      Sound(TableSound::kClockLastSeconds);
  }
  DrawClock();
  if (afterEvent_) afterEvent_();
}

void ClubGame::DrawClock() {
  if (!services_.showClock || !controller_) return;
  const club::TurnClock& clock = controller_->Clock();
  if (clock.running && clock.position >= 1 && clock.position <= 4) {
    services_.showClock(clock.position, clock.count);
    clockShown_ = true;
  } else if (clockShown_) {
    services_.showClock(0, 0);
    clockShown_ = false;
  }
}

void ClubGame::CloseTable() {
  if (flow_ != nullptr && services_.match != nullptr) services_.match->Close();
  flow_ = nullptr;
  if (services_.showClock && clockShown_) services_.showClock(0, 0);
  clockShown_ = false;
}

void ClubGame::Later(std::function<void()> step) {
  QMetaObject::invokeMethod(this, std::move(step), Qt::QueuedConnection);
}

void ClubGame::Sound(TableSound sound) const {
  if (services_.playSound) services_.playSound(SoundResourceName(sound));
}

}  // namespace trilane::tourney
