#include "net/direct/computer_seat.h"

#include "rules/computer.h"

namespace trilane::direct {

ComputerSeatPlayer::Did ComputerSeatPlayer::Step() {
  if (flow_.MatchEnded()) return Did::kNothing;
  if (flow_.EndEnabled()) {
    end_ = flow_.OnEndButton();
    return end_.endMatch ? Did::kEndedMatch : Did::kNothing;
  }
  const int32_t round = flow_.Counters().sessionRounds;
  if (flow_.Stage() == RoundStage::kArranging && arrangedRound_ != round) {
    arrangedRound_ = round;
    // The cards as dealt to the own seat, sorted as the flow sorts them.
    const Hand own = DealHands(flow_.CurrentDeck(), flow_.Setup().ownNumber)[3];
    for (const auto& [a, b] : SwapsToReach(flow_.OwnRows(), ArrangeByComputer(own).rows)) {
      flow_.SwapSlots(a, b);
    }
    return Did::kArranged;
  }
  if (flow_.ActionEnabled() && flow_.OnActionButton()) return Did::kPressed;
  return Did::kNothing;
}

}  // namespace trilane::direct
