#pragma once
// Game-history files: one line per finished match, in "History/Trilane_I0001.hst" and on,
// up to number 9999, at most 840 records a file. A file is code-page-1251 text with CR LF
// ends: the record lines (114 bytes each), a terminator line (114 bytes, beginning "$") and
// a totals line (three ten-digit sums). Every line but the totals ends in a 15-digit
// checksum of its first 99 bytes; the totals line holds the sums of those checksums.
//
// The caller passes the time and date of the write and its short-date pattern; nothing
// here reads a clock.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/expected.h"
#include "records/file_io.h"
#include "records/record_error.h"

namespace trilane {

inline constexpr int kHistoryRecordsPerFile = 840;
inline constexpr int kHistoryMaxFiles = 9999;
inline constexpr size_t kHistoryLineLength = 114;
inline constexpr size_t kHistoryTotalsLength = 30;
inline constexpr char kHistoryFolderName[] = "History";

// The kind of a finished match, written as the letter that opens the kind field.
enum MatchKind : int { kLocalMatch = 0, kAccountMatch = 1, kTourneyMatch = 2, kNetMatch = 3 };

// "L", "A", "T" or "N"; the kind named by a letter, or nothing for any other letter.
char MatchKindLetter(MatchKind kind);
std::optional<MatchKind> MatchKindFromLetter(char letter);
// The type column of the history window: "Local", "Account", "Tourney", "Net".
const char* MatchKindName(MatchKind kind);

// One finished match as the history keeps it: handed in by the end of a match to be written,
// and given back when a record line is read.
struct HistoryRecord {
  std::string players;  // code page 1251: the player, or the table's names joined by "/"; cut to 51
  int64_t games = 0;    // games of the match, -99..999
  int64_t result = 0;   // the match score
  double rating = 0;    // the rating after the match, written with two decimals
  MatchKind kind = kLocalMatch;
  // The time and date of the write as the line shows them; filled when a line is read (a
  // write takes them from the time the caller passes).
  std::string writtenTime{}, writtenDate{};
};

// The fixed columns of a record line (1-based column and width).
struct HistoryColumn {
  size_t column, width;
  std::string_view Of(std::string_view line) const {
    return column - 1 < line.size() ? line.substr(column - 1, width) : std::string_view();
  }
  // The column without the blanks that pad it, as the history window shows it.
  std::string Text(std::string_view line) const {
    std::string_view field = Of(line);
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
    return std::string(field);
  }
};
inline constexpr HistoryColumn kHistoryTimeColumn{1, 5};
inline constexpr HistoryColumn kHistoryDateColumn{6, 10};
inline constexpr HistoryColumn kHistoryPlayersColumn{16, 51};
inline constexpr HistoryColumn kHistoryGamesColumn{67, 3};
inline constexpr HistoryColumn kHistoryResultColumn{70, 10};
inline constexpr HistoryColumn kHistoryRatingColumn{80, 10};
inline constexpr HistoryColumn kHistoryKindColumn{90, 10};
inline constexpr HistoryColumn kHistoryChecksumColumn{100, 15};

// A local date and time, handed in by the caller.
struct CalendarTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;   // 0..23
  int minute = 0;
};

// True for a real day of the Gregorian calendar: 2024-02-29 is one, 2026-02-31 is not.
bool IsCalendarDate(int year, int month, int day);

inline constexpr char kDefaultDatePattern[] = "dd.MM.yyyy";

// A date in a system short-date pattern made of the letters d, M and y: "d" the day, "dd"
// the day in two digits (likewise M), "yy" the year in two digits, "yyyy" in four. Other
// characters are copied; text in single quotes is copied without the quotes.
std::string FormatShortDate(const CalendarTime& when, std::string_view pattern);

// The file of `number` (1..9999) in `dir`: dir/Trilane_I0001.hst.
std::filesystem::path HistoryFilePath(const std::filesystem::path& dir, int number);

// The 15 checksum digits of a line: S1 (bytes 1..99), S2 (even positions), S3 (positions
// divisible by 3), five digits each. A shorter line counts its missing bytes as absent.
std::string HistoryLineChecksum(std::string_view line);

// "-3,25" for -3.25: times 100, halves to even, comma before the last two digits, a minus
// when the value is negative; right-aligned in 10. Fails when it does not fit.
Expected<std::string, RecordError> FormatHistoryRating(double rating);

// One record line of 114 bytes, its checksum included.
Expected<std::string, RecordError> FormatHistoryRecord(const HistoryRecord& record,
                                                       const CalendarTime& now,
                                                       std::string_view datePattern);
std::string HistoryTerminatorLine();
// The whole file for these record lines: the records, the terminator, the totals.
std::string BuildHistoryFile(const std::vector<std::string>& recordLines);

struct HistoryCheck {
  bool valid = false;
  int records = 0;
  RecordError error;                     // why it is not valid
  std::vector<std::string> recordLines;  // when valid, oldest first
};
HistoryCheck CheckHistory(std::string_view bytes);
HistoryCheck CheckHistoryFile(const std::filesystem::path& path);

// The record of a line that passed the check: the columns trimmed of their padding and
// read back. Nothing when a number column is not a number or the kind letter is unknown
// (the checksums protect a file against damage, not against a hand that edits it and
// recomputes them).
std::optional<HistoryRecord> ReadHistoryRecord(std::string_view recordLine);

struct HistoryAppend {
  int fileNumber = 0;
  std::filesystem::path file;
  int records = 0;         // in the file after the append
  bool restarted = false;  // the file was missing or invalid and was started anew
  // An invalid file is not lost: it is moved aside to this name before the new one is
  // written (empty when there was none).
  std::filesystem::path setAside;
  std::vector<std::string> lines;  // the record lines written
};

// Appends `records` (normally one) to the first file that is valid and not full, or starts
// the first file that is missing or invalid. Creates `dir` when missing. On failure the
// files are as they were and the caller shows "Cann`t save history!".
Expected<HistoryAppend, RecordError> AppendHistory(const std::filesystem::path& dir,
                                                   const std::vector<HistoryRecord>& records,
                                                   const CalendarTime& now,
                                                   std::string_view datePattern,
                                                   const WriteFaultHook& hook = {});

struct HistoryFileInfo {
  int number = 0;
  std::filesystem::path file;
  int records = 0;
  std::filesystem::file_time_type modified{};
};
// The valid files from number 1 on, stopping at the first that is missing or invalid.
std::vector<HistoryFileInfo> ListHistoryFiles(const std::filesystem::path& dir);

}  // namespace trilane
