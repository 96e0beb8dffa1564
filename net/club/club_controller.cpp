#include "net/club/club_controller.h"

#include <variant>

#include "base/codepage.h"
#include "net/core/net_texts.h"
#include "words/word_entries.h"

namespace trilane::club {

namespace {

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

ClubController::ClubController(int seat, const MatchStart& start, ClubListener& listener)
    : seat_(seat < 1 || seat > kSeats ? 1 : seat), start_(start), listener_(listener) {
  start_.currentSlot = kSlotClubGame;
}

void ClubController::Attach(RoundFlow& flow) {
  flow_ = &flow;
  TableSetup setup;
  setup.mode = PlayMode::kClub;
  setup.ownSeat = seat_;
  flow.Configure(setup);
  flow.SetSeatName(4, start_.name);
  flow.StartMatch(start_);
}

void ClubController::SetSeatNames(const std::array<std::string, 4>& names) {
  if (flow_ == nullptr) return;
  for (int s = 1; s <= kSeats; ++s) {
    if (s != seat_) flow_->SetSeatName(PositionOf(seat_, s), names[s - 1]);
  }
}

void ClubController::Connecting(net::Link& link) {
  socket_ = &link;
  link_ = ClubLink::kConnecting;
  dealt_ = false;
  decoder_ = Decoder{Direction::kToPlayer};
}

void ClubController::Connected() {
  if (link_ != ClubLink::kConnecting || socket_ == nullptr) return;
  socket_->Send(EncodeConnect(seat_));
  link_ = ClubLink::kConnected;
  listener_.Introduced();
}

void ClubController::Received(std::string_view bytes) {
  for (const Decoded& frame : decoder_.Feed(bytes)) {
    // After the end nothing more is taken; a deal ends no read here, since the decoder
    // keeps the frames' boundaries whatever the reads were.
    if (flow_ == nullptr) return;
    if (link_ == ClubLink::kConnected) {
      Handle(frame);
    } else if (resultSent_ && std::holds_alternative<GameEnded>(frame.message)) {
      // The pacer finished with its result; the server's "e" confirms the booking.
      resultSent_ = false;
      listener_.GameEnded();
    }
  }
}

void ClubController::Handle(const Decoded& frame) {
  std::visit(Overloaded{
                 [&](const Chat& m) {
                   if (frame.seat == 0 || frame.seat == seat_)
                     return listener_.Refused(frame.seat, "chat");
                   listener_.ChatLine(frame.seat, Cp1251ToUtf8(m.text), false);
                 },
                 [&](const Deal& m) {
                   if (flow_->ClubDealReceived(m.deck) == trilane::Received::kRejected)
                     return listener_.Refused(0, "a deal that is not a whole deck");
                   if (!dealt_) {
                     dealt_ = true;
                     listener_.GameDealt();
                   }
                 },
                 [&](const Stage& m) { TakeStage(m, frame.seat); },
                 [&](const GameEnded&) {
                   link_ = ClubLink::kFinished;
                   clock_ = {};
                   flow_->ClubGameEnded();
                   listener_.GameEnded();
                 },
                 [&](const PlayerLeft& m) {
                   flow_->ClubPlayerGone();
                   Stop({StopReason::kPlayerLeft, m.seat,
                         PlayerText(kWordLobbyPlayer, m.seat, kWordInterruptedTheGame),
                         TableText::Word(kWordYouWon)});
                 },
                 [&](const PlayerTimedOut& m) {
                   flow_->ClubPlayerGone();
                   Stop({StopReason::kPlayerTimedOut, m.seat,
                         PlayerText(kWordTurnPlayer, m.seat, kWordTimeIsUp),
                         TableText::Word(kWordYouWon)});
                 },
                 [&](const auto&) { listener_.Refused(frame.seat, "not a frame for a player"); },
             },
             frame.message);
}

void ClubController::TakeStage(const Stage& stage, int seat) {
  // The server writes the seat the frame came from at byte 50; rows that name another seat
  // at byte 33 are someone speaking for a seat not theirs.
  if (seat != stage.sender || seat == seat_)
    return listener_.Refused(seat, "stage of another seat");
  trilane::Received result;
  if (stage.step == StepNumber(StageStep::kArrangement)) {
    result = flow_->ArrangementReceived(seat, stage.codes);
  } else {
    result = flow_->StepReceived(static_cast<StageStep>(stage.step), seat);
  }
  if (result == trilane::Received::kRejected) listener_.Refused(seat, "stage refused");
}

TableText ClubController::PlayerText(int entry, int seat, int tail) const {
  const int position = PositionOf(seat_, seat);
  TableText text = TableText::Word(entry).L(" ");
  if (flow_ != nullptr && position >= 1 && position <= 4) text.L(flow_->SeatName(position));
  return text.L(" ").W(tail);
}

void ClubController::Stop(const ClubNotice& notice) {
  link_ = ClubLink::kFinished;
  clock_ = {};
  if (socket_ != nullptr) socket_->Close();
  listener_.GameStopped(notice);
}

void ClubController::Closed() {
  if (link_ == ClubLink::kFinished || link_ == ClubLink::kNone) return;
  if (dealt_ && flow_ != nullptr) {
    flow_->StopRound();
    return Stop({StopReason::kConnectionLost, 0, TableText::Word(kWordLostServerConnection), {}});
  }
  Stop({StopReason::kNotConnected, 0, TableText::Word(kWordServerConnectionError), {}});
}

void ClubController::ClockSet(int position, int seconds) {
  clock_ = {position, seconds, true};
}

void ClubController::ClocksStopped() {
  clock_ = {};
}

void ClubController::Tick() {
  if (!clock_.running || !dealt_ || link_ != ClubLink::kConnected) return;
  if (clock_.count > 0) --clock_.count;
  // Another position's clock only counts down: its owner reports its own time-out.
  if (clock_.count >= 1 || clock_.position != 4) return;
  Send(EncodeTimeOut(seat_));
  if (flow_ != nullptr) flow_->StopRound();
  Stop({StopReason::kOwnTimeOut, seat_, TableText::Word(kWordYourTimeIsUp),
        TableText::Word(kWordYouLose)});
}

bool ClubController::SendChat(std::string_view utf8) {
  if (utf8.empty() || !ChatOpen()) return false;
  const std::string text = net::TravelText(utf8, kChatTextBytes);
  Send(EncodeChat(text, seat_));
  listener_.ChatLine(seat_, Cp1251ToUtf8(text), true);
  return true;
}

void ClubController::EndGame(const EndMatchRequest& request) {
  if (request.sendClubResult && seat_ == 1 && link_ == ClubLink::kConnected) {
    Send(EncodeResult(request.totalsBySeat, seat_));
    resultSent_ = true;
  }
  if (link_ == ClubLink::kConnected) link_ = ClubLink::kFinished;
  clock_ = {};
}

void ClubController::GiveUpSeat() {
  if (link_ == ClubLink::kConnected && !dealt_) Send(EncodeLeave(seat_));
  Leave();
  link_ = ClubLink::kNone;
}

void ClubController::Leave() {
  if (link_ != ClubLink::kNone) link_ = ClubLink::kFinished;
  clock_ = {};
  if (socket_ != nullptr) socket_->Close();
}

void ClubController::Send(const std::string& frame) {
  if (socket_ != nullptr && link_ == ClubLink::kConnected) socket_->Send(frame);
}

void ClubController::SendStep(StageStep step) {
  Send(EncodeStep(StepNumber(step), seat_));
}

void ClubController::SendArrangement(const Arrangement& rows) {
  Send(EncodeArrangement(rows, seat_));
}

void ClubController::SendNextDeal() {
  Send(EncodeNextDeal(seat_));
}

}  // namespace trilane::club
