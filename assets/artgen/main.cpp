// trilane-artgen: builds the contents of one resource module listed in the catalogue.
//
//   trilane-artgen --catalogue FILE --module NAME --out DIR [--part K/N] [--song FILE]
//       draws, synthesises or speaks every resource of the module (or every N-th from K)
//       into DIR/<TYPE>/<NAME>, and checks each picture's size against the catalogue;
//   trilane-artgen --catalogue FILE --module NAME --out DIR --rc FILE | --qrc FILE
//       writes the resource script (for windres) or the Qt resource list of the module;
//   trilane-artgen --catalogue FILE --sheets DIR --root DIR
//       composes the contact sheets from the generated modules under the root;
//   trilane-artgen --icons DIR --icon-name NAME
//       draws the program's mark at the desktop's icon sizes into DIR/<S>x<S>/apps/NAME.png.
//
// Files are rewritten only when their bytes change, so a rebuild leaves them untouched.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <cstdio>
#include <cstdlib>

#include "assets/artgen/artgen.h"

using trilane::assets::Asset;

namespace {

bool WriteIfChanged(const QString& path, const QByteArray& bytes) {
  QFile old(path);
  if (old.open(QIODevice::ReadOnly) && old.readAll() == bytes) return true;
  old.close();
  QDir().mkpath(QFileInfo(path).path());
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  f.write(bytes);
  return f.commit();
}

QByteArray Generate(const Asset& a, const QString& songFile, QString* error) {
  using namespace trilane::artgen;
  if (a.format == "wav") {
    if (a.kind == "voice") return SpeakCardName(std::stoi(a.args[0]), a.args[1], error);
    QByteArray b = SynthEffect(a.name);
    if (b.isEmpty()) *error = "no sound is defined for " + QString::fromStdString(a.name);
    return b;
  }
  if (a.format == "mid") return BuildSong(songFile, error);
  std::vector<QImage> frames;
  int delay = 10;
  if (a.kind == "face") {
    frames = {DrawFace(std::stoi(a.args[0]), a.args[1], a.width, a.height)};
  } else if (a.kind == "suitsymbol") {
    frames = {DrawSuitSymbol(std::stoi(a.args[0]), a.args[1], a.width)};
  } else if (a.kind == "back") {
    frames = {DrawBack(std::stoi(a.args[0]), a.args[1], a.width, a.height)};
  } else if (a.kind == "background") {
    frames = {DrawBackground(std::stoi(a.args[0]), a.args[1], a.width, a.height)};
  } else {
    frames = DrawInterface(a, &delay);
  }
  if (frames.empty() || frames[0].isNull()) {
    *error = "nothing is drawn for kind " + QString::fromStdString(a.kind);
    return {};
  }
  if (a.width > 0 && frames[0].size() != QSize(a.width, a.height)) {
    *error = QString("drawn %1x%2, listed %3x%4")
                 .arg(frames[0].width())
                 .arg(frames[0].height())
                 .arg(a.width)
                 .arg(a.height);
    return {};
  }
  if (a.format == "png") return EncodePng(frames[0]);
  if (a.format == "jpeg") return EncodeJpeg(frames[0]);
  if (a.format == "dib") return EncodeDib(frames[0]);
  if (a.format == "gif") return EncodeGif(frames, delay);
  *error = "unknown format";
  return {};
}

int Fail(const QString& what) {
  std::fprintf(stderr, "trilane-artgen: %s\n", qPrintable(what));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Build machines often have no runtime folder; Qt's note about it is only noise here.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
    if (msg.startsWith("QStandardPaths:")) return;
    std::fprintf(stderr, "%s\n", qPrintable(msg));
    if (type == QtFatalMsg) std::abort();
  });
  QGuiApplication app(argc, argv);
  QString catalogueFile, module, out, rc, qrc, song, sheets, root, icons, iconName;
  int part = 0, parts = 1;
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); i += 2) {
    const QString& k = args[i];
    const QString& v = args[i + 1];
    if (k == "--catalogue")
      catalogueFile = v;
    else if (k == "--module")
      module = v;
    else if (k == "--out")
      out = v;
    else if (k == "--rc")
      rc = v;
    else if (k == "--qrc")
      qrc = v;
    else if (k == "--song")
      song = v;
    else if (k == "--sheets")
      sheets = v;
    else if (k == "--root")
      root = v;
    else if (k == "--icons")
      icons = v;
    else if (k == "--icon-name")
      iconName = v;
    else if (k == "--part") {
      const QStringList kn = v.split('/');
      if (kn.size() != 2) return Fail("--part wants K/N");
      part = kn[0].toInt();
      parts = kn[1].toInt();
      if (parts < 1 || part < 0 || part >= parts) return Fail("bad --part " + v);
    } else {
      return Fail("unknown option " + k);
    }
  }
  if (!icons.isEmpty()) {
    // The mark of the title screen ("Logo"), drawn afresh at each size rather than scaled.
    if (iconName.isEmpty()) return Fail("--icons wants --icon-name");
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
      Asset logo;
      logo.kind = "logo";
      logo.format = "png";
      logo.width = logo.height = size;
      int delay = 0;
      const std::vector<QImage> frames = trilane::artgen::DrawInterface(logo, &delay);
      if (frames.empty() || frames[0].size() != QSize(size, size)) return Fail("no icon drawn");
      const QString path = QString("%1/%2x%2/apps/%3.png").arg(icons).arg(size).arg(iconName);
      if (!WriteIfChanged(path, trilane::artgen::EncodePng(frames[0])))
        return Fail("cannot write " + path);
    }
    return 0;
  }

  QFile cf(catalogueFile);
  if (!cf.open(QIODevice::ReadOnly)) return Fail("cannot read the catalogue " + catalogueFile);
  const QByteArray text = cf.readAll();
  std::string error;
  auto cat =
      trilane::assets::ParseCatalogue(std::string_view(text.constData(), text.size()), &error);
  if (!cat) return Fail(catalogueFile + ": " + QString::fromStdString(error));

  if (!sheets.isEmpty()) {
    QString why;
    if (!trilane::artgen::WriteContactSheets(*cat, root, sheets, &why)) return Fail(why);
    return 0;
  }

  const auto assets = cat->OfModule(module.toStdString());
  if (assets.empty()) return Fail("the catalogue lists nothing for " + module);

  if (!rc.isEmpty() || !qrc.isEmpty()) {
    QByteArray index;
    if (!qrc.isEmpty()) index += "<RCC>\n  <qresource prefix=\"/\">\n";
    for (const Asset* a : assets) {
      const QString path =
          QDir(out).absoluteFilePath(QString::fromStdString(trilane::assets::AssetPath(*a)));
      if (!QFileInfo::exists(path)) return Fail("missing " + path);
      if (!rc.isEmpty()) {
        if (a->type == "BITMAP") return Fail("bitmaps are kept in the program only");
        // windres takes RCDATA by its keyword and string types as they stand.
        index += QByteArray::fromStdString(trilane::assets::UpperAscii(a->name)) + " " +
                 QByteArray::fromStdString(a->type) + " \"" + path.toUtf8() + "\"\n";
      } else {
        index += "    <file alias=\"trilane/" +
                 QByteArray::fromStdString(trilane::assets::AssetPath(*a)) + "\">" + path.toUtf8() +
                 "</file>\n";
      }
    }
    if (!qrc.isEmpty()) index += "  </qresource>\n</RCC>\n";
    if (!WriteIfChanged(rc.isEmpty() ? qrc : rc, index)) return Fail("cannot write the index");
    return 0;
  }

  int done = 0;
  for (size_t i = 0; i < assets.size(); ++i) {
    if (static_cast<int>(i % static_cast<size_t>(parts)) != part) continue;
    const Asset& a = *assets[i];
    QString why;
    const QByteArray bytes = Generate(a, song, &why);
    if (bytes.isEmpty()) {
      return Fail(module + " " + QString::fromStdString(a.type + "/" + a.name) + ": " +
                  (why.isEmpty() ? QString("encoding failed") : why));
    }
    const QString path = QDir(out).filePath(QString::fromStdString(trilane::assets::AssetPath(a)));
    if (!WriteIfChanged(path, bytes)) return Fail("cannot write " + path);
    ++done;
  }
  std::printf("trilane-artgen: %s part %d/%d: %d resources\n", qPrintable(module), part, parts,
              done);
  return 0;
}
