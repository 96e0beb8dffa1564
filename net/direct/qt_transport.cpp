#include "net/direct/qt_transport.h"

#include <chrono>

#if __has_include(<netinet/tcp.h>)
#include <fcntl.h>
#include <unistd.h>
#endif

namespace trilane::direct {

namespace {

// Whether the process could open one more descriptor. Qt takes a failed accept for lack
// of descriptors as a passing condition and tries again at once, for as long as the
// connection waits; this lets the host see the limit coming and pause instead.
bool DescriptorFree() {
#if __has_include(<netinet/tcp.h>)
  const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
#endif
  return true;
}

}  // namespace

HostTransport::~HostTransport() {
  for (auto& accepted : accepted_) {
    if (accepted->socket != nullptr)
      QObject::disconnect(accepted->socket, nullptr, nullptr, nullptr);
  }
}

HostTransport::HostTransport(HostController& host) : host_(host) {
  host_.SetClock([] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  });
  acceptRetry_.setSingleShot(true);
  acceptRetry_.setInterval(kAcceptRetryMs);
  QObject::connect(&acceptRetry_, &QTimer::timeout, &acceptRetry_, [this] { ResumeAccepting(); });
}

bool HostTransport::Listen(const QHostAddress& address, quint16 port, std::string* error) {
  QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { TakeConnections(); });
  QObject::connect(&server_, &QTcpServer::acceptError, &server_, [this] { AcceptFailed(); });
  if (server_.listen(address, port)) return true;
  if (error != nullptr) *error = server_.errorString().toStdString();
  return false;
}

void HostTransport::AcceptFailed() {
  server_.pauseAccepting();
  acceptPaused_ = true;
  acceptRetry_.start();
}

void HostTransport::ResumeAccepting() {
  if (!acceptPaused_ || !server_.isListening()) return;
  if (!DescriptorFree()) return acceptRetry_.start();
  acceptPaused_ = false;
  acceptRetry_.stop();
  server_.resumeAccepting();
}

void HostTransport::TakeConnections() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    // Small messages that a person waits for: no coalescing delay.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket->setReadBufferSize(net::kMaxReadBytes);
    net::KeepConnectionAlive(*socket);
    auto accepted = std::make_unique<Accepted>();
    accepted->socket = socket;
    accepted->link = std::make_unique<net::SocketLink>(*socket);
    accepted->connection = host_.Accepted(*accepted->link);
    const Accepted* a = accepted.get();
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, a] {
      Drain(*a);
      AfterEvent();
    });
    // Whoever has not been seated within the deadline is let go: a connection that only
    // holds a descriptor, or a greeting that will never be answered.
    QTimer::singleShot(kGreetingDeadlineMs, socket, [this, a] {
      if (!host_.IsSeated(a->connection)) a->socket->abort();
    });
    // Closing and errors are taken from the event loop, never inside a controller's own
    // call to Close; whatever was still unread is handed over first. A descriptor freed
    // is a chance to take connections again.
    const auto closed = [this, a] {
      Drain(*a);
      host_.Closed(a->connection);
      ResumeAccepting();
      AfterEvent();
    };
    QObject::connect(socket, &QTcpSocket::disconnected, socket, closed, Qt::QueuedConnection);
    QObject::connect(socket, &QTcpSocket::errorOccurred, socket, closed, Qt::QueuedConnection);
    accepted_.push_back(std::move(accepted));
  }
  if (!acceptPaused_ && !DescriptorFree()) AcceptFailed();
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
    socket_.setReadBufferSize(net::kMaxReadBytes);
    net::KeepConnectionAlive(socket_);
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
