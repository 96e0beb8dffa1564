// A host and joiners in one process over in-memory streams: whole matches on which every
// machine must agree, seating, chat, the host's checks on what joiners send, and the ways a
// game ends early.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "direct_table.h"
#include "rules/computer.h"

namespace trilane::direct::test {
namespace {

MatchStart HostStart() {
  return MatchStart{kSlotNewPlayer, "Anna"};
}

// Seats `count` joiners and starts the game.
void SeatAndStart(DirectTable& table, int count, bool ruleTwoFour = false) {
  const char* names[] = {"Bo", "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", "Carl"};  // "Иван"
  for (int i = 0; i < count; ++i) table.Connect(names[i]);
  table.Run();
  ASSERT_EQ(table.host.controller.Joiners(), count);
  ASSERT_TRUE(table.host.controller.StartGame(HostStart(), ruleTwoFour));
}

void ExpectAllAgree(const DirectTable& table, size_t rounds) {
  ASSERT_EQ(table.host.rounds.size(), rounds);
  for (const auto& j : table.joiners) {
    ASSERT_EQ(j->rounds.size(), rounds) << "joiner " << j->controller.NetId();
    for (size_t r = 0; r < rounds; ++r) {
      EXPECT_EQ(j->rounds[r], table.host.rounds[r])
          << "joiner " << j->controller.NetId() << ", round " << r + 1;
    }
  }
  for (const RoundSeen& seen : table.host.rounds) {
    EXPECT_EQ(std::accumulate(seen.totals.begin(), seen.totals.end(), 0), 0);
  }
}

TEST(DirectMatchTest, EveryMachineSeesTheSameCardsRowsAndTotals) {
  struct Case {
    int joiners;
    uint32_t seed;
    bool ruleTwoFour;
  };
  for (const Case c : {Case{3, 1, false}, Case{3, 77, true}, Case{2, 5, false}, Case{1, 9, true}}) {
    SCOPED_TRACE(testing::Message() << c.joiners << " joiners, seed " << c.seed);
    DirectTable table(c.seed);
    SeatAndStart(table, c.joiners, c.ruleTwoFour);
    table.Run();

    // A match of direct play is four deals, and everyone ends it.
    ExpectAllAgree(table, 4);
    EXPECT_TRUE(table.host.ended);
    for (const auto& j : table.joiners) {
      EXPECT_TRUE(j->ended);
      EXPECT_EQ(j->flow.Setup().ruleTwoFour, c.ruleTwoFour);
      EXPECT_EQ(j->listener.interruptions, 0);
    }
    EXPECT_EQ(table.host.listener.interruptions, 0);
    EXPECT_TRUE(table.host.listener.refused.empty());
    // The rows really were played: people's and computer seats' alike.
    int played = 0;
    for (const RoundSeen& seen : table.host.rounds) {
      for (const Arrangement& rows : seen.rows) played += rows.rows[kBack][0].code.IsCard();
    }
    EXPECT_GT(played, 8);
  }
}

TEST(DirectMatchTest, SeatingGivesNumbersNamesAndTheComputerSeats) {
  DirectTable table(3);
  table.Connect("Bo");
  table.Run();
  JoinerMachine& bo = *table.joiners[0];
  EXPECT_EQ(bo.listener.seatedAs, 2);
  // With one joiner the host's positions 1 and 3 are the computer's; the joiner sees the
  // host at position 2.
  EXPECT_EQ(table.host.controller.Names(), (NetNames{"Anna", "Bo  ", "PC  ", "PC  "}));
  EXPECT_EQ(bo.flow.SeatName(2), "Anna");
  EXPECT_EQ(bo.flow.SeatName(4), "Bo");
  EXPECT_TRUE(bo.flow.IsComputerSeat(1));
  EXPECT_TRUE(bo.flow.IsComputerSeat(3));

  table.Connect("\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD");  // "Иван" travels in code page 1251
  table.Run();
  table.Connect("Carl");
  table.Run();
  EXPECT_EQ(table.host.listener.seated, (std::vector<int>{2, 3, 4}));
  const NetNames names = {"Anna", "Bo  ", "\xC8\xE2\xE0\xED", "Carl"};
  EXPECT_EQ(table.host.controller.Names(), names);
  for (const auto& j : table.joiners) {
    EXPECT_EQ(j->controller.Names(), names);
    EXPECT_EQ(j->controller.Joiners(), 3);
  }
  EXPECT_EQ(bo.flow.SeatName(PositionOf(2, 3)), "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD");
  EXPECT_FALSE(bo.flow.IsComputerSeat(1));

  // A fourth greeting gets no reply and no seat.
  JoinerMachine& fifth = table.Connect("Dora");
  table.Run();
  EXPECT_EQ(fifth.listener.seatedAs, 0);
  EXPECT_EQ(fifth.controller.Phase(), LinkPhase::kSeating);
  EXPECT_TRUE(fifth.controller.JoinError());
  EXPECT_EQ(table.host.controller.Joiners(), 3);
}

TEST(DirectMatchTest, GreetingsOfOtherGamesGetNoReply) {
  HostMachine host("Anna", 1);
  auto [hostEnd, end] = MemoryLink::Pair();
  const int connection = host.controller.Accepted(*hostEnd);
  for (const char* greeting : {"qor1225connect1Zed ", "qor9426connect1Zed "}) {
    host.controller.Received(connection, greeting);
  }
  EXPECT_FALSE(end->HasPending());
  EXPECT_EQ(host.controller.Joiners(), 0);
  EXPECT_EQ(host.listener.refused.size(), 2u);
  // The same connection may still greet properly.
  host.controller.Received(connection, EncodeGreeting("Zed"));
  EXPECT_EQ(host.controller.Joiners(), 1);
  EXPECT_EQ(end->Read(100).substr(0, 10), "connect2+2");
}

TEST(DirectMatchTest, StrangersAndNoiseDoNotDisturbARunningTable) {
  DirectTable table(11);
  SeatAndStart(table, 3);
  // Mid-round: another program greets, a stranger sends noise, a seated joiner's stream
  // carries garbage between its messages and a joiner's "abort".
  table.RunUntil([&] { return table.host.flow.Stage() == RoundStage::kBackRated; });
  auto [strangerHostEnd, stranger] = MemoryLink::Pair();
  const int strangerConnection = table.host.controller.Accepted(*strangerHostEnd);
  table.host.controller.Received(strangerConnection, "qor1225connect1Zed \x01\xFFh3garbage");
  table.host.controller.Received(strangerConnection, EncodeGreeting("Late"));
  table.joiners[1]->end->Send(std::string("\x00\x7Fnoise s", 9));
  table.joiners[1]->end->Send(EncodeAbort());
  table.Run();

  EXPECT_EQ(stranger->Read(1000), "");  // never a reply (only the closing at the end)
  ExpectAllAgree(table, 4);
  EXPECT_EQ(table.host.listener.interruptions, 0);
  for (const auto& j : table.joiners) EXPECT_TRUE(j->ended);
}

TEST(DirectMatchTest, HostTakesOnlyEachJoinersOwnRows) {
  DirectTable table(21);
  SeatAndStart(table, 3);
  // The deal is out; joiner 3 tries what only others may do, before anyone arranged.
  const Deck deck = table.host.flow.CurrentDeck();
  const Arrangement rowsOf2 = ArrangeByComputer(DealHands(deck, 2)[3]).rows;
  MemoryLink& fromThree = *table.Joiner(3).end;
  fromThree.Send(net::EncodeArrangement(rowsOf2, 2));  // another's number
  fromThree.Send(net::EncodeArrangement(rowsOf2, 3));  // another's cards
  fromThree.Send(net::EncodeStep(3, 3));               // a stage step
  fromThree.Send(net::EncodeStep(3, 1));               // a stage step in the host's name
  fromThree.Send(EncodeChat(4, "not me"));             // another's chat number
  fromThree.Send(EncodeDeal(deck, false));             // a deal
  table.Run();

  const std::vector<std::string> expected = {
      "rows under another player's number", "rows that are not its hand",
      "stage step from a joiner",           "stage step from a joiner",
      "chat under another player's number", "deals come from the host only"};
  EXPECT_EQ(table.host.listener.refused, expected);
  // Nothing refused travels on: the other joiners never see it.
  for (const auto& j : table.joiners) {
    EXPECT_TRUE(j->listener.chats.empty());
    EXPECT_TRUE(j->listener.refused.empty());
  }
  ExpectAllAgree(table, 4);
}

TEST(DirectMatchTest, ChatIsRelayedToEveryOtherPlayer) {
  DirectTable table(4);
  SeatAndStart(table, 3);
  table.RunUntil([&] { return table.host.flow.Stage() == RoundStage::kArranging; });
  JoinerMachine& bo = table.Joiner(2);
  EXPECT_TRUE(
      bo.controller.SendChat("\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"));  // "привет"
  EXPECT_FALSE(bo.controller.SendChat(""));
  EXPECT_TRUE(table.host.controller.SendChat("a text longer than fifteen"));
  table.RunUntil([&] { return table.Joiner(4).listener.chats.size() == 2; });

  const std::string hi = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
  // The host's own line shows at once; the joiner's arrives and is passed on after it.
  EXPECT_EQ(table.host.listener.chats,
            (std::vector<std::string>{"1 own: a text longer t", "2: " + hi}));
  EXPECT_EQ(bo.listener.chats, (std::vector<std::string>{"2 own: " + hi, "1: a text longer t"}));
  for (int netId : {3, 4}) {
    EXPECT_EQ(table.Joiner(netId).listener.chats,
              (std::vector<std::string>{"1: a text longer t", "2: " + hi}));
  }
}

TEST(DirectMatchTest, ChatTextsBuiltAsMessagesReachTheOthersAsChat) {
  DirectTable table(31);
  int64_t now = 0;  // a minute between the rounds: the chats are within any rate
  table.host.controller.SetClock([&now] { return now; });
  SeatAndStart(table, 3);
  // Joiner 2 writes its own bytes: texts that end in the head of a greeting or a seating,
  // closed by a zero byte so that the host reads each as a whole chat. Relayed as they
  // came, each would swallow the start of the next message to the other joiners.
  MemoryLink& fromTwo = *table.Joiner(2).end;
  for (int round = 0; round < 4; ++round) {
    table.RunUntil([&] { return table.host.rounds.size() >= static_cast<size_t>(round); });
    now += 60000;
    fromTwo.Send(std::string("s2qor9425connect1\0", 18));
    fromTwo.Send(std::string("s2connect2+3ABCDE\0", 18));
    fromTwo.Send(std::string("s2connect4+Anna\0", 16));
  }
  table.Run();
  ExpectAllAgree(table, 4);
  for (int netId : {3, 4}) {
    const Listener& other = table.Joiner(netId).listener;
    EXPECT_TRUE(other.refused.empty());
    EXPECT_EQ(other.interruptions, 0);
    ASSERT_EQ(other.chats.size(), 12u);
    EXPECT_EQ(other.chats[0], "2: ?or9425connect1");
    EXPECT_EQ(other.chats[1], "2: ?onnect2+3ABCDE");
  }
}

// A joiner whose copy of another person's rows went missing does not reveal without them:
// it would score that seat with empty rows on this machine alone.
TEST(DirectMatchTest, AJoinerRevealsOnlyWithEveryPersonsRows) {
  JoinerMachine joiner("Bo");
  auto [hostEnd, end] = MemoryLink::Pair();
  joiner.controller.StartJoining(*end);
  joiner.controller.Connected();
  const Deck deck = SeededDecks(5)();
  const NetNames names = {"Anna", "Bo  ", "Carl", "PC  "};
  joiner.controller.Received(EncodeSeated(2, names) + EncodeJoined(3, names));
  joiner.controller.Received(EncodeDeal(deck, false) + net::EncodeStep(1, 1));
  while (joiner.player.Step() != AutoPlayer::Did::kNothing) {
  }
  ASSERT_NE(hostEnd->Read(1000).find("h2"), std::string::npos);  // its own rows went out
  const auto rowsOf = [&deck](int netId) {
    return ArrangeByComputer(DealHands(deck, netId)[3]).rows;
  };

  joiner.controller.Received(net::EncodeArrangement(rowsOf(1), 1));  // Carl's rows never came
  EXPECT_EQ(joiner.listener.refused, std::vector<std::string>{"reveal before every player's rows"});
  EXPECT_EQ(joiner.flow.Stage(), RoundStage::kArranging);

  joiner.controller.Received(net::EncodeArrangement(rowsOf(3), 3) +
                             net::EncodeArrangement(rowsOf(1), 1));
  EXPECT_EQ(joiner.flow.Stage(), RoundStage::kRevealed);
  EXPECT_EQ(joiner.flow.TableRows(PositionOf(2, 3)), rowsOf(3));
}

TEST(DirectMatchTest, ChatIsRelayedAtTheRateAPersonTypes) {
  DirectTable table(4);
  int64_t now = 0;
  table.host.controller.SetClock([&now] { return now; });
  SeatAndStart(table, 2);
  table.RunUntil([&] { return table.host.flow.Stage() == RoundStage::kArranging; });
  MemoryLink& fromTwo = *table.Joiner(2).end;
  const auto flood = [&](int lines) {
    for (int i = 0; i < lines; ++i) fromTwo.Send(EncodeChat(2, "line " + std::to_string(i)));
    table.RunUntil([&] { return !table.Joiner(2).hostEnd->HasPending(); });
  };
  const auto relayed = [&] { return table.host.listener.chats.size(); };
  flood(50);  // a burst of five goes through, the rest is dropped
  EXPECT_EQ(relayed(), 5u);
  EXPECT_EQ(table.host.listener.refused.size(), 45u);
  EXPECT_EQ(table.host.listener.refused.back(), "chat faster than anyone types");
  now += 1000;  // a second later: two more
  flood(10);
  EXPECT_EQ(relayed(), 7u);
  now += 60000;  // after a pause the burst is back, never more
  flood(10);
  EXPECT_EQ(relayed(), 12u);
  // The others saw what the host took, and the flood never disturbed the game.
  table.Run();
  EXPECT_EQ(table.Joiner(3).listener.chats, table.host.listener.chats);
  ExpectAllAgree(table, 4);
  EXPECT_EQ(table.host.listener.interruptions, 0);
}

TEST(DirectMatchTest, JoinerChatWaitsForTheFirstDeal) {
  DirectTable table(4);
  table.Connect("Bo");
  table.Run();
  EXPECT_FALSE(table.joiners[0]->controller.SendChat("early"));
  ASSERT_TRUE(table.host.controller.StartGame(HostStart(), false));
  table.RunUntil([&] { return table.joiners[0]->controller.Dealt(); });
  EXPECT_TRUE(table.joiners[0]->controller.SendChat("now"));
}

TEST(DirectMatchTest, AGameEndsForEveryoneWhenAPlayerLeaves) {
  const TableText interrupted = InterruptedGameMessage();
  // A joiner leaves mid-match: the host tells the others with "abort".
  {
    DirectTable table(8);
    SeatAndStart(table, 3);
    table.RunUntil([&] { return table.host.rounds.size() >= 2; });
    ASSERT_LT(table.host.rounds.size(), 4u);
    table.joiners[1]->controller.Leave();
    table.Run();
    EXPECT_EQ(table.host.listener.interruptions, 1);
    EXPECT_EQ(table.host.listener.message, interrupted);
    EXPECT_EQ(table.host.flow.Stage(), RoundStage::kStopped);
    for (int i : {0, 2}) {
      EXPECT_EQ(table.joiners[i]->listener.interruptions, 1);
      EXPECT_EQ(table.joiners[i]->listener.message, interrupted);
      EXPECT_EQ(table.joiners[i]->controller.Phase(), LinkPhase::kClosed);
    }
    EXPECT_EQ(table.joiners[1]->listener.interruptions, 0);  // it left on its own
  }
  // The only joiner leaves: nobody is left to tell.
  {
    DirectTable table(8);
    SeatAndStart(table, 1);
    table.RunUntil([&] { return table.host.flow.Stage() == RoundStage::kArranging; });
    table.joiners[0]->controller.Leave();
    table.Run();
    EXPECT_EQ(table.host.listener.interruptions, 1);
  }
  // The host goes: every joiner's connection drops.
  {
    DirectTable table(8);
    SeatAndStart(table, 2);
    table.RunUntil([&] { return table.host.rounds.size() >= 1; });
    table.host.controller.Leave();
    table.Run();
    for (const auto& j : table.joiners) EXPECT_EQ(j->listener.interruptions, 1);
  }
  // A seated joiner leaves before the first deal: its number cannot be dealt to, so the
  // game is off for the others too.
  {
    DirectTable table(8);
    table.Connect("Bo");
    table.Connect("Carl");
    table.Run();
    table.joiners[0]->controller.Leave();
    table.Run();
    EXPECT_EQ(table.host.listener.interruptions, 1);
    EXPECT_EQ(table.joiners[1]->listener.interruptions, 1);
    EXPECT_FALSE(table.host.controller.StartGame(HostStart(), false));
  }
}

TEST(DirectMatchTest, AMatchPlayedToItsEndIsNoInterruption) {
  DirectTable table(13);
  SeatAndStart(table, 2);
  table.Run();
  ExpectAllAgree(table, 4);
  EXPECT_EQ(table.host.listener.interruptions, 0);
  for (const auto& j : table.joiners) {
    EXPECT_EQ(j->listener.interruptions, 0);
    EXPECT_EQ(j->controller.Phase(), LinkPhase::kClosed);
  }
}

TEST(DirectMatchTest, AJoinerWithoutAHostReadsNoAccessibleGames) {
  JoinerMachine joiner("Bo");
  auto [hostEnd, end] = MemoryLink::Pair();
  joiner.controller.StartJoining(*end);
  joiner.controller.Connected();
  EXPECT_EQ(hostEnd->Read(100), "qor9425connect1Bo  ");
  hostEnd->Close();  // a host that closes without seating
  ASSERT_TRUE(end->TakeClosed());
  joiner.controller.Closed();
  EXPECT_TRUE(joiner.listener.joinFailed);
  EXPECT_EQ(joiner.listener.message, NoAccessibleGamesMessage());
  EXPECT_EQ(joiner.listener.interruptions, 0);
  EXPECT_TRUE(joiner.controller.JoinError());
}

TEST(DirectConnectionTest, FaceUpCodeReadsAsANumber) {
  struct Case {
    const char* typed;
    int toggles;
  };
  for (const Case c : {Case{"71948", 1}, Case{"0071948", 1}, Case{"171948", 0},
                       Case{"7194871948", 2}, Case{"71 948", 0}}) {
    FaceUpCode code;
    int toggles = 0;
    for (const char* p = c.typed; *p != 0; ++p) toggles += code.Type(*p);
    EXPECT_EQ(toggles, c.toggles) << c.typed;
  }
  FaceUpCode code;
  for (char ch : std::string("7194")) code.Type(ch);
  code.Clear();  // the send button lost the focus
  EXPECT_FALSE(code.Type('8'));
}

}  // namespace
}  // namespace trilane::direct::test
