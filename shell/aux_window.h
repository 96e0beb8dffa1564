#pragma once
// The frame every auxiliary window shares: a header in the window design with the window's
// title, a body below it for the window's own controls, the custom buttons in the design's
// colours, and Esc to close. The design is a parameter of the frame; the gray aristocratic
// design (a caption bar with the title in yellow capitals) is the one drawn today.
#include <QDialog>
#include <QImage>
#include <QString>

#include "shell/widgets/qor_button.h"

class QPainter;

namespace trilane {

struct TSettings;

enum class AuxDesign : int {
  kGrayConcise = 1,
  kGrayAristocratic = 2,
  kGrayRibbons = 3,
  kPurple = 4,
};

// The design the settings ask for.
AuxDesign AuxDesignOf(const TSettings& settings);

struct AuxHeader {
  QString title;           // shown in capitals
  int capWidth = 300;      // the caption-bar picture "GCap" + width
  int titleFontBase = 40;  // the title's font height before the serif role's scale
};

// Draws `text` one pixel right and down in the colour halved, then in the colour itself.
// `align` 'l' starts at x1, 'c' centres between x1 and x2, 'r' ends at x2; `y` is the top.
void DrawShadowText(QPainter& painter, const QString& text, int x1, int x2, char align,
                    const QColor& colour, int y);

class AuxWindow : public QDialog {
  Q_OBJECT

 public:
  AuxWindow(const TSettings& settings, AuxHeader header, QWidget* parent,
            AuxDesign design = AuxDesign::kGrayAristocratic);

  AuxDesign Design() const { return design_; }
  int HeaderHeight() const;
  // The window's client size: `width` x (header + `bodyHeight`).
  void SetBodySize(int width, int bodyHeight);
  // The area under the header, where the window puts its controls.
  QWidget* Body() const { return body_; }
  // A custom button in the design's colours.
  QorCardsButton* MakeButton(const QString& caption, QWidget* parent) const;
  // The window's title in the header and the caption bar (the language changed).
  void SetTitle(const QString& title);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

  const TSettings& settings_;

 private:
  AuxHeader header_;
  AuxDesign design_;
  QImage capBar_;
  QWidget* body_;
};

}  // namespace trilane
