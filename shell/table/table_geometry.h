#pragma once
// Where every element of the table lies: the base-canvas rectangles of the 760 x 500
// design and their placement in the current window. The own hand area grows into the
// three-row grid while the player arranges; the other seats' rows, once revealed, are
// drawn as three overlapping rows in an area that grows away from the table's edge.

#include <QPoint>
#include <QRect>
#include <array>
#include <optional>

#include "shell/layout.h"
#include "table/table_view.h"

namespace trilane {

struct BaseRect {
  int x1, y1, x2, y2;
};

// Seats 1 left, 2 top, 3 right, 4 bottom (the local player); index seat - 1.
inline constexpr std::array<BaseRect, 4> kHandRects = {
    {{28, 178, 188, 274}, {300, 8, 460, 104}, {574, 178, 734, 274}, {195, 395, 565, 491}}};
inline constexpr std::array<BaseRect, 4> kTabletRects = {
    {{28, 300, 183, 395}, {135, 9, 290, 104}, {578, 300, 733, 395}, {28, 402, 183, 497}}};
inline constexpr std::array<BaseRect, 4> kPlateRects = {
    {{23, 278, 183, 298}, {300, 108, 460, 128}, {574, 278, 734, 298}, {300, 372, 460, 392}}};
inline constexpr BaseRect kCentreRect{205, 140, 555, 360};
inline constexpr BaseRect kRoundBoxRect{4, 11, 134, 101};
inline constexpr BaseRect kMemoRect{584, 10, 714, 100};
// The two table buttons sit in the free bottom-right corner.
inline constexpr BaseRect kActionButtonRect{590, 408, 740, 446};
inline constexpr BaseRect kEndButtonRect{590, 456, 740, 494};

struct TableGeometry {
  std::array<QRect, 4> hands;  // height: one card
  std::array<QRect, 4> tablets;
  std::array<QRect, 4> plates;
  QRect centre;
  QRect roundBox;
  QRect memo;
  QRect actionButton;
  QRect endButton;
  int cardW = 71;
  int cardH = 96;
  int gap = 2;       // between the cells of the own grid
  int rowStep = 30;  // vertical step between the other seats' revealed rows
};

TableGeometry ComputeTableGeometry(const Layout& layout, int cardW, int cardH);

// The own area while arranging (and after the reveal): the hand area grown upward to
// three rows, and wide enough for five cards.
QRect OwnRowsArea(const TableGeometry& g);
// A seat's revealed rows: seats 1 and 3 grow upward, seat 2 downward (seat 4 uses the grid).
QRect SeatRowsArea(const TableGeometry& g, int position);

// Inside an area: the top-left corner of a place of the own grid, of a place of a seat's
// revealed rows, and of hand slot `ordinal` (0-based among the cards held) of n cards.
QPoint GridCellAt(const TableGeometry& g, Slot slot);
QPoint SeatRowCellAt(const TableGeometry& g, int position, Slot slot);
QPoint HandCellAt(const TableGeometry& g, int position, int ordinal, int n);

// The place of a seat's revealed rows under a point of its area (the card drawn on top
// wins), or none.
std::optional<Slot> SeatRowSlotAt(const TableGeometry& g, int position, QPoint p);

}  // namespace trilane
