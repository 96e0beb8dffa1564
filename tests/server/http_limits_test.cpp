// The service program's HTTP limits, tried with small bounded attacks over 127.0.0.1: bodies
// it must refuse before reading them, heads too large, connections that drip or idle beside a
// normal call, too many connections from one address, large downloads, and the listen options
// it must refuse. Attackers connect from other loopback addresses (127.0.0.2 …) so that the
// per-address limits do not touch the normal calls from 127.0.0.1.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "server/service_config.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const char kService[] = TRILANE_PROGRAM_DIR "/trilane-club-service";

// Reads what arrives on `fd` (a socket or a pipe) until it closes or `wait` has passed; "" on
// nothing.
std::string ReadUntilClosed(int fd, std::chrono::milliseconds wait) {
  std::string in;
  const auto deadline = Clock::now() + wait;
  while (Clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (poll(&p, 1, static_cast<int>(std::max<int64_t>(left.count(), 1))) <= 0) continue;
    char buf[4096];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) break;
    in.append(buf, static_cast<size_t>(n));
  }
  return in;
}

// True when the peer has closed `fd` (or reset it) within `wait`.
bool ClosedWithin(int fd, std::chrono::milliseconds wait) {
  const auto deadline = Clock::now() + wait;
  while (Clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0) continue;
    char buf[512];
    const ssize_t n = recv(fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) return true;
  }
  return false;
}

int StatusOf(const std::string& reply) {
  if (reply.rfind("HTTP/1.", 0) != 0 || reply.size() < 12) return 0;
  return std::atoi(reply.c_str() + 9);
}

// A TCP connection to the service, from the loopback address `from`.
class Connection {
 public:
  Connection(int port, const char* from = "127.0.0.1") {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, from, &local.sin_addr);
    bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  }
  ~Connection() {
    if (fd_ >= 0) close(fd_);
  }
  Connection(Connection&& other) noexcept
      : fd_(std::exchange(other.fd_, -1)), connected_(other.connected_) {}
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool connected() const { return connected_; }
  int fd() const { return fd_; }
  // Whether every byte went out (the service may close early).
  bool Send(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (n <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
  }

 private:
  int fd_ = -1;
  bool connected_ = false;
};

std::string Post(std::string_view body, std::string_view extraHeaders = {}) {
  return "POST /scripts/account HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: MosaicTurnKey\r\n"
         "Content-Type: application/x-www-form-urlencoded\r\nConnection: close\r\n" +
         std::string(extraHeaders) + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
         std::string(body);
}

// The service as a child process on a free port with a fresh data folder.
class Service {
 public:
  Service(const fs::path& data, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {kService,      "--listen",      "127.0.0.1:0", "--data",
                                     data.string(), "--fast-hashes", "--ftp-port",  "0"};
    args.insert(args.end(), extra.begin(), extra.end());
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, kService, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    const std::string line = ReadLine(out[0], 20s);
    close(out[0]);
    const std::string prefix = "listening on http://127.0.0.1:";
    if (line.rfind(prefix, 0) == 0) port_ = std::atoi(line.c_str() + prefix.size());
  }
  ~Service() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  int port() const { return port_; }

  // A normal call from 127.0.0.1 and how long its answer took; status 0 when none came
  // within `wait`.
  std::pair<int, Clock::duration> TimedCall(std::chrono::milliseconds wait = 3000ms,
                                            const char* from = "127.0.0.1") const {
    const auto start = Clock::now();
    Connection c(port_, from);
    c.Send(Post("label1=0"));
    const std::string reply = ReadUntilClosed(c.fd(), wait);
    const bool whole = reply.size() >= 3 && reply.substr(reply.size() - 3) == "$0$";
    return {whole ? StatusOf(reply) : 0, Clock::now() - start};
  }

  // The service's resident memory in KB.
  long ResidentKb() const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
  }

  static std::string ReadLine(int fd, std::chrono::milliseconds wait) {
    std::string line;
    const auto deadline = Clock::now() + wait;
    char c;
    while (Clock::now() < deadline) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      if (read(fd, &c, 1) != 1 || c == '\n') break;
      line += c;
    }
    return line;
  }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
};

class HttpLimits : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = fs::temp_directory_path() /
            ("club-http-" + std::to_string(getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(data_);
    fs::create_directories(data_);
  }
  void TearDown() override { fs::remove_all(data_); }
  fs::path data_;
};

std::string Gzip(const std::string& text) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, text.size()), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

TEST_F(HttpLimits, BodiesAreJudgedByTheHeadAlone) {
  Service service(data_);
  ASSERT_GT(service.port(), 0);
  const std::string bomb = Gzip(std::string(4 << 20, 'a'));  // 4 MB in a few KB
  const std::string head =
      "POST /scripts/account HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: MosaicTurnKey\r\n";
  struct Case {
    const char* what;
    std::string request;  // sent as is; the service must answer without waiting for more
    int status;
  };
  const Case cases[] = {
      {"gzip", Post(bomb, "Content-Encoding: gzip\r\n"), 415},
      {"brotli", Post("\x1b\x03\x00\xf8\xa5\x80", "Content-Encoding: br\r\n"), 415},
      {"identity", Post("label1=0", "Content-Encoding: identity\r\n"), 415},
      // A chunked body whose end never comes, and a post with no length at all.
      {"chunked", head + "Transfer-Encoding: chunked\r\n\r\n8\r\nlabel1=0\r\n", 411},
      {"no length", head + "Connection: close\r\n\r\nlabel1=0", 411},
      // A length over the limit is refused before the body is sent.
      {"too long", head + "Content-Length: 16385\r\n\r\n", 413},
      // A form of exactly the limit is read and answered (the script finds no call in it).
      {"at the limit", Post(std::string(16 * 1024, 'x')), 200},
  };
  for (const Case& c : cases) {
    Connection connection(service.port());
    connection.Send(c.request);
    const auto start = Clock::now();
    const std::string reply = ReadUntilClosed(connection.fd(), 3000ms);
    EXPECT_EQ(StatusOf(reply), c.status) << c.what << ": " << reply.substr(0, 60);
    EXPECT_LT(Clock::now() - start, 2500ms) << c.what;
  }
  EXPECT_EQ(service.TimedCall().first, 200);
}

TEST_F(HttpLimits, HeadsAreBoundedInSizeAndCount) {
  Service service(data_);
  ASSERT_GT(service.port(), 0);
  std::string few = "GET /directory.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n";
  for (int i = 0; i < 150; ++i) few += "X-H" + std::to_string(i) + ": v\r\n";
  std::string many = few;
  for (int i = 150; i < 5000; ++i) many += "X-H" + std::to_string(i) + ": v\r\n";
  std::string oneLong =
      "GET /directory.txt HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Long: " + std::string(40000, 'a') +
      "\r\n";
  // 150 small headers fit in the memory for a head but are too many.
  Connection counted(service.port());
  counted.Send(few + "Connection: close\r\n\r\n");
  EXPECT_EQ(StatusOf(ReadUntilClosed(counted.fd(), 3000ms)), 431);
  for (std::string request : {many, oneLong}) {
    request += "Connection: close\r\n\r\n";
    Connection connection(service.port());
    connection.Send(request);
    const std::string reply = ReadUntilClosed(connection.fd(), 3000ms);
    // Refused with a status (431), or cut off while it was still sending.
    EXPECT_NE(StatusOf(reply), 200) << reply.substr(0, 60);
  }
  EXPECT_EQ(service.TimedCall().first, 200);
}

TEST_F(HttpLimits, SlowAndIdleConnectionsHoldNoThreadAndAreCut) {
  // Two worker threads, and more dripping and idle connections than threads.
  Service service(data_, {"--threads", "2"});
  ASSERT_GT(service.port(), 0);
  std::vector<Connection> dripping;
  std::vector<Connection> idle;
  for (int i = 0; i < 6; ++i) {
    dripping.emplace_back(service.port(), "127.0.0.2");
    ASSERT_TRUE(dripping.back().connected());
    dripping.back().Send("GET /directory.txt HTTP/1.1\r\nHost: 127.0.0.1\r\n");
    idle.emplace_back(service.port(), "127.0.0.3");
  }
  const auto opened = Clock::now();
  std::atomic<bool> stop{false};
  std::thread drip([&] {
    while (!stop) {
      for (Connection& c : dripping) c.Send("X");
      std::this_thread::sleep_for(300ms);
    }
  });
  std::this_thread::sleep_for(1000ms);
  const auto [status, took] = service.TimedCall();
  EXPECT_EQ(status, 200);
  EXPECT_LT(took, 1000ms);
  // Each of them is cut once the request deadline (5 s) has passed, drips or not.
  int cut = 0;
  for (auto* group : {&dripping, &idle}) {
    for (Connection& c : *group) {
      const auto left = opened + 8s - Clock::now();
      cut +=
          ClosedWithin(c.fd(), std::chrono::duration_cast<std::chrono::milliseconds>(left)) ? 1 : 0;
    }
  }
  stop = true;
  drip.join();
  EXPECT_EQ(cut, 12);
}

TEST_F(HttpLimits, ConnectionsFromOneAddressAreCapped) {
  Service service(data_);
  ASSERT_GT(service.port(), 0);
  // Thirty silent connections from one address: sixteen are kept, each one past them closing
  // the oldest, so a call from that address still gets in.
  std::vector<Connection> crowd;
  for (int i = 0; i < 30; ++i) {
    crowd.emplace_back(service.port(), "127.0.0.4");
    ASSERT_TRUE(crowd.back().connected());
  }
  auto countClosed = [&] {
    int closed = 0;
    for (Connection& c : crowd) closed += ClosedWithin(c.fd(), 20ms) ? 1 : 0;
    return closed;
  };
  const auto deadline = Clock::now() + 3s;
  while (countClosed() < 30 - 16 && Clock::now() < deadline) std::this_thread::sleep_for(50ms);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(countClosed(), 30 - 16);
  EXPECT_EQ(service.TimedCall().first, 200);
  const auto [status, took] = service.TimedCall(3000ms, "127.0.0.4");
  EXPECT_EQ(status, 200);
  EXPECT_LT(took, 1s);
}

TEST_F(HttpLimits, BehindATrustedProxyOnlyAnAddressNamesTheCaller) {
  Service service(data_, {"--trust-proxy"});
  ASSERT_GT(service.port(), 0);
  const struct {
    const char* forwarded;
    const char* caller;
  } cases[] = {
      {"10.2.3.4", "10.2.3.4"},
      {"10.9.9.9, 2001:db8::7", "2001:db8::7"},
      {"10.2.3.4, somebody", "127.0.0.1"},
      {"nobody", "127.0.0.1"},
  };
  for (const auto& c : cases) {
    Connection connection(service.port());
    connection.Send(std::string("GET /scripts/myip HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
                                "X-Forwarded-For: ") +
                    c.forwarded + "\r\n\r\n");
    const std::string reply = ReadUntilClosed(connection.fd(), 3000ms);
    EXPECT_EQ(reply.substr(reply.find("\r\n\r\n") + 4), c.caller) << c.forwarded;
  }
}

// A 16 MB add-on library of varied bytes in `folder`; its bytes.
std::string PlaceAddon(const fs::path& folder, const char* name) {
  fs::create_directories(folder);
  std::string library(16 << 20, '\0');
  for (size_t i = 0; i < library.size(); ++i) library[i] = static_cast<char>(i * 7 + i / 4096);
  std::ofstream(folder / name, std::ios::binary) << library;
  return library;
}

TEST_F(HttpLimits, LargeDownloadsAreStreamedFromTheDisk) {
  const std::string library = PlaceAddon(data_ / "addons", "QorCVoice3.dll");
  Service service(data_, {"--addons", (data_ / "addons").string()});
  ASSERT_GT(service.port(), 0);
  const long before = service.ResidentKb();
  // Six callers ask for it and take nothing yet: a service that read the file whole for each
  // would hold six copies now.
  std::vector<Connection> slow;
  for (int i = 0; i < 6; ++i) {
    slow.emplace_back(service.port());
    slow.back().Send("GET /downloads/progr/cards/QorCVoice3.dll HTTP/1.1\r\nHost: a\r\n\r\n");
  }
  std::this_thread::sleep_for(1000ms);
  EXPECT_LT(service.ResidentKb() - before, 32 * 1024) << before;
  // The bytes arrive whole.
  Connection reader(service.port());
  reader.Send(
      "GET /downloads/progr/cards/qorcvoice3.dll HTTP/1.1\r\nHost: a\r\n"
      "Connection: close\r\n\r\n");
  const std::string reply = ReadUntilClosed(reader.fd(), 10000ms);
  const size_t body = reply.find("\r\n\r\n");
  ASSERT_NE(body, std::string::npos);
  EXPECT_EQ(StatusOf(reply), 200);
  EXPECT_TRUE(reply.compare(body + 4, std::string::npos, library) == 0) << reply.size() - body - 4;
}

// A download that keeps moving finishes however slowly it moves: the kernel's buffers hold
// megabytes, which a slow reader takes far longer than the idle time to drain between two
// writes of the service. A reader that stops is cut after the idle time.
TEST_F(HttpLimits, ASlowReaderReceivesAWholeAddOnAndAStoppedOneIsCut) {
  const std::string library = PlaceAddon(data_ / "addons", "QorCGraph1.dll");
  Service service(data_, {"--addons", (data_ / "addons").string()});
  ASSERT_GT(service.port(), 0);
  const std::string request =
      "GET /downloads/progr/cards/QorCGraph1.dll HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n";
  Connection stopped(service.port());
  stopped.Send(request);
  Connection reader(service.port());
  reader.Send(request);
  // About 100 KB a second for 20 s, then as fast as it comes.
  std::string reply;
  const auto slowUntil = Clock::now() + 20s;
  while (Clock::now() < slowUntil) {
    char buffer[10240];
    const ssize_t n = recv(reader.fd(), buffer, sizeof buffer, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) break;
    if (n > 0) reply.append(buffer, static_cast<size_t>(n));
    std::this_thread::sleep_for(100ms);
  }
  reply += ReadUntilClosed(reader.fd(), 20000ms);
  const size_t body = reply.find("\r\n\r\n");
  ASSERT_NE(body, std::string::npos);
  EXPECT_EQ(StatusOf(reply), 200);
  EXPECT_EQ(reply.size() - body - 4, library.size());
  EXPECT_TRUE(reply.compare(body + 4, std::string::npos, library) == 0);
  // The reader that stopped was cut meanwhile: it finds what its buffers held, not the add-on.
  EXPECT_LT(ReadUntilClosed(stopped.fd(), 3000ms).size(), library.size());
}

// Runs the service with `args` and returns its exit status and standard error, giving up
// (and killing it) after a few seconds: a service that starts has failed the case.
std::pair<int, std::string> RunRefused(std::vector<std::string> args) {
  args.insert(args.begin(), kService);
  int err[2];
  if (pipe(err) != 0) return {-1, ""};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  posix_spawn_file_actions_addclose(&actions, err[0]);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  posix_spawn(&pid, kService, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(err[1]);
  // Everything it says, until it closes its standard error by exiting (or the time is up).
  const std::string said = ReadUntilClosed(err[0], 3000ms);
  close(err[0]);
  int status = 0;
  if (waitpid(pid, &status, WNOHANG) == 0) {
    std::this_thread::sleep_for(500ms);
    if (waitpid(pid, &status, WNOHANG) == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return {-1, said};
    }
  }
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, said};
}

TEST_F(HttpLimits, ListenOptionsThatExposeTheServiceAreRefused) {
  const std::string data = data_.string();
  struct Case {
    std::vector<std::string> args;
    const char* says;
  };
  const Case cases[] = {
      {{"--listen", "8.8.8.8:0", "--trust-proxy", "--public-url", "http://club.example"},
       "--trust-proxy"},
      {{"--listen", "0.0.0.0:0", "--trust-proxy", "--public-url", "http://club.example"},
       "--trust-proxy"},
      {{"--listen", "0.0.0.0:0"}, "--public-url"},
      {{"--listen", "192.168.1.10:0"}, "--public-url"},
      {{"--listen", "[::]:0"}, "--public-url"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--data", data, "--ftp-port", "0"});
    const auto [status, said] = RunRefused(args);
    EXPECT_EQ(status, 2) << c.args[1] << ": " << said;
    EXPECT_NE(said.find(c.says), std::string::npos) << said;
  }
}

TEST(ListenReach, ClassifiesAddresses) {
  using trilane::club::ListenReach;
  using trilane::club::ReachOf;
  const std::pair<const char*, ListenReach> cases[] = {
      {"127.0.0.1", ListenReach::kLoopback},
      {"127.8.9.10", ListenReach::kLoopback},
      {"localhost", ListenReach::kLoopback},
      {"::1", ListenReach::kLoopback},
      {"[::1]", ListenReach::kLoopback},
      {"::ffff:127.0.0.1", ListenReach::kLoopback},
      {"10.0.0.7", ListenReach::kPrivate},
      {"172.16.0.1", ListenReach::kPrivate},
      {"172.31.255.1", ListenReach::kPrivate},
      {"192.168.1.10", ListenReach::kPrivate},
      {"fd12:3456::1", ListenReach::kPrivate},
      {"fe80::1", ListenReach::kPrivate},
      {"172.32.0.1", ListenReach::kPublic},
      {"192.169.0.1", ListenReach::kPublic},
      {"8.8.8.8", ListenReach::kPublic},
      {"0.0.0.0", ListenReach::kPublic},
      {"::", ListenReach::kPublic},
      {"2001:db8::1", ListenReach::kPublic},
      {"club.example.org", ListenReach::kPublic},
      {"", ListenReach::kPublic},
  };
  for (const auto& [host, reach] : cases) EXPECT_EQ(ReachOf(host), reach) << host;
}

}  // namespace
