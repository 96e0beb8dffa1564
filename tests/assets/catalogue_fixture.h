#pragma once
// The resource catalogue as the artwork and add-on tests read it (TRILANE_CATALOGUE_FILE),
// and a byte view of a Qt buffer for the platform decoders.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "assets/catalogue.h"

namespace trilane::test {

inline std::span<const uint8_t> Bytes(const QByteArray& b) {
  return {reinterpret_cast<const uint8_t*>(b.constData()), static_cast<size_t>(b.size())};
}

inline const assets::Catalogue& Catalogue() {
  static const assets::Catalogue cat = [] {
    QFile f(TRILANE_CATALOGUE_FILE);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    std::string error;
    auto parsed = assets::ParseCatalogue(std::string_view(text.constData(), text.size()), &error);
    EXPECT_TRUE(parsed.has_value()) << error;
    return parsed.value_or(assets::Catalogue{});
  }();
  return cat;
}

}  // namespace trilane::test
