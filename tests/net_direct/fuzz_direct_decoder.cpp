// Arbitrary bytes, in arbitrary reads, through the direct-play decoder: nothing may crash,
// the buffer stays bounded, every message decoded is exactly what the encoder writes for it
// at the place it was found, and how the bytes were split into reads changes nothing.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "net/direct/direct_codec.h"

using trilane::direct::Decoded;
using trilane::direct::Decoder;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the read sizes; the rest is the stream.
  const size_t chunk = 1 + data[0] % 64;
  const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);

  Decoder inReads;
  std::vector<Decoded> got;
  for (size_t pos = 0; pos < stream.size(); pos += chunk) {
    for (Decoded& d : inReads.Feed(stream.substr(pos, chunk))) got.push_back(std::move(d));
    Check(inReads.BufferedBytes() <= Decoder::kMaxBufferedBytes);
  }
  for (const Decoded& d : got) {
    const std::string bytes = trilane::direct::Encode(d.message);
    Check(bytes.size() == d.length);
    Check(d.streamOffset + d.length <= stream.size());
    Check(stream.substr(d.streamOffset, d.length) == bytes);
  }

  Decoder whole;
  const std::vector<Decoded> once = whole.Feed(stream);
  Check(once.size() == got.size());
  for (size_t i = 0; i < once.size(); ++i) {
    Check(once[i].message == got[i].message && once[i].streamOffset == got[i].streamOffset);
  }
  return 0;
}
