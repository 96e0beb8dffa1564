#pragma once
// The four font roles of the settings ("decor", "serif", "fixed", "conew") and the fonts
// that stand in for their classic names on this system. Every role also falls back to a
// CJK face, so Chinese, Japanese and Korean captions never show empty boxes.
#include <QFont>
#include <QString>

#include "records/settings.h"

namespace trilane {

enum class FontRole : int { kDecor = 1, kSerif = 2, kFixed = 3, kConew = 4 };

// Registers the substitutes once per process: "Comic Sans MS" -> Comic Neue, "Arial" ->
// Liberation Sans, "Courier New" -> Liberation Mono, "FixedSys" -> Unifont, each followed
// by the Noto CJK faces.
void InstallFontSubstitutes();

// round(base * scale of the role / 100), halves to even.
int FontHeight(const TSettings& settings, int base, FontRole role);

// The role's font (its name from the settings) at a pixel height.
QFont RoleFont(const TSettings& settings, FontRole role, int pixelHeight, bool bold = false);

// A font by family name at a pixel height (the substitutes apply).
QFont NamedFont(const QString& family, int pixelHeight, bool bold = false);

}  // namespace trilane
