#include "shell/table/table_timeline.h"

#include <algorithm>

namespace trilane {

TableTimeline::TableTimeline(Player player, QObject* parent)
    : QObject(parent), player_(std::move(player)) {
  pauseTimer_.setSingleShot(true);
  connect(&pauseTimer_, &QTimer::timeout, this, [this] {
    running_ = Running::kNothing;
    Play();
  });
}

void TableTimeline::Queue(Step step) {
  steps_.push_back(std::move(step));
  if (playScheduled_) return;
  playScheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    playScheduled_ = false;
    Play();
  });
}

void TableTimeline::Apply(std::function<void()> change) {
  Queue(Step{Step::kApply, std::move(change), 0, {}});
}

void TableTimeline::Pause(int milliseconds) {
  Queue(Step{Step::kPause, {}, std::max(0, milliseconds), {}});
}

void TableTimeline::Fly(const CardFlight& flight) {
  Queue(Step{Step::kFly, {}, 0, flight});
}

void TableTimeline::Play() {
  if (running_ != Running::kNothing || playing_) return;
  playing_ = true;
  // Idle is told once per stretch of work, also when a pause or flight ended it.
  active_ = active_ || !steps_.empty();
  while (!steps_.empty() && running_ == Running::kNothing) {
    Step step = std::move(steps_.front());
    steps_.pop_front();
    if (step.kind != Step::kFly && player_.calm) player_.calm();
    switch (step.kind) {
      case Step::kApply:
        if (step.apply) step.apply();
        break;
      case Step::kPause:
        if (instant_ || step.milliseconds == 0) break;
        running_ = Running::kPause;
        pauseTimer_.start(step.milliseconds);
        break;
      case Step::kFly:
        if (player_.fly && player_.fly(step.flight)) running_ = Running::kFlight;
        break;
    }
  }
  playing_ = false;
  if (!Busy() && player_.calm) player_.calm();
  if (!Busy() && active_) {
    active_ = false;
    if (player_.idle) player_.idle();
  }
}

void TableTimeline::Finish() {
  instant_ = true;
  if (running_ == Running::kFlight) {
    running_ = Running::kNothing;
    if (player_.land) player_.land();
  } else if (running_ == Running::kPause) {
    pauseTimer_.stop();
    running_ = Running::kNothing;
  }
  Play();
  instant_ = false;
}

void TableTimeline::Drop() {
  steps_.clear();
  pauseTimer_.stop();
  running_ = Running::kNothing;
}

void TableTimeline::Landed() {
  if (running_ != Running::kFlight) return;
  running_ = Running::kNothing;
  Play();
}

}  // namespace trilane
