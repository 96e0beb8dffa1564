// trilane-cli's own help: every command answers --help with its usage, the options its usage
// names and an example, without doing its work; the tool answers --version.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "cli_runner.h"

namespace trilane::test {
namespace {

// The commands the tool's usage lists: the first word of each indented line before the
// first blank line.
std::set<std::string> ListedCommands() {
  const CliResult usage = RunCli({"--help"});
  std::set<std::string> commands;
  std::istringstream lines(usage.out);
  std::string line;
  std::getline(lines, line);  // "usage: trilane-cli COMMAND [ARGS]"
  while (std::getline(lines, line) && !line.empty()) {
    commands.insert(line.substr(2, line.find(' ', 2) - 2));
  }
  return commands;
}

TEST(CliHelp, EveryCommandAnswersWithItsUsageOptionsAndAnExample) {
  const std::set<std::string> commands = ListedCommands();
  ASSERT_GE(commands.size(), 20u);
  const std::regex option("--[a-z][a-z-]*");
  for (const std::string& command : commands) {
    SCOPED_TRACE(command);
    const CliResult r = RunCli({command, "--help"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    ASSERT_EQ(r.out.rfind("usage: trilane-cli " + command + " ", 0), 0u) << r.out;
    const size_t body = r.out.find("\n\n");
    ASSERT_NE(body, std::string::npos) << r.out;
    const std::string usage = r.out.substr(0, body);
    const size_t options = r.out.find("\nOptions:\n", body);
    const size_t example = r.out.find("\nExample", body);
    ASSERT_NE(options, std::string::npos) << r.out;
    ASSERT_NE(example, std::string::npos) << r.out;
    ASSERT_LT(options, example) << r.out;
    // Every option the usage names is explained under "Options:".
    const std::string explained = r.out.substr(options, example - options);
    for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option);
         it != std::sregex_iterator(); ++it) {
      const std::regex word("[ ,]" + it->str() + "[ ,\n]");
      EXPECT_TRUE(std::regex_search(explained, word)) << it->str() << " is not explained:\n"
                                                      << r.out;
    }
  }
}

TEST(CliHelp, HelpAnywhereAmongTheArgumentsPrintsItInsteadOfWorking) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"deal", "--seed", "7", "--help"},
                                             {"play", "--rounds", "80", "--seed", "1", "-h"},
                                             {"history", "append", "--help"},
                                             {"eval", "--help", "not-a-card"}}) {
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.exitCode, 0) << args[0] << ": " << r.err;
    EXPECT_EQ(r.out.rfind("usage: trilane-cli " + args[0] + " ", 0), 0u) << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err;
  }
  // Without --help the same bad arguments are refused as before.
  const CliResult bad = RunCli({"eval", "not-a-card"});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_TRUE(bad.out.empty()) << bad.out;
}

TEST(CliHelp, VersionAndUnknownCommands) {
  const CliResult version = RunCli({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("trilane-cli [0-9]+\\.[0-9]+\n")))
      << version.out;
  const CliResult unknown = RunCli({"--verbose"});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_NE(unknown.err.find("unknown command '--verbose'"), std::string::npos) << unknown.err;
}

}  // namespace
}  // namespace trilane::test
