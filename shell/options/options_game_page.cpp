#include "shell/options/options_game_page.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "records/settings.h"
#include "shell/aux_window.h"
#include "shell/modal.h"
#include "shell/options/options_shared.h"
#include "words/words.h"

namespace trilane {

QWidget* OptionsGamePage::Build() {
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  rulesGroup_ = new QGroupBox(page);
  rulesGroup_->setObjectName("RadioGroup3");
  auto* items = new QVBoxLayout(rulesGroup_);
  rules_ = new QButtonGroup(context_.window);
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

QString OptionsGamePage::Title() const {
  return WordText(kWordGame);
}

void OptionsGamePage::Retranslate() {
  rulesGroup_->setTitle(WordText(kWordRules));
}

void OptionsGamePage::ShowSettings() {
  SetCheckedQuietly(rules_->button(Record().RuleTwoFour ? 0 : 1), true);
}

void OptionsGamePage::Connect() {
  QObject::connect(rules_, &QButtonGroup::idClicked, context_.window, [this](int item) {
    Record().RuleTwoFour = item == 0;
    Report(OptionField::kRules);
  });
}

}  // namespace trilane
