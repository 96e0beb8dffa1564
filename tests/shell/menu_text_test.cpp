// The main menu's texts and pictures, and the title screen's letter places and walkers.
#include <gtest/gtest.h>

#include <QImage>

#include "program/menu_text.h"
#include "records/club_file.h"
#include "shell/main_menu.h"
#include "shell/title_screen.h"

namespace trilane {
namespace {

std::string Line(const std::string& name, double rating, int games, int score) {
  auto line = FormatMemberLine(name, rating, games, score, *EncodePassword("pw"));
  EXPECT_TRUE(line.has_value());
  return line.has_value() ? *line : std::string();
}

TEST(MemberCaptionTest, ShowsTheColumnsOfEachMode) {
  struct Case {
    std::string line;
    int mode;
    std::string caption;
  };
  const Case cases[] = {
      // Games of the cycle are the running count modulo 80.
      {Line("Anna", 1.5, 92, 340), 1, "Anna                     12       340"},
      {Line("Anna", 1.5, 92, 340), 2, "Anna                       92    1,50"},
      {Line("Boris", -0.255, 7, -125), 2, "Boris                       7   -0,26"},
      {kEmptyMemberLine, 1, "####################    ###    ######"},
      // No rating: the "#" field is cut to six characters.
      {kEmptyMemberLine, 2, "####################  #######  ######"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MemberCaption(c.line, c.mode), c.caption) << c.line << " mode " << c.mode;
  }
}

TEST(ShortenToFitTest, CutsTheNameAndMarksLostLetters) {
  auto width = [](std::string_view s) { return static_cast<int>(s.size()); };
  // Fits: unchanged.
  EXPECT_EQ(ShortenToFit("abc", 10, width), "abc");
  // Only blanks go (four of them, from position 20 down): no dots.
  EXPECT_EQ(ShortenToFit("Ann                 |  12", 22, width), "Ann             |  12");
  // Letters go: dots before the last deletion point.
  const std::string longName = "Bartholomew-Alexande|  12";
  const std::string cut = ShortenToFit(longName, 22, width);
  EXPECT_LT(static_cast<int>(cut.size()), 22);
  EXPECT_NE(cut.find("..."), std::string::npos) << cut;
  EXPECT_EQ(cut.substr(cut.size() - 5), "|  12");
  // A name of blanks and "#" only never gets dots.
  EXPECT_EQ(ShortenToFit("#################### ## |", 20, width).find("..."), std::string::npos);
}

TEST(CaptionTintTest, SevenStepsAndTheirColours) {
  QImage picture(1, 1, QImage::Format_ARGB32);
  struct Case {
    int tint;
    QRgb in, out;
  };
  const Case cases[] = {
      {1, qRgb(200, 100, 50), qRgb(200, 100, 50)},
      // 2: B = round(0.7 * min(B, G)) = 35, then G = B + round(0.4 * (R - B)) = 35 + 66.
      {2, qRgb(200, 100, 50), qRgb(200, 101, 35)},
      {3, qRgb(200, 100, 50), qRgb(200, 200, 50)},
      {4, qRgb(200, 100, 50), qRgb(100, 200, 50)},
      {5, qRgb(200, 100, 50), qRgb(50, 200, 200)},
      {6, qRgb(200, 100, 50), qRgb(50, 100, 200)},
      {7, qRgb(200, 100, 50), qRgb(200, 100, 200)},
      // 8: 0.3 * 200 + 0.59 * 100 + 0.11 * 50 = 124.5, halves to even.
      {8, qRgb(200, 100, 50), qRgb(124, 124, 124)},
  };
  for (const Case& c : cases) {
    picture.setPixel(0, 0, c.in);
    TintCaptionPicture(picture, c.tint);
    EXPECT_EQ(picture.pixel(0, 0) & 0xFFFFFF, c.out & 0xFFFFFF) << "tint " << c.tint;
  }
}

TEST(TitleScreenTest, LetterPlacesFollowTheWideAndNarrowLetters) {
  // Seven letters start at 368 - 13 * 6 = 290; the "I" adds 6 to the start and 3 to itself
  // and pulls every later letter 12 to the left.
  EXPECT_EQ(TitleLetterPositions("TRILANE"),
            (std::vector<int>{296, 322, 296 + 52 + 3, 296 + 78 - 12, 388, 414, 440}));
  // Each "W" takes 5 from the start and pushes the letters after it 8 to the right.
  EXPECT_EQ(TitleLetterPositions("WW"), (std::vector<int>{355 - 10, 355 - 10 + 26 + 8}));
  EXPECT_TRUE(TitleLetterPositions("").empty());
  EXPECT_EQ(TitleLetterPositions("ABCDEFGHIJKLMN").size(), 10u);
}

TEST(TitleScreenTest, WalkersGoRoundClockwise) {
  struct Case {
    QPoint from, to;
  };
  const Case cases[] = {
      {{155, 68}, {156, 68}},    // top edge: right
      {{550, 68}, {550, 69}},    // top right corner: down
      {{550, 362}, {549, 362}},  // bottom right: left
      {{155, 362}, {155, 361}},  // bottom left: up
      {{155, 100}, {155, 99}},   // left edge: up
      {{300, 200}, {155, 68}},   // off the path: back to the start
  };
  for (const Case& c : cases) EXPECT_EQ(NextWalkerPosition(c.from), c.to);
  // A full round comes back to the start.
  QPoint p{155, 68};
  for (int i = 0; i < 2 * (395 + 294); ++i) p = NextWalkerPosition(p);
  EXPECT_EQ(p, QPoint(155, 68));
}

}  // namespace
}  // namespace trilane
