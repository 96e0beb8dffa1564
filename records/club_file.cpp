#include "records/club_file.h"

#include <algorithm>
#include <cmath>

#include "base/rounding.h"
#include "records/text_lines.h"
#include "records/windows_api.h"

namespace trilane {
namespace {

constexpr size_t kLineLengths[kClubLines] = {59, 59, 59, 59, 59, 26, 26, 26, 26,
                                             26, 26, 26, 26, 26, 26, 28, 28};
constexpr size_t kChecksummedBytes = 583;                         // lines 1..16 without line ends
constexpr char kGameMarker = static_cast<char>(kGameCode + 100);  // 0xC2 in code page 1251

std::string SixDigits(int v) {
  return PadLeft(std::to_string(v), 6, '0');
}

bool IsEmptyMemberLine(std::string_view line) {
  return line.size() >= 37 && line[36] == '#';
}

}  // namespace

Expected<ClubFile, RecordError> ParseClubFile(std::string_view bytes) {
  const auto lines = SplitLines(bytes);
  if (lines.size() != kClubLines) {
    const int line =
        lines.size() < kClubLines ? static_cast<int>(lines.size()) + 1 : kClubLines + 1;
    return Fail(
        BadFile(line, 0, "the file has " + std::to_string(lines.size()) + " lines, not 17"));
  }
  ClubFile club;
  for (int i = 0; i < kClubLines; ++i) {
    const std::string_view line = lines[static_cast<size_t>(i)];
    if (line.size() != kLineLengths[i]) {
      const size_t column = std::min(line.size(), kLineLengths[i]) + 1;
      return Fail(BadFile(i + 1, static_cast<int>(column),
                          "the line has " + std::to_string(line.size()) + " characters, not " +
                              std::to_string(kLineLengths[i])));
    }
    club.lines[static_cast<size_t>(i)] = std::string(line);
  }
  return club;
}

ClubChecksums ComputeClubChecksums(const ClubFile& club) {
  ClubChecksums sums;
  size_t position = 0;  // 1-based over the concatenation of lines 1..16
  for (int i = 0; i < 16 && position < kChecksummedBytes; ++i) {
    for (char ch : club.lines[static_cast<size_t>(i)]) {
      if (++position > kChecksummedBytes) break;
      const int b = static_cast<unsigned char>(ch);
      sums.s1 += b;
      if (position % 2 == 0) sums.s2 += b;
      if (position % 3 == 0) sums.s3 += b;
    }
  }
  return sums;
}

std::optional<RecordError> VerifyClubFile(const ClubFile& club) {
  const std::string& marker = club.lines[15];
  if (marker.size() < 2 || marker[0] != kGameMarker) {
    return BadFile(16, 1, "the game marker is not this game's");
  }
  if (marker[1] != '}') return BadFile(16, 2, "the game marker does not end with \"}\"");
  const std::string& last = club.lines[16];
  if (last.size() != kMarkerLineLength) return BadFile(17, 0, "the checksum line is too short");
  const ClubChecksums sums = ComputeClubChecksums(club);
  const int expected[3] = {sums.s1, sums.s2, sums.s3};
  for (int k = 0; k < 3; ++k) {
    const size_t column = 11 + 6 * static_cast<size_t>(k);
    const std::string_view field = std::string_view(last).substr(column - 1, 6);
    const auto stored = ParseWholeNumber(field);
    const std::string name = "checksum " + std::to_string(k + 1);
    if (!stored) {
      return BadFile(17, static_cast<int>(column), name + " is not a number");
    }
    if (*stored != expected[k]) {
      return BadFile(17, static_cast<int>(column),
                     name + " is " + std::string(field) + " but the lines add up to " +
                         SixDigits(expected[k]));
    }
  }
  return std::nullopt;
}

void UpdateClubChecksums(ClubFile& club) {
  const ClubChecksums sums = ComputeClubChecksums(club);
  std::string& last = club.lines[16];
  last.resize(kMarkerLineLength, '#');
  last.replace(10, 18, SixDigits(sums.s1) + SixDigits(sums.s2) + SixDigits(sums.s3));
}

std::string FormatClubFile(const ClubFile& club) {
  return JoinLines(std::vector<std::string>(club.lines.begin(), club.lines.end()));
}

std::string ClubMarker(const ClubFile& club) {
  return club.lines[16].substr(6, 3);
}

bool ClubStartsInRussian(const ClubFile& club) {
  return !club.lines[16].empty() && club.lines[16][0] == '1';
}

ClubFile NewClubFile(bool net) {
  struct Seed {
    const char* name;
    int score;
  };
  // A starting table that a good player can climb in a first cycle or two.
  static constexpr Seed kLocal[kTopTenSize] = {
      {"Anna", 300},  {"Boris", 260}, {"Clara", 220}, {"Dmitri", 190}, {"Elena", 160},
      {"Felix", 130}, {"Greta", 100}, {"Hugo", 75},   {"Irina", 50},   {"Jonas", 25}};
  static constexpr Seed kNet[kTopTenSize] = {
      {"Kira", 300},  {"Leon", 260}, {"Mila", 220},  {"Nikolai", 190}, {"Olga", 160},
      {"Pavel", 130}, {"Rosa", 100}, {"Stefan", 75}, {"Tanya", 50},    {"Viktor", 25}};
  ClubFile club;
  for (int s = 0; s < kClubMembers; ++s) club.lines[static_cast<size_t>(s)] = kEmptyMemberLine;
  const Seed* seeds = net ? kNet : kLocal;
  for (int t = 0; t < kTopTenSize; ++t) {
    club.lines[static_cast<size_t>(5 + t)] =
        PadRightOrCut(seeds[t].name, 20) + PadLeft(std::to_string(seeds[t].score), 6);
  }
  club.lines[15] = std::string(1, kGameMarker) + "}" + std::string(26, '#');
  club.lines[16] = std::string("0#####") + kInstalledMarker + "#" + std::string(18, '0');
  UpdateClubChecksums(club);
  return club;
}

Member ReadMember(const ClubFile& club, int slot) {
  Member m;
  if (slot < 1 || slot > kClubMembers) return m;
  const std::string_view line = club.lines[static_cast<size_t>(slot - 1)];
  if (line.size() != kMemberLineLength) return m;
  m.empty = IsEmptyMemberLine(line);
  if (m.empty) return m;
  m.name = std::string(TrimRight(line.substr(0, 20)));
  m.rating = ParseCommaReal(line.substr(20, 10));
  m.games = ParseWholeNumber(line.substr(30, 7));
  m.cycleScore = ParseWholeNumber(line.substr(38, 6));
  m.passwordCode = std::string(line.substr(44, 15));
  return m;
}

std::array<TopTenEntry, kTopTenSize> ReadTopTen(const ClubFile& club) {
  std::array<TopTenEntry, kTopTenSize> out;
  for (int t = 0; t < kTopTenSize; ++t) {
    const std::string_view line = club.lines[static_cast<size_t>(5 + t)];
    out[static_cast<size_t>(t)].name = std::string(TrimRight(line.substr(0, 20)));
    out[static_cast<size_t>(t)].score =
        line.size() >= 26 ? ParseWholeNumber(line.substr(20, 6)).value_or(0) : 0;
  }
  return out;
}

std::optional<std::string> EncodePassword(std::string_view password) {
  if (password.size() > 5) return std::nullopt;
  std::string padded(password);
  padded.resize(5, ' ');
  std::string code;
  for (char c : padded) {
    code += PadLeft(std::to_string(static_cast<unsigned char>(c) + kPasswordOffset), 3, '0');
  }
  return code;
}

std::optional<std::string> DecodePassword(std::string_view code) {
  if (code.size() != 15) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < 15; i += 3) {
    int v = 0;
    for (size_t k = 0; k < 3; ++k) {
      const char c = code[i + k];
      if (c < '0' || c > '9') return std::nullopt;
      v = v * 10 + (c - '0');
    }
    v -= kPasswordOffset;
    if (v < 0 || v > 255) return std::nullopt;
    out += static_cast<char>(v);
  }
  return out;
}

bool PasswordMatches(std::string_view typed, std::string_view storedCode) {
  const auto code = EncodePassword(typed);
  return code && *code == storedCode;
}

double LocalRating(int64_t gamesBefore, double ratingBefore, int64_t matchScore,
                   int64_t gamesAfter) {
  if (gamesAfter <= 0) return 0.0;
  double r =
      (static_cast<double>(gamesBefore) * ratingBefore + static_cast<double>(matchScore) / 2) /
      static_cast<double>(gamesAfter);
  if (!std::isfinite(r)) r = 0.0;
  r = RoundHalfEvenTo(r, 6);
  return std::clamp(r, -99.99, 99.99);
}

bool CompletesCycle(int64_t games) {
  return games > 0 && games % kCycleLength == 0;
}

int64_t GameOfCycle(int64_t games) {
  if (games <= 0) return 0;
  return CompletesCycle(games) ? kCycleLength : games % kCycleLength;
}

std::optional<std::string> MemberNameFault(std::string_view name) {
  if (name.size() > kMemberNameLength) return "the name is longer than 20 characters";
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return "the name contains a control character";
  }
  return std::nullopt;
}

Expected<std::string, RecordError> TypedMemberName(std::string_view typed) {
  const size_t first = typed.find_first_not_of(' ');
  if (first == std::string_view::npos) return Fail(BadValue("the name is empty"));
  const std::string name(typed.substr(first, typed.find_last_not_of(' ') - first + 1));
  if (auto fault = MemberNameFault(name)) return Fail(BadValue(*fault));
  return name;
}

Expected<std::string, RecordError> FormatMemberLine(std::string_view name, double rating,
                                                    int64_t games, int64_t cycleScore,
                                                    std::string_view passwordCode) {
  if (auto fault = MemberNameFault(name)) return Fail(BadValue(*fault));
  if (games < 0 || games > 9999999) return Fail(BadValue("the game count does not fit 7 digits"));
  if (!DecodePassword(passwordCode)) return Fail(BadValue("the password code is not valid"));
  if (!std::isfinite(rating)) return Fail(BadValue("the rating is not a number"));
  rating = std::clamp(rating, -99.99, 99.99);
  const int64_t micro = RoundHalfEvenToInt(rating * 1e6);
  cycleScore = std::clamp<int64_t>(cycleScore, -99999, 999999);
  std::string line = PadRightOrCut(name, kMemberNameLength);
  line += PadLeft(FormatScaledComma(micro, 6), 10);
  line += PadLeft(std::to_string(games), 7);
  line += ' ';
  line += PadLeft(std::to_string(cycleScore), 6);
  line += passwordCode;
  return line;
}

void RemoveMember(ClubFile& club, int slot) {
  if (slot < 1 || slot > kClubMembers) return;
  for (int s = slot; s < kClubMembers; ++s) {
    club.lines[static_cast<size_t>(s - 1)] = club.lines[static_cast<size_t>(s)];
  }
  club.lines[kClubMembers - 1] = kEmptyMemberLine;
}

std::optional<RecordError> RenameMember(ClubFile& club, int slot, std::string_view name,
                                        std::string_view passwordCode) {
  if (slot < 1 || slot > kClubMembers) return BadValue("no member line " + std::to_string(slot));
  if (ReadMember(club, slot).empty) return BadValue("the member line is empty");
  if (name.empty() || name.size() > kMemberNameLength) return BadValue("the name does not fit");
  if (auto fault = MemberNameFault(name)) return BadValue(*fault);
  if (passwordCode.size() != kPasswordLength * 3 || !DecodePassword(passwordCode))
    return BadValue("the password code is not valid");
  // The name fills columns 1-20, the password code 45-59; the results between stay.
  std::string& line = club.lines[static_cast<size_t>(slot - 1)];
  std::string padded(name);
  padded.resize(kMemberNameLength, ' ');
  line.replace(0, kMemberNameLength, padded);
  line.replace(kMemberLineLength - passwordCode.size(), passwordCode.size(), passwordCode);
  return std::nullopt;
}

Expected<MemberResultOutcome, RecordError> ApplyMemberResult(ClubFile& club,
                                                             const MemberResult& result) {
  auto line = FormatMemberLine(result.name, result.rating, result.gamesAfter, result.cycleScore,
                               result.passwordCode);
  if (!line) return Fail(line.error());
  MemberResultOutcome out;
  out.cycleScore = std::clamp<int64_t>(result.cycleScore, -99999, 999999);
  RemoveMember(club, result.slot);

  out.cycleCompleted = CompletesCycle(result.gamesAfter);
  if (out.cycleCompleted) {
    const auto table = ReadTopTen(club);
    for (int t = 0; t < kTopTenSize; ++t) {
      if (table[static_cast<size_t>(t)].score <= out.cycleScore) {
        for (int k = kTopTenSize - 1; k > t; --k) {
          club.lines[static_cast<size_t>(5 + k)] = club.lines[static_cast<size_t>(4 + k)];
        }
        // The name and score fields exactly as they stand in the member line.
        club.lines[static_cast<size_t>(5 + t)] = line->substr(0, 20) + line->substr(38, 6);
        out.place = t + 1;
        break;
      }
    }
    line->replace(38, 6, "     0");
  }

  const double rating = ParseCommaReal(line->substr(20, 10)).value_or(0.0);
  for (int s = 1; s <= kClubMembers; ++s) {
    const std::string& existing = club.lines[static_cast<size_t>(s - 1)];
    const auto theirs = existing.size() >= 30
                            ? ParseCommaReal(std::string_view(existing).substr(20, 10))
                            : std::nullopt;
    // An unreadable rating ranks below every readable one.
    if (IsEmptyMemberLine(existing) || !theirs || *theirs <= rating) {
      for (int k = kClubMembers; k > s; --k) {
        club.lines[static_cast<size_t>(k - 1)] = club.lines[static_cast<size_t>(k - 2)];
      }
      club.lines[static_cast<size_t>(s - 1)] = *line;
      out.memberSlot = s;
      break;
    }
  }
  out.memberLine = *line;
  return out;
}

Expected<MemberResult, RecordError> MatchResultFor(const ClubFile& club, int slot,
                                                   std::string_view name,
                                                   std::string_view passwordCode,
                                                   int64_t matchScore, int64_t rounds) {
  if (rounds < 1) return Fail(BadValue("a match has at least one game"));
  MemberResult r;
  r.slot = slot;
  r.name = std::string(name);
  r.passwordCode = std::string(passwordCode);
  int64_t gamesBefore = 0;
  double ratingBefore = 0;
  int64_t cycleBefore = 0;
  if (slot >= 1 && slot <= kClubMembers) {
    const Member m = ReadMember(club, slot);
    if (m.empty) return Fail(BadValue("member line " + std::to_string(slot) + " is empty"));
    if (!m.games || !m.rating || !m.cycleScore) {
      return Fail(BadValue("member line " + std::to_string(slot) + " has no readable results"));
    }
    gamesBefore = *m.games;
    ratingBefore = *m.rating;
    cycleBefore = *m.cycleScore;
  } else if (slot != kSlotNewPlayer) {
    return Fail(BadValue("the slot is not 1..6"));
  }
  if (gamesBefore < 0 || rounds > 9999999 - gamesBefore) {
    return Fail(BadValue("the game count does not fit 7 digits"));
  }
  r.gamesAfter = gamesBefore + rounds;
  r.rating = LocalRating(gamesBefore, ratingBefore, matchScore, r.gamesAfter);
  r.cycleScore = cycleBefore + matchScore;
  return r;
}

// --- Files ---

bool ClubWriteLocked(const std::filesystem::path& path) {
#ifdef _WIN32
  const DWORD a = GetFileAttributesW(path.wstring().c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  return (a >= 1 && a <= 7) || (a >= 33 && a <= 39);
#else
  return IsReadOnlyFile(path);
#endif
}

Expected<ClubFile, RecordError> LoadClubFile(const std::filesystem::path& path) {
  auto bytes = ReadWholeFile(path);
  if (!bytes) return Fail(bytes.error());
  auto club = ParseClubFile(*bytes);
  if (!club) {
    RecordError e = club.error();
    e.path = path.string();
    return Fail(std::move(e));
  }
  if (auto e = VerifyClubFile(*club)) {
    e->path = path.string();
    return Fail(std::move(*e));
  }
  return club;
}

ClubCheck CheckClubFile(const std::filesystem::path& path) {
  ClubCheck check;
  auto club = LoadClubFile(path);
  if (!club) {
    check.error = club.error();
    return check;
  }
  check.good = true;
  check.marker = ClubMarker(*club);
  check.russian = ClubStartsInRussian(*club);
  check.writeLock = ClubWriteLocked(path);
  return check;
}

std::optional<RecordError> SaveClubFile(const std::filesystem::path& path, ClubFile club,
                                        const WriteFaultHook& hook) {
  if (ClubWriteLocked(path)) {
    RecordError e;
    e.kind = RecordErrorKind::kWriteLocked;
    e.path = path.string();
    e.reason = "the club file's attributes forbid writing";
    return e;
  }
  UpdateClubChecksums(club);
  return WriteFileAtomically(path, FormatClubFile(club), hook);
}

std::optional<RecordError> RemoveMemberFromFile(const std::filesystem::path& path, int slot,
                                                const WriteFaultHook& hook) {
  if (slot < 1 || slot > kClubMembers) return std::nullopt;  // no member line, nothing to do
  auto club = LoadClubFile(path);
  if (!club) return club.error();
  RemoveMember(*club, slot);
  return SaveClubFile(path, std::move(*club), hook);
}

std::optional<RecordError> RenameMemberInFile(const std::filesystem::path& path, int slot,
                                              std::string_view name, std::string_view passwordCode,
                                              const WriteFaultHook& hook) {
  auto club = LoadClubFile(path);
  if (!club) return club.error();
  if (auto e = RenameMember(*club, slot, name, passwordCode)) return e;
  return SaveClubFile(path, std::move(*club), hook);
}

Expected<MemberResultOutcome, RecordError> WriteMemberResultToFile(
    const std::filesystem::path& path, const MemberResult& result, const WriteFaultHook& hook) {
  auto club = LoadClubFile(path);
  if (!club) return Fail(club.error());
  auto outcome = ApplyMemberResult(*club, result);
  if (!outcome) return outcome;
  if (auto e = SaveClubFile(path, std::move(*club), hook)) return Fail(std::move(*e));
  return outcome;
}

}  // namespace trilane
