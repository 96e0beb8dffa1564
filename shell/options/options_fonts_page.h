#pragma once
// The Fonts tab: the typeface and scale of each of the four font roles, and the defaults.
#include "shell/options/options_page.h"

class QComboBox;
class QFontComboBox;
class QLabel;
class QSpinBox;

namespace trilane {

class QorCardsButton;

class OptionsFontsPage : public OptionsPage {
 public:
  using OptionsPage::OptionsPage;

  QWidget* Build() override;
  QString Title() const override;
  void Retranslate() override;
  void ShowSettings() override;
  void Connect() override;

 private:
  // Shows the typeface and scale of the role chosen in the role list.
  void ShowFontRole();
  size_t Role() const;

  QComboBox* fontRole_ = nullptr;
  QFontComboBox* fontName_ = nullptr;
  QSpinBox* fontScale_ = nullptr;
  QLabel* fontScaleLabel_ = nullptr;
  QLabel* fontWarning_ = nullptr;
  QorCardsButton* fontDefault_ = nullptr;
};

}  // namespace trilane
