// Hostile picture bytes: every decoder returns a picture or nothing, within the size limits.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/images.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  int seen = 0;
  for (QImage (*decode)(std::span<const uint8_t>) :
       {trilane::DecodePng, trilane::DecodeJpeg, trilane::DecodeGif, trilane::DecodeDib}) {
    const QImage image = decode(bytes);
    if (!image.isNull()) seen += image.pixel(image.width() - 1, image.height() - 1) & 1;
  }
  for (const trilane::GifFrame& frame : trilane::DecodeGifFrames(bytes, 50)) {
    seen += frame.image.pixel(0, 0) & 1;
  }
  return seen > 100 ? 1 : 0;
}
