#pragma once
// The Decks tab: the design of the backs, four sample backs and how a deck's back is chosen.
#include <QImage>
#include <array>

#include "shell/options/options_page.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace trilane {

class OptionsDecksPage : public OptionsPage {
 public:
  using OptionsPage::OptionsPage;

  QWidget* Build() override;
  QString Title() const override;
  void Retranslate() override;
  void ShowSettings() override;
  void Connect() override;

  // Draws the sample backs of the chosen design.
  void DrawSamples();
  // Four backs, 71 x 96 each, drawn at x = 0, 63, 126 and 189.
  const QImage& Samples() const { return samples_; }

 private:
  void OnBackDesign(int item);
  void OnBackModification(int item);
  void ShowBackModification();

  QComboBox* backDesign_ = nullptr;
  QLabel* backImage_ = nullptr;
  QGroupBox* modificationGroup_ = nullptr;
  QButtonGroup* modification_ = nullptr;
  std::array<QRadioButton*, 3> modificationItems_{};
  QImage samples_;
};

}  // namespace trilane
