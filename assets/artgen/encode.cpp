// File encoders of the generator. PNG and JPEG go through Qt's writers (no time stamps or
// other varying chunks); bitmaps are written by hand; GIF animations through giflib.

#include <gif_lib.h>

#include <QBuffer>
#include <QPainter>
#include <cstring>

#include "assets/artgen/artgen.h"

namespace trilane::artgen {

uint32_t HashName(const std::string& s) {
  uint32_t h = 2166136261u;
  for (unsigned char c : s) h = (h ^ c) * 16777619u;
  return h;
}

QByteArray EncodePng(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const QImage img = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32)
                                             : image.convertToFormat(QImage::Format_RGB32);
  img.save(&buffer, "PNG", 30);  // zlib level 6: nearly the smallest files, much faster than 9
  return bytes;
}

QByteArray EncodeJpeg(const QImage& image, int quality) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPG", quality);
  return bytes;
}

namespace {
void Put16(QByteArray& b, uint16_t v) {
  b.append(static_cast<char>(v & 0xff));
  b.append(static_cast<char>(v >> 8));
}
void Put32(QByteArray& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xff));
}
}  // namespace

QByteArray EncodeDib(const QImage& image) {
  // Composed on white first: bitmaps have no transparency.
  QImage img(image.size(), QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    p.drawImage(0, 0, image);
  }
  const int w = img.width(), h = img.height();
  const int stride = (w * 3 + 3) & ~3;
  QByteArray b;
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(w));
  Put32(b, static_cast<uint32_t>(h));  // positive: rows bottom-up
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, 0);  // BI_RGB
  Put32(b, static_cast<uint32_t>(stride * h));
  Put32(b, 2835);  // 72 dpi
  Put32(b, 2835);
  Put32(b, 0);
  Put32(b, 0);
  for (int y = h - 1; y >= 0; --y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    int written = 0;
    for (int x = 0; x < w; ++x) {
      b.append(static_cast<char>(qBlue(row[x])));
      b.append(static_cast<char>(qGreen(row[x])));
      b.append(static_cast<char>(qRed(row[x])));
      written += 3;
    }
    for (; written < stride; ++written) b.append('\0');
  }
  return b;
}

namespace {
int WriteToArray(GifFileType* gif, const GifByteType* data, int len) {
  static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), len);
  return len;
}
}  // namespace

QByteArray EncodeGif(const std::vector<QImage>& frames, int delayCs) {
  QByteArray out;
  if (frames.empty()) return out;
  int err = 0;
  GifFileType* gif = EGifOpen(&out, WriteToArray, &err);
  if (!gif) return {};
  const int w = frames[0].width(), h = frames[0].height();
  EGifSetGifVersion(gif, true);
  bool ok = EGifPutScreenDesc(gif, w, h, 8, 0, nullptr) == GIF_OK;
  // Loop for ever.
  const unsigned char loop[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
  const unsigned char loopData[] = {1, 0, 0};
  ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
       EGifPutExtensionBlock(gif, sizeof loop, loop) == GIF_OK &&
       EGifPutExtensionBlock(gif, sizeof loopData, loopData) == GIF_OK &&
       EGifPutExtensionTrailer(gif) == GIF_OK;
  const size_t n = static_cast<size_t>(w) * h;
  std::vector<GifByteType> r(n), g(n), bl(n), idx(n);
  for (const QImage& frame : frames) {
    if (!ok) break;
    const QImage img = frame.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
      const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
      for (int x = 0; x < w; ++x) {
        const size_t i = static_cast<size_t>(y) * w + x;
        r[i] = static_cast<GifByteType>(qRed(row[x]));
        g[i] = static_cast<GifByteType>(qGreen(row[x]));
        bl[i] = static_cast<GifByteType>(qBlue(row[x]));
      }
    }
    int colours = 256;
    GifColorType palette[256];
    std::memset(palette, 0, sizeof palette);
    if (GifQuantizeBuffer(static_cast<unsigned>(w), static_cast<unsigned>(h), &colours, r.data(),
                          g.data(), bl.data(), idx.data(), palette) != GIF_OK) {
      ok = false;
      break;
    }
    ColorMapObject* map = GifMakeMapObject(256, palette);
    GraphicsControlBlock gcb{};
    gcb.DisposalMode = DISPOSE_DO_NOT;
    gcb.DelayTime = delayCs;
    gcb.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType ext[4];
    const size_t extLen = EGifGCBToExtension(&gcb, ext);
    ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extLen), ext) == GIF_OK &&
         EGifPutImageDesc(gif, 0, 0, w, h, false, map) == GIF_OK;
    for (int y = 0; ok && y < h; ++y) {
      ok = EGifPutLine(gif, idx.data() + static_cast<size_t>(y) * w, w) == GIF_OK;
    }
    GifFreeMapObject(map);
  }
  if (EGifCloseFile(gif, &err) != GIF_OK) ok = false;
  return ok ? out : QByteArray();
}

}  // namespace trilane::artgen
