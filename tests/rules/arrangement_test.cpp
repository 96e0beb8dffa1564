#include <gtest/gtest.h>

#include "rules/arrangement.h"
#include "test_cards.h"

namespace trilane {
namespace {

using test::MakeHand;
using test::MakeRow;

RowValue Eval(const char* cards) { return EvaluateRow(MakeRow(cards)); }

TEST(Arrangement, LegalityIsStrictlyRising) {
  struct Case {
    const char *front, *middle, *back;
    bool legal;
  };
  const Case cases[] = {
      {"2c 3d 4h", "Kc Kd 5c 5d 3s", "Kh Ks 5h 5s 7c", true},   // same pairs, higher kicker
      {"2c 3d 4h", "Kc Kd 5c 5d 7s", "Kh Ks 5h 5s 7c", false},  // equal rows are not rising
      {"Qc Qd Qh", "2c 2d 2h 3s 3c", "4c 4d 4h 4s 5c", true},   // Front trips under a full house
      {"Qc Qd Qh", "2c 2d 2h 3s 4c", "As Ks 9s 5s 2s", false},  // Front trips over lower trips
      {"2c 3d 4h", "6h 7d 8c 9s Th", "6s 7s 8d 9h Tc", false},  // straights of the same top
      {"Ac Ad 2h", "Kc Kd 9c 3h 2s", "Ah As 9d 9h 3c", false},  // Front pair over Middle pair
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsLegalArrangement(Eval(c.front), Eval(c.middle), Eval(c.back)), c.legal)
        << c.front << " / " << c.middle << " / " << c.back;
  }
}

TEST(Arrangement, SpecialCombinations) {
  struct Case {
    const char* hand;
    Special expected;
  };
  const Case cases[] = {
      {"2h 3h 4h 5h 6h 7h 8h 9h Th Jh Qh Kh Ah", {13, 108}},
      {"2h 3d 4h 5h 6h 7h 8h 9h Th Jh Qh Kh Ah", {12, 36}},
      {"Jh Jd Jc Js Qh Qd Qc Qs Kh Kd Kc Ks Ah", {11, 32}},   // broadways before three quads
      {"2h 3h 4h 5h 6h 7d 8d 9d Td Jd 6s 7s 8s", {10, 24}},
      {"7h 7d 7c 7s 9h 9d 9c 9s Qh Qd Qc Qs 2h", {9, 20}},
      {"8h 8d 9c Ts Jh Qd Kc As 9h Td Jc Qs Kh", {8, 12}},    // eights count high...
      {"2h 2d 3c 4s 5h 6d 7c 8s 3h 4d 5c 6s 7h", {7, 12}},    // ...and low
      {"2h 4d 6h 8d Th Qd Ah 3d 5h 7d 9h Jd 2d", {6, 10}},
      {"2h 2d 2c 5s 5h 5d 9c 9s 9h Jd Jc Js Ac", {5, 8}},
      {"2h 2d 4c 4s 6h 6d 9c 9s Jh Jd Kc Ks Ac", {4, 6}},
      {"2h 2d 2c 4s 4h 6d 6c 9s 9h Jd Jc Ks Kh", {4, 6}},     // three of a kind: a pair and a single
      {"2h 3d 4c 5s 6h 5d 6c 7s 8h 9d Qc Ks Ah", {3, 4}},
      {"4h 5d 6c 7s 8h 6d 7c 8s 9h Td Ac 2s 3h", {3, 4}},
      {"2h 5h 7h 9h Jh 3d 6d 8d Td Qd 4c Kc 2c", {2, 3}},
      {"2h 5h 7h 9h Jh Kh Ah 3h 6c 8c Tc Qc 2c", {0, 0}},     // suit counts 8 and 5
      {"3h 4d 5c 6s 7h 6d 7c 8s 9h Td Kc As 2h", {0, 0}},     // K-A-2 is no three-card straight
      {"2h 3d 5c 7s 9h Jd Kc 2s 4h 6d 8c Ts Qh", {0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindSpecial(MakeHand(c.hand)), c.expected) << c.hand;
    EXPECT_EQ(FindSpecial(MakeHand(c.hand, false)), c.expected) << "unsorted " << c.hand;
  }
}

TEST(Arrangement, SplitIntoStraights) {
  EXPECT_EQ(SplitIntoStraights(MakeHand("2h 3h 4h 5h 6h 7d 8d 9d Td Jd 6s 7s 8s")), 2);
  EXPECT_EQ(SplitIntoStraights(MakeHand("2h 3h 4h 5h 6h 7d 8d 9d Td Jd 6s 7s 8c")), 1);
  EXPECT_EQ(SplitIntoStraights(MakeHand("2h 3d 4c 5s 6h 5d 6c 7s 8h 9d Qc Ks Ah")), 1);
  // Ace-to-five of one suit is a flush, so it is no straight part here.
  EXPECT_EQ(SplitIntoStraights(MakeHand("Ah 2h 3h 4h 5h 6d 7d 8d 9d Td Jc Qc Kc")), 1);
  EXPECT_EQ(SplitIntoStraights(MakeHand("2h 3d 5c 7s 9h Jd Kc 2s 4h 6d 8c Ts Qh")), 0);
}

TEST(Arrangement, SplitIntoStraightsAgreesWithThePlainSearch) {
  // Random deals rarely split into straights; hands drawn from a few adjacent ranks often do.
  DeckRandom random(4242);
  int splits[3] = {};
  for (int i = 0; i < 3000; ++i) {
    const Deck deck = ShuffleDeck(random);
    Hand hand;
    if (i % 2 == 0) {
      hand = DealHands(deck, 1)[0];
    } else {
      const int low = static_cast<int>(random.Random(4));  // ranks low+1 .. low+9
      int n = 0;
      for (const Card& c : deck) {
        if (n < 13 && c.rank > low && c.rank <= low + 9 + (c.rank == 13 ? 4 : 0)) hand[n++] = c;
      }
      if (n < 13) continue;
      SortHand(hand);
    }
    const int fast = SplitIntoStraights(hand);
    ASSERT_EQ(fast, SplitIntoStraightsByEnumeration(hand));
    ++splits[fast];
  }
  EXPECT_GT(splits[1], 0);  // the sample reaches the interesting answer
}

}  // namespace
}  // namespace trilane
