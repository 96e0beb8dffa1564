#include <gtest/gtest.h>

#include <numeric>

#include "recorder.h"

namespace trilane {
namespace {

using test::RecordingSender;
using test::RecordingView;

std::string Payload(const ArrangementCodes& codes) {
  std::string text;
  for (const CardCode& c : codes) text += c.Bytes();
  return text;
}

// One machine of a network game: its view, its sender and its flow.
struct Machine {
  Machine(PlayMode mode, int own, int joiners, DeckSource decks = nullptr, bool awaiting = false)
      : flow(view, sender, std::move(decks)) {
    flow.Configure(TableSetup{mode, own, joiners, false, awaiting});
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) flow.Tick();
  }
  // The arrangement of the player at a table position, as the computer would make it.
  std::string ComputerPayload(int position) const {
    return Payload(test::ComputerCodes(flow.TableHands()[position - 1]));
  }
  RecordingView view;
  RecordingSender sender;
  RoundFlow flow;
};

TEST(NetRoundTest, HostWaitsForEveryJoinerAndLocksFiveTicksPerStage) {
  Machine host(PlayMode::kNet, 1, 2, test::Decks({test::PlainDeck(8)}));
  host.flow.StartMatch({});
  ASSERT_EQ(host.sender.deals.size(), 1u);    // the deck goes to the joiners
  EXPECT_FALSE(host.flow.IsComputerSeat(2));  // player 2
  EXPECT_FALSE(host.flow.IsComputerSeat(1));  // player 3
  EXPECT_TRUE(host.flow.IsComputerSeat(3));   // player 4: nobody sits there

  const Hand own = host.flow.TableHands()[3];
  ASSERT_TRUE(host.flow.OnActionButton());
  EXPECT_EQ(host.sender.stages, std::vector<int>({1}));
  test::ArrangeOwnRows(host.flow, own);
  EXPECT_TRUE(host.flow.OwnArrangementLegal());
  EXPECT_FALSE(host.view.actionEnabled);

  EXPECT_EQ(host.flow.StageReceived(2, 2, host.ComputerPayload(2)), Received::kApplied);
  EXPECT_EQ(host.view.plates[1].text, "[501]");
  EXPECT_EQ(host.view.plates[1].colour, 'r');
  // A second copy of the same joiner's rows counts once.
  EXPECT_EQ(host.flow.StageReceived(2, 2, host.ComputerPayload(2)), Received::kApplied);
  EXPECT_EQ(host.flow.ArrangementsReceived(), 1);
  EXPECT_FALSE(host.view.actionEnabled);
  // A joiner's stage press never moves the host.
  EXPECT_EQ(host.flow.StageReceived(3, 2, std::string(30, '0')), Received::kIgnored);
  EXPECT_EQ(host.flow.Stage(), kStageArranging);

  EXPECT_EQ(host.flow.StageReceived(2, 3, host.ComputerPayload(1)), Received::kApplied);
  EXPECT_TRUE(host.view.actionEnabled);

  ASSERT_TRUE(host.flow.OnActionButton());  // Ok: sends own rows and reveals
  EXPECT_EQ(host.sender.stages, std::vector<int>({1, 2}));
  EXPECT_EQ(host.sender.sentRows, host.flow.OwnRows());
  const int steps[] = {26, 27, 28, 29, 30};
  for (int stage : steps) {
    ASSERT_EQ(host.flow.Stage(), stage);
    EXPECT_TRUE(host.flow.Locked());
    host.Ticks(4);
    EXPECT_FALSE(host.view.actionEnabled) << stage;
    EXPECT_FALSE(host.flow.OnActionButton());
    host.Ticks(1);
    EXPECT_TRUE(host.view.actionEnabled) << stage;
    ASSERT_TRUE(host.flow.OnActionButton());
  }
  EXPECT_EQ(host.sender.stages, std::vector<int>({1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(host.flow.Stage(), kStageRoundOver);
  // The host pauses, then every machine: two pauses after the three reveal pauses.
  EXPECT_EQ(host.view.pauses, std::vector<int>({500, 500, 500, 2000, 2000}));
  EXPECT_TRUE(host.view.actionEnabled);  // round 1 of 4
  EXPECT_FALSE(host.view.endEnabled);
}

TEST(NetRoundTest, ReceivedArrangementsAreCheckedBeforeTheyCount) {
  Machine host(PlayMode::kNet, 1, 2, test::Decks({test::PlainDeck(8)}));
  host.flow.StartMatch({});
  ASSERT_TRUE(host.flow.OnActionButton());
  std::string swapped = host.ComputerPayload(2);
  std::string foreign = host.ComputerPayload(2);
  foreign.replace(0, 2, host.ComputerPayload(1).substr(0, 2));  // a card of another hand
  std::string deadSlot = host.ComputerPayload(2);
  std::swap(deadSlot[0], deadSlot[6]);  // a card in the Front's slot 4
  std::swap(deadSlot[1], deadSlot[7]);
  const struct {
    const char* what;
    int sender;
    std::string payload;
    Received want;
  } cases[] = {
      {"player 4 is a computer seat", 4, host.ComputerPayload(3), Received::kRejected},
      {"the host's own number", 1, host.ComputerPayload(2), Received::kRejected},
      {"no such player", 5, host.ComputerPayload(2), Received::kRejected},
      {"a card from another hand", 2, foreign, Received::kRejected},
      {"a card in a dead Front slot", 2, deadSlot, Received::kRejected},
      {"a short payload", 2, host.ComputerPayload(2).substr(0, 28), Received::kRejected},
      {"garbage bytes", 2, std::string(30, '\xFF'), Received::kRejected},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(host.flow.StageReceived(2, c.sender, c.payload), c.want) << c.what;
  }
  EXPECT_EQ(host.flow.ArrangementsReceived(), 0);
  EXPECT_EQ(host.flow.StageReceived(9, 2, std::string(30, '0')), Received::kRejected);
}

TEST(NetRoundTest, JoinerFollowsTheHostAndRevealsOnlyOnTheHostsRows) {
  const Deck deck = test::PlainDeck(21);
  Machine joiner(PlayMode::kNet, 2, 1, nullptr, /*awaiting=*/true);
  joiner.flow.SetSeatName(2, "Ho  ");  // the host, as the seating message names it
  joiner.flow.StartMatch(MatchStart{1, "Jo", 6, 0, 0, false, 1, 0});
  // Seated, waiting: the host's hand area (player 1 at position 2) says so.
  EXPECT_EQ(joiner.view.handText, (std::pair<int, std::string>{2, "[102]"}));
  EXPECT_FALSE(joiner.view.actionEnabled);
  EXPECT_EQ(joiner.flow.Counters().roundNumber, 7);
  EXPECT_EQ(joiner.flow.StageReceived(1, 1, std::string(30, '0')), Received::kIgnored);

  Deck broken = deck;
  broken[0] = broken[1];
  EXPECT_EQ(joiner.flow.DealReceived(broken, true), Received::kRejected);
  EXPECT_EQ(joiner.flow.DealReceived(deck, true), Received::kApplied);
  EXPECT_EQ(joiner.flow.Counters().roundNumber, 7);  // the first deal was counted on seating
  EXPECT_TRUE(joiner.flow.Setup().ruleTwoFour);
  EXPECT_FALSE(joiner.view.actionEnabled);  // only the host starts a round
  EXPECT_EQ(joiner.flow.TableHands(), DealHands(deck, 2));
  // Two people: the players 3 and 4 are the computer's.
  EXPECT_TRUE(joiner.flow.IsComputerSeat(PositionOf(2, 3)));
  EXPECT_TRUE(joiner.flow.IsComputerSeat(PositionOf(2, 4)));
  EXPECT_FALSE(joiner.flow.IsComputerSeat(PositionOf(2, 1)));

  EXPECT_EQ(joiner.flow.StageReceived(1, 1, std::string(30, '0')), Received::kApplied);
  ASSERT_EQ(joiner.flow.Stage(), kStageArranging);
  test::ArrangeOwnRows(joiner.flow, DealHands(deck, 2)[3]);
  EXPECT_TRUE(joiner.view.actionEnabled);  // legality alone
  ASSERT_TRUE(joiner.flow.OnActionButton());
  EXPECT_EQ(joiner.sender.stages, std::vector<int>({2}));
  EXPECT_EQ(joiner.flow.Stage(), kStageArranging);  // waits for the host's rows
  EXPECT_FALSE(joiner.view.actionEnabled);
  EXPECT_EQ(joiner.flow.OnOwnSlotClicked({1, 1}), RoundFlow::Click::kNothing);  // rows sent
  EXPECT_EQ(joiner.flow.StageReceived(3, 1, std::string(30, '0')), Received::kIgnored);

  EXPECT_EQ(joiner.flow.StageReceived(2, 1, joiner.ComputerPayload(2)), Received::kApplied);
  EXPECT_EQ(joiner.flow.Stage(), kStageRevealed);
  EXPECT_EQ(joiner.view.plates[1].text, "Ho");  // names again after the reveal, unpadded
  for (int stage = 3; stage <= 7; ++stage) {
    EXPECT_EQ(joiner.flow.StageReceived(stage, 1, std::string(30, '0')), Received::kApplied);
    EXPECT_FALSE(joiner.view.actionEnabled);
  }
  EXPECT_EQ(joiner.flow.Stage(), kStageRoundOver);
  EXPECT_EQ(joiner.flow.StageReceived(7, 1, std::string(30, '0')), Received::kIgnored);
  EXPECT_EQ(joiner.sender.stages, std::vector<int>({2}));  // a joiner sends only its rows
  EXPECT_EQ(joiner.view.pauses.back(), 2000);
  EXPECT_FALSE(joiner.view.endEnabled);  // round 7: the block of four is not complete

  EXPECT_EQ(joiner.flow.DealReceived(test::PlainDeck(99), true), Received::kApplied);
  EXPECT_EQ(joiner.flow.Counters().roundNumber, 8);
}

// A host and one joiner wired together in one process: both machines must compute the same
// computer arrangements and the same points for every player.
TEST(NetRoundTest, TwoPeopleInDirectPlayAgreeOnEveryRound) {
  Machine host(PlayMode::kNet, 1, 1, SeededDecks(77));
  Machine joiner(PlayMode::kNet, 2, 1, nullptr, true);
  host.sender.onDeal = [&](const Deck& deck, bool rule) { joiner.flow.DealReceived(deck, rule); };
  host.sender.onStage = [&](int stage, const Arrangement* own) {
    joiner.flow.StageReceived(stage, 1, own ? ArrangementPayload(*own) : std::string(30, '0'));
  };
  joiner.sender.onStage = [&](int stage, const Arrangement* own) {
    host.flow.StageReceived(stage, 2, own ? ArrangementPayload(*own) : std::string(30, '0'));
  };
  joiner.flow.StartMatch(MatchStart{1, "Jo", 0, 0, 0, false, 1, 0});
  host.flow.StartMatch(MatchStart{1, "Host", 0, 0, 0, false, 1, 0});
  EXPECT_TRUE(host.flow.IsComputerSeat(1));
  EXPECT_TRUE(host.flow.IsComputerSeat(3));
  EXPECT_FALSE(host.flow.IsComputerSeat(2));

  for (int round = 1; round <= 4; ++round) {
    SCOPED_TRACE(round);
    ASSERT_EQ(joiner.flow.CurrentDeck(), host.flow.CurrentDeck());
    const Hand hostHand = host.flow.TableHands()[3];
    const Hand joinerHand = joiner.flow.TableHands()[3];
    ASSERT_TRUE(host.flow.OnActionButton());
    if (host.flow.Stage() == kStageArranging) {
      ASSERT_EQ(joiner.flow.Stage(), kStageArranging);
      test::ArrangeOwnRows(host.flow, hostHand);
      EXPECT_FALSE(host.view.actionEnabled);
      test::ArrangeOwnRows(joiner.flow, joinerHand);
      ASSERT_TRUE(joiner.flow.OnActionButton());
      ASSERT_TRUE(host.view.actionEnabled);
      while (host.flow.Stage() != kStageRoundOver) {
        host.Ticks(5);
        ASSERT_TRUE(host.flow.OnActionButton());
      }
      for (int player = 1; player <= 4; ++player) {
        EXPECT_EQ(host.flow.TableRows(PositionOf(1, player)),
                  joiner.flow.TableRows(PositionOf(2, player)))
            << player;
      }
    }
    ASSERT_EQ(joiner.flow.Stage(), kStageRoundOver);
    for (int player = 1; player <= 4; ++player) {
      EXPECT_EQ(host.flow.RoundTotals()[PositionOf(1, player) - 1],
                joiner.flow.RoundTotals()[PositionOf(2, player) - 1]);
    }
    const Totals& t = host.flow.RoundTotals();
    EXPECT_EQ(std::accumulate(t.begin(), t.end(), 0), 0);
    if (round < 4) {
      ASSERT_TRUE(host.flow.OnActionButton());
    }
  }
  // Round 4 completes the match: nobody goes on, everybody may leave.
  EXPECT_FALSE(host.view.actionEnabled);
  EXPECT_TRUE(host.view.endEnabled);
  EXPECT_TRUE(joiner.view.endEnabled);
  EXPECT_EQ(host.flow.Counters().sessionRounds, 4);
  EXPECT_EQ(joiner.flow.Counters().sessionRounds, 4);
}

TEST(NetRoundTest, StoredRoundSixEndsAfterRoundEight) {
  Machine host(PlayMode::kNet, 1, 1, SeededDecks(5));
  host.flow.StartMatch(MatchStart{2, "Host", 6, 0, 0, false, 1, 0});
  for (int round = 7; round <= 8; ++round) {
    // Settle the round without a joiner: its rows arrive as the computer would make them.
    const Hand own = host.flow.TableHands()[3];
    ASSERT_TRUE(host.flow.OnActionButton());
    if (host.flow.Stage() == kStageArranging) {
      test::ArrangeOwnRows(host.flow, own);
      host.flow.StageReceived(2, 2, host.ComputerPayload(2));
    }
    while (host.flow.Stage() != kStageRoundOver) {
      host.Ticks(5);
      ASSERT_TRUE(host.flow.OnActionButton());
    }
    EXPECT_EQ(host.view.endEnabled, round == 8);
    if (round == 7) {
      ASSERT_TRUE(host.flow.OnActionButton());
    }
  }
  EXPECT_EQ(host.flow.Button8Click().rounds, 2);
}

TEST(ClubRoundTest, LeaderWaitsForThreeAndTheServerDeals) {
  const Deck deck = test::PlainDeck(60);
  Machine leader(PlayMode::kClub, 1, 0);
  leader.flow.StartMatch(MatchStart{kSlotClubGame, "Lead", 9, 300, 1400.0, false, 2, 0});
  EXPECT_EQ(leader.view.log.size(), 0u);  // nothing until the server deals
  ASSERT_EQ(leader.flow.ClubDealReceived(deck), Received::kApplied);
  EXPECT_EQ(leader.flow.Counters().roundNumber, 10);
  EXPECT_EQ(leader.view.panelCount, "1 / 4");
  // Seat s holds block 5 - s: the leader block 4, seat 4 (position PositionOf(1, 4) = 3) block 1.
  EXPECT_EQ(leader.flow.TableHands()[3], DealHands(deck, 4)[3]);
  EXPECT_EQ(leader.flow.TableHands()[2], DealHands(deck, 1)[3]);
  for (int p = 1; p <= 3; ++p) EXPECT_FALSE(leader.flow.IsComputerSeat(p));

  const Hand own = leader.flow.TableHands()[3];
  ASSERT_TRUE(leader.flow.OnActionButton());
  EXPECT_EQ(leader.view.clocks.back(), (std::pair<int, int>{4, 75}));
  test::ArrangeOwnRows(leader.flow, own);
  for (int seat = 2; seat <= 4; ++seat) {
    EXPECT_FALSE(leader.view.actionEnabled) << seat;
    leader.flow.StageReceived(2, seat, leader.ComputerPayload(PositionOf(1, seat)));
  }
  EXPECT_TRUE(leader.view.actionEnabled);
  ASSERT_TRUE(leader.flow.OnActionButton());
  EXPECT_EQ(leader.view.clocks.back(), (std::pair<int, int>{4, 26}));
  while (leader.flow.Stage() != kStageRoundOver) {
    leader.Ticks(5);
    ASSERT_TRUE(leader.flow.OnActionButton());
  }
  ASSERT_TRUE(leader.flow.OnActionButton());  // "bnext", once
  EXPECT_FALSE(leader.flow.OnActionButton());
  EXPECT_EQ(leader.sender.nextRequests, 1);
  EXPECT_EQ(leader.flow.Stage(), kStageRoundOver);
  ASSERT_EQ(leader.flow.ClubDealReceived(test::PlainDeck(61)), Received::kApplied);
  EXPECT_EQ(leader.flow.Counters().roundNumber, 11);
  EXPECT_EQ(leader.flow.Counters().sessionRounds, 2);
}

TEST(ClubRoundTest, StoppedAndEndedGames) {
  Machine seat3(PlayMode::kClub, 3, 0);
  seat3.flow.StartMatch(MatchStart{kSlotClubGame, "Three", 3, 0, 0, false, 2, 0});
  ASSERT_EQ(seat3.flow.ClubDealReceived(test::PlainDeck(2)), Received::kApplied);
  EXPECT_FALSE(seat3.view.actionEnabled);  // only seat 1 starts
  EXPECT_EQ(seat3.view.clocks.back(), (std::pair<int, int>{PositionOf(3, 1), 26}));  // the leader's
  EXPECT_EQ(seat3.flow.StageReceived(1, 2, std::string(30, '0')), Received::kIgnored);
  EXPECT_EQ(seat3.flow.StageReceived(1, 1, std::string(30, '0')), Received::kApplied);
  EXPECT_EQ(seat3.view.clocks.back(), (std::pair<int, int>{4, 65}));
  seat3.flow.StopRound();  // own time-out
  EXPECT_EQ(seat3.flow.Stage(), kStageStopped);
  EXPECT_EQ(seat3.view.action, "[1101]");  // the caption stays
  EXPECT_FALSE(seat3.flow.OnActionButton());
  EXPECT_TRUE(seat3.view.endEnabled);
  const EndMatchRequest end = seat3.flow.Button8Click();
  EXPECT_TRUE(end.endMatch);
  EXPECT_FALSE(end.sendClubResult);

  Machine seat2(PlayMode::kClub, 2, 0);
  seat2.flow.StartMatch(MatchStart{kSlotClubGame, "Two", 3, 0, 0, false, 2, 0});
  seat2.flow.ClubDealReceived(test::PlainDeck(2));
  EXPECT_FALSE(seat2.view.endEnabled);
  seat2.flow.ClubGameEnded();
  EXPECT_TRUE(seat2.view.endEnabled);
}

}  // namespace
}  // namespace trilane
