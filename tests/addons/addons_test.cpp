// The six add-on libraries as the game reads them: real PE resource-only libraries beside
// the program folder, holding exactly the catalogue's resources, each in its listed format.

#include <gtest/gtest.h>

#include <QFile>
#include <map>
#include <set>
#include <span>

#include "assets/catalogue.h"
#include "tests/assets/catalogue_fixture.h"
#include "platform/images.h"
#include "platform/resource_module.h"

namespace trilane {
namespace {

using test::Bytes;
using test::Catalogue;

const char* const kAddons[] = {"QorCards06A", "QorCards06B", "QorCards06C",
                               "QorBackG03",  "QorCGraph1",  "QorCVoice3"};

class Addons : public ::testing::TestWithParam<const char*> {};

TEST_P(Addons, HoldsExactlyTheCatalogueInItsFormats) {
  const std::string module = GetParam();
  // Found the way the game finds it: from the program folder, in its parent.
  ResourceLocator locator(QString(TRILANE_ADDON_DIR) + "/Trilane");
  auto library = locator.LoadLibrary(QString::fromStdString(module) + ".dll");
  ASSERT_TRUE(library.has_value()) << module;
  ASSERT_GE(library->Bytes().size(), 2u);
  EXPECT_EQ(library->Bytes()[0], 'M');

  const auto entries = Catalogue().OfModule(module);
  ASSERT_FALSE(entries.empty());
  std::set<std::string> listed;
  for (const PeResource& r : library->List()) {
    listed.insert(ResourceTypeName(r.type) + "/" + r.name.ToString());
  }
  EXPECT_EQ(listed.size(), entries.size()) << "resources beyond the catalogue, or duplicates";
  int checked = 0;
  for (const assets::Asset* a : entries) {
    auto bytes = library->Find(ParseResourceType(a->type), a->name);
    ASSERT_TRUE(bytes.has_value()) << module << ": " << a->type << "/" << a->name;
    ASSERT_FALSE(bytes->isEmpty());
    if (a->format == "wav") {
      EXPECT_TRUE(bytes->startsWith("RIFF") && bytes->mid(8, 4) == "WAVE") << a->name;
      EXPECT_GT(bytes->size(), 8000) << a->name << " is too short to say a card";
      continue;
    }
    const char* magic = a->format == "png" ? "\x89PNG" : a->format == "jpeg" ? "\xff\xd8" : "";
    EXPECT_TRUE(bytes->startsWith(magic)) << a->name;
    // Decode every tenth picture fully (all of them would only repeat the same check).
    if (checked++ % 10 == 0) {
      const QImage img = DecodeImage(Bytes(*bytes));
      ASSERT_FALSE(img.isNull()) << a->name;
      if (a->width > 0) {
        EXPECT_EQ(img.size(), QSize(a->width, a->height)) << a->name;
      }
    }
    // The library holds the generated file byte for byte.
    if (checked % 97 == 1) {
      QFile gen(QString(TRILANE_ASSET_ROOT) + "/" +
                QString::fromStdString(module + "/" + assets::AssetPath(*a)));
      ASSERT_TRUE(gen.open(QIODevice::ReadOnly)) << a->name;
      EXPECT_EQ(gen.readAll(), *bytes) << a->name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(All, Addons, ::testing::ValuesIn(kAddons));

TEST(AddonFaces, EveryDesignCanBeDealtAFullDeck) {
  // Whatever suffix a design borrows, each of its 52 faces resolves in its own library.
  for (int d = 1; d < assets::kFaceDesigns; ++d) {
    const char* file = d <= 31   ? "QorCards06A.dll"
                       : d <= 39 ? "QorCards06B.dll"
                                 : "QorCards06C.dll";
    auto library = ResourceModule::OpenFile(QString(TRILANE_ADDON_DIR) + "/" + file);
    ASSERT_TRUE(library.has_value()) << file;
    for (const std::string& code : assets::FaceCodes()) {
      const std::string rank = code.substr(2);
      const bool court = rank == "2J" || rank == "3Q" || rank == "4K";
      const std::string suffix = court          ? assets::FaceSuffix(d)
                                 : rank == "5A" ? assets::AceSuffix(d)
                                                : assets::NumberSuffix(d);
      for (const char* size : {"", "B"}) {
        EXPECT_TRUE(library->Find(ResourceId::Number(kRtRcdata), code + suffix + size).has_value())
            << "design " << d << ": " << code + suffix + size;
      }
    }
  }
}

TEST(AddonFaces, DesignsLookDifferent) {
  // The same card in every design: no two designs may share a picture.
  std::map<QByteArray, int> seen;
  for (int d = 1; d < assets::kFaceDesigns; ++d) {
    const char* file = d <= 31   ? "QorCards06A.dll"
                       : d <= 39 ? "QorCards06B.dll"
                                 : "QorCards06C.dll";
    auto library = ResourceModule::OpenFile(QString(TRILANE_ADDON_DIR) + "/" + file);
    ASSERT_TRUE(library.has_value());
    auto king = library->Find(ResourceId::Number(kRtRcdata), "Pi4K" + assets::FaceSuffix(d) + "B");
    ASSERT_TRUE(king.has_value()) << d;
    auto [it, fresh] = seen.emplace(*king, d);
    EXPECT_TRUE(fresh) << "designs " << it->second << " and " << d << " draw the same king";
  }
}

}  // namespace
}  // namespace trilane
