#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

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

// A stage message "h<stage>" as the direct-play decoder hands it over: rows for "h2" (a
// payload of any other length is refused before it reaches the flow), a step otherwise.
Received Deliver(RoundFlow& flow, int stage, int sender, std::string_view payload) {
  if (stage == 2) {
    if (payload.size() != 30) return Received::kRejected;
    ArrangementCodes codes;
    for (int i = 0; i < 15; ++i) {
      codes[i] =
          CardCode{static_cast<uint8_t>(payload[2 * i]), static_cast<uint8_t>(payload[2 * i + 1])};
    }
    return flow.ArrangementReceived(sender, codes);
  }
  const std::optional<StageStep> step = StepFromNumber(stage);
  if (!step) return Received::kRejected;
  return flow.StepReceived(*step, sender);
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

  EXPECT_EQ(Deliver(host.flow, 2, 2, host.ComputerPayload(2)), Received::kApplied);
  EXPECT_EQ(host.view.plates[1].text, "[501]");
  EXPECT_EQ(host.view.plates[1].colour, 'r');
  // A second copy of the same joiner's rows counts once.
  EXPECT_EQ(Deliver(host.flow, 2, 2, host.ComputerPayload(2)), Received::kApplied);
  EXPECT_EQ(host.flow.ArrangementsReceived(), 1);
  EXPECT_FALSE(host.view.actionEnabled);
  // A joiner's stage press never moves the host.
  EXPECT_EQ(Deliver(host.flow, 3, 2, std::string(30, '0')), Received::kIgnored);
  EXPECT_EQ(host.flow.Stage(), RoundStage::kArranging);

  EXPECT_EQ(Deliver(host.flow, 2, 3, host.ComputerPayload(1)), Received::kApplied);
  EXPECT_TRUE(host.view.actionEnabled);

  ASSERT_TRUE(host.flow.OnActionButton());  // Ok: sends own rows and reveals
  EXPECT_EQ(host.sender.stages, std::vector<int>({1, 2}));
  EXPECT_EQ(host.sender.sentRows, host.flow.OwnRows());
  const RoundStage steps[] = {RoundStage::kRevealed, RoundStage::kBackRated,
                              RoundStage::kMiddleRated, RoundStage::kFrontRated,
                              RoundStage::kHandsRated};
  for (RoundStage stage : steps) {
    SCOPED_TRACE(StageNumber(stage));
    ASSERT_EQ(host.flow.Stage(), stage);
    EXPECT_TRUE(host.flow.Locked());
    host.Ticks(4);
    EXPECT_FALSE(host.view.actionEnabled);
    EXPECT_FALSE(host.flow.OnActionButton());
    host.Ticks(1);
    EXPECT_TRUE(host.view.actionEnabled);
    ASSERT_TRUE(host.flow.OnActionButton());
  }
  EXPECT_EQ(host.sender.stages, std::vector<int>({1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(host.flow.Stage(), RoundStage::kRoundOver);
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
  std::string twice = host.ComputerPayload(2);
  twice.replace(12, 2, twice.substr(10, 2));  // the Middle's first card twice, its second gone
  const std::string rising = host.ComputerPayload(2);
  const std::string falling = rising.substr(0, 10) + rising.substr(20, 10) + rising.substr(10, 10);
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
      {"a card of the hand twice", 2, twice, Received::kRejected},
      {"Middle above Back", 2, falling, Received::kRejected},
      {"a short payload", 2, host.ComputerPayload(2).substr(0, 28), Received::kRejected},
      {"garbage bytes", 2, std::string(30, '\xFF'), Received::kRejected},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Deliver(host.flow, 2, c.sender, c.payload), c.want) << c.what;
  }
  EXPECT_EQ(host.flow.ArrangementsReceived(), 0);
  EXPECT_EQ(Deliver(host.flow, 9, 2, std::string(30, '0')), Received::kRejected);
}

TEST(NetRoundTest, JoinerFollowsTheHostAndRevealsOnlyOnTheHostsRows) {
  const Deck deck = test::PlainDeck(21);
  Machine joiner(PlayMode::kNet, 2, 1, nullptr, /*awaiting=*/true);
  joiner.flow.SetSeatName(2, "Ho  ");  // the host, as the seating message names it
  joiner.flow.StartMatch(MatchStart{1, "Jo", 6, 0, 0, false, 1, 0});
  // Seated, waiting: the host's hand area (player 1 at position 2) says so.
  EXPECT_EQ(joiner.view.handText, (std::pair<int, std::string>{2, "[102]"}));
  EXPECT_FALSE(joiner.view.actionEnabled);
  EXPECT_EQ(joiner.flow.Counters().gamesPlayed, 7);
  EXPECT_EQ(Deliver(joiner.flow, 1, 1, std::string(30, '0')), Received::kIgnored);

  Deck broken = deck;
  broken[0] = broken[1];
  EXPECT_EQ(joiner.flow.DealReceived(broken, true), Received::kRejected);
  EXPECT_EQ(joiner.flow.DealReceived(deck, true), Received::kApplied);
  EXPECT_EQ(joiner.flow.Counters().gamesPlayed, 7);  // the first deal was counted on seating
  EXPECT_TRUE(joiner.flow.Setup().ruleTwoFour);
  EXPECT_FALSE(joiner.view.actionEnabled);  // only the host starts a round
  EXPECT_EQ(joiner.flow.TableHands(), DealHands(deck, 2));
  // Two people: the players 3 and 4 are the computer's.
  EXPECT_TRUE(joiner.flow.IsComputerSeat(PositionOf(2, 3)));
  EXPECT_TRUE(joiner.flow.IsComputerSeat(PositionOf(2, 4)));
  EXPECT_FALSE(joiner.flow.IsComputerSeat(PositionOf(2, 1)));

  EXPECT_EQ(Deliver(joiner.flow, 1, 1, std::string(30, '0')), Received::kApplied);
  ASSERT_EQ(joiner.flow.Stage(), RoundStage::kArranging);
  test::ArrangeOwnRows(joiner.flow, DealHands(deck, 2)[3]);
  EXPECT_TRUE(joiner.view.actionEnabled);  // legality alone
  ASSERT_TRUE(joiner.flow.OnActionButton());
  EXPECT_EQ(joiner.sender.stages, std::vector<int>({2}));
  EXPECT_EQ(joiner.flow.Stage(), RoundStage::kArranging);  // waits for the host's rows
  EXPECT_FALSE(joiner.view.actionEnabled);
  EXPECT_EQ(joiner.flow.OnOwnSlotClicked({kFront, 1}), RoundFlow::Click::kNothing);  // rows sent
  EXPECT_EQ(Deliver(joiner.flow, 3, 1, std::string(30, '0')), Received::kIgnored);

  EXPECT_EQ(Deliver(joiner.flow, 2, 1, joiner.ComputerPayload(2)), Received::kApplied);
  EXPECT_EQ(joiner.flow.Stage(), RoundStage::kRevealed);
  EXPECT_EQ(joiner.view.plates[1].text, "Ho");  // names again after the reveal, unpadded
  for (int stage = 3; stage <= 7; ++stage) {
    EXPECT_EQ(Deliver(joiner.flow, stage, 1, std::string(30, '0')), Received::kApplied);
    EXPECT_FALSE(joiner.view.actionEnabled);
  }
  EXPECT_EQ(joiner.flow.Stage(), RoundStage::kRoundOver);
  EXPECT_EQ(Deliver(joiner.flow, 7, 1, std::string(30, '0')), Received::kIgnored);
  EXPECT_EQ(joiner.sender.stages, std::vector<int>({2}));  // a joiner sends only its rows
  EXPECT_EQ(joiner.view.pauses.back(), 2000);
  EXPECT_FALSE(joiner.view.endEnabled);  // round 7: the block of four is not complete

  EXPECT_EQ(joiner.flow.DealReceived(test::PlainDeck(99), true), Received::kApplied);
  EXPECT_EQ(joiner.flow.Counters().gamesPlayed, 8);
}

// Every machine of a game wired together in one process, the way the host relays and the
// club server passes messages on: all machines must deal the same hands, compute the same
// computer arrangements and the same points for every player, and end the match together.
TEST(NetRoundTest, EveryMachineOfAGameAgreesOnEveryRound) {
  const struct {
    PlayMode mode;
    int people;
  } cases[] = {{PlayMode::kNet, 2}, {PlayMode::kNet, 3}, {PlayMode::kNet, 4}, {PlayMode::kClub, 4}};
  for (const auto& c : cases) {
    const bool club = c.mode == PlayMode::kClub;
    SCOPED_TRACE(std::string(club ? "club" : "direct play") + ", people " +
                 std::to_string(c.people));
    DeckSource serverDecks = SeededDecks(77);
    std::vector<std::unique_ptr<Machine>> m;  // m[i] is player number i + 1
    for (int own = 1; own <= c.people; ++own) {
      DeckSource decks = !club && own == 1 ? SeededDecks(77) : nullptr;
      m.push_back(
          std::make_unique<Machine>(c.mode, own, c.people - 1, std::move(decks), !club && own > 1));
    }
    for (int own = 1; own <= c.people; ++own) {
      m[own - 1]->sender.onStep = [&, own](StageStep step) {
        for (int k = 1; k <= c.people; ++k) {
          if (k != own) m[k - 1]->flow.StepReceived(step, own);
        }
      };
      m[own - 1]->sender.onArrangement = [&, own](const Arrangement& rows) {
        for (int k = 1; k <= c.people; ++k) {
          if (k != own) m[k - 1]->flow.ArrangementReceived(own, CodesOf(rows));
        }
      };
    }
    m[0]->sender.onDeal = [&](const Deck& deck, bool rule) {
      for (int k = 2; k <= c.people; ++k) m[k - 1]->flow.DealReceived(deck, rule);
    };
    auto serverDeal = [&] {
      const Deck deck = serverDecks();
      for (auto& machine : m) machine->flow.ClubDealReceived(deck);
    };
    for (int own = c.people; own >= 1; --own) {
      m[own - 1]->flow.StartMatch(MatchStart{1, "P" + std::to_string(own), 0, 0, 0, false, 1, 0});
    }
    if (club) serverDeal();

    for (int round = 1; round <= kMatchLength; ++round) {
      SCOPED_TRACE(round);
      std::vector<Hand> own;
      for (auto& machine : m) {
        ASSERT_EQ(machine->flow.Stage(), RoundStage::kDealt);
        own.push_back(machine->flow.TableHands()[3]);
      }
      for (int k = 1; k <= c.people; ++k) {
        EXPECT_EQ(m[k - 1]->flow.TableHands()[PositionOf(k, 1) - 1], m[0]->flow.TableHands()[3]);
      }
      ASSERT_TRUE(m[0]->flow.OnActionButton());
      if (m[0]->flow.Stage() == RoundStage::kArranging) {
        for (int k = c.people; k >= 1; --k) {  // the pacing player confirms last
          Machine& machine = *m[k - 1];
          ASSERT_EQ(machine.flow.Stage(), RoundStage::kArranging);
          test::ArrangeOwnRows(machine.flow, own[k - 1]);
          ASSERT_TRUE(machine.flow.OnActionButton()) << "player " << k;
        }
        while (m[0]->flow.Stage() != RoundStage::kRoundOver) {
          m[0]->Ticks(kLockTicks);
          ASSERT_TRUE(m[0]->flow.OnActionButton());
        }
        for (int player = 1; player <= 4; ++player) {
          for (int k = 2; k <= c.people; ++k) {
            EXPECT_EQ(m[k - 1]->flow.TableRows(PositionOf(k, player)),
                      m[0]->flow.TableRows(PositionOf(1, player)))
                << "player " << player << " on machine " << k;
          }
        }
      }
      for (int k = 1; k <= c.people; ++k) {
        ASSERT_EQ(m[k - 1]->flow.Stage(), RoundStage::kRoundOver) << k;
        for (int player = 1; player <= 4; ++player) {
          EXPECT_EQ(m[k - 1]->flow.RoundTotals()[PositionOf(k, player) - 1],
                    m[0]->flow.RoundTotals()[PositionOf(1, player) - 1]);
        }
      }
      const Totals& t = m[0]->flow.RoundTotals();
      EXPECT_EQ(std::accumulate(t.begin(), t.end(), 0), 0);
      if (round < kMatchLength) {
        ASSERT_TRUE(m[0]->flow.OnActionButton());
        if (club) serverDeal();
      }
    }
    // The fourth round completes the match: the pacing player may not go on.
    EXPECT_FALSE(m[0]->view.actionEnabled);
    EXPECT_TRUE(m[0]->view.endEnabled);
    for (int k = 2; k <= c.people; ++k) {
      EXPECT_EQ(m[k - 1]->view.endEnabled, !club) << k;  // club seats wait for the server's end
      EXPECT_EQ(m[k - 1]->flow.Counters().matchGames, kMatchLength);
    }
    const EndMatchRequest end = m[0]->flow.OnEndButton();
    EXPECT_EQ(end.sendClubResult, club);
    for (int seat = 1; seat <= 4; ++seat) {
      EXPECT_EQ(end.totalsBySeat[seat - 1], m[0]->flow.RoundTotals()[PositionOf(1, seat) - 1]);
    }
  }
}

TEST(NetRoundTest, StoredRoundSixEndsAfterRoundEight) {
  Machine host(PlayMode::kNet, 1, 1, SeededDecks(5));
  host.flow.StartMatch(MatchStart{2, "Host", 6, 0, 0, false, 1, 0});
  for (int round = 7; round <= 8; ++round) {
    // Settle the round without a joiner: its rows arrive as the computer would make them.
    const Hand own = host.flow.TableHands()[3];
    ASSERT_TRUE(host.flow.OnActionButton());
    if (host.flow.Stage() == RoundStage::kArranging) {
      test::ArrangeOwnRows(host.flow, own);
      Deliver(host.flow, 2, 2, host.ComputerPayload(2));
    }
    while (host.flow.Stage() != RoundStage::kRoundOver) {
      host.Ticks(5);
      ASSERT_TRUE(host.flow.OnActionButton());
    }
    EXPECT_EQ(host.view.endEnabled, round == 8);
    if (round == 7) {
      ASSERT_TRUE(host.flow.OnActionButton());
    }
  }
  EXPECT_EQ(host.flow.OnEndButton().rounds, 2);
}

TEST(ClubRoundTest, PacerWaitsForThreeAndTheServerDeals) {
  const Deck deck = test::PlainDeck(60);
  Machine pacer(PlayMode::kClub, 1, 0);
  pacer.flow.StartMatch(MatchStart{kSlotClubGame, "Lead", 9, 300, 1400.0, false, 2, 0});
  EXPECT_EQ(pacer.view.log.size(), 0u);  // nothing until the server deals
  ASSERT_EQ(pacer.flow.ClubDealReceived(deck), Received::kApplied);
  EXPECT_EQ(pacer.flow.Counters().gamesPlayed, 10);
  EXPECT_EQ(pacer.view.panelCount, "1 / 4");
  // Seat s holds block 5 - s: the pacer block 4, seat 4 (position PositionOf(1, 4) = 3) block 1.
  EXPECT_EQ(pacer.flow.TableHands()[3], DealHands(deck, 4)[3]);
  EXPECT_EQ(pacer.flow.TableHands()[2], DealHands(deck, 1)[3]);
  for (int p = 1; p <= 3; ++p) EXPECT_FALSE(pacer.flow.IsComputerSeat(p));

  const Hand own = pacer.flow.TableHands()[3];
  ASSERT_TRUE(pacer.flow.OnActionButton());
  EXPECT_EQ(pacer.view.clocks.back(), (std::pair<int, int>{4, 75}));
  test::ArrangeOwnRows(pacer.flow, own);
  for (int seat = 2; seat <= 4; ++seat) {
    EXPECT_FALSE(pacer.view.actionEnabled) << seat;
    Deliver(pacer.flow, 2, seat, pacer.ComputerPayload(PositionOf(1, seat)));
  }
  EXPECT_TRUE(pacer.view.actionEnabled);
  ASSERT_TRUE(pacer.flow.OnActionButton());
  EXPECT_EQ(pacer.view.clocks.back(), (std::pair<int, int>{4, 26}));
  while (pacer.flow.Stage() != RoundStage::kRoundOver) {
    pacer.Ticks(5);
    ASSERT_TRUE(pacer.flow.OnActionButton());
  }
  ASSERT_TRUE(pacer.flow.OnActionButton());  // "bnext", once
  EXPECT_FALSE(pacer.flow.OnActionButton());
  EXPECT_EQ(pacer.sender.nextRequests, 1);
  EXPECT_EQ(pacer.flow.Stage(), RoundStage::kRoundOver);
  ASSERT_EQ(pacer.flow.ClubDealReceived(test::PlainDeck(61)), Received::kApplied);
  EXPECT_EQ(pacer.flow.Counters().gamesPlayed, 11);
  EXPECT_EQ(pacer.flow.Counters().matchGames, 2);
}

TEST(ClubRoundTest, StoppedAndEndedGames) {
  Machine seat3(PlayMode::kClub, 3, 0);
  seat3.flow.StartMatch(MatchStart{kSlotClubGame, "Three", 3, 0, 0, false, 2, 0});
  ASSERT_EQ(seat3.flow.ClubDealReceived(test::PlainDeck(2)), Received::kApplied);
  EXPECT_FALSE(seat3.view.actionEnabled);  // only seat 1 starts
  EXPECT_EQ(seat3.view.clocks.back(), (std::pair<int, int>{PositionOf(3, 1), 26}));  // the pacer's
  EXPECT_EQ(Deliver(seat3.flow, 1, 2, std::string(30, '0')), Received::kIgnored);
  EXPECT_EQ(Deliver(seat3.flow, 1, 1, std::string(30, '0')), Received::kApplied);
  EXPECT_EQ(seat3.view.clocks.back(), (std::pair<int, int>{4, 65}));
  seat3.flow.StopRound();  // own time-out
  EXPECT_EQ(seat3.flow.Stage(), RoundStage::kStopped);
  EXPECT_EQ(seat3.view.action, "[1101]");  // the caption stays
  EXPECT_FALSE(seat3.flow.OnActionButton());
  EXPECT_TRUE(seat3.view.endEnabled);
  const EndMatchRequest end = seat3.flow.OnEndButton();
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
