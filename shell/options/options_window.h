#pragma once
// The options window: every choice of the settings record on nine tabs, one page each. Each
// control writes the record the moment it changes (there is no Cancel) and announces what
// changed, so the main window can re-caption, re-size or re-draw while the window is still
// open. The window owns the tabs, the OK button, the record and the services, and passes each
// change on to the pages that depend on it before it announces the change.
#include <QImage>
#include <functional>
#include <memory>
#include <vector>

#include "platform/graphics/card_graphics.h"
#include "platform/graphics/notice.h"
#include "shell/aux_window.h"
#include "shell/options/options_page.h"

class QTabWidget;

namespace trilane {

class OptionsAddonsPage;
class OptionsCardsPage;
class OptionsDecksPage;
class OptionsDesignPage;

class OptionsWindow : public AuxWindow {
  Q_OBJECT

 public:
  OptionsWindow(TSettings& settings, OptionsServices services, QWidget* parent);
  ~OptionsWindow() override;

  // Writes every caption in the current language.
  void Retranslate();
  // Enables the download button of each missing add-on and dims the present ones; the
  // salute boxes need the graphics library.
  void RefreshAddons();
  // Shows the record in the controls (the window does this when it opens).
  void ShowSettings();

  // The four sample faces of the chosen card design / back design, 71 x 96 each, drawn at
  // x = 0, 63, 126 and 189.
  const QImage& CardSamples() const;
  const QImage& BackSamples() const;
  // True while an add-on download runs.
  bool Downloading() const;

 signals:
  void settingChanged(trilane::OptionField field);
  void passportRequested();
  // A download ended; `ok` when the library is in place.
  void downloadFinished(int addon, bool ok);

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // A page changed `field`: the pages that depend on it follow, then it is announced.
  void Report(OptionField field);
  void ApplyButtonLook();
  NoticeSink& Notices();

  TSettings& record_;
  OptionsServices services_;
  SilentNotices silent_;
  std::unique_ptr<CardGraphics> samples_;  // the small card size, for the sample pictures
  std::unique_ptr<OptionsContext> context_;
  std::vector<std::unique_ptr<OptionsPage>> pages_;  // in the order of the tabs
  OptionsCardsPage* cards_ = nullptr;
  OptionsDecksPage* decks_ = nullptr;
  OptionsAddonsPage* addons_ = nullptr;
  OptionsDesignPage* design_ = nullptr;

  QTabWidget* tabs_;
  QorCardsButton* ok_;
};

// The auxiliary-window design list of the options: item 0 "Gray aristocratic", 1 "Gray
// concise", 2 "Gray with red ribbons", 3 "Purple".
int AuxDesignItem(const TSettings& settings);
void SetAuxDesignItem(TSettings& settings, int item);

// Opens the options window over `parent`; `connect` (when given) is called with the window
// before it shows, so the caller can follow its signals. Returns when it is closed.
void OpenOptionsWindow(TSettings& settings, OptionsServices services, QWidget* parent,
                       const std::function<void(OptionsWindow&)>& connect = {});

}  // namespace trilane
