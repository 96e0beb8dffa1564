// trilane-cli's account commands as players and scripts use them: the field rules, the user
// file byte for byte as the program keeps it, and matches for the world rating against the
// reference club service started on 127.0.0.1.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "../web/club_service_process.h"
#include "base/codepage.h"
#include "cli_runner.h"
#include "json_value.h"
#include "web/user_file.h"

namespace trilane {
namespace {

using test::CliResult;
using test::JsonReader;
using test::JsonValue;
using test::RunCli;
using test::ScratchFolder;
namespace fs = std::filesystem;

int StderrLines(const CliResult& r) {
  return static_cast<int>(std::count(r.err.begin(), r.err.end(), '\n'));
}

std::vector<JsonValue> JsonLines(const std::string& out) {
  std::vector<JsonValue> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    auto value = JsonReader::Parse(line);
    EXPECT_TRUE(value) << line;
    if (value) lines.push_back(*value);
  }
  return lines;
}

TEST(CliAccount, ChecksTheGivenFieldsOnly) {
  struct Case {
    std::vector<std::string> args;
    std::string out;
  };
  const std::vector<Case> cases = {
      {{"--nick", "Ann", "--json"}, "{\"nick\":3}\n"},
      {{"--city", "Киев", "--nick", "Ann", "--json"}, "{\"nick\":3,\"city\":2}\n"},
      {{"--nick", "Анна", "--json"}, "{\"nick\":1}\n"},
      {{"--nick", "Анна", "--city", "Ёлки", "--passport", "--json"}, "{\"nick\":2,\"city\":2}\n"},
      {{"--password", "abc", "--email", "a@b", "--json"}, "{\"password\":1,\"email\":3}\n"},
      {{"--email", "@ab", "--password", "abcd", "--json"}, "{\"password\":3,\"email\":1}\n"},
      {{"--nick", "Ann😀", "--json"}, "{\"nick\":1}\n"},  // not in the code page: no class
      {{"--city", "Oslo"}, "city 3\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"account", "check"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.exitCode, 0) << c.out << r.err;
    EXPECT_EQ(r.out, c.out);
  }
  for (const std::vector<std::string>& bad : {std::vector<std::string>{"account", "check"},
                                              {"account"},
                                              {"account", "check", "--bogus"},
                                              {"account", "verify", "--nick", "Ann"}}) {
    const CliResult r = RunCli(bad);
    EXPECT_EQ(r.exitCode, 2) << bad.back();
    EXPECT_EQ(StderrLines(r), 1) << r.err;
  }
}

TEST(CliAccount, TheUserFileIsTheProgramsByteForByte) {
  ScratchFolder folder;
  const fs::path file = folder.Path() / "QorUser.qor";
  const CliResult saved = RunCli({"user", "save", "--folder", folder.Path().string(), "--nick",
                                  "Иван", "--password", "a#b$c d"});
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  const web::UserFile ivan{*Utf8ToCp1251("Иван"), "a#b$c d"};
  std::ifstream in(file, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(bytes, web::UserFileBytes(ivan));
  EXPECT_EQ(web::ReadUserFile(file), ivan);

  // A file the program wrote shows as it holds it.
  ASSERT_FALSE(web::WriteUserFile(file, {"Ann", "secret12"}));
  CliResult shown = RunCli({"user", "show", "--folder", folder.Path().string(), "--json"});
  EXPECT_EQ(shown.exitCode, 0);
  EXPECT_EQ(shown.out, "{\"nick\":\"Ann\",\"password\":\"secret12\"}\n");
  shown = RunCli({"user", "show", "--folder", folder.Path().string()});
  EXPECT_EQ(shown.out, "nick Ann\npassword secret12\n");

  EXPECT_EQ(RunCli({"user", "delete", "--folder", folder.Path().string()}).exitCode, 0);
  EXPECT_FALSE(fs::exists(file));
  for (const std::string& content : {std::string(), std::string("Qor User File\r\nAnn\r\n")}) {
    if (!content.empty()) std::ofstream(file, std::ios::binary) << content;
    const CliResult none = RunCli({"user", "show", "--folder", folder.Path().string(), "--json"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(StderrLines(none), 1) << none.err;
    EXPECT_TRUE(none.out.empty());
  }
  // A nick with a line end would read back as another file: refused, the old file kept.
  const CliResult bad = RunCli(
      {"user", "save", "--folder", folder.Path().string(), "--nick", "A\nB", "--password", "x1"});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_EQ(StderrLines(bad), 1) << bad.err;
  EXPECT_EQ(RunCli({"user", "save", "--folder", folder.Path().string()}).exitCode, 2);
}

class CliRatedPlay : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(web::testing::kServiceProgram)) GTEST_SKIP() << "no club service";
    ASSERT_FALSE(service_.Url().empty()) << "the club service did not start";
    directory_ = service_.Url() + "/directory.txt";
    const CliResult created =
        RunCli({"web", "register-user", "--service", directory_, "nick=Ann", "pw=abcd1",
                "city=Oslo", "country1=Norway", "country2=1-035", "sex=W", "email=a@b.no"});
    ASSERT_EQ(created.exitCode, 0) << created.out << created.err;
  }

  CliResult Play(const std::vector<std::string>& more) {
    std::vector<std::string> args = {"play", "--account", "Ann", "--service", directory_};
    args.insert(args.end(), more.begin(), more.end());
    return RunCli(args);
  }

  web::testing::ClubService service_;
  std::string directory_;
};

TEST_F(CliRatedPlay, AWholeCycleBooksEachMatchByTheFormulasAndPaysTheBonus) {
  const CliResult r = Play({"--password", "abcd1", "--matches", "20", "--seed", "7", "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::vector<JsonValue> lines = JsonLines(r.out);
  ASSERT_EQ(lines.size(), 21u) << r.out;

  int64_t total = 0;
  for (int n = 1; n <= 20; ++n) {
    const JsonValue& line = lines[n - 1];
    ASSERT_EQ(line["match"].number, n) << r.out;
    const auto score = static_cast<int64_t>(line["score"].number);
    total += score;
    const int64_t kon = 4 * n;
    EXPECT_EQ(line["kon"].number, kon);
    // R = S / K + K / 80 over the matches so far; the first is 4/80 + m/4 (3.05 after a 12).
    EXPECT_NEAR(line["rating"].number, static_cast<double>(total) / kon + kon / 80.0, 1e-9) << n;
    EXPECT_EQ(line["cycleGames"].number, n < 20 ? kon : 0) << n;
    EXPECT_EQ(line["cycleScore"].number, n < 20 ? total : 0) << n;
    EXPECT_EQ(line["sessions"].number, n < 20 ? 0 : 1) << n;
    EXPECT_EQ(line["best"].number, n < 20 ? 0 : std::max<int64_t>(total, 0)) << n;
  }
  EXPECT_NEAR(lines[0]["rating"].number, 0.05 + lines[0]["score"].number / 4, 1e-12);
  const JsonValue& cycle = lines[20];
  EXPECT_EQ(cycle["cycle"].number, 1);
  EXPECT_EQ(cycle["score"].number, total);
  EXPECT_EQ(cycle["place"].number, 1);
  EXPECT_EQ(cycle["bonus"].number, 25);
  EXPECT_EQ(cycle["qors"].number, 25);

  // The service holds the same: the account table's entry and the rating.
  const CliResult table =
      RunCli({"web", "read-records", "--service", directory_, "gid=1114", "--json"});
  EXPECT_NE(table.out.find("\"Nick\":\"Ann\""), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("\"Score\":" + std::to_string(total)), std::string::npos) << table.out;

  // The service takes 40 rated matches of an account a day: the 41st pre-charge cannot be
  // stored, after its two pauses, and that match is not played.
  const CliResult more = Play({"--password", "abcd1", "--matches", "21", "--seed", "8", "--json"});
  if (more.exitCode == 0) GTEST_SKIP() << "the service's day turned during the test";
  EXPECT_EQ(more.exitCode, 1);
  EXPECT_EQ(more.err, "Could not connect to server!\n");
  const std::vector<JsonValue> second = JsonLines(more.out);
  ASSERT_EQ(second.size(), 21u) << more.out;  // 20 matches and the second cycle's entry
  EXPECT_EQ(second[19]["kon"].number, 160);
  const CliResult best =
      RunCli({"web", "read-best", "--service", directory_, "nick=Ann", "pw=abcd1", "--json"});
  EXPECT_NE(best.out.find("\"Kon\":160,"), std::string::npos) << best.out;
}

TEST_F(CliRatedPlay, ARefusedSignInPlaysNothing) {
  const CliResult wrong = Play({"--password", "abcd2", "--json"});
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_EQ(wrong.err, "Login failed!\n");
  EXPECT_TRUE(wrong.out.empty());
  const CliResult best =
      RunCli({"web", "read-best", "--service", directory_, "nick=Ann", "pw=abcd1", "--json"});
  EXPECT_NE(best.out.find("\"Kon\":0"), std::string::npos) << best.out;

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--json"},
                                              {"--password", "abcd1", "--matches", "0"},
                                              {"--password", "abcd1", "--rule", "3-3"},
                                              {"--password", "abcd1", "--rounds", "4"}}) {
    const CliResult r = Play(bad);
    EXPECT_EQ(r.exitCode, 2) << bad.back();
    EXPECT_EQ(StderrLines(r), 1) << r.err;
  }
}

}  // namespace
}  // namespace trilane
