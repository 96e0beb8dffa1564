// A measured load on the tournament tables: starts trilane-club-service with its ten
// tables on free loopback ports and a short clock second, registers forty players (each at
// an address of its own, 127.0.0.2 ..), and seats them all at once as forty
// `trilane-cli tourney` processes, four to a table. Every game must end with every seat's
// exit 0 and the four seats of each table printing the same totals. Prints the wall time
// from the first seat to the last exit and the CPU time the service spent meanwhile.
//
//   tourney_load [--tables N] [--second-ms N]

#include <arpa/inet.h>
#include <curl/curl.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

pid_t Spawn(const std::vector<std::string>& args, const fs::path& out, const fs::path& err) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
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

int FreeTableBase() {
  std::mt19937 random(static_cast<unsigned>(getpid()));
  for (int attempt = 0; attempt < 200; ++attempt) {
    const int base = 10000 + static_cast<int>(random() % 20000);
    bool free = true;
    for (int t = 1; t <= 10 && free; ++t) free = PortFree(base + t);
    if (free) return base;
  }
  return 0;
}

// The process's user + system CPU seconds.
double CpuSeconds(pid_t pid) {
  std::istringstream stat(Slurp("/proc/" + std::to_string(pid) + "/stat"));
  std::string field;
  // Fields 14 and 15 (utime, stime) after the command name, which may hold blanks.
  std::string text = stat.str();
  const size_t close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream rest(text.substr(close + 2));
  std::vector<std::string> fields;
  while (rest >> field) fields.push_back(field);
  if (fields.size() < 13) return 0;
  return (std::stod(fields[11]) + std::stod(fields[12])) /
         static_cast<double>(sysconf(_SC_CLK_TCK));
}

size_t Collect(char* data, size_t size, size_t count, void* to) {
  static_cast<std::string*>(to)->append(data, size * count);
  return size * count;
}

std::string Post(const std::string& url, const std::string& source, const std::string& body) {
  CURL* curl = curl_easy_init();
  const std::string interface = "host!" + source;
  std::string reply;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_INTERFACE, interface.c_str());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "MosaicTurnKey");
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
  curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  return reply;
}

}  // namespace

int main(int argc, char** argv) {
  int tables = 10;
  int secondMs = 100;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--tables") == 0) tables = std::clamp(std::atoi(argv[i + 1]), 1, 10);
    if (std::strcmp(argv[i], "--second-ms") == 0) secondMs = std::max(1, std::atoi(argv[i + 1]));
  }
  const fs::path folder =
      fs::temp_directory_path() / ("trilane-tourney-load-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const int base = FreeTableBase();
  const pid_t service =
      Spawn({std::string(TRILANE_PROGRAM_DIR) + "/trilane-club-service", "--listen", "127.0.0.1:0",
             "--data", (folder / "club").string(), "--ftp-port", "0", "--fast-hashes", "--rate",
             "100000", "--burst", "100000", "--tourney-base-port", std::to_string(base),
             "--tourney-second-ms", std::to_string(secondMs)},
            folder / "service.out", folder / "service.err");
  std::string url;
  for (int i = 0; i < 200 && url.empty(); ++i) {
    const std::string out = Slurp(folder / "service.out");
    if (out.rfind("listening on ", 0) == 0 && out.find('\n') != std::string::npos)
      url = out.substr(13, out.find('\n') - 13);
    else
      std::this_thread::sleep_for(50ms);
  }
  if (url.empty()) {
    std::fprintf(stderr, "tourney_load: the service did not start\n");
    kill(service, SIGTERM);
    return 1;
  }
  const int players = tables * 4;
  const auto nick = [](int p) { return "Load" + std::to_string(p) + "er"; };
  const auto source = [](int p) { return "127.0.0." + std::to_string(p + 1); };
  for (int p = 1; p <= players; ++p) {
    Post(url + "/scripts/account", source(p),
         "nick=" + nick(p) +
             "&pw=pass&city=Oslo&country1=Norway&country2=1-035&sex=W&email=a@b.c"
             "&dater=01.01.1990&R01=xxx&R02=xxx&R03=xxx&R04=0&R05=0&R06=0");
  }

  const double cpuBefore = CpuSeconds(service);
  const auto started = Clock::now();
  std::vector<pid_t> seats(players + 1, -1);
  const auto outFile = [&](int p) { return folder / ("seat" + std::to_string(p) + ".out"); };
  // Seats are taken in order at each table: every table's seat 1 first, then seat 2 ...
  for (int seat = 1; seat <= 4; ++seat) {
    for (int t = 1; t <= tables; ++t) {
      const int p = (t - 1) * 4 + seat;
      seats[p] = Spawn({TRILANE_CLI, "tourney", "--service", url + "/directory.txt", "--nick",
                        nick(p), "--password", "pass", "--table", std::to_string(t), "--seat",
                        std::to_string(seat), "--json", "--tick-ms", std::to_string(secondMs),
                        "--timeout", "300", "--source", source(p)},
                       outFile(p), folder / ("seat" + std::to_string(p) + ".err"));
    }
    for (int t = 1; t <= tables; ++t) {
      const int p = (t - 1) * 4 + seat;
      for (int i = 0; i < 1000 && Slurp(outFile(p)).find("\"seated\"") == std::string::npos; ++i)
        std::this_thread::sleep_for(20ms);
    }
  }
  int failed = 0;
  for (int p = 1; p <= players; ++p) {
    int status = 0;
    waitpid(seats[p], &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      ++failed;
      std::fprintf(stderr, "seat %d: %s", p,
                   Slurp(folder / ("seat" + std::to_string(p) + ".err")).c_str());
    }
  }
  const double wall = std::chrono::duration<double>(Clock::now() - started).count();
  const double cpu = CpuSeconds(service) - cpuBefore;
  int disagreeing = 0;
  for (int t = 1; t <= tables; ++t) {
    const std::string first = Slurp(outFile((t - 1) * 4 + 1));
    const std::string rounds = first.substr(first.find('\n') + 1);
    for (int seat = 2; seat <= 4; ++seat) {
      const std::string other = Slurp(outFile((t - 1) * 4 + seat));
      if (other.substr(other.find('\n') + 1) != rounds || rounds.empty()) ++disagreeing;
    }
  }
  kill(service, SIGTERM);
  waitpid(service, nullptr, 0);
  std::printf("tables %d, seats %d, clock second %d ms\n", tables, players, secondMs);
  std::printf("wall %.2f s, service CPU %.2f s (%.1f %% of one core)\n", wall, cpu,
              100.0 * cpu / wall);
  std::printf("seats failed %d, seats disagreeing with their table's first seat %d\n", failed,
              disagreeing);
  std::error_code ec;
  fs::remove_all(folder, ec);
  return failed == 0 && disagreeing == 0 ? 0 : 1;
}
