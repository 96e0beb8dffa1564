#pragma once
// The General tab: language, window size, multiplayer, sound and music, the animations, the
// cursor and the buttons, the flight speed and the passport.
#include <functional>

#include "shell/options/options_page.h"

class QCheckBox;
class QComboBox;
class QGroupBox;

namespace trilane {

class QorCardsButton;

class OptionsGeneralPage : public OptionsPage {
 public:
  // `passport` opens the passport window.
  OptionsGeneralPage(OptionsContext& context, std::function<void()> passport);

  QWidget* Build() override;
  QString Title() const override;
  void Retranslate() override;
  void ShowSettings() override;
  void Connect() override;

 private:
  void OnLanguage(int item);
  void OnWindowSize(int item);
  void OnSpeed();
  void ShowSpeed();

  std::function<void()> passport_;
  QGroupBox* mainGroup_ = nullptr;
  QGroupBox* multimediaGroup_ = nullptr;
  QGroupBox* minorGroup_ = nullptr;
  QComboBox* language_ = nullptr;
  QComboBox* windowSize_ = nullptr;
  QCheckBox* netMode_ = nullptr;
  QCheckBox* sound_ = nullptr;
  QCheckBox* music_ = nullptr;
  QCheckBox* gifAnimation_ = nullptr;
  QCheckBox* flyCards_ = nullptr;
  QCheckBox* ownCursor_ = nullptr;
  QCheckBox* newButtons_ = nullptr;
  QorCardsButton* speed_ = nullptr;
  QorCardsButton* passportButton_ = nullptr;
};

}  // namespace trilane
