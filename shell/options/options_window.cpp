#include "shell/options/options_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "base/codepage.h"
#include "platform/download.h"
#include "platform/graphics/sounds.h"
#include "platform/pe_resources.h"
#include "records/settings.h"
#include "rules/cards.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "shell/table/speed_window.h"
#include "table/table_view.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kBodyWidth = 500;
constexpr int kBodyHeight = 311;  // 375 under the 64-pixel header of the default design
constexpr int kSampleStep = 63;
constexpr int kSampleWidth = 3 * kSampleStep + 71;
constexpr int kSampleHeight = 96;
constexpr int kFlagWidth = 16;

// The tab the window opened on last; it opens there again for the rest of the run.
int g_lastTab = 0;

// Window-size list: item + 1 is the setting.
constexpr int kWindowSizeWords[] = {kWordSmallWindow, kWordFullScreen, kWordAverageWindow1,
                                    kWordAverageWindow2, kWordLargeWindow};
constexpr const char* kWindowSizeHints[] = {"760 x 500", "", "990 x 650", "1290 x 850",
                                            "1520 x 1000"};
// Back designs 0..12 in the order of their pictures.
constexpr int kBackDesignWords[] = {kWordModern,  kWordClassical1, kWordClassical2, kWordBackCarpet,
                                    kWordCross,   kWordChess,      kWordDiamond,    kWordKnightly,
                                    kWordAnimals, kWordFlowers,    kWordPlaces,     kWordOther,
                                    kWordRussian};
constexpr int kBackgroundWords[] = {
    kWordSun,  kWordFelt,   kWordGradient, kWordCloth, kWordBackgroundCarpet,
    kWordTree, kWordCasino, kWordPattern,  kWordSilk,  kWordOrnament};
constexpr int kColourWords[] = {kWordGreen,     kWordRed,      kWordOrang, kWordYellow,
                                kWordLightBlue, kWordDarkBlue, kWordViolet};
constexpr int kFontRoleWords[] = {kWordLargeFont, kWordSmallFont, kWordSpecialFont,
                                  kWordSpecialFont};
constexpr int kDesignWords[] = {kWordCustomizable, kWordPurple};
constexpr int kAuxDesignWords[] = {kWordGrayAristocratic, kWordGrayConcise, kWordGrayWithRedRibbons,
                                   kWordPurple};
const TSettings kDefaults{};

// The sample faces: a jack, a queen, a king and an ace, one of each suit.
constexpr int kSampleCards[] = {(10 - 1) * 4 + 3, (11 - 1) * 4 + 2, (12 - 1) * 4 + 1,
                                (13 - 1) * 4 + 4};

QString Latin(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Writes the items of a list in the current language, keeping the chosen one.
void SetItems(QComboBox* box, std::initializer_list<QString> items) {
  const QSignalBlocker quiet(box);
  const int current = box->currentIndex();
  if (box->count() != static_cast<int>(items.size())) {
    box->clear();
    for (const QString& item : items) box->addItem(item);
  } else {
    int i = 0;
    for (const QString& item : items) box->setItemText(i++, item);
  }
  box->setCurrentIndex(std::max(current, 0));
}

template <size_t N>
void SetWordItems(QComboBox* box, const int (&words)[N]) {
  const QSignalBlocker quiet(box);
  const int current = box->currentIndex();
  if (box->count() != static_cast<int>(N)) box->clear();
  for (size_t i = 0; i < N; ++i) {
    if (box->count() == static_cast<int>(N)) {
      box->setItemText(static_cast<int>(i), WordText(words[i]));
    } else {
      box->addItem(WordText(words[i]));
    }
  }
  box->setCurrentIndex(std::max(current, 0));
}

void SetIndexQuietly(QComboBox* box, int index) {
  const QSignalBlocker quiet(box);
  box->setCurrentIndex(index);
}

void SetCheckedQuietly(QAbstractButton* box, bool on) {
  const QSignalBlocker quiet(box);
  box->setChecked(on);
}

void SetValueQuietly(QSpinBox* box, int value) {
  const QSignalBlocker quiet(box);
  box->setValue(value);
}

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

// Draws the outline of a small card cell and a picture inside it.
void DrawCell(QPainter& painter, int x, const QImage& picture) {
  if (!picture.isNull()) painter.drawImage(QRect(x + 1, 1, 69, 94), picture);
  painter.setPen(Qt::black);
  painter.drawLine(x + 2, 0, x + 68, 0);
  painter.drawLine(x + 2, 95, x + 68, 95);
  painter.drawLine(x, 2, x, 93);
  painter.drawLine(x + 70, 2, x + 70, 93);
}

bool NeedsGraphicsLibrary(const TSettings& s) {
  return s.MenuDesign == 1 || s.TableDesign == 1 || AuxDesignItem(s) != 0;
}

}  // namespace

int AuxDesignItem(const TSettings& settings) {
  if (settings.AuxPurple) return 3;
  switch (settings.AuxGray) {
    case 1:
      return 1;
    case 3:
      return 2;
    default:
      return 0;
  }
}

void SetAuxDesignItem(TSettings& settings, int item) {
  settings.AuxPurple = item == 3;
  if (item == 1) {
    settings.AuxGray = 1;
  } else if (item == 2) {
    settings.AuxGray = 3;
  } else if (item == 0) {
    settings.AuxGray = 2;
  }
}

OptionsWindow::OptionsWindow(TSettings& settings, OptionsServices services, QWidget* parent)
    : AuxWindow(settings, AuxHeader{WordText(kWordOptions), 300, 40}, parent,
                AuxDesignOf(settings)),
      record_(settings),
      services_(std::move(services)) {
  setObjectName("FormOptions");
  connect(&downloader_, &AddonDownloader::finished, this, &OptionsWindow::DownloadEnded);
  SetBodySize(kBodyWidth, kBodyHeight);
  samples_ = std::make_unique<CardGraphics>(services_.locator, Notices());
  samples_->SetScale(1.0);
  // The designs but the aristocratic one draw on pictures of the graphics library: without
  // it the windows return to the aristocratic design.
  if ((settings.AuxPurple || settings.AuxGray != 2) &&
      !services_.locator.LoadLibrary(Latin(kGraphics)).has_value()) {
    record_.AuxPurple = false;
    record_.AuxGray = 2;
  }

  tabs_ = new QTabWidget(Body());
  tabs_->setObjectName("PageControl1");
  tabs_->setGeometry(5, 4, kBodyWidth - 10, kBodyHeight - 48);
  tabs_->setFont(RoleFont(settings, FontRole::kSerif, 13));
  // Nine tabs share 490 pixels: small captions with little room around them.
  tabs_->tabBar()->setFont(RoleFont(settings, FontRole::kSerif, 11));
  tabs_->tabBar()->setElideMode(Qt::ElideNone);
  tabs_->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
  tabs_->addTab(BuildGeneralTab(), QString());
  tabs_->addTab(BuildCardsTab(), QString());
  tabs_->addTab(BuildDecksTab(), QString());
  tabs_->addTab(BuildGameTab(), QString());
  tabs_->addTab(BuildFontsTab(), QString());
  tabs_->addTab(BuildBackgroundTab(), QString());
  tabs_->addTab(BuildSaveGamesTab(), QString());
  tabs_->addTab(BuildAddonsTab(), QString());
  tabs_->addTab(BuildDesignTab(), QString());

  ok_ = MakeButton(WordText(kWordOk), Body());
  ok_->setObjectName("Button1");
  ok_->setGeometry((kBodyWidth - 120) / 2, kBodyHeight - 38, 120, 30);
  connect(ok_, &QAbstractButton::clicked, this, [this] {
    Salute();
    accept();
  });

  Retranslate();
  ShowSettings();
  RefreshAddons();
  // The faces and backs of the chosen designs, for the samples (a design whose library has
  // gone since the start falls back here as it would on the table).
  CardLook look = Look();
  const bool faces = samples_->LoadCardFaces(look);
  const bool backs = samples_->LoadCardBacks(look);
  TakeLook(look);
  if (!faces) Changed(OptionField::kCardDesign);
  if (!backs) Changed(OptionField::kBackDesign);
  ShowSettings();
  DrawCardSamples();
  DrawBackSamples();
  ConnectControls();
  tabs_->setCurrentIndex(std::clamp(g_lastTab, 0, tabs_->count() - 1));
  connect(tabs_, &QTabWidget::currentChanged, this, [](int tab) { g_lastTab = tab; });
}

OptionsWindow::~OptionsWindow() {
  if (downloading_ != 0) QApplication::restoreOverrideCursor();
}

NoticeSink& OptionsWindow::Notices() {
  return services_.notices ? *services_.notices : static_cast<NoticeSink&>(silent_);
}

QWidget* OptionsWindow::BuildGeneralTab() {
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
    language_->addItem(QIcon(QPixmap::fromImage(flag)), Utf8(Languages()[i].listName));
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
  speed_ = MakeButton(QString(), page);
  speed_->setObjectName("Button3");
  speed_->setFixedHeight(30);
  passport_ = MakeButton(QString(), page);
  passport_->setObjectName("Button4");
  passport_->setFixedHeight(30);
  buttons->addStretch();
  buttons->addWidget(speed_);
  buttons->addWidget(passport_);
  buttons->addStretch();

  grid->addWidget(mainGroup_, 0, 0);
  grid->addWidget(multimediaGroup_, 0, 1);
  grid->addWidget(minorGroup_, 1, 0);
  grid->addLayout(buttons, 1, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  return page;
}

QWidget* OptionsWindow::BuildCardsTab() {
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

QWidget* OptionsWindow::BuildDecksTab() {
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
  modification_ = new QButtonGroup(this);
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

QWidget* OptionsWindow::BuildGameTab() {
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  rulesGroup_ = new QGroupBox(page);
  rulesGroup_->setObjectName("RadioGroup3");
  auto* items = new QVBoxLayout(rulesGroup_);
  rules_ = new QButtonGroup(this);
  const char* names[] = {"2-4", "1-6"};
  for (int i = 0; i < 2; ++i) {
    auto* item = new QRadioButton(QString::fromLatin1(names[i]), rulesGroup_);
    item->setObjectName(QStringLiteral("RadioGroup3_%1").arg(i));
    rules_->addButton(item, i);
    items->addWidget(item);
  }
  column->addWidget(rulesGroup_);
  column->addStretch();
  return page;
}

QWidget* OptionsWindow::BuildFontsTab() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  fontRole_ = new QComboBox(page);
  fontRole_->setObjectName("ComboBoxFont");
  fontName_ = new QFontComboBox(page);
  fontName_->setObjectName("FontComboBox1");
  fontScaleLabel_ = new QLabel(page);
  fontScale_ = new QSpinBox(page);
  fontScale_->setObjectName("SpinEdit1");
  fontScale_->setRange(50, 150);
  fontDefault_ = MakeButton(QString(), page);
  fontDefault_->setObjectName("Button2");
  fontDefault_->setFixedSize(120, 30);
  fontWarning_ = new QLabel(page);
  fontWarning_->setWordWrap(true);
  fontWarning_->setStyleSheet(QStringLiteral("color: rgb(128, 0, 0);"));
  grid->addWidget(fontRole_, 0, 0);
  grid->addWidget(fontName_, 0, 1, 1, 2);
  grid->addWidget(fontScaleLabel_, 1, 0, Qt::AlignRight);
  grid->addWidget(fontScale_, 1, 1);
  grid->addWidget(fontDefault_, 1, 2, Qt::AlignRight);
  grid->addWidget(fontWarning_, 2, 0, 1, 3);
  grid->setRowStretch(3, 1);
  grid->setColumnStretch(1, 1);
  return page;
}

QWidget* OptionsWindow::BuildBackgroundTab() {
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

QWidget* OptionsWindow::BuildSaveGamesTab() {
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

QWidget* OptionsWindow::BuildAddonsTab() {
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  auto* grid = new QGridLayout;
  grid->setSpacing(4);
  const QFont font = RoleFont(settings_, FontRole::kConew, 12, true);
  for (size_t i = 0; i < kAddonFiles.size(); ++i) {
    const int addon = static_cast<int>(i) + 1;
    auto* button = MakeButton(Latin(kAddonFiles[i]), page);
    button->setObjectName(QStringLiteral("ButtonDll%1").arg(addon));
    button->setFont(font);
    button->setFixedHeight(26);
    grid->addWidget(button, static_cast<int>(i) / 3, static_cast<int>(i) % 3);
    addonButtons_[i] = button;
    connect(button, &QAbstractButton::clicked, this, [this, addon] {
      Salute();
      StartDownload(addon);
    });
  }
  downloadProgress_ = new QProgressBar(page);
  downloadProgress_->setObjectName("DownloadProgress");
  downloadProgress_->setRange(0, 0);
  downloadProgress_->setFixedHeight(12);
  downloadProgress_->setTextVisible(false);
  downloadProgress_->hide();
  radioGroup_ = new QGroupBox(page);
  radioGroup_->setObjectName("RGRadio");
  auto* items = new QHBoxLayout(radioGroup_);
  radioList_ = new QButtonGroup(this);
  for (int i = 0; i < 2; ++i) {
    auto* item = new QRadioButton(radioGroup_);
    item->setObjectName(QStringLiteral("RGRadio_%1").arg(i));
    radioList_->addButton(item, i);
    items->addWidget(item);
  }
  column->addLayout(grid);
  column->addWidget(downloadProgress_);
  column->addWidget(radioGroup_);
  column->addStretch();
  return page;
}

QWidget* OptionsWindow::BuildDesignTab() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  menuDesignLabel_ = new QLabel(page);
  tableDesignLabel_ = new QLabel(page);
  auxDesignLabel_ = new QLabel(page);
  menuDesign_ = new QComboBox(page);
  menuDesign_->setObjectName("ComboBoxD1");
  tableDesign_ = new QComboBox(page);
  tableDesign_->setObjectName("ComboBoxD2");
  auxDesign_ = new QComboBox(page);
  auxDesign_->setObjectName("ComboBoxD3");
  saluteGroup_ = new QGroupBox(page);
  auto* salute = new QHBoxLayout(saluteGroup_);
  saluteButtons_ = new QCheckBox(saluteGroup_);
  saluteButtons_->setObjectName("CheckBoxD1");
  saluteCards_ = new QCheckBox(saluteGroup_);
  saluteCards_->setObjectName("CheckBoxD2");
  salute->addWidget(saluteButtons_);
  salute->addWidget(saluteCards_);
  // Each list under its caption: the captions are long in some languages.
  grid->setVerticalSpacing(2);
  grid->addWidget(menuDesignLabel_, 0, 0);
  grid->addWidget(menuDesign_, 1, 0);
  grid->addWidget(tableDesignLabel_, 0, 1);
  grid->addWidget(tableDesign_, 1, 1);
  grid->addWidget(auxDesignLabel_, 2, 0, 1, 2);
  grid->addWidget(auxDesign_, 3, 0);
  grid->addWidget(saluteGroup_, 4, 0, 1, 2);
  grid->setRowStretch(5, 1);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(1, 1);
  return page;
}

void OptionsWindow::Retranslate() {
  // The title and the design's lettering follow the language.
  SetTitle(WordText(kWordOptions));
  const int tabWords[] = {kWordGeneral,       kWordCards,     kWordDecks, kWordGame,  kWordFonts,
                          kWordBackgroundTab, kWordSaveGames, -1,         kWordDesign};
  for (int i = 0; i < tabs_->count(); ++i) {
    tabs_->setTabText(i, tabWords[i] >= 0 ? WordText(tabWords[i]) : QStringLiteral("DLL"));
  }
  ok_->setText(WordText(kWordOk));

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
  speed_->setText(WordText(kWordSpeed) + QLatin1Char('=') + QString::number(record_.FlightSpeed));
  passport_->setText(WordText(kWordPassport));

  {
    const QSignalBlocker quiet(cardDesign_);
    const int current = cardDesign_->currentIndex();
    cardDesign_->clear();
    for (int design = 0; design < kFaceDesigns; ++design) {
      cardDesign_->addItem(WordText(kWordClassical1 + design));
    }
    cardDesign_->setCurrentIndex(std::max(current, 0));
  }
  SetWordItems(backDesign_, kBackDesignWords);
  modificationGroup_->setTitle(WordText(kWordModification));
  modificationItems_[0]->setText(WordText(kWordToChangeDecks));
  modificationItems_[1]->setText(WordText(kWordAlwaysOne));
  modificationItems_[2]->setText(WordText(kWordRandom));
  rulesGroup_->setTitle(WordText(kWordRules));

  {
    const QSignalBlocker quiet(fontRole_);
    const int current = fontRole_->currentIndex();
    fontRole_->clear();
    for (int role = 0; role < 4; ++role) {
      QString name = WordText(kFontRoleWords[role]);
      if (role >= 2) name += QStringLiteral(" %1").arg(role - 1);
      fontRole_->addItem(name);
    }
    fontRole_->setCurrentIndex(std::max(current, 0));
  }
  fontScaleLabel_->setText(WordText(kWordScalePercent));
  fontDefault_->setText(WordText(kWordDefault));
  fontWarning_->setText(WordText(kWordFontSettingsWarning));

  backgroundLabel_->setText(WordText(kWordBackground));
  SetWordItems(backgroundPicture_, kBackgroundWords);
  SetWordItems(backgroundColour_, kColourWords);

  gifRecording_->setText(WordText(kWordSaveGamesAsGIFs));
  SetItems(gifSource_, {WordText(kWordSaveMainWindowOnly), WordText(kWordSaveWholeScreen)});
  gifDelayLabel_->setText(WordText(kWordFrameDelay));

  radioGroup_->setTitle(WordText(kWordReadingRadioStations));
  radioList_->button(0)->setText(WordText(kWordFromTheServer));
  radioList_->button(1)->setText(WordText(kWordFromDisk));
  for (auto* button : addonButtons_) button->setToolTip(WordText(kWordDownload));

  menuDesignLabel_->setText(WordText(kWordMainMenuDesign));
  tableDesignLabel_->setText(WordText(kWordGameTableDesign));
  auxDesignLabel_->setText(WordText(kWordAuxiliaryWindowDesign));
  SetWordItems(menuDesign_, kDesignWords);
  SetWordItems(tableDesign_, kDesignWords);
  SetWordItems(auxDesign_, kAuxDesignWords);
  saluteGroup_->setTitle(WordText(kWordSalute));
  saluteButtons_->setText(WordText(kWordButtons));
  saluteCards_->setText(WordText(kWordDesignCards));
  update();
}

void OptionsWindow::ShowSettings() {
  const TSettings& s = record_;
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
  speed_->setText(WordText(kWordSpeed) + QLatin1Char('=') + QString::number(s.FlightSpeed));

  SetIndexQuietly(cardDesign_, std::clamp(s.CardDesign, 0, kFaceDesigns - 1));
  SetIndexQuietly(backDesign_, std::clamp(s.BackDesign, 0, kBackDesigns - 1));
  ShowBackModification();
  SetCheckedQuietly(rules_->button(s.RuleTwoFour ? 0 : 1), true);
  ShowFontRole();
  SetIndexQuietly(backgroundPicture_, std::clamp(s.Background, 1, 10) - 1);
  SetIndexQuietly(backgroundColour_, std::clamp(s.BackgroundColour, 0, 6));
  ShowBackgroundEnabled();
  ShowGifControls();
  SetCheckedQuietly(radioList_->button(s.RadioListFromServer ? 0 : 1), true);
  SetIndexQuietly(menuDesign_, s.MenuDesign == 1 ? 1 : 0);
  SetIndexQuietly(tableDesign_, s.TableDesign == 1 ? 1 : 0);
  SetIndexQuietly(auxDesign_, AuxDesignItem(s));
  SetCheckedQuietly(saluteButtons_, s.SaluteButtons);
  SetCheckedQuietly(saluteCards_, s.SaluteCards);
  ApplyButtonLook();
}

void OptionsWindow::ShowBackModification() {
  const bool collection = IsCollection(record_.BackDesign);
  modificationItems_[0]->setEnabled(!collection);
  modificationItems_[1]->setEnabled(!collection);
  modificationItems_[2]->setEnabled(collection);
  const int item = collection ? 2 : (record_.BackAlwaysOne ? 1 : 0);
  SetCheckedQuietly(modificationItems_[static_cast<size_t>(item)], true);
}

void OptionsWindow::ShowFontRole() {
  const int role = std::clamp(fontRole_->currentIndex(), 0, 3);
  const QSignalBlocker quietName(fontName_);
  fontName_->setCurrentFont(
      QFont(QString::fromStdString(Cp1251ToUtf8(record_.FontName[static_cast<size_t>(role)]))));
  SetValueQuietly(fontScale_, std::clamp(record_.FontScale[static_cast<size_t>(role)], 50, 150));
}

void OptionsWindow::ShowGifControls() {
  // Recordings are made of the small window only.
  const bool small = record_.WindowSize == 1;
  if (!small) record_.GifRecording = false;
  gifRecording_->setEnabled(small);
  SetCheckedQuietly(gifRecording_, record_.GifRecording);
  SetIndexQuietly(gifSource_, record_.GifSource == 2 ? 1 : 0);
  SetValueQuietly(gifDelay_, std::clamp(record_.GifDelay, 10, 5000));
}

void OptionsWindow::ShowBackgroundEnabled() {
  // With both designs purple no background picture is ever shown.
  const bool choosable = !(record_.MenuDesign == 1 && record_.TableDesign == 1);
  backgroundPicture_->setEnabled(choosable);
  backgroundColour_->setEnabled(choosable);
}

void OptionsWindow::ApplyButtonLook() {
  for (auto* button : findChildren<QorCardsButton*>()) {
    button->SetAlternativeLook(record_.NewButtons);
  }
}

void OptionsWindow::ConnectControls() {
  connect(language_, &QComboBox::currentIndexChanged, this, &OptionsWindow::OnLanguage);
  connect(windowSize_, &QComboBox::currentIndexChanged, this, &OptionsWindow::OnWindowSize);
  const auto box = [this](QCheckBox* check, OptionField field, auto write) {
    connect(check, &QCheckBox::toggled, this, [this, field, write](bool on) {
      write(record_, on);
      Changed(field);
    });
  };
  box(netMode_, OptionField::kNetMode, [](TSettings& s, bool on) { s.NetMode = on; });
  box(sound_, OptionField::kSound, [](TSettings& s, bool on) { s.SoundOn = on; });
  box(music_, OptionField::kMusic, [](TSettings& s, bool on) { s.MusicOn = on; });
  box(gifAnimation_, OptionField::kGifAnimation,
      [](TSettings& s, bool on) { s.GifAnimationOn = on; });
  box(flyCards_, OptionField::kFlyCards, [](TSettings& s, bool on) { s.FlyCardsOn = on; });
  box(ownCursor_, OptionField::kOwnCursor, [](TSettings& s, bool on) { s.OwnCursor = on; });
  box(saluteButtons_, OptionField::kSalute, [](TSettings& s, bool on) { s.SaluteButtons = on; });
  box(saluteCards_, OptionField::kSalute, [](TSettings& s, bool on) { s.SaluteCards = on; });
  box(gifRecording_, OptionField::kGifRecording,
      [](TSettings& s, bool on) { s.GifRecording = on && s.WindowSize == 1; });
  connect(newButtons_, &QCheckBox::toggled, this, [this](bool on) {
    record_.NewButtons = on;
    ApplyButtonLook();
    Changed(OptionField::kNewButtons);
  });
  connect(speed_, &QAbstractButton::clicked, this, &OptionsWindow::OnSpeed);
  connect(passport_, &QAbstractButton::clicked, this, [this] {
    Salute();
    emit passportRequested();
  });

  connect(cardDesign_, &QComboBox::currentIndexChanged, this, &OptionsWindow::OnCardDesign);
  connect(backDesign_, &QComboBox::currentIndexChanged, this, &OptionsWindow::OnBackDesign);
  connect(modification_, &QButtonGroup::idClicked, this, &OptionsWindow::OnBackModification);
  connect(rules_, &QButtonGroup::idClicked, this, [this](int item) {
    record_.RuleTwoFour = item == 0;
    Changed(OptionField::kRules);
  });

  connect(fontRole_, &QComboBox::currentIndexChanged, this, &OptionsWindow::OnFontRole);
  connect(fontName_, &QFontComboBox::currentFontChanged, this, [this](const QFont& font) {
    const size_t role = static_cast<size_t>(std::clamp(fontRole_->currentIndex(), 0, 3));
    const auto name = Utf8ToCp1251(font.family().toStdString(), '?');
    if (!name || name->empty()) return;
    record_.FontName[role] = *name;
    Changed(OptionField::kFonts);
  });
  connect(fontScale_, &QSpinBox::valueChanged, this, [this](int value) {
    const size_t role = static_cast<size_t>(std::clamp(fontRole_->currentIndex(), 0, 3));
    record_.FontScale[role] = value;
    Changed(OptionField::kFonts);
  });
  connect(fontDefault_, &QAbstractButton::clicked, this, [this] {
    Salute();
    record_.FontName = kDefaults.FontName;
    record_.FontScale = kDefaults.FontScale;
    ShowFontRole();
    Changed(OptionField::kFonts);
  });

  connect(backgroundPicture_, &QComboBox::currentIndexChanged, this, &OptionsWindow::OnBackground);
  connect(backgroundColour_, &QComboBox::currentIndexChanged, this, &OptionsWindow::OnBackground);

  connect(gifSource_, &QComboBox::currentIndexChanged, this, [this](int item) {
    record_.GifSource = item + 1;
    Changed(OptionField::kGifRecording);
  });
  connect(gifDelay_, &QSpinBox::valueChanged, this, [this](int value) {
    record_.GifDelay = value;
    Changed(OptionField::kGifRecording);
  });

  connect(radioList_, &QButtonGroup::idClicked, this, [this](int item) {
    record_.RadioListFromServer = item == 0;
    Changed(OptionField::kRadioList);
  });

  connect(menuDesign_, &QComboBox::currentIndexChanged, this, &OptionsWindow::OnDesign);
  connect(tableDesign_, &QComboBox::currentIndexChanged, this, &OptionsWindow::OnDesign);
  connect(auxDesign_, &QComboBox::currentIndexChanged, this, &OptionsWindow::OnDesign);
}

void OptionsWindow::Changed(OptionField field) {
  emit settingChanged(field);
}

void OptionsWindow::Salute() {
  if (record_.SaluteButtons && services_.salute) services_.salute();
}

void OptionsWindow::OnLanguage(int item) {
  record_.LanguageIndex = item;
  SetLanguageIndex(item);
  Retranslate();
  ShowSettings();
  Changed(OptionField::kLanguage);
}

void OptionsWindow::OnWindowSize(int item) {
  record_.WindowSize = item + 1;
  windowSize_->setToolTip(QString::fromLatin1(kWindowSizeHints[item]));
  const bool wasRecording = record_.GifRecording;
  ShowGifControls();
  Changed(OptionField::kWindowSize);
  if (wasRecording != record_.GifRecording) Changed(OptionField::kGifRecording);
}

void OptionsWindow::OnSpeed() {
  Salute();
  const int before = record_.FlightSpeed;
  SpeedWindow speed(record_, this);
  ExecModal(speed);
  speed_->setText(WordText(kWordSpeed) + QLatin1Char('=') + QString::number(record_.FlightSpeed));
  if (record_.FlightSpeed != before) Changed(OptionField::kFlightSpeed);
}

CardLook OptionsWindow::Look() const {
  CardLook look;
  look.cardDesign = record_.CardDesign;
  look.backDesign = record_.BackDesign;
  look.backAlwaysOne = record_.BackAlwaysOne;
  look.background = record_.Background;
  look.backgroundColour = record_.BackgroundColour;
  look.auxPurple = record_.AuxPurple;
  look.menuDesign = record_.MenuDesign;
  look.tableDesign = record_.TableDesign;
  return look;
}

void OptionsWindow::TakeLook(const CardLook& look) {
  record_.CardDesign = look.cardDesign;
  record_.BackDesign = look.backDesign;
  record_.BackAlwaysOne = look.backAlwaysOne;
  record_.Background = look.background;
  record_.BackgroundColour = look.backgroundColour;
  record_.AuxPurple = look.auxPurple;
  record_.MenuDesign = look.menuDesign;
  record_.TableDesign = look.tableDesign;
}

void OptionsWindow::OnCardDesign(int item) {
  record_.CardDesign = item;
  CardLook look = Look();
  const bool loaded = samples_->LoadCardFaces(look);
  TakeLook(look);
  if (!loaded) {
    // The faces of a design whose library is missing fall back to the built-in design; the
    // backs follow when the narrow built-in backs came from that library too.
    SetIndexQuietly(cardDesign_, record_.CardDesign);
  }
  DrawCardSamples();
  Changed(OptionField::kCardDesign);
}

void OptionsWindow::OnBackDesign(int item) {
  record_.BackDesign = item;
  CardLook look = Look();
  const bool loaded = samples_->LoadCardBacks(look);
  TakeLook(look);
  if (!loaded) SetIndexQuietly(backDesign_, record_.BackDesign);
  ShowBackModification();
  if (IsCollection(record_.BackDesign)) record_.BackAlwaysOne = false;
  DrawBackSamples();
  Changed(OptionField::kBackDesign);
}

void OptionsWindow::OnBackModification(int item) {
  record_.BackAlwaysOne = item == 1;
  Changed(OptionField::kBackDesign);
}

void OptionsWindow::OnFontRole(int) {
  ShowFontRole();
}

void OptionsWindow::OnBackground() {
  record_.Background = backgroundPicture_->currentIndex() + 1;
  record_.BackgroundColour = backgroundColour_->currentIndex();
  CardLook look = Look();
  // Loading the picture checks that it exists; a missing one falls back to the default.
  if (!samples_->LoadBackground(false, look, QSize(760, 500), true)) {
    TakeLook(look);
    SetIndexQuietly(backgroundPicture_, record_.Background - 1);
    SetIndexQuietly(backgroundColour_, record_.BackgroundColour);
  }
  Changed(OptionField::kBackground);
}

void OptionsWindow::OnDesign() {
  const TSettings before = record_;
  record_.MenuDesign = menuDesign_->currentIndex();
  record_.TableDesign = tableDesign_->currentIndex();
  SetAuxDesignItem(record_, auxDesign_->currentIndex());
  if (NeedsGraphicsLibrary(record_) &&
      !services_.locator.LoadLibrary(Latin(kGraphics)).has_value()) {
    Notices().ShowNotice({kWordCantFindFile, " " + std::string(kGraphics)}, {}, {});
    record_.MenuDesign = 0;
    record_.TableDesign = 0;
    SetAuxDesignItem(record_, 0);
    SetIndexQuietly(menuDesign_, 0);
    SetIndexQuietly(tableDesign_, 0);
    SetIndexQuietly(auxDesign_, 0);
  }
  ShowBackgroundEnabled();
  if (record_.MenuDesign != before.MenuDesign) Changed(OptionField::kMenuDesign);
  if (record_.TableDesign != before.TableDesign) Changed(OptionField::kTableDesign);
  if (record_.AuxPurple != before.AuxPurple || record_.AuxGray != before.AuxGray) {
    Changed(OptionField::kAuxDesign);
  }
}

void OptionsWindow::DrawCardSamples() {
  cardSamples_ = QImage(kSampleWidth, kSampleHeight, QImage::Format_ARGB32_Premultiplied);
  cardSamples_.fill(Qt::transparent);
  for (int i = 0; i < 4; ++i) {
    const std::string code = CardFromNumber(kSampleCards[i]).code.Bytes();
    samples_->DrawCard(i * kSampleStep, 0, code, cardSamples_);
  }
  cardImage_->setPixmap(QPixmap::fromImage(cardSamples_));
}

void OptionsWindow::DrawBackSamples() {
  backSamples_ = QImage(kSampleWidth, kSampleHeight, QImage::Format_ARGB32_Premultiplied);
  backSamples_.fill(Qt::transparent);
  QPainter painter(&backSamples_);
  for (int i = 0; i < 4; ++i) DrawCell(painter, i * kSampleStep, samples_->BackBitmap(i + 1));
  painter.end();
  backImage_->setPixmap(QPixmap::fromImage(backSamples_));
}

void OptionsWindow::RefreshAddons() {
  const AddonState state = AddonPresence(services_.locator);
  for (size_t i = 0; i < addonButtons_.size(); ++i) {
    addonButtons_[i]->setEnabled(!state.present[i] && downloading_ == 0);
    addonButtons_[i]->SetLightening(state.present[i] ? kPresentAddonLight : 0);
  }
  saluteButtons_->setEnabled(state.saluteAvailable);
  saluteCards_->setEnabled(state.saluteAvailable);
  if (!state.saluteAvailable && (record_.SaluteButtons || record_.SaluteCards)) {
    record_.SaluteButtons = false;
    record_.SaluteCards = false;
    SetCheckedQuietly(saluteButtons_, false);
    SetCheckedQuietly(saluteCards_, false);
    Changed(OptionField::kSalute);
  }
}

void OptionsWindow::StartDownload(int addon) {
  if (!downloader_.Start(addon, services_.locator, services_.downloadBase)) return;
  downloading_ = addon;
  for (auto* button : addonButtons_) button->setEnabled(false);
  downloadProgress_->show();
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void OptionsWindow::DownloadEnded(int addon, bool ok) {
  QApplication::restoreOverrideCursor();
  downloading_ = 0;
  downloadProgress_->hide();
  if (services_.sounds)
    services_.sounds->PlaySoundRes(
        SoundResourceName(ok ? TableSound::kMessage : TableSound::kFailure), false,
        record_.SoundOn);
  RefreshAddons();
  if (!ok) {
    const std::string_view name = kAddonFiles[static_cast<size_t>(addon - 1)];
    Notices().ShowNotice({kWordCantConnectToServer, ""}, {kNoWord, std::string(name)}, {});
  } else {
    Changed(OptionField::kAddons);
  }
  emit downloadFinished(addon, ok);
}

void OptionsWindow::showEvent(QShowEvent* event) {
  AuxWindow::showEvent(event);
  RefreshAddons();
}

void OptionsWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    accept();
    return;
  }
  AuxWindow::keyPressEvent(event);
}

void OpenOptionsWindow(TSettings& settings, OptionsServices services, QWidget* parent,
                       const std::function<void(OptionsWindow&)>& connect) {
  OptionsWindow window(settings, std::move(services), parent);
  if (connect) connect(window);
  ExecModal(window);
}

}  // namespace trilane
