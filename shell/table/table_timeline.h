#pragma once
// The table's timeline: what the round flow asks of the table, queued and played in order.
// A change of the picture applies when its turn comes; a pause holds everything after it
// for its time; a card flight is handed to the table's flight player, and the timeline
// goes on once the card has landed. The table refuses the player's input while anything
// is queued or running (Busy), so no transition of the flow is ever re-entered, and no
// nested event loop is needed.
#include <QObject>
#include <QTimer>
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

class TableTimeline : public QObject {
 public:
  // What the table does for the timeline.
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

  explicit TableTimeline(Player player, QObject* parent = nullptr);

  void Apply(std::function<void()> change);
  void Pause(int milliseconds);
  void Fly(const CardFlight& flight);

  bool Busy() const { return running_ != Running::kNothing || !steps_.empty(); }
  // True while Finish plays everything at once: flights land without gliding.
  bool Instant() const { return instant_; }
  // Plays what is due up to the first pause or flight (also scheduled by itself after
  // every step queued).
  void Play();
  // Plays every queued step at once, without waiting.
  void Finish();
  // Forgets everything queued or running; nothing of it runs later.
  void Drop();
  // The gliding card has landed: the timeline goes on.
  void Landed();

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
  std::deque<Step> steps_;
  QTimer pauseTimer_;
  Running running_ = Running::kNothing;
  bool playScheduled_ = false;
  bool playing_ = false;
  bool active_ = false;  // something was played since the timeline was last idle
  bool instant_ = false;
};

}  // namespace trilane
