#include "server/tourney_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sodium.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "rules/game.h"

namespace trilane::club {

namespace {

// Connections a table keeps at once (four players and a few that are introducing
// themselves or being turned away); more are closed as they arrive.
constexpr size_t kConnectionsPerTable = 16;
// Of those, from one address: four players at one machine (a LAN behind one router), so one
// caller cannot fill a table's connections and keep its players out.
constexpr size_t kConnectionsPerAddress = 4;
// Bytes queued for one connection: a whole game is a few kilobytes, so a reader this far
// behind has stopped reading and is treated as gone.
constexpr size_t kMaxQueued = 64 * 1024;
constexpr size_t kReadBytes = 4096;
// A closed connection's last bytes get this long to leave before the socket goes.
constexpr int64_t kLingerMs = 2000;

int64_t MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int64_t EpochSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

std::string PeerAddress(const sockaddr_storage& peer) {
  char text[INET6_ADDRSTRLEN] = {};
  if (peer.ss_family == AF_INET) {
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&peer)->sin_addr, text, sizeof text);
  } else if (peer.ss_family == AF_INET6) {
    const auto* six = reinterpret_cast<const sockaddr_in6*>(&peer);
    if (IN6_IS_ADDR_V4MAPPED(&six->sin6_addr)) {
      inet_ntop(AF_INET, &six->sin6_addr.s6_addr[12], text, sizeof text);
    } else {
      inet_ntop(AF_INET6, &six->sin6_addr, text, sizeof text);
    }
  }
  return text;
}

int Listen(const std::string& host, int port, std::string* error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found) {
    *error = "cannot resolve " + host;
    return -1;
  }
  const addrinfo* pick = found;
  for (const addrinfo* a = found; a; a = a->ai_next) {
    if (a->ai_family == AF_INET) {
      pick = a;
      break;
    }
  }
  const int fd = socket(pick->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  int yes = 1;
  if (fd >= 0) setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  const bool ok = fd >= 0 && bind(fd, pick->ai_addr, pick->ai_addrlen) == 0 && listen(fd, 64) == 0;
  freeaddrinfo(found);
  if (!ok) {
    *error = "cannot listen on " + host + ":" + service + ": " + std::strerror(errno);
    if (fd >= 0) close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

Deck UnpredictableDeck() {
  Deck deck{};
  for (int n = 1; n <= kDeckSize; ++n) deck[n - 1] = CardFromNumber(n);
  for (uint32_t i = kDeckSize - 1; i > 0; --i) {
    const uint32_t j = randombytes_uniform(i + 1);
    std::swap(deck[i], deck[j]);
  }
  return deck;
}

struct TourneyServer::Loop {
  struct Peer {
    int fd = -1;
    int table = 0;  // index 0..9
    std::string address;
    Decoder decoder{Direction::kToServer};
    std::string out;
    bool closing = false;   // the table is done with it: send what is queued, then go
    bool shutDown = false;  // our side of the stream is closed
    int64_t closingSince = 0;
  };

  Loop(ClubStore& store, const TourneyServerOptions& options) : options(options) {
    tables.reserve(kTourneyTables);
    const StoreRunner runner = [this](std::function<void()> work,
                                      std::function<void(const std::string&)> failed) {
      Post(std::move(work), std::move(failed));
    };
    for (int t = 1; t <= kTourneyTables; ++t) {
      tables.emplace_back(t, store, UnpredictableDeck, options.timing, runner);
    }
  }
  ~Loop() {
    StopWorker();
    for (int fd : listeners) {
      if (fd >= 0) close(fd);
    }
    for (auto& [id, peer] : peers) close(peer.fd);
    if (wake[0] >= 0) close(wake[0]);
    if (wake[1] >= 0) close(wake[1]);
  }

  TableTime Now() const { return {MonotonicMs(), EpochSeconds()}; }

  // The store worker: one thread takes the tables' writes in order, so a write that waits for
  // the database (a lock held elsewhere, a server restarting) holds up only the writes after
  // it, never the relay. A failure comes back to the loop, which tells its table.
  void Post(std::function<void()> work, std::function<void(const std::string&)> failed) {
    std::lock_guard lock(jobsMutex);
    jobs.push_back({std::move(work), std::move(failed)});
    jobsReady.notify_one();
  }
  void Work() {
    for (;;) {
      std::pair<std::function<void()>, std::function<void(const std::string&)>> job;
      {
        std::unique_lock lock(jobsMutex);
        jobsReady.wait(lock, [&] { return !jobs.empty() || workerStopping; });
        if (jobs.empty()) return;  // stopping, and every write is done
        job = std::move(jobs.front());
        jobs.pop_front();
      }
      try {
        job.first();
      } catch (const std::exception& e) {
        std::lock_guard lock(jobsMutex);
        failures.push_back(
            [failed = std::move(job.second), why = std::string(e.what())] { failed(why); });
        const char byte = 0;
        (void)write(wake[1], &byte, 1);
      }
    }
  }
  void StopWorker() {
    {
      std::lock_guard lock(jobsMutex);
      workerStopping = true;
      jobsReady.notify_all();
    }
    if (worker.joinable()) worker.join();
  }
  // Tells the tables of the writes that failed.
  void TakeFailures() {
    std::vector<std::function<void()>> taken;
    {
      std::lock_guard lock(jobsMutex);
      taken.swap(failures);
    }
    for (auto& tell : taken) tell();
    for (TourneyTable& table : tables) {
      if (table.HasActions()) Apply(table);
    }
  }

  void Log(const std::string& line, bool always) const {
    if (always || options.verbose) std::fprintf(stderr, "trilane-club-service: %s\n", line.c_str());
  }

  // Carries out what a table asked for.
  void Apply(TourneyTable& table) {
    TourneyTable::Actions actions = table.TakeActions();
    for (const std::string& line : actions.log) {
      Log(line, line.find(": refused ") == std::string::npos);
    }
    for (const TourneyTable::Send& send : actions.sends) {
      auto it = peers.find(send.connection);
      if (it == peers.end() || it->second.closing) continue;
      if (it->second.out.size() + send.bytes.size() > kMaxQueued) {
        // A player that reads nothing: gone, as if it had closed.
        it->second.closing = true;
        it->second.closingSince = MonotonicMs();
        it->second.out.clear();
        table.Closed(send.connection, Now());
        continue;
      }
      it->second.out += send.bytes;
    }
    for (int connection : actions.closes) {
      auto it = peers.find(connection);
      if (it == peers.end() || it->second.closing) continue;
      it->second.closing = true;
      it->second.closingSince = MonotonicMs();
    }
    // A table that closed a peer above may have more to say.
    if (table.HasActions()) Apply(table);
  }

  void Accept(int t) {
    for (;;) {
      sockaddr_storage peer{};
      socklen_t length = sizeof peer;
      const int fd = accept4(listeners[t], reinterpret_cast<sockaddr*>(&peer), &length,
                             SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) return;
      const std::string address = PeerAddress(peer);
      size_t atTable = 0, fromAddress = 0;
      for (const auto& [id, p] : peers) {
        atTable += p.table == t ? 1 : 0;
        fromAddress += p.table == t && p.address == address ? 1 : 0;
      }
      if (atTable >= kConnectionsPerTable || fromAddress >= kConnectionsPerAddress) {
        close(fd);
        continue;
      }
      int yes = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
      setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &yes, sizeof yes);
      const int id = nextId++;
      Peer& p = peers[id];
      p.fd = fd;
      p.table = t;
      p.address = address;
      tables[t].Opened(id, address, Now());
      Apply(tables[t]);
    }
  }

  // Reads what the peer sent; false once the peer has closed or failed.
  bool Read(int id, Peer& p) {
    char buffer[kReadBytes];
    const ssize_t n = recv(p.fd, buffer, sizeof buffer, 0);
    if (n == 0) return false;
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    if (p.closing) return true;  // the table is done with it: what it says is dropped
    TourneyTable& table = tables[p.table];
    for (const Decoded& frame : p.decoder.Feed(std::string_view(buffer, static_cast<size_t>(n)))) {
      table.Received(id, frame, Now());
      Apply(table);
      if (peers.find(id) == peers.end() || peers[id].closing) break;
    }
    return true;
  }

  bool Write(Peer& p) {
    while (!p.out.empty()) {
      const ssize_t n = send(p.fd, p.out.data(), p.out.size(), MSG_NOSIGNAL);
      if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
      p.out.erase(0, static_cast<size_t>(n));
    }
    return true;
  }

  void Drop(int id, bool tellTable) {
    auto it = peers.find(id);
    if (it == peers.end()) return;
    const int t = it->second.table;
    close(it->second.fd);
    peers.erase(it);
    if (tellTable) {
      tables[t].Closed(id, Now());
      Apply(tables[t]);
    }
  }

  void Run() {
    const int tickMs = std::clamp(options.timing.secondMs / 4, 5, 250);
    int64_t lastTick = MonotonicMs();
    while (!stopping) {
      std::vector<pollfd> fds;
      std::vector<int> ids;  // -1 the wake pipe, -2 - t a listener, else a peer
      fds.push_back({wake[0], POLLIN, 0});
      ids.push_back(-1);
      for (int t = 0; t < kTourneyTables; ++t) {
        fds.push_back({listeners[t], POLLIN, 0});
        ids.push_back(-2 - t);
      }
      for (auto& [id, p] : peers) {
        short events = POLLIN;
        if (!p.out.empty()) events |= POLLOUT;
        fds.push_back({p.fd, events, 0});
        ids.push_back(id);
      }
      poll(fds.data(), fds.size(), tickMs);
      for (size_t i = 0; i < fds.size(); ++i) {
        if (fds[i].revents == 0) continue;
        const int id = ids[i];
        if (id == -1) {
          char drain[64];
          while (read(wake[0], drain, sizeof drain) > 0) {
          }
          TakeFailures();
          continue;
        }
        if (id <= -2) {
          Accept(-2 - id);
          continue;
        }
        auto it = peers.find(id);
        if (it == peers.end()) continue;
        Peer& p = it->second;
        bool alive = true;
        if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) alive = Read(id, p);
        if (alive && peers.count(id) && (fds[i].revents & POLLOUT)) alive = Write(peers[id]);
        if (!alive && peers.count(id)) Drop(id, !peers[id].closing);
      }
      const int64_t now = MonotonicMs();
      // Closing peers: once their bytes are out our side of the stream closes; the socket
      // goes when the peer closes too or after the linger time.
      std::vector<int> gone;
      for (auto& [id, p] : peers) {
        if (!p.closing) continue;
        if (p.out.empty() && !p.shutDown) {
          shutdown(p.fd, SHUT_WR);
          p.shutDown = true;
        }
        if (now - p.closingSince > kLingerMs) gone.push_back(id);
      }
      for (int id : gone) Drop(id, false);
      if (now - lastTick >= tickMs) {
        lastTick = now;
        for (TourneyTable& table : tables) {
          table.Tick(Now());
          Apply(table);
        }
      }
    }
  }

  TourneyServerOptions options;
  std::vector<TourneyTable> tables;
  std::vector<int> listeners;
  std::map<int, Peer> peers;
  int nextId = 1;
  int wake[2] = {-1, -1};
  std::atomic<bool> stopping{false};

  std::mutex jobsMutex;
  std::condition_variable jobsReady;
  std::deque<std::pair<std::function<void()>, std::function<void(const std::string&)>>> jobs;
  std::vector<std::function<void()>> failures;
  bool workerStopping = false;
  std::thread worker;
};

TourneyServer::TourneyServer(ClubStore& store, TourneyServerOptions options)
    : store_(store), options_(std::move(options)) {}

TourneyServer::~TourneyServer() {
  Stop();
}

bool TourneyServer::Start(std::string* error) {
  if (sodium_init() < 0) {
    *error = "the secure random generator cannot start";
    return false;
  }
  // No table connection outlives a restart, so no seat taken before it can be played: every
  // seat is free again (otherwise its holder is refused elsewhere until the seat expires).
  try {
    store_.ClearAllSeats(kTourneyGameId);
  } catch (const std::exception& e) {
    *error = std::string("cannot free the seats: ") + e.what();
    return false;
  }
  auto loop = std::make_unique<Loop>(store_, options_);
  for (int t = 1; t <= kTourneyTables; ++t) {
    const int fd = Listen(options_.address, options_.basePort + t, error);
    if (fd < 0) return false;  // the loop closes the ones already bound
    loop->listeners.push_back(fd);
  }
  if (pipe2(loop->wake, O_NONBLOCK | O_CLOEXEC) != 0) {
    *error = "cannot create the wake pipe";
    return false;
  }
  loop_ = std::move(loop);
  loop_->worker = std::thread([loop = loop_.get()] { loop->Work(); });
  thread_ = std::thread([this] { loop_->Run(); });
  return true;
}

void TourneyServer::Stop() {
  if (!loop_) return;
  loop_->stopping = true;
  const char byte = 0;
  (void)write(loop_->wake[1], &byte, 1);
  if (thread_.joinable()) thread_.join();
  loop_.reset();
}

}  // namespace trilane::club
