// The program's command line.
#include <gtest/gtest.h>

#include <vector>

#include "program/command_line.h"
#include "records/settings.h"

namespace trilane {
namespace {

TEST(CommandLineTest, OptionsAndTheirErrors) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
  };
  const Case cases[] = {
      {{}, true},
      {{"--size", "5", "--lang", "9"}, true},
      {{"--size", "full"}, true},
      {{"--size", "0"}, false},
      {{"--size", "6"}, false},
      {{"--size"}, false},
      {{"--lang", "10"}, false},
      {{"--lang", "-1"}, false},
      {{"--demo-rounds", "0"}, false},
      {{"--demo-rounds", "3x"}, false},
      {{"--seed", "4294967295"}, true},
      {{"--seed", "4294967296"}, false},
      {{"--bogus"}, false},
  };
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(c.args);
    EXPECT_EQ(line.error.empty(), c.ok) << (c.args.empty() ? "" : c.args[0]) << ": " << line.error;
  }
}

TEST(CommandLineTest, Values) {
  const CommandLine line = ParseCommandLine({"--size", "full", "--lang", "5", "--demo-rounds", "3",
                                             "--seed", "42", "--screenshot-dir", "/tmp/x"});
  ASSERT_TRUE(line.error.empty());
  EXPECT_EQ(line.windowSize, 2);
  EXPECT_EQ(line.language, 5);
  EXPECT_TRUE(line.demo);  // a number of demo rounds implies the demo
  EXPECT_EQ(line.demoRounds, 3);
  EXPECT_EQ(line.seed, 42u);
  EXPECT_EQ(line.screenshotDir, "/tmp/x");
}

TEST(CommandLineTest, RunChoicesStoreTheFileValuesUnlessTheyWerePicked) {
  TSettings file;
  file.WindowSize = 1;
  file.LanguageIndex = 0;
  file.FlightSpeed = 4;
  const CommandLine line = ParseCommandLine({"--size", "3", "--lang", "2", "--speed", "6"});
  TSettings run = file;
  run.WindowSize = 3;
  run.LanguageIndex = 2;
  run.FlightSpeed = 6;

  // A pick sets one field: 0 the window size, 1 the language, 2 the speed.
  struct Pick {
    int field, value;
  };
  struct Case {
    const char* what;
    std::vector<Pick> picks;    // each one announced as the options window announces it
    int size, language, speed;  // what is stored
  };
  const Case kCases[] = {
      {"nothing picked", {}, 1, 0, 4},
      {"size picked", {{0, 4}}, 4, 0, 4},
      {"language picked", {{1, 8}}, 1, 8, 4},
      {"speed picked", {{2, 2}}, 1, 0, 2},
      // A pick that comes back to the command line's value is still a pick.
      {"size picked and picked back", {{0, 5}, {0, 3}}, 3, 0, 4},
  };
  for (const Case& c : kCases) {
    RunChoices choices(line, file, run);
    TSettings current = run;
    for (const Pick& pick : c.picks) {
      int* field[] = {&current.WindowSize, &current.LanguageIndex, &current.FlightSpeed};
      *field[pick.field] = pick.value;
      choices.Follow(current);
    }
    const TSettings stored = choices.ToStore(current);
    EXPECT_EQ(stored.WindowSize, c.size) << c.what;
    EXPECT_EQ(stored.LanguageIndex, c.language) << c.what;
    EXPECT_EQ(stored.FlightSpeed, c.speed) << c.what;
  }

  // The speed window of the table announces nothing: a pick there is seen when storing.
  RunChoices unannounced(line, file, run);
  TSettings current = run;
  current.FlightSpeed = 1;
  EXPECT_EQ(unannounced.ToStore(current).FlightSpeed, 1);

  // Without the command line every current value is stored as it is.
  RunChoices plain(ParseCommandLine({}), file, file);
  TSettings changed = file;
  changed.WindowSize = 5;
  EXPECT_EQ(plain.ToStore(changed).WindowSize, 5);
  EXPECT_EQ(plain.ToStore(file).WindowSize, 1);
}

}  // namespace
}  // namespace trilane
