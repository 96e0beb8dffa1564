#include "table/review.h"

#include "table/arranging.h"

namespace trilane {

std::optional<RoundReview> ReviewRound(const RoundFlow& flow) {
  if (flow.Stage() != RoundStage::kRoundOver || flow.SettledBySpecials()) return std::nullopt;
  // A club round ended early (a player gone) is over without every row on the table.
  for (int p = 1; p <= kPositions; ++p) {
    if (CardsIn(HandOf(flow.TableRows(p))) != kCardsPerHand) return std::nullopt;
  }
  RoundReview review;
  review.played = flow.TableRows(4);
  Opponents against;
  for (int p = 1; p <= 3; ++p) against[p - 1] = flow.TableRows(p);
  review.scored = RoundTotal(flow.Score().points, 3);
  review.best = FindBestArrangement(HandOf(review.played), against, flow.Setup().ruleTwoFour);
  // Rows that scored as much as the best are the best: the player's own are shown then,
  // not another split of equal points.
  if (review.scored >= review.best.points) {
    review.best.rows = review.played;
    review.best.values = EvaluateArrangement(review.played);
  }
  return review;
}

}  // namespace trilane
