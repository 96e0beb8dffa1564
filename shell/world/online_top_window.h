#pragma once
// The online tournament's top ten: three lists (by score, rating or games), ten rows each,
// and the player's own place in the list chosen, as a medal for places 1 to 10.
#include <array>
#include <optional>

#include "program/world_reads.h"
#include "shell/aux_window.h"
#include "shell/world/world_services.h"

class QRadioButton;

namespace trilane {

class OnlineTopWindow : public AuxWindow {
  Q_OBJECT

 public:
  OnlineTopWindow(WorldServices& services, QWidget* parent);

  // 0 score, 1 rating, 2 games.
  void ChooseList(int index);
  int List() const { return list_; }
  const OnlineTopRead& Shown() const { return read_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  WorldServices& services_;
  int list_ = 0;
  OnlineTopRead read_;
  std::array<QRadioButton*, 3> choices_{};
};

}  // namespace trilane
