// Placement of the table's elements at every window size, the flight path, the window
// colour and the custom button's pieces.
#include <gtest/gtest.h>

#include <QImage>

#include "records/settings.h"
#include "shell/layout.h"
#include "shell/table/card_flight.h"
#include "shell/table/table_geometry.h"
#include "shell/widgets/qor_button.h"
#include "table_test_app.h"

namespace trilane {
namespace {

struct PlacementCase {
  int windowSize;
  BaseRect base;
  QRect expected;
};

// Expected pixels worked out by hand from the design numbers; the fractional cases at 1.3
// and 1.7 land exactly on halves (253.5, 175.5, 266.5, 348.5, 229.5) and must go to the even
// neighbour. Full screen uses a 1900 x 1040 client: kx 2.5, ky 2.08, kc 2.08.
TEST(ScaledRect, PlacesTableElementsAtEveryWindowSize) {
  const BaseRect hand4{195, 395, 565, 491};
  const BaseRect tablet2{135, 9, 290, 104};
  const BaseRect centre{205, 140, 555, 360};
  const BaseRect plate1{23, 278, 183, 298};
  const PlacementCase cases[] = {
      {1, hand4, QRect(195, 395, 370, 96)},   {1, tablet2, QRect(135, 9, 155, 95)},
      {1, centre, QRect(205, 140, 350, 220)}, {3, hand4, QRect(254, 514, 481, 125)},
      {3, tablet2, QRect(176, 12, 202, 124)}, {3, centre, QRect(266, 182, 455, 286)},
      {3, plate1, QRect(30, 361, 208, 26)},   {4, hand4, QRect(332, 672, 629, 163)},
      {4, tablet2, QRect(230, 15, 264, 162)}, {4, centre, QRect(348, 238, 595, 374)},
      {5, hand4, QRect(390, 790, 740, 192)},  {5, plate1, QRect(46, 556, 320, 40)},
      {2, hand4, QRect(566, 822, 770, 200)},  {2, tablet2, QRect(371, 19, 322, 198)},
      {2, centre, QRect(585, 291, 728, 458)},
  };
  for (const PlacementCase& c : cases) {
    const WindowGeometry g = GeometryForWindowSize(c.windowSize, QSize(1900, 1040));
    const Layout layout(g.k);
    EXPECT_EQ(layout.ScaledRect(c.base.x1, c.base.y1, c.base.x2, c.base.y2), c.expected)
        << "window size " << c.windowSize << " element at " << c.base.x1 << "," << c.base.y1;
  }
}

TEST(ScaledRect, FullScreenKeepsTheTableCentredAndUsesBigCards) {
  const WindowGeometry g = GeometryForWindowSize(kFullScreen, QSize(1900, 1040));
  EXPECT_EQ(g.client, QSize(1900, 1040));
  EXPECT_DOUBLE_EQ(g.k.kx, 2.5);
  EXPECT_DOUBLE_EQ(g.k.ky, 2.08);
  EXPECT_DOUBLE_EQ(g.k.kc, 2.08);
  const CardSize card = CardSizeFor(g.k.kc, true);
  EXPECT_EQ(card.sizeClass, 2);
  const TableGeometry table = ComputeTableGeometry(Layout(g.k), card.width, card.height);
  // The own hand's and the centre's middles sit on the window's vertical middle line.
  auto middle = [](const QRect& r) { return r.left() + r.width() / 2.0; };
  EXPECT_NEAR(middle(table.hands[3]), 950, 1);
  EXPECT_NEAR(middle(table.centre), 950, 1);
  // Hand areas are one card high whatever the design height.
  for (const QRect& hand : table.hands) EXPECT_EQ(hand.height(), 198);
}

TEST(WindowSizes, FixedSizesAndFactors) {
  const struct {
    int size;
    QSize client;
    double k;
  } cases[] = {{1, {760, 500}, 1.0},   {3, {990, 650}, 1.3}, {4, {1290, 850}, 1.7},
               {5, {1520, 1000}, 2.0}, {0, {760, 500}, 1.0}, {9, {760, 500}, 1.0}};
  for (const auto& c : cases) {
    const WindowGeometry g = GeometryForWindowSize(c.size, QSize(1900, 1040));
    EXPECT_EQ(g.client, c.client) << c.size;
    EXPECT_EQ(g.k, (ScaleFactors{c.k, c.k, c.k})) << c.size;
  }
  // Full screen with nothing to measure falls back to the small window.
  EXPECT_EQ(GeometryForWindowSize(kFullScreen, QSize()).client, QSize(760, 500));
}

TEST(Layout, ScaleRoundsHalvesToEven) {
  const Layout layout(ScaleFactors{1.0, 1.0, 1.0});
  EXPECT_EQ(layout.Scale(2.5), 2);
  EXPECT_EQ(layout.Scale(3.5), 4);
  EXPECT_EQ(Layout(ScaleFactors{1.3, 1.3, 1.3}).Scale(35), 46);  // 45.5
}

TEST(TableGeometry, OwnRowsGrowUpwardToThreeRowsAndFitFiveCards) {
  for (int size : {1, 3, 4, 5}) {
    const WindowGeometry g = GeometryForWindowSize(size, QSize());
    const CardSize card = CardSizeFor(g.k.kc, true);
    const TableGeometry table = ComputeTableGeometry(Layout(g.k), card.width, card.height);
    const QRect own = OwnRowsArea(table);
    EXPECT_EQ(own.bottom(), table.hands[3].bottom()) << size;
    EXPECT_EQ(own.height(), 3 * card.height + 2 * table.gap) << size;
    EXPECT_GE(own.width(), 5 * card.width + 4 * table.gap) << size;
    EXPECT_GE(own.top(), 0) << size;
    // The other seats' rows stay inside the window.
    for (int p = 1; p <= 3; ++p) {
      EXPECT_TRUE(QRect(QPoint(0, 0), g.client).contains(SeatRowsArea(table, p))) << size << p;
    }
  }
}

TEST(WindowColour, FollowsTheSettings) {
  EXPECT_EQ(WindowColour(0, 2, 0), QColor(0, 128, 0));
  EXPECT_EQ(WindowColour(2, 2, 0), QColor(128, 64, 0));
  EXPECT_EQ(WindowColour(6, 2, 0), QColor(128, 0, 128));
  EXPECT_EQ(WindowColour(5, 0, 0), QColor(0, 128, 0));     // no background picture: green
  EXPECT_EQ(WindowColour(5, 2, 1), QColor(120, 0, 200));   // the purple menu design
  EXPECT_EQ(WindowColour(42, 2, 0), QColor(128, 0, 128));  // a damaged value stays in range
}

TEST(FlightPath, StepsAlongTheLongerAxis) {
  // A flight onto its own start is one frame.
  EXPECT_EQ(FlightPath(QPoint(5, 7), QPoint(5, 7)), (std::vector<QPoint>{{5, 7}}));
  // Straight down keeps x.
  const std::vector<QPoint> down = FlightPath(QPoint(3, 0), QPoint(3, 4));
  ASSERT_EQ(down.size(), 5u);
  for (size_t i = 0; i < down.size(); ++i) EXPECT_EQ(down[i], QPoint(3, static_cast<int>(i)));
  // Shallow: y = round(x / 4); x = 2 gives 0.5, which goes to 0.
  EXPECT_EQ(FlightPath(QPoint(0, 0), QPoint(4, 1)),
            (std::vector<QPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}));
  // Steep and leftward: x follows y.
  EXPECT_EQ(FlightPath(QPoint(2, 0), QPoint(0, -4)),
            (std::vector<QPoint>{{2, 0}, {2, -1}, {1, -2}, {0, -3}, {0, -4}}));
}

TEST(FlightPath, SlowestSpeedTakesAtLeastFourFifthsOfASecondAcrossTheSmallWindow) {
  EXPECT_GE(400.0 / FlightStepsPerSecond(1), 0.8);
  for (int speed = 1; speed < 6; ++speed)
    EXPECT_LT(FlightStepsPerSecond(speed), FlightStepsPerSecond(speed + 1));
  EXPECT_EQ(FlightStepsPerSecond(0), FlightStepsPerSecond(1));
  EXPECT_EQ(FlightStepsPerSecond(99), FlightStepsPerSecond(6));
}

TEST(QorCardsButton, PiecesFollowTheHeight) {
  const struct {
    int height;
    bool alternative;
    const char* left;
  } cases[] = {{24, false, "R29_L"}, {30, false, "R29_L"}, {31, false, "R44_L"},
               {40, false, "R44_L"}, {45, false, "R44_L"}, {46, false, "R59_L"},
               {40, true, "Q44_L"},  {60, true, "Q59_L"}};
  for (const auto& c : cases) {
    EXPECT_STREQ(QorCardsButton::PieceNames(c.height, c.alternative)[0], c.left) << c.height;
  }
}

// The pixel in the middle of the body, away from the caption.
QRgb BodyPixel(QorCardsButton& button) {
  const QImage image = button.grab().toImage();
  return image.pixel(6 * image.width() / 7, image.height() / 2);
}

TEST(QorCardsButton, DrawsATintedBodyAndGreysWhenDisabled) {
  test::TableTestApp();
  QorCardsButton button;
  button.resize(100, 40);
  button.SetBody(QorCardsButton::BodyColour::kRed);
  const QRgb red = BodyPixel(button);
  EXPECT_GT(qRed(red), qGreen(red) + 60);
  EXPECT_GT(qRed(red), qBlue(red) + 60);

  button.SetBody(QorCardsButton::BodyColour::kBlue);
  const QRgb blue = BodyPixel(button);
  EXPECT_GT(qBlue(blue), qRed(blue) + 60);

  button.setEnabled(false);
  const QRgb grey = BodyPixel(button);
  EXPECT_LE(std::abs(qRed(grey) - qBlue(grey)), 8);
  EXPECT_LE(std::abs(qRed(grey) - qGreen(grey)), 8);

  // Lightening moves the body towards white.
  button.setEnabled(true);
  button.SetLightening(50);
  const QRgb light = BodyPixel(button);
  EXPECT_GT(qRed(light) + qGreen(light), qRed(blue) + qGreen(blue) + 100);
}

}  // namespace
}  // namespace trilane
