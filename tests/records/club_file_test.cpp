#include <gtest/gtest.h>

#include <optional>

#include "base/codepage.h"
#include "base/rounding.h"
#include "records/club_file.h"
#include "records/text_lines.h"
#include "records/windows_api.h"
#include "test_files.h"

namespace trilane {
namespace {

using testing::DataFile;
using testing::ScratchDir;
using testing::Slurp;
using testing::Spit;
namespace fs = std::filesystem;

std::string Cp(const char* utf8) {
  return *Utf8ToCp1251(utf8);
}

ClubFile GoodClub() {
  auto club = ParseClubFile(Slurp(DataFile("club_good.clb")));
  EXPECT_TRUE(club) << club.error().Where();
  return *club;
}

std::string Line(const std::string& name, double rating, int64_t games, int64_t score) {
  return *FormatMemberLine(name, rating, games, score, *EncodePassword("pw"));
}

TEST(ClubFile, GoodFilesPassTheCheck) {
  for (const char* name : {"club_good.clb", "club_good_lf.clb", "club_russian.clb"}) {
    const ClubCheck check = CheckClubFile(DataFile(name));
    EXPECT_TRUE(check.good) << name << ": " << check.error.Where();
    EXPECT_FALSE(check.writeLock);
  }
  const ClubCheck russian = CheckClubFile(DataFile("club_russian.clb"));
  EXPECT_TRUE(russian.russian);
  EXPECT_EQ(russian.marker, kQuietMarker);
  EXPECT_FALSE(CheckClubFile(DataFile("club_good.clb")).russian);
  EXPECT_EQ(CheckClubFile(DataFile("club_good.clb")).marker, "trl");
}

TEST(ClubFile, BrokenCopiesSayWhereAndWhy) {
  struct Case {
    const char* file;
    RecordErrorKind kind;
    int line, column;
  };
  const Case cases[] = {
      {"club_16_lines.clb", RecordErrorKind::kBadFile, 17, 0},
      {"club_18_lines.clb", RecordErrorKind::kBadFile, 18, 0},
      {"club_member_58.clb", RecordErrorKind::kBadFile, 3, 59},
      {"club_other_game.clb", RecordErrorKind::kBadFile, 16, 1},
      {"club_edited_name.clb", RecordErrorKind::kBadFile, 17, 11},
      {"club_checksum_letters.clb", RecordErrorKind::kBadFile, 17, 23},
      {"no_such_file.clb", RecordErrorKind::kMissing, 0, 0},
  };
  for (const Case& c : cases) {
    const ClubCheck check = CheckClubFile(DataFile(c.file));
    EXPECT_FALSE(check.good) << c.file;
    EXPECT_EQ(check.error.kind, c.kind) << c.file;
    EXPECT_EQ(check.error.line, c.line) << c.file << ": " << check.error.Where();
    EXPECT_EQ(check.error.column, c.column) << c.file << ": " << check.error.Where();
    EXPECT_FALSE(check.error.reason.empty());
    EXPECT_NE(check.error.Describe().find(c.file), std::string::npos);
  }
}

TEST(ClubFile, MembersTopTenAndPasswords) {
  const ClubFile club = GoodClub();
  const Member vera = ReadMember(club, 1);
  EXPECT_FALSE(vera.empty);
  EXPECT_EQ(vera.name, Cp("Вера"));
  EXPECT_EQ(vera.rating, 2.5);
  EXPECT_EQ(vera.games, 163);
  EXPECT_EQ(vera.cycleScore, 41);
  EXPECT_TRUE(PasswordMatches(Cp("кот"), vera.passwordCode));
  EXPECT_TRUE(PasswordMatches(Cp("кот  "), vera.passwordCode));  // padded forms compare
  EXPECT_FALSE(PasswordMatches(Cp("кот1"), vera.passwordCode));
  EXPECT_EQ(DecodePassword(vera.passwordCode), Cp("кот  "));
  EXPECT_TRUE(PasswordMatches("", ReadMember(club, 2).passwordCode));
  EXPECT_EQ(ReadMember(club, 3).rating, -0.25);
  EXPECT_TRUE(ReadMember(club, 4).empty);
  EXPECT_FALSE(ReadMember(club, 4).rating);

  const auto top = ReadTopTen(club);
  EXPECT_EQ(top[0].name, "Anna");
  EXPECT_EQ(top[0].score, 300);
  EXPECT_EQ(top[9].score, 25);

  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (size_t i = 0; i < 256; i += 5) {
    const std::string pw = all.substr(i, 5);
    const auto code = EncodePassword(pw);
    ASSERT_TRUE(code);
    EXPECT_EQ(code->size(), 15u);
    EXPECT_EQ(code->find_first_not_of("0123456789"), std::string::npos);
    EXPECT_EQ(DecodePassword(*code), PadRightOrCut(pw, 5));
  }
  EXPECT_FALSE(EncodePassword("sixsix"));
  for (const char* bad :
       {"", "#####################", "31131131131131", "000311311311311", "311311311311x11"}) {
    EXPECT_FALSE(DecodePassword(bad)) << bad;
  }
}

TEST(ClubFile, RatingFormulaAndMemberLine) {
  EXPECT_EQ(LocalRating(0, 0, 12, 4), 1.5);
  EXPECT_EQ(LocalRating(4, 1.5, -20, 8), -0.5);  // (4 * 1.5 - 10) / 8
  EXPECT_EQ(LocalRating(0, 0, 1, 3), 0.166667);  // rounded to six decimals
  // Exact halves of the sixth decimal go to the even neighbour.
  EXPECT_EQ(LocalRating(0, 0, 1, 1000000), 0.0);
  EXPECT_EQ(LocalRating(0, 0, 3, 1000000), 0.000002);
  EXPECT_EQ(LocalRating(0, 0, 5, 1000000), 0.000002);
  EXPECT_EQ(LocalRating(0, 0, -5, 1000000), -0.000002);
  EXPECT_EQ(LocalRating(0, 0, 2000, 4), 99.99);  // kept within the field
  EXPECT_EQ(LocalRating(0, 0, -2000, 4), -99.99);
  EXPECT_EQ(LocalRating(5, 1, 3, 0), 0.0);  // no games: no division

  const std::string code = *EncodePassword("ab");
  EXPECT_EQ(*FormatMemberLine("Tom", 0, 0, 0, code),
            "Tom                   0,000000      0      0" + code);
  EXPECT_EQ(FormatMemberLine("Tom", -0.25, 1234567, -999, code)->substr(20, 24),
            " -0,2500001234567   -999");
  EXPECT_EQ(FormatMemberLine("Tom", -99.99, 1, 0, code)->substr(20, 10), "-99,990000");
  EXPECT_EQ(FormatMemberLine("T", 1, 1, 5000000, code)->substr(38, 6), "999999");
  EXPECT_FALSE(FormatMemberLine(std::string(21, 'x'), 0, 0, 0, code));
  EXPECT_FALSE(FormatMemberLine("a\r\nb", 0, 0, 0, code));
  EXPECT_FALSE(FormatMemberLine("Tom", 0, 10000000, 0, code));
  EXPECT_FALSE(FormatMemberLine("Tom", 0, 0, 0, "123"));
}

TEST(ClubFile, TypedNamesAndTheGameOfTheCycle) {
  struct NameCase {
    std::string typed;
    std::optional<std::string> name;
  };
  const NameCase names[] = {
      {"  Tom ", "Tom"},
      {"Anna Maria", "Anna Maria"},
      {std::string(20, 'x'), std::string(20, 'x')},
      {" " + std::string(20, 'x') + " ", std::string(20, 'x')},
      {std::string(21, 'x'), std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"a\tb", std::nullopt},
  };
  for (const NameCase& c : names) {
    const auto name = TypedMemberName(c.typed);
    EXPECT_EQ(name.has_value(), c.name.has_value()) << "'" << c.typed << "'";
    if (name && c.name) {
      EXPECT_EQ(*name, *c.name);
    }
    if (!name) {
      EXPECT_FALSE(name.error().reason.empty());
    }
  }

  const std::pair<int64_t, int64_t> games[] = {{0, 0},  {1, 1},    {79, 79}, {80, 80},
                                               {81, 1}, {160, 80}, {161, 1}, {-3, 0}};
  for (const auto& [count, inCycle] : games) {
    EXPECT_EQ(GameOfCycle(count), inCycle) << count;
    EXPECT_EQ(CompletesCycle(count), count > 0 && inCycle == 80) << count;
  }
}

TEST(ClubFile, RemoveMemberMovesTheLinesUp) {
  ClubFile club = GoodClub();
  const ClubFile original = club;
  RemoveMember(club, 1);
  EXPECT_EQ(club.lines[0], original.lines[1]);
  EXPECT_EQ(club.lines[1], original.lines[2]);
  EXPECT_EQ(club.lines[2], kEmptyMemberLine);
  EXPECT_EQ(club.lines[4], kEmptyMemberLine);
  for (int i = 5; i < kClubLines; ++i) EXPECT_EQ(club.lines[i], original.lines[i]);
  ClubFile same = original;
  RemoveMember(same, kSlotNewPlayer);
  EXPECT_EQ(same.lines, original.lines);
}

// Five members rated 3, 2, 1, 0, -1.
ClubFile FullClub() {
  ClubFile club = GoodClub();
  const double ratings[] = {3, 2, 1, 0, -1};
  for (int s = 0; s < kClubMembers; ++s) {
    club.lines[s] = Line("Member " + std::to_string(s + 1), ratings[s], 10, 7);
  }
  return club;
}

TEST(ClubFile, NewLinesGoInByRatingTiesAbove) {
  ClubFile club = FullClub();
  const ClubFile before = club;
  MemberResult newcomer{kSlotNewPlayer, "Newcomer", *EncodePassword(""), 4, 1.0, 9};
  auto out = ApplyMemberResult(club, newcomer);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->memberSlot, 3);
  EXPECT_EQ(ReadMember(club, 3).name, "Newcomer");
  EXPECT_EQ(club.lines[3], before.lines[2]);  // the member with rating 1 is now below
  EXPECT_EQ(club.lines[4], before.lines[3]);  // and the one with -1 is gone
  EXPECT_FALSE(out->cycleCompleted);
  EXPECT_EQ(out->place, 0);
  for (int i = 5; i < 15; ++i) EXPECT_EQ(club.lines[i], before.lines[i]);

  // Lower than all five: not kept.
  club = FullClub();
  newcomer.rating = -2;
  out = ApplyMemberResult(club, newcomer);
  EXPECT_EQ(out->memberSlot, 0);
  EXPECT_EQ(club.lines, before.lines);

  // A member who drops from first to last place.
  club = FullClub();
  MemberResult first{1, "Member 1", *EncodePassword("pw"), 14, -5, 0};
  out = ApplyMemberResult(club, first);
  EXPECT_EQ(out->memberSlot, 5);
  EXPECT_EQ(club.lines[0], before.lines[1]);
  EXPECT_EQ(ReadMember(club, 5).rating, -5);
}

TEST(ClubFile, CompletedCycleEntersTheTopTen) {
  struct Case {
    int64_t cycleScore;
    int place;
  };
  // The fixture's top ten runs 300, 260, ..., 50, 25.
  const Case cases[] = {{1000, 1}, {300, 1}, {299, 2}, {25, 10}, {24, 0}, {-50, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cycleScore);
    ClubFile club = GoodClub();
    const auto before = ReadTopTen(club);
    MemberResult r{2, "Tom Sawyer", *EncodePassword(""), 160, 0.5, c.cycleScore};
    auto out = ApplyMemberResult(club, r);
    ASSERT_TRUE(out);
    EXPECT_TRUE(out->cycleCompleted);
    EXPECT_EQ(out->place, c.place);
    EXPECT_EQ(out->cycleScore, c.cycleScore);
    EXPECT_EQ(out->memberLine.substr(38, 6), "     0");  // the next cycle starts from zero
    const auto after = ReadTopTen(club);
    for (int t = 0; t < kTopTenSize; ++t) {
      if (c.place == 0 || t < c.place - 1) {
        EXPECT_EQ(after[t].score, before[t].score);
      } else if (t == c.place - 1) {
        EXPECT_EQ(after[t].name, "Tom Sawyer");
        EXPECT_EQ(after[t].score, c.cycleScore);
      } else {
        EXPECT_EQ(after[t].name, before[t - 1].name);  // moved down; the old tenth drops
      }
    }
  }
  // Not a multiple of 80: the top ten stays, the cycle score is kept in the line.
  ClubFile club = GoodClub();
  auto out = ApplyMemberResult(club, {2, "Tom Sawyer", *EncodePassword(""), 84, 0.5, 400});
  EXPECT_FALSE(out->cycleCompleted);
  EXPECT_EQ(out->memberLine.substr(38, 6), "   400");
  EXPECT_EQ(ReadTopTen(club)[0].name, "Anna");
}

TEST(ClubFile, MatchResultFromTheMemberLine) {
  const ClubFile club = GoodClub();
  // Vera: 163 games, rating 2.5, cycle score 41; a match of 3 games scoring 20.
  auto r = MatchResultFor(club, 1, Cp("Вера"), ReadMember(club, 1).passwordCode, 20, 3);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->gamesAfter, 166);
  EXPECT_EQ(r->rating, RoundHalfEvenTo((163 * 2.5 + 10) / 166, 6));
  EXPECT_EQ(r->cycleScore, 61);
  r = MatchResultFor(club, kSlotNewPlayer, "New", *EncodePassword(""), -8, 4);
  EXPECT_EQ(r->gamesAfter, 4);
  EXPECT_EQ(r->rating, -1.0);
  EXPECT_EQ(r->cycleScore, -8);
  EXPECT_FALSE(MatchResultFor(club, 4, "x", *EncodePassword(""), 1, 1));  // empty line
  EXPECT_FALSE(MatchResultFor(club, 1, "x", *EncodePassword(""), 1, 0));  // no games
  EXPECT_FALSE(MatchResultFor(club, 7, "x", *EncodePassword(""), 1, 1));
}

TEST(ClubFile, NewFilesAreValidAndSeeded) {
  for (const bool net : {false, true}) {
    const ClubFile club = NewClubFile(net);
    EXPECT_FALSE(VerifyClubFile(club));
    auto reparsed = ParseClubFile(FormatClubFile(club));
    ASSERT_TRUE(reparsed);
    for (int s = 1; s <= kClubMembers; ++s) EXPECT_TRUE(ReadMember(club, s).empty);
    const auto top = ReadTopTen(club);
    for (int t = 1; t < kTopTenSize; ++t) EXPECT_GE(top[t - 1].score, top[t].score);
    EXPECT_FALSE(top[9].name.empty());
    EXPECT_EQ(ClubMarker(club), kInstalledMarker);
  }
  EXPECT_NE(NewClubFile(false).lines, NewClubFile(true).lines);
  // The build puts both beside the program.
  for (const char* name : {kClubFileName, kNetClubFileName}) {
    const ClubCheck check = CheckClubFile(fs::path(TRILANE_PROGRAM_DIR) / name);
    EXPECT_TRUE(check.good) << name << ": " << check.error.Describe();
  }
}

class ClubOnDisk : public ScratchDir {};

TEST_F(ClubOnDisk, WritesVerifyAndFailuresKeepTheFile) {
  const fs::path file = dir_ / kClubFileName;
  fs::copy_file(DataFile("club_good.clb"), file);

  auto out =
      WriteMemberResultToFile(file, {kSlotNewPlayer, "Zed", *EncodePassword("z"), 4, 0.75, 3});
  ASSERT_TRUE(out) << out.error().Describe();
  auto club = LoadClubFile(file);
  ASSERT_TRUE(club) << club.error().Describe();  // checksums rewritten
  EXPECT_EQ(ReadMember(*club, 2).name, "Zed");

  ASSERT_FALSE(RemoveMemberFromFile(file, 1));
  club = LoadClubFile(file);
  ASSERT_TRUE(club);
  EXPECT_EQ(ReadMember(*club, 1).name, "Zed");
  const std::string before = Slurp(file);

  // Injected failures at every step, a read-only file, and a damaged file are all refused
  // with the old bytes kept.
  for (WriteStep step :
       {WriteStep::kCreateTemp, WriteStep::kWriteData, WriteStep::kSync, WriteStep::kRename}) {
    auto hook = [step](WriteStep s) {
      return s == step ? FaultAction::kFail : FaultAction::kProceed;
    };
    EXPECT_TRUE(RemoveMemberFromFile(file, 1, hook));
    EXPECT_FALSE(WriteMemberResultToFile(file, {1, "Zed", *EncodePassword("z"), 8, 1, 5}, hook));
    EXPECT_EQ(Slurp(file), before);
  }

  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_TRUE(CheckClubFile(file).good);
  EXPECT_TRUE(CheckClubFile(file).writeLock);
  auto locked = RemoveMemberFromFile(file, 1);
  ASSERT_TRUE(locked);
  EXPECT_EQ(locked->kind, RecordErrorKind::kWriteLocked);
  EXPECT_EQ(Slurp(file), before);
  fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);

  const fs::path damaged = dir_ / "damaged.clb";
  fs::copy_file(DataFile("club_edited_name.clb"), damaged);
  const std::string damagedBytes = Slurp(damaged);
  EXPECT_TRUE(RemoveMemberFromFile(damaged, 1));
  EXPECT_EQ(Slurp(damaged), damagedBytes);
}

#ifdef _WIN32
TEST_F(ClubOnDisk, AttributeWordDecidesTheWriteLock) {
  // On Windows the lock is the file's attribute word: read-only, hidden or system in any mix,
  // with or without archive. Archive alone, or a normal file, may be written.
  const fs::path file = dir_ / kClubFileName;
  fs::copy_file(DataFile("club_good.clb"), file);
  const std::string before = Slurp(file);
  const struct {
    DWORD attributes;
    bool locked;
  } cases[] = {
      {FILE_ATTRIBUTE_NORMAL, false},
      {FILE_ATTRIBUTE_ARCHIVE, false},
      {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, true},
      {FILE_ATTRIBUTE_HIDDEN, true},
      {FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE, true},
      {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.attributes);
    ASSERT_TRUE(SetFileAttributesW(file.wstring().c_str(), c.attributes));
    EXPECT_EQ(ClubWriteLocked(file), c.locked);
    const auto error = RemoveMemberFromFile(file, 1);
    if (c.locked) {
      ASSERT_TRUE(error);
      EXPECT_EQ(error->kind, RecordErrorKind::kWriteLocked);
      EXPECT_EQ(Slurp(file), before);
    } else {
      EXPECT_FALSE(error);
      ASSERT_TRUE(SetFileAttributesW(file.wstring().c_str(), FILE_ATTRIBUTE_NORMAL));
      fs::copy_file(DataFile("club_good.clb"), file, fs::copy_options::overwrite_existing);
    }
  }
  ASSERT_TRUE(SetFileAttributesW(file.wstring().c_str(), FILE_ATTRIBUTE_NORMAL));
}
#endif

}  // namespace
}  // namespace trilane
