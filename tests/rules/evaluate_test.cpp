#include <gtest/gtest.h>

#include "rules/deck.h"
#include "rules/evaluate.h"
#include "test_cards.h"
#include "words/words.h"

namespace trilane {
namespace {

using test::MakeRow;
using test::V;

TEST(EvaluateRow, Examples) {
  struct Case {
    const char* cards;
    RowValue value;
  };
  const Case cases[] = {
      {"2h 3h 4h 5h 6h", V(9, 5)},
      {"Ah 2h 3h 4h 5h", V(6, 13, 4, 3, 2, 1)},  // ace-low of one suit is a flush
      {"As 2h 3d 4c 5s", V(5, 4)},
      {"2h 3d 4c 5s 6h", V(5, 5)},
      {"Ks Kh Kd 7c 7h", V(7, 12, 6)},
      {"7c 7h 7d Ks Kh", V(7, 6, 12)},
      {"9s 9h 4d 4c As", V(3, 8, 3, 13)},
      {"As Ah 2d", V(2, 13, 1)},
      {"Qs Qh Qd", V(4, 11)},
      {"5s 9h Kd", V(1, 12, 8, 4)},
      {"Ts Js Qs Ks As", V(9, 13)},
      {"9c 9d 9h 9s 2c", V(8, 8, 1)},
      {"2c 9d 9h 9s 9c", V(8, 8, 1)},
      {"3c 3d 3h Kc 8d", V(4, 2, 12, 7)},
      {"2c 3d 8c 8d Kh", V(2, 7, 12, 2, 1)},
      {"2c 3c 5c 9c Jc", V(6, 10, 8, 4, 2, 1)},
      {"Ac Kd 9c 7d 3h", V(1, 13, 12, 8, 6, 2)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EvaluateRow(MakeRow(c.cards)), c.value) << c.cards;
    EXPECT_EQ(EvaluateRowByPatterns(MakeRow(c.cards)), c.value) << c.cards;
  }
}

TEST(EvaluateRow, Comparisons) {
  const RowValue tenHighA = EvaluateRow(MakeRow("6h 7d 8c 9s Th"));
  const RowValue tenHighB = EvaluateRow(MakeRow("6s 7s 8d 9h Tc"));
  EXPECT_EQ(CompareRows(tenHighA, tenHighB), 0);
  EXPECT_FALSE(RowBeats(tenHighA, tenHighB));
  EXPECT_FALSE(RowBeats(tenHighB, tenHighA));
  EXPECT_EQ(CompareRows(V(5, 5), V(5, 4)), 1);
  EXPECT_EQ(CompareRows(V(2, 13, 1), V(2, 13, 1, 0, 0)), 0);
  // A Front pair against a Middle pair with the same kicker: the Middle's second kicker wins.
  EXPECT_EQ(CompareRows(EvaluateRow(MakeRow("As Ah 9d")), EvaluateRow(MakeRow("Ac Ad 9c 3h 2s"))), -1);

}

// The name shown on a row's plate, by category; an ace-high straight flush has its own.
TEST(EvaluateRow, RowNamesAreTheWordsOfEachCategory) {
  struct Case {
    uint8_t category, top;
    int entry;
    const char* english;
  };
  const Case cases[] = {
      {1, 13, kWordHighCard, "High card"},
      {2, 5, kWordPair, "Pair"},
      {3, 9, kWordTwoPair, "Two Pair"},
      {4, 2, kWordThreeOfAKind, "Three of a Kind"},
      {5, 13, kWordStraight, "Straight"},
      {6, 13, kWordFlush, "Flush"},
      {7, 4, kWordFullHouse, "Full-House"},
      {8, 13, kWordFourOfAKind, "Four of a Kind"},
      {9, 12, kWordStraightFlush, "Straight-Flush"},
      {9, 13, kWordRoyalFlush, "Royal-Flush"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RowNameEntry(c.category, c.top), c.entry) << int(c.category) << "/" << int(c.top);
    EXPECT_EQ(WordIn(RowNameEntry(c.category, c.top), kEnglish), c.english);
  }
  EXPECT_EQ(RowNameEntry(0, 0), 0);
  EXPECT_EQ(RowNameEntry(10, 0), 0);
}

// The fast paths must agree with the pattern table on every five-card row and every Front
// of the deck.
TEST(EvaluateRow, AgreesWithPatternTableOnAllRowsOfTheDeck) {
  Row row;
  long checked = 0;
  for (int a = 1; a <= 52; ++a)
    for (int b = a + 1; b <= 52; ++b)
      for (int c = b + 1; c <= 52; ++c) {
        row = {CardFromNumber(a), CardFromNumber(b), CardFromNumber(c), kEmptySlot, kEmptySlot};
        ASSERT_EQ(EvaluateRow(row), EvaluateRowByPatterns(row)) << test::Text(row);
        for (int d = c + 1; d <= 52; ++d)
          for (int e = d + 1; e <= 52; ++e) {
            // Shuffle slot order a little so sorting inside the evaluator is exercised.
            row = {CardFromNumber(e), CardFromNumber(a), CardFromNumber(d), CardFromNumber(b),
                   CardFromNumber(c)};
            const RowValue fast = EvaluateRow(row);
            const RowValue table = EvaluateRowByPatterns(row);
            if (!(fast == table)) FAIL() << test::Text(row);
            ++checked;
          }
      }
  EXPECT_EQ(checked, 2598960);
}

// Rows from other machines are valued as they come: empty slots anywhere, repeated codes,
// garbled letters. Any such row gets the pattern table's value, never a crash.
TEST(EvaluateRow, MalformedRowsFollowThePatternTable) {
  DeckRandom random(7);
  const Card odd[] = {kEmptySlot, Card{CardCode{'X', 'y'}, 14}, Card{CardCode{'5', '#'}, 4},
                      Card{CardCode{'#', '#'}, 3}, Card{CardCode{'Q', 'q'}, 200},
                      Card{CardCode{'K', 'k'}, 0}};
  for (int i = 0; i < 200000; ++i) {
    Row row;
    for (Card& c : row) {
      const uint32_t pick = random.Random(70);
      if (pick < 52) {
        c = CardFromNumber(static_cast<int>(pick) + 1);
      } else if (pick < 58) {
        c = odd[pick - 52];
      } else {
        c = CardFromNumber(static_cast<int>(random.Random(8)) + 1);  // many repeats
      }
    }
    ASSERT_EQ(EvaluateRow(row), EvaluateRowByPatterns(row)) << test::Text(row);
  }
  // The Front's two empty slots never make a pair, a flush or a full house.
  EXPECT_EQ(EvaluateRow(MakeRow("2h 2d 3h")), V(2, 1, 2));
  EXPECT_EQ(EvaluateRow(MakeRow("2h 5h 9h")), V(1, 8, 4, 1));
}

}  // namespace
}  // namespace trilane
