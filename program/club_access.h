#pragma once
// What the main window reads from and writes to the club file in use: the few reads and
// writes the windows need, each loading and saving the file whole, so the windows never
// handle club-file records themselves.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "program/sign_in.h"
#include "table/match.h"

namespace trilane {

struct ClubFile;
struct ClubFileDeleter {
  void operator()(ClubFile* club) const;
};
using ClubFilePtr = std::unique_ptr<ClubFile, ClubFileDeleter>;

// The club file in use ("Trilane.net" in network mode); null when it cannot be read.
ClubFilePtr LoadClubInUse(const std::filesystem::path& programFolder, bool netMode);

// A member's line as the welcome window and the first deal need it.
struct MemberStart {
  bool empty = true;
  std::string nameUtf8;
  std::string name;          // code page 1251
  std::string passwordCode;  // columns 45-59
  int32_t gamesPlayed = 0;   // the running game count
  int32_t cycleScore = 0;
  double rating = 0;
};
MemberStart ReadMemberStart(const ClubFile& club, int slot);

// The first deal's values for who sits down: a member line's games, cycle score and rating
// (from `club`, when it could be read), or a new player's zeros.
MatchStart MatchStartFor(const ClubFile* club, int slot, const SignInResult& player);

// A line of the local top ten as the window shows it.
struct TopTenRow {
  std::string name;  // code page 1251
  int64_t score = 0;
};
std::vector<TopTenRow> TopTenRows(const ClubFile& club);

// Removes a member's line when a match is abandoned (slot 6 changes nothing). Returns false
// when the file could not be written; the old file is then kept.
bool RemoveMemberLine(const std::filesystem::path& programFolder, bool netMode, int slot);

// Writes a new name (code page 1251, at most 20 bytes) and password code into a member's
// line, keeping its results. False when the line is empty or the file could not be written.
bool RenameMemberLine(const std::filesystem::path& programFolder, bool netMode, int slot,
                      const std::string& name, const std::string& passwordCode);

}  // namespace trilane
