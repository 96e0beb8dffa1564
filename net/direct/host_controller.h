#pragma once
// The host of a direct-play game: seats up to three joiners, deals and paces every round
// through its round flow, relays the joiners' arrangements and chat to one another, and
// ends the game for everyone when a joiner leaves. It is the flow's StageSender; the
// transport hands it the bytes of each connection and tells it when one closes.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/core/link.h"
#include "net/direct/controller.h"
#include "net/direct/direct_codec.h"
#include "net/direct/direct_listener.h"
#include "net/direct/direct_texts.h"
#include "table/round_flow.h"

namespace trilane::direct {

class HostController : public Controller {
 public:
  // `ownName`: the local player's name (UTF-8); its first four bytes in code page 1251
  // travel as NetId 1's name.
  HostController(std::string_view ownName, DirectListener& listener);

  // The flow this host paces; it must use this controller as its StageSender.
  void Attach(RoundFlow& flow) override { flow_ = &flow; }
  // Greetings seat joiners from now on.
  void StartSeating();
  // Where the time comes from, in milliseconds of a steady clock (the transport's); without
  // one the clock stands still, so a seat's chat allowance never refills.
  void SetClock(std::function<int64_t()> nowMs) { nowMs_ = std::move(nowMs); }

  // --- transport events; `connection` is what Accepted returned
  int Accepted(net::Link& link);
  void Received(int connection, std::string_view bytes);
  // The connection closed or failed (on the host both end the joiner's part in the game).
  void Closed(int connection);
  // Whether a joiner sits on the connection (and it has not closed).
  bool IsSeated(int connection) const;

  // --- local actions
  // The waiting window's "Ok": the game starts with the joiners seated so far; the first
  // deal goes out. `start` is the local player's match start.
  bool StartGame(const MatchStart& start, bool ruleTwoFour);
  // Enter in the chat field: "s1" + text to every seated joiner; false for an empty text.
  bool SendChat(std::string_view utf8) override;
  // The end of the game or "Exit to menu": every connection closes.
  void Leave() override;

  // --- StageSender
  void SendStep(StageStep step) override;
  void SendArrangement(const Arrangement& rows) override;
  void SendDeal(const Deck& deck, bool ruleTwoFour) override;
  void SendNextDeal() override {}

  LinkPhase Phase() const override { return phase_; }
  int NetId() const override { return 1; }
  int Joiners() const override { return joiners_; }
  // Four-byte names by NetId ("PC  " for a computer seat).
  const NetNames& Names() const override { return names_; }
  bool ChatOpen() const override { return phase_ == LinkPhase::kPlaying; }

 private:
  struct Connection {
    net::Link* link = nullptr;
    Decoder decoder;
    int netId = 0;  // 0 until seated
    bool open = true;
    // The chat allowance: milliseconds of credit, a chat costs kChatIntervalMs.
    int64_t chatCreditMs = -1;  // -1 until the first chat
    int64_t chatCreditAtMs = 0;
  };

  // What one seat may chat: a burst of kChatBurst lines, then one every kChatIntervalMs.
  // A person types far slower; what goes beyond is not shown and not relayed.
  static constexpr int64_t kChatBurst = 5;
  static constexpr int64_t kChatIntervalMs = 500;
  bool ChatAllowed(Connection& from);

  void Handle(Connection& from, const Message& message);
  void Seat(Connection& from, const Greeting& greeting);
  void TakeChat(Connection& from, const Chat& chat);
  void TakeStage(Connection& from, const Stage& stage);
  // To every seated, open joiner but `exceptNetId`.
  void SendToJoiners(std::string_view bytes, int exceptNetId = 0);
  void Refuse(const Connection& from, const std::string& why);
  bool GameRunning() const;
  void Interrupt();
  void PushNamesToFlow();

  DirectListener& listener_;
  std::function<int64_t()> nowMs_;
  RoundFlow* flow_ = nullptr;
  std::vector<std::unique_ptr<Connection>> connections_;
  LinkPhase phase_ = LinkPhase::kIdle;
  int joiners_ = 0;
  NetNames names_;
};

}  // namespace trilane::direct
