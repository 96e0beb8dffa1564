#pragma once
// Reading a record file whole, and replacing one atomically: the new bytes go to a
// temporary file in the same folder, are flushed to the disk, and the temporary file is
// renamed over the target. Whatever fails on the way (no space, no permission, the program
// dying in the middle), the target keeps its old bytes.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "records/expected.h"
#include "records/record_error.h"

namespace trilane {

// Record files are small; anything larger is not one of ours and is not read.
inline constexpr size_t kMaxRecordFileBytes = 16 * 1024 * 1024;

Expected<std::string, RecordError> ReadWholeFile(const std::filesystem::path& path);

// The steps of an atomic write, in order. A fault hook (tests only) is asked before each;
// it can let the step go on, make it fail as the system would, or stop everything where it
// stands as if the program had died (the temporary file is then left behind, half written).
enum class WriteStep { kCreateTemp, kWriteData, kSync, kRename };
enum class FaultAction { kProceed, kFail, kCrash };
using WriteFaultHook = std::function<FaultAction(WriteStep)>;

// Replaces `target` with `bytes`. Nothing on success. A read-only target is refused (the
// rename would otherwise replace a file the user protected). The folder must exist.
std::optional<RecordError> WriteFileAtomically(const std::filesystem::path& target,
                                               std::string_view bytes,
                                               const WriteFaultHook& hook = {});

// An existing file that this process may not write to, or whose permissions allow nobody
// to write it (so that even an administrator running the program leaves it alone).
bool IsReadOnlyFile(const std::filesystem::path& path);

}  // namespace trilane
