#include "program/account_in_use.h"

namespace trilane {

using web::AccountState;

void AccountInUse::SetPlayForRating(bool checked) {
  if (state_ == AccountState::kNone) return;
  state_ = checked ? AccountState::kRated : AccountState::kSignedIn;
}

void AccountInUse::TakeUser(const web::TQorUser& user, const std::string& password) {
  user_ = user;
  user_.Pw = password;
  // The cipher follows the password at every sign-in, so "Save" writes the one in use.
  passwordCipher_ = web::EncipherPassword(password);
}

void AccountInUse::ReadAfterSignIn() {
  RefreshBest();
  RefreshClubMembers();
  ownPhoto_.reset();
  RefreshProfile();
}

web::RegisterResult AccountInUse::Create(const NewAccount& account) {
  web::TQorUser user = web::ResetUser(account.nick, account.password);
  user.City = account.city;
  user.Country1 = account.country1;
  user.Country2 = account.country2;
  user.Sex = account.sex;
  user.EMail = account.email;
  user.DateR = account.today;
  user.R01 = user.R02 = user.R03 = "xxx";
  user.R04 = user.R05 = user.R06 = 0;
  const web::RegisterResult result = client_.WebRegisterUser(user);
  if (result != web::RegisterResult::kCreated) {
    user.DateR = "00.00.0000";
    TakeUser(user, account.password);
    return result;
  }
  TakeUser(user, account.password);
  state_ = AccountState::kSignedIn;
  RefreshClubMembers();
  // The service's own record (its registration date, its balance) replaces what was sent.
  if (auto read = client_.WebReadUser(account.nick, account.password); read.ok) {
    TakeUser(read.value, account.password);
  }
  RefreshBest();
  ownPhoto_.reset();
  RefreshProfile();
  return result;
}

bool AccountInUse::SignIn(const std::string& nick, const std::string& password) {
  const auto read = client_.WebReadUser(nick, password);
  if (!read.ok) {
    bestRead_ = false;
    clubMembersRead_ = false;
    return false;
  }
  TakeUser(read.value, password);
  state_ = AccountState::kSignedIn;
  ReadAfterSignIn();
  return true;
}

void AccountInUse::SignOut() {
  state_ = AccountState::kNone;
  ownPhoto_.reset();
  user_.R04 = user_.R05 = user_.R06 = 0;
}

bool AccountInUse::SignInAtStartup(const std::filesystem::path& userFile) {
  state_ = AccountState::kNone;
  const auto file = web::ReadUserFile(userFile);
  if (!file) return false;
  userFileSaved_ = true;
  const std::string password = web::StartupPassword(file->password);
  const auto read = client_.WebReadUser(file->nick, password);
  // On failure the reset record still carries the nick and password into the account page.
  TakeUser(read.value, password);
  if (read.ok) state_ = AccountState::kSignedIn;
  return read.ok;
}

std::optional<RecordError> AccountInUse::SaveUserFile(const std::filesystem::path& userFile) {
  auto error = web::WriteUserFile(userFile, {user_.Nick, user_.Pw});
  if (!error) userFileSaved_ = true;
  return error;
}

bool AccountInUse::DeleteUserFile(const std::filesystem::path& userFile) {
  const bool deleted = web::DeleteUserFile(userFile);
  if (deleted) userFileSaved_ = false;
  return deleted;
}

bool AccountInUse::RefreshBest() {
  // While a rated match runs the service holds the pre-charge with an emptied cycle; the
  // account's copy keeps the real cycle for the booking, so it is not read over.
  if (ratedMatchRunning_) return bestRead_;
  const auto read = client_.WebReadBest(user_.Nick, user_.Pw, game_);
  bestRead_ = read.ok;
  if (!read.ok) return false;
  game_ = read.value;
  if (const auto place = client_.WebRatingPlace(game_.Rating); place.ok) game_.Place = place.value;
  return true;
}

bool AccountInUse::RefreshClubMembers() {
  const auto read = client_.WebClubMembers();
  clubMembersRead_ = read.ok;
  if (read.ok) clubMembers_ = read.value;
  return read.ok;
}

bool AccountInUse::RefreshQors() {
  const auto read = client_.WebReadQors(user_.Nick);
  if (read.ok) user_.R04 = read.value;
  return read.ok;
}

bool AccountInUse::RefreshProfile() {
  const auto read = client_.WebReadInfo(user_.Nick);
  if (read.ok) user_.Info = read.value;
  return read.ok;
}

bool AccountInUse::RefreshPhoto() {
  ownPhoto_ = client_.WebLoadAvatar(user_.Nick);
  return ownPhoto_.has_value();
}

bool AccountInUse::RefreshTopTen() {
  const auto read = client_.WebReadTopTen();
  topTenRead_ = read.ok;
  if (read.ok) topTen_ = read.value;
  return read.ok;
}

bool AccountInUse::RefreshPresident() {
  const std::string& nick = topTen_[0].Nick;
  if (!topTenRead_ || web::IsEmptyNick(nick)) {
    presidentProfile_ = {};
    presidentPhoto_.reset();
    return false;
  }
  const auto read = client_.WebReadInfo(nick);
  presidentProfile_ = read.ok ? read.value : web::TInfo14{};
  presidentPhoto_ = client_.WebLoadAvatar(nick);
  return read.ok;
}

void AccountInUse::ResetSignedOutRecord() {
  if (SignedIn()) return;
  user_.Country1 = "Russia";
  user_.Country2 = "1-001";
  user_.Sex = 'M';
  user_.City.clear();
  user_.EMail.clear();
  user_.DateR = "00.00.0000";
}

bool AccountInUse::UpdateProfile(const web::TInfo14& profile) {
  if (!SignedIn()) return false;
  if (!client_.WebSaveInfo(user_.Nick, web::ProfileForSending(profile))) return false;
  RefreshProfile();
  return true;
}

TransferResult AccountInUse::CheckTransfer(int64_t amount) const {
  if (amount < 0) return TransferResult::kNothing;
  if (!SignedIn() || user_.R04 < amount) return TransferResult::kNotEnough;
  if (amount == 0) return TransferResult::kEmpty;
  return TransferResult::kDone;
}

TransferResult AccountInUse::TransferQors(const std::string& recipient, int64_t amount) {
  if (const TransferResult check = CheckTransfer(amount); check != TransferResult::kDone) {
    return check;
  }
  // The balance may have changed since the page was drawn (a bonus, another machine).
  if (!RefreshQors()) return TransferResult::kNoConnect;
  if (user_.R04 < amount) return TransferResult::kNotEnough;
  if (!client_.WebSaveQors(recipient, amount)) return TransferResult::kNoSuchMember;
  const bool debited = client_.WebSaveQors(user_.Nick, -amount);
  RefreshQors();
  return debited ? TransferResult::kDone : TransferResult::kNoConnect;
}

CycleEntry AccountInUse::EnterCycle(int64_t cycleScore) {
  CycleEntry entry;
  entry.score = cycleScore;
  const auto saved = client_.WebSaveRecord(kAccountTableId, user_.Nick, user_.City, user_.Country1,
                                           cycleScore, std::string(1, user_.Sex), "#", "#");
  if (!saved.ok) return entry;
  entry.entered = true;
  entry.place = saved.value;
  entry.bonus = web::CycleBonus(entry.place);
  if (entry.bonus > 0 && !client_.WebSaveQors(user_.Nick, entry.bonus)) entry.bonus = -1;
  RefreshQors();
  entry.balance = user_.R04;
  return entry;
}

}  // namespace trilane
