#pragma once
// Everything the club service keeps, behind one interface. The service decides what a call
// may change (validation, the game's limits); the store only keeps and finds records, and
// makes each change atomic. SqlClubStore implements it for SQLite and PostgreSQL with the
// same statements.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "server/sql.h"

namespace trilane::club {

struct Account {
  std::string nick;
  std::string passwordHash;
  std::string city, country1, country2, sex, email, dateRegistered;
  std::string r01 = "xxx", r02 = "xxx", r03 = "xxx";
  int64_t qors = 0, r05 = 0, r06 = 0;
};

// The public profile, in the order of the profile reply.
inline constexpr int kProfileFields = 14;
using Profile = std::array<std::string, kProfileFields>;

// The per-game results of an account (the account script's "kon", "best", ... keys).
struct GameResults {
  int64_t kon = 0, best = 0, sessions = 0, cycleGames = 0, cycleScore = 0, r1 = 0;
  double rating = 0;
  std::string r2 = "#";
  // The service's own bookkeeping of a rated match: open between the pre-charge and the
  // booking, with the cycle as it stood before the pre-charge emptied it.
  bool matchOpen = false;
  int64_t openCycleGames = 0, openCycleScore = 0;
  // Set by the booking that completes a cycle: the cycle's score as the service computed it.
  // Saving the results then owes the account one entry in its world table with that score.
  std::optional<int64_t> completedCycle;
};

struct RatedPlayer {
  std::string nick, city, country1, country2, sex;
  double rating = 0;
};

struct WorldRecord {
  int64_t rid = 0, gid = 0, score = 0;
  std::string nick, country, city, r07, r08, r09, r10;
  int64_t place = 0;
};

struct GameStats {
  int64_t starts = 0, uniqueStarts = 0, likes = 0;
  std::string lastLike;
  std::array<int64_t, 12> counters{};
  int64_t statY = 0;
  std::string statZ;
};

struct Seat {
  std::string nick = "X";
  int64_t score = 0, kon = 0, rating = 0;
  std::string country = "X", city = "X", sex = "M", ip = "X";
  int64_t takenAt = 0;
  bool Free() const { return nick == "X"; }
};

inline constexpr int kTourneyTables = 10;
inline constexpr int kSeatsPerTable = 4;
using TableSeats = std::array<Seat, kSeatsPerTable>;

struct TourneyPlayer {
  std::string nick, city, country, sex;
  int64_t score = 0, kon = 0, rating = 0;
};

class ClubStore {
 public:
  virtual ~ClubStore() = default;

  // Accounts.
  enum class CreateResult { Created, Taken };
  virtual CreateResult CreateAccount(const Account& account) = 0;
  virtual std::optional<Account> FindAccount(std::string_view nick) = 0;
  virtual int64_t CountAccounts() = 0;
  // Adds delta to the balance unless it would fall below 0; false when refused or unknown.
  virtual bool AddQors(std::string_view nick, int64_t delta) = 0;
  // Moves amount from one balance to another in one transaction; false when the sender
  // lacks it or either account is unknown.
  virtual bool TransferQors(std::string_view from, std::string_view to, int64_t amount) = 0;
  // Replaces the password hash when it is still `oldHash` (a stronger hash of the same
  // password); false when it changed meanwhile.
  virtual bool ReplacePasswordHash(std::string_view nick, std::string_view oldHash,
                                   std::string_view newHash) = 0;
  // Pays the bonus owed for a world place when it equals amount.
  virtual bool PayBonus(std::string_view nick, int64_t amount) = 0;
  virtual void SetBonus(std::string_view nick, int64_t amount) = 0;

  virtual std::optional<Profile> ReadProfile(std::string_view nick) = 0;
  virtual void SaveProfile(std::string_view nick, const Profile& profile) = 0;

  virtual GameResults ReadResults(std::string_view nick, std::string_view game) = 0;
  // Saves `after` (and the cycle it owes) only while the stored results are still `before`,
  // as ReadResults gave them: every change of the results moves the game count or opens or
  // closes a match, so a second change made from the same reading finds them moved on. False
  // when nothing was saved.
  virtual bool SaveResults(std::string_view nick, std::string_view game, const GameResults& before,
                           const GameResults& after) = 0;
  // Takes the oldest completed cycle owed an entry in the world table: its score, or nothing
  // when none is owed.
  virtual std::optional<int64_t> TakeCycleEntry(std::string_view nick, std::string_view game) = 0;
  virtual std::vector<RatedPlayer> TopRated(std::string_view game, int limit) = 0;
  // 1 + the number of rated players of the game with a higher rating.
  virtual int64_t RatingPlace(std::string_view game, double rating) = 0;

  // Sign-ins: a nick that proved its password from an address.
  virtual void NoteSignIn(std::string_view nick, std::string_view address, int64_t now) = 0;
  virtual bool SignedInSince(std::string_view nick, std::string_view address, int64_t since) = 0;
  // The nick keys that signed in from the address since `since`, at most `limit` of them.
  virtual std::vector<std::string> NicksSignedIn(std::string_view address, int64_t since,
                                                 int limit) = 0;

  // A credit announced for a transfer from `sender` to `recipient`, settled by the sender's
  // debit of the same amount.
  virtual void HoldCredit(std::string_view sender, std::string_view recipient, int64_t amount,
                          int64_t now) = 0;
  // The recipient of the newest fresh credit held for that sender and amount (and removes it).
  virtual std::optional<std::string> TakeHeldCredit(std::string_view sender, int64_t amount,
                                                    int64_t since) = 0;

  // Claims counted per day and per holder (an address, an address and a nick, an account);
  // true while under limit.
  virtual bool CountClaim(std::string_view kind, std::string_view holder, int64_t day,
                          int64_t limit) = 0;
  // The claims counted so far that day.
  virtual int64_t ClaimCount(std::string_view kind, std::string_view holder, int64_t day) = 0;

  // World tables.
  virtual WorldRecord AddRecord(const WorldRecord& record) = 0;  // fills rid and place
  // A board message: takes the next number (highest + 1) and keeps the newest `keep`.
  virtual WorldRecord AddBoardMessage(const WorldRecord& record, int keep) = 0;
  virtual int64_t CountRecords(int64_t gid) = 0;
  virtual std::vector<WorldRecord> TopRecords(int64_t gid, int limit) = 0;
  virtual std::vector<WorldRecord> PlayerRecords(int64_t gid, std::string_view nick,
                                                 std::string_view city, int limit) = 0;

  // Statistics.
  virtual GameStats ReadStats(int64_t gid) = 0;
  virtual void AddStats(int64_t gid, int64_t starts, int64_t uniqueStarts,
                        const std::array<int64_t, 12>& counters) = 0;
  virtual void AddLike(int64_t gid, std::string_view name) = 0;

  // Tournament tables.
  virtual std::array<TableSeats, kTourneyTables> ReadTables(int64_t gid) = 0;
  // True when the seat was free and is now the player's, and the player held no other seat of
  // the tournament: both are decided inside one change, so two calls at once never give one
  // nick two seats.
  virtual bool TakeSeat(int64_t gid, int table, int seat, const Seat& player) = 0;
  // Frees the seat while `holder` (a nick) still holds it; false when it holds another.
  virtual bool ClearSeat(int64_t gid, int table, int seat, std::string_view holder) = 0;
  // Frees a table's four seats at once.
  virtual void ClearTable(int64_t gid, int table) = 0;
  // Frees every seat of the tournament (no table's connection outlives the tables' start).
  virtual void ClearAllSeats(int64_t gid) = 0;
  virtual void NoteRelease(std::string_view address, int64_t gid, int table, int seat,
                           int64_t now) = 0;
  // The seat this address gave up most recently at that table since `since`, or 0.
  virtual int ReleasedSeat(std::string_view address, int64_t gid, int table, int64_t since) = 0;
  virtual std::optional<TourneyPlayer> ReadTourneyPlayer(int64_t gid, std::string_view nick) = 0;
  virtual void SaveTourneyPlayer(int64_t gid, const TourneyPlayer& player) = 0;
  // Books a game of `deals` deals for the four seats' players (score, games and rating), all
  // four in one transaction: a failure books none of them.
  virtual void BookTourneyGame(int64_t gid, const std::array<std::string, kSeatsPerTable>& nicks,
                               const std::array<int64_t, kSeatsPerTable>& totals,
                               int64_t deals) = 0;
  // selector 's' score, 'r' rating, 'k' games.
  virtual std::vector<TourneyPlayer> TopTourney(int64_t gid, char selector, int limit) = 0;
  virtual int64_t TourneyPlace(int64_t gid, char selector, int64_t value) = 0;

  // Forgets the bookkeeping of claims older than `day` and of sign-ins, held credits and seat
  // releases older than `since`.
  virtual void Prune(int64_t day, int64_t since) = 0;
};

// The store over a pool of SQL connections; creates the tables when missing.
std::unique_ptr<ClubStore> MakeSqlClubStore(std::unique_ptr<SqlPool> pool);

}  // namespace trilane::club
