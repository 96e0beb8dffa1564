#pragma once
// The service's HTTP front: libmicrohttpd's event loop with its per-address and time limits,
// the routes (the scripts, the directory, help pages, photos and add-on downloads) and the
// defence against callers that take too long to send a request. It only moves bytes; the club
// service answers the scripts.

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>

#include "server/club_service.h"
#include "server/config_watcher.h"
#include "server/rate_limiter.h"
#include "server/service_options.h"

struct MHD_Daemon;

namespace trilane::club {

// A request must have arrived whole, head and body, this long after its connection opened or
// the previous reply went out; a connection dripping a byte now and then is cut when it runs
// out, and so is a kept-alive connection that sends nothing more.
inline constexpr auto kRequestDeadline = std::chrono::seconds(5);
// A connection on which nothing at all moves for this long is closed (a caller that takes no
// reply).
inline constexpr unsigned kIdleSeconds = 10;

// Every open connection and whether a request is still arriving on it, so that the deadline
// can cut the ones that take too long. Each keeps a duplicate of its socket: the watch shuts
// the socket down through it, and its number cannot be reused while the watch holds it.
class ConnectionWatch {
 public:
  using Clock = std::chrono::steady_clock;
  struct Peer {
    int fd = -1;
    Clock::time_point since;
    bool reading = true;
    std::string address;
    // A file on its way out: the connection lives while the kernel's queue of unsent bytes
    // keeps draining, however slowly, and is cut once it stands still for the idle time.
    bool sending = false;
    int queued = -1;
    Clock::time_point moved;
  };

  // At most `total` connections, and `perAddress` from one address (0: no such limit). A
  // connection past either closes the oldest one waiting for a request (of that address), so
  // idle connections never keep a new caller out.
  void SetLimits(unsigned total, unsigned perAddress);
  Peer* Open(int fd, std::string address);
  void Close(Peer* peer);
  // The request is in: the deadline stops while it is answered.
  void Arrived(Peer* peer);
  // A file is being sent: the library's own idle limit no longer applies, this watch's does.
  void Sending(Peer* peer);
  // The reply is out: the next request's time starts.
  void Answered(Peer* peer);
  void CutLate(Clock::time_point now);

 private:
  void CutOldestWaiting(const std::string* address);
  void Cut(Peer* peer);

  std::mutex mutex_;
  std::unordered_set<Peer*> peers_;
  unsigned total_ = 0, perAddress_ = 0;
};

// The listen address as it stands in a URL (an IPv6 address in brackets).
std::string UrlHost(const std::string& host);

class HttpFront {
 public:
  // `photos` is the folder the photos are served from.
  HttpFront(const ServiceOptions& options, std::filesystem::path photos, ClubService& service,
            ConfigWatcher& config, RateLimiter& limiter);
  ~HttpFront();
  HttpFront(const HttpFront&) = delete;
  HttpFront& operator=(const HttpFront&) = delete;

  // Listens on the options' address; false when it cannot.
  bool Start();
  void Stop();
  // The port it listens on (the one picked when the options asked for port 0).
  int Port() const;
  // Cuts the connections past their request deadline and the downloads that stopped moving;
  // called a few times a second.
  void CutLate(std::chrono::steady_clock::time_point now);

  struct App;

 private:
  std::unique_ptr<App> app_;
  MHD_Daemon* daemon_ = nullptr;
};

}  // namespace trilane::club
