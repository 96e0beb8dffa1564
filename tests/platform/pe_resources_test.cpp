#include "platform/pe_resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "test_support.h"

namespace trilane {
namespace {

using testing::Addon;
using testing::ReadAll;
using testing::Span;

std::string Text(std::optional<std::span<const uint8_t>> bytes) {
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<none>");
}

class PeResourcesTest : public ::testing::TestWithParam<const char*> {
 protected:
  QByteArray file = ReadAll(Addon(GetParam()));
};

TEST_P(PeResourcesTest, FindsEveryTypeIgnoringCase) {
  const auto bytes = Span(file);
  const auto rcdata = ResourceId::Number(kRtRcdata);
  // windres stored the upper-cased names; any spelling finds them.
  for (const char* name : {"ch02b", "CH02B", "Ch02B"}) {
    const auto png = FindPeResource(bytes, rcdata, name);
    ASSERT_TRUE(png) << name;
    EXPECT_EQ(Text(std::span(png->data(), 4)), "\x89PNG");
  }
  const auto dib = FindPeResource(bytes, ResourceId::Number(kRtBitmap), "ch02");
  ASSERT_TRUE(dib);
  // The bitmap resource starts with the 40-byte info header, not with "BM".
  EXPECT_EQ((*dib)[0], 40);
  const auto jpeg = FindPeResource(bytes, ResourceId::Text("jpeg"), "fong");
  ASSERT_TRUE(jpeg);
  EXPECT_EQ((*jpeg)[0], 0xFF);
  EXPECT_EQ(Text(std::span(FindPeResource(bytes, ResourceId::Text("WAVE"), "wding_1")->data(), 4)),
            "RIFF");
  EXPECT_EQ(Text(FindPeResource(bytes, rcdata, "#5")), "five");

  EXPECT_FALSE(FindPeResource(bytes, rcdata, "CH02"));  // a bitmap, not RCDATA
  EXPECT_FALSE(FindPeResource(bytes, rcdata, "5"));     // the text "5" is no number
  EXPECT_FALSE(FindPeResource(bytes, rcdata, "missing"));
  EXPECT_FALSE(FindPeResource(bytes, ResourceId::Text("WAVES"), "WDING_1"));
}

TEST_P(PeResourcesTest, ListsEveryResourceWithItsSize) {
  const auto list = ListPeResources(Span(file));
  std::vector<std::string> seen;
  for (const PeResource& r : list) {
    seen.push_back(ResourceTypeName(r.type) + "/" + r.name.ToString() + "/" +
                   std::to_string(r.size));
  }
  std::sort(seen.begin(), seen.end());
  ASSERT_EQ(seen.size(), 5u);
  EXPECT_EQ(
      seen[4],
      "WAVE/WDING_1/" +
          std::to_string(FindPeResource(Span(file), ResourceId::Text("WAVE"), "WDING_1")->size()));
  EXPECT_EQ(seen[3],
            "RCDATA/CH02B/" +
                std::to_string(
                    FindPeResource(Span(file), ResourceId::Number(kRtRcdata), "CH02B")->size()));
  EXPECT_EQ(seen[2], "RCDATA/#5/4");
  EXPECT_TRUE(seen[0].starts_with("BITMAP/CH02/"));
  EXPECT_TRUE(seen[1].starts_with("JPEG/FONG/"));
}

INSTANTIATE_TEST_SUITE_P(Widths, PeResourcesTest, ::testing::Values("mixed64.dll", "mixed32.dll"));

// Reads and writes little-endian fields of a copy of the good file.
struct Patch {
  QByteArray bytes;
  uint32_t U32(int at) const {
    return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
           static_cast<uint8_t>(bytes[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
  }
  void Set32(int at, uint32_t v) {
    for (int k = 0; k < 4; ++k) bytes[at + k] = static_cast<char>((v >> (8 * k)) & 0xFF);
  }
  // The file offset of the resource root: from the section that holds the .rsrc RVA.
  int RootOffset() const {
    const int pe = static_cast<int>(U32(0x3C));
    const int optional = pe + 24;
    const bool plus = static_cast<uint8_t>(bytes[optional]) == 0x0B && bytes[optional + 1] == 2;
    const uint32_t rva = U32(optional + (plus ? 112 : 96) + 16);
    const int sections = optional + (static_cast<uint8_t>(bytes[pe + 20]) | bytes[pe + 21] << 8);
    const int count = static_cast<uint8_t>(bytes[pe + 6]);
    for (int i = 0; i < count; ++i) {
      const int s = sections + i * 40;
      if (rva >= U32(s + 12) && rva < U32(s + 12) + U32(s + 16)) {
        return static_cast<int>(U32(s + 20) + rva - U32(s + 12));
      }
    }
    return -1;
  }
};

TEST(PeResourcesHostile, BrokenFilesFindNothingAndNeverReadOutside) {
  const QByteArray good = ReadAll(Addon("mixed64.dll"));
  Patch base{good};
  const int root = base.RootOffset();
  ASSERT_GT(root, 0);
  const int firstEntry = root + 16;

  struct Case {
    const char* what;
    QByteArray bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", QByteArray()});
  cases.push_back({"only MZ", good.left(2)});
  cases.push_back({"cut in the PE header", good.left(0x90)});
  cases.push_back({"cut before the resources", good.left(root + 8)});
  cases.push_back({"cut in the resource data", good.left(good.size() - 40)});
  {
    Patch p{good};
    p.Set32(0x3C, 0xFFFFFFF0);  // PE header offset far past the end
    cases.push_back({"PE offset out of range", p.bytes});
  }
  {
    Patch p{good};
    p.bytes[static_cast<int>(p.U32(0x3C)) + 24] = 0x77;  // unknown optional-header magic
    cases.push_back({"bad magic", p.bytes});
  }
  {
    Patch p{good};
    p.Set32(firstEntry + 4, 0x80000000u);  // the first type's directory is the root itself
    cases.push_back({"directory loop", p.bytes});
  }
  {
    Patch p{good};
    p.Set32(firstEntry + 4, 0x80000000u | 0x7FFFFFF0u);  // subdirectory beyond the file
    cases.push_back({"subdirectory out of range", p.bytes});
  }
  {
    Patch p{good};
    p.bytes[root + 12] = static_cast<char>(0xFF);  // 65535 named entries claimed
    p.bytes[root + 13] = static_cast<char>(0xFF);
    cases.push_back({"entry count past the end", p.bytes});
  }

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto bytes = Span(c.bytes);
    for (const PeResource& r : ListPeResources(bytes)) {
      EXPECT_LE(r.offset + r.size, bytes.size());
    }
    for (const char* name : {"CH02B", "#5", "WDING_1"}) {
      for (const auto& type : {ResourceId::Number(kRtRcdata), ResourceId::Text("WAVE")}) {
        const auto found = FindPeResource(bytes, type, name);
        if (found) {
          EXPECT_GE(found->data(), bytes.data());
          EXPECT_LE(found->data() + found->size(), bytes.data() + bytes.size());
        }
      }
    }
  }
  auto bytesOf = [&](std::string_view what) {
    return Span(std::find_if(cases.begin(), cases.end(), [&](const Case& c) {
                  return what == c.what;
                })->bytes);
  };
  for (const char* broken :
       {"empty", "only MZ", "cut in the PE header", "PE offset out of range", "bad magic"}) {
    EXPECT_TRUE(ListPeResources(bytesOf(broken)).empty()) << broken;
  }
  // The looping type ("JPEG", the first named entry) yields nothing; the rest of the tree
  // is still read.
  EXPECT_FALSE(FindPeResource(bytesOf("directory loop"), ResourceId::Text("JPEG"), "FONG"));
  EXPECT_TRUE(FindPeResource(bytesOf("directory loop"), ResourceId::Number(kRtRcdata), "CH02B"));
}

// A resource tree whose N types all share one name directory of N names, all sharing one
// language directory: N * N resources on paper from a file of about 16 N bytes.
QByteArray SharedTree(uint32_t n) {
  const uint32_t names = 16 + n * 8, language = names + 16 + n * 8, entry = language + 24;
  const uint32_t rsrcSize = entry + 16 + 4;
  QByteArray file(0x200 + static_cast<int>(rsrcSize), '\0');
  Patch p{file};
  p.bytes[0] = 'M', p.bytes[1] = 'Z';
  p.Set32(0x3C, 0x40);
  p.Set32(0x40, 0x00004550);                                      // "PE\0\0"
  p.bytes[0x44] = 0x64, p.bytes[0x45] = static_cast<char>(0x86);  // x86-64
  p.bytes[0x46] = 1;                                              // one section
  p.bytes[0x54] = static_cast<char>(0xF0);                        // optional header size
  p.bytes[0x58] = 0x0B, p.bytes[0x59] = 2;                        // PE32+
  p.Set32(0x58 + 108, 16);                                        // data directories
  p.Set32(0x58 + 112 + 16, 0x1000);                               // resources: RVA, size
  p.Set32(0x58 + 112 + 20, rsrcSize);
  const int section = 0x58 + 0xF0;
  p.Set32(section + 8, rsrcSize);
  p.Set32(section + 12, 0x1000);
  p.Set32(section + 16, rsrcSize);
  p.Set32(section + 20, 0x200);
  auto directory = [&](uint32_t at, uint32_t count, uint32_t target, bool sub) {
    p.bytes[0x200 + at + 14] = static_cast<char>(count & 0xFF);
    p.bytes[0x200 + at + 15] = static_cast<char>(count >> 8);
    for (uint32_t i = 0; i < count; ++i) {
      p.Set32(static_cast<int>(0x200 + at + 16 + i * 8), i + 1);
      p.Set32(static_cast<int>(0x200 + at + 20 + i * 8), (sub ? 0x80000000u : 0) | target);
    }
  };
  directory(0, n, names, true);
  directory(names, n, language, true);
  directory(language, 1, entry, false);
  p.Set32(static_cast<int>(0x200 + entry), 0x1000 + entry + 16);
  p.Set32(static_cast<int>(0x200 + entry + 4), 4);
  return p.bytes;
}

TEST(PeResourcesHostile, SharedDirectoriesAreReadWithinABudget) {
  const QByteArray file = SharedTree(60000);
  const auto list = ListPeResources(Span(file));
  EXPECT_FALSE(list.empty());
  EXPECT_LT(list.size(), 300000u);  // not 3.6 billion
  EXPECT_TRUE(FindPeResource(Span(file), ResourceId::Number(1), "#1"));
  EXPECT_TRUE(FindPeResource(Span(file), ResourceId::Number(60000), "#60000"));
  EXPECT_FALSE(FindPeResource(Span(file), ResourceId::Number(60001), "#1"));
}

TEST(ResourceTypeNames, ParseAndPrint) {
  EXPECT_EQ(ParseResourceType("rcdata"), ResourceId::Number(kRtRcdata));
  EXPECT_EQ(ParseResourceType("BITMAP"), ResourceId::Number(kRtBitmap));
  EXPECT_EQ(ParseResourceType("#10"), ResourceId::Number(10));
  EXPECT_EQ(ParseResourceType("23"), ResourceId::Number(23));
  EXPECT_EQ(ParseResourceType("jpeg"), ResourceId::Text("JPEG"));
  EXPECT_EQ(ResourceTypeName(ResourceId::Number(10)), "RCDATA");
  EXPECT_EQ(ResourceTypeName(ResourceId::Number(3)), "#3");
  EXPECT_EQ(ResourceTypeName(ResourceId::Text("wave")), "WAVE");
}

}  // namespace
}  // namespace trilane
