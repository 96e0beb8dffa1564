#pragma once
// The table's timeline played with Qt's timers: the queue and its order are the table
// room's ViewTimeline; this side starts a timer for each pause and plays what was queued
// once the call that queued it has returned.
#include <QObject>
#include <QTimer>

#include "table/view_timeline.h"

namespace trilane {

class TableTimeline : public QObject {
 public:
  // What the table shows for the timeline (the timers are this side's own).
  using Player = ViewTimeline::Player;

  explicit TableTimeline(Player player, QObject* parent = nullptr);

  void Apply(std::function<void()> change) { steps_.Apply(std::move(change)); }
  void Pause(int milliseconds) { steps_.Pause(milliseconds); }
  void Fly(const CardFlight& flight) { steps_.Fly(flight); }

  bool Busy() const { return steps_.Busy(); }
  // True while Finish plays everything at once: flights land without gliding.
  bool Instant() const { return steps_.Instant(); }
  // Plays what is due up to the first pause or flight (also scheduled by itself after
  // every step queued).
  void Play() { steps_.Play(); }
  // Plays every queued step at once, without waiting.
  void Finish() { steps_.Finish(); }
  // Forgets everything queued or running; nothing of it runs later.
  void Drop() { steps_.Drop(); }
  // The gliding card has landed: the timeline goes on.
  void Landed() { steps_.Landed(); }

 private:
  ViewTimeline::Clock Timers();

  QTimer pauseTimer_;
  ViewTimeline steps_;
};

}  // namespace trilane
