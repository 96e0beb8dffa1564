#pragma once
// The four looks of the auxiliary windows beyond the frame's own caption bar: "Gray concise"
// (a 48-pixel header picture), "Gray with red ribbons" (the program's red ribbon with the
// window's gold lettering over it), "Purple" (the window's purple background with its
// lettering, gold captions, "card" buttons and an animated emblem) and "Gray aristocratic",
// which the frame draws itself. The pictures come from the graphics library "QorCGraph1.dll";
// where one is missing the window still gets the look, with its title written instead.
#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>
#include <string_view>

#include "shell/aux_window.h"

class QPainter;
class QWidget;

namespace trilane {

class ResourceLocator;
class QorCardsButton;

// What a window shows in each design, by the window's object name.
struct WindowDesignSpec {
  std::string_view objectName;
  std::string_view key;      // "GForm" + key: the purple background; "" for none
  std::string_view concise;  // the concise header picture (+ the language's suffix)
  bool conciseLocalized;
  int ribbonWidth;  // "GLenta" + width + "x" + height
  int ribbonHeight;
  std::string_view lettering;  // the lettering picture (+ the language's suffix)
  bool letteringLocalized;
  int iconFrames;  // 0: no emblem
  std::string_view iconStrip;
};

// The entry of a window; nullptr for a window without pictures of its own.
const WindowDesignSpec* WindowDesignFor(std::string_view objectName);

// Where the graphics library is looked for (the program folder and its parent); set once at
// start. Until then the folder of the running program.
void SetWindowDesignLibrary(const ResourceLocator& locator);

// The header height of a design: 48 concise, 64 aristocratic and purple, 90 or 100 with the
// ribbons (90 for the windows whose ribbon is 90 high).
int DesignHeaderHeight(AuxDesign design, const WindowDesignSpec* entry);

// The gold of captions in the purple design.
inline const QColor kPurpleCaption{200, 175, 50};

// The design of one window, a child of the window: loads its pictures when the window is
// first painted (its object name is known by then), colours its buttons and labels, and
// runs the purple design's emblem on the timer "Timer48".
class WindowDesign : public QObject {
  Q_OBJECT

 public:
  WindowDesign(QWidget& window, AuxDesign design);

  AuxDesign Design() const { return design_; }
  // Paints the window's background and header in the design; false for the aristocratic
  // design, which the frame draws itself.
  bool Paint(QPainter& painter, const QString& title, const QFont& titleFont);
  // A button of the window in the design's colours.
  void StyleButton(QorCardsButton& button) const;
  // The language changed: the lettering and header pictures are loaded again.
  void Reload();
  // True when every picture the design wants was found.
  bool Complete();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Load();
  void PaintGeneric(QPainter& painter, QRect header, const QString& title, const QFont& font,
                    const QColor& colour) const;

  QWidget& window_;
  AuxDesign design_;
  const WindowDesignSpec* spec_ = nullptr;
  bool loaded_ = false;
  QImage background_;  // purple: "GForm" + key
  QImage header_;      // concise: the header picture; ribbons: the ribbon
  QImage lettering_;   // ribbons and purple
  QImage icons_;       // purple: the emblem's frames
  QTimer* timer_;      // "Timer48": steps the emblem
  int iconFrame_ = 1;
};

}  // namespace trilane
