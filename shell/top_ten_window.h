#pragma once
// The local top ten: the ten best cycle scores of the club file in use, with their names.
#include <cstdint>
#include <string>
#include <vector>

#include "program/club_access.h"
#include "shell/aux_window.h"

namespace trilane {

class AnimationLabel;

class TopTenWindow : public AuxWindow {
  Q_OBJECT

 public:
  // `entries` as read from the club file in use; `net` picks the network titles.
  TopTenWindow(const TSettings& settings, std::vector<TopTenRow> entries, bool net,
               QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<TopTenRow> entries_;
  bool net_;
  AnimationLabel* trophy_;
  AnimationLabel* club_;
};

}  // namespace trilane
