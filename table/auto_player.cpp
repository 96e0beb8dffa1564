#include "table/auto_player.h"

#include "rules/computer.h"

namespace trilane {

const Arrangement& AutoPlayer::Target(const RoundFlow& flow) {
  const int32_t round = flow.Counters().matchGames;
  if (targetFlow_ != &flow || targetRound_ != round) {
    targetFlow_ = &flow;
    targetRound_ = round;
    // The cards as dealt to the own seat, sorted as the flow sorts them. At a club table seat
    // s holds deck block 5 - s, which DealHands gives the player numbered 5 - s.
    const int seat = flow.Setup().ownSeat;
    const int block = flow.Setup().mode == PlayMode::kClub ? 5 - seat : seat;
    const Hand own = DealHands(flow.CurrentDeck(), block)[3];
    target_ = ArrangeByComputer(own).rows;
  }
  return target_;
}

std::optional<std::pair<Slot, Slot>> AutoPlayer::NextSwap(const RoundFlow& flow) {
  if (flow.Stage() != RoundStage::kArranging) return std::nullopt;
  const auto swaps = SwapsToReach(flow.OwnRows(), Target(flow));
  if (swaps.empty()) return std::nullopt;
  return swaps.front();
}

AutoPlayer::Did AutoPlayer::Step(RoundFlow& flow) {
  if (flow.MatchEnded()) return Did::kNothing;
  if (flow.EndEnabled()) {
    end_ = flow.OnEndButton();
    return end_.endMatch ? Did::kEndedMatch : Did::kNothing;
  }
  const int32_t round = flow.Counters().matchGames;
  if (flow.Stage() == RoundStage::kArranging && arrangedRound_ != round) {
    arrangedRound_ = round;
    for (const auto& [a, b] : SwapsToReach(flow.OwnRows(), Target(flow))) flow.SwapSlots(a, b);
    return Did::kArranged;
  }
  if (flow.ActionEnabled() && flow.OnActionButton()) return Did::kPressed;
  return Did::kNothing;
}

}  // namespace trilane
