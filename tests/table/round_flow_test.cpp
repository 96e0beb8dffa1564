#include <gtest/gtest.h>

#include <numeric>

#include "recorder.h"
#include "rules/computer_round.h"

namespace trilane {
namespace {

using test::RecordingSender;
using test::RecordingView;

class ComputerRoundTest : public ::testing::Test {
 protected:
  void Start(DeckSource decks, MatchStart start = {}, bool ruleTwoFour = false) {
    flow = std::make_unique<RoundFlow>(view, sender, std::move(decks));
    TableSetup setup;
    setup.ruleTwoFour = ruleTwoFour;
    flow->Configure(setup);
    flow->StartMatch(start);
  }
  // "To Begin", then the own rows arranged as the computer would.
  void BeginAndArrange() {
    const Hand own = flow->TableHands()[3];
    ASSERT_TRUE(flow->OnActionButton());
    if (flow->Stage() == RoundStage::kArranging) test::ArrangeOwnRows(*flow, own);
  }
  void PlayRound() {
    BeginAndArrange();
    while (flow->Stage() != RoundStage::kRoundOver) ASSERT_TRUE(flow->OnActionButton());
  }

  RecordingView view;
  RecordingSender sender;
  std::unique_ptr<RoundFlow> flow;
};

TEST_F(ComputerRoundTest, SevenPressesPlayARoundAndTheEighthDeals) {
  Start(test::Decks({test::PlainDeck(1), test::PlainDeck(100)}));
  EXPECT_EQ(view.action, "[412]");
  EXPECT_TRUE(view.actionEnabled);
  EXPECT_FALSE(view.endEnabled);
  EXPECT_EQ(view.sounds.back(), "WTasoKo");
  EXPECT_EQ(view.plates[3].colour, 'y');
  EXPECT_EQ(view.panelCount, "1 / 80");

  BeginAndArrange();
  // The first layout flies hand slot 13 to Front 1 first and hand slot 1 to Back 1 last.
  ASSERT_GE(view.flights.size(), 13u);
  EXPECT_EQ(view.flights[0].from, (CardPlace{CardPlace::kHand, 4, 13, {}}));
  EXPECT_EQ(view.flights[0].to, (CardPlace{CardPlace::kOwnRows, 4, 0, {kFront, 1}}));
  EXPECT_EQ(view.flights[12].to, (CardPlace{CardPlace::kOwnRows, 4, 0, {kBack, 1}}));
  EXPECT_EQ(view.action, "[1101]");
  EXPECT_TRUE(view.actionEnabled);
  // Each press moves one stage on and names the next.
  const struct {
    RoundStage stage;
    const char* caption;
  } steps[] = {{RoundStage::kRevealed, "[1001]"},   {RoundStage::kBackRated, "[1000]"},
               {RoundStage::kMiddleRated, "[999]"}, {RoundStage::kFrontRated, "[998]"},
               {RoundStage::kHandsRated, "[405]"},  {RoundStage::kRoundOver, "[409]"}};
  for (const auto& step : steps) {
    ASSERT_TRUE(flow->OnActionButton());
    EXPECT_EQ(flow->Stage(), step.stage);
    EXPECT_EQ(view.action, step.caption);
    EXPECT_TRUE(view.actionEnabled);  // against the computer there is no lock
  }
  EXPECT_TRUE(view.endEnabled);
  EXPECT_TRUE(sender.stages.empty());  // nothing travels against the computer
  EXPECT_TRUE(view.pauses == std::vector<int>({500, 500, 500}));

  ASSERT_TRUE(flow->OnActionButton());
  EXPECT_EQ(flow->Stage(), RoundStage::kDealt);
  EXPECT_EQ(flow->Counters().gamesPlayed, 2);
  EXPECT_EQ(flow->Counters().matchGames, 2);
  EXPECT_EQ(flow->CurrentDeck(), test::PlainDeck(100));
  EXPECT_FALSE(view.endEnabled);
}

TEST_F(ComputerRoundTest, OkWaitsForALegalArrangement) {
  // Hand slots 11..13 go to the Front: with three aces there and nothing in the Middle the
  // first layout is illegal.
  Start(test::Decks({test::DeckWithBlock(1, "Ah Ad Ac 2s 3h 4d 6c 7s 8h 9d Jc Qs Kd")}));
  ASSERT_TRUE(flow->OnActionButton());
  ASSERT_EQ(flow->Stage(), RoundStage::kArranging);
  EXPECT_EQ(view.ownRows.names[0].parts[0].entry, 803);  // Front: three of a kind
  EXPECT_FALSE(view.actionEnabled);
  EXPECT_FALSE(flow->OnActionButton());

  // Front Ace <-> Back 2: every name and the button follow at once.
  EXPECT_EQ(flow->OnOwnSlotClicked({kFront, 1}), RoundFlow::Click::kSelected);
  EXPECT_EQ(view.ownRows.selected, (Slot{kFront, 1}));
  EXPECT_EQ(flow->OnOwnSlotClicked({kFront, 1}), RoundFlow::Click::kDeselected);  // same card twice
  EXPECT_TRUE(flow->SelectedSlot().IsNone());
  EXPECT_EQ(flow->OnOwnSlotClicked({kFront, 4}), RoundFlow::Click::kNothing);  // dead Front slot
  EXPECT_TRUE(flow->SelectedSlot().IsNone());
  EXPECT_EQ(flow->OnOwnSlotClicked({kFront, 1}), RoundFlow::Click::kSelected);
  EXPECT_EQ(flow->OnOwnSlotClicked({kBack, 1}), RoundFlow::Click::kSwapped);
  EXPECT_EQ(view.ownRows.names[0].parts[0].entry, 801);  // Front: a pair of aces and a two
  EXPECT_EQ(view.ownRows.names[2].parts[0].entry, 800);  // Back: the third ace is high card
  EXPECT_TRUE(view.ownRows.selected.IsNone());
  EXPECT_FALSE(view.actionEnabled);
  test::ArrangeOwnRows(*flow, DealHands(flow->CurrentDeck(), 1)[3]);
  EXPECT_TRUE(view.actionEnabled);
  EXPECT_TRUE(flow->OwnArrangementLegal());
}

TEST_F(ComputerRoundTest, SpecialCombinationAtAnySeatEndsTheRoundAtTheFirstPress) {
  const std::string dragon = "2h 3d 4c 5s 6h 7d 8c 9s Th Jd Qc Ks Ah";
  // Against the computer the local player is number 1: block 1 is position 4, block 2
  // position 2, block 3 position 1, block 4 position 3.
  const int positionOfBlock[] = {0, 4, 2, 1, 3};
  for (int block = 1; block <= 4; ++block) {
    SCOPED_TRACE(block);
    view = RecordingView{};
    Start(test::Decks({test::DeckWithBlock(block, dragon)}));
    ASSERT_TRUE(flow->OnActionButton());
    const int holder = positionOfBlock[block];
    EXPECT_EQ(flow->Stage(), RoundStage::kRoundOver);
    EXPECT_TRUE(flow->SettledBySpecials());
    EXPECT_TRUE(view.flights.empty());  // no rows laid out
    EXPECT_EQ(view.action, "[409]");
    EXPECT_TRUE(view.actionEnabled);
    EXPECT_TRUE(view.endEnabled);
    for (int p = 1; p <= 4; ++p) EXPECT_TRUE(view.handFaceUp[p - 1]) << p;
    for (int p = 1; p <= 4; ++p) {
      const int32_t want = p == holder ? 108 : -36;
      EXPECT_EQ(flow->RoundTotals()[p - 1], want);
      EXPECT_EQ(view.tabletBoxes[p - 1][1], TabletBox::Show(want));
      EXPECT_EQ(view.plates[p - 1].text, p == holder ? "[1003]: +108" : "-36");
      EXPECT_EQ(view.plates[p - 1].colour, p == holder ? 'g' : 'r');
    }
    EXPECT_EQ(view.sounds.back(), "WPlMore");
    EXPECT_EQ(flow->Counters().matchScore, holder == 4 ? 108 : -36);
  }
}

TEST_F(ComputerRoundTest, AllPointsExistAfterRateBackAndTheTotalsOnlyAfterResult) {
  Start(test::Decks({test::PlainDeck(42)}));
  BeginAndArrange();
  ASSERT_TRUE(flow->OnActionButton());  // Ok: reveal
  for (int p = 1; p <= 4; ++p) EXPECT_EQ(view.tableRows[p - 1], flow->TableRows(p));
  ASSERT_TRUE(flow->OnActionButton());  // Rate Back
  const RoundScore expected = ScoreRound(flow->Values(), false);
  EXPECT_EQ(flow->Score().points, expected.points);
  for (int p = 1; p <= 4; ++p) {
    EXPECT_EQ(view.marked[p - 1], kBack);
    EXPECT_EQ(view.tabletBoxes[p - 1][2], TabletBox::Show(expected.points[p - 1][kBackPoints]));
    EXPECT_EQ(view.tabletBoxes[p - 1][0], TabletBox::Blank());
  }
  ASSERT_TRUE(flow->OnActionButton());  // Rate Middle
  ASSERT_TRUE(flow->OnActionButton());  // Rate Front
  for (int p = 1; p <= 4; ++p) {
    EXPECT_EQ(view.tabletBoxes[p - 1][0], TabletBox::Show(expected.points[p - 1][kFrontPoints]));
    EXPECT_EQ(view.tabletBoxes[p - 1][2], TabletBox::Keep());
  }
  ASSERT_TRUE(flow->OnActionButton());  // Rate Hands
  EXPECT_EQ(flow->Score().points, expected.points);
  EXPECT_EQ(flow->RoundTotals(), (Totals{0, 0, 0, 0}));
  ASSERT_TRUE(flow->OnActionButton());  // Result
  for (int p = 1; p <= 4; ++p) {
    const int32_t total = RoundTotal(expected.points, p - 1);
    EXPECT_EQ(flow->RoundTotals()[p - 1], total);
    EXPECT_EQ(view.plates[p - 1].text, "[405]: " + SignedNumber(total));
  }
  const int32_t own = RoundTotal(expected.points, 3);
  EXPECT_EQ(view.sounds.back(), own > 0 ? "WKoGutX" : (own < 0 ? "WKoBads" : "WNichya"));
}

TEST_F(ComputerRoundTest, TotalsStayZeroSumOverAMatch) {
  Start(SeededDecks(500));
  for (int round = 1; round <= 12; ++round) {
    PlayRound();
    const Totals& t = flow->RoundTotals();
    EXPECT_EQ(std::accumulate(t.begin(), t.end(), 0), 0) << "round " << round;
    EXPECT_EQ(flow->Counters().matchScore, t[3]);
    EXPECT_EQ(view.tablets, t);
    ASSERT_TRUE(flow->OnActionButton());
  }
}

// A whole cycle through the flow, with the local player arranging as the computer does,
// ends with the totals the rules give when every round is scored directly.
TEST_F(ComputerRoundTest, AFullCycleScoresAsTheRulesDo) {
  for (bool twoFour : {false, true}) {
    SCOPED_TRACE(twoFour ? "2-4" : "1-6");
    view = RecordingView{};
    Start(SeededDecks(1), MatchStart{}, twoFour);
    DeckRandom random(1);
    Totals expected{};
    int specialRounds = 0;
    for (int round = 1; round <= kCycleLength; ++round) {
      const Hands hands = DealHands(ShuffleDeck(random), 1);
      ASSERT_EQ(flow->TableHands(), hands) << round;
      specialRounds += PlayComputerRound(hands, twoFour, expected).settledBySpecials;
      PlayRound();
      ASSERT_EQ(flow->RoundTotals(), expected) << round;
      if (round < kCycleLength) {
        ASSERT_TRUE(flow->OnActionButton());
      }
    }
    EXPECT_GT(specialRounds, 0);       // the seed deals special combinations too
    EXPECT_FALSE(view.actionEnabled);  // the cycle is complete
  }
}

TEST_F(ComputerRoundTest, MemberWith79RoundsMustStopAfterOne) {
  Start(SeededDecks(9), MatchStart{3, "Anna", 79, 250, 10.0, false, 1, 0});
  EXPECT_EQ(view.panelCount, "80 / 80");
  EXPECT_EQ(view.panelHint, "[411]: 80 / 80");
  EXPECT_FALSE(flow->OnEndButton().endMatch);  // nothing happens during a round
  PlayRound();
  EXPECT_FALSE(view.actionEnabled);
  EXPECT_FALSE(flow->OnActionButton());
  EXPECT_TRUE(view.endEnabled);
  const EndMatchRequest end = flow->OnEndButton();
  EXPECT_TRUE(end.endMatch);
  EXPECT_EQ(end.rounds, 1);
  EXPECT_EQ(end.score, flow->RoundTotals()[3]);
  EXPECT_FALSE(flow->OnEndButton().endMatch);  // the match ends once
  EXPECT_FALSE(view.endEnabled);
}

TEST_F(ComputerRoundTest, NewPlayerStartsAtRoundOneOfTheCycle) {
  Start(SeededDecks(9), MatchStart{kSlotNewPlayer, "Newbie", 55, 99, 3.0, false, 1, 0});
  EXPECT_EQ(flow->Counters().gamesPlayed, 1);
  const GeneralScoreFigures count = flow->OpenGeneralScore(0.0);
  EXPECT_EQ(count.roundsThisMatch, "1");
  EXPECT_EQ(count.scoreAtStart, "0");
  EXPECT_EQ(view.sounds.back(), "WOpenFo");
  EXPECT_EQ(flow->SeatName(4), "Newbie");
  EXPECT_EQ(view.plates[0].text, "[1103]");
  EXPECT_EQ(view.plates[3].text, "Newbie");
}

TEST_F(ComputerRoundTest, RatedPlayEndsInBlocksOfFour) {
  MatchStart rated{kSlotAccount, "Nick", 6, 0, 1500.0, true, kAccountRated, 2};
  Start(SeededDecks(30), rated);
  PlayRound();  // round 7
  EXPECT_TRUE(view.actionEnabled);
  EXPECT_FALSE(view.endEnabled);
  ASSERT_TRUE(flow->OnActionButton());
  PlayRound();  // round 8
  EXPECT_FALSE(view.actionEnabled);
  EXPECT_TRUE(view.endEnabled);
  EXPECT_EQ(flow->OnEndButton().rounds, 2);
}

TEST_F(ComputerRoundTest, RightClickSpeaksOnlyWhereTheStageAllows) {
  Start(test::Decks({test::PlainDeck(3)}));
  const Hand own = flow->TableHands()[3];
  auto hand = [](int position, int slot) {
    return CardPlace{CardPlace::kHand, position, slot, {}};
  };
  auto ownRow = [](Slot slot) { return CardPlace{CardPlace::kOwnRows, 4, 0, slot}; };
  auto tableRow = [](int position, Slot slot) {
    return CardPlace{CardPlace::kTableRows, position, 0, slot};
  };
  EXPECT_EQ(flow->CardToSpeak(hand(4, 1)), own[0]);
  EXPECT_EQ(flow->CardToSpeak(hand(4, 13)), own[12]);
  EXPECT_EQ(flow->CardToSpeak(hand(4, 14)), std::nullopt);
  EXPECT_EQ(flow->CardToSpeak(hand(1, 1)), std::nullopt);           // others only after specials
  EXPECT_EQ(flow->CardToSpeak(ownRow({kFront, 1})), std::nullopt);  // not yet laid out
  BeginAndArrange();
  EXPECT_EQ(flow->CardToSpeak(hand(4, 1)), std::nullopt);  // the hand has flown to the rows
  EXPECT_EQ(flow->CardToSpeak(ownRow({kFront, 1})), flow->OwnRows().rows[kFront][0]);
  EXPECT_EQ(flow->CardToSpeak(ownRow({kFront, 4})), std::nullopt);  // dead Front slot
  EXPECT_EQ(flow->CardToSpeak(tableRow(2, {kFront, 1})), std::nullopt);
  ASSERT_TRUE(flow->OnActionButton());
  EXPECT_EQ(flow->CardToSpeak(tableRow(2, {kMiddle, 1})), flow->TableRows(2).rows[kMiddle][0]);
  EXPECT_EQ(flow->CardToSpeak(CardPlace{CardPlace::kTableRows, 5, 0, {kMiddle, 1}}), std::nullopt);
}

}  // namespace
}  // namespace trilane
