#include "net/direct/host_controller.h"

#include <algorithm>
#include <variant>

#include "net/core/net_texts.h"
#include "words/word_entries.h"

namespace trilane::direct {

namespace {

constexpr const char* kComputerSeatName = "PC  ";

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// The waiting window's line for the joiner seated as `netId`.
TableText SeatedLine(int netId) {
  switch (netId) {
    case 2:
      return TableText::Word(kWordSecondPlayerConnected);
    case 3:
      return TableText::Word(kWordThirdPlayerConnected);
    default:
      return TableText::Word(kWordFourthPlayerConnected);
  }
}

}  // namespace

HostController::HostController(std::string_view ownName, DirectListener& listener)
    : listener_(listener) {
  names_ = {FourByteName(net::TravelText(ownName, kNameBytes)), kComputerSeatName,
            kComputerSeatName, kComputerSeatName};
}

void HostController::StartSeating() {
  phase_ = LinkPhase::kSeating;
  joiners_ = 0;
}

int HostController::Accepted(net::Link& link) {
  auto connection = std::make_unique<Connection>();
  connection->link = &link;
  connections_.push_back(std::move(connection));
  return static_cast<int>(connections_.size()) - 1;
}

void HostController::Received(int connection, std::string_view bytes) {
  if (connection < 0 || connection >= static_cast<int>(connections_.size())) return;
  Connection& from = *connections_[connection];
  if (!from.open) return;
  for (const Decoded& decoded : from.decoder.Feed(bytes)) {
    // A message may end the game (and close every connection) part-way through a read.
    if (phase_ == LinkPhase::kClosed || !from.open) return;
    Handle(from, decoded.message);
  }
}

void HostController::Handle(Connection& from, const Message& message) {
  std::visit(Overloaded{
                 [&](const Greeting& m) { Seat(from, m); },
                 [&](const Chat& m) { TakeChat(from, m); },
                 [&](const Stage& m) { TakeStage(from, m); },
                 // The host ignores a joiner's "abort".
                 [&](const Abort&) {},
                 [&](const Seated&) { Refuse(from, "seating comes from the host only"); },
                 [&](const Joined&) { Refuse(from, "seating comes from the host only"); },
                 [&](const Deal&) { Refuse(from, "deals come from the host only"); },
             },
             message);
}

void HostController::Seat(Connection& from, const Greeting& greeting) {
  // Another game's greeting, or a greeting once the table is full or dealt, gets no reply:
  // the other side keeps waiting and reads "There are no accessible games".
  if (greeting.gameCode != kGameCode || greeting.mark != kGreetingMark) {
    return Refuse(from, "greeting of another game");
  }
  if (phase_ != LinkPhase::kSeating) return Refuse(from, "greeting while not seating");
  if (from.netId != 0) return Refuse(from, "greeting from a seated joiner");
  if (joiners_ >= 3) return Refuse(from, "greeting at a full table");

  ++joiners_;
  from.netId = joiners_ + 1;
  names_[from.netId - 1] = FourByteName(greeting.name);
  from.link->Send(EncodeSeated(from.netId, names_));
  // The joiners seated earlier learn the new count and names, the latest first.
  for (auto it = connections_.rbegin(); it != connections_.rend(); ++it) {
    Connection& other = **it;
    if (other.netId != 0 && other.netId < from.netId && other.open) {
      other.link->Send(EncodeJoined(from.netId, names_));
    }
  }
  listener_.JoinerSeated(from.netId, SeatedLine(from.netId));
  listener_.SeatsChanged();
}

void HostController::TakeChat(Connection& from, const Chat& chat) {
  if (from.netId == 0) return Refuse(from, "chat before seating");
  if (chat.writer != from.netId) return Refuse(from, "chat under another player's number");
  if (!ChatAllowed(from)) return Refuse(from, "chat faster than anyone types");
  // Relayed as EncodeChat writes it, never as it came (the chat rule); shown here the same.
  const std::string relayed = EncodeChat(chat.writer, chat.text);
  SendToJoiners(relayed, from.netId);
  listener_.ChatLine(chat.writer, net::ShownName(std::string_view(relayed).substr(2)), false);
}

void HostController::TakeStage(Connection& from, const Stage& stage) {
  if (from.netId == 0) return Refuse(from, "stage message before seating");
  // Only the host moves the round on; a joiner sends its own rows and nothing else.
  if (stage.step != StepNumber(StageStep::kArrangement)) {
    return Refuse(from, "stage step from a joiner");
  }
  if (stage.sender != from.netId) return Refuse(from, "rows under another player's number");
  if (flow_ == nullptr || phase_ != LinkPhase::kPlaying) {
    return Refuse(from, "rows before the game");
  }
  const trilane::Received result = flow_->ArrangementReceived(stage.sender, stage.codes);
  if (result != trilane::Received::kApplied) {
    return Refuse(from, result == trilane::Received::kRejected ? "rows that are not its hand"
                                                               : "rows at the wrong stage");
  }
  // Only rows the host has taken travel on, so every machine stores the same.
  SendToJoiners(Encode(stage), from.netId);
}

bool HostController::ChatAllowed(Connection& from) {
  const int64_t now = nowMs_ ? nowMs_() : 0;
  constexpr int64_t kFull = kChatBurst * kChatIntervalMs;
  if (from.chatCreditMs < 0) {
    from.chatCreditMs = kFull;
  } else if (now > from.chatCreditAtMs) {
    from.chatCreditMs = std::min(kFull, from.chatCreditMs + (now - from.chatCreditAtMs));
  }
  from.chatCreditAtMs = now;
  if (from.chatCreditMs < kChatIntervalMs) return false;
  from.chatCreditMs -= kChatIntervalMs;
  return true;
}

bool HostController::IsSeated(int connection) const {
  if (connection < 0 || connection >= static_cast<int>(connections_.size())) return false;
  const Connection& c = *connections_[connection];
  return c.open && c.netId != 0;
}

void HostController::Closed(int connection) {
  if (connection < 0 || connection >= static_cast<int>(connections_.size())) return;
  Connection& from = *connections_[connection];
  if (!from.open) return;
  from.open = false;
  if (from.netId == 0 || phase_ == LinkPhase::kClosed) return;
  // A seated joiner has left. Its NetId is dealt to and waited for, so the game cannot go
  // on without it, whether the cards are out yet or not; after the last result the game
  // is over anyway and nothing is lost.
  if (GameRunning() || phase_ == LinkPhase::kSeating) Interrupt();
}

bool HostController::GameRunning() const {
  if (phase_ != LinkPhase::kPlaying || flow_ == nullptr) return false;
  return !flow_->MatchEnded() && !flow_->Counters().gameOver;
}

void HostController::Interrupt() {
  if (joiners_ >= 2) SendToJoiners(EncodeAbort());
  if (flow_ != nullptr && phase_ == LinkPhase::kPlaying) flow_->StopRound();
  Leave();
  listener_.GameInterrupted(InterruptedGameMessage());
}

bool HostController::StartGame(const MatchStart& start, bool ruleTwoFour) {
  if (flow_ == nullptr || phase_ != LinkPhase::kSeating || joiners_ == 0) return false;
  TableSetup setup;
  setup.mode = PlayMode::kNet;
  setup.ownSeat = 1;
  setup.joiners = joiners_;
  setup.ruleTwoFour = ruleTwoFour;
  flow_->Configure(setup);
  PushNamesToFlow();
  // The first deal (SendDeal) ends the seating.
  flow_->StartMatch(start);
  return phase_ == LinkPhase::kPlaying;
}

void HostController::PushNamesToFlow() {
  for (int netId = 1; netId <= 4; ++netId) {
    flow_->SetSeatName(PositionOf(1, netId), net::ShownName(names_[netId - 1]));
  }
}

bool HostController::SendChat(std::string_view utf8) {
  if (utf8.empty() || phase_ == LinkPhase::kClosed) return false;
  const std::string text = net::TravelText(utf8, kChatTextBytes);
  SendToJoiners(EncodeChat(1, text));
  listener_.ChatLine(1, net::ShownName(text), true);
  return true;
}

void HostController::Leave() {
  phase_ = LinkPhase::kClosed;
  for (auto& connection : connections_) {
    if (!connection->open) continue;
    connection->open = false;
    connection->link->Close();
  }
}

void HostController::SendStep(StageStep step) {
  SendToJoiners(net::EncodeStep(StepNumber(step), 1));
}

void HostController::SendArrangement(const Arrangement& rows) {
  SendToJoiners(net::EncodeArrangement(rows, 1));
}

void HostController::SendDeal(const Deck& deck, bool ruleTwoFour) {
  if (phase_ == LinkPhase::kClosed) return;
  phase_ = LinkPhase::kPlaying;
  SendToJoiners(EncodeDeal(deck, ruleTwoFour));
}

void HostController::SendToJoiners(std::string_view bytes, int exceptNetId) {
  for (auto& connection : connections_) {
    if (connection->open && connection->netId != 0 && connection->netId != exceptNetId) {
      connection->link->Send(bytes);
    }
  }
}

void HostController::Refuse(const Connection& from, const std::string& why) {
  listener_.Refused(from.netId, why);
}

}  // namespace trilane::direct
