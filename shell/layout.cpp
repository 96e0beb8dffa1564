#include "shell/layout.h"

#include <algorithm>

#include "base/rounding.h"
#include "records/settings.h"

namespace trilane {

namespace {

int Round(double v) {
  return static_cast<int>(RoundHalfEvenToInt(v));
}

}  // namespace

WindowGeometry GeometryForWindowSize(int windowSize, QSize fullScreenClient) {
  WindowGeometry g;
  auto fixed = [&g](int w, int h, double k) {
    g.client = QSize(w, h);
    g.k = ScaleFactors{k, k, k};
  };
  switch (windowSize) {
    case 3:
      fixed(990, 650, 1.3);
      break;
    case 4:
      fixed(1290, 850, 1.7);
      break;
    case 5:
      fixed(1520, 1000, 2.0);
      break;
    case kFullScreen:
      if (fullScreenClient.width() > 0 && fullScreenClient.height() > 0) {
        g.client = fullScreenClient;
        const double kx = fullScreenClient.width() / static_cast<double>(kBaseWidth);
        const double ky = fullScreenClient.height() / static_cast<double>(kBaseHeight);
        g.k = ScaleFactors{kx, ky, std::min(kx, ky)};
        break;
      }
      // No screen to measure (an offscreen test): the small window.
      fixed(kBaseWidth, kBaseHeight, 1.0);
      break;
    default:
      fixed(kBaseWidth, kBaseHeight, 1.0);
      break;
  }
  return g;
}

QRect Layout::ScaledRect(int x1, int y1, int x2, int y2) const {
  const int w = x2 - x1;
  const int h = y2 - y1;
  const int left = Round(k_.kx * x1) + Round((k_.kx - k_.kc) * w / 2);
  const int top = Round(k_.ky * y1) + Round((k_.ky - k_.kc) * h / 2);
  return QRect(left, top, Round(k_.kc * w), Round(k_.kc * h));
}

int Layout::Scale(double v) const {
  return Round(v * k_.kc);
}

QColor WindowColour(int backgroundColour, int background, int menuDesign) {
  if (menuDesign == 1) return QColor(120, 0, 200);
  if (background == 0) return QColor(0, 128, 0);
  static constexpr int kColours[7][3] = {{0, 128, 0},   {128, 0, 0}, {128, 64, 0}, {128, 128, 0},
                                         {0, 128, 128}, {0, 0, 128}, {128, 0, 128}};
  const int i = std::clamp(backgroundColour, 0, 6);
  return QColor(kColours[i][0], kColours[i][1], kColours[i][2]);
}

QColor WindowColour(const TSettings& settings) {
  return WindowColour(settings.BackgroundColour, settings.Background, settings.MenuDesign);
}

}  // namespace trilane
