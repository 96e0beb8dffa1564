// The table that teaches, played through the window: the reason beside the rows, the
// suggestion and undo by key, a row's name dragged onto another's, and the review after
// the result. With TRILANE_TEACHING_SHOTS naming a folder, the tests leave pictures of what
// they looked at there (small and large window; English, Russian, Chinese).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTest>

#include "records/settings.h"
#include "rules/computer.h"
#include "shell/layout.h"
#include "shell/table/table_widget.h"
#include "shell/widgets/qor_button.h"
#include "table/arrangement_coach.h"
#include "table/review.h"
#include "table_test_app.h"
#include "words/words.h"

namespace trilane {
namespace {

QString Text(int entry) {
  return QString::fromUtf8(Word(entry).data(), static_cast<qsizetype>(Word(entry).size()));
}

class TableTeachingTest : public ::testing::Test {
 protected:
  void SetUp() override { Build(kSmallWindow); }
  void TearDown() override { SetLanguageIndex(0); }

  void Build(int windowSize) {
    test::TableTestApp();
    match_.reset();
    table_.reset();
    settings_.SoundOn = false;
    settings_.FlightSpeed = 6;
    const WindowGeometry g = GeometryForWindowSize(windowSize, QSize(kBaseWidth, kBaseHeight));
    cards_ = &test::TestCards(g.k.kc);
    TableServices services;
    services.settings = &settings_;
    services.cards = cards_;
    table_ = std::make_unique<TableWidget>(services, nullptr);
    match_ = std::make_unique<TableMatch>(table_->View(), &table_->Host());
    table_->ShowMatch(*match_);
    table_->ApplyWindowSize(windowSize, g.client);
    action_ = table_->findChild<QorCardsButton*>(QStringLiteral("Button7"));
    ASSERT_NE(action_, nullptr);
  }

  // A match at the own rows' first layout, which the rows' rule does not allow.
  void StartArranging(uint32_t firstSeed = 1) {
    for (uint32_t seed = firstSeed; seed < firstSeed + 300; ++seed) {
      MatchStart start;
      start.name = "Tester";
      match_->StartLocal(start, seed, false);
      table_->PlayNow();
      table_->FinishTimeline();
      QTest::mouseClick(action_, Qt::LeftButton);
      table_->FinishTimeline();
      if (Flow().Stage() == RoundStage::kArranging && !Flow().OwnArrangementLegal()) return;
    }
    FAIL() << "no seed with an illegal first layout";
  }

  RoundFlow& Flow() { return match_->Flow(); }
  QWidget* Child(const char* name) const {
    return table_->findChild<QWidget*>(QString::fromLatin1(name));
  }
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(table_.get(), static_cast<Qt::Key>(key), modifiers);
    table_->FinishTimeline();
  }

  // A point on a row's name plate, `dx` in from its left end, in the own rows' picture
  // (ImageCards4) and on the table.
  QPoint RowNameLocal(RowIndex row, int dx) const {
    const Layout& layout = table_->TableLayout();
    const std::array<int, 3> reasons = RowReasons(match_->Flow().OwnRows());
    const bool explained = reasons[kFront] || reasons[kMiddle];
    const int top = explained ? 4 + 23 * static_cast<int>(row) : 8 + 30 * static_cast<int>(row);
    return QPoint(3 * (cards_->CardW() + 2) + dx, layout.Scale(top) + layout.Scale(10));
  }
  QPoint RowNameCentre(RowIndex row) const {
    return Child("ImageCards4")->geometry().topLeft() + RowNameLocal(row, cards_->CardW());
  }

  void Shot(const QString& name) {
    const QByteArray dir = qgetenv("TRILANE_TEACHING_SHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(QString::fromLocal8Bit(dir));
    table_->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name + ".png");
  }

  TSettings settings_ = DefaultSettings();
  CardGraphics* cards_ = nullptr;
  std::unique_ptr<TableWidget> table_;
  std::unique_ptr<TableMatch> match_;
  QorCardsButton* action_ = nullptr;
};

TEST_F(TableTeachingTest, TheRowsSayWhyOkIsDisabled) {
  StartArranging();
  const std::array<int, 3> reasons = RowReasons(Flow().OwnRows());
  const int reason = reasons[kFront] ? reasons[kFront] : reasons[kMiddle];
  ASSERT_NE(reason, 0);
  EXPECT_FALSE(action_->isEnabled());
  EXPECT_TRUE(Child("ImageCards4")->accessibleName().contains(Text(reason)));
  // The plate of the row at fault is red: its pixels are more red than blue.
  const QImage picture = Child("ImageCards4")->grab().toImage();
  const QColor colour = picture.pixelColor(
      RowNameLocal(reasons[kFront] ? kFront : kMiddle, table_->TableLayout().Scale(8)));
  EXPECT_GT(colour.red(), colour.blue()) << colour.name().toStdString();
  Shot("reason-size1-lang0");

  // Once the rows rise, the reason is gone and Ok may be pressed.
  Key(Qt::Key_F2);
  ASSERT_TRUE(Flow().OwnArrangementLegal());
  EXPECT_TRUE(action_->isEnabled());
  EXPECT_FALSE(Child("ImageCards4")->accessibleName().contains(Text(reason)));
}

TEST_F(TableTeachingTest, SuggestByKeyAndUndoByCtrlZ) {
  StartArranging();
  const Arrangement first = Flow().OwnRows();
  const Arrangement computer =
      ArrangeByComputer(DealHands(Flow().CurrentDeck(), Flow().Setup().ownSeat)[3]).rows;
  EXPECT_TRUE(table_->CanSuggest());
  EXPECT_FALSE(table_->CanUndo());
  Key(Qt::Key_F2);
  EXPECT_EQ(Flow().OwnRows(), computer);
  EXPECT_TRUE(action_->isEnabled());
  EXPECT_TRUE(table_->CanUndo());
  Shot("suggest-size1-lang0");

  // A swap by the player after the suggestion, then both taken back.
  QTest::keyClick(table_.get(), Qt::Key_Space);  // the frame appears on the Front's first
  QTest::keyClick(table_.get(), Qt::Key_Space);  // card, which is picked
  QTest::keyClick(table_.get(), Qt::Key_Down);
  QTest::keyClick(table_.get(), Qt::Key_Space);  // and swapped with the Middle's first
  table_->FinishTimeline();
  ASSERT_NE(Flow().OwnRows(), computer);
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Flow().OwnRows(), computer);
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Flow().OwnRows(), first);
  EXPECT_FALSE(action_->isEnabled());
  EXPECT_FALSE(table_->CanUndo());
}

TEST_F(TableTeachingTest, DraggingARowsNameOntoAnothersSwapsTheRows) {
  StartArranging();
  Key(Qt::Key_F2);
  const Arrangement before = Flow().OwnRows();
  const QPoint from = RowNameCentre(kMiddle), to = RowNameCentre(kBack);
  QTest::mousePress(table_.get(), Qt::LeftButton, {}, from);
  QMouseEvent move(QEvent::MouseMove, QPointF(to), table_->mapToGlobal(QPointF(to)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(table_.get(), &move);
  QTest::mouseRelease(table_.get(), Qt::LeftButton, {}, to);
  table_->FinishTimeline();
  EXPECT_EQ(Flow().OwnRows().rows[kMiddle], before.rows[kBack]);
  EXPECT_EQ(Flow().OwnRows().rows[kBack], before.rows[kMiddle]);
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Flow().OwnRows(), before);
}

TEST_F(TableTeachingTest, ReviewAfterTheResult) {
  StartArranging();
  Key(Qt::Key_F3);  // nothing to review while arranging
  EXPECT_FALSE(table_->ReviewShown());
  Key(Qt::Key_F2);
  while (Flow().Stage() != RoundStage::kRoundOver) {
    QTest::mouseClick(action_, Qt::LeftButton);
    table_->FinishTimeline();
  }
  ASSERT_TRUE(table_->CanReview());
  Key(Qt::Key_F3);
  ASSERT_TRUE(table_->ReviewShown());
  const QWidget* panel = Child("ImageReview");
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(table_->rect().contains(panel->geometry()));
  Shot("review-size1-lang0");
  // A click anywhere closes it, and the next deal starts without it.
  QTest::mouseClick(table_.get(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(table_->ReviewShown());
  Key(Qt::Key_F3);
  ASSERT_TRUE(table_->ReviewShown());
  QTest::mouseClick(action_, Qt::LeftButton);
  table_->FinishTimeline();
  EXPECT_FALSE(table_->ReviewShown());
}

// The pictures of the teaching parts in both window sizes and three scripts; each is
// checked to lie inside the table.
TEST_F(TableTeachingTest, PicturesInEveryWindowSizeAndScript) {
  for (int size : {kSmallWindow, kLargeWindow}) {
    for (int language : {0, 1, 5}) {
      SCOPED_TRACE(size * 10 + language);
      SetLanguageIndex(language);
      Build(size);
      const QString tag = QStringLiteral("size%1-lang%2").arg(size).arg(language);
      // A deal where the computer's rows were not the best against the three revealed, so
      // that the review has something to show.
      for (uint32_t seed = 7;; ++seed) {
        StartArranging(seed);
        EXPECT_TRUE(table_->rect().contains(Child("ImageCards4")->geometry()));
        Shot("reason-" + tag);
        Key(Qt::Key_F2);
        Shot("suggest-" + tag);
        while (Flow().Stage() != RoundStage::kRoundOver) {
          QTest::mouseClick(action_, Qt::LeftButton);
          table_->FinishTimeline();
        }
        const auto review = ReviewRound(Flow());
        ASSERT_TRUE(review.has_value());
        if (!review->PlayedBest() || seed > 60) break;
      }
      Key(Qt::Key_F3);
      ASSERT_TRUE(table_->ReviewShown());
      EXPECT_TRUE(table_->rect().contains(Child("ImageReview")->geometry()));
      Shot("review-" + tag);
    }
  }
}

}  // namespace
}  // namespace trilane
