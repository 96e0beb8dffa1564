// The reply grammars and number formats, as one table each.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "web/replies.h"

namespace trilane::web {
namespace {

TEST(ReplyGrammar, FindMarkerLooksAnywhere) {
  EXPECT_TRUE(FindMarker("$ ok#", "ok"));
  EXPECT_TRUE(FindMarker("nick is taken", "is"));
  EXPECT_TRUE(FindMarker("no", "no"));
  EXPECT_FALSE(FindMarker("o", "ok"));
  EXPECT_FALSE(FindMarker("OK", "ok"));
  EXPECT_FALSE(FindMarker("", "ok"));
}

TEST(ReplyGrammar, ReadDollarNumberTable) {
  struct Case {
    const char* reply;
    std::optional<int64_t> number;
  };
  const Case cases[] = {
      {"$123$", 123},
      {"$123", 12},              // the reply's last character is never part of the number
      {"$12$x$", std::nullopt},  // the last usable "$" is before the x
      {"place: $7$", 7},
      {"$5$ $9#", 9},        // searched backwards
      {"$$", std::nullopt},  // the only "$" before the end has no digits after it
      {"$", std::nullopt},
      {"", std::nullopt},
      {"123", std::nullopt},
      {"$12a3$", 12},  // the run ends at the first non-digit
      {"$-5$", std::nullopt},
      {"$99999999999999999999$", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadDollarNumber(c.reply), c.number) << c.reply;
  }
}

TEST(ReplyGrammar, ReadDollarFieldsTable) {
  using Fields = std::vector<std::string>;
  struct Case {
    const char* reply;
    char terminator, separator;
    std::optional<Fields> fields;
  };
  const Case cases[] = {
      {"$a b c$", '$', ' ', Fields{"a", "b", "c"}},
      {"xx$a  b$", '$', ' ', Fields{"a", "", "b"}},  // adjacent separators: an empty field
      {"$a b c", '$', ' ', Fields{"a", "b", ""}},    // up to, not including, the last character
      {"$a b*$c d*$", '*', ' ', Fields{"a", "b"}},   // the first "$" only
      {"$John~Smith~I like cards~x$", '$', '~', Fields{"John", "Smith", "I like cards", "x"}},
      {"abc$", '$', ' ', std::nullopt},  // a "$" as the last character does not count
      {"abc", '$', ' ', std::nullopt},
      {"$$", '$', ' ', Fields{""}},
      {"$x$", '$', ' ', Fields{"x"}},
      {"$$x", '$', ' ', Fields{""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadDollarFields(c.reply, c.terminator, c.separator), c.fields) << c.reply;
  }
}

TEST(ReplyGrammar, FieldListTakesEachDollarUpToTen) {
  const auto list = ReadDollarFieldList("$1 a*$2 b*$3 c*$", '*', ' ');
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0], (std::vector<std::string>{"1", "a"}));
  EXPECT_EQ(list[2], (std::vector<std::string>{"3", "c"}));

  std::string eleven;
  for (int i = 1; i <= 11; ++i) eleven += "$" + std::to_string(i) + " x*";
  eleven += "$";
  const auto ten = ReadDollarFieldList(eleven, '*', ' ');
  ASSERT_EQ(ten.size(), 10u);
  EXPECT_EQ(ten[9][0], "10");
  EXPECT_TRUE(ReadDollarFieldList("no dollar", '*', ' ').empty());
  EXPECT_TRUE(ReadDollarFieldList("$", '*', ' ').empty());
}

TEST(ReplyGrammar, ReadOkAfterDollarTable) {
  struct Case {
    const char* reply;
    bool ok;
  };
  const Case cases[] = {
      {"$ ok#", true}, {"$ ok", true},   {"$xok#more", true}, {"$ ok#$ no#", false},
      {"$ok#", false}, {"$ o#k", false}, {"ok", false},       {"$ ok$", true},
      {"$ o", false},  {"", false},      {"$ ok#$", true},    {"$1 ok", false},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadOkAfterDollar(c.reply), c.ok) << c.reply;
}

TEST(Numbers, ParseWebFloatTakesAnySeparator) {
  struct Case {
    const char* text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {"1234.5", 1234.5},
      {"1234,5", 1234.5},
      {"-9.95", -9.95},
      {"3", 3.0},
      {"", 0.0},
      {"  ", 0.0},
      {" 2,5 ", 2.5},
      {"1.2.3", std::nullopt},
      {"abc", std::nullopt},
      {"-", std::nullopt},
      {"1e5", 1.5},
      {"nan", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseWebFloat(c.text), c.value) << c.text;
}

TEST(Numbers, WebFloatIsShortestWithAPoint) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {3.05, "3.05"},
      {-9.95, "-9.95"},
      {0, "0"},
      {0.000009, "0"},
      {-0.000009, "0"},
      {0.00001, "0.00001"},
      {12, "12"},
      {1.0 / 3, "0.333333333333333"},
      {1e20, "100000000000000000000"},
  };
  for (const Case& c : cases) EXPECT_EQ(WebFloat(c.value), c.text) << c.value;
  // What is sent reads back as the same value to 15 digits.
  for (double v : {3.05, -9.95, 1234.5, 0.1 + 0.2, 99.99, -0.00012345678901234}) {
    EXPECT_NEAR(ParseWebFloat(WebFloat(v)).value_or(1e9), v, 1e-14 * std::abs(v)) << v;
  }
}

TEST(Numbers, StrictIntegers) {
  EXPECT_EQ(ParseStrictInt("42"), 42);
  EXPECT_EQ(ParseStrictInt("-7"), -7);
  for (const char* bad : {"", " 1", "1 ", "+1", "1.0", "x", "--1", "99999999999999999999"}) {
    EXPECT_EQ(ParseStrictInt(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace trilane::web
