// What the title screen and the menu's animations draw and hold: the title repaints only
// what moves, and neither keeps its pictures once its screen is left.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPaintEvent>
#include <QTest>
#include <memory>

#include "shell/animation_label.h"
#include "shell/title_screen.h"

namespace trilane {

QApplication& App();  // program_window_test.cpp

namespace {

// Adds up the area of every paint event a widget gets.
class PaintedArea : public QObject {
 public:
  explicit PaintedArea(QWidget* widget) { widget->installEventFilter(this); }
  long long pixels = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
        pixels += static_cast<long long>(r.width()) * r.height();
    }
    return false;
  }
};

class ScreenPicturesTest : public ::testing::Test {
 protected:
  void SetUp() override { App(); }
  // A title screen filling a small window on the screen, its timer held: the tests step
  // the frames themselves.
  void ShowTitle() {
    window_ = std::make_unique<QWidget>();
    window_->resize(760, 500);
    title_ = new TitleScreen(window_.get());
    title_->setGeometry(window_->rect());
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    title_->Prepare();
    title_->Pause();
  }

  std::unique_ptr<QWidget> window_;  // made once the application exists
  TitleScreen* title_ = nullptr;     // owned by the window
};

TEST_F(ScreenPicturesTest, TheTitleRepaintsOnlyWhatMovesAndLeavesNoTrails) {
  ASSERT_NO_FATAL_FAILURE(ShowTitle());
  const QImage first = title_->Picture().copy();
  QApplication::processEvents();

  PaintedArea painted(title_);
  const int ticks = 31;  // the letters change colour three times
  for (int i = 0; i < ticks; ++i) {
    title_->Tick();
    QApplication::processEvents();
  }
  // Four walkers of 60 x 70 where they were and where they are, and now and then the
  // letters' band; the whole picture each time would be 380,000 pixels a frame.
  const long long perFrame = painted.pixels / ticks;
  EXPECT_GT(perFrame, 4 * 60 * 70);
  EXPECT_LT(perFrame, 760 * 500 / 10);

  // Everything away from the walkers' first and present places and from the letters is
  // as it was: nothing is left behind where a walker passed.
  const QImage now = title_->Picture();
  ASSERT_EQ(now.size(), first.size());
  const QRect walkerPath(QPoint(155, 68), QPoint(550 + 60, 362 + 70));
  int differing = 0;
  for (int y = 0; y < now.height(); ++y) {
    if (y >= 170 && y < 240) continue;  // the letters' band
    for (int x = 0; x < now.width(); ++x) {
      const QPoint p(x, y);
      const bool nearCorner =
          (x < 155 + 60 + ticks || x >= 550 - ticks) && (y < 68 + 70 + ticks || y >= 362 - ticks);
      if (walkerPath.contains(p) && nearCorner) continue;  // where the walkers are
      if (now.pixel(p) != first.pixel(p)) ++differing;
    }
  }
  EXPECT_EQ(differing, 0);
  // The walkers have moved: the frame is not the first one.
  EXPECT_NE(now, first);
}

TEST_F(ScreenPicturesTest, AMinimisedTitleDrawsNothingAndGoesOnWhereItStoppedWhenBack) {
  ASSERT_NO_FATAL_FAILURE(ShowTitle());
  title_->Tick();
  const QImage before = title_->Picture().copy();
  window_->setWindowState(Qt::WindowMinimized);
  for (int i = 0; i < 20; ++i) title_->Tick();
  EXPECT_EQ(title_->Picture(), before);
  window_->setWindowState(Qt::WindowNoState);
  title_->Tick();
  EXPECT_NE(title_->Picture(), before);
}

TEST_F(ScreenPicturesTest, ALeftTitleHoldsNoPicturesAndDrawsThemAgainWhenPrepared) {
  TitleScreen title(nullptr);
  title.resize(760, 500);
  title.Prepare();
  ASSERT_FALSE(title.Picture().isNull());
  title.Stop();
  EXPECT_TRUE(title.Picture().isNull());
  EXPECT_FALSE(title.Running());
  title.Tick();  // a late tick draws nothing and does not fail
  EXPECT_TRUE(title.Picture().isNull());
  title.Prepare();
  EXPECT_EQ(title.Picture().size(), QSize(760, 500));
  title.Stop();
}

TEST_F(ScreenPicturesTest, AHiddenAnimationLetsGoOfItsFramesAndRunsOnWhenShownAgain) {
  QWidget screen;
  screen.resize(400, 300);
  auto* animation = new AnimationLabel("GifMenu1", &screen);
  animation->setGeometry(10, 10, 160, 200);
  screen.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
  animation->SetRunning(true);
  ASSERT_TRUE(animation->Running());
  ASSERT_TRUE(animation->FramesHeld());
  ASSERT_FALSE(animation->pixmap().isNull());

  screen.hide();  // the screen is left
  EXPECT_FALSE(animation->FramesHeld());
  EXPECT_TRUE(animation->pixmap().isNull());
  EXPECT_FALSE(animation->Running());

  screen.show();  // and comes back
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
  EXPECT_TRUE(animation->FramesHeld());
  EXPECT_FALSE(animation->pixmap().isNull());
  EXPECT_TRUE(animation->Running());

  // Stopped while hidden, it stays stopped when shown.
  screen.hide();
  animation->SetRunning(false);
  screen.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
  EXPECT_FALSE(animation->Running());
  // Started while hidden, it decodes nothing until it is shown.
  screen.hide();
  animation->SetRunning(true);
  EXPECT_FALSE(animation->FramesHeld());
  screen.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
  EXPECT_TRUE(animation->Running());
}

}  // namespace
}  // namespace trilane
