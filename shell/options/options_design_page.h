#pragma once
// The Design tab: the designs of the main menu, the table and the auxiliary windows, and the
// salute of the buttons and of the cards.
#include "platform/graphics/addons.h"
#include "shell/options/options_page.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;

namespace trilane {

class OptionsDesignPage : public OptionsPage {
 public:
  using OptionsPage::OptionsPage;

  QWidget* Build() override;
  QString Title() const override;
  void Retranslate() override;
  void ShowSettings() override;
  void Connect() override;

  // The salute boxes need the graphics library: without it they are dimmed and switched off.
  void ShowSalute(const AddonState& state);

 private:
  void OnDesign();

  QLabel* menuDesignLabel_ = nullptr;
  QLabel* tableDesignLabel_ = nullptr;
  QLabel* auxDesignLabel_ = nullptr;
  QComboBox* menuDesign_ = nullptr;
  QComboBox* tableDesign_ = nullptr;
  QComboBox* auxDesign_ = nullptr;
  QGroupBox* saluteGroup_ = nullptr;
  QCheckBox* saluteButtons_ = nullptr;
  QCheckBox* saluteCards_ = nullptr;
};

}  // namespace trilane
