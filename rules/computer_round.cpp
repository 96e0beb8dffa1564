#include "rules/computer_round.h"

namespace trilane {

ComputerRound PlayComputerRound(const Hands& hands, bool ruleTwoFour, Totals& totals) {
  ComputerRound round;
  for (int p = 0; p < kPositions; ++p) {
    round.specials[p] = FindSpecial(hands[p]);
    round.settledBySpecials = round.settledBySpecials || round.specials[p].code != 0;
  }
  if (round.settledBySpecials) {
    SettleSpecials(round.specials, round.score.points, round.roundTotals);
  } else {
    TableValues values;
    for (int p = 0; p < kPositions; ++p) {
      round.arranged[p] = ArrangeByComputer(hands[p]);
      values[p] = round.arranged[p].values;
    }
    round.score = ScoreRound(values, ruleTwoFour);
    for (int p = 0; p < kPositions; ++p) round.roundTotals[p] = RoundTotal(round.score.points, p);
  }
  for (int p = 0; p < kPositions; ++p) totals[p] += round.roundTotals[p];
  return round;
}

}  // namespace trilane
