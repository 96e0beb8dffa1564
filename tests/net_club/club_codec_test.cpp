#include "net/club/club_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trilane::club {
namespace {

Deck TestDeck() {
  DeckRandom random(7);
  return ShuffleDeck(random);
}

// Seat 3's block (deck positions 14..26) in rows that rise: the computer's arrangement is
// not needed here, only cards of one block in travel order.
Arrangement SomeRows() {
  const Deck deck = TestDeck();
  Arrangement rows;
  for (int i = 0; i < 13; ++i) {
    const int row = i < 3 ? kFront : (i < 8 ? kMiddle : kBack);
    const int slot = i < 3 ? i : (i < 8 ? i - 3 : i - 8);
    rows.rows[row][slot] = deck[13 + i];
  }
  return rows;
}

struct Case {
  const char* name;
  Direction direction;
  std::string bytes;
  Message expected;
  int seat;
};

std::vector<Case> EveryFrame() {
  const Arrangement rows = SomeRows();
  Stage arranged{2, {}, 3};
  for (int i = 0; i < 15; ++i) arranged.codes[i] = rows.rows[i / 5][i % 5].code;
  return {
      {"connect", Direction::kToServer, EncodeConnect(2), Connect{2}, 2},
      {"step", Direction::kToServer, EncodeStep(5, 1), Stage{5, {}, 1}, 1},
      {"rows", Direction::kToServer, EncodeArrangement(rows, 3), arranged, 3},
      {"rows relayed", Direction::kToPlayer, EncodeArrangement(rows, 3), arranged, 3},
      {"chat", Direction::kToServer, EncodeChat("hello", 4), Chat{"hello"}, 4},
      {"chat relayed", Direction::kToPlayer, EncodeChat("hi", 2), Chat{"hi"}, 2},
      {"next deal", Direction::kToServer, EncodeNextDeal(1), NextDeal{}, 1},
      {"time-out", Direction::kToServer, EncodeTimeOut(3), TimeOut{}, 3},
      {"result", Direction::kToServer, EncodeResult({-12, 0, 1296, -1284}, 1),
       Result{{-12, 0, 1296, -1284}}, 1},
      {"leave", Direction::kToServer, EncodeLeave(2), Leave{}, 2},
      {"deal", Direction::kToPlayer, EncodeDeal(TestDeck()), Deal{TestDeck()}, 0},
      {"end", Direction::kToPlayer, EncodeGameEnded(), GameEnded{}, 0},
      {"left", Direction::kToPlayer, EncodePlayerLeft(3), PlayerLeft{3}, 3},
      {"timed out", Direction::kToPlayer, EncodePlayerTimedOut(4), PlayerTimedOut{4}, 4},
  };
}

TEST(ClubCodec, EveryFrameHasItsLayoutAndReadsBack) {
  for (const Case& c : EveryFrame()) {
    SCOPED_TRACE(c.name);
    const bool deal = std::holds_alternative<Deal>(c.expected);
    ASSERT_EQ(c.bytes.size(), deal ? kDealBytes : kFrameBytes);
    if (!deal) {
      EXPECT_EQ(c.bytes.back(), static_cast<char>('0' + c.seat));
    }
    Decoder decoder(c.direction);
    const std::vector<Decoded> frames = decoder.Feed(c.bytes);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].message, c.expected);
    EXPECT_EQ(frames[0].seat, c.seat);
    EXPECT_EQ(frames[0].bytes, c.bytes);
  }
}

TEST(ClubCodec, FixedPositions) {
  // The seat of a leaver at byte 6, a time-out's at byte 50, totals right-aligned in seven.
  EXPECT_EQ(EncodePlayerLeft(2).substr(0, 6), "aleft2");
  EXPECT_EQ(EncodePlayerTimedOut(3), std::string("T") + std::string(48, '#') + "3");
  EXPECT_EQ(EncodeResult({-12, 0, 1296, -1284}, 1).substr(0, 29), "o    -12      0   1296  -1284");
  EXPECT_EQ(EncodeConnect(4).substr(0, 9), "connect4#");
  const std::string step = EncodeStep(1, 1);
  EXPECT_EQ(step.substr(0, 34), "h1" + std::string(30, '0') + "1#");
  // The deal is the shared deal's cards, with no rule letter; seat s reads block 5 - s.
  EXPECT_EQ(EncodeDeal(TestDeck()), net::EncodeDealCards(TestDeck()));
}

TEST(ClubCodec, ChatTextEndsAtTheFirstPaddingByteAndAtFifteen) {
  EXPECT_EQ(ReadFrame(Frame("sab#cd", 2), Direction::kToPlayer), Message{Chat{"ab"}});
  EXPECT_EQ(ReadFrame(EncodeChat("ab#cd", 2), Direction::kToPlayer), Message{Chat{"ab"}});
  EXPECT_EQ(ReadFrame(Frame("s" + std::string(40, 'x'), 1), Direction::kToServer),
            Message{Chat{std::string(15, 'x')}});
  EXPECT_EQ(ReadFrame(EncodeChat("a\nb", 1), Direction::kToServer), Message{Chat{"a b"}});
  EXPECT_EQ(ReadFrame(EncodeChat("", 1), Direction::kToServer), Message{Chat{""}});
}

TEST(ClubCodec, BrokenFramesAreUnknownAndKeepTheBoundaries) {
  std::string badCard = EncodeArrangement(SomeRows(), 3);
  badCard[2] = 'Z';
  std::string badSender = EncodeStep(3, 1);
  badSender[32] = '5';
  std::string badPayload = EncodeStep(3, 1);
  badPayload[10] = '#';
  std::string badTotal = EncodeResult({1, 2, 3, 4}, 1);
  badTotal[7] = 'x';
  std::string badDeal = EncodeDeal(TestDeck());
  badDeal[106] = '9';  // a rank value that does not match its letter
  const struct {
    const char* name;
    Direction direction;
    std::string bytes;
  } broken[] = {
      {"card letter", Direction::kToServer, badCard},
      {"sender", Direction::kToServer, badSender},
      {"payload of a plain step", Direction::kToServer, badPayload},
      {"total", Direction::kToServer, badTotal},
      {"connect to seat 5", Direction::kToServer, Frame("connect5", 1)},
      {"unknown first byte", Direction::kToServer, Frame("xyz", 1)},
      {"deal sent to the server", Direction::kToServer, Frame("b", 1)},
      {"server frame sent by a player", Direction::kToServer, EncodeGameEnded()},
      {"rank value", Direction::kToPlayer, badDeal},
      {"leaver without a seat", Direction::kToPlayer, Frame("aleftX", 0)},
      {"player frame sent by the server", Direction::kToPlayer, EncodeConnect(1)},
  };
  for (const auto& b : broken) {
    SCOPED_TRACE(b.name);
    Decoder decoder(b.direction);
    const std::string after =
        b.direction == Direction::kToServer ? EncodeNextDeal(1) : EncodeGameEnded();
    const std::vector<Decoded> frames = decoder.Feed(b.bytes + after);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_TRUE(std::holds_alternative<Unknown>(frames[0].message));
    EXPECT_FALSE(std::holds_alternative<Unknown>(frames[1].message));
  }
}

// Every way TCP may cut or join the same bytes gives the same frames: split once at every
// boundary, and fed one byte at a time.
TEST(ClubCodec, SplitAndJoinedAtEveryByte) {
  for (const Direction direction : {Direction::kToServer, Direction::kToPlayer}) {
    std::string stream;
    std::vector<Message> expected;
    for (const Case& c : EveryFrame()) {
      if (c.direction != direction) continue;
      stream += c.bytes;
      expected.push_back(c.expected);
    }
    // A deal after other frames, and frames after the deal.
    if (direction == Direction::kToPlayer) {
      stream += EncodeChat("after", 1) + EncodeDeal(TestDeck()) + EncodeGameEnded();
      expected.push_back(Chat{"after"});
      expected.push_back(Deal{TestDeck()});
      expected.push_back(GameEnded{});
    }
    const auto messages = [](const std::vector<Decoded>& frames) {
      std::vector<Message> out;
      for (const Decoded& d : frames) out.push_back(d.message);
      return out;
    };
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
      Decoder decoder(direction);
      std::vector<Decoded> frames = decoder.Feed(std::string_view(stream).substr(0, cut));
      for (Decoded& d : decoder.Feed(std::string_view(stream).substr(cut)))
        frames.push_back(std::move(d));
      ASSERT_EQ(messages(frames), expected) << "cut at " << cut;
      EXPECT_EQ(decoder.BufferedBytes(), 0u);
    }
    Decoder bytewise(direction);
    std::vector<Decoded> frames;
    for (char c : stream) {
      for (Decoded& d : bytewise.Feed(std::string_view(&c, 1))) frames.push_back(std::move(d));
    }
    EXPECT_EQ(messages(frames), expected);
  }
}

}  // namespace
}  // namespace trilane::club
