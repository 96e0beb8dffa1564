#include "net/club/club_socket.h"

#include <QHostAddress>

namespace trilane::club {

ClubSocket::ClubSocket(ClubController& controller) : controller_(controller) {
  QObject::connect(&socket_, &QTcpSocket::connected, &socket_, [this] {
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket_.setReadBufferSize(net::kMaxReadBytes);
    net::KeepConnectionAlive(socket_);
    controller_.Connected();
    AfterEvent();
  });
  QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_, [this] {
    Drain();
    AfterEvent();
  });
  // Queued: a close that Qt reports from inside a write must not re-enter the controller.
  const auto closed = [this] {
    Drain();
    controller_.Closed();
    AfterEvent();
  };
  QObject::connect(&socket_, &QTcpSocket::disconnected, &socket_, closed, Qt::QueuedConnection);
  QObject::connect(&socket_, &QTcpSocket::errorOccurred, &socket_, closed, Qt::QueuedConnection);
}

void ClubSocket::Connect(const QString& address, quint16 port, const QString& source) {
  controller_.Connecting(link_);
  if (!source.isEmpty()) socket_.bind(QHostAddress(source));
  socket_.connectToHost(address, port);
}

void ClubSocket::Drain() {
  const QByteArray bytes = socket_.readAll();
  if (!bytes.isEmpty()) {
    controller_.Received(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  }
}

bool ClubSocket::Busy() const {
  return socket_.state() != QAbstractSocket::UnconnectedState && socket_.bytesToWrite() > 0;
}

}  // namespace trilane::club
