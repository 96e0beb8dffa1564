#pragma once
// The local user file "QorUser.qor": the nick and the enciphered password of the account
// that signs in at start-up. It lies in the parent folder of the program's folder, so that
// the maker's games installed side by side share one file.
//
// Three lines of code-page-1251 text, each ended by CR LF: the header "Qor User File", the
// nick, and the password enciphered with our keyed routine and written as base64. A file
// that does not read back as exactly that counts as no file at all.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "records/record_error.h"

namespace trilane::web {

inline constexpr char kUserFileName[] = "QorUser.qor";
inline constexpr char kUserFileHeader[] = "Qor User File";

// The key of the password line; the address cipher's routine with a key of its own.
inline constexpr uint16_t kUserFileKey = 0x2E95;

struct UserFile {
  std::string nick;      // code page 1251
  std::string password;  // in clear, code page 1251
  bool operator==(const UserFile&) const = default;
};

// The password line, and back (nothing when the line is not ours).
std::string EncipherPassword(std::string_view password);
std::optional<std::string> DecipherPassword(std::string_view cipher);

// The file's bytes, and back. A wrong header, a missing line, an empty nick, a line with a
// control character or a password line that does not decipher: nothing.
std::string UserFileBytes(const UserFile& file);
std::optional<UserFile> ParseUserFile(std::string_view bytes);

// Where the file lies for a program in `programFolder`: its parent folder, or the folder
// itself when it has no parent.
std::filesystem::path UserFilePath(const std::filesystem::path& programFolder);

// Nothing when there is no readable, well-formed file.
std::optional<UserFile> ReadUserFile(const std::filesystem::path& path);
// Replaces the file atomically: the old file stays whole when the write fails.
std::optional<RecordError> WriteUserFile(const std::filesystem::path& path, const UserFile& file);
// True when no file is left there (also when there was none).
bool DeleteUserFile(const std::filesystem::path& path);

// The password as the start-up sign-in sends it: blanks, "#" and "$" (which the account
// script's forms and replies would cut at) become "-".
std::string StartupPassword(std::string_view password);

}  // namespace trilane::web
