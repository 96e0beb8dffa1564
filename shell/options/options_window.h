#pragma once
// The options window: every choice of the settings record on nine tabs. Each control writes
// the record the moment it changes (there is no Cancel) and announces what changed, so the
// main window can re-caption, re-size or re-draw while the window is still open.
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "platform/graphics/addons.h"
#include "platform/graphics/card_graphics.h"
#include "platform/graphics/notice.h"
#include "platform/resource_module.h"
#include "shell/aux_window.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFontComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace trilane {

struct TSettings;
class Sounds;

// What a control of the options window changed.
enum class OptionField {
  kLanguage,
  kWindowSize,
  kNetMode,
  kSound,
  kMusic,
  kGifAnimation,
  kFlyCards,
  kOwnCursor,
  kNewButtons,
  kFlightSpeed,
  kCardDesign,
  kBackDesign,
  kRules,
  kFonts,
  kBackground,
  kGifRecording,  // GifRecording, GifSource and GifDelay
  kRadioList,
  kMenuDesign,
  kTableDesign,
  kAuxDesign,
  kSalute,
  kAddons,  // an add-on library was downloaded
};

// What the options window needs of the program.
struct OptionsServices {
  // Finds the add-on libraries (card designs, backgrounds, the design pictures).
  ResourceLocator locator{QString()};
  // Where "Can`t find the file" notices go; none: they are not shown.
  NoticeSink* notices = nullptr;
  // Sounds of a finished download; none: silent.
  Sounds* sounds = nullptr;
  // The service the missing add-ons are downloaded from.
  std::string downloadBase = kDefaultDownloadBase;
  // The salute at the pointer, played before a button's action while the button salute is
  // on; none: nothing.
  std::function<void()> salute;
};

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
  const QImage& CardSamples() const { return cardSamples_; }
  const QImage& BackSamples() const { return backSamples_; }
  // True while an add-on download runs.
  bool Downloading() const { return downloading_ != 0; }

 signals:
  void settingChanged(trilane::OptionField field);
  void passportRequested();
  // A download ended; `ok` when the library is in place.
  void downloadFinished(int addon, bool ok);

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QWidget* BuildGeneralTab();
  QWidget* BuildCardsTab();
  QWidget* BuildDecksTab();
  QWidget* BuildGameTab();
  QWidget* BuildFontsTab();
  QWidget* BuildBackgroundTab();
  QWidget* BuildSaveGamesTab();
  QWidget* BuildAddonsTab();
  QWidget* BuildDesignTab();
  void ConnectControls();

  void Changed(OptionField field);
  void Salute();
  void OnLanguage(int item);
  void OnWindowSize(int item);
  void OnCardDesign(int item);
  void OnBackDesign(int item);
  void OnBackModification(int item);
  void OnFontRole(int item);
  void OnBackground();
  void OnDesign();
  void OnSpeed();
  void StartDownload(int addon);
  void DownloadEnded(int addon, bool ok);
  void ShowFontRole();
  void ShowBackModification();
  void ShowGifControls();
  void ShowBackgroundEnabled();
  void DrawCardSamples();
  void DrawBackSamples();
  void ApplyButtonLook();
  CardLook Look() const;
  void TakeLook(const CardLook& look);
  NoticeSink& Notices();

  TSettings& record_;
  OptionsServices services_;
  SilentNotices silent_;
  std::unique_ptr<CardGraphics> samples_;  // the small card size, for the sample pictures
  QImage cardSamples_;
  QImage backSamples_;
  int downloading_ = 0;
  AddonDownloader downloader_;

  QTabWidget* tabs_;
  QorCardsButton* ok_;
  // General
  QGroupBox* mainGroup_;
  QGroupBox* multimediaGroup_;
  QGroupBox* minorGroup_;
  QComboBox* language_;
  QComboBox* windowSize_;
  QCheckBox* netMode_;
  QCheckBox* sound_;
  QCheckBox* music_;
  QCheckBox* gifAnimation_;
  QCheckBox* flyCards_;
  QCheckBox* ownCursor_;
  QCheckBox* newButtons_;
  QorCardsButton* speed_;
  QorCardsButton* passport_;
  // Cards and decks
  QComboBox* cardDesign_;
  QLabel* cardImage_;
  QComboBox* backDesign_;
  QLabel* backImage_;
  QGroupBox* modificationGroup_;
  QButtonGroup* modification_;
  std::array<QRadioButton*, 3> modificationItems_{};
  // Game
  QGroupBox* rulesGroup_;
  QButtonGroup* rules_;
  // Fonts
  QComboBox* fontRole_;
  QFontComboBox* fontName_;
  QSpinBox* fontScale_;
  QLabel* fontScaleLabel_;
  QLabel* fontWarning_;
  QorCardsButton* fontDefault_;
  // Background
  QLabel* backgroundLabel_;
  QComboBox* backgroundPicture_;
  QComboBox* backgroundColour_;
  // Save games
  QCheckBox* gifRecording_;
  QComboBox* gifSource_;
  QSpinBox* gifDelay_;
  QLabel* gifDelayLabel_;
  // Add-ons
  std::array<QorCardsButton*, kAddonFiles.size()> addonButtons_{};
  QProgressBar* downloadProgress_;
  QGroupBox* radioGroup_;
  QButtonGroup* radioList_;
  // Design
  QLabel* menuDesignLabel_;
  QLabel* tableDesignLabel_;
  QLabel* auxDesignLabel_;
  QComboBox* menuDesign_;
  QComboBox* tableDesign_;
  QComboBox* auxDesign_;
  QGroupBox* saluteGroup_;
  QCheckBox* saluteButtons_;
  QCheckBox* saluteCards_;
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
