#pragma once
// Where the program's bytes meet the text a widget holds. Files, protocol messages and the
// service's fields are code page 1251; the words tables, country names and the program's
// titles are UTF-8; a widget holds a QString. Every window converts through these.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace trilane {

// Code-page-1251 bytes as shown text (the unassigned byte 0x98 shows as U+FFFD).
QString FromCp1251(std::string_view bytes);

// Typed text as code-page-1251 bytes; nothing when it holds a character the code page lacks.
std::optional<std::string> ToCp1251Exactly(const QString& text);

// Typed text as code-page-1251 bytes, every character the code page lacks as `replacement`.
std::string ToCp1251(const QString& text, char replacement = '?');

QString FromUtf8(std::string_view utf8);
std::string ToUtf8(const QString& text);

}  // namespace trilane
