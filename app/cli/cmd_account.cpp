// Accounts from the command line: the field rules of the account page (account check), the
// local user file (user save|show|delete), and matches for the world rating against the
// computer (play --account), each through the program's own rated-match path.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/codepage.h"
#include "cli.h"
#include "commands.h"
#include "web/account_rules.h"
#include "web/user_file.h"
#include "words/words.h"

#ifdef TRILANE_CLI_RATED_PLAY
#include "program/account_in_use.h"
#include "program/rated_match.h"
#include "table/auto_player.h"
#include "table/table_match.h"
#include "web/calls.h"
#include "web/curl_transport.h"
#endif

namespace trilane::cli {
namespace {

void PrintLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// One line on stderr and exit code 1: the command ran, and what it met is the message.
int Fail(std::string_view message) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
  return 1;
}

// A text the account page would receive. A character code page 1251 lacks cannot be typed
// there and belongs to no class; it stands as the unassigned byte, which every rule refuses.
std::string PageText(const std::string& utf8) {
  return *Utf8ToCp1251(utf8, '\x98');
}

// A nick or password as the program holds it; one it could not hold is bad input.
std::string AccountText(const Args& args, const std::string& name) {
  auto bytes = Utf8ToCp1251(args.Required(name));
  if (!bytes) throw UsageError("--" + name + ": has characters code page 1251 lacks");
  return *bytes;
}

std::filesystem::path UserFileIn(const Args& args) {
  return PathArgument(args.Required("folder")) / web::kUserFileName;
}

int RunAccountCheck(const CommandArgs& raw) {
  const Args args(raw, {"nick", "city", "password", "email"}, {"passport", "json"});
  if (args.Positional().size() != 1) throw UsageError("unexpected argument after 'check'");
  const bool passport = args.Flag("passport");
  struct Field {
    const char* name;
    web::FieldVerdict (*rate)(std::string_view);
  };
  const Field fields[] = {
      {"nick", passport ? web::RatePassportNick : web::RateNick},
      {"city", passport ? web::RatePassportCity : web::RateCity},
      {"password", web::RatePassword},
      {"email", web::RateEmail},
  };
  Json json;
  json.BeginObject();
  std::string text;
  bool any = false;
  for (const Field& f : fields) {
    const auto value = args.Value(f.name);
    if (!value) continue;
    any = true;
    const int rating = static_cast<int>(f.rate(PageText(*value)));
    json.Key(f.name).Int(rating);
    text += std::string(f.name) + " " + std::to_string(rating) + "\n";
  }
  if (!any) throw UsageError("give at least one of --nick, --city, --password, --email");
  if (args.Flag("json")) {
    PrintLine(json.EndObject().Text());
  } else {
    std::fwrite(text.data(), 1, text.size(), stdout);
  }
  return 0;
}

int RunUserSave(const Args& args) {
  const std::filesystem::path file = UserFileIn(args);
  const web::UserFile user{AccountText(args, "nick"), AccountText(args, "password")};
  if (auto error = web::WriteUserFile(file, user)) {
    if (error->kind == RecordErrorKind::kBadValue) throw UsageError(error->reason);
    return Fail(error->Describe());
  }
  return 0;
}

int RunUserShow(const Args& args) {
  const std::filesystem::path file = UserFileIn(args);
  const auto user = web::ReadUserFile(file);
  if (!user) return Fail("no readable user file " + file.string());
  if (args.Flag("json")) {
    Json json;
    json.BeginObject().Key("nick").String(Cp1251ToUtf8(user->nick));
    PrintLine(json.Key("password").String(Cp1251ToUtf8(user->password)).EndObject().Text());
  } else {
    PrintLine("nick " + Cp1251ToUtf8(user->nick));
    PrintLine("password " + Cp1251ToUtf8(user->password));
  }
  return 0;
}

int RunUserDelete(const Args& args) {
  const std::filesystem::path file = UserFileIn(args);
  if (!web::DeleteUserFile(file)) return Fail("cannot delete " + file.string());
  return 0;
}

#ifdef TRILANE_CLI_RATED_PLAY

// The command line has nobody to answer "Repeat?": it repeats a few times, a second apart
// (about as long as a player takes to answer), then gives up.
constexpr int kAttempts = 3;
constexpr std::chrono::milliseconds kRepeatPause{1000};

// One rated match as the program plays it from the menu: the account window's read of the
// results, "Play global rating", the pre-charge with its pauses, four deals with the
// computer at the player's seat, the booking, the counters and a completed cycle's entry.
// Nothing when it stopped; the message is then on stderr.
struct MatchLines {
  std::string match;
  std::string cycle;  // empty unless the match completed a cycle
};

std::optional<MatchLines> PlayRatedMatch(AccountInUse& account, int64_t number, uint32_t seed,
                                         bool ruleTwoFour, bool json) {
  account.RefreshBest();
  account.SetPlayForRating(true);
  PreCharge charge(account);
  PreChargeStep step = charge.Advance();
  while (step.kind == PreChargeStep::Kind::kWait) {
    std::this_thread::sleep_for(step.wait);
    step = charge.Advance();
  }
  if (step.kind != PreChargeStep::Kind::kStarted) {
    Fail(Word(kWordCantConnectToServer));
    return std::nullopt;
  }

  HeadlessTable view;
  TableMatch table(view);
  RoundFlow& flow = table.StartLocal(RatedMatchStart(account), seed, ruleTwoFour);
  AutoPlayer player;
  // A match of four deals takes a few dozen steps; the bound only stops a flow that stuck.
  for (int guard = 0; guard < 10000; ++guard) {
    if (player.Step(flow) == AutoPlayer::Did::kEndedMatch) break;
  }
  const EndMatchRequest end = player.EndRequest();
  if (!end.endMatch) throw std::runtime_error("the rated match did not come to its end");

  RatedBooking booking(account, end.score);
  BookingOutcome booked;
  for (int attempt = 0; attempt < kAttempts && !booked.stored; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(kRepeatPause);
    booked = booking.Attempt();
  }
  if (!booked.stored) {
    booking.GiveUp();
    account.SetState(web::AccountState::kSignedIn);
    Fail(Word(kWordCantConnectToServer));
    return std::nullopt;
  }
  // The counters are silent: a failure costs the statistics one match, nothing else.
  account.Client().WebSaveGameStats(
      kWindowsTableId, RatedMatchCounters(end.rounds, end.score, booked.cycleCompleted));
  CycleEntry entry;
  if (booked.cycleCompleted) {
    for (int attempt = 0; attempt < kAttempts && !entry.entered; ++attempt) {
      if (attempt > 0) std::this_thread::sleep_for(kRepeatPause);
      entry = account.EnterCycle(booked.cycleScore);
    }
  }
  account.SetState(web::AccountState::kSignedIn);
  if (booked.cycleCompleted && !entry.entered) {
    Fail(Word(kWordCantWriteResult));
    return std::nullopt;
  }

  // What the service holds now (the copy, should the read fail: it holds what was stored).
  account.RefreshBest();
  const web::TQorGame& game = account.Game();
  MatchLines lines;
  if (json) {
    Json j;
    j.BeginObject().Key("match").Int(number).Key("score").Int(end.score);
    j.Key("kon").Int(game.Kon).Key("rating").Double(game.Rating);
    j.Key("cycleGames").Int(game.KonL).Key("cycleScore").Int(game.Score);
    lines.match =
        j.Key("sessions").Int(game.Sessions).Key("best").Int(game.Best).EndObject().Text();
    if (booked.cycleCompleted) {
      Json c;
      c.BeginObject().Key("cycle").Int(game.Sessions).Key("score").Int(booked.cycleScore);
      c.Key("place").Int(entry.place).Key("bonus").Int(entry.bonus);
      lines.cycle = c.Key("qors").Int(entry.balance).EndObject().Text();
    }
  } else {
    lines.match = "match " + std::to_string(number) + ": score " + std::to_string(end.score) +
                  ", rating " + web::FormatAccountRating(game.Rating) + " after " +
                  std::to_string(game.Kon) + " games; cycle " + std::to_string(game.KonL) +
                  " games, " + std::to_string(game.Score) + " points; cycles " +
                  std::to_string(game.Sessions) + ", best " + std::to_string(game.Best);
    if (booked.cycleCompleted) {
      lines.cycle = "cycle " + std::to_string(game.Sessions) + " entered: score " +
                    std::to_string(booked.cycleScore) + ", place " + std::to_string(entry.place) +
                    ", bonus " +
                    (entry.bonus < 0 ? std::string("none") : std::to_string(entry.bonus)) +
                    " Qors, balance " + std::to_string(entry.balance);
    }
  }
  return lines;
}

#endif

}  // namespace

int RunAccount(const CommandArgs& raw) {
  if (raw.empty() || raw[0] != "check") throw UsageError("expected 'account check ...'");
  return RunAccountCheck(raw);
}

int RunUser(const CommandArgs& raw) {
  const Args args(raw, {"folder", "nick", "password"}, {"json"});
  if (args.Positional().size() != 1) throw UsageError("expected one of save, show, delete");
  const std::string& what = args.Positional()[0];
  if (what == "save") return RunUserSave(args);
  if (what == "show") return RunUserShow(args);
  if (what == "delete") return RunUserDelete(args);
  throw UsageError("expected one of save, show, delete, not '" + what + "'");
}

bool IsRatedPlay(const CommandArgs& raw) {
  for (const std::string& a : raw) {
    if (a == "--account" || a.rfind("--account=", 0) == 0) return true;
  }
  return false;
}

int RunRatedPlay(const CommandArgs& raw) {
#ifdef TRILANE_CLI_RATED_PLAY
  const Args args(raw, {"account", "password", "service", "matches", "seed", "rule"}, {"json"});
  const std::string nick = AccountText(args, "account");
  const std::string password = AccountText(args, "password");
  const int64_t matches = args.Int("matches", 1, 1000, 1);
  const auto seed = static_cast<uint32_t>(args.Int("seed", 0, 4294967295LL, 1));
  const std::string rule = args.Value("rule").value_or("1-6");
  if (rule != "1-6" && rule != "2-4")
    throw UsageError("--rule must be 1-6 or 2-4, not '" + rule + "'");
  if (auto service = args.Value("service")) {
    if (!web::AddressesUnder(*service)) {
      throw UsageError("--service: '" + *service + "' names no host");
    }
    web::SetServiceOverride(*service);
  }
  const bool json = args.Flag("json");

  web::CurlTransport transport;
  web::WebClient client(
      transport, web::ChooseAddresses(transport, nullptr, web::WebClient::kDefaultReadTimeout));
  AccountInUse account(client);
  if (!account.SignIn(nick, password)) return Fail(Word(kWordLoginFailed));
  for (int64_t n = 1; n <= matches; ++n) {
    // Each match deals its own decks, as the window program seeds each match anew.
    const auto lines =
        PlayRatedMatch(account, n, seed + static_cast<uint32_t>(n - 1), rule == "2-4", json);
    if (!lines) return 1;
    PrintLine(lines->match);
    if (!lines->cycle.empty()) PrintLine(lines->cycle);
  }
  return 0;
#else
  (void)raw;
  throw UsageError("this build plays no rated matches (it has no web transport)");
#endif
}

}  // namespace trilane::cli
