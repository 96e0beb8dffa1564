// The welcome window's checks: names, passwords, members and new players.
#include <gtest/gtest.h>

#include "program/sign_in.h"
#include "records/club_file.h"

namespace trilane {
namespace {

TEST(SignInTest, NewPlayerAndMemberCases) {
  const std::string stored = *EncodePassword("abc");
  struct Case {
    const char* what;
    bool member;
    std::string name, password, repeat;
    SignInFault fault;
  };
  const Case cases[] = {
      {"plain new player", false, "  Anna ", "pw", "pw", SignInFault::kNone},
      {"no password at all", false, "Anna", "", "", SignInFault::kNone},
      {"empty name", false, "   ", "pw", "pw", SignInFault::kIncorrectName},
      {"21 letters", false, std::string(21, 'a'), "", "", SignInFault::kIncorrectName},
      // Code page 1251 holds a Cyrillic letter in one byte: twenty letters fit.
      {"20 letters with Cyrillic", false, "Я" + std::string(19, 'x'), "", "", SignInFault::kNone},
      {"a name the club file cannot hold", false, "张伟", "", "", SignInFault::kIncorrectName},
      {"passwords differ", false, "Anna", "one", "two", SignInFault::kPasswordsDiffer},
      {"member, right password", true, "Boris", "abc", "", SignInFault::kNone},
      {"member, padded forms compare", true, "Boris", "abc  ", "", SignInFault::kNone},
      {"member, wrong password", true, "Boris", "abd", "", SignInFault::kWrongPassword},
      {"member, repeat ignored", true, "Boris", "abc", "zzz", SignInFault::kNone},
  };
  for (const Case& c : cases) {
    const SignInResult r = CheckSignIn(c.member, c.name, c.password, c.repeat, stored);
    EXPECT_EQ(r.fault, c.fault) << c.what;
  }
}

TEST(SignInTest, AcceptedNameIsTrimmedAndEncoded) {
  const SignInResult r = CheckSignIn(false, "  Вера  ", "xy", "xy", "");
  ASSERT_EQ(r.fault, SignInFault::kNone);
  EXPECT_EQ(r.nameUtf8, "Вера");
  EXPECT_EQ(r.name.size(), 4u);  // code page 1251: one byte a letter
  EXPECT_EQ(r.passwordCode, *EncodePassword("xy"));
  EXPECT_TRUE(PasswordMatches("xy", r.passwordCode));
}

TEST(SignInTest, StartingNameOfANewPlayer) {
  EXPECT_EQ(StartingNewPlayerName("  Anna ", "Mr.X"), "Anna");
  EXPECT_EQ(StartingNewPlayerName("", "Mr.X"), "Mr.X");
  EXPECT_EQ(StartingNewPlayerName(std::string(21, 'a'), "Mr.X"), "Mr.X");
  EXPECT_EQ(StartingNewPlayerName("\xC2\xE5\xF0\xE0", "Mr.X"), "Вера");  // code page 1251
  EXPECT_EQ(StartingNewPlayerName("", "Мистер Х"), "Мистер Х");
  // A stand-in the club file cannot hold would only be refused by "Ok".
  EXPECT_EQ(StartingNewPlayerName("", "無名氏"), "Mr.X");
}

}  // namespace
}  // namespace trilane
