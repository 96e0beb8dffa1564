#pragma once
// One tab of the options window. A page builds its controls, captions them in the current
// language, shows the record in them and, once wired, writes each change into the record the
// moment it happens and reports what changed to the window around it.
#include <QString>
#include <functional>
#include <string>

#include "platform/graphics/addons.h"
#include "platform/graphics/notice.h"
#include "platform/resource_module.h"

class QWidget;

namespace trilane {

struct TSettings;
class AuxWindow;
class CardGraphics;
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

// What every page works with, owned by the window.
struct OptionsContext {
  TSettings& record;
  const OptionsServices& services;
  NoticeSink& notices;
  // The small card size, for the sample pictures and the checks that a design exists.
  CardGraphics& samples;
  // The window: the custom buttons' maker, the parent of the dialogs it opens and the owner
  // of the button groups and of the controls' connections.
  AuxWindow* window;
  // A control changed the record.
  std::function<void(OptionField)> report;

  // The salute of a pressed button, while the button salute is on.
  void Salute() const;
};

class OptionsPage {
 public:
  explicit OptionsPage(OptionsContext& context) : context_(context) {}
  virtual ~OptionsPage() = default;
  OptionsPage(const OptionsPage&) = delete;
  OptionsPage& operator=(const OptionsPage&) = delete;

  // The tab's controls on a new page widget.
  virtual QWidget* Build() = 0;
  // The tab's caption in the current language.
  virtual QString Title() const = 0;
  // Writes the controls' captions and list items in the current language.
  virtual void Retranslate() = 0;
  // Shows the record in the controls without reporting a change.
  virtual void ShowSettings() = 0;
  // Wires the controls to the record. The window does this once the record is shown, so
  // filling the lists at the start reports nothing.
  virtual void Connect() = 0;
  // A control of another page changed `field`; a page whose controls depend on it shows
  // them again before the change is announced.
  virtual void Follow(OptionField /*field*/) {}

 protected:
  TSettings& Record() const { return context_.record; }
  void Report(OptionField field) const { context_.report(field); }

  OptionsContext& context_;
};

}  // namespace trilane
