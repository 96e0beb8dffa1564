#pragma once
// "Choice of speed": the flight speed of the cards, 1 (slow) to 6, written to the settings
// as soon as the slider moves. A small card flies across the window at the chosen pace.

#include <QImage>
#include <QTimer>

#include "shell/aux_window.h"

class QSlider;

namespace trilane {

class SpeedWindow : public AuxWindow {
  Q_OBJECT

 public:
  SpeedWindow(TSettings& settings, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TSettings& writable_;
  QSlider* slider_;
  QTimer timer_;
  int frame_ = 0;
};

}  // namespace trilane
