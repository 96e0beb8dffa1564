#pragma once
// "About": the program's name and version, its release date and author line in the current
// language, under the menu's caption picture.
#include "shell/aux_window.h"

namespace trilane {

// The version the program shows.
inline constexpr char kShownVersion[] = "5.7";

class AboutWindow : public AuxWindow {
  Q_OBJECT

 public:
  AboutWindow(const TSettings& settings, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage caption_;
};

}  // namespace trilane
