#pragma once
// The Save games tab: recording the games as GIF pictures, of the window or the whole screen,
// and the delay between the frames.
#include "shell/options/options_page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace trilane {

class OptionsSaveGamesPage : public OptionsPage {
 public:
  using OptionsPage::OptionsPage;

  QWidget* Build() override;
  QString Title() const override;
  void Retranslate() override;
  // Switches recording off unless the window is small.
  void ShowSettings() override;
  void Connect() override;
  // Recording follows the window size.
  void Follow(OptionField field) override;

 private:
  QCheckBox* gifRecording_ = nullptr;
  QComboBox* gifSource_ = nullptr;
  QSpinBox* gifDelay_ = nullptr;
  QLabel* gifDelayLabel_ = nullptr;
};

}  // namespace trilane
