#pragma once
// The Cards tab: the design of the faces and four sample faces in it.
#include <QImage>

#include "shell/options/options_page.h"

class QComboBox;
class QLabel;

namespace trilane {

class OptionsCardsPage : public OptionsPage {
 public:
  using OptionsPage::OptionsPage;

  QWidget* Build() override;
  QString Title() const override;
  void Retranslate() override;
  void ShowSettings() override;
  void Connect() override;

  // Draws the sample faces of the chosen design.
  void DrawSamples();
  // A jack, a queen, a king and an ace, 71 x 96 each, drawn at x = 0, 63, 126 and 189.
  const QImage& Samples() const { return samples_; }

 private:
  void OnCardDesign(int item);

  QComboBox* cardDesign_ = nullptr;
  QLabel* cardImage_ = nullptr;
  QImage samples_;
};

}  // namespace trilane
