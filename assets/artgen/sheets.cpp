// Contact sheets: every face design, every back design, the backgrounds and the interface
// pictures, each laid out on one PNG so a person can review the art at a glance.

#include <QDir>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPainter>

#include "assets/artgen/artgen.h"

namespace trilane::artgen {
namespace {

using assets::Asset;

QString PathOf(const QString& root, const std::string& module, const std::string& type,
               const std::string& name) {
  return root + "/" + QString::fromStdString(module) + "/" + QString::fromStdString(type) + "/" +
         QString::fromStdString(assets::UpperAscii(name));
}

QImage Load(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  QByteArray bytes = f.readAll();
  if (path.contains("/BITMAP/")) {
    // A bitmap resource lacks the 14-byte file header; put one in front to decode it.
    QByteArray header("BM");
    const uint32_t size = static_cast<uint32_t>(bytes.size() + 14);
    for (int i = 0; i < 4; ++i) header.append(static_cast<char>((size >> (8 * i)) & 0xff));
    header.append(4, '\0');
    const uint32_t offset = 14 + 40;
    for (int i = 0; i < 4; ++i) header.append(static_cast<char>((offset >> (8 * i)) & 0xff));
    bytes.prepend(header);
  }
  QImage img;
  img.loadFromData(bytes);
  return img;
}

std::string ModuleOfDesign(int design) {
  if (design == 0) return "program";
  if (design <= 31) return "QorCards06A";
  if (design <= 39) return "QorCards06B";
  return "QorCards06C";
}

QImage Sheet(int w, int h, const QString& title) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(QColor(0x1e, 0x5a, 0x32));
  QPainter p(&img);
  QFont f("DejaVu Sans");
  f.setPixelSize(20);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRect(12, 4, w - 24, 30), Qt::AlignLeft | Qt::AlignVCenter, title);
  return img;
}

void Label(QPainter& p, const QRect& r, const QString& text) {
  QFont f("DejaVu Sans");
  f.setPixelSize(10);
  p.setFont(f);
  p.setPen(QColor(0xf0, 0xf0, 0xe0));
  p.drawText(r, Qt::AlignHCenter | Qt::AlignTop, text);
}

}  // namespace

bool WriteContactSheets(const assets::Catalogue& cat, const QString& root, const QString& dir,
                        QString* error) {
  QDir().mkpath(dir);
  static const char* const kDesignNames[assets::kFaceDesigns] = {"Classical-1",
                                                                 "Medieval-1",
                                                                 "Modern",
                                                                 "Ancient Egypt",
                                                                 "Baronesse",
                                                                 "Celtic",
                                                                 "Corona",
                                                                 "Crown",
                                                                 "English Pattern",
                                                                 "Frankfurt",
                                                                 "Historical costumes",
                                                                 "Native Americans",
                                                                 "Old Garden Roses",
                                                                 "Parrots",
                                                                 "Royal",
                                                                 "Shakespeare",
                                                                 "Big Ben",
                                                                 "Four Reigns",
                                                                 "Large Print London",
                                                                 "Classical-2",
                                                                 "Hearts",
                                                                 "Seasons",
                                                                 "Rhine Style",
                                                                 "Medieval-2",
                                                                 "Doods",
                                                                 "Playboy",
                                                                 "Epic",
                                                                 "USSR",
                                                                 "Plastic",
                                                                 "Skat - German suits",
                                                                 "Skat - Tournament suits",
                                                                 "Skat - French suits",
                                                                 "White palekh",
                                                                 "Diana",
                                                                 "Princely",
                                                                 "For solitaires",
                                                                 "Satin",
                                                                 "Slavic",
                                                                 "Maya",
                                                                 "Bast",
                                                                 "French",
                                                                 "Spanish 1",
                                                                 "Spanish 2",
                                                                 "Spanish 3",
                                                                 "Spanish 4",
                                                                 "Chinese",
                                                                 "Italian",
                                                                 "Czech"};
  // One sheet per face design: the 52 large faces, then the small ones and the suit symbols.
  for (int d = 0; d < assets::kFaceDesigns; ++d) {
    const int cw = assets::IsNarrowDesign(d) ? 126 : 146;
    QImage sheet = Sheet(13 * (cw + 6) + 12, 40 + 4 * 204 + 4 * 100 + 40,
                         QString("Design %1 \"%2\"").arg(d).arg(kDesignNames[d]));
    QPainter p(&sheet);
    const std::string module = ModuleOfDesign(d);
    const auto& codes = assets::FaceCodes();
    for (size_t i = 0; i < codes.size(); ++i) {
      const std::string rank = codes[i].substr(2);
      const bool court = rank == "2J" || rank == "3Q" || rank == "4K";
      const std::string suffix = court          ? assets::FaceSuffix(d)
                                 : rank == "5A" ? assets::AceSuffix(d)
                                                : assets::NumberSuffix(d);
      const int col = static_cast<int>(i % 13), row = static_cast<int>(i / 13);
      const QImage big = Load(PathOf(root, module, "RCDATA", codes[i] + suffix + "B"));
      const QImage small =
          Load(PathOf(root, module, d == 0 ? "BITMAP" : "RCDATA", codes[i] + suffix));
      if (big.isNull() || small.isNull()) {
        *error = QString("contact sheet: face %1 of design %2 is missing")
                     .arg(QString::fromStdString(codes[i]))
                     .arg(d);
        return false;
      }
      p.drawImage(12 + col * (cw + 6), 40 + row * 204, big);
      p.drawImage(12 + col * (cw + 6), 40 + 4 * 204 + row * 100, small);
    }
    for (int s = 0; s < 4; ++s) {
      const std::string name = std::string(assets::kSuitSymbolNames[s]) + assets::NumberSuffix(d);
      const QImage sym = Load(PathOf(root, module, "RCDATA", name + "B"));
      if (!sym.isNull()) p.drawImage(12 + 7 * (cw + 6) + s * 50, 40 + 4 * 204 + 4 * 100 - 2, sym);
      const QImage symSmall = Load(PathOf(root, module, d == 0 ? "BITMAP" : "RCDATA", name));
      if (!symSmall.isNull())
        p.drawImage(12 + 10 * (cw + 6) + s * 30, 40 + 4 * 204 + 4 * 100 + 8, symSmall);
    }
    p.end();
    sheet.save(QString("%1/faces-%2.png").arg(dir).arg(d, 2, 10, QChar('0')));
  }
  // All designs side by side in the small size, as the small window shows them.
  {
    const char* const kSample[5] = {"Bu10", "Kr2J", "Ch3Q", "Pi4K", "Pi5A"};
    QImage sheet =
        Sheet(12 + 4 * (5 * 72 + 24), 40 + 12 * 124, "All face designs in the small size");
    QPainter p(&sheet);
    for (int d = 0; d < assets::kFaceDesigns; ++d) {
      const int bx = 12 + (d % 4) * (5 * 72 + 24), by = 40 + (d / 4) * 124;
      for (int i = 0; i < 5; ++i) {
        const std::string code = kSample[i];
        const std::string rank = code.substr(2);
        const std::string suffix = rank == "10"   ? assets::NumberSuffix(d)
                                   : rank == "5A" ? assets::AceSuffix(d)
                                                  : assets::FaceSuffix(d);
        const QImage card =
            Load(PathOf(root, ModuleOfDesign(d), d == 0 ? "BITMAP" : "RCDATA", code + suffix));
        p.fillRect(QRect(bx + i * 72, by, 71, 96), Qt::black);
        p.drawImage(bx + i * 72 + 1, by + 1, card);
      }
      Label(p, QRect(bx, by + 98, 5 * 72, 14), QString("%1 %2").arg(d).arg(kDesignNames[d]));
    }
    p.end();
    sheet.save(dir + "/overview.png");
  }
  // Backs: one row per back design.
  {
    const int cw = 146 / 2 + 4;
    QImage sheet =
        Sheet(12 + 10 * cw + 3 * 66, 40 + 13 * 120, "Backs 0..12 (large and narrow, half size)");
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int b = 0; b < assets::kBackDesigns; ++b) {
      const auto names = assets::BackNames(b);
      for (size_t i = 0; i < names.size(); ++i) {
        const std::string base = names[i] + assets::BackSuffix(b);
        const QImage big =
            Load(PathOf(root, b == 0 ? "program" : "QorCards06B", "RCDATA", base + "B"));
        if (big.isNull()) {
          *error = QString("contact sheet: back %1 is missing").arg(QString::fromStdString(base));
          return false;
        }
        p.drawImage(QRect(12 + static_cast<int>(i) * cw, 40 + b * 120, 73, 99), big);
        Label(p, QRect(12 + static_cast<int>(i) * cw, 40 + b * 120 + 101, 73, 14),
              QString::fromStdString(base));
      }
      const QImage narrow =
          Load(PathOf(root, "QorCards06B", "RCDATA", names[0] + assets::BackSuffix(b) + "U"));
      if (!narrow.isNull()) p.drawImage(QRect(12 + 10 * cw + 10, 40 + b * 120, 63, 99), narrow);
    }
    p.end();
    sheet.save(dir + "/backs.png");
  }
  // Backgrounds: the small pictures at a fifth of their size, pictures by colours.
  {
    QImage sheet =
        Sheet(12 + 7 * 158, 40 + 10 * 118, "Backgrounds: pictures 1..10 (rows) in seven colours");
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int pic = 1; pic <= 10; ++pic) {
      for (int c = 0; c < 7; ++c) {
        const std::string colour = assets::kBackgroundColours[c];
        const bool builtIn = pic == 2 && c == 0;
        const std::string name =
            builtIn ? "FonG" : QString("Fon%1").arg(pic, 2, 10, QChar('0')).toStdString() + colour;
        const QImage bg = Load(PathOf(root, builtIn ? "program" : "QorBackG03", "JPEG", name));
        if (bg.isNull()) {
          *error =
              QString("contact sheet: background %1 is missing").arg(QString::fromStdString(name));
          return false;
        }
        p.drawImage(QRect(12 + c * 158, 40 + (pic - 1) * 118, 152, 100), bg);
        Label(p, QRect(12 + c * 158, 40 + (pic - 1) * 118 + 101, 152, 14),
              QString::fromStdString(name));
      }
    }
    p.end();
    sheet.save(dir + "/backgrounds.png");
  }
  // Interface pictures of the program and of the design library, flowed in rows.
  for (const char* module : {"program", "QorCGraph1"}) {
    std::vector<std::pair<QString, QImage>> items;
    for (const Asset* a : cat.OfModule(module)) {
      if (a->kind == "face" || a->kind == "suitsymbol" || a->kind == "back" || a->format == "wav" ||
          a->format == "mid") {
        continue;
      }
      QImage img = Load(PathOf(root, a->module, a->type, a->name));
      if (img.isNull()) continue;
      // Lettering covers the whole window but only its top holds letters.
      if (a->kind == "lettering") img = img.copy(0, 0, img.width(), 90);
      if (img.width() > 400 || img.height() > 300) {
        img = img.scaled(std::min(img.width(), 400), std::min(img.height(), 300),
                         Qt::KeepAspectRatio, Qt::SmoothTransformation);
      }
      items.emplace_back(QString::fromStdString(a->name), img);
    }
    const int width = 1400;
    int x = 12, y = 40, rowH = 0;
    std::vector<QPoint> at;
    for (const auto& [name, img] : items) {
      const int w = std::max(img.width(), 70);
      if (x + w > width - 12) {
        x = 12;
        y += rowH + 18;
        rowH = 0;
      }
      at.emplace_back(x, y);
      x += w + 10;
      rowH = std::max(rowH, img.height());
    }
    QImage sheet = Sheet(width, y + rowH + 30, QString("Pictures of %1").arg(module));
    QPainter p(&sheet);
    for (size_t i = 0; i < items.size(); ++i) {
      p.drawImage(at[i], items[i].second);
      Label(p,
            QRect(at[i].x() - 4, at[i].y() + items[i].second.height() + 1,
                  std::max(items[i].second.width(), 70) + 8, 14),
            items[i].first);
    }
    p.end();
    sheet.save(QString("%1/pictures-%2.png").arg(dir, module));
  }
  // The main menu as a player first sees it: caption pictures, side pictures, the clock and
  // the member buttons built from the grey button pieces tinted navy.
  {
    QImage menu = Load(PathOf(root, "program", "JPEG", "FonG"));
    if (menu.isNull()) {
      *error = "contact sheet: FonG is missing";
      return false;
    }
    menu = menu.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&menu);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(180, 12, 400, 70), Load(PathOf(root, "program", "RCDATA", "CapEng")));
    p.drawImage(QRect(205, 183, 350, 40), Load(PathOf(root, "program", "RCDATA", "EliteEng")));
    p.drawImage(QRect(230, 85, 300, 90), Load(PathOf(root, "program", "RCDATA", "GTitle")));
    p.drawImage(7, 290, Load(PathOf(root, "program", "RCDATA", "PngMenu1")));
    p.drawImage(592, 290, Load(PathOf(root, "program", "RCDATA", "PngMenu2")));
    const QImage left = Load(PathOf(root, "program", "RCDATA", "R29_L"));
    const QImage mid = Load(PathOf(root, "program", "RCDATA", "R29_2"));
    const QImage right = Load(PathOf(root, "program", "RCDATA", "R29_R"));
    auto button = [&](const QRect& r, const QColor& tint, const QString& caption) {
      QImage body(r.size(), QImage::Format_ARGB32_Premultiplied);
      body.fill(Qt::transparent);
      QPainter b(&body);
      b.drawImage(0, 0, left);
      b.drawImage(QRect(left.width(), 0, r.width() - left.width() - right.width(), r.height()),
                  mid);
      b.drawImage(r.width() - right.width(), 0, right);
      b.setCompositionMode(QPainter::CompositionMode_Multiply);
      b.fillRect(body.rect(), tint);
      b.setCompositionMode(QPainter::CompositionMode_DestinationIn);
      b.drawImage(0, 0, left);
      b.drawImage(QRect(left.width(), 0, r.width() - left.width() - right.width(), r.height()),
                  mid);
      b.drawImage(r.width() - right.width(), 0, right);
      b.end();
      p.drawImage(r.topLeft(), body);
      QFont f("Liberation Mono");
      f.setPixelSize(13);
      f.setBold(true);
      p.setFont(f);
      p.setPen(tint == QColor(0, 0, 128) ? QColor(0, 255, 255) : Qt::white);
      p.drawText(r, Qt::AlignCenter, caption);
    };
    const char* const members[5] = {
        "Anna                  12    340", "Boris                  7   -125",
        "Clara                 55    980", "########################", "########################"};
    for (int i = 0; i < 5; ++i)
      button(QRect(180, 265 + i * 30, 400, 30), QColor(0, 0, 128), members[i]);
    button(QRect(280, 425, 200, 30), QColor(0, 0, 128), "New Player");
    button(QRect(40, 225, 100, 30), QColor(200, 0, 0), "Top Ten");
    button(QRect(40, 255, 100, 30), QColor(200, 0, 0), "History");
    button(QRect(620, 225, 100, 30), QColor(200, 0, 0), "Options");
    button(QRect(620, 255, 100, 30), QColor(200, 0, 0), "Mode");
    button(QRect(330, 465, 100, 30), QColor(200, 0, 0), "Exit");
    p.end();
    menu.save(dir + "/menu.png");
  }
  // A table as a player sees it: the built-in background, a hand in each seat, plates.
  {
    QImage table = Load(PathOf(root, "program", "JPEG", "FonG"));
    if (table.isNull()) {
      *error = "contact sheet: FonG is missing";
      return false;
    }
    table = table.convertToFormat(QImage::Format_RGB32);
    QPainter p(&table);
    const auto& codes = assets::FaceCodes();
    const int hand[13] = {12, 25, 38, 51, 11, 24, 10, 9, 34, 47, 5, 18, 0};
    for (int i = 0; i < 13; ++i) {
      const QImage card = Load(PathOf(root, "program", "BITMAP", codes[hand[i]]));
      p.fillRect(QRect(195 + i * 25, 395, 71, 96), Qt::black);
      p.drawImage(196 + i * 25, 396, card);
    }
    const char* backs[3] = {"Ob01Mo", "Ob01Mo", "Ob01Mo"};
    const QPoint seats[3] = {{28, 178}, {300, 8}, {574, 178}};
    for (int s = 0; s < 3; ++s) {
      const QImage back = Load(PathOf(root, "program", "BITMAP", backs[s]));
      for (int i = 0; i < 13; ++i) {
        p.fillRect(QRect(seats[s].x() + i * 7, seats[s].y(), 71, 96), Qt::black);
        p.drawImage(seats[s].x() + i * 7 + 1, seats[s].y() + 1, back);
      }
    }
    const char* plates[4] = {"SPGreen", "SPYellow", "SPRed", "SPBlue"};
    const QPoint plateAt[4] = {{23, 278}, {300, 108}, {574, 278}, {300, 372}};
    for (int s = 0; s < 4; ++s)
      p.drawImage(plateAt[s], Load(PathOf(root, "program", "RCDATA", plates[s])));
    p.drawImage(4, 11, Load(PathOf(root, "program", "RCDATA", "GKonBox")));
    p.drawImage(584, 10, Load(PathOf(root, "program", "RCDATA", "RamkaERSm")));
    p.end();
    table.save(dir + "/table.png");
  }
  return true;
}

}  // namespace trilane::artgen
