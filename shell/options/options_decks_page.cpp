#include "shell/options/options_decks_page.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "records/settings.h"
#include "shell/aux_window.h"
#include "shell/modal.h"
#include "shell/options/options_shared.h"
#include "words/words.h"

namespace trilane {
namespace {

// Back designs 0..12 in the order of their pictures.
constexpr int kBackDesignWords[] = {kWordModern,  kWordClassical1, kWordClassical2, kWordBackCarpet,
                                    kWordCross,   kWordChess,      kWordDiamond,    kWordKnightly,
                                    kWordAnimals, kWordFlowers,    kWordPlaces,     kWordOther,
                                    kWordRussian};

}  // namespace

QWidget* OptionsDecksPage::Build() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  backDesign_ = new QComboBox(page);
  backDesign_->setObjectName("ComboBox2");
  backImage_ = new QLabel(page);
  backImage_->setObjectName("Image2");
  backImage_->setFixedSize(kSampleWidth, kSampleHeight);
  modificationGroup_ = new QGroupBox(page);
  modificationGroup_->setObjectName("RadioGroup2");
  auto* items = new QVBoxLayout(modificationGroup_);
  modification_ = new QButtonGroup(context_.window);
  for (int i = 0; i < 3; ++i) {
    modificationItems_[static_cast<size_t>(i)] = new QRadioButton(modificationGroup_);
    modificationItems_[static_cast<size_t>(i)]->setObjectName(
        QStringLiteral("RadioGroup2_%1").arg(i));
    modification_->addButton(modificationItems_[static_cast<size_t>(i)], i);
    items->addWidget(modificationItems_[static_cast<size_t>(i)]);
  }
  grid->addWidget(backDesign_, 0, 0);
  grid->addWidget(backImage_, 1, 0, Qt::AlignLeft | Qt::AlignTop);
  grid->addWidget(modificationGroup_, 0, 1, 2, 1);
  grid->setRowStretch(2, 1);
  return page;
}

QString OptionsDecksPage::Title() const {
  return WordText(kWordDecks);
}

void OptionsDecksPage::Retranslate() {
  SetWordItems(backDesign_, kBackDesignWords);
  modificationGroup_->setTitle(WordText(kWordModification));
  modificationItems_[0]->setText(WordText(kWordToChangeDecks));
  modificationItems_[1]->setText(WordText(kWordAlwaysOne));
  modificationItems_[2]->setText(WordText(kWordRandom));
}

void OptionsDecksPage::ShowSettings() {
  SetIndexQuietly(backDesign_, std::clamp(Record().BackDesign, 0, kBackDesigns - 1));
  ShowBackModification();
}

void OptionsDecksPage::ShowBackModification() {
  const bool collection = IsCollection(Record().BackDesign);
  modificationItems_[0]->setEnabled(!collection);
  modificationItems_[1]->setEnabled(!collection);
  modificationItems_[2]->setEnabled(collection);
  const int item = collection ? 2 : (Record().BackAlwaysOne ? 1 : 0);
  SetCheckedQuietly(modificationItems_[static_cast<size_t>(item)], true);
}

void OptionsDecksPage::Connect() {
  QObject::connect(backDesign_, &QComboBox::currentIndexChanged, context_.window,
                   [this](int item) { OnBackDesign(item); });
  QObject::connect(modification_, &QButtonGroup::idClicked, context_.window,
                   [this](int item) { OnBackModification(item); });
}

void OptionsDecksPage::OnBackDesign(int item) {
  Record().BackDesign = item;
  CardLook look = LookOf(Record());
  const bool loaded = context_.samples.LoadCardBacks(look);
  TakeLook(Record(), look);
  if (!loaded) SetIndexQuietly(backDesign_, Record().BackDesign);
  ShowBackModification();
  if (IsCollection(Record().BackDesign)) Record().BackAlwaysOne = false;
  DrawSamples();
  Report(OptionField::kBackDesign);
}

void OptionsDecksPage::OnBackModification(int item) {
  Record().BackAlwaysOne = item == 1;
  Report(OptionField::kBackDesign);
}

void OptionsDecksPage::DrawSamples() {
  samples_ = QImage(kSampleWidth, kSampleHeight, QImage::Format_ARGB32_Premultiplied);
  samples_.fill(Qt::transparent);
  QPainter painter(&samples_);
  for (int i = 0; i < 4; ++i)
    DrawCell(painter, i * kSampleStep, context_.samples.BackBitmap(i + 1));
  painter.end();
  backImage_->setPixmap(QPixmap::fromImage(samples_));
}

}  // namespace trilane
