#include "shell/options/options_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

#include "platform/pe_resources.h"
#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/options/options_addons_page.h"
#include "shell/options/options_background_page.h"
#include "shell/options/options_cards_page.h"
#include "shell/options/options_decks_page.h"
#include "shell/options/options_design_page.h"
#include "shell/options/options_fonts_page.h"
#include "shell/options/options_game_page.h"
#include "shell/options/options_general_page.h"
#include "shell/options/options_save_games_page.h"
#include "shell/options/options_shared.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kBodyWidth = 500;
constexpr int kBodyHeight = 311;  // 375 under the 64-pixel header of the default design

// The tab the window opened on last; it opens there again for the rest of the run.
int g_lastTab = 0;

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

  context_ = std::make_unique<OptionsContext>(
      OptionsContext{record_, services_, Notices(), *samples_, this,
                     [this](OptionField field) { Report(field); }});
  OptionsContext& context = *context_;
  pages_.push_back(
      std::make_unique<OptionsGeneralPage>(context, [this] { emit passportRequested(); }));
  pages_.push_back(std::make_unique<OptionsCardsPage>(context));
  cards_ = static_cast<OptionsCardsPage*>(pages_.back().get());
  pages_.push_back(std::make_unique<OptionsDecksPage>(context));
  decks_ = static_cast<OptionsDecksPage*>(pages_.back().get());
  pages_.push_back(std::make_unique<OptionsGamePage>(context));
  pages_.push_back(std::make_unique<OptionsFontsPage>(context));
  pages_.push_back(std::make_unique<OptionsBackgroundPage>(context));
  pages_.push_back(std::make_unique<OptionsSaveGamesPage>(context));
  pages_.push_back(std::make_unique<OptionsAddonsPage>(
      context, [this] { RefreshAddons(); },
      [this](int addon, bool ok) { emit downloadFinished(addon, ok); }));
  addons_ = static_cast<OptionsAddonsPage*>(pages_.back().get());
  pages_.push_back(std::make_unique<OptionsDesignPage>(context));
  design_ = static_cast<OptionsDesignPage*>(pages_.back().get());

  tabs_ = new QTabWidget(Body());
  tabs_->setObjectName("PageControl1");
  tabs_->setGeometry(5, 4, kBodyWidth - 10, kBodyHeight - 48);
  tabs_->setFont(RoleFont(settings, FontRole::kSerif, 13));
  // Nine tabs share 490 pixels: small captions with little room around them.
  tabs_->tabBar()->setFont(RoleFont(settings, FontRole::kSerif, 11));
  tabs_->tabBar()->setElideMode(Qt::ElideNone);
  tabs_->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 5px; }"));
  for (const auto& page : pages_) tabs_->addTab(page->Build(), QString());

  ok_ = MakeButton(WordText(kWordOk), Body());
  ok_->setObjectName("Button1");
  ok_->setGeometry((kBodyWidth - 120) / 2, kBodyHeight - 38, 120, 30);
  connect(ok_, &QAbstractButton::clicked, this, [this] {
    context_->Salute();
    accept();
  });

  Retranslate();
  ShowSettings();
  RefreshAddons();
  // The faces and backs of the chosen designs, for the samples (a design whose library has
  // gone since the start falls back here as it would on the table).
  CardLook look = LookOf(record_);
  const bool faces = samples_->LoadCardFaces(look);
  const bool backs = samples_->LoadCardBacks(look);
  TakeLook(record_, look);
  if (!faces) Report(OptionField::kCardDesign);
  if (!backs) Report(OptionField::kBackDesign);
  ShowSettings();
  cards_->DrawSamples();
  decks_->DrawSamples();
  for (const auto& page : pages_) page->Connect();
  tabs_->setCurrentIndex(std::clamp(g_lastTab, 0, tabs_->count() - 1));
  connect(tabs_, &QTabWidget::currentChanged, this, [](int tab) { g_lastTab = tab; });
}

OptionsWindow::~OptionsWindow() {
  if (Downloading()) QApplication::restoreOverrideCursor();
  // The pages' controls go before the pages, so no control can call a page that is gone.
  delete tabs_;
}

const QImage& OptionsWindow::CardSamples() const {
  return cards_->Samples();
}

const QImage& OptionsWindow::BackSamples() const {
  return decks_->Samples();
}

bool OptionsWindow::Downloading() const {
  return addons_->Downloading() != 0;
}

NoticeSink& OptionsWindow::Notices() {
  return services_.notices ? *services_.notices : static_cast<NoticeSink&>(silent_);
}

void OptionsWindow::Retranslate() {
  // The title and the design's lettering follow the language.
  SetTitle(WordText(kWordOptions));
  for (int i = 0; i < tabs_->count(); ++i) {
    tabs_->setTabText(i, pages_[static_cast<size_t>(i)]->Title());
  }
  ok_->setText(WordText(kWordOk));
  for (const auto& page : pages_) page->Retranslate();
  update();
}

void OptionsWindow::ShowSettings() {
  for (const auto& page : pages_) page->ShowSettings();
  ApplyButtonLook();
}

void OptionsWindow::RefreshAddons() {
  const AddonState state = AddonPresence(services_.locator);
  addons_->ShowAddons(state);
  design_->ShowSalute(state);
}

void OptionsWindow::Report(OptionField field) {
  for (const auto& page : pages_) page->Follow(field);
  if (field == OptionField::kLanguage) {
    Retranslate();
    ShowSettings();
  } else if (field == OptionField::kNewButtons) {
    ApplyButtonLook();
  }
  emit settingChanged(field);
}

void OptionsWindow::ApplyButtonLook() {
  for (auto* button : findChildren<QorCardsButton*>()) {
    button->SetAlternativeLook(record_.NewButtons);
  }
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
