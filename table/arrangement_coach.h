#pragma once
// The table that teaches, without drawing: why the own rows cannot be played yet, the
// computer's arrangement laid out for the player, whole rows exchanged, and the last change
// taken back. Every change goes through the flow's own swap, so the flow stays the one
// owner of the rows and shows each card's flight as usual.

#include <array>
#include <utility>
#include <vector>

#include "rules/arrangement.h"
#include "table/arranging.h"
#include "table/round_flow.h"

namespace trilane {

// Why the rows do not rise, by row (RowIndex): the words entry to show beside the row that
// is too strong for the row below it (the Front against the Middle, the Middle against the
// Back), 0 where nothing is wrong. The Back is never at fault.
std::array<int, 3> RowReasons(const RowValues& values);

// The same for rows while arranging: nothing until all thirteen places hold a card.
std::array<int, 3> RowReasons(const Arrangement& rows);

// The rows as the computer would arrange the player's hand: the hand dealt to the own seat,
// in the order the computer reads it.
Arrangement SuggestedRows(const RoundFlow& flow);

// The swaps that exchange two whole rows. The Middle and the Back trade all five cards; the
// Front trades its three with the first three places of the other row, so the two rows'
// cards change places as far as the Front can hold them. Empty for a row with itself.
std::vector<std::pair<Slot, Slot>> RowSwaps(RowIndex a, RowIndex b);

class ArrangementCoach {
 public:
  // Each of these changes the own rows while arranging and keeps the change as one step
  // that Undo takes back; each returns false, and keeps nothing, when nothing changed.
  // A click on a place (the second click of a pair swaps).
  RoundFlow::Click Click(RoundFlow& flow, Slot slot);
  bool Swap(RoundFlow& flow, Slot a, Slot b);
  bool SwapRows(RoundFlow& flow, RowIndex a, RowIndex b);
  bool Suggest(RoundFlow& flow);

  // Takes the last step back, swap by swap in reverse order.
  bool Undo(RoundFlow& flow);
  // True when there is a step to take back for the rows as they are now; steps kept for
  // rows that have changed since (a new deal, a script's swap) are worth nothing.
  bool CanUndo(const RoundFlow& flow) const;

 private:
  using Swaps = std::vector<std::pair<Slot, Slot>>;
  struct Step {
    Swaps swaps;
    Arrangement after;
  };
  bool Apply(RoundFlow& flow, const Swaps& swaps);
  void Forget(const RoundFlow& flow);

  std::vector<Step> steps_;
};

}  // namespace trilane
