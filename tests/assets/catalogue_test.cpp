// The catalogue reader: name expansion, the card naming rules it expands, and its errors.

#include <gtest/gtest.h>

#include <algorithm>

#include "assets/catalogue.h"

namespace trilane::assets {
namespace {

TEST(ExpandPattern, AlternativesRangesAndPadding) {
  struct Case {
    const char* pattern;
    std::vector<std::string> names;
  } cases[] = {
      {"Logo", {"Logo"}},
      {"SP{Blue,Red}", {"SPBlue", "SPRed"}},
      {"GPlace{08..10}", {"GPlace08", "GPlace09", "GPlace10"}},
      {"GBClock{0..2}", {"GBClock0", "GBClock1", "GBClock2"}},
      {"{R,Q}{29,44}_L", {"R29_L", "R44_L", "Q29_L", "Q44_L"}},
      {"Net__{Eng}", {"Net__Eng"}},
  };
  for (const Case& c : cases) {
    auto got = ExpandPattern(c.pattern);
    ASSERT_TRUE(got.has_value()) << c.pattern;
    std::vector<std::string> names;
    for (const Expansion& e : *got) names.push_back(e.name);
    EXPECT_EQ(names, c.names) << c.pattern;
  }
  auto choices = ExpandPattern("G{R,A}Clock{0..1}");
  ASSERT_TRUE(choices.has_value());
  EXPECT_EQ((*choices)[3].choices, (std::vector<std::string>{"A", "1"}));
}

TEST(ExpandPattern, RejectsBrokenBraces) {
  for (const char* bad : {"A{B", "A}B", "A{B{C}}", "{"}) {
    EXPECT_FALSE(ExpandPattern(bad).has_value()) << bad;
  }
}

TEST(ParseCatalogue, ReportsTheLineOfAFault) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"# comment\nprogram RCDATA X png 10 plate\n", "line 2: bad size 10"},
      {"program RCDATA X bmp 1x1 plate\n", "line 1: unknown format bmp"},
      {"program RCDATA X{a png 1x1 plate\n", "line 1: bad name pattern X{a"},
      {"program RCDATA X png\n", "line 1: expected module, type, name, format, size and kind"},
      {"@faces program 0..48\n", "line 1: bad design range"},
      {"@backs program 0..0 sX\n", "line 1: bad back sizes"},
      {"@cards program\n", "line 1: unknown directive @cards"},
      {"program RCDATA X png 1x1 a\nprogram rcdata x png 1x1 b\n",
       "line 0: duplicate resource program/RCDATA/X"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseCatalogue(c.text, &error).has_value()) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
}

const Asset* Find(const Catalogue& cat, const std::string& module, const std::string& name) {
  for (const Asset& a : cat.assets) {
    if (a.module == module && UpperAscii(a.name) == UpperAscii(name)) return &a;
  }
  return nullptr;
}

TEST(ParseCatalogue, FacesFollowTheSuffixRules) {
  std::string error;
  auto cat = ParseCatalogue("@faces program 0..0\n@faces A 1..31\n@faces B 32..39\n", &error);
  ASSERT_TRUE(cat.has_value()) << error;
  // The built-in small set is bitmaps, its large set PNG; 52 faces and 4 symbols twice.
  EXPECT_EQ(cat->OfModule("program").size(), 112u);
  EXPECT_EQ(Find(*cat, "program", "CH02")->type, "BITMAP");
  EXPECT_EQ(Find(*cat, "program", "PI5AB")->format, "png");
  EXPECT_EQ(Find(*cat, "program", "KRES")->width, 20);
  // Design 6 borrows its number cards and symbols from "Mod" and keeps its courts and aces.
  EXPECT_EQ(Find(*cat, "A", "Ch02Cor"), nullptr);
  EXPECT_EQ(Find(*cat, "A", "CherCor"), nullptr);
  EXPECT_NE(Find(*cat, "A", "Ch2JCor"), nullptr);
  EXPECT_NE(Find(*cat, "A", "Ch5ACorB"), nullptr);
  EXPECT_NE(Find(*cat, "A", "Ch02Mod"), nullptr);
  // Design 7 borrows its aces too; design 25's number cards come from "Rhi".
  EXPECT_EQ(Find(*cat, "A", "Pi5ACro"), nullptr);
  EXPECT_EQ(Find(*cat, "A", "Bu10Boy"), nullptr);
  EXPECT_NE(Find(*cat, "A", "Pi5ABoy"), nullptr);
  // Narrow designs are narrow in the large size only.
  EXPECT_EQ(Find(*cat, "A", "Ch02PlaB")->width, 126);
  EXPECT_EQ(Find(*cat, "A", "Ch02Pla")->width, 69);
  EXPECT_EQ(Find(*cat, "A", "Ch02SkFB")->width, 126);
  EXPECT_EQ(Find(*cat, "A", "Ch02EngB")->width, 146);
  EXPECT_EQ(Find(*cat, "B", "Ch02BelB")->width, 126);
  // Every face is drawn by the design that owns the suffix.
  EXPECT_EQ(Find(*cat, "A", "Ch02Sea")->args[0], "21");
}

TEST(ParseCatalogue, BacksBackgroundsAndVoices) {
  std::string error;
  auto cat = ParseCatalogue(
      "@backs P 0..0 sB\n@backs B 0..0 U\n@backs B 8..9 sBU\n@backgrounds G\n@voices V\n", &error);
  ASSERT_TRUE(cat.has_value()) << error;
  EXPECT_EQ(Find(*cat, "P", "Ob07Su")->type, "BITMAP");
  EXPECT_EQ(Find(*cat, "P", "Ob07SuB")->width, 146);
  EXPECT_EQ(Find(*cat, "B", "Ob03WeU")->width, 126);
  EXPECT_NE(Find(*cat, "B", "Ob10XXAniU"), nullptr);  // collections hold ten backs
  EXPECT_NE(Find(*cat, "B", "Ob01MoFlo"), nullptr);
  EXPECT_EQ(cat->OfModule("B").size(), 7u + 2 * 10 * 3);
  // Ten pictures in seven colours, small and large, but for the built-in "FonG".
  EXPECT_EQ(cat->OfModule("G").size(), (70u - 1) * 2);
  EXPECT_EQ(Find(*cat, "G", "Fon02Gr"), nullptr);
  EXPECT_EQ(Find(*cat, "G", "Fon10FiB")->height, 1000);
  EXPECT_EQ(cat->OfModule("V").size(), 520u);
  EXPECT_NE(Find(*cat, "V", "Pi5AVoiceKor"), nullptr);
  EXPECT_NE(Find(*cat, "V", "Ch02VoiceJap"), nullptr);
}

}  // namespace
}  // namespace trilane::assets
