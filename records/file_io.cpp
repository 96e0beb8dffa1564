#include "records/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
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

const char* kSimulated = " (simulated)";

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

FaultAction Ask(const WriteFaultHook& hook, WriteStep step) {
  return hook ? hook(step) : FaultAction::kProceed;
}

#ifdef _WIN32

// Windows: an exclusive create with a numbered name, _commit to flush, MoveFileEx to replace.
std::optional<RecordError> WriteAtomicallyImpl(const fs::path& target, std::string_view bytes,
                                               const WriteFaultHook& hook) {
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (Ask(hook, WriteStep::kCreateTemp) != FaultAction::kProceed) {
    return IoFailure(RecordErrorKind::kCreateFailed, target,
                     std::string("cannot create a temporary file") + kSimulated);
  }
  fs::path temp;
  FILE* file = nullptr;
  for (int n = 0; n < 1000 && !file; ++n) {
    temp = dir / (target.filename().wstring() + L".tmp" + std::to_wstring(n));
    const int fd = _wopen(temp.wstring().c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                          _S_IREAD | _S_IWRITE);
    if (fd < 0) {
      if (errno != EEXIST) break;
      continue;
    }
    file = _fdopen(fd, "wb");
    if (!file) {
      _close(fd);
      break;
    }
  }
  if (!file) {
    return IoFailure(RecordErrorKind::kCreateFailed, target,
                     "cannot create a temporary file: " + SystemMessage(errno));
  }
  auto abandon = [&](RecordErrorKind kind, std::string reason) {
    std::fclose(file);
    std::error_code ignored;
    fs::remove(temp, ignored);
    return IoFailure(kind, target, std::move(reason));
  };
  const size_t half = bytes.size() / 2;
  if (std::fwrite(bytes.data(), 1, half, file) != half) {
    return abandon(RecordErrorKind::kWriteFailed, "writing failed: " + SystemMessage(errno));
  }
  if (const FaultAction a = Ask(hook, WriteStep::kWriteData); a != FaultAction::kProceed) {
    if (a == FaultAction::kCrash) {
      std::fclose(file);
      return IoFailure(RecordErrorKind::kWriteFailed, target, std::string("crashed") + kSimulated);
    }
    return abandon(RecordErrorKind::kWriteFailed, std::string("no space left") + kSimulated);
  }
  if (std::fwrite(bytes.data() + half, 1, bytes.size() - half, file) != bytes.size() - half) {
    return abandon(RecordErrorKind::kWriteFailed, "writing failed: " + SystemMessage(errno));
  }
  if (Ask(hook, WriteStep::kSync) != FaultAction::kProceed) {
    return abandon(RecordErrorKind::kSyncFailed, std::string("flush failed") + kSimulated);
  }
  if (std::fflush(file) != 0 || _commit(_fileno(file)) != 0) {
    return abandon(RecordErrorKind::kSyncFailed, "flush failed: " + SystemMessage(errno));
  }
  if (std::fclose(file) != 0) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return IoFailure(RecordErrorKind::kWriteFailed, target, "closing failed");
  }
  if (Ask(hook, WriteStep::kRename) != FaultAction::kProceed) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return IoFailure(RecordErrorKind::kRenameFailed, target,
                     std::string("cannot replace the file") + kSimulated);
  }
  if (!MoveFileExW(temp.wstring().c_str(), target.wstring().c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    std::error_code ignored;
    fs::remove(temp, ignored);
    return IoFailure(RecordErrorKind::kRenameFailed, target, "cannot replace the file");
  }
  return std::nullopt;
}

#else

std::optional<RecordError> WriteAtomicallyImpl(const fs::path& target, std::string_view bytes,
                                               const WriteFaultHook& hook) {
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (Ask(hook, WriteStep::kCreateTemp) != FaultAction::kProceed) {
    return IoFailure(RecordErrorKind::kCreateFailed, target,
                     std::string("cannot create a temporary file") + kSimulated);
  }
  // A hidden name beside the target, so the rename stays inside one file system.
  std::string pattern = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    return IoFailure(
        RecordErrorKind::kCreateFailed, target,
        "cannot create a temporary file in " + dir.string() + ": " + SystemMessage(errno));
  }
  const std::string temp = pattern;
  // The replacement keeps the permissions of the file it replaces; a new file gets the
  // usual read-write for the owner and read for everyone else.
  struct stat old {};
  ::fchmod(fd, ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);

  auto abandon = [&](RecordErrorKind kind, std::string reason) {
    ::close(fd);
    ::unlink(temp.c_str());
    return IoFailure(kind, target, std::move(reason));
  };
  auto writeAll = [&](const char* data, size_t size) {
    while (size > 0) {
      const ssize_t n = ::write(fd, data, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      data += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  };

  const size_t half = bytes.size() / 2;
  if (!writeAll(bytes.data(), half)) {
    return abandon(RecordErrorKind::kWriteFailed, "writing failed: " + SystemMessage(errno));
  }
  if (const FaultAction a = Ask(hook, WriteStep::kWriteData); a != FaultAction::kProceed) {
    if (a == FaultAction::kCrash) {
      ::close(fd);  // the half-written temporary file stays, as after a real crash
      return IoFailure(RecordErrorKind::kWriteFailed, target, std::string("crashed") + kSimulated);
    }
    return abandon(RecordErrorKind::kWriteFailed,
                   std::string("writing failed: no space left on device") + kSimulated);
  }
  if (!writeAll(bytes.data() + half, bytes.size() - half)) {
    return abandon(RecordErrorKind::kWriteFailed, "writing failed: " + SystemMessage(errno));
  }
  if (Ask(hook, WriteStep::kSync) != FaultAction::kProceed) {
    return abandon(RecordErrorKind::kSyncFailed,
                   std::string("flushing to disk failed") + kSimulated);
  }
  if (::fsync(fd) != 0) {
    return abandon(RecordErrorKind::kSyncFailed,
                   "flushing to disk failed: " + SystemMessage(errno));
  }
  if (::close(fd) != 0) {
    ::unlink(temp.c_str());
    return IoFailure(RecordErrorKind::kWriteFailed, target,
                     "closing failed: " + SystemMessage(errno));
  }
  if (Ask(hook, WriteStep::kRename) != FaultAction::kProceed) {
    ::unlink(temp.c_str());
    return IoFailure(RecordErrorKind::kRenameFailed, target,
                     std::string("cannot replace the file") + kSimulated);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return IoFailure(RecordErrorKind::kRenameFailed, target,
                     "cannot replace the file: " + SystemMessage(err));
  }
  // Make the rename itself durable; a failure here no longer endangers the old bytes.
  if (const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY); dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return std::nullopt;
}

#endif

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
