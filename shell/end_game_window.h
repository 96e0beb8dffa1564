#pragma once
// The end of a cycle of 80 games: the place the cycle's score reached in the local top ten,
// with a medal for places 1 to 10 and the rank a first place earns.
#include <cstdint>
#include <string_view>
#include <vector>

#include "shell/aux_window.h"

namespace trilane {

enum class CycleVerdict { kBest, kGood, kRegrets };

struct EndOfCycle {
  int place = 0;  // 1..10, 0 when the score did not enter the top ten
  int64_t cycleScore = 0;
  bool net = false;  // a network game's cycle
  bool account = false;  // a cycle of rated matches: the place is the account table's
  int64_t bonus = 0;     // the Qors the place earned (shown when positive)
};

CycleVerdict VerdictFor(int place);
// The lines the window shows (words entries) and its picture and sound.
std::vector<int> VerdictLines(const EndOfCycle& cycle);
std::string_view VerdictPicture(CycleVerdict verdict);
std::string_view VerdictSound(CycleVerdict verdict);

class EndGameWindow : public AuxWindow {
  Q_OBJECT

 public:
  EndGameWindow(const TSettings& settings, const EndOfCycle& cycle, QWidget* parent);
};

}  // namespace trilane
