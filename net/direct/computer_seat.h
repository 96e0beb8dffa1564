#pragma once
// A table nobody looks at, with its local seat played by the computer: what the
// command-line host and joiner and the in-process tests run. The view shows nothing and
// plays no pause (the host's lock ticks alone pace the round); the player arranges its rows
// with the computer's arrangement, by the swaps a person would make, and presses whatever
// button is enabled.

#include <functional>

#include "table/round_flow.h"

namespace trilane::direct {

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

class ComputerSeatPlayer {
 public:
  explicit ComputerSeatPlayer(RoundFlow& flow) : flow_(flow) {}

  enum class Did : uint8_t { kNothing, kArranged, kPressed, kEndedMatch };
  // One action, when one is due. Call it after every event the flow took (and again while
  // it does something), never from inside a view or sender call.
  Did Step();
  // The end-of-game button's request, once the match has ended.
  const EndMatchRequest& EndRequest() const { return end_; }

 private:
  RoundFlow& flow_;
  int32_t arrangedRound_ = -1;
  EndMatchRequest end_;
};

}  // namespace trilane::direct
