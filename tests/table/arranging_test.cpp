#include <gtest/gtest.h>

#include "recorder.h"
#include "table/arranging.h"

namespace trilane {
namespace {

TEST(ArrangingTest, FirstLayoutPutsTheHighestCardsInFront) {
  DeckRandom random(7);
  const Hand hand = DealHands(ShuffleDeck(random), 1)[3];
  const Arrangement rows = InitialRows(hand);
  // Hand slots 13, 12, 11 -> Front 1..3; 10..6 -> Middle 1..5; 5..1 -> Back 5..1.
  EXPECT_EQ(rows.rows[kFront][0], hand[12]);
  EXPECT_EQ(rows.rows[kFront][2], hand[10]);
  EXPECT_EQ(rows.rows[kFront][3], kEmptySlot);
  EXPECT_EQ(rows.rows[kFront][4], kEmptySlot);
  EXPECT_EQ(rows.rows[kMiddle][0], hand[9]);
  EXPECT_EQ(rows.rows[kMiddle][4], hand[5]);
  for (int s = 0; s < 5; ++s) EXPECT_EQ(rows.rows[kBack][s], hand[s]);
  // The flight order: Front first, the Back filled from slot 5 down.
  const auto& order = InitialPlacementOrder();
  EXPECT_EQ(order[0].handSlot, 13);
  EXPECT_EQ(order[8].handSlot, 5);
  EXPECT_EQ(order[8].to, (Slot{kBack, 5}));
  EXPECT_EQ(order[12].to, (Slot{kBack, 1}));
}

TEST(ArrangingTest, SwapsAnyTwoOfTheThirteenPlacesButNotDeadOnes) {
  DeckRandom random(3);
  const Arrangement start = InitialRows(DealHands(ShuffleDeck(random), 1)[3]);
  Arrangement rows = start;
  EXPECT_TRUE(SwapSlots(rows, {kFront, 1}, {kBack, 5}));
  EXPECT_EQ(rows.rows[kFront][0], start.rows[kBack][4]);
  EXPECT_EQ(rows.rows[kBack][4], start.rows[kFront][0]);
  Arrangement unchanged = start;
  EXPECT_FALSE(SwapSlots(unchanged, {kFront, 4}, {kMiddle, 1}));  // Front slot 4 holds no card
  EXPECT_FALSE(SwapSlots(unchanged, {kMiddle, 2}, {kMiddle, 2}));
  EXPECT_FALSE(SwapSlots(unchanged, {}, {kMiddle, 2}));
  EXPECT_EQ(unchanged, start);
}

TEST(ArrangingTest, SwapsToReachTurnOneArrangementIntoAnother) {
  DeckRandom random(11);
  const Hand hand = DealHands(ShuffleDeck(random), 1)[3];
  Arrangement rows = InitialRows(hand);
  const Arrangement target = ArrangeByComputer(hand).rows;
  for (const auto& [a, b] : SwapsToReach(rows, target)) SwapSlots(rows, a, b);
  EXPECT_EQ(rows, target);
  Arrangement other = target;
  other.rows[kBack][0] = kEmptySlot;
  EXPECT_TRUE(SwapsToReach(InitialRows(hand), other).empty());
}

TEST(ArrangingTest, SlotUnderThePointer) {
  const GridGeometry grid{71, 96, 2};
  struct Case {
    int x, y;
    std::optional<Slot> slot;
  } cases[] = {
      {0, 0, Slot{kFront, 1}},           {70, 95, Slot{kFront, 1}},
      {71, 50, std::nullopt},  // gap
      {73, 0, Slot{kFront, 2}},          {2 * 73, 10, Slot{kFront, 3}},
      {3 * 73, 10, std::nullopt},  // Front 4
      {4 * 73 + 5, 98, Slot{kMiddle, 5}}, {10, 2 * 98, Slot{kBack, 1}},
      {10, 3 * 98, std::nullopt},   {-1, 10, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(SlotAt(c.x, c.y, grid), c.slot) << c.x << "," << c.y;
}

TEST(ArrangingTest, HandCardPositions) {
  // Thirteen cards always overlap: step 7 in a side hand of 160, 24 in the own hand of 370.
  EXPECT_EQ(HandCardX(13, 160, 71)[1], 7);
  EXPECT_EQ(HandCardX(13, 160, 71)[12], 84);
  EXPECT_EQ(HandCardX(13, 370, 71)[12], 12 * 24);
  EXPECT_EQ(HandCardX(13, 370, 71)[13], 0);
  // Side by side, centred: m = 185, first edge round(185 - 3 * 74 / 2) = 74.
  const HandCardXs three = HandCardX(3, 370, 71);
  EXPECT_EQ(three[0], 74);
  EXPECT_EQ(three[1], 148);
  EXPECT_EQ(three[2], 222);
  // Halves go to the even neighbour: W = 151, m = round(75.5) = 76; 76 - 74 = 2.
  EXPECT_EQ(HandCardX(2, 151, 71)[0], 2);
  // Too narrow for even one step: cards stack at the left edge.
  EXPECT_EQ(HandCardX(13, 50, 71)[12], 0);
  EXPECT_EQ(HandCardX(0, 370, 71)[0], 0);
}

TEST(ArrangingTest, HandCardUnderThePointerByVisibleStrip) {
  DeckRandom random(5);
  Hand hand = DealHands(ShuffleDeck(random), 1)[3];
  EXPECT_EQ(HandSlotAt(0, hand, 370, 71), 1);
  EXPECT_EQ(HandSlotAt(23, hand, 370, 71), 1);
  EXPECT_EQ(HandSlotAt(24, hand, 370, 71), 2);
  EXPECT_EQ(HandSlotAt(12 * 24 + 70, hand, 370, 71), 13);
  EXPECT_EQ(HandSlotAt(12 * 24 + 71, hand, 370, 71), std::nullopt);
  for (int i = 4; i < 13; ++i) hand[i] = kEmptySlot;  // four cards lie side by side
  const HandCardXs xs = HandCardX(4, 370, 71);
  EXPECT_EQ(xs[1] - xs[0], 74);
  EXPECT_EQ(HandSlotAt(xs[3] + 70, hand, 370, 71), 4);
  EXPECT_EQ(HandSlotAt(xs[1] - 1, hand, 370, 71), 1);  // the gap belongs to the card before
  EXPECT_EQ(HandSlotAt(xs[3] + 71, hand, 370, 71), std::nullopt);
  hand.fill(kEmptySlot);
  EXPECT_EQ(HandSlotAt(10, hand, 370, 71), std::nullopt);
}

}  // namespace
}  // namespace trilane
