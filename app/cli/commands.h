#pragma once
// Every trilane-cli subcommand: a function of its arguments (after the subcommand name)
// returning the exit code. Bad input throws cli::UsageError (exit 2).

#include <string>
#include <vector>

namespace trilane::cli {

using CommandArgs = std::vector<std::string>;

// Game rules (cmd_rules.cpp)
int RunEval(const CommandArgs& args);
int RunSpecial(const CommandArgs& args);
int RunArrange(const CommandArgs& args);
int RunScore(const CommandArgs& args);
int RunRound(const CommandArgs& args);
int RunShuffle(const CommandArgs& args);
int RunDeal(const CommandArgs& args);
int RunSimulate(const CommandArgs& args);

// The best arrangement against three revealed ones (cmd_best.cpp)
int RunBest(const CommandArgs& args);

// Add-on resource libraries (cmd_addon.cpp)
int RunAddon(const CommandArgs& args);

// Local records (cmd_records.cpp)
int RunSettings(const CommandArgs& args);
int RunClub(const CommandArgs& args);
int RunHistory(const CommandArgs& args);

// The table (cmd_table.cpp)
int RunPlay(const CommandArgs& args);

// Direct play over TCP (cmd_direct.cpp)
int RunHost(const CommandArgs& args);
int RunJoin(const CommandArgs& args);
// A seeded match in memory, its traffic written down (cmd_direct.cpp)
int RunTraffic(const CommandArgs& args);

// One seat of the online tournament (cmd_tourney.cpp)
int RunTourney(const CommandArgs& args);

// Words tables (cmd_words.cpp)
int RunWords(const CommandArgs& args);

// The web service (cmd_web.cpp)
int RunWeb(const CommandArgs& args);

// Accounts: the field rules, the user file and matches for the world rating (cmd_account.cpp)
int RunAccount(const CommandArgs& args);
int RunUser(const CommandArgs& args);
// "play" with --account: matches for the world rating instead of a new player's match.
bool IsRatedPlay(const CommandArgs& args);
int RunRatedPlay(const CommandArgs& args);

}  // namespace trilane::cli
