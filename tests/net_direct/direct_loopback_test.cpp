// trilane-cli hosts and joins over real sockets on 127.0.0.1: whole matches on which all
// four processes agree, a joiner that dies mid-match, strangers at the host's port, and
// hostile peers: chat built to look like other messages, peers that fall silent, a chat
// flood, and a host at its descriptor limit.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "net/direct/direct_codec.h"
#include "rules/computer.h"

namespace {

using Clock = std::chrono::steady_clock;

// One trilane-cli process with its standard output and error read through pipes.
class CliProcess {
 public:
  // `maxDescriptors`: the process's limit of open files, when not 0.
  explicit CliProcess(const std::vector<std::string>& args, rlim_t maxDescriptors = 0) {
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      if (maxDescriptors != 0) {
        const rlimit limit{maxDescriptors, maxDescriptors};
        setrlimit(RLIMIT_NOFILE, &limit);
      }
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
  pid_t Pid() const { return pid_; }

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

Host StartHost(const std::vector<std::string>& options, rlim_t maxDescriptors = 0) {
  std::vector<std::string> args = {"host", "--port", "0", "--bind", "127.0.0.1", "--json"};
  args.insert(args.end(), options.begin(), options.end());
  Host host{std::make_unique<CliProcess>(args, maxDescriptors), {}};
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
  int Descriptor() const { return fd_; }
  // One read of what has arrived: empty after `timeoutMs` without bytes; nothing at the end.
  std::optional<std::string> ReadSome(int timeoutMs) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) return std::string();
    char buffer[4096];
    const ssize_t n = read(fd_, buffer, sizeof buffer);
    if (n <= 0) return std::nullopt;
    return std::string(buffer, static_cast<size_t>(n));
  }
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
  EXPECT_NE(hosted.errLines[0].find("has interrupted the game!"), std::string::npos)
      << hosted.errLines[0];
  for (int i : {0, 2}) {
    const CliProcess::Finished joined = joiners[i]->Wait(20000);
    EXPECT_NE(joined.exitCode, 0);
    EXPECT_LT(joined.lines.size(), 4u);
    ASSERT_EQ(joined.errLines.size(), 1u);
    EXPECT_NE(joined.errLines[0].find("has interrupted the game!"), std::string::npos);
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

namespace direct = trilane::direct;

// A joiner written by hand on a raw socket: it greets, plays its seat with the computer's
// rows, and just before each of its arrangements sends chats of its own making: "s", its
// NetId, a text and a zero byte, so that the host reads each text whole.
struct ScriptedJoiner {
  explicit ScriptedJoiner(const std::string& port) : client(port) {}

  // Plays until the host closes the connection (true) or `timeoutMs` passes.
  bool Play(const std::vector<std::string>& texts, int timeoutMs) {
    client.Send(direct::EncodeGreeting("Mal"));
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < until) {
      const std::optional<std::string> bytes = client.ReadSome(100);
      if (!bytes) return true;
      for (const direct::Decoded& d : decoder.Feed(*bytes)) {
        if (const auto* seated = std::get_if<direct::Seated>(&d.message)) netId = seated->netId;
        if (const auto* deal = std::get_if<direct::Deal>(&d.message)) deck = deal->deck;
        const auto* stage = std::get_if<direct::Stage>(&d.message);
        if (stage == nullptr || stage->step != 1 || netId == 0) continue;
        for (const std::string& text : texts) {
          client.Send("s" + std::to_string(netId) + text + std::string(1, '\0'));
        }
        const trilane::Hand hand = trilane::DealHands(deck, netId)[3];
        client.Send(trilane::net::EncodeArrangement(trilane::ArrangeByComputer(hand).rows, netId));
      }
    }
    return false;
  }

  RawClient client;
  direct::Decoder decoder;
  int netId = 0;
  trilane::Deck deck{};
};

TEST(DirectLoopbackTest, ChatBuiltAsOtherMessagesReachesTheOthersAsChat) {
  Host host = StartHost({"--players", "3", "--seed", "17", "--tick-ms", "2", "--name", "Anna"});
  ASSERT_FALSE(host.port.empty());
  ScriptedJoiner mallory(host.port);
  ASSERT_TRUE(mallory.client.Connected());
  auto joiner = StartJoiner(host.port, "Bo");
  // Texts that end in the head of a greeting or a seating, whose names would be the first
  // bytes of the host's next message to Bo if the text were relayed as it came.
  EXPECT_TRUE(mallory.Play({"qor9425connect1", "connect2+3ABCDE", "xxxxconnect4+Bo"}, 30000));

  const CliProcess::Finished hosted = host.process->Wait(30000);
  ASSERT_EQ(hosted.exitCode, 0) << (hosted.errLines.empty() ? "" : hosted.errLines[0]);
  ASSERT_EQ(hosted.lines.size(), 4u);
  const CliProcess::Finished joined = joiner->Wait(30000);
  EXPECT_EQ(joined.exitCode, 0);
  EXPECT_EQ(joined.lines, hosted.lines);
  EXPECT_TRUE(joined.errLines.empty());
}

// Seconds between now and `since`.
double SecondsSince(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

TEST(DirectLoopbackTest, SilentPeersAreLetGo) {
  // A connection that never greets holds a descriptor of the host for ten seconds at most.
  Host waiting = StartHost({"--players", "4"});
  ASSERT_FALSE(waiting.port.empty());
  RawClient mute(waiting.port);
  ASSERT_TRUE(mute.Connected());
  const auto muteSince = Clock::now();

  // A seated joiner that never sends its rows: the host ends the game after its idle time.
  {
    Host host =
        StartHost({"--players", "2", "--seed", "5", "--tick-ms", "2", "--idle-timeout", "2"});
    ASSERT_FALSE(host.port.empty());
    RawClient silent(host.port);
    silent.Send(direct::EncodeGreeting("Mute"));
    const auto since = Clock::now();
    const CliProcess::Finished hosted = host.process->Wait(15000);
    const double took = SecondsSince(since);
    EXPECT_EQ(hosted.exitCode, 1);
    ASSERT_EQ(hosted.errLines.size(), 1u);
    EXPECT_NE(hosted.errLines[0].find("has not moved for 2 seconds"), std::string::npos)
        << hosted.errLines[0];
    EXPECT_GE(took, 1.9);
    EXPECT_LT(took, 8.0);
  }

  // A host that seats and deals, then falls silent: the joiner ends the game alike.
  {
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    auto joiner = std::make_unique<CliProcess>(
        std::vector<std::string>{"join", "--address", "127.0.0.1", "--port",
                                 std::to_string(ntohs(address.sin_port)), "--idle-timeout", "2"});
    pollfd p{listener, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 10000), 1);
    const int fd = accept(listener, nullptr, nullptr);
    const direct::NetNames names = {"Anna", "Join", "PC  ", "PC  "};
    trilane::DeckRandom random(4);
    const std::string bytes =
        direct::EncodeSeated(2, names) + direct::EncodeDeal(trilane::ShuffleDeck(random), false);
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    const auto since = Clock::now();
    const CliProcess::Finished joined = joiner->Wait(15000);
    const double took = SecondsSince(since);
    close(fd);
    close(listener);
    EXPECT_EQ(joined.exitCode, 1);
    ASSERT_EQ(joined.errLines.size(), 1u);
    EXPECT_NE(joined.errLines[0].find("has not moved for 2 seconds"), std::string::npos)
        << joined.errLines[0];
    EXPECT_GE(took, 1.9);
    EXPECT_LT(took, 8.0);
  }

  while (mute.ReadSome(200).has_value() && SecondsSince(muteSince) < 15) {
  }
  const double muteHeld = SecondsSince(muteSince);
  EXPECT_GE(muteHeld, 9.5);
  EXPECT_LT(muteHeld, 13.0);
}

// The resident memory of a process, in kilobytes.
long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

TEST(DirectLoopbackTest, AChatFloodIsCutToARateAndTheHostStaysSmall) {
  Host host = StartHost({"--players", "4"});  // seating goes on: no game needed for chat
  ASSERT_FALSE(host.port.empty());
  RawClient flooder(host.port);
  flooder.Send(direct::EncodeGreeting("Fld"));
  std::string reply;
  while (reply.size() < 26) {
    const std::optional<std::string> got = flooder.ReadSome(5000);
    ASSERT_TRUE(got && !got->empty());
    reply += *got;
  }
  ASSERT_EQ(reply.substr(0, 10), "connect2+2");
  // Another joiner that reads nothing at all.
  RawClient deaf(host.port);
  const int small = 4096;
  setsockopt(deaf.Descriptor(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  deaf.Send(direct::EncodeGreeting("Deaf"));
  usleep(300000);
  EXPECT_EQ(flooder.ReadSome(1000).value_or("").substr(0, 9), "connect3+");  // Deaf sits
  const long before = ResidentKb(host.process->Pid());
  ASSERT_GT(before, 0);

  // 48 MB of chat, in a few seconds at most.
  std::string block;
  while (block.size() < 64 * 1024) block += direct::EncodeChat(2, "flood");
  const auto since = Clock::now();
  for (int i = 0; i < 768 && SecondsSince(since) < 20; ++i) flooder.Send(block);
  usleep(500000);
  const long after = ResidentKb(host.process->Pid());
  EXPECT_LT(after - before, 16 * 1024) << "host grew from " << before << " kB to " << after;

  // The host is still there for the flooder, which reads what it was sent back: nothing,
  // since its own chats go to the others only.
  flooder.Send(direct::EncodeGreeting("Again"));
  EXPECT_EQ(flooder.ReadSome(300).value_or("closed"), "");
}

TEST(DirectLoopbackTest, AtItsDescriptorLimitTheHostWaitsAndTakesConnectionsAgain) {
  Host host = StartHost({"--players", "4"}, 40);
  ASSERT_FALSE(host.port.empty());
  std::vector<std::unique_ptr<RawClient>> crowd;
  for (int i = 0; i < 70; ++i) crowd.push_back(std::make_unique<RawClient>(host.port));
  usleep(500000);
  // While the limit holds, the host does not spin on the connections it cannot take.
  const auto cpuTicks = [&host] {
    std::ifstream stat("/proc/" + std::to_string(host.process->Pid()) + "/stat");
    std::string field;
    long ticks = 0;
    for (int i = 1; i <= 15 && stat >> field; ++i) {
      if (i == 14 || i == 15) ticks += std::stol(field);
    }
    return ticks;
  };
  const long ticksBefore = cpuTicks();
  usleep(2000000);
  EXPECT_LT(cpuTicks() - ticksBefore, sysconf(_SC_CLK_TCK) / 2);

  // Once descriptors are free again a joiner is seated.
  crowd.clear();
  usleep(300000);
  RawClient late(host.port);
  late.Send(direct::EncodeGreeting("Late"));
  std::string reply;
  const auto since = Clock::now();
  while (reply.size() < 10 && SecondsSince(since) < 5) {
    const std::optional<std::string> got = late.ReadSome(200);
    if (!got) break;
    reply += *got;
  }
  EXPECT_EQ(reply.substr(0, std::min<size_t>(reply.size(), 9)), "connect2+");
}

}  // namespace
