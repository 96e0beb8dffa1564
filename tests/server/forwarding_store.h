#pragma once
// A store that passes every call on to another: tests derive from it to hold one call while
// others run, or to fail one.

#include "server/club_store.h"

namespace trilane::club {

class ForwardingStore : public ClubStore {
 public:
  explicit ForwardingStore(ClubStore& inner) : inner_(inner) {}

  CreateResult CreateAccount(const Account& account) override {
    return inner_.CreateAccount(account);
  }
  std::optional<Account> FindAccount(std::string_view nick) override {
    return inner_.FindAccount(nick);
  }
  int64_t CountAccounts() override { return inner_.CountAccounts(); }
  bool AddQors(std::string_view nick, int64_t delta) override {
    return inner_.AddQors(nick, delta);
  }
  bool TransferQors(std::string_view from, std::string_view to, int64_t amount) override {
    return inner_.TransferQors(from, to, amount);
  }
  bool ReplacePasswordHash(std::string_view nick, std::string_view oldHash,
                           std::string_view newHash) override {
    return inner_.ReplacePasswordHash(nick, oldHash, newHash);
  }
  bool PayBonus(std::string_view nick, int64_t amount) override {
    return inner_.PayBonus(nick, amount);
  }
  void SetBonus(std::string_view nick, int64_t amount) override { inner_.SetBonus(nick, amount); }
  std::optional<Profile> ReadProfile(std::string_view nick) override {
    return inner_.ReadProfile(nick);
  }
  void SaveProfile(std::string_view nick, const Profile& profile) override {
    inner_.SaveProfile(nick, profile);
  }
  GameResults ReadResults(std::string_view nick, std::string_view game) override {
    return inner_.ReadResults(nick, game);
  }
  bool SaveResults(std::string_view nick, std::string_view game, const GameResults& before,
                   const GameResults& after) override {
    return inner_.SaveResults(nick, game, before, after);
  }
  std::optional<int64_t> TakeCycleEntry(std::string_view nick, std::string_view game) override {
    return inner_.TakeCycleEntry(nick, game);
  }
  std::vector<RatedPlayer> TopRated(std::string_view game, int limit) override {
    return inner_.TopRated(game, limit);
  }
  int64_t RatingPlace(std::string_view game, double rating) override {
    return inner_.RatingPlace(game, rating);
  }
  void NoteSignIn(std::string_view nick, std::string_view address, int64_t now) override {
    inner_.NoteSignIn(nick, address, now);
  }
  bool SignedInSince(std::string_view nick, std::string_view address, int64_t since) override {
    return inner_.SignedInSince(nick, address, since);
  }
  std::vector<std::string> NicksSignedIn(std::string_view address, int64_t since,
                                         int limit) override {
    return inner_.NicksSignedIn(address, since, limit);
  }
  void HoldCredit(std::string_view sender, std::string_view recipient, int64_t amount,
                  int64_t now) override {
    inner_.HoldCredit(sender, recipient, amount, now);
  }
  std::optional<std::string> TakeHeldCredit(std::string_view sender, int64_t amount,
                                            int64_t since) override {
    return inner_.TakeHeldCredit(sender, amount, since);
  }
  bool CountClaim(std::string_view kind, std::string_view holder, int64_t day,
                  int64_t limit) override {
    return inner_.CountClaim(kind, holder, day, limit);
  }
  int64_t ClaimCount(std::string_view kind, std::string_view holder, int64_t day) override {
    return inner_.ClaimCount(kind, holder, day);
  }
  WorldRecord AddRecord(const WorldRecord& record) override { return inner_.AddRecord(record); }
  WorldRecord AddBoardMessage(const WorldRecord& record, int keep) override {
    return inner_.AddBoardMessage(record, keep);
  }
  int64_t CountRecords(int64_t gid) override { return inner_.CountRecords(gid); }
  std::vector<WorldRecord> TopRecords(int64_t gid, int limit) override {
    return inner_.TopRecords(gid, limit);
  }
  std::vector<WorldRecord> PlayerRecords(int64_t gid, std::string_view nick, std::string_view city,
                                         int limit) override {
    return inner_.PlayerRecords(gid, nick, city, limit);
  }
  GameStats ReadStats(int64_t gid) override { return inner_.ReadStats(gid); }
  void AddStats(int64_t gid, int64_t starts, int64_t uniqueStarts,
                const std::array<int64_t, 12>& counters) override {
    inner_.AddStats(gid, starts, uniqueStarts, counters);
  }
  void AddLike(int64_t gid, std::string_view name) override { inner_.AddLike(gid, name); }
  std::array<TableSeats, kTourneyTables> ReadTables(int64_t gid) override {
    return inner_.ReadTables(gid);
  }
  bool TakeSeat(int64_t gid, int table, int seat, const Seat& player) override {
    return inner_.TakeSeat(gid, table, seat, player);
  }
  bool ClearSeat(int64_t gid, int table, int seat, std::string_view holder) override {
    return inner_.ClearSeat(gid, table, seat, holder);
  }
  void ClearTable(int64_t gid, int table) override { inner_.ClearTable(gid, table); }
  void ClearAllSeats(int64_t gid) override { inner_.ClearAllSeats(gid); }
  void NoteRelease(std::string_view address, int64_t gid, int table, int seat,
                   int64_t now) override {
    inner_.NoteRelease(address, gid, table, seat, now);
  }
  int ReleasedSeat(std::string_view address, int64_t gid, int table, int64_t since) override {
    return inner_.ReleasedSeat(address, gid, table, since);
  }
  std::optional<TourneyPlayer> ReadTourneyPlayer(int64_t gid, std::string_view nick) override {
    return inner_.ReadTourneyPlayer(gid, nick);
  }
  void SaveTourneyPlayer(int64_t gid, const TourneyPlayer& player) override {
    inner_.SaveTourneyPlayer(gid, player);
  }
  void BookTourneyGame(int64_t gid, const std::array<std::string, kSeatsPerTable>& nicks,
                       const std::array<int64_t, kSeatsPerTable>& totals, int64_t deals) override {
    inner_.BookTourneyGame(gid, nicks, totals, deals);
  }
  std::vector<TourneyPlayer> TopTourney(int64_t gid, char selector, int limit) override {
    return inner_.TopTourney(gid, selector, limit);
  }
  int64_t TourneyPlace(int64_t gid, char selector, int64_t value) override {
    return inner_.TourneyPlace(gid, selector, value);
  }
  void Prune(int64_t day, int64_t since) override { inner_.Prune(day, since); }

 protected:
  ClubStore& inner_;
};

}  // namespace trilane::club
