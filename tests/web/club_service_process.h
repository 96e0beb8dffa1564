#pragma once
// The reference club service as a child process on a free port, with an empty data folder
// and a folder of add-ons; stopped with SIGTERM.

#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace trilane::web::testing {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

inline const fs::path kServiceProgram = fs::path(TRILANE_PROGRAM_DIR) / "trilane-club-service";

inline int FreePort() {
  // Below the kernel's range of automatic ports: a port picked there and closed could be handed
  // to the next socket that binds port 0 or connects out before the service binds it.
  int automatic = 32768;
  if (std::ifstream range("/proc/sys/net/ipv4/ip_local_port_range"); range) range >> automatic;
  std::mt19937 random(
      static_cast<unsigned>(getpid()) * 7919u +
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 200; ++attempt) {
    const int port =
        10000 +
        static_cast<int>(random() % static_cast<unsigned>(std::max(automatic - 10000, 1000)));
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    const bool free = bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    if (free) return port;
  }
  return 0;
}

// The service as a child process; stopped with SIGTERM.
class ClubService {
 public:
  // `extraArgs` go after the service's usual test arguments (the tournament's ports and
  // clock, say).
  explicit ClubService(const std::vector<std::string>& extraArgs = {}) {
    static int started = 0;
    data_ = fs::temp_directory_path() /
            ("trilane-web-test-" + std::to_string(getpid()) + "-" + std::to_string(++started));
    fs::remove_all(data_);
    fs::create_directories(data_ / "addons");
    std::ofstream(data_ / "addons" / "QorCards06A.dll", std::ios::binary) << "MZ add-on";
    ftpPort_ = FreePort();
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string program = kServiceProgram.string();
    const std::string dataArg = (data_ / "club").string();
    const std::string addonsArg = (data_ / "addons").string();
    const std::string ftpArg = std::to_string(ftpPort_);
    std::vector<const char*> argv = {program.c_str(),   "--listen",      "127.0.0.1:0",  "--data",
                                     dataArg.c_str(),   "--ftp-port",    ftpArg.c_str(), "--addons",
                                     addonsArg.c_str(), "--fast-hashes", "--rate",       "10000",
                                     "--burst",         "10000"};
    for (const std::string& arg : extraArgs) argv.push_back(arg.c_str());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, const_cast<char**>(argv.data()),
                    environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    // "listening on http://ADDR:PORT" when it is ready.
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (pid_ > 0 && line.find('\n') == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
      pollfd p{out[0], POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char buf[256];
      const ssize_t n = read(out[0], buf, sizeof buf);
      if (n <= 0) break;
      line.append(buf, static_cast<size_t>(n));
    }
    // The read end stays open while the service runs: its children write there too.
    output_ = out[0];
    const std::string prefix = "listening on ";
    if (line.rfind(prefix, 0) == 0)
      url_ = line.substr(prefix.size(), line.find('\n') - prefix.size());
  }
  ~ClubService() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) close(output_);
    std::error_code ec;
    fs::remove_all(data_, ec);
  }
  const std::string& Url() const { return url_; }
  int FtpPort() const { return ftpPort_; }
  // The service's data folder, where its operator's "club.conf" lies.
  fs::path DataFolder() const { return data_ / "club"; }

 private:
  fs::path data_;
  pid_t pid_ = -1;
  int ftpPort_ = 0;
  int output_ = -1;
  std::string url_;
};

}  // namespace trilane::web::testing
