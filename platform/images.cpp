#include "platform/images.h"

#include <gif_lib.h>
#include <png.h>

#include <QSaveFile>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

// jpeglib.h needs the standard types declared first.
#include <jpeglib.h>

namespace trilane {

namespace {

bool SizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
         width * height <= kMaxImagePixels;
}

uint32_t U32At(std::span<const uint8_t> d, size_t at) {
  return static_cast<uint32_t>(d[at]) | (static_cast<uint32_t>(d[at + 1]) << 8) |
         (static_cast<uint32_t>(d[at + 2]) << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}
uint16_t U16At(std::span<const uint8_t> d, size_t at) {
  return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}

// --- JPEG -----------------------------------------------------------------------------------

struct JpegError {
  jpeg_error_mgr manager;
  jmp_buf jump;
};

void JpegFail(j_common_ptr info) {
  longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}
void JpegQuiet(j_common_ptr, int) {}
void JpegNoOutput(j_common_ptr) {}

// Progressive files can hold thousands of tiny scans that take ages to decode; real
// pictures have a dozen or so.
constexpr long kMaxJpegScans = 500;
void JpegProgress(j_common_ptr info) {
  if (info->is_decompressor) {
    auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number > kMaxJpegScans) JpegFail(info);
  }
}

// Only plain C objects live in this frame between setjmp and the last libjpeg call, so
// the jump back skips no destructor. `out` belongs to the caller.
bool DecodeJpegInto(const uint8_t* data, unsigned long size, QImage* out) {
  jpeg_decompress_struct info;
  JpegError error;
  jpeg_progress_mgr progress;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = JpegFail;
  error.manager.emit_message = JpegQuiet;
  error.manager.output_message = JpegNoOutput;
  progress.progress_monitor = JpegProgress;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  info.progress = &progress;
  jpeg_mem_src(&info, data, size);
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK ||
      !SizeAllowed(info.image_width, info.image_height)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_EXT_BGRX;  // matches QImage::Format_RGB32 in memory
  jpeg_start_decompress(&info);
  *out = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                QImage::Format_RGB32);
  if (out->isNull()) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out->scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

// --- GIF ------------------------------------------------------------------------------------

struct GifSource {
  std::span<const uint8_t> data;
  size_t at = 0;
};

int GifRead(GifFileType* gif, GifByteType* buffer, int length) {
  auto* source = static_cast<GifSource*>(gif->UserData);
  if (length <= 0) return 0;
  const size_t n = std::min(static_cast<size_t>(length), source->data.size() - source->at);
  std::memcpy(buffer, source->data.data() + source->at, n);
  source->at += n;
  return static_cast<int>(n);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};

// --- DIB ------------------------------------------------------------------------------------

// The shift and width of a bit-field mask, for scaling a field to 0..255.
struct Field {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit Field(uint32_t m) : mask(m) {
    if (m == 0) return;
    while (!((m >> shift) & 1)) ++shift;
    while (bits + shift < 32 && ((m >> (shift + bits)) & 1)) ++bits;
  }
  int Value(uint32_t pixel) const {
    if (bits == 0) return 0;
    const uint32_t v = (pixel & mask) >> shift;
    const uint32_t max = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1);
    return static_cast<int>((uint64_t{v} * 255 + max / 2) / max);
  }
};

}  // namespace

QImage DecodePng(std::span<const uint8_t> data) {
  if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) return {};
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return {};
  if (!SizeAllowed(image.width, image.height)) {
    png_image_free(&image);
    return {};
  }
  image.format = PNG_FORMAT_BGRA;  // on little-endian machines the bytes of ARGB32
  if (QSysInfo::ByteOrder == QSysInfo::BigEndian) image.format = PNG_FORMAT_ARGB;
  QImage out(static_cast<int>(image.width), static_cast<int>(image.height), QImage::Format_ARGB32);
  if (out.isNull()) {
    png_image_free(&image);
    return {};
  }
  if (!png_image_finish_read(&image, nullptr, out.bits(),
                             static_cast<png_int_32>(out.bytesPerLine()), nullptr)) {
    return {};
  }
  return out;
}

QImage DecodeJpeg(std::span<const uint8_t> data) {
  if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) return {};
  QImage out;
  if (!DecodeJpegInto(data.data(), static_cast<unsigned long>(data.size()), &out)) return {};
  return out;
}

std::vector<GifFrame> DecodeGifFrames(std::span<const uint8_t> data, int maxFrames) {
  std::vector<GifFrame> frames;
  if (data.size() < 6 || std::memcmp(data.data(), "GIF", 3) != 0 || maxFrames < 1) return frames;
  GifSource source{data, 0};
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, GifRead, &error));
  if (!gif || !SizeAllowed(gif->SWidth, gif->SHeight)) return frames;
  // Every frame is a whole canvas; all of them together stay within one picture's limit.
  QImage canvas;
  const int64_t canvasPixels = int64_t{gif->SWidth} * gif->SHeight;
  int64_t budget = kMaxImagePixels;

  GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
  GifRecordType record = UNDEFINED_RECORD_TYPE;
  do {
    // A damaged tail ends the animation; the frames before it are kept.
    if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR) break;
    if (record == EXTENSION_RECORD_TYPE) {
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(gif.get(), &code, &block) == GIF_ERROR) break;
      if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        DGifExtensionToGCB(block[0], block + 1, &control);
      }
      bool ok = true;
      while (block && ok) ok = DGifGetExtensionNext(gif.get(), &block) != GIF_ERROR;
      if (!ok) break;
    } else if (record == IMAGE_DESC_RECORD_TYPE) {
      if (DGifGetImageDesc(gif.get()) == GIF_ERROR) break;
      const GifImageDesc& desc = gif->Image;
      const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
      if (!map || !map->Colors || !SizeAllowed(desc.Width, desc.Height)) break;
      const int w = desc.Width, h = desc.Height;
      std::vector<GifPixelType> pixels(static_cast<size_t>(w) * h);
      bool ok = true;
      if (desc.Interlace) {
        static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4 && ok; ++pass) {
          for (int y = kStart[pass]; y < h && ok; y += kStep[pass]) {
            ok = DGifGetLine(gif.get(), &pixels[static_cast<size_t>(y) * w], w) != GIF_ERROR;
          }
        }
      } else {
        for (int y = 0; y < h && ok; ++y) {
          ok = DGifGetLine(gif.get(), &pixels[static_cast<size_t>(y) * w], w) != GIF_ERROR;
        }
      }
      if (!ok) break;
      if (canvas.isNull()) {
        canvas = QImage(gif->SWidth, gif->SHeight, QImage::Format_ARGB32);
        if (canvas.isNull()) break;
        canvas.fill(Qt::transparent);
      }
      const QImage previous = control.DisposalMode == DISPOSE_PREVIOUS ? canvas : QImage();
      const QRect area = QRect(desc.Left, desc.Top, w, h).intersected(canvas.rect());
      for (int ty = area.top(); ty <= area.bottom(); ++ty) {
        auto* line = reinterpret_cast<QRgb*>(canvas.scanLine(ty));
        const GifPixelType* row = &pixels[static_cast<size_t>(ty - desc.Top) * w];
        for (int tx = area.left(); tx <= area.right(); ++tx) {
          const int index = row[tx - desc.Left];
          if (index == control.TransparentColor || index >= map->ColorCount) continue;
          const GifColorType c = map->Colors[index];
          line[tx] = qRgb(c.Red, c.Green, c.Blue);
        }
      }
      frames.push_back({canvas.copy(), control.DelayTime * 10});
      budget -= canvasPixels;
      if (static_cast<int>(frames.size()) >= maxFrames || budget < canvasPixels) break;
      if (control.DisposalMode == DISPOSE_BACKGROUND) {
        for (int ty = area.top(); ty <= area.bottom(); ++ty) {
          auto* line = reinterpret_cast<QRgb*>(canvas.scanLine(ty));
          std::fill(line + area.left(), line + area.right() + 1, qRgba(0, 0, 0, 0));
        }
      } else if (control.DisposalMode == DISPOSE_PREVIOUS) {
        canvas = previous;
      }
      control = GraphicsControlBlock{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
    }
  } while (record != TERMINATE_RECORD_TYPE);
  return frames;
}

QImage DecodeGif(std::span<const uint8_t> data) {
  auto frames = DecodeGifFrames(data, 1);
  return frames.empty() ? QImage() : std::move(frames.front().image);
}

QImage DecodeDib(std::span<const uint8_t> data) {
  size_t base = 0;
  std::optional<size_t> fileDataOffset;
  if (data.size() >= 14 && data[0] == 'B' && data[1] == 'M') {
    fileDataOffset = U32At(data, 10);
    base = 14;
  }
  const std::span<const uint8_t> d = data.subspan(base);
  if (d.size() < 12) return {};
  const uint32_t headerSize = U32At(d, 0);
  int64_t width = 0, height = 0;
  int bpp = 0;
  uint32_t compression = 0, colorsUsed = 0;
  size_t paletteEntry = 4;
  uint32_t masks[4] = {0, 0, 0, 0};
  size_t after = headerSize;
  if (headerSize == 12) {
    width = U16At(d, 4);
    height = U16At(d, 6);
    bpp = U16At(d, 10);
    paletteEntry = 3;
  } else if (headerSize >= 40 && headerSize <= 124 && d.size() >= headerSize) {
    width = static_cast<int32_t>(U32At(d, 4));
    height = static_cast<int32_t>(U32At(d, 8));
    bpp = U16At(d, 14);
    compression = U32At(d, 16);
    colorsUsed = U32At(d, 32);
    if (compression == 3 || compression == 6) {  // BI_BITFIELDS, BI_ALPHABITFIELDS
      const size_t count = compression == 6 ? 4 : 3;
      size_t at = 40;
      if (headerSize == 40) after += 4 * count;  // masks follow the short header
      if (d.size() < at + 4 * count) return {};
      for (size_t i = 0; i < count; ++i, at += 4) masks[i] = U32At(d, at);
      if (headerSize >= 56) masks[3] = U32At(d, 52);
    }
  } else {
    return {};
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (!SizeAllowed(width, height)) return {};
  const bool paletted = bpp == 1 || bpp == 4 || bpp == 8;
  if (!paletted && bpp != 16 && bpp != 24 && bpp != 32) return {};
  if (compression != 0 && !(compression == 3 && (bpp == 16 || bpp == 32)) &&
      !(compression == 6 && (bpp == 16 || bpp == 32))) {
    return {};  // run-length and embedded PNG/JPEG forms are not used by the game's pictures
  }
  if (!paletted && compression == 0) {
    if (bpp == 16) {
      masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    }
  }

  std::vector<QRgb> palette;
  if (paletted) {
    size_t count = colorsUsed ? colorsUsed : (size_t{1} << bpp);
    if (count > 256) return {};
    if (after > d.size() || count * paletteEntry > d.size() - after) return {};
    for (size_t i = 0; i < count; ++i) {
      const size_t at = after + i * paletteEntry;
      palette.push_back(qRgb(d[at + 2], d[at + 1], d[at]));
    }
    after += count * paletteEntry;
  } else if (colorsUsed && colorsUsed <= 256 && headerSize != 12) {
    after += size_t{colorsUsed} * 4;  // an optional palette before true-colour pixels
  }

  const size_t stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
  size_t pixelsAt = after;
  if (fileDataOffset && *fileDataOffset >= 14) pixelsAt = *fileDataOffset - 14;
  if (pixelsAt > d.size() || stride * static_cast<size_t>(height) > d.size() - pixelsAt) return {};

  const bool hasAlpha = masks[3] != 0;
  QImage out(static_cast<int>(width), static_cast<int>(height),
             hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (out.isNull()) return {};
  const Field red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  for (int64_t row = 0; row < height; ++row) {
    const uint8_t* src = d.data() + pixelsAt + stride * static_cast<size_t>(row);
    const int y = static_cast<int>(topDown ? row : height - 1 - row);
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int64_t x = 0; x < width; ++x) {
      QRgb pixel = 0;
      if (paletted) {
        const size_t bit = static_cast<size_t>(x) * bpp;
        const int shift = static_cast<int>(8 - bpp - bit % 8);
        const size_t index = (src[bit / 8] >> shift) & ((1u << bpp) - 1);
        pixel = index < palette.size() ? palette[index] : qRgb(0, 0, 0);
      } else if (bpp == 24 || (bpp == 32 && compression == 0)) {
        const uint8_t* p = src + x * (bpp / 8);
        pixel = qRgb(p[2], p[1], p[0]);
      } else {
        const uint8_t* p = src + x * (bpp / 8);
        const uint32_t v = bpp == 16 ? U16At({p, 2}, 0) : U32At({p, 4}, 0);
        pixel = qRgba(red.Value(v), green.Value(v), blue.Value(v), hasAlpha ? alpha.Value(v) : 255);
      }
      line[x] = pixel;
    }
  }
  return out;
}

QImage DecodeImage(std::span<const uint8_t> data) {
  if (data.size() >= 8 && png_sig_cmp(data.data(), 0, 8) == 0) return DecodePng(data);
  if (data.size() >= 2 && data[0] == 0xFF && data[1] == 0xD8) return DecodeJpeg(data);
  if (data.size() >= 6 && std::memcmp(data.data(), "GIF", 3) == 0) return DecodeGif(data);
  return DecodeDib(data);
}

// --- GIF writer -----------------------------------------------------------------------------

struct GifWriter::State {
  // Written to a temporary file beside the target and renamed over it when complete, so a
  // recording cut short never leaves a broken picture behind.
  explicit State(const QString& path) : file(path) {}
  QSaveFile file;
  GifFileType* gif = nullptr;
  int width = 0;
  int height = 0;
  bool failed = false;
};

namespace {

int GifWrite(GifFileType* gif, const GifByteType* bytes, int length) {
  auto* file = static_cast<QSaveFile*>(gif->UserData);
  return static_cast<int>(file->write(reinterpret_cast<const char*>(bytes), length));
}

}  // namespace

GifWriter::GifWriter() = default;

GifWriter::~GifWriter() {
  if (state_ && state_->gif) {
    int error = 0;
    EGifCloseFile(state_->gif, &error);
    state_->file.cancelWriting();
  }
}

bool GifWriter::Open(const QString& path, int width, int height, bool loop) {
  if (state_) return false;
  if (!SizeAllowed(width, height) || width > 0xFFFF || height > 0xFFFF) return false;
  auto state = std::make_unique<State>(path);
  state->width = width;
  state->height = height;
  if (!state->file.open(QIODevice::WriteOnly)) return false;
  int error = 0;
  state->gif = EGifOpen(&state->file, GifWrite, &error);
  if (!state->gif) {
    state->file.cancelWriting();
    return false;
  }
  EGifSetGifVersion(state->gif, true);
  bool ok = EGifPutScreenDesc(state->gif, width, height, 8, 0, nullptr) == GIF_OK;
  if (ok && loop) {
    static const GifByteType kApp[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType kLoopForever[] = {1, 0, 0};
    ok = EGifPutExtensionLeader(state->gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(state->gif, sizeof kApp, kApp) == GIF_OK &&
         EGifPutExtensionBlock(state->gif, sizeof kLoopForever, kLoopForever) == GIF_OK &&
         EGifPutExtensionTrailer(state->gif) == GIF_OK;
  }
  state_ = std::move(state);
  state_->failed = !ok;
  frames_ = 0;
  return ok;
}

bool GifWriter::AddFrame(const QImage& frame, int delayMs) {
  if (!state_ || state_->failed || frame.isNull()) return false;
  const int w = state_->width, h = state_->height;
  QImage rgb = frame.size() == QSize(w, h)
                   ? frame.convertToFormat(QImage::Format_RGB32)
                   : frame.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_RGB32);
  const size_t count = static_cast<size_t>(w) * h;
  std::vector<GifByteType> r(count), g(count), b(count), indices(count);
  for (int y = 0; y < h; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      const size_t i = static_cast<size_t>(y) * w + x;
      r[i] = static_cast<GifByteType>(qRed(line[x]));
      g[i] = static_cast<GifByteType>(qGreen(line[x]));
      b[i] = static_cast<GifByteType>(qBlue(line[x]));
    }
  }
  int mapSize = 256;
  GifColorType colors[256] = {};
  if (GifQuantizeBuffer(static_cast<unsigned>(w), static_cast<unsigned>(h), &mapSize, r.data(),
                        g.data(), b.data(), indices.data(), colors) == GIF_ERROR) {
    state_->failed = true;
    return false;
  }
  ColorMapObject* map = GifMakeMapObject(256, colors);
  if (!map) {
    state_->failed = true;
    return false;
  }
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_DO_NOT;
  control.UserInputFlag = false;
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  control.DelayTime = std::clamp((delayMs + 5) / 10, 0, 0xFFFF);  // hundredths of a second
  GifByteType extension[4];
  const size_t extLength = EGifGCBToExtension(&control, extension);
  bool ok = EGifPutExtension(state_->gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extLength),
                             extension) == GIF_OK &&
            EGifPutImageDesc(state_->gif, 0, 0, w, h, false, map) == GIF_OK;
  for (int y = 0; ok && y < h; ++y) {
    ok = EGifPutLine(state_->gif, indices.data() + static_cast<size_t>(y) * w, w) == GIF_OK;
  }
  GifFreeMapObject(map);
  if (!ok) {
    state_->failed = true;
    return false;
  }
  ++frames_;
  return true;
}

bool GifWriter::Close() {
  if (!state_) return false;
  int error = 0;
  const bool closed = EGifCloseFile(state_->gif, &error) == GIF_OK;
  state_->gif = nullptr;
  bool ok = closed && !state_->failed && frames_ > 0;
  if (ok) {
    ok = state_->file.commit();
  } else {
    state_->file.cancelWriting();
  }
  state_.reset();
  return ok;
}

}  // namespace trilane
