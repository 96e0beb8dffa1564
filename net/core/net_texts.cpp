#include "net/core/net_texts.h"

#include "base/codepage.h"

namespace trilane::net {

std::string WithoutTrailingBlanks(std::string_view bytes) {
  while (!bytes.empty() && bytes.back() == ' ') bytes.remove_suffix(1);
  return std::string(bytes);
}

std::string ShownName(std::string_view cp1251) {
  return Cp1251ToUtf8(WithoutTrailingBlanks(cp1251));
}

std::string TravelText(std::string_view utf8, size_t maxBytes) {
  std::string bytes = Utf8ToCp1251(utf8, '?').value_or(std::string());
  if (bytes.size() > maxBytes) bytes.resize(maxBytes);
  return bytes;
}

}  // namespace trilane::net
