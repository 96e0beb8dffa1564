#include <gtest/gtest.h>

#include <set>

#include "rules/computer.h"
#include "rules/subsets.h"
#include "test_cards.h"

namespace trilane {
namespace {

using test::MakeHand;

// The search taken literally: every Back subset in order, every Middle subset of the rest,
// each row valued from scratch by the pattern table.
ComputerArrangement LiteralSearch(const Hand& hand) {
  ComputerArrangement best;
  best.weight = 0;
  bool found = false;
  const auto backs = Combinations(13, 5);
  const auto middles = Combinations(8, 5);
  for (const auto& b : backs) {
    Row back;
    for (int i = 0; i < 5; ++i) back[i] = hand[b[i] - 1];
    const RowValue bv = EvaluateRowByPatterns(back);
    if (bv.category < 3) continue;
    std::vector<Card> rest;
    for (int s = 1; s <= 13; ++s) {
      if (std::find(b.begin(), b.end(), s) == b.end()) rest.push_back(hand[s - 1]);
    }
    for (const auto& m : middles) {
      Row middle, front;
      front.fill(kEmptySlot);
      int f = 0;
      for (int i = 0; i < 5; ++i) middle[i] = rest[m[i] - 1];
      for (int j = 1; j <= 8; ++j) {
        if (std::find(m.begin(), m.end(), j) == m.end()) front[f++] = rest[j - 1];
      }
      const RowValue mv = EvaluateRowByPatterns(middle);
      if (!RowBeats(bv, mv)) continue;
      const RowValue fv = EvaluateRowByPatterns(front);
      if (!RowBeats(mv, fv)) continue;
      const int32_t w = ArrangementScore(fv, mv, bv);
      if (w > best.weight) {
        best.weight = w;
        best.rows.rows = {front, middle, back};
        best.values = {fv, mv, bv};
        found = true;
      }
    }
  }
  best.searched = found;
  return best;
}

TEST(Combinations, OrderAndCounts) {
  const auto c = Combinations(13, 5);
  ASSERT_EQ(c.size(), 1287u);
  EXPECT_EQ(c.front(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(c[1], (std::vector<int>{1, 2, 3, 4, 6}));
  EXPECT_EQ(c.back(), (std::vector<int>{9, 10, 11, 12, 13}));
  EXPECT_EQ(Combinations(8, 5).size(), 56u);
  EXPECT_EQ(Combinations(13, 3).size(), 286u);
  EXPECT_TRUE(Combinations(3, 5).empty());
}

TEST(ArrangementScore, Terms) {
  using test::V;
  // Back two pairs of nines, Middle pair of fives, Front high card king.
  EXPECT_EQ(ArrangementScore(V(1, 12), V(2, 4), V(3, 8)), 500 + 12 + 100 + 50 * 4 + 400 + 60 * 8);
  EXPECT_EQ(ArrangementScore(V(4, 3), V(9, 9), V(9, 13)), 25000 + 210 + 2000000 + 1000000);
  EXPECT_EQ(ArrangementScore(V(2, 5, 1), V(7, 2, 1), V(8, 2, 1)), 1250 + 200200 + 400000);
}

TEST(ArrangeByComputer, MatchesTheLiteralSearch) {
  DeckRandom random(31337);
  for (int deal = 0; deal < 40; ++deal) {
    const Hands hands = DealHands(ShuffleDeck(random), 1);
    for (const Hand& hand : hands) {
      const ComputerArrangement fast = ArrangeByComputer(hand);
      const ComputerArrangement literal = LiteralSearch(hand);
      ASSERT_TRUE(literal.searched);
      ASSERT_EQ(fast.weight, literal.weight);
      ASSERT_EQ(fast.rows, literal.rows);
      ASSERT_EQ(fast.values, literal.values);
    }
  }
  // Hands rich in equal weights: the earliest Back, then the earliest Middle, wins.
  for (const char* text : {"2h 3d 4c 5s 6h 7d 8c 9s Th Jd Qc Ks 2s",
                           "2h 2d 3c 3s 4h 4d 5c 5s 6h 6d 7c 7s 8h",
                           "Ah Ad Ac As Kh Kd Kc Ks Qh Qd Qc Qs Jh"}) {
    const Hand hand = MakeHand(text);
    EXPECT_EQ(ArrangeByComputer(hand).rows, LiteralSearch(hand).rows) << text;
  }
}

// Guards the exact choice the computer makes: other machines of a network game compute the
// computer seats themselves and must arrive at the same rows.
TEST(ArrangeByComputer, GoldenSignatureOfOneThousandHands) {
  uint64_t signature = 1469598103934665603ull;  // FNV-1a over every chosen slot
  DeckRandom random(20221018u);
  for (int deal = 0; deal < 250; ++deal) {
    const Hands hands = DealHands(ShuffleDeck(random), 1);
    for (const Hand& hand : hands) {
      const ComputerArrangement a = ArrangeByComputer(hand);
      for (const Row& row : a.rows.rows) {
        for (const Card& c : row) {
          for (uint8_t byte : {c.code.rank, c.code.suit, c.rank}) {
            signature = (signature ^ byte) * 1099511628211ull;
          }
        }
      }
    }
  }
  EXPECT_EQ(signature, 7776304504860835357ull);
}

TEST(ArrangeByComputer, EveryHandGetsALegalArrangementOfAllItsCards) {
  DeckRandom random(99);
  const char* hardHands[] = {
      "2h 3h 4h 5h 6h 7h 8h 9h Th Jh Qh Kh Ah", "2h 2d 2c 2s 3h 3d 3c 3s 4h 4d 4c 4s 5h",
      "2h 3d 4c 5s 7h 8d 9c Ts Qh Kd Ac 6s 6h", "2h 3h 4h 5h 7h 8h 9h Th Qh Kh 2d 3d 4d",
      "Ah Kd Qc Js 9h 8d 7c 6s 4h 3d 2c 2s 5h",
  };
  std::vector<Hand> hands;
  for (const char* t : hardHands) hands.push_back(MakeHand(t));
  for (int deal = 0; deal < 2500; ++deal) {
    for (const Hand& h : DealHands(ShuffleDeck(random), 1)) hands.push_back(h);
  }
  for (const Hand& hand : hands) {
    const ComputerArrangement a = ArrangeByComputer(hand);
    ASSERT_TRUE(IsLegalArrangement(a.values));
    EXPECT_EQ(a.values, EvaluateArrangement(a.rows));
    EXPECT_EQ(a.rows.rows[kFront][3], kEmptySlot);
    EXPECT_EQ(a.rows.rows[kFront][4], kEmptySlot);
    std::multiset<int> used, dealt;
    for (const Row& row : a.rows.rows)
      for (const Card& c : row)
        if (c.code.IsCard()) used.insert(CardNumberOf(c.code));
    for (const Card& c : hand) dealt.insert(CardNumberOf(c.code));
    ASSERT_EQ(used, dealt);
    ASSERT_EQ(a.rows, ArrangeByComputer(hand).rows);  // deterministic
  }
}

}  // namespace
}  // namespace trilane
