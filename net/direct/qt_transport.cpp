#include "net/direct/qt_transport.h"

namespace trilane::direct {

void SocketLink::Send(std::string_view bytes) {
  if (socket_.state() != QAbstractSocket::ConnectedState) return;
  socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void SocketLink::Close() {
  // The bytes already written still go out before the connection closes.
  if (socket_.state() == QAbstractSocket::UnconnectedState) return;
  socket_.disconnectFromHost();
}

HostTransport::~HostTransport() {
  for (auto& accepted : accepted_) {
    if (accepted->socket != nullptr)
      QObject::disconnect(accepted->socket, nullptr, nullptr, nullptr);
  }
}

bool HostTransport::Listen(const QHostAddress& address, quint16 port, std::string* error) {
  QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { TakeConnections(); });
  if (server_.listen(address, port)) return true;
  if (error != nullptr) *error = server_.errorString().toStdString();
  return false;
}

void HostTransport::TakeConnections() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    // Small messages that a person waits for: no coalescing delay.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    auto accepted = std::make_unique<Accepted>();
    accepted->socket = socket;
    accepted->link = std::make_unique<SocketLink>(*socket);
    accepted->connection = host_.Accepted(*accepted->link);
    const Accepted* a = accepted.get();
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, a] {
      Drain(*a);
      AfterEvent();
    });
    // Closing and errors are taken from the event loop, never inside a controller's own
    // call to Close; whatever was still unread is handed over first.
    const auto closed = [this, a] {
      Drain(*a);
      host_.Closed(a->connection);
      AfterEvent();
    };
    QObject::connect(socket, &QTcpSocket::disconnected, socket, closed, Qt::QueuedConnection);
    QObject::connect(socket, &QTcpSocket::errorOccurred, socket, closed, Qt::QueuedConnection);
    accepted_.push_back(std::move(accepted));
  }
}

void HostTransport::Drain(const Accepted& accepted) {
  const QByteArray bytes = accepted.socket->readAll();
  if (!bytes.isEmpty()) {
    host_.Received(accepted.connection,
                   std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  }
}

bool HostTransport::Busy() const {
  for (const auto& accepted : accepted_) {
    if (accepted->socket->state() != QAbstractSocket::UnconnectedState &&
        accepted->socket->bytesToWrite() > 0) {
      return true;
    }
  }
  return false;
}

JoinTransport::JoinTransport(JoinerController& joiner) : joiner_(joiner) {
  QObject::connect(&socket_, &QTcpSocket::connected, &socket_, [this] {
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    joiner_.Connected();
  });
  QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_, [this] {
    Drain();
    AfterEvent();
  });
  QObject::connect(
      &socket_, &QTcpSocket::disconnected, &socket_,
      [this] {
        Drain();
        joiner_.Closed();
        AfterEvent();
      },
      Qt::QueuedConnection);
  QObject::connect(
      &socket_, &QTcpSocket::errorOccurred, &socket_,
      [this] {
        Drain();
        joiner_.Failed();
        AfterEvent();
      },
      Qt::QueuedConnection);
}

void JoinTransport::Connect(const QString& address, quint16 port) {
  joiner_.StartJoining(link_);
  socket_.connectToHost(address, port);
}

void JoinTransport::Drain() {
  const QByteArray bytes = socket_.readAll();
  if (!bytes.isEmpty()) {
    joiner_.Received(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
  }
}

bool JoinTransport::Busy() const {
  return socket_.state() != QAbstractSocket::UnconnectedState && socket_.bytesToWrite() > 0;
}

}  // namespace trilane::direct
