#include "table/table_view.h"

namespace trilane {

std::optional<StageStep> StepFromNumber(int number) {
  if (number < 1 || number > 7) return std::nullopt;
  return static_cast<StageStep>(number);
}

std::string_view SoundResourceName(TableSound sound) {
  // The names of the program's wave resources; the artwork build writes them.
  switch (sound) {
    case TableSound::kDeal:
      return "WTasoKo";
    case TableSound::kOpenWindow:
      return "WOpenFo";
    case TableSound::kBonus:
      return "WPlMore";
    case TableSound::kDing:
      return "WDing_1";
    case TableSound::kRoundWon:
      return "WKoGutX";
    case TableSound::kRoundLost:
      return "WKoBads";
    case TableSound::kRoundDrawn:
      return "WNichya";
    case TableSound::kMatchWon:
      return "WKoGood";
    case TableSound::kMessage:
      return "WToMenK";
    case TableSound::kFailure:
      return "WWrongs";
    case TableSound::kCycleBest:
      return "WFiBest";
    case TableSound::kCycleGood:
      return "WFiGood";
    case TableSound::kCycleRegrets:
      return "WFiBads";
    case TableSound::kClockTick:
      return "STimerA";
    case TableSound::kClockLastSeconds:
      return "STimerB";
  }
  return {};
}

ArrangementCodes CodesOf(const Arrangement& rows) {
  ArrangementCodes codes;
  for (int i = 0; i < 15; ++i) codes[i] = rows.rows[i / 5][i % 5].code;
  return codes;
}

}  // namespace trilane
