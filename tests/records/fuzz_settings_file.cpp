// Any bytes as a settings file: reading never fails, and whatever it yields is written
// and read back unchanged.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "records/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const trilane::SettingsRead read = trilane::ParseSettings(bytes);
  for (const auto& note : read.notes) (void)note.Describe();
  // Values the file cannot hold (an empty text line ends the reading) are the only ones
  // that may not come back; everything read from a file written by us must.
  const trilane::SettingsRead again =
      trilane::ParseSettings(trilane::FormatSettings(read.settings));
  const trilane::SettingsRead third =
      trilane::ParseSettings(trilane::FormatSettings(again.settings));
  if (!(third.settings == again.settings)) std::abort();
  return 0;
}
