#pragma once
// Names and typed texts between UTF-8 and the code page they travel in, on either path.

#include <cstddef>
#include <string>
#include <string_view>

namespace trilane::net {

// A name or chat text as it is shown: without trailing blanks.
std::string WithoutTrailingBlanks(std::string_view bytes);
// Names as shown: code page 1251 to UTF-8, without trailing blanks.
std::string ShownName(std::string_view cp1251);
// A typed text as it travels: code page 1251 ("?" for what it lacks), at most `maxBytes`.
std::string TravelText(std::string_view utf8, size_t maxBytes);

}  // namespace trilane::net
