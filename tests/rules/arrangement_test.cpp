#include <gtest/gtest.h>

#include <map>

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

// Every place the single card may take in the grouped combinations, and for each hand that
// answers to more than one combination, the one found first in the order of the table.
TEST(Arrangement, EveryPatternAndTheOrderOfPrecedence) {
  struct Case {
    const char* hand;
    int code;
    const char* why;
  };
  const Case cases[] = {
      {"2h 5h 5d 5c 5s 9h 9d 9c 9s Kh Kd Kc Ks", kThreeQuads, "single 1st"},
      {"3h 3d 3c 3s 7h 9h 9d 9c 9s Kh Kd Kc Ks", kThreeQuads, "single 5th"},
      {"3h 3d 3c 3s 6h 6d 6c 6s 8h Kh Kd Kc Ks", kThreeQuads, "single 9th"},
      {"2h 2d 2c 2s 5h 5d 5c 5s 9h 9d 9c 9s Ah", kThreeQuads, "single 13th"},
      {"2h 4h 4d 4c 6h 6d 6c 9h 9d 9c Jh Jd Jc", kFourTriples, "single 1st"},
      {"3h 3d 3c 5s 7h 7d 7c 9h 9d 9c Qh Qd Qc", kFourTriples, "single 4th"},
      {"3h 3d 3c 5h 5d 5c 8s Th Td Tc Qh Qd Qc", kFourTriples, "single 7th"},
      {"2h 2d 2c 4h 4d 4c 6h 6d 6c 9s Kh Kd Kc", kFourTriples, "single 10th"},
      {"2h 2d 2c 4h 4d 4c 6h 6d 6c 8h 8d 8c As", kFourTriples, "single 13th"},
      {"2h 4h 4d 6h 6d 8c 8s Tc Td Qh Qs Ac Ad", kSixPairs, "single 1st"},
      {"2h 2d 4c 6h 6d 8c 8s Tc Td Qh Qs Ac Ad", kSixPairs, "single 3rd"},
      {"2h 2d 4c 4s 7h 9h 9d Jc Js Kh Kd Ac As", kSixPairs, "single 5th"},
      {"2h 2d 4c 4s 6h 6d 8c Ts Th Qd Qc Ah As", kSixPairs, "single 7th"},
      {"2h 2d 4c 4s 6h 6d 8c 8s Th Qd Qc Ah As", kSixPairs, "single 9th"},
      {"2h 2d 4c 4s 6h 6d 8c 8s Th Td Qc Ah As", kSixPairs, "single 11th"},
      {"2h 2d 4c 4s 6h 6d 8c 8s Th Td Qc Qh As", kSixPairs, "single 13th"},
      {"2h 2d 2c 2s 4h 4d 6c 6s 9h 9d Jc Js Kh", kSixPairs, "four of a kind as two pairs"},
      {"2h 3h 4h 5h 6h 7h 8h 9h Th Jh Qh Kh Ah", kCleanDragon, "before Dragon, Full-colored"},
      {"2h 3d 4h 5h 6h 7h 8h 9h Th Jh Qh Kh Ah", kDragon, "before Full-colored, Straights"},
      {"Jh Jd Jc Js Qh Qd Qc Qs Kh Kd Kc Ks Ah", kAllBroadways, "before Quads, Highs, Pairs"},
      {"8h 9h Th Jh Qh 9d Td Jd Qd Kd Qs Ks As", kThreeStraightFlushes, "before Highs, Flushes"},
      {"2h 3h 4h 5h 6h 4d 5d 6d 7d 8d 9h Th Jh", kThreeStraightFlushes, "before Full-colored"},
      {"8h 8d 8c 8s 9h 9d 9c 9s Th Td Tc Ts Jh", kThreeQuads, "before All Highs, Six Pairs"},
      {"8h 8d 9h 9d Th Td Jh Jd Qh Qd Kh Kd Ah", kAllHighs, "before Full-colored, Pairs"},
      {"Ts Jh Qs Kh Ac 8c 9c Tc Js Qh 8h 9s Td", kAllHighs, "before Three Straights"},
      {"2h 2d 3h 3d 4h 4d 5h 5d 6h 6d 7h 7d 8h", kAllLow, "before Full-colored, Pairs"},
      {"3d 4h 5c 6d 7h 3s 4s 5s 6c 7d 5h 6s 7s", kAllLow, "before Three Straights"},
      {"2h 2d 4h 4d 6h 6d 9h 9d Jh Jd Kh Kd Ah", kFullColored, "before Six Pairs"},
      {"6d 7d 8d 9h Td 7h 8h 9d Th Jh 3h 4d 5d", kFullColored, "before Three Straights"},
      {"2h 4h 6h 9h Jh 2d 4d 6d 9d Kd Jc Kc Ac", kSixPairs, "before Three Flushes"},
      {"7d 8c 9c Tc Jh 2d 3h 4h 5h 6c 6h 7c 8d", kThreeStraights, "before Three Flushes"},
  };
  // The points of each combination, by code.
  const std::map<int, int> points = {
      {kCleanDragon, 108}, {kDragon, 36},   {kAllBroadways, 32},  {kThreeStraightFlushes, 24},
      {kThreeQuads, 20},   {kAllHighs, 12}, {kAllLow, 12},        {kFullColored, 10},
      {kFourTriples, 8},   {kSixPairs, 6},  {kThreeStraights, 4}, {kThreeFlushes, 3},
  };
  for (const Case& c : cases) {
    const Special expected{c.code, points.at(c.code)};
    EXPECT_EQ(FindSpecial(MakeHand(c.hand)), expected) << c.hand << " (" << c.why << ")";
    EXPECT_EQ(FindSpecial(MakeHand(c.hand, false)), expected) << "unsorted " << c.hand;
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
