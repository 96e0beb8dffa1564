#include "shell/table/table_timeline.h"

namespace trilane {

ViewTimeline::Clock TableTimeline::Timers() {
  ViewTimeline::Clock clock;
  clock.wait = [this](int milliseconds) { pauseTimer_.start(milliseconds); };
  clock.stopWaiting = [this] { pauseTimer_.stop(); };
  clock.schedule = [this] { QTimer::singleShot(0, this, [this] { steps_.ScheduledPlay(); }); };
  return clock;
}

TableTimeline::TableTimeline(Player player, QObject* parent)
    : QObject(parent), steps_(std::move(player), Timers()) {
  pauseTimer_.setSingleShot(true);
  connect(&pauseTimer_, &QTimer::timeout, this, [this] { steps_.PauseEnded(); });
}

}  // namespace trilane
