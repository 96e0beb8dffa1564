#pragma once
// The account in use for the whole run of the program: the record of the signed-in account,
// its results in this game, its state (none, signed in, playing for the world rating) and
// what has been read about it. Every change goes through the web calls; the windows show
// what this holds and show the messages the results name. Nothing here waits, draws or asks.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "web/account_rules.h"
#include "web/calls.h"
#include "web/user_file.h"

namespace trilane {

// What "Create an account" sends, from the fields of the account page (code page 1251).
struct NewAccount {
  std::string nick;
  std::string password;
  std::string city;
  std::string country1 = "Russia";  // the country's short name
  std::string country2 = "1-001";   // continent digit, "-", three-digit row
  char sex = 'M';
  std::string email;
  std::string today;  // the registration date in the system's short date format
};

// The outcomes of "Transfer Qors", each with its message in the words table.
enum class TransferResult {
  kDone,          // "Transfer is successful!"
  kNotEnough,     // "You do not have enough Qors to transfer!"
  kEmpty,         // "I can not make an empty transfer!"
  kNoSuchMember,  // "There is no club member with that nick!"
  kNoConnect,     // "No Connect!"
  kNothing,       // a negative amount: nothing is done and nothing shown
};

// A completed cycle entered into the account table.
struct CycleEntry {
  bool entered = false;  // false: "Unable to write the result of the game!", Repeat?
  int64_t place = 0;
  int64_t score = 0;    // the cycle score sent
  int64_t bonus = 0;    // the Qors the place earned; -1 when paying it failed
  int64_t balance = 0;  // the balance read after the bonus
};

class AccountInUse {
 public:
  // `client` must outlive the account.
  explicit AccountInUse(web::WebClient& client) : client_(client) {}

  web::WebClient& Client() { return client_; }

  web::AccountState State() const { return state_; }
  bool SignedIn() const { return state_ != web::AccountState::kNone; }
  // The "Play global rating" box: checked in state 2 gives 3, unchecked in 3 gives 2; it does
  // nothing without an account.
  void SetPlayForRating(bool checked);
  // Leaves the rated state after a match, or drops the account when its pre-charge failed.
  void SetState(web::AccountState state) { state_ = state; }

  // The account record; `Pw` is the password in clear, and PasswordCipher() always follows it.
  const web::TQorUser& User() const { return user_; }
  const std::string& PasswordCipher() const { return passwordCipher_; }
  // The account's results here, with `Place` from the rating-place call.
  const web::TQorGame& Game() const { return game_; }
  void SetGame(const web::TQorGame& game) { game_ = game; }
  bool BestRead() const { return bestRead_; }
  // The club's member count; -1 until it was read.
  int64_t ClubMembers() const { return clubMembers_; }
  bool ClubMembersRead() const { return clubMembersRead_; }
  bool UserFileSaved() const { return userFileSaved_; }
  bool OwnPhotoLoaded() const { return ownPhoto_.has_value(); }
  const std::optional<std::string>& OwnPhoto() const { return ownPhoto_; }
  // Set between the pre-charge and the booking: the account controls are disabled meanwhile.
  bool RatedMatchRunning() const { return ratedMatchRunning_; }
  void SetRatedMatchRunning(bool running) { ratedMatchRunning_ = running; }

  // "Create an account". On success the state is 2 and the account, its results, its place,
  // the member count and its profile have been read; otherwise the state stays 1.
  web::RegisterResult Create(const NewAccount& account);
  // "Login to account": on success the state is 2 and the record, the results, the place, the
  // member count and the own profile are read. On failure ("Login failed!") the state stays 1
  // and the results and member count count as unread.
  bool SignIn(const std::string& nick, const std::string& password);
  // "Sign out": state 1; the photo and the balance and counters are cleared.
  void SignOut();
  // At start-up: the user file read (it counts as saved) signs in with its nick and the
  // password with blanks, "#" and "$" turned into "-". True when signed in (state 2, never 3).
  bool SignInAtStartup(const std::filesystem::path& userFile);

  // "Save" and "Delete" of the account page.
  std::optional<RecordError> SaveUserFile(const std::filesystem::path& userFile);
  bool DeleteUserFile(const std::filesystem::path& userFile);
  // The user changed the nick or password in the edits: the file no longer holds them.
  void MarkUserFileUnsaved() { userFileSaved_ = false; }

  // Reads for the pages; each returns the call's success and keeps the old values on failure.
  bool RefreshBest();  // the results and their world place
  bool RefreshClubMembers();
  bool RefreshQors();
  bool RefreshProfile();  // the own "About me"
  bool RefreshPhoto();    // the own photo (slot 1)

  // The world top ten by rating; its first entry is the "President".
  bool RefreshTopTen();
  bool TopTenRead() const { return topTenRead_; }
  const web::TopTenList& TopTen() const { return topTen_; }
  // The President's profile and photo (slot 2), for the top ten last read.
  bool RefreshPresident();
  const web::TInfo14& PresidentProfile() const { return presidentProfile_; }
  const std::optional<std::string>& PresidentPhoto() const { return presidentPhoto_; }

  // The account page without an account starts from a new player's values: Russia, a man,
  // no city, no e-mail, no registration date.
  void ResetSignedOutRecord();

  // "Update info" of the profile editor: the profile sent (each field cut to its length,
  // "$" and "~" as blanks) and read back into the account.
  bool UpdateProfile(const web::TInfo14& profile);

  // "Transfer Qors", before the confirmation: kDone when it may be asked at all.
  TransferResult CheckTransfer(int64_t amount) const;
  // After the confirmation: reads the balance, credits the recipient, debits the account and
  // reads the balance again.
  TransferResult TransferQors(const std::string& recipient, int64_t amount);

  // A cycle the rated match completed, into the account table; the bonus of its place paid
  // and the balance read again. One attempt: the caller asks "Repeat?".
  CycleEntry EnterCycle(int64_t cycleScore);

 private:
  void TakeUser(const web::TQorUser& user, const std::string& password);
  void ReadAfterSignIn();

  web::WebClient& client_;
  web::AccountState state_ = web::AccountState::kNone;
  web::TQorUser user_;
  std::string passwordCipher_;
  web::TQorGame game_;
  bool bestRead_ = false;
  int64_t clubMembers_ = -1;
  bool clubMembersRead_ = false;
  bool userFileSaved_ = false;
  bool ratedMatchRunning_ = false;
  std::optional<std::string> ownPhoto_;
  web::TopTenList topTen_{};
  bool topTenRead_ = false;
  web::TInfo14 presidentProfile_;
  std::optional<std::string> presidentPhoto_;
};

}  // namespace trilane
