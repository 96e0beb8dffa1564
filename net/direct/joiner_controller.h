#pragma once
// A joiner of a direct-play game: greets the host once connected, is seated, and from then
// on follows the host's deals and stage messages on its round flow, sending only its own
// rows and chat. It is the flow's StageSender; the transport hands it the host's bytes
// and tells it when the connection is made, closes or fails.

#include <string>
#include <string_view>

#include "net/core/link.h"
#include "net/direct/controller.h"
#include "net/direct/direct_codec.h"
#include "net/direct/direct_listener.h"
#include "net/direct/direct_texts.h"
#include "table/round_flow.h"

namespace trilane::direct {

class JoinerController : public Controller {
 public:
  // `ownName`: the local player's name (UTF-8); `start`: the local player's match start,
  // used when the host seats this machine.
  JoinerController(std::string_view ownName, const MatchStart& start, DirectListener& listener);

  void Attach(RoundFlow& flow) override { flow_ = &flow; }

  // --- transport events
  // Joining starts: the stream to the host is being opened.
  void StartJoining(net::Link& link);
  // The connection is made: the greeting goes out.
  void Connected();
  void Received(std::string_view bytes);
  // The host closed the connection or it dropped.
  void Closed();
  // A socket error: before seating the waiting window reads "There are no accessible
  // games"; later it is a dropped connection.
  void Failed();

  // --- local actions
  // Enter in the chat field; refused (false) before the first deal and for an empty text.
  bool SendChat(std::string_view utf8) override;
  void Leave() override;

  // --- StageSender: a joiner sends only its rows
  void SendStep(StageStep) override {}
  void SendArrangement(const Arrangement& rows) override;
  void SendDeal(const Deck&, bool) override {}
  void SendNextDeal() override {}

  LinkPhase Phase() const override { return phase_; }
  int NetId() const override { return netId_; }
  int Joiners() const override { return joiners_; }
  bool Dealt() const { return dealt_; }
  // Four-byte names by NetId, as the host last sent them.
  const NetNames& Names() const override { return names_; }
  bool ChatOpen() const override { return phase_ == LinkPhase::kSeated && dealt_; }
  // The error flag of the waiting window.
  bool JoinError() const override { return joinError_; }

 private:
  void Handle(const Message& message);
  void TakeSeated(const Seated& seated);
  void TakeJoined(const Joined& joined);
  void TakeStage(const Stage& stage);
  void PushNamesToFlow();
  // Whether the rows of every other person at the table have arrived this round.
  bool AllRowsIn() const;
  bool GameRunning() const;
  void Interrupt();

  std::string ownName_;
  MatchStart start_;
  DirectListener& listener_;
  RoundFlow* flow_ = nullptr;
  net::Link* link_ = nullptr;
  Decoder decoder_;
  LinkPhase phase_ = LinkPhase::kIdle;
  int netId_ = 2;  // joining always starts as 2 until the host says otherwise
  int joiners_ = 0;
  bool dealt_ = false;
  bool joinError_ = false;
  NetNames names_;
};

}  // namespace trilane::direct
