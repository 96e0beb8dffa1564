// The tournament over real sockets on 127.0.0.1: the club service with its tables as a
// child process, `trilane-cli tourney` seats as child processes, each player at an address
// of its own (127.0.0.2 ..) as players at four machines would be.

#include <arpa/inet.h>
#include <curl/curl.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kService = fs::path(TRILANE_PROGRAM_DIR) / "trilane-club-service";
constexpr int kSecondMs = 100;  // the tables' clock second and the seats' tick

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool PortFree(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  const bool free = bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  close(fd);
  return free;
}

// A base port whose ten table ports are free, below the kernel's automatic ports.
int FreeTableBase() {
  std::mt19937 random(
      static_cast<unsigned>(getpid()) * 7919u +
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 200; ++attempt) {
    const int base = 10000 + static_cast<int>(random() % 20000);
    bool free = true;
    for (int t = 1; t <= 10 && free; ++t) free = PortFree(base + t);
    if (free) return base;
  }
  return 0;
}

// A child process with its output in files of the test's folder.
class Child {
 public:
  Child(const std::vector<std::string>& args, const fs::path& out, const fs::path& err)
      : out_(out), err_(err) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Child() {
    if (pid_ > 0 && code_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  // The exit code, or -1 when it has not ended within `limit`.
  int Wait(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (code_ < 0 && pid_ > 0) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        break;
      }
      if (std::chrono::steady_clock::now() > deadline) return -1;
      std::this_thread::sleep_for(20ms);
    }
    return code_;
  }
  void Kill() {
    if (pid_ > 0 && code_ < 0) kill(pid_, SIGKILL);
  }
  std::string Out() const { return Slurp(out_); }
  std::string Err() const { return Slurp(err_); }

 private:
  pid_t pid_ = -1;
  int code_ = -1;
  fs::path out_, err_;
};

size_t Collect(char* data, size_t size, size_t count, void* to) {
  static_cast<std::string*>(to)->append(data, size * count);
  return size * count;
}

class TourneyLoopback : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kService) || !fs::exists(TRILANE_CLI)) GTEST_SKIP() << "programs not built";
    folder_ = fs::temp_directory_path() /
              ("trilane-tourney-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    base_ = FreeTableBase();
    ASSERT_NE(base_, 0);
    service_ = std::make_unique<Child>(
        std::vector<std::string>{kService.string(), "--listen", "127.0.0.1:0", "--data",
                                 (folder_ / "club").string(), "--ftp-port", "0", "--fast-hashes",
                                 "--rate", "10000", "--burst", "10000", "--tourney-base-port",
                                 std::to_string(base_), "--tourney-second-ms",
                                 std::to_string(kSecondMs)},
        folder_ / "service.out", folder_ / "service.err");
    // "listening on http://127.0.0.1:PORT" once it is ready.
    for (int i = 0; i < 200 && url_.empty(); ++i) {
      const std::string out = service_->Out();
      const size_t end = out.find('\n');
      if (out.rfind("listening on ", 0) == 0 && end != std::string::npos)
        url_ = out.substr(13, end - 13);
      else
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_FALSE(url_.empty()) << service_->Err();
  }
  void TearDown() override {
    seats_.clear();
    if (service_) {
      service_->Kill();
      service_.reset();
    }
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  static std::string Source(int player) { return "127.0.0." + std::to_string(player + 1); }

  // One call of a script from a player's address.
  std::string Post(int player, const std::string& script, const std::string& body) {
    CURL* curl = curl_easy_init();
    const std::string url = url_ + "/scripts/" + script;
    const std::string source = "host!" + Source(player);
    std::string reply;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_INTERFACE, source.c_str());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "MosaicTurnKey");
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
    const bool ok = curl_easy_perform(curl) == CURLE_OK;
    curl_easy_cleanup(curl);
    return ok ? reply : "";
  }
  static std::string Nick(int player) { return "Seat" + std::to_string(player) + "er"; }
  void Register(int player) {
    ASSERT_EQ(Post(player, "account",
                   "nick=" + Nick(player) +
                       "&pw=pass&city=Oslo&country1=Norway&country2=1-035&sex=W&email=a@b.c"
                       "&dater=01.01.1990&R01=xxx&R02=xxx&R03=xxx&R04=0&R05=0&R06=0"),
              "ok");
  }
  // Signs in and takes the seat as the program does, without playing it.
  void TakeSeat(int player, int table, int seat) {
    ASSERT_EQ(Post(player, "account", "nick=" + Nick(player) + "&&pw=pass&&label0=0")[0], '$');
    const std::string s = std::to_string(seat);
    ASSERT_EQ(Post(player, "tourney",
                   "client4on" + s + "=0&gid=94&num=" + std::to_string(table) + "&can=1&nick" + s +
                       "=" + Nick(player)),
              "ok");
  }
  Child& StartSeat(int player, int table, int seat, int timeoutSeconds = 120) {
    const std::string name = "seat" + std::to_string(player);
    seats_.push_back(std::make_unique<Child>(
        std::vector<std::string>{TRILANE_CLI, "tourney", "--service", url_ + "/directory.txt",
                                 "--nick", Nick(player), "--password", "pass", "--table",
                                 std::to_string(table), "--seat", std::to_string(seat), "--json",
                                 "--tick-ms", std::to_string(kSecondMs), "--timeout",
                                 std::to_string(timeoutSeconds), "--source", Source(player)},
        folder_ / (name + ".out"), folder_ / (name + ".err")));
    return *seats_.back();
  }
  // Waits until the seat has printed `text`.
  static bool WaitFor(const Child& child, const std::string& text, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (child.Out().find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(20ms);
    }
    return true;
  }
  // A raw connection to a table's port from a player's address; -1 on failure.
  int Connect(int player, int table) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, Source(player).c_str(), &local.sin_addr);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<uint16_t>(base_ + table));
    inet_pton(AF_INET, "127.0.0.1", &remote.sin_addr);
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
      close(fd);
      return -1;
    }
    return fd;
  }
  static void SendFrame(int fd, std::string text, char seat) {
    text.resize(49, '#');
    text += seat;
    ASSERT_EQ(send(fd, text.data(), text.size(), MSG_NOSIGNAL), 50);
  }
  // True when the server closes the connection within the limit (after whatever it sent).
  static bool ClosedByServer(int fd, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd p{fd, POLLIN, 0};
      if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
      char bytes[512];
      const ssize_t n = recv(fd, bytes, sizeof bytes, 0);
      if (n <= 0) return n == 0;
    }
  }

  fs::path folder_;
  int base_ = 0;
  std::string url_;
  std::unique_ptr<Child> service_;
  std::vector<std::unique_ptr<Child>> seats_;
};

// The JSON lines of a seat's output that report finished deals.
std::vector<std::string> RoundLines(const std::string& out) {
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("{\"round\":", 0) == 0) lines.push_back(line);
  }
  return lines;
}

TEST_F(TourneyLoopback, FourSeatsAgreeOnEveryTotalAndTheOnlineTopTenShowsThem) {
  for (int p = 1; p <= 4; ++p) Register(p);
  for (int p = 1; p <= 4; ++p) {
    Child& seat = StartSeat(p, 5, p);
    // Seats are taken in order: each waits for the one before it.
    ASSERT_TRUE(WaitFor(seat, "{\"seated\":{\"table\":5,\"seat\":" + std::to_string(p) + "}}", 20s))
        << seat.Err();
  }
  for (auto& seat : seats_) EXPECT_EQ(seat->Wait(120s), 0) << seat->Err();
  const std::vector<std::string> rounds = RoundLines(seats_[0]->Out());
  ASSERT_EQ(rounds.size(), 4u) << seats_[0]->Out();
  for (auto& seat : seats_) EXPECT_EQ(RoundLines(seat->Out()), rounds);
  // {"round":4,"totals":[a,b,c,d]}: the last line's totals are the booked scores.
  const std::string last = rounds.back();
  const std::string list = last.substr(last.find('[') + 1, last.find(']') - last.find('[') - 1);
  std::vector<long> totals;
  std::istringstream numbers(list);
  for (std::string n; std::getline(numbers, n, ',');) totals.push_back(std::stol(n));
  ASSERT_EQ(totals.size(), 4u);
  const std::string top = Post(1, "tourney", "top10s94=0&nick=" + Nick(1));
  for (int p = 1; p <= 4; ++p) {
    EXPECT_NE(top.find(" " + Nick(p) + " Oslo Norway W " + std::to_string(totals[p - 1]) + "*"),
              std::string::npos)
        << top;
  }
  // The table was freed for the next game.
  EXPECT_EQ(Post(1, "tourney", "readclient1=0&gid=94&num=5").substr(0, 3), "$X ");
}

TEST_F(TourneyLoopback, ASilentSeatIsTimedOutAndTheOthersWin) {
  for (int p = 1; p <= 4; ++p) Register(p);
  for (int p = 1; p <= 3; ++p) {
    Child& seat = StartSeat(p, 2, p);
    ASSERT_TRUE(WaitFor(seat, "\"seated\"", 20s)) << seat.Err();
  }
  // Seat 4 takes its seat and introduces itself, then never says anything again.
  TakeSeat(4, 2, 4);
  const int silent = Connect(4, 2);
  ASSERT_GE(silent, 0);
  SendFrame(silent, "connect4", '4');
  for (auto& seat : seats_) {
    EXPECT_EQ(seat->Wait(60s), 1);
    EXPECT_EQ(seat->Err(), "trilane-cli tourney: Player " + Nick(4) + " time is up! You won!\n");
  }
  EXPECT_TRUE(ClosedByServer(silent, 5000ms));
  close(silent);
}

TEST_F(TourneyLoopback, ASeatKilledMidGameEndsItForTheOthers) {
  for (int p = 1; p <= 4; ++p) Register(p);
  for (int p = 1; p <= 4; ++p) {
    Child& seat = StartSeat(p, 7, p);
    ASSERT_TRUE(WaitFor(seat, "\"seated\"", 20s)) << seat.Err();
  }
  ASSERT_TRUE(WaitFor(*seats_[2], "{\"round\":1,", 60s)) << seats_[2]->Err();
  seats_[2]->Kill();
  for (int p : {0, 1, 3}) {
    EXPECT_EQ(seats_[p]->Wait(60s), 1);
    EXPECT_EQ(seats_[p]->Err(),
              "trilane-cli tourney: Player " + Nick(3) + " interrupted the game! You won!\n");
  }
}

TEST_F(TourneyLoopback, AFifthClientCannotTakeATakenSeat) {
  for (int p = 1; p <= 5; ++p) Register(p);
  Child& holder = StartSeat(1, 4, 1);
  ASSERT_TRUE(WaitFor(holder, "\"seated\"", 20s)) << holder.Err();
  // Through the tournament script: the seat is taken.
  Child& fifth = StartSeat(5, 4, 1);
  EXPECT_EQ(fifth.Wait(30s), 1);
  EXPECT_EQ(fifth.Err(), "trilane-cli tourney: seat 1 of table 4 was refused\n");
  // Straight to the table, from the holder's address and from another: turned away.
  for (int player : {1, 5}) {
    SCOPED_TRACE(player);
    const int fd = Connect(player, 4);
    ASSERT_GE(fd, 0);
    SendFrame(fd, "connect1", '1');
    EXPECT_TRUE(ClosedByServer(fd, 5000ms));
    close(fd);
  }
  // The holder still holds it: it is still waiting for its game.
  EXPECT_EQ(holder.Wait(500ms), -1);
}

}  // namespace
