// trilane-cli web: one call of the web service, with the arguments given as key=value, and
// its parsed result as readable text or one JSON object.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/codepage.h"
#include "cli.h"
#include "commands.h"
#include "records/file_io.h"
#include "web/calls.h"
#include "web/curl_transport.h"
#include "web/replies.h"

namespace trilane::cli {
namespace {

using namespace trilane::web;

// The call's arguments: key=value from the command line, UTF-8 there, code page 1251 here.
class Params {
 public:
  Params(const std::vector<std::string>& pairs, const std::vector<std::string>& keys,
         const std::map<std::string, std::string>& defaults) {
    for (const std::string& pair : pairs) {
      const size_t eq = pair.find('=');
      if (eq == std::string::npos || eq == 0) {
        throw UsageError("expected key=value, got '" + pair + "'");
      }
      const std::string key = pair.substr(0, eq);
      if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
        std::string known;
        for (const std::string& k : keys) known += (known.empty() ? "" : ", ") + k;
        throw UsageError("unknown argument '" + key +
                         "' (this call takes: " + (known.empty() ? "nothing" : known) + ")");
      }
      auto bytes = Utf8ToCp1251(pair.substr(eq + 1));
      if (!bytes) throw UsageError(key + ": has characters code page 1251 lacks");
      values_[key] = *bytes;
    }
    for (const auto& [key, value] : defaults) values_.emplace(key, value);
  }

  std::string Text(const std::string& key) const {
    auto it = values_.find(key);
    if (it == values_.end()) throw UsageError("missing argument " + key + "=...");
    return it->second;
  }
  int64_t Int(const std::string& key) const {
    auto value = ParseStrictInt(Text(key));
    if (!value) throw UsageError(key + ": '" + Text(key) + "' is not a whole number");
    return *value;
  }
  int SmallInt(const std::string& key, int low, int high) const {
    const int64_t v = Int(key);
    if (v < low || v > high) {
      throw UsageError(key + ": " + std::to_string(v) + " is outside " + std::to_string(low) +
                       ".." + std::to_string(high));
    }
    return static_cast<int>(v);
  }
  double Real(const std::string& key) const { return ParseDouble(Text(key), key); }
  char Char(const std::string& key) const {
    const std::string t = Text(key);
    if (t.size() != 1) throw UsageError(key + ": one character expected");
    return t[0];
  }
  char List(const std::string& key) const {
    const char c = Char(key);
    if (c != 's' && c != 'r' && c != 'k') throw UsageError(key + ": s, r or k expected");
    return c;
  }

 private:
  std::map<std::string, std::string> values_;
};

// The result, written as readable lines and as one JSON object at once.
class Report {
 public:
  Report(const std::string& call, bool json) : json_(json) {
    out_.BeginObject();
    out_.Key("call").String(call);
  }
  void Ok(bool ok) {
    ok_ = ok;
    out_.Key("ok").Bool(ok);
    Line("ok", ok ? "yes" : "no");
  }
  bool IsOk() const { return ok_; }
  void Text(const std::string& key, std::string_view cp1251) {
    const std::string utf8 = Cp1251ToUtf8(cp1251);
    out_.Key(key).String(utf8);
    Line(key, utf8);
  }
  void Char(const std::string& key, char c) { Text(key, std::string(1, c)); }
  void Int(const std::string& key, int64_t v) {
    out_.Key(key).Int(v);
    Line(key, std::to_string(v));
  }
  void Real(const std::string& key, double v) {
    out_.Key(key).Double(v);
    Line(key, WebFloat(v));
  }
  void BeginList(const std::string& key) {
    out_.Key(key).BeginArray();
    text_ += key + ":\n";
  }
  void BeginItem(int number) {
    out_.BeginObject();
    text_ += "  " + std::to_string(number) + ".";
    inItem_ = true;
  }
  void EndItem() {
    out_.EndObject();
    text_ += "\n";
    inItem_ = false;
  }
  void EndList() { out_.EndArray(); }
  std::string Finish() {
    out_.EndObject();
    return json_ ? out_.Text() + "\n" : text_;
  }

 private:
  void Line(const std::string& key, const std::string& value) {
    text_ += inItem_ ? " " + key + "=" + value : key + ": " + value + "\n";
  }
  bool json_;
  bool ok_ = false;
  bool inItem_ = false;
  Json out_;
  std::string text_;
};

void ReportUser(Report& r, const TQorUser& u) {
  r.Text("Nick", u.Nick);
  r.Text("City", u.City);
  r.Text("Country1", u.Country1);
  r.Text("Country2", u.Country2);
  r.Char("Sex", u.Sex);
  r.Text("EMail", u.EMail);
  r.Text("DateR", u.DateR);
  r.Text("R01", u.R01);
  r.Text("R02", u.R02);
  r.Text("R03", u.R03);
  r.Int("R04", u.R04);
  r.Int("R05", u.R05);
  r.Int("R06", u.R06);
}

void ReportInfo(Report& r, const TInfo14& i) {
  r.Text("Name1", i.Name1);
  r.Text("Name2", i.Name2);
  r.Text("About", i.About);
  r.Text("Telephone", i.Telephone);
  r.Text("EMailO", i.EMailO);
  r.Text("WebSite", i.WebSite);
  r.Text("Skype", i.Skype);
  r.Text("OK", i.OK);
  r.Text("VK", i.VK);
  r.Text("Telegram", i.Telegram);
  r.Text("FaceBook", i.FaceBook);
  r.Text("Twitter", i.Twitter);
  r.Text("Instagramm", i.Instagramm);
  r.Text("YouTube", i.YouTube);
}

void ReportGame(Report& r, const TQorGame& g) {
  r.Int("Kon", g.Kon);
  r.Int("Best", g.Best);
  r.Real("Rating", g.Rating);
  r.Int("Sessions", g.Sessions);
  r.Int("KonL", g.KonL);
  r.Int("Score", g.Score);
  r.Int("R1", g.R1);
  r.Text("R2", g.R2);
}

void ReportClient(Report& r, const TQorClient& c) {
  r.Text("Nick", c.Nick);
  r.Int("Score", c.Score);
  r.Int("Kon", c.Kon);
  r.Int("Rating", c.Rating);
  r.Text("Country", c.Country);
  r.Text("City", c.City);
  r.Char("Sex", c.Sex);
  r.Text("IP", c.IP);
}

// Lists show their filled entries only.
void ReportRecords(Report& r, const RecordList& list, bool online) {
  r.BeginList("entries");
  int n = 0;
  for (const TQorRecord& e : list) {
    if (e.Nick == "#" || e.Nick.empty()) continue;
    r.BeginItem(++n);
    r.Int("Place", e.Place);
    r.Text("Nick", e.Nick);
    r.Int("Score", e.Score);
    r.Text("Country", e.Country);
    r.Text("City", e.City);
    r.Text("R07", e.R07);
    if (!online) {
      r.Text("R08", e.R08);
      r.Text("R09", e.R09);
      r.Text("R10", e.R10);
    }
    r.EndItem();
  }
  r.EndList();
}

struct CallSpec {
  const char* name;
  // Argument keys in order; a default after "=" makes the argument optional.
  std::vector<const char*> args;
  std::function<void(WebClient&, const Params&, Report&)> run;
};

void ReportFlagAndNumber(Report& r, const WebRead<int64_t>& read, const char* key) {
  r.Ok(read.ok);
  r.Int(key, read.value);
}

// A file named on the command line, read as the record files are.
std::string ReadNamedFile(const std::string& path) {
  Expected<std::string, RecordError> bytes = ReadWholeFile(PathArgument(path));
  if (!bytes) throw UsageError("cannot read " + path);
  return std::move(*bytes);
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

const std::vector<CallSpec>& Calls() {
  static const std::vector<CallSpec> calls = {
      {"WebRegisterUser",
       {"nick", "pw", "city", "country1", "country2=1-001", "sex=M", "email", "dater=00.00.0000"},
       [](WebClient& c, const Params& p, Report& r) {
         TQorUser u = ResetUser(p.Text("nick"), p.Text("pw"));
         u.City = p.Text("city");
         u.Country1 = p.Text("country1");
         u.Country2 = p.Text("country2");
         u.Sex = p.Char("sex");
         u.EMail = p.Text("email");
         u.DateR = p.Text("dater");
         u.R01 = u.R02 = u.R03 = "xxx";
         const RegisterResult result = c.WebRegisterUser(u);
         r.Ok(result == RegisterResult::kCreated);
         r.Int("result", static_cast<int>(result));
         r.Text("meaning", result == RegisterResult::kCreated     ? "created"
                           : result == RegisterResult::kNickTaken ? "nick taken"
                                                                  : "failed");
       }},
      {"WebReadUser",
       {"nick", "pw"},
       [](WebClient& c, const Params& p, Report& r) {
         const auto read = c.WebReadUser(p.Text("nick"), p.Text("pw"));
         r.Ok(read.ok);
         ReportUser(r, read.value);
       }},
      {"WebReadTopTen",
       {},
       [](WebClient& c, const Params&, Report& r) {
         const auto read = c.WebReadTopTen();
         r.Ok(read.ok);
         r.BeginList("entries");
         int n = 0;
         for (const TQorTop10& e : read.value) {
           if (e.Nick.empty()) continue;
           r.BeginItem(++n);
           r.Text("Nick", e.Nick);
           r.Text("City", e.City);
           r.Text("Country", e.Country);
           r.Char("Sex", e.Sex);
           r.Real("Rating", e.Rating);
           r.EndItem();
         }
         r.EndList();
       }},
      {"WebRatingPlace",
       {"rating"},
       [](WebClient& c, const Params& p, Report& r) {
         ReportFlagAndNumber(r, c.WebRatingPlace(p.Real("rating")), "place");
       }},
      {"WebClubMembers",
       {},
       [](WebClient& c, const Params&, Report& r) {
         ReportFlagAndNumber(r, c.WebClubMembers(), "members");
       }},
      {"WebReadQors",
       {"nick"},
       [](WebClient& c, const Params& p, Report& r) {
         ReportFlagAndNumber(r, c.WebReadQors(p.Text("nick")), "qors");
       }},
      {"WebSaveQors",
       {"nick", "amount"},
       [](WebClient& c, const Params& p, Report& r) {
         r.Ok(c.WebSaveQors(p.Text("nick"), p.Int("amount")));
       }},
      {"WebReadInfo",
       {"nick"},
       [](WebClient& c, const Params& p, Report& r) {
         const auto read = c.WebReadInfo(p.Text("nick"));
         r.Ok(read.ok);
         ReportInfo(r, read.value);
       }},
      {"WebSaveInfo",
       {"nick", "name1=", "name2=", "about=", "telephone=", "emailo=", "website=", "skype=", "ok=",
        "vk=", "telegram=", "facebook=", "twitter=", "instagramm=", "youtube="},
       [](WebClient& c, const Params& p, Report& r) {
         TInfo14 i;
         i.Name1 = p.Text("name1");
         i.Name2 = p.Text("name2");
         i.About = p.Text("about");
         i.Telephone = p.Text("telephone");
         i.EMailO = p.Text("emailo");
         i.WebSite = p.Text("website");
         i.Skype = p.Text("skype");
         i.OK = p.Text("ok");
         i.VK = p.Text("vk");
         i.Telegram = p.Text("telegram");
         i.FaceBook = p.Text("facebook");
         i.Twitter = p.Text("twitter");
         i.Instagramm = p.Text("instagramm");
         i.YouTube = p.Text("youtube");
         r.Ok(c.WebSaveInfo(p.Text("nick"), i));
       }},
      {"WebReadBest",
       {"nick", "pw"},
       [](WebClient& c, const Params& p, Report& r) {
         const auto read = c.WebReadBest(p.Text("nick"), p.Text("pw"));
         r.Ok(read.ok);
         ReportGame(r, read.value);
       }},
      {"WebSaveBest",
       {"nick", "pw", "kon", "best", "rating", "ses", "konl", "score", "r1=0", "r2=#"},
       [](WebClient& c, const Params& p, Report& r) {
         TQorGame g;
         g.Kon = p.Int("kon");
         g.Best = p.Int("best");
         g.Rating = p.Real("rating");
         g.Sessions = p.Int("ses");
         g.KonL = p.Int("konl");
         g.Score = p.Int("score");
         g.R1 = p.Int("r1");
         g.R2 = p.Text("r2");
         r.Ok(c.WebSaveBest(p.Text("nick"), p.Text("pw"), g));
       }},
      {"WebRecordCount",
       {"gid=814"},
       [](WebClient& c, const Params& p, Report& r) {
         ReportFlagAndNumber(r, c.WebRecordCount(p.Int("gid")), "count");
       }},
      {"WebReadRecords",
       {"gid=814"},
       [](WebClient& c, const Params& p, Report& r) {
         const auto read = c.WebReadRecords(p.Int("gid"));
         r.Ok(read.ok);
         ReportRecords(r, read.value, false);
       }},
      {"WebReadMyRecords",
       {"gid=814", "nick", "city"},
       [](WebClient& c, const Params& p, Report& r) {
         const auto read = c.WebReadMyRecords(p.Int("gid"), p.Text("nick"), p.Text("city"));
         r.Ok(read.ok);
         ReportRecords(r, read.value, false);
       }},
      {"WebSaveRecord",
       {"gid=814", "nick", "city", "country", "score", "r7=M", "r9=#", "r10=#"},
       [](WebClient& c, const Params& p, Report& r) {
         ReportFlagAndNumber(
             r,
             c.WebSaveRecord(p.Int("gid"), p.Text("nick"), p.Text("city"), p.Text("country"),
                             p.Int("score"), p.Text("r7"), p.Text("r9"), p.Text("r10")),
             "place");
       }},
      {"WebReadTables",
       {"gid=94"},
       [](WebClient& c, const Params& p, Report& r) {
         const auto read = c.WebReadTables(p.Int("gid"));
         r.Ok(read.ok);
         r.BeginList("tables");
         for (size_t t = 0; t < read.value.size(); ++t) {
           const TQorTable_4& table = read.value[t];
           r.BeginItem(static_cast<int>(t + 1));
           r.Text("IP", table.IP);
           r.Int("Port", table.Port);
           r.Text("Free", table.Free);
           for (size_t s = 0; s < table.Seats.size(); ++s) {
             const std::string n = std::to_string(s + 1);
             r.Text("Nick" + n, table.Seats[s].Nick);
             r.Int("Score" + n, table.Seats[s].Score);
           }
           r.EndItem();
         }
         r.EndList();
       }},
      {"WebTakeSeat",
       {"size=4", "gid=94", "table", "can=1", "seat", "nick=X", "score=0", "kon=0", "rating=0",
        "country=X", "city=X", "sex=M", "ip=X"},
       [](WebClient& c, const Params& p, Report& r) {
         const std::string size = p.Text("size");
         if (size != "3" && size != "4" && !size.empty()) throw UsageError("size: 3, 4 or empty");
         TQorClient client;
         client.Nick = p.Text("nick");
         client.Score = p.Int("score");
         client.Kon = p.Int("kon");
         client.Rating = p.Int("rating");
         client.Country = p.Text("country");
         client.City = p.Text("city");
         client.Sex = p.Char("sex");
         client.IP = p.Text("ip");
         const SeatResult result =
             c.WebTakeSeat(size, p.Int("gid"), p.SmallInt("table", 1, 10), p.SmallInt("can", 0, 2),
                           client, p.SmallInt("seat", 1, 4));
         r.Ok(result == SeatResult::kTaken);
         r.Int("result", static_cast<int>(result));
         r.Text("meaning", result == SeatResult::kTaken         ? "done"
                           : result == SeatResult::kAlreadyHeld ? "already held"
                                                                : "failed");
       }},
      {"WebReadSeat",
       {"seat", "gid=94", "table"},
       [](WebClient& c, const Params& p, Report& r) {
         const auto read =
             c.WebReadSeat(p.SmallInt("seat", 1, 4), p.Int("gid"), p.SmallInt("table", 1, 10));
         r.Ok(read.ok);
         ReportClient(r, read.value);
       }},
      {"WebReadServerInfo",
       {"gid=94"},
       [](WebClient& c, const Params& p, Report& r) {
         const auto read = c.WebReadServerInfo(p.Int("gid"));
         r.Ok(read.ok);
         r.Char("state", read.value.state);
         r.Text("text", read.value.text);
       }},
      {"WebReadRating",
       {"gid=94", "nick"},
       [](WebClient& c, const Params& p, Report& r) {
         const auto read = c.WebReadRating(p.Int("gid"), p.Text("nick"));
         r.Ok(read.ok);
         r.Int("Score", read.value.Score);
         r.Int("Kon", read.value.Kon);
         r.Int("Rating", read.value.Rating);
       }},
      {"WebReadOnlineTop",
       {"list=s", "gid=94"},
       [](WebClient& c, const Params& p, Report& r) {
         const auto read = c.WebReadOnlineTop(p.List("list"), p.Int("gid"));
         r.Ok(read.ok);
         ReportRecords(r, read.value, true);
       }},
      {"WebOnlinePlace",
       {"list=s", "gid=94", "value"},
       [](WebClient& c, const Params& p, Report& r) {
         ReportFlagAndNumber(r, c.WebOnlinePlace(p.List("list"), p.Int("gid"), p.Int("value")),
                             "place");
       }},
      {"WebReadStats",
       {"gid=814"},
       [](WebClient& c, const Params& p, Report& r) {
         const auto read = c.WebReadStats(p.Int("gid"));
         r.Ok(read.ok);
         r.Int("Stat1", read.value.Stat1);
         r.Int("Stat2", read.value.Stat2);
         r.Int("Stat3", read.value.Stat3);
         r.Text("Stat4", read.value.Stat4);
         for (size_t i = 0; i < read.value.StatX.size(); ++i) {
           r.Int("R" + std::to_string(i + 1), read.value.StatX[i]);
         }
         r.Int("StatY", read.value.StatY);
         r.Text("StatZ", read.value.StatZ);
       }},
      {"WebCountStart",
       {"gid=814", "stat1=1", "stat2=0"},
       [](WebClient& c, const Params& p, Report& r) {
         r.Ok(c.WebCountStart(p.Int("gid"), p.Int("stat1"), p.Int("stat2")));
       }},
      {"WebLike",
       {"gid=814", "stat3=1", "stat4"},
       [](WebClient& c, const Params& p, Report& r) {
         r.Ok(c.WebLike(p.Int("gid"), p.Int("stat3"), p.Text("stat4")));
       }},
      {"WebSaveGameStats",
       {"gid=814", "R1=0", "R2=0", "R3=0", "R4=0", "R5=0", "R6=0", "R7=0", "R8=0", "R9=0", "R10=0",
        "R11=0", "R12=0"},
       [](WebClient& c, const Params& p, Report& r) {
         std::array<int64_t, 12> counters{};
         for (size_t i = 0; i < counters.size(); ++i) {
           counters[i] = p.Int("R" + std::to_string(i + 1));
         }
         r.Ok(c.WebSaveGameStats(p.Int("gid"), counters));
       }},
      {"WebLoadAvatar",
       {"nick", "out"},
       [](WebClient& c, const Params& p, Report& r) {
         const auto photo = c.WebLoadAvatar(p.Text("nick"));
         r.Ok(photo.has_value());
         if (photo) {
           WriteWholeFile(p.Text("out"), *photo);
           r.Int("bytes", static_cast<int64_t>(photo->size()));
         }
       }},
      {"UploadPhoto",
       {"nick", "file"},
       [](WebClient& c, const Params& p, Report& r) {
         r.Ok(c.UploadPhoto(p.Text("nick"), ReadNamedFile(p.Text("file"))));
       }},
      {"WebOwnAddress",
       {},
       [](WebClient& c, const Params&, Report& r) {
         const auto address = c.WebOwnAddress();
         r.Ok(address.has_value());
         r.Text("address", address.value_or(""));
       }},
      {"DownloadAddon",
       {"file", "out"},
       [](WebClient& c, const Params& p, Report& r) {
         const auto bytes = c.DownloadAddon(p.Text("file"));
         r.Ok(bytes.has_value());
         if (bytes) {
           WriteWholeFile(p.Text("out"), *bytes);
           r.Int("bytes", static_cast<int64_t>(bytes->size()));
         }
       }},
      {"ServiceAddresses",
       {},
       [](WebClient& c, const Params&, Report& r) {
         const ServiceAddresses& a = c.Addresses();
         r.Ok(true);
         r.Text("serviceDirectory", a.serviceDirectory);
         r.Text("accountScript", a.accountScript);
         r.Text("statsScript", a.statsScript);
         r.Text("worldTopScript", a.worldTopScript);
         r.Text("tourneyScript", a.tourneyScript);
         r.Text("avatarFolder", a.avatarFolder);
         r.Text("addonFolder", a.addonFolder);
         r.Text("addressEcho", a.addressEcho);
         r.Text("photoUpload", "ftp://" + a.photoUpload.host + ":" +
                                   std::to_string(a.photoUpload.port) + a.photoUpload.folder);
         r.Int("worldTopAvailable", a.worldTopAvailable);
         r.Int("chatAvailable", a.chatAvailable);
       }},
  };
  return calls;
}

// "WebReadUser" -> "read-user".
std::string ShortName(std::string_view name) {
  if (name.starts_with("Web")) name.remove_prefix(3);
  std::string out;
  for (char c : name) {
    if (std::isupper(static_cast<unsigned char>(c)) && !out.empty()) out += '-';
    out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return out;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

const CallSpec& FindCall(const std::string& name) {
  for (const CallSpec& call : Calls()) {
    if (SameName(name, call.name) || SameName(name, ShortName(call.name))) return call;
  }
  throw UsageError("unknown call '" + name + "' (try trilane-cli web --list)");
}

void PrintList() {
  for (const CallSpec& call : Calls()) {
    std::string line = std::string(call.name) + " (" + ShortName(call.name) + ")";
    for (const char* arg : call.args) {
      const std::string a = arg;
      const size_t eq = a.find('=');
      line += eq == std::string::npos ? " " + a + "=..." : " [" + a + "]";
    }
    std::printf("%s\n", line.c_str());
  }
}

}  // namespace

int RunWeb(const CommandArgs& args) {
  const Args a(args, {"service", "timeout"}, {"json", "list"});
  if (a.Flag("list")) {
    PrintList();
    return 0;
  }
  if (a.Positional().empty()) throw UsageError("missing CALL (try trilane-cli web --list)");
  const CallSpec& call = FindCall(a.Positional()[0]);
  std::vector<std::string> keys;
  std::map<std::string, std::string> defaults;
  for (const char* arg : call.args) {
    const std::string text = arg;
    const size_t eq = text.find('=');
    keys.push_back(text.substr(0, eq));
    if (eq != std::string::npos) defaults[keys.back()] = text.substr(eq + 1);
  }
  const Params params({a.Positional().begin() + 1, a.Positional().end()}, keys, defaults);
  if (auto service = a.Value("service")) {
    if (!AddressesUnder(*service)) throw UsageError("--service: '" + *service + "' names no host");
    SetServiceOverride(*service);
  }
  const auto timeout = std::chrono::milliseconds(a.Int("timeout", 1, 600000, 15000));

  CurlTransport transport;
  WebClient client(transport, ChooseAddresses(transport, nullptr, timeout));
  client.SetReadTimeout(timeout);
  client.SetRecordsReadTimeout(std::min(timeout, WebClient::kRecordsReadTimeout));
  Report report(call.name, a.Flag("json"));
  call.run(client, params, report);
  const std::string text = report.Finish();
  std::fwrite(text.data(), 1, text.size(), stdout);
  return report.IsOk() ? 0 : 1;
}

}  // namespace trilane::cli
