// Pictures of the table, the menus and the windows: plates, overlays, button pieces,
// captions, icons, clocks, medals, flags, cursors and the "Purple" design pictures.

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <cmath>
#include <functional>
#include <map>

#include "assets/artgen/artgen.h"
#include "assets/artgen/picture_titles.h"

namespace trilane::artgen {
namespace {

using assets::Asset;

const QColor kGold(0xc8, 0xaf, 0x32);
const QColor kPurple(0x88, 0x00, 0xe2);

QImage Blank(int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  return img;
}

QFont Font(const char* family, double px, bool bold = true, bool italic = false) {
  QFont f(family);
  f.setPixelSize(std::max(6, static_cast<int>(std::lround(px))));
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

// Text with a one-pixel dark shadow, fitted into `box` (shrunk until it fits).
void ShadowText(QPainter& p, const QRectF& box, const QString& text, QFont font,
                const QColor& colour, int align = Qt::AlignCenter,
                const QColor& outline = Qt::transparent) {
  while (font.pixelSize() > 7 && QFontMetricsF(font).horizontalAdvance(text) > box.width()) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  p.setFont(font);
  if (outline.alpha() > 0) {
    QPainterPath path;
    const QFontMetricsF fm(font);
    double x = box.left() + (box.width() - fm.horizontalAdvance(text)) / 2;
    if (align & Qt::AlignLeft) x = box.left();
    const double y = box.top() + (box.height() + fm.ascent() - fm.descent()) / 2;
    path.addText(QPointF(x, y), font, text);
    const double px = font.pixelSize();
    // A soft drop shadow, then the letters in a light-to-deep gradient of the colour with a
    // thin dark edge.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawPath(path.translated(px / 18.0 + 1, px / 18.0 + 1));
    const QRectF bounds = path.boundingRect();
    QLinearGradient g(bounds.topLeft(), bounds.bottomLeft());
    g.setColorAt(0, colour.lighter(150));
    g.setColorAt(0.5, colour);
    g.setColorAt(1, colour.darker(135));
    p.setPen(QPen(outline, std::max(1.0, px / 26.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPath(path);
    return;
  }
  p.setPen(QColor(0, 0, 0, 150));
  p.drawText(box.translated(1, 1), align, text);
  p.setPen(colour);
  p.drawText(box, align, text);
}

int LanguageOf(const std::string& suffix) {
  for (int i = 0; i < 8; ++i) {
    if (suffix == assets::kPictureLanguages[i]) return i;
  }
  return 0;
}

const std::map<std::string, const char*> kFixedTitles = {
    {"Pw", "Welcome"},
    {"CountInfo", "Info"},
    {"WorldTopTen1", "World Top Ten"},
    {"WorldTopTen2", "World Top Ten"},
    {"WorldStats", "World Stats"},
    {"OnlineTopTen", "Online Top Ten"},
    {"WorldOnlineTournament", "World Online Tournament"},
    {"MyAccountR", "My account"},
    {"Radio", "Radio"},
    {"PwL", "Welcome"},
    {"CountL", "Info"},
    {"ServerWL", "World Top Ten"},
    {"ChatL", "Chat"},
    {"StatL", "World Stats"},
    {"TopTenL", "Online Top Ten"},
    {"TourL", "Tournament"},
    {"RadioL", "Radio"}};

// Window sizes of the purple design, by design key.
const std::map<std::string, QSize> kFormSizes = {
    {"Opt", {500, 400}},     {"Speed", {340, 280}},   {"Pw", {400, 300}},    {"Pass", {420, 360}},
    {"EndG", {560, 420}},    {"History", {640, 480}}, {"Count", {420, 360}}, {"TopTen", {640, 560}},
    {"ServerW", {520, 420}}, {"Chat", {720, 640}},    {"Stat", {520, 520}},  {"Tour", {760, 560}},
    {"Acc1", {720, 560}},    {"Wait", {360, 200}},    {"About", {480, 360}}, {"Adv", {500, 400}},
    {"Thank", {500, 400}},   {"Radio", {420, 360}}};

const std::map<std::string, int> kConciseWidths = {{"Options", 500},
                                                   {"Speed", 310},
                                                   {"Pw", 400},
                                                   {"Passport", 420},
                                                   {"EndGame", 560},
                                                   {"History", 640},
                                                   {"CountInfo", 420},
                                                   {"WorldTopTen1", 640},
                                                   {"WorldTopTen2", 520},
                                                   {"QorGamesChat", 720},
                                                   {"WorldStats", 520},
                                                   {"OnlineTopTen", 640},
                                                   {"WorldOnlineTournament", 760},
                                                   {"MyAccount", 720},
                                                   {"MyAccountR", 720},
                                                   {"OurGames", 500},
                                                   {"SupportUs", 500},
                                                   {"Radio", 420}};

const std::map<std::string, int> kIconFrames = {
    {"Opt", 10},      {"Speed", 10}, {"Pass", 31}, {"WT", 20},   {"History", 12},
    {"History2", 12}, {"COunt", 60}, {"Chat", 10}, {"Stat", 19}, {"Tour", 20},
    {"Acc", 15},      {"Adv", 15},   {"Thank", 30}};

// Splits a per-language name into its stem and suffix ("OptionsRus" -> "Options", "Rus").
std::pair<std::string, std::string> SplitLanguage(const std::string& name) {
  for (const char* lang : assets::kPictureLanguages) {
    const std::string l(lang);
    if (name.size() > l.size() && name.compare(name.size() - l.size(), l.size(), l) == 0) {
      return {name.substr(0, name.size() - l.size()), l};
    }
  }
  return {name, ""};
}

QString TitleFor(const std::string& stem, const std::string& lang) {
  auto it = kPictureTitles.find(stem);
  if (it != kPictureTitles.end()) return QString::fromUtf8(it->second[LanguageOf(lang)]);
  auto fixed = kFixedTitles.find(stem);
  if (fixed != kFixedTitles.end()) return QString::fromUtf8(fixed->second);
  return QString::fromStdString(stem);
}

const char* FamilyFor(const QString& text, const char* latin) {
  for (QChar c : text) {
    if (c.unicode() >= 0x2e80) return "Noto Serif CJK TC";
  }
  return latin;
}

// A gem-like round light.
void Lamp(QPainter& p, const QPointF& c, double r, const QColor& colour) {
  QRadialGradient g(c - QPointF(r * 0.35, r * 0.35), r * 1.3);
  g.setColorAt(0, colour.lighter(190));
  g.setColorAt(0.5, colour);
  g.setColorAt(1, colour.darker(200));
  p.setPen(QPen(colour.darker(260), std::max(0.8, r * 0.1)));
  p.setBrush(g);
  p.drawEllipse(c, r, r);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 150));
  p.drawEllipse(c - QPointF(r * 0.35, r * 0.4), r * 0.28, r * 0.2);
}

void Star(QPainter& p, const QPointF& c, double r, double angle, const QColor& colour) {
  QPolygonF star;
  for (int i = 0; i < 10; ++i) {
    const double a = angle - M_PI / 2 + i * M_PI / 5;
    const double rr = i % 2 ? r * 0.45 : r;
    star << c + QPointF(std::cos(a) * rr, std::sin(a) * rr);
  }
  QRadialGradient g(c, r);
  g.setColorAt(0, colour.lighter(170));
  g.setColorAt(1, colour);
  p.setPen(QPen(colour.darker(200), std::max(0.7, r * 0.08)));
  p.setBrush(g);
  p.drawPolygon(star);
}

void RoundPanel(QPainter& p, const QRectF& r, double radius, const QColor& top,
                const QColor& bottom, const QColor& edge) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.setPen(QPen(edge, 1.0));
  p.setBrush(g);
  p.drawRoundedRect(r, radius, radius);
}

// A trophy cup.
void Cup(QPainter& p, const QRectF& r, const QColor& colour) {
  const double u = r.width() / 10;
  QPainterPath cup;
  cup.moveTo(r.left() + 2 * u, r.top() + u);
  cup.lineTo(r.right() - 2 * u, r.top() + u);
  cup.cubicTo(r.right() - 2 * u, r.top() + 5 * u, r.center().x() + u, r.top() + 6 * u,
              r.center().x() + 0.6 * u, r.top() + 6.4 * u);
  cup.lineTo(r.center().x() + 0.6 * u, r.top() + 7.6 * u);
  cup.lineTo(r.center().x() + 2.2 * u, r.top() + 8.6 * u);
  cup.lineTo(r.center().x() - 2.2 * u, r.top() + 8.6 * u);
  cup.lineTo(r.center().x() - 0.6 * u, r.top() + 7.6 * u);
  cup.lineTo(r.center().x() - 0.6 * u, r.top() + 6.4 * u);
  cup.cubicTo(r.center().x() - u, r.top() + 6 * u, r.left() + 2 * u, r.top() + 5 * u,
              r.left() + 2 * u, r.top() + u);
  QLinearGradient g(r.topLeft(), r.topRight());
  g.setColorAt(0, colour.darker(130));
  g.setColorAt(0.4, colour.lighter(160));
  g.setColorAt(1, colour.darker(150));
  p.setPen(QPen(colour.darker(220), std::max(0.8, u * 0.25)));
  p.setBrush(g);
  p.drawPath(cup);
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(r.left() + 0.6 * u, r.top() + 1.6 * u, 2.6 * u, 3 * u), 90 * 16, 180 * 16);
  p.drawArc(QRectF(r.right() - 3.2 * u, r.top() + 1.6 * u, 2.6 * u, 3 * u), 270 * 16, 180 * 16);
  p.setBrush(colour.darker(140));
  p.drawRect(QRectF(r.center().x() - 3 * u, r.top() + 8.6 * u, 6 * u, 1.1 * u));
}

void Person(QPainter& p, const QRectF& r, const QColor& colour, bool woman) {
  const double u = r.width() / 10;
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawEllipse(QPointF(r.center().x(), r.top() + 3.2 * u), 2.1 * u, 2.3 * u);
  QPainterPath body;
  body.moveTo(r.left() + 1.2 * u, r.bottom());
  body.cubicTo(r.left() + 1.2 * u, r.top() + 6 * u, r.right() - 1.2 * u, r.top() + 6 * u,
               r.right() - 1.2 * u, r.bottom());
  body.closeSubpath();
  p.drawPath(body);
  if (woman) {  // long hair
    p.drawEllipse(QRectF(r.center().x() - 2.6 * u, r.top() + 1.2 * u, 5.2 * u, 5.6 * u));
  }
}

std::vector<QImage> Frames(int n, int w, int h, const std::function<void(QPainter&, int)>& paint) {
  std::vector<QImage> frames;
  for (int i = 0; i < n; ++i) {
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p, i);
    frames.push_back(img);
  }
  return frames;
}

// A horizontal strip of `n` square frames.
QImage Strip(int n, int size, const std::function<void(QPainter&, int)>& paint) {
  QImage img = Blank(n * size, size);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  for (int i = 0; i < n; ++i) {
    p.save();
    p.translate(i * size, 0);
    p.setClipRect(0, 0, size, size);
    paint(p, i);
    p.restore();
  }
  return img;
}

// ---- flags ----

const std::map<std::string, std::vector<const char*>> kFlagCodes = {
    {"Euro", {"",   "ru", "al", "ad", "at", "by", "be", "ba", "bg", "hr", "cz", "dk", "ee",
              "fo", "fi", "fr", "de", "gi", "gr", "gg", "hu", "is", "ie", "im", "it", "je",
              "lv", "li", "lt", "lu", "mk", "mt", "md", "mc", "nl", "no", "pl", "pt", "ro",
              "sm", "cs", "sk", "si", "es", "se", "ch", "ua", "va", "gb"}},
    {"Asia", {"",   "af", "am", "az", "bh", "bd", "bt", "io", "bn", "kh", "cn", "cy", "tl",
              "ge", "hk", "in", "id", "ir", "iq", "il", "jp", "jo", "kz", "kw", "kg", "la",
              "lb", "mo", "my", "mv", "mn", "mm", "np", "kp", "om", "pk", "ph", "qa", "sa",
              "sg", "kr", "lk", "sy", "tw", "tj", "th", "tr", "tm", "ae", "uz", "vn", "ye"}},
    {"NAme", {"",   "ai", "ag", "aw", "bs", "bb", "bz", "bm", "vg", "ca", "ky", "cr",
              "cu", "dm", "do", "sv", "gl", "gd", "gt", "ht", "hn", "jm", "mq", "mx",
              "ms", "ni", "pa", "pr", "kn", "lc", "pm", "vc", "tt", "tc", "us", "vi"}},
    {"SAme",
     {"", "ar", "bo", "br", "cl", "co", "ec", "fk", "gy", "py", "pe", "gs", "sr", "uy", "ve"}},
    {"Ocea", {"",   "as", "au", "ck", "fj", "pf", "gu", "ki", "mh", "fm", "nr", "nz",
              "nu", "nf", "mp", "pw", "pg", "pn", "ws", "sb", "to", "tv", "vu", "wf"}},
    {"Afri", {"",   "dz", "ao", "bj", "bw", "bf", "bi", "cm", "cv", "cf", "td", "km", "cg", "cd",
              "dj", "eg", "gq", "er", "et", "ga", "gm", "gh", "gn", "gw", "ci", "ke", "ls", "lr",
              "ly", "mg", "mw", "ml", "mr", "mu", "ma", "mz", "na", "ne", "ng", "rw", "sh", "st",
              "sn", "sc", "sl", "so", "za", "sd", "sz", "tz", "tg", "tn", "ug", "zm", "zw"}},
    {"Lang", {"gb", "ru", "de", "fr", "es", "cn", "it", "cz", "jp", "kr"}},
};

// The flag pictures come from Debian's famfamfam-flag-png; a missing one (or "Unknown")
// becomes a neutral grey flag with a question mark.
QImage FlagStrip(const std::string& list, const QString& flagDir) {
  const auto& codes = kFlagCodes.at(list);
  QImage img = Blank(static_cast<int>(codes.size()) * 16, 11);
  QPainter p(&img);
  for (size_t i = 0; i < codes.size(); ++i) {
    const QRect cell(static_cast<int>(i) * 16, 0, 16, 11);
    QImage flag;
    if (codes[i][0] != '\0') flag.load(flagDir + "/" + codes[i] + ".png");
    const std::string code = codes[i];
    if (!flag.isNull()) {
      p.drawImage(cell, flag);
    } else if (code == "gg" || code == "je" || code == "im") {
      // Three islands the flag set lacks, drawn plainly: Guernsey's red cross with a gold
      // one inside, Jersey's red saltire, the Isle of Man's red field with a white emblem.
      const QRectF f(cell.x(), 0, 16, 11);
      p.fillRect(f, code == "im" ? QColor(0xcf, 0x14, 0x2b) : QColor(Qt::white));
      p.setRenderHint(QPainter::Antialiasing, code != "gg");
      if (code == "gg") {
        p.fillRect(QRectF(f.x() + 6, 0, 4, 11), QColor(0xe8, 0x11, 0x2d));
        p.fillRect(QRectF(f.x(), 3.5, 16, 4), QColor(0xe8, 0x11, 0x2d));
        p.fillRect(QRectF(f.x() + 7.5, 2, 1, 7), QColor(0xf9, 0xdd, 0x16));
        p.fillRect(QRectF(f.x() + 5, 5, 6, 1), QColor(0xf9, 0xdd, 0x16));
      } else if (code == "je") {
        p.setPen(QPen(QColor(0xdf, 0x11, 0x2d), 1.6));
        p.drawLine(f.topLeft(), f.bottomRight());
        p.drawLine(f.bottomLeft(), f.topRight());
      } else {
        p.setPen(QPen(Qt::white, 1.2));
        const QPointF c = f.center();
        for (int k = 0; k < 3; ++k) {
          const double a = -M_PI / 2 + k * 2 * M_PI / 3;
          p.drawLine(c, c + QPointF(std::cos(a) * 3.5, std::sin(a) * 3.5));
        }
      }
      p.setRenderHint(QPainter::Antialiasing, false);
    } else {
      p.fillRect(cell.adjusted(0, 0, -1, -1), QColor(0xc8, 0xc8, 0xcc));
      p.setPen(QColor(0x60, 0x60, 0x68));
      p.drawRect(cell.adjusted(0, 0, -1, -1));
      p.setFont(Font("DejaVu Sans", 9));
      p.drawText(cell, Qt::AlignCenter, "?");
    }
  }
  return img;
}

// ---- button pieces: grey so the program can tint them to any body colour ----

QImage ButtonPiece(const std::string& name) {
  const bool nata = name[0] == 'Q';
  const int h = std::stoi(name.substr(1, 2)) + 1;  // 30, 45, 60
  const char part = name.back();
  const int endW = h * 2 / 5;
  const int w = part == '2' ? 4 : endW;
  QImage img = Blank(w, h);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // The full button body, of which each piece is a window: left end, right end or middle.
  const double full = endW * 2 + 4;
  const double offset = part == 'L' ? 0 : part == 'R' ? -(full - endW) : -endW;
  QRectF body(offset + 0.5, 0.5, full - 1, h - 1);
  const double radius = nata ? h * 0.5 - 1 : h * 0.22;
  QLinearGradient g(0, 0, 0, h);
  if (nata) {  // glossy: a bright cap over a darker lower half
    g.setColorAt(0, QColor(250, 250, 250));
    g.setColorAt(0.48, QColor(200, 200, 200));
    g.setColorAt(0.52, QColor(150, 150, 150));
    g.setColorAt(1, QColor(205, 205, 205));
  } else {  // rounded bar, lit from above
    g.setColorAt(0, QColor(235, 235, 235));
    g.setColorAt(0.3, QColor(200, 200, 200));
    g.setColorAt(0.8, QColor(140, 140, 140));
    g.setColorAt(1, QColor(110, 110, 110));
  }
  p.setPen(QPen(QColor(60, 60, 60), 1.0));
  p.setBrush(g);
  p.drawRoundedRect(body, radius, radius);
  if (!nata) {
    p.setPen(QPen(QColor(255, 255, 255, 140), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(1.5, 1.5, -1.5, -1.5), radius - 1, radius - 1);
  }
  return img;
}

// ---- cursors: 32 x 32 frames; the wait cursor is an 8-frame strip ----

QImage Cursor(const std::string& name) {
  if (name == "CURWAIT") {
    return Strip(8, 32, [](QPainter& p, int f) {
      for (int i = 0; i < 8; ++i) {
        const double a = (i + f) * M_PI / 4;
        QColor c = QColor(0xc8, 0x10, 0x2e);
        c.setAlpha(60 + i * 24);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(c);
        p.drawEllipse(QPointF(16 + std::cos(a) * 10, 16 + std::sin(a) * 10), 3.2, 3.2);
      }
    });
  }
  QImage img = Blank(32, 32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor red(0xd0, 0x10, 0x28);
  p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(red);
  if (name == "CURARROW") {  // hot spot (1, 1)
    QPolygonF arrow;
    arrow << QPointF(1, 1) << QPointF(1, 22) << QPointF(6.5, 17) << QPointF(10.5, 26)
          << QPointF(14, 24.5) << QPointF(10, 16) << QPointF(17, 16);
    p.drawPolygon(arrow);
  } else if (name == "CURHAND") {  // hot spot (10, 1): the fingertip
    QPainterPath hand;
    hand.addRoundedRect(QRectF(8, 1, 5, 16), 2.5, 2.5);
    hand.addRoundedRect(QRectF(13, 8, 4.5, 10), 2.2, 2.2);
    hand.addRoundedRect(QRectF(17.5, 9, 4.5, 9), 2.2, 2.2);
    hand.addRoundedRect(QRectF(22, 10.5, 4.2, 8), 2, 2);
    hand.addRoundedRect(QRectF(7, 14, 19.2, 14), 5, 5);
    hand.addRoundedRect(QRectF(3, 13, 7, 4), 2, 2);
    hand.setFillRule(Qt::WindingFill);
    p.drawPath(hand.simplified());
  } else {  // CUREDIT: an I-beam, hot spot (16, 16)
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 5), QPointF(16, 27));
    p.drawLine(QPointF(11, 5), QPointF(21, 5));
    p.drawLine(QPointF(11, 27), QPointF(21, 27));
    p.setPen(QPen(red, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 5), QPointF(16, 27));
    p.drawLine(QPointF(11, 5), QPointF(21, 5));
    p.drawLine(QPointF(11, 27), QPointF(21, 27));
  }
  return img;
}

// Small pictograms shared by icons, popup items and contact rows, drawn into a unit box.
void Pictogram(QPainter& p, const std::string& what, const QRectF& r, const QColor& ink) {
  const double u = r.width() / 24;
  p.save();
  p.translate(r.topLeft());
  p.scale(u, u);
  p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  auto text = [&](const char* t, double px) {
    p.setFont(Font("DejaVu Sans", px));
    p.setPen(ink);
    p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QString::fromUtf8(t));
  };
  if (what == "GenCount") {
    p.drawRect(QRectF(4, 4, 16, 16));
    p.drawLine(QPointF(4, 10), QPointF(20, 10));
    p.drawLine(QPointF(12, 4), QPointF(12, 20));
  } else if (what == "Quit") {
    p.drawRect(QRectF(4, 3, 10, 18));
    p.drawLine(QPointF(10, 12), QPointF(21, 12));
    p.drawPolyline(QPolygonF({QPointF(17, 8), QPointF(21, 12), QPointF(17, 16)}));
  } else if (what == "ChangeName") {
    p.drawLine(QPointF(5, 19), QPointF(18, 6));
    p.drawLine(QPointF(15, 4), QPointF(20, 9));
    p.drawLine(QPointF(4, 20), QPointF(7, 20));
  } else if (what == "MSpeed") {
    p.drawArc(QRectF(3, 5, 18, 18), 0, 180 * 16);
    p.drawLine(QPointF(12, 14), QPointF(18, 8));
  } else if (what == "Help") {
    text("?", 18);
  } else if (what == "About" || what == "GAcAbout") {
    text("i", 18);
  } else if (what == "MRadio") {
    p.drawRect(QRectF(4, 9, 16, 11));
    p.drawLine(QPointF(6, 9), QPointF(16, 3));
    p.drawEllipse(QPointF(9, 14.5), 2.5, 2.5);
  } else if (what == "MChat") {
    p.drawRoundedRect(QRectF(3, 4, 18, 12), 3, 3);
    p.drawPolyline(QPolygonF({QPointF(7, 16), QPointF(6, 21), QPointF(11, 16)}));
  } else if (what == "GAcTelephone") {
    p.setPen(QPen(ink, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(4, 4, 16, 16), 180 * 16, 90 * 16);
  } else if (what == "GAcEMail") {
    p.drawRect(QRectF(3, 6, 18, 12));
    p.drawPolyline(QPolygonF({QPointF(3, 6), QPointF(12, 13), QPointF(21, 6)}));
  } else if (what == "GAcWebSite") {
    p.drawEllipse(QPointF(12, 12), 9, 9);
    p.drawEllipse(QPointF(12, 12), 4, 9);
    p.drawLine(QPointF(3, 12), QPointF(21, 12));
  } else if (what == "GAcSkype") {
    text("S", 16);
  } else if (what == "GAcOK") {
    text("OK", 10);
  } else if (what == "GAcVK") {
    text("VK", 10);
  } else if (what == "GAcTelegram") {
    p.drawPolygon(QPolygonF({QPointF(3, 11), QPointF(21, 4), QPointF(17, 20), QPointF(11, 15)}));
  } else if (what == "GAcFaceBook") {
    text("f", 18);
  } else if (what == "GAcTwitter") {
    text("t", 18);
  } else if (what == "GAcInstagramm") {
    p.drawRoundedRect(QRectF(4, 4, 16, 16), 4, 4);
    p.drawEllipse(QPointF(12, 12), 4, 4);
  } else if (what == "GAcYouTube") {
    p.setBrush(ink);
    p.drawPolygon(QPolygonF({QPointF(9, 7), QPointF(18, 12), QPointF(9, 17)}));
  }
  p.restore();
}

QColor ContactColour(const std::string& what) {
  static const std::map<std::string, QRgb> kColours = {
      {"GAcAbout", 0xff3a6ab4},   {"GAcTelephone", 0xff2a9a4a},  {"GAcEMail", 0xffb4641e},
      {"GAcWebSite", 0xff1e7aa8}, {"GAcSkype", 0xff14a0e0},      {"GAcOK", 0xffe8821e},
      {"GAcVK", 0xff4a76a8},      {"GAcTelegram", 0xff2aa0d8},   {"GAcFaceBook", 0xff3b5998},
      {"GAcTwitter", 0xff1da1f2}, {"GAcInstagramm", 0xffc13584}, {"GAcYouTube", 0xffe01e1e}};
  auto it = kColours.find(what);
  return it == kColours.end() ? QColor(0x60, 0x60, 0x60) : QColor::fromRgba(it->second);
}

QImage Icon48(const std::string& what) {
  QImage img = Blank(48, 48);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(2, 2, 44, 44);
  if (what == "notice") {
    Lamp(p, QPointF(24, 24), 21, QColor(0xe8, 0xa0, 0x14));
    p.setFont(Font("DejaVu Serif", 30));
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, "!");
  } else if (what == "account") {
    RoundPanel(p, r, 10, QColor(0x6a, 0x9a, 0xe0), QColor(0x1e, 0x3a, 0x8a),
               QColor(0x10, 0x20, 0x50));
    p.setClipRect(r.adjusted(1, 1, -1, -1));
    Person(p, QRectF(8, 8, 32, 40), QColor(0xf0, 0xf4, 0xff), false);
  } else if (what == "Tour") {
    RoundPanel(p, r, 10, QColor(0x3a, 0x1a, 0x6a), QColor(0x14, 0x08, 0x30), kGold);
    Cup(p, QRectF(9, 6, 30, 36), kGold);
  } else if (what == "Top") {
    RoundPanel(p, r, 10, QColor(0x1e, 0x6a, 0x3a), QColor(0x08, 0x30, 0x14), kGold);
    p.setFont(Font("DejaVu Serif", 20));
    p.setPen(kGold);
    p.drawText(r, Qt::AlignCenter, "10");
    p.setPen(QPen(kGold, 2));
    p.drawArc(QRectF(8, 8, 32, 34), 200 * 16, 140 * 16);
  } else if (what == "Stat") {
    RoundPanel(p, r, 10, QColor(0xf0, 0xf0, 0xf4), QColor(0xc0, 0xc4, 0xd0),
               QColor(0x50, 0x50, 0x60));
    const double heights[] = {14, 24, 18, 30};
    const QRgb colours[] = {0xff1e64c8, 0xffc81e3c, 0xff1ea050, 0xffe8a014};
    for (int i = 0; i < 4; ++i)
      p.fillRect(QRectF(9 + i * 8, 40 - heights[i], 6, heights[i]), QColor::fromRgba(colours[i]));
  } else if (what == "Windows") {  // a desktop monitor: the computer players' tables
    RoundPanel(p, QRectF(4, 6, 40, 28), 3, QColor(0x40, 0x80, 0xd0), QColor(0x10, 0x30, 0x80),
               QColor(0x20, 0x20, 0x30));
    p.fillRect(QRectF(20, 34, 8, 6), QColor(0x50, 0x50, 0x58));
    p.fillRect(QRectF(12, 40, 24, 4), QColor(0x50, 0x50, 0x58));
    PaintPip(p, 3, PipSet::kFrench, QRectF(16, 10, 16, 18), Qt::white);
  } else if (what == "Android") {  // a phone: the mobile players' tables
    RoundPanel(p, QRectF(13, 3, 22, 42), 5, QColor(0x5a, 0xc8, 0x5a), QColor(0x1e, 0x7a, 0x2a),
               QColor(0x10, 0x40, 0x10));
    p.fillRect(QRectF(16, 8, 16, 28), QColor(0xf0, 0xff, 0xf0));
    PaintPip(p, 0, PipSet::kFrench, QRectF(18, 14, 12, 14), QColor(0xc8, 0x10, 0x2e));
  }
  return img;
}

}  // namespace

std::vector<QImage> DrawInterface(const Asset& a, int* delayCs) {
  *delayCs = 10;
  const std::string& k = a.kind;
  const std::string& n = a.name;
  const std::string arg0 = a.args.empty() ? "" : a.args[0];
  const int w = a.width, h = a.height;

  if (k == "colourback") return {DrawColourBack(arg0, w, h)};
  if (k == "place") return {DrawPlace(a.args.back(), w, h)};
  if (k == "gifback") {  // a quiet, few-colour table for recordings
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    QRadialGradient g(QPointF(w / 2.0, h / 2.0), w * 0.7);
    g.setColorAt(0, QColor(0x1e, 0x82, 0x46));
    g.setColorAt(1, QColor(0x0a, 0x50, 0x28));
    p.fillRect(img.rect(), g);
    return {img};
  }
  if (k == "plate") {  // a speech plate behind a seat's text
    static const std::map<std::string, QRgb> kPlates = {{"Blue", 0xff2a64c8},
                                                        {"Green", 0xff1e9a46},
                                                        {"Red", 0xffc8282e},
                                                        {"Yellow", 0xffe8c21e},
                                                        {"Fiolet", 0xff8a2ac8}};
    const QColor c = QColor::fromRgba(kPlates.at(arg0));
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    RoundPanel(p, QRectF(0.5, 0.5, w - 1, h - 1), h / 2.0 - 1, c.lighter(150), c.darker(115),
               c.darker(170));
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    p.drawLine(QPointF(h / 2.0, 2.5), QPointF(w - h / 2.0, 2.5));
    return {img};
  }
  if (k == "overlay") {  // drawn over a card: o back row, a middle, y front, b the picked card
    static const std::map<std::string, QRgb> kTints = {
        {"o", 0xffe84a14}, {"a", 0xff1e8ae6}, {"y", 0xffe8c814}, {"b", 0xff14c83c}};
    const QColor c = QColor::fromRgba(kTints.at(arg0));
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QColor wash = c;
    wash.setAlpha(arg0 == "b" ? 40 : 60);
    p.fillRect(img.rect(), wash);
    p.setPen(QPen(c, 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 1.5, w - 3, h - 3));
    if (arg0 == "b") {  // a check mark in the corner
      p.setPen(QPen(c.darker(130), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPolyline(
          QPolygonF({QPointF(w - 20, h - 14), QPointF(w - 14, h - 8), QPointF(w - 5, h - 20)}));
    }
    return {img};
  }
  if (k == "buttonpiece") return {ButtonPiece(n)};
  if (k == "memoframe") {  // the chat strip's frame
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = w / 130.0;
    RoundPanel(p, QRectF(1, 1, w - 2, h - 2), 6 * s, QColor(0xfc, 0xf8, 0xe8),
               QColor(0xec, 0xe2, 0xc4), QColor(0x6a, 0x4a, 0x1e));
    p.setPen(QPen(QColor(0xc8, 0xb0, 0x80), 0.8 * s));
    for (int i = 1; i <= 4; ++i)
      p.drawLine(QPointF(8 * s, (14 * i + 6) * s), QPointF(w - 8 * s, (14 * i + 6) * s));
    return {img};
  }
  if (k == "tablet" || k == "konbox") {
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    RoundPanel(p, QRectF(1, 1, w - 2, h - 2), 8, QColor(0x2a, 0x2a, 0x34, 220),
               QColor(0x10, 0x10, 0x18, 220), kGold);
    if (k == "tablet") {  // a big box for the total and three small ones for the rows
      p.setPen(QPen(kGold.darker(130), 1));
      p.setBrush(QColor(0, 0, 0, 90));
      p.drawRoundedRect(QRectF(8, 8, w - 16, h * 0.45), 4, 4);
      const double bw = (w - 24) / 3.0;
      for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(8 + i * (bw + 4), h * 0.58, bw, h * 0.34), 4, 4);
    }
    return {img};
  }
  if (k == "timer") {  // the club move clock's face
    const QColor c = arg0 == "R" ? QColor(0xc8, 0x1e, 0x1e) : QColor(0xe8, 0xc0, 0x14);
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    Lamp(p, QPointF(w / 2.0, h / 2.0), w / 2.0 - 1.5, c);
    return {img};
  }
  if (k == "logo") {  // three rows of cards in a fan: the program's mark
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[3] = {QColor(0xc8, 0x10, 0x2e), QColor(0x1e, 0x3a, 0x8a),
                               QColor(0x1e, 0x7a, 0x3a)};
    for (int i = 0; i < 3; ++i) {
      p.save();
      p.translate(w / 2.0, h * 0.9);
      p.rotate(-24 + i * 24);
      RoundPanel(p, QRectF(-w * 0.17, -h * 0.78, w * 0.34, h * 0.5), 3, Qt::white,
                 QColor(0xee, 0xee, 0xe8), QColor(0x30, 0x30, 0x40));
      PaintPip(p,
               i == 1   ? 3
               : i == 0 ? 0
                        : 2,
               PipSet::kFrench, QRectF(-w * 0.1, -h * 0.68, w * 0.2, h * 0.24), colours[i]);
      p.restore();
    }
    return {img};
  }
  if (k == "titlewalkers") {  // the four suits walking round the title screen, 60 x 70 each
    QImage img(240, 70, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(0xc0, 0xc0, 0xc0));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c[4] = {QColor(0xc8, 0x10, 0x2e), QColor(0xc8, 0x10, 0x2e), Qt::black, Qt::black};
    for (int i = 0; i < 4; ++i) {
      RoundPanel(p, QRectF(i * 60 + 6, 4, 48, 62), 5, Qt::white, QColor(0xf0, 0xf0, 0xe8),
                 QColor(0x40, 0x40, 0x48));
      PaintPip(p, i, PipSet::kFrench, QRectF(i * 60 + 14, 17, 32, 36), c[i]);
    }
    return {img};
  }
  if (k == "caption") {  // "Cap": the game's title over its description
    const int lang = LanguageOf(arg0);
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QFont title = Font("DejaVu Serif", h * 0.62);
    title.setLetterSpacing(QFont::PercentageSpacing, 108);
    ShadowText(p, QRectF(0, 0, w, h * 0.72), "TRILANE", title, QColor(0xff, 0xd8, 0x3c),
               Qt::AlignCenter, QColor(0x5a, 0x1a, 0x0a));
    const QString sub = QString::fromUtf8(kPictureTitles.at("Cap")[lang]);
    ShadowText(p, QRectF(0, h * 0.68, w, h * 0.32), sub,
               Font(FamilyFor(sub, "DejaVu Sans"), h * 0.24, true, true), QColor(0xff, 0xf4, 0xe0));
    return {img};
  }
  if (k == "elite") {
    const int lang = LanguageOf(arg0);
    const QString t =
        QString::fromUtf8(kPictureTitles.at(a.args[1] == "net" ? "Net" : "Elite")[lang]);
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    ShadowText(p, QRectF(0, 0, w, h), t, Font(FamilyFor(t, "DejaVu Serif"), h * 0.7, true, true),
               a.args[1] == "net" ? QColor(0x8c, 0xdc, 0xff) : QColor(0xff, 0xc8, 0x50),
               Qt::AlignCenter, QColor(0x20, 0x10, 0x30));
    return {img};
  }
  if (k == "menutitle") {  // the plate behind the top three of the main menu
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    RoundPanel(p, QRectF(1, 1, w - 2, h - 2), 12, QColor(0x3a, 0x14, 0x5a, 200),
               QColor(0x14, 0x06, 0x24, 200), kGold);
    Cup(p, QRectF(8, 12, 56, 66), kGold);
    Cup(p, QRectF(w - 64, 12, 56, 66), kGold);
    return {img};
  }
  if (k == "menupanel") {  // side pictures of the main menu
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const bool left = arg0 == "1";
    const int suits[3] = {left ? 0 : 2, left ? 1 : 3, left ? 3 : 0};
    for (int i = 0; i < 3; ++i) {
      p.save();
      p.translate(w / 2.0, h * 0.95);
      p.rotate((i - 1) * 12.0 * (left ? 1 : -1));
      RoundPanel(p, QRectF(-38, -h * 0.8, 76, 108), 6, Qt::white, QColor(0xf2, 0xee, 0xe0),
                 QColor(0x30, 0x30, 0x40));
      PaintPip(p, suits[i], PipSet::kFrench, QRectF(-22, -h * 0.8 + 26, 44, 52),
               suits[i] < 2 ? QColor(0xc8, 0x10, 0x2e) : QColor(0x1a, 0x1a, 0x1a));
      p.restore();
    }
    return {img};
  }
  if (k == "menuanim") {  // 16 frames: a card turning over (1) or suits circling (2)
    *delayCs = 12;
    const bool turn = arg0 == "1";
    return Frames(16, w, h, [&](QPainter& p, int f) {
      p.fillRect(QRect(0, 0, w, h), QColor(0x0a, 0x50, 0x28));
      if (turn) {
        const double phase = std::cos(f * 2 * M_PI / 16);
        const double cw = 100 * std::abs(phase);
        const QRectF card(w / 2.0 - cw / 2, 30, std::max(2.0, cw), 140);
        if (phase >= 0) {
          RoundPanel(p, card, 8, Qt::white, QColor(0xf0, 0xec, 0xe0), Qt::black);
          PaintPip(p, 3, PipSet::kFrench, QRectF(card.center().x() - cw * 0.3, 70, cw * 0.6, 60),
                   Qt::black);
        } else {
          RoundPanel(p, card, 8, QColor(0x2a, 0x50, 0xc8), QColor(0x14, 0x28, 0x78), Qt::black);
        }
      } else {
        for (int i = 0; i < 4; ++i) {
          const double ang = f * 2 * M_PI / 16 + i * M_PI / 2;
          const QPointF c(w / 2.0 + std::cos(ang) * 48, h / 2.0 + std::sin(ang) * 60);
          PaintPip(p, i, PipSet::kFrench, QRectF(c.x() - 20, c.y() - 22, 40, 44),
                   i < 2 ? QColor(0xe8, 0x28, 0x3c) : QColor(0xf0, 0xf0, 0xf0));
        }
      }
    });
  }
  if (k == "icon") return {Icon48(a.args.size() > 1 ? a.args[1] : arg0)};
  if (k == "chatanim") {
    *delayCs = 25;
    return Frames(4, w, h, [&](QPainter& p, int f) {
      p.fillRect(QRect(0, 0, w, h), QColor(0x14, 0x3c, 0x78));
      RoundPanel(p, QRectF(4, 8, 40, 26), 8, Qt::white, QColor(0xe0, 0xe8, 0xf8),
                 QColor(0x10, 0x20, 0x40));
      p.setBrush(Qt::white);
      p.drawPolygon(QPolygonF({QPointF(12, 33), QPointF(10, 42), QPointF(20, 33)}));
      for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(i <= f - 1 ? QColor(0x1e, 0x50, 0xa0) : QColor(0xb0, 0xc0, 0xe0));
        p.drawEllipse(QPointF(14 + i * 10, 21), 3.5, 3.5);
      }
    });
  }
  if (k == "popupicons") {
    static const char* const kItems[8] = {"GenCount", "Quit",  "ChangeName", "MSpeed",
                                          "Help",     "About", "MRadio",     "MChat"};
    return {Strip(8, 24, [](QPainter& p, int i) {
      Pictogram(p, kItems[i], QRectF(0, 0, 24, 24), QColor(0x1e, 0x3a, 0x8a));
    })};
  }
  if (k == "cursor") return {Cursor(n)};
  if (k == "clockface") {
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    RoundPanel(p, QRectF(1, 1, w - 2, h - 2), 10, QColor(0x30, 0x30, 0x3a),
               QColor(0x08, 0x08, 0x10), QColor(0x90, 0x90, 0xa0));
    p.fillRect(QRectF(10, 10, w - 20, h - 20), QColor(0x10, 0x24, 0x14));
    return {img};
  }
  if (k == "clockdigit" || k == "infodigit") {  // seven-segment digits
    const int d = n.back() - '0';
    QColor on = QColor(0x4c, 0xff, 0x6a);
    if (k == "infodigit") {
      static const std::map<std::string, QRgb> kSets = {
          {"R", 0xffff4a4a}, {"A", 0xff4ae8ff}, {"G", 0xff4cff6a}, {"Y", 0xffffe84a},
          {"V", 0xffd07aff}, {"L", 0xffa0c8ff}, {"N", 0xffffa040}};
      on = QColor::fromRgba(kSets.at(arg0));
    }
    static const int kSegments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double t = std::max(2.0, w * 0.18), m = t / 2 + 0.5;
    const QPointF pts[6] = {{m, m},         {w - m, m}, {w - m, h / 2.0},
                            {w - m, h - m}, {m, h - m}, {m, h / 2.0}};
    const int seg[7][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 0}, {5, 2}};
    for (int s = 0; s < 7; ++s) {
      QColor c = (kSegments[d] >> s) & 1 ? on : on.darker(600);
      if (!((kSegments[d] >> s) & 1)) c.setAlpha(70);
      p.setPen(QPen(c, t, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(pts[seg[s][0]], pts[seg[s][1]]);
    }
    return {img};
  }
  if (k == "clockcolon") {
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4c, 0xff, 0x6a));
    p.drawEllipse(QPointF(w / 2.0, h * 0.25), w * 0.38, w * 0.38);
    p.drawEllipse(QPointF(w / 2.0, h * 0.75), w * 0.38, w * 0.38);
    return {img};
  }
  if (k == "lamp" || k == "tourlamp") {
    static const std::map<std::string, QRgb> kLamps = {{"R", 0xffd01e1e},
                                                       {"Y", 0xffe8c014},
                                                       {"G", 0xff1eb43c},
                                                       {"On", 0xff1eb43c},
                                                       {"Off", 0xff7a7a80}};
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    Lamp(p, QPointF(w / 2.0, h / 2.0), w / 2.0 - 1.5, QColor::fromRgba(kLamps.at(arg0)));
    return {img};
  }
  if (k == "star") {  // a turning, twinkling star
    static const std::map<std::string, QRgb> kStars = {
        {"R", 0xffe0283c}, {"Y", 0xfff0c814}, {"G", 0xff28c84a}};
    const QColor c = QColor::fromRgba(kStars.at(arg0));
    *delayCs = 8;
    return Frames(12, w, h, [&](QPainter& p, int f) {
      p.fillRect(QRect(0, 0, w, h), QColor(0xc0, 0xc0, 0xc0));
      Star(p, QPointF(w / 2.0, h / 2.0), w * (0.38 + 0.06 * std::sin(f * M_PI / 6)), f * M_PI / 30,
           c);
    });
  }
  if (k == "sexmark") {
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const bool woman = arg0 == "Woman";
    Person(p, QRectF(0, 0, w, h), woman ? QColor(0xd8, 0x3c, 0x8a) : QColor(0x2a, 0x5a, 0xc8),
           woman);
    return {img};
  }
  if (k == "nophoto") {  // default photo, 200 x 250
    const bool woman = arg0 == "F";
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, woman ? QColor(0xf8, 0xe0, 0xec) : QColor(0xdc, 0xe8, 0xf8));
    g.setColorAt(1, woman ? QColor(0xd8, 0xa8, 0xc0) : QColor(0xa0, 0xb8, 0xd8));
    p.fillRect(img.rect(), g);
    Person(p, QRectF(20, 40, 160, 210), woman ? QColor(0xa8, 0x5a, 0x7a) : QColor(0x5a, 0x70, 0x98),
           woman);
    return {img};
  }
  if (k == "photoframe") {  // a gilt frame with a 200 x 250 window at (20, 20)
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath frame;
    frame.addRoundedRect(QRectF(0, 0, w, h), 10, 10);
    QPainterPath window;
    window.addRect(QRectF(20, 20, 200, 250));
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, QColor(0xf0, 0xd8, 0x80));
    g.setColorAt(0.5, QColor(0xa8, 0x80, 0x28));
    g.setColorAt(1, QColor(0xe8, 0xc8, 0x60));
    p.fillPath(frame.subtracted(window), g);
    p.setPen(QPen(QColor(0x6a, 0x4a, 0x10), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(19.5, 19.5, 201, 251));
    p.drawRoundedRect(QRectF(6, 6, w - 12, h - 12), 6, 6);
    return {img};
  }
  if (k == "contacticon") {
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = ContactColour(n);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QRectF(0.5, 0.5, w - 1, h - 1));
    Pictogram(p, n, QRectF(2, 2, w - 4, h - 4), Qt::white);
    return {img};
  }
  if (k == "clubanim") {  // mode emblems, gently pulsing
    static const std::map<std::string, std::pair<QRgb, int>> kModes = {
        {"A", {0xff1eb43c, 3}}, {"B", {0xffe8c014, 0}}, {"C", {0xff2a64c8, 2}},
        {"E", {0xff8a2ac8, 1}}, {"F", {0xffc8282e, 0}}, {"G", {0xff14a0a0, 3}}};
    const auto [rgb, suit] = kModes.at(arg0);
    const QColor c = QColor::fromRgba(rgb);
    *delayCs = 10;
    return Frames(10, w, h, [&, suit = suit](QPainter& p, int f) {
      p.fillRect(QRect(0, 0, w, h), QColor(0x10, 0x10, 0x18));
      const double pulse = 0.85 + 0.15 * std::sin(f * 2 * M_PI / 10);
      Lamp(p, QPointF(w / 2.0, h / 2.0), w * 0.45 * pulse, c);
      PaintPip(p, suit, PipSet::kFrench, QRectF(w * 0.3, h * 0.28, w * 0.4, h * 0.44), Qt::white);
    });
  }
  if (k == "toptenanim") {
    *delayCs = 10;
    return Frames(10, w, h, [&](QPainter& p, int f) {
      p.fillRect(QRect(0, 0, w, h), QColor(0x20, 0x0c, 0x38));
      Cup(p, QRectF(8, 6, 48, 54), kGold);
      Star(p, QPointF(16 + f * 3.5, 14 + (f % 3) * 4), 4 + (f % 2) * 2, f * 0.3,
           QColor(0xff, 0xff, 0xc8));
    });
  }
  if (k == "endcycle") {
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (arg0 == "Best") {
      for (int i = 0; i < 12; ++i)
        Star(p, QPointF(64 + std::cos(i * M_PI / 6) * 54, 64 + std::sin(i * M_PI / 6) * 54), 7, i,
             QColor(0xf0, 0xc8, 0x14));
      Cup(p, QRectF(24, 20, 80, 92), kGold);
    } else if (arg0 == "Good") {
      Lamp(p, QPointF(64, 64), 52, QColor(0x1e, 0xa0, 0x46));
      Star(p, QPointF(64, 64), 36, 0, QColor(0xf0, 0xd0, 0x30));
    } else {  // regrets: a tear-streaked grey moon
      Lamp(p, QPointF(64, 64), 52, QColor(0x70, 0x78, 0x90));
      p.setPen(QPen(QColor(0x20, 0x20, 0x30), 4, Qt::SolidLine, Qt::RoundCap));
      p.drawArc(QRectF(40, 74, 48, 30), 20 * 16, 140 * 16);
      p.setBrush(QColor(0x20, 0x20, 0x30));
      p.drawEllipse(QPointF(48, 54), 5, 6);
      p.drawEllipse(QPointF(80, 54), 5, 6);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0x8c, 0xc8, 0xff));
      p.drawEllipse(QPointF(48, 68), 3, 5);
    }
    return {img};
  }
  if (k == "medal" || k == "smallmedal") {
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const int place = k == "smallmedal" ? std::stoi(arg0) : 1;
    const QColor metal = place == 1   ? QColor(0xe8, 0xc0, 0x30)
                         : place == 2 ? QColor(0xc8, 0xcc, 0xd4)
                                      : QColor(0xc0, 0x78, 0x3a);
    // Ribbon.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc8, 0x1e, 0x2e));
    p.drawPolygon(QPolygonF({QPointF(w * 0.25, 0), QPointF(w * 0.45, 0),
                             QPointF(w * 0.55, h * 0.45), QPointF(w * 0.4, h * 0.5)}));
    p.setBrush(QColor(0x1e, 0x3a, 0xa8));
    p.drawPolygon(QPolygonF({QPointF(w * 0.75, 0), QPointF(w * 0.55, 0),
                             QPointF(w * 0.45, h * 0.45), QPointF(w * 0.6, h * 0.5)}));
    Lamp(p, QPointF(w / 2.0, h * 0.64), w * 0.34, metal);
    if (k == "smallmedal") {
      p.setFont(Font("DejaVu Sans", h * 0.36));
      p.setPen(metal.darker(250));
      p.drawText(QRectF(0, h * 0.3, w, h * 0.68), Qt::AlignCenter, QString::number(place));
    }
    return {img};
  }
  if (k == "placenumber") {  // the place number drawn over the medal
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    ShadowText(p, QRectF(0, 0, w, h), QString::number(std::stoi(arg0)),
               Font("DejaVu Serif", h * 0.62), QColor(0x5a, 0x32, 0x00), Qt::AlignCenter,
               QColor(0xff, 0xf0, 0xb0));
    return {img};
  }
  if (k == "qors") {  // the club currency: a coin, or a pile of coins
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    auto coin = [&](const QPointF& c, double r) {
      Lamp(p, c, r, QColor(0xe8, 0xb8, 0x28));
      p.setFont(Font("DejaVu Serif", r * 1.1));
      p.setPen(QColor(0x7a, 0x50, 0x00));
      p.drawText(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), Qt::AlignCenter, "Q");
    };
    if (a.args.back() == "coin") {
      coin(QPointF(64, 64), 56);
    } else {
      for (int i = 0; i < 5; ++i) coin(QPointF(40 + (i % 2) * 48, 100 - i * 16), 26);
      coin(QPointF(70, 38), 30);
    }
    return {img};
  }
  if (k == "siren") {  // red flashing light: a new message waits
    *delayCs = 15;
    return Frames(6, w, h, [&](QPainter& p, int f) {
      p.fillRect(QRect(0, 0, w, h), QColor(0x14, 0x3c, 0x78));
      const QColor c = f % 2 ? QColor(0xff, 0x3c, 0x3c) : QColor(0x90, 0x10, 0x10);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0x40, 0x40, 0x48));
      p.drawRect(QRectF(8, 36, 32, 8));
      QRadialGradient g(QPointF(24, 24), 18);
      g.setColorAt(0, c.lighter(170));
      g.setColorAt(1, c);
      p.setBrush(g);
      p.drawChord(QRectF(10, 10, 28, 52), 0, 180 * 16);
      if (f % 2) {
        p.setPen(QPen(QColor(255, 220, 120), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, 14), QPointF(9, 18));
        p.drawLine(QPointF(44, 14), QPointF(39, 18));
        p.drawLine(QPointF(24, 2), QPointF(24, 7));
      }
    });
  }
  if (k == "newmark") {
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    RoundPanel(p, QRectF(0.5, 0.5, w - 1, h - 1), h / 2.0 - 1, QColor(0xff, 0x5a, 0x3c),
               QColor(0xc8, 0x1e, 0x14), QColor(0x7a, 0x10, 0x0a));
    p.setFont(Font("DejaVu Sans", h * 0.6));
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, w, h), Qt::AlignCenter, "NEW");
    return {img};
  }
  if (k == "sendbutton") {  // red at rest, green when pressed
    const QColor c = arg0 == "R" ? QColor(0xc8, 0x1e, 0x28) : QColor(0x1e, 0xa0, 0x46);
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    RoundPanel(p, QRectF(1, 1, w - 2, h - 2), 8, c.lighter(150), c.darker(120), c.darker(200));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(w * 0.3, h * 0.25), QPointF(w * 0.74, h * 0.5),
                             QPointF(w * 0.3, h * 0.75), QPointF(w * 0.38, h * 0.5)}));
    return {img};
  }
  if (k == "waitbar") {
    QImage img = Blank(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    RoundPanel(p, QRectF(1, 1, w - 2, h - 2), 8, QColor(0xff, 0xf8, 0xd0), QColor(0xf0, 0xd8, 0x80),
               QColor(0x7a, 0x5a, 0x10));
    for (int i = 0; i < 6; ++i) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0xe8, 0x8c, 0x14, 80 + i * 30));
      p.drawEllipse(QPointF(w - 70 + i * 10, h / 2.0), 3.5, 3.5);
    }
    return {img};
  }
  if (k == "flags") {
    return {FlagStrip(
        arg0, qEnvironmentVariable("TRILANE_FLAG_DIR", "/usr/share/flags/countries/16x11"))};
  }
  if (k == "capbar") {  // the caption bar of the "Gray aristocratic" windows
    const int width = std::stoi(n.substr(4));
    QImage img(width, 64, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 64);
    g.setColorAt(0, QColor(0x8a, 0x14, 0x1e));
    g.setColorAt(0.5, QColor(0x5a, 0x08, 0x10));
    g.setColorAt(1, QColor(0x3a, 0x04, 0x08));
    p.fillRect(img.rect(), g);
    p.setPen(QPen(kGold, 2));
    p.drawLine(0, 3, width, 3);
    p.drawLine(0, 60, width, 60);
    p.setPen(QPen(kGold.darker(140), 1));
    p.drawLine(0, 7, width, 7);
    p.drawLine(0, 56, width, 56);
    return {img};
  }
  if (k == "ribbon") {  // the red ribbon of the "Gray with red ribbons" windows
    const size_t x = n.find('x');
    const int rw = std::stoi(n.substr(6, x - 6)), rh = std::stoi(n.substr(x + 1));
    QImage img = Blank(rw, rh);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double fold = rh * 0.22;
    QPainterPath ribbon;
    ribbon.moveTo(0, rh * 0.2);
    ribbon.lineTo(fold, rh * 0.5);
    ribbon.lineTo(0, rh * 0.8);
    ribbon.lineTo(rw, rh * 0.8);
    ribbon.lineTo(rw - fold, rh * 0.5);
    ribbon.lineTo(rw, rh * 0.2);
    ribbon.closeSubpath();
    QLinearGradient g(0, rh * 0.2, 0, rh * 0.8);
    g.setColorAt(0, QColor(0xe0, 0x2a, 0x34));
    g.setColorAt(0.5, QColor(0xb0, 0x10, 0x1e));
    g.setColorAt(1, QColor(0x78, 0x06, 0x10));
    p.setPen(QPen(QColor(0x50, 0x04, 0x08), 1.2));
    p.setBrush(g);
    p.drawPath(ribbon);
    QRectF band(fold * 0.7, rh * 0.2, rw - fold * 1.4, rh * 0.6);
    p.setPen(QPen(kGold, 1.2, Qt::DashLine));
    p.drawLine(QPointF(band.left(), band.top() + 4), QPointF(band.right(), band.top() + 4));
    p.drawLine(QPointF(band.left(), band.bottom() - 4), QPointF(band.right(), band.bottom() - 4));
    return {img};
  }
  if (k == "purplebg") return {DrawPurpleBackground(w, h, 17)};
  if (k == "formbg") {
    const std::string key = arg0;
    const QSize size = kFormSizes.at(key);
    QImage img = DrawPurpleBackground(size.width(), size.height(), HashName(key));
    return {img};
  }
  if (k == "lettering") {  // the window's title in gold letters, over the purple background
    const auto [stemWithKey, lang] = SplitLanguage(n.substr(5));  // after "GForm"
    static const std::map<std::string, std::string> kKeyStems = {
        {"Opt", "Options"},  {"Speed", "Speed"},     {"Pass", "Passport"},
        {"EndG", "EndGame"}, {"History", "History"}, {"Acc1", "MyAccount"}};
    std::string formKey = stemWithKey;
    QString title;
    if (auto it = kKeyStems.find(stemWithKey); it != kKeyStems.end()) {
      title = TitleFor(it->second, lang);
    } else {
      title = TitleFor(stemWithKey, "");
      formKey = stemWithKey.substr(0, stemWithKey.size() - 1);  // "PwL" -> "Pw"
    }
    auto size = kFormSizes.find(formKey);
    const QSize sz = size == kFormSizes.end() ? QSize(500, 400) : size->second;
    QImage img = Blank(sz.width(), sz.height());
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    ShadowText(p, QRectF(20, 12, sz.width() - 40, 64), title,
               Font(FamilyFor(title, "DejaVu Serif"), 40, true, true), kGold, Qt::AlignCenter,
               QColor(0x30, 0x08, 0x40));
    return {img};
  }
  if (k == "iconstrip") {  // an animated 48 x 48 emblem of the window, frames side by side
    const std::string key = n.substr(7);
    const int frames = kIconFrames.at(key);
    return {Strip(frames, 48, [&](QPainter& p, int f) {
      const double t = f / static_cast<double>(frames);
      const double turn = t * 2 * M_PI;
      QRadialGradient g(QPointF(24, 24), 24);
      g.setColorAt(0, QColor(0x7a, 0x2a, 0xb4));
      g.setColorAt(1, QColor(0x2a, 0x08, 0x48));
      p.setPen(Qt::NoPen);
      p.setBrush(g);
      p.drawEllipse(QRectF(1, 1, 46, 46));
      p.save();
      p.translate(24, 24);
      if (key == "Opt") {  // a turning cog
        p.rotate(t * 360 / 4);
        QPainterPath cog;
        for (int i = 0; i < 8; ++i) {
          p.save();
          p.rotate(i * 45);
          p.setBrush(kGold);
          p.drawRect(QRectF(-3.5, -17, 7, 8));
          p.restore();
        }
        cog.addEllipse(QPointF(0, 0), 12, 12);
        cog.addEllipse(QPointF(0, 0), 5, 5);
        p.setBrush(kGold);
        p.drawPath(cog);
      } else if (key == "Speed") {  // a card flying across
        const double x = -30 + 60 * t;
        p.setBrush(QColor(255, 255, 255, 60));
        p.drawRect(QRectF(x - 22, -6, 14, 12));
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(x - 8, -11, 16, 22), 2, 2);
        PaintPip(p, 0, PipSet::kFrench, QRectF(x - 5, -5, 10, 10), QColor(0xd0, 0x10, 0x28));
      } else if (key == "Pass" || key == "Acc") {  // a person, and a globe turning behind
        p.setPen(QPen(kGold, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(0, 0), 18, 18);
        p.drawEllipse(QPointF(0, 0), 18 * std::abs(std::cos(turn)), 18);
        p.drawLine(QPointF(-18, 0), QPointF(18, 0));
        p.translate(-24, -24);
        Person(p, QRectF(14, 12, 20, 28), key == "Acc" ? QColor(0x8c, 0xdc, 0xff) : kGold, false);
      } else if (key == "WT" || key == "Tour") {  // a trophy that glints
        p.translate(-24, -24);
        Cup(p, QRectF(9, 6, 30, 36), kGold);
        Star(p, QPointF(16 + 16 * t, 12 + 6 * std::sin(turn)), 3.5, turn, QColor(0xff, 0xff, 0xd0));
      } else if (key == "History" || key == "History2") {  // a clock
        p.setPen(QPen(kGold, 2));
        p.setBrush(QColor(0x20, 0x08, 0x38));
        p.drawEllipse(QPointF(0, 0), 17, 17);
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, 0), QPointF(std::sin(turn) * 13, -std::cos(turn) * 13));
        p.drawLine(QPointF(0, 0),
                   QPointF(std::sin(turn / 12 + 1) * 8, -std::cos(turn / 12 + 1) * 8));
      } else if (key == "COunt") {  // digits counting up
        QFont font = Font("DejaVu Sans Mono", 22);
        p.setFont(font);
        p.setPen(kGold);
        p.drawText(QRectF(-20, -14, 40, 28), Qt::AlignCenter,
                   QString::number(f % 60).rightJustified(2, '0'));
      } else if (key == "Chat") {  // a speech bubble with typing dots
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(-17, -13, 34, 22), 7, 7);
        p.drawPolygon(QPolygonF({QPointF(-9, 8), QPointF(-12, 16), QPointF(-2, 8)}));
        for (int i = 0; i < 3; ++i) {
          p.setBrush(i <= (f % 4) - 1 ? QColor(0x6a, 0x1a, 0xa8) : QColor(0xc8, 0xb0, 0xe0));
          p.drawEllipse(QPointF(-9 + i * 9, -2), 3, 3);
        }
      } else if (key == "Stat") {  // bars growing
        const QColor bars[4] = {QColor(0x4a, 0x9a, 0xff), QColor(0xff, 0x5a, 0x6a),
                                QColor(0x5a, 0xd8, 0x7a), kGold};
        for (int i = 0; i < 4; ++i) {
          const double h = 6 + 22 * (0.5 + 0.5 * std::sin(turn + i * 1.3));
          p.setBrush(bars[i]);
          p.drawRect(QRectF(-16 + i * 8.5, 16 - h, 6.5, h));
        }
      } else if (key == "Adv") {  // the four suits circling
        for (int i = 0; i < 4; ++i) {
          const double a = turn + i * M_PI / 2;
          PaintPip(p, i, PipSet::kFrench,
                   QRectF(std::cos(a) * 12 - 6, std::sin(a) * 12 - 6, 12, 12),
                   i < 2 ? QColor(0xff, 0x50, 0x60) : kGold);
        }
      } else {  // Thank: a beating heart
        const double beat = 1 + 0.15 * std::max(0.0, std::sin(turn * 2));
        p.scale(beat, beat);
        PaintPip(p, 0, PipSet::kFrench, QRectF(-14, -14, 28, 28), QColor(0xff, 0x3c, 0x5a));
      }
      p.restore();
    })};
  }
  if (k == "concise") {  // the 48-pixel header of the "Gray concise" windows
    const auto [stem, lang] = SplitLanguage(n);
    const QString title = TitleFor(stem, lang);
    auto it = kConciseWidths.find(stem);
    const int width = it == kConciseWidths.end() ? 500 : it->second;
    QImage img(width, 48, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, width, 0);
    g.setColorAt(0, QColor(0x5a, 0x5e, 0x6a));
    g.setColorAt(1, QColor(0xc8, 0xcc, 0xd4));
    p.fillRect(img.rect(), g);
    p.fillRect(QRect(0, 44, width, 4), QColor(0xc8, 0x1e, 0x28));
    ShadowText(p, QRectF(16, 2, width - 32, 42), title, Font(FamilyFor(title, "DejaVu Sans"), 28),
               Qt::white, Qt::AlignLeft | Qt::AlignVCenter);
    return {img};
  }
  if (k == "salute") {  // 30 frames of a burst of sparks, 100 x 100 each
    QImage img = Blank(3000, 100);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int f = 0; f < 30; ++f) {
      const double t = (f + 1) / 30.0;
      p.save();
      p.translate(f * 100 + 50, 50);
      for (int i = 0; i < 16; ++i) {
        const double ang = i * M_PI / 8 + (i % 2) * 0.2;
        const double r = 44 * std::sqrt(t) * (i % 2 ? 0.75 : 1.0);
        QColor c = QColor::fromHsv((i * 45 + f * 6) % 360, 200, 255);
        c.setAlpha(static_cast<int>(255 * (1 - t * t)));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(QPointF(std::cos(ang) * r, std::sin(ang) * r), 3.5 * (1.2 - t),
                      3.5 * (1.2 - t));
      }
      p.restore();
    }
    return {img};
  }
  return {};
}

}  // namespace trilane::artgen
