#pragma once
// What went wrong with a record file: which file, where in it (1-based line and byte column)
// and why. Readers fill line and column; writers say which step of the write failed, so the
// caller can pick the message to show ("Error of disk writing!", "Can`t save options!", ...).

#include <string>
#include <utility>

namespace trilane {

enum class RecordErrorKind {
  kMissing,       // the file does not exist
  kUnreadable,    // it exists but cannot be read (permissions, a folder, too large)
  kBadFile,       // its bytes do not form a valid file of its kind
  kBadValue,      // a value handed in by the caller does not fit the format
  kWriteLocked,   // the club file's attributes forbid writing (see ClubWriteLocked)
  kReadOnly,      // the target file is read-only
  kCreateFailed,  // the temporary file beside the target could not be created
  kWriteFailed,   // writing the bytes failed (no space left, I/O error)
  kSyncFailed,    // flushing the bytes to the disk failed
  kRenameFailed,  // the finished file could not replace the target
  kFull,          // no file number left (history)
};

struct RecordError {
  RecordErrorKind kind = RecordErrorKind::kBadFile;
  std::string path;    // the file concerned; empty for a buffer
  int line = 0;        // 1-based; 0 when the fault is not inside one line
  int column = 0;      // 1-based byte column; 0 when it concerns the whole line
  std::string reason;  // plain English, for logs and the command-line tool

  // True when the failure happened while writing: the old file is still intact.
  bool IsWriteFailure() const;
  // "line 3, column 21: reason" (parts that are unknown are left out), prefixed by the path.
  std::string Describe() const;
  // The same without the path.
  std::string Where() const;
};

// A fault inside a file's bytes, at a 1-based line and byte column (0 when unknown).
inline RecordError BadFile(int line, int column, std::string reason) {
  RecordError e;
  e.kind = RecordErrorKind::kBadFile;
  e.line = line;
  e.column = column;
  e.reason = std::move(reason);
  return e;
}

// A value handed in by the caller that does not fit the format.
inline RecordError BadValue(std::string reason) {
  RecordError e;
  e.kind = RecordErrorKind::kBadValue;
  e.reason = std::move(reason);
  return e;
}

}  // namespace trilane
