#include "shell/options/options_background_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <algorithm>

#include "records/settings.h"
#include "shell/aux_window.h"
#include "shell/modal.h"
#include "shell/options/options_shared.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kBackgroundWords[] = {
    kWordSun,  kWordFelt,   kWordGradient, kWordCloth, kWordBackgroundCarpet,
    kWordTree, kWordCasino, kWordPattern,  kWordSilk,  kWordOrnament};
constexpr int kColourWords[] = {kWordGreen,     kWordRed,      kWordOrang, kWordYellow,
                                kWordLightBlue, kWordDarkBlue, kWordViolet};

}  // namespace

QWidget* OptionsBackgroundPage::Build() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  backgroundLabel_ = new QLabel(page);
  backgroundPicture_ = new QComboBox(page);
  backgroundPicture_->setObjectName("ComboBoxBG1");
  backgroundColour_ = new QComboBox(page);
  backgroundColour_->setObjectName("ComboBoxBG2");
  grid->addWidget(backgroundLabel_, 0, 0, 1, 2);
  grid->addWidget(backgroundPicture_, 1, 0);
  grid->addWidget(backgroundColour_, 1, 1);
  grid->setRowStretch(2, 1);
  return page;
}

QString OptionsBackgroundPage::Title() const {
  return WordText(kWordBackgroundTab);
}

void OptionsBackgroundPage::Retranslate() {
  backgroundLabel_->setText(WordText(kWordBackground));
  SetWordItems(backgroundPicture_, kBackgroundWords);
  SetWordItems(backgroundColour_, kColourWords);
}

void OptionsBackgroundPage::ShowSettings() {
  SetIndexQuietly(backgroundPicture_, std::clamp(Record().Background, 1, 10) - 1);
  SetIndexQuietly(backgroundColour_, std::clamp(Record().BackgroundColour, 0, 6));
  ShowBackgroundEnabled();
}

void OptionsBackgroundPage::Follow(OptionField field) {
  if (field == OptionField::kMenuDesign || field == OptionField::kTableDesign) {
    ShowBackgroundEnabled();
  }
}

void OptionsBackgroundPage::ShowBackgroundEnabled() {
  // With both designs purple no background picture is ever shown.
  const bool choosable = !(Record().MenuDesign == 1 && Record().TableDesign == 1);
  backgroundPicture_->setEnabled(choosable);
  backgroundColour_->setEnabled(choosable);
}

void OptionsBackgroundPage::Connect() {
  QObject::connect(backgroundPicture_, &QComboBox::currentIndexChanged, context_.window,
                   [this] { OnBackground(); });
  QObject::connect(backgroundColour_, &QComboBox::currentIndexChanged, context_.window,
                   [this] { OnBackground(); });
}

void OptionsBackgroundPage::OnBackground() {
  Record().Background = backgroundPicture_->currentIndex() + 1;
  Record().BackgroundColour = backgroundColour_->currentIndex();
  CardLook look = LookOf(Record());
  // Loading the picture checks that it exists; a missing one falls back to the default.
  if (!context_.samples.LoadBackground(false, look, QSize(760, 500), true)) {
    TakeLook(Record(), look);
    SetIndexQuietly(backgroundPicture_, Record().Background - 1);
    SetIndexQuietly(backgroundColour_, Record().BackgroundColour);
  }
  Report(OptionField::kBackground);
}

}  // namespace trilane
