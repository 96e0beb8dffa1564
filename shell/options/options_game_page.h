#pragma once
// The Game tab: the rules ("2-4" or "1-6").
#include "shell/options/options_page.h"

class QButtonGroup;
class QGroupBox;

namespace trilane {

class OptionsGamePage : public OptionsPage {
 public:
  using OptionsPage::OptionsPage;

  QWidget* Build() override;
  QString Title() const override;
  void Retranslate() override;
  void ShowSettings() override;
  void Connect() override;

 private:
  QGroupBox* rulesGroup_ = nullptr;
  QButtonGroup* rules_ = nullptr;
};

}  // namespace trilane
