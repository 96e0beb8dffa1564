// Hostile library files: listing and every lookup must stay inside the bytes and end.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pe_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  size_t total = 0;
  size_t lookups = 0;
  for (const trilane::PeResource& r : trilane::ListPeResources(file)) {
    // The listed range must be readable.
    if (r.size) total += file[r.offset] + file[r.offset + r.size - 1];
    if (++lookups > 32) continue;  // each lookup walks the tree again
    const auto found = trilane::FindPeResource(file, r.type, r.name.ToString());
    if (found && !found->empty()) total += (*found)[0];
  }
  for (const char* name : {"CH02B", "fong", "#7", "WDing_1"}) {
    for (const auto& type :
         {trilane::ResourceId::Number(trilane::kRtRcdata),
          trilane::ResourceId::Number(trilane::kRtBitmap), trilane::ResourceId::Text("JPEG"),
          trilane::ResourceId::Text("WAVE")}) {
      if (const auto found = trilane::FindPeResource(file, type, name); found && !found->empty()) {
        total += found->back();
      }
    }
  }
  return total == 0xFFFFFFFF ? 1 : 0;
}
