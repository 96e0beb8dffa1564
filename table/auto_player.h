#pragma once
// The computer playing the local seat of a round flow: the demo of the window program, the
// seats of the command-line host and joiner, the in-process tests and `trilane-cli play`.
// It arranges the own hand as the computer seats arrange theirs, by the swaps a person
// would make, and presses whatever button is enabled. Every user gets the hand the same
// way (the deck as dealt to the own seat), so one seed gives one arrangement everywhere.
#include <cstdint>
#include <optional>
#include <utility>

#include "table/round_flow.h"

namespace trilane {

class AutoPlayer {
 public:
  AutoPlayer() = default;
  // A player that stays at one flow (a headless seat).
  explicit AutoPlayer(RoundFlow& flow) : flow_(&flow) {}

  // The computer's rows for the own hand of the round on `flow`.
  const Arrangement& Target(const RoundFlow& flow);
  // The next exchange of two places on the way to Target, while the own rows are being
  // arranged; nothing once they are there or when the flow is not arranging.
  std::optional<std::pair<Slot, Slot>> NextSwap(const RoundFlow& flow);

  enum class Did : uint8_t { kNothing, kArranged, kPressed, kEndedMatch };
  // A seat nobody watches: one action when one is due (the whole arrangement at once, a
  // press of the action button, or the end button once enabled). Call it after every event
  // the flow took, never from inside a view or sender call.
  Did Step(RoundFlow& flow);
  Did Step() { return flow_ != nullptr ? Step(*flow_) : Did::kNothing; }
  // The end-of-game button's request, once Step has ended the match.
  const EndMatchRequest& EndRequest() const { return end_; }

 private:
  RoundFlow* flow_ = nullptr;
  const RoundFlow* targetFlow_ = nullptr;
  int32_t targetRound_ = -1;
  Arrangement target_{};
  int32_t arrangedRound_ = -1;
  EndMatchRequest end_;
};

// Against the computer nothing travels.
class NullStageSender : public StageSender {
 public:
  void SendStep(StageStep) override {}
  void SendArrangement(const Arrangement&) override {}
  void SendDeal(const Deck&, bool) override {}
  void SendNextDeal() override {}
};

// A table nobody looks at: shows nothing and plays no pause (the pacing player's lock ticks
// alone pace a network round).
class HeadlessTable : public TableView {
 public:
  // Called when a round's result is on the table (totals updated).
  std::function<void()> onRoundFinished;

  void PrepareTable(PlayMode) override {}
  void ShowPlate(int, const TableText&, PlateColour) override {}
  void ShowTablet(int, int32_t, const TabletBoxes&) override {}
  void ShowHand(int, const Hand&, bool) override {}
  void ShowHandText(int, const TableText&) override {}
  void ShowOwnRows(const OwnRowsView&) override {}
  void ShowTableRows(int, const Arrangement&, std::optional<RowIndex>) override {}
  void ShowRoundPanel(const RoundPanel&) override {}
  void SetActionButton(const TableText&, bool) override {}
  void SetEndButton(const TableText&, bool) override {}
  void PlaySound(TableSound) override {}
  void Pause(int) override {}
  void FlyCard(const Card&, const CardPlace&, const CardPlace&) override {}
  void RoundFinished() override {
    if (onRoundFinished) onRoundFinished();
  }
};

}  // namespace trilane
