#include "shell/table/table_geometry.h"

#include <algorithm>

#include "base/rounding.h"
#include "table/arranging.h"

namespace trilane {

namespace {

QRect Place(const Layout& layout, const BaseRect& r) {
  return layout.ScaledRect(r.x1, r.y1, r.x2, r.y2);
}

}  // namespace

TableGeometry ComputeTableGeometry(const Layout& layout, int cardW, int cardH) {
  TableGeometry g;
  g.cardW = cardW;
  g.cardH = cardH;
  g.gap = layout.Scale(2);
  g.rowStep = static_cast<int>(RoundHalfEvenToInt(cardH * 0.3));
  for (int i = 0; i < 4; ++i) {
    QRect hand = Place(layout, kHandRects[i]);
    hand.setHeight(cardH);  // the design's y2 only fixes the top
    g.hands[i] = hand;
    g.tablets[i] = Place(layout, kTabletRects[i]);
    g.plates[i] = Place(layout, kPlateRects[i]);
  }
  g.centre = Place(layout, kCentreRect);
  g.roundBox = Place(layout, kRoundBoxRect);
  g.memo = Place(layout, kMemoRect);
  g.actionButton = Place(layout, kActionButtonRect);
  g.endButton = Place(layout, kEndButtonRect);
  return g;
}

QRect OwnRowsArea(const TableGeometry& g) {
  const QRect hand = g.hands[3];
  const int added = 2 * (g.cardH + g.gap);
  const int width = std::max(hand.width(), 5 * g.cardW + 4 * g.gap);
  return QRect(hand.left(), hand.top() - added, width, hand.height() + added);
}

QRect SeatRowsArea(const TableGeometry& g, int position) {
  if (position == 4) return OwnRowsArea(g);
  const QRect hand = g.hands[position - 1];
  const int added = 2 * g.rowStep;
  const int top = position == 2 ? hand.top() : hand.top() - added;
  return QRect(hand.left(), top, hand.width(), hand.height() + added);
}

QPoint GridCellAt(const TableGeometry& g, Slot slot) {
  return QPoint((slot.slot - 1) * (g.cardW + g.gap),
                static_cast<int>(slot.row) * (g.cardH + g.gap));
}

QPoint SeatRowCellAt(const TableGeometry& g, int position, Slot slot) {
  if (position == 4) return GridCellAt(g, slot);
  const HandCardXs xs = HandCardX(5, g.hands[position - 1].width(), g.cardW);
  return QPoint(xs[static_cast<size_t>(slot.slot - 1)], static_cast<int>(slot.row) * g.rowStep);
}

QPoint HandCellAt(const TableGeometry& g, int position, int ordinal, int n) {
  const HandCardXs xs = HandCardX(n, g.hands[position - 1].width(), g.cardW);
  return QPoint(xs[static_cast<size_t>(std::clamp(ordinal, 0, kHandCardSlots - 1))], 0);
}

std::optional<Slot> SeatRowSlotAt(const TableGeometry& g, int position, QPoint p) {
  if (position == 4) return SlotAt(p.x(), p.y(), GridGeometry{g.cardW, g.cardH, g.gap});
  // The Back is drawn last, and in each row the later card covers the earlier one.
  for (int r = 2; r >= 0; --r) {
    const auto row = static_cast<RowIndex>(r);
    for (int s = CardsInRow(row); s >= 1; --s) {
      const Slot slot{row, s};
      if (QRect(SeatRowCellAt(g, position, slot), QSize(g.cardW, g.cardH)).contains(p)) return slot;
    }
  }
  return std::nullopt;
}

}  // namespace trilane
