#pragma once
// A tiny HTTP responder on 127.0.0.1 for the transport tests: it answers each connection in
// one of several ways, good or broken, and keeps the last request it read.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

namespace trilane::web::testing {

class TestServer {
 public:
  enum class Mode {
    kReply,      // a whole reply with the given status and body
    kNoReply,    // reads the request and never answers
    kSlowReply,  // the head and two bytes, then silence
    kGarbage,    // bytes that are not HTTP, then closes
    kCutReply,   // promises 100 bytes, sends 3, closes
    kClose,      // closes without a word
    kDrip,       // the head, then one byte of a long body every 100 ms for 15 s, then closes
  };

  TestServer() {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(listener_, 8);
    socklen_t len = sizeof addr;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
  }

  ~TestServer() {
    stop_ = true;
    thread_.join();
    close(listener_);
  }

  int Port() const { return port_; }
  std::string Url(const std::string& path = "/scripts/account") const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

  void Set(Mode mode, int status = 200, std::string body = {}) {
    std::lock_guard lock(mutex_);
    mode_ = mode;
    status_ = status;
    body_ = std::move(body);
  }
  std::string LastRequest() {
    std::lock_guard lock(mutex_);
    return lastRequest_;
  }

 private:
  // Waits for the socket to be readable, giving up when the server stops.
  bool WaitReadable(int fd, int ms) {
    for (int waited = 0; waited < ms && !stop_; waited += 20) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 20) > 0) return true;
    }
    return false;
  }

  void HoldUntilStopOrClosed(int fd) {
    char c;
    while (!stop_) {
      if (WaitReadable(fd, 20) && recv(fd, &c, 1, 0) <= 0) return;
    }
  }

  std::string ReadRequest(int fd) {
    std::string in;
    char buf[4096];
    size_t need = std::string::npos;
    while (WaitReadable(fd, 5000)) {
      const ssize_t n = recv(fd, buf, sizeof buf, 0);
      if (n <= 0) break;
      in.append(buf, static_cast<size_t>(n));
      const size_t head = in.find("\r\n\r\n");
      if (head != std::string::npos && need == std::string::npos) {
        size_t length = 0;
        const size_t cl = in.find("Content-Length: ");
        if (cl != std::string::npos && cl < head) length = std::stoul(in.substr(cl + 16));
        need = head + 4 + length;
      }
      if (need != std::string::npos && in.size() >= need) break;
    }
    return in;
  }

  void Send(int fd, const std::string& bytes) {
    send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  }

  void Serve(int fd) {
    Mode mode;
    int status;
    std::string body;
    {
      std::lock_guard lock(mutex_);
      mode = mode_;
      status = status_;
      body = body_;
    }
    const std::string request = ReadRequest(fd);
    {
      std::lock_guard lock(mutex_);
      lastRequest_ = request;
    }
    switch (mode) {
      case Mode::kReply:
        Send(fd, "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " +
                     std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        break;
      case Mode::kNoReply:
        HoldUntilStopOrClosed(fd);
        break;
      case Mode::kSlowReply:
        Send(fd, "HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\n$1");
        HoldUntilStopOrClosed(fd);
        break;
      case Mode::kGarbage:
        Send(fd, std::string("\x01\xFFgarbage ok $1$\r\n\r\n", 20));
        break;
      case Mode::kCutReply:
        Send(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n$12");
        break;
      case Mode::kClose:
        break;
      case Mode::kDrip:
        Send(fd, "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
        for (int sent = 0; sent < 150 && !stop_ && send(fd, "$", 1, MSG_NOSIGNAL) == 1; ++sent) {
          std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        break;
    }
    close(fd);
  }

  void Run() {
    while (!stop_) {
      if (!WaitReadable(listener_, 100)) continue;
      const int fd = accept(listener_, nullptr, nullptr);
      if (fd >= 0) Serve(fd);
    }
  }

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  Mode mode_ = Mode::kReply;
  int status_ = 200;
  std::string body_;
  std::string lastRequest_;
  std::thread thread_;
};

}  // namespace trilane::web::testing
