#pragma once
// The Qt sockets of direct play: they only move bytes between the network and the host or
// joiner controller, and tell it when a connection opens, closes or fails. They also keep
// what a peer can cost this machine bounded: keep-alive on every connection, a deadline for
// being seated, bytes read and queued per peer, and descriptors at the host.

#include <QHostAddress>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "net/core/socket_link.h"
#include "net/direct/host_controller.h"
#include "net/direct/joiner_controller.h"

namespace trilane::direct {

// A connection to the host that has not been seated by then is closed.
inline constexpr int kGreetingDeadlineMs = 10000;
// After the descriptor limit stopped the host from taking connections it tries again this
// often, and at once whenever one of its connections closes.
inline constexpr int kAcceptRetryMs = 500;

// The host's listening socket and its accepted connections, in acceptance order.
// The sockets of this machine's side of a game.
class Transport {
 public:
  virtual ~Transport() = default;
  // Runs after each event has been handed to the controller (to let a local seat act).
  virtual void SetAfterEvent(std::function<void()> afterEvent) = 0;
  // Stops taking connections (a host); those already made stay. Nothing for a joiner.
  virtual void StopListening() {}
  // The port listened on; 0 for a joiner.
  virtual quint16 Port() const { return 0; }
  // Sockets that still hold bytes or are still closing.
  virtual bool Busy() const = 0;
};

class HostTransport : public Transport {
 public:
  // Gives the controller its clock (for the chat rate of each seat).
  explicit HostTransport(HostController& host);
  ~HostTransport() override;
  HostTransport(const HostTransport&) = delete;
  HostTransport& operator=(const HostTransport&) = delete;

  // Starts listening; the error text (UTF-8) when the port cannot be had.
  bool Listen(const QHostAddress& address, quint16 port, std::string* error);
  quint16 Port() const override { return server_.serverPort(); }
  void StopListening() override { server_.close(); }
  bool Busy() const override;
  void SetAfterEvent(std::function<void()> afterEvent) override {
    afterEvent_ = std::move(afterEvent);
  }

 private:
  struct Accepted {
    QTcpSocket* socket = nullptr;  // owned by the server
    std::unique_ptr<net::SocketLink> link;
    int connection = -1;
  };
  void TakeConnections();
  void Drain(const Accepted& accepted);
  // The descriptor limit (or another resource) stopped accepting: pause instead of being
  // woken for the same waiting connection over and over, and try again later.
  void AcceptFailed();
  void ResumeAccepting();

  void AfterEvent() const {
    if (afterEvent_) afterEvent_();
  }

  HostController& host_;
  QTcpServer server_;
  QTimer acceptRetry_;
  bool acceptPaused_ = false;
  std::function<void()> afterEvent_;
  std::vector<std::unique_ptr<Accepted>> accepted_;
};

// A joiner's client socket.
class JoinTransport : public Transport {
 public:
  explicit JoinTransport(JoinerController& joiner);
  JoinTransport(const JoinTransport&) = delete;
  JoinTransport& operator=(const JoinTransport&) = delete;

  // Starts connecting (and joining); the outcome arrives through the controller.
  void Connect(const QString& address, quint16 port);
  bool Busy() const override;
  void SetAfterEvent(std::function<void()> afterEvent) override {
    afterEvent_ = std::move(afterEvent);
  }

 private:
  void Drain();
  void AfterEvent() const {
    if (afterEvent_) afterEvent_();
  }

  JoinerController& joiner_;
  QTcpSocket socket_;
  net::SocketLink link_{socket_};
  std::function<void()> afterEvent_;
};

}  // namespace trilane::direct
