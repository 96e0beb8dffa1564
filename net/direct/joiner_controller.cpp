#include "net/direct/joiner_controller.h"

#include <variant>

#include "net/core/net_texts.h"

namespace trilane::direct {

namespace {

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

JoinerController::JoinerController(std::string_view ownName, const MatchStart& start,
                                   DirectListener& listener)
    : ownName_(FourByteName(net::TravelText(ownName, kNameBytes))),
      start_(start),
      listener_(listener) {}

void JoinerController::StartJoining(net::Link& link) {
  link_ = &link;
  phase_ = LinkPhase::kSeating;
  netId_ = 2;
  joiners_ = 0;
  dealt_ = false;
  // Set until seated: the waiting window reads "There are no accessible games" meanwhile.
  joinError_ = true;
  decoder_ = Decoder{};
}

void JoinerController::Connected() {
  if (phase_ == LinkPhase::kSeating && link_ != nullptr) link_->Send(EncodeGreeting(ownName_));
}

void JoinerController::Received(std::string_view bytes) {
  for (const Decoded& decoded : decoder_.Feed(bytes)) {
    if (phase_ == LinkPhase::kClosed || phase_ == LinkPhase::kIdle) return;
    Handle(decoded.message);
  }
}

void JoinerController::Handle(const Message& message) {
  std::visit(Overloaded{
                 [&](const Chat& m) {
                   if (m.writer != netId_)
                     listener_.ChatLine(m.writer, net::ShownName(m.text), false);
                 },
                 [&](const Abort&) {
                   if (phase_ != LinkPhase::kSeating) Interrupt();
                 },
                 [&](const Seated& m) { TakeSeated(m); },
                 [&](const Joined& m) { TakeJoined(m); },
                 [&](const Deal& m) {
                   if (phase_ != LinkPhase::kSeated || flow_ == nullptr) return;
                   const trilane::Received result = flow_->DealReceived(m.deck, m.ruleTwoFour);
                   if (result == trilane::Received::kRejected) {
                     return listener_.Refused(1, "a deal that is not a whole deck");
                   }
                   dealt_ = true;
                 },
                 [&](const Stage& m) { TakeStage(m); },
                 [&](const Greeting&) { listener_.Refused(1, "a greeting from the host"); },
             },
             message);
}

void JoinerController::TakeSeated(const Seated& seated) {
  if (phase_ != LinkPhase::kSeating || flow_ == nullptr) return;
  phase_ = LinkPhase::kSeated;
  joinError_ = false;
  netId_ = seated.netId;
  joiners_ = netId_ - 1;
  names_ = seated.names;
  names_[netId_ - 1] = ownName_;

  TableSetup setup;
  setup.mode = PlayMode::kNet;
  setup.ownSeat = netId_;
  setup.joiners = joiners_;
  setup.awaitingFirstDeal = true;
  flow_->Configure(setup);
  PushNamesToFlow();
  flow_->StartMatch(start_);
  listener_.SeatedAs(netId_);
  listener_.SeatsChanged();
}

void JoinerController::TakeJoined(const Joined& joined) {
  // Seating ends with the first deal: a count that changed during a round would change
  // which seats the computer plays on this machine only.
  if (phase_ != LinkPhase::kSeated || dealt_ || flow_ == nullptr) return;
  const int joiners = joined.players - 1;
  if (joiners <= joiners_ || netId_ >= joined.players) return;
  joiners_ = joiners;
  names_ = joined.names;
  names_[netId_ - 1] = ownName_;
  flow_->SetJoiners(joiners_);
  PushNamesToFlow();
  listener_.SeatsChanged();
}

void JoinerController::TakeStage(const Stage& stage) {
  if (phase_ != LinkPhase::kSeated || flow_ == nullptr) return;
  trilane::Received result;
  if (stage.step == StepNumber(StageStep::kArrangement)) {
    // The host's rows reveal the round. The host sends them only after every joiner's rows
    // went out to the others, so a person's rows still missing here were lost on the way;
    // revealing without them would score that seat with empty rows on this machine alone.
    if (stage.sender == 1 && !AllRowsIn()) {
      return listener_.Refused(1, "reveal before every player's rows");
    }
    result = flow_->ArrangementReceived(stage.sender, stage.codes);
  } else {
    result = flow_->StepReceived(static_cast<StageStep>(stage.step), stage.sender);
  }
  if (result == trilane::Received::kRejected) listener_.Refused(stage.sender, "stage refused");
}

bool JoinerController::AllRowsIn() const {
  const int hostPosition = PositionOf(netId_, 1);
  for (int position = 1; position <= 3; ++position) {
    if (position == hostPosition || flow_->IsComputerSeat(position)) continue;
    if (!flow_->TableRows(position).rows[kBack][0].code.IsCard()) return false;
  }
  return true;
}

void JoinerController::PushNamesToFlow() {
  for (int k = 1; k <= 4; ++k)
    flow_->SetSeatName(PositionOf(netId_, k), net::ShownName(names_[k - 1]));
}

bool JoinerController::GameRunning() const {
  return flow_ != nullptr && !flow_->MatchEnded() && !flow_->Counters().gameOver;
}

void JoinerController::Closed() {
  if (phase_ == LinkPhase::kClosed || phase_ == LinkPhase::kIdle) return;
  if (phase_ == LinkPhase::kSeating) {
    // Refused or dropped before seating: the waiting window keeps waiting, with the error.
    joinError_ = true;
    phase_ = LinkPhase::kClosed;
    listener_.JoinFailed(NoAccessibleGamesMessage());
    return;
  }
  if (GameRunning()) {
    Interrupt();
  } else {
    phase_ = LinkPhase::kClosed;
  }
}

void JoinerController::Failed() {
  Closed();
}

void JoinerController::Interrupt() {
  if (flow_ != nullptr) flow_->StopRound();
  Leave();
  listener_.GameInterrupted(InterruptedGameMessage());
}

bool JoinerController::SendChat(std::string_view utf8) {
  if (utf8.empty() || !dealt_ || phase_ != LinkPhase::kSeated) return false;
  const std::string text = net::TravelText(utf8, kChatTextBytes);
  link_->Send(EncodeChat(netId_, text));
  listener_.ChatLine(netId_, net::ShownName(text), true);
  return true;
}

void JoinerController::Leave() {
  phase_ = LinkPhase::kClosed;
  if (link_ != nullptr) link_->Close();
}

void JoinerController::SendArrangement(const Arrangement& rows) {
  if (phase_ == LinkPhase::kSeated && link_ != nullptr) {
    link_->Send(net::EncodeArrangement(rows, netId_));
  }
}

}  // namespace trilane::direct
