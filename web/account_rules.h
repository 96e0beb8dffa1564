#pragma once
// The rules of an account that need no network: which texts the account fields take, the
// account states, the account rating and its cycles, the Qors bonus of a world place and the
// per-match counters the statistics script adds up. Texts are code-page-1251 bytes.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "rules/game.h"
#include "web/web_records.h"

namespace trilane::web {

// --- Field rules ---

// The validator's verdict, also the colour of the lamp beside the field (red, yellow, green).
enum class FieldVerdict : uint8_t { kInvalid = 1, kValidCyrillic = 2, kValidLatin = 3 };

// The longest text each edit takes.
inline constexpr size_t kNickMaxLength = 12;
inline constexpr size_t kCityMaxLength = 15;
inline constexpr size_t kPasswordMinLength = 4;
inline constexpr size_t kPasswordMaxLength = 12;
inline constexpr size_t kEmailMaxLength = 30;

// The character classes: Latin letters, Cyrillic letters (Ё, ё and А..я), digits and the
// signs ! ( ) , - . @ _ . Everything else, the blank included, belongs to none.
bool IsLatinLetter(char c);
bool IsCyrillicLetter(char c);
bool IsNameSign(char c);
bool IsNameCharacter(char c);  // any of the classes

// One text against the classes: invalid when it is shorter than two characters, longer than
// `maxLength`, holds a character of no class, or holds a Cyrillic letter where none is
// allowed; otherwise valid with or without Cyrillic letters.
FieldVerdict RateText(std::string_view text, size_t maxLength, bool cyrillicAllowed);

FieldVerdict RateNick(std::string_view nick);          // 2..12, no Cyrillic
FieldVerdict RateCity(std::string_view city);          // 2..15, Cyrillic allowed
FieldVerdict RatePassword(std::string_view password);  // 4..12, no Cyrillic
FieldVerdict RateEmail(std::string_view email);  // 2..30, no Cyrillic, "@" inside, not at an end
// The passport and the like's name prompt: Cyrillic allowed in both.
FieldVerdict RatePassportNick(std::string_view nick);  // 2..12
FieldVerdict RatePassportCity(std::string_view city);  // 2..15

// Keystrokes in the account edits. Nick and city refuse a key of no class; password and
// e-mail take only Latin letters, digits and the signs. Backspace always passes.
inline constexpr char kBackspace = '\b';
bool KeyAllowedInNick(char key);
bool KeyAllowedInCity(char key);
bool KeyAllowedInPassword(char key);
bool KeyAllowedInEmail(char key);

// The profile as "Update info" sends it: "$" and "~" (which end and split the service's
// reply) become blanks, and each field is cut to the length of its edit.
TInfo14 ProfileForSending(TInfo14 profile);

// --- Account states ---

// Drives the lamps ("LampR24", "LampY24", "LampG24") and the stars of the account indicator.
enum class AccountState : uint8_t { kNone = 1, kSignedIn = 2, kRated = 3 };

// "Create an account": only without an account, with nick and city valid and password and
// e-mail valid without Cyrillic letters.
bool CanCreateAccount(AccountState state, FieldVerdict nick, FieldVerdict city,
                      FieldVerdict password, FieldVerdict email);
// The sign-in button: in state 1 with a valid nick and a Latin password; signing out always.
bool CanSignInOrOut(AccountState state, FieldVerdict nick, FieldVerdict password);

// --- The account rating ---
//
// R = S / K + K / 80 over the K rated games with total score S. The program never holds S:
// it keeps R and K and converts between them. The K / 80 part grows by one point per cycle
// played, so the divisor is the cycle length.

// Each rated match is booked in advance as a loss of this many points, and refunded after it.
inline constexpr int64_t kPreChargePoints = 40;

// Before a rated match: K1 = K + 4 and R1 = (K (R - K/80) - 40) / K1 + K1/80.
double PreChargedRating(int64_t kon, double rating);
// After it, from the K1 and R1 read back: R2 = K1/80 + (40 + K1 (R1 - K1/80) + m) / K1.
double BookedRating(int64_t kon1, double rating1, int64_t matchScore);

// The record the pre-charge sends: four more games at the pre-charged rating and an emptied
// cycle (the program keeps the cycle and sends it back with the booking).
TQorGame PreChargeRecord(const TQorGame& read);

// The cycle after a rated match, with `cycleGamesBefore` the games of the cycle before it
// and `cycleScoreAfter` the cycle's score after it. A cycle of 80 games completes: `Best`
// rises when the cycle beat it, `Sessions` grows and the cycle starts empty. True when the
// match completed the cycle.
bool ApplyCycle(TQorGame& game, int64_t cycleGamesBefore, int64_t cycleScoreAfter);

// The Qors a completed cycle earns by its place in the account table (the club service pays
// it by the same rule).
using ::trilane::CycleBonus;

// An account rating as the pages show it: three decimals, halves to even, with a comma
// ("3,050", "-9,950"). Named apart from the local rating's two-decimal form.
std::string FormatAccountRating(double rating);

// --- Per-match counters of the statistics script (R1..R12) ---

enum class MatchKind : uint8_t { kComputer, kDirect, kClub };

struct MatchDescription {
  MatchKind kind = MatchKind::kComputer;
  bool host = false;     // direct play: this machine hosted
  bool seatOne = false;  // club game: this player sat in seat 1
  int64_t games = 0;     // the match's games
  int64_t score = 0;     // the match score
  bool cycleCompleted = false;
};

// Each an increment for this match: R1 games and R2 cycles against the computer, R3 points
// won and R4 points lost by people there, R5 four games of a direct match (the host alone
// sends them), R6 one club game (seat 1 alone); the rest stay 0.
std::array<int64_t, 12> GameStatsCounters(const MatchDescription& match);

}  // namespace trilane::web
