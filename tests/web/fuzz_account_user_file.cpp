// Any bytes as a user file: nothing may crash or read out of bounds, and whatever reads as a
// user file writes back as bytes that read as the same file.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "web/user_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto file = trilane::web::ParseUserFile(bytes);
  if (file && trilane::web::ParseUserFile(trilane::web::UserFileBytes(*file)) != file) {
    std::abort();
  }
  (void)trilane::web::DecipherPassword(bytes);
  (void)trilane::web::StartupPassword(bytes);
  return 0;
}
