// trilane-cli hosts and joins over real sockets on 127.0.0.1: whole matches on which all
// four processes agree, a joiner that dies mid-match, and strangers at the host's port.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// One trilane-cli process with its standard output and error read through pipes.
class CliProcess {
 public:
  explicit CliProcess(const std::vector<std::string>& args) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      dup2(err[1], 2);
      for (int fd : {out[0], out[1], err[0], err[1]}) close(fd);
      std::vector<char*> argv;
      std::string program = TRILANE_CLI;
      argv.push_back(program.data());
      std::vector<std::string> copies = args;
      for (std::string& a : copies) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(out[1]);
    close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;
  ~CliProcess() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    for (int fd : {out_, err_}) {
      if (fd >= 0) close(fd);
    }
  }

  // The next line of standard output, or nothing after `timeoutMs` or at its end.
  std::optional<std::string> ReadLine(int timeoutMs) {
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      const size_t eol = outBuffer_.find('\n');
      if (eol != std::string::npos) {
        std::string line = outBuffer_.substr(0, eol);
        outBuffer_.erase(0, eol + 1);
        return line;
      }
      if (!ReadSome(out_, outBuffer_, until)) return std::nullopt;
    }
  }

  void Kill() { kill(pid_, SIGKILL); }

  struct Finished {
    int exitCode = -1;  // -1: killed or still running after the time-out
    std::vector<std::string> lines;
    std::vector<std::string> errLines;
  };
  // Waits for the process to end and collects what it wrote.
  Finished Wait(int timeoutMs) {
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (ReadSome(out_, outBuffer_, until)) {
    }
    std::string err;
    while (ReadSome(err_, err, until)) {
    }
    Finished finished;
    int status = 0;
    while (Clock::now() < until && !exited_) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        break;
      }
      usleep(2000);
    }
    if (exited_ && WIFEXITED(status)) finished.exitCode = WEXITSTATUS(status);
    finished.lines = Lines(outBuffer_);
    finished.errLines = Lines(err);
    return finished;
  }

 private:
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // False at the end of the stream or the time-out.
  static bool ReadSome(int fd, std::string& into, Clock::time_point until) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n <= 0) return false;
    into.append(buffer, static_cast<size_t>(n));
    return true;
  }

  pid_t pid_ = -1;
  int out_ = -1, err_ = -1;
  bool exited_ = false;
  std::string outBuffer_;
};

// A host listening on a port of its own choosing on 127.0.0.1.
struct Host {
  std::unique_ptr<CliProcess> process;
  std::string port;
};

Host StartHost(const std::vector<std::string>& options) {
  std::vector<std::string> args = {"host", "--port", "0", "--bind", "127.0.0.1", "--json"};
  args.insert(args.end(), options.begin(), options.end());
  Host host{std::make_unique<CliProcess>(args), {}};
  const std::optional<std::string> line = host.process->ReadLine(10000);
  // {"listening":N}
  if (line && line->rfind("{\"listening\":", 0) == 0) {
    host.port = line->substr(13, line->size() - 14);
  }
  return host;
}

std::unique_ptr<CliProcess> StartJoiner(const std::string& port, const std::string& name) {
  return std::make_unique<CliProcess>(std::vector<std::string>{
      "join", "--address", "127.0.0.1", "--port", port, "--name", name, "--json"});
}

// A raw client at the host's port, for what no joiner of this program sends.
class RawClient {
 public:
  explicit RawClient(const std::string& port) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(std::stoi(port)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawClient() { close(fd_); }
  bool Connected() const { return connected_; }
  void Send(const std::string& bytes) { (void)!write(fd_, bytes.data(), bytes.size()); }
  // Everything the host sends until it closes the connection (or the time-out).
  std::string ReadToEnd(int timeoutMs) {
    std::string got;
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
      pollfd p{fd_, POLLIN, 0};
      if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) return got;
      char buffer[512];
      const ssize_t n = read(fd_, buffer, sizeof buffer);
      if (n <= 0) return got;
      got.append(buffer, static_cast<size_t>(n));
    }
  }

 private:
  int fd_ = -1;
  bool connected_ = false;
};

int SumOfTotals(const std::string& roundLine) {
  // {"round":n,"totals":[a,b,c,d]}
  const size_t open = roundLine.find('[');
  std::istringstream in(roundLine.substr(open + 1));
  int sum = 0;
  for (int value; in >> value;) {
    sum += value;
    in.ignore(1);
  }
  return sum;
}

TEST(DirectLoopbackTest, FourProcessesAgreeOnEveryRoundOfTwentyFiveMatches) {
  // Five tables at a time: the processes mostly wait for one another.
  constexpr int kTablesAtOnce = 5;
  struct Table {
    int seed = 0;
    Host host;
    std::vector<std::unique_ptr<CliProcess>> joiners;
  };
  for (int first = 1; first <= 25; first += kTablesAtOnce) {
    std::vector<Table> tables;
    for (int seed = first; seed < first + kTablesAtOnce; ++seed) {
      Table table;
      table.seed = seed;
      table.host = StartHost({"--players", "4", "--seed", std::to_string(seed), "--tick-ms", "1",
                              "--rule", seed % 2 ? "1-6" : "2-4", "--name", "Anna"});
      ASSERT_FALSE(table.host.port.empty()) << "seed " << seed;
      for (const char* name : {"Bo", "Carl", "Dora"}) {
        table.joiners.push_back(StartJoiner(table.host.port, name));
      }
      tables.push_back(std::move(table));
    }
    for (Table& table : tables) {
      SCOPED_TRACE("seed " + std::to_string(table.seed));
      const CliProcess::Finished hosted = table.host.process->Wait(40000);
      ASSERT_EQ(hosted.exitCode, 0) << (hosted.errLines.empty() ? "" : hosted.errLines[0]);
      ASSERT_EQ(hosted.lines.size(), 4u);
      for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(hosted.lines[r].rfind("{\"round\":" + std::to_string(r + 1) + ",", 0), 0u);
        EXPECT_EQ(SumOfTotals(hosted.lines[r]), 0) << hosted.lines[r];
      }
      for (auto& joiner : table.joiners) {
        const CliProcess::Finished joined = joiner->Wait(40000);
        EXPECT_EQ(joined.exitCode, 0);
        EXPECT_EQ(joined.lines, hosted.lines);
        EXPECT_TRUE(joined.errLines.empty());
      }
    }
  }
}

TEST(DirectLoopbackTest, AJoinerKilledMidMatchEndsTheGameForEveryone) {
  // Slower ticks, so that the match is still running when the joiner dies.
  Host host = StartHost({"--players", "4", "--seed", "3", "--tick-ms", "40"});
  ASSERT_FALSE(host.port.empty());
  std::vector<std::unique_ptr<CliProcess>> joiners;
  for (const char* name : {"Bo", "Carl", "Dora"}) joiners.push_back(StartJoiner(host.port, name));
  ASSERT_TRUE(joiners[1]->ReadLine(20000).has_value());  // round 1 is over
  joiners[1]->Kill();

  const CliProcess::Finished hosted = host.process->Wait(20000);
  EXPECT_NE(hosted.exitCode, 0);
  EXPECT_LT(hosted.lines.size(), 4u);
  ASSERT_EQ(hosted.errLines.size(), 1u);
  EXPECT_NE(hosted.errLines[0].find("has interrupted game!"), std::string::npos)
      << hosted.errLines[0];
  for (int i : {0, 2}) {
    const CliProcess::Finished joined = joiners[i]->Wait(20000);
    EXPECT_NE(joined.exitCode, 0);
    EXPECT_LT(joined.lines.size(), 4u);
    ASSERT_EQ(joined.errLines.size(), 1u);
    EXPECT_NE(joined.errLines[0].find("has interrupted game!"), std::string::npos);
  }
}

TEST(DirectLoopbackTest, StrangersAtThePortDoNotDisturbARunningTable) {
  Host host = StartHost({"--players", "2", "--seed", "9", "--tick-ms", "2"});
  ASSERT_FALSE(host.port.empty());
  RawClient otherGame(host.port);
  RawClient noise(host.port);
  ASSERT_TRUE(otherGame.Connected() && noise.Connected());
  otherGame.Send("qor1225connect1Zed ");
  noise.Send(std::string("\x00\xFFh7 connect2+2 abort", 21));
  auto joiner = StartJoiner(host.port, "Bo");
  ASSERT_TRUE(joiner->ReadLine(20000).has_value());  // the match runs
  noise.Send("b\xF7\xF7s9 qor9425connect1Late");

  const CliProcess::Finished hosted = host.process->Wait(20000);
  EXPECT_EQ(hosted.exitCode, 0);
  ASSERT_EQ(hosted.lines.size(), 4u);
  const CliProcess::Finished joined = joiner->Wait(20000);
  EXPECT_EQ(joined.exitCode, 0);
  EXPECT_EQ(std::vector<std::string>(hosted.lines.begin() + 1, hosted.lines.end()), joined.lines);
  // Neither stranger ever got a byte: only the closing at the end of the game.
  EXPECT_EQ(otherGame.ReadToEnd(5000), "");
  EXPECT_EQ(noise.ReadToEnd(5000), "");
}

TEST(DirectLoopbackTest, NoHostAtTheAddressIsOneClearLine) {
  // A port that nothing listens on: take one and give it back.
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  const std::string port = std::to_string(ntohs(address.sin_port));
  close(fd);

  const CliProcess::Finished joined = StartJoiner(port, "Bo")->Wait(20000);
  EXPECT_EQ(joined.exitCode, 1);
  ASSERT_EQ(joined.errLines.size(), 1u);
  EXPECT_NE(joined.errLines[0].find("There are no accessible games"), std::string::npos)
      << joined.errLines[0];
}

}  // namespace
