// trilane-club-service: the club's web service for the program (accounts, statistics, world
// tables, the message board, tournament tables, photos and add-on downloads), on one machine
// with SQLite or, for a larger club, several processes sharing PostgreSQL.
//
//   trilane-club-service [--listen ADDR:PORT] [--data DIR] [--ftp-port P] [options]
//
// See server/README.md for every option.

#include <httplib.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "server/club_service.h"
#include "server/help_pages.h"
#include "server/photo_upload.h"
#include "server/rate_limiter.h"
#include "server/service_config.h"
#include "server/text_rules.h"

namespace fs = std::filesystem;
using namespace trilane::club;

namespace {

constexpr char kAccessToken[] = "MosaicTurnKey";
constexpr size_t kMaxBody = 16 * 1024;
constexpr const char* kAddonFiles[] = {"QorCards06A.dll", "QorCards06B.dll", "QorCards06C.dll",
                                       "QorBackG03.dll",  "QorCGraph1.dll",  "QorCVoice3.dll"};

struct Options {
  std::string host = "127.0.0.1";
  int port = 8094;
  fs::path data;
  int ftpPort = 2121;
  std::string ftpPassword = "photos";
  std::vector<fs::path> addons;
  std::string store;  // empty: SQLite in the data folder
  std::string publicUrl;
  int threads = 32;
  double rate = 20;
  double burst = 60;
  bool fastHashes = false;
  bool trustProxy = false;
  bool verbose = false;
};

[[noreturn]] void Usage(const std::string& problem) {
  std::cerr << "trilane-club-service: " << problem << "\n"
            << "usage: trilane-club-service [--listen ADDR:PORT] [--data DIR] [--ftp-port P]\n"
            << "  [--ftp-password TEXT] [--addons DIR]... [--store postgres://...]\n"
            << "  [--public-url http://HOST:PORT] [--threads N] [--rate PER_SECOND] [--burst N]\n"
            << "  [--fast-hashes] [--trust-proxy] [--verbose]\n";
  std::exit(2);
}

fs::path ExecutableFolder() {
  std::error_code ec;
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path() : self.parent_path();
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  auto number = [](const std::string& text, int64_t low, int64_t high, const char* what) {
    auto n = ParseInteger(text, low, high);
    if (!n) Usage(std::string("bad ") + what + ": " + text);
    return *n;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Usage(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--listen") {
      const std::string v = value();
      const size_t colon = v.rfind(':');
      if (colon == std::string::npos || colon == 0) Usage("--listen wants ADDR:PORT");
      o.host = v.substr(0, colon);
      o.port = static_cast<int>(number(v.substr(colon + 1), 0, 65535, "port"));
    } else if (arg == "--data") {
      o.data = value();
    } else if (arg == "--ftp-port") {
      o.ftpPort = static_cast<int>(number(value(), 0, 65535, "FTP port"));
    } else if (arg == "--ftp-password") {
      o.ftpPassword = value();
    } else if (arg == "--addons") {
      o.addons.emplace_back(value());
    } else if (arg == "--store") {
      o.store = value();
    } else if (arg == "--public-url") {
      o.publicUrl = value();
      while (!o.publicUrl.empty() && o.publicUrl.back() == '/') o.publicUrl.pop_back();
    } else if (arg == "--threads") {
      o.threads = static_cast<int>(number(value(), 1, 256, "thread count"));
    } else if (arg == "--rate") {
      o.rate = static_cast<double>(number(value(), 0, 1000000, "rate"));
    } else if (arg == "--burst") {
      o.burst = static_cast<double>(number(value(), 1, 1000000, "burst"));
    } else if (arg == "--fast-hashes") {
      o.fastHashes = true;
    } else if (arg == "--trust-proxy") {
      o.trustProxy = true;
    } else if (arg == "--verbose") {
      o.verbose = true;
    } else if (arg == "--help" || arg == "-h") {
      Usage("help");
    } else {
      Usage("unknown option " + arg);
    }
  }
  const fs::path exe = ExecutableFolder();
  if (o.data.empty()) o.data = exe / "club-data";
  if (o.addons.empty()) o.addons = {exe, exe.parent_path()};
  return o;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The caller's address: the peer, or behind a trusted reverse proxy the address the proxy
// added last to X-Forwarded-For.
std::string CallerAddress(const httplib::Request& req, bool trustProxy) {
  if (trustProxy && req.has_header("X-Forwarded-For")) {
    std::string chain = req.get_header_value("X-Forwarded-For");
    const size_t comma = chain.rfind(',');
    std::string last = comma == std::string::npos ? chain : chain.substr(comma + 1);
    while (!last.empty() && last.front() == ' ') last.erase(0, 1);
    if (IsReplyWord(last, 45)) return last;
  }
  return req.remote_addr;
}

// Host header characters that may stand in a URL we hand out.
bool IsHostText(const std::string& host) {
  if (host.empty() || host.size() > 100) return false;
  for (char c : host) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != ':' &&
        c != '[' && c != ']') {
      return false;
    }
  }
  return true;
}

// Re-reads club.conf when it changes.
class ConfigWatcher {
 public:
  ConfigWatcher(fs::path path, ClubService& service) : path_(std::move(path)), service_(service) {
    Reload();
  }
  void Reload() {
    std::error_code ec;
    const auto stamp = fs::last_write_time(path_, ec);
    std::lock_guard lock(mutex_);
    if (!ec && stamp == stamp_) return;
    stamp_ = ec ? fs::file_time_type{} : stamp;
    config_ = ec ? ServiceConfig{} : ParseServiceConfig(ReadFile(path_));
    service_.SetTourney(config_.tourney);
  }
  ServiceConfig Current() {
    std::lock_guard lock(mutex_);
    return config_;
  }

 private:
  fs::path path_;
  ClubService& service_;
  std::mutex mutex_;
  fs::file_time_type stamp_{};
  ServiceConfig config_;
};

std::optional<fs::path> FindAddon(const std::vector<fs::path>& folders, const std::string& name) {
  for (const fs::path& folder : folders) {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
      const std::string file = entry.path().filename().string();
      if (file.size() == name.size() &&
          std::equal(file.begin(), file.end(), name.begin(),
                     [](char a, char b) {
                       return std::tolower(static_cast<unsigned char>(a)) ==
                              std::tolower(static_cast<unsigned char>(b));
                     }) &&
          entry.is_regular_file(ec)) {
        return entry.path();
      }
    }
  }
  return std::nullopt;
}

int64_t Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

double Monotonic() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);

  // SIGTERM and SIGINT are taken by one thread that stops the server; every other thread
  // (httplib's pool included) inherits the blocked mask.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  if (!InitCrypto()) {
    std::cerr << "trilane-club-service: the crypto library cannot start\n";
    return 1;
  }
  std::error_code ec;
  const fs::path photos = options.data / "photos";
  fs::create_directories(photos, ec);
  if (ec) {
    std::cerr << "trilane-club-service: cannot create " << photos << ": " << ec.message() << "\n";
    return 1;
  }

  // A keep-alive connection holds a request thread while it lasts, so there are more threads
  // than database connections; a thread waits for a free connection only while it works.
  const int connections = std::min(options.threads, 8);
  std::unique_ptr<ClubStore> store;
  try {
    auto pool = options.store.empty()
                    ? OpenSqlitePool((options.data / "club.sqlite").string(), connections)
                    : OpenPostgresPool(options.store, connections);
    store = MakeSqlClubStore(std::move(pool));
  } catch (const std::exception& e) {
    std::cerr << "trilane-club-service: " << e.what() << "\n";
    return 1;
  }
  PasswordHasher hasher(options.fastHashes ? HashStrength::Fast : HashStrength::Interactive);
  ClubService service(*store, hasher);
  ConfigWatcher config(options.data / "club.conf", service);
  RateLimiter limiter(options.rate, options.burst);

  httplib::Server server;
  const int threads = options.threads;
  server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  server.set_payload_max_length(kMaxBody);
  server.set_read_timeout(5, 0);
  server.set_write_timeout(5, 0);
  server.set_keep_alive_max_count(1000);
  server.set_keep_alive_timeout(2);
  // Headers and body leave in separate writes: without this the body would wait for the
  // client's delayed acknowledgement.
  server.set_tcp_nodelay(true);

  const bool trustProxy = options.trustProxy;
  server.set_pre_routing_handler([&](const httplib::Request& req, httplib::Response& res) {
    if (limiter.Allow(CallerAddress(req, trustProxy), Monotonic())) {
      return httplib::Server::HandlerResponse::Unhandled;
    }
    res.status = 429;
    res.set_content("busy", "text/plain");
    return httplib::Server::HandlerResponse::Handled;
  });

  const struct {
    const char* path;
    Script script;
  } scripts[] = {{"/scripts/account", Script::Account},
                 {"/scripts/stats", Script::Stats},
                 {"/scripts/worldtop", Script::WorldTop},
                 {"/scripts/tourney", Script::Tourney}};
  for (const auto& s : scripts) {
    const Script script = s.script;
    server.Post(s.path, [&, script](const httplib::Request& req, httplib::Response& res) {
      if (req.get_header_value("User-Agent") != kAccessToken) {
        res.status = 403;
        res.set_content("forbidden", "text/plain");
        return;
      }
      const std::string address = CallerAddress(req, trustProxy);
      std::string reply = service.Handle(script, req.body, address, Now());
      if (options.verbose && !ClubService::LastReason().empty()) {
        std::fprintf(stderr, "%s %s: %s\n", address.c_str(), req.path.c_str(),
                     ClubService::LastReason().c_str());
      }
      res.set_content(std::move(reply), "text/html; charset=windows-1251");
    });
  }

  server.Get("/scripts/myip", [&](const httplib::Request& req, httplib::Response& res) {
    res.set_content(CallerAddress(req, trustProxy), "text/plain");
  });

  server.Get(R"(/help/([^/]+))", [&](const httplib::Request& req, httplib::Response& res) {
    const auto page = HelpPage(std::string_view(req.matches[1].str()));
    if (!page) {
      res.status = 404;
      return;
    }
    res.set_content(std::string(*page), "text/html; charset=utf-8");
  });

  server.Get("/directory.txt", [&](const httplib::Request& req, httplib::Response& res) {
    config.Reload();
    const ServiceConfig c = config.Current();
    std::string origin = options.publicUrl;
    if (origin.empty()) {
      const std::string host = req.get_header_value("Host");
      origin =
          "http://" + (IsHostText(host) ? host : options.host + ":" + std::to_string(options.port));
    }
    res.set_content(DirectoryText(origin, c.worldTopPaused, c.chatPaused), "text/plain");
  });

  server.Get(R"(/photos/([^/]+)\.jpg)", [&](const httplib::Request& req, httplib::Response& res) {
    const std::string nick = req.matches[1];
    const fs::path file = photos / (nick + ".jpg");
    std::error_code fileError;
    if (!IsNameText(nick, 12, false) || !fs::is_regular_file(file, fileError) ||
        fs::file_size(file, fileError) > 512 * 1024) {
      res.status = 404;
      return;
    }
    res.set_content(ReadFile(file), "image/jpeg");
  });

  server.Get(R"(/downloads/progr/cards/([^/]+))", [&](const httplib::Request& req,
                                                      httplib::Response& res) {
    const std::string name = req.matches[1];
    const bool known = std::any_of(std::begin(kAddonFiles), std::end(kAddonFiles),
                                   [&](const char* f) { return strcasecmp(f, name.c_str()) == 0; });
    auto file = known ? FindAddon(options.addons, name) : std::nullopt;
    if (!file) {
      res.status = 404;
      return;
    }
    res.set_content(ReadFile(*file), "application/octet-stream");
  });

  int port = options.port;
  if (port == 0) {
    port = server.bind_to_any_port(options.host);
  } else if (!server.bind_to_port(options.host, port)) {
    port = -1;
  }
  if (port < 0) {
    std::cerr << "trilane-club-service: cannot listen on " << options.host << ":" << options.port
              << "\n";
    return 1;
  }

  PhotoUploadServer ftp;
  if (options.ftpPort != 0) {
    std::string reason;
    if (!ftp.Start({options.host, options.ftpPort, "trilane", options.ftpPassword, photos.string()},
                   &reason)) {
      std::cerr << "trilane-club-service: photo upload unavailable: " << reason << "\n";
    }
  }

  // Every second club.conf is looked at (the operator's switches take effect at once); once an
  // hour the bookkeeping of past days is forgotten.
  std::atomic<bool> stopping{false};
  std::thread janitor([&] {
    for (int seconds = 0; !stopping; ++seconds) {
      config.Reload();
      if (seconds % 3600 == 0) {
        try {
          const int64_t now = Now();
          store->Prune(now / 86400 - 1, now - 2 * 86400);
        } catch (const std::exception& e) {
          std::fprintf(stderr, "trilane-club-service: pruning failed: %s\n", e.what());
        }
      }
      std::this_thread::sleep_for(std::chrono::seconds(1));
    }
  });

  std::thread stopper([&] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
  });

  std::printf("listening on http://%s:%d\n", options.host.c_str(), port);
  std::fflush(stdout);
  server.listen_after_bind();

  // Stopped by a signal: the stopper has returned. Stopped otherwise: wake it.
  if (stopper.joinable()) {
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
  }
  stopping = true;
  janitor.join();
  ftp.Stop();
  return 0;
}
