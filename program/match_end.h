#pragma once
// The local steps at the end of a match against the computer: the rating the match gives,
// the history line, and the member's line and the top ten in the club file in use. The
// sounds and windows that follow are the main window's; this part only touches files, so
// the whole sequence can be checked without a screen. The header names no club-file types,
// so the windows that include the table's match counters can include it too.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "records/history_file.h"
#include "records/record_error.h"

namespace trilane {

struct LocalMatchEnd {
  std::filesystem::path programFolder;
  bool netMode = false;        // the club file in use: "Trilane.net" instead of "Trilane.clb"
  int slot = 6;                // 1..5 a member line, 6 a new player
  std::string name;            // code page 1251, at most 20 bytes
  std::string passwordCode;    // 15 digits (EncodePassword)
  int64_t score = 0;           // the match score
  int64_t rounds = 0;          // games of the match
  bool clubWriteLock = false;  // the start-up found a protected club file: write nothing
  CalendarTime now;
  std::string datePattern = kDefaultDatePattern;
  // A direct-play match: its history line is an "N" line listing `historyPlayers` (the
  // name alone when empty).
  bool networkGame = false;
  std::string historyPlayers;
};

struct LocalMatchEndOutcome {
  double rating = 0;                        // after the match
  bool cycleCompleted = false;              // the match ended a cycle of 80 games
  int place = 0;                            // in the top ten after a completed cycle, 0 when none
  int64_t cycleScore = 0;                   // the completed cycle's score
  std::optional<RecordError> historyError;  // shown as "Cann`t save history!"
  std::optional<RecordError> clubError;     // shown as "Error of disk writing!"
  std::filesystem::path historyFile;        // the file the line went to
};

std::filesystem::path ClubFilePath(const std::filesystem::path& programFolder, bool netMode);

// Runs the steps in order: rating, history line, club file. A failed step does not stop the
// later ones; each failure is reported once in the outcome.
LocalMatchEndOutcome FinishLocalMatch(const LocalMatchEnd& match);

}  // namespace trilane
