// Card faces, suit symbols, backs and the coloured backs and markers.
//
// Every face design is one row of kFaceStyles: paper, suit colours, pip set, lettering,
// court-card treatment and frame. Faces are drawn directly at their target size (not
// scaled down from a large master) so the corner indices stay crisp in the small size.

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "assets/artgen/artgen.h"

namespace trilane::artgen {
namespace {

enum Court { kClassic, kMonogram, kGeometric, kSilhouette, kPortrait, kCrownedSuit };
enum Frame { kNoFrame, kThinLine, kDoubleLine, kOrnament, kBand };

struct FaceStyle {
  QRgb paper, paper2, ink;
  QRgb suit[4];  // hearts, diamonds, clubs, spades
  PipSet pips;
  const char* font;
  bool italic;
  bool bigIndex;  // large corner indices for easy reading
  Court court;
  QRgb robe[3];
  Frame frame;
  const char* labels;  // UTF-8, four letters: jack, queen, king, ace
  bool texture;        // speckled paper
};

constexpr QRgb kRed = 0xffc8102e, kBlack = 0xff1a1a1a;

// clang-format off
const FaceStyle kFaceStyles[assets::kFaceDesigns] = {
  /* 0 Classical-1 */ {0xffffffff, 0xfff4f4f0, 0xff30304a, {kRed, kRed, kBlack, kBlack}, PipSet::kFrench, "DejaVu Serif", false, false, kClassic, {0xffc0202c, 0xff20409c, 0xffe8b830}, kThinLine, "JQKA", false},
  /* 1 Medieval-1 */  {0xfff6ead0, 0xffe6d2a4, 0xff6a3a18, {0xff9a1c14, 0xff9a1c14, 0xff2c2018, 0xff2c2018}, PipSet::kFrench, "DejaVu Serif", true, false, kClassic, {0xff7a1a2a, 0xff2a5a2a, 0xffc89a30}, kOrnament, "JQKA", true},
  /* 2 Modern */      {0xffffffff, 0xffffffff, 0xff202020, {0xffe8283c, 0xffe8283c, 0xff141418, 0xff141418}, PipSet::kFrench, "DejaVu Sans", false, true, kGeometric, {0xff0f8a8a, 0xfff07820, 0xff202028}, kNoFrame, "JQKA", false},
  /* 3 Ancient Egypt */{0xffeedcaa, 0xffe0c888, 0xff8a6420, {0xffaa3c1e, 0xffaa3c1e, 0xff1e3278, 0xff1e3278}, PipSet::kFrench, "DejaVu Serif", false, false, kPortrait, {0xff1e3c8c, 0xffd8a828, 0xff2a8a7a}, kBand, "JQKA", true},
  /* 4 Baronesse */   {0xfffcf6ec, 0xfff6ead8, 0xff5a2a5a, {0xffb4143c, 0xffb4143c, 0xff3c1450, 0xff3c1450}, PipSet::kFrench, "Liberation Serif", true, false, kPortrait, {0xff6a2a8a, 0xffe07aa0, 0xffd0a840}, kDoubleLine, "JQKA", false},
  /* 5 Celtic */      {0xfff0f4ec, 0xffdfe8d6, 0xff1e5a32, {0xffaa1e28, 0xffaa1e28, 0xff145032, 0xff143228}, PipSet::kFrench, "DejaVu Serif", false, false, kMonogram, {0xff1e6e3c, 0xff8a6a2a, 0xffaa1e28}, kOrnament, "JQKA", false},
  /* 6 Corona */      {0xffffffff, 0xfffaf6ea, 0xffb08a1e, {kRed, kRed, kBlack, kBlack}, PipSet::kFrench, "DejaVu Sans", false, false, kCrownedSuit, {0xffd4a82a, 0xffb01c2c, 0xff28286a}, kThinLine, "JQKA", false},
  /* 7 Crown */       {0xfffffdf5, 0xfff6efe0, 0xff4a1e6a, {0xffb41432, 0xffb41432, 0xff201428, 0xff201428}, PipSet::kFrench, "DejaVu Serif", false, false, kClassic, {0xff5a1e8a, 0xffd8b030, 0xff8a1a2a}, kDoubleLine, "JQKA", false},
  /* 8 English */     {0xffffffff, 0xfff8f8f8, 0xff1a2a6a, {0xffd01020, 0xffd01020, 0xff101010, 0xff101010}, PipSet::kFrench, "Liberation Serif", false, false, kClassic, {0xffd81e1e, 0xff1e46b4, 0xfff0c81e}, kDoubleLine, "JQKA", false},
  /* 9 Frankfurt */   {0xffffffff, 0xfff2f6f2, 0xff1e5a2a, {0xffc01818, 0xffc01818, 0xff182018, 0xff182018}, PipSet::kFrench, "DejaVu Serif", false, false, kClassic, {0xff2a8a3a, 0xffc82828, 0xffe8c040}, kThinLine, "JQKA", false},
  /* 10 Historical */ {0xfffaf4e6, 0xffeee2c8, 0xff5a4028, {0xff8a2418, 0xff8a2418, 0xff282018, 0xff282018}, PipSet::kFrench, "Liberation Serif", true, false, kPortrait, {0xff6a4a2a, 0xffb08a5a, 0xff3a3a5a}, kDoubleLine, "JQKA", true},
  /* 11 Native */     {0xfff0e1c3, 0xffe2caa0, 0xff7a3a14, {0xffb43c14, 0xffc87814, 0xff285a6e, 0xff28282a}, PipSet::kFrench, "DejaVu Sans", false, false, kGeometric, {0xffb43c14, 0xff286e7a, 0xffe0a030}, kBand, "JQKA", true},
  /* 12 Old Roses */  {0xfffcf0f2, 0xfff6e0e6, 0xff8a2a4a, {0xffbe1e46, 0xffbe1e46, 0xff285a32, 0xff28283a}, PipSet::kFrench, "Liberation Serif", true, false, kCrownedSuit, {0xffd84a7a, 0xff3a7a3a, 0xfff0c8d0}, kOrnament, "JQKA", false},
  /* 13 Parrots */    {0xffffffff, 0xffeefaf0, 0xff1e8a3a, {0xffdc1e1e, 0xfff08c00, 0xff14963c, 0xff1450c8}, PipSet::kFrench, "DejaVu Sans", false, false, kSilhouette, {0xff14963c, 0xffdc1e1e, 0xff1450c8}, kBand, "JQKA", false},
  /* 14 Royal */      {0xffffffff, 0xfffcf8ec, 0xffb48c1e, {0xffb0101e, 0xffb0101e, 0xff0a0a14, 0xff0a0a14}, PipSet::kFrench, "DejaVu Serif", false, false, kClassic, {0xff1a3a9a, 0xffd8b028, 0xffb0101e}, kDoubleLine, "JQKA", false},
  /* 15 Shakespeare */{0xffeeeae0, 0xffddd6c4, 0xff3a3028, {0xff8c1420, 0xff8c1420, 0xff1e1e1e, 0xff1e1e1e}, PipSet::kFrench, "Liberation Serif", true, false, kPortrait, {0xff4a3a5a, 0xff8a6a4a, 0xffc0b090}, kThinLine, "JQKA", true},
  /* 16 Big Ben */    {0xfff6f8fc, 0xffe4eaf4, 0xff14285a, {0xffd0001e, 0xffd0001e, 0xff000000, 0xff000000}, PipSet::kFrench, "Liberation Sans", false, true, kGeometric, {0xff14285a, 0xffd0001e, 0xffd8b030}, kBand, "JQKA", false},
  /* 17 Four Reigns */{0xfffbf5e6, 0xfff0e6cc, 0xff4a3a1e, {0xffa0142a, 0xffc05a14, 0xff1e4a2a, 0xff1e1e3a}, PipSet::kFrench, "DejaVu Serif", false, false, kPortrait, {0xff8a1e3a, 0xff1e3a6a, 0xffc09a30}, kDoubleLine, "JQKA", false},
  /* 18 Large Print */{0xffffffff, 0xffffffff, 0xff000000, {0xffd0001a, 0xffd0001a, 0xff000000, 0xff000000}, PipSet::kFrench, "DejaVu Sans", false, true, kMonogram, {0xff000000, 0xffd0001a, 0xff606060}, kNoFrame, "JQKA", false},
  /* 19 Classical-2 */{0xfffcf8f0, 0xfff0e6d0, 0xff3a1e5a, {kRed, kRed, kBlack, kBlack}, PipSet::kFrench, "DejaVu Serif", false, false, kClassic, {0xff2a8a4a, 0xff6a2a8a, 0xffe88a20}, kOrnament, "JQKA", false},
  /* 20 Hearts */     {0xfffff4f6, 0xffffe4ea, 0xffc01e4a, {0xffe01e50, 0xffe01e50, 0xff3a1e2a, 0xff3a1e2a}, PipSet::kFrench, "DejaVu Sans", true, false, kCrownedSuit, {0xffe01e50, 0xfff08aa8, 0xffffd0dc}, kThinLine, "JQKA", false},
  /* 21 Seasons */    {0xfff2f8ff, 0xffe4eef8, 0xff3a6a9a, {0xffd2284a, 0xffe0781e, 0xff2a8a3a, 0xff1e5ab4}, PipSet::kFrench, "DejaVu Sans", false, false, kSilhouette, {0xff2a8a3a, 0xffe0781e, 0xff1e5ab4}, kBand, "JQKA", false},
  /* 22 Rhine */      {0xffffffff, 0xfff4f6fa, 0xff1e3a8a, {0xffc81e1e, 0xffc81e1e, 0xff101828, 0xff101828}, PipSet::kFrench, "DejaVu Serif", false, false, kClassic, {0xff1e4ab4, 0xfff0f0f0, 0xffc81e1e}, kBand, "JQKA", false},
  /* 23 Medieval-2 */ {0xffe8d8b4, 0xffd6c08e, 0xff4a2a10, {0xff8a1e10, 0xff8a1e10, 0xff1e1a10, 0xff1e1a10}, PipSet::kFrench, "Liberation Serif", false, false, kClassic, {0xff3a4a8a, 0xff8a3a1e, 0xffb8962a}, kOrnament, "JQKA", true},
  /* 24 Doods */      {0xffffffff, 0xfffffbe6, 0xff1e1e1e, {0xffff3c3c, 0xffff9614, 0xff3cb43c, 0xff3c64ff}, PipSet::kFrench, "Comic Neue", false, true, kGeometric, {0xffffc81e, 0xffff3c8a, 0xff3cc8ff}, kNoFrame, "JQKA", false},
  /* 25 Playboy */    {0xff26262c, 0xff141418, 0xffd8b040, {0xffff4a6a, 0xffff4a6a, 0xffececec, 0xffececec}, PipSet::kFrench, "DejaVu Sans", true, false, kSilhouette, {0xffd8b040, 0xffff4a6a, 0xff404048}, kThinLine, "JQKA", false},
  /* 26 Epic */       {0xff1c2046, 0xff0e1028, 0xffd8b050, {0xffff5a50, 0xffff5a50, 0xffe8d490, 0xffe8d490}, PipSet::kFrench, "DejaVu Serif", false, false, kGeometric, {0xffd8b050, 0xff8a2a2a, 0xff4a5ab4}, kDoubleLine, "JQKA", false},
  /* 27 USSR */       {0xfffaf6ea, 0xfff0e8d0, 0xffb4141e, {0xffc8141e, 0xffc8141e, 0xff141414, 0xff141414}, PipSet::kFrench, "DejaVu Sans", false, false, kPortrait, {0xffc8141e, 0xff3a3a3a, 0xffe8c040}, kBand, "ВДКТ", false},
  /* 28 Plastic */    {0xffffffff, 0xffe8eef4, 0xff5a6a7a, {0xffe6283c, 0xff1e8ce6, 0xff1ea04a, 0xff202028}, PipSet::kFrench, "DejaVu Sans", false, true, kMonogram, {0xff1e8ce6, 0xffe6283c, 0xff1ea04a}, kNoFrame, "JQKA", false},
  /* 29 Skat German */{0xfffcfaf0, 0xfff2ecd8, 0xff5a3a1e, {0xffd01e1e, 0xffe0a014, 0xff7a4a1e, 0xff2a8a2a}, PipSet::kGerman, "DejaVu Serif", false, false, kClassic, {0xff2a8a2a, 0xffd01e1e, 0xffe0a014}, kThinLine, "UOKA", false},
  /* 30 Skat Tourn. */{0xffffffff, 0xfff8f8f8, 0xff303030, {0xffe01e1e, 0xffe8a000, 0xff141414, 0xff1e8c32}, PipSet::kFrench, "DejaVu Sans", false, true, kClassic, {0xff1e8c32, 0xffe01e1e, 0xffe8a000}, kThinLine, "BDKA", false},
  /* 31 Skat French */{0xffffffff, 0xfff4f4f4, 0xff282850, {kRed, kRed, kBlack, kBlack}, PipSet::kFrench, "DejaVu Sans", false, false, kClassic, {0xff28285a, 0xffc8a028, 0xffb41e1e}, kThinLine, "BDKA", false},
  /* 32 White palekh */{0xffffffff, 0xfffaf8f4, 0xffb48c28, {0xffc01e1e, 0xffc01e1e, 0xff1a1a1a, 0xff1a1a1a}, PipSet::kFrench, "Liberation Serif", true, false, kPortrait, {0xffc01e1e, 0xff2a6a3a, 0xffd8a830}, kOrnament, "ВДКТ", false},
  /* 33 Diana */      {0xfff0f6fc, 0xffdceaf6, 0xff2a5a8a, {0xffc0284a, 0xffc0284a, 0xff1e2a4a, 0xff1e2a4a}, PipSet::kFrench, "Liberation Serif", true, false, kPortrait, {0xff4a8ac0, 0xffe8e8f0, 0xffc0a050}, kDoubleLine, "JQKA", false},
  /* 34 Princely */   {0xfffdf8ea, 0xfff4e8c8, 0xffa07818, {0xffa8141e, 0xffa8141e, 0xff14141e, 0xff14141e}, PipSet::kFrench, "DejaVu Serif", false, false, kClassic, {0xff7a1428, 0xff1e5a3a, 0xffd8b030}, kOrnament, "JQKA", false},
  /* 35 Solitaire */  {0xfff2faf2, 0xffe0eee0, 0xff2a6a3a, {0xffd8101e, 0xffd8101e, 0xff101010, 0xff101010}, PipSet::kFrench, "DejaVu Sans", false, true, kMonogram, {0xff404040, 0xffd8101e, 0xff909090}, kThinLine, "JQKA", false},
  /* 36 Satin */      {0xfff8f0f8, 0xffe8d8ec, 0xff6a2a6a, {0xffc8143c, 0xffc8143c, 0xff24142a, 0xff24142a}, PipSet::kFrench, "DejaVu Serif", false, false, kClassic, {0xff8a2a8a, 0xff2a6a8a, 0xffe0c060}, kThinLine, "ВДКТ", false},
  /* 37 Slavic */     {0xfffaf2e2, 0xfff0e0c0, 0xffb41e1e, {0xffc81e14, 0xffc81e14, 0xff1e1e1e, 0xff1e1e1e}, PipSet::kFrench, "DejaVu Serif", false, false, kPortrait, {0xffc81e14, 0xffe8b41e, 0xff1e6a3a}, kOrnament, "ВДКТ", false},
  /* 38 Maya */       {0xffe2e6d2, 0xffc8d0b4, 0xff2a6a5a, {0xffa83c1e, 0xffc8781e, 0xff147a64, 0xff28403a}, PipSet::kFrench, "DejaVu Sans", false, false, kGeometric, {0xff147a64, 0xffa83c1e, 0xffd8b040}, kBand, "JQKA", true},
  /* 39 Bast */       {0xfff6ecd2, 0xffead8b0, 0xff8a4a14, {0xffd8281e, 0xffd8281e, 0xff1e3a8a, 0xff1e3a8a}, PipSet::kFrench, "DejaVu Serif", true, false, kGeometric, {0xffd8281e, 0xff1e8a3a, 0xfff0c81e}, kBand, "ВДКТ", true},
  /* 40 French */     {0xffffffff, 0xfff6f4f8, 0xff1e2a6a, {0xffd21e28, 0xffd21e28, 0xff14141e, 0xff14141e}, PipSet::kFrench, "DejaVu Serif", true, false, kClassic, {0xff1e3ca0, 0xffd21e28, 0xff2a8a4a}, kThinLine, "VDRA", false},
  /* 41 Spanish 1 */  {0xfffff8ec, 0xfff6ead0, 0xffb42814, {0xffc8281e, 0xffd89614, 0xff2a7a2a, 0xff1e4ab4}, PipSet::kLatin, "DejaVu Serif", false, false, kClassic, {0xffc8281e, 0xffd89614, 0xff1e4ab4}, kDoubleLine, "SCR1", false},
  /* 42 Spanish 2 */  {0xffffffff, 0xfff2f2f2, 0xff1e4ab4, {0xffb41e3a, 0xffc89614, 0xff5a3a14, 0xff28508c}, PipSet::kLatin, "DejaVu Sans", false, true, kGeometric, {0xff28508c, 0xffc89614, 0xffb41e3a}, kThinLine, "SCR1", false},
  /* 43 Spanish 3 */  {0xfff8f2e4, 0xffecdcbc, 0xff6a3a1e, {0xffa01e1e, 0xffb48214, 0xff4a6a1e, 0xff3a3a6a}, PipSet::kLatin, "Liberation Serif", true, false, kPortrait, {0xff6a3a1e, 0xffb48214, 0xff3a3a6a}, kOrnament, "SCR1", true},
  /* 44 Spanish 4 */  {0xffffffff, 0xfffff4e0, 0xffe07814, {0xffe6321e, 0xfff0aa00, 0xff1ea05a, 0xff1e78d2}, PipSet::kLatin, "Comic Neue", false, true, kSilhouette, {0xffe07814, 0xff1e78d2, 0xff1ea05a}, kBand, "SCR1", false},
  /* 45 Chinese */    {0xfffff6e8, 0xfff8e6c8, 0xffb41414, {0xffd21414, 0xffd21414, 0xff141414, 0xff141414}, PipSet::kFrench, "DejaVu Serif", false, false, kSilhouette, {0xffd21414, 0xffe8b41e, 0xff141414}, kBand, "JQKA", false},
  /* 46 Italian */    {0xfffcf8f0, 0xfff0e8d8, 0xff1e5a3a, {0xffc81e2a, 0xffd8a01e, 0xff3a6a1e, 0xff2a4a8a}, PipSet::kLatin, "DejaVu Serif", true, false, kClassic, {0xff1e5a3a, 0xffc81e2a, 0xffd8a01e}, kDoubleLine, "FCR1", false},
  /* 47 Czech */      {0xfffffbf0, 0xfff2ead4, 0xff3a5a1e, {0xffd2141e, 0xffe0a00a, 0xff8a5014, 0xff3a8a1e}, PipSet::kGerman, "DejaVu Sans", false, false, kPortrait, {0xff3a8a1e, 0xffd2141e, 0xffe0a00a}, kThinLine, "SVKE", false},
};
// clang-format on

QColor C(QRgb v) {
  return QColor::fromRgba(v);
}

QPainterPath UnitPip(int suit, PipSet set) {
  QPainterPath p;
  if (set == PipSet::kFrench || (set == PipSet::kGerman && suit == 0)) {
    switch (suit) {
      case 0:  // heart
        p.moveTo(0.5, 0.26);
        p.cubicTo(0.46, 0.04, 0.04, 0.0, 0.03, 0.34);
        p.cubicTo(0.02, 0.62, 0.36, 0.76, 0.5, 0.98);
        p.cubicTo(0.64, 0.76, 0.98, 0.62, 0.97, 0.34);
        p.cubicTo(0.96, 0.0, 0.54, 0.04, 0.5, 0.26);
        break;
      case 1:  // diamond
        p.moveTo(0.5, 0.0);
        p.quadTo(0.62, 0.28, 0.88, 0.5);
        p.quadTo(0.62, 0.72, 0.5, 1.0);
        p.quadTo(0.38, 0.72, 0.12, 0.5);
        p.quadTo(0.38, 0.28, 0.5, 0.0);
        break;
      case 2:  // club
        p.addEllipse(QPointF(0.5, 0.27), 0.22, 0.22);
        p.addEllipse(QPointF(0.25, 0.58), 0.22, 0.22);
        p.addEllipse(QPointF(0.75, 0.58), 0.22, 0.22);
        p.addEllipse(QPointF(0.5, 0.5), 0.12, 0.12);
        p.moveTo(0.46, 0.55);
        p.quadTo(0.44, 0.88, 0.3, 0.99);
        p.lineTo(0.7, 0.99);
        p.quadTo(0.56, 0.88, 0.54, 0.55);
        p.closeSubpath();
        break;
      default:  // spade
        p.moveTo(0.5, 0.0);
        p.cubicTo(0.36, 0.24, 0.02, 0.38, 0.03, 0.62);
        p.cubicTo(0.04, 0.86, 0.36, 0.88, 0.47, 0.7);
        p.quadTo(0.44, 0.9, 0.3, 0.99);
        p.lineTo(0.7, 0.99);
        p.quadTo(0.56, 0.9, 0.53, 0.7);
        p.cubicTo(0.64, 0.88, 0.96, 0.86, 0.97, 0.62);
        p.cubicTo(0.98, 0.38, 0.64, 0.24, 0.5, 0.0);
        break;
    }
    p.setFillRule(Qt::WindingFill);
    return p;
  }
  if (set == PipSet::kGerman) {
    switch (suit) {
      case 1:  // bell
        p.addEllipse(QPointF(0.5, 0.13), 0.08, 0.08);
        p.moveTo(0.5, 0.16);
        p.cubicTo(0.2, 0.16, 0.2, 0.5, 0.16, 0.72);
        p.quadTo(0.1, 0.8, 0.08, 0.84);
        p.lineTo(0.92, 0.84);
        p.quadTo(0.9, 0.8, 0.84, 0.72);
        p.cubicTo(0.8, 0.5, 0.8, 0.16, 0.5, 0.16);
        p.addEllipse(QPointF(0.5, 0.9), 0.09, 0.09);
        break;
      case 2:  // acorn
        p.addEllipse(QRectF(0.24, 0.3, 0.52, 0.66));
        p.moveTo(0.14, 0.44);
        p.cubicTo(0.14, 0.18, 0.86, 0.18, 0.86, 0.44);
        p.closeSubpath();
        p.addRect(QRectF(0.46, 0.02, 0.08, 0.22));
        break;
      default:  // leaf
        p.moveTo(0.5, 0.0);
        p.cubicTo(0.0, 0.3, 0.04, 0.7, 0.47, 0.8);
        p.lineTo(0.44, 1.0);
        p.lineTo(0.56, 1.0);
        p.lineTo(0.53, 0.8);
        p.cubicTo(0.96, 0.7, 1.0, 0.3, 0.5, 0.0);
        break;
    }
    p.setFillRule(Qt::WindingFill);
    return p;
  }
  // Latin suits: cups, coins, batons, swords.
  switch (suit) {
    case 0:  // cup
      p.moveTo(0.14, 0.06);
      p.lineTo(0.86, 0.06);
      p.cubicTo(0.86, 0.4, 0.66, 0.52, 0.56, 0.56);
      p.lineTo(0.56, 0.8);
      p.quadTo(0.8, 0.86, 0.82, 0.98);
      p.lineTo(0.18, 0.98);
      p.quadTo(0.2, 0.86, 0.44, 0.8);
      p.lineTo(0.44, 0.56);
      p.cubicTo(0.34, 0.52, 0.14, 0.4, 0.14, 0.06);
      break;
    case 1: {  // coin
      p.addEllipse(QRectF(0.04, 0.04, 0.92, 0.92));
      QPainterPath hole;
      hole.addEllipse(QRectF(0.3, 0.3, 0.4, 0.4));
      p = p.subtracted(hole);
      p.addEllipse(QRectF(0.4, 0.4, 0.2, 0.2));
      break;
    }
    case 2:  // baton: a knotted club, wider at the head
      p.moveTo(0.28, 0.04);
      p.quadTo(0.5, -0.04, 0.72, 0.04);
      p.lineTo(0.6, 0.96);
      p.quadTo(0.5, 1.02, 0.4, 0.96);
      p.closeSubpath();
      for (double y : {0.2, 0.44, 0.68}) {
        p.addEllipse(QPointF(0.32, y), 0.1, 0.07);
        p.addEllipse(QPointF(0.68, y + 0.1), 0.1, 0.07);
      }
      break;
    default:  // sword: a broad blade, a cross guard and a round pommel
      p.moveTo(0.5, 0.0);
      p.lineTo(0.64, 0.14);
      p.lineTo(0.61, 0.66);
      p.lineTo(0.86, 0.66);
      p.lineTo(0.86, 0.75);
      p.lineTo(0.57, 0.75);
      p.lineTo(0.57, 0.9);
      p.lineTo(0.43, 0.9);
      p.lineTo(0.43, 0.75);
      p.lineTo(0.14, 0.75);
      p.lineTo(0.14, 0.66);
      p.lineTo(0.39, 0.66);
      p.lineTo(0.36, 0.14);
      p.closeSubpath();
      p.addEllipse(QPointF(0.5, 0.93), 0.08, 0.07);
      break;
  }
  p.setFillRule(Qt::WindingFill);
  return p;
}

int SuitOf(const std::string& code) {
  for (int s = 0; s < 4; ++s) {
    if (code.compare(0, 2, assets::kSuitPrefixes[s]) == 0) return s;
  }
  return 0;
}

int RankOf(const std::string& code) {  // 2..14
  const std::string r = code.substr(2);
  if (r == "2J") return 11;
  if (r == "3Q") return 12;
  if (r == "4K") return 13;
  if (r == "5A") return 14;
  return std::stoi(r);
}

QString RankLabel(const FaceStyle& st, int rank) {
  if (rank <= 10) return QString::number(rank);
  const QString labels = QString::fromUtf8(st.labels);
  return labels.mid(rank - 11, 1);
}

QFont StyleFont(const FaceStyle& st, double px, bool bold = true) {
  QFont f(st.font);
  f.setPixelSize(std::max(6, static_cast<int>(std::lround(px))));
  f.setBold(bold);
  f.setItalic(st.italic);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

void PaintPaper(QPainter& p, const FaceStyle& st, const QRectF& r, double radius, uint32_t seed) {
  QLinearGradient g(r.topLeft(), r.bottomRight());
  g.setColorAt(0, C(st.paper));
  g.setColorAt(1, C(st.paper2));
  QPainterPath shape;
  shape.addRoundedRect(r, radius, radius);
  p.fillPath(shape, g);
  if (st.texture) {
    Rng rng(seed);
    p.save();
    p.setClipPath(shape);
    const QColor ink = C(st.ink);
    const int dots = static_cast<int>(r.width() * r.height() / 30);
    for (int i = 0; i < dots; ++i) {
      QColor c = ink;
      c.setAlpha(10 + rng.Below(18));
      p.fillRect(QRectF(r.x() + rng.Unit() * r.width(), r.y() + rng.Unit() * r.height(), 1, 1), c);
    }
    p.restore();
  }
}

void PaintFrame(QPainter& p, const FaceStyle& st, const QRectF& r, double s) {
  const QColor ink = C(st.ink);
  p.setBrush(Qt::NoBrush);
  switch (st.frame) {
    case kNoFrame:
      break;
    case kThinLine:
      p.setPen(QPen(ink, std::max(0.6, 0.8 * s)));
      p.drawRoundedRect(r.adjusted(4 * s, 4 * s, -4 * s, -4 * s), 4 * s, 4 * s);
      break;
    case kDoubleLine:
      p.setPen(QPen(ink, std::max(0.8, 1.4 * s)));
      p.drawRoundedRect(r.adjusted(3.5 * s, 3.5 * s, -3.5 * s, -3.5 * s), 5 * s, 5 * s);
      p.setPen(QPen(ink, std::max(0.5, 0.6 * s)));
      p.drawRoundedRect(r.adjusted(6.5 * s, 6.5 * s, -6.5 * s, -6.5 * s), 3 * s, 3 * s);
      break;
    case kOrnament: {
      p.setPen(QPen(ink, std::max(0.6, 0.9 * s)));
      const QRectF in = r.adjusted(4 * s, 4 * s, -4 * s, -4 * s);
      p.drawRect(in);
      // Curled corners.
      const double c = 10 * s;
      for (int i = 0; i < 4; ++i) {
        const QPointF corner = i == 0   ? in.topLeft()
                               : i == 1 ? in.topRight()
                               : i == 2 ? in.bottomRight()
                                        : in.bottomLeft();
        const double sx = (i == 0 || i == 3) ? 1 : -1, sy = i < 2 ? 1 : -1;
        QPainterPath curl;
        curl.moveTo(corner + QPointF(sx * c, 0));
        curl.cubicTo(corner + QPointF(sx * c, sy * c * 0.6), corner + QPointF(sx * c * 0.4, sy * c),
                     corner + QPointF(0, sy * c));
        p.drawPath(curl);
        p.drawEllipse(corner + QPointF(sx * c * 0.45, sy * c * 0.45), 1.3 * s, 1.3 * s);
      }
      break;
    }
    case kBand: {
      QColor band = C(st.robe[0]);
      band.setAlpha(200);
      const QRectF in = r.adjusted(2.5 * s, 2.5 * s, -2.5 * s, -2.5 * s);
      p.setPen(QPen(band, std::max(1.0, 2.6 * s)));
      p.drawRoundedRect(in, 5 * s, 5 * s);
      // A row of small triangles along the band.
      p.setPen(Qt::NoPen);
      QColor tri = C(st.robe[2]);
      p.setBrush(tri);
      const double step = 7 * s;
      for (double x = in.left() + step; x < in.right() - step * 0.5; x += step) {
        for (double y : {in.top(), in.bottom()}) {
          QPolygonF t;
          t << QPointF(x - 1.2 * s, y) << QPointF(x + 1.2 * s, y)
            << QPointF(x, y + (y == in.top() ? 1.6 : -1.6) * s);
          p.drawPolygon(t);
        }
      }
      break;
    }
  }
}

// Corner index: rank over a small pip, at the top left, and rotated at the bottom right.
void PaintIndices(QPainter& p, const FaceStyle& st, int rank, int suit, double w, double h,
                  bool small) {
  const double s = h / 198.0;
  const QColor colour = C(st.suit[suit]);
  const QString label = RankLabel(st, rank);
  double px = small ? (st.bigIndex ? 17 : 15) : (st.bigIndex ? 34 : 27) * s;
  const bool ten = label.size() > 1;
  QFont font = StyleFont(st, px);
  if (ten) font.setStretch(small ? 72 : 80);
  if (ten && small) font.setLetterSpacing(QFont::AbsoluteSpacing, -1);
  const double colW = small ? 14 : (st.bigIndex ? 30 : 24) * s;
  const double x0 = small ? 1.5 : 5 * s;
  const double y0 = small ? 1 : 5 * s;
  const double pipSize = small ? 9 : (st.bigIndex ? 20 : 16) * s;
  for (int corner = 0; corner < 2; ++corner) {
    p.save();
    if (corner == 1) {
      p.translate(w, h);
      p.rotate(180);
    }
    p.setFont(font);
    p.setPen(colour);
    const QFontMetricsF fm(font);
    const double textH = fm.capHeight();
    const QRectF textBox(x0, y0, colW, fm.height());
    p.drawText(textBox, Qt::AlignHCenter | Qt::AlignTop, label);
    const double pipTop = y0 + fm.ascent() - textH + textH + (small ? 2 : 4 * s);
    PaintPip(p, suit, st.pips, QRectF(x0 + (colW - pipSize) / 2, pipTop, pipSize, pipSize), colour);
    p.restore();
  }
}

// Standard pip positions in a 3 x 7 grid: (column 0..2, row 0..6).
std::vector<QPointF> PipPositions(int rank) {
  auto col = [](int c, std::initializer_list<double> rows, std::vector<QPointF>& v) {
    for (double r : rows) v.push_back(QPointF(c, r));
  };
  std::vector<QPointF> v;
  switch (rank) {
    case 2:
      col(1, {0, 6}, v);
      break;
    case 3:
      col(1, {0, 3, 6}, v);
      break;
    case 4:
      col(0, {0, 6}, v);
      col(2, {0, 6}, v);
      break;
    case 5:
      col(0, {0, 6}, v);
      col(2, {0, 6}, v);
      col(1, {3}, v);
      break;
    case 6:
      col(0, {0, 3, 6}, v);
      col(2, {0, 3, 6}, v);
      break;
    case 7:
      col(0, {0, 3, 6}, v);
      col(2, {0, 3, 6}, v);
      col(1, {1.5}, v);
      break;
    case 8:
      col(0, {0, 3, 6}, v);
      col(2, {0, 3, 6}, v);
      col(1, {1.5, 4.5}, v);
      break;
    case 9:
      col(0, {0, 2, 4, 6}, v);
      col(2, {0, 2, 4, 6}, v);
      col(1, {3}, v);
      break;
    default:
      col(0, {0, 2, 4, 6}, v);
      col(2, {0, 2, 4, 6}, v);
      col(1, {1, 5}, v);
      break;
  }
  return v;
}

void PaintNumberPips(QPainter& p, const FaceStyle& st, int rank, int suit, const QRectF& area) {
  const QColor colour = C(st.suit[suit]);
  double pip = std::min(area.width() / 3.0, area.height() / 4.6);
  if (st.bigIndex) pip *= 1.08;
  for (const QPointF& g : PipPositions(rank)) {
    const double cx = area.left() + pip / 2 + g.x() * (area.width() - pip) / 2;
    const double cy = area.top() + pip / 2 + g.y() * (area.height() - pip) / 6;
    p.save();
    p.translate(cx, cy);
    if (g.y() > 3.01) p.rotate(180);  // the lower half stands on its head
    PaintPip(p, suit, st.pips, QRectF(-pip / 2, -pip / 2, pip, pip), colour);
    p.restore();
  }
}

void PaintAce(QPainter& p, const FaceStyle& st, int suit, const QRectF& area, double s) {
  const QColor colour = C(st.suit[suit]);
  const double size = std::min(area.width(), area.height()) * (suit == 3 ? 0.78 : 0.62);
  const QRectF box(area.center().x() - size / 2, area.center().y() - size / 2, size, size);
  if (suit == 3 || st.court == kCrownedSuit) {
    // The ace of spades carries a decorated frame; so do all aces of the crowned designs.
    QColor ring = C(st.robe[2]);
    p.setPen(QPen(ring, 2.2 * s));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(box.center(), size * 0.62, size * 0.62);
    p.setPen(QPen(C(st.ink), 0.8 * s));
    p.drawEllipse(box.center(), size * 0.68, size * 0.68);
  }
  PaintPip(p, suit, st.pips, box, colour, suit == 3 ? C(st.robe[2]) : Qt::transparent);
}

// A headpiece for the court figures: cap for the jack, tiara for the queen, crown for the king.
void PaintHeadpiece(QPainter& p, int rank, const QPointF& headTop, double r, const QColor& gold,
                    const QColor& accent) {
  QPainterPath hp;
  if (rank == 13) {
    hp.moveTo(headTop + QPointF(-r, 0));
    hp.lineTo(headTop + QPointF(-r, -r * 0.9));
    hp.lineTo(headTop + QPointF(-r * 0.5, -r * 0.45));
    hp.lineTo(headTop + QPointF(0, -r * 1.1));
    hp.lineTo(headTop + QPointF(r * 0.5, -r * 0.45));
    hp.lineTo(headTop + QPointF(r, -r * 0.9));
    hp.lineTo(headTop + QPointF(r, 0));
    hp.closeSubpath();
  } else if (rank == 12) {
    hp.moveTo(headTop + QPointF(-r * 0.85, 0));
    hp.quadTo(headTop + QPointF(0, -r * 1.1), headTop + QPointF(r * 0.85, 0));
    hp.closeSubpath();
  } else {
    hp.moveTo(headTop + QPointF(-r * 1.05, r * 0.1));
    hp.quadTo(headTop + QPointF(-r * 0.2, -r * 0.9), headTop + QPointF(r * 0.9, -r * 0.2));
    hp.lineTo(headTop + QPointF(r * 1.05, r * 0.1));
    hp.closeSubpath();
  }
  p.setPen(QPen(gold.darker(160), std::max(0.5, r * 0.08)));
  p.setBrush(rank == 11 ? accent : gold);
  p.drawPath(hp);
  p.setPen(Qt::NoPen);
  p.setBrush(rank == 11 ? gold : accent);
  p.drawEllipse(headTop + QPointF(0, -r * (rank == 13 ? 0.4 : 0.35)), r * 0.16, r * 0.16);
  if (rank == 11) {  // a feather
    p.setBrush(gold);
    QPainterPath f;
    f.moveTo(headTop + QPointF(r * 0.6, -r * 0.3));
    f.quadTo(headTop + QPointF(r * 1.6, -r * 1.4), headTop + QPointF(r * 1.2, -r * 1.5));
    f.quadTo(headTop + QPointF(r * 1.1, -r * 0.8), headTop + QPointF(r * 0.6, -r * 0.3));
    p.drawPath(f);
  }
}

// Half of a double-headed figure, drawn in the box's upper half; the caller mirrors it.
void PaintFigureHalf(QPainter& p, const FaceStyle& st, int rank, int suit, const QRectF& box,
                     double s) {
  const QColor robeA = C(st.robe[(rank + suit) % 3]);
  const QColor robeB = C(st.robe[(rank + suit + 1) % 3]);
  const QColor gold = C(st.robe[2]).lightness() > 120 ? C(st.robe[2]) : QColor(0xd8, 0xb0, 0x30);
  const QColor skin(0xf6, 0xd8, 0xb8);
  const QColor ink = C(st.ink);
  const QPen line(ink, std::max(0.6, 0.9 * s));
  const double w = box.width(), cx = box.center().x();
  const double half = box.height() / 2, waist = box.top() + half;
  const double headR = w * 0.15;
  const QPointF head(cx + (suit % 2 ? -1 : 1) * w * 0.03, box.top() + half * 0.36);
  const double neck = head.y() + headR * 0.95;
  // A cape behind the shoulders, reaching the panel's sides at the waist.
  QPainterPath cape;
  cape.moveTo(cx - headR * 1.2, neck);
  cape.cubicTo(box.left() + w * 0.1, neck + headR * 0.2, box.left() + w * 0.02, waist - half * 0.3,
               box.left() + w * 0.02, waist);
  cape.lineTo(box.right() - w * 0.02, waist);
  cape.cubicTo(box.right() - w * 0.02, waist - half * 0.3, box.right() - w * 0.1,
               neck + headR * 0.2, cx + headR * 1.2, neck);
  cape.closeSubpath();
  p.setPen(line);
  p.setBrush(robeB.darker(115));
  p.drawPath(cape);
  // The robe, narrower, with a gold hem down the front.
  QPainterPath robe;
  robe.moveTo(cx - headR * 1.1, neck);
  robe.cubicTo(cx - headR * 2.0, neck + headR * 0.4, box.left() + w * 0.2, waist - half * 0.2,
               box.left() + w * 0.22, waist);
  robe.lineTo(box.right() - w * 0.22, waist);
  robe.cubicTo(box.right() - w * 0.2, waist - half * 0.2, cx + headR * 2.0, neck + headR * 0.4,
               cx + headR * 1.1, neck);
  robe.closeSubpath();
  p.setBrush(robeA);
  p.drawPath(robe);
  p.setPen(QPen(gold, std::max(1.0, 2.4 * s)));
  p.drawLine(QPointF(cx, neck + headR * 0.3), QPointF(cx, waist));
  p.setPen(QPen(gold.darker(130), std::max(0.6, 1.0 * s)));
  for (int i = 1; i <= 4; ++i) {  // embroidery rows across the robe
    const double y = neck + (waist - neck) * i / 5.0;
    const double span = headR * (1.1 + 0.35 * i);
    p.drawLine(QPointF(cx - span, y), QPointF(cx - headR * 0.25, y));
    p.drawLine(QPointF(cx + headR * 0.25, y), QPointF(cx + span, y));
  }
  // The arm that holds the emblem, and the hand.
  const double hx = box.left() + w * 0.24;
  const QPointF hand(hx, waist - half * 0.28);
  QPainterPath sleeve;
  sleeve.moveTo(cx - headR * 1.3, neck + headR * 0.5);
  sleeve.quadTo(hx - headR * 0.2, neck + headR * 0.8, hand.x() - headR * 0.35, hand.y());
  sleeve.lineTo(hand.x() + headR * 0.45, hand.y() + headR * 0.15);
  sleeve.quadTo(cx - headR * 0.6, neck + headR * 1.6, cx - headR * 0.6, neck + headR * 0.7);
  sleeve.closeSubpath();
  p.setPen(line);
  p.setBrush(robeB);
  p.drawPath(sleeve);
  // The emblem: a sceptre for kings, a flower for queens, a halberd for jacks.
  p.setPen(QPen(ink, std::max(0.8, 1.4 * s)));
  const double tip = box.top() + half * 0.16;
  p.drawLine(QPointF(hx, waist - half * 0.08), QPointF(hx, tip));
  p.setPen(Qt::NoPen);
  if (rank == 12) {
    p.setBrush(robeA.lighter(130));
    for (int k = 0; k < 5; ++k) {
      const double a = k * 2 * M_PI / 5;
      p.drawEllipse(QPointF(hx + std::cos(a) * headR * 0.35, tip + std::sin(a) * headR * 0.35),
                    headR * 0.25, headR * 0.25);
    }
    p.setBrush(gold);
    p.drawEllipse(QPointF(hx, tip), headR * 0.18, headR * 0.18);
  } else if (rank == 13) {
    p.setBrush(gold);
    p.drawEllipse(QPointF(hx, tip), headR * 0.32, headR * 0.32);
    p.drawRect(QRectF(hx - headR * 0.08, tip - headR * 0.6, headR * 0.16, headR * 0.4));
  } else {
    QPolygonF blade;
    blade << QPointF(hx, tip - headR * 0.5) << QPointF(hx + headR * 0.55, tip + headR * 0.1)
          << QPointF(hx, tip + headR * 0.4) << QPointF(hx - headR * 0.3, tip);
    p.setBrush(QColor(0xc8, 0xcc, 0xd4));
    p.drawPolygon(blade);
  }
  p.setPen(line);
  p.setBrush(skin);
  p.drawEllipse(hand, headR * 0.26, headR * 0.26);
  // A white ruff at the neck.
  p.setBrush(QColor(0xfa, 0xfa, 0xf4));
  p.drawEllipse(QPointF(head.x(), neck), headR * 1.05, headR * 0.32);
  // Hair, face and features.
  p.setBrush(rank == 12 ? QColor(0xe0, 0xa8, 0x40) : QColor(0x6a, 0x40, 0x20));
  if (rank == 12) {  // long hair falls to the shoulders
    p.drawRoundedRect(
        QRectF(head.x() - headR * 1.1, head.y() - headR * 0.8, headR * 2.2, headR * 2.0),
        headR * 0.8, headR * 0.8);
  } else {
    p.drawEllipse(head + QPointF(0, headR * 0.05), headR * 1.05, headR * 1.1);
  }
  p.setBrush(skin);
  p.drawEllipse(head, headR * 0.82, headR * 0.98);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawEllipse(head + QPointF(-headR * 0.32, -headR * 0.1), headR * 0.1, headR * 0.12);
  p.drawEllipse(head + QPointF(headR * 0.32, -headR * 0.1), headR * 0.1, headR * 0.12);
  p.setBrush(QColor(0xf0, 0x9a, 0x90, 120));
  p.drawEllipse(head + QPointF(-headR * 0.45, headR * 0.28), headR * 0.16, headR * 0.1);
  p.drawEllipse(head + QPointF(headR * 0.45, headR * 0.28), headR * 0.16, headR * 0.1);
  p.setPen(QPen(QColor(0xb0, 0x30, 0x30), std::max(0.5, 0.8 * s)));
  p.drawArc(QRectF(head.x() - headR * 0.3, head.y() + headR * 0.15, headR * 0.6, headR * 0.4),
            200 * 16, 140 * 16);
  if (rank == 13) {  // a beard for kings
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7a, 0x5a, 0x3a));
    QPainterPath beard;
    beard.moveTo(head + QPointF(-headR * 0.7, headR * 0.3));
    beard.quadTo(head + QPointF(0, headR * 1.9), head + QPointF(headR * 0.7, headR * 0.3));
    beard.quadTo(head + QPointF(0, headR * 1.0), head + QPointF(-headR * 0.7, headR * 0.3));
    p.drawPath(beard);
  }
  PaintHeadpiece(p, rank, head - QPointF(0, headR * 0.8), headR, gold, robeB);
  // The suit on the robe.
  PaintPip(p, suit, st.pips,
           QRectF(box.right() - w * 0.36, waist - half * 0.38, w * 0.16, w * 0.16),
           C(st.suit[suit]), QColor(0xfa, 0xfa, 0xf4));
}

void PaintFlower(QPainter& p, int which, const QPointF& c, double r);
void PaintAnimal(QPainter& p, int which, const QPointF& c, double u, const QColor& fill);

// Designs whose court cards carry their namesake: roses on "Old Garden Roses", a parrot on
// "Parrots", the four seasons on "Seasons" (one to a suit), a striped headcloth on "Ancient
// Egypt", the characters for king, queen and guard on "Chinese".
constexpr int kEgyptDesign = 3, kRosesDesign = 12, kParrotsDesign = 13, kSeasonsDesign = 21,
              kChineseDesign = 45;

void PaintCourt(QPainter& p, const FaceStyle& st, int design, int rank, int suit,
                const QRectF& area, double s) {
  const QColor ink = C(st.ink);
  const QColor suitColour = C(st.suit[suit]);
  switch (st.court) {
    case kClassic: {
      p.save();
      QPainterPath clip;
      clip.addRect(area);
      p.setClipPath(clip);
      QColor bg = C(st.paper);
      p.fillRect(area, bg);
      PaintFigureHalf(p, st, rank, suit, area, s);
      p.translate(area.center());
      p.rotate(180);
      p.translate(-area.center());
      PaintFigureHalf(p, st, rank, suit, area, s);
      p.restore();
      p.setPen(QPen(ink, std::max(0.6, 0.9 * s)));
      p.setBrush(Qt::NoBrush);
      p.drawRect(area);
      p.drawLine(area.bottomLeft() + QPointF(0, -area.height() * 0.45),
                 area.topRight() + QPointF(0, area.height() * 0.45));
      break;
    }
    case kMonogram: {
      QColor wash = suitColour;
      wash.setAlpha(28);
      p.setPen(QPen(suitColour, std::max(0.8, 1.2 * s)));
      p.setBrush(wash);
      p.drawRoundedRect(area, 6 * s, 6 * s);
      QFont f = StyleFont(st, area.height() * 0.55);
      p.setFont(f);
      p.setPen(suitColour);
      p.drawText(area, Qt::AlignCenter, RankLabel(st, rank));
      const double pip = area.width() * 0.2;
      for (int i = 0; i < 4; ++i) {
        const QPointF c(i % 2 ? area.right() - pip * 0.8 : area.left() + pip * 0.8,
                        i < 2 ? area.top() + pip * 0.8 : area.bottom() - pip * 0.8);
        p.save();
        p.translate(c);
        if (i >= 2) p.rotate(180);
        PaintPip(p, suit, st.pips, QRectF(-pip / 2, -pip / 2, pip, pip), suitColour);
        p.restore();
      }
      PaintHeadpiece(p, rank, QPointF(area.center().x(), area.top() + area.height() * 0.2),
                     area.width() * 0.14, C(st.robe[2]), C(st.robe[0]));
      break;
    }
    case kGeometric: {
      // A cubist figure: striped robe, a bold collar in the suit colour, a square head and a
      // zigzag crown whose points tell the rank, on a panel tinted by the suit.
      const QColor panel = QColor::fromRgba(st.robe[(suit + 1) % 3]).lighter(175);
      p.setPen(QPen(ink, std::max(0.5, 0.7 * s)));
      p.setBrush(panel);
      p.drawRect(area);
      const double cx = area.center().x();
      const double bw = area.width() * 0.84, top = area.top() + area.height() * 0.46;
      const int stripes = 4 + (rank - 11);
      for (int i = 0; i < stripes; ++i) {
        const double x0 = cx - bw / 2 + bw * i / stripes, x1 = cx - bw / 2 + bw * (i + 1) / stripes;
        QPolygonF band;
        const double inset0 = (x0 - cx) * 0.35, inset1 = (x1 - cx) * 0.35;
        band << QPointF(x0 - inset0, top) << QPointF(x1 - inset1, top)
             << QPointF(x1, area.bottom() - 0.5) << QPointF(x0, area.bottom() - 0.5);
        p.setBrush(C(st.robe[(i + rank) % 3]));
        p.drawPolygon(band);
      }
      QPolygonF collar;
      collar << QPointF(cx - bw * 0.3, top) << QPointF(cx + bw * 0.3, top)
             << QPointF(cx, top + area.height() * 0.22);
      p.setBrush(suitColour);
      p.drawPolygon(collar);
      p.setPen(QPen(C(st.robe[2]).lighter(130), std::max(1.0, 2.2 * s)));
      p.drawLine(QPointF(cx - bw * 0.45, area.bottom() - area.height() * 0.05),
                 QPointF(cx + bw * 0.3, top + area.height() * 0.04));
      p.setPen(QPen(ink, std::max(0.5, 0.7 * s)));
      const double hs = area.width() * 0.34;
      const QRectF head(cx - hs / 2, top - hs * 1.05, hs, hs);
      p.setBrush(QColor(0xf0, 0xd2, 0xaa));
      p.drawRect(head);
      p.setBrush(ink);
      p.drawRect(QRectF(head.left() + hs * 0.2, head.top() + hs * 0.36, hs * 0.16, hs * 0.12));
      p.drawRect(QRectF(head.right() - hs * 0.36, head.top() + hs * 0.36, hs * 0.16, hs * 0.12));
      p.drawLine(QPointF(cx - hs * 0.15, head.top() + hs * 0.75),
                 QPointF(cx + hs * 0.15, head.top() + hs * 0.75));
      p.setBrush(C(st.robe[2]));
      QPolygonF crown;
      const int points = rank == 13 ? 5 : rank == 12 ? 3 : 2;
      crown << head.topLeft();
      for (int i = 0; i < points; ++i) {
        const double x0 = head.left() + hs * i / points;
        crown << QPointF(x0 + hs / points / 2, head.top() - hs * (rank == 11 ? 0.3 : 0.55))
              << QPointF(x0 + hs / points, head.top());
      }
      p.drawPolygon(crown);
      PaintPip(p, suit, st.pips,
               QRectF(area.left() + area.width() * 0.06, area.top() + area.width() * 0.06,
                      area.width() * 0.22, area.width() * 0.22),
               suitColour);
      break;
    }
    case kSilhouette: {
      const QColor disc = C(st.robe[(rank + suit) % 3]);
      QRadialGradient g(area.center(), area.width() * 0.7);
      g.setColorAt(0, disc.lighter(150));
      g.setColorAt(1, disc);
      p.setPen(Qt::NoPen);
      p.setBrush(g);
      p.drawEllipse(area.center(), area.width() * 0.48, area.height() * 0.46);
      if (design == kSeasonsDesign) {
        // Spring blossom for hearts, autumn leaves for diamonds, summer suns for clubs and
        // winter snowflakes for spades, scattered over the disc's rim.
        for (int i = 0; i < 6; ++i) {
          const double a = M_PI * (1.1 + i * 0.16);
          const QPointF c = area.center() + QPointF(std::cos(a) * area.width() * 0.4,
                                                    std::sin(a) * area.height() * 0.4);
          const double r = area.width() * 0.07;
          if (suit == 0) {
            PaintFlower(p, i % 10, c, r);
          } else if (suit == 1) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor::fromHsv(20 + i * 8, 220, 220));
            p.drawEllipse(c, r * 0.6, r);
          } else if (suit == 2) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xff, 0xd2, 0x28));
            p.drawEllipse(c, r * 0.6, r * 0.6);
          } else {
            p.setPen(QPen(Qt::white, std::max(0.6, r * 0.18)));
            for (int k = 0; k < 3; ++k) {
              const double b = k * M_PI / 3;
              p.drawLine(c + QPointF(std::cos(b) * r, std::sin(b) * r),
                         c - QPointF(std::cos(b) * r, std::sin(b) * r));
            }
          }
        }
        p.setPen(Qt::NoPen);
      }
      if (design == kChineseDesign) {
        // 王 king, 后 queen, 侍 guard, in gold on the disc, with the rank's headpiece above.
        static const char* const kGlyphs[3] = {"侍", "后", "王"};
        QFont f("Noto Serif CJK SC");
        f.setPixelSize(std::max(8, static_cast<int>(area.width() * 0.62)));
        f.setBold(true);
        p.setFont(f);
        p.setPen(disc.lightness() > 120 ? QColor(0x9a, 0x10, 0x10) : QColor(0xf8, 0xe0, 0x80));
        p.drawText(area.adjusted(0, area.height() * 0.08, 0, 0), Qt::AlignCenter,
                   QString::fromUtf8(kGlyphs[rank - 11]));
        PaintHeadpiece(p, rank, QPointF(area.center().x(), area.top() + area.height() * 0.24),
                       area.width() * 0.13, C(st.robe[1]), suitColour);
        break;
      }
      if (design == kParrotsDesign) {
        // A crowned parrot in the suit's colour on a pale window of the disc.
        p.setBrush(C(st.paper2));
        p.drawEllipse(area.center(), area.width() * 0.38, area.height() * 0.36);
        const double u = area.width() / 7.5;
        const QPointF c = area.center() + QPointF(u * 0.5, u * 0.7);
        PaintAnimal(p, 2, c, u, suitColour);
        p.setBrush(C(st.robe[(rank + suit + 1) % 3]));
        p.drawEllipse(c + QPointF(u * 0.4, u * 0.1), u * 1.4, u * 0.7);  // the wing
        p.setBrush(Qt::white);
        p.drawEllipse(c + QPointF(-2.4 * u, -1.4 * u), u * 0.3, u * 0.3);  // the eye
        p.setBrush(Qt::black);
        p.drawEllipse(c + QPointF(-2.4 * u, -1.4 * u), u * 0.14, u * 0.14);
        PaintHeadpiece(p, rank, c + QPointF(-2.2 * u, -2.2 * u), 1.1 * u, C(st.robe[2]),
                       suitColour);
        break;
      }
      // A profile bust in the ink colour.
      const double u = area.width() / 8;
      const QPointF o(area.center().x() - u * 0.3, area.center().y() - u * 0.6);
      QPainterPath bust;
      bust.moveTo(o + QPointF(-3.2 * u, 5 * u));
      bust.quadTo(o + QPointF(-3 * u, 2 * u), o + QPointF(-0.8 * u, 1.6 * u));
      bust.lineTo(o + QPointF(-0.6 * u, 0.9 * u));
      bust.quadTo(o + QPointF(-2 * u, 0.2 * u), o + QPointF(-1.6 * u, -1.4 * u));
      bust.quadTo(o + QPointF(-0.6 * u, -2.8 * u), o + QPointF(0.9 * u, -1.9 * u));
      bust.lineTo(o + QPointF(1.4 * u, -0.6 * u));
      bust.lineTo(o + QPointF(2.0 * u, -0.2 * u));
      bust.lineTo(o + QPointF(1.4 * u, 0.2 * u));
      bust.quadTo(o + QPointF(1.5 * u, 0.9 * u), o + QPointF(0.7 * u, 1.0 * u));
      bust.lineTo(o + QPointF(0.8 * u, 1.6 * u));
      bust.quadTo(o + QPointF(3 * u, 2 * u), o + QPointF(3.2 * u, 5 * u));
      bust.closeSubpath();
      // The bust stands out from its disc: dark on a light disc, light on a dark one.
      QColor shadow = disc.lightness() > 90 ? QColor(0x1e, 0x1e, 0x28) : QColor(0xf0, 0xe8, 0xd8);
      if (C(st.paper).lightness() < 100 && disc.lightness() > 90) shadow = C(st.paper);
      p.setBrush(shadow);
      p.drawPath(bust);
      PaintHeadpiece(p, rank, o + QPointF(-0.2 * u, -2.2 * u), 1.4 * u, C(st.robe[2]), suitColour);
      PaintPip(p, suit, st.pips,
               QRectF(area.center().x() - u, area.bottom() - 3.2 * u, 2 * u, 2 * u), suitColour);
      break;
    }
    case kPortrait: {
      // An oval portrait, single-headed, in a painted frame.
      const QRectF oval = area.adjusted(area.width() * 0.04, 0, -area.width() * 0.04, 0);
      QLinearGradient g(oval.topLeft(), oval.bottomLeft());
      g.setColorAt(0, C(st.robe[1]).lighter(160));
      g.setColorAt(1, C(st.robe[1]));
      p.setPen(QPen(C(st.robe[2]), 2.4 * s));
      p.setBrush(g);
      p.drawEllipse(oval);
      p.save();
      QPainterPath clip;
      clip.addEllipse(oval);
      p.setClipPath(clip);
      QRectF figure(oval.left(), oval.top() + oval.height() * 0.08, oval.width(),
                    oval.height() * 1.84);
      PaintFigureHalf(p, st, rank, suit, figure, s);
      if (design == kEgyptDesign) {
        // A striped headcloth falling to the shoulders, over the hair.
        const double hw = figure.width() * 0.2;
        const QPointF top(figure.center().x(),
                          figure.top() + figure.height() / 2 * 0.36 - hw * 0.9);
        QPainterPath cloth;
        cloth.moveTo(top + QPointF(-hw * 0.9, hw * 0.2));
        cloth.lineTo(top + QPointF(-hw * 1.3, hw * 2.2));
        cloth.lineTo(top + QPointF(-hw * 0.8, hw * 2.2));
        cloth.lineTo(top + QPointF(-hw * 0.75, hw * 0.5));
        cloth.lineTo(top + QPointF(hw * 0.75, hw * 0.5));
        cloth.lineTo(top + QPointF(hw * 0.8, hw * 2.2));
        cloth.lineTo(top + QPointF(hw * 1.3, hw * 2.2));
        cloth.lineTo(top + QPointF(hw * 0.9, hw * 0.2));
        cloth.quadTo(top + QPointF(0, -hw * 0.5), top + QPointF(-hw * 0.9, hw * 0.2));
        p.setPen(QPen(C(st.ink), std::max(0.5, 0.7 * s)));
        p.setBrush(QColor(0xe8, 0xc0, 0x40));
        p.drawPath(cloth);
        p.setPen(QPen(C(st.robe[0]), std::max(0.8, 1.6 * s)));
        for (int i = 1; i <= 3; ++i) {
          const double y = top.y() + hw * (0.4 + 0.45 * i);
          p.drawLine(QPointF(top.x() - hw * (0.85 + 0.12 * i), y), QPointF(top.x() - hw * 0.72, y));
          p.drawLine(QPointF(top.x() + hw * 0.72, y), QPointF(top.x() + hw * (0.85 + 0.12 * i), y));
        }
      }
      p.restore();
      p.setPen(QPen(ink, 0.8 * s));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(oval.adjusted(-2 * s, -2 * s, 2 * s, 2 * s));
      QFont f = StyleFont(st, area.height() * 0.12);
      p.setFont(f);
      p.setPen(suitColour);
      p.drawText(QRectF(oval.left(), oval.bottom() - area.height() * 0.17, oval.width(),
                        area.height() * 0.14),
                 Qt::AlignCenter, RankLabel(st, rank));
      break;
    }
    case kCrownedSuit: {
      const double size = std::min(area.width(), area.height()) * 0.62;
      const QRectF pip(area.center().x() - size / 2, area.center().y() - size * 0.3, size, size);
      PaintPip(p, suit, st.pips, pip, suitColour, C(st.robe[2]));
      PaintHeadpiece(p, rank, QPointF(pip.center().x(), pip.top() + size * 0.02), size * 0.3,
                     C(st.robe[2]), C(st.robe[1]));
      QFont f = StyleFont(st, size * 0.36);
      p.setFont(f);
      p.setPen(C(st.paper));
      p.drawText(pip.adjusted(0, size * 0.05, 0, 0), Qt::AlignCenter, RankLabel(st, rank));
      // A garland round it: small pips, or roses on the rose design.
      for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4 + M_PI / 8;
        const double r = size * 0.75;
        const QPointF c = area.center() + QPointF(std::cos(a) * r, std::sin(a) * r * 1.2);
        if (design == kRosesDesign) {
          PaintFlower(p, (i * 3 + rank) % 10, c, size * 0.11);
        } else {
          PaintPip(p, suit, st.pips,
                   QRectF(c.x() - size * 0.07, c.y() - size * 0.07, size * 0.14, size * 0.14),
                   C(st.robe[0]));
        }
      }
      break;
    }
  }
}

}  // namespace

void PaintPip(QPainter& p, int suit, PipSet set, const QRectF& box, const QColor& colour,
              const QColor& outline) {
  QPainterPath path = UnitPip(suit, set);
  QTransform t;
  t.translate(box.left(), box.top());
  t.scale(box.width(), box.height());
  path = t.map(path);
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  if (outline.alpha() > 0) {
    p.setPen(QPen(outline, std::max(0.8, box.width() * 0.04)));
  } else {
    p.setPen(Qt::NoPen);
  }
  p.setBrush(colour);
  p.drawPath(path);
  if (set == PipSet::kGerman && suit == 2) {  // the acorn cap's hatching
    p.setPen(QPen(colour.darker(170), std::max(0.5, box.width() * 0.03)));
    for (int i = 1; i < 4; ++i) {
      const double x = box.left() + box.width() * (0.14 + 0.72 * i / 4);
      p.drawLine(QPointF(x, box.top() + box.height() * 0.27),
                 QPointF(x, box.top() + box.height() * 0.44));
    }
  }
  if (set == PipSet::kLatin && suit == 1) {  // coins are gold with a darker rim
    p.setPen(QPen(colour.darker(150), std::max(0.5, box.width() * 0.04)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(box.adjusted(box.width() * 0.04, box.height() * 0.04, -box.width() * 0.04,
                               -box.height() * 0.04));
  }
  p.restore();
}

QImage DrawFace(int design, const std::string& code, int w, int h) {
  const FaceStyle& st = kFaceStyles[design];
  const bool small = h < 120;
  const double s = h / 198.0;
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const QRectF card(0, 0, w, h);
  const double radius = small ? 0 : 9 * s;  // small bitmaps sit in the program's own outline
  PaintPaper(p, st, card, radius, HashName(code) + static_cast<uint32_t>(design));
  if (!small) {
    p.setPen(QPen(QColor(0x50, 0x50, 0x58), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  }
  PaintFrame(p, st, card, small ? 0.5 : s);
  const int suit = SuitOf(code);
  const int rank = RankOf(code);
  PaintIndices(p, st, rank, suit, w, h, small);
  // The picture area between the corner indices.
  const double side = small ? 16 : (st.bigIndex ? 36 : 30) * s;
  const double top = small ? 8 : 14 * s;
  const QRectF area(side, top, w - 2 * side, h - 2 * top);
  if (rank <= 10) {
    const QRectF pips = area.adjusted(small ? 1 : 2 * s, small ? 2 : 4 * s, small ? -1 : -2 * s,
                                      small ? -2 : -4 * s);
    PaintNumberPips(p, st, rank, suit, pips);
  } else if (rank == 14) {
    PaintAce(p, st, suit, area, small ? 0.5 : s);
  } else {
    PaintCourt(p, st, design, rank, suit,
               area.adjusted(0, small ? 2 : 4 * s, 0, small ? -2 : -4 * s), small ? 0.5 : s);
  }
  p.end();
  return img;
}

QImage DrawSuitSymbol(int design, const std::string& symbol, int size) {
  const FaceStyle& st = kFaceStyles[design];
  int suit = 0;
  for (int s = 0; s < 4; ++s) {
    if (symbol == assets::kSuitSymbolNames[s]) suit = s;
  }
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const double m = size * 0.06;
  PaintPip(p, suit, st.pips, QRectF(m, m, size - 2 * m, size - 2 * m), C(st.suit[suit]));
  return img;
}

// ---- backs --------------------------------------------------------------------------------

namespace {

// Weekday colours of the seven-back designs (Monday first) and the three extra collection backs.
const QRgb kWeekday[10] = {0xff1e3a8a, 0xffa8142a, 0xff1e6e3a, 0xff5a2a8a, 0xff14787a,
                           0xffb4641e, 0xff7a1e1e, 0xff2a2a4a, 0xff6a6a1e, 0xff8a2a5a};

void Shape(QPainterPath& path, int kind, const QPointF& c, double r) {
  switch (kind % 4) {
    case 0:
      path.addEllipse(c, r, r);
      break;
    case 1: {
      QPolygonF d;
      d << c + QPointF(0, -r) << c + QPointF(r, 0) << c + QPointF(0, r) << c + QPointF(-r, 0);
      path.addPolygon(d);
      path.closeSubpath();
      break;
    }
    case 2:
      path.addRect(QRectF(c.x() - r * 0.7, c.y() - r * 0.7, r * 1.4, r * 1.4));
      break;
    default: {
      QPolygonF star;
      for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double rr = i % 2 ? r * 0.45 : r;
        star << c + QPointF(std::cos(a) * rr, std::sin(a) * rr);
      }
      path.addPolygon(star);
      path.closeSubpath();
      break;
    }
  }
}

// Simple silhouettes for the "Animals" backs, one per back.
void PaintAnimal(QPainter& p, int which, const QPointF& c, double u, const QColor& fill) {
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  QPainterPath a;
  switch (which) {
    case 0:  // fish
      a.addEllipse(c, 3 * u, 1.6 * u);
      a.moveTo(c + QPointF(2.6 * u, 0));
      a.lineTo(c + QPointF(4.4 * u, -1.5 * u));
      a.lineTo(c + QPointF(4.4 * u, 1.5 * u));
      a.closeSubpath();
      break;
    case 1:  // cat head
      a.addEllipse(c, 2.6 * u, 2.3 * u);
      a.moveTo(c + QPointF(-2.4 * u, -0.8 * u));
      a.lineTo(c + QPointF(-2.0 * u, -3.2 * u));
      a.lineTo(c + QPointF(-0.6 * u, -2.0 * u));
      a.moveTo(c + QPointF(2.4 * u, -0.8 * u));
      a.lineTo(c + QPointF(2.0 * u, -3.2 * u));
      a.lineTo(c + QPointF(0.6 * u, -2.0 * u));
      break;
    case 2:  // bird
      a.addEllipse(c, 2.4 * u, 1.6 * u);
      a.addEllipse(c + QPointF(-2.2 * u, -1.2 * u), 1.1 * u, 1.1 * u);
      a.moveTo(c + QPointF(-3.2 * u, -1.3 * u));
      a.lineTo(c + QPointF(-4.2 * u, -0.9 * u));
      a.lineTo(c + QPointF(-3.1 * u, -0.8 * u));
      a.moveTo(c + QPointF(2 * u, -0.4 * u));
      a.lineTo(c + QPointF(4 * u, -1.4 * u));
      a.lineTo(c + QPointF(3.4 * u, 0.4 * u));
      break;
    case 3:  // rabbit
      a.addEllipse(c + QPointF(0, u), 2.2 * u, 2 * u);
      a.addEllipse(c + QPointF(-0.8 * u, -2.6 * u), 0.6 * u, 2 * u);
      a.addEllipse(c + QPointF(0.8 * u, -2.6 * u), 0.6 * u, 2 * u);
      break;
    case 4:  // butterfly
      a.addEllipse(c + QPointF(-1.6 * u, -1.2 * u), 1.6 * u, 1.4 * u);
      a.addEllipse(c + QPointF(1.6 * u, -1.2 * u), 1.6 * u, 1.4 * u);
      a.addEllipse(c + QPointF(-1.2 * u, 1.2 * u), 1.1 * u, 1.0 * u);
      a.addEllipse(c + QPointF(1.2 * u, 1.2 * u), 1.1 * u, 1.0 * u);
      a.addRect(QRectF(c.x() - 0.25 * u, c.y() - 2 * u, 0.5 * u, 4 * u));
      break;
    case 5:  // snail
      a.addEllipse(c + QPointF(0.4 * u, -0.6 * u), 2 * u, 2 * u);
      a.addRoundedRect(QRectF(c.x() - 3.4 * u, c.y() + 0.8 * u, 6.4 * u, 1.2 * u), 0.6 * u,
                       0.6 * u);
      a.addRect(QRectF(c.x() - 3.2 * u, c.y() - 1.2 * u, 0.3 * u, 2 * u));
      break;
    case 6:  // turtle
      a.addEllipse(c, 3 * u, 2 * u);
      a.addEllipse(c + QPointF(3.4 * u, -0.2 * u), 0.9 * u, 0.8 * u);
      for (int i = 0; i < 4; ++i) {
        a.addEllipse(c + QPointF((i % 2 ? 1.8 : -1.8) * u, (i < 2 ? -1.8 : 1.8) * u), 0.7 * u,
                     0.6 * u);
      }
      break;
    case 7:  // owl
      a.addEllipse(c + QPointF(0, 0.6 * u), 2.2 * u, 2.8 * u);
      a.moveTo(c + QPointF(-2 * u, -1.4 * u));
      a.lineTo(c + QPointF(-1.6 * u, -3.2 * u));
      a.lineTo(c + QPointF(0, -2.0 * u));
      a.lineTo(c + QPointF(1.6 * u, -3.2 * u));
      a.lineTo(c + QPointF(2 * u, -1.4 * u));
      a.closeSubpath();
      break;
    case 8:  // elephant
      a.addEllipse(c, 3 * u, 2 * u);
      a.addEllipse(c + QPointF(-2.8 * u, -0.8 * u), 1.4 * u, 1.3 * u);
      a.addRect(QRectF(c.x() - 4.2 * u, c.y() - 0.6 * u, 0.7 * u, 3 * u));
      for (double x : {-2.0, -0.6, 0.8, 2.2})
        a.addRect(QRectF(c.x() + x * u, c.y() + u, 0.8 * u, 2 * u));
      break;
    default:  // bee
      a.addEllipse(c, 2.4 * u, 1.5 * u);
      a.addEllipse(c + QPointF(-0.6 * u, -2 * u), 1.2 * u, 0.9 * u);
      a.addEllipse(c + QPointF(0.9 * u, -2 * u), 1.2 * u, 0.9 * u);
      break;
  }
  a.setFillRule(Qt::WindingFill);
  p.drawPath(a);
  if (which == 9) {  // the bee's stripes
    p.setBrush(QColor(0x20, 0x20, 0x20));
    for (double x : {-0.8, 0.4})
      p.drawRect(QRectF(c.x() + x * u, c.y() - 1.4 * u, 0.5 * u, 2.8 * u));
  }
}

void PaintFlower(QPainter& p, int which, const QPointF& c, double r) {
  const int petals = 5 + which % 4;
  const QColor petal = QColor::fromHsv((which * 47 + 330) % 360, 150 + which * 8 % 80, 240);
  p.setPen(QPen(petal.darker(140), std::max(0.5, r * 0.04)));
  p.setBrush(petal);
  for (int i = 0; i < petals; ++i) {
    p.save();
    p.translate(c);
    p.rotate(i * 360.0 / petals + which * 9);
    p.drawEllipse(QPointF(0, -r * 0.55), r * (which % 2 ? 0.3 : 0.22), r * 0.5);
    p.restore();
  }
  p.setBrush(QColor::fromHsv((which * 47 + 50) % 360, 220, 250));
  p.drawEllipse(c, r * 0.25, r * 0.25);
}

void PaintPlace(QPainter& p, int which, const QRectF& r) {
  // Sky, ground and one landmark per back.
  QLinearGradient sky(r.topLeft(), r.bottomLeft());
  const int hue = (which * 37 + 190) % 360;
  sky.setColorAt(0, QColor::fromHsv(hue, 120, 230));
  sky.setColorAt(1, QColor::fromHsv((hue + 30) % 360, 60, 250));
  p.fillRect(r, sky);
  const double u = r.width() / 20;
  const QColor dark = QColor::fromHsv((hue + 180) % 360, 120, 70);
  p.setPen(Qt::NoPen);
  // Sun or moon.
  p.setBrush(QColor(255, 236, 150));
  p.drawEllipse(QPointF(r.left() + r.width() * (0.2 + 0.06 * which), r.top() + r.height() * 0.22),
                u * 2, u * 2);
  QPainterPath land;
  land.moveTo(r.bottomLeft());
  switch (which) {
    case 0:  // mountains
      land.lineTo(r.left(), r.bottom() - 8 * u);
      land.lineTo(r.left() + 6 * u, r.bottom() - 18 * u);
      land.lineTo(r.left() + 11 * u, r.bottom() - 10 * u);
      land.lineTo(r.left() + 15 * u, r.bottom() - 16 * u);
      land.lineTo(r.right(), r.bottom() - 7 * u);
      break;
    case 1:  // sea and a sail
      p.setBrush(QColor(40, 90, 170));
      p.drawRect(QRectF(r.left(), r.bottom() - 9 * u, r.width(), 9 * u));
      land.lineTo(r.left() + 9 * u, r.bottom() - 9 * u);
      land.lineTo(r.left() + 9 * u, r.bottom() - 19 * u);
      land.lineTo(r.left() + 15 * u, r.bottom() - 10 * u);
      land.lineTo(r.left() + 6 * u, r.bottom() - 9 * u);
      land.lineTo(r.left() + 7 * u, r.bottom() - 7 * u);
      land.lineTo(r.left() + 14 * u, r.bottom() - 7 * u);
      land.lineTo(r.left() + 15 * u, r.bottom() - 9 * u);
      land.lineTo(r.left() + 9 * u, r.bottom() - 9 * u);
      land.moveTo(r.bottomLeft());
      land.lineTo(r.left(), r.bottom() - 2 * u);
      land.lineTo(r.right(), r.bottom() - 2 * u);
      break;
    case 2:  // city skyline
      land.lineTo(r.left(), r.bottom() - 8 * u);
      for (int i = 0; i < 10; ++i) {
        const double hgt = 8 + (i * 7 % 11);
        land.lineTo(r.left() + i * 2 * u, r.bottom() - hgt * u);
        land.lineTo(r.left() + (i * 2 + 2) * u, r.bottom() - hgt * u);
      }
      land.lineTo(r.right(), r.bottom() - 6 * u);
      break;
    case 3:  // pyramids
      land.lineTo(r.left(), r.bottom() - 4 * u);
      land.lineTo(r.left() + 2 * u, r.bottom() - 4 * u);
      land.lineTo(r.left() + 8 * u, r.bottom() - 14 * u);
      land.lineTo(r.left() + 12 * u, r.bottom() - 7.5 * u);
      land.lineTo(r.left() + 15 * u, r.bottom() - 11 * u);
      land.lineTo(r.right(), r.bottom() - 4 * u);
      break;
    case 4:  // a tower
      land.lineTo(r.left(), r.bottom() - 4 * u);
      land.lineTo(r.left() + 8 * u, r.bottom() - 4 * u);
      land.lineTo(r.left() + 9.4 * u, r.bottom() - 18 * u);
      land.lineTo(r.left() + 10 * u, r.bottom() - 24 * u);
      land.lineTo(r.left() + 10.6 * u, r.bottom() - 18 * u);
      land.lineTo(r.left() + 12 * u, r.bottom() - 4 * u);
      land.lineTo(r.right(), r.bottom() - 4 * u);
      break;
    case 5:  // forest
      land.lineTo(r.left(), r.bottom() - 5 * u);
      for (int i = 0; i < 7; ++i) {
        const double x = r.left() + i * 3 * u;
        land.lineTo(x + 1.5 * u, r.bottom() - (11 + i % 3 * 3) * u);
        land.lineTo(x + 3 * u, r.bottom() - 5 * u);
      }
      land.lineTo(r.right(), r.bottom() - 5 * u);
      break;
    case 6:  // dunes
      land.lineTo(r.left(), r.bottom() - 6 * u);
      land.quadTo(r.left() + 6 * u, r.bottom() - 12 * u, r.left() + 11 * u, r.bottom() - 6 * u);
      land.quadTo(r.left() + 15 * u, r.bottom() - 10 * u, r.right(), r.bottom() - 5 * u);
      break;
    case 7:  // lighthouse
      land.lineTo(r.left(), r.bottom() - 5 * u);
      land.lineTo(r.left() + 11 * u, r.bottom() - 5 * u);
      land.lineTo(r.left() + 12 * u, r.bottom() - 19 * u);
      land.lineTo(r.left() + 14 * u, r.bottom() - 19 * u);
      land.lineTo(r.left() + 15 * u, r.bottom() - 5 * u);
      land.lineTo(r.right(), r.bottom() - 5 * u);
      break;
    case 8:  // bridge
      land.lineTo(r.left(), r.bottom() - 10 * u);
      land.lineTo(r.right(), r.bottom() - 10 * u);
      land.lineTo(r.right(), r.bottom());
      land.lineTo(r.right() - 2 * u, r.bottom());
      land.quadTo(r.center().x(), r.bottom() - 16 * u, r.left() + 2 * u, r.bottom());
      break;
    default:  // village roofs
      land.lineTo(r.left(), r.bottom() - 5 * u);
      for (int i = 0; i < 4; ++i) {
        const double x = r.left() + (1 + i * 5) * u;
        land.lineTo(x, r.bottom() - 5 * u);
        land.lineTo(x, r.bottom() - 9 * u);
        land.lineTo(x + 2 * u, r.bottom() - 12 * u);
        land.lineTo(x + 4 * u, r.bottom() - 9 * u);
        land.lineTo(x + 4 * u, r.bottom() - 5 * u);
      }
      land.lineTo(r.right(), r.bottom() - 5 * u);
      break;
  }
  land.lineTo(r.bottomRight());
  land.closeSubpath();
  p.setBrush(dark);
  p.drawPath(land);
}

}  // namespace

QImage DrawBack(int backDesign, const std::string& backName, int w, int h) {
  const int index = std::stoi(backName.substr(2, 2)) - 1;  // 0..9
  const double s = h / 198.0;
  const bool small = h < 120;
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF card(0, 0, w, h);
  const double radius = small ? 0 : 9 * s;
  QPainterPath shape;
  shape.addRoundedRect(card, radius, radius);
  p.fillPath(shape, Qt::white);
  const double margin = (small ? 3 : 6 * s);
  const QRectF field = card.adjusted(margin, margin, -margin, -margin);
  QColor base = C(kWeekday[index]);
  const uint32_t seed = static_cast<uint32_t>(backDesign * 100 + index);
  Rng rng(seed);
  p.save();
  QPainterPath clip;
  clip.addRoundedRect(field, 4 * s, 4 * s);
  p.setClipPath(clip);
  switch (backDesign) {
    case 0: {  // the program's own: three bands, as the three rows, on a fine lattice
      p.fillRect(field, base);
      p.setPen(QPen(base.lighter(135), std::max(0.5, 0.8 * s)));
      const double step = 7 * s + 2;
      for (double x = -field.height(); x < field.width() + field.height(); x += step) {
        p.drawLine(QPointF(field.left() + x, field.top()),
                   QPointF(field.left() + x + field.height(), field.bottom()));
        p.drawLine(QPointF(field.left() + x, field.bottom()),
                   QPointF(field.left() + x + field.height(), field.top()));
      }
      const QPointF c = field.center();
      p.setPen(QPen(QColor(0xf0, 0xd0, 0x60), std::max(1.0, 1.6 * s)));
      p.setBrush(base.darker(130));
      p.drawEllipse(c, field.width() * 0.36, field.width() * 0.36);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0xf0, 0xd0, 0x60));
      const double bw = field.width() * 0.36;
      for (int i = 0; i < 3; ++i) {
        const double len = i == 0 ? bw * 0.6 : bw;
        p.drawRoundedRect(QRectF(c.x() - len / 2, c.y() - bw * 0.42 + i * bw * 0.3, len, bw * 0.18),
                          2 * s, 2 * s);
      }
      break;
    }
    case 1: {  // classic lattice with a rosette
      p.fillRect(field, base.lighter(115));
      p.setPen(QPen(base.darker(140), std::max(0.6, 1.0 * s)));
      const double step = 10 * s + 3;
      for (double y = field.top(); y < field.bottom() + step; y += step) {
        for (double x = field.left(); x < field.right() + step; x += step) {
          p.drawEllipse(QPointF(x, y), step * 0.5, step * 0.5);
        }
      }
      p.setBrush(Qt::white);
      p.drawEllipse(field.center(), field.width() * 0.25, field.width() * 0.25);
      for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(field.center());
        p.rotate(i * 30);
        p.setBrush(base);
        p.drawEllipse(QPointF(0, -field.width() * 0.14), field.width() * 0.04,
                      field.width() * 0.09);
        p.restore();
      }
      break;
    }
    case 2: {  // pinstripes and an oval medallion
      p.fillRect(field, base);
      p.setPen(QPen(base.lighter(150), std::max(0.5, 0.6 * s)));
      for (double x = field.left(); x < field.right(); x += 3 * s + 1)
        p.drawLine(QPointF(x, field.top()), QPointF(x, field.bottom()));
      p.setPen(QPen(QColor(0xe8, 0xd8, 0xa0), 2 * s));
      p.setBrush(base.darker(120));
      p.drawEllipse(field.center(), field.width() * 0.32, field.height() * 0.3);
      p.drawEllipse(field.center(), field.width() * 0.18, field.height() * 0.17);
      break;
    }
    case 3: {  // carpet: bands and a stepped medallion
      p.fillRect(field, base.darker(110));
      for (int band = 0; band < 5; ++band) {
        QColor c = band % 2 ? QColor(0xe8, 0xd0, 0x90) : base.lighter(140 + band * 10);
        p.setPen(QPen(c, 2.2 * s));
        p.setBrush(Qt::NoBrush);
        p.drawRect(field.adjusted(band * 4 * s + 2, band * 4 * s + 2, -band * 4 * s - 2,
                                  -band * 4 * s - 2));
      }
      QPolygonF d;
      const QPointF c = field.center();
      const double rx = field.width() * 0.3, ry = field.height() * 0.3;
      d << c + QPointF(0, -ry) << c + QPointF(rx, 0) << c + QPointF(0, ry) << c + QPointF(-rx, 0);
      p.setBrush(QColor(0xe8, 0xd0, 0x90));
      p.setPen(QPen(base.darker(150), 1.2 * s));
      p.drawPolygon(d);
      p.setBrush(base);
      p.drawEllipse(c, rx * 0.35, ry * 0.35);
      break;
    }
    case 4: {  // crosses
      p.fillRect(field, Qt::white);
      const double step = 12 * s + 3;
      p.setPen(Qt::NoPen);
      p.setBrush(base);
      int row = 0;
      for (double y = field.top(); y < field.bottom() + step; y += step, ++row) {
        for (double x = field.left() + (row % 2) * step / 2; x < field.right() + step; x += step) {
          p.drawRect(QRectF(x - step * 0.35, y - step * 0.1, step * 0.7, step * 0.2));
          p.drawRect(QRectF(x - step * 0.1, y - step * 0.35, step * 0.2, step * 0.7));
        }
      }
      break;
    }
    case 5: {  // chess board
      const double cell = field.width() / 8;
      for (int y = 0; y * cell < field.height() + cell; ++y) {
        for (int x = 0; x < 8; ++x) {
          p.fillRect(QRectF(field.left() + x * cell, field.top() + y * cell, cell, cell),
                     (x + y) % 2 ? base : QColor(0xf4, 0xec, 0xd8));
        }
      }
      // The piece sits on a medallion so it reads over both colours of squares.
      p.setPen(QPen(QColor(0xe8, 0xc8, 0x60), std::max(1.0, 2 * s)));
      p.setBrush(base.darker(150));
      p.drawEllipse(field.center(), field.width() * 0.34, field.width() * 0.34);
      QFont f("DejaVu Sans");
      f.setPixelSize(static_cast<int>(field.width() * 0.48));
      p.setFont(f);
      p.setPen(QColor(0xff, 0xff, 0xff));
      const QString pieces = QString::fromUtf8("♚♛♜♝♞♟♚♛♜♝");
      p.drawText(field, Qt::AlignCenter, pieces.mid(index, 1));
      break;
    }
    case 6: {  // argyle
      p.fillRect(field, base.lighter(130));
      const double dw = field.width() / 3, dh = dw * 1.5;
      for (int y = -1; y * dh < field.height() + dh; ++y) {
        for (int x = -1; x < 4; ++x) {
          const QPointF c(field.left() + x * dw + (y % 2 ? dw / 2 : 0), field.top() + y * dh / 2);
          QPolygonF d;
          d << c + QPointF(0, -dh / 2) << c + QPointF(dw / 2, 0) << c + QPointF(0, dh / 2)
            << c + QPointF(-dw / 2, 0);
          p.setPen(Qt::NoPen);
          p.setBrush((x + y) % 2 ? base : base.darker(150));
          p.drawPolygon(d);
        }
      }
      p.setPen(QPen(QColor(0xf0, 0xf0, 0xf0), 0.8 * s, Qt::DashLine));
      for (double x = -field.height(); x < field.width() + field.height(); x += dw) {
        p.drawLine(QPointF(field.left() + x, field.top()),
                   QPointF(field.left() + x + field.height() * dw / dh * 2, field.bottom()));
      }
      break;
    }
    case 7: {  // knightly: a quartered shield on a diapered field
      p.fillRect(field, base.darker(130));
      p.setPen(QPen(base.lighter(120), 0.6 * s));
      for (double y = field.top(); y < field.bottom(); y += 6 * s + 2)
        p.drawLine(QPointF(field.left(), y), QPointF(field.right(), y));
      const QPointF c = field.center();
      const double sw = field.width() * 0.7, sh = field.height() * 0.55;
      QPainterPath shield;
      shield.moveTo(c + QPointF(-sw / 2, -sh / 2));
      shield.lineTo(c + QPointF(sw / 2, -sh / 2));
      shield.lineTo(c + QPointF(sw / 2, 0));
      shield.quadTo(c + QPointF(sw / 2, sh * 0.4), c + QPointF(0, sh / 2));
      shield.quadTo(c + QPointF(-sw / 2, sh * 0.4), c + QPointF(-sw / 2, 0));
      shield.closeSubpath();
      p.setBrush(QColor(0xf0, 0xd0, 0x60));
      p.setPen(QPen(Qt::black, 1.2 * s));
      p.drawPath(shield);
      p.save();
      p.setClipPath(shield, Qt::IntersectClip);
      p.fillRect(QRectF(c.x() - sw / 2, c.y() - sh / 2, sw / 2, sh / 2), base);
      p.fillRect(QRectF(c.x(), c.y(), sw / 2, sh / 2), base);
      p.restore();
      break;
    }
    case 8: {  // animals
      p.fillRect(field, base.lighter(170));
      p.setPen(QPen(base.lighter(130), 0.8 * s));
      for (double y = field.top(); y < field.bottom(); y += 8 * s + 2)
        p.drawLine(QPointF(field.left(), y), QPointF(field.right(), y));
      PaintAnimal(p, index, field.center(), field.width() / 11, base.darker(110));
      break;
    }
    case 9: {  // flowers
      p.fillRect(field, QColor::fromHsv((index * 36 + 90) % 360, 60, 120));
      for (int i = 0; i < 6; ++i) {
        PaintFlower(p, (index + i) % 10,
                    QPointF(field.left() + rng.Unit() * field.width(),
                            field.top() + rng.Unit() * field.height()),
                    field.width() * 0.12);
      }
      PaintFlower(p, index, field.center(), field.width() * 0.34);
      break;
    }
    case 10:  // places
      PaintPlace(p, index, field);
      break;
    case 11: {  // other: abstract
      p.fillRect(field, base);
      p.setBrush(Qt::NoBrush);
      const QPointF c = field.center();
      for (int i = 0; i < 14; ++i) {
        QColor col = QColor::fromHsv((index * 36 + i * 20) % 360, 160, 240);
        p.setPen(QPen(col, std::max(0.8, 1.6 * s)));
        switch (index % 5) {
          case 0:
            p.drawEllipse(c, i * field.width() * 0.05, i * field.width() * 0.05);
            break;
          case 1:
            p.drawLine(QPointF(field.left(), field.top() + i * field.height() / 14),
                       QPointF(field.right(), field.top() + (i + 3) * field.height() / 14));
            break;
          case 2:
            p.drawRect(QRectF(c.x() - i * 3 * s, c.y() - i * 4 * s, i * 6 * s, i * 8 * s));
            break;
          case 3: {
            QPainterPath wave;
            const double y = field.top() + i * field.height() / 13;
            wave.moveTo(field.left(), y);
            for (double x = 0; x < field.width(); x += field.width() / 4)
              wave.quadTo(field.left() + x + field.width() / 8, y + (i % 2 ? 6 : -6) * s,
                          field.left() + x + field.width() / 4, y);
            p.drawPath(wave);
            break;
          }
          default: {
            QPainterPath star;
            Shape(star, 3,
                  QPointF(field.left() + rng.Unit() * field.width(),
                          field.top() + rng.Unit() * field.height()),
                  (3 + rng.Unit() * 6) * s);
            p.setBrush(col);
            p.drawPath(star);
            p.setBrush(Qt::NoBrush);
            break;
          }
        }
      }
      break;
    }
    default: {  // Russian folk ornament: red and gold on black
      p.fillRect(field, base.darker(400));
      const QPointF c = field.center();
      p.setPen(QPen(QColor(0xe0, 0xb0, 0x30), 1.6 * s));
      p.setBrush(Qt::NoBrush);
      QPainterPath stem;
      stem.moveTo(field.left() + field.width() * 0.5, field.bottom());
      stem.cubicTo(field.left(), field.center().y(), field.right(), field.center().y(),
                   field.center().x(), field.top());
      p.drawPath(stem);
      for (int i = 0; i < 7; ++i) {
        const double t = (i + 0.5) / 7.0;
        const QPointF pt = stem.pointAtPercent(t);
        p.setBrush(i % 2 ? C(kWeekday[index]).lighter(130) : QColor(0xd0, 0x20, 0x20));
        p.setPen(Qt::NoPen);
        p.drawEllipse(pt + QPointF(i % 2 ? 6 * s : -6 * s, 0), 4.5 * s, 3 * s);
        p.setBrush(QColor(0xe0, 0xb0, 0x30));
        p.drawEllipse(pt, 1.6 * s, 1.6 * s);
      }
      p.setBrush(QColor(0xd0, 0x20, 0x20));
      p.drawEllipse(c, field.width() * 0.16, field.width() * 0.16);
      p.setBrush(QColor(0xe0, 0xb0, 0x30));
      p.drawEllipse(c, field.width() * 0.07, field.width() * 0.07);
      break;
    }
  }
  p.restore();
  // A white border and a thin rule, as printed backs have.
  p.setPen(QPen(base.darker(120), std::max(0.6, 1.0 * s)));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(field, 4 * s, 4 * s);
  if (!small) {
    p.setPen(QPen(QColor(0x50, 0x50, 0x58), 1.0));
    p.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  }
  return img;
}

QImage DrawColourBack(const std::string& colour, int w, int h) {
  static const std::pair<const char*, QRgb> kColours[] = {
      {"Black", 0xff202024},  {"Red", 0xffc01a24},    {"Navy", 0xff1a2a7a}, {"Green", 0xff1a7a34},
      {"Yellow", 0xffe8c020}, {"Violet", 0xff7a2a9a}, {"Aqua", 0xff18a8b8}, {"Orang", 0xffe87a1a}};
  QColor base(0x80, 0x80, 0x80);
  for (const auto& [name, rgb] : kColours) {
    if (colour == name) base = C(rgb);
  }
  const double s = h / 198.0;
  const bool small = h < 120;
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const double radius = small ? 0 : 9 * s;
  QPainterPath shape;
  shape.addRoundedRect(QRectF(0, 0, w, h), radius, radius);
  QLinearGradient g(0, 0, w, h);
  g.setColorAt(0, base.lighter(125));
  g.setColorAt(1, base.darker(125));
  p.fillPath(shape, g);
  p.setClipPath(shape);
  p.setPen(QPen(base.lighter(150), std::max(0.5, 0.8 * s)));
  for (double x = -h; x < w; x += 6 * s + 2) p.drawLine(QPointF(x, h), QPointF(x + h, 0));
  p.setClipping(false);
  p.setPen(QPen(base.darker(170), 1.0));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), radius, radius);
  return img;
}

QImage DrawPlace(const std::string& what, int w, int h) {
  // "free": an empty place for a card; "yes" / "no": the knock markers.
  const double s = h / 198.0;
  const bool small = h < 120;
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const double radius = small ? 0 : 9 * s;
  const QRectF r(0.5, 0.5, w - 1, h - 1);
  if (what == "free") {
    p.setPen(QPen(QColor(255, 255, 255, 200), std::max(1.0, 2 * s), Qt::DashLine));
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), radius, radius);
    return img;
  }
  const bool yes = what == "yes";
  const QColor c = yes ? QColor(0x1e, 0x9a, 0x3c) : QColor(0xc0, 0x1e, 0x28);
  p.setPen(QPen(c.darker(140), 1.0));
  p.setBrush(QColor(0xfa, 0xfa, 0xf4));
  p.drawRoundedRect(r, radius, radius);
  p.setPen(QPen(c, std::max(3.0, 12 * s), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  const QPointF m(w / 2.0, h / 2.0);
  const double u = std::min(w, h) * 0.28;
  if (yes) {
    p.drawPolyline(
        QPolygonF({m + QPointF(-u, 0), m + QPointF(-u * 0.25, u * 0.8), m + QPointF(u, -u * 0.9)}));
  } else {
    p.drawLine(m + QPointF(-u, -u), m + QPointF(u, u));
    p.drawLine(m + QPointF(-u, u), m + QPointF(u, -u));
  }
  return img;
}

}  // namespace trilane::artgen
