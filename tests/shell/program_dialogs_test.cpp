// The program's small windows: the notice, the end of a cycle, the auxiliary-window frame.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>

#include "records/settings.h"
#include "shell/end_game_window.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/notice_window.h"
#include "words/words.h"

namespace trilane {

QApplication& App();  // program_window_test.cpp

namespace {

class ProgramDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    SetLanguageIndex(kEnglish);
  }
};

TEST_F(ProgramDialogsTest, CycleVerdictByPlace) {
  struct Case {
    int place;
    bool net;
    std::vector<int> lines;
    std::string_view picture, sound;
  };
  const Case cases[] = {
      {1,
       false,
       {kWordCongratulations, kWordResultIsBest, kWordBecomeMaster},
       "GEndBest",
       "WFiBest"},
      {1,
       true,
       {kWordCongratulations, kWordResultIsBest, kWordBecomeBachelor},
       "GEndBest",
       "WFiBest"},
      {2, false, {kWordCongratulations, kWordGoodResult, kWordInTopTen}, "GEndGood", "WFiGood"},
      {10, false, {kWordCongratulations, kWordGoodResult, kWordInTopTen}, "GEndGood", "WFiGood"},
      {0,
       false,
       {kWordOurRegrets, kWordResultCouldBeBetter, kWordNotInTopTen},
       "GEndBads",
       "WFiBads"},
      {11,
       false,
       {kWordOurRegrets, kWordResultCouldBeBetter, kWordNotInTopTen},
       "GEndBads",
       "WFiBads"},
  };
  for (const Case& c : cases) {
    const EndOfCycle cycle{c.place, 120, c.net};
    EXPECT_EQ(VerdictLines(cycle), c.lines) << "place " << c.place;
    EXPECT_EQ(VerdictPicture(VerdictFor(c.place)), c.picture);
    EXPECT_EQ(VerdictSound(VerdictFor(c.place)), c.sound);
  }
  // A place in the top ten shows its medal; none without a place.
  TSettings settings;
  EndGameWindow placed(settings, {3, 500, false}, nullptr);
  EXPECT_NE(placed.findChild<QLabel*>("ImageMedal"), nullptr);
  EXPECT_EQ(placed.findChild<QLabel*>("LabelResult")->text(), "Result: 500 ; Place: 3");
  EndGameWindow unplaced(settings, {0, -40, false}, nullptr);
  EXPECT_EQ(unplaced.findChild<QLabel*>("ImageMedal"), nullptr);
  EXPECT_EQ(unplaced.findChild<QLabel*>("LabelResult")->text(), "Result: -40");
}

TEST_F(ProgramDialogsTest, NoticeWidthLinesAndLink) {
  NoticeWindow small("Short", "", "", nullptr);
  EXPECT_EQ(small.width(), 400);
  EXPECT_NE(small.findChild<QLabel*>("Label1"), nullptr);
  EXPECT_EQ(small.findChild<QLabel*>("Label2"), nullptr);  // an empty line is left out
  EXPECT_EQ(small.findChild<QLabel*>("Label3"), nullptr);

  const QString longLine(60, QChar('W'));
  NoticeWindow wide(longLine, "second", "https://example.org/", nullptr);
  const int widest = QFontMetrics(NamedFont("Comic Sans MS", 15, true)).horizontalAdvance(longLine);
  EXPECT_EQ(wide.width(), widest + 59 + 50);
  QLabel* link = wide.findChild<QLabel*>("Label3");
  ASSERT_NE(link, nullptr);
  EXPECT_TRUE(link->text().contains("href"));
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(ProgramDialogsTest, NoticeLinesComeFromTheWords) {
  EXPECT_EQ(NoticeText({kWordCantFindFile, " QorCGraph1.dll"}),
            "Can`t find the file QorCGraph1.dll");
  EXPECT_EQ(NoticeText({kNoWord, "tail only"}), "tail only");
  EXPECT_EQ(NoticeText({}), "");
  SetLanguageIndex(kRussian);
  EXPECT_FALSE(NoticeText({kWordCantFindFile, ""}).contains("Can`t"));
}

TEST_F(ProgramDialogsTest, EscapeClosesAnAuxiliaryWindow) {
  TSettings settings;
  EndGameWindow window(settings, {0, 0, false}, nullptr);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace trilane
