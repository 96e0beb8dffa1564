#pragma once
// The four scripts of the club service: one call in, one reply out. No sockets here: the
// HTTP front end (main.cpp) hands over the script, the body, the caller's address and the
// time, and sends back the reply bytes. Tests and the fuzzer drive this directly.
//
// Replies are code-page-1251 text in the shapes the program reads: markers ("ok", "is",
// "no"), a number between "$" signs ("$12$"), a record "$f1 f2 ...$", lists of entries
// "$f1 f2 ...*", profile texts "$f1~f2~...$" and "$ ok#" for the statistics writes. A
// failure is "err", which holds none of the markers and no "$".

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

#include "server/club_store.h"
#include "server/passwords.h"
#include "rules/game.h"
#include "server/request.h"

namespace trilane::club {

// The key of the account-script address in the service directory; the program deciphers the
// "AccPath" entry with the same key.
inline constexpr uint16_t kAccountAddressKey = 0x71C3;

// The most one seat can win (or lose) in one deal. A deal settled by special combinations
// gives a holder three times its points, and the Clean Dragon's 108 are the most of any
// special: 324. A deal played on the rows gives at most 48: three duels won in each row (9),
// the strong-row bonuses of three of a kind in front and straight flushes in the middle and
// back against three opponents (9 + 12 + 9), and the majority bonus of the "1-6" rule
// against each of them (9).
inline constexpr int64_t kMaxDealPoints = 3 * 108;
inline constexpr int64_t kMaxMatchPoints = kMatchLength * kMaxDealPoints;
inline constexpr int64_t kPreCharge = 40;   // booked as lost until the match is reported
inline constexpr int64_t kMaxQorsMove = 1000000;

struct TourneySettings {
  bool serverOn = true;
  std::string welcome = "Welcome to the club!";
  std::string address = "127.0.0.1";
  int basePort = 25700;  // table t is served on basePort + t
  // A table served elsewhere: its own host and port in the table list (empty, 0: the above).
  std::array<std::string, kTourneyTables> tableAddress{};
  std::array<int, kTourneyTables> tablePort{};

  std::string AddressOf(int table) const;
  int PortOf(int table) const;
};

struct ServiceLimits {
  // How long a sign-in vouches for an address. While two or more nicks signed in from one
  // address within this time, none of them is vouched for there: calls without a password
  // could come from any of them.
  int64_t signInSeconds = 24 * 3600;
  int64_t heldCreditSeconds = 300;   // a transfer's credit waits this long for its debit
  int64_t seatSeconds = 30 * 60;     // a seat (or a table in play) is freed after this
  int64_t releaseSeconds = 120;      // seats above a given-up seat may be freed this long
  int64_t registrationsPerDay = 20;  // per address
  // Hashed password checks per address and nick (remembered ones are free): a guesser at a
  // shared address runs out for the nick he guesses, not for his neighbours.
  int64_t passwordChecksPerDay = 300;
  // Wrong passwords per address a day, whatever the nicks: an address that guesses at many
  // nicks stops here (its neighbours' own checks stay within the limit per nick above).
  int64_t wrongPasswordsPerDay = 1000;
  int64_t startsPerDay = 50;
  int64_t uniqueStartsPerDay = 3;
  int64_t likesPerDay = 1;
  int64_t gameStatsPerDay = 500;
  int64_t resultsPerDay = 20;  // entries in the tables without an account
  // Board messages per address a day: a twentieth of the board, so one address never pushes
  // everybody else's messages off it.
  int64_t messagesPerDay = 50;
  int64_t qorsMovesPerDay = 100;  // per address
  // Debits of one account a day: the game spends Qors a few times a session, so a caller
  // who is not its owner moves little before the day ends.
  int64_t debitsPerDay = 20;
  // Rated matches of one account a day: forty matches of four deals are two whole cycles, a
  // long day at the table; booking invented matches by script stops there.
  int64_t ratedMatchesPerDay = 40;
  int boardKeep = 1000;  // messages kept on the board
};

class ClubService {
 public:
  ClubService(ClubStore& store, PasswordHasher& hasher, ServiceLimits limits = {});

  // A reply and, when the call was refused or failed, why (for the service's verbose log;
  // the caller only ever sees the reply).
  struct Outcome {
    Outcome() = default;
    Outcome(std::string text, std::string why = {})
        : reply(std::move(text)), reason(std::move(why)) {}
    Outcome(const char* text) : reply(text) {}
    std::string reply;
    std::string reason;
  };

  // One post to a script. `address` is the caller's address as the service sees it; `now`
  // is in seconds since the epoch.
  Outcome Answer(Script script, std::string_view body, std::string_view address, int64_t now);
  // The reply alone.
  std::string Handle(Script script, std::string_view body, std::string_view address, int64_t now);

  void SetTourney(const TourneySettings& tourney);
  TourneySettings Tourney() const;

 private:
  Outcome Dispatch(const Request& r, std::string_view address, int64_t now);

  Outcome RegisterUser(const Request& r, std::string_view address, int64_t now);
  Outcome ReadUser(const Request& r, std::string_view address, int64_t now);
  Outcome ReadTopTen();
  Outcome RatingPlace(const Request& r);
  Outcome ReadQors(const Request& r);
  Outcome SaveQors(const Request& r, std::string_view address, int64_t now);
  Outcome ReadInfo(const Request& r);
  Outcome SaveInfo(const Request& r, std::string_view address, int64_t now);
  Outcome ReadBest(const Request& r, std::string_view address, int64_t now);
  Outcome SaveBest(const Request& r, std::string_view address, int64_t now);
  Outcome RecordCount(const Request& r);
  Outcome ReadRecords(const Request& r, bool own);
  Outcome SaveRecord(const Request& r, std::string_view address, int64_t now);
  Outcome ReadStats(const Request& r);
  Outcome CountStart(const Request& r, std::string_view address, int64_t now);
  Outcome Like(const Request& r, std::string_view address, int64_t now);
  Outcome SaveGameStats(const Request& r, std::string_view address, int64_t now);
  Outcome ReadTables(const Request& r, int64_t now);
  Outcome TakeSeat(const Request& r, std::string_view address, int64_t now);
  Outcome ReadSeat(const Request& r);
  Outcome ReadServerInfo(const Request& r);
  Outcome ReadRating(const Request& r);
  Outcome ReadOnlineTop(const Request& r);
  Outcome OnlinePlace(const Request& r);

  // The account whose password checks out, or nothing.
  std::optional<Account> Authenticate(const Request& r, std::string_view address, int64_t now);
  bool Vouched(std::string_view nick, std::string_view address, int64_t now);
  // Vouched, and no other nick signed in from the address within the window either.
  bool VouchedAlone(std::string_view nick, std::string_view address, int64_t now);
  // The one nick signed in from the address within the window, if exactly one did.
  std::optional<std::string> SoleNick(std::string_view address, int64_t now);

  ClubStore& store_;
  PasswordHasher& hasher_;
  // The addresses with a password check hashing or waiting for a slot: one at a time each,
  // so one address never holds every slot while others wait.
  std::mutex hashingMutex_;
  std::set<std::string, std::less<>> hashing_;
  ServiceLimits limits_;
  mutable std::mutex tourneyMutex_;
  TourneySettings tourney_;
};

// The service directory: the script addresses enciphered as the program expects, entries
// separated by "#", and the pause flags that are set.
std::string DirectoryText(std::string_view origin, bool worldTopPaused, bool chatPaused);

// The date as the program writes a registration date ("dd.mm.yyyy"), in UTC.
std::string RegistrationDate(int64_t now);

}  // namespace trilane::club
