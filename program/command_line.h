#pragma once
// The program's command line; CommandLineHelp says what every option does.
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
  int idleSeconds = 0;  // with measure: the idle figures of the title screen and the menu
  std::string error;    // empty when the line was understood
};

// `args` without the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The usage text printed on a bad command line.
std::string CommandLineUsage();
// The whole help (--help): the usage, every option and where the program keeps its files.
// The manual page is made from it.
std::string CommandLineHelp();
// Whether the arguments ask for the help (--help or -h anywhere); looked at before the
// window system is opened, so the help needs no display.
bool AsksForHelp(const std::vector<std::string>& args);

}  // namespace trilane
