#include "shell/options/options_addons_page.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/graphics/sounds.h"
#include "records/settings.h"
#include "shell/aux_window.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/options/options_shared.h"
#include "table/table_view.h"
#include "words/words.h"

namespace trilane {

OptionsAddonsPage::OptionsAddonsPage(OptionsContext& context, std::function<void()> refresh,
                                     std::function<void(int addon, bool ok)> finished)
    : OptionsPage(context), refresh_(std::move(refresh)), finished_(std::move(finished)) {
  QObject::connect(&downloader_, &AddonDownloader::finished, context_.window,
                   [this](int addon, bool ok) { DownloadEnded(addon, ok); });
}

QWidget* OptionsAddonsPage::Build() {
  auto* page = new QWidget;
  auto* column = new QVBoxLayout(page);
  auto* grid = new QGridLayout;
  grid->setSpacing(4);
  const QFont font = RoleFont(Record(), FontRole::kConew, 12, true);
  for (size_t i = 0; i < kAddonFiles.size(); ++i) {
    const int addon = static_cast<int>(i) + 1;
    auto* button = context_.window->MakeButton(Latin(kAddonFiles[i]), page);
    button->setObjectName(QStringLiteral("ButtonDll%1").arg(addon));
    button->setFont(font);
    button->setFixedHeight(26);
    grid->addWidget(button, static_cast<int>(i) / 3, static_cast<int>(i) % 3);
    addonButtons_[i] = button;
    QObject::connect(button, &QAbstractButton::clicked, context_.window, [this, addon] {
      context_.Salute();
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
  radioList_ = new QButtonGroup(context_.window);
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

QString OptionsAddonsPage::Title() const {
  return QStringLiteral("DLL");
}

void OptionsAddonsPage::Retranslate() {
  radioGroup_->setTitle(WordText(kWordReadingRadioStations));
  radioList_->button(0)->setText(WordText(kWordFromTheServer));
  radioList_->button(1)->setText(WordText(kWordFromDisk));
  for (auto* button : addonButtons_) button->setToolTip(WordText(kWordDownload));
}

void OptionsAddonsPage::ShowSettings() {
  SetCheckedQuietly(radioList_->button(Record().RadioListFromServer ? 0 : 1), true);
}

void OptionsAddonsPage::Connect() {
  QObject::connect(radioList_, &QButtonGroup::idClicked, context_.window, [this](int item) {
    Record().RadioListFromServer = item == 0;
    Report(OptionField::kRadioList);
  });
}

void OptionsAddonsPage::ShowAddons(const AddonState& state) {
  for (size_t i = 0; i < addonButtons_.size(); ++i) {
    addonButtons_[i]->setEnabled(!state.present[i] && downloading_ == 0);
    addonButtons_[i]->SetLightening(state.present[i] ? kPresentAddonLight : 0);
  }
}

void OptionsAddonsPage::StartDownload(int addon) {
  if (!downloader_.Start(addon, context_.services.locator, context_.services.downloadBase)) {
    return;
  }
  downloading_ = addon;
  for (auto* button : addonButtons_) button->setEnabled(false);
  downloadProgress_->show();
  QApplication::setOverrideCursor(Qt::WaitCursor);
}

void OptionsAddonsPage::DownloadEnded(int addon, bool ok) {
  QApplication::restoreOverrideCursor();
  downloading_ = 0;
  downloadProgress_->hide();
  if (context_.services.sounds) {
    context_.services.sounds->PlaySoundRes(
        SoundResourceName(ok ? TableSound::kMessage : TableSound::kFailure), false,
        Record().SoundOn);
  }
  refresh_();
  if (!ok) {
    const std::string_view name = kAddonFiles[static_cast<size_t>(addon - 1)];
    context_.notices.ShowNotice({kWordCantConnectToServer, ""}, {kNoWord, std::string(name)}, {});
  } else {
    Report(OptionField::kAddons);
  }
  finished_(addon, ok);
}

}  // namespace trilane
