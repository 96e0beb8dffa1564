#pragma once
// The club socket `CS`: a client socket to the tournament server that only moves bytes
// between the network and the club controller, and tells it when the connection is made,
// closes or fails. It keeps what the server can cost this machine bounded as the
// direct-play sockets do (keep-alive, bytes queued and read at a time).

#include <QString>
#include <QTcpSocket>
#include <functional>

#include "net/club/club_controller.h"
#include "net/core/socket_link.h"

namespace trilane::club {

class ClubSocket {
 public:
  explicit ClubSocket(ClubController& controller);
  ClubSocket(const ClubSocket&) = delete;
  ClubSocket& operator=(const ClubSocket&) = delete;

  // ClubLink 1: the socket connects to the table's port; "connect" goes out once it is open.
  // `source`, when given, is the local address to connect from.
  void Connect(const QString& address, quint16 port, const QString& source = {});
  // Bytes still waiting to leave.
  bool Busy() const;
  // Runs after each event has been handed to the controller (to let a local seat act).
  void SetAfterEvent(std::function<void()> afterEvent) { afterEvent_ = std::move(afterEvent); }

 private:
  void Drain();
  void AfterEvent() const {
    if (afterEvent_) afterEvent_();
  }

  ClubController& controller_;
  QTcpSocket socket_;
  net::SocketLink link_{socket_};
  std::function<void()> afterEvent_;
};

}  // namespace trilane::club
