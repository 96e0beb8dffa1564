#include "web/account_rules.h"

#include <cstdio>
#include <utility>

#include "base/rounding.h"

namespace trilane::web {

bool IsLatinLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsCyrillicLetter(char c) {
  const auto b = static_cast<unsigned char>(c);
  // Code page 1251: Ё 0xA8, ё 0xB8, А..я 0xC0..0xFF.
  return b == 0xA8 || b == 0xB8 || b >= 0xC0;
}

bool IsNameSign(char c) {
  switch (c) {
    case '!':
    case '(':
    case ')':
    case ',':
    case '-':
    case '.':
    case '@':
    case '_':
      return true;
    default:
      return false;
  }
}

namespace {
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLatinNameCharacter(char c) {
  return IsLatinLetter(c) || IsDigit(c) || IsNameSign(c);
}
}  // namespace

bool IsNameCharacter(char c) {
  return IsLatinNameCharacter(c) || IsCyrillicLetter(c);
}

FieldVerdict RateText(std::string_view text, size_t maxLength, bool cyrillicAllowed) {
  if (text.size() < 2 || text.size() > maxLength) return FieldVerdict::kInvalid;
  bool cyrillic = false;
  for (char c : text) {
    if (IsCyrillicLetter(c)) {
      cyrillic = true;
    } else if (!IsLatinNameCharacter(c)) {
      return FieldVerdict::kInvalid;
    }
  }
  if (!cyrillic) return FieldVerdict::kValidLatin;
  return cyrillicAllowed ? FieldVerdict::kValidCyrillic : FieldVerdict::kInvalid;
}

FieldVerdict RateNick(std::string_view nick) {
  return RateText(nick, kNickMaxLength, false);
}

FieldVerdict RateCity(std::string_view city) {
  return RateText(city, kCityMaxLength, true);
}

FieldVerdict RatePassword(std::string_view password) {
  if (password.size() < kPasswordMinLength) return FieldVerdict::kInvalid;
  return RateText(password, kPasswordMaxLength, false);
}

FieldVerdict RateEmail(std::string_view email) {
  const FieldVerdict rating = RateText(email, kEmailMaxLength, false);
  if (rating == FieldVerdict::kInvalid) return rating;
  if (email.find('@') == std::string_view::npos || email.front() == '@' || email.back() == '@') {
    return FieldVerdict::kInvalid;
  }
  return rating;
}

FieldVerdict RatePassportNick(std::string_view nick) {
  return RateText(nick, kNickMaxLength, true);
}

FieldVerdict RatePassportCity(std::string_view city) {
  return RateText(city, kCityMaxLength, true);
}

bool KeyAllowedInNick(char key) {
  return key == kBackspace || IsNameCharacter(key);
}
bool KeyAllowedInCity(char key) {
  return key == kBackspace || IsNameCharacter(key);
}
bool KeyAllowedInPassword(char key) {
  return key == kBackspace || IsLatinNameCharacter(key);
}
bool KeyAllowedInEmail(char key) {
  return key == kBackspace || IsLatinNameCharacter(key);
}

TInfo14 ProfileForSending(TInfo14 profile) {
  const std::pair<std::string*, size_t> fields[] = {
      {&profile.Name1, 20},      {&profile.Name2, 20},    {&profile.About, 50},
      {&profile.Telephone, 20},  {&profile.EMailO, 50},   {&profile.Skype, 50},
      {&profile.WebSite, 50},    {&profile.OK, 50},       {&profile.VK, 50},
      {&profile.Telegram, 50},   {&profile.FaceBook, 60}, {&profile.Twitter, 50},
      {&profile.Instagramm, 50}, {&profile.YouTube, 50}};
  for (const auto& [text, length] : fields) {
    if (text->size() > length) text->resize(length);
    for (char& c : *text) {
      if (c == '$' || c == '~') c = ' ';
    }
  }
  return profile;
}

bool CanCreateAccount(AccountState state, FieldVerdict nick, FieldVerdict city,
                      FieldVerdict password, FieldVerdict email) {
  return state == AccountState::kNone && nick != FieldVerdict::kInvalid &&
         city != FieldVerdict::kInvalid && password == FieldVerdict::kValidLatin &&
         email == FieldVerdict::kValidLatin;
}

bool CanSignInOrOut(AccountState state, FieldVerdict nick, FieldVerdict password) {
  if (state != AccountState::kNone) return true;
  return nick != FieldVerdict::kInvalid && password == FieldVerdict::kValidLatin;
}

double PreChargedRating(int64_t kon, double rating) {
  const auto k = static_cast<double>(kon);
  const double k1 = k + kMatchLength;
  return (k * (rating - k / kCycleLength) - static_cast<double>(kPreChargePoints)) / k1 +
         k1 / kCycleLength;
}

double BookedRating(int64_t kon1, double rating1, int64_t matchScore) {
  const auto k1 = static_cast<double>(kon1);
  if (kon1 <= 0) return rating1;  // nothing was pre-charged: there is nothing to book against
  return k1 / kCycleLength +
         (static_cast<double>(kPreChargePoints) + k1 * (rating1 - k1 / kCycleLength) +
          static_cast<double>(matchScore)) /
             k1;
}

TQorGame PreChargeRecord(const TQorGame& read) {
  TQorGame game = read;
  game.Rating = PreChargedRating(read.Kon, read.Rating);
  game.Kon = read.Kon + kMatchLength;
  game.KonL = 0;
  game.Score = 0;
  return game;
}

bool ApplyCycle(TQorGame& game, int64_t cycleGamesBefore, int64_t cycleScoreAfter) {
  if (cycleGamesBefore + kMatchLength >= kCycleLength) {
    if (cycleScoreAfter > game.Best) game.Best = cycleScoreAfter;
    ++game.Sessions;
    game.KonL = 0;
    game.Score = 0;
    return true;
  }
  game.KonL = cycleGamesBefore + kMatchLength;
  game.Score = cycleScoreAfter;
  return false;
}

std::string FormatAccountRating(double rating) {
  const double rounded = RoundHalfEvenTo(rating, 3);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", rounded == 0.0 ? 0.0 : rounded);
  std::string text = buffer;
  for (char& ch : text) {
    if (ch == '.') ch = ',';
  }
  return text;
}

std::array<int64_t, 12> GameStatsCounters(const MatchDescription& match) {
  std::array<int64_t, 12> r{};
  switch (match.kind) {
    case MatchKind::kComputer:
      r[0] = match.games;
      r[1] = match.cycleCompleted ? 1 : 0;
      r[2] = match.score > 0 ? match.score : 0;
      r[3] = match.score < 0 ? -match.score : 0;
      break;
    case MatchKind::kDirect:
      if (match.host) r[4] = kMatchLength;
      break;
    case MatchKind::kClub:
      if (match.seatOne) r[5] = 1;
      break;
  }
  return r;
}

}  // namespace trilane::web
