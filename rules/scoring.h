#pragma once
// Points of a round: row duels, strong-row bonuses, the majority bonus, and the settlement
// of special combinations. Every column adds up to zero over the four positions.

#include <array>
#include <cstdint>

#include "rules/arrangement.h"

namespace trilane {

// Index p - 1 is table position p. Columns k - 1: Front, Middle, Back, Hand, Special.
enum PointColumn { kFrontPoints = 0, kMiddlePoints = 1, kBackPoints = 2, kHandPoints = 3, kSpecialPoints = 4 };
using RoundPoints = std::array<std::array<int32_t, 5>, kPositions>;
using BonusRows = std::array<std::array<uint8_t, 3>, kPositions>;
using Totals = std::array<int32_t, kPositions>;
using TableValues = std::array<RowValues, kPositions>;

struct RoundScore {
  RoundPoints points{};
  BonusRows bonus{};
};

// Columns Front..Hand and the bonus flags from the four positions' row values.
// ruleTwoFour: the "2-4" majority rule; false is "1-6".
RoundScore ScoreRound(const TableValues& values, bool ruleTwoFour);

// The bonus of a strong row (its owner takes three times it, each other position gives it
// once): 0 when the row's category earns none.
int StrongRowBonus(RowIndex row, uint8_t category);

// Column Special from the positions' special combinations; the column is added to `totals`
// at once (the round is settled without rows).
void SettleSpecials(const std::array<Special, kPositions>& specials, RoundPoints& points,
                    Totals& totals);

// Front + Middle + Back + Hand of one position (0-based index).
inline int32_t RoundTotal(const RoundPoints& points, int index) {
  return points[index][0] + points[index][1] + points[index][2] + points[index][3];
}

}  // namespace trilane
