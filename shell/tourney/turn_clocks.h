#pragma once
// The four turn-clock images of a tournament table (ImTimer1..4), laid over the table window
// beside each seat: the running clock's seconds, red digits on the calm picture while eight
// or more remain, yellow on the urgent one in the last seven. Only one clock shows at a time.
#include <QObject>
#include <QRect>
#include <array>

class QLabel;

namespace trilane {
struct TSettings;
class TableWidget;
}  // namespace trilane

namespace trilane::tourney {

// Where the clock of a table position (1..4) stands, in design units of the 760 x 500 table.
QRect ClockBaseRect(int position);

class TurnClocks : public QObject {
  Q_OBJECT

 public:
  TurnClocks(TableWidget& table, const TSettings& settings);

  // The clock of `position` shows `count`; position 0 clears all four.
  void Show(int position, int count);
  int ShownPosition() const { return position_; }

 private:
  void Relayout();
  void Render();

  TableWidget& table_;
  const TSettings& settings_;
  std::array<QLabel*, 4> images_{};
  int position_ = 0;
  int count_ = 0;
};

}  // namespace trilane::tourney
