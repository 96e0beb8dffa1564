#include "shell/pictures.h"

#include <span>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/pe_resources.h"
#include "platform/resource_module.h"

namespace trilane {
namespace {

std::span<const uint8_t> Bytes(const QByteArray& data) {
  return {reinterpret_cast<const uint8_t*>(data.constData()), static_cast<size_t>(data.size())};
}

}  // namespace

QImage ProgramPng(std::string_view name) {
  const auto data = ResourceModule::Program().Find(ResourceId::Number(kRtRcdata), name);
  if (!data) return {};
  return DecodePng(Bytes(*data));
}

std::vector<GifFrame> ProgramGif(std::string_view name) {
  const auto data = ResourceModule::Program().Find(ResourceId::Number(kRtRcdata), name);
  if (!data) return {};
  return DecodeGifFrames(Bytes(*data));
}

void KeepLargePicturesOutOfTheHeap() {
#if defined(__GLIBC__)
  // A fixed threshold also stops the allocator from raising it after each large free, which
  // would move the next pictures into the heap.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}

void ReturnFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

QImage StripFrame(const QImage& strip, int frameWidth, int index) {
  if (strip.isNull() || frameWidth <= 0) return {};
  const int frames = strip.width() / frameWidth;
  if (frames <= 0) return {};
  const int i = ((index % frames) + frames) % frames;
  return strip.copy(i * frameWidth, 0, frameWidth, strip.height());
}

}  // namespace trilane
