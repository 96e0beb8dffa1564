#include "program/sign_in.h"

#include "base/codepage.h"
#include "records/club_file.h"

namespace trilane {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool HasControlBytes(std::string_view s) {
  for (unsigned char c : s) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

}  // namespace

SignInResult CheckSignIn(bool memberSlot, std::string_view name, std::string_view password,
                         std::string_view repeat, std::string_view storedCode) {
  SignInResult out;
  const std::string_view trimmed = Trim(name);
  // The name goes into a fixed 20-byte field of code page 1251: a name that cannot be written
  // there is refused here rather than lost at the end of the match.
  const auto bytes = Utf8ToCp1251(trimmed);
  if (trimmed.empty() || !bytes || bytes->size() > kMaxNameBytes || HasControlBytes(*bytes)) {
    out.fault = SignInFault::kIncorrectName;
    return out;
  }
  const auto typed = Utf8ToCp1251(password);
  if (memberSlot) {
    if (!typed || typed->size() > kMaxPasswordBytes || !PasswordMatches(*typed, storedCode)) {
      out.fault = SignInFault::kWrongPassword;
      return out;
    }
  } else {
    if (password != repeat) {
      out.fault = SignInFault::kPasswordsDiffer;
      return out;
    }
    if (!typed || typed->size() > kMaxPasswordBytes || HasControlBytes(*typed)) {
      out.fault = SignInFault::kPasswordsDiffer;
      return out;
    }
  }
  const auto code = EncodePassword(*typed);
  if (!code) {
    out.fault = memberSlot ? SignInFault::kWrongPassword : SignInFault::kPasswordsDiffer;
    return out;
  }
  out.name = *bytes;
  out.nameUtf8 = std::string(trimmed);
  out.passwordCode = *code;
  return out;
}

std::string StartingNewPlayerName(std::string_view lastName, std::string_view fallbackUtf8) {
  const std::string_view trimmed = Trim(lastName);
  if (!trimmed.empty() && trimmed.size() <= kMaxNameBytes) return Cp1251ToUtf8(trimmed);
  // The stand-in name of a language whose letters the club file cannot hold (Chinese,
  // Japanese, Korean) would only be refused: the Latin one stands in.
  const auto bytes = Utf8ToCp1251(Trim(fallbackUtf8));
  if (bytes && !bytes->empty() && bytes->size() <= kMaxNameBytes) {
    return std::string(Trim(fallbackUtf8));
  }
  return "Mr.X";
}

}  // namespace trilane
