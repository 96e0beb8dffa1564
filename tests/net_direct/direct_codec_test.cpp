// The direct-play messages byte for byte, and the stream decoder: split and joined reads,
// chats without a length, and garbage that must not wedge it.

#include "net/direct/direct_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "net/core/net_texts.h"
#include "rules/computer.h"
#include "tests/rules/test_cards.h"

namespace trilane::direct {
namespace {

using net::ArrangementPayload;
using net::EncodeArrangement;
using net::EncodeStep;
using net::ParseArrangementPayload;

using test::OrderedDeck;
using test::ShuffledDeck;

std::vector<Message> Messages(const std::vector<Decoded>& decoded) {
  std::vector<Message> out;
  for (const Decoded& d : decoded) out.push_back(d.message);
  return out;
}

std::vector<Message> DecodeAll(std::string_view bytes) {
  Decoder decoder;
  return Messages(decoder.Feed(bytes));
}

const NetNames kNames = {"Anna", "Bo  ", "PC  ", "\xC8\xE2\xE0\xED"};  // "Иван"

TEST(DirectCodecTest, EveryLayoutByteForByte) {
  const std::string names = "AnnaBo  PC  \xC8\xE2\xE0\xED";
  struct Case {
    const char* what;
    std::string bytes;
    std::string expected;
  };
  const Case cases[] = {
      {"greeting, name padded", EncodeGreeting("Bo"), "qor9425connect1Bo  "},
      {"greeting, name cut to four", EncodeGreeting("Annabel"), "qor9425connect1Anna"},
      {"greeting, another game's code", Encode(Greeting{7, 25, "Zed "}), "qor0725connect1Zed "},
      {"seated", EncodeSeated(3, kNames), "connect2+3" + names},
      {"joined, second joiner", EncodeJoined(3, kNames), "connect3+" + names},
      {"joined, third joiner", EncodeJoined(4, kNames), "connect4+" + names},
      {"abort", EncodeAbort(), "abort"},
      {"chat padded to fifteen", EncodeChat(2, "hi"), "s2hi             "},
      {"chat cut to fifteen", EncodeChat(4, "0123456789abcdefgh"), "s40123456789abcde"},
      {"chat control bytes blanked", EncodeChat(1, "a\nb"), "s1a b            "},
      {"step h1", EncodeStep(1, 1), "h1" + std::string(30, '0') + "1"},
      {"step h7", EncodeStep(7, 1), "h7" + std::string(30, '0') + "1"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.bytes, c.expected) << c.what;
}

TEST(DirectCodecTest, DealEndsWithItsRuleLetter) {
  const std::string deal = EncodeDeal(OrderedDeck(), true);
  ASSERT_EQ(deal.size(), 210u);
  EXPECT_EQ(deal.substr(0, 209), net::EncodeDealCards(OrderedDeck()));
  EXPECT_EQ(deal.back(), '\xC8');                              // "И": the "2-4" rule
  EXPECT_EQ(EncodeDeal(OrderedDeck(), false).back(), '\xCB');  // "Л": "1-6"
}

// One round's traffic on a joiner's connection, with everything a read can carry.
std::string RoundTraffic(std::vector<Message>& expected) {
  const Deck deck = ShuffledDeck(7);
  std::vector<Message> messages = {
      Seated{2, kNames},          Joined{3, kNames}, Joined{4, kNames},
      Chat{1, "hello          "}, Deal{deck, false},
  };
  messages.push_back(Stage{1, {}, 1});
  const Hands hands = DealHands(deck, 1);
  for (int sender : {3, 2, 4, 1}) {
    const Arrangement rows = ArrangeByComputer(hands[PositionOf(1, sender) - 1]).rows;
    Stage h2{2, {}, sender};
    const std::optional<PayloadCodes> codes = ParseArrangementPayload(ArrangementPayload(rows));
    h2.codes = *codes;
    messages.push_back(h2);
  }
  messages.push_back(Chat{3, "abort          "});  // typed text, not the message
  for (int step = 3; step <= 7; ++step) messages.push_back(Stage{step, {}, 1});
  messages.push_back(Deal{ShuffledDeck(8), true});
  messages.push_back(Abort{});
  std::string bytes;
  for (const Message& m : messages) bytes += Encode(m);
  expected = messages;
  return bytes;
}

TEST(DirectDecoderTest, RoundTrafficSurvivesEverySplit) {
  std::vector<Message> expected;
  const std::string bytes = RoundTraffic(expected);
  EXPECT_EQ(DecodeAll(bytes), expected);

  for (size_t cut = 1; cut < bytes.size(); ++cut) {
    Decoder decoder;
    std::vector<Message> got = Messages(decoder.Feed(std::string_view(bytes).substr(0, cut)));
    for (const Message& m : Messages(decoder.Feed(std::string_view(bytes).substr(cut)))) {
      got.push_back(m);
    }
    ASSERT_EQ(got, expected) << "split at byte " << cut;
    EXPECT_EQ(decoder.SkippedBytes(), 0u);
    EXPECT_EQ(decoder.BufferedBytes(), 0u);
  }

  Decoder bytewise;
  std::vector<Message> got;
  for (char c : bytes) {
    for (const Decoded& d : bytewise.Feed(std::string_view(&c, 1))) got.push_back(d.message);
  }
  EXPECT_EQ(got, expected);
}

TEST(DirectDecoderTest, MessagesKeepTheirStreamPlaces) {
  Decoder decoder;
  decoder.Feed("zz");
  const std::vector<Decoded> d = decoder.Feed(EncodeAbort() + EncodeStep(3, 1));
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].streamOffset, 2u);
  EXPECT_EQ(d[0].length, 5u);
  EXPECT_EQ(d[1].streamOffset, 7u);
  EXPECT_EQ(d[1].length, 33u);
}

// Chats from peers that send the text without padding: where the text ends.
TEST(DirectDecoderTest, ShortChatTextsEnd) {
  const std::string deal = EncodeDeal(ShuffledDeck(3), false);
  const std::string h3 = EncodeStep(3, 1);
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<Message> expected;
  };
  const Case cases[] = {
      {"before a deal", "s1hi" + deal, {Chat{1, "hi"}, Deal{ShuffledDeck(3), false}}},
      {"before a stage", "s2ok" + h3, {Chat{2, "ok"}, Stage{3, {}, 1}}},
      {"empty before a stage", "s2" + h3, {Chat{2, ""}, Stage{3, {}, 1}}},
      {"at a control byte", std::string("s3yes\r\n") + h3, {Chat{3, "yes"}, Stage{3, {}, 1}}},
      {"never at a typed abort", "s4abort", {}},
      {"never at a typed chat", "s4s1s2s3s4", {}},
      {"text that starts like a stage", "s1h3 now" + h3, {Chat{1, "h3 now"}, Stage{3, {}, 1}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeAll(c.bytes), c.expected) << c.what;
    // A short chat is held back while a longer message may still be arriving inside it:
    // the answer is the same however the bytes are split into two reads.
    for (size_t cut = 1; cut < c.bytes.size(); ++cut) {
      Decoder decoder;
      std::vector<Message> got = Messages(decoder.Feed(std::string_view(c.bytes).substr(0, cut)));
      for (const Message& m : Messages(decoder.Feed(std::string_view(c.bytes).substr(cut)))) {
        got.push_back(m);
      }
      ASSERT_EQ(got, c.expected) << c.what << ", split at byte " << cut;
    }
  }

  // A short chat with nothing behind it waits for the bytes that end it.
  Decoder decoder;
  EXPECT_TRUE(decoder.Feed("s4abort").empty());
  EXPECT_EQ(Messages(decoder.Feed("1234567890")),
            (std::vector<Message>{Chat{4, "abort1234567890"}}));
}

// What a player types travels as one chat and nothing else, whatever the host sends behind
// it: texts built to end in the head of a greeting or a seating would otherwise swallow the
// next message's first bytes as names, and the rest of it would be skipped.
TEST(DirectCodecTest, NoChatTextCanBecomeAnotherMessage) {
  const Deck deck = ShuffledDeck(6);
  Stage h2{2, {}, 3};
  h2.codes = *ParseArrangementPayload(
      ArrangementPayload(ArrangeByComputer(DealHands(deck, 1)[PositionOf(1, 3) - 1]).rows));
  const std::vector<Message> behind = {h2,
                                       Stage{3, {}, 1},
                                       Deal{deck, true},
                                       Abort{},
                                       Seated{3, kNames},
                                       Joined{4, kNames},
                                       Chat{4, EncodeChat(4, "connect2+2 PC").substr(2)}};
  const std::string texts[] = {
      "qor9425connect1",
      std::string("qor9425connect1\0", 16),
      "connect2+3ABCDE",
      "connect2+4",
      "connect3+",
      "xxconnect4+AnnaB",
      "hi qor9425",
      "h2",
      "b",
      "s2abort",
      "qor9425connect",
  };
  for (const std::string& text : texts) {
    const std::string chat = EncodeChat(2, text);
    ASSERT_EQ(chat.size(), 17u) << text;
    const Message sent = DecodeAll(chat + EncodeAbort()).front();
    ASSERT_TRUE(std::holds_alternative<Chat>(sent)) << text;
    for (const Message& next : behind) {
      const std::string bytes = chat + Encode(next) + chat;
      for (size_t cut = 0; cut < bytes.size(); cut += 7) {
        Decoder decoder;
        std::vector<Message> got = Messages(decoder.Feed(std::string_view(bytes).substr(0, cut)));
        for (const Message& m : Messages(decoder.Feed(std::string_view(bytes).substr(cut)))) {
          got.push_back(m);
        }
        for (const Message& m : Messages(decoder.Feed(EncodeAbort()))) got.push_back(m);
        ASSERT_EQ(got, (std::vector<Message>{sent, next, sent, Abort{}}))
            << "text \"" << text << "\", split at " << cut;
      }
    }
  }

  // Honest texts pass unchanged, even those that begin like a message.
  for (const char* text :
       {"h3 now", "connect me", "see you at lunc", "qor", "b2 or not b2", "abort",
        "\xEF\xF0\xE8\xE2\xE5\xF2", "connect2+ ok?", "hhhhhhhhhhhhhhh"}) {
    const std::string chat = EncodeChat(1, text);
    EXPECT_EQ(net::WithoutTrailingBlanks(chat.substr(2)), text);
  }
  // What changes is only the byte that would start the other message.
  EXPECT_EQ(EncodeChat(2, "qor9425connect1").substr(2), "?or9425connect1");
  EXPECT_EQ(EncodeChat(2, "say connect2+3").substr(2), "say ?onnect2+3 ");
}

TEST(DirectDecoderTest, GarbageIsSkippedAndDecodingGoesOn) {
  const std::string h3 = EncodeStep(3, 1);
  std::string badDeal = EncodeDeal(ShuffledDeck(4), false);
  badDeal[106] = '9';  // a rank that does not match its letter
  std::string badStage = EncodeStep(4, 1);
  badStage[10] = 'x';  // "h4" carries thirty "0"
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"noise", std::string("\x00\xFF garbage qo connect", 20)},
      {"a deal with a wrong rank", badDeal},
      {"a stage with a wrong payload", badStage},
      {"a stage with sender 5", "h3" + std::string(30, '0') + "5"},
      {"a step 8", "h8" + std::string(30, '0') + "1"},
      {"seated as NetId 1", "connect2+1AnnaBo  PC  PC  "},
      {"a chat from NetId 0", "s0"},
      {"a deal cut short by a new message", "b2\xF7" + EncodeAbort()},
  };
  for (const Case& c : cases) {
    Decoder decoder;
    const std::vector<Message> got = Messages(decoder.Feed(c.bytes + h3));
    ASSERT_FALSE(got.empty()) << c.what;
    EXPECT_EQ(got.back(), Message(Stage{3, {}, 1})) << c.what;
    EXPECT_GT(decoder.SkippedBytes(), 0u) << c.what;
    EXPECT_EQ(decoder.BufferedBytes(), 0u) << c.what;
  }
  // "b2ч" + "abort": the abort behind the broken deal is still found.
  EXPECT_EQ(DecodeAll("b2\xF7" + EncodeAbort()), (std::vector<Message>{Abort{}}));
}

TEST(DirectDecoderTest, BufferStaysBoundedWhateverArrives) {
  Decoder decoder;
  std::string flood;
  // Starts of every kind that keep breaking late: a deal missing its rule letter, over and
  // over, and long runs of chat writers.
  const std::string deal = EncodeDeal(ShuffledDeck(5), false);
  for (int i = 0; i < 200; ++i) flood += deal.substr(0, 209) + "s1" + std::string(40, 'x');
  size_t yielded = 0;
  for (size_t pos = 0; pos < flood.size(); pos += 97) {
    yielded += decoder.Feed(std::string_view(flood).substr(pos, 97)).size();
    ASSERT_LE(decoder.BufferedBytes(), Decoder::kMaxBufferedBytes);
  }
  EXPECT_GT(yielded, 0u);  // the chats among the noise
  EXPECT_EQ(Messages(decoder.Feed(EncodeAbort())).back(), Message(Abort{}));
}

TEST(DirectDecoderTest, GreetingsOfOtherGamesDecodeForTheHostToRefuse) {
  EXPECT_EQ(DecodeAll("qor1225connect1Zed "), (std::vector<Message>{Greeting{12, 25, "Zed "}}));
  EXPECT_EQ(DecodeAll("qor9426connect1Zed "), (std::vector<Message>{Greeting{94, 26, "Zed "}}));
  EXPECT_TRUE(DecodeAll("qor9425connect9Zed ").empty());
}

}  // namespace
}  // namespace trilane::direct
