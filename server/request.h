#pragma once
// Reading the bodies of the four scripts' posts.
//
// The program sends each call in one of two forms, fixed per call:
//  - a raw form: key=value&key=value in code page 1251, values not escaped;
//  - a field list: key and value percent-encoded as UTF-8 ("+" for a blank), with "&&"
//    between pairs (the program's list holds an empty line between pairs).
// The body is split on "&", empty pieces are skipped and the first "=" of a piece splits key
// and value. The call is recognised by its keys (the first key that names a call decides);
// the call then says which form its body is in, and only a field-list body is
// percent-decoded. A raw-form body is converted from code page 1251 to UTF-8.
//
// A raw-form value may contain "&" or "=". A piece whose key is not one of the call's keys,
// or a key seen before, is therefore taken back as text of the value before it (re-joined
// with its "&"): such a value cannot add a key or change one that came before it. Text that
// happens to read "&<later key of the same call>=" does end its value there; the later key
// then takes the first value given for it.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trilane::club {

enum class Script { Account, Stats, WorldTop, Tourney };

enum class Call {
  RegisterUser,
  ReadUser,
  ReadTopTen,
  RatingPlace,
  ClubMembers,
  ReadQors,
  SaveQors,
  ReadInfo,
  SaveInfo,
  ReadBest,
  SaveBest,
  RecordCount,
  ReadRecords,
  ReadMyRecords,
  SaveRecord,
  ReadTables,
  TakeSeat,
  ReadSeat,
  ReadServerInfo,
  ReadRating,
  ReadOnlineTop,
  OnlinePlace,
  ReadStats,
  CountStart,
  Like,
  SaveGameStats,
};

// The prefix of the per-game keys of the account script.
inline constexpr std::string_view kGameLabel = "crdtrilane";

struct RawPiece {
  std::string_view key;
  std::string_view value;
  bool hasEquals = false;
};

// Splits a body on "&" (empty pieces skipped) and each piece at its first "=".
std::vector<RawPiece> SplitBody(std::string_view body);

// Percent-decoding of a field-list text ("+" is a blank). Nothing on a broken escape.
std::optional<std::string> PercentDecode(std::string_view text);

struct Request {
  Call call{};
  bool fieldList = false;  // the body was a percent-encoded field list
  int seat = 0;            // readclient<s>, client..on<s>
  int tableSize = 0;       // client<k>on: 3, 4 or 0 when empty
  char selector = 0;       // top10<c>, place<c>
  int keyGameId = 0;       // readrating<gid>, top10<c><gid>, place<c><gid>, readtable410's value
  std::vector<std::pair<std::string, std::string>> fields;  // UTF-8, in the order received

  // The value of a key, or nothing when it was not sent.
  const std::string* Find(std::string_view key) const;
};

// Recognises the call and decodes its fields. Nothing (with a reason) when no call of the
// script matches, a field-list escape is broken, or a text is not valid for its encoding.
std::optional<Request> ParseRequest(Script script, std::string_view body, std::string* reason);

// The service's addresses. Routing is exact: a path is served only when it reads exactly as
// one of these (no folding of "//", "." or a trailing "/"), so the name a file route hands on
// is one path segment and never holds a "/".
//
//   POST /scripts/account | stats | worldtop | tourney    a script
//   GET  /scripts/myip                                    the caller's address
//   GET  /directory.txt                                   the service directory
//   GET  /help/<name>                                     a help page
//   GET  /photos/<nick>.jpg                               a photo
//   GET  /downloads/progr/cards/<file>                    an add-on library
//
// HEAD is answered as GET (without the body). Anything else is not found.
enum class Route { kNotFound, kScript, kMyIp, kDirectory, kHelp, kPhoto, kAddon };

struct RoutedPath {
  Route route = Route::kNotFound;
  Script script{};   // kScript
  std::string name;  // kHelp: the page, kPhoto: the nick, kAddon: the file name
};

// `path` is the percent-decoded path of the request, without its query.
RoutedPath RoutePath(std::string_view method, std::string_view path);

// The path a route is served at: RoutePath(method, PathOf(r)) gives r back.
std::string PathOf(const RoutedPath& routed);

}  // namespace trilane::club
