#include "platform/graphics/card_names.h"

#include <gtest/gtest.h>

namespace trilane {
namespace {

CardCode Code(const char* text) {
  const auto card = ParseCard(text);
  return card ? card->code : CardCode{};
}

TEST(FaceSlots, FollowTheRankAndSuitOrder) {
  struct Case {
    const char* card;
    int slot;
    const char* smallName;
  } cases[] = {
      {"6h", 1, "Ch06"},  {"6s", 4, "Pi06"},  {"7d", 6, "Bu07"},  {"Ah", 33, "Ch5A"},
      {"As", 36, "Pi5A"}, {"2h", 41, "Ch02"}, {"2d", 42, "Bu02"}, {"5s", 56, "Pi05"},
      {"Tc", 19, "Kr10"}, {"Js", 24, "Pi2J"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.card);
    EXPECT_EQ(FaceSlotOf(Code(c.card)), c.slot);
    EXPECT_EQ(CardOfFaceSlot(c.slot), Code(c.card));
    EXPECT_EQ(FaceResourceName(c.slot, 0, 1), c.smallName);
  }
  EXPECT_EQ(FaceSlotOf(CardCode{}), 0);
  for (int jokerSlot : {37, 38, 39, 40, 0, 57}) {
    EXPECT_FALSE(CardOfFaceSlot(jokerSlot).IsCard());
    EXPECT_EQ(FaceResourceName(jokerSlot, 0, 1), "");
  }
}

TEST(FaceNames, DesignSuffixesAndTheirExceptions) {
  const int two = FaceSlotOf(Code("2h")), ace = FaceSlotOf(Code("Ah")),
            king = FaceSlotOf(Code("Kh"));
  struct Case {
    int design;
    const char* two;
    const char* ace;
    const char* king;
    const char* symbol;
  } cases[] = {
      {0, "Ch02B", "Ch5AB", "Ch4KB", "CherB"},
      {1, "Ch02MedB", "Ch5AMedB", "Ch4KMedB", "CherMedB"},
      {6, "Ch02ModB", "Ch5ACorB", "Ch4KCorB", "CherModB"},  // numbers borrow, ace does not
      {7, "Ch02ModB", "Ch5AModB", "Ch4KCroB", "CherModB"},
      {20, "Ch02SeaB", "Ch5ASeaB", "Ch4KHeaB", "CherSeaB"},
      {25, "Ch02RhiB", "Ch5ABoyB", "Ch4KBoyB", "CherRhiB"},
      {27, "Ch02BigB", "Ch5AUSRB", "Ch4KUSRB", "CherBigB"},
      {35, "Ch02PasB", "Ch5APasB", "Ch4KPasB", "CherPasB"},
      {47, "Ch02CzeB", "Ch5ACzeB", "Ch4KCzeB", "CherCzeB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.design);
    EXPECT_EQ(FaceResourceName(two, c.design, 0), c.two);
    EXPECT_EQ(FaceResourceName(ace, c.design, 2), c.ace);
    EXPECT_EQ(FaceResourceName(king, c.design, 0), c.king);
    EXPECT_EQ(SymbolResourceName(1, c.design, 0), c.symbol);
  }
  EXPECT_EQ(SymbolResourceName(4, 0, 1), "Piki");
}

TEST(FaceDesigns, WidthAndLibrary) {
  for (int d = 0; d < kFaceDesigns; ++d) {
    const bool wide = d < 28 || d == 40 || d == 45;
    EXPECT_EQ(IsWideDesign(d), wide) << d;
    const std::string_view library = d == 0 ? "" : d <= 31 ? kCardsA : d <= 39 ? kCardsB : kCardsC;
    EXPECT_EQ(FaceLibrary(d), library) << d;
  }
}

TEST(BackAndBackgroundNames, SuffixesBySizeAndWidth) {
  EXPECT_EQ(BackResourceName(1, 0, 1, true), "Ob01Mo");
  EXPECT_EQ(BackResourceName(7, 0, 0, true), "Ob07SuB");
  EXPECT_EQ(BackResourceName(6, 0, 2, false), "Ob06SuU");
  EXPECT_EQ(BackResourceName(10, 9, 0, true), "Ob10XXFloB");
  EXPECT_EQ(BackResourceName(3, 12, 1, false), "Ob03WeRus");
  EXPECT_EQ(BackResourceName(11, 0, 1, true), "");
  EXPECT_EQ(BackgroundResourceName(2, 0, true), "FonG");
  EXPECT_EQ(BackgroundResourceName(2, 0, false), "FonGB");
  EXPECT_EQ(BackgroundResourceName(2, 1, true), "Fon02Re");
  EXPECT_EQ(BackgroundResourceName(10, 6, false), "Fon10FiB");
  EXPECT_EQ(BackgroundResourceName(1, 5, true), "Fon01B2");
  EXPECT_EQ(BackgroundResourceName(0, 0, true), "");
}

TEST(CardSizes, FollowTheScale) {
  struct Case {
    double kc;
    bool wide;
    CardSize size;
  } cases[] = {
      {1.0, true, {1, 71, 96}},     {1.29, false, {1, 71, 96}},  {1.3, true, {0, 92, 125}},
      {1.3, false, {0, 79, 125}},   {1.7, false, {0, 104, 163}}, {2.0, true, {2, 146, 198}},
      {2.08, false, {2, 126, 198}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kc);
    const CardSize s = CardSizeFor(c.kc, c.wide);
    EXPECT_EQ(s.sizeClass, c.size.sizeClass);
    EXPECT_EQ(s.width, c.size.width);
    EXPECT_EQ(s.height, c.size.height);
  }
}

TEST(ChooseBack, WeekdayAlwaysOneAndCollections) {
  // 1 Monday .. 7 Sunday: the back of the day is the weekday's number ("Ob06Su" Saturday,
  // "Ob07Su" Sunday).
  for (int day = 1; day <= 7; ++day) {
    EXPECT_EQ(ChooseBackNumber(day, false, 0, 1), day);
    EXPECT_EQ(ChooseBackNumber(day, true, 3, 1), 7);
  }
  EXPECT_EQ(BackResourceName(ChooseBackNumber(6, false, 0, 0), 0, 1, true), "Ob06Su");
  EXPECT_EQ(BackResourceName(ChooseBackNumber(7, false, 0, 0), 0, 1, true), "Ob07Su");
  // A collection ignores both rules and spreads over all ten backs.
  std::array<int, 11> seen{};
  for (uint32_t seed = 0; seed < 400; ++seed) {
    const int back =
        ChooseBackNumber(static_cast<int>(seed % 7) + 1, seed % 2 == 0, 9, seed * 7919);
    ASSERT_GE(back, 1);
    ASSERT_LE(back, 10);
    ++seen[static_cast<size_t>(back)];
  }
  for (int back = 1; back <= 10; ++back) EXPECT_GT(seen[static_cast<size_t>(back)], 10) << back;
  EXPECT_EQ(ChooseBackNumber(1, false, 9, 12345), ChooseBackNumber(5, true, 9, 12345));
}

TEST(VoiceNames, CardAndLanguage) {
  EXPECT_EQ(VoiceResourceName(Code("2h"), 0), "Ch02VoiceEng");
  EXPECT_EQ(VoiceResourceName(Code("As"), 9), "Pi5AVoiceKor");
  EXPECT_EQ(VoiceResourceName(Code("Td"), 2), "Bu10VoiceDeu");
  EXPECT_EQ(VoiceResourceName(CardCode{}, 0), "");
  EXPECT_EQ(VoiceResourceName(Code("2h"), 10), "");
}

}  // namespace
}  // namespace trilane
