// Code page 1251 against an independent table (tests/base/data/cp1251.txt, written by
// make_cp1251.py from Python's codec), and the UTF-8 check the words generator relies on.

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "base/codepage.h"

namespace trilane {
namespace {

// The scalar of each byte; nothing for a byte the reference codec leaves undefined.
std::array<std::optional<char32_t>, 256> ReferenceTable() {
  std::array<std::optional<char32_t>, 256> table;
  std::ifstream in(std::string(TRILANE_TEST_DATA) + "/cp1251.txt");
  EXPECT_TRUE(in) << "cp1251.txt is missing";
  std::string line;
  int rows = 0;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string byte, scalar;
    fields >> byte >> scalar;
    const auto b = std::stoul(byte, nullptr, 16);
    if (scalar != "-") table[b] = static_cast<char32_t>(std::stoul(scalar, nullptr, 16));
    ++rows;
  }
  EXPECT_EQ(rows, 256);
  return table;
}

std::string Utf8Of(char32_t scalar) {
  std::string out;
  AppendUtf8(out, scalar);
  return out;
}

TEST(Codepage, EveryByteAgreesWithTheReferenceTable) {
  const auto reference = ReferenceTable();
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<unsigned char>(b);
    const std::string one(1, static_cast<char>(byte));
    if (const auto scalar = reference[b]) {
      EXPECT_EQ(Cp1251ToUnicode(byte), *scalar) << std::hex << b;
      EXPECT_EQ(UnicodeToCp1251(*scalar), byte) << std::hex << b;
      EXPECT_EQ(Cp1251ToUtf8(one), Utf8Of(*scalar)) << std::hex << b;
      EXPECT_EQ(Utf8ToCp1251(Utf8Of(*scalar)), one) << std::hex << b;
    } else {
      // An undefined byte (0x98) has no character: it reads as U+FFFD and nothing writes it.
      EXPECT_EQ(Cp1251ToUnicode(byte), 0u) << std::hex << b;
      EXPECT_EQ(Cp1251ToUtf8(one), "\xEF\xBF\xBD") << std::hex << b;
      EXPECT_FALSE(Utf8ToCp1251("\xEF\xBF\xBD")) << std::hex << b;
    }
  }
}

// Every character outside the table is refused, or replaced when a replacement is given.
TEST(Codepage, CharactersOutsideTheCodePageAreRefused) {
  const auto reference = ReferenceTable();
  std::array<bool, 0x10000> inTable{};
  for (const auto& scalar : reference) {
    if (scalar) inTable[*scalar] = true;
  }
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    EXPECT_EQ(UnicodeToCp1251(c).has_value(), inTable[c]) << std::hex << uint32_t(c);
  }
  EXPECT_FALSE(UnicodeToCp1251(U'\U0001F600'));
  EXPECT_EQ(Utf8ToCp1251("a\xE2\x82\xACz\xE4\xB8\xAD", '?'), "a\x88z?");  // euro, then a CJK sign
}

TEST(Codepage, Utf8Check) {
  struct Case {
    const char* text;
    bool valid;
  };
  const Case cases[] = {
      {"", true},
      {"plain ascii", true},
      {"Новый Игрок", true},
      {"新玩家 새 플레이어", true},
      {"\xF0\x9F\x98\x80", true},   // U+1F600, four bytes
      {"\xF4\x8F\xBF\xBF", true},   // U+10FFFF, the last scalar
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xC0\xAF", false},          // overlong "/"
      {"\xE0\x80\xAF", false},      // overlong in three bytes
      {"\xED\xA0\x80", false},      // a surrogate
      {"\x80", false},              // a stray continuation byte
      {"abc\xD0", false},           // cut after the lead byte
      {"\xD0\x41", false},          // lead byte without its continuation
      {"\xFF", false},
      {"\xE4\xB8", false},  // three-byte sign cut short
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidUtf8(c.text), c.valid) << c.text;
}

}  // namespace
}  // namespace trilane
