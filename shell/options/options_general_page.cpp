#include "shell/options/options_general_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>

#include "records/settings.h"
#include "shell/aux_window.h"
#include "shell/modal.h"
#include "shell/options/options_shared.h"
#include "shell/pictures.h"
#include "shell/table/speed_window.h"
#include "shell/text.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kFlagWidth = 16;

// Window-size list: item + 1 is the setting.
constexpr int kWindowSizeWords[] = {kWordSmallWindow, kWordFullScreen, kWordAverageWindow1,
                                    kWordAverageWindow2, kWordLargeWindow};
constexpr const char* kWindowSizeHints[] = {"760 x 500", "", "990 x 650", "1290 x 850",
                                            "1520 x 1000"};

// The language list draws each language's flag at the item's left edge and its name 20
// pixels in, centred in the item's height.
class FlagDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    item.icon = QIcon();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    const QImage flag = index.data(Qt::UserRole).value<QImage>();
    if (!flag.isNull()) painter->drawImage(option.rect.left() + 2, option.rect.top() + 2, flag);
    painter->save();
    painter->setPen(option.palette.color(
        option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(option.rect.adjusted(20, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), 15));
    return size;
  }
};

}  // namespace

OptionsGeneralPage::OptionsGeneralPage(OptionsContext& context, std::function<void()> passport)
    : OptionsPage(context), passport_(std::move(passport)) {}

QWidget* OptionsGeneralPage::Build() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  grid->setContentsMargins(6, 6, 6, 6);
  grid->setSpacing(6);

  mainGroup_ = new QGroupBox(page);
  auto* main = new QVBoxLayout(mainGroup_);
  language_ = new QComboBox(mainGroup_);
  language_->setObjectName("ComboBoxLan");
  language_->setItemDelegate(new FlagDelegate(language_));
  const QImage flags = ProgramPng("ILLang");
  for (int i = 0; i < kLanguageCount; ++i) {
    const QImage flag = StripFrame(flags, kFlagWidth, i);
    language_->addItem(QIcon(QPixmap::fromImage(flag)), FromUtf8(Languages()[i].listName));
    language_->setItemData(i, flag, Qt::UserRole);
  }
  windowSize_ = new QComboBox(mainGroup_);
  windowSize_->setObjectName("ComboBoxWSize");
  netMode_ = new QCheckBox(mainGroup_);
  netMode_->setObjectName("CheckBoxNet");
  main->addWidget(language_);
  main->addWidget(windowSize_);
  main->addWidget(netMode_);

  multimediaGroup_ = new QGroupBox(page);
  auto* media = new QVBoxLayout(multimediaGroup_);
  sound_ = new QCheckBox(multimediaGroup_);
  sound_->setObjectName("CheckBox1");
  music_ = new QCheckBox(multimediaGroup_);
  music_->setObjectName("CheckBox2");
  gifAnimation_ = new QCheckBox(multimediaGroup_);
  gifAnimation_->setObjectName("CheckBox3");
  media->addWidget(sound_);
  media->addWidget(music_);
  media->addWidget(gifAnimation_);

  minorGroup_ = new QGroupBox(page);
  auto* minor = new QVBoxLayout(minorGroup_);
  flyCards_ = new QCheckBox(minorGroup_);
  flyCards_->setObjectName("CheckBox4");
  ownCursor_ = new QCheckBox(minorGroup_);
  ownCursor_->setObjectName("CheckBoxCur");
  newButtons_ = new QCheckBox(minorGroup_);
  newButtons_->setObjectName("CheckBoxBut");
  minor->addWidget(flyCards_);
  minor->addWidget(ownCursor_);
  minor->addWidget(newButtons_);

  auto* buttons = new QVBoxLayout;
  speed_ = context_.window->MakeButton(QString(), page);
  speed_->setObjectName("Button3");
  speed_->setFixedHeight(30);
  passportButton_ = context_.window->MakeButton(QString(), page);
  passportButton_->setObjectName("Button4");
  passportButton_->setFixedHeight(30);
  buttons->addStretch();
  buttons->addWidget(speed_);
  buttons->addWidget(passportButton_);
  buttons->addStretch();

  grid->addWidget(mainGroup_, 0, 0);
  grid->addWidget(multimediaGroup_, 0, 1);
  grid->addWidget(minorGroup_, 1, 0);
  grid->addLayout(buttons, 1, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  return page;
}

QString OptionsGeneralPage::Title() const {
  return WordText(kWordGeneral);
}

void OptionsGeneralPage::Retranslate() {
  mainGroup_->setTitle(WordText(kWordMain));
  multimediaGroup_->setTitle(WordText(kWordMultimedia));
  minorGroup_->setTitle(WordText(kWordMinor));
  SetWordItems(windowSize_, kWindowSizeWords);
  for (int i = 0; i < windowSize_->count(); ++i) {
    windowSize_->setItemData(i, QString::fromLatin1(kWindowSizeHints[i]), Qt::ToolTipRole);
  }
  netMode_->setText(WordText(kWordMultiplayer));
  sound_->setText(WordText(kWordSound));
  music_->setText(WordText(kWordMusic));
  gifAnimation_->setText(WordText(kWordGifAnimation));
  flyCards_->setText(WordText(kWordFlyCards));
  ownCursor_->setText(WordText(kWordRedMouseCursor));
  newButtons_->setText(WordText(kWordNewButtons));
  ShowSpeed();
  passportButton_->setText(WordText(kWordPassport));
}

void OptionsGeneralPage::ShowSettings() {
  const TSettings& s = Record();
  SetIndexQuietly(language_, std::clamp(DisplayLanguage(s), 0, kLanguageCount - 1));
  SetIndexQuietly(windowSize_, std::clamp(s.WindowSize, 1, 5) - 1);
  windowSize_->setToolTip(QString::fromLatin1(kWindowSizeHints[windowSize_->currentIndex()]));
  SetCheckedQuietly(netMode_, s.NetMode);
  SetCheckedQuietly(sound_, s.SoundOn);
  SetCheckedQuietly(music_, s.MusicOn);
  SetCheckedQuietly(gifAnimation_, s.GifAnimationOn);
  SetCheckedQuietly(flyCards_, s.FlyCardsOn);
  SetCheckedQuietly(ownCursor_, s.OwnCursor);
  SetCheckedQuietly(newButtons_, s.NewButtons);
  ShowSpeed();
}

void OptionsGeneralPage::Connect() {
  QObject* owner = context_.window;
  QObject::connect(language_, &QComboBox::currentIndexChanged, owner,
                   [this](int item) { OnLanguage(item); });
  QObject::connect(windowSize_, &QComboBox::currentIndexChanged, owner,
                   [this](int item) { OnWindowSize(item); });
  const auto box = [this, owner](QCheckBox* check, OptionField field, auto write) {
    QObject::connect(check, &QCheckBox::toggled, owner, [this, field, write](bool on) {
      write(Record(), on);
      Report(field);
    });
  };
  box(netMode_, OptionField::kNetMode, [](TSettings& s, bool on) { s.NetMode = on; });
  box(sound_, OptionField::kSound, [](TSettings& s, bool on) { s.SoundOn = on; });
  box(music_, OptionField::kMusic, [](TSettings& s, bool on) { s.MusicOn = on; });
  box(gifAnimation_, OptionField::kGifAnimation,
      [](TSettings& s, bool on) { s.GifAnimationOn = on; });
  box(flyCards_, OptionField::kFlyCards, [](TSettings& s, bool on) { s.FlyCardsOn = on; });
  box(ownCursor_, OptionField::kOwnCursor, [](TSettings& s, bool on) { s.OwnCursor = on; });
  // The window gives every button of its own the new look as it follows the change.
  box(newButtons_, OptionField::kNewButtons, [](TSettings& s, bool on) { s.NewButtons = on; });
  QObject::connect(speed_, &QAbstractButton::clicked, owner, [this] { OnSpeed(); });
  QObject::connect(passportButton_, &QAbstractButton::clicked, owner, [this] {
    context_.Salute();
    passport_();
  });
}

void OptionsGeneralPage::OnLanguage(int item) {
  Record().LanguageIndex = item;
  SetLanguageIndex(item);
  // The window re-captions every page and shows the record again before announcing it.
  Report(OptionField::kLanguage);
}

void OptionsGeneralPage::OnWindowSize(int item) {
  Record().WindowSize = item + 1;
  windowSize_->setToolTip(QString::fromLatin1(kWindowSizeHints[item]));
  // Recordings are made of the small window only: the save-games page switches recording
  // off as it follows the new size.
  const bool wasRecording = Record().GifRecording;
  Report(OptionField::kWindowSize);
  if (wasRecording != Record().GifRecording) Report(OptionField::kGifRecording);
}

void OptionsGeneralPage::OnSpeed() {
  context_.Salute();
  const int before = Record().FlightSpeed;
  SpeedWindow speed(Record(), context_.window);
  ExecModal(speed);
  ShowSpeed();
  if (Record().FlightSpeed != before) Report(OptionField::kFlightSpeed);
}

void OptionsGeneralPage::ShowSpeed() {
  speed_->setText(WordText(kWordSpeed) + QLatin1Char('=') + QString::number(Record().FlightSpeed));
}

}  // namespace trilane
