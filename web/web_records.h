#pragma once
// The records exchanged with the web service. Texts are code-page-1251 bytes, as everywhere
// inside the program; the defaults are the values a read resets a record to before it fills
// it, so a field the reply does not carry keeps that default.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace trilane::web {

// The public profile of an account.
struct TInfo14 {
  std::string Name1, Name2, About, Telephone, EMailO, Skype, WebSite, OK, VK, Telegram, FaceBook,
      Twitter, Instagramm, YouTube;
  bool operator==(const TInfo14&) const = default;
};

// The signed-in account.
struct TQorUser {
  std::string Nick;
  std::string Pw;
  std::string City = "#";
  std::string Country1 = "#";  // the country's short name
  std::string Country2 = "#";  // continent digit, "-", three-digit row
  char Sex = '#';              // 'M' man, 'W' woman
  std::string EMail = "#";
  std::string DateR = "00.00.0000";
  std::string R01 = "#", R02 = "#", R03 = "#";
  int64_t R04 = 0;  // the Qors balance
  int64_t R05 = 0, R06 = 0;
  TInfo14 Info;
  bool operator==(const TQorUser&) const = default;
};

// The account's results in this game; only Kon, Best, Rating, Sessions, KonL, Score, R1 and
// R2 travel, Place comes from the rating-place call.
struct TQorGame {
  int64_t Kon = 0;       // rated games ever played
  int64_t Score = 0;     // score collected in the current cycle
  int64_t Sessions = 0;  // completed cycles
  double Rating = 0;
  char PlayNow = 'N';
  int64_t R1 = 0;
  std::string R2 = "#";
  int64_t Place = 0;
  int64_t Best = 0;  // best cycle score
  int64_t KonL = 0;  // games played in the current cycle
  bool operator==(const TQorGame&) const = default;
};

// One line of the world top ten by rating.
struct TQorTop10 {
  std::string Nick, City, Country;
  char Sex = 'M';
  double Rating = 0;
  bool operator==(const TQorTop10&) const = default;
};

// One entry of a world table, of the online top ten, or one message of the board.
// An entry whose Nick is "#" is empty.
struct TQorRecord {
  int64_t RID = 0;
  int64_t GID = 0;
  int64_t Score = 0;
  std::string Nick = "#", Country = "#", City = "#";
  std::string R07 = "#";  // sex
  std::string R08 = "#";  // the program version that wrote the entry
  std::string R09 = "#";
  std::string R10 = "#*";
  int64_t Place = 0;
  bool operator==(const TQorRecord&) const = default;
};

// The game's world statistics.
struct TQorStat {
  int64_t GID = 0;
  int64_t Stat1 = 0;                // starts
  int64_t Stat2 = 0;                // first starts
  int64_t Stat3 = 0;                // likes
  std::string Stat4;                // the nick of the last like
  std::array<int64_t, 12> StatX{};  // the per-match counters R1..R12
  int64_t StatY = 0;
  std::string StatZ;
  bool operator==(const TQorStat&) const = default;
};

// A player at a tournament table, and the player's own seat record. Nick "X" is a free seat.
struct TQorClient {
  std::string Nick = "X";
  int64_t Score = 0;
  int64_t Kon = 0;
  int64_t Rating = 0;
  std::string Country = "X";
  std::string City = "X";
  char Sex = 'M';
  std::string IP = "X";
  bool operator==(const TQorClient&) const = default;
};

// One four-seat table of the tournament.
struct TQorTable_4 {
  std::string IP = "0.0.0.0";
  int64_t Port = 0;
  std::string Free = "X";
  int64_t R1 = 0;
  std::string R2 = "X";
  std::array<TQorClient, 4> Seats{};
  bool operator==(const TQorTable_4&) const = default;
};

// A table as a read resets it: every address "0.0.0.0", texts "X", sex "M", numbers 0.
TQorTable_4 EmptyTable();

// The service keeps "#" for a text never filled in: a city, an e-mail, a profile line, the nick
// of a list entry that holds nobody. The records hold each field as it was sent, so that a
// record read can be sent back unchanged; what a player is shown of a field is decided here.
inline constexpr std::string_view kUnfilledField = "#";

// The text a player is shown of a field: empty where the service keeps its mark.
std::string_view ShownField(std::string_view field);

// True for the nick of a list entry that holds nobody: empty, or the service's mark.
bool IsEmptyNick(std::string_view nick);

}  // namespace trilane::web
