#pragma once
// The Qt sockets of direct play: they only move bytes between the network and the host or
// joiner controller, and tell it when a connection opens, closes or fails.

#include <QHostAddress>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <memory>
#include <vector>

#include "net/direct/host_controller.h"
#include "net/direct/joiner_controller.h"
#include "net/direct/link.h"

namespace trilane::direct {

// A connected socket as a Link.
class SocketLink : public Link {
 public:
  explicit SocketLink(QTcpSocket& socket) : socket_(socket) {}
  void Send(std::string_view bytes) override;
  void Close() override;

 private:
  QTcpSocket& socket_;
};

// The host's listening socket and its accepted connections, in acceptance order.
class HostTransport {
 public:
  explicit HostTransport(HostController& host) : host_(host) {}
  ~HostTransport();
  HostTransport(const HostTransport&) = delete;
  HostTransport& operator=(const HostTransport&) = delete;

  // Starts listening; the error text (UTF-8) when the port cannot be had.
  bool Listen(const QHostAddress& address, quint16 port, std::string* error);
  quint16 Port() const { return server_.serverPort(); }
  // Stops taking connections; those already made stay.
  void StopListening() { server_.close(); }
  // Sockets that still hold bytes or are still closing.
  bool Busy() const;
  // Runs after each event has been handed to the controller (to let a local seat act).
  void SetAfterEvent(std::function<void()> afterEvent) { afterEvent_ = std::move(afterEvent); }

 private:
  struct Accepted {
    QTcpSocket* socket = nullptr;  // owned by the server
    std::unique_ptr<SocketLink> link;
    int connection = -1;
  };
  void TakeConnections();
  void Drain(const Accepted& accepted);

  void AfterEvent() const {
    if (afterEvent_) afterEvent_();
  }

  HostController& host_;
  QTcpServer server_;
  std::function<void()> afterEvent_;
  std::vector<std::unique_ptr<Accepted>> accepted_;
};

// A joiner's client socket.
class JoinTransport {
 public:
  explicit JoinTransport(JoinerController& joiner);
  JoinTransport(const JoinTransport&) = delete;
  JoinTransport& operator=(const JoinTransport&) = delete;

  // Starts connecting (and joining); the outcome arrives through the controller.
  void Connect(const QString& address, quint16 port);
  bool Busy() const;
  void SetAfterEvent(std::function<void()> afterEvent) { afterEvent_ = std::move(afterEvent); }

 private:
  void Drain();
  void AfterEvent() const {
    if (afterEvent_) afterEvent_();
  }

  JoinerController& joiner_;
  QTcpSocket socket_;
  SocketLink link_{socket_};
  std::function<void()> afterEvent_;
};

}  // namespace trilane::direct
