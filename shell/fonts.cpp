#include "shell/fonts.h"

#include <QStringList>
#include <algorithm>

#include "base/rounding.h"
#include "shell/text.h"

namespace trilane {
namespace {

const QStringList& CjkFaces() {
  static const QStringList faces{"Noto Sans CJK SC", "Noto Sans CJK JP", "Noto Sans CJK KR",
                                 "Noto Sans CJK TC"};
  return faces;
}

void Substitute(const QString& name, const QString& face) {
  QStringList list{face};
  list += CjkFaces();
  QFont::insertSubstitutions(name, list);
}

}  // namespace

void InstallFontSubstitutes() {
  static bool done = false;
  if (done) return;
  done = true;
  Substitute("Comic Sans MS", "Comic Neue");
  Substitute("Arial", "Liberation Sans");
  Substitute("Courier New", "Liberation Mono");
  Substitute("FixedSys", "Unifont");
  // The faces themselves lack CJK glyphs too.
  for (const char* face : {"Comic Neue", "Liberation Sans", "Liberation Mono", "Unifont"}) {
    QFont::insertSubstitutions(face, CjkFaces());
  }
}

int FontHeight(const TSettings& settings, int base, FontRole role) {
  const int index = static_cast<int>(role) - 1;
  const int scale = std::clamp(settings.FontScale[index], 50, 150);
  return static_cast<int>(RoundHalfEvenToInt(base * scale / 100.0));
}

QFont NamedFont(const QString& family, int pixelHeight, bool bold) {
  QFont font(family);
  font.setPixelSize(std::max(1, pixelHeight));
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

QFont RoleFont(const TSettings& settings, FontRole role, int pixelHeight, bool bold) {
  const int index = static_cast<int>(role) - 1;
  QString family = FromCp1251(settings.FontName[index]);
  if (family.trimmed().isEmpty()) family = index < 2 ? "Comic Sans MS" : "Courier New";
  QFont font = NamedFont(family, pixelHeight, bold);
  if (role == FontRole::kFixed || role == FontRole::kConew) font.setStyleHint(QFont::Monospace);
  return font;
}

}  // namespace trilane
