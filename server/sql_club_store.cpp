// The club store in SQL. The statements below run unchanged on SQLite and PostgreSQL; only
// the schema's key column type differs. Every value is a bound parameter.

#include <string>

#include "rules/game.h"
#include "server/club_store.h"
#include "server/text_rules.h"

namespace trilane::club {
namespace {

constexpr std::string_view kSchema = R"SQL(
CREATE TABLE IF NOT EXISTS accounts (
  id {serial}, nick_key TEXT NOT NULL UNIQUE, nick TEXT NOT NULL, pw_hash TEXT NOT NULL,
  city TEXT NOT NULL, country1 TEXT NOT NULL, country2 TEXT NOT NULL, sex TEXT NOT NULL,
  email TEXT NOT NULL, date_r TEXT NOT NULL, r01 TEXT NOT NULL, r02 TEXT NOT NULL,
  r03 TEXT NOT NULL, qors BIGINT NOT NULL DEFAULT 0, r05 BIGINT NOT NULL DEFAULT 0,
  r06 BIGINT NOT NULL DEFAULT 0, bonus_due BIGINT NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS profiles (
  nick_key TEXT PRIMARY KEY, name1 TEXT, name2 TEXT, about TEXT, telephone TEXT, emailo TEXT,
  website TEXT, skype TEXT, ok TEXT, vk TEXT, telegram TEXT, facebook TEXT, twitter TEXT,
  instagramm TEXT, youtube TEXT);
CREATE TABLE IF NOT EXISTS results (
  nick_key TEXT NOT NULL, game TEXT NOT NULL, kon BIGINT NOT NULL, best BIGINT NOT NULL,
  rating DOUBLE PRECISION NOT NULL, sessions BIGINT NOT NULL, konl BIGINT NOT NULL,
  score BIGINT NOT NULL, r1 BIGINT NOT NULL, r2 TEXT NOT NULL, match_open BIGINT NOT NULL,
  open_konl BIGINT NOT NULL, open_score BIGINT NOT NULL, cycles_due BIGINT NOT NULL,
  PRIMARY KEY (nick_key, game));
CREATE INDEX IF NOT EXISTS results_by_rating ON results (game, rating);
CREATE TABLE IF NOT EXISTS owed_cycles (
  id {serial}, nick_key TEXT NOT NULL, game TEXT NOT NULL, score BIGINT NOT NULL);
CREATE INDEX IF NOT EXISTS owed_cycles_by_nick ON owed_cycles (nick_key, game, id);
CREATE TABLE IF NOT EXISTS sign_ins (
  nick_key TEXT NOT NULL, address TEXT NOT NULL, at BIGINT NOT NULL,
  PRIMARY KEY (nick_key, address));
CREATE INDEX IF NOT EXISTS sign_ins_by_address ON sign_ins (address, at);
DROP TABLE IF EXISTS held_credits;
CREATE TABLE IF NOT EXISTS held_transfers (
  sender TEXT NOT NULL, recipient TEXT NOT NULL, amount BIGINT NOT NULL, at BIGINT NOT NULL,
  PRIMARY KEY (sender, recipient));
CREATE TABLE IF NOT EXISTS claims (
  kind TEXT NOT NULL, address TEXT NOT NULL, day BIGINT NOT NULL, n BIGINT NOT NULL,
  PRIMARY KEY (kind, address, day));
CREATE TABLE IF NOT EXISTS records (
  rid {serial}, gid BIGINT NOT NULL, score BIGINT NOT NULL, nick TEXT NOT NULL,
  nick_key TEXT NOT NULL, country TEXT NOT NULL, city TEXT NOT NULL, r07 TEXT NOT NULL,
  r08 TEXT NOT NULL, r09 TEXT NOT NULL, r10 TEXT NOT NULL);
CREATE INDEX IF NOT EXISTS records_by_score ON records (gid, score, rid);
CREATE INDEX IF NOT EXISTS records_by_nick ON records (gid, nick_key);
CREATE UNIQUE INDEX IF NOT EXISTS board_numbers ON records (score) WHERE gid = 100;
CREATE TABLE IF NOT EXISTS stats (
  gid BIGINT PRIMARY KEY, stat1 BIGINT NOT NULL, stat2 BIGINT NOT NULL, stat3 BIGINT NOT NULL,
  stat4 TEXT NOT NULL, c1 BIGINT NOT NULL, c2 BIGINT NOT NULL, c3 BIGINT NOT NULL,
  c4 BIGINT NOT NULL, c5 BIGINT NOT NULL, c6 BIGINT NOT NULL, c7 BIGINT NOT NULL,
  c8 BIGINT NOT NULL, c9 BIGINT NOT NULL, c10 BIGINT NOT NULL, c11 BIGINT NOT NULL,
  c12 BIGINT NOT NULL, stat_y BIGINT NOT NULL, stat_z TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS seats (
  gid BIGINT NOT NULL, tbl BIGINT NOT NULL, seat BIGINT NOT NULL, nick TEXT NOT NULL,
  nick_key TEXT NOT NULL, score BIGINT NOT NULL, kon BIGINT NOT NULL, rating BIGINT NOT NULL,
  country TEXT NOT NULL, city TEXT NOT NULL, sex TEXT NOT NULL, ip TEXT NOT NULL,
  taken_at BIGINT NOT NULL, PRIMARY KEY (gid, tbl, seat));
CREATE TABLE IF NOT EXISTS seat_releases (
  address TEXT NOT NULL, gid BIGINT NOT NULL, tbl BIGINT NOT NULL, seat BIGINT NOT NULL,
  at BIGINT NOT NULL, PRIMARY KEY (address, gid, tbl));
CREATE TABLE IF NOT EXISTS tourney_players (
  gid BIGINT NOT NULL, nick_key TEXT NOT NULL, nick TEXT NOT NULL, city TEXT NOT NULL,
  country TEXT NOT NULL, sex TEXT NOT NULL, score BIGINT NOT NULL, kon BIGINT NOT NULL,
  rating BIGINT NOT NULL, PRIMARY KEY (gid, nick_key));
CREATE INDEX IF NOT EXISTS tourney_by_score ON tourney_players (gid, score);
)SQL";

// Frees seats: completed by the conditions that pick them.
constexpr std::string_view kFreeSeats =
    "UPDATE seats SET nick = 'X', nick_key = 'x', score = 0, kon = 0, rating = 0, country = 'X', "
    "city = 'X', sex = 'M', ip = 'X', taken_at = 0 WHERE gid = ?";

std::string SchemaFor(bool postgres) {
  std::string schema(kSchema);
  const std::string serial = postgres ? "BIGSERIAL PRIMARY KEY" : "INTEGER PRIMARY KEY";
  for (size_t pos; (pos = schema.find("{serial}")) != std::string::npos;) {
    schema.replace(pos, 8, serial);
  }
  return schema;
}

std::string Key(std::string_view nick) {
  return NickKey(nick);
}

// Runs body inside a write transaction, rolling back on any error.
template <typename F>
auto InTransaction(SqlConnection& c, F&& body) {
  c.Begin();
  try {
    if constexpr (std::is_void_v<decltype(body())>) {
      body();
      c.Commit();
    } else {
      auto result = body();
      c.Commit();
      return result;
    }
  } catch (...) {
    c.Rollback();
    throw;
  }
}

WorldRecord RecordFromRow(const SqlRow& r) {
  WorldRecord w;
  w.rid = r.Int(0);
  w.gid = r.Int(1);
  w.score = r.Int(2);
  w.nick = r.Text(3);
  w.country = r.Text(4);
  w.city = r.Text(5);
  w.r07 = r.Text(6);
  w.r08 = r.Text(7);
  w.r09 = r.Text(8);
  w.r10 = r.Text(9);
  return w;
}

class SqlClubStore final : public ClubStore {
 public:
  explicit SqlClubStore(std::unique_ptr<SqlPool> pool) : pool_(std::move(pool)) {
    auto c = pool_->Acquire();
    c->ExecuteScript(SchemaFor(c->IsPostgres()));
    // Ten empty four-seat tables of the tournament.
    for (int t = 1; t <= kTourneyTables; ++t) {
      for (int s = 1; s <= kSeatsPerTable; ++s) {
        c->Execute(
            "INSERT INTO seats (gid, tbl, seat, nick, nick_key, score, kon, rating, country, city, "
            "sex, ip, taken_at) VALUES (94, ?, ?, 'X', 'x', 0, 0, 0, 'X', 'X', 'M', 'X', 0) "
            "ON CONFLICT (gid, tbl, seat) DO NOTHING",
            {int64_t{t}, int64_t{s}});
      }
    }
  }

  CreateResult CreateAccount(const Account& a) override {
    auto c = pool_->Acquire();
    const int64_t n = c->Execute(
        "INSERT INTO accounts (nick_key, nick, pw_hash, city, country1, country2, sex, email, "
        "date_r, r01, r02, r03, qors, r05, r06) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
        "?) "
        "ON CONFLICT (nick_key) DO NOTHING",
        {Key(a.nick), a.nick, a.passwordHash, a.city, a.country1, a.country2, a.sex, a.email,
         a.dateRegistered, a.r01, a.r02, a.r03, a.qors, a.r05, a.r06});
    return n == 1 ? CreateResult::Created : CreateResult::Taken;
  }

  std::optional<Account> FindAccount(std::string_view nick) override {
    auto c = pool_->Acquire();
    auto rows = c->Query(
        "SELECT nick, pw_hash, city, country1, country2, sex, email, date_r, r01, r02, r03, qors, "
        "r05, r06 FROM accounts WHERE nick_key = ?",
        {Key(nick)});
    if (rows.empty()) return std::nullopt;
    const SqlRow& r = rows[0];
    Account a;
    a.nick = r.Text(0);
    a.passwordHash = r.Text(1);
    a.city = r.Text(2);
    a.country1 = r.Text(3);
    a.country2 = r.Text(4);
    a.sex = r.Text(5);
    a.email = r.Text(6);
    a.dateRegistered = r.Text(7);
    a.r01 = r.Text(8);
    a.r02 = r.Text(9);
    a.r03 = r.Text(10);
    a.qors = r.Int(11);
    a.r05 = r.Int(12);
    a.r06 = r.Int(13);
    return a;
  }

  int64_t CountAccounts() override {
    auto c = pool_->Acquire();
    return c->Query("SELECT COUNT(*) FROM accounts", {}).at(0).Int(0);
  }

  bool AddQors(std::string_view nick, int64_t delta) override {
    auto c = pool_->Acquire();
    return c->Execute("UPDATE accounts SET qors = qors + ? WHERE nick_key = ? AND qors + ? >= 0",
                      {delta, Key(nick), delta}) == 1;
  }

  bool TransferQors(std::string_view from, std::string_view to, int64_t amount) override {
    auto c = pool_->Acquire();
    return InTransaction(*c, [&] {
      if (c->Query("SELECT 1 FROM accounts WHERE nick_key = ?", {Key(to)}).empty()) return false;
      if (c->Execute("UPDATE accounts SET qors = qors - ? WHERE nick_key = ? AND qors >= ?",
                     {amount, Key(from), amount}) != 1) {
        return false;
      }
      c->Execute("UPDATE accounts SET qors = qors + ? WHERE nick_key = ?", {amount, Key(to)});
      return true;
    });
  }

  bool ReplacePasswordHash(std::string_view nick, std::string_view oldHash,
                           std::string_view newHash) override {
    auto c = pool_->Acquire();
    return c->Execute("UPDATE accounts SET pw_hash = ? WHERE nick_key = ? AND pw_hash = ?",
                      {std::string(newHash), Key(nick), std::string(oldHash)}) == 1;
  }

  bool PayBonus(std::string_view nick, int64_t amount) override {
    auto c = pool_->Acquire();
    return c->Execute(
               "UPDATE accounts SET qors = qors + bonus_due, bonus_due = 0 "
               "WHERE nick_key = ? AND bonus_due = ? AND bonus_due > 0",
               {Key(nick), amount}) == 1;
  }

  void SetBonus(std::string_view nick, int64_t amount) override {
    auto c = pool_->Acquire();
    c->Execute("UPDATE accounts SET bonus_due = ? WHERE nick_key = ?", {amount, Key(nick)});
  }

  std::optional<Profile> ReadProfile(std::string_view nick) override {
    auto c = pool_->Acquire();
    if (c->Query("SELECT 1 FROM accounts WHERE nick_key = ?", {Key(nick)}).empty()) {
      return std::nullopt;
    }
    auto rows = c->Query(
        "SELECT name1, name2, about, telephone, emailo, website, skype, ok, vk, telegram, "
        "facebook, twitter, instagramm, youtube FROM profiles WHERE nick_key = ?",
        {Key(nick)});
    Profile p;
    if (!rows.empty()) {
      for (int i = 0; i < kProfileFields; ++i) p[i] = rows[0].Text(i);
    }
    return p;
  }

  void SaveProfile(std::string_view nick, const Profile& p) override {
    auto c = pool_->Acquire();
    std::vector<SqlValue> params{Key(nick)};
    for (const auto& f : p) params.emplace_back(f);
    c->Execute(
        "INSERT INTO profiles (nick_key, name1, name2, about, telephone, emailo, website, skype, "
        "ok, vk, telegram, facebook, twitter, instagramm, youtube) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (nick_key) DO UPDATE SET "
        "name1 = excluded.name1, name2 = excluded.name2, about = excluded.about, "
        "telephone = excluded.telephone, emailo = excluded.emailo, website = excluded.website, "
        "skype = excluded.skype, ok = excluded.ok, vk = excluded.vk, "
        "telegram = excluded.telegram, facebook = excluded.facebook, "
        "twitter = excluded.twitter, instagramm = excluded.instagramm, "
        "youtube = excluded.youtube",
        params);
  }

  GameResults ReadResults(std::string_view nick, std::string_view game) override {
    auto c = pool_->Acquire();
    auto rows = c->Query(
        "SELECT kon, best, rating, sessions, konl, score, r1, r2, match_open, open_konl, "
        "open_score FROM results WHERE nick_key = ? AND game = ?",
        {Key(nick), std::string(game)});
    GameResults g;
    if (rows.empty()) return g;
    const SqlRow& r = rows[0];
    g.kon = r.Int(0);
    g.best = r.Int(1);
    g.rating = r.Real(2);
    g.sessions = r.Int(3);
    g.cycleGames = r.Int(4);
    g.cycleScore = r.Int(5);
    g.r1 = r.Int(6);
    g.r2 = r.Text(7);
    g.matchOpen = r.Int(8) != 0;
    g.openCycleGames = r.Int(9);
    g.openCycleScore = r.Int(10);
    return g;
  }

  bool SaveResults(std::string_view nick, std::string_view game, const GameResults& before,
                   const GameResults& g) override {
    auto c = pool_->Acquire();
    return InTransaction(*c, [&] {
      // The update applies only to the results that were read; a first save finds no row, and
      // of two first saves the second finds the row the first inserted.
      const int64_t changed = c->Execute(
          "INSERT INTO results (nick_key, game, kon, best, rating, sessions, konl, score, r1, r2, "
          "match_open, open_konl, open_score, cycles_due) "
          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0) ON CONFLICT (nick_key, game) DO "
          "UPDATE SET kon = excluded.kon, best = excluded.best, rating = excluded.rating, "
          "sessions = excluded.sessions, konl = excluded.konl, score = excluded.score, "
          "r1 = excluded.r1, r2 = excluded.r2, match_open = excluded.match_open, "
          "open_konl = excluded.open_konl, open_score = excluded.open_score "
          "WHERE results.kon = ? AND results.match_open = ?",
          {Key(nick), std::string(game), g.kon, g.best, g.rating, g.sessions, g.cycleGames,
           g.cycleScore, g.r1, g.r2, int64_t{g.matchOpen ? 1 : 0}, g.openCycleGames,
           g.openCycleScore, before.kon, int64_t{before.matchOpen ? 1 : 0}});
      if (changed != 1) return false;
      if (g.completedCycle) {
        c->Execute("INSERT INTO owed_cycles (nick_key, game, score) VALUES (?, ?, ?)",
                   {Key(nick), std::string(game), *g.completedCycle});
      }
      return true;
    });
  }

  std::optional<int64_t> TakeCycleEntry(std::string_view nick, std::string_view game) override {
    auto c = pool_->Acquire();
    // One statement takes the entry, so two calls at once never enter one cycle twice.
    auto rows = c->Query(
        "DELETE FROM owed_cycles WHERE id = (SELECT MIN(id) FROM owed_cycles "
        "WHERE nick_key = ? AND game = ?) RETURNING score",
        {Key(nick), std::string(game)});
    if (rows.empty()) return std::nullopt;
    return rows[0].Int(0);
  }

  std::vector<RatedPlayer> TopRated(std::string_view game, int limit) override {
    auto c = pool_->Acquire();
    auto rows = c->Query(
        "SELECT a.nick, a.city, a.country1, a.country2, a.sex, r.rating FROM results r "
        "JOIN accounts a ON a.nick_key = r.nick_key WHERE r.game = ? AND r.kon > 0 "
        "ORDER BY r.rating DESC, r.kon DESC, a.id ASC LIMIT ?",
        {std::string(game), int64_t{limit}});
    std::vector<RatedPlayer> out;
    for (const auto& r : rows) {
      out.push_back({r.Text(0), r.Text(1), r.Text(2), r.Text(3), r.Text(4), r.Real(5)});
    }
    return out;
  }

  int64_t RatingPlace(std::string_view game, double rating) override {
    auto c = pool_->Acquire();
    return 1 + c->Query("SELECT COUNT(*) FROM results WHERE game = ? AND kon > 0 AND rating > ?",
                        {std::string(game), rating})
                   .at(0)
                   .Int(0);
  }

  void NoteSignIn(std::string_view nick, std::string_view address, int64_t now) override {
    auto c = pool_->Acquire();
    c->Execute(
        "INSERT INTO sign_ins (nick_key, address, at) VALUES (?, ?, ?) "
        "ON CONFLICT (nick_key, address) DO UPDATE SET at = excluded.at",
        {Key(nick), std::string(address), now});
  }

  bool SignedInSince(std::string_view nick, std::string_view address, int64_t since) override {
    auto c = pool_->Acquire();
    return !c->Query("SELECT 1 FROM sign_ins WHERE nick_key = ? AND address = ? AND at >= ?",
                     {Key(nick), std::string(address), since})
                .empty();
  }

  std::vector<std::string> NicksSignedIn(std::string_view address, int64_t since,
                                         int limit) override {
    auto c = pool_->Acquire();
    std::vector<std::string> nicks;
    for (const auto& r :
         c->Query("SELECT nick_key FROM sign_ins WHERE address = ? AND at >= ? LIMIT ?",
                  {std::string(address), since, int64_t{limit}})) {
      nicks.push_back(r.Text(0));
    }
    return nicks;
  }

  void HoldCredit(std::string_view sender, std::string_view recipient, int64_t amount,
                  int64_t now) override {
    auto c = pool_->Acquire();
    c->Execute(
        "INSERT INTO held_transfers (sender, recipient, amount, at) VALUES (?, ?, ?, ?) "
        "ON CONFLICT (sender, recipient) DO UPDATE SET amount = excluded.amount, at = excluded.at",
        {Key(sender), Key(recipient), amount, now});
  }

  std::optional<std::string> TakeHeldCredit(std::string_view sender, int64_t amount,
                                            int64_t since) override {
    auto c = pool_->Acquire();
    // One statement takes the credit, so two debits can never both settle it.
    auto rows = c->Query(
        "DELETE FROM held_transfers WHERE sender = ? AND recipient = (SELECT recipient FROM "
        "held_transfers WHERE sender = ? AND amount = ? AND at >= ? ORDER BY at DESC LIMIT 1) "
        "RETURNING recipient",
        {Key(sender), Key(sender), amount, since});
    if (rows.empty()) return std::nullopt;
    return rows[0].Text(0);
  }

  bool CountClaim(std::string_view kind, std::string_view holder, int64_t day,
                  int64_t limit) override {
    auto c = pool_->Acquire();
    return c->Execute(
               "INSERT INTO claims (kind, address, day, n) VALUES (?, ?, ?, 1) "
               "ON CONFLICT (kind, address, day) DO UPDATE SET n = claims.n + 1 "
               "WHERE claims.n < ?",
               {std::string(kind), std::string(holder), day, limit}) == 1;
  }

  int64_t ClaimCount(std::string_view kind, std::string_view holder, int64_t day) override {
    auto c = pool_->Acquire();
    auto rows = c->Query("SELECT n FROM claims WHERE kind = ? AND address = ? AND day = ?",
                         {std::string(kind), std::string(holder), day});
    return rows.empty() ? 0 : rows[0].Int(0);
  }

  WorldRecord AddRecord(const WorldRecord& w) override {
    auto c = pool_->Acquire();
    return InTransaction(*c, [&] {
      WorldRecord out = w;
      out.rid = InsertRecord(*c, w);
      out.place = PlaceOf(*c, out);
      return out;
    });
  }

  WorldRecord AddBoardMessage(const WorldRecord& w, int keep) override {
    auto c = pool_->Acquire();
    // SQLite runs one writer at a time; on PostgreSQL two posts may read the same highest
    // number, and the board's unique index then refuses the second, which tries again.
    for (int attempt = 1;; ++attempt) {
      try {
        return InTransaction(*c, [&] {
          WorldRecord out = w;
          out.score =
              1 + c->Query("SELECT COALESCE(MAX(score), 0) FROM records WHERE gid = ?", {w.gid})
                      .at(0)
                      .Int(0);
          out.rid = InsertRecord(*c, out);
          out.place = 1;
          c->Execute("DELETE FROM records WHERE gid = ? AND score <= ?", {w.gid, out.score - keep});
          return out;
        });
      } catch (const SqlError&) {
        if (attempt == 3) throw;
      }
    }
  }

  int64_t CountRecords(int64_t gid) override {
    auto c = pool_->Acquire();
    return c->Query("SELECT COUNT(*) FROM records WHERE gid = ?", {gid}).at(0).Int(0);
  }

  std::vector<WorldRecord> TopRecords(int64_t gid, int limit) override {
    auto c = pool_->Acquire();
    auto rows = c->Query(
        "SELECT rid, gid, score, nick, country, city, r07, r08, r09, r10 FROM records "
        "WHERE gid = ? ORDER BY score DESC, rid ASC LIMIT ?",
        {gid, int64_t{limit}});
    std::vector<WorldRecord> out;
    int64_t place = 0;
    for (const auto& r : rows) {
      out.push_back(RecordFromRow(r));
      out.back().place = ++place;
    }
    return out;
  }

  std::vector<WorldRecord> PlayerRecords(int64_t gid, std::string_view nick, std::string_view city,
                                         int limit) override {
    auto c = pool_->Acquire();
    auto rows = c->Query(
        "SELECT rid, gid, score, nick, country, city, r07, r08, r09, r10 FROM records "
        "WHERE gid = ? AND nick_key = ? AND city = ? ORDER BY score DESC, rid ASC LIMIT ?",
        {gid, Key(nick), std::string(city), int64_t{limit}});
    std::vector<WorldRecord> out;
    for (const auto& r : rows) {
      out.push_back(RecordFromRow(r));
      out.back().place = PlaceOf(*c, out.back());
    }
    return out;
  }

  GameStats ReadStats(int64_t gid) override {
    auto c = pool_->Acquire();
    auto rows = c->Query(
        "SELECT stat1, stat2, stat3, stat4, c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12, "
        "stat_y, stat_z FROM stats WHERE gid = ?",
        {gid});
    GameStats s;
    if (rows.empty()) return s;
    const SqlRow& r = rows[0];
    s.starts = r.Int(0);
    s.uniqueStarts = r.Int(1);
    s.likes = r.Int(2);
    s.lastLike = r.Text(3);
    for (int i = 0; i < 12; ++i) s.counters[i] = r.Int(4 + i);
    s.statY = r.Int(16);
    s.statZ = r.Text(17);
    return s;
  }

  void AddStats(int64_t gid, int64_t starts, int64_t uniqueStarts,
                const std::array<int64_t, 12>& k) override {
    auto c = pool_->Acquire();
    EnsureStats(*c, gid);
    c->Execute(
        "UPDATE stats SET stat1 = stat1 + ?, stat2 = stat2 + ?, c1 = c1 + ?, c2 = c2 + ?, "
        "c3 = c3 + ?, c4 = c4 + ?, c5 = c5 + ?, c6 = c6 + ?, c7 = c7 + ?, c8 = c8 + ?, "
        "c9 = c9 + ?, c10 = c10 + ?, c11 = c11 + ?, c12 = c12 + ? WHERE gid = ?",
        {starts, uniqueStarts, k[0], k[1], k[2], k[3], k[4], k[5], k[6], k[7], k[8], k[9], k[10],
         k[11], gid});
  }

  void AddLike(int64_t gid, std::string_view name) override {
    auto c = pool_->Acquire();
    EnsureStats(*c, gid);
    c->Execute("UPDATE stats SET stat3 = stat3 + 1, stat4 = ? WHERE gid = ?",
               {std::string(name), gid});
  }

  std::array<TableSeats, kTourneyTables> ReadTables(int64_t gid) override {
    auto c = pool_->Acquire();
    auto rows = c->Query(
        "SELECT tbl, seat, nick, score, kon, rating, country, city, sex, ip, taken_at FROM seats "
        "WHERE gid = ?",
        {gid});
    // Every seat starts free (Seat's own defaults).
    std::array<TableSeats, kTourneyTables> tables;
    for (const auto& r : rows) {
      const int64_t t = r.Int(0);
      const int64_t s = r.Int(1);
      if (t < 1 || t > kTourneyTables || s < 1 || s > kSeatsPerTable) continue;
      Seat& seat = tables[t - 1][s - 1];
      seat.nick = r.Text(2);
      seat.score = r.Int(3);
      seat.kon = r.Int(4);
      seat.rating = r.Int(5);
      seat.country = r.Text(6);
      seat.city = r.Text(7);
      seat.sex = r.Text(8);
      seat.ip = r.Text(9);
      seat.takenAt = r.Int(10);
    }
    return tables;
  }

  bool TakeSeat(int64_t gid, int table, int seat, const Seat& p) override {
    auto c = pool_->Acquire();
    return InTransaction(*c, [&] {
      // SQLite's write transaction runs alone already; on PostgreSQL this touch of the first
      // seat makes every seat change of the tournament wait for the one before it, so the
      // check below sees the seats the others took.
      c->Execute("UPDATE seats SET taken_at = taken_at WHERE gid = ? AND tbl = 1 AND seat = 1",
                 {gid});
      return c->Execute(
                 "UPDATE seats SET nick = ?, nick_key = ?, score = ?, kon = ?, rating = ?, "
                 "country = ?, city = ?, sex = ?, ip = ?, taken_at = ? "
                 "WHERE gid = ? AND tbl = ? AND seat = ? AND nick = 'X' AND NOT EXISTS "
                 "(SELECT 1 FROM seats WHERE gid = ? AND nick_key = ?)",
                 {p.nick, Key(p.nick), p.score, p.kon, p.rating, p.country, p.city, p.sex, p.ip,
                  p.takenAt, gid, int64_t{table}, int64_t{seat}, gid, Key(p.nick)}) == 1;
    });
  }

  bool ClearSeat(int64_t gid, int table, int seat, std::string_view holder) override {
    auto c = pool_->Acquire();
    return c->Execute(std::string(kFreeSeats) + " AND tbl = ? AND seat = ? AND nick_key = ?",
                      {gid, int64_t{table}, int64_t{seat}, Key(holder)}) == 1;
  }

  void ClearTable(int64_t gid, int table) override {
    auto c = pool_->Acquire();
    c->Execute(std::string(kFreeSeats) + " AND tbl = ?", {gid, int64_t{table}});
  }

  void ClearAllSeats(int64_t gid) override {
    auto c = pool_->Acquire();
    c->Execute(kFreeSeats, {gid});
  }

  void NoteRelease(std::string_view address, int64_t gid, int table, int seat,
                   int64_t now) override {
    auto c = pool_->Acquire();
    c->Execute(
        "INSERT INTO seat_releases (address, gid, tbl, seat, at) VALUES (?, ?, ?, ?, ?) "
        "ON CONFLICT (address, gid, tbl) DO UPDATE SET seat = excluded.seat, at = excluded.at",
        {std::string(address), gid, int64_t{table}, int64_t{seat}, now});
  }

  int ReleasedSeat(std::string_view address, int64_t gid, int table, int64_t since) override {
    auto c = pool_->Acquire();
    auto rows = c->Query(
        "SELECT seat FROM seat_releases WHERE address = ? AND gid = ? AND tbl = ? AND at >= ?",
        {std::string(address), gid, int64_t{table}, since});
    return rows.empty() ? 0 : static_cast<int>(rows[0].Int(0));
  }

  std::optional<TourneyPlayer> ReadTourneyPlayer(int64_t gid, std::string_view nick) override {
    auto c = pool_->Acquire();
    auto rows = c->Query(
        "SELECT nick, city, country, sex, score, kon, rating FROM tourney_players "
        "WHERE gid = ? AND nick_key = ?",
        {gid, Key(nick)});
    if (rows.empty()) return std::nullopt;
    return PlayerFromRow(rows[0]);
  }

  void SaveTourneyPlayer(int64_t gid, const TourneyPlayer& p) override {
    auto c = pool_->Acquire();
    c->Execute(
        "INSERT INTO tourney_players (gid, nick_key, nick, city, country, sex, score, kon, rating) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (gid, nick_key) DO UPDATE SET "
        "nick = excluded.nick, city = excluded.city, country = excluded.country, "
        "sex = excluded.sex, score = excluded.score, kon = excluded.kon, rating = excluded.rating",
        {gid, Key(p.nick), p.nick, p.city, p.country, p.sex, p.score, p.kon, p.rating});
  }

  void BookTourneyGame(int64_t gid, const std::array<std::string, kSeatsPerTable>& nicks,
                       const std::array<int64_t, kSeatsPerTable>& totals, int64_t deals) override {
    auto c = pool_->Acquire();
    InTransaction(*c, [&] {
      for (int s = 0; s < kSeatsPerTable; ++s) {
        // The update takes the player's row before it is read back, so two bookings of one
        // player add up.
        auto rows = c->Query(
            "UPDATE tourney_players SET score = score + ?, kon = kon + ? "
            "WHERE gid = ? AND nick_key = ? RETURNING score, kon",
            {totals[s], deals, gid, Key(nicks[s])});
        if (rows.empty()) {
          // A first game: the player's figures start from the account's.
          TourneyPlayer p;
          p.nick = nicks[s];
          auto account = c->Query("SELECT city, country1, sex FROM accounts WHERE nick_key = ?",
                                  {Key(nicks[s])});
          if (!account.empty()) {
            p.city = account[0].Text(0);
            p.country = account[0].Text(1).empty() ? "X" : account[0].Text(1);
            p.sex = account[0].Text(2);
          }
          p.score = totals[s];
          p.kon = deals;
          p.rating = PerHundred(p.score, p.kon);
          c->Execute(
              "INSERT INTO tourney_players (gid, nick_key, nick, city, country, sex, score, kon, "
              "rating) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
              {gid, Key(p.nick), p.nick, p.city, p.country, p.sex, p.score, p.kon, p.rating});
          continue;
        }
        c->Execute("UPDATE tourney_players SET rating = ? WHERE gid = ? AND nick_key = ?",
                   {PerHundred(rows[0].Int(0), rows[0].Int(1)), gid, Key(nicks[s])});
      }
    });
  }

  std::vector<TourneyPlayer> TopTourney(int64_t gid, char selector, int limit) override {
    auto c = pool_->Acquire();
    // The three orders are three fixed statements: a column name is never taken from a request.
    const char* sql =
        selector == 'r'
            ? "SELECT nick, city, country, sex, score, kon, rating FROM tourney_players "
              "WHERE gid = ? ORDER BY rating DESC, nick_key ASC LIMIT ?"
        : selector == 'k'
            ? "SELECT nick, city, country, sex, score, kon, rating FROM tourney_players "
              "WHERE gid = ? ORDER BY kon DESC, nick_key ASC LIMIT ?"
            : "SELECT nick, city, country, sex, score, kon, rating FROM tourney_players "
              "WHERE gid = ? ORDER BY score DESC, nick_key ASC LIMIT ?";
    std::vector<TourneyPlayer> out;
    for (const auto& r : c->Query(sql, {gid, int64_t{limit}})) out.push_back(PlayerFromRow(r));
    return out;
  }

  int64_t TourneyPlace(int64_t gid, char selector, int64_t value) override {
    auto c = pool_->Acquire();
    const char* sql =
        selector == 'r'   ? "SELECT COUNT(*) FROM tourney_players WHERE gid = ? AND rating > ?"
        : selector == 'k' ? "SELECT COUNT(*) FROM tourney_players WHERE gid = ? AND kon > ?"
                          : "SELECT COUNT(*) FROM tourney_players WHERE gid = ? AND score > ?";
    return 1 + c->Query(sql, {gid, value}).at(0).Int(0);
  }

  void Prune(int64_t day, int64_t since) override {
    auto c = pool_->Acquire();
    c->Execute("DELETE FROM claims WHERE day < ?", {day});
    c->Execute("DELETE FROM sign_ins WHERE at < ?", {since});
    c->Execute("DELETE FROM held_transfers WHERE at < ?", {since});
    c->Execute("DELETE FROM seat_releases WHERE at < ?", {since});
  }

 private:
  static TourneyPlayer PlayerFromRow(const SqlRow& r) {
    TourneyPlayer p;
    p.nick = r.Text(0);
    p.city = r.Text(1);
    p.country = r.Text(2);
    p.sex = r.Text(3);
    p.score = r.Int(4);
    p.kon = r.Int(5);
    p.rating = r.Int(6);
    return p;
  }

  static void EnsureStats(SqlConnection& c, int64_t gid) {
    c.Execute(
        "INSERT INTO stats (gid, stat1, stat2, stat3, stat4, c1, c2, c3, c4, c5, c6, c7, c8, c9, "
        "c10, c11, c12, stat_y, stat_z) VALUES (?, 0, 0, 0, '', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "
        "0, 0, '') ON CONFLICT (gid) DO NOTHING",
        {gid});
  }

  static int64_t InsertRecord(SqlConnection& c, const WorldRecord& w) {
    return c
        .Query(
            "INSERT INTO records (gid, score, nick, nick_key, country, city, r07, r08, r09, r10) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING rid",
            {w.gid, w.score, w.nick, Key(w.nick), w.country, w.city, w.r07, w.r08, w.r09, w.r10})
        .at(0)
        .Int(0);
  }

  // Higher scores first; of equal scores the earlier entry.
  static int64_t PlaceOf(SqlConnection& c, const WorldRecord& w) {
    return 1 + c.Query(
                    "SELECT COUNT(*) FROM records WHERE gid = ? AND (score > ? OR "
                    "(score = ? AND rid < ?))",
                    {w.gid, w.score, w.score, w.rid})
                   .at(0)
                   .Int(0);
  }

  std::unique_ptr<SqlPool> pool_;
};

}  // namespace

std::unique_ptr<ClubStore> MakeSqlClubStore(std::unique_ptr<SqlPool> pool) {
  return std::make_unique<SqlClubStore>(std::move(pool));
}

}  // namespace trilane::club
