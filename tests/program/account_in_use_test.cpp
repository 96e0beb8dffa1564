// The account in use against the reference club service: creating an account, signing in and
// out, the user file and the sign-in at start-up, and the start-up counting.

#include "program/account_in_use.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <vector>

#include "account_club.h"
#include "program/rated_match.h"

namespace trilane {
namespace {

using testing::AccountClub;
using web::AccountState;
using web::RegisterResult;
namespace fs = std::filesystem;

NewAccount Ann() {
  NewAccount a;
  a.nick = "Ann";
  a.password = "abcd1";
  a.city = "\xCA\xE8\xE5\xE2";  // "Киев": a city may hold Cyrillic letters
  a.country1 = "Ukraine";
  a.country2 = "1-046";
  a.sex = 'W';
  a.email = "ann@example.no";
  a.today = "11.12.2026";
  return a;
}

// A program folder inside a folder of the test's own, so that the user file lies beside it.
class Folder {
 public:
  Folder() {
    std::string pattern = ::testing::TempDir() + "trilane-account-XXXXXX";
    if (mkdtemp(pattern.data())) root_ = pattern;
    fs::create_directories(root_ / "Trilane");
  }
  ~Folder() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  fs::path UserFile() const { return web::UserFilePath(root_ / "Trilane"); }

 private:
  fs::path root_;
};

TEST(AccountInUseTest, CreatesAnAccountAndRefusesTakenNicksAndBadFields) {
  TRILANE_START_CLUB(club);
  AccountInUse account(club.Client());
  ASSERT_EQ(account.Create(Ann()), RegisterResult::kCreated);
  EXPECT_EQ(account.State(), AccountState::kSignedIn);
  EXPECT_EQ(account.User().City, Ann().city);
  EXPECT_EQ(account.User().Sex, 'W');
  EXPECT_NE(account.User().DateR, "00.00.0000");  // the service's own date
  EXPECT_EQ(account.User().Pw, "abcd1");
  EXPECT_EQ(web::DecipherPassword(account.PasswordCipher()), "abcd1");
  EXPECT_TRUE(account.BestRead());
  EXPECT_EQ(account.Game().Kon, 0);
  EXPECT_EQ(account.ClubMembers(), 1);

  // The same nick in any case is taken; the state stays 1 and the date is reset.
  for (const char* nick : {"Ann", "ANN"}) {
    AccountInUse other(club.Client());
    NewAccount again = Ann();
    again.nick = nick;
    EXPECT_EQ(other.Create(again), RegisterResult::kNickTaken) << nick;
    EXPECT_EQ(other.State(), AccountState::kNone);
    EXPECT_EQ(other.User().DateR, "00.00.0000");
  }

  // What the account page refuses, the service refuses as well.
  std::vector<NewAccount> refused(7, Ann());
  refused[0].nick = "B";
  refused[1].nick = "Bo b";
  refused[2].nick = "\xC1\xEE\xE1";  // "Боб"
  refused[3].password = "abc";
  refused[4].email = "@bob.no";
  refused[5].city = "O";
  refused[6].password = "abc#1";
  for (size_t i = 0; i < refused.size(); ++i) {
    if (i > 2) refused[i].nick = "Bob";
    AccountInUse other(club.Client());
    EXPECT_EQ(other.Create(refused[i]), RegisterResult::kFailed) << i;
    EXPECT_EQ(other.State(), AccountState::kNone) << i;
  }
  EXPECT_EQ(club.Client().WebClubMembers().value, 1);
}

TEST(AccountInUseTest, SignsInWithTheRightPasswordOnlyAndSignsOut) {
  TRILANE_START_CLUB(club);
  ASSERT_TRUE(club.Register("Ann", "abcd1"));
  AccountInUse account(club.Client());
  EXPECT_FALSE(account.SignIn("Ann", "abcd2"));
  EXPECT_FALSE(account.SignIn("Nobody", "abcd1"));
  EXPECT_EQ(account.State(), AccountState::kNone);
  EXPECT_FALSE(account.BestRead());
  EXPECT_FALSE(account.ClubMembersRead());

  ASSERT_TRUE(account.SignIn("Ann", "abcd1"));
  EXPECT_EQ(account.State(), AccountState::kSignedIn);
  EXPECT_EQ(account.User().City, "Oslo");
  EXPECT_EQ(account.User().Country2, "1-035");
  EXPECT_TRUE(account.BestRead());
  EXPECT_EQ(account.Game().Place, 1);
  EXPECT_EQ(account.ClubMembers(), 1);

  // The "Play global rating" box moves between 2 and 3 only with an account.
  account.SetPlayForRating(true);
  EXPECT_EQ(account.State(), AccountState::kRated);
  account.SetPlayForRating(false);
  EXPECT_EQ(account.State(), AccountState::kSignedIn);
  account.SignOut();
  EXPECT_EQ(account.State(), AccountState::kNone);
  account.SetPlayForRating(true);
  EXPECT_EQ(account.State(), AccountState::kNone);
}

TEST(AccountInUseTest, TheSavedUserFileSignsInAtTheNextStart) {
  TRILANE_START_CLUB(club);
  ASSERT_TRUE(club.Register("Ann", "abcd1"));
  ASSERT_TRUE(club.Register("Cy", "ab-cd1"));
  Folder folder;
  const fs::path file = folder.UserFile();

  {
    AccountInUse first(club.Client());
    EXPECT_FALSE(first.SignInAtStartup(file));  // no file yet
    EXPECT_FALSE(first.UserFileSaved());
    ASSERT_TRUE(first.SignIn("Ann", "abcd1"));
    ASSERT_FALSE(first.SaveUserFile(file));
    EXPECT_TRUE(first.UserFileSaved());
  }
  {
    AccountInUse next(club.Client());
    EXPECT_TRUE(next.SignInAtStartup(file));
    EXPECT_EQ(next.State(), AccountState::kSignedIn);  // never 3 at start-up
    EXPECT_TRUE(next.UserFileSaved());
    EXPECT_EQ(next.User().Nick, "Ann");
    EXPECT_EQ(next.User().City, "Oslo");
    EXPECT_TRUE(next.DeleteUserFile(file));
    EXPECT_FALSE(next.UserFileSaved());
    EXPECT_FALSE(fs::exists(file));
  }
  // A stored "#" signs in as "-".
  ASSERT_FALSE(web::WriteUserFile(file, {"Cy", "ab#cd1"}));
  {
    AccountInUse next(club.Client());
    EXPECT_TRUE(next.SignInAtStartup(file));
    EXPECT_EQ(next.User().Pw, "ab-cd1");
    EXPECT_EQ(web::DecipherPassword(next.PasswordCipher()), "ab-cd1");
  }
  // A wrong password leaves state 1 with the file's nick for the account page.
  ASSERT_FALSE(web::WriteUserFile(file, {"Ann", "wrong9"}));
  {
    AccountInUse next(club.Client());
    EXPECT_FALSE(next.SignInAtStartup(file));
    EXPECT_EQ(next.State(), AccountState::kNone);
    EXPECT_TRUE(next.UserFileSaved());
    EXPECT_EQ(next.User().Nick, "Ann");
  }
  // A malformed file is ignored silently.
  std::ofstream(file, std::ios::binary) << "Qor User File\r\nAnn\r\n";
  {
    AccountInUse next(club.Client());
    EXPECT_FALSE(next.SignInAtStartup(file));
    EXPECT_FALSE(next.UserFileSaved());
    EXPECT_EQ(next.State(), AccountState::kNone);
  }
}

TEST(AccountInUseTest, StartsAreCountedAndTheFirstOnlyUntilItSucceeds) {
  TRILANE_START_CLUB(club);
  web::WebClient& client = club.Client();
  EXPECT_FALSE(DecideStartupCount(true, false).send);  // a copy marked as not counted

  EXPECT_FALSE(CountStartup(client, true, false));
  EXPECT_EQ(client.WebReadStats().value.Stat1, 0);
  EXPECT_TRUE(CountStartup(client, false, false));  // the very first start: stat1 1, stat2 1
  EXPECT_TRUE(CountStartup(client, false, true));   // the next: stat1 1, stat2 0
  const auto stats = client.WebReadStats();
  ASSERT_TRUE(stats.ok);
  EXPECT_EQ(stats.value.Stat1, 2);
  EXPECT_EQ(stats.value.Stat2, 1);

  club.Stop();
  EXPECT_FALSE(CountStartup(client, false, false));  // stays uncounted for the next start
  EXPECT_TRUE(CountStartup(client, false, true));
}

}  // namespace
}  // namespace trilane
