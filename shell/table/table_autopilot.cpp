#include "shell/table/table_autopilot.h"

#include <QApplication>
#include <algorithm>

#include "shell/table/table_widget.h"
#include "table/table_match.h"

namespace trilane {

TableAutopilot::TableAutopilot(TableWidget& table, TableMatch& match, QObject* parent)
    : QObject(parent), table_(table), match_(match) {
  timer_.setSingleShot(true);
  timer_.setInterval(350);
  connect(&timer_, &QTimer::timeout, this, &TableAutopilot::Move);
  connect(&table_, &TableWidget::timelineIdle, this, &TableAutopilot::Schedule);
}

void TableAutopilot::SetOn(bool on) {
  on_ = on;
  if (!on) {
    timer_.stop();
    return;
  }
  if (!table_.TimelineBusy()) Schedule();
}

void TableAutopilot::SetDelay(int milliseconds) {
  timer_.setInterval(std::max(0, milliseconds));
}

void TableAutopilot::Schedule() {
  if (on_ && !timer_.isActive()) timer_.start();
}

void TableAutopilot::Move() {
  // Only the table on the screen is played, and nothing while a window asks something.
  if (!on_ || !table_.isVisible()) return;
  if (table_.TimelineBusy() || QApplication::activeModalWidget()) {
    Schedule();
    return;
  }
  RoundFlow& flow = match_.Flow();
  if (table_.OwnRowsActive()) {
    if (const auto swap = player_.NextSwap(flow)) {
      table_.SwapOwnSlots(swap->first, swap->second);
      return;  // the card's flight ends in an idle timeline, which brings the next move
    }
  }
  if (table_.ActionButtonEnabled() && flow.ActionEnabled()) table_.PressActionButton();
}

}  // namespace trilane
