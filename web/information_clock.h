#pragma once
// The information clock of the main menu: seven pages of web figures, one at a time, chosen
// by the minute. Reading a page is pure (it goes through the web client); drawing it and
// writing its hint in the current language is the window's work, from what is here.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "web/calls.h"

namespace trilane::web {

inline constexpr int kInformationPages = 7;

// The page a minute of the clock shows: (minute mod 7) + 1; the Qors page (6) needs a
// signed-in account and gives way to page 7 without one.
int InformationPageAt(int minute, bool signedIn);

struct InformationPage {
  int page = 7;         // 1..7: also picks the digit set
  std::string icon;     // the program picture drawn at (10, 10)
  int hintEntry = 0;    // the words entry the hint starts with
  std::string nick;     // appended to the hint (pages 3..5), code page 1251 as read
  std::string country;  // page 3: the best player's country code, drawn as a flag
  bool empty = false;   // a top-ten table without entries: the hint ends in "No"
  bool failed = false;  // the read failed: the hint ends in "NO CONNECT"
  std::string value;    // digits, possibly a sign and a "K", "M" or "G"
  bool operator==(const InformationPage&) const = default;
};

// Reads page 1..7 through `client` (one web call; page 6 reads the Qors of `nick`).
InformationPage ReadInformationPage(WebClient& client, int page, const std::string& nick);

// The page's hint in UTF-8: the entry's text, the nick, then "No" for an empty table or
// "NO CONNECT" for a failed read. `word` gives an entry's text in the current language.
std::string InformationHint(const InformationPage& page,
                            const std::function<std::string(int entry)>& word);

// A count in at most four characters' width: above 999 whole thousands with "K", above
// 999999 millions with "M", above 999999999 billions with "G" (truncated, not rounded).
std::string ShortCount(int64_t count);

}  // namespace trilane::web
