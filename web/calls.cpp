#include "web/calls.h"

#include <string>
#include <vector>

#include "web/replies.h"

namespace trilane::web {

TQorTable_4 EmptyTable() {
  TQorTable_4 table;
  for (TQorClient& seat : table.Seats) seat.IP = "0.0.0.0";
  return table;
}

std::string_view ShownField(std::string_view field) {
  return field == kUnfilledField ? std::string_view() : field;
}

bool IsEmptyNick(std::string_view nick) {
  return ShownField(nick).empty();
}

namespace {

// Walks the fields of one record in order. A number that does not convert, or a field the
// record is too short to hold, stops the read: what was stored before stays.
class FieldReader {
 public:
  explicit FieldReader(const std::vector<std::string>& fields, size_t first = 1)
      : fields_(fields), next_(first - 1) {}

  void Skip() { ++next_; }
  bool Text(std::string& out) {
    if (next_ >= fields_.size()) return false;
    out = fields_[next_++];
    return true;
  }
  // The first character; an empty field keeps the old one.
  bool Char(char& out) {
    if (next_ >= fields_.size()) return false;
    const std::string& f = fields_[next_++];
    if (!f.empty()) out = f[0];
    return true;
  }
  bool Int(int64_t& out) {
    if (next_ >= fields_.size()) return false;
    auto value = ParseStrictInt(fields_[next_++]);
    if (!value) return false;
    out = *value;
    return true;
  }
  bool Real(double& out) {
    if (next_ >= fields_.size()) return false;
    auto value = ParseWebFloat(fields_[next_++]);
    if (!value) return false;
    out = *value;
    return true;
  }

 private:
  const std::vector<std::string>& fields_;
  size_t next_;
};

std::string Key(std::string_view name) {
  return kGameLabel + std::string(name);
}
std::string Num(int64_t value) {
  return std::to_string(value);
}

// The refusal marker "no" of the account script, looked for before the record only: the
// record itself holds the player's texts (a city, an e-mail, a profile), where "no" is an
// ordinary pair of letters.
bool Refused(std::string_view reply) {
  return FindMarker(reply.substr(0, reply.find('$')), "no");
}

bool FillRecord(FieldReader& r, TQorRecord& rec) {
  if (!r.Int(rec.Place)) return false;
  r.Skip();
  return r.Int(rec.Score) && r.Text(rec.Nick) && r.Text(rec.Country) && r.Text(rec.City) &&
         r.Text(rec.R07) && r.Text(rec.R08) && r.Text(rec.R09) && r.Text(rec.R10);
}

bool FillClient(FieldReader& r, TQorClient& c) {
  return r.Text(c.Nick) && r.Int(c.Score) && r.Int(c.Kon) && r.Int(c.Rating) && r.Text(c.Country) &&
         r.Text(c.City) && r.Char(c.Sex) && r.Text(c.IP);
}

}  // namespace

// --- Replies ---

RegisterResult ParseRegisterReply(std::string_view reply) {
  if (FindMarker(reply, "is")) return RegisterResult::kNickTaken;
  if (FindMarker(reply, "ok")) return RegisterResult::kCreated;
  return RegisterResult::kFailed;
}

SeatResult ParseTakeSeatReply(std::string_view reply) {
  if (FindMarker(reply, "is")) return SeatResult::kAlreadyHeld;
  if (FindMarker(reply, "ok")) return SeatResult::kTaken;
  return SeatResult::kFailed;
}

TQorUser ResetUser(std::string nick, std::string pw) {
  TQorUser user;
  user.Nick = std::move(nick);
  user.Pw = std::move(pw);
  return user;
}

bool ParseUserReply(std::string_view reply, TQorUser& u) {
  if (Refused(reply)) return false;
  const auto fields = ReadDollarFields(reply, '$', ' ');
  if (!fields) return false;
  FieldReader r(*fields);
  return r.Text(u.City) && r.Text(u.Country1) && r.Text(u.Country2) && r.Char(u.Sex) &&
         r.Text(u.EMail) && r.Text(u.DateR) && r.Text(u.R01) && r.Text(u.R02) && r.Text(u.R03) &&
         r.Int(u.R04) && r.Int(u.R05) && r.Int(u.R06);
}

bool ParseTopTenReply(std::string_view reply, TopTenList& list) {
  list.fill(TQorTop10{});
  const auto entries = ReadDollarFieldList(reply, '*', ' ', list.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    FieldReader r(entries[i], 2);
    TQorTop10& e = list[i];
    // Fields 4 and 5 both name the country; the record keeps field 5.
    if (!(r.Text(e.Nick) && r.Text(e.City) && r.Text(e.Country) && r.Text(e.Country) &&
          r.Char(e.Sex) && r.Real(e.Rating))) {
      return false;
    }
  }
  return true;
}

bool ParseQorsReply(std::string_view reply, int64_t& balance) {
  if (FindMarker(reply, "no")) return false;
  const auto segment = ReadDollarSegment(reply, '$');
  if (!segment) return false;
  const auto value = ParseStrictInt(*segment);
  if (!value) return false;
  balance = *value;
  return true;
}

bool ParseInfoReply(std::string_view reply, TInfo14& i) {
  if (Refused(reply)) return false;
  const auto fields = ReadDollarFields(reply, '$', '~');
  if (!fields) return false;
  FieldReader r(*fields);
  // A profile is texts only; one cut short keeps what it has.
  (void)(r.Text(i.Name1) && r.Text(i.Name2) && r.Text(i.About) && r.Text(i.Telephone) &&
         r.Text(i.EMailO) && r.Text(i.WebSite) && r.Text(i.Skype) && r.Text(i.OK) && r.Text(i.VK) &&
         r.Text(i.Telegram) && r.Text(i.FaceBook) && r.Text(i.Twitter) && r.Text(i.Instagramm) &&
         r.Text(i.YouTube));
  return true;
}

TQorGame ResetBest(TQorGame game) {
  game.Kon = 0;
  game.Score = 0;
  game.Sessions = 0;
  game.R1 = 0;
  game.Rating = 0;
  game.PlayNow = 'N';
  game.R2 = "#";
  return game;
}

bool ParseBestReply(std::string_view reply, TQorGame& g) {
  const auto fields = ReadDollarFields(reply, '$', ' ');
  if (!fields) return false;
  FieldReader r(*fields);
  return r.Int(g.Kon) && r.Int(g.Best) && r.Real(g.Rating) && r.Int(g.Sessions) && r.Int(g.KonL) &&
         r.Int(g.Score) && r.Int(g.R1) && r.Text(g.R2);
}

TQorRecord EmptyRecord(int64_t gid) {
  TQorRecord rec;
  rec.GID = gid;
  return rec;
}

bool ParseRecordsReply(std::string_view reply, int64_t gid, RecordList& list) {
  list.fill(EmptyRecord(gid));
  const auto entries = ReadDollarFieldList(reply, '*', ' ', list.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    FieldReader r(entries[i]);
    if (!FillRecord(r, list[i])) return false;
  }
  return true;
}

bool ParseOnlineTopReply(std::string_view reply, int64_t gid, RecordList& list) {
  list.fill(EmptyRecord(gid));
  const auto entries = ReadDollarFieldList(reply, '*', ' ', list.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    FieldReader r(entries[i]);
    TQorRecord& e = list[i];
    if (!(r.Int(e.Place) && r.Text(e.Nick) && r.Text(e.City) && r.Text(e.Country) &&
          r.Text(e.R07) && r.Int(e.Score))) {
      return false;
    }
  }
  return true;
}

bool ParseTablesReply(std::string_view reply, TableList& tables) {
  tables.fill(EmptyTable());
  const auto entries = ReadDollarFieldList(reply, '*', ' ', tables.size());
  // The service lists the tables from the last to the first.
  for (size_t i = 0; i < entries.size(); ++i) {
    TQorTable_4& t = tables[tables.size() - 1 - i];
    FieldReader r(entries[i], 2);
    if (!(r.Text(t.IP) && r.Int(t.Port) && r.Text(t.Free) && r.Int(t.R1) && r.Text(t.R2))) {
      return false;
    }
    for (TQorClient& seat : t.Seats) {
      if (!FillClient(r, seat)) return false;
    }
  }
  return true;
}

TQorClient FreeSeat() {
  return TQorClient{};
}

bool ParseSeatReply(std::string_view reply, TQorClient& client) {
  const auto fields = ReadDollarFields(reply, '$', ' ');
  if (!fields) return false;
  FieldReader r(*fields);
  return FillClient(r, client);
}

bool ParseServerInfoReply(std::string_view reply, ServerInfo& info) {
  const auto fields = ReadDollarFields(reply, '$', ' ');
  if (!fields) return false;
  FieldReader r(*fields);
  return r.Char(info.state) && r.Text(info.text);
}

bool ParseOnlineRatingReply(std::string_view reply, OnlineRating& rating) {
  const auto fields = ReadDollarFields(reply, '$', ' ');
  if (!fields) return false;
  FieldReader r(*fields);
  int64_t score = 0;
  if (!r.Int(score)) return false;
  rating.Score = score;
  return r.Int(rating.Kon) && r.Int(rating.Rating);
}

bool ParseStatsReply(std::string_view reply, TQorStat& s) {
  const auto fields = ReadDollarFields(reply, '*', ' ');
  if (!fields) return false;
  FieldReader r(*fields);
  if (!(r.Int(s.Stat1) && r.Int(s.Stat2) && r.Int(s.Stat3) && r.Text(s.Stat4))) return false;
  for (int64_t& counter : s.StatX) {
    if (!r.Int(counter)) return false;
  }
  return r.Int(s.StatY) && r.Text(s.StatZ);
}

// --- The client ---

std::string UrlPathSegment(std::string_view cp1251) {
  std::string out;
  for (char c : FormEncode(cp1251)) {
    if (c == '+') {
      out += "%20";
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> WebClient::Post(const std::string& script, const Form& form,
                                           FormVariant variant, Timeout timeout) {
  if (timeout == Timeout::kRecords) readTimeout_ = recordsTimeout_;
  lastReply_.clear();
  if (script.empty()) return std::nullopt;
  const HttpReply reply = transport_.Post(ScriptRequest(script, form, variant, readTimeout_));
  if (!reply.ok) return std::nullopt;
  lastReply_ = reply.body;
  return reply.body;
}

std::optional<std::string> WebClient::Get(const std::string& url) {
  if (url.empty()) return std::nullopt;
  HttpRequest request;
  request.url = url;
  request.readTimeout = readTimeout_;
  HttpReply reply = transport_.Get(request);
  if (!reply.ok) return std::nullopt;
  return std::move(reply.body);
}

RegisterResult WebClient::WebRegisterUser(const TQorUser& u) {
  const Form form = {{"nick", u.Nick},         {"pw", u.Pw},
                     {"city", u.City},         {"country1", u.Country1},
                     {"country2", u.Country2}, {"sex", std::string(1, u.Sex)},
                     {"email", u.EMail},       {"dater", u.DateR},
                     {"R01", u.R01},           {"R02", u.R02},
                     {"R03", u.R03},           {"R04", Num(u.R04)},
                     {"R05", Num(u.R05)},      {"R06", Num(u.R06)}};
  const auto reply = Post(addresses_.accountScript, form, FormVariant::kPostForm);
  return reply ? ParseRegisterReply(*reply) : RegisterResult::kFailed;
}

WebRead<TQorUser> WebClient::WebReadUser(const std::string& nick, const std::string& pw) {
  WebRead<TQorUser> out{false, ResetUser(nick, pw)};
  const auto reply = Post(addresses_.accountScript, {{"nick", nick}, {"pw", pw}, {"label0", "0"}},
                          FormVariant::kPostFields);
  out.ok = reply && ParseUserReply(*reply, out.value);
  return out;
}

WebRead<TopTenList> WebClient::WebReadTopTen() {
  WebRead<TopTenList> out;
  const auto reply = Post(addresses_.accountScript, {{Key("kon"), "0"}}, FormVariant::kPostFields);
  out.ok = reply && ParseTopTenReply(*reply, out.value);
  return out;
}

WebRead<int64_t> WebClient::WebRatingPlace(double rating) {
  const auto reply =
      Post(addresses_.accountScript, {{Key("rating"), WebFloat(rating)}}, FormVariant::kPostForm);
  const auto place = reply ? ReadDollarNumber(*reply) : std::nullopt;
  return place ? WebRead<int64_t>{true, *place} : WebRead<int64_t>{false, -1};
}

WebRead<int64_t> WebClient::WebClubMembers() {
  const auto reply = Post(addresses_.accountScript, {{"label1", "0"}}, FormVariant::kPostForm);
  const auto count = reply ? ReadDollarNumber(*reply) : std::nullopt;
  return count ? WebRead<int64_t>{true, *count} : WebRead<int64_t>{false, -1};
}

WebRead<int64_t> WebClient::WebReadQors(const std::string& nick) {
  WebRead<int64_t> out{false, 0};
  const auto reply = Post(addresses_.accountScript, {{"nick", nick}, {"labelqorread", "0"}},
                          FormVariant::kPostFields);
  out.ok = reply && ParseQorsReply(*reply, out.value);
  if (!out.ok) out.value = 0;
  return out;
}

bool WebClient::WebSaveQors(const std::string& nick, int64_t amount) {
  const auto reply =
      Post(addresses_.accountScript, {{"nick", nick}, {"labelqorsave", "0"}, {"R04", Num(amount)}},
           FormVariant::kPostForm);
  return reply && FindMarker(*reply, "ok");
}

WebRead<TInfo14> WebClient::WebReadInfo(const std::string& nick) {
  WebRead<TInfo14> out;
  const auto reply = Post(addresses_.accountScript, {{"nick", nick}, {"labelinforead", "0"}},
                          FormVariant::kPostFields);
  out.ok = reply && ParseInfoReply(*reply, out.value);
  return out;
}

bool WebClient::WebSaveInfo(const std::string& nick, const TInfo14& i) {
  const Form form = {{"nick", nick},
                     {"labelinfosave", "0"},
                     {"namei", i.Name1},
                     {"name2", i.Name2},
                     {"about", i.About},
                     {"telephone", i.Telephone},
                     {"emailo", i.EMailO},
                     {"website", i.WebSite},
                     {"skype", i.Skype},
                     {"ok", i.OK},
                     {"vk", i.VK},
                     {"telegram", i.Telegram},
                     {"facebook", i.FaceBook},
                     {"twitter", i.Twitter},
                     {"instagramm", i.Instagramm},
                     {"youtube", i.YouTube}};
  const auto reply = Post(addresses_.accountScript, form, FormVariant::kPostForm);
  return reply && FindMarker(*reply, "ok");
}

WebRead<TQorGame> WebClient::WebReadBest(const std::string& nick, const std::string& pw,
                                         const TQorGame& previous) {
  WebRead<TQorGame> out{false, ResetBest(previous)};
  const auto reply =
      Post(addresses_.accountScript, {{"nick", nick}, {"pw", pw}, {Key("best"), "0"}},
           FormVariant::kPostFields);
  out.ok = reply && ParseBestReply(*reply, out.value);
  return out;
}

bool WebClient::WebSaveBest(const std::string& nick, const std::string& pw, const TQorGame& g) {
  const Form form = {{"nick", nick},
                     {"pw", pw},
                     {Key("kon"), Num(g.Kon)},
                     {Key("best"), Num(g.Best)},
                     {Key("rating"), WebFloat(g.Rating)},
                     {Key("ses"), Num(g.Sessions)},
                     {Key("konl"), Num(g.KonL)},
                     {Key("score"), Num(g.Score)},
                     {Key("R1"), Num(g.R1)},
                     {Key("R2"), g.R2}};
  const auto reply = Post(addresses_.accountScript, form, FormVariant::kPostForm);
  return reply && FindMarker(*reply, "ok");
}

WebRead<int64_t> WebClient::WebRecordCount(int64_t rgid) {
  const auto reply =
      Post(addresses_.worldTopScript, {{"rgid", Num(rgid)}}, FormVariant::kPostFields);
  const auto count = reply ? ReadDollarNumber(*reply) : std::nullopt;
  return count ? WebRead<int64_t>{true, *count} : WebRead<int64_t>{false, 0};
}

WebRead<RecordList> WebClient::WebReadRecords(int64_t gid) {
  WebRead<RecordList> out;
  out.value.fill(EmptyRecord(gid));
  const auto reply = Post(addresses_.worldTopScript, {{"gid", Num(gid)}}, FormVariant::kPostFields,
                          Timeout::kRecords);
  out.ok = reply && ParseRecordsReply(*reply, gid, out.value);
  return out;
}

WebRead<RecordList> WebClient::WebReadMyRecords(int64_t gid, const std::string& nick,
                                                const std::string& city) {
  WebRead<RecordList> out;
  out.value.fill(EmptyRecord(gid));
  const auto reply =
      Post(addresses_.worldTopScript, {{"gid", Num(gid)}, {"nick", nick}, {"city", city}},
           FormVariant::kPostForm, Timeout::kRecords);
  out.ok = reply && ParseRecordsReply(*reply, gid, out.value);
  return out;
}

WebRead<int64_t> WebClient::WebSaveRecord(int64_t gid, const std::string& nick,
                                          const std::string& city, const std::string& country,
                                          int64_t score, const std::string& r7,
                                          const std::string& r9, const std::string& r10) {
  const Form form = {
      {"gid", Num(gid)},     {"nick", nick}, {"city", city},          {"country", country},
      {"score", Num(score)}, {"R7", r7},     {"R8", kProgramVersion}, {"R9", r9},
      {"R10", r10 + "*"}};
  const auto reply = Post(addresses_.worldTopScript, form, FormVariant::kPostForm);
  const auto place = reply ? ReadDollarNumber(*reply) : std::nullopt;
  return place ? WebRead<int64_t>{true, *place} : WebRead<int64_t>{false, -1};
}

WebRead<TableList> WebClient::WebReadTables(int64_t gid) {
  WebRead<TableList> out;
  out.value.fill(EmptyTable());
  const auto reply = Post(addresses_.tourneyScript, {{"readtable410", Num(gid)}, {"gid", Num(gid)}},
                          FormVariant::kPostFields, Timeout::kRecords);
  out.ok = reply && ParseTablesReply(*reply, out.value);
  return out;
}

SeatResult WebClient::WebTakeSeat(std::string_view tableSize, int64_t gid, int table, int can,
                                  const TQorClient& c, int seat) {
  const std::string s = Num(seat);
  const Form form = {{"client" + std::string(tableSize) + "on" + s, "0"},
                     {"gid", Num(gid)},
                     {"num", Num(table)},
                     {"can", Num(can)},
                     {"nick" + s, c.Nick},
                     {"score" + s, Num(c.Score)},
                     {"kon" + s, Num(c.Kon)},
                     {"rating" + s, Num(c.Rating)},
                     {"country" + s, c.Country},
                     {"city" + s, c.City},
                     {"sex" + s, std::string(1, c.Sex)},
                     {"ip" + s, c.IP}};
  const auto reply = Post(addresses_.tourneyScript, form, FormVariant::kPostForm);
  return reply ? ParseTakeSeatReply(*reply) : SeatResult::kFailed;
}

WebRead<TQorClient> WebClient::WebReadSeat(int seat, int64_t gid, int table) {
  WebRead<TQorClient> out;
  const auto reply = Post(addresses_.tourneyScript,
                          {{"readclient" + Num(seat), "0"}, {"gid", Num(gid)}, {"num", Num(table)}},
                          FormVariant::kPostFields);
  out.ok = reply && ParseSeatReply(*reply, out.value);
  return out;
}

WebRead<ServerInfo> WebClient::WebReadServerInfo(int64_t gid) {
  WebRead<ServerInfo> out;
  const auto reply = Post(addresses_.tourneyScript, {{"serverinforead", "0"}, {"gid", Num(gid)}},
                          FormVariant::kPostFields);
  out.ok = reply && ParseServerInfoReply(*reply, out.value);
  return out;
}

WebRead<OnlineRating> WebClient::WebReadRating(int64_t gid, const std::string& nick) {
  WebRead<OnlineRating> out;
  const auto reply = Post(addresses_.tourneyScript,
                          {{"readrating" + Num(gid), "0"}, {"nick", nick}}, FormVariant::kPostForm);
  out.ok = reply && ParseOnlineRatingReply(*reply, out.value);
  return out;
}

WebRead<RecordList> WebClient::WebReadOnlineTop(char list, int64_t gid) {
  WebRead<RecordList> out;
  out.value.fill(EmptyRecord(gid));
  const auto reply = Post(addresses_.tourneyScript,
                          {{"top10" + std::string(1, list) + Num(gid), "0"}, {"nick", "z"}},
                          FormVariant::kPostFields);
  out.ok = reply && ParseOnlineTopReply(*reply, gid, out.value);
  return out;
}

WebRead<int64_t> WebClient::WebOnlinePlace(char list, int64_t gid, int64_t value) {
  const char* valueKey = list == 'r' ? "rating1" : list == 'k' ? "kon1" : "score1";
  const auto reply =
      Post(addresses_.tourneyScript,
           {{"place" + std::string(1, list) + Num(gid), "0"}, {valueKey, Num(value)}},
           FormVariant::kPostForm);
  const auto place = reply ? ReadDollarNumber(*reply) : std::nullopt;
  return place ? WebRead<int64_t>{true, *place} : WebRead<int64_t>{false, -1};
}

WebRead<TQorStat> WebClient::WebReadStats(int64_t gid) {
  WebRead<TQorStat> out;
  out.value.GID = gid;
  const auto reply = Post(addresses_.statsScript, {{"gid", Num(gid)}}, FormVariant::kPostFields,
                          Timeout::kRecords);
  out.ok = reply && ParseStatsReply(*reply, out.value);
  return out;
}

bool WebClient::WebCountStart(int64_t gid, int64_t stat1, int64_t stat2) {
  const auto reply = Post(addresses_.statsScript,
                          {{"gid", Num(gid)}, {"stat1", Num(stat1)}, {"stat2", Num(stat2)}},
                          FormVariant::kPostForm);
  return reply && ReadOkAfterDollar(*reply);
}

bool WebClient::WebLike(int64_t gid, int64_t stat3, const std::string& stat4) {
  const auto reply =
      Post(addresses_.statsScript, {{"gid", Num(gid)}, {"stat3", Num(stat3)}, {"stat4", stat4}},
           FormVariant::kPostForm);
  return reply && ReadOkAfterDollar(*reply);
}

bool WebClient::WebSaveGameStats(int64_t gid, const std::array<int64_t, 12>& counters) {
  Form form = {{"gid", Num(gid)}};
  for (size_t i = 0; i < counters.size(); ++i) {
    form.emplace_back("R" + Num(static_cast<int64_t>(i + 1)), Num(counters[i]));
  }
  const auto reply = Post(addresses_.statsScript, form, FormVariant::kPostForm);
  return reply && ReadOkAfterDollar(*reply);
}

std::optional<std::string> WebClient::WebLoadAvatar(const std::string& nick) {
  if (addresses_.avatarFolder.empty() || nick.empty()) return std::nullopt;
  return Get(addresses_.avatarFolder + UrlPathSegment(nick) + ".jpg");
}

bool WebClient::UploadPhoto(const std::string& nick, std::string_view jpeg) {
  if (nick.empty() || addresses_.photoUpload.host.empty()) return false;
  return transport_.UploadFtp(addresses_.photoUpload, nick + ".jpg", jpeg, readTimeout_).ok;
}

std::optional<std::string> WebClient::WebOwnAddress() {
  auto reply = Get(addresses_.addressEcho);
  if (!reply) return std::nullopt;
  std::string_view text = *reply;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.remove_suffix(1);
  }
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  // An address is short and plain; anything else is not an answer to trust.
  if (text.empty() || text.size() > 45) return std::nullopt;
  for (char c : text) {
    const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
                    c == '.' || c == ':';
    if (!ok) return std::nullopt;
  }
  return std::string(text);
}

std::optional<std::string> WebClient::DownloadAddon(const std::string& fileName) {
  if (fileName.empty() || fileName.find('/') != std::string::npos) return std::nullopt;
  return Get(addresses_.addonFolder + UrlPathSegment(fileName));
}

}  // namespace trilane::web
