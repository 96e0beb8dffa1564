// Any bytes as a history file: the check never fails to answer, and the records of a valid
// file can be read and written into a new file that is valid again.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "records/history_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const trilane::HistoryCheck check = trilane::CheckHistory(bytes);
  if (!check.valid) {
    if (check.error.reason.empty()) std::abort();
    return 0;
  }
  for (const auto& line : check.recordLines) (void)trilane::ReadHistoryRecord(line);
  const trilane::HistoryCheck rebuilt =
      trilane::CheckHistory(trilane::BuildHistoryFile(check.recordLines));
  if (!rebuilt.valid || rebuilt.records != check.records) std::abort();
  return 0;
}
