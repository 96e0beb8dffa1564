// The player's input at the table: picking and dropping cards, dragging cards and row names,
// the keyboard, and the context menu that speaks a card's name.

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <utility>

#include "shell/table/table_widget.h"
#include "shell/table/table_widget_impl.h"

namespace trilane {

void TableWidget::mousePressEvent(QMouseEvent* event) {
  Impl& d = *impl_;
  d.pressSlot.reset();
  d.pressRow.reset();
  d.dragging = false;
  if (event->button() != Qt::RightButton && d.reviewOpen) {
    d.HideReview();  // a click anywhere closes the review
    return;
  }
  if (event->button() == Qt::RightButton || d.Busy() || !d.OwnRowsActive()) return;
  d.pressSlot = d.OwnSlotAt(event->position().toPoint());
  if (!d.pressSlot) d.pressRow = d.RowNameAt(event->position().toPoint());
  d.pressPos = event->position().toPoint();
}

void TableWidget::mouseMoveEvent(QMouseEvent* event) {
  Impl& d = *impl_;
  if (!(event->buttons() & (Qt::LeftButton | Qt::MiddleButton))) {
    // A hand over the cards that can be picked, an open hand over the row names.
    const QPoint at = event->position().toPoint();
    const bool active = !d.Busy() && d.OwnRowsActive();
    if (active && d.OwnSlotAt(at).has_value())
      setCursor(Qt::PointingHandCursor);
    else if (active && d.RowNameAt(at).has_value())
      setCursor(Qt::OpenHandCursor);
    else
      unsetCursor();
    return;
  }
  if (d.pressRow) {
    // A row's name follows the pointer until it is dropped on another row.
    const QPoint at = event->position().toPoint();
    const std::array<int, 3> reasons = RowReasons(d.own.rows);
    const QRect plate = d.painter.RowNameRect(*d.pressRow, reasons[kFront] || reasons[kMiddle])
                            .translated(OwnRowsArea(d.geo).topLeft());
    if (!d.dragging) {
      if ((at - d.pressPos).manhattanLength() < QApplication::startDragDistance()) return;
      if (d.Busy() || !d.OwnRowsActive()) return;
      d.dragging = true;
      if (!d.dragImage) d.dragImage = new TableImage("DragCard", this);
      d.dragImage->SetPicture(
          d.painter.Plate(plate.size(), PlateColour::kYellow,
                          ShownTableText(d.own.names[static_cast<size_t>(*d.pressRow)])));
      d.dragImage->resize(plate.size());
      d.dragImage->raise();
      d.dragImage->show();
      setCursor(Qt::ClosedHandCursor);
    }
    d.dragImage->move(plate.topLeft() + (at - d.pressPos));
    return;
  }
  if (!d.pressSlot) return;
  const QPoint at = event->position().toPoint();
  if (!d.dragging) {
    if ((at - d.pressPos).manhattanLength() < QApplication::startDragDistance()) return;
    if (d.Busy() || !d.OwnRowsActive()) return;
    d.dragging = true;
    const Card card = CardAt(d.Flow()->OwnRows(), *d.pressSlot);
    QImage picture = d.painter.CardPicture(card);
    if (!d.dragImage) d.dragImage = new TableImage("DragCard", this);
    d.dragImage->SetPicture(std::move(picture));
    d.dragImage->resize(d.geo.cardW, d.geo.cardH);
    d.dragImage->raise();
    d.dragImage->show();
  }
  const QPoint cell = OwnRowsArea(d.geo).topLeft() + GridCellAt(d.geo, *d.pressSlot);
  d.dragImage->move(cell + (at - d.pressPos));
}

void TableWidget::mouseReleaseEvent(QMouseEvent* event) {
  Impl& d = *impl_;
  if (event->button() == Qt::RightButton) return;
  const std::optional<Slot> from = std::exchange(d.pressSlot, std::nullopt);
  const std::optional<RowIndex> fromRow = std::exchange(d.pressRow, std::nullopt);
  const bool dragged = std::exchange(d.dragging, false);
  if (d.dragImage) d.dragImage->hide();
  const std::optional<Slot> at = d.OwnSlotAt(event->position().toPoint());
  if (fromRow) {
    unsetCursor();
    // Dropped on another row's name or on one of that row's cards.
    std::optional<RowIndex> toRow = d.RowNameAt(event->position().toPoint());
    if (!toRow && at) toRow = at->row;
    if (dragged && toRow && *toRow != *fromRow) d.SwapRows(*fromRow, *toRow);
    return;
  }
  if (dragged) {
    if (from && at && *from != *at) d.DragSwap(*from, *at);
    return;
  }
  if (at) d.ClickSlot(*at);
}

void TableWidget::keyPressEvent(QKeyEvent* event) {
  Impl& d = *impl_;
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      d.PressAction();
      return;
    case Qt::Key_F2:
      d.Suggest();
      return;
    case Qt::Key_F3:
      d.ToggleReview();
      return;
    default:
      break;
  }
  if (event->matches(QKeySequence::Undo) ||
      (event->key() == Qt::Key_Z && (event->modifiers() & Qt::ControlModifier))) {
    d.Undo();
    return;
  }
  if (event->key() == Qt::Key_Escape && d.reviewOpen) {
    d.HideReview();
    return;
  }
  if (d.Busy() || !d.OwnRowsActive()) {
    QWidget::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Left:
      d.MoveHighlight(0, -1);
      return;
    case Qt::Key_Right:
      d.MoveHighlight(0, 1);
      return;
    case Qt::Key_Up:
      d.MoveHighlight(-1, 0);
      return;
    case Qt::Key_Down:
      d.MoveHighlight(1, 0);
      return;
    case Qt::Key_Space:
      if (!d.highlight)
        d.MoveHighlight(0, 0);
      else
        d.ClickSlot(*d.highlight);
      return;
    case Qt::Key_Escape:
      if (!d.Flow()->SelectedSlot().IsNone()) d.ClickSlot(d.Flow()->SelectedSlot());
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void TableWidget::contextMenuEvent(QContextMenuEvent* event) {
  Impl& d = *impl_;
  if (d.Busy()) {  // the cards are still moving: no card is taken, the menu may open
    event->ignore();
    return;
  }
  if (const auto place = d.PlaceAt(event->pos())) {
    if (const auto card = d.Flow() ? d.Flow()->CardToSpeak(*place) : std::nullopt) {
      if (d.s.sounds) d.s.sounds->SpeakCard(card->code, false, LanguageIndex());
      event->accept();
      return;
    }
  }
  event->ignore();
}

}  // namespace trilane
