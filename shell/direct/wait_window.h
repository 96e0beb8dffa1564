#pragma once
// The waiting window of direct play: open while the host waits for joiners or a joiner
// waits to be seated. The host's "Ok" starts the game once someone is seated; "Cancel"
// gives up (and is no longer offered once a joiner sits at the host's table). Every second
// a joiner whose attempt failed reads "There are no accessible games".
#include <QTimer>
#include <array>
#include <functional>

#include "shell/aux_window.h"

class QLabel;

namespace trilane {

class AnimationLabel;

class WaitWindow : public AuxWindow {
  Q_OBJECT

 public:
  enum class Role { kHost, kJoiner };
  WaitWindow(const TSettings& settings, Role role, QWidget* parent);

  // The joiner's error flag, read at every tick of the window's one-second timer.
  void SetJoinErrorSource(std::function<bool()> joinError) { joinError_ = std::move(joinError); }

  // Host: a joiner took NetId 2..4; the lines up to its own show, "Ok" is enabled and
  // "Cancel" disabled.
  void JoinerSeated(int netId);
  // One tick of the timer (tests call it instead of waiting).
  void Tick();

  // The go flag: the window closed to start the game.
  bool Go() const { return go_; }
  // Closes the window with the go flag (the host's "Ok", a joiner's seating).
  void CloseToPlay();
  // Closes the window without it, whatever "Cancel" allows (the game ended before it began).
  void CloseWithoutPlay();

  QString StateLine() const;
  bool OkEnabled() const;
  bool CancelEnabled() const;
  bool LineShown(int netId) const;

 signals:
  // "Cancel" was pressed, before the window closes.
  void cancelled();

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  Role role_;
  std::function<bool()> joinError_;
  bool go_ = false;
  QLabel* state_;
  std::array<QLabel*, 3> seated_{};
  AnimationLabel* animation_;
  QorCardsButton* ok_;
  QorCardsButton* cancel_;
  QTimer timer_;
};

}  // namespace trilane
