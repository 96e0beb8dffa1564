// The stage message and the deal's cards byte for byte, and their readers: what both network
// paths send, and what they refuse to take.

#include "net/core/stage_message.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "rules/computer.h"
#include "tests/rules/test_cards.h"

namespace trilane::net {
namespace {

using test::OrderedDeck;
using test::ShuffledDeck;

TEST(StageMessageTest, DealAndArrangementLayouts) {
  const std::string deal = EncodeDealCards(OrderedDeck());
  ASSERT_EQ(deal.size(), kDealCardBytes);
  EXPECT_EQ(deal.substr(0, 5), "b2\xF7\x32\xE1");  // "2ч", "2б"
  EXPECT_EQ(deal.substr(103, 2), "\xD2\xEF");      // the ace of spades last
  EXPECT_EQ(deal.substr(105, 4), "0101");          // ranks of the first two cards
  EXPECT_EQ(deal.substr(207, 2), "13");            // rank of the last

  Arrangement rows;
  for (Row& row : rows.rows) row.fill(kEmptySlot);
  const Deck deck = OrderedDeck();
  for (int s = 0; s < 3; ++s) rows.rows[kFront][s] = deck[s];
  for (int s = 0; s < 5; ++s) rows.rows[kMiddle][s] = deck[3 + s];
  for (int s = 0; s < 5; ++s) rows.rows[kBack][s] = deck[8 + s];
  const std::string h2 = EncodeArrangement(rows, 3);
  ASSERT_EQ(h2.size(), 33u);
  EXPECT_EQ(h2.substr(0, 2), "h2");
  EXPECT_EQ(h2.substr(2, 10), "2\xF7\x32\xE1\x32\xEA####");  // Front: three cards, two empty
  EXPECT_EQ(h2.substr(12, 2), "2\xEF");                      // Middle slot 1
  EXPECT_EQ(h2.back(), '3');
  EXPECT_EQ(EncodeStep(5, 1), "h5" + std::string(30, '0') + "1");

  const std::string payload = ArrangementPayload(rows);
  ASSERT_TRUE(ParseArrangementPayload(payload).has_value());
  EXPECT_EQ(ParseArrangementPayload(payload)->at(3), (CardCode{'#', '#'}));
  EXPECT_EQ(ParseArrangementPayload(payload + "1"), std::nullopt);
  EXPECT_EQ(ParseArrangementPayload(payload.substr(1)), std::nullopt);
}

TEST(StageMessageTest, WhatIsWrittenReadsBack) {
  const Deck deck = ShuffledDeck(11);
  const Arrangement rows = ArrangeByComputer(DealHands(deck, 1)[0]).rows;
  Stage h2{2, {}, 4};
  h2.codes = *ParseArrangementPayload(ArrangementPayload(rows));
  EXPECT_EQ(ReadStage(EncodeArrangement(rows, 4)), h2);
  EXPECT_EQ(ReadStage(EncodeStep(7, 1)), (Stage{7, {}, 1}));
  // A club frame pads the message: only its first 33 bytes are read.
  EXPECT_EQ(ReadStage(EncodeStep(3, 1) + std::string(16, '#') + "2"), (Stage{3, {}, 1}));
  EXPECT_EQ(ReadDealCards(EncodeDealCards(deck)), deck);
  EXPECT_EQ(ReadDealCards(EncodeDealCards(deck) + "\xC8"), deck);
}

TEST(StageMessageTest, BrokenLayoutsAreRefused) {
  const std::string h2 =
      EncodeArrangement(ArrangeByComputer(DealHands(ShuffledDeck(2), 1)[0]).rows, 1);
  const auto with = [](std::string bytes, size_t at, char c) {
    bytes[at] = c;
    return bytes;
  };
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case stages[] = {
      {"step 8", "h8" + std::string(30, '0') + "1"},
      {"step 0", "h0" + std::string(30, '0') + "1"},
      {"sender 5", "h3" + std::string(30, '0') + "5"},
      {"sender 0", "h3" + std::string(30, '0') + "0"},
      {"a payload on h4", with(EncodeStep(4, 1), 10, 'x')},
      {"no rank letter in h2", with(h2, 2, 'x')},
      {"a suit after an empty slot's first byte", with(h2, 2, '#')},
      {"an empty slot's second byte alone", with(h2, 3, '#')},
      {"cut short", EncodeStep(3, 1).substr(0, 32)},
      {"another first byte", with(EncodeStep(3, 1), 0, 'b')},
  };
  for (const Case& c : stages) EXPECT_EQ(ReadStage(c.bytes), std::nullopt) << c.what;

  const std::string deal = EncodeDealCards(ShuffledDeck(4));
  const Case deals[] = {
      {"a rank that does not match its letter", with(deal, 106, '9')},
      {"a rank that is no digit", with(deal, 105, 'x')},
      {"no suit letter", with(deal, 2, 'x')},
      {"cut short", deal.substr(0, kDealCardBytes - 1)},
      {"another first byte", with(deal, 0, 'h')},
  };
  for (const Case& c : deals) EXPECT_EQ(ReadDealCards(c.bytes), std::nullopt) << c.what;
}

}  // namespace
}  // namespace trilane::net
