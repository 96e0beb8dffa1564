// Hostile picture bytes: every decoder returns a picture or nothing, within the size limits,
// and a picture it returns has the size its file's header gives (the decoders never scale).
// The header fields are read here straight from the bytes, the way each format places them.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>

#include "platform/images.h"

namespace {

using Bytes = std::span<const uint8_t>;

struct Size {
  int64_t width = 0;
  int64_t height = 0;
};

uint32_t Big32(Bytes d, size_t at) {
  return uint32_t{d[at]} << 24 | uint32_t{d[at + 1]} << 16 | uint32_t{d[at + 2]} << 8 | d[at + 3];
}
uint32_t Little16(Bytes d, size_t at) {
  return d[at] | uint32_t{d[at + 1]} << 8;
}
uint32_t Little32(Bytes d, size_t at) {
  return Little16(d, at) | Little16(d, at + 2) << 16;
}

// The image header chunk comes first, right after the eight signature bytes.
std::optional<Size> PngHeader(Bytes d) {
  if (d.size() < 24) return std::nullopt;
  return Size{Big32(d, 16), Big32(d, 20)};
}

// The logical screen after "GIF87a"/"GIF89a": every frame is drawn on a canvas that size.
std::optional<Size> GifHeader(Bytes d) {
  if (d.size() < 10) return std::nullopt;
  return Size{Little16(d, 6), Little16(d, 8)};
}

// The info header, after the 14-byte file header when the bytes start "BM"; a negative height
// means the rows run top down.
std::optional<Size> DibHeader(Bytes d) {
  if (d.size() >= 14 && d[0] == 'B' && d[1] == 'M') d = d.subspan(14);
  if (d.size() < 12) return std::nullopt;
  if (Little32(d, 0) == 12) return Size{Little16(d, 4), Little16(d, 6)};
  const auto height = static_cast<int32_t>(Little32(d, 8));
  return Size{static_cast<int32_t>(Little32(d, 4)), height < 0 ? -int64_t{height} : height};
}

// The first frame header, found by walking the markers from the start of the image: bytes
// before a marker are skipped, as are fill bytes (0xFF) and stuffed zeros; markers without a
// length stand alone; the others say how long they are.
std::optional<Size> JpegHeader(Bytes d) {
  size_t at = 2;  // after the start-of-image marker
  for (;;) {
    while (at < d.size() && d[at] != 0xFF) ++at;
    while (at < d.size() && d[at] == 0xFF) ++at;
    if (at >= d.size()) return std::nullopt;
    const uint8_t marker = d[at++];
    if (marker == 0) continue;
    if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;
    if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA) return std::nullopt;
    if (at + 2 > d.size()) return std::nullopt;
    const uint32_t length = uint32_t{d[at]} << 8 | d[at + 1];
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (at + 7 > d.size()) return std::nullopt;
      return Size{uint32_t{d[at + 5]} << 8 | d[at + 6], uint32_t{d[at + 3]} << 8 | d[at + 4]};
    }
    at += length < 2 ? 2 : length;
  }
}

[[noreturn]] void Fail(const char* what, const QImage& image, std::optional<Size> header) {
  std::fprintf(stderr, "%s: decoded %dx%d, header %lldx%lld\n", what, image.width(), image.height(),
               header ? static_cast<long long>(header->width) : -1LL,
               header ? static_cast<long long>(header->height) : -1LL);
  std::abort();
}

void Check(const char* decoder, const QImage& image, std::optional<Size> header) {
  if (image.isNull()) return;
  const int64_t w = image.width(), h = image.height();
  if (w < 1 || h < 1 || w > trilane::kMaxImageSide || h > trilane::kMaxImageSide ||
      w * h > trilane::kMaxImagePixels) {
    Fail(decoder, image, header);
  }
  if (!header || header->width != w || header->height != h) Fail(decoder, image, header);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes bytes(data, size);
  Check("png", trilane::DecodePng(bytes), PngHeader(bytes));
  Check("jpeg", trilane::DecodeJpeg(bytes), JpegHeader(bytes));
  Check("dib", trilane::DecodeDib(bytes), DibHeader(bytes));
  const QImage first = trilane::DecodeGif(bytes);
  Check("gif", first, GifHeader(bytes));

  // Every frame is a whole canvas, at most the number asked for, and all of them together
  // stay within one picture's pixel limit; the first is the picture DecodeGif gives.
  constexpr int kMaxFrames = 50;
  const auto frames = trilane::DecodeGifFrames(bytes, kMaxFrames);
  if (frames.size() > kMaxFrames) Fail("gif frame count", first, GifHeader(bytes));
  if (frames.empty() != first.isNull() || (!frames.empty() && frames.front().image != first)) {
    Fail("gif first frame", first, GifHeader(bytes));
  }
  int64_t pixels = 0;
  for (const trilane::GifFrame& frame : frames) {
    Check("gif frame", frame.image, GifHeader(bytes));
    if (frame.image.isNull()) Fail("gif null frame", frame.image, GifHeader(bytes));
    pixels += int64_t{frame.image.width()} * frame.image.height();
  }
  if (pixels > trilane::kMaxImagePixels) Fail("gif frames' pixels", first, GifHeader(bytes));
  return 0;
}
