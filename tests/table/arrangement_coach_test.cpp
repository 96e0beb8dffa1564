// The teaching table without a window: the reasons beside the rows, the suggestion, undo,
// whole rows exchanged, and the review of a round.
#include "table/arrangement_coach.h"

#include <gtest/gtest.h>

#include "recorder.h"
#include "rules/best_arrangement.h"
#include "rules/computer.h"
#include "table/review.h"

namespace trilane {
namespace {

Row RowOf(const std::string& text) {
  Row row;
  row.fill(kEmptySlot);
  std::istringstream in(text);
  int i = 0;
  for (std::string w; in >> w && i < 5;) row[i++] = ParseCard(w).value_or(kEmptySlot);
  return row;
}

Arrangement Rows(const std::string& front, const std::string& middle, const std::string& back) {
  return Arrangement{{RowOf(front), RowOf(middle), RowOf(back)}};
}

TEST(RowReasonsTest, NameTheRowThatIsTooStrong) {
  const struct {
    const char *front, *middle, *back;
    std::array<int, 3> reasons;
  } kCases[] = {
      {"Ah Ad 2c", "Kh Kd Ks 3c 4c", "9h 9d 9c 9s 5h", {0, 0, 0}},
      {"Ah Ad 2c", "Kh Kd 3s 4c 5c", "9h 9d 9c 9s 6h", {kWordFrontBeatsMiddle, 0, 0}},
      // The same pair and kicker: the Middle's further cards make it the stronger row.
      {"Ah Ad Kc", "As Ac Ks 2c 3c", "9h 9d 9c 9s 6h", {0, 0, 0}},
      {"Qh Qd 2c", "Qs Qc 3s 4c 5c", "9h 9d 9c 9s 6h", {0, 0, 0}},
      {"2h 3d 5c", "Th Td 9s 9c 4c", "Ts Tc 9h 9d 4h", {0, kWordMiddleEqualsBack, 0}},
      {"Ah Ad Ac",
       "Kh Kd 3s 4c 5c",
       "9h 9d 2c 3c 6h",
       {kWordFrontBeatsMiddle, kWordMiddleBeatsBack, 0}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.front) + " / " + c.middle + " / " + c.back);
    EXPECT_EQ(RowReasons(Rows(c.front, c.middle, c.back)), c.reasons);
  }
  // Equal three-card and five-card values do not occur, but equal Front and Middle keys
  // are reported as a tie all the same.
  const RowValue pair{kPair, {5, 3, 2, 0, 0}};
  EXPECT_EQ(RowReasons(RowValues{pair, pair, RowValue{kFlush, {9, 7, 5, 3, 2}}}),
            (std::array<int, 3>{kWordFrontEqualsMiddle, 0, 0}));
  // Rows still being laid out say nothing.
  Arrangement partial = Rows("Ah Ad Ac", "Kh Kd 3s 4c", "9h 9d 2c 3c 6h");
  EXPECT_EQ(RowReasons(partial), (std::array<int, 3>{}));
}

TEST(RowSwapsTest, WholeRowsAndTheFrontsThree) {
  EXPECT_TRUE(RowSwaps(kMiddle, kMiddle).empty());
  Arrangement rows = Rows("Ah Ad 2c", "Kh Kd 3s 4c 5c", "9h 9d 9c 9s 6h");
  for (const auto& [a, b] : RowSwaps(kMiddle, kBack)) SwapSlots(rows, a, b);
  EXPECT_EQ(rows, Rows("Ah Ad 2c", "9h 9d 9c 9s 6h", "Kh Kd 3s 4c 5c"));
  for (const auto& [a, b] : RowSwaps(kBack, kFront)) SwapSlots(rows, a, b);
  EXPECT_EQ(rows, Rows("Kh Kd 3s", "9h 9d 9c 9s 6h", "Ah Ad 2c 4c 5c"));
}

class CoachTest : public ::testing::Test {
 protected:
  void StartArranging(const Deck& deck) {
    flow = std::make_unique<RoundFlow>(view, sender, test::Decks({deck}));
    flow->Configure(TableSetup{});
    flow->StartMatch(MatchStart{});
    dealt = flow->TableHands()[3];
    ASSERT_TRUE(flow->OnActionButton());
    ASSERT_EQ(flow->Stage(), RoundStage::kArranging);
    initial = flow->OwnRows();
  }

  test::RecordingView view;
  test::RecordingSender sender;
  std::unique_ptr<RoundFlow> flow;
  ArrangementCoach coach;
  Hand dealt{};
  Arrangement initial{};
};

TEST_F(CoachTest, SuggestLaysOutTheComputersRowsAndUndoTakesThemBack) {
  StartArranging(test::PlainDeck(7));
  ASSERT_FALSE(coach.CanUndo(*flow));
  const Arrangement computer = ArrangeByComputer(dealt).rows;
  ASSERT_NE(initial, computer);
  ASSERT_TRUE(coach.Suggest(*flow));
  EXPECT_EQ(flow->OwnRows(), computer);
  EXPECT_TRUE(flow->OwnArrangementLegal());
  EXPECT_TRUE(view.actionEnabled);
  EXPECT_EQ(view.ownRows.rows, computer);
  // Once laid out, suggesting again changes nothing and keeps no step.
  EXPECT_FALSE(coach.Suggest(*flow));
  // The whole suggestion is one step.
  ASSERT_TRUE(coach.Undo(*flow));
  EXPECT_EQ(flow->OwnRows(), initial);
  EXPECT_FALSE(coach.Undo(*flow));
}

TEST_F(CoachTest, UndoTakesBackClicksDragsAndRowSwapsOneStepAtATime) {
  StartArranging(test::PlainDeck(21));
  const Slot a{kFront, 1}, b{kBack, 5}, c{kMiddle, 2}, d{kBack, 1};
  EXPECT_EQ(coach.Click(*flow, a), RoundFlow::Click::kSelected);
  EXPECT_EQ(coach.Click(*flow, b), RoundFlow::Click::kSwapped);
  const Arrangement afterClick = flow->OwnRows();
  ASSERT_TRUE(coach.Swap(*flow, c, d));
  const Arrangement afterDrag = flow->OwnRows();
  ASSERT_TRUE(coach.SwapRows(*flow, kMiddle, kBack));
  EXPECT_EQ(flow->OwnRows().rows[kMiddle], afterDrag.rows[kBack]);
  EXPECT_EQ(flow->OwnRows().rows[kBack], afterDrag.rows[kMiddle]);

  ASSERT_TRUE(coach.Undo(*flow));
  EXPECT_EQ(flow->OwnRows(), afterDrag);
  ASSERT_TRUE(coach.Undo(*flow));
  EXPECT_EQ(flow->OwnRows(), afterClick);
  ASSERT_TRUE(coach.Undo(*flow));
  EXPECT_EQ(flow->OwnRows(), initial);
  EXPECT_FALSE(coach.CanUndo(*flow));

  // A change made behind the coach's back makes its steps worthless.
  ASSERT_TRUE(coach.Swap(*flow, a, b));
  ASSERT_TRUE(flow->SwapSlots(c, d));
  EXPECT_FALSE(coach.CanUndo(*flow));
  EXPECT_FALSE(coach.Undo(*flow));
  // A swap refused by the flow (a dead Front place) is no step.
  EXPECT_FALSE(coach.Swap(*flow, Slot{kFront, 4}, b));
  EXPECT_FALSE(coach.CanUndo(*flow));
}

TEST_F(CoachTest, NothingChangesOnceTheRowsAreRevealed) {
  StartArranging(test::PlainDeck(3));
  ASSERT_TRUE(coach.Suggest(*flow));
  ASSERT_TRUE(flow->OnActionButton());  // Ok: the rows are revealed
  const Arrangement shown = flow->OwnRows();
  EXPECT_FALSE(coach.CanUndo(*flow));
  EXPECT_FALSE(coach.Undo(*flow));
  EXPECT_FALSE(coach.Suggest(*flow));
  EXPECT_FALSE(coach.SwapRows(*flow, kMiddle, kBack));
  EXPECT_EQ(flow->OwnRows(), shown);
}

TEST_F(CoachTest, ReviewComparesThePointsScoredWithTheBestRows) {
  StartArranging(test::PlainDeck(41));
  EXPECT_FALSE(ReviewRound(*flow).has_value());
  // The computer's rows, then the round played to its result.
  ASSERT_TRUE(coach.Suggest(*flow));
  while (flow->Stage() != RoundStage::kRoundOver) {
    EXPECT_FALSE(ReviewRound(*flow).has_value());
    ASSERT_TRUE(flow->OnActionButton());
  }
  const auto review = ReviewRound(*flow);
  ASSERT_TRUE(review.has_value());
  EXPECT_EQ(review->played, flow->TableRows(4));
  EXPECT_EQ(review->scored, RoundTotal(flow->Score().points, 3));
  const Opponents against{flow->TableRows(1), flow->TableRows(2), flow->TableRows(3)};
  EXPECT_EQ(review->best.points, FindBestArrangement(dealt, against, false).points);
  EXPECT_EQ(PointsAgainst(review->best.rows, against, false), review->best.points);
  EXPECT_GE(review->best.points, review->scored);
  EXPECT_EQ(review->PlayedBest(), review->best.points == review->scored);
  if (review->PlayedBest()) {
    EXPECT_EQ(review->best.rows, review->played);
  }
}

TEST_F(CoachTest, NoReviewForARoundSettledBySpecials) {
  flow = std::make_unique<RoundFlow>(
      view, sender,
      test::Decks({test::DeckWithBlock(1, "2h 3h 4h 5h 6h 7h 8h 9h Th Jh Qh Kh Ad")}));
  flow->Configure(TableSetup{});
  flow->StartMatch(MatchStart{});
  ASSERT_TRUE(flow->OnActionButton());
  ASSERT_EQ(flow->Stage(), RoundStage::kRoundOver);
  ASSERT_TRUE(flow->SettledBySpecials());
  EXPECT_FALSE(ReviewRound(*flow).has_value());
  EXPECT_FALSE(coach.Suggest(*flow));
}

}  // namespace
}  // namespace trilane
