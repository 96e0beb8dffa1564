#include "platform/images.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QTemporaryDir>

#include "test_support.h"

namespace trilane {
namespace {

using testing::Span;

// A 3 x 2 picture with six different colours, one with partial transparency.
QImage Sample() {
  QImage image(3, 2, QImage::Format_ARGB32);
  const QRgb colours[] = {qRgb(255, 0, 0),   qRgb(0, 255, 0), qRgb(0, 0, 255),
                          qRgb(255, 255, 0), qRgb(0, 0, 0),   qRgba(10, 20, 30, 128)};
  for (int i = 0; i < 6; ++i) image.setPixel(i % 3, i / 3, colours[i]);
  return image;
}

QByteArray Encode(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, format, 100));
  return bytes;
}

void ExpectNear(QRgb a, QRgb b, int tolerance) {
  EXPECT_NEAR(qRed(a), qRed(b), tolerance);
  EXPECT_NEAR(qGreen(a), qGreen(b), tolerance);
  EXPECT_NEAR(qBlue(a), qBlue(b), tolerance);
}

TEST(Decoders, ReadWhatAnotherEncoderWrote) {
  const QImage sample = Sample();
  const QImage png = DecodePng(Span(Encode(sample, "PNG")));
  ASSERT_EQ(png.size(), QSize(3, 2));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(png.pixel(i % 3, i / 3), sample.pixel(i % 3, i / 3)) << i;

  QImage flat(40, 24, QImage::Format_RGB32);
  flat.fill(qRgb(200, 40, 90));
  const QImage jpeg = DecodeJpeg(Span(Encode(flat, "JPG")));
  ASSERT_EQ(jpeg.size(), QSize(40, 24));
  ExpectNear(jpeg.pixel(20, 12), qRgb(200, 40, 90), 4);

  const QByteArray bmp = Encode(sample.convertToFormat(QImage::Format_RGB32), "BMP");
  for (const QByteArray& bytes : {bmp, bmp.mid(14)}) {  // with and without the file header
    const QImage dib = DecodeDib(Span(bytes));
    ASSERT_EQ(dib.size(), QSize(3, 2));
    EXPECT_EQ(dib.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(dib.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(DecodeImage(Span(bytes)).pixel(1, 0), qRgb(0, 255, 0));
  }
  EXPECT_EQ(DecodeImage(Span(Encode(flat, "PNG"))).pixel(0, 0), qRgb(200, 40, 90));
}

// Builds a DIB (info header, palette, rows) by hand for the forms Qt does not write.
QByteArray Dib(int width, int height, int bpp, const std::vector<uint32_t>& palette,
               const std::vector<uint8_t>& pixels, uint32_t compression = 0,
               const std::vector<uint32_t>& masks = {}) {
  QByteArray d;
  auto u32 = [&](uint32_t v) {
    for (int k = 0; k < 4; ++k) d.append(static_cast<char>((v >> (8 * k)) & 0xFF));
  };
  auto u16 = [&](uint16_t v) {
    d.append(static_cast<char>(v & 0xFF)).append(static_cast<char>(v >> 8));
  };
  u32(40);
  u32(static_cast<uint32_t>(width));
  u32(static_cast<uint32_t>(height));
  u16(1);
  u16(static_cast<uint16_t>(bpp));
  u32(compression);
  u32(0);
  u32(0);
  u32(0);
  u32(static_cast<uint32_t>(palette.size()));
  u32(0);
  for (uint32_t m : masks) u32(m);
  for (uint32_t c : palette) u32(c);
  for (uint8_t b : pixels) d.append(static_cast<char>(b));
  return d;
}

TEST(Decoders, DibForms) {
  // 8 bits, bottom-up: the first stored row is the bottom one.
  {
    const QImage image =
        DecodeDib(Span(Dib(2, 2, 8, {0x00FF0000, 0x0000FF00}, {1, 0, 0, 0, 0, 1, 0, 0})));
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixel(0, 1), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 255, 0));
  }
  // 1 bit, top-down (negative height): bits from the most significant one.
  {
    const QImage image = DecodeDib(Span(Dib(3, -1, 1, {0x00000000, 0x00FFFFFF}, {0xA0, 0, 0, 0})));
    ASSERT_EQ(image.size(), QSize(3, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(2, 0), qRgb(255, 255, 255));
  }
  // 16 bits with 5-6-5 bit fields.
  {
    const QImage image =
        DecodeDib(Span(Dib(1, 1, 16, {}, {0x1F, 0xF8, 0, 0}, 3, {0xF800, 0x07E0, 0x001F})));
    ASSERT_EQ(image.size(), QSize(1, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 255));
  }
  // Broken: rows missing, a palette index beyond the palette, absurd sizes, RLE.
  EXPECT_TRUE(DecodeDib(Span(Dib(4, 4, 24, {}, {1, 2, 3}))).isNull());
  EXPECT_EQ(DecodeDib(Span(Dib(1, 1, 8, {0x00FF0000}, {7, 0, 0, 0}))).pixel(0, 0), qRgb(0, 0, 0));
  EXPECT_TRUE(DecodeDib(Span(Dib(100000, 1, 24, {}, {}))).isNull());
  EXPECT_TRUE(DecodeDib(Span(Dib(1, 1, 8, {0}, {0, 0, 0, 0}, 1))).isNull());
  EXPECT_TRUE(DecodeDib(Span(QByteArray("\x28\0\0", 3))).isNull());
}

TEST(Decoders, RejectBrokenFiles) {
  QImage big(64, 64, QImage::Format_RGB32);
  big.fill(Qt::gray);
  QTemporaryDir dir;
  GifWriter writer;
  ASSERT_TRUE(writer.Open(dir.path() + "/big.gif", 64, 64, false));
  ASSERT_TRUE(writer.AddFrame(big, 10));
  ASSERT_TRUE(writer.Close());
  const QByteArray gif = testing::ReadAll(dir.path() + "/big.gif");
  ASSERT_EQ(DecodeGif(Span(gif)).size(), QSize(64, 64));
  for (const QByteArray& good : {Encode(big, "PNG"), Encode(big, "JPG"), gif}) {
    for (int cut : {0, 4, 16, static_cast<int>(good.size() / 2)}) {
      const QImage image = DecodeImage(Span(good.left(cut)));
      if (!image.isNull()) {
        EXPECT_EQ(image.size(), QSize(64, 64));  // a JPEG cut late still shows
      }
    }
  }
  // A PNG that claims 100000 x 100000 pixels is refused before anything is allocated.
  QByteArray png = Encode(big, "PNG");
  png[16] = 0, png[17] = 1, png[18] = static_cast<char>(0x86), png[19] = static_cast<char>(0xA0);
  png[20] = 0, png[21] = 1, png[22] = static_cast<char>(0x86), png[23] = static_cast<char>(0xA0);
  EXPECT_TRUE(DecodePng(Span(png)).isNull());
  EXPECT_TRUE(DecodeImage(Span(QByteArray("not a picture"))).isNull());
}

struct GifFile {
  GifFileType* gif = nullptr;
  explicit GifFile(const QString& path) {
    int error = 0;
    gif = DGifOpenFileName(path.toLocal8Bit().constData(), &error);
    if (gif && DGifSlurp(gif) != GIF_OK) {
      DGifCloseFile(gif, &error);
      gif = nullptr;
    }
  }
  ~GifFile() {
    int error = 0;
    if (gif) DGifCloseFile(gif, &error);
  }
};

TEST(GifWriter, WritesLoopingFramesWithTheirDelays) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/game.gif";
  GifWriter writer;
  ASSERT_TRUE(writer.Open(path, 32, 20, true));
  const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 128, 255), qRgb(20, 200, 20)};
  const int delays[] = {100, 250, 1000};
  for (int i = 0; i < 3; ++i) {
    QImage frame(i == 2 ? 64 : 32, i == 2 ? 40 : 20, QImage::Format_RGB32);  // the last is scaled
    frame.fill(colours[i]);
    ASSERT_TRUE(writer.AddFrame(frame, delays[i]));
  }
  EXPECT_FALSE(QFile::exists(path));  // written beside the target until complete
  ASSERT_TRUE(writer.Close());

  GifFile file(path);
  ASSERT_NE(file.gif, nullptr);
  EXPECT_EQ(file.gif->SWidth, 32);
  EXPECT_EQ(file.gif->SHeight, 20);
  ASSERT_EQ(file.gif->ImageCount, 3);
  // The loop extension comes before the first frame, so giflib files it with that frame.
  bool loops = false;
  const SavedImage& first = file.gif->SavedImages[0];
  for (int i = 0; i < first.ExtensionBlockCount; ++i) {
    const ExtensionBlock& block = first.ExtensionBlocks[i];
    if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
        std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0) {
      loops = true;
    }
  }
  EXPECT_TRUE(loops);
  for (int i = 0; i < 3; ++i) {
    GraphicsControlBlock control;
    ASSERT_EQ(DGifSavedExtensionToGCB(file.gif, i, &control), GIF_OK);
    EXPECT_EQ(control.DelayTime, delays[i] / 10);
    const SavedImage& image = file.gif->SavedImages[i];
    const GifColorType c = image.ImageDesc.ColorMap->Colors[image.RasterBits[0]];
    ExpectNear(qRgb(c.Red, c.Green, c.Blue), colours[i], 8);
  }
  const QImage decoded = DecodeGif(Span(testing::ReadAll(path)));
  ASSERT_EQ(decoded.size(), QSize(32, 20));
  ExpectNear(decoded.pixel(31, 19), colours[0], 8);

  GifWriter empty;
  ASSERT_TRUE(empty.Open(dir.path() + "/empty.gif", 8, 8, false));
  EXPECT_FALSE(empty.Close());  // no frame: no file
  EXPECT_FALSE(QFile::exists(dir.path() + "/empty.gif"));
  GifWriter nowhere;
  EXPECT_FALSE(nowhere.Open(dir.path() + "/missing/folder/x.gif", 8, 8, false));
}

// Two frames written with giflib directly: a red 4 x 4 frame kept in place, then a 2 x 2
// patch at (1, 1) whose transparent pixel shows the red beneath and which is cleared to the
// background afterwards, then a 1 x 1 green frame at (0, 0).
QByteArray LayeredGif(const QString& path) {
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.toLocal8Bit().constData(), false, &error);
  EXPECT_NE(gif, nullptr);
  GifColorType colours[4] = {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}, {0, 0, 0}};
  ColorMapObject* map = GifMakeMapObject(4, colours);
  EGifSetGifVersion(gif, true);
  EGifPutScreenDesc(gif, 4, 4, 2, 0, map);
  auto frame = [&](int left, int top, int w, int h, std::vector<GifPixelType> pixels, int disposal,
                   int transparent, int delay) {
    GraphicsControlBlock control{disposal, false, delay, transparent};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
    EGifPutImageDesc(gif, left, top, w, h, false, nullptr);
    for (int y = 0; y < h; ++y) EGifPutLine(gif, pixels.data() + y * w, w);
  };
  frame(0, 0, 4, 4, std::vector<GifPixelType>(16, 0), DISPOSE_DO_NOT, NO_TRANSPARENT_COLOR, 5);
  frame(1, 1, 2, 2, {1, 3, 1, 1}, DISPOSE_BACKGROUND, 3, 20);
  frame(0, 0, 1, 1, {2}, DISPOSE_DO_NOT, NO_TRANSPARENT_COLOR, 0);
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return testing::ReadAll(path);
}

TEST(Decoders, GifFramesAreComposedWithTheirDisposal) {
  QTemporaryDir dir;
  const QByteArray bytes = LayeredGif(dir.path() + "/layers.gif");
  const auto frames = DecodeGifFrames(Span(bytes));
  ASSERT_EQ(frames.size(), 3u);
  const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), green = qRgb(0, 255, 0);
  EXPECT_EQ(frames[0].delayMs, 50);
  EXPECT_EQ(frames[1].delayMs, 200);
  EXPECT_EQ(frames[1].image.pixel(1, 1), blue);
  EXPECT_EQ(frames[1].image.pixel(2, 1), red);  // transparent: the frame below shows
  EXPECT_EQ(frames[1].image.pixel(2, 2), blue);
  EXPECT_EQ(frames[1].image.pixel(0, 0), red);
  // The patch was cleared after its frame; the rest of the first frame stays.
  EXPECT_EQ(frames[2].image.pixel(0, 0), green);
  EXPECT_EQ(frames[2].image.pixel(3, 3), red);
  EXPECT_EQ(qAlpha(frames[2].image.pixel(1, 1)), 0);
  EXPECT_EQ(DecodeGifFrames(Span(bytes), 2).size(), 2u);
  // A file cut inside the third frame keeps the first two.
  EXPECT_EQ(DecodeGifFrames(Span(bytes.left(bytes.size() - 4))).size(), 2u);
  EXPECT_EQ(DecodeGif(Span(bytes)).pixel(1, 1), red);
}

}  // namespace
}  // namespace trilane
