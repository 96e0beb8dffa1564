#pragma once
// Picture decoding and the animated-GIF writer. Each decoder takes the file's bytes (as a
// resource or a file holds them) and returns a null QImage for anything it cannot read:
// truncated data, a wrong signature, or dimensions beyond kMaxImageSide / kMaxImagePixels.

#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace trilane {

inline constexpr int kMaxImageSide = 16384;
inline constexpr int64_t kMaxImagePixels = int64_t{64} * 1024 * 1024;

QImage DecodePng(std::span<const uint8_t> data);   // libpng; ARGB32
QImage DecodeJpeg(std::span<const uint8_t> data);  // libjpeg-turbo; RGB32
QImage DecodeGif(std::span<const uint8_t> data);   // giflib; the first frame, ARGB32

// The frames of an animated GIF as they appear on screen: each frame laid over what the
// previous one left (after its disposal), with its delay. A damaged file yields the frames
// before the damage; at most `maxFrames`, and fewer for very large pictures.
struct GifFrame {
  QImage image;
  int delayMs = 0;
};
std::vector<GifFrame> DecodeGifFrames(std::span<const uint8_t> data, int maxFrames = 1000);
// A device-independent bitmap as a bitmap resource holds it: BITMAPINFOHEADER (or the core,
// V4 or V5 header), palette, pixels; no file header. A ".bmp" file (starting "BM") is read
// too. 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or with bit fields.
QImage DecodeDib(std::span<const uint8_t> data);
// Chooses the decoder from the first bytes (PNG, JPEG, GIF, "BM" file, else a DIB).
QImage DecodeImage(std::span<const uint8_t> data);

// Writes an animated GIF frame by frame: every frame is reduced to its own 256-colour map
// (GifQuantizeBuffer), carries its own delay and is placed at 0,0; the file loops forever
// when asked. Frames of another size than the first are scaled to it.
class GifWriter {
 public:
  GifWriter();
  ~GifWriter();
  GifWriter(const GifWriter&) = delete;
  GifWriter& operator=(const GifWriter&) = delete;

  bool Open(const QString& path, int width, int height, bool loop);
  bool AddFrame(const QImage& frame, int delayMs);
  // Finishes the file; false when any step failed (the partial file is removed).
  bool Close();
  int FrameCount() const { return frames_; }

 private:
  struct State;
  std::unique_ptr<State> state_;
  int frames_ = 0;
};

}  // namespace trilane
