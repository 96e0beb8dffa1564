#include "records/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#include "records/windows_api.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace trilane {
namespace fs = std::filesystem;

bool RecordError::IsWriteFailure() const {
  switch (kind) {
    case RecordErrorKind::kWriteLocked:
    case RecordErrorKind::kReadOnly:
    case RecordErrorKind::kCreateFailed:
    case RecordErrorKind::kWriteFailed:
    case RecordErrorKind::kSyncFailed:
    case RecordErrorKind::kRenameFailed:
    case RecordErrorKind::kFull:
      return true;
    default:
      return false;
  }
}

std::string RecordError::Where() const {
  std::string out;
  if (line > 0) {
    out += "line " + std::to_string(line);
    if (column > 0) out += ", column " + std::to_string(column);
    out += ": ";
  }
  return out + reason;
}

std::string RecordError::Describe() const {
  return path.empty() ? Where() : path + ": " + Where();
}

namespace {

RecordError IoFailure(RecordErrorKind kind, const fs::path& path, std::string reason) {
  RecordError e;
  e.kind = kind;
  e.path = path.string();
  e.reason = std::move(reason);
  return e;
}

std::string SystemMessage(int err) {
  return std::generic_category().message(err);
}

}  // namespace

Expected<std::string, RecordError> ReadWholeFile(const fs::path& path) {
  std::error_code ec;
  const auto status = fs::status(path, ec);
  if (!fs::exists(status)) {
    return Fail(IoFailure(RecordErrorKind::kMissing, path, "the file does not exist"));
  }
  if (!fs::is_regular_file(status)) {
    return Fail(IoFailure(RecordErrorKind::kUnreadable, path, "not a regular file"));
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return Fail(IoFailure(RecordErrorKind::kUnreadable, path,
                          "cannot open the file: " + SystemMessage(errno)));
  }
  std::string bytes;
  char buffer[65536];
  while (in) {
    in.read(buffer, sizeof buffer);
    bytes.append(buffer, static_cast<size_t>(in.gcount()));
    if (bytes.size() > kMaxRecordFileBytes) {
      return Fail(IoFailure(RecordErrorKind::kUnreadable, path, "the file is too large"));
    }
  }
  if (in.bad()) {
    return Fail(IoFailure(RecordErrorKind::kUnreadable, path, "reading the file failed"));
  }
  return bytes;
}

bool IsReadOnlyFile(const fs::path& path) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(path.wstring().c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
         (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
#else
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  return ::access(path.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0;
#endif
}

namespace {

// The platform's half of an atomic write: a new temporary file beside the target, written,
// flushed to the disk and then put in the target's place. Each step returns false with
// errno (POSIX and the C runtime) or the Windows error set, and Error() says why.
class TempFile {
 public:
  explicit TempFile(const fs::path& target);
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() { Close(); }

  bool Create();
  bool Write(const char* data, size_t size);
  bool Sync();
  bool Close();
  // Closes and removes the temporary file: the target is untouched.
  void Discard();
  // Renames the finished temporary file over the target; on failure it is removed.
  bool Replace();
  std::string Error() const { return error_; }

 private:
  void Fail(std::string what);

  fs::path target_;
  fs::path dir_;
  fs::path temp_;
  int fd_ = -1;
  std::string error_;
};

TempFile::TempFile(const fs::path& target)
    : target_(target), dir_(target.has_parent_path() ? target.parent_path() : fs::path(".")) {}

void TempFile::Fail(std::string what) {
  error_ = std::move(what) + ": " + std::generic_category().message(errno);
}

#ifdef _WIN32

// No mkstemp here: an exclusive create under numbered names. A name left by a crashed write
// is taken already and skipped.
bool TempFile::Create() {
  for (int n = 0; n < 1000; ++n) {
    temp_ = dir_ / (L"." + target_.filename().wstring() + L"." + std::to_wstring(n) + L".tmp");
    fd_ = _wopen(temp_.wstring().c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                 _S_IREAD | _S_IWRITE);
    if (fd_ >= 0) return true;
    if (errno != EEXIST) break;
  }
  Fail("cannot create a temporary file in " + dir_.string());
  return false;
}

bool TempFile::Write(const char* data, size_t size) {
  while (size > 0) {
    const unsigned chunk = static_cast<unsigned>(std::min<size_t>(size, 1u << 30));
    const int n = _write(fd_, data, chunk);
    if (n < 0) {
      Fail("writing failed");
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool TempFile::Sync() {
  if (_commit(fd_) == 0) return true;
  Fail("flushing to disk failed");
  return false;
}

bool TempFile::Close() {
  if (fd_ < 0) return true;
  const int result = _close(fd_);
  fd_ = -1;
  if (result == 0) return true;
  Fail("closing failed");
  return false;
}

void TempFile::Discard() {
  Close();
  _wunlink(temp_.wstring().c_str());
}

bool TempFile::Replace() {
  // Write-through: the call returns once the new directory entry is on the disk.
  if (MoveFileExW(temp_.wstring().c_str(), target_.wstring().c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  const DWORD code = GetLastError();
  error_ = "cannot replace the file: " + std::system_category().message(static_cast<int>(code));
  if (code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED) {
    error_ += " (is it open in another program?)";  // Windows replaces no file that is open
  }
  _wunlink(temp_.wstring().c_str());
  return false;
}

#else

bool TempFile::Create() {
  // A hidden name beside the target, so the rename stays inside one file system.
  std::string pattern = (dir_ / ("." + target_.filename().string() + ".XXXXXX")).string();
  fd_ = ::mkstemp(pattern.data());
  if (fd_ < 0) {
    Fail("cannot create a temporary file in " + dir_.string());
    return false;
  }
  temp_ = pattern;
  // The replacement keeps the permissions of the file it replaces; a new file gets the
  // usual read-write for the owner and read for everyone else.
  struct stat old {};
  ::fchmod(fd_, ::stat(target_.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
  return true;
}

bool TempFile::Write(const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("writing failed");
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool TempFile::Sync() {
  if (::fsync(fd_) == 0) return true;
  Fail("flushing to disk failed");
  return false;
}

bool TempFile::Close() {
  if (fd_ < 0) return true;
  const int result = ::close(fd_);
  fd_ = -1;
  if (result == 0) return true;
  Fail("closing failed");
  return false;
}

void TempFile::Discard() {
  Close();
  ::unlink(temp_.c_str());
}

bool TempFile::Replace() {
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    Fail("cannot replace the file");
    ::unlink(temp_.c_str());
    return false;
  }
  // Make the rename itself durable; a failure here no longer endangers the old bytes.
  if (const int dirFd = ::open(dir_.c_str(), O_RDONLY | O_DIRECTORY); dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

#endif

FaultAction Ask(const WriteFaultHook& hook, WriteStep step) {
  return hook ? hook(step) : FaultAction::kProceed;
}

// The steps and their faults, the same on every system. The data goes in two halves so that
// a fault injected between them leaves a half-written temporary file, as a full disk or a
// crash would.
std::optional<RecordError> WriteAtomicallyImpl(const fs::path& target, std::string_view bytes,
                                               const WriteFaultHook& hook) {
  const std::string simulated = " (simulated)";
  if (Ask(hook, WriteStep::kCreateTemp) != FaultAction::kProceed) {
    return IoFailure(RecordErrorKind::kCreateFailed, target,
                     "cannot create a temporary file" + simulated);
  }
  TempFile temp(target);
  if (!temp.Create()) return IoFailure(RecordErrorKind::kCreateFailed, target, temp.Error());
  auto abandon = [&](RecordErrorKind kind, std::string reason) {
    temp.Discard();
    return IoFailure(kind, target, std::move(reason));
  };

  const size_t half = bytes.size() / 2;
  if (!temp.Write(bytes.data(), half)) {
    return abandon(RecordErrorKind::kWriteFailed, temp.Error());
  }
  if (const FaultAction a = Ask(hook, WriteStep::kWriteData); a != FaultAction::kProceed) {
    if (a == FaultAction::kCrash) {
      temp.Close();  // the half-written temporary file stays, as after a real crash
      return IoFailure(RecordErrorKind::kWriteFailed, target, "crashed" + simulated);
    }
    return abandon(RecordErrorKind::kWriteFailed,
                   "writing failed: no space left on device" + simulated);
  }
  if (!temp.Write(bytes.data() + half, bytes.size() - half)) {
    return abandon(RecordErrorKind::kWriteFailed, temp.Error());
  }
  if (Ask(hook, WriteStep::kSync) != FaultAction::kProceed) {
    return abandon(RecordErrorKind::kSyncFailed, "flushing to disk failed" + simulated);
  }
  if (!temp.Sync()) return abandon(RecordErrorKind::kSyncFailed, temp.Error());
  if (!temp.Close()) return abandon(RecordErrorKind::kWriteFailed, temp.Error());
  if (Ask(hook, WriteStep::kRename) != FaultAction::kProceed) {
    return abandon(RecordErrorKind::kRenameFailed, "cannot replace the file" + simulated);
  }
  if (!temp.Replace()) return IoFailure(RecordErrorKind::kRenameFailed, target, temp.Error());
  return std::nullopt;
}

}  // namespace

std::optional<RecordError> WriteFileAtomically(const fs::path& target, std::string_view bytes,
                                               const WriteFaultHook& hook) {
  std::error_code ec;
  if (fs::is_directory(target, ec)) {
    return IoFailure(RecordErrorKind::kCreateFailed, target, "a folder has that name");
  }
  if (IsReadOnlyFile(target)) {
    return IoFailure(RecordErrorKind::kReadOnly, target, "the file is read-only");
  }
  return WriteAtomicallyImpl(target, bytes, hook);
}

}  // namespace trilane
