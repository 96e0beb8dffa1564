#pragma once
// The program's demo and its pictures and measurements (--demo, --demo-rounds,
// --screenshot-dir, --measure): it leaves the title screen and the menu by itself, sits a
// new player down, lets the computer play the own seat, ends the match after the asked
// rounds through the normal end of a match, looks at the top ten and closes; on the way it
// saves a picture of every screen, dialog and table stage, and prints the figures the
// benchmark reads. The main window knows nothing of it; the program wires it beside the
// window like the game recorder.
#include <QObject>
#include <QString>
#include <functional>
#include <set>

#include "program/command_line.h"
#include "shell/main_window.h"

class QWidget;

namespace trilane {

class PaintCounter;
class PaintTimer;
class TableAutopilot;

class DemoDriver : public QObject {
  Q_OBJECT

 public:
  // Does nothing unless the command line asks for the demo, pictures or measurements.
  DemoDriver(MainWindow& window, const CommandLine& commandLine);
  ~DemoDriver() override;

  // The autopilot of the table (tests of whole matches turn it on themselves).
  TableAutopilot& Autopilot() { return *autopilot_; }

 private:
  void Started();
  void TitleShown();
  void ScreenChanged(ScreenState screen);
  void RoundFinished();
  void TimelineIdle();
  void Screenshot(const QString& name, QWidget* what = nullptr);
  // --idle-seconds: rests on the current screen, prints its idle figures under `label`,
  // then does `next`.
  void MeasureIdle(const char* label, std::function<void()> next);

  MainWindow& window_;
  CommandLine commandLine_;
  TableAutopilot* autopilot_;
  std::set<int> stagesShot_;
  int roundsPlayed_ = 0;
  bool endPending_ = false;
  PaintTimer* flightFrames_ = nullptr;
  PaintCounter* idlePaints_ = nullptr;
};

}  // namespace trilane
