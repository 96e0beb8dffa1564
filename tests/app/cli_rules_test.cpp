#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "cli_runner.h"

namespace trilane::test {
namespace {

TEST(CliRules, JsonOutputs) {
  struct Case {
    std::vector<std::string> args;
    std::string json;
  };
  const Case cases[] = {
      {{"eval", "2h", "3h", "4h", "5h", "6h", "--json"},
       R"({"category":9,"values":[5,0,0,0,0],"name":"Straight-Flush"})"},
      {{"eval", "Тп", "Тч", "2б", "--json"}, R"({"category":2,"values":[13,1,0,0,0],"name":"Pair"})"},
      {{"eval", "Ts", "Js", "Qs", "Ks", "As", "--json"},
       R"({"category":9,"values":[13,0,0,0,0],"name":"Royal-Flush"})"},
      {{"special", "2h", "3d", "4h", "5h", "6h", "7h", "8h", "9h", "10h", "Jh", "Qh", "Kh", "Ah", "--json"},
       R"({"code":12,"points":36,"name":"Dragon"})"},
      {{"special", "2h", "3d", "5c", "7s", "9h", "Jd", "Kc", "2s", "4h", "6d", "8c", "Ts", "Qh", "--json"},
       R"({"code":0,"points":0,"name":""})"},
      {{"arrange", "2h", "3d", "4c", "5s", "6h", "7d", "8c", "9s", "Th", "Jd", "Qc", "Ks", "2s", "--json"},
       R"({"front":["2h","2s","3d"],"middle":["4c","5s","6h","7d","8c"],"back":["9s","Th","Jd","Qc","Ks"],)"
       R"("values":{"front":[2,1,2,0,0,0],"middle":[5,7,0,0,0,0],"back":[5,12,0,0,0,0]},"weight":32570})"},
      {{"score", "--rule", "2-4", "--seat", "2h 3h 4h / 5c 6d 7h 8s 9c / Tc Td Th Jh Jc",
        "--seat", "2c 3c 4c / 5d 6h 7s 8c 9d / Ts Qs Qh Qd Qc", "--seat",
        "2d 3d 4d / 5h 6s 7c 8d 9h / Js Ks Kh Kd Kc", "--seat", "2s 3s 4s / 5s 6c 7d 8h 9s / Jd As Ah Ad Ac", "--json"},
       // Equal Fronts and Middles; Backs ranked 4th..1st, three of them four of a kind.
       R"({"points":[[0,0,-9,0,0],[0,0,1,0,0],[0,0,3,0,0],[0,0,5,0,0]],)"
       R"("bonus":[[0,0,0],[0,0,1],[0,0,1],[0,0,1]],"totals":[-9,1,3,5]})"},
  };
  for (const Case& c : cases) {
    const CliResult r = RunCli(c.args);
    EXPECT_EQ(r.exitCode, 0) << c.args[0] << ": " << r.err;
    EXPECT_EQ(r.out, c.json + "\n") << c.args[0];
  }
}

TEST(CliRules, ShuffleDealAndRoundAgree) {
  const CliResult deal = RunCli({"deal", "--seed", "77", "--own", "1", "--json"});
  ASSERT_EQ(deal.exitCode, 0) << deal.err;
  const CliResult shuffle = RunCli({"shuffle", "--seed", "77", "--json"});
  ASSERT_EQ(shuffle.exitCode, 0) << shuffle.err;
  EXPECT_EQ(shuffle.out.rfind(R"({"deck":[")", 0), 0u);
  EXPECT_EQ(std::count(shuffle.out.begin(), shuffle.out.end(), ','), 51);
  const CliResult native = RunCli({"shuffle", "--seed", "77", "--native"});
  EXPECT_NE(native.out.find("ч"), std::string::npos);

  const CliResult sim = RunCli({"simulate", "--rounds", "50", "--seed", "9", "--rule", "2-4", "--json"});
  ASSERT_EQ(sim.exitCode, 0) << sim.err;
  EXPECT_NE(sim.out.find(R"("rounds":50)"), std::string::npos);

  // The hands of a deal played as a round: arranged and scored, zero-sum.
  std::vector<std::string> roundArgs = {"round", "--json"};
  const CliResult text = RunCli({"deal", "--seed", "77"});
  std::istringstream lines(text.out);
  for (std::string line; std::getline(lines, line);) {
    roundArgs.push_back("--hand");
    roundArgs.push_back(line.substr(line.find(':') + 2));
  }
  ASSERT_EQ(roundArgs.size(), 10u);
  const CliResult round = RunCli(roundArgs);
  ASSERT_EQ(round.exitCode, 0) << round.err;
  EXPECT_NE(round.out.find(R"("specials":[[0,0],[0,0],[0,0],[0,0]],"rows":[{"front":)"), std::string::npos)
      << round.out;
  const size_t at = round.out.find(R"("totals":[)");
  ASSERT_NE(at, std::string::npos);
  int a = 0, b = 0, c = 0, d = 0;
  ASSERT_EQ(std::sscanf(round.out.c_str() + at, R"("totals":[%d,%d,%d,%d])", &a, &b, &c, &d), 4);
  EXPECT_EQ(a + b + c + d, 0);
}

TEST(CliRules, RoundSettledBySpecials) {
  const CliResult r = RunCli({"round", "--json", "--hand", "2h 3d 4h 5h 6h 7h 8h 9h Th Jh Qh Kh Ah", "--hand",
                              "2c 3c 4c 5c 6c 7c 8c 9c Tc Jc Qc Kc Ac", "--hand",
                              "2s 3s 4s 5s 6s 7s 8s 9s Ts Js Qs Ks As", "--hand",
                              "3h 2d 4d 5d 6d 7d 8d 9d Td Jd Qd Kd Ad"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find(R"("specials":[[12,36],[13,108],[13,108],[12,36]],"rows":null)"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find(R"("totals":[-144,144,144,-144])"), std::string::npos) << r.out;
  // The same card in two hands is refused.
  const CliResult dup = RunCli({"round", "--hand", "2h 3d 4h 5h 6h 7h 8h 9h Th Jh Qh Kh Ah", "--hand",
                                "2h 3c 4c 5c 6c 7c 8c 9c Tc Jc Qc Kc Ac", "--hand",
                                "2s 3s 4s 5s 6s 7s 8s 9s Ts Js Qs Ks As", "--hand",
                                "3h 2d 4d 5d 6d 7d 8d 9d Td Jd Qd Kd Ad"});
  EXPECT_EQ(dup.exitCode, 2);
}

TEST(CliRules, BadInputGetsOneLineAndExitTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"nonsense"},
      {"eval", "2h", "3h"},
      {"eval", "2h", "3h", "4h", "5h"},
      {"eval", "2h", "2h", "4h"},
      {"eval", "2x", "3h", "4h"},
      {"eval", "2h", "3h", "4h", "--frobnicate"},
      {"special", "2h", "3h"},
      {"arrange", "2h", "3d", "4c", "5s", "6h", "7d", "8c", "9s", "Th", "Jd", "Qc", "Ks", "Ks"},
      {"score", "--rule", "3-3", "--seat", "a"},
      {"score", "--seat", "2h 3h 4h / 5c 6d 7h 8s 9c / Tc Td Th Jh Jc"},
      {"score", "--seat", "2h 3h / 5c 6d 7h 8s 9c / Tc Td Th Jh Jc", "--seat", "x", "--seat", "y",
       "--seat", "z"},
      {"score", "--rule", "1-6", "--seat", "2h 3h 4h / Tc Td Th Jh Jc / 5c 6d 7h 8s 9c", "--seat",
       "2c 3c 4c / 5d 6h 7s 8c 9d / Ts Qs Qh Qd Qc", "--seat",
       "2d 3d 4d / 5h 6s 7c 8d 9h / Js Ks Kh Kd Kc", "--seat",
       "2s 3s 4s / 5s 6c 7d 8h 9s / Jd As Ah Ad Ac"},  // seat 1's Middle above its Back
      {"shuffle"},
      {"shuffle", "--seed", "-1"},
      {"shuffle", "--seed", "4294967296"},
      {"shuffle", "--seed", "12abc"},
      {"deal", "--seed", "1", "--own", "5"},
      {"simulate", "--rounds", "0", "--seed", "1"},
      {"simulate", "--rounds"},
  };
  for (const auto& args : cases) {
    const CliResult r = RunCli(args);
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_EQ(r.exitCode, 2) << joined;
    if (!args.empty()) {
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << joined << " -> " << r.err;
    }
    EXPECT_TRUE(r.out.empty()) << joined;
  }
}

}  // namespace
}  // namespace trilane::test
