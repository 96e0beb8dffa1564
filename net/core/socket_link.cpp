#include "net/core/socket_link.h"

#if __has_include(<netinet/tcp.h>)
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace trilane::net {

namespace {

constexpr int kKeepAliveIdleS = 20;
constexpr int kKeepAliveIntervalS = 5;
constexpr int kKeepAliveProbes = 6;

}  // namespace

void KeepConnectionAlive(QAbstractSocket& socket) {
  socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
#if __has_include(<netinet/tcp.h>)
  const auto fd = static_cast<int>(socket.socketDescriptor());
  if (fd < 0) return;
  const auto set = [fd](int option, int value) {
    (void)setsockopt(fd, IPPROTO_TCP, option, &value, sizeof value);
  };
#ifdef TCP_KEEPIDLE
  set(TCP_KEEPIDLE, kKeepAliveIdleS);
#endif
#ifdef TCP_KEEPINTVL
  set(TCP_KEEPINTVL, kKeepAliveIntervalS);
#endif
#ifdef TCP_KEEPCNT
  set(TCP_KEEPCNT, kKeepAliveProbes);
#endif
#ifdef TCP_USER_TIMEOUT
  // Keep-alive stays quiet while sent bytes wait for their acknowledgement; this bounds that.
  set(TCP_USER_TIMEOUT, (kKeepAliveIdleS + kKeepAliveIntervalS * kKeepAliveProbes) * 1000);
#endif
#endif
}

void SocketLink::Send(std::string_view bytes) {
  if (socket_.state() != QAbstractSocket::ConnectedState) return;
  socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
  // Dropped at once, queued bytes and all; the closing reaches the controller from the
  // event loop like any other, so the peer has left as far as the game is concerned.
  if (socket_.bytesToWrite() > maxQueued_) socket_.abort();
}

void SocketLink::Close() {
  // The bytes already written still go out before the connection closes.
  if (socket_.state() == QAbstractSocket::UnconnectedState) return;
  socket_.disconnectFromHost();
}

}  // namespace trilane::net
