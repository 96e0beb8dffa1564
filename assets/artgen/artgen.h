#pragma once
// The build-time generator of the program's pictures, sounds and song and of the add-on
// libraries' contents. Every routine is deterministic: the same catalogue gives the same
// bytes on every run, so rebuilds change nothing that did not change.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "assets/catalogue.h"

namespace trilane::artgen {

// A small deterministic random generator (the same sequence on every machine).
class Rng {
 public:
  explicit Rng(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  double Unit() { return (Next() & 0xffffff) / double(0x1000000); }  // [0, 1)
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

 private:
  uint32_t state_;
};

uint32_t HashName(const std::string& s);

// ---- encoders ----
QByteArray EncodePng(const QImage& image);
QByteArray EncodeJpeg(const QImage& image, int quality = 88);
QByteArray EncodeDib(const QImage& image);  // 24-bit, BITMAPINFOHEADER first
QByteArray EncodeGif(const std::vector<QImage>& frames, int delayCs);

// ---- drawing and synthesis; each returns the finished file's bytes ----
QImage DrawFace(int design, const std::string& code, int w, int h);
QImage DrawSuitSymbol(int design, const std::string& symbol, int size);
QImage DrawBack(int backDesign, const std::string& backName, int w, int h);
QImage DrawColourBack(const std::string& colour, int w, int h);
QImage DrawPlace(const std::string& what, int w, int h);
QImage DrawBackground(int picture, const std::string& colour, int w, int h);
QImage DrawPurpleBackground(int w, int h, uint32_t seed);

// Pictures of the table, menus and windows: everything that is not a card or background.
// Returns the frames (one for still pictures) and sets `delayCs` for animations.
std::vector<QImage> DrawInterface(const assets::Asset& asset, int* delayCs);

QByteArray SynthEffect(const std::string& name);
QByteArray BuildSong(const QString& notesFile, QString* error);
// Speaks a card name with espeak-ng into a wave file's bytes; empty on failure.
QByteArray SpeakCardName(int language, const std::string& code, QString* error);

// Card names in the ten languages, as spoken.
std::string CardPhrase(int language, const std::string& code);

// The contact sheets of everything generated into `outRoot` (one folder per module).
bool WriteContactSheets(const assets::Catalogue& cat, const QString& outRoot,
                        const QString& sheetDir, QString* error);

// Suit colours and shapes shared by cards and interface pictures.
enum class PipSet { kFrench, kGerman, kLatin };
void PaintPip(class QPainter& p, int suit, PipSet set, const QRectF& box, const QColor& colour,
              const QColor& outline = Qt::transparent);

}  // namespace trilane::artgen
