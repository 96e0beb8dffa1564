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

struct TSettings;

// The window size, language and card speed the command line sets are for one run: the
// settings file keeps the values it had. Once the player picks another value for one of them
// in a window during the run, that pick is a choice like any other and is the one stored.
class RunChoices {
 public:
  // `file`: the settings as read from the file; `run`: after the command line was applied.
  RunChoices(const CommandLine& commandLine, const TSettings& file, const TSettings& run);
  // Notes a pick made in a window: called after every change of the settings, and once more
  // before they are stored.
  void Follow(const TSettings& current);
  // The record to store: `current`, with the file's values for what only the command line
  // changed.
  TSettings ToStore(const TSettings& current) const;

 private:
  struct Choice {
    bool fromCommandLine = false;  // false: nothing to keep back, the current value is stored
    int fileValue = 0;
    int runValue = 0;
  };
  Choice windowSize_, language_, flightSpeed_;
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
