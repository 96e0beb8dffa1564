// The best arrangement against three revealed ones, checked against a plain search that
// tries every way to deal the thirteen cards into the rows and scores each whole round.
#include "rules/best_arrangement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <limits>

#include "rules/computer.h"
#include "test_cards.h"

namespace trilane {
namespace {

struct Brute {
  int32_t best = std::numeric_limits<int32_t>::min();
  int32_t legal = 0;
};

// Every Back (5 of 13 cards), every Middle (5 of the other 8), the Front the rest; each
// legal split scored as a whole round of four positions.
Brute BruteForce(const Hand& hand, const Opponents& against, bool ruleTwoFour) {
  Brute out;
  TableValues values;
  for (int p = 0; p < 3; ++p) values[p] = EvaluateArrangement(against[p]);
  auto rowOf = [&](unsigned mask) {
    Row row;
    row.fill(kEmptySlot);
    int n = 0;
    for (int i = 0; i < 13; ++i)
      if (mask & (1u << i)) row[n++] = hand[i];
    return row;
  };
  for (unsigned back = 0; back < (1u << 13); ++back) {
    if (std::popcount(back) != 5) continue;
    const unsigned rest = 0x1FFFu & ~back;
    for (unsigned middle = rest; middle; middle = (middle - 1) & rest) {
      if (std::popcount(middle) != 5) continue;
      const unsigned front = rest & ~middle;
      values[3] = {EvaluateRow(rowOf(front)), EvaluateRow(rowOf(middle)), EvaluateRow(rowOf(back))};
      if (!IsLegalArrangement(values[3])) continue;
      ++out.legal;
      out.best = std::max(out.best, RoundTotal(ScoreRound(values, ruleTwoFour).points, 3));
    }
  }
  return out;
}

bool SameCards(const Hand& hand, const Arrangement& rows) {
  std::vector<int> a, b;
  for (const Card& c : hand) a.push_back(CardNumberOf(c.code));
  for (const Row& row : rows.rows)
    for (const Card& c : row)
      if (c.code.IsCard()) b.push_back(CardNumberOf(c.code));
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

TEST(BestArrangementTest, AgreesWithThePlainSearchOnDealtRounds) {
  int tried = 0;
  for (uint32_t seed = 11; tried < 6 && seed < 400; ++seed) {
    DeckRandom random(seed);
    const Hands hands = DealHands(ShuffleDeck(random), 1);
    bool special = false;
    for (const Hand& h : hands) special = special || FindSpecial(h).code != 0;
    if (special) continue;
    ++tried;
    Opponents against;
    for (int p = 0; p < 3; ++p) against[p] = ArrangeByComputer(hands[p]).rows;
    const bool ruleTwoFour = seed % 2 == 0;
    const BestArrangement best = FindBestArrangement(hands[3], against, ruleTwoFour);
    const Brute brute = BruteForce(hands[3], against, ruleTwoFour);
    SCOPED_TRACE(seed);
    EXPECT_FALSE(best.settledBySpecials);
    EXPECT_EQ(best.legalSplits, brute.legal);
    EXPECT_EQ(best.points, brute.best);
    // The rows given are the hand's own, legal, and do score the points claimed.
    EXPECT_TRUE(SameCards(hands[3], best.rows));
    EXPECT_TRUE(IsLegalArrangement(EvaluateArrangement(best.rows)));
    EXPECT_EQ(best.values, EvaluateArrangement(best.rows));
    EXPECT_EQ(PointsAgainst(best.rows, against, ruleTwoFour), best.points);
    // Never worse than what the computer would have played.
    EXPECT_GE(best.points, PointsAgainst(ArrangeByComputer(hands[3]).rows, against, ruleTwoFour));
  }
  EXPECT_EQ(tried, 6);
}

// A full deck where rows earn bonuses on both sides (straight flushes, a full house in the
// Middle, a Front of three jacks) and the player's four nines may go to the Middle or the
// Back: the bonuses and the majority rule decide the best split.
TEST(BestArrangementTest, StrongRowsAndTheMajorityRuleCount) {
  const Hand hand = test::MakeHand("9h 9d 9c 9s 2h 2d 7c 7s Kh Qd 3s 4c 5h");
  Opponents against;
  against[0].rows = {test::MakeRow("3h 3c 2s"), test::MakeRow("4d 5d 6d 7d 8d"),
                     test::MakeRow("Ts Js Qs Ks As")};
  against[1].rows = {test::MakeRow("Jc Jd Jh"), test::MakeRow("Tc Td Th 6h 6s"),
                     test::MakeRow("Ac Ad Ah 8h 8c")};
  against[2].rows = {test::MakeRow("4h 4s 6c"), test::MakeRow("5c 5s 2c 3d 7h"),
                     test::MakeRow("Kd Kc Qh Qc 8s")};
  ASSERT_EQ(FindSpecial(hand).code, 0);
  for (const Arrangement& a : against) {
    ASSERT_EQ(FindSpecial(HandOf(a)).code, 0);
    ASSERT_TRUE(IsLegalArrangement(EvaluateArrangement(a)));
  }
  for (bool ruleTwoFour : {false, true}) {
    SCOPED_TRACE(ruleTwoFour);
    const BestArrangement best = FindBestArrangement(hand, against, ruleTwoFour);
    EXPECT_FALSE(best.settledBySpecials);
    EXPECT_EQ(best.points, BruteForce(hand, against, ruleTwoFour).best);
    EXPECT_EQ(PointsAgainst(best.rows, against, ruleTwoFour), best.points);
  }
}

// A hand whose best split puts its five highest cards in the Back: the last Back of the
// search's order, so a search that stopped one Back short would miss it.
TEST(BestArrangementTest, TheFiveHighestCardsAsTheBack) {
  constexpr uint32_t kOthersSeed = 1;
  const Hand hand = test::MakeHand("2h 3d 4c 6h 7d 8c 9h 9d Ts Js Qs Ks As");
  // The other 39 cards, in the order of a shuffled deck, dealt to three seats that the
  // computer arranges.
  std::array<Hand, 3> others{};
  int dealt = 0;
  for (const Card& card : test::ShuffledDeck(kOthersSeed)) {
    if (std::find(hand.begin(), hand.end(), card) != hand.end()) continue;
    others[dealt / 13][dealt % 13] = card;
    ++dealt;
  }
  Opponents against;
  for (int p = 0; p < 3; ++p) {
    SortHand(others[p]);
    ASSERT_EQ(FindSpecial(others[p]).code, 0);
    against[p] = ArrangeByComputer(others[p]).rows;
  }
  ASSERT_EQ(FindSpecial(hand).code, 0);
  for (bool ruleTwoFour : {false, true}) {
    SCOPED_TRACE(ruleTwoFour);
    const BestArrangement best = FindBestArrangement(hand, against, ruleTwoFour);
    EXPECT_EQ(best.points, BruteForce(hand, against, ruleTwoFour).best);
    EXPECT_EQ(best.values[kBack], EvaluateRow(test::MakeRow("Ts Js Qs Ks As")));
  }
}

TEST(BestArrangementTest, SpecialCombinationsSettleTheRoundWithoutRows) {
  const Hand plain = test::MakeHand("2h 2d 5s 7h 9d Js Kh 3d 6s 8h Td Qs Ah");
  Opponents against;
  against[0].rows = {test::MakeRow("2c 3c 4c"), test::MakeRow("5c 6c 7c 8c 9c"),
                     test::MakeRow("Tc Jc Qc Kc Ac")};  // a clean dragon: 108
  against[1].rows = {test::MakeRow("2s 3s Jh"), test::MakeRow("3h 4h 5h 6h 9h"),
                     test::MakeRow("4d 5d 6d 7d 8d")};
  against[2].rows = {test::MakeRow("Th Jd Kd"), test::MakeRow("Ts As Ad Qh Qd"),
                     test::MakeRow("4s 7s 8s 9s Ks")};
  ASSERT_EQ(FindSpecial(plain).code, 0);
  ASSERT_EQ(FindSpecial(HandOf(against[1])).code, 0);
  ASSERT_EQ(FindSpecial(HandOf(against[2])).code, 0);
  const BestArrangement lost = FindBestArrangement(plain, against, false);
  EXPECT_TRUE(lost.settledBySpecials);
  EXPECT_EQ(lost.ownSpecial.code, 0);
  EXPECT_EQ(lost.points, -108);
  EXPECT_TRUE(SameCards(plain, lost.rows));
  EXPECT_TRUE(IsLegalArrangement(EvaluateArrangement(lost.rows)));

  // The player's dragon (36) against a clean dragon, another clean dragon and a dragon.
  const Hand dragon = test::MakeHand("2h 3h 4h 5h 6h 7h 8h 9h Th Jh Qh Kh Ad");
  against[1].rows = {test::MakeRow("2s 3s 4s"), test::MakeRow("5s 6s 7s 8s 9s"),
                     test::MakeRow("Ts Js Qs Ks As")};
  against[2].rows = {test::MakeRow("2d 3d 4d"), test::MakeRow("5d 6d 7d 8d 9d"),
                     test::MakeRow("Td Jd Qd Kd Ah")};
  const BestArrangement own = FindBestArrangement(dragon, against, false);
  EXPECT_TRUE(own.settledBySpecials);
  EXPECT_EQ(own.ownSpecial, (Special{kDragon, 36}));
  EXPECT_EQ(own.points, 3 * 36 - 108 - 108 - 36);
}

}  // namespace
}  // namespace trilane
