#include "table/arranging.h"

#include <cmath>

#include "base/rounding.h"

namespace trilane {

bool IsCardSlot(Slot s) {
  if (s.row != kFront && s.row != kMiddle && s.row != kBack) return false;
  return s.slot >= 1 && s.slot <= CardsInRow(s.row);
}

Card& CardAt(Arrangement& rows, Slot s) {
  return rows.rows[s.row][s.slot - 1];
}
const Card& CardAt(const Arrangement& rows, Slot s) {
  return rows.rows[s.row][s.slot - 1];
}

const std::array<Placement, kCardsPerHand>& InitialPlacementOrder() {
  static const std::array<Placement, kCardsPerHand> kOrder = {{
      {13, {kFront, 1}},
      {12, {kFront, 2}},
      {11, {kFront, 3}},
      {10, {kMiddle, 1}},
      {9, {kMiddle, 2}},
      {8, {kMiddle, 3}},
      {7, {kMiddle, 4}},
      {6, {kMiddle, 5}},
      {5, {kBack, 5}},
      {4, {kBack, 4}},
      {3, {kBack, 3}},
      {2, {kBack, 2}},
      {1, {kBack, 1}},
  }};
  return kOrder;
}

Arrangement InitialRows(const Hand& sortedHand) {
  Arrangement rows;
  for (Row& row : rows.rows) row.fill(kEmptySlot);
  for (const Placement& p : InitialPlacementOrder())
    CardAt(rows, p.to) = sortedHand[p.handSlot - 1];
  return rows;
}

bool SwapSlots(Arrangement& rows, Slot a, Slot b) {
  if (!IsCardSlot(a) || !IsCardSlot(b) || a == b) return false;
  std::swap(CardAt(rows, a), CardAt(rows, b));
  return true;
}

std::vector<std::pair<Slot, Slot>> SwapsToReach(const Arrangement& from, const Arrangement& to) {
  std::vector<std::pair<Slot, Slot>> swaps;
  Arrangement work = from;
  std::vector<Slot> places;
  for (RowIndex r : kAllRows) {
    for (int s = 1; s <= CardsInRow(r); ++s) places.push_back(Slot{r, s});
  }
  for (size_t i = 0; i < places.size(); ++i) {
    const Card wanted = CardAt(to, places[i]);
    if (CardAt(work, places[i]) == wanted) continue;
    size_t j = i + 1;
    while (j < places.size() && !(CardAt(work, places[j]) == wanted)) ++j;
    if (j == places.size()) return {};
    SwapSlots(work, places[i], places[j]);
    swaps.emplace_back(places[i], places[j]);
  }
  return swaps;
}

std::optional<Slot> SlotAt(int x, int y, const GridGeometry& grid) {
  if (grid.cardW <= 0 || grid.cardH <= 0) return std::nullopt;
  for (RowIndex r : kAllRows) {
    const int top = r * (grid.cardH + grid.gap);
    if (y < top || y >= top + grid.cardH) continue;
    for (int s = 1; s <= CardsInRow(r); ++s) {
      const int left = (s - 1) * (grid.cardW + grid.gap);
      if (x >= left && x < left + grid.cardW) return Slot{r, s};
    }
  }
  return std::nullopt;
}

HandCardXs HandCardX(int n, int width, int cardW) {
  HandCardXs xs{};
  if (n <= 0) return xs;
  if (n > kHandCardSlots) n = kHandCardSlots;
  const int step = cardW + 3;
  const double perCard = static_cast<double>(width) / n;
  if (step <= perCard) {
    const double middle = RoundHalfEven(width / 2.0);
    for (int i = 1; i <= n; ++i) {
      xs[i - 1] = static_cast<int>(RoundHalfEvenToInt(middle - n * step / 2.0 + (i - 1) * step));
    }
    return xs;
  }
  // Overlapping: the step is the integer part of (W - s0) / (n - 1). A hand image narrower
  // than one card stacks the cards at the left edge instead of pushing them out of it.
  int t = 0;
  if (n > 1) t = static_cast<int>(std::trunc(static_cast<double>(width - step) / (n - 1)));
  if (t < 0) t = 0;
  for (int i = 1; i <= n; ++i) xs[i - 1] = (i - 1) * t;
  return xs;
}

int CardsIn(const Hand& hand) {
  int n = 0;
  for (const Card& c : hand) n += c.code.IsCard() ? 1 : 0;
  return n;
}

std::optional<int> HandSlotAt(int x, const Hand& hand, int width, int cardW) {
  // Cards are drawn in slot order from the left, so a hand's n cards are its first n slots.
  int n = 0;
  while (n < kCardsPerHand && hand[n].code.IsCard()) ++n;
  if (n == 0) return std::nullopt;
  const HandCardXs xs = HandCardX(n, width, cardW);
  for (int k = 1; k <= n; ++k) {
    const int left = xs[k - 1];
    const int right = k < n ? xs[k] - 1 : left + cardW - 1;
    if (x >= left && x <= right) return k;
  }
  return std::nullopt;
}

}  // namespace trilane
