#include "program/club_access.h"

#include <limits>

#include "base/codepage.h"
#include "program/match_end.h"
#include "records/club_file.h"

namespace trilane {

void ClubFileDeleter::operator()(ClubFile* club) const {
  delete club;
}

ClubFilePtr LoadClubInUse(const std::filesystem::path& programFolder, bool netMode) {
  auto club = LoadClubFile(ClubFilePath(programFolder, netMode));
  if (!club) return nullptr;
  return ClubFilePtr(new ClubFile(std::move(*club)));
}

namespace {

int32_t Narrow(int64_t v) {
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

}  // namespace

MemberStart ReadMemberStart(const ClubFile& club, int slot) {
  MemberStart out;
  if (slot < 1 || slot > kClubMembers) return out;
  const Member m = ReadMember(club, slot);
  out.empty = m.empty;
  if (m.empty) return out;
  out.name = m.name;
  out.nameUtf8 = Cp1251ToUtf8(m.name);
  out.passwordCode = m.passwordCode;
  out.gamesPlayed = Narrow(m.games.value_or(0));
  out.cycleScore = Narrow(m.cycleScore.value_or(0));
  out.rating = m.rating.value_or(0.0);
  return out;
}

std::vector<TopTenRow> TopTenRows(const ClubFile& club) {
  std::vector<TopTenRow> rows;
  for (const TopTenEntry& e : ReadTopTen(club)) rows.push_back({e.name, e.score});
  return rows;
}

bool RemoveMemberLine(const std::filesystem::path& programFolder, bool netMode, int slot) {
  if (slot < 1 || slot > kClubMembers) return true;
  return !RemoveMemberFromFile(ClubFilePath(programFolder, netMode), slot).has_value();
}

bool RenameMemberLine(const std::filesystem::path& programFolder, bool netMode, int slot,
                      const std::string& name, const std::string& passwordCode) {
  return !RenameMemberInFile(ClubFilePath(programFolder, netMode), slot, name, passwordCode)
              .has_value();
}

MatchStart MatchStartFor(const ClubFile* club, int slot, const SignInResult& player) {
  MatchStart start;
  start.currentSlot = slot;
  start.name = player.nameUtf8;
  start.accountState = 1;
  if (club != nullptr && slot >= 1 && slot <= kClubMembers) {
    const MemberStart member = ReadMemberStart(*club, slot);
    start.gamesPlayed = member.gamesPlayed;
    start.initialScore = member.cycleScore;
    start.initialRating = member.rating;
  }
  return start;
}

}  // namespace trilane
