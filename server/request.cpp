#include "server/request.h"

#include <algorithm>
#include <charconv>

#include "base/codepage.h"

namespace trilane::club {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && text.size() <= 9 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int ToInt(std::string_view digits) {
  int n = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), n);
  return n;
}

bool IsFieldList(Call call) {
  switch (call) {
    case Call::ReadUser:
    case Call::ReadTopTen:
    case Call::ReadQors:
    case Call::ReadInfo:
    case Call::ReadBest:
    case Call::RecordCount:
    case Call::ReadRecords:
    case Call::ReadTables:
    case Call::ReadSeat:
    case Call::ReadServerInfo:
    case Call::ReadOnlineTop:
    case Call::ReadStats:
      return true;
    default:
      return false;
  }
}

std::string Label(std::string_view key) {
  return std::string(kGameLabel) + std::string(key);
}

// The keys a call sends, in order (for the calls whose keys carry a seat or selector, the
// recognised request supplies them).
std::vector<std::string> KeysOf(const Request& r) {
  const std::string s = std::to_string(r.seat);
  switch (r.call) {
    case Call::RegisterUser:
      return {"nick",  "pw",  "city", "country1", "country2", "sex", "email",
              "dater", "R01", "R02",  "R03",      "R04",      "R05", "R06"};
    case Call::ReadUser:
      return {"nick", "pw", "label0"};
    case Call::ReadTopTen:
      return {Label("kon")};
    case Call::RatingPlace:
      return {Label("rating")};
    case Call::ClubMembers:
      return {"label1"};
    case Call::ReadQors:
      return {"nick", "labelqorread"};
    case Call::SaveQors:
      return {"nick", "labelqorsave", "R04"};
    case Call::ReadInfo:
      return {"nick", "labelinforead"};
    case Call::SaveInfo:
      return {"nick",     "labelinfosave", "namei",      "name2",  "about", "telephone",
              "emailo",   "website",       "skype",      "ok",     "vk",    "telegram",
              "facebook", "twitter",       "instagramm", "youtube"};
    case Call::ReadBest:
      return {"nick", "pw", Label("best")};
    case Call::SaveBest:
      return {"nick",       "pw",          Label("kon"),   Label("best"), Label("rating"),
              Label("ses"), Label("konl"), Label("score"), Label("R1"),   Label("R2")};
    case Call::RecordCount:
      return {"rgid"};
    case Call::ReadRecords:
      return {"gid"};
    case Call::ReadMyRecords:
      return {"gid", "nick", "city"};
    case Call::SaveRecord:
      return {"gid", "nick", "city", "country", "score", "R7", "R8", "R9", "R10"};
    case Call::ReadTables:
      return {"readtable410", "gid"};
    case Call::TakeSeat: {
      std::string first = "client";
      if (r.tableSize) first += std::to_string(r.tableSize);
      first += "on" + s;
      return {first,     "gid",        "num",         "can",      "nick" + s, "score" + s,
              "kon" + s, "rating" + s, "country" + s, "city" + s, "sex" + s,  "ip" + s};
    }
    case Call::ReadSeat:
      return {"readclient" + s, "gid", "num"};
    case Call::ReadServerInfo:
      return {"serverinforead", "gid"};
    case Call::ReadRating:
      return {"readrating" + std::to_string(r.keyGameId), "nick"};
    case Call::ReadOnlineTop:
      return {std::string("top10") + r.selector + std::to_string(r.keyGameId), "nick"};
    case Call::OnlinePlace: {
      std::string value = r.selector == 'r' ? "rating1" : r.selector == 'k' ? "kon1" : "score1";
      return {std::string("place") + r.selector + std::to_string(r.keyGameId), value};
    }
    case Call::ReadStats:
      return {"gid"};
    case Call::CountStart:
      return {"gid", "stat1", "stat2"};
    case Call::Like:
      return {"gid", "stat3", "stat4"};
    case Call::SaveGameStats: {
      std::vector<std::string> keys{"gid"};
      for (int i = 1; i <= 12; ++i) keys.push_back("R" + std::to_string(i));
      return keys;
    }
  }
  return {};
}

// The call a single key names on its own, if any.
std::optional<Request> CallOfKey(Script script, std::string_view key, bool passwordSeen) {
  Request r;
  auto make = [&](Call call) {
    r.call = call;
    return std::optional<Request>(r);
  };
  switch (script) {
    case Script::Account:
      if (key == "label0") return make(Call::ReadUser);
      if (key == "label1") return make(Call::ClubMembers);
      if (key == "labelqorread") return make(Call::ReadQors);
      if (key == "labelqorsave") return make(Call::SaveQors);
      if (key == "labelinforead") return make(Call::ReadInfo);
      if (key == "labelinfosave") return make(Call::SaveInfo);
      if (key == Label("kon")) return make(passwordSeen ? Call::SaveBest : Call::ReadTopTen);
      if (key == Label("best")) return make(Call::ReadBest);
      if (key == Label("rating")) return make(Call::RatingPlace);
      return std::nullopt;
    case Script::Stats:
      if (key == "stat1" || key == "stat2") return make(Call::CountStart);
      if (key == "stat3" || key == "stat4") return make(Call::Like);
      if (key == "R1") return make(Call::SaveGameStats);
      return std::nullopt;
    case Script::WorldTop:
      if (key == "rgid") return make(Call::RecordCount);
      if (key == "score" || key == "R7" || key == "R10") return make(Call::SaveRecord);
      return std::nullopt;
    case Script::Tourney: {
      if (key == "readtable410") return make(Call::ReadTables);
      if (key == "serverinforead") return make(Call::ReadServerInfo);
      if (StartsWith(key, "readclient") && AllDigits(key.substr(10))) {
        r.seat = ToInt(key.substr(10));
        return make(Call::ReadSeat);
      }
      if (StartsWith(key, "readrating") && AllDigits(key.substr(10))) {
        r.keyGameId = ToInt(key.substr(10));
        return make(Call::ReadRating);
      }
      if (StartsWith(key, "client")) {
        std::string_view rest = key.substr(6);
        if (!rest.empty() && (rest[0] == '3' || rest[0] == '4')) {
          r.tableSize = rest[0] - '0';
          rest.remove_prefix(1);
        }
        if (StartsWith(rest, "on") && AllDigits(rest.substr(2))) {
          r.seat = ToInt(rest.substr(2));
          return make(Call::TakeSeat);
        }
        return std::nullopt;
      }
      for (auto [prefix, call] : {std::pair{std::string_view("top10"), Call::ReadOnlineTop},
                                  std::pair{std::string_view("place"), Call::OnlinePlace}}) {
        if (StartsWith(key, prefix) && key.size() > prefix.size() + 1) {
          const char c = key[prefix.size()];
          if ((c == 's' || c == 'r' || c == 'k') && AllDigits(key.substr(prefix.size() + 1))) {
            r.selector = c;
            r.keyGameId = ToInt(key.substr(prefix.size() + 1));
            return make(call);
          }
        }
      }
      return std::nullopt;
    }
  }
  return std::nullopt;
}

std::optional<Request> Recognise(Script script, const std::vector<RawPiece>& pieces) {
  bool passwordSeen = false;
  for (const RawPiece& p : pieces) {
    if (auto r = CallOfKey(script, p.key, passwordSeen)) return r;
    if (p.key == "pw") passwordSeen = true;
  }
  auto has = [&](std::string_view key) {
    return std::any_of(pieces.begin(), pieces.end(),
                       [&](const RawPiece& p) { return p.key == key; });
  };
  Request r;
  if (script == Script::Account && has("nick") && has("pw") && has("country2")) {
    r.call = Call::RegisterUser;
    return r;
  }
  if (script == Script::WorldTop && has("gid")) {
    r.call = has("nick") ? Call::ReadMyRecords : Call::ReadRecords;
    return r;
  }
  if (script == Script::Stats && has("gid")) {
    r.call = Call::ReadStats;
    return r;
  }
  return std::nullopt;
}

// A field-list text must decode to UTF-8 that code page 1251 can hold: that is the only
// text the program can show or send back.
std::optional<std::string> DecodeFieldText(std::string_view raw) {
  auto decoded = PercentDecode(raw);
  if (!decoded || !Utf8ToCp1251(*decoded)) return std::nullopt;
  return decoded;
}

}  // namespace

std::vector<RawPiece> SplitBody(std::string_view body) {
  std::vector<RawPiece> pieces;
  size_t start = 0;
  while (start <= body.size()) {
    size_t end = body.find('&', start);
    if (end == std::string_view::npos) end = body.size();
    std::string_view piece = body.substr(start, end - start);
    if (!piece.empty()) {
      const size_t eq = piece.find('=');
      if (eq == std::string_view::npos) {
        pieces.push_back({piece, {}, false});
      } else {
        pieces.push_back({piece.substr(0, eq), piece.substr(eq + 1), true});
      }
    }
    start = end + 1;
  }
  return pieces;
}

std::optional<std::string> PercentDecode(std::string_view text) {
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%') {
      if (i + 2 >= text.size()) return std::nullopt;
      const int hi = hex(text[i + 1]);
      const int lo = hex(text[i + 2]);
      if (hi < 0 || lo < 0) return std::nullopt;
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

const std::string* Request::Find(std::string_view key) const {
  for (const auto& [k, v] : fields) {
    if (k == key) return &v;
  }
  return nullptr;
}

std::optional<Request> ParseRequest(Script script, std::string_view body, std::string* reason) {
  auto fail = [&](const char* why) -> std::optional<Request> {
    if (reason) *reason = why;
    return std::nullopt;
  };
  const std::vector<RawPiece> pieces = SplitBody(body);
  auto recognised = Recognise(script, pieces);
  if (!recognised) return fail("no call of this script matches the keys");
  Request request = std::move(*recognised);
  if (request.call == Call::ReadTables) {
    for (const RawPiece& p : pieces) {
      if (p.key == "readtable410") {
        if (!AllDigits(p.value)) return fail("table list game id is not a number");
        request.keyGameId = ToInt(p.value);
        break;
      }
    }
  }
  request.fieldList = IsFieldList(request.call);
  const std::vector<std::string> keys = KeysOf(request);
  auto isKey = [&](std::string_view key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
  };

  if (request.fieldList) {
    // Escaped text carries its "&" and "=" inside the escapes; a stray piece is ignored.
    for (const RawPiece& p : pieces) {
      if (!p.hasEquals || !isKey(p.key) || request.Find(p.key)) continue;
      auto value = DecodeFieldText(p.value);
      if (!value) return fail("a field is not valid percent-encoded text");
      request.fields.emplace_back(std::string(p.key), std::move(*value));
    }
    return request;
  }

  // Raw form: stray pieces are text of the value before them.
  std::vector<std::pair<std::string_view, std::string>> raw;
  for (const RawPiece& p : pieces) {
    const bool own =
        p.hasEquals && isKey(p.key) &&
        std::none_of(raw.begin(), raw.end(), [&](auto& f) { return f.first == p.key; });
    if (own) {
      raw.emplace_back(p.key, std::string(p.value));
    } else if (!raw.empty()) {
      raw.back().second += '&';
      raw.back().second.append(p.key);
      if (p.hasEquals) {
        raw.back().second += '=';
        raw.back().second.append(p.value);
      }
    }
  }
  for (auto& [key, value] : raw) {
    request.fields.emplace_back(std::string(key), Cp1251ToUtf8(value));
  }
  return request;
}

namespace {

constexpr struct {
  std::string_view path;
  Script script;
} kScriptPaths[] = {{"/scripts/account", Script::Account},
                    {"/scripts/stats", Script::Stats},
                    {"/scripts/worldtop", Script::WorldTop},
                    {"/scripts/tourney", Script::Tourney}};

constexpr std::string_view kHelpFolder = "/help/";
constexpr std::string_view kPhotoFolder = "/photos/";
constexpr std::string_view kPhotoSuffix = ".jpg";
constexpr std::string_view kAddonFolder = "/downloads/progr/cards/";

// The one non-empty path segment after `folder`, or nothing.
std::optional<std::string_view> SegmentAfter(std::string_view path, std::string_view folder) {
  if (!StartsWith(path, folder)) return std::nullopt;
  const std::string_view rest = path.substr(folder.size());
  if (rest.empty() || rest.find('/') != std::string_view::npos) return std::nullopt;
  return rest;
}

}  // namespace

RoutedPath RoutePath(std::string_view method, std::string_view path) {
  RoutedPath routed;
  if (method == "POST") {
    for (const auto& s : kScriptPaths) {
      if (path == s.path) {
        routed.route = Route::kScript;
        routed.script = s.script;
      }
    }
    return routed;
  }
  if (method != "GET" && method != "HEAD") return routed;
  if (path == "/scripts/myip") {
    routed.route = Route::kMyIp;
  } else if (path == "/directory.txt") {
    routed.route = Route::kDirectory;
  } else if (auto page = SegmentAfter(path, kHelpFolder)) {
    routed.route = Route::kHelp;
    routed.name = std::string(*page);
  } else if (auto photo = SegmentAfter(path, kPhotoFolder);
             photo && photo->size() > kPhotoSuffix.size() && photo->ends_with(kPhotoSuffix)) {
    routed.route = Route::kPhoto;
    routed.name = std::string(photo->substr(0, photo->size() - kPhotoSuffix.size()));
  } else if (auto file = SegmentAfter(path, kAddonFolder)) {
    routed.route = Route::kAddon;
    routed.name = std::string(*file);
  }
  return routed;
}

std::string PathOf(const RoutedPath& routed) {
  switch (routed.route) {
    case Route::kScript:
      for (const auto& s : kScriptPaths) {
        if (s.script == routed.script) return std::string(s.path);
      }
      return {};
    case Route::kMyIp:
      return "/scripts/myip";
    case Route::kDirectory:
      return "/directory.txt";
    case Route::kHelp:
      return std::string(kHelpFolder) + routed.name;
    case Route::kPhoto:
      return std::string(kPhotoFolder) + routed.name + std::string(kPhotoSuffix);
    case Route::kAddon:
      return std::string(kAddonFolder) + routed.name;
    case Route::kNotFound:
      break;
  }
  return {};
}

}  // namespace trilane::club
