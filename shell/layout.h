#pragma once
// The main window is designed on a 760 x 500 canvas. Every position and size on it is
// scaled by three factors: kx for horizontal positions, ky for vertical positions and kc
// for every size, so the table keeps its proportions and the cards their shape when the
// window is wider than it is tall. All roundings are halves-to-even.

#include <QColor>
#include <QRect>
#include <QSize>

namespace trilane {

struct TSettings;

inline constexpr int kBaseWidth = 760;
inline constexpr int kBaseHeight = 500;

// The window sizes of the settings: 1 small, 2 full screen, 3..5 the larger windows.
inline constexpr int kSmallWindow = 1;
inline constexpr int kFullScreen = 2;
inline constexpr int kLargeWindow = 5;

struct ScaleFactors {
  double kx = 1.0;
  double ky = 1.0;
  double kc = 1.0;
  friend bool operator==(const ScaleFactors&, const ScaleFactors&) = default;
};

struct WindowGeometry {
  QSize client{kBaseWidth, kBaseHeight};
  ScaleFactors k;
};

// The client size and factors of a window size. Full screen takes `fullScreenClient` (the
// client area of a window filling the screen's work area); kc is then the smaller of kx
// and ky. A size outside 1..5 is taken as the small window.
WindowGeometry GeometryForWindowSize(int windowSize, QSize fullScreenClient);

// The card picture size of a scale is CardSizeFor in platform/graphics/card_names.h.

// Places elements designed on the base canvas into the window of the given factors.
class Layout {
 public:
  Layout() = default;
  explicit Layout(ScaleFactors k) : k_(k) {}

  double Kx() const { return k_.kx; }
  double Ky() const { return k_.ky; }
  double Kc() const { return k_.kc; }

  // An element designed at (x1, y1)-(x2, y2): scaled uniformly by kc, its centre following
  // the window's (possibly non-uniform) stretch.
  QRect ScaledRect(int x1, int y1, int x2, int y2) const;
  // A size: round(v * kc).
  int Scale(double v) const;

 private:
  ScaleFactors k_;
};

// The colour under the background picture, where the picture does not reach.
QColor WindowColour(int backgroundColour, int background, int menuDesign);
QColor WindowColour(const TSettings& settings);

// The two design colours: the purple of the designs and the gold caption of the "card"
// look (Button7 and Button8 when the table design is 1).
inline const QColor kDesignPurple{136, 0, 226};
inline const QColor kDesignGold{200, 175, 50};

}  // namespace trilane
