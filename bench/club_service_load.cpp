// A measured load on the club service: starts trilane-club-service on a free loopback port
// with a fresh data folder, registers a few dozen players (each at its own address, passed
// through X-Forwarded-For as a reverse proxy would), then lets several clients with kept-alive
// connections send the mix of calls a club sees (mostly lobby, board, top-ten and statistics
// reads, some sign-ins, counters, results and messages) for a few seconds. Prints the calls
// per second and the latency percentiles.
//
// The service runs with the fast password hashes: a real hash costs tens of milliseconds once
// per player and sign-in (later proofs of the same password are remembered), which would
// measure the setup rather than the club.
//
//   club_service_load [--service PATH] [--seconds N] [--clients N] [--players N]
//                     [--store postgres://...]  (a PostgreSQL store instead of SQLite)

#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Call {
  const char* script;
  int weight;
  std::string (*body)(int player, int n);
};

std::string Nick(int player) {
  return "Player" + std::to_string(player);
}
std::string Address(int player) {
  return "10.1." + std::to_string(player / 200) + "." + std::to_string(player % 200 + 1);
}

// Per 100 calls.
const Call kMix[] = {
    {"stats", 14, [](int, int) -> std::string { return "gid=814"; }},
    {"worldtop", 10, [](int, int) -> std::string { return "gid=814"; }},
    {"worldtop", 12, [](int, int) -> std::string { return "gid=100"; }},
    {"tourney", 10, [](int, int) -> std::string { return "readtable410=94&&gid=94"; }},
    {"tourney", 8, [](int, int) -> std::string { return "serverinforead=0&&gid=94"; }},
    {"account", 7, [](int p, int) { return "nick=" + Nick(p) + "&&labelqorread=0"; }},
    {"account", 5, [](int p, int) { return "nick=" + Nick(p) + "&&pw=secret1&&label0=0"; }},
    {"account", 5, [](int, int) -> std::string { return "crdtrilanekon=0"; }},
    {"account", 4, [](int, int) -> std::string { return "crdtrilanerating=1.5"; }},
    {"account", 4, [](int, int) -> std::string { return "label1=0"; }},
    {"worldtop", 4, [](int, int) -> std::string { return "rgid=1114"; }},
    {"account", 3, [](int p, int) { return "nick=" + Nick(p) + "&&labelinforead=0"; }},
    {"account", 3, [](int p, int) { return "nick=" + Nick(p) + "&&pw=secret1&&crdtrilanebest=0"; }},
    {"stats", 3, [](int, int) -> std::string { return "gid=814&stat1=1&stat2=0"; }},
    {"stats", 3,
     [](int, int n) {
       return "gid=814&R1=" + std::to_string(n % 8 + 1) + "&R2=0&R3=" + std::to_string(n % 13) +
              "&R4=0&R5=0&R6=0&R7=0&R8=0&R9=0&R10=0&R11=0&R12=0";
     }},
    {"tourney", 3, [](int p, int) { return "readrating94=0&nick=" + Nick(p); }},
    {"worldtop", 1,
     [](int p, int n) {
       return "gid=100&nick=" + Nick(p) +
              "&city=Oslo&country=1-035&score=1&R7=M&R8=5.7f"
              "&R9=12:00_01.01.2026_Trilane&R10=Message_" +
              std::to_string(n) + "*";
     }},
    {"worldtop", 1,
     [](int p, int n) {
       return "gid=814&nick=" + Nick(p) +
              "&city=Oslo&country=1-035&score=" + std::to_string(n % 500) +
              "&R7=M&R8=5.7f&R9=#&R10=#*";
     }},
};

struct Options {
  std::string service = TRILANE_PROGRAM_DIR "/trilane-club-service";
  int seconds = 10;
  int clients = 8;
  int players = 64;
  std::string store;  // empty: the service's own SQLite file
};

httplib::Headers Headers(int player) {
  return {{"User-Agent", "MosaicTurnKey"}, {"X-Forwarded-For", Address(player)}};
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--service")
      o.service = argv[i + 1];
    else if (arg == "--seconds")
      o.seconds = std::max(1, std::atoi(argv[i + 1]));
    else if (arg == "--clients")
      o.clients = std::max(1, std::atoi(argv[i + 1]));
    else if (arg == "--players")
      o.players = std::max(1, std::atoi(argv[i + 1]));
    else if (arg == "--store")
      o.store = argv[i + 1];
  }

  const fs::path data = fs::temp_directory_path() / ("club-load-" + std::to_string(getpid()));
  fs::remove_all(data);
  int out[2];
  if (pipe(out) != 0) return 1;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    close(out[0]);
    std::vector<const char*> args = {o.service.c_str(), "--listen", "127.0.0.1:0", "--data",
                                     data.c_str(), "--ftp-port", "0", "--rate", "0",
                                     "--trust-proxy", "--fast-hashes"};
    if (!o.store.empty()) {
      args.push_back("--store");
      args.push_back(o.store.c_str());
    }
    args.push_back(nullptr);
    execv(o.service.c_str(), const_cast<char* const*>(args.data()));
    _exit(127);
  }
  close(out[1]);
  std::string line;
  for (char c; read(out[0], &c, 1) == 1 && c != '\n';) line += c;
  const size_t colon = line.rfind(':');
  if (line.rfind("listening on", 0) != 0 || colon == std::string::npos) {
    std::fprintf(stderr, "club_service_load: the service did not start (%s)\n", line.c_str());
    return 1;
  }
  const int port = std::stoi(line.substr(colon + 1));

  // Players with accounts, signed in at their addresses, and a board with a few messages.
  {
    std::vector<std::thread> setup;
    for (int t = 0; t < 2; ++t) {
      setup.emplace_back([&, t] {
        httplib::Client client("127.0.0.1", port);
        for (int p = t; p < o.players; p += 2) {
          client.Post("/scripts/account", Headers(p),
                      "nick=" + Nick(p) +
                          "&pw=secret1&city=Oslo&country1=Norway&country2=1-035"
                          "&sex=M&email=p@club.no",
                      "application/x-www-form-urlencoded");
          client.Post("/scripts/account", Headers(p), "nick=" + Nick(p) + "&&pw=secret1&&label0=0",
                      "application/x-www-form-urlencoded");
        }
      });
    }
    for (auto& t : setup) t.join();
  }

  int totalWeight = 0;
  for (const Call& c : kMix) totalWeight += c.weight;
  std::atomic<bool> stop{false};
  std::vector<std::vector<double>> latencies(o.clients);
  std::vector<int> failures(o.clients, 0);
  std::vector<std::thread> clients;
  const auto start = Clock::now();
  for (int t = 0; t < o.clients; ++t) {
    clients.emplace_back([&, t] {
      std::mt19937 random(1234 + t);
      httplib::Client client("127.0.0.1", port);
      client.set_keep_alive(true);
      client.set_tcp_nodelay(true);
      int n = 0;
      while (!stop.load(std::memory_order_relaxed)) {
        int pick = static_cast<int>(random() % totalWeight);
        const Call* call = kMix;
        while (pick >= call->weight) pick -= (call++)->weight;
        const int player = static_cast<int>(random() % o.players);
        const std::string body = call->body(player, n++);
        const auto begin = Clock::now();
        auto res = client.Post(std::string("/scripts/") + call->script, Headers(player), body,
                               "application/x-www-form-urlencoded");
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
        latencies[t].push_back(ms);
        if (!res || res->status != 200 || res->body == "err" || res->body == "$ err#")
          ++failures[t];
      }
    });
  }
  std::this_thread::sleep_for(std::chrono::seconds(o.seconds));
  stop = true;
  for (auto& t : clients) t.join();
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();

  std::vector<double> all;
  int failed = 0;
  for (int t = 0; t < o.clients; ++t) {
    all.insert(all.end(), latencies[t].begin(), latencies[t].end());
    failed += failures[t];
  }
  std::sort(all.begin(), all.end());
  auto percentile = [&](double p) {
    return all.empty() ? 0.0 : all[std::min(all.size() - 1, static_cast<size_t>(p * all.size()))];
  };
  std::printf("calls            %zu in %.1f s (%d clients, %d players)\n", all.size(), elapsed,
              o.clients, o.players);
  std::printf("calls per second %.0f\n", all.size() / elapsed);
  std::printf("latency ms       p50 %.2f  p90 %.2f  p99 %.2f  max %.2f\n", percentile(0.50),
              percentile(0.90), percentile(0.99), all.empty() ? 0.0 : all.back());
  std::printf("refused replies  %d (daily limits of the simulated addresses)\n", failed);

  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  fs::remove_all(data);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
