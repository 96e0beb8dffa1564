#include "shell/club_access.h"

#include <limits>

#include "base/codepage.h"
#include "records/club_file.h"
#include "shell/match_end.h"

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
  out.games = Narrow(m.games.value_or(0));
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
  if (slot < 1 || slot > kClubMembers || name.size() > 20 || passwordCode.size() != 15)
    return false;
  const std::filesystem::path path = ClubFilePath(programFolder, netMode);
  auto club = LoadClubFile(path);
  if (!club || ReadMember(*club, slot).empty) return false;
  std::string& line = club->lines[slot - 1];
  std::string padded = name;
  padded.resize(20, ' ');
  line.replace(0, 20, padded);
  line.replace(44, 15, passwordCode);
  return !SaveClubFile(path, *club).has_value();
}

double RatingAfter(int64_t gamesBefore, double ratingBefore, int64_t matchScore,
                   int64_t gamesAfter) {
  if (gamesAfter <= 0) return ratingBefore;
  return LocalRating(gamesBefore, ratingBefore, matchScore, gamesAfter);
}

}  // namespace trilane
