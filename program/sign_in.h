#pragma once
// The checks of the welcome window, apart from the window: who may sit down at the table
// with which name and password.
#include <string>
#include <string_view>

namespace trilane {

inline constexpr int kMaxNameBytes = 20;
inline constexpr int kMaxPasswordBytes = 5;

enum class SignInFault {
  kNone,
  kIncorrectName,    // empty, too long, or not writable into the club file
  kPasswordsDiffer,  // a new player's two passwords
  kWrongPassword,    // a member's password
};

struct SignInResult {
  SignInFault fault = SignInFault::kNone;
  std::string name;          // code page 1251, blanks trimmed, at most 20 bytes
  std::string nameUtf8;      // the same for the screen
  std::string passwordCode;  // 15 digits for the member line
};

// `memberSlot` true: `storedCode` is the member's password code and the repeat is ignored.
// Texts are UTF-8 as typed.
SignInResult CheckSignIn(bool memberSlot, std::string_view name, std::string_view password,
                         std::string_view repeat, std::string_view storedCode);

// The name the new player's field starts with: the last name entered (code page 1251) when
// it fits, else "Mr.X" in the current language, or in Latin letters when the language's
// stand-in cannot be written into the club file.
std::string StartingNewPlayerName(std::string_view lastName, std::string_view fallbackUtf8);

}  // namespace trilane
