// trilane-cli commands that must agree with each other: the deal with the shuffle, a played
// match with the simulation of the same decks, single words with the dump, and every
// command's --json output with the JSON grammar.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "json_value.h"

namespace trilane::test {
namespace {

JsonValue ParsedJson(const CliResult& r, const std::string& what) {
  EXPECT_EQ(r.exitCode, 0) << what << ": " << r.err;
  const auto value = JsonReader::Parse(r.out);
  EXPECT_TRUE(value) << what << " printed no JSON: " << r.out.substr(0, 300);
  return value.value_or(JsonValue{});
}

std::vector<std::string> Strings(const JsonValue& array) {
  std::vector<std::string> out;
  for (const JsonValue& v : array.items) out.push_back(v.text);
  return out;
}

int RankOf(const std::string& card) {
  return static_cast<int>(std::string("23456789TJQKA").find(card.at(0)));
}

// The table position that receives deck block k (1..4) on the machine of player `own`:
// the players sit in the order 1, 3, 2, 4, and the own block goes to position 4.
constexpr int kPositionOf[4][4] = {{4, 2, 1, 3}, {2, 4, 3, 1}, {3, 1, 4, 2}, {1, 3, 2, 4}};

TEST(CliAgreement, DealCutsTheShuffledDeckIntoSortedBlocks) {
  for (const char* seed : {"0", "77", "4294967295"}) {
    const auto deck =
        Strings(ParsedJson(RunCli({"shuffle", "--seed", seed, "--json"}), "shuffle")["deck"]);
    ASSERT_EQ(deck.size(), 52u) << seed;
    for (int own = 1; own <= 4; ++own) {
      const JsonValue hands = ParsedJson(
          RunCli({"deal", "--seed", seed, "--own", std::to_string(own), "--json"}), "deal");
      ASSERT_EQ(hands["hands"].items.size(), 4u);
      for (int block = 1; block <= 4; ++block) {
        // Block k is deck positions 13(k-1)+1..13k, sorted by rank; equal ranks keep the
        // order of the deck.
        std::vector<std::string> expected(deck.begin() + 13 * (block - 1),
                                          deck.begin() + 13 * block);
        std::stable_sort(
            expected.begin(), expected.end(),
            [](const std::string& a, const std::string& b) { return RankOf(a) < RankOf(b); });
        const int position = kPositionOf[own - 1][block - 1];
        EXPECT_EQ(Strings(hands["hands"][static_cast<size_t>(position - 1)]), expected)
            << "seed " << seed << ", own " << own << ", block " << block;
      }
    }
  }
}

// "play" runs the table flow with the computer arranging every seat, the local one through
// the clicks a player would make; "simulate" runs the rules alone on the same decks. The
// totals by position must be the same.
TEST(CliAgreement, PlayedMatchEndsWithTheSimulatedTotals) {
  for (const char* rule : {"1-6", "2-4"}) {
    for (const char* seed : {"3", "2024"}) {
      const CliResult play =
          RunCli({"play", "--rounds", "30", "--seed", seed, "--rule", rule, "--json"});
      ASSERT_EQ(play.exitCode, 0) << play.err;
      const std::string last = play.out.substr(play.out.rfind('\n', play.out.size() - 2) + 1);
      const JsonValue end = ParsedJson({0, last, ""}, "play");
      ASSERT_EQ(end["call"].text, "match_end") << last;
      EXPECT_EQ(end["rounds"].number, 30);
      const JsonValue sim = ParsedJson(
          RunCli({"simulate", "--rounds", "30", "--seed", seed, "--rule", rule, "--json"}),
          "simulate");
      ASSERT_EQ(end["totals"].items.size(), 4u);
      ASSERT_EQ(sim["totals"].items.size(), 4u);
      double sum = 0;
      for (size_t p = 0; p < 4; ++p) {
        EXPECT_EQ(end["totals"][p].number, sim["totals"][p].number)
            << "rule " << rule << ", seed " << seed << ", position " << p + 1;
        sum += end["totals"][p].number;
      }
      EXPECT_EQ(sum, 0);
    }
  }
}

TEST(CliAgreement, WordsDumpIsJsonAndHoldsEveryEntryAsShownAlone) {
  const JsonValue dump = ParsedJson(RunCli({"words", "--dump"}), "words --dump");
  EXPECT_EQ(JsonReader::Parse(RunCli({"words", "--dump", "--json"}).out).has_value(), true);
  ASSERT_EQ(dump["languages"].items.size(), 10u);
  ASSERT_EQ(dump["countries"].members.size(), 6u);
  ASSERT_FALSE(dump["entries"].members.empty());
  for (const auto& [entry, texts] : dump["entries"].members) {
    ASSERT_EQ(texts.items.size(), 10u) << "entry " << entry;
  }
  for (const char* entry : {"7", "89", "90", "282", "1013"}) {
    for (int language = 0; language < 10; ++language) {
      const std::string expected = dump["entries"][entry][static_cast<size_t>(language)].text;
      const std::vector<std::string> args = {"words", "--entry", entry, "--lang",
                                             std::to_string(language)};
      const CliResult plain = RunCli(args);
      EXPECT_EQ(plain.out, expected + "\n") << entry << "/" << language;
      std::vector<std::string> json = args;
      json.push_back("--json");
      const JsonValue one = ParsedJson(RunCli(json), "words --entry --json");
      EXPECT_EQ(one["text"].text, expected) << entry << "/" << language;
      EXPECT_EQ(one["entry"].number, std::stod(entry));
    }
  }
}

// Every command that needs no network answers --json with JSON (one value per line).
TEST(CliAgreement, EveryCommandAnswersJsonWithJson) {
  const ScratchFolder scratch;
  const std::filesystem::path& dir = scratch.Path();
  ASSERT_FALSE(dir.empty());
  const std::string ini = (dir / "Trilane.ini").string();
  const std::string clb = (dir / "Trilane.clb").string();
  const std::string hist = (dir / "History").string();
  const std::string hst = (dir / "History" / "Trilane_I0001.hst").string();
  const std::string seat = "2h 3h 4h / 5c 6d 7h 8s 9c / Tc Td Th Jh Jc";
  const std::vector<std::vector<std::string>> commands = {
      {"eval", "2h", "3h", "4h"},
      {"special", "2h", "3d", "4c", "5s", "6h", "7d", "8c", "9s", "Th", "Jd", "Qc", "Ks", "2s"},
      {"arrange", "2h", "3d", "4c", "5s", "6h", "7d", "8c", "9s", "Th", "Jd", "Qc", "Ks", "2s"},
      {"score", "--rule", "1-6", "--seat", seat, "--seat",
       "2c 3c 4c / 5d 6h 7s 8c 9d / Ts Qs Qh Qd Qc", "--seat",
       "2d 3d 4d / 5h 6s 7c 8d 9h / Js Ks Kh Kd Kc", "--seat",
       "2s 3s 4s / 5s 6c 7d 8h 9s / Jd As Ah Ad Ac"},
      {"round", "--rule", "2-4", "--hand", "2h 3h 4h 5h 6h 7h 8h 9h Th Jh Qh Kh Ah", "--hand",
       "2c 3c 4c 5c 6c 7c 8c 9c Tc Jc Qc Kc Ac", "--hand", "2s 3s 4s 5s 6s 7s 8s 9s Ts Js Qs Ks As",
       "--hand", "2d 3d 4d 5d 6d 7d 8d 9d Td Jd Qd Kd Ad"},
      {"shuffle", "--seed", "1"},
      {"deal", "--seed", "1"},
      {"simulate", "--rounds", "2", "--seed", "1"},
      {"play", "--rounds", "1", "--seed", "1"},
      {"words", "--entry", "0"},
      {"words", "--dump"},
      {"settings", "default", "--out", ini},
      {"settings", "show", ini},
      {"club", "new", "--out", clb},
      {"club", "check", clb},
      {"club", "show", clb},
      {"club", "result", clb, "--slot", "6", "--name", "Tom", "--password=", "--match-score", "3",
       "--rounds", "2"},
      {"club", "remove", clb, "--slot", "1"},
      {"history", "append", "--dir", hist, "--name", "Tom", "--games", "2", "--result", "3",
       "--rating", "0.75", "--kind", "L", "--now", "2026-03-07 09:05"},
      {"history", "check", hst},
      {"history", "list", hist},
      {"history", "show", hst},
  };
  for (std::vector<std::string> args : commands) {
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    args.push_back("--json");
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.exitCode, 0) << joined << ": " << r.err;
    std::istringstream lines(r.out);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
      EXPECT_TRUE(JsonReader::Parse(line)) << joined << " printed: " << line.substr(0, 200);
    }
    EXPECT_GT(count, 0) << joined;
  }
}

TEST(CliAgreement, JsonReaderRefusesWhatIsNotJson) {
  for (const char* bad : {"", "{", "{\"a\":1,}", "[1 2]", "\"tab\there\"", "01", "{\"a\":1}x",
                          "\"\\ud800\"", "{\"a\":1,\"a\":2}", "nul", "[1,]"}) {
    EXPECT_FALSE(JsonReader::Parse(bad)) << bad;
  }
  const auto good = JsonReader::Parse(R"( {"a":[1,-2.5e3,true,null,"\u00e9\ud83d\ude00"]} )");
  ASSERT_TRUE(good);
  EXPECT_EQ((*good)["a"][1].number, -2500);
  EXPECT_EQ((*good)["a"][4].text, "\xC3\xA9\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace trilane::test
