#include <gtest/gtest.h>

#include <set>

#include "base/codepage.h"
#include "rules/cards.h"
#include "rules/deck.h"
#include "test_cards.h"

namespace trilane {
namespace {

TEST(Cards, CodesRanksFacesAndNumbers) {
  struct Case {
    const char* native;  // UTF-8 of the code-page-1251 code
    const char* ascii;
    int rank;
    const char* face;
    int number;
  };
  const Case cases[] = {
      {"2ч", "2h", 1, "Ch02", 1},  {"2б", "2d", 1, "Bu02", 2},  {"2п", "2s", 1, "Pi02", 4},
      {"3ч", "3h", 2, "Ch03", 5},  {"1ч", "Th", 9, "Ch10", 33}, {"1б", "Td", 9, "Bu10", 34},
      {"Вк", "Jc", 10, "Kr2J", 39}, {"Дп", "Qs", 11, "Pi3Q", 44}, {"Кб", "Kd", 12, "Bu4K", 46},
      {"Тч", "Ah", 13, "Ch5A", 49}, {"Тп", "As", 13, "Pi5A", 52},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ascii);
    const Card fromNumber = CardFromNumber(c.number);
    EXPECT_EQ(NativeName(fromNumber.code), c.native);
    EXPECT_EQ(AsciiName(fromNumber.code), c.ascii);
    EXPECT_EQ(fromNumber.rank, c.rank);
    EXPECT_EQ(FaceCode(fromNumber.code), c.face);
    EXPECT_EQ(CardNumberOf(fromNumber.code), c.number);
    EXPECT_EQ(ParseCard(c.native), fromNumber);
    EXPECT_EQ(ParseCard(c.ascii), fromNumber);
    const std::string bytes = *Utf8ToCp1251(c.native);
    EXPECT_EQ(RankOfLetter(static_cast<uint8_t>(bytes[0])), c.rank);
  }
  // The ten's code is the single letter "1", byte 0x31; ace of diamonds is 0xD2 0xE1.
  EXPECT_EQ(CardFromNumber(33).code.Bytes(), std::string("\x31\xF7"));
  EXPECT_EQ(CardFromNumber(50).code.Bytes(), std::string("\xD2\xE1"));
}

TEST(Cards, ParseAcceptsBothFormsAndRejectsTheRest) {
  EXPECT_EQ(ParseCard("10h"), ParseCard("Th"));
  EXPECT_EQ(ParseCard("ah"), ParseCard("Ah"));
  EXPECT_EQ(ParseCard("qD"), ParseCard("Qd"));
  for (const char* bad : {"", "A", "1h", "11h", "Ax", "Zh", "##", "Тx", "Тпп", "\xff\xfe", "10"}) {
    EXPECT_FALSE(ParseCard(bad).has_value()) << bad;
  }
}

TEST(Cards, EmptySlotIsNoCard) {
  EXPECT_FALSE(kEmptySlot.code.IsCard());
  EXPECT_EQ(kEmptySlot.rank, 14);
  EXPECT_EQ(FaceCode(kEmptySlot.code), "");
  EXPECT_EQ(RankOfLetter('#'), 14);
  EXPECT_EQ(RankOfLetter('X'), 14);  // garbled letters count as empty
  for (int n = 1; n <= 52; ++n) EXPECT_NE(CardFromNumber(n), kEmptySlot);
}

TEST(Deck, GeneratorSequenceIsFixed) {
  // seed <- seed * 134775813 + 1; random(n) = high half of seed * n after advancing.
  DeckRandom zero(0);
  EXPECT_EQ(zero.Random(52), 0u);
  EXPECT_EQ(zero.Random(52), 1u);
  EXPECT_EQ(zero.Random(52), 44u);
  EXPECT_EQ(zero.Random(52), 10u);
  DeckRandom r(12345);
  EXPECT_EQ(r.Random(52), 20u);
  EXPECT_EQ(r.Seed(), 1655067934u);

  DeckRandom again(0);
  const Deck deck = ShuffleDeck(again);
  EXPECT_EQ(AsciiName(deck[0].code), "2h");  // card number 1
  EXPECT_EQ(AsciiName(deck[1].code), "2d");  // 2
  EXPECT_EQ(AsciiName(deck[2].code), "Kh");  // 45
  EXPECT_EQ(AsciiName(deck[3].code), "4c");  // 11
}

TEST(Deck, EveryShuffleIsAPermutation) {
  DeckRandom random(987654321u);
  for (int round = 0; round < 500; ++round) {
    const Deck deck = ShuffleDeck(random);
    ASSERT_TRUE(IsCompleteDeck(deck)) << "round " << round;
  }
  Deck broken = ShuffleDeck(random);
  broken[7] = broken[8];
  EXPECT_FALSE(IsCompleteDeck(broken));
}

TEST(Deck, PositionOfTable) {
  const int expected[4][4] = {{4, 2, 1, 3}, {2, 4, 3, 1}, {3, 1, 4, 2}, {1, 3, 2, 4}};
  for (int own = 1; own <= 4; ++own) {
    std::set<int> positions;
    for (int other = 1; other <= 4; ++other) {
      EXPECT_EQ(PositionOf(own, other), expected[own - 1][other - 1]);
      EXPECT_EQ(PlayerAtPosition(own, PositionOf(own, other)), other);
      positions.insert(PositionOf(own, other));
    }
    EXPECT_EQ(positions.size(), 4u);
  }
  EXPECT_EQ(PositionOf(0, 1), 0);
  EXPECT_EQ(PositionOf(1, 5), 0);
}

TEST(Deck, DealAgainstTheComputerAndSort) {
  DeckRandom random(42);
  const Deck deck = ShuffleDeck(random);
  const Hands hands = DealHands(deck, 1);
  // Local player (position 4) gets deck 1..13, position 2 gets 14..26, 1 gets 27..39,
  // 3 gets 40..52.
  const int firstDeckIndex[4] = {26, 13, 39, 0};
  for (int p = 0; p < 4; ++p) {
    std::multiset<int> dealt, expected;
    for (int i = 0; i < 13; ++i) {
      dealt.insert(CardNumberOf(hands[p][i].code));
      expected.insert(CardNumberOf(deck[firstDeckIndex[p] + i].code));
    }
    EXPECT_EQ(dealt, expected) << "position " << p + 1;
    for (int i = 0; i + 1 < 13; ++i) EXPECT_LE(hands[p][i].rank, hands[p][i + 1].rank);
  }
}

TEST(Deck, SortKeepsDealtOrderWithinARankAndEmptiesLast) {
  Hand hand;
  hand.fill(kEmptySlot);
  const auto cards = test::Cards("7s 2d 7h Ah 7d 3c");
  for (size_t i = 0; i < cards.size(); ++i) hand[i + 2] = cards[i];  // empties in front
  SortHand(hand);
  std::string order;
  for (const Card& c : hand) order += AsciiName(c.code) + " ";
  EXPECT_EQ(order, "2d 3c 7s 7h 7d Ah ## ## ## ## ## ## ## ");
}

}  // namespace
}  // namespace trilane
