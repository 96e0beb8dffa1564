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
  // What "trilane-cli COMMAND --help" prints below the usage: what the command does, its
  // options and examples. A command listed twice (play) gives them with its first line.
  std::string_view summary = {};
  std::string_view options = {};
  std::string_view examples = {};
};

constexpr std::string_view kThirteenCardOptions =
    "  CARD             thirteen distinct cards\n"
    "  --native         print the cards as the game's own codes (UTF-8), not ASCII\n"
    "  --json           print one JSON object\n";

// One line per subcommand, and its help.
constexpr Command kCommands[] = {
    {"eval", trilane::cli::RunEval, "eval CARD x3|x5 [--native] [--json]",
     "The value of a row of three (front) or five cards: its kind and the ranks that break\n"
     "ties. Cards are the game's codes in UTF-8 (\"Тп\") or ASCII (\"As\", \"Th\" or \"10h\").\n",
     "  CARD             three or five distinct cards\n"
     "  --native         print the cards as the game's own codes (UTF-8), not ASCII\n"
     "  --json           print one JSON object\n",
     "  trilane-cli eval As Ks Qs Js Ts\n"},
    {"special", trilane::cli::RunSpecial, "special CARD x13 [--native] [--json]",
     "The special combination of a hand of thirteen cards, if it has one.\n", kThirteenCardOptions,
     "  trilane-cli special 2c 3d 4h 5s 6c 7d 8h 9s Tc Jd Qh Ks Ac\n"},
    {"arrange", trilane::cli::RunArrange, "arrange CARD x13 [--native] [--json]",
     "The computer's arrangement of a hand of thirteen cards into its three rows.\n",
     kThirteenCardOptions, "  trilane-cli arrange 2c 3d 4h 5s 6c 7d 8h 9s Tc Jd Qh Ks Ac\n"},
    {"score", trilane::cli::RunScore,
     "score --rule 1-6|2-4 --seat \"F F F / M M M M M / B B B B B\" (x4) [--json]",
     "The points of the four seats' arrangements against each other.\n",
     "  --rule 1-6|2-4   the scoring rule\n"
     "  --seat ROWS      a seat's front, middle and back rows, \"/\" between them; four times\n"
     "  --json           print one JSON object\n",
     "  trilane-cli score --rule 1-6 --seat \"2c 3d 4h / 5s 6c 7d 8h 9s / Tc Jd Qh Ks Ac\" \\\n"
     "    --seat ... --seat ... --seat ...\n"},
    {"round", trilane::cli::RunRound,
     "round --rule 1-6|2-4 --hand \"13 cards\" (x4) [--native] [--json]",
     "A whole round: the computer arranges each of four hands, and the seats are scored.\n",
     "  --rule 1-6|2-4   the scoring rule\n"
     "  --hand CARDS     a seat's thirteen cards; four times\n"
     "  --native         print the cards as the game's own codes (UTF-8), not ASCII\n"
     "  --json           print one JSON object\n",
     "  trilane-cli round --rule 2-4 --hand \"...\" --hand \"...\" --hand \"...\" --hand "
     "\"...\"\n"},
    {"best", trilane::cli::RunBest,
     "best --hand \"13 cards\" --against \"F F F M M M M M B B B B B\" (x3) [--rule 1-6|2-4] "
     "[--native] [--json]",
     "The best arrangement of a hand against three revealed arrangements, and its points.\n",
     "  --hand CARDS     the hand's thirteen cards\n"
     "  --against CARDS  an opponent's arrangement: front, middle, back; three times\n"
     "  --rule 1-6|2-4   the scoring rule (1-6)\n"
     "  --native         print the cards as the game's own codes (UTF-8), not ASCII\n"
     "  --json           print one JSON object\n",
     "  trilane-cli best --hand \"...\" --against \"...\" --against \"...\" --against \"...\"\n"},
    {"shuffle", trilane::cli::RunShuffle, "shuffle --seed N [--native] [--json]",
     "The deck as the seeded shuffle leaves it.\n",
     "  --seed N         the shuffle's seed (0..4294967295)\n"
     "  --native         print the cards as the game's own codes (UTF-8), not ASCII\n"
     "  --json           print one JSON object\n",
     "  trilane-cli shuffle --seed 7\n"},
    {"deal", trilane::cli::RunDeal, "deal --seed N [--own K] [--native] [--json]",
     "The seeded deal: the four hands by table position.\n",
     "  --seed N         the shuffle's seed (0..4294967295)\n"
     "  --own K          the own seat's table position (1..4, 1)\n"
     "  --native         print the cards as the game's own codes (UTF-8), not ASCII\n"
     "  --json           print one JSON object\n",
     "  trilane-cli deal --seed 7\n"},
    {"simulate", trilane::cli::RunSimulate,
     "simulate --rounds N --seed S [--rule 1-6|2-4] [--json]",
     "Many rounds of four computer seats from one seed, and the points each seat made.\n",
     "  --rounds N       how many rounds\n"
     "  --seed S         the first shuffle's seed; each shuffle goes on from the last\n"
     "  --rule 1-6|2-4   the scoring rule (1-6)\n"
     "  --json           print one JSON object\n",
     "  trilane-cli simulate --rounds 1000 --seed 1\n"},
    {"addon", trilane::cli::RunAddon,
     "addon list FILE [--json] | addon extract FILE --type RCDATA|BITMAP|JPEG|WAVE|N --name "
     "NAME --out FILE [--force] [--json]",
     "Lists the resources of an add-on library, or writes one of them to a file.\n",
     "  --type T    the resource's type: a name or a number\n"
     "  --name N    the resource's name (case does not matter)\n"
     "  --out FILE  where to write it\n"
     "  --force     write over a file that exists\n"
     "  --json      print one JSON object\n",
     "  trilane-cli addon list /usr/share/games/trilane/QorCards06A.dll\n"},
    {"settings", trilane::cli::RunSettings,
     "settings show FILE | settings default --out FILE [--force] [--json]",
     "Shows every field of a settings file, or writes the settings a new installation has.\n",
     "  --out FILE  where to write the default settings\n"
     "  --force     write over a file that exists\n"
     "  --json      print one JSON object\n",
     "  trilane-cli settings show ~/.local/share/Trilane/Trilane.ini\n"},
    {"club", trilane::cli::RunClub,
     "club new --out FILE [--net] [--force] | club check FILE | club show FILE | club remove "
     "FILE --slot N | club result FILE --slot 1..6 [--name NAME] [--password PW] --match-score "
     "M --rounds N [--json]",
     "Makes, checks and shows club files, removes a member and books a match's result.\n",
     "  --out FILE        where to write a new club file\n"
     "  --net             the network club file instead of the local one\n"
     "  --force           write over a file that exists\n"
     "  --slot N          the member's place in the club\n"
     "  --name NAME       the member's name (a new member)\n"
     "  --password PW     the member's password\n"
     "  --match-score M   the match's score\n"
     "  --rounds N        the rounds the match had\n"
     "  --json            print one JSON object\n",
     "  trilane-cli club show ~/.local/share/Trilane/Trilane.clb\n"},
    {"history", trilane::cli::RunHistory,
     "history append --dir DIR --name NAME --games G --result R --rating X --kind L|A|T|N "
     "--now \"YYYY-MM-DD hh:mm\" [--date-format PATTERN] | history check FILE | history list "
     "DIR [--date-format PATTERN] | history show FILE [--json]",
     "Appends a match to a member's history file, checks and shows history files, lists a\n"
     "history folder.\n",
     "  --dir DIR             the history folder\n"
     "  --name NAME           the member\n"
     "  --games G             the match's games\n"
     "  --result R            the match's result\n"
     "  --rating X            the rating after it\n"
     "  --kind L|A|T|N        local, account, tournament or network match\n"
     "  --now TIME            the time written down, \"YYYY-MM-DD hh:mm\"\n"
     "  --date-format PATTERN how dates are written (the system's short date)\n"
     "  --json                print one JSON object\n",
     "  trilane-cli history list ~/.local/share/Trilane/History\n"},
    {"play", trilane::cli::RunPlay,
     "play --rounds N --seed S [--rule 1-6|2-4] [--name NAME] [--json]",
     "A match against three computer seats through the round flow, a line (or JSON object)\n"
     "per table event. With --account: matches for the world rating on the club service,\n"
     "signed in to the account, each booked as the game books it.\n",
     "  --rounds N        the match's rounds\n"
     "  --seed S          the first deck's seed\n"
     "  --rule 1-6|2-4    the scoring rule (1-6)\n"
     "  --name NAME       the own seat's name\n"
     "  --account NICK    play rated matches as this account\n"
     "  --password PW     the account's password\n"
     "  --service URL     the club service's directory (http://HOST:PORT/directory.txt;\n"
     "                    $TRILANE_SERVICE, or the built-in address)\n"
     "  --matches N       how many rated matches (1)\n"
     "  --json            print one JSON object per line\n",
     "  trilane-cli play --rounds 4 --seed 7\n"
     "  trilane-cli play --account Ann --password abcd1 \\\n"
     "    --service http://127.0.0.1:8094/directory.txt\n"},
#ifdef TRILANE_CLI_RATED_PLAY
    {"play", trilane::cli::RunPlay,
     "play --account NICK --password PW [--service URL] [--matches N] [--seed S] [--rule "
     "1-6|2-4] [--json]"},
#endif
#ifdef TRILANE_CLI_ACCOUNTS
    {"account", trilane::cli::RunAccount,
     "account check [--nick T] [--city T] [--password T] [--email T] [--passport] [--json]",
     "Checks texts against the account form's field rules, as the game checks them.\n",
     "  --nick T, --city T, --password T, --email T   the fields to check\n"
     "  --passport        the passport form's rules\n"
     "  --json            print one JSON object\n",
     "  trilane-cli account check --nick Ann --password abcd1\n"},
    {"user", trilane::cli::RunUser,
     "user save --folder DIR --nick N --password P | user show --folder DIR [--json] | user "
     "delete --folder DIR",
     "Saves, shows or deletes the user file that keeps the signed-in account.\n",
     "  --folder DIR      the folder of the user file\n"
     "  --nick N          the account's name\n"
     "  --password P      its password\n"
     "  --json            print one JSON object\n",
     "  trilane-cli user show --folder ~/.local/share/Trilane\n"},
#endif
#ifdef TRILANE_DIRECT_PLAY
    {"host", trilane::cli::RunHost,
     "host --port P [--players 2..4] [--seed S] [--rule 1-6|2-4] [--name NAME] [--tick-ms N] "
     "[--bind ADDRESS] [--idle-timeout SECONDS] [--json]",
     "Hosts a direct-play match over TCP and plays its seat with the computer's arrangement,\n"
     "a line per finished round.\n",
     "  --port P                 the port to listen on (25666 in the game; 0 picks one)\n"
     "  --players 2..4           seats taken by people (2)\n"
     "  --seed S                 the first deck's seed\n"
     "  --rule 1-6|2-4           the scoring rule (1-6)\n"
     "  --name NAME              the own seat's name\n"
     "  --tick-ms N              the length of the lock's tick (1000)\n"
     "  --bind ADDRESS           the address to listen on (every one)\n"
     "  --idle-timeout SECONDS   end a game that has not moved for so long (300)\n"
     "  --json                   print one JSON object per line\n",
     "  trilane-cli host --port 25666 --players 2\n"},
    {"join", trilane::cli::RunJoin,
     "join --address A --port P [--name NAME] [--idle-timeout SECONDS] [--json]",
     "Takes a seat at a direct-play host and plays it with the computer's arrangement.\n",
     "  --address A              the host's address\n"
     "  --port P                 the host's port\n"
     "  --name NAME              the own seat's name\n"
     "  --idle-timeout SECONDS   end a game that has not moved for so long (300)\n"
     "  --json                   print one JSON object per line\n",
     "  trilane-cli join --address 192.168.1.20 --port 25666\n"},
#endif
#ifdef TRILANE_DIRECT_SESSION
    {"traffic", trilane::cli::RunTraffic,
     "traffic --seed S [--players 2..4] [--rule 1-6|2-4] [--out DIR]",
     "A seeded direct-play match in memory, with every byte each side sent written down and\n"
     "checksummed: peers on different systems must send the very same bytes.\n",
     "  --seed S         the first deck's seed\n"
     "  --players 2..4   seats taken by people (4)\n"
     "  --rule 1-6|2-4   the scoring rule (1-6)\n"
     "  --out DIR        where to write each side's bytes\n",
     "  trilane-cli traffic --seed 7 --out traffic\n"},
#endif
    {"words", trilane::cli::RunWords, "words [--lang N] (--entry E | --dump) [--json]",
     "One text of the words tables in a language, or the whole table as JSON.\n",
     "  --lang N    the language, 0..9 (English)\n"
     "  --entry E   the entry's number\n"
     "  --dump      every entry, as JSON\n"
     "  --json      print one JSON object\n",
     "  trilane-cli words --lang 1 --entry 10\n"},
#ifndef TRILANE_CLI_NO_WEB
    {"web", trilane::cli::RunWeb,
     "web CALL [key=value ...] [--service URL] [--timeout MS] [--json] | web --list",
     "Makes one call of the club service and prints its parsed result; the exit code is 1\n"
     "when the call failed.\n",
     "  CALL            the call, by its name or short name (web --list shows them all)\n"
     "  key=value       the call's arguments\n"
     "  --service URL   the club service's directory (http://HOST:PORT/directory.txt;\n"
     "                  $TRILANE_SERVICE, or the built-in address)\n"
     "  --timeout MS    how long to wait for an answer (15000)\n"
     "  --list          list every call with its arguments\n"
     "  --json          print one JSON object\n",
     "  trilane-cli web service-addresses --service http://127.0.0.1:8094/directory.txt\n"},
#endif
#if defined(TRILANE_CLUB_PLAY) && !defined(TRILANE_CLI_NO_WEB)
    {"tourney", trilane::cli::RunTourney,
     "tourney --service URL --nick N --password P --table T --seat S [--json] [--timeout "
     "SECONDS] [--tick-ms N] [--source ADDRESS]",
     "Takes a seat of the online tournament and plays it with the computer's arrangement, a\n"
     "line per finished deal; 0 once the game is over, 1 with the game's message otherwise.\n",
     "  --service URL       the club service's directory\n"
     "  --nick N            the account's name\n"
     "  --password P        its password\n"
     "  --table T           the table, 1..10\n"
     "  --seat S            the seat, 1..4\n"
     "  --timeout SECONDS   give up after so long (300)\n"
     "  --tick-ms N         the length of the clock's second (1000)\n"
     "  --source ADDRESS    the local address to connect from\n"
     "  --json              print one JSON object per line\n",
     "  trilane-cli tourney --service http://127.0.0.1:8094/directory.txt --nick Ann \\\n"
     "    --password abcd1 --table 1 --seat 1\n"},
#endif
};

void PrintUsage(std::FILE* to) {
  std::fprintf(to, "usage: trilane-cli COMMAND [ARGS]\n");
  for (const Command& c : kCommands) {
    std::fprintf(to, "  %.*s\n", static_cast<int>(c.usage.size()), c.usage.data());
  }
  std::fprintf(to,
               "\n"
               "Options:\n"
               "  -h, --help          print this help and exit\n"
               "  --version           print the version and exit\n"
               "  COMMAND --help      print the command's usage, options and an example\n");
}

void PrintText(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

// "trilane-cli COMMAND --help": every usage line of the command, then its help.
void PrintCommandHelp(std::string_view name) {
  const Command* help = nullptr;
  for (const Command& c : kCommands) {
    if (c.name != name) continue;
    PrintText(help ? "       trilane-cli " : "usage: trilane-cli ");
    PrintText(c.usage);
    PrintText("\n");
    if (!help) help = &c;
  }
  PrintText("\n");
  PrintText(help->summary);
  PrintText("\nOptions:\n");
  PrintText(help->options);
  // One example or several, each starting with the tool's name.
  const bool several = help->examples.find("\n  trilane-cli") != std::string_view::npos;
  PrintText(several ? "\nExamples:\n" : "\nExample:\n");
  PrintText(help->examples);
}

bool AsksForHelp(const std::vector<std::string>& args) {
  for (size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") return true;
  }
  return false;
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
  if (name == "--version") {
    std::printf("trilane-cli %s\n", TRILANE_VERSION);
    return 0;
  }
  for (const Command& c : kCommands) {
    if (c.name != name) continue;
    if (AsksForHelp(args)) {
      PrintCommandHelp(name);
      return 0;
    }
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
