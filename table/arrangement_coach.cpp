#include "table/arrangement_coach.h"

#include <algorithm>

#include "rules/best_arrangement.h"
#include "rules/computer.h"
#include "words/word_entries.h"

namespace trilane {
namespace {

bool SameCards(const Hand& a, const Hand& b) {
  std::array<int, kCardsPerHand> x{}, y{};
  for (int i = 0; i < kCardsPerHand; ++i) {
    x[i] = CardNumberOf(a[i].code);
    y[i] = CardNumberOf(b[i].code);
  }
  std::sort(x.begin(), x.end());
  std::sort(y.begin(), y.end());
  return x == y;
}

}  // namespace

std::array<int, 3> RowReasons(const RowValues& values) {
  std::array<int, 3> reasons{};
  const int frontMiddle = CompareRows(values[kFront], values[kMiddle]);
  if (frontMiddle > 0) reasons[kFront] = kWordFrontBeatsMiddle;
  if (frontMiddle == 0) reasons[kFront] = kWordFrontEqualsMiddle;
  const int middleBack = CompareRows(values[kMiddle], values[kBack]);
  if (middleBack > 0) reasons[kMiddle] = kWordMiddleBeatsBack;
  if (middleBack == 0) reasons[kMiddle] = kWordMiddleEqualsBack;
  return reasons;
}

std::array<int, 3> RowReasons(const Arrangement& rows) {
  for (RowIndex r : kAllRows) {
    for (int s = 1; s <= CardsInRow(r); ++s) {
      if (!CardAt(rows, Slot{r, s}).code.IsCard()) return {};
    }
  }
  return RowReasons(EvaluateArrangement(rows));
}

Arrangement SuggestedRows(const RoundFlow& flow) {
  // The own hand has flown into the rows; the deal still says which cards it was and in
  // which order the computer reads them. Should the rows hold other cards (a deal that is
  // not this flow's own), the rows' cards are taken in rank order instead.
  const Hand own = HandOf(flow.OwnRows());
  const Hand dealt = DealHands(flow.CurrentDeck(), flow.Setup().ownSeat)[3];
  return ArrangeByComputer(SameCards(dealt, own) ? dealt : own).rows;
}

std::vector<std::pair<Slot, Slot>> RowSwaps(RowIndex a, RowIndex b) {
  std::vector<std::pair<Slot, Slot>> swaps;
  if (a == b) return swaps;
  const int cards = std::min(CardsInRow(a), CardsInRow(b));
  for (int s = 1; s <= cards; ++s) swaps.emplace_back(Slot{a, s}, Slot{b, s});
  return swaps;
}

void ArrangementCoach::Forget(const RoundFlow& flow) {
  if (!CanUndo(flow)) steps_.clear();
}

bool ArrangementCoach::CanUndo(const RoundFlow& flow) const {
  return flow.Stage() == RoundStage::kArranging && !steps_.empty() &&
         steps_.back().after == flow.OwnRows();
}

bool ArrangementCoach::Apply(RoundFlow& flow, const Swaps& swaps) {
  Forget(flow);
  // A card picked for a swap would stay marked at a place that now holds another card.
  if (!flow.SelectedSlot().IsNone()) flow.OnOwnSlotClicked(flow.SelectedSlot());
  const Arrangement before = flow.OwnRows();
  Swaps done;
  for (const auto& [a, b] : swaps) {
    if (flow.SwapSlots(a, b)) done.emplace_back(a, b);
  }
  if (done.empty() || flow.OwnRows() == before) return false;
  steps_.push_back({std::move(done), flow.OwnRows()});
  return true;
}

RoundFlow::Click ArrangementCoach::Click(RoundFlow& flow, Slot slot) {
  Forget(flow);
  const Slot first = flow.SelectedSlot();
  const RoundFlow::Click click = flow.OnOwnSlotClicked(slot);
  if (click == RoundFlow::Click::kSwapped) steps_.push_back({{{first, slot}}, flow.OwnRows()});
  return click;
}

bool ArrangementCoach::Swap(RoundFlow& flow, Slot a, Slot b) {
  return Apply(flow, {{a, b}});
}

bool ArrangementCoach::SwapRows(RoundFlow& flow, RowIndex a, RowIndex b) {
  return Apply(flow, RowSwaps(a, b));
}

bool ArrangementCoach::Suggest(RoundFlow& flow) {
  if (flow.Stage() != RoundStage::kArranging) return false;
  return Apply(flow, SwapsToReach(flow.OwnRows(), SuggestedRows(flow)));
}

bool ArrangementCoach::Undo(RoundFlow& flow) {
  if (!CanUndo(flow)) {
    steps_.clear();
    return false;
  }
  const Step step = std::move(steps_.back());
  steps_.pop_back();
  for (auto it = step.swaps.rbegin(); it != step.swaps.rend(); ++it)
    flow.SwapSlots(it->first, it->second);
  return true;
}

}  // namespace trilane
