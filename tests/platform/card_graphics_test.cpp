#include "platform/graphics/card_graphics.h"

#include <gtest/gtest.h>

#include "fixture_colours.h"
#include "test_support.h"

namespace trilane {
namespace {

using namespace trilane::fixtures;
using testing::CantFind;
using testing::NoticeRecorder;
using testing::ProgramFolders;

CardCode Code(const char* text) {
  return ParseCard(text)->code;
}
std::string Bytes(const char* text) {
  return Code(text).Bytes();
}

class CardGraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::RegisterProgramResources(); }
  ProgramFolders folders;
  NoticeRecorder notices;
  CardGraphics graphics{ResourceLocator(folders.Program()), notices};
  CardLook look;
};

TEST_F(CardGraphicsTest, BuiltInDesignInTheSmallSize) {
  graphics.SetScale(1.0);
  EXPECT_TRUE(graphics.LoadCardFaces(look));
  EXPECT_TRUE(graphics.LoadCardBacks(look));
  EXPECT_TRUE(notices.lines.empty());
  EXPECT_EQ(graphics.CardSizeClass(), 1);
  EXPECT_EQ(graphics.CardW(), 71);
  EXPECT_TRUE(graphics.WideCards());
  for (const char* card : {"2h", "5s", "6h", "Td", "As"}) {
    const QImage& face = graphics.FaceBitmap(Code(card));
    ASSERT_EQ(face.size(), QSize(69, 94)) << card;
    EXPECT_EQ(face.pixel(30, 40), FaceColour(0, FaceSlotOf(Code(card)), false)) << card;
  }
  EXPECT_TRUE(graphics.FaceBitmap(CardCode{}).isNull());
  EXPECT_EQ(graphics.Symbol(3).pixel(5, 5), SymbolColour(0, 3, false));
  EXPECT_EQ(graphics.BackBitmap(7).pixel(5, 5), BackColour(0, 7, 0));
  EXPECT_TRUE(graphics.BackBitmap(8).isNull());  // seven backs outside the collections
}

TEST_F(CardGraphicsTest, MissingLibraryFallsBackToTheBuiltInDesign) {
  graphics.SetScale(1.0);
  look.cardDesign = 35;  // in "QorCards06B.dll", which is not there
  EXPECT_FALSE(graphics.LoadCardFaces(look));
  ASSERT_EQ(notices.lines.size(), 1u);
  EXPECT_EQ(notices.lines[0], CantFind("QorCards06B.dll"));
  EXPECT_EQ(look.cardDesign, 0);
  EXPECT_EQ(graphics.FaceBitmap(Code("Qh")).pixel(3, 3),
            FaceColour(0, FaceSlotOf(Code("Qh")), false));

  look.backDesign = 9;
  EXPECT_FALSE(graphics.LoadCardBacks(look));
  EXPECT_EQ(notices.lines.back(), CantFind("QorCards06B.dll"));
  EXPECT_EQ(look.backDesign, 0);
  EXPECT_EQ(graphics.BackBitmap(1).pixel(3, 3), BackColour(0, 1, 0));
}

TEST_F(CardGraphicsTest, AddOnDesignFromTheParentFolder) {
  folders.Put("QorCards06C.dll", true);
  look.cardDesign = 41;  // "Mus", narrow
  graphics.SetScale(1.0);
  EXPECT_TRUE(graphics.LoadCardFaces(look));
  EXPECT_FALSE(graphics.WideCards());
  EXPECT_EQ(graphics.CardW(), 71);  // the small size keeps its cell
  EXPECT_EQ(graphics.FaceBitmap(Code("2h")).pixel(3, 3), FaceColour(41, 41, false));
  // The picture the library lacks comes from the built-in set.
  EXPECT_EQ(graphics.FaceBitmap(Code("As")).pixel(3, 3), FaceColour(0, kMissingSmallSlot, false));
  EXPECT_EQ(graphics.Symbol(2).pixel(3, 3), SymbolColour(41, 2, false));

  graphics.SetScale(1.7);
  EXPECT_TRUE(graphics.LoadCardFaces(look));
  EXPECT_EQ(graphics.CardSizeClass(), 0);
  EXPECT_EQ(graphics.CardW(), 104);  // round(61 * 1.7)
  EXPECT_EQ(graphics.CardH(), 163);
  EXPECT_EQ(graphics.FacePng(Code("As")).pixel(3, 3), FaceColour(41, kMissingSmallSlot, true));
  EXPECT_TRUE(notices.lines.empty());
}

TEST_F(CardGraphicsTest, NarrowFacesNeedTheLibraryForBuiltInBacks) {
  folders.Put("QorCards06C.dll", false);
  look.cardDesign = 41;
  graphics.SetScale(1.3);
  ASSERT_TRUE(graphics.LoadCardFaces(look));
  // Without "QorCards06B.dll" the narrow built-in backs are missing: faces back to design 0.
  EXPECT_FALSE(graphics.LoadCardBacks(look));
  EXPECT_EQ(notices.lines, std::vector<std::vector<NoticeLine>>{CantFind("QorCards06B.dll")});
  EXPECT_EQ(look.cardDesign, 0);
  EXPECT_TRUE(graphics.WideCards());
  EXPECT_EQ(graphics.CardW(), 92);
  EXPECT_EQ(graphics.BackPng(1).pixel(3, 3), BackColour(0, 1, 1));

  // With it (a 32-bit library) the "U" backs are used.
  folders.Put("QorCards06B.dll", true);
  look.cardDesign = 41;
  ASSERT_TRUE(graphics.LoadCardFaces(look));
  EXPECT_TRUE(graphics.LoadCardBacks(look));
  EXPECT_EQ(graphics.BackPng(4).pixel(3, 3), BackColour(0, 4, 2));
}

TEST_F(CardGraphicsTest, CollectionLoadsTenBacksAndChoosesAtRandom) {
  folders.Put("QorCards06B.dll", false);
  look.backDesign = 9;
  look.backAlwaysOne = true;
  graphics.SetScale(1.0);
  ASSERT_TRUE(graphics.LoadCardFaces(look));
  ASSERT_TRUE(graphics.LoadCardBacks(look));
  for (int back = 1; back <= 10; ++back) {
    EXPECT_EQ(graphics.BackBitmap(back).pixel(3, 3), BackColour(9, back, 0)) << back;
  }
  graphics.ChooseBack(look, 7, 99);
  EXPECT_EQ(graphics.CurrentBack(), ChooseBackNumber(1, false, 9, 99));
  look.backDesign = 0;
  graphics.ChooseBack(look, 3, 99);
  EXPECT_EQ(graphics.CurrentBack(), 7);  // always one
  look.backAlwaysOne = false;
  graphics.ChooseBack(look, 3, 99);
  EXPECT_EQ(graphics.CurrentBack(), 3);
}

// The small size's cell, pixel by pixel, on a white canvas.
class SmallDrawing : public CardGraphicsTest {
 protected:
  void SetUp() override {
    CardGraphicsTest::SetUp();
    graphics.SetScale(1.0);
    ASSERT_TRUE(graphics.LoadCardFaces(look));
    ASSERT_TRUE(graphics.LoadCardBacks(look));
    canvas.fill(Qt::white);
  }
  QRgb At(int dx, int dy) const { return canvas.pixel(kX + dx, kY + dy); }
  static constexpr int kX = 10, kY = 7;
  static constexpr QRgb kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;
  QImage canvas{100, 120, QImage::Format_RGB32};
};

TEST_F(SmallDrawing, OutlineHasCutCornersAndNoDrawsFourDots) {
  graphics.DrawCard(kX, kY, "No", canvas);
  struct Pixel {
    int dx, dy;
    QRgb colour;
  } expected[] = {
      // the outline: x+2..x+68 on the top and bottom rows, y+2..y+93 on the side columns
      {2, 0, kBlack},
      {68, 0, kBlack},
      {35, 95, kBlack},
      {0, 2, kBlack},
      {0, 93, kBlack},
      {70, 50, kBlack},
      {70, 93, kBlack},
      {2, 95, kBlack},
      {68, 95, kBlack},
      // the cut corners stay as they were
      {0, 0, kWhite},
      {1, 0, kWhite},
      {0, 1, kWhite},
      {69, 0, kWhite},
      {70, 1, kWhite},
      {0, 94, kWhite},
      {1, 95, kWhite},
      {70, 95, kWhite},
      {69, 95, kWhite},
      {70, 94, kWhite},
      // the four dots of "No", and nothing else inside
      {1, 1, kBlack},
      {69, 1, kBlack},
      {1, 94, kBlack},
      {69, 94, kBlack},
      {2, 2, kWhite},
      {35, 47, kWhite},
      {71, 50, kWhite},
      {35, 96, kWhite},
  };
  for (const Pixel& p : expected) {
    EXPECT_EQ(At(p.dx, p.dy), p.colour) << p.dx << "," << p.dy;
  }
}

TEST_F(SmallDrawing, FacesMarkersAndNothing) {
  QImage blank = canvas;
  graphics.DrawCard(kX, kY, "##", canvas);
  EXPECT_EQ(canvas, blank);  // "##" draws nothing at all

  graphics.DrawCard(kX, kY, "--", canvas);
  EXPECT_EQ(At(35, 0), kBlack);
  EXPECT_EQ(At(1, 1), kWhite);
  EXPECT_EQ(At(35, 47), kWhite);

  graphics.DrawCard(kX, kY, Bytes("Kd"), canvas);
  EXPECT_EQ(At(1, 1), FaceColour(0, FaceSlotOf(Code("Kd")), false));
  EXPECT_EQ(At(69, 94), FaceColour(0, FaceSlotOf(Code("Kd")), false));
  EXPECT_EQ(At(0, 0), kWhite);

  graphics.DrawCard(kX, kY, "KY", canvas);
  EXPECT_EQ(At(30, 30), MarkerColour(9, false));
  graphics.DrawCard(kX, kY, "Xo", canvas);
  EXPECT_EQ(At(30, 30), MarkerColour(7, false));
  graphics.ChooseBack(look, 2, 0);
  graphics.DrawCard(kX, kY, "00", canvas);
  EXPECT_EQ(At(30, 30), BackColour(0, 2, 0));

  blank = canvas;
  graphics.DrawCard(kX, kY, "Q", canvas);   // not a code
  graphics.DrawCard(kX, kY, "Xz", canvas);  // no such colour: only the outline
  EXPECT_EQ(canvas, blank);
}

TEST_F(CardGraphicsTest, ScaledSizesResampleAndRoundTheCorners) {
  graphics.SetScale(1.3);
  ASSERT_TRUE(graphics.LoadCardFaces(look));
  ASSERT_EQ(graphics.CardW(), 92);
  ASSERT_EQ(graphics.CardH(), 125);
  QImage canvas(120, 140, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  const QRgb face = FaceColour(0, FaceSlotOf(Code("7c")), true);
  graphics.DrawCard(5, 5, Bytes("7c"), canvas);
  EXPECT_EQ(canvas.pixel(5 + 46, 5 + 62), face);
  EXPECT_EQ(canvas.pixel(5 + 91, 5 + 62), face);  // the right edge is the card's last column
  EXPECT_EQ(canvas.pixel(5 + 92, 5 + 62), 0xFFFFFFFFu);
  EXPECT_EQ(canvas.pixel(5, 5), 0xFFFFFFFFu);  // corners cut away: the canvas shows
  EXPECT_EQ(canvas.pixel(5 + 91, 5 + 124), 0xFFFFFFFFu);
  EXPECT_EQ(canvas.pixel(5 + 46, 5), face);  // the top edge between the corners is card

  graphics.DrawCard(5, 5, "Fr", canvas);
  EXPECT_EQ(canvas.pixel(5, 5), MarkerColour(8, true));  // markers are plain rectangles
  EXPECT_EQ(canvas.pixel(5 + 91, 5 + 124), MarkerColour(8, true));
}

TEST_F(CardGraphicsTest, ScaledSizesKeepOnlyThePicturesAtTheCardSize) {
  // The larger windows draw faces and backs at the card size only; the decoded pictures
  // of the size class are not kept beside their scaled copies.
  for (const double kc : {1.7, 1.3, 2.0}) {
    graphics.SetScale(kc);
    ASSERT_TRUE(graphics.LoadCardFaces(look));
    ASSERT_TRUE(graphics.LoadCardBacks(look));
    const QSize card(graphics.CardW(), graphics.CardH());
    for (const char* code : {"2h", "Td", "As"})
      EXPECT_EQ(graphics.FacePng(Code(code)).size(), card) << kc << " " << code;
    EXPECT_EQ(graphics.BackPng(3).size(), card) << kc;
    // And they are drawn as before: the face's colour in the middle of the card.
    QImage canvas(card.width() + 10, card.height() + 10, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    graphics.DrawCard(5, 5, Bytes("Td"), canvas);
    EXPECT_EQ(canvas.pixel(5 + card.width() / 2, 5 + card.height() / 2),
              FaceColour(0, FaceSlotOf(Code("Td")), true))
        << kc;
  }
}

TEST_F(CardGraphicsTest, BackgroundsAndTheirFallbacks) {
  const QSize client(990, 650);
  EXPECT_TRUE(graphics.LoadBackground(false, look, client, false));
  EXPECT_EQ(graphics.BackgroundPicture().size(), client);
  auto near = [](QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 6 && std::abs(qGreen(a) - qGreen(b)) < 6 &&
           std::abs(qBlue(a) - qBlue(b)) < 6;
  };
  EXPECT_TRUE(near(graphics.BackgroundPicture().pixel(400, 300), kFonG));

  look.background = 5;
  look.backgroundColour = 1;
  EXPECT_FALSE(graphics.LoadBackground(false, look, client, true));
  EXPECT_EQ(notices.lines.back(), CantFind("QorBackG03.dll"));
  EXPECT_EQ(look.background, 2);
  EXPECT_EQ(look.backgroundColour, 0);
  EXPECT_EQ(graphics.BackgroundPicture().size(), QSize(76, 50));  // small window: not stretched

  folders.Put("QorBackG03.dll", true);
  look.background = 5;
  look.backgroundColour = 1;
  EXPECT_TRUE(graphics.LoadBackground(false, look, client, false));
  EXPECT_TRUE(near(graphics.BackgroundPicture().pixel(10, 10), kFon05Re));

  // Purple without the graphics library: the designs are cleared, the normal one is used.
  look.auxPurple = true;
  look.menuDesign = look.tableDesign = 1;
  notices.lines.clear();
  EXPECT_FALSE(graphics.LoadBackground(true, look, client, false));
  EXPECT_EQ(notices.lines, std::vector<std::vector<NoticeLine>>{CantFind("QorCGraph1.dll")});
  EXPECT_FALSE(look.auxPurple);
  EXPECT_EQ(look.menuDesign + look.tableDesign, 0);
  EXPECT_TRUE(near(graphics.BackgroundPicture().pixel(10, 10), kFon05Re));

  folders.Put("QorCGraph1.dll", false);
  EXPECT_TRUE(graphics.LoadBackground(true, look, client, false));
  EXPECT_TRUE(near(graphics.BackgroundPicture().pixel(10, 10), kBgLilu));

  // Background 0 keeps whatever picture is loaded.
  look.background = 0;
  EXPECT_TRUE(graphics.LoadBackground(false, look, client, false));
  EXPECT_TRUE(near(graphics.BackgroundPicture().pixel(10, 10), kBgLilu));
}

TEST_F(CardGraphicsTest, LoadNamedPictures) {
  folders.Put("QorCGraph1.dll", true);
  QImage picture;
  EXPECT_TRUE(graphics.LoadPng("gcard0sm", "", picture));
  EXPECT_EQ(picture.pixel(1, 1), MarkerColour(8, false));
  EXPECT_TRUE(graphics.LoadJpeg("BGLilu", "QorCGraph1.dll", picture));
  EXPECT_EQ(picture.size(), QSize(76, 50));
  EXPECT_FALSE(graphics.LoadJpeg("BGLilu", "QorNothing.dll", picture));
  EXPECT_FALSE(graphics.LoadPng("BGLilu", "QorCGraph1.dll", picture));  // a JPEG, not RCDATA
  EXPECT_TRUE(notices.lines.empty());
}

}  // namespace
}  // namespace trilane
