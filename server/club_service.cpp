#include "server/club_service.h"

#include <cmath>
#include <ctime>

#include "base/codepage.h"
#include "records/address_cipher.h"
#include "server/text_rules.h"

namespace trilane::club {
namespace {

constexpr char kFail[] = "err";
constexpr char kRefused[] = "no";
constexpr char kOk[] = "ok";
constexpr char kTaken[] = "is";
constexpr char kStatsOk[] = "$ ok#";
constexpr char kStatsFail[] = "$ err#";
// An empty list: no "$", so the program keeps its reset entries.
constexpr char kEmptyList[] = "#";
constexpr int kListLength = 10;

// A refusal: its reply and why.
ClubService::Outcome Refuse(const char* reply, const char* reason) {
  return {reply, reason};
}

std::string Number(int64_t n) {
  return "$" + std::to_string(n) + "$";
}

int64_t Day(int64_t now) {
  return now / 86400;
}

const std::string& Field(const Request& r, std::string_view key) {
  static const std::string kEmpty;
  const std::string* v = r.Find(key);
  return v ? *v : kEmpty;
}

bool Has(const Request& r, std::string_view key) {
  return r.Find(key) != nullptr;
}

std::optional<int64_t> IntField(const Request& r, std::string_view key, int64_t low, int64_t high) {
  const std::string* v = r.Find(key);
  if (!v) return std::nullopt;
  return ParseInteger(*v, low, high);
}

bool KnownTable(int64_t gid) {
  return gid == kWindowsTableId || gid == kAndroidTableId || gid == kAccountTableId ||
         gid == kBoardId;
}

// A blank inside a reply word would split the field: welcome texts write "_" instead.
std::string Underscored(std::string text) {
  for (char& c : text) {
    if (c == ' ') c = '_';
  }
  return text;
}

}  // namespace

std::string TourneySettings::AddressOf(int table) const {
  const std::string& own = tableAddress.at(table - 1);
  return own.empty() ? address : own;
}

int TourneySettings::PortOf(int table) const {
  const int own = tablePort.at(table - 1);
  return own ? own : basePort + table;
}

std::string RegistrationDate(int64_t now) {
  const std::time_t t = static_cast<std::time_t>(now);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", tm.tm_mday, tm.tm_mon + 1,
                tm.tm_year + 1900);
  return buffer;
}

std::string DirectoryText(std::string_view origin, bool worldTopPaused, bool chatPaused) {
  const std::string base(origin);
  std::string text;
  text += "StatPath=" + EncipherAddress(base + "/scripts/stats", kSettingsAddressKey) + "#";
  text += "AccPath=" + EncipherAddress(base + "/scripts/account", kAccountAddressKey) + "#";
  text += "WTGamesPatt=" + EncipherAddress(base + "/scripts/worldtop", kSettingsAddressKey) + "#";
  if (worldTopPaused) text += "WTGamesPause=1#";
  if (chatPaused) text += "CTGamesPause=1#";
  return text;
}

ClubService::ClubService(ClubStore& store, PasswordHasher& hasher, ServiceLimits limits)
    : store_(store), hasher_(hasher), limits_(limits) {}

void ClubService::SetTourney(const TourneySettings& tourney) {
  std::lock_guard lock(tourneyMutex_);
  tourney_ = tourney;
}

TourneySettings ClubService::Tourney() const {
  std::lock_guard lock(tourneyMutex_);
  return tourney_;
}

std::string ClubService::Handle(Script script, std::string_view body, std::string_view address,
                                int64_t now) {
  return Answer(script, body, address, now).reply;
}

ClubService::Outcome ClubService::Answer(Script script, std::string_view body,
                                         std::string_view address, int64_t now) {
  std::string reason;
  auto request = ParseRequest(script, body, &reason);
  if (!request) return {kFail, reason};
  Outcome out;
  try {
    out = Dispatch(*request, address, now);
  } catch (const HasherBusy& e) {
    out = {kFail, e.what()};
  } catch (const std::exception& e) {
    out = {kFail, std::string("store: ") + e.what()};
  }
  // Everything is kept as UTF-8; the program reads its replies in code page 1251.
  out.reply = Utf8ToCp1251(out.reply, '?').value_or(kFail);
  return out;
}

ClubService::Outcome ClubService::Dispatch(const Request& r, std::string_view address,
                                           int64_t now) {
  switch (r.call) {
    case Call::RegisterUser:
      return RegisterUser(r, address, now);
    case Call::ReadUser:
      return ReadUser(r, address, now);
    case Call::ReadTopTen:
      return ReadTopTen();
    case Call::RatingPlace:
      return RatingPlace(r);
    case Call::ClubMembers:
      return Number(store_.CountAccounts());
    case Call::ReadQors:
      return ReadQors(r);
    case Call::SaveQors:
      return SaveQors(r, address, now);
    case Call::ReadInfo:
      return ReadInfo(r);
    case Call::SaveInfo:
      return SaveInfo(r, address, now);
    case Call::ReadBest:
      return ReadBest(r, address, now);
    case Call::SaveBest:
      return SaveBest(r, address, now);
    case Call::RecordCount:
      return RecordCount(r);
    case Call::ReadRecords:
      return ReadRecords(r, false);
    case Call::ReadMyRecords:
      return ReadRecords(r, true);
    case Call::SaveRecord:
      return SaveRecord(r, address, now);
    case Call::ReadStats:
      return ReadStats(r);
    case Call::CountStart:
      return CountStart(r, address, now);
    case Call::Like:
      return Like(r, address, now);
    case Call::SaveGameStats:
      return SaveGameStats(r, address, now);
    case Call::ReadTables:
      return ReadTables(r, now);
    case Call::TakeSeat:
      return TakeSeat(r, address, now);
    case Call::ReadSeat:
      return ReadSeat(r);
    case Call::ReadServerInfo:
      return ReadServerInfo(r);
    case Call::ReadRating:
      return ReadRating(r);
    case Call::ReadOnlineTop:
      return ReadOnlineTop(r);
    case Call::OnlinePlace:
      return OnlinePlace(r);
  }
  return kFail;
}

// ---- Accounts ----

ClubService::Outcome ClubService::RegisterUser(const Request& r, std::string_view address,
                                               int64_t now) {
  Account a;
  a.nick = Field(r, "nick");
  const std::string& password = Field(r, "pw");
  a.city = Field(r, "city");
  a.country1 = Field(r, "country1");
  a.country2 = Field(r, "country2");
  a.sex = Field(r, "sex");
  a.email = Field(r, "email");
  if (!IsAccountNick(a.nick) || !IsPassword(password) || !IsCity(a.city) ||
      a.country1.empty() || !IsCountryName(a.country1) || !IsCountryCode(a.country2) || !IsSex(a.sex) ||
      !IsEmail(a.email)) {
    return Refuse(kFail, "registration field out of its rules");
  }
  for (const char* key : {"R01", "R02", "R03"}) {
    if (Has(r, key) && !IsReplyWord(Field(r, key), 20)) {
      return Refuse(kFail, "registration text field out of its rules");
    }
  }
  if (Has(r, "R01")) a.r01 = Field(r, "R01");
  if (Has(r, "R02")) a.r02 = Field(r, "R02");
  if (Has(r, "R03")) a.r03 = Field(r, "R03");
  // The balance and the counters start at 0 and the date is the service's own, whatever the
  // program claims.
  a.dateRegistered = RegistrationDate(now);
  if (store_.FindAccount(a.nick)) return kTaken;
  if (!store_.CountClaim("register", address, Day(now), limits_.registrationsPerDay)) {
    return Refuse(kFail, "too many registrations from this address today");
  }
  a.passwordHash = hasher_.Hash(password);
  if (a.passwordHash.empty()) return Refuse(kFail, "password hashing failed");
  return store_.CreateAccount(a) == ClubStore::CreateResult::Created ? kOk : kTaken;
}

// Hashing a password costs real time and memory, so an address gets a daily number of
// checks that are not answered from memory: guessing passwords, or keeping the hashers busy,
// stops there.
std::optional<Account> ClubService::Authenticate(const Request& r, std::string_view address,
                                                 int64_t now) {
  const std::string& nick = Field(r, "nick");
  const std::string& password = Field(r, "pw");
  if (!IsAccountNick(nick) || !IsPassword(password)) return std::nullopt;
  auto account = store_.FindAccount(nick);
  if (!account) return std::nullopt;
  const std::string key = NickKey(nick);
  if (!hasher_.Remembered(key, password, account->passwordHash, now)) {
    if (store_.ClaimCount("wrongpw", address, Day(now)) >= limits_.wrongPasswordsPerDay ||
        !store_.CountClaim("password", std::string(address) + " " + key, Day(now),
                           limits_.passwordChecksPerDay)) {
      // Refused like a wrong password: the caller learns nothing of the count.
      return std::nullopt;
    }
    {
      std::lock_guard lock(hashingMutex_);
      if (!hashing_.emplace(address).second) throw HasherBusy();
    }
    bool proven = false;
    try {
      proven = hasher_.Verify(key, password, account->passwordHash, now);
    } catch (...) {
      std::lock_guard lock(hashingMutex_);
      hashing_.erase(hashing_.find(address));
      throw;
    }
    {
      std::lock_guard lock(hashingMutex_);
      hashing_.erase(hashing_.find(address));
    }
    if (!proven) {
      store_.CountClaim("wrongpw", address, Day(now), limits_.wrongPasswordsPerDay);
      return std::nullopt;
    }
  }
  // A hash made weaker than this service makes them (a club started with fast hashes) is
  // made again now that the password is at hand; a busy hasher leaves it for a later sign-in.
  if (hasher_.NeedsRehash(account->passwordHash)) {
    try {
      std::string stronger = hasher_.Hash(password);
      if (!stronger.empty() && store_.ReplacePasswordHash(nick, account->passwordHash, stronger)) {
        hasher_.Remember(key, password, stronger, now);
        account->passwordHash = std::move(stronger);
      }
    } catch (const HasherBusy&) {
    }
  }
  return account;
}

bool ClubService::Vouched(std::string_view nick, std::string_view address, int64_t now) {
  return IsAccountNick(nick) && store_.SignedInSince(nick, address, now - limits_.signInSeconds);
}

bool ClubService::VouchedAlone(std::string_view nick, std::string_view address, int64_t now) {
  if (!Vouched(nick, address, now)) return false;
  const auto nicks = store_.NicksSignedIn(address, now - limits_.signInSeconds, 2);
  return nicks.size() == 1 && nicks[0] == NickKey(nick);
}

std::optional<std::string> ClubService::SoleNick(std::string_view address, int64_t now) {
  auto nicks = store_.NicksSignedIn(address, now - limits_.signInSeconds, 2);
  if (nicks.size() != 1) return std::nullopt;
  return std::move(nicks[0]);
}

ClubService::Outcome ClubService::ReadUser(const Request& r, std::string_view address,
                                           int64_t now) {
  auto a = Authenticate(r, address, now);
  if (!a) return Refuse(kRefused, "sign-in refused");
  store_.NoteSignIn(a->nick, address, now);
  return "$" + a->city + " " + a->country1 + " " + a->country2 + " " + a->sex + " " + a->email +
         " " + a->dateRegistered + " " + a->r01 + " " + a->r02 + " " + a->r03 + " " +
         std::to_string(a->qors) + " " + std::to_string(a->r05) + " " + std::to_string(a->r06) +
         "$";
}

ClubService::Outcome ClubService::ReadTopTen() {
  std::string reply;
  int place = 0;
  for (const RatedPlayer& p : store_.TopRated(kGameLabel, kListLength)) {
    reply += "$" + std::to_string(++place) + " " + p.nick + " " + p.city + " " + p.country1 + " " +
             p.country2 + " " + p.sex + " " + FormatReal(p.rating) + "*";
  }
  return reply.empty() ? kEmptyList : reply;
}

ClubService::Outcome ClubService::RatingPlace(const Request& r) {
  auto rating = ParseReal(Field(r, std::string(kGameLabel) + "rating"), 1e9);
  if (!rating) return Refuse(kFail, "rating is not a number");
  return Number(store_.RatingPlace(kGameLabel, *rating));
}

ClubService::Outcome ClubService::ReadQors(const Request& r) {
  const std::string& nick = Field(r, "nick");
  if (!IsAccountNick(nick)) return Refuse(kRefused, "not a nick");
  auto a = store_.FindAccount(nick);
  if (!a) return Refuse(kRefused, "no such account");
  return Number(a->qors);
}

// The balance call carries no password. What it may do:
//  - take Qors (a negative amount) only from the one nick that signed in from the same
//    address (when several did, the call could be any of them), a limited number of times a
//    day, and never below 0; when it follows a credit that nick announced for the same
//    amount, the amount goes to that recipient (a transfer), otherwise it is spent;
//  - give Qors (a positive amount) to the nick that signed in from this address only as the
//    bonus its last world place earned; to anyone else only as the credit half of a transfer
//    from the one nick signed in here, held until that sender's debit arrives and then paid
//    from it.
ClubService::Outcome ClubService::SaveQors(const Request& r, std::string_view address,
                                           int64_t now) {
  const std::string& nick = Field(r, "nick");
  auto amount = IntField(r, "R04", -kMaxQorsMove, kMaxQorsMove);
  if (!IsAccountNick(nick) || !amount || *amount == 0) return Refuse(kFail, "bad balance change");
  if (!store_.CountClaim("qors", address, Day(now), limits_.qorsMovesPerDay)) {
    return Refuse(kFail, "too many balance changes from this address today");
  }
  if (*amount < 0) {
    if (!VouchedAlone(nick, address, now)) {
      return Refuse(kFail, "debit without a sign-in of this nick alone at this address");
    }
    if (!store_.CountClaim("debit", NickKey(nick), Day(now), limits_.debitsPerDay)) {
      return Refuse(kFail, "too many debits of this account today");
    }
    if (auto recipient = store_.TakeHeldCredit(nick, -*amount, now - limits_.heldCreditSeconds)) {
      return store_.TransferQors(nick, *recipient, -*amount) ? kOk
                                                             : Refuse(kFail, "transfer refused");
    }
    return store_.AddQors(nick, *amount) ? kOk : Refuse(kFail, "balance too small");
  }
  if (Vouched(nick, address, now) && store_.PayBonus(nick, *amount)) return kOk;
  if (!store_.FindAccount(nick)) return Refuse(kFail, "no such recipient");
  const auto sender = SoleNick(address, now);
  if (!sender) return Refuse(kFail, "credit without one sender signed in at this address");
  store_.HoldCredit(*sender, nick, *amount, now);
  return kOk;
}

ClubService::Outcome ClubService::ReadInfo(const Request& r) {
  const std::string& nick = Field(r, "nick");
  if (!IsAccountNick(nick)) return Refuse(kRefused, "not a nick");
  auto p = store_.ReadProfile(nick);
  if (!p) return Refuse(kRefused, "no such account");
  std::string reply = "$";
  for (int i = 0; i < kProfileFields; ++i) {
    if (i) reply += "~";
    reply += (*p)[i];
  }
  return reply + "$";
}

ClubService::Outcome ClubService::SaveInfo(const Request& r, std::string_view address,
                                           int64_t now) {
  static constexpr std::pair<const char*, size_t> kFields[kProfileFields] = {
      {"namei", 20},    {"name2", 20},   {"about", 50},      {"telephone", 20}, {"emailo", 50},
      {"website", 50},  {"skype", 50},   {"ok", 50},         {"vk", 50},        {"telegram", 50},
      {"facebook", 60}, {"twitter", 50}, {"instagramm", 50}, {"youtube", 50}};
  const std::string& nick = Field(r, "nick");
  if (!VouchedAlone(nick, address, now)) {
    return Refuse(kFail, "profile change without a sign-in of this nick alone at this address");
  }
  Profile p;
  for (int i = 0; i < kProfileFields; ++i) {
    auto text = CleanProfileText(Field(r, kFields[i].first), kFields[i].second);
    if (!text) return Refuse(kFail, "profile field too long or not code page 1251");
    p[i] = std::move(*text);
  }
  store_.SaveProfile(nick, p);
  return kOk;
}

ClubService::Outcome ClubService::ReadBest(const Request& r, std::string_view address,
                                           int64_t now) {
  auto a = Authenticate(r, address, now);
  if (!a) return Refuse(kRefused, "best results without the password");
  const GameResults g = store_.ReadResults(a->nick, kGameLabel);
  return "$" + std::to_string(g.kon) + " " + std::to_string(g.best) + " " + FormatReal(g.rating) +
         " " + std::to_string(g.sessions) + " " + std::to_string(g.cycleGames) + " " +
         std::to_string(g.cycleScore) + " " + std::to_string(g.r1) + " " + g.r2 + "$";
}

// The results travel whole, but only two changes are possible in the game: the pre-charge
// before a rated match (four more games booked as a loss of 40 points, the cycle emptied) and
// the booking after it (the 40 points returned, the match score booked, the cycle carried on
// or completed). Anything else is refused, so a client cannot write itself a rating.
ClubService::Outcome ClubService::SaveBest(const Request& r, std::string_view address,
                                           int64_t now) {
  auto a = Authenticate(r, address, now);
  if (!a) return Refuse(kFail, "results without the password");
  auto key = [](const char* k) { return std::string(kGameLabel) + k; };
  auto kon = IntField(r, key("kon"), 0, 1'000'000'000);
  auto best = IntField(r, key("best"), -1'000'000'000, 1'000'000'000);
  auto rating = ParseReal(Field(r, key("rating")), 1e9);
  auto sessions = IntField(r, key("ses"), 0, 1'000'000'000);
  auto konl = IntField(r, key("konl"), 0, kCycleLength);
  auto score = IntField(r, key("score"), -1'000'000'000, 1'000'000'000);
  auto r1 = IntField(r, key("R1"), -1'000'000'000, 1'000'000'000);
  const std::string& r2 = Field(r, key("R2"));
  if (!kon || !best || !rating || !sessions || !konl || !score || !r1 || !IsReplyWord(r2, 20)) {
    return Refuse(kFail, "results field out of range");
  }
  const GameResults before = store_.ReadResults(a->nick, kGameLabel);
  GameResults g = before;
  const double k = static_cast<double>(g.kon);
  auto near = [](double x, double y) {
    return std::fabs(x - y) <= 1e-6 * std::max(1.0, std::fabs(y));
  };

  if (*kon == g.kon + kMatchLength) {
    // Pre-charge: R1 = (K (R - K/80) - 40) / K1 + K1/80.
    const double k1 = k + kMatchLength;
    const double expected =
        (k * (g.rating - k / kCycleLength) - kPreCharge) / k1 + k1 / kCycleLength;
    if (!near(*rating, expected) || *konl != 0 || *score != 0 || *sessions != g.sessions ||
        *best != g.best) {
      return Refuse(kFail, "pre-charge does not follow from the stored results");
    }
    if (!store_.CountClaim("rated", NickKey(a->nick), Day(now), limits_.ratedMatchesPerDay)) {
      return Refuse(kFail, "too many rated matches of this account today");
    }
    g.openCycleGames = g.cycleGames;
    g.openCycleScore = g.cycleScore;
    g.matchOpen = true;
    g.kon = *kon;
    g.rating = *rating;
    g.cycleGames = 0;
    g.cycleScore = 0;
  } else if (*kon == g.kon && g.matchOpen && g.kon > 0) {
    // Booking: m = K1 (R2 - K1/80) - 40 - K1 (R1 - K1/80).
    const double m =
        k * (*rating - k / kCycleLength) - kPreCharge - k * (g.rating - k / kCycleLength);
    const double rounded = std::round(m);
    if (std::fabs(m - rounded) > 1e-3 || std::fabs(rounded) > kMaxMatchPoints) {
      return Refuse(kFail, "booked rating implies an impossible match score");
    }
    const int64_t matchScore = static_cast<int64_t>(rounded);
    const int64_t c = g.openCycleGames;
    const int64_t b = g.openCycleScore + matchScore;
    if (c + kMatchLength >= kCycleLength) {
      if (*konl != 0 || *score != 0 || *sessions != g.sessions + 1 ||
          *best != std::max(g.best, b)) {
        return Refuse(kFail, "completed cycle does not follow from the match");
      }
      g.completedCycle = b;
    } else if (*konl != c + kMatchLength || *score != b || *sessions != g.sessions ||
               *best != g.best) {
      return Refuse(kFail, "cycle does not follow from the match");
    }
    g.matchOpen = false;
    g.rating = *rating;
    g.cycleGames = *konl;
    g.cycleScore = *score;
    g.sessions = *sessions;
    g.best = *best;
  } else {
    return Refuse(kFail, "results change is neither a pre-charge nor a booking");
  }
  g.r1 = *r1;
  g.r2 = r2;
  // Two calls that read the same results (one pre-charge sent twice at once) book once: the
  // second finds them changed and is refused.
  if (!store_.SaveResults(a->nick, kGameLabel, before, g)) {
    return Refuse(kFail, "results changed by another call meanwhile");
  }
  return kOk;
}

// ---- World tables and the message board ----

ClubService::Outcome ClubService::RecordCount(const Request& r) {
  auto gid = IntField(r, "rgid", 0, 1'000'000);
  if (!gid || !KnownTable(*gid)) return Refuse(kFail, "unknown table");
  return Number(store_.CountRecords(*gid));
}

ClubService::Outcome ClubService::ReadRecords(const Request& r, bool own) {
  auto gid = IntField(r, "gid", 0, 1'000'000);
  if (!gid || !KnownTable(*gid)) return Refuse(kFail, "unknown table");
  std::vector<WorldRecord> records;
  if (own) {
    const std::string& nick = Field(r, "nick");
    const std::string& city = Field(r, "city");
    if (!IsPassportNick(nick) || !IsCity(city)) return kEmptyList;
    records = store_.PlayerRecords(*gid, nick, city, kListLength);
  } else {
    records = store_.TopRecords(*gid, kListLength);
  }
  std::string reply;
  for (const WorldRecord& w : records) {
    reply += "$" + std::to_string(w.place) + " " + std::to_string(w.rid) + " " +
             std::to_string(w.score) + " " + w.nick + " " + w.country + " " + w.city + " " + w.r07 +
             " " + w.r08 + " " + w.r09 + " " + w.r10 + "*";
  }
  return reply.empty() ? kEmptyList : reply;
}

ClubService::Outcome ClubService::SaveRecord(const Request& r, std::string_view address,
                                             int64_t now) {
  auto gid = IntField(r, "gid", 0, 1'000'000);
  if (!gid || !KnownTable(*gid)) return Refuse(kFail, "unknown table");
  WorldRecord w;
  w.gid = *gid;
  w.nick = Field(r, "nick");
  w.city = Field(r, "city");
  w.country = Field(r, "country");
  w.r07 = Field(r, "R7");
  // The unused texts are "#"; a client that leaves them out means the same.
  w.r08 = Has(r, "R8") ? Field(r, "R8") : "#";
  w.r09 = Has(r, "R9") ? Field(r, "R9") : "#";
  w.r10 = Has(r, "R10") ? Field(r, "R10") : "#";
  // The program closes the last text with "*", the entry terminator of the list replies.
  if (!w.r10.empty() && w.r10.back() == '*') w.r10.pop_back();
  if (!IsPassportNick(w.nick) || !IsCity(w.city) ||
      !(IsCountryCode(w.country) || IsCountryName(w.country)) || !IsSex(w.r07) ||
      !IsReplyWord(w.r08, 10) || !IsReplyWord(w.r09, 80) || !IsReplyWord(w.r10, 200)) {
    return Refuse(kFail, "record field out of its rules");
  }
  if (w.country.empty()) w.country = "#";
  if (*gid == kBoardId) {
    // The message number is the board's own (highest + 1), so two messages sent at once
    // never share one. The text holds only the board's characters; blanks come as "_".
    if (!IsBoardText(w.r10)) {
      return Refuse(kFail, "message holds characters the board does not show");
    }
    // A message under a member's nick comes from where that member signed in, as every
    // call without a password for a nick does.
    if (store_.FindAccount(w.nick) && !Vouched(w.nick, address, now)) {
      return Refuse(kFail, "message under a member's nick without a sign-in");
    }
    if (!store_.CountClaim("board", address, Day(now), limits_.messagesPerDay)) {
      return Refuse(kFail, "too many messages from this address today");
    }
    return Number(store_.AddBoardMessage(w, limits_.boardKeep).place);
  }
  if (*gid == kAccountTableId) {
    // An account's table takes one entry per cycle the account completed, from an address
    // where it signed in, with the score the service booked for that cycle: the score the
    // request names is not looked at.
    if (!Vouched(w.nick, address, now)) return Refuse(kFail, "account entry without a sign-in");
    const auto cycleScore = store_.TakeCycleEntry(w.nick, kGameLabel);
    if (!cycleScore) return Refuse(kFail, "no completed cycle to enter");
    w.score = *cycleScore;
    WorldRecord added = store_.AddRecord(w);
    if (const int64_t bonus = CycleBonus(added.place)) store_.SetBonus(w.nick, bonus);
    return Number(added.place);
  }
  auto score = IntField(r, "score", -kCycleLength * kMaxDealPoints, kCycleLength * kMaxDealPoints);
  if (!score) return Refuse(kFail, "cycle score out of range");
  w.score = *score;
  if (!store_.CountClaim("result", address, Day(now), limits_.resultsPerDay)) {
    return Refuse(kFail, "too many results from this address today");
  }
  return Number(store_.AddRecord(w).place);
}

// ---- Statistics ----

ClubService::Outcome ClubService::ReadStats(const Request& r) {
  auto gid = IntField(r, "gid", 0, 1'000'000);
  if (!gid || *gid != kWindowsTableId) return Refuse(kFail, "unknown statistics");
  const GameStats s = store_.ReadStats(*gid);
  std::string reply = "$" + std::to_string(s.starts) + " " + std::to_string(s.uniqueStarts) + " " +
                      std::to_string(s.likes) + " " + s.lastLike;
  for (int64_t c : s.counters) reply += " " + std::to_string(c);
  return reply + " " + std::to_string(s.statY) + " " + s.statZ + "*";
}

ClubService::Outcome ClubService::CountStart(const Request& r, std::string_view address,
                                             int64_t now) {
  auto gid = IntField(r, "gid", 0, 1'000'000);
  auto starts = IntField(r, "stat1", 0, 1);
  auto unique = IntField(r, "stat2", 0, 1);
  if (!gid || *gid != kWindowsTableId || !starts || !unique)
    return Refuse(kStatsFail, "bad start count");
  // Counted within the daily limits of the address; a start over them is acknowledged but
  // not counted, so one machine cannot inflate the figures.
  const int64_t day = Day(now);
  const int64_t s =
      *starts && store_.CountClaim("start", address, day, limits_.startsPerDay) ? 1 : 0;
  const int64_t u =
      *unique && store_.CountClaim("unique", address, day, limits_.uniqueStartsPerDay) ? 1 : 0;
  if (s || u) store_.AddStats(*gid, s, u, {});
  return kStatsOk;
}

ClubService::Outcome ClubService::Like(const Request& r, std::string_view address, int64_t now) {
  auto gid = IntField(r, "gid", 0, 1'000'000);
  auto likes = IntField(r, "stat3", 1, 1);
  const std::string& name = Field(r, "stat4");
  if (!gid || *gid != kWindowsTableId || !likes || !IsPassportNick(name)) {
    return Refuse(kStatsFail, "bad like");
  }
  if (!store_.CountClaim("like", address, Day(now), limits_.likesPerDay)) {
    return Refuse(kStatsFail, "this address liked the game today already");
  }
  store_.AddLike(*gid, name);
  return kStatsOk;
}

ClubService::Outcome ClubService::SaveGameStats(const Request& r, std::string_view address,
                                                int64_t now) {
  auto gid = IntField(r, "gid", 0, 1'000'000);
  if (!gid || *gid != kWindowsTableId) return Refuse(kStatsFail, "unknown statistics");
  std::array<int64_t, 12> k{};
  for (int i = 0; i < 12; ++i) {
    auto v = IntField(r, "R" + std::to_string(i + 1), 0, 1'000'000);
    if (!v) return Refuse(kStatsFail, "counter is not a number in range");
    k[i] = *v;
  }
  // One match: games with the computer, at most one cycle, points won or lost in those games
  // (not both), 4 network games or 1 online game, and nothing in the unused counters.
  const bool valid = k[0] <= kCycleLength && k[1] <= 1 && (k[1] == 0 || k[0] > 0) &&
                     k[2] <= k[0] * kMaxDealPoints && k[3] <= k[0] * kMaxDealPoints &&
                     (k[2] == 0 || k[3] == 0) && (k[4] == 0 || k[4] == kMatchLength) && k[5] <= 1 &&
                     k[6] == 0 && k[7] == 0 && k[8] == 0 && k[9] == 0 && k[10] == 0 && k[11] == 0;
  if (!valid) return Refuse(kStatsFail, "counters the game cannot produce in one match");
  if (!store_.CountClaim("gamestats", address, Day(now), limits_.gameStatsPerDay)) {
    return Refuse(kStatsFail, "too many matches from this address today");
  }
  store_.AddStats(*gid, 0, 0, k);
  return kStatsOk;
}

// ---- Tournament ----

namespace {

std::string SeatFields(const Seat& s) {
  return s.nick + " " + std::to_string(s.score) + " " + std::to_string(s.kon) + " " +
         std::to_string(s.rating) + " " + (s.country.empty() ? "X" : s.country) + " " + s.city +
         " " + s.sex + " " + s.ip;
}

bool TourneyIds(const Request& r) {
  auto gid = IntField(r, "gid", 0, 1'000'000);
  return gid && *gid == kTourneyGameId;
}

}  // namespace

ClubService::Outcome ClubService::ReadTables(const Request& r, int64_t now) {
  if (!TourneyIds(r) || r.keyGameId != kTourneyGameId) return Refuse(kFail, "unknown tournament");
  auto tables = store_.ReadTables(kTourneyGameId);
  // Seats nobody gave up (a game played out, a program that died) are freed after a while.
  for (int t = 0; t < kTourneyTables; ++t) {
    for (int s = 0; s < kSeatsPerTable; ++s) {
      Seat& seat = tables[t][s];
      if (!seat.Free() && seat.takenAt < now - limits_.seatSeconds) {
        if (store_.ClearSeat(kTourneyGameId, t + 1, s + 1, seat.nick)) seat = Seat{};
      }
    }
  }
  const TourneySettings tourney = Tourney();
  std::string reply;
  for (int t = kTourneyTables; t >= 1; --t) {
    const TableSeats& seats = tables[t - 1];
    int free = 0;
    for (const Seat& s : seats) free += s.Free() ? 1 : 0;
    reply += "$" + std::to_string(t) + " " + tourney.AddressOf(t) + " " +
             std::to_string(tourney.PortOf(t)) + " " + std::to_string(free) + " " +
             std::to_string(kSeatsPerTable) + " X";
    for (const Seat& s : seats) reply += " " + SeatFields(s);
    reply += "*";
  }
  return reply;
}

// Taking and giving up seats carries no password either. A seat is taken only for a nick that
// signed in from the caller's address (and no other nick did there), in order (seat 1 first),
// once per nick, and with the service's own figures for that player; the address stored is
// the caller's as the service sees it. A seat is freed by its holder, or by an address that
// has just given up a lower seat of the same table when the seat was taken from that same
// address too (the program frees the seats above its own for players at its machine).
ClubService::Outcome ClubService::TakeSeat(const Request& r, std::string_view address,
                                           int64_t now) {
  const std::string s = std::to_string(r.seat);
  auto table = IntField(r, "num", 1, kTourneyTables);
  auto can = IntField(r, "can", 0, 2);
  if (!TourneyIds(r) || !table || !can || r.seat < 1 || r.seat > kSeatsPerTable ||
      (r.tableSize != 0 && r.tableSize != kSeatsPerTable)) {
    return Refuse(kFail, "no such seat");
  }
  auto tables = store_.ReadTables(kTourneyGameId);
  const TableSeats& seats = tables[*table - 1];
  const Seat& current = seats[r.seat - 1];

  if (*can != 1) {
    if (current.Free()) return kOk;
    const int released = store_.ReleasedSeat(address, kTourneyGameId, static_cast<int>(*table),
                                             now - limits_.releaseSeconds);
    const bool holder = VouchedAlone(current.nick, address, now);
    const bool aboveOwn = released >= 1 && released < r.seat && current.ip == address;
    if (!holder && !aboveOwn) {
      return Refuse(kFail, "seat held by someone else");
    }
    if (!store_.ClearSeat(kTourneyGameId, static_cast<int>(*table), r.seat, current.nick)) {
      return Refuse(kFail, "seat changed hands meanwhile");
    }
    if (holder) {
      store_.NoteRelease(address, kTourneyGameId, static_cast<int>(*table), r.seat, now);
    }
    return kOk;
  }

  if (!Tourney().serverOn) return Refuse(kFail, "tournament server is off");
  const std::string& nick = Field(r, "nick" + s);
  if (!current.Free()) return kTaken;
  if (!VouchedAlone(nick, address, now)) {
    return Refuse(kFail, "seat without a sign-in of this nick alone at this address");
  }
  if (r.seat > 1 && seats[r.seat - 2].Free()) return Refuse(kFail, "seats are taken in order");
  const std::string key = NickKey(nick);
  for (int t = 0; t < kTourneyTables; ++t) {
    int taken = 0;
    bool here = false;
    for (const Seat& seat : tables[t]) {
      taken += seat.Free() ? 0 : 1;
      here = here || (!seat.Free() && NickKey(seat.nick) == key);
    }
    if (!here) continue;
    // A full table has played its game: its first player to sit down again frees it.
    if (taken < kSeatsPerTable) return Refuse(kFail, "nick holds a seat already");
    store_.ClearTable(kTourneyGameId, t + 1);
  }
  auto account = store_.FindAccount(nick);
  if (!account) return Refuse(kFail, "no such account");
  Seat seat;
  seat.nick = account->nick;
  if (auto p = store_.ReadTourneyPlayer(kTourneyGameId, nick)) {
    seat.score = p->score;
    seat.kon = p->kon;
    seat.rating = p->rating;
  }
  seat.country = account->country1.empty() ? "X" : account->country1;
  seat.city = account->city;
  seat.sex = account->sex;
  seat.ip = std::string(address);
  seat.takenAt = now;
  return store_.TakeSeat(kTourneyGameId, static_cast<int>(*table), r.seat, seat) ? kOk : kTaken;
}

ClubService::Outcome ClubService::ReadSeat(const Request& r) {
  auto table = IntField(r, "num", 1, kTourneyTables);
  if (!TourneyIds(r) || !table || r.seat < 1 || r.seat > kSeatsPerTable) {
    return Refuse(kFail, "no such seat");
  }
  return "$" + SeatFields(store_.ReadTables(kTourneyGameId)[*table - 1][r.seat - 1]) + "$";
}

ClubService::Outcome ClubService::ReadServerInfo(const Request& r) {
  if (!TourneyIds(r)) return Refuse(kFail, "unknown tournament");
  const TourneySettings t = Tourney();
  std::string welcome = Underscored(t.welcome);
  if (!IsReplyWord(welcome, 100)) welcome = "_";
  return std::string("$") + (t.serverOn ? "Y" : "X") + " " + welcome + "$";
}

ClubService::Outcome ClubService::ReadRating(const Request& r) {
  const std::string& nick = Field(r, "nick");
  if (r.keyGameId != kTourneyGameId || !IsAccountNick(nick)) return Refuse(kFail, "unknown player");
  const auto p = store_.ReadTourneyPlayer(kTourneyGameId, nick).value_or(TourneyPlayer{});
  return "$" + std::to_string(p.score) + " " + std::to_string(p.kon) + " " +
         std::to_string(p.rating) + "$";
}

ClubService::Outcome ClubService::ReadOnlineTop(const Request& r) {
  if (r.keyGameId != kTourneyGameId) return Refuse(kFail, "unknown tournament");
  std::string reply;
  int place = 0;
  for (const TourneyPlayer& p : store_.TopTourney(kTourneyGameId, r.selector, kListLength)) {
    const int64_t value = r.selector == 'r' ? p.rating : r.selector == 'k' ? p.kon : p.score;
    reply += "$" + std::to_string(++place) + " " + p.nick + " " + p.city + " " +
             (p.country.empty() ? "X" : p.country) + " " + p.sex + " " + std::to_string(value) +
             "*";
  }
  return reply.empty() ? kEmptyList : reply;
}

ClubService::Outcome ClubService::OnlinePlace(const Request& r) {
  if (r.keyGameId != kTourneyGameId) return Refuse(kFail, "unknown tournament");
  const char* key = r.selector == 'r' ? "rating1" : r.selector == 'k' ? "kon1" : "score1";
  auto value = IntField(r, key, -1'000'000'000, 1'000'000'000);
  if (!value) return Refuse(kFail, "value is not a number");
  return Number(store_.TourneyPlace(kTourneyGameId, r.selector, *value));
}

}  // namespace trilane::club
