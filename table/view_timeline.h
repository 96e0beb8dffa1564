#pragma once
// The order in which the table plays what the round flow asked of it: changes of the
// picture, pauses and card flights, queued and played in turn. A change applies when its
// turn comes; a pause holds everything after it for its time; a card flight is handed to the
// view's flight player, and the timeline goes on once the card has landed. The view refuses
// the player's input while anything is queued or running (Busy), so no transition of the
// flow is ever re-entered, and no nested event loop is needed.
//
// Nothing here waits: the view starts a timer when a pause begins and reports its end
// (PauseEnded), and plays the queue soon after steps were queued (Play), outside the call
// that queued them.
#include <cstdint>
#include <deque>
#include <functional>

#include "table/table_view.h"

namespace trilane {

struct CardFlight {
  Card card;
  CardPlace from;
  CardPlace to;
  bool carried = false;  // the player dragged it there already: no glide
};

class ViewTimeline {
 public:
  // What the view shows for the timeline.
  struct Player {
    // Starts a flight; true when the card glides on its own and Landed() will follow,
    // false when it has landed already (Instant(), or nothing to see).
    std::function<bool(const CardFlight&)> fly;
    // The gliding card lands now (the timeline is being finished).
    std::function<void()> land;
    // A step that is no flight comes next, or nothing is left: the flying card may go.
    std::function<void()> calm;
    // Everything queued has played (told once per stretch of work).
    std::function<void()> idle;
  };
  // The view's timers.
  struct Clock {
    // A pause of this many milliseconds begins: PauseEnded() once it is over.
    std::function<void(int milliseconds)> wait;
    // The pause running is called off (the timeline is finished or dropped).
    std::function<void()> stopWaiting;
    // Steps were queued: ScheduledPlay() is wanted soon, once the caller has returned.
    std::function<void()> schedule;
  };

  ViewTimeline(Player player, Clock clock) : player_(std::move(player)), clock_(std::move(clock)) {}

  void Apply(std::function<void()> change);
  void Pause(int milliseconds);
  void Fly(const CardFlight& flight);

  bool Busy() const { return running_ != Running::kNothing || !steps_.empty(); }
  // True while Finish plays everything at once: flights land without gliding.
  bool Instant() const { return instant_; }
  // Plays what is due up to the first pause or flight.
  void Play();
  // The play asked for with `schedule`.
  void ScheduledPlay();
  // Plays every queued step at once, without waiting.
  void Finish();
  // Forgets everything queued or running; nothing of it runs later.
  void Drop();
  // The gliding card has landed: the timeline goes on.
  void Landed();
  // The pause is over: the timeline goes on.
  void PauseEnded();

 private:
  enum class Running : uint8_t { kNothing, kPause, kFlight };
  struct Step {
    enum Kind : uint8_t { kApply, kPause, kFly } kind = kApply;
    std::function<void()> apply;
    int milliseconds = 0;
    CardFlight flight{};
  };
  void Queue(Step step);

  Player player_;
  Clock clock_;
  std::deque<Step> steps_;
  Running running_ = Running::kNothing;
  bool playScheduled_ = false;
  bool playing_ = false;
  bool active_ = false;  // something was played since the timeline was last idle
  bool instant_ = false;
};

}  // namespace trilane
