#include "rules/scoring.h"

namespace trilane {
namespace {

struct StrongRow {
  int row;
  uint8_t category;
  int bonus;
};
constexpr StrongRow kStrongRowBonus[] = {
    {kFront, kThreeOfAKind, 3}, {kMiddle, kFullHouse, 1}, {kMiddle, kFourOfAKind, 3},
    {kMiddle, kStraightFlush, 4}, {kBack, kFourOfAKind, 2}, {kBack, kStraightFlush, 3},
};
constexpr int kPairs[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};

}  // namespace

RoundScore ScoreRound(const TableValues& values, bool ruleTwoFour) {
  RoundScore score;
  auto& pts = score.points;
  int duel[6][3] = {};
  for (int row = 0; row < 3; ++row) {
    for (int p = 0; p < 6; ++p) {
      const int a = kPairs[p][0], b = kPairs[p][1];
      const int d = CompareRows(values[a][row], values[b][row]);
      duel[p][row] = d;
      pts[a][row] += d;
      pts[b][row] -= d;
    }
  }
  for (const StrongRow& entry : kStrongRowBonus) {
    for (int s = 0; s < kPositions; ++s) {
      if (values[s][entry.row].category != entry.category) continue;
      for (int o = 0; o < kPositions; ++o) {
        pts[o][entry.row] += (o == s) ? 3 * entry.bonus : -entry.bonus;
      }
      score.bonus[s][entry.row] = 1;
    }
  }
  const int need = ruleTwoFour ? 2 : 3;
  const int worth = ruleTwoFour ? 1 : 3;
  for (int p = 0; p < 6; ++p) {
    int wa = 0, wb = 0;
    for (int row = 0; row < 3; ++row) {
      wa += duel[p][row] == 1;
      wb += duel[p][row] == -1;
    }
    const int a = kPairs[p][0], b = kPairs[p][1];
    if (wa >= need) {
      pts[a][kHandPoints] += worth;
      pts[b][kHandPoints] -= worth;
    }
    if (wb >= need) {
      pts[b][kHandPoints] += worth;
      pts[a][kHandPoints] -= worth;
    }
  }
  return score;
}

int StrongRowBonus(RowIndex row, uint8_t category) {
  for (const StrongRow& entry : kStrongRowBonus) {
    if (entry.row == row && entry.category == category) return entry.bonus;
  }
  return 0;
}

void SettleSpecials(const std::array<Special, kPositions>& specials, RoundPoints& points,
                    Totals& totals) {
  for (int h = 0; h < kPositions; ++h) {
    if (specials[h].code <= 0) continue;
    for (int o = 0; o < kPositions; ++o) {
      points[o][kSpecialPoints] += (o == h) ? 3 * specials[h].points : -specials[h].points;
    }
  }
  for (int p = 0; p < kPositions; ++p) totals[p] += points[p][kSpecialPoints];
}

}  // namespace trilane
