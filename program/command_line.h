#pragma once
// The program's command line.
//   --size 1..5|full     window size for this run (full is size 2)
//   --lang 0..9          language for this run
//   --demo               the computer plays the local seat too; the buttons press themselves
//   --demo-rounds N      with --demo: leave the table after N rounds, end the match and close
//   --seed S             the shuffle's seed, for repeatable demos
//   --screenshot-dir D   save a picture of the window at each screen and stage into D
//   --speed 1..6         card flight speed for this run
//   --measure            print timings for the benchmark: the title screen's first paint,
//                        and with --demo the flight frames and the memory at the end;
//                        without --demo the program closes once the title screen is shown
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trilane {

struct CommandLine {
  std::optional<int> windowSize;
  std::optional<int> language;
  bool demo = false;
  int demoRounds = 0;  // 0: play on until closed
  std::optional<uint32_t> seed;
  std::string screenshotDir;
  std::optional<int> flightSpeed;
  bool measure = false;
  std::string error;  // empty when the line was understood
};

// `args` without the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The usage text printed on a bad command line.
std::string CommandLineUsage();

}  // namespace trilane
