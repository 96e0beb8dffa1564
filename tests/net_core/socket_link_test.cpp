// The Qt sockets of either path on 127.0.0.1: keep-alive with short intervals, and a peer
// that reads nothing dropped once too much waits for it.

#include "net/core/socket_link.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <chrono>
#include <memory>
#include <string>

namespace trilane::net {
namespace {

int Option(qintptr fd, int level, int name) {
  int value = -1;
  socklen_t length = sizeof value;
  getsockopt(static_cast<int>(fd), level, name, &value, &length);
  return value;
}

// A listening server and a client connected to it; both ends as Qt sockets.
struct Pair {
  Pair() {
    EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    client.connectToHost(QHostAddress::LocalHost, server.serverPort());
    EXPECT_TRUE(client.waitForConnected(5000));
    EXPECT_TRUE(server.waitForNewConnection(5000));
    accepted = server.nextPendingConnection();
  }
  QTcpServer server;
  QTcpSocket client;
  QTcpSocket* accepted = nullptr;
};

TEST(SocketLinkTest, KeepAliveNoticesAVanishedPeerWithinAMinute) {
  Pair pair;
  ASSERT_NE(pair.accepted, nullptr);
  KeepConnectionAlive(*pair.accepted);
  const qintptr fd = pair.accepted->socketDescriptor();
  EXPECT_EQ(Option(fd, SOL_SOCKET, SO_KEEPALIVE), 1);
  const int idle = Option(fd, IPPROTO_TCP, TCP_KEEPIDLE);
  const int interval = Option(fd, IPPROTO_TCP, TCP_KEEPINTVL);
  const int probes = Option(fd, IPPROTO_TCP, TCP_KEEPCNT);
  EXPECT_GT(idle, 0);
  EXPECT_LE(idle + interval * probes, 60);
  EXPECT_LE(Option(fd, IPPROTO_TCP, TCP_USER_TIMEOUT), 60000);
  EXPECT_GT(Option(fd, IPPROTO_TCP, TCP_USER_TIMEOUT), 0);
}

TEST(SocketLinkTest, APeerThatReadsNothingIsDroppedAsIfItLeft) {
  Pair pair;
  ASSERT_NE(pair.accepted, nullptr);
  // The client never reads; its buffers fill and the rest waits in the sender's queue.
  const int small = 4096;
  setsockopt(static_cast<int>(pair.client.socketDescriptor()), SOL_SOCKET, SO_RCVBUF, &small,
             sizeof small);
  pair.client.setReadBufferSize(1);
  bool disconnected = false;
  QObject::connect(pair.accepted, &QTcpSocket::disconnected, [&] { disconnected = true; });
  SocketLink link(*pair.accepted, 64 * 1024);
  const std::string chunk(4096, 'x');
  size_t sent = 0;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (pair.accepted->state() == QAbstractSocket::ConnectedState &&
         std::chrono::steady_clock::now() < until && sent < 200u * 1024 * 1024) {
    link.Send(chunk);
    sent += chunk.size();
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(pair.accepted->state(), QAbstractSocket::UnconnectedState);
  EXPECT_TRUE(disconnected);
  EXPECT_LT(sent, 64u * 1024 * 1024) << "sent before the drop";
  EXPECT_LE(pair.accepted->bytesToWrite(), 0);
  // Nothing more is queued for it.
  link.Send(chunk);
  EXPECT_LE(pair.accepted->bytesToWrite(), 0);
}

}  // namespace
}  // namespace trilane::net

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
