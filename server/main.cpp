// trilane-club-service: the club's web service for the program (accounts, statistics, world
// tables, the message board, tournament tables, photos and add-on downloads), on one machine
// with SQLite or, for a larger club, several processes sharing PostgreSQL.
//
//   trilane-club-service [--listen ADDR:PORT] [--data DIR] [--ftp-port P] [options]
//
// See server/README.md for every option.

#include <arpa/inet.h>
#include <fcntl.h>
#include <microhttpd.h>
#include <netdb.h>
#include <signal.h>
#include <strings.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sstream>
#include <thread>
#include <unordered_set>

#include "server/club_service.h"
#include "server/help_pages.h"
#include "server/photo_upload.h"
#include "server/rate_limiter.h"
#include "server/request.h"
#include "server/service_config.h"
#include "server/text_rules.h"
#ifdef TRILANE_TOURNEY_SERVER
#include "server/tourney_server.h"
#endif

namespace fs = std::filesystem;
using namespace trilane::club;

namespace {

constexpr char kAccessToken[] = "MosaicTurnKey";
// The largest request body, whatever its type: the program's longest form (a profile with
// every text at its editor's length, percent-encoded) stays well below it.
constexpr size_t kMaxBody = 16 * 1024;
// The request line and headers live in this much memory per connection: a head that does not
// fit (a long line, or thousands of headers) is answered 431 or 414 and the connection closed.
constexpr size_t kConnectionMemory = 32 * 1024;
// Headers one request may carry (the program sends five; proxies add a few): more are 431.
constexpr int kMaxHeaders = 100;
// A request must have arrived whole, head and body, this long after its connection opened or
// the previous reply went out; a connection dripping a byte now and then is cut when it runs
// out, and so is a kept-alive connection that sends nothing more.
constexpr auto kRequestDeadline = std::chrono::seconds(5);
// A connection on which nothing at all moves for this long is closed (a caller that takes no
// reply).
constexpr unsigned kIdleSeconds = 10;
// Connections the service keeps open at once, and from one address; past these a new
// connection is closed at once. Behind a trusted proxy every connection comes from the proxy,
// so there only the total applies.
constexpr unsigned kMaxConnections = 1000;
constexpr unsigned kConnectionsPerAddress = 16;
constexpr uint64_t kMaxPhoto = 512 * 1024;
constexpr const char* kAddonFiles[] = {"QorCards06A.dll", "QorCards06B.dll", "QorCards06C.dll",
                                       "QorBackG03.dll",  "QorCGraph1.dll",  "QorCVoice3.dll"};

using Clock = std::chrono::steady_clock;

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
  // The tournament tables: by default on club.conf's address and base port.
  int tourneyBasePort = 0;  // 0: club.conf's
  bool noTourney = false;
  bool tourneyOnly = false;
  int tourneySecondMs = 1000;
};

constexpr const char* kUsage =
    "usage: trilane-club-service [--listen ADDR:PORT] [--data DIR] [--ftp-port P]\n"
    "  [--ftp-password TEXT] [--addons DIR]... [--store postgres://...]\n"
    "  [--public-url http://HOST:PORT] [--threads N] [--rate PER_SECOND] [--burst N]\n"
    "  [--fast-hashes] [--trust-proxy] [--verbose]\n"
    "  [--tourney-base-port P] [--no-tourney | --tourney-only]\n"
    "  [--tourney-second-ms N]\n";

[[noreturn]] void Usage(const std::string& problem) {
  std::cerr << "trilane-club-service: " << problem << "\n" << kUsage;
  std::exit(2);
}

// --help: the usage and what each option does, on standard output (the manual page is
// made from it).
[[noreturn]] void Help() {
  std::cout << kUsage
            << "\n"
               "The club service of the game: accounts, ratings, top tens, the message board,\n"
               "statistics, tournament tables, photos and add-on downloads over HTTP, with\n"
               "SQLite in the data folder or a PostgreSQL database.\n"
               "\n"
               "Options:\n"
               "  --listen ADDR:PORT   where to listen (127.0.0.1:8094); port 0 picks a free\n"
               "                       port; beyond loopback --public-url is required\n"
               "  --data DIR           club.sqlite, photos/ and club.conf (club-data beside\n"
               "                       the program)\n"
               "  --ftp-port P         the photo upload's FTP port (2121); 0: no upload\n"
               "  --ftp-password TEXT  password of the FTP user trilane (photos)\n"
               "  --addons DIR         where the add-on libraries lie (repeatable; the\n"
               "                       program's folder and its parent)\n"
               "  --store URL          a PostgreSQL database (postgres://...)\n"
               "  --public-url URL     origin written into the service directory\n"
               "  --threads N          worker threads (32)\n"
               "  --rate N, --burst N  token bucket per caller address (20 per second, 60);\n"
               "                       --rate 0 turns it off\n"
               "  --trust-proxy        take the caller's address from X-Forwarded-For (only\n"
               "                       on a loopback or private listen address)\n"
               "  --fast-hashes        the minimum password hash cost: tests and load runs\n"
               "  --verbose            one line on stderr for every refused call\n"
               "  --tourney-base-port P  table t listens on P + t (club.conf's\n"
               "                       tourney_base_port, 25700)\n"
               "  --no-tourney         no tournament tables in this process\n"
               "  --tourney-only       only the tournament tables, against the same store; no\n"
               "                       HTTP, no FTP\n"
               "  --tourney-second-ms N  the length of the tables' clock second (1000; tests\n"
               "                       and load runs)\n"
               "  --version            print the version and exit\n"
               "\n"
               "It prints one line, \"listening on http://ADDR:PORT\", once it accepts\n"
               "connections, and stops cleanly on SIGTERM or SIGINT.\n";
  std::exit(0);
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
      if (o.host.size() > 2 && o.host.front() == '[' && o.host.back() == ']') {
        o.host = o.host.substr(1, o.host.size() - 2);
      }
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
    } else if (arg == "--tourney-base-port") {
      o.tourneyBasePort = static_cast<int>(number(value(), 1, 65535 - kTourneyTables, "base port"));
    } else if (arg == "--no-tourney") {
      o.noTourney = true;
    } else if (arg == "--tourney-only") {
      o.tourneyOnly = true;
    } else if (arg == "--tourney-second-ms") {
      o.tourneySecondMs = static_cast<int>(number(value(), 1, 60000, "clock second"));
    } else if (arg == "--help" || arg == "-h") {
      Help();
    } else if (arg == "--version") {
      std::cout << "trilane-club-service " << TRILANE_VERSION << "\n";
      std::exit(0);
    } else {
      Usage("unknown option " + arg);
    }
  }
  if (o.noTourney && o.tourneyOnly) Usage("--no-tourney and --tourney-only exclude each other");
  if (auto problem = CheckListenOptions(o.host, o.trustProxy, o.publicUrl)) Usage(*problem);
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

// The listen address as it stands in a URL (an IPv6 address in brackets).
std::string UrlHost(const std::string& host) {
  return host.find(':') == std::string::npos ? host : "[" + host + "]";
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
  // `basePort`, when not 0, stands for club.conf's tourney_base_port: the table list names
  // the ports the tables really listen on.
  ConfigWatcher(fs::path path, ClubService& service, int basePort = 0)
      : path_(std::move(path)), service_(service), basePort_(basePort) {
    Reload();
  }
  void Reload() {
    std::error_code ec;
    const auto stamp = fs::last_write_time(path_, ec);
    std::lock_guard lock(mutex_);
    if (!ec && stamp == stamp_) return;
    stamp_ = ec ? fs::file_time_type{} : stamp;
    config_ = ec ? ServiceConfig{} : ParseServiceConfig(ReadFile(path_));
    if (basePort_ != 0) config_.tourney.basePort = basePort_;
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
  int basePort_ = 0;
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
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

// Every open connection and whether a request is still arriving on it, so that the deadline
// can cut the ones that take too long. Each keeps a duplicate of its socket: the watch shuts
// the socket down through it, and its number cannot be reused while the watch holds it.
class ConnectionWatch {
 public:
  struct Peer {
    int fd = -1;
    Clock::time_point since;
    bool reading = true;
  };

  Peer* Open(int fd) {
    auto* peer = new Peer{fcntl(fd, F_DUPFD_CLOEXEC, 0), Clock::now(), true};
    std::lock_guard lock(mutex_);
    peers_.insert(peer);
    return peer;
  }
  void Close(Peer* peer) {
    std::lock_guard lock(mutex_);
    peers_.erase(peer);
    if (peer->fd >= 0) close(peer->fd);
    delete peer;
  }
  // The request is in: the deadline stops while it is answered.
  void Arrived(Peer* peer) {
    std::lock_guard lock(mutex_);
    peer->reading = false;
  }
  // The reply is out: the next request's time starts.
  void Answered(Peer* peer) {
    std::lock_guard lock(mutex_);
    peer->reading = true;
    peer->since = Clock::now();
  }
  void CutLate(Clock::time_point now) {
    std::lock_guard lock(mutex_);
    for (Peer* peer : peers_) {
      if (peer->reading && peer->fd >= 0 && now - peer->since > kRequestDeadline) {
        shutdown(peer->fd, SHUT_RDWR);
        close(peer->fd);
        peer->fd = -1;
      }
    }
  }

 private:
  std::mutex mutex_;
  std::unordered_set<Peer*> peers_;
};

// What one request has brought so far.
struct Exchange {
  RoutedPath routed;
  std::string caller;
  std::string body;
};

struct App {
  const Options& options;
  int port = 0;
  fs::path photos;
  ClubService& service;
  ConfigWatcher& config;
  RateLimiter& limiter;
  ConnectionWatch watch;
};

const char* Header(MHD_Connection* c, const char* name) {
  return MHD_lookup_connection_value(c, MHD_HEADER_KIND, name);
}

ConnectionWatch::Peer* PeerOf(MHD_Connection* c) {
  const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
  return info ? static_cast<ConnectionWatch::Peer*>(info->socket_context) : nullptr;
}

// The caller's address: the peer, or behind a trusted reverse proxy the address the proxy
// added last to X-Forwarded-For.
std::string CallerAddress(MHD_Connection* c, bool trustProxy) {
  if (trustProxy) {
    if (const char* forwarded = Header(c, "X-Forwarded-For")) {
      const std::string chain = forwarded;
      const size_t comma = chain.rfind(',');
      std::string last = comma == std::string::npos ? chain : chain.substr(comma + 1);
      while (!last.empty() && last.front() == ' ') last.erase(0, 1);
      if (IsReplyWord(last, 45)) return last;
    }
  }
  const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
  char text[INET6_ADDRSTRLEN] = {};
  if (info && info->client_addr) {
    const sockaddr* addr = info->client_addr;
    if (addr->sa_family == AF_INET) {
      inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(addr)->sin_addr, text, sizeof text);
    } else if (addr->sa_family == AF_INET6) {
      inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(addr)->sin6_addr, text,
                sizeof text);
    }
  }
  return text;
}

MHD_Result Reply(MHD_Connection* c, unsigned status, std::string_view body = {},
                 const char* type = nullptr) {
  MHD_Response* response = MHD_create_response_from_buffer(
      body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
  if (!response) return MHD_NO;
  if (type) MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, type);
  const MHD_Result queued = MHD_queue_response(c, status, response);
  MHD_destroy_response(response);
  return queued;
}

// A file sent from the disk as the connection takes it, never read whole into memory.
MHD_Result ReplyWithFile(MHD_Connection* c, int fd, uint64_t size, const char* type) {
  MHD_Response* response = MHD_create_response_from_fd64(size, fd);
  if (!response) {
    close(fd);
    return MHD_NO;
  }
  MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, type);
  const MHD_Result queued = MHD_queue_response(c, MHD_HTTP_OK, response);
  MHD_destroy_response(response);
  return queued;
}

// A regular file no larger than `limit`, open for reading; -1 otherwise.
int OpenRegular(const fs::path& path, uint64_t limit, uint64_t* size) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > limit) {
    close(fd);
    return -1;
  }
  *size = static_cast<uint64_t>(st.st_size);
  return fd;
}

MHD_Result Serve(App& app, MHD_Connection* c, const Exchange& ex) {
  const RoutedPath& routed = ex.routed;
  switch (routed.route) {
    case Route::kNotFound:
      return Reply(c, MHD_HTTP_NOT_FOUND);
    case Route::kScript: {
      const char* agent = Header(c, MHD_HTTP_HEADER_USER_AGENT);
      if (!agent || std::string_view(agent) != kAccessToken) {
        return Reply(c, MHD_HTTP_FORBIDDEN, "forbidden", "text/plain");
      }
      const std::string reply = app.service.Handle(routed.script, ex.body, ex.caller, Now());
      if (app.options.verbose && !ClubService::LastReason().empty()) {
        std::fprintf(stderr, "%s %s: %s\n", ex.caller.c_str(), PathOf(routed).c_str(),
                     ClubService::LastReason().c_str());
      }
      return Reply(c, MHD_HTTP_OK, reply, "text/html; charset=windows-1251");
    }
    case Route::kMyIp:
      return Reply(c, MHD_HTTP_OK, ex.caller, "text/plain");
    case Route::kHelp: {
      const auto page = HelpPage(routed.name);
      if (!page) return Reply(c, MHD_HTTP_NOT_FOUND);
      return Reply(c, MHD_HTTP_OK, *page, "text/html; charset=utf-8");
    }
    case Route::kDirectory: {
      app.config.Reload();
      const ServiceConfig config = app.config.Current();
      // Only on loopback may the Host header name the origin (the options insist on a public
      // URL anywhere else).
      std::string origin = app.options.publicUrl;
      if (origin.empty()) {
        const char* host = Header(c, MHD_HTTP_HEADER_HOST);
        origin = "http://" + (host && IsHostText(host)
                                  ? std::string(host)
                                  : UrlHost(app.options.host) + ":" + std::to_string(app.port));
      }
      return Reply(c, MHD_HTTP_OK, DirectoryText(origin, config.worldTopPaused, config.chatPaused),
                   "text/plain");
    }
    case Route::kPhoto: {
      uint64_t size = 0;
      const int fd = IsNameText(routed.name, 12, false)
                         ? OpenRegular(app.photos / (routed.name + ".jpg"), kMaxPhoto, &size)
                         : -1;
      if (fd < 0) return Reply(c, MHD_HTTP_NOT_FOUND);
      return ReplyWithFile(c, fd, size, "image/jpeg");
    }
    case Route::kAddon: {
      const bool known =
          std::any_of(std::begin(kAddonFiles), std::end(kAddonFiles),
                      [&](const char* f) { return strcasecmp(f, routed.name.c_str()) == 0; });
      const auto file = known ? FindAddon(app.options.addons, routed.name) : std::nullopt;
      uint64_t size = 0;
      const int fd = file ? OpenRegular(*file, UINT64_MAX, &size) : -1;
      if (fd < 0) return Reply(c, MHD_HTTP_NOT_FOUND);
      return ReplyWithFile(c, fd, size, "application/octet-stream");
    }
  }
  return Reply(c, MHD_HTTP_NOT_FOUND);
}

// Called when the head is in, for every piece of the body, and once more when all is in.
// Everything that decides whether to read a body is decided on the head alone.
MHD_Result OnRequest(void* cls, MHD_Connection* c, const char* url, const char* method, const char*,
                     const char* upload, size_t* uploadSize, void** state) {
  App& app = *static_cast<App*>(cls);
  auto* ex = static_cast<Exchange*>(*state);
  if (!ex) {
    ex = new Exchange;
    *state = ex;
    ex->caller = CallerAddress(c, app.options.trustProxy);
    if (!app.limiter.Allow(ex->caller, Monotonic())) {
      return Reply(c, MHD_HTTP_TOO_MANY_REQUESTS, "busy", "text/plain");
    }
    if (MHD_get_connection_values(c, MHD_HEADER_KIND, nullptr, nullptr) > kMaxHeaders) {
      return Reply(c, MHD_HTTP_REQUEST_HEADER_FIELDS_TOO_LARGE);
    }
    // No body is ever decompressed, and none is read without knowing its length first.
    if (Header(c, MHD_HTTP_HEADER_CONTENT_ENCODING)) {
      return Reply(c, MHD_HTTP_UNSUPPORTED_MEDIA_TYPE);
    }
    const char* length = Header(c, MHD_HTTP_HEADER_CONTENT_LENGTH);
    if (Header(c, MHD_HTTP_HEADER_TRANSFER_ENCODING) ||
        (!length && std::string_view(method) == MHD_HTTP_METHOD_POST)) {
      return Reply(c, MHD_HTTP_LENGTH_REQUIRED);
    }
    if (length && !ParseInteger(length, 0, static_cast<int64_t>(kMaxBody))) {
      return Reply(c, MHD_HTTP_CONTENT_TOO_LARGE);
    }
    ex->routed = RoutePath(method, url);
    return MHD_YES;
  }
  if (*uploadSize > 0) {
    // The length was checked on the head; more than that is a broken request.
    if (ex->body.size() + *uploadSize > kMaxBody) return MHD_NO;
    ex->body.append(upload, *uploadSize);
    *uploadSize = 0;
    return MHD_YES;
  }
  if (ConnectionWatch::Peer* peer = PeerOf(c)) app.watch.Arrived(peer);
  return Serve(app, c, *ex);
}

void OnCompleted(void* cls, MHD_Connection* c, void** state, MHD_RequestTerminationCode) {
  delete static_cast<Exchange*>(*state);
  *state = nullptr;
  if (ConnectionWatch::Peer* peer = PeerOf(c)) static_cast<App*>(cls)->watch.Answered(peer);
}

void OnConnection(void* cls, MHD_Connection* c, void** socketContext,
                  MHD_ConnectionNotificationCode code) {
  App& app = *static_cast<App*>(cls);
  if (code == MHD_CONNECTION_NOTIFY_STARTED) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CONNECTION_FD);
    *socketContext = info ? app.watch.Open(info->connect_fd) : nullptr;
  } else if (code == MHD_CONNECTION_NOTIFY_CLOSED && *socketContext) {
    app.watch.Close(static_cast<ConnectionWatch::Peer*>(*socketContext));
    *socketContext = nullptr;
  }
}

// The listen address as a socket address (numeric addresses and names alike; IPv4 first).
bool ResolveListen(const std::string& host, int port, sockaddr_storage* out) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found) {
    return false;
  }
  const addrinfo* pick = found;
  for (const addrinfo* a = found; a; a = a->ai_next) {
    if (a->ai_family == AF_INET) {
      pick = a;
      break;
    }
  }
  std::memcpy(out, pick->ai_addr, pick->ai_addrlen);
  freeaddrinfo(found);
  return true;
}

// How many connections may be open at once: kMaxConnections, or fewer when the process may
// not open enough files (each connection takes two descriptors: its socket and the watch's
// duplicate, and the database and files being sent need some more). The soft limit is first
// raised to the hard one.
unsigned ConnectionLimit() {
  rlimit files{};
  if (getrlimit(RLIMIT_NOFILE, &files) != 0) return kMaxConnections;
  if (files.rlim_cur < files.rlim_max) {
    files.rlim_cur = files.rlim_max;
    setrlimit(RLIMIT_NOFILE, &files);
    getrlimit(RLIMIT_NOFILE, &files);
  }
  if (files.rlim_cur == RLIM_INFINITY) return kMaxConnections;
  const rlim_t spare = files.rlim_cur > 200 ? (files.rlim_cur - 200) / 2 : 16;
  return static_cast<unsigned>(std::min<rlim_t>(kMaxConnections, std::max<rlim_t>(spare, 16)));
}

void LogHttpError(void*, const char* format, va_list args) {
  std::vfprintf(stderr, format, args);
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);

  // SIGTERM and SIGINT are taken by the main thread, which then stops the service; every
  // other thread (the HTTP workers included) inherits the blocked mask.
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

  // A request holds a worker thread only while it is answered (waiting connections cost none),
  // and a worker waits for a free database connection only while it works.
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
  ConfigWatcher config(options.data / "club.conf", service, options.tourneyBasePort);
  RateLimiter limiter(options.rate, options.burst);
  App app{options, options.port, photos, service, config, limiter, {}};

  // The tournament tables run beside the web scripts, or alone against the same store when
  // the club serves its tables from other hosts than its web service.
#ifdef TRILANE_TOURNEY_SERVER
  std::unique_ptr<TourneyServer> tourney;
  if (!options.noTourney) {
    TourneyServerOptions tables;
    tables.address = config.Current().tourney.address;
    tables.basePort = config.Current().tourney.basePort;
    tables.timing.secondMs = options.tourneySecondMs;
    tables.verbose = options.verbose;
    tourney = std::make_unique<TourneyServer>(*store, tables);
    std::string reason;
    if (!tourney->Start(&reason)) {
      tourney.reset();
      std::cerr << "trilane-club-service: tournament tables unavailable: " << reason << "\n";
      if (options.tourneyOnly) return 1;
    }
  }
  if (options.tourneyOnly) {
    std::printf("tournament tables on %s:%d..%d\n", config.Current().tourney.address.c_str(),
                config.Current().tourney.basePort + 1,
                config.Current().tourney.basePort + kTourneyTables);
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    return 0;
  }
#else
  if (options.tourneyOnly) {
    std::cerr << "trilane-club-service: this build has no tournament tables\n";
    return 1;
  }
#endif

  sockaddr_storage address{};
  MHD_Daemon* daemon = nullptr;
  if (ResolveListen(options.host, options.port, &address)) {
    // Worker threads each wait on their own connections with epoll; a connection waiting for
    // bytes holds no thread.
    unsigned flags =
        MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_SUPPRESS_DATE_NO_CLOCK;
    if (address.ss_family == AF_INET6) flags |= MHD_USE_IPv6;
    if (options.verbose) flags |= MHD_USE_ERROR_LOG;
    const unsigned perAddress = options.trustProxy ? 0 : kConnectionsPerAddress;
    daemon = MHD_start_daemon(
        flags, static_cast<uint16_t>(options.port), nullptr, nullptr, &OnRequest, &app,
        MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr*>(&address), MHD_OPTION_THREAD_POOL_SIZE,
        static_cast<unsigned>(options.threads), MHD_OPTION_CONNECTION_LIMIT, ConnectionLimit(),
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, perAddress, MHD_OPTION_CONNECTION_TIMEOUT, kIdleSeconds,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory, MHD_OPTION_NOTIFY_COMPLETED,
        &OnCompleted, &app, MHD_OPTION_NOTIFY_CONNECTION, &OnConnection, &app,
        MHD_OPTION_EXTERNAL_LOGGER, &LogHttpError, nullptr, MHD_OPTION_END);
  }
  if (!daemon) {
    std::cerr << "trilane-club-service: cannot listen on " << options.host << ":" << options.port
              << "\n";
    return 1;
  }
  if (options.port == 0) {
    const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon, MHD_DAEMON_INFO_BIND_PORT);
    app.port = info ? info->port : 0;
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
  // hour the bookkeeping of past days is forgotten. Four times a second the connections past
  // their request deadline are cut.
  std::atomic<bool> stopping{false};
  std::thread janitor([&] {
    for (int ticks = 0; !stopping; ++ticks) {
      app.watch.CutLate(Clock::now());
      if (ticks % 4 == 0) config.Reload();
      if (ticks % (4 * 3600) == 0) {
        try {
          const int64_t now = Now();
          store->Prune(now / 86400 - 1, now - 2 * 86400);
        } catch (const std::exception& e) {
          std::fprintf(stderr, "trilane-club-service: pruning failed: %s\n", e.what());
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
  });

  std::printf("listening on http://%s:%d\n", UrlHost(options.host).c_str(), app.port);
#ifdef TRILANE_TOURNEY_SERVER
  if (tourney) {
    std::printf("tournament tables on %s:%d..%d\n", config.Current().tourney.address.c_str(),
                config.Current().tourney.basePort + 1,
                config.Current().tourney.basePort + kTourneyTables);
  }
#endif
  std::fflush(stdout);
  int signal = 0;
  sigwait(&stopSignals, &signal);

  MHD_stop_daemon(daemon);
  stopping = true;
  janitor.join();
  ftp.Stop();
  return 0;
}
