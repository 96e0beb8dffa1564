#pragma once
// The computer at the table's own seat, as a person would play it: once the table's
// timeline has played it makes one swap towards the computer's arrangement, or presses the
// action button when that is enabled, and waits a moment between its moves so the player
// watching can follow. The demo of the program and the tests of whole matches use it.
#include <QObject>
#include <QTimer>

#include "table/auto_player.h"

namespace trilane {

class TableMatch;
class TableWidget;

class TableAutopilot : public QObject {
  Q_OBJECT

 public:
  TableAutopilot(TableWidget& table, TableMatch& match, QObject* parent = nullptr);

  void SetOn(bool on);
  // The pause between moves (350 ms by default).
  void SetDelay(int milliseconds);

 private:
  void Schedule();
  void Move();

  TableWidget& table_;
  TableMatch& match_;
  AutoPlayer player_;
  QTimer timer_;
  bool on_ = false;
};

}  // namespace trilane
