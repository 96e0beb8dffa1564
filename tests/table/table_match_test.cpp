// The match owner: local matches played to their end by the computer on the own seat, a
// network game's flow that sends through the caller's sender and leaves before it, and the
// computer's arrangement of the own seat, the same whether it is reached at once or swap by
// swap.
#include <gtest/gtest.h>

#include <vector>

#include "recorder.h"
#include "rules/computer.h"
#include "table/auto_player.h"
#include "table/table_match.h"

namespace trilane {
namespace {

class HostLog : public FlowHost {
 public:
  void FlowLeaving() override { events.push_back("leaving"); }
  void FlowArrived(RoundFlow& flow) override {
    events.push_back("arrived");
    arrived = &flow;
  }
  std::vector<std::string> events;
  RoundFlow* arrived = nullptr;
};

// The rows each round ends with, and the totals, of a local match played by `player`.
struct Played {
  std::vector<Arrangement> ownRows;
  Totals totals{};
};

// Plays four rounds of a local match; `stepwise` arranges one swap at a time (the table's
// demo), otherwise all at once (a headless seat).
Played PlayLocal(uint32_t seed, bool stepwise) {
  test::RecordingView view;
  TableMatch match(view);
  MatchStart start;
  start.name = "Auto";
  RoundFlow& flow = match.StartLocal(start, seed, false);
  AutoPlayer player;
  Played played;
  for (int guard = 0; guard < 1000; ++guard) {
    if (flow.Stage() == RoundStage::kArranging) {
      if (stepwise) {
        for (int n = 0; n < kCardsPerHand; ++n) {
          const auto swap = player.NextSwap(flow);
          if (!swap) break;
          flow.SwapSlots(swap->first, swap->second);
        }
      } else {
        for (const auto& [a, b] : SwapsToReach(flow.OwnRows(), player.Target(flow)))
          flow.SwapSlots(a, b);
      }
      played.ownRows.push_back(flow.OwnRows());
    }
    if (flow.Stage() == RoundStage::kRoundOver && flow.Counters().matchGames >= 4) break;
    if (!flow.OnActionButton()) break;
  }
  played.totals = flow.RoundTotals();
  return played;
}

TEST(TableMatchTest, TheComputerReachesTheSameRowsAtOnceAndSwapBySwap) {
  for (uint32_t seed : {3u, 11u, 12345u}) {
    const Played atOnce = PlayLocal(seed, false);
    const Played stepwise = PlayLocal(seed, true);
    ASSERT_FALSE(atOnce.ownRows.empty()) << seed;
    EXPECT_EQ(atOnce.ownRows, stepwise.ownRows) << seed;
    EXPECT_EQ(atOnce.totals, stepwise.totals) << seed;
  }
}

TEST(TableMatchTest, TheAutoPlayerArrangesTheOwnHandAsTheComputerSeatsDo) {
  test::RecordingView view;
  TableMatch match(view);
  MatchStart start;
  start.name = "Auto";
  RoundFlow& flow = match.StartLocal(start, 5, false);
  while (flow.Stage() != RoundStage::kArranging && flow.Stage() != RoundStage::kRoundOver)
    ASSERT_TRUE(flow.OnActionButton());
  if (flow.Stage() == RoundStage::kRoundOver) GTEST_SKIP() << "seed 5 deals a special";
  const Hand own = DealHands(flow.CurrentDeck(), 1)[3];
  AutoPlayer player;
  EXPECT_EQ(player.Target(flow), ArrangeByComputer(own).rows);
  EXPECT_EQ(player.Step(flow), AutoPlayer::Did::kArranged);
  EXPECT_EQ(flow.OwnRows(), ArrangeByComputer(own).rows);
  EXPECT_FALSE(player.NextSwap(flow).has_value());
}

TEST(TableMatchTest, ALocalMatchEndsThroughTheEndButton) {
  test::RecordingView view;
  TableMatch match(view);
  MatchStart start;
  start.name = "Auto";
  start.currentSlot = kSlotNewPlayer;
  match.StartLocal(start, 77, false);
  EXPECT_FALSE(match.Network());
  EXPECT_EQ(match.Seed(), 77u);
  AutoPlayer player;
  // Local play may stop after any round: the end button comes with the first result.
  for (int guard = 0; guard < 1000 && !match.Flow().EndEnabled(); ++guard)
    ASSERT_NE(player.Step(match.Flow()), AutoPlayer::Did::kNothing);
  ASSERT_TRUE(match.OpenGeneralScore().has_value());
  EXPECT_EQ(player.Step(match.Flow()), AutoPlayer::Did::kEndedMatch);
  EXPECT_TRUE(player.EndRequest().endMatch);
  EXPECT_EQ(player.EndRequest().rounds, 1);
}

TEST(TableMatchTest, ANetworkFlowSendsThroughItsSenderAndLeavesBeforeIt) {
  test::RecordingView view;
  HostLog host;
  TableMatch match(view, &host);
  EXPECT_EQ(host.events, (std::vector<std::string>{"arrived"}));
  RoundFlow* idle = host.arrived;
  EXPECT_EQ(idle, &match.Flow());
  EXPECT_FALSE(match.OpenGeneralScore().has_value());  // nothing dealt yet

  auto sender = std::make_unique<test::RecordingSender>();
  RoundFlow& flow = match.StartNetwork(*sender, 9);
  EXPECT_TRUE(match.Network());
  EXPECT_EQ(&flow, &match.Flow());
  EXPECT_EQ(host.events, (std::vector<std::string>{"arrived", "leaving", "arrived"}));
  TableSetup setup;
  setup.mode = PlayMode::kNet;
  setup.ownSeat = 1;
  flow.Configure(setup);
  MatchStart start;
  start.name = "Host";
  flow.StartMatch(start);
  EXPECT_EQ(sender->deals.size(), 1u);

  // Closed, the game's flow is gone and the sender may go; the table is idle again.
  match.Close();
  sender.reset();
  EXPECT_FALSE(match.Network());
  EXPECT_EQ(match.Flow().Stage(), RoundStage::kNone);
  EXPECT_EQ(host.events.back(), "arrived");
  match.Flow().Tick();  // nothing left names the sender
  // Closing a local table changes nothing.
  const size_t events = host.events.size();
  match.Close();
  EXPECT_EQ(host.events.size(), events);
}

TEST(TableMatchTest, ARenameReachesTheSeatPlate) {
  test::RecordingView view;
  TableMatch match(view);
  MatchStart start;
  start.name = "Anna";
  match.StartLocal(start, 1, false);
  match.Rename("Annette");
  EXPECT_EQ(match.Flow().SeatName(4), "Annette");
  EXPECT_EQ(match.Start().name, "Annette");
}

TEST(TableMatchTest, ARenameShowsAtOnceAndOutlivesTheNextDeal) {
  test::RecordingView view;
  TableMatch match(view);
  MatchStart start;
  start.name = "Old";
  RoundFlow& flow = match.StartLocal(start, 9, false);
  ASSERT_TRUE(flow.OnActionButton());  // the deal
  ASSERT_EQ(flow.Stage(), RoundStage::kArranging);
  ASSERT_EQ(view.plates[3].text, "Old");

  match.Rename("New  ");
  EXPECT_EQ(view.plates[3].text, "New");  // trailing blanks are not shown
  EXPECT_EQ(view.plates[3].colour, static_cast<char>(PlateColour::kYellow));
  EXPECT_EQ(flow.SeatName(4), "New  ");

  // Play the round out and deal the next one: the plate keeps the new name.
  AutoPlayer player;
  ASSERT_EQ(player.Step(flow), AutoPlayer::Did::kArranged);
  bool roundOver = false;
  for (int guard = 0; guard < 50; ++guard) {
    if (flow.Stage() == RoundStage::kRoundOver) roundOver = true;
    if (roundOver && flow.Stage() == RoundStage::kArranging) break;
    ASSERT_TRUE(flow.OnActionButton());
  }
  ASSERT_EQ(flow.Stage(), RoundStage::kArranging);
  EXPECT_EQ(view.plates[3].text, "New");
  EXPECT_EQ(flow.SeatName(4), "New  ");
}

}  // namespace
}  // namespace trilane
