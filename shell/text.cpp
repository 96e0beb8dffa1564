#include "shell/text.h"

#include "base/codepage.h"

namespace trilane {

QString FromCp1251(std::string_view bytes) {
  return FromUtf8(Cp1251ToUtf8(bytes));
}

std::optional<std::string> ToCp1251Exactly(const QString& text) {
  return Utf8ToCp1251(ToUtf8(text));
}

std::string ToCp1251(const QString& text, char replacement) {
  // With a replacement the conversion cannot fail: malformed UTF-8 cannot come from a QString.
  return Utf8ToCp1251(ToUtf8(text), replacement).value_or(std::string());
}

QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToUtf8(const QString& text) {
  return text.toUtf8().toStdString();
}

}  // namespace trilane
