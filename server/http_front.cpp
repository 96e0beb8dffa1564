#include "server/http_front.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/sockios.h>
#include <microhttpd.h>
#include <netdb.h>
#include <strings.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "server/help_pages.h"
#include "server/request.h"
#include "server/text_rules.h"

namespace fs = std::filesystem;

namespace trilane::club {

using Clock = std::chrono::steady_clock;

std::string UrlHost(const std::string& host) {
  return host.find(':') == std::string::npos ? host : "[" + host + "]";
}

// What the callbacks share.
struct HttpFront::App {
  const ServiceOptions& options;
  int port = 0;
  fs::path photos;
  ClubService& service;
  ConfigWatcher& config;
  RateLimiter& limiter;
  ConnectionWatch watch;
};

namespace {

using App = HttpFront::App;

constexpr char kAccessToken[] = "MosaicTurnKey";
// The largest request body, whatever its type: the program's longest form (a profile with
// every text at its editor's length, percent-encoded) stays well below it.
constexpr size_t kMaxBody = 16 * 1024;
// The request line and headers live in this much memory per connection: a head that does not
// fit (a long line, or thousands of headers) is answered 431 or 414 and the connection closed.
constexpr size_t kConnectionMemory = 32 * 1024;
// Headers one request may carry (the program sends five; proxies add a few): more are 431.
constexpr int kMaxHeaders = 100;
// Connections the service keeps open at once, and from one address; past these the oldest
// connection waiting for a request (from that address) is closed to let the new one in. Behind
// a trusted proxy every connection comes from the proxy, so there only the total applies.
constexpr unsigned kMaxConnections = 1000;
constexpr unsigned kConnectionsPerAddress = 16;
// Connections the library accepts beyond those limits while the ones cut to make room close.
constexpr unsigned kConnectionSpare = 16;
constexpr uint64_t kMaxPhoto = 512 * 1024;
constexpr const char* kAddonFiles[] = {"QorCards06A.dll", "QorCards06B.dll", "QorCards06C.dll",
                                       "QorBackG03.dll",  "QorCGraph1.dll",  "QorCVoice3.dll"};

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

// What one request has brought so far.
struct Exchange {
  RoutedPath routed;
  std::string caller;
  std::string body;
};

const char* Header(MHD_Connection* c, const char* name) {
  return MHD_lookup_connection_value(c, MHD_HEADER_KIND, name);
}

ConnectionWatch::Peer* PeerOf(MHD_Connection* c) {
  const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
  return info ? static_cast<ConnectionWatch::Peer*>(info->socket_context) : nullptr;
}

// The address the connection comes from.
std::string PeerAddressOf(MHD_Connection* c) {
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

// The caller's address: the peer, or behind a trusted reverse proxy the address the proxy
// added last to X-Forwarded-For.
std::string CallerAddress(MHD_Connection* c, bool trustProxy) {
  if (trustProxy) {
    if (const char* forwarded = Header(c, "X-Forwarded-For")) {
      const std::string chain = forwarded;
      const size_t comma = chain.rfind(',');
      std::string last = comma == std::string::npos ? chain : chain.substr(comma + 1);
      while (!last.empty() && last.front() == ' ') last.erase(0, 1);
      // Only an address is taken: any other word would make up a caller of its own.
      in6_addr parsed{};
      if (inet_pton(AF_INET, last.c_str(), &parsed) == 1 ||
          inet_pton(AF_INET6, last.c_str(), &parsed) == 1) {
        return last;
      }
    }
  }
  return PeerAddressOf(c);
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
      const ClubService::Outcome out = app.service.Answer(routed.script, ex.body, ex.caller, Now());
      if (app.options.verbose && !out.reason.empty()) {
        std::fprintf(stderr, "%s %s: %s\n", ex.caller.c_str(), PathOf(routed).c_str(),
                     out.reason.c_str());
      }
      return Reply(c, MHD_HTTP_OK, out.reply, "text/html; charset=windows-1251");
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
      if (ConnectionWatch::Peer* peer = PeerOf(c)) {
        MHD_set_connection_option(c, MHD_CONNECTION_OPTION_TIMEOUT, 0u);
        app.watch.Sending(peer);
      }
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
    *socketContext = info ? app.watch.Open(info->connect_fd, PeerAddressOf(c)) : nullptr;
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

void ConnectionWatch::SetLimits(unsigned total, unsigned perAddress) {
  std::lock_guard lock(mutex_);
  total_ = total;
  perAddress_ = perAddress;
}

ConnectionWatch::Peer* ConnectionWatch::Open(int fd, std::string address) {
  auto* peer = new Peer;
  peer->fd = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  peer->since = Clock::now();
  peer->address = std::move(address);
  std::lock_guard lock(mutex_);
  unsigned open = 0, fromAddress = 0;
  for (const Peer* p : peers_) {
    if (p->fd < 0) continue;
    ++open;
    fromAddress += p->address == peer->address ? 1 : 0;
  }
  if (total_ != 0 && open >= total_) CutOldestWaiting(nullptr);
  if (perAddress_ != 0 && fromAddress >= perAddress_) CutOldestWaiting(&peer->address);
  peers_.insert(peer);
  return peer;
}

void ConnectionWatch::CutOldestWaiting(const std::string* address) {
  Peer* oldest = nullptr;
  for (Peer* p : peers_) {
    if (p->fd < 0 || !p->reading || (address && p->address != *address)) continue;
    if (!oldest || p->since < oldest->since) oldest = p;
  }
  if (oldest) Cut(oldest);
}

void ConnectionWatch::Cut(Peer* peer) {
  // What is still queued for the peer is dropped with the connection: a reset, not a close
  // that would go on sending a stalled reader its buffers.
  const linger reset{1, 0};
  setsockopt(peer->fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  shutdown(peer->fd, SHUT_RDWR);
  close(peer->fd);
  peer->fd = -1;
}

void ConnectionWatch::Close(Peer* peer) {
  std::lock_guard lock(mutex_);
  peers_.erase(peer);
  if (peer->fd >= 0) close(peer->fd);
  delete peer;
}

void ConnectionWatch::Arrived(Peer* peer) {
  std::lock_guard lock(mutex_);
  peer->reading = false;
}

void ConnectionWatch::Sending(Peer* peer) {
  std::lock_guard lock(mutex_);
  peer->sending = true;
  peer->queued = -1;
  peer->moved = Clock::now();
}

void ConnectionWatch::Answered(Peer* peer) {
  std::lock_guard lock(mutex_);
  peer->sending = false;
  peer->reading = true;
  peer->since = Clock::now();
}

void ConnectionWatch::CutLate(Clock::time_point now) {
  std::lock_guard lock(mutex_);
  for (Peer* peer : peers_) {
    if (peer->fd < 0) continue;
    if (peer->reading && now - peer->since > kRequestDeadline) {
      Cut(peer);
    } else if (peer->sending) {
      // The library's idle time counts from its last write, while the kernel's buffers may
      // take far longer than that to drain to a slow reader: what counts is that they drain.
      int queued = 0;
      if (ioctl(peer->fd, SIOCOUTQ, &queued) != 0 || queued != peer->queued) {
        peer->queued = queued;
        peer->moved = now;
      } else if (now - peer->moved > std::chrono::seconds(kIdleSeconds)) {
        Cut(peer);
      }
    }
  }
}

HttpFront::HttpFront(const ServiceOptions& options, fs::path photos, ClubService& service,
                     ConfigWatcher& config, RateLimiter& limiter)
    : app_(new App{options, options.port, std::move(photos), service, config, limiter, {}}) {}

HttpFront::~HttpFront() {
  Stop();
}

int HttpFront::Port() const {
  return app_->port;
}

void HttpFront::CutLate(Clock::time_point now) {
  app_->watch.CutLate(now);
}

void HttpFront::Stop() {
  if (daemon_) MHD_stop_daemon(daemon_);
  daemon_ = nullptr;
}

bool HttpFront::Start() {
  const ServiceOptions& options = app_->options;
  sockaddr_storage address{};
  if (!ResolveListen(options.host, options.port, &address)) return false;
  // Worker threads each wait on their own connections with epoll; a connection waiting for
  // bytes holds no thread.
  unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_SUPPRESS_DATE_NO_CLOCK;
  if (address.ss_family == AF_INET6) flags |= MHD_USE_IPv6;
  if (options.verbose) flags |= MHD_USE_ERROR_LOG;
  // The watch keeps the limits (closing the oldest waiting connection to let a new one in);
  // the library's own are a little wider, a backstop while the cut connections close.
  const unsigned perAddress = options.trustProxy ? 0 : kConnectionsPerAddress;
  const unsigned limit = ConnectionLimit();
  app_->watch.SetLimits(limit, perAddress);
  App* app = app_.get();
  daemon_ = MHD_start_daemon(
      flags, static_cast<uint16_t>(options.port), nullptr, nullptr, &OnRequest, app,
      MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr*>(&address), MHD_OPTION_THREAD_POOL_SIZE,
      static_cast<unsigned>(options.threads), MHD_OPTION_CONNECTION_LIMIT, limit + kConnectionSpare,
      MHD_OPTION_PER_IP_CONNECTION_LIMIT, perAddress == 0 ? 0 : perAddress + kConnectionSpare,
      MHD_OPTION_CONNECTION_TIMEOUT, kIdleSeconds, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
      kConnectionMemory, MHD_OPTION_NOTIFY_COMPLETED, &OnCompleted, app,
      MHD_OPTION_NOTIFY_CONNECTION, &OnConnection, app, MHD_OPTION_EXTERNAL_LOGGER, &LogHttpError,
      nullptr, MHD_OPTION_END);
  if (!daemon_) return false;
  if (options.port == 0) {
    const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
    app_->port = info ? info->port : 0;
  }
  return true;
}

}  // namespace trilane::club
