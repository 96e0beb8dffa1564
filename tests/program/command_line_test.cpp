// The program's command line.
#include <gtest/gtest.h>

#include "program/command_line.h"

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

}  // namespace
}  // namespace trilane
