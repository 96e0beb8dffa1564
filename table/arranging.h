#pragma once
// The local player's arranging: the first layout of the sorted hand into the three rows,
// swapping two of the thirteen places, the grid of the own rows and the hand geometry used
// to find the card under the pointer. Pure: pixel values are handed in by the view.

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "rules/arrangement.h"
#include "rules/deck.h"

namespace trilane {

inline constexpr int kFrontCards = 3;
inline constexpr std::array<RowIndex, 3> kAllRows = {kFront, kMiddle, kBack};
// Cards a row holds: three in the Front, five in the Middle and the Back.
constexpr int CardsInRow(RowIndex row) {
  return row == kFront ? kFrontCards : 5;
}

// Rows as people count them, where they are written out: 1 Front, 2 Middle, 3 Back.
constexpr int RowNumber(RowIndex row) {
  return static_cast<int>(row) + 1;
}

// A place in rows: the row and slot 1..5 (the Front uses 1..3). Slot 0 is no place
// (nothing selected).
struct Slot {
  RowIndex row = kFront;
  int slot = 0;
  bool IsNone() const { return slot == 0; }
  friend bool operator==(const Slot&, const Slot&) = default;
};

// True for the thirteen places a card can occupy; the Front's slots 4 and 5 are dead.
bool IsCardSlot(Slot slot);

Card& CardAt(Arrangement& rows, Slot slot);
const Card& CardAt(const Arrangement& rows, Slot slot);

// The first layout, in the order the cards fly: hand slots 13, 12, 11 to Front 1, 2, 3;
// 10 .. 6 to Middle 1 .. 5; 5, 4, 3, 2, 1 to Back 5, 4, 3, 2, 1. The three highest cards
// start in the Front, so the first layout is usually not legal.
struct Placement {
  int handSlot;  // 1..13
  Slot to;
};
const std::array<Placement, kCardsPerHand>& InitialPlacementOrder();

// The rows the first layout produces from a sorted hand.
Arrangement InitialRows(const Hand& sortedHand);

// Exchanges the cards of two places; a dead Front slot or the same place twice changes
// nothing and returns false.
bool SwapSlots(Arrangement& rows, Slot a, Slot b);

// The swaps that turn `from` into `to` when both hold the same thirteen cards, place by
// place in reading order (for scripted players; the table itself offers no automatic
// arrangement). Empty when the cards differ.
std::vector<std::pair<Slot, Slot>> SwapsToReach(const Arrangement& from, const Arrangement& to);

// The own rows as a grid: the Front on top, row r (0 Front .. 2 Back) at y = r * (cardH + gap), slot s at
// x = (s - 1) * (cardW + gap). The place whose card rectangle holds the point, or none.
struct GridGeometry {
  int cardW = 71;
  int cardH = 96;
  int gap = 2;
};
std::optional<Slot> SlotAt(int x, int y, const GridGeometry& grid);

// Left edges of the cards of a hand of n cards inside a hand image of width `width`
// (index i - 1 is card i; entries after n are 0). Side by side and centred when the step
// cardW + 3 fits n times, else overlapping from the left edge.
inline constexpr int kHandCardSlots = 36;
using HandCardXs = std::array<int, kHandCardSlots>;
HandCardXs HandCardX(int n, int width, int cardW);

// The hand slot (1..n) whose visible strip holds x, found by x alone: card k < n from
// xs[k-1] to xs[k] - 1, the last card to its left edge + cardW - 1; an empty slot is never
// hit.
std::optional<int> HandSlotAt(int x, const Hand& hand, int width, int cardW);

// Number of cards (not empty slots) in a hand.
int CardsIn(const Hand& hand);

}  // namespace trilane
