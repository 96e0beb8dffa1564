// The table window against the computer: the presses of a round, arranging by clicks, by
// dragging and by keyboard, and input refused while the timeline plays.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "records/settings.h"
#include "rules/computer.h"
#include "shell/layout.h"
#include "shell/table/table_autopilot.h"
#include "shell/table/table_geometry.h"
#include "shell/table/table_widget.h"
#include "shell/widgets/qor_button.h"
#include "table_test_app.h"
#include "words/words.h"

namespace trilane {
namespace {

QString Caption(int entry) {
  return QString::fromUtf8(Word(entry).data(), static_cast<qsizetype>(Word(entry).size()));
}

class TableWidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TableTestApp();
    settings_.SoundOn = false;
    settings_.FlightSpeed = 6;
    cards_ = &test::TestCards(1.0);
    TableServices services;
    services.settings = &settings_;
    services.cards = cards_;
    table_ = std::make_unique<TableWidget>(services, nullptr);
    match_ = std::make_unique<TableMatch>(table_->View(), &table_->Host());
    table_->ShowMatch(*match_);
    table_->ApplyWindowSize(kSmallWindow, QSize(760, 500));
    action_ = table_->findChild<QorCardsButton*>(QStringLiteral("Button7"));
    end_ = table_->findChild<QorCardsButton*>(QStringLiteral("Button8"));
    ASSERT_NE(action_, nullptr);
    ASSERT_NE(end_, nullptr);
  }

  // A match whose first round is played in rows (no special combination anywhere), with
  // the cards already laid into the own rows.
  void StartArranging() {
    for (uint32_t seed = 1; seed < 200; ++seed) {
      MatchStart start;
      start.name = "Tester";
      StartMatch(start, seed, false);
      table_->FinishTimeline();
      QTest::mouseClick(action_, Qt::LeftButton);
      table_->FinishTimeline();
      if (Flow().Stage() == RoundStage::kArranging) return;
    }
    FAIL() << "no seed without a special combination";
  }

  // Makes the own rows legal the way a player would: swap by swap.
  void ArrangeLegally() {
    Hand hand{};
    size_t i = 0;
    for (const Row& row : Flow().OwnRows().rows)
      for (const Card& c : row)
        if (c.code.IsCard()) hand[i++] = c;
    SortHand(hand);
    for (const auto& [a, b] : SwapsToReach(Flow().OwnRows(), ArrangeByComputer(hand).rows)) {
      Click(a);
      Click(b);
      table_->FinishTimeline();
    }
  }

  RoundFlow& Flow() { return match_->Flow(); }

  // A match against the computer on the table, as the program starts one.
  void StartMatch(const MatchStart& start, uint32_t seed, bool ruleTwoFour) {
    match_->StartLocal(start, seed, ruleTwoFour);
    table_->PlayNow();
  }

  // The centre of a place of the own grid, in the table's coordinates.
  QPoint OwnPlace(Slot slot) const {
    const QWidget* area = table_->findChild<QWidget*>(QStringLiteral("ImageCards4"));
    const int w = cards_->CardW(), h = cards_->CardH(), gap = 2;
    return area->geometry().topLeft() + QPoint((slot.slot - 1) * (w + gap) + w / 2,
                                               static_cast<int>(slot.row) * (h + gap) + h / 2);
  }

  void Click(Slot slot) { QTest::mouseClick(table_.get(), Qt::LeftButton, {}, OwnPlace(slot)); }

  TSettings settings_ = DefaultSettings();
  CardGraphics* cards_ = nullptr;
  std::unique_ptr<TableWidget> table_;
  std::unique_ptr<TableMatch> match_;  // goes before the table it shows on
  QorCardsButton* action_ = nullptr;
  QorCardsButton* end_ = nullptr;
};

TEST_F(TableWidgetTest, SevenPressesPlayARoundAndTheEighthDealsTheNext) {
  StartArranging();
  EXPECT_EQ(action_->text(), Caption(kWordOk));
  EXPECT_FALSE(end_->isEnabled());
  ArrangeLegally();
  ASSERT_TRUE(Flow().OwnArrangementLegal());
  ASSERT_TRUE(action_->isEnabled());

  QSignalSpy finished(table_.get(), &TableWidget::roundFinished);
  const struct {
    RoundStage stage;
    int caption;
  } after[] = {
      {RoundStage::kRevealed, kWordRateBack},     {RoundStage::kBackRated, kWordRateMiddle},
      {RoundStage::kMiddleRated, kWordRateFront}, {RoundStage::kFrontRated, kWordRateHands},
      {RoundStage::kHandsRated, kWordResult},     {RoundStage::kRoundOver, kWordNextGame}};
  for (const auto& step : after) {
    QTest::mouseClick(action_, Qt::LeftButton);
    table_->FinishTimeline();
    EXPECT_EQ(Flow().Stage(), step.stage);
    EXPECT_EQ(action_->text(), Caption(step.caption));
  }
  ASSERT_EQ(finished.count(), 1);
  EXPECT_EQ(finished.at(0).at(0).toInt(), 1);
  EXPECT_TRUE(end_->isEnabled());
  // Every seat's rows lie face up on the table now.
  for (int p = 1; p <= 4; ++p) {
    const QWidget* area = table_->findChild<QWidget*>(QStringLiteral("ImageCards%1").arg(p));
    EXPECT_FALSE(area->accessibleName().isEmpty()) << p;
  }

  QTest::mouseClick(action_, Qt::LeftButton);
  table_->FinishTimeline();
  EXPECT_EQ(Flow().Stage(), RoundStage::kDealt);
  EXPECT_EQ(Flow().Counters().gamesPlayed, 2);
  EXPECT_EQ(action_->text(), Caption(kWordToBegin));
}

TEST_F(TableWidgetTest, ClicksPickAndSwapAndTheDeadFrontSlotsDoNothing) {
  StartArranging();
  const Arrangement before = Flow().OwnRows();
  const Slot front1{kFront, 1}, back5{kBack, 5};

  // The same card twice: picked, then put back; the rows do not change.
  Click(front1);
  EXPECT_EQ(Flow().SelectedSlot(), front1);
  Click(front1);
  EXPECT_TRUE(Flow().SelectedSlot().IsNone());
  EXPECT_EQ(Flow().OwnRows(), before);

  // Slots 4 and 5 of the Front hold no card: clicking there neither picks nor swaps.
  Click(Slot{kFront, 4});
  Click(Slot{kFront, 5});
  EXPECT_TRUE(Flow().SelectedSlot().IsNone());
  Click(front1);
  Click(Slot{kFront, 5});
  EXPECT_EQ(Flow().SelectedSlot(), front1);
  EXPECT_EQ(Flow().OwnRows(), before);

  // Another card swaps the two.
  Click(back5);
  table_->FinishTimeline();
  EXPECT_TRUE(Flow().SelectedSlot().IsNone());
  EXPECT_EQ(CardAt(Flow().OwnRows(), front1), CardAt(before, back5));
  EXPECT_EQ(CardAt(Flow().OwnRows(), back5), CardAt(before, front1));
}

TEST_F(TableWidgetTest, DraggingACardOntoAnotherPlaceSwapsThem) {
  StartArranging();
  const Arrangement before = Flow().OwnRows();
  const Slot from{kMiddle, 2}, to{kFront, 3};
  QTest::mousePress(table_.get(), Qt::LeftButton, {}, OwnPlace(from));
  QMouseEvent move(QEvent::MouseMove, QPointF(OwnPlace(to)),
                   table_->mapToGlobal(QPointF(OwnPlace(to))), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(table_.get(), &move);
  QTest::mouseRelease(table_.get(), Qt::LeftButton, {}, OwnPlace(to));
  table_->FinishTimeline();
  EXPECT_EQ(CardAt(Flow().OwnRows(), to), CardAt(before, from));
  EXPECT_EQ(CardAt(Flow().OwnRows(), from), CardAt(before, to));
  EXPECT_TRUE(Flow().SelectedSlot().IsNone());

  // A drag that ends on a dead Front slot changes nothing.
  const Arrangement after = Flow().OwnRows();
  QTest::mousePress(table_.get(), Qt::LeftButton, {}, OwnPlace(from));
  QMouseEvent move2(QEvent::MouseMove, QPointF(OwnPlace(Slot{kFront, 5})),
                    table_->mapToGlobal(QPointF(OwnPlace(Slot{kFront, 5}))), Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(table_.get(), &move2);
  QTest::mouseRelease(table_.get(), Qt::LeftButton, {}, OwnPlace(Slot{kFront, 5}));
  table_->FinishTimeline();
  EXPECT_EQ(Flow().OwnRows(), after);
}

TEST_F(TableWidgetTest, KeyboardMovesPicksSwapsAndPresses) {
  StartArranging();
  const Arrangement before = Flow().OwnRows();
  QWidget* table = table_.get();
  QTest::keyClick(table, Qt::Key_Space);  // shows the highlight on the Front's first card
  EXPECT_TRUE(Flow().SelectedSlot().IsNone());
  QTest::keyClick(table, Qt::Key_Space);  // picks it
  EXPECT_EQ(Flow().SelectedSlot(), (Slot{kFront, 1}));
  QTest::keyClick(table, Qt::Key_Escape);  // puts it back
  EXPECT_TRUE(Flow().SelectedSlot().IsNone());

  // Front 1 with Back 2: pick, down twice, right once, swap.
  QTest::keyClick(table, Qt::Key_Space);
  QTest::keyClick(table, Qt::Key_Down);
  QTest::keyClick(table, Qt::Key_Down);
  QTest::keyClick(table, Qt::Key_Right);
  QTest::keyClick(table, Qt::Key_Space);
  table_->FinishTimeline();
  EXPECT_EQ(CardAt(Flow().OwnRows(), Slot{kFront, 1}), CardAt(before, Slot{kBack, 2}));
  EXPECT_EQ(CardAt(Flow().OwnRows(), Slot{kBack, 2}), CardAt(before, Slot{kFront, 1}));

  // Left from the first slot wraps to the row's last card; up from the Back reaches the Front,
  // whose dead slots the highlight never enters.
  QTest::keyClick(table, Qt::Key_Up);
  QTest::keyClick(table, Qt::Key_Up);
  QTest::keyClick(table, Qt::Key_Right);
  QTest::keyClick(table, Qt::Key_Right);
  QTest::keyClick(table, Qt::Key_Space);
  EXPECT_TRUE(IsCardSlot(Flow().SelectedSlot()));
  EXPECT_EQ(Flow().SelectedSlot().row, kFront);
  QTest::keyClick(table, Qt::Key_Escape);

  // Enter presses the action button once the rows are legal.
  if (!Flow().OwnArrangementLegal()) ArrangeLegally();
  table_->FinishTimeline();
  QTest::keyClick(table, Qt::Key_Return);
  table_->FinishTimeline();
  EXPECT_EQ(Flow().Stage(), RoundStage::kRevealed);
}

TEST_F(TableWidgetTest, InputIsIgnoredWhileTheTimelinePlays) {
  table_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(table_.get()));
  MatchStart start;
  start.name = "Tester";
  uint32_t seed = 1;
  for (;; ++seed) {  // a round that is laid into rows
    StartMatch(start, seed, false);
    table_->FinishTimeline();
    QTest::mouseClick(action_, Qt::LeftButton);
    if (Flow().Stage() == RoundStage::kArranging) break;
    ASSERT_LT(seed, 200u);
  }
  // Thirteen cards are flying into the rows now.
  ASSERT_TRUE(table_->TimelineBusy());
  Click(Slot{kFront, 1});
  EXPECT_TRUE(Flow().SelectedSlot().IsNone());
  QTest::keyClick(table_.get(), Qt::Key_Space);
  QTest::keyClick(table_.get(), Qt::Key_Space);
  EXPECT_TRUE(Flow().SelectedSlot().IsNone());
  QTest::mouseClick(action_, Qt::LeftButton);
  EXPECT_EQ(Flow().Stage(), RoundStage::kArranging);

  // The flights play by themselves; afterwards the same click is taken.
  QSignalSpy idle(table_.get(), &TableWidget::timelineIdle);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !table_->TimelineBusy(); }, 20000));
  EXPECT_GE(idle.count(), 1);
  Click(Slot{kFront, 1});
  EXPECT_EQ(Flow().SelectedSlot(), (Slot{kFront, 1}));
}

TEST_F(TableWidgetTest, TheDemoPlaysWholeRoundsByItself) {
  QSignalSpy finished(table_.get(), &TableWidget::roundFinished);
  table_->show();  // the autopilot plays only a table on the screen
  TableAutopilot autopilot(*table_, *match_);
  autopilot.SetDelay(0);
  MatchStart start;
  start.name = "Demo";
  autopilot.SetOn(true);
  StartMatch(start, 7, false);
  EXPECT_TRUE(QTest::qWaitFor([&] { return finished.count() >= 2; }, 30000));
  EXPECT_GE(Flow().Counters().gamesPlayed, 2);
  autopilot.SetOn(false);
}

// From the reveal to the result every plate can be read: none lies over another plate or
// over a card, in the smallest and the largest window.
TEST_F(TableWidgetTest, PlatesStayClearOfEachOtherAndOfTheOpenRows) {
  for (int size : {1, 5}) {
    const WindowGeometry g = GeometryForWindowSize(size, QSize());
    test::TestCards(g.k.kc);
    table_->ApplyWindowSize(size, g.client);
    StartArranging();
    ArrangeLegally();
    ASSERT_TRUE(Flow().OwnArrangementLegal());
    const int w = cards_->CardW(), h = cards_->CardH();
    for (int press = 0; press < 6; ++press) {
      QTest::mouseClick(action_, Qt::LeftButton);
      table_->FinishTimeline();
      std::vector<std::pair<QString, QRect>> cards;
      for (int p = 1; p <= 3; ++p) {
        const QWidget* area = table_->findChild<QWidget*>(QStringLiteral("ImageCards%1").arg(p));
        cards.emplace_back(area->objectName(), area->geometry());
      }
      const QWidget* own = table_->findChild<QWidget*>(QStringLiteral("ImageCards4"));
      for (RowIndex row : kAllRows) {
        for (int s = 1; s <= CardsInRow(row); ++s) {
          const QPoint at(own->x() + (s - 1) * (w + 2), own->y() + static_cast<int>(row) * (h + 2));
          cards.emplace_back(QStringLiteral("own card"), QRect(at, QSize(w, h)));
        }
      }
      std::vector<const QWidget*> plates;
      for (int p = 1; p <= 4; ++p) {
        const QWidget* plate = table_->findChild<QWidget*>(QStringLiteral("ImageSay%1").arg(p));
        ASSERT_NE(plate, nullptr);
        if (!plate->isHidden()) plates.push_back(plate);
      }
      EXPECT_EQ(plates.size(), 4u) << size << " " << press;
      for (size_t a = 0; a < plates.size(); ++a) {
        const QRect r = plates[a]->geometry();
        const std::string name = plates[a]->objectName().toStdString();
        EXPECT_TRUE(table_->rect().contains(r)) << size << " " << name;
        for (size_t b = a + 1; b < plates.size(); ++b)
          EXPECT_FALSE(r.intersects(plates[b]->geometry()))
              << size << " " << name << " " << plates[b]->objectName().toStdString();
        for (const auto& [what, rect] : cards)
          EXPECT_FALSE(r.intersects(rect)) << size << " " << name << " over " << what.toStdString();
      }
    }
    EXPECT_EQ(Flow().Stage(), RoundStage::kRoundOver);
  }
  test::TestCards(1.0);
}

TEST_F(TableWidgetTest, EveryElementFollowsTheWindowSize) {
  for (int size : {1, 3, 4, 5}) {
    const WindowGeometry g = GeometryForWindowSize(size, QSize());
    test::TestCards(g.k.kc);
    table_->ApplyWindowSize(size, g.client);
    const Layout layout(g.k);
    const QWidget* tablet = table_->findChild<QWidget*>(QStringLiteral("ImageTab2"));
    const QWidget* box = table_->findChild<QWidget*>(QStringLiteral("ImageKon"));
    EXPECT_EQ(tablet->geometry(), layout.ScaledRect(135, 9, 290, 104)) << size;
    EXPECT_EQ(box->geometry(), layout.ScaledRect(4, 11, 134, 101)) << size;
    EXPECT_EQ(table_->size(), g.client);
  }
  test::TestCards(1.0);
}

}  // namespace
}  // namespace trilane

namespace trilane {
namespace {

TEST_F(TableWidgetTest, RightClickOnASpeakableCardIsTakenElsewhereItGoesToThePopupMenu) {
  MatchStart start;
  start.name = "Tester";
  StartMatch(start, 1, false);
  table_->FinishTimeline();
  const QRect hand = table_->findChild<QWidget*>(QStringLiteral("ImageCards4"))->geometry();
  const struct {
    QPoint at;
    bool taken;
  } cases[] = {
      {hand.topLeft() + QPoint(5, 20), true},  // the own hand's first card
      {QPoint(380, 250), false},               // the empty middle of the table
      {table_->findChild<QWidget*>(QStringLiteral("ImageCards2"))->geometry().center(), false},
  };
  for (const auto& c : cases) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, c.at, table_->mapToGlobal(c.at));
    QApplication::sendEvent(table_.get(), &event);
    EXPECT_EQ(event.isAccepted(), c.taken) << c.at.x() << "," << c.at.y();
  }
}

TEST_F(TableWidgetTest, GeneralScoreWindowShowsTheMatchFigures) {
  MatchStart start;
  start.name = "Tester";
  start.currentSlot = 2;  // a member of the club file: the stored values count
  start.initialScore = 25;
  start.gamesPlayed = 41;
  StartMatch(start, 1, false);
  table_->FinishTimeline();
  QStringList shown;
  QTimer::singleShot(0, [&] {
    QWidget* window = QApplication::activeModalWidget();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->objectName(), QStringLiteral("FormCount"));
    for (int i = 1; i <= 7; ++i) {
      auto* value = window->findChild<QLabel*>(QStringLiteral("LabelValue%1").arg(i));
      shown << (value ? value->text() : QString());
    }
    window->close();
  });
  table_->ShowGeneralScore();
  ASSERT_EQ(shown.size(), 7);
  EXPECT_EQ(shown[0], QStringLiteral("42"));  // every round, this one included
  EXPECT_EQ(shown[1], QStringLiteral("42"));  // the round within the cycle of 80
  EXPECT_EQ(shown[2], QStringLiteral("25"));
  EXPECT_EQ(shown[4].toInt(), shown[2].toInt() + shown[3].toInt());
}

TEST_F(TableWidgetTest, RetranslateRewritesTheCaptions) {
  MatchStart start;
  start.name = "Tester";
  StartMatch(start, 1, false);
  table_->FinishTimeline();
  for (int language : {kRussian, kChinese, kEnglish}) {
    SetLanguageIndex(language);
    table_->Retranslate();
    EXPECT_EQ(action_->text(), Caption(kWordToBegin)) << language;
    EXPECT_EQ(end_->text(), Caption(kWordExitToMenu)) << language;
  }
}

}  // namespace
}  // namespace trilane

namespace trilane {
namespace {

TEST_F(TableWidgetTest, EveryFaceUpCardCarriesItsOwnAccessibleName) {
  MatchStart start;
  start.name = "Tester";
  StartMatch(start, 1, false);
  table_->FinishTimeline();
  auto named = [&](int seat) {
    QStringList names;
    for (QWidget* card :
         table_->findChildren<QWidget*>(QRegularExpression(QStringLiteral("^Card%1_").arg(seat))))
      if (card->isVisibleTo(table_.get())) names << card->accessibleName();
    return names;
  };
  const QStringList own = named(4);
  ASSERT_EQ(own.size(), 13);
  EXPECT_EQ(QSet<QString>(own.begin(), own.end()).size(), 13);  // thirteen different cards
  // In slot order: rank then suit symbol (hearts, diamonds, clubs, spades).
  static const char* kRanks[] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
  static const char16_t kSuits[] = {u'\u2665', u'\u2666', u'\u2663', u'\u2660'};
  const Hand& hand = Flow().TableHands()[3];
  for (int i = 0; i < 13; ++i) {
    const Card& card = hand[static_cast<size_t>(i)];
    EXPECT_EQ(own[i], QString::fromLatin1(kRanks[card.rank - 1]) +
                          QChar(kSuits[SuitIndexOf(card.code.suit) - 1]))
        << i;
  }
  EXPECT_TRUE(named(1).isEmpty());  // the computer's cards lie face down
}

}  // namespace
}  // namespace trilane

namespace trilane {
namespace {

TEST_F(TableWidgetTest, AFlyingCardIsASmallWindowThatGlidesAndIsGoneAfterwards) {
  settings_.FlightSpeed = 1;
  table_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(table_.get()));
  MatchStart start;
  start.name = "Tester";
  for (uint32_t seed = 1;; ++seed) {
    StartMatch(start, seed, false);
    table_->FinishTimeline();
    QTest::mouseClick(action_, Qt::LeftButton);
    if (Flow().Stage() == RoundStage::kArranging) break;
    ASSERT_LT(seed, 200u);
  }
  QWidget* card = table_->findChild<QWidget*>(QStringLiteral("FlightLayer"));
  ASSERT_NE(card, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return card->isVisible(); }, 5000));
  // Only the card's own rectangle (and a two-pixel rim) is covered, never the table.
  EXPECT_EQ(card->size(), QSize(cards_->CardW() + 4, cards_->CardH() + 4));
  // The card is drawn over the table, and the table shows through its rim: the window
  // keeps no picture of the table of its own.
  const QImage withCard = table_->grab().toImage();
  card->hide();
  const QImage withoutCard = table_->grab().toImage();
  card->show();
  const QRect area = card->geometry();
  EXPECT_EQ(withCard.pixel(area.topLeft()), withoutCard.pixel(area.topLeft()));
  EXPECT_EQ(withCard.pixel(area.bottomRight()), withoutCard.pixel(area.bottomRight()));
  EXPECT_NE(withCard.copy(area), withoutCard.copy(area));
  const QPoint first = card->pos();
  EXPECT_TRUE(QTest::qWaitFor([&] { return card->pos() != first; }, 5000));
  table_->FinishTimeline();
  EXPECT_FALSE(card->isVisible());
  EXPECT_FALSE(table_->TimelineBusy());
}

}  // namespace
}  // namespace trilane

namespace trilane {
namespace {

// What a network flow on the table sends.
class RecordingSender : public StageSender {
 public:
  void SendStep(StageStep step) override { steps.push_back(step); }
  void SendArrangement(const Arrangement&) override { ++arrangements; }
  void SendDeal(const Deck&, bool) override { ++deals; }
  void SendNextDeal() override {}
  std::vector<StageStep> steps;
  int arrangements = 0;
  int deals = 0;
};

TEST_F(TableWidgetTest, ANetworkFlowSendsThroughTheCallersSender) {
  RecordingSender sender;
  RoundFlow& flow = match_->StartNetwork(sender, 9);
  EXPECT_EQ(&flow, &Flow());
  TableSetup setup;
  setup.mode = PlayMode::kNet;
  setup.ownSeat = 1;  // the host, alone with the computer seats
  flow.Configure(setup);
  MatchStart start;
  start.name = "Host";
  flow.StartMatch(start);
  table_->FinishTimeline();
  EXPECT_EQ(sender.deals, 1);  // the host's deal goes out through the sender
  // The host's button is locked for the stage's ticks, then its press goes out as "h1".
  for (int i = 0; i < kLockTicks && !action_->isEnabled(); ++i) {
    flow.Tick();
    table_->FinishTimeline();
  }
  ASSERT_TRUE(action_->isEnabled());
  QTest::mouseClick(action_, Qt::LeftButton);
  table_->FinishTimeline();
  ASSERT_FALSE(sender.steps.empty());
  EXPECT_EQ(sender.steps.front(), StageStep::kStart);
}

}  // namespace
}  // namespace trilane
