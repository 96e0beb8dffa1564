#pragma once
// What the service accepts in each field. Every text arrives as UTF-8 (converted from code
// page 1251 or percent-decoded) and is checked against the character classes of the
// program's own field rules before anything is stored.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace trilane::club {

// Latin letters, digits and ! ( ) , - . @ _ ; Cyrillic letters when allowed. Length in
// characters, at least 2 (a text of one character is not a name).
bool IsNameText(std::string_view utf8, size_t maxChars, bool allowCyrillic);

bool IsAccountNick(std::string_view utf8);   // 2..12, no Cyrillic
bool IsPassportNick(std::string_view utf8);  // 2..12, Cyrillic allowed
bool IsCity(std::string_view utf8);          // 2..15, Cyrillic allowed
bool IsPassword(std::string_view utf8);      // 4..12, no Cyrillic
bool IsEmail(std::string_view utf8);         // 2..30, no Cyrillic, "@" neither first nor last
bool IsCountryCode(std::string_view text);   // continent digit 1..6, "-", three digits
bool IsCountryName(std::string_view text);   // a short country name: 0..16 of A-Za-z0-9 . _ -
bool IsSex(std::string_view text);           // "M" or "W"
// A board message: 1..200 characters of the name classes, Cyrillic included.
bool IsBoardText(std::string_view utf8);

// A word that travels inside a blank-separated reply: 1..maxChars characters that code page
// 1251 holds, none of them a blank, a control character, "$", "*" or "~".
bool IsReplyWord(std::string_view utf8, size_t maxChars);

// Profile text: at most maxChars characters that code page 1251 holds. Control characters
// are dropped and "$" and "~" (the reply's terminator and separator) become blanks, as the
// program does before it sends.
std::optional<std::string> CleanProfileText(std::string_view utf8, size_t maxChars);

// Strict decimal integer within [low, high].
std::optional<int64_t> ParseInteger(std::string_view text, int64_t low, int64_t high);

// A real as the program writes it (optional "-", digits, one decimal point); finite and
// within [-limit, limit].
std::optional<double> ParseReal(std::string_view text, double limit);

// The program's WebFloat: shortest general form, up to 15 significant digits, point as the
// separator, magnitudes below 0.00001 written as 0.
std::string FormatReal(double value);

// Lower-cases the ASCII letters: nicks are unique regardless of case.
std::string NickKey(std::string_view nick);

}  // namespace trilane::club
