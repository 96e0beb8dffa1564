#include "shell/options/options_fonts_page.h"

#include <QComboBox>
#include <QFontComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <algorithm>

#include "records/settings.h"
#include "shell/aux_window.h"
#include "shell/modal.h"
#include "shell/options/options_shared.h"
#include "shell/text.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kFontRoleWords[] = {kWordLargeFont, kWordSmallFont, kWordSpecialFont,
                                  kWordSpecialFont};
const TSettings kDefaults{};

}  // namespace

QWidget* OptionsFontsPage::Build() {
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
  fontDefault_ = context_.window->MakeButton(QString(), page);
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

QString OptionsFontsPage::Title() const {
  return WordText(kWordFonts);
}

void OptionsFontsPage::Retranslate() {
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
}

void OptionsFontsPage::ShowSettings() {
  ShowFontRole();
}

size_t OptionsFontsPage::Role() const {
  return static_cast<size_t>(std::clamp(fontRole_->currentIndex(), 0, 3));
}

void OptionsFontsPage::ShowFontRole() {
  const size_t role = Role();
  const QSignalBlocker quietName(fontName_);
  fontName_->setCurrentFont(QFont(FromCp1251(Record().FontName[role])));
  SetValueQuietly(fontScale_, std::clamp(Record().FontScale[role], 50, 150));
}

void OptionsFontsPage::Connect() {
  QObject* owner = context_.window;
  QObject::connect(fontRole_, &QComboBox::currentIndexChanged, owner, [this] { ShowFontRole(); });
  QObject::connect(fontName_, &QFontComboBox::currentFontChanged, owner, [this](const QFont& font) {
    const std::string name = ToCp1251(font.family());
    if (name.empty()) return;
    Record().FontName[Role()] = name;
    Report(OptionField::kFonts);
  });
  QObject::connect(fontScale_, &QSpinBox::valueChanged, owner, [this](int value) {
    Record().FontScale[Role()] = value;
    Report(OptionField::kFonts);
  });
  QObject::connect(fontDefault_, &QAbstractButton::clicked, owner, [this] {
    context_.Salute();
    Record().FontName = kDefaults.FontName;
    Record().FontScale = kDefaults.FontScale;
    ShowFontRole();
    Report(OptionField::kFonts);
  });
}

}  // namespace trilane
