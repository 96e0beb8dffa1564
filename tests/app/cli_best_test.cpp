// trilane-cli best: the rows it gives score what it says when the round is scored by the
// score command, specials are reported as the round settles them, and bad input is refused
// with a reason.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "cli_runner.h"

namespace trilane::test {
namespace {

const char* const kAgainst[] = {
    "3h 3c 2s 4d 5d 6d 7d 8d Ts Js Qs Ks As",
    "Jc Jd Jh Tc Td Th 6h 6s Ac Ad Ah 8h 8c",
    "4h 4s 6c 5c 5s 2c 3d 7h Kd Kc Qh Qc 8s",
};
const char* const kHand = "9h 9d 9c 9s 2h 2d 7c 7s Kh Qd 3s 4c 5h";

std::vector<std::string> BestArgs(const std::string& hand, const std::string& rule) {
  std::vector<std::string> args = {"best", "--hand", hand};
  for (const char* a : kAgainst) args.insert(args.end(), {"--against", a});
  args.insert(args.end(), {"--rule", rule, "--json"});
  return args;
}

// "F F F M M M M M B B B B B" as the score command's "F F F / M M M M M / B B B B B".
std::string Seat(const std::string& thirteen) {
  std::istringstream in(thirteen);
  std::string out, card;
  for (int i = 0; in >> card; ++i) out += (i == 3 || i == 8 ? " / " : (i ? " " : "")) + card;
  return out;
}

TEST(CliBest, TheRowsGivenScoreThePointsGiven) {
  for (const std::string rule : {"1-6", "2-4"}) {
    SCOPED_TRACE(rule);
    const CliResult best = RunCli(BestArgs(kHand, rule));
    ASSERT_EQ(best.exitCode, 0) << best.err;
    std::smatch m;
    const std::regex shape(
        R"re(^\{"front":\[("\w+"(?:,"\w+"){2})\],"middle":\[("\w+"(?:,"\w+"){4})\],"back":\[("\w+"(?:,"\w+"){4})\],"points":(-?\d+)\}\n$)re");
    ASSERT_TRUE(std::regex_match(best.out, m, shape)) << best.out;
    std::string rows = m[1].str() + "," + m[2].str() + "," + m[3].str();
    rows = std::regex_replace(rows, std::regex(R"(")"), "");
    rows = std::regex_replace(rows, std::regex(","), " ");

    std::vector<std::string> score = {"score", "--rule", rule};
    for (const char* a : kAgainst) score.insert(score.end(), {"--seat", Seat(a)});
    score.insert(score.end(), {"--seat", Seat(rows), "--json"});
    const CliResult scored = RunCli(score);
    ASSERT_EQ(scored.exitCode, 0) << scored.err;
    std::smatch t;
    ASSERT_TRUE(
        std::regex_search(scored.out, t, std::regex(R"("totals":\[-?\d+,-?\d+,-?\d+,(-?\d+)\])")));
    EXPECT_EQ(t[1].str(), m[4].str());
  }
}

TEST(CliBest, AnOwnSpecialCombinationIsReportedInsteadOfRows) {
  std::vector<std::string> args = {"best",
                                   "--hand",
                                   "2h 3h 4h 5h 6h 7h 8h 9h Th Jh Qh Kh Ad",
                                   "--against",
                                   "2c 3c 4c 5c 6c 7c 8c 9c Tc Jc Qc Kc Ac",
                                   "--against",
                                   "2s 3s 4s 5s 6s 7s 8s 9s Ts Js Qs Ks As",
                                   "--against",
                                   "2d 3d 4d Td Jd Qd Kd Ah 5d 6d 7d 8d 9d",
                                   "--json"};
  const CliResult dragon = RunCli(args);
  ASSERT_EQ(dragon.exitCode, 0) << dragon.err;
  // Two clean dragons (108 each) and a dragon (36) at the other seats.
  EXPECT_EQ(dragon.out, R"({"special":"Dragon","specialPoints":36,"points":-144})"
                        "\n");
}

TEST(CliBest, BadInputIsRefusedWithItsReason) {
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } kCases[] = {
      {{"best", "--hand", "2h 3h"}, "expected 13 cards"},
      {{"best", "--hand", kHand, "--against", kAgainst[0]}, "expected --against three times"},
      {{"best", "--hand", kHand, "--against", kAgainst[0], "--against", kAgainst[1], "--against",
        kAgainst[1]},
       "given twice"},
      {{"best", "--hand", kHand, "--against", kAgainst[0], "--against", kAgainst[1], "--against",
        kAgainst[2], "--rule", "3-3"},
       "--rule must be"},
      // The Back and the Middle given the wrong way round: rows that do not rise.
      {{"best", "--hand", kHand, "--against", "3h 3c 2s Ts Js Qs Ks As 4d 5d 6d 7d 8d", "--against",
        kAgainst[1], "--against", kAgainst[2]},
       "do not rise"},
      {{"best", "--hand", "2h 3h 4h 5h 6h 7h 8h 9h Th Jh Qh Kh Xx"}, "unknown card"},
  };
  for (const auto& c : kCases) {
    const CliResult r = RunCli(c.args);
    EXPECT_EQ(r.exitCode, 2) << c.reason;
    EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
}

}  // namespace
}  // namespace trilane::test
