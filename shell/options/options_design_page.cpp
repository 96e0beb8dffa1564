#include "shell/options/options_design_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

#include "platform/pe_resources.h"
#include "records/settings.h"
#include "shell/aux_window.h"
#include "shell/modal.h"
#include "shell/options/options_shared.h"
#include "shell/options/options_window.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kDesignWords[] = {kWordCustomizable, kWordPurple};
constexpr int kAuxDesignWords[] = {kWordGrayAristocratic, kWordGrayConcise, kWordGrayWithRedRibbons,
                                   kWordPurple};

bool NeedsGraphicsLibrary(const TSettings& s) {
  return s.MenuDesign == 1 || s.TableDesign == 1 || AuxDesignItem(s) != 0;
}

}  // namespace

QWidget* OptionsDesignPage::Build() {
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

QString OptionsDesignPage::Title() const {
  return WordText(kWordDesign);
}

void OptionsDesignPage::Retranslate() {
  menuDesignLabel_->setText(WordText(kWordMainMenuDesign));
  tableDesignLabel_->setText(WordText(kWordGameTableDesign));
  auxDesignLabel_->setText(WordText(kWordAuxiliaryWindowDesign));
  SetWordItems(menuDesign_, kDesignWords);
  SetWordItems(tableDesign_, kDesignWords);
  SetWordItems(auxDesign_, kAuxDesignWords);
  saluteGroup_->setTitle(WordText(kWordSalute));
  saluteButtons_->setText(WordText(kWordButtons));
  saluteCards_->setText(WordText(kWordDesignCards));
}

void OptionsDesignPage::ShowSettings() {
  const TSettings& s = Record();
  SetIndexQuietly(menuDesign_, s.MenuDesign == 1 ? 1 : 0);
  SetIndexQuietly(tableDesign_, s.TableDesign == 1 ? 1 : 0);
  SetIndexQuietly(auxDesign_, AuxDesignItem(s));
  SetCheckedQuietly(saluteButtons_, s.SaluteButtons);
  SetCheckedQuietly(saluteCards_, s.SaluteCards);
}

void OptionsDesignPage::Connect() {
  QObject* owner = context_.window;
  QObject::connect(menuDesign_, &QComboBox::currentIndexChanged, owner, [this] { OnDesign(); });
  QObject::connect(tableDesign_, &QComboBox::currentIndexChanged, owner, [this] { OnDesign(); });
  QObject::connect(auxDesign_, &QComboBox::currentIndexChanged, owner, [this] { OnDesign(); });
  QObject::connect(saluteButtons_, &QCheckBox::toggled, owner, [this](bool on) {
    Record().SaluteButtons = on;
    Report(OptionField::kSalute);
  });
  QObject::connect(saluteCards_, &QCheckBox::toggled, owner, [this](bool on) {
    Record().SaluteCards = on;
    Report(OptionField::kSalute);
  });
}

void OptionsDesignPage::OnDesign() {
  TSettings& record = Record();
  const TSettings before = record;
  record.MenuDesign = menuDesign_->currentIndex();
  record.TableDesign = tableDesign_->currentIndex();
  SetAuxDesignItem(record, auxDesign_->currentIndex());
  if (NeedsGraphicsLibrary(record) &&
      !context_.services.locator.LoadLibrary(Latin(kGraphics)).has_value()) {
    context_.notices.ShowNotice({kWordCantFindFile, " " + std::string(kGraphics)}, {}, {});
    record.MenuDesign = 0;
    record.TableDesign = 0;
    SetAuxDesignItem(record, 0);
    SetIndexQuietly(menuDesign_, 0);
    SetIndexQuietly(tableDesign_, 0);
    SetIndexQuietly(auxDesign_, 0);
  }
  // The background page follows the menu and table designs before they are announced.
  if (record.MenuDesign != before.MenuDesign) Report(OptionField::kMenuDesign);
  if (record.TableDesign != before.TableDesign) Report(OptionField::kTableDesign);
  if (record.AuxPurple != before.AuxPurple || record.AuxGray != before.AuxGray) {
    Report(OptionField::kAuxDesign);
  }
}

void OptionsDesignPage::ShowSalute(const AddonState& state) {
  saluteButtons_->setEnabled(state.saluteAvailable);
  saluteCards_->setEnabled(state.saluteAvailable);
  TSettings& record = Record();
  if (!state.saluteAvailable && (record.SaluteButtons || record.SaluteCards)) {
    record.SaluteButtons = false;
    record.SaluteCards = false;
    SetCheckedQuietly(saluteButtons_, false);
    SetCheckedQuietly(saluteCards_, false);
    Report(OptionField::kSalute);
  }
}

}  // namespace trilane
