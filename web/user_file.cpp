#include "web/user_file.h"

#include <system_error>
#include <vector>

#include "records/address_cipher.h"
#include "records/file_io.h"
#include "records/text_lines.h"

namespace trilane::web {
namespace {

// The file is a few dozen bytes; anything much larger is not ours.
constexpr size_t kMaxUserFileBytes = 4096;

bool HasControlCharacter(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

}  // namespace

std::string EncipherPassword(std::string_view password) {
  return EncipherAddress(password, kUserFileKey);
}

std::optional<std::string> DecipherPassword(std::string_view cipher) {
  return DecipherAddress(cipher, kUserFileKey);
}

std::string UserFileBytes(const UserFile& file) {
  return JoinLines({kUserFileHeader, file.nick, EncipherPassword(file.password)});
}

std::optional<UserFile> ParseUserFile(std::string_view bytes) {
  if (bytes.size() > kMaxUserFileBytes) return std::nullopt;
  const std::vector<std::string_view> lines = SplitLines(bytes);
  if (lines.size() < 3 || lines[0] != kUserFileHeader) return std::nullopt;
  // Lines after the third are no part of the file; an editor's empty last line is harmless.
  for (size_t i = 3; i < lines.size(); ++i) {
    if (!lines[i].empty()) return std::nullopt;
  }
  UserFile file;
  file.nick = std::string(lines[1]);
  auto password = DecipherPassword(lines[2]);
  if (file.nick.empty() || HasControlCharacter(file.nick) || !password || password->empty() ||
      HasControlCharacter(*password)) {
    return std::nullopt;
  }
  file.password = std::move(*password);
  return file;
}

std::filesystem::path UserFilePath(const std::filesystem::path& programFolder) {
  std::filesystem::path folder = programFolder;
  // "/opt/trilane/" names the same folder as "/opt/trilane".
  while (!folder.empty() && !folder.has_filename() && folder != folder.root_path()) {
    folder = folder.parent_path();
  }
  std::filesystem::path parent = folder.parent_path();
  if (parent.empty() || parent == folder) parent = folder;
  return parent / kUserFileName;
}

std::optional<UserFile> ReadUserFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  auto bytes = ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  return ParseUserFile(*bytes);
}

std::optional<RecordError> WriteUserFile(const std::filesystem::path& path, const UserFile& file) {
  if (file.nick.empty() || HasControlCharacter(file.nick) || HasControlCharacter(file.password)) {
    RecordError error;
    error.kind = RecordErrorKind::kBadValue;
    error.path = path.string();
    error.reason = "the nick or password cannot be written into the user file";
    return error;
  }
  return WriteFileAtomically(path, UserFileBytes(file));
}

bool DeleteUserFile(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  return !ec && !std::filesystem::exists(path, ec);
}

std::string StartupPassword(std::string_view password) {
  std::string out(password);
  for (char& c : out) {
    if (c == ' ' || c == '#' || c == '$') c = '-';
  }
  return out;
}

}  // namespace trilane::web
