#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "rules/computer.h"
#include "rules/scoring.h"
#include "test_cards.h"

namespace trilane {
namespace {

using test::V;

// Positions given as three high-card ranks (Front, Middle, Back): no bonus can apply.
TableValues HighCards(std::array<std::array<uint8_t, 3>, 4> ranks) {
  TableValues t{};
  for (int p = 0; p < 4; ++p)
    for (int r = 0; r < 3; ++r) t[p][r] = V(1, ranks[p][r]);
  return t;
}

void ExpectZeroSum(const RoundPoints& pts) {
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(pts[0][k] + pts[1][k] + pts[2][k] + pts[3][k], 0) << "column " << k;
  }
}

TEST(ScoreRound, RowDuels) {
  const RoundScore s = ScoreRound(HighCards({{{5, 2, 9}, {5, 3, 3}, {5, 4, 12}, {5, 5, 6}}}), false);
  EXPECT_EQ(s.points[0][kFrontPoints], 0);  // four equal Fronts
  EXPECT_EQ(s.points[2][kBackPoints], 3);   // Backs ranked 1st..4th
  EXPECT_EQ(s.points[0][kBackPoints], 1);
  EXPECT_EQ(s.points[3][kBackPoints], -1);
  EXPECT_EQ(s.points[1][kBackPoints], -3);
  ExpectZeroSum(s.points);
}

TEST(ScoreRound, StrongRowBonuses) {
  TableValues t = HighCards({{{9, 5, 5}, {5, 5, 5}, {5, 5, 5}, {5, 5, 5}}});
  t[0][kFront] = V(4, 2);  // three of a kind in the Front beats every other Front
  RoundScore s = ScoreRound(t, false);
  EXPECT_EQ(s.points[0][kFrontPoints], 12);
  for (int p = 1; p < 4; ++p) EXPECT_EQ(s.points[p][kFrontPoints], -4);
  EXPECT_EQ(s.bonus[0][kFront], 1);
  EXPECT_EQ(s.bonus[1][kFront], 0);

  t = HighCards({{{5, 5, 5}, {5, 5, 5}, {5, 5, 5}, {5, 5, 5}}});
  t[1][kMiddle] = V(9, 9);  // Middle straight flush: bonus 4
  t[2][kBack] = V(8, 3, 1);  // Back four of a kind: bonus 2
  t[3][kBack] = V(8, 4, 1);
  s = ScoreRound(t, false);
  EXPECT_EQ(s.points[1][kMiddlePoints], 3 + 12);
  EXPECT_EQ(s.points[0][kMiddlePoints], -1 - 4);
  // Two positions with the same bonus row both collect and pay each other.
  EXPECT_EQ(s.points[3][kBackPoints], 3 + 6 - 2);
  EXPECT_EQ(s.points[2][kBackPoints], 1 + 6 - 2);
  EXPECT_EQ(s.points[0][kBackPoints], -2 - 2 - 2);
  EXPECT_EQ(s.bonus[3][kBack], 1);
  ExpectZeroSum(s.points);

  // No bonus for a Back full house, a flush, a straight or a Front pair.
  t = HighCards({{{5, 5, 5}, {5, 5, 5}, {5, 5, 5}, {5, 5, 5}}});
  t[0][kBack] = V(7, 3, 2);
  t[1][kMiddle] = V(6, 9, 8, 7, 6, 2);
  t[2][kBack] = V(5, 9);
  t[3][kFront] = V(2, 9, 3);
  s = ScoreRound(t, true);
  for (int p = 0; p < 4; ++p)
    for (int r = 0; r < 3; ++r) EXPECT_EQ(s.bonus[p][r], 0);
}

// Every row and category, under both majority rules. Position 1 holds the category in one
// row and wins all three rows against three positions of low high cards, so each cell also
// shows how the bonus adds to the sweep: row duels 3 per row, the bonus b paid by each of the
// three others (3b in all), and the majority of 1 a duel under "2-4", 3 under "1-6".
TEST(ScoreRound, EveryStrongRowBonusCellUnderBothRules) {
  struct Cell {
    int row;
    uint8_t category;
    int bonus;
  };
  const Cell cells[] = {
      {kFront, 1, 0},  {kFront, 2, 0},  {kFront, 4, 3},  {kMiddle, 1, 0}, {kMiddle, 2, 0},
      {kMiddle, 3, 0}, {kMiddle, 4, 0}, {kMiddle, 5, 0}, {kMiddle, 6, 0}, {kMiddle, 7, 1},
      {kMiddle, 8, 3}, {kMiddle, 9, 4}, {kBack, 1, 0},   {kBack, 2, 0},   {kBack, 3, 0},
      {kBack, 4, 0},   {kBack, 5, 0},   {kBack, 6, 0},   {kBack, 7, 0},   {kBack, 8, 2},
      {kBack, 9, 3},
  };
  for (const bool twoFour : {false, true}) {
    const int majority = twoFour ? 1 : 3;
    for (const Cell& c : cells) {
      TableValues t = HighCards({{{12, 12, 12}, {5, 5, 5}, {5, 5, 5}, {5, 5, 5}}});
      t[0][c.row] = V(c.category, 12, 11);
      const RoundScore s = ScoreRound(t, twoFour);
      const std::string where = std::string(twoFour ? "2-4" : "1-6") + " row " +
                                std::to_string(c.row) + " category " + std::to_string(c.category);
      for (int r = 0; r < 3; ++r) {
        const int bonus = r == c.row ? c.bonus : 0;
        EXPECT_EQ(s.points[0][r], 3 + 3 * bonus) << where << ", row " << r;
        EXPECT_EQ(s.bonus[0][r], bonus > 0 ? 1 : 0) << where << ", row " << r;
        for (int p = 1; p < 4; ++p) {
          EXPECT_EQ(s.points[p][r], -1 - bonus) << where << ", position " << p + 1;
          EXPECT_EQ(s.bonus[p][r], 0) << where;
        }
      }
      EXPECT_EQ(s.points[0][kHandPoints], 3 * majority) << where;
      EXPECT_EQ(RoundTotal(s.points, 0), 9 + 3 * c.bonus + 3 * majority) << where;
      for (int p = 1; p < 4; ++p) {
        EXPECT_EQ(RoundTotal(s.points, p), -3 - c.bonus - majority) << where;
      }
    }
  }
  // Two holders of bonus rows collect from each other: Back four of a kind against a Back
  // straight flush that beats it.
  TableValues t = HighCards({{{5, 5, 5}, {5, 5, 5}, {5, 5, 5}, {5, 5, 5}}});
  t[0][kBack] = V(8, 12, 1);
  t[1][kBack] = V(9, 5);
  const RoundScore s = ScoreRound(t, false);
  EXPECT_EQ(s.points[0][kBackPoints], 1 + 6 - 3);
  EXPECT_EQ(s.points[1][kBackPoints], 3 + 9 - 2);
  EXPECT_EQ(s.points[2][kBackPoints], -2 - 2 - 3);
  EXPECT_EQ(s.points[3][kBackPoints], -2 - 2 - 3);
}

TEST(ScoreRound, MajorityUnderBothRules) {
  struct Case {
    std::array<std::array<uint8_t, 3>, 4> ranks;
    bool twoFour;
    int handPointsOfFirst;
  };
  const Case cases[] = {
      // Sweeps position 2, wins 2 to 1 against position 3, ties position 4 throughout.
      {{{{10, 10, 10}, {1, 1, 1}, {5, 5, 12}, {10, 10, 10}}}, false, 3},
      {{{{10, 10, 10}, {1, 1, 1}, {5, 5, 12}, {10, 10, 10}}}, true, 2},
      // One tied row and two won rows against position 2 only.
      {{{{5, 5, 5}, {5, 1, 1}, {5, 5, 5}, {5, 5, 5}}}, true, 1},
      {{{{5, 5, 5}, {5, 1, 1}, {5, 5, 5}, {5, 5, 5}}}, false, 0},
  };
  for (const Case& c : cases) {
    const RoundScore s = ScoreRound(HighCards(c.ranks), c.twoFour);
    EXPECT_EQ(s.points[0][kHandPoints], c.handPointsOfFirst) << (c.twoFour ? "2-4" : "1-6");
    ExpectZeroSum(s.points);
  }
  // A sweep is worth 4 under "2-4" and 6 under "1-6".
  const auto sweep = HighCards({{{9, 9, 9}, {1, 1, 1}, {9, 9, 9}, {9, 9, 9}}});
  EXPECT_EQ(RoundTotal(ScoreRound(sweep, true).points, 0), 4);
  EXPECT_EQ(RoundTotal(ScoreRound(sweep, false).points, 0), 6);
}

TEST(SettleSpecials, PointsAndTotals) {
  RoundPoints pts{};
  Totals totals{10, 0, 0, -10};
  SettleSpecials({Special{kDragon, 36}, {}, {}, {}}, pts, totals);
  EXPECT_EQ(pts[0][kSpecialPoints], 108);
  EXPECT_EQ(pts[1][kSpecialPoints], -36);
  EXPECT_EQ(totals, (Totals{118, -36, -36, -46}));

  pts = {};
  totals = {};
  SettleSpecials({Special{kDragon, 36}, Special{kSixPairs, 6}, {}, {}}, pts, totals);
  EXPECT_EQ(totals, (Totals{102, -18, -42, -42}));
  ExpectZeroSum(pts);
  for (int p = 0; p < 4; ++p) EXPECT_EQ(RoundTotal(pts, p), 0);  // rows are not played
}

TEST(ScoreRound, ComputerRoundsAreZeroSum) {
  DeckRandom random(2024);
  for (int round = 0; round < 300; ++round) {
    const Hands hands = DealHands(ShuffleDeck(random), 1);
    TableValues values;
    for (int p = 0; p < 4; ++p) values[p] = ArrangeByComputer(hands[p]).values;
    const RoundScore s = ScoreRound(values, round % 2 == 0);
    ExpectZeroSum(s.points);
    int32_t sum = 0;
    for (int p = 0; p < 4; ++p) sum += RoundTotal(s.points, p);
    ASSERT_EQ(sum, 0);
  }
}

}  // namespace
}  // namespace trilane
