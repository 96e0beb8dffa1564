#include "shell/options/options_cards_page.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "records/settings.h"
#include "rules/cards.h"
#include "shell/aux_window.h"
#include "shell/modal.h"
#include "shell/options/options_shared.h"
#include "words/words.h"

namespace trilane {
namespace {

// The sample faces: a jack, a queen, a king and an ace, one of each suit.
constexpr int kSampleCards[] = {(10 - 1) * 4 + 3, (11 - 1) * 4 + 2, (12 - 1) * 4 + 1,
                                (13 - 1) * 4 + 4};

}  // namespace

QWidget* OptionsCardsPage::Build() {
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  cardDesign_ = new QComboBox(page);
  cardDesign_->setObjectName("ComboBox1");
  cardDesign_->setMaxVisibleItems(16);
  cardImage_ = new QLabel(page);
  cardImage_->setObjectName("Image1");
  cardImage_->setFixedSize(kSampleWidth, kSampleHeight);
  column->addWidget(cardDesign_);
  column->addSpacing(8);
  column->addWidget(cardImage_, 0, Qt::AlignHCenter);
  column->addStretch();
  return page;
}

QString OptionsCardsPage::Title() const {
  return WordText(kWordCards);
}

void OptionsCardsPage::Retranslate() {
  const QSignalBlocker quiet(cardDesign_);
  const int current = cardDesign_->currentIndex();
  cardDesign_->clear();
  for (int design = 0; design < kFaceDesigns; ++design) {
    cardDesign_->addItem(WordText(kWordClassical1 + design));
  }
  cardDesign_->setCurrentIndex(std::max(current, 0));
}

void OptionsCardsPage::ShowSettings() {
  SetIndexQuietly(cardDesign_, std::clamp(Record().CardDesign, 0, kFaceDesigns - 1));
}

void OptionsCardsPage::Connect() {
  QObject::connect(cardDesign_, &QComboBox::currentIndexChanged, context_.window,
                   [this](int item) { OnCardDesign(item); });
}

void OptionsCardsPage::OnCardDesign(int item) {
  Record().CardDesign = item;
  CardLook look = LookOf(Record());
  const bool loaded = context_.samples.LoadCardFaces(look);
  TakeLook(Record(), look);
  if (!loaded) {
    // The faces of a design whose library is missing fall back to the built-in design; the
    // backs follow when the narrow built-in backs came from that library too.
    SetIndexQuietly(cardDesign_, Record().CardDesign);
  }
  DrawSamples();
  Report(OptionField::kCardDesign);
}

void OptionsCardsPage::DrawSamples() {
  samples_ = QImage(kSampleWidth, kSampleHeight, QImage::Format_ARGB32_Premultiplied);
  samples_.fill(Qt::transparent);
  for (int i = 0; i < 4; ++i) {
    const std::string code = CardFromNumber(kSampleCards[i]).code.Bytes();
    context_.samples.DrawCard(i * kSampleStep, 0, code, samples_);
  }
  cardImage_->setPixmap(QPixmap::fromImage(samples_));
}

}  // namespace trilane
