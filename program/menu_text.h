#pragma once
// The texts of the main menu's member buttons and top-three panels, built from the club
// file's lines (code page 1251 bytes) and shortened to fit their buttons.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace trilane {

// A member line's caption: mode 1 name, games of the cycle and score; mode 2 name, all games
// and rating. Still code page 1251.
std::string MemberCaption(std::string_view memberLine, int menuMode);

// Member line 5 while an account is signed in: the same columns from the account's figures
// (nick padded to 20; games of the cycle, all games, the cycle's score, the rating with two
// decimals), so the line reads like a club member's. Code page 1251.
std::string AccountMemberCaption(std::string_view nick, double rating, int64_t cycleGames,
                                 int64_t allGames, int64_t cycleScore, int menuMode);

// A top-ten line's caption: name and its six-character value.
std::string TopTenCaption(std::string_view topTenLine);

// Deletes characters from position 20 down to 5 (1-based) until `width` of the caption is
// below `limit`; when a deleted character was neither a blank nor "#", "..." replaces the
// three characters before the last deletion point. `width` measures code page 1251 bytes.
std::string ShortenToFit(std::string caption, int limit,
                         const std::function<int(std::string_view)>& width);

}  // namespace trilane
