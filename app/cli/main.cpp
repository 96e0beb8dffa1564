// trilane-cli: the headless tool for players, scripts and tests.

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "cli.h"
#include "commands.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>  // with shellapi.h: CommandLineToArgvW
#endif

namespace {

struct Command {
  std::string_view name;
  int (*run)(const trilane::cli::CommandArgs&);
  std::string_view usage;
};

// One line per subcommand.
constexpr Command kCommands[] = {
    {"eval", trilane::cli::RunEval, "eval CARD x3|x5 [--native] [--json]"},
    {"special", trilane::cli::RunSpecial, "special CARD x13 [--native] [--json]"},
    {"arrange", trilane::cli::RunArrange, "arrange CARD x13 [--native] [--json]"},
    {"score", trilane::cli::RunScore,
     "score --rule 1-6|2-4 --seat \"F F F / M M M M M / B B B B B\" (x4) [--json]"},
    {"round", trilane::cli::RunRound, "round --rule 1-6|2-4 --hand \"13 cards\" (x4) [--native] [--json]"},
    {"best", trilane::cli::RunBest,
     "best --hand \"13 cards\" --against \"F F F M M M M M B B B B B\" (x3) [--rule 1-6|2-4] [--native] [--json]"},
    {"shuffle", trilane::cli::RunShuffle, "shuffle --seed N [--native] [--json]"},
    {"deal", trilane::cli::RunDeal, "deal --seed N [--own K] [--native] [--json]"},
    {"simulate", trilane::cli::RunSimulate, "simulate --rounds N --seed S [--rule 1-6|2-4] [--json]"},
    {"addon", trilane::cli::RunAddon, "addon list FILE [--json] | addon extract FILE --type RCDATA|BITMAP|JPEG|WAVE|N --name NAME --out FILE [--force] [--json]"},
    {"settings", trilane::cli::RunSettings, "settings show FILE | settings default --out FILE [--force] [--json]"},
    {"club", trilane::cli::RunClub, "club new --out FILE [--net] [--force] | club check FILE | club show FILE | club remove FILE --slot N | club result FILE --slot 1..6 [--name NAME] [--password PW] --match-score M --rounds N [--json]"},
    {"history", trilane::cli::RunHistory, "history append --dir DIR --name NAME --games G --result R --rating X --kind L|A|T|N --now \"YYYY-MM-DD hh:mm\" [--date-format PATTERN] | history check FILE | history list DIR [--date-format PATTERN] | history show FILE [--json]"},
    {"play", trilane::cli::RunPlay, "play --rounds N --seed S [--rule 1-6|2-4] [--name NAME] [--json]"},
#ifdef TRILANE_CLI_RATED_PLAY
    {"play", trilane::cli::RunPlay, "play --account NICK --password PW [--service URL] [--matches N] [--seed S] [--rule 1-6|2-4] [--json]"},
#endif
#ifdef TRILANE_CLI_ACCOUNTS
    {"account", trilane::cli::RunAccount, "account check [--nick T] [--city T] [--password T] [--email T] [--passport] [--json]"},
    {"user", trilane::cli::RunUser, "user save --folder DIR --nick N --password P | user show --folder DIR [--json] | user delete --folder DIR"},
#endif
#ifdef TRILANE_DIRECT_PLAY
    {"host", trilane::cli::RunHost, "host --port P [--players 2..4] [--seed S] [--rule 1-6|2-4] [--name NAME] [--tick-ms N] [--bind ADDRESS] [--idle-timeout SECONDS] [--json]"},
    {"join", trilane::cli::RunJoin, "join --address A --port P [--name NAME] [--idle-timeout SECONDS] [--json]"},
#endif
#ifdef TRILANE_DIRECT_SESSION
    {"traffic", trilane::cli::RunTraffic, "traffic --seed S [--players 2..4] [--rule 1-6|2-4] [--out DIR]"},
#endif
    {"words", trilane::cli::RunWords, "words [--lang N] (--entry E | --dump) [--json]"},
#ifndef TRILANE_CLI_NO_WEB
    {"web", trilane::cli::RunWeb, "web CALL [key=value ...] [--service URL] [--timeout MS] [--json] | web --list"},
#endif
#if defined(TRILANE_CLUB_PLAY) && !defined(TRILANE_CLI_NO_WEB)
    {"tourney", trilane::cli::RunTourney, "tourney --service URL --nick N --password P --table T --seat S [--json] [--timeout SECONDS] [--tick-ms N] [--source ADDRESS]"},
#endif
};

void PrintUsage(std::FILE* to) {
  std::fprintf(to, "usage: trilane-cli COMMAND [ARGS]\n");
  for (const Command& c : kCommands) {
    std::fprintf(to, "  %.*s\n", static_cast<int>(c.usage.size()), c.usage.data());
  }
}

#ifdef _WIN32
// The C runtime hands main() its arguments in the ANSI code page, which turns every letter
// outside it into '?' (a Cyrillic member name on a Western system). The wide command line has
// them all; the tool works in UTF-8 as it does everywhere else.
std::vector<std::string> Arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return {argv, argv + argc};
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(bytes > 0 ? static_cast<size_t>(bytes) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), bytes, nullptr, nullptr);
    arg.pop_back();  // the terminating zero
    args.push_back(std::move(arg));
  }
  LocalFree(wide);
  return args;
}
#else
std::vector<std::string> Arguments(int argc, char** argv) {
  return {argv, argv + argc};
}
#endif

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = Arguments(argc, argv);
  if (args.size() < 2) {
    PrintUsage(stderr);
    return 2;
  }
  const std::string_view name = args[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintUsage(stdout);
    return 0;
  }
  for (const Command& c : kCommands) {
    if (c.name != name) continue;
    try {
      return c.run(trilane::cli::CommandArgs(args.begin() + 2, args.end()));
    } catch (const trilane::cli::UsageError& e) {
      std::fprintf(stderr, "trilane-cli %s: %s\n", args[1].c_str(), e.what());
      return 2;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "trilane-cli %s: %s\n", args[1].c_str(), e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "trilane-cli: unknown command '%s' (try --help)\n", args[1].c_str());
  return 2;
}
