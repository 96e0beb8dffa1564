#pragma once
// The Background tab: the table's picture and its colour.
#include "shell/options/options_page.h"

class QComboBox;
class QLabel;

namespace trilane {

class OptionsBackgroundPage : public OptionsPage {
 public:
  using OptionsPage::OptionsPage;

  QWidget* Build() override;
  QString Title() const override;
  void Retranslate() override;
  void ShowSettings() override;
  void Connect() override;
  // The menu and table designs decide whether a picture can be chosen.
  void Follow(OptionField field) override;

 private:
  void OnBackground();
  void ShowBackgroundEnabled();

  QLabel* backgroundLabel_ = nullptr;
  QComboBox* backgroundPicture_ = nullptr;
  QComboBox* backgroundColour_ = nullptr;
};

}  // namespace trilane
