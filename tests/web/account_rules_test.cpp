// The account rules without a network: the field validator and the keystrokes, the rating
// formulas and the cycle, the bonus of a world place, the rating's text and the per-match
// counters.

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "web/account_rules.h"

namespace trilane::web {
namespace {

enum class Field { kNick, kCity, kPassword, kEmail, kPassportNick, kPassportCity };

FieldVerdict Rate(Field field, std::string_view text) {
  switch (field) {
    case Field::kNick:
      return RateNick(text);
    case Field::kCity:
      return RateCity(text);
    case Field::kPassword:
      return RatePassword(text);
    case Field::kEmail:
      return RateEmail(text);
    case Field::kPassportNick:
      return RatePassportNick(text);
    case Field::kPassportCity:
      return RatePassportCity(text);
  }
  return FieldVerdict::kInvalid;
}

constexpr auto kBad = FieldVerdict::kInvalid;
constexpr auto kCyr = FieldVerdict::kValidCyrillic;
constexpr auto kLat = FieldVerdict::kValidLatin;

// Code page 1251: "Анна", "Киев", "Ёлка".
const std::string kAnna = "\xC0\xED\xED\xE0";
const std::string kKiev = "\xCA\xE8\xE5\xE2";
const std::string kYolka = "\xA8\xEB\xEA\xE0";

TEST(AccountRulesTest, TheValidatorRatesEveryFieldByItsRules) {
  struct Case {
    Field field;
    std::string text;
    FieldVerdict want;
  };
  const std::vector<Case> cases = {
      {Field::kNick, "", kBad},
      {Field::kNick, "A", kBad},  // one character is no name
      {Field::kNick, "Al", kLat},
      {Field::kNick, "Ann_1.(x)!,-", kLat},  // every sign, twelve characters
      {Field::kNick, "Ann_1.(x)!,-z", kBad},
      {Field::kNick, "Ann Lee", kBad},  // a blank belongs to no class
      {Field::kNick, "Ann#", kBad},
      {Field::kNick, kAnna, kBad},  // no Cyrillic in a nick
      {Field::kNick, "Ann\xE0", kBad},
      {Field::kCity, kKiev, kCyr},
      {Field::kCity, kYolka, kCyr},  // Ё is a Cyrillic letter too
      {Field::kCity, "Oslo", kLat},
      {Field::kCity, "O", kBad},
      {Field::kCity, std::string(15, 'x'), kLat},
      {Field::kCity, std::string(16, 'x'), kBad},
      {Field::kCity, "New York", kBad},
      {Field::kPassword, "abc", kBad},
      {Field::kPassword, "abcd", kLat},
      {Field::kPassword, std::string(12, '7'), kLat},
      {Field::kPassword, std::string(13, '7'), kBad},
      {Field::kPassword, "ab#d", kBad},
      {Field::kPassword, kAnna, kBad},
      {Field::kEmail, "a@b", kLat},
      {Field::kEmail, "ann@mail.example.no", kLat},
      {Field::kEmail, "@ann.no", kBad},  // "@" first
      {Field::kEmail, "ann@", kBad},     // "@" last
      {Field::kEmail, "ann.no", kBad},   // no "@"
      {Field::kEmail, "a@" + std::string(28, 'b'), kLat},
      {Field::kEmail, "a@" + std::string(29, 'b'), kBad},
      {Field::kEmail, "\xE0@b.ru", kBad},
      {Field::kPassportNick, kAnna, kCyr},  // the passport takes Cyrillic nicks
      {Field::kPassportNick, "Incognito", kLat},
      {Field::kPassportNick, "\xC0", kBad},
      {Field::kPassportNick, std::string(13, 'x'), kBad},
      {Field::kPassportCity, kKiev, kCyr},
      {Field::kPassportCity, "Saint Petersburg", kBad},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Rate(c.field, c.text), c.want) << static_cast<int>(c.field) << " '" << c.text << "'";
  }
}

TEST(AccountRulesTest, KeystrokesFollowTheFieldsClasses) {
  struct Case {
    char key;
    bool nickOrCity;
    bool passwordOrEmail;
  };
  const std::vector<Case> cases = {
      {'a', true, true},   {'Z', true, true},     {'7', true, true},      {'@', true, true},
      {'_', true, true},   {'\xC0', true, false}, {'\xB8', true, false},  {' ', false, false},
      {'#', false, false}, {'$', false, false},   {'\x98', false, false}, {kBackspace, true, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeyAllowedInNick(c.key), c.nickOrCity) << int(c.key);
    EXPECT_EQ(KeyAllowedInCity(c.key), c.nickOrCity) << int(c.key);
    EXPECT_EQ(KeyAllowedInPassword(c.key), c.passwordOrEmail) << int(c.key);
    EXPECT_EQ(KeyAllowedInEmail(c.key), c.passwordOrEmail) << int(c.key);
  }
}

TEST(AccountRulesTest, ButtonsFollowTheStateAndTheLamps) {
  using S = AccountState;
  EXPECT_TRUE(CanCreateAccount(S::kNone, kLat, kCyr, kLat, kLat));
  EXPECT_FALSE(CanCreateAccount(S::kNone, kLat, kLat, kCyr, kLat));  // password must be Latin
  EXPECT_FALSE(CanCreateAccount(S::kNone, kBad, kLat, kLat, kLat));
  EXPECT_FALSE(CanCreateAccount(S::kNone, kLat, kLat, kLat, kBad));
  EXPECT_FALSE(CanCreateAccount(S::kSignedIn, kLat, kLat, kLat, kLat));
  EXPECT_TRUE(CanSignInOrOut(S::kNone, kLat, kLat));
  EXPECT_FALSE(CanSignInOrOut(S::kNone, kLat, kBad));
  EXPECT_FALSE(CanSignInOrOut(S::kNone, kBad, kLat));
  EXPECT_TRUE(CanSignInOrOut(S::kSignedIn, kBad, kBad));  // signing out always works
  EXPECT_TRUE(CanSignInOrOut(S::kRated, kBad, kBad));
}

TEST(AccountRulesTest, TheFirstRatedMatchPreChargesAndBooksByHand) {
  // K = 0, R = 0: K1 = 4, R1 = -40/4 + 4/80 = -9.95; a match of 12: R2 = 4/80 + 12/4 = 3.05.
  EXPECT_NEAR(PreChargedRating(0, 0.0), -9.95, 1e-12);
  EXPECT_NEAR(BookedRating(4, -9.95, 12), 3.05, 1e-12);
  // K = 4, R = 3.05 (S = 12): R1 = (12 - 40) / 8 + 8/80 = -3.4; a match of -6: S = 6, R2 = 0.85.
  EXPECT_NEAR(PreChargedRating(4, 3.05), -3.4, 1e-12);
  EXPECT_NEAR(BookedRating(8, -3.4, -6), 0.85, 1e-12);

  TQorGame read;
  read.Kon = 4;
  read.Rating = 3.05;
  read.KonL = 4;
  read.Score = 12;
  read.Best = 77;
  read.Sessions = 2;
  const TQorGame sent = PreChargeRecord(read);
  EXPECT_EQ(sent.Kon, 8);
  EXPECT_NEAR(sent.Rating, -3.4, 1e-12);
  EXPECT_EQ(sent.KonL, 0);
  EXPECT_EQ(sent.Score, 0);
  EXPECT_EQ(sent.Best, 77);
  EXPECT_EQ(sent.Sessions, 2);
}

TEST(AccountRulesTest, PreChargeAndBookingKeepTheRatingAtScorePerGamePlusGamesOver80) {
  // Twenty-five matches: the rating after each must be S / K + K / 80 for the scores so far.
  const std::vector<int64_t> scores = {12,  -6, 0, 31, -52, 7,  7,   -1, 90, -90, 3,  4, 5,
                                       -13, 22, 0, -4, 18,  -9, 100, -3, 1,  0,   -8, 2};
  int64_t kon = 0;
  double rating = 0;
  int64_t total = 0;
  for (size_t i = 0; i < scores.size(); ++i) {
    const double charged = PreChargedRating(kon, rating);
    kon += kMatchLength;
    // Between the two the service holds the match as a loss of 40 points.
    EXPECT_NEAR(charged, static_cast<double>(total - 40) / kon + kon / 80.0, 1e-9) << i;
    rating = BookedRating(kon, charged, scores[i]);
    total += scores[i];
    EXPECT_NEAR(rating, static_cast<double>(total) / kon + kon / 80.0, 1e-9) << i;
  }
}

TEST(AccountRulesTest, TheCycleCompletesWithTheTwentiethMatch) {
  TQorGame game;
  game.Best = 50;
  game.Sessions = 3;
  EXPECT_FALSE(ApplyCycle(game, 72, 40));
  EXPECT_EQ(game.KonL, 76);
  EXPECT_EQ(game.Score, 40);
  EXPECT_EQ(game.Sessions, 3);
  EXPECT_EQ(game.Best, 50);

  TQorGame lower = game;
  EXPECT_TRUE(ApplyCycle(lower, 76, 45));  // 45 does not beat the best of 50
  EXPECT_EQ(lower.Best, 50);
  EXPECT_EQ(lower.Sessions, 4);
  EXPECT_EQ(lower.KonL, 0);
  EXPECT_EQ(lower.Score, 0);

  TQorGame higher = game;
  EXPECT_TRUE(ApplyCycle(higher, 76, 51));
  EXPECT_EQ(higher.Best, 51);
  EXPECT_EQ(higher.Sessions, 4);

  TQorGame first;  // early in a cycle a negative score is carried on as it is
  first.Best = 0;
  EXPECT_FALSE(ApplyCycle(first, 0, -20));
  EXPECT_EQ(first.KonL, 4);
  EXPECT_EQ(first.Score, -20);
}

TEST(AccountRulesTest, BonusByPlace) {
  const std::vector<std::pair<int64_t, int64_t>> cases = {{1, 25}, {2, 10}, {10, 10},
                                                          {11, 0}, {0, 0},  {-1, 0}};
  for (const auto& [place, bonus] : cases) EXPECT_EQ(CycleBonus(place), bonus) << place;
}

TEST(AccountRulesTest, TheRatingIsWrittenWithThreeDecimalsHalvesToEven) {
  const std::vector<std::pair<double, std::string>> cases = {
      {3.05, "3,050"},   {-9.95, "-9,950"}, {0.0, "0,000"},       {-0.0001, "0,000"},
      {0.0625, "0,062"}, {0.1875, "0,188"}, {12.34567, "12,346"}, {99.99, "99,990"},
  };
  for (const auto& [rating, text] : cases) EXPECT_EQ(FormatAccountRating(rating), text) << rating;
}

TEST(AccountRulesTest, PerMatchCountersByKindOfMatch) {
  using C = std::array<int64_t, 12>;
  struct Case {
    MatchDescription match;
    C want;
  };
  const std::vector<Case> cases = {
      {{MatchKind::kComputer, false, false, 6, -12, false}, {6, 0, 0, 12}},
      {{MatchKind::kComputer, false, false, 4, 7, true}, {4, 1, 7, 0}},
      {{MatchKind::kComputer, false, false, 3, 0, false}, {3, 0, 0, 0}},
      {{MatchKind::kDirect, true, false, 4, 20, false}, {0, 0, 0, 0, 4}},
      {{MatchKind::kDirect, false, false, 4, 20, false}, {}},
      {{MatchKind::kClub, false, true, 4, -9, false}, {0, 0, 0, 0, 0, 1}},
      {{MatchKind::kClub, false, false, 4, -9, false}, {}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(GameStatsCounters(cases[i].match), cases[i].want) << i;
  }
}

}  // namespace
}  // namespace trilane::web
