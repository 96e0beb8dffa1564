#include "table/view_timeline.h"

#include <algorithm>

namespace trilane {

void ViewTimeline::Queue(Step step) {
  steps_.push_back(std::move(step));
  if (playScheduled_) return;
  playScheduled_ = true;
  if (clock_.schedule) clock_.schedule();
}

void ViewTimeline::ScheduledPlay() {
  playScheduled_ = false;
  Play();
}

void ViewTimeline::Apply(std::function<void()> change) {
  Queue(Step{Step::kApply, std::move(change), 0, {}});
}

void ViewTimeline::Pause(int milliseconds) {
  Queue(Step{Step::kPause, {}, std::max(0, milliseconds), {}});
}

void ViewTimeline::Fly(const CardFlight& flight) {
  Queue(Step{Step::kFly, {}, 0, flight});
}

void ViewTimeline::Play() {
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
        if (clock_.wait) clock_.wait(step.milliseconds);
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

void ViewTimeline::Finish() {
  instant_ = true;
  if (running_ == Running::kFlight) {
    running_ = Running::kNothing;
    if (player_.land) player_.land();
  } else if (running_ == Running::kPause) {
    if (clock_.stopWaiting) clock_.stopWaiting();
    running_ = Running::kNothing;
  }
  Play();
  instant_ = false;
}

void ViewTimeline::Drop() {
  steps_.clear();
  if (clock_.stopWaiting) clock_.stopWaiting();
  running_ = Running::kNothing;
}

void ViewTimeline::Landed() {
  if (running_ != Running::kFlight) return;
  running_ = Running::kNothing;
  Play();
}

void ViewTimeline::PauseEnded() {
  if (running_ != Running::kPause) return;
  running_ = Running::kNothing;
  Play();
}

}  // namespace trilane
