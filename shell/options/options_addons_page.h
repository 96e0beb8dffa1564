#pragma once
// The Add-ons tab: a download button for each add-on library, the download's progress and
// where the radio stations are read from.
#include <array>
#include <functional>

#include "platform/graphics/addons.h"
#include "shell/options/options_page.h"

class QButtonGroup;
class QGroupBox;
class QProgressBar;

namespace trilane {

class QorCardsButton;

class OptionsAddonsPage : public OptionsPage {
 public:
  // `refresh` shows again which add-ons are present (on this page and others); `finished`
  // learns of every download that ended.
  OptionsAddonsPage(OptionsContext& context, std::function<void()> refresh,
                    std::function<void(int addon, bool ok)> finished);

  QWidget* Build() override;
  QString Title() const override;
  void Retranslate() override;
  void ShowSettings() override;
  void Connect() override;

  // Enables the download button of each missing add-on and dims the present ones.
  void ShowAddons(const AddonState& state);
  // The add-on being downloaded, 0 when none.
  int Downloading() const { return downloading_; }

 private:
  void StartDownload(int addon);
  void DownloadEnded(int addon, bool ok);

  std::function<void()> refresh_;
  std::function<void(int, bool)> finished_;
  int downloading_ = 0;
  AddonDownloader downloader_;
  std::array<QorCardsButton*, kAddonFiles.size()> addonButtons_{};
  QProgressBar* downloadProgress_ = nullptr;
  QGroupBox* radioGroup_ = nullptr;
  QButtonGroup* radioList_ = nullptr;
};

}  // namespace trilane
