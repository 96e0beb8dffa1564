#pragma once
// The club file: up to five local members and the local top ten, "Trilane.clb" for games
// against the computer and "Trilane.net" for network games. 17 lines of code-page-1251 text
// with CR LF ends and fixed lengths:
//   1..5   member lines (59 bytes), best rating first
//   6..15  the top ten of finished cycles (26 bytes): name 1-20, score 21-26
//   16     the game marker (28 bytes): the byte GameCode + 100, then "}"
//   17     28 bytes: column 1 "1" starts the program in Russian, columns 7-9 a marker,
//          columns 11-28 three six-digit checksums over lines 1..16
// Arrays here are 0-based: lines[i] is line i + 1; member slot s (1..5) is lines[s - 1].

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "records/expected.h"
#include "records/file_io.h"
#include "records/record_error.h"
#include "rules/game.h"

namespace trilane {

inline constexpr char kClubFileName[] = "Trilane.clb";
inline constexpr char kNetClubFileName[] = "Trilane.net";
inline constexpr int kClubLines = 17;
inline constexpr int kClubMembers = 5;
inline constexpr int kTopTenSize = 10;
inline constexpr size_t kMemberLineLength = 59;
inline constexpr size_t kTopTenLineLength = 26;
inline constexpr size_t kMarkerLineLength = 28;
inline constexpr size_t kMemberNameLength = 20;
inline constexpr size_t kPasswordLength = 5;
// The slot of a player without a member line (1..5 are the member lines).
inline constexpr int kSlotNewPlayer = 6;
inline constexpr char kEmptyMemberLine[] =
    "##################################### #####################";
// The club-file marker that keeps the program from sending its start-up statistics.
inline constexpr char kQuietMarker[] = "oqr";
// The marker of the club files this build installs.
inline constexpr char kInstalledMarker[] = "trl";
// Added to each password byte before it is written as three digits. Every installation of
// the program uses the same value, so club files move between machines.
inline constexpr int kPasswordOffset = 311;

struct ClubFile {
  std::array<std::string, kClubLines> lines;  // without line ends
};

// The layout only: exactly 17 lines of the fixed lengths.
Expected<ClubFile, RecordError> ParseClubFile(std::string_view bytes);
// The contents: the game marker of line 16 and the three checksums of line 17.
std::optional<RecordError> VerifyClubFile(const ClubFile& club);

struct ClubChecksums {
  int s1 = 0;  // every byte of lines 1..16
  int s2 = 0;  // bytes at even 1-based positions
  int s3 = 0;  // bytes at positions divisible by 3
};
ClubChecksums ComputeClubChecksums(const ClubFile& club);
// Rewrites columns 11-28 of line 17; every writer calls it before saving.
void UpdateClubChecksums(ClubFile& club);
std::string FormatClubFile(const ClubFile& club);

std::string ClubMarker(const ClubFile& club);  // columns 7-9 of line 17
bool ClubStartsInRussian(const ClubFile& club);

// A fresh club file as installed: five empty member lines and a starting top ten (a
// different one for network play), marked with kInstalledMarker.
ClubFile NewClubFile(bool net);

// One member line, as read at the start of a deal.
struct Member {
  bool empty = true;                  // column 37 is "#"
  std::string name;                   // columns 1-20, trailing spaces removed (code page 1251)
  std::optional<double> rating;       // columns 21-30; none when the field is not a number
  std::optional<int64_t> games;       // columns 31-37: the running game count
  std::optional<int64_t> cycleScore;  // columns 39-44
  std::string passwordCode;           // columns 45-59 as stored
};
// `slot` 1..5.
Member ReadMember(const ClubFile& club, int slot);

struct TopTenEntry {
  std::string name;   // trailing spaces removed
  int64_t score = 0;  // a score that is not a number counts as 0
};
std::array<TopTenEntry, kTopTenSize> ReadTopTen(const ClubFile& club);

// A member's running game count `games` completes a cycle when it is a positive multiple of
// 80; the game of the current cycle runs 1..80 (0 before the first game).
bool CompletesCycle(int64_t games);
int64_t GameOfCycle(int64_t games);

// Why `name` (code page 1251) cannot stand in a member line: longer than 20 bytes or holding
// a control character; nothing when it can.
std::optional<std::string> MemberNameFault(std::string_view name);
// The name a player types, with the blanks around it removed; refused when nothing is left
// or MemberNameFault finds a fault.
Expected<std::string, RecordError> TypedMemberName(std::string_view typed);

// Each byte of the password, padded with spaces to five, as three digits of its code plus
// kPasswordOffset. Nothing when the password is longer than five bytes.
std::optional<std::string> EncodePassword(std::string_view password);
// The five bytes (with their padding), or nothing when the field is not five valid codes.
std::optional<std::string> DecodePassword(std::string_view code);
// Signing in: the typed password and the stored one compared in their padded forms.
bool PasswordMatches(std::string_view typed, std::string_view storedCode);

// The local rating after a match: (N * R0 + m / 2) / K with N the games before, R0 the
// rating before, m the match score and K the games after; rounded to six decimals (halves
// to even) and kept within -99.99 .. 99.99. K must be positive.
double LocalRating(int64_t gamesBefore, double ratingBefore, int64_t matchScore,
                   int64_t gamesAfter);

// A member line: the name padded to 20, the rating with six decimals and a comma in 10,
// the game count in 7, a space, the cycle score in 6 (kept within -99999..999999) and the
// 15-digit password code. Fails for a name over 20 bytes or with control characters, a
// game count over 7 digits or a malformed password code.
Expected<std::string, RecordError> FormatMemberLine(std::string_view name, double rating,
                                                    int64_t games, int64_t cycleScore,
                                                    std::string_view passwordCode);

// Removes member `slot` (1..5): the lines below move up and line 5 becomes empty. Slot 6
// (a player without a member line) changes nothing. Checksums are not touched.
void RemoveMember(ClubFile& club, int slot);

// Gives member `slot` (1..5) a new name (code page 1251, at most 20 bytes) and password code,
// keeping the line's results. Fails for an empty line, a name the line cannot hold or a
// malformed password code; the club is then unchanged.
std::optional<RecordError> RenameMember(ClubFile& club, int slot, std::string_view name,
                                        std::string_view passwordCode);

// What the end of a match writes for a member (slot 1..5) or a new player (slot 6).
struct MemberResult {
  int slot = kSlotNewPlayer;
  std::string name;          // code page 1251, at most 20 bytes
  std::string passwordCode;  // 15 digits, see EncodePassword
  int64_t gamesAfter = 0;    // the running game count after the match
  double rating = 0;         // after the match (LocalRating)
  int64_t cycleScore = 0;    // the score of the current cycle after the match
};

struct MemberResultOutcome {
  std::string memberLine;  // the line as inserted (cycle score reset after a full cycle)
  bool cycleCompleted = false;
  int place = 0;           // 1..10 in the top ten after a completed cycle; 0 otherwise
  int64_t cycleScore = 0;  // the cycle's score, for the end-of-cycle window
  int memberSlot = 0;      // where the line went, 1..5; 0 when it did not make the five
};

// The end-of-match update: the old line removed, the top ten updated on a completed cycle
// (an equal score goes above the existing entry, the tenth drops out), and the new line
// inserted by rating (an equal rating goes above; the fifth drops out). Checksums are not
// touched. Fails only for values that do not fit the line.
Expected<MemberResultOutcome, RecordError> ApplyMemberResult(ClubFile& club,
                                                             const MemberResult& result);

// The result of a match for the member in `slot` (read from `club`; slot 6 starts from
// nothing) with match score `matchScore` over `rounds` games.
Expected<MemberResult, RecordError> MatchResultFor(const ClubFile& club, int slot,
                                                   std::string_view name,
                                                   std::string_view passwordCode,
                                                   int64_t matchScore, int64_t rounds);

// --- Files ---

// The start-up check of one club file.
struct ClubCheck {
  bool good = false;
  RecordError error;  // when not good: missing, unreadable, bad layout or bad contents
  std::string marker;
  bool russian = false;
  bool writeLock = false;  // the file's attributes forbid writing; start-up goes on
};
ClubCheck CheckClubFile(const std::filesystem::path& path);

// True when the club file must not be written: on Windows when its attributes are a
// non-empty mix of read-only, hidden and system (with or without archive); elsewhere when
// it is read-only.
bool ClubWriteLocked(const std::filesystem::path& path);

// Reads, checks the layout and verifies the checksums.
Expected<ClubFile, RecordError> LoadClubFile(const std::filesystem::path& path);
// Recomputes the checksums and replaces the file atomically; refused while the file is
// write-locked. On failure the old file is intact ("Error of disk writing!").
std::optional<RecordError> SaveClubFile(const std::filesystem::path& path, ClubFile club,
                                        const WriteFaultHook& hook = {});
std::optional<RecordError> RemoveMemberFromFile(const std::filesystem::path& path, int slot,
                                                const WriteFaultHook& hook = {});
std::optional<RecordError> RenameMemberInFile(const std::filesystem::path& path, int slot,
                                              std::string_view name, std::string_view passwordCode,
                                              const WriteFaultHook& hook = {});
Expected<MemberResultOutcome, RecordError> WriteMemberResultToFile(
    const std::filesystem::path& path, const MemberResult& result, const WriteFaultHook& hook = {});

}  // namespace trilane
