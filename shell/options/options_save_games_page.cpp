#include "shell/options/options_save_games_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <algorithm>

#include "records/settings.h"
#include "shell/aux_window.h"
#include "shell/modal.h"
#include "shell/options/options_shared.h"
#include "words/words.h"

namespace trilane {

QWidget* OptionsSaveGamesPage::Build() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  gifRecording_ = new QCheckBox(page);
  gifRecording_->setObjectName("CheckBoxSG1");
  gifSource_ = new QComboBox(page);
  gifSource_->setObjectName("ComboBoxSG1");
  gifDelayLabel_ = new QLabel(page);
  gifDelay_ = new QSpinBox(page);
  gifDelay_->setObjectName("SpinEditSG1");
  gifDelay_->setRange(10, 5000);
  gifDelay_->setSingleStep(10);
  grid->addWidget(gifRecording_, 0, 0, 1, 2);
  grid->addWidget(gifSource_, 1, 0, 1, 2);
  grid->addWidget(gifDelayLabel_, 2, 0);
  grid->addWidget(gifDelay_, 2, 1);
  grid->setRowStretch(3, 1);
  grid->setColumnStretch(0, 1);
  return page;
}

QString OptionsSaveGamesPage::Title() const {
  return WordText(kWordSaveGames);
}

void OptionsSaveGamesPage::Retranslate() {
  gifRecording_->setText(WordText(kWordSaveGamesAsGIFs));
  SetItems(gifSource_, {WordText(kWordSaveMainWindowOnly), WordText(kWordSaveWholeScreen)});
  gifDelayLabel_->setText(WordText(kWordFrameDelay));
}

void OptionsSaveGamesPage::ShowSettings() {
  TSettings& record = Record();
  // Recordings are made of the small window only.
  const bool small = record.WindowSize == 1;
  if (!small) record.GifRecording = false;
  gifRecording_->setEnabled(small);
  SetCheckedQuietly(gifRecording_, record.GifRecording);
  SetIndexQuietly(gifSource_, record.GifSource == 2 ? 1 : 0);
  SetValueQuietly(gifDelay_, std::clamp(record.GifDelay, 10, 5000));
}

void OptionsSaveGamesPage::Follow(OptionField field) {
  if (field == OptionField::kWindowSize) ShowSettings();
}

void OptionsSaveGamesPage::Connect() {
  QObject* owner = context_.window;
  QObject::connect(gifRecording_, &QCheckBox::toggled, owner, [this](bool on) {
    Record().GifRecording = on && Record().WindowSize == 1;
    Report(OptionField::kGifRecording);
  });
  QObject::connect(gifSource_, &QComboBox::currentIndexChanged, owner, [this](int item) {
    Record().GifSource = item + 1;
    Report(OptionField::kGifRecording);
  });
  QObject::connect(gifDelay_, &QSpinBox::valueChanged, owner, [this](int value) {
    Record().GifDelay = value;
    Report(OptionField::kGifRecording);
  });
}

}  // namespace trilane
