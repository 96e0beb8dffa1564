#pragma once
// A connected Qt socket as a Link, and the limits every connection of either path keeps on
// what a peer can cost this machine: keep-alive, bytes queued and bytes read at a time.

#include <QAbstractSocket>
#include <QTcpSocket>

#include "net/core/link.h"

namespace trilane::net {

// Bytes waiting to go to one peer. Every message is short and a whole match is a few
// kilobytes, so a peer this far behind reads nothing; it is dropped as if it had left
// rather than let the other side's memory grow with everything sent to it.
inline constexpr qint64 kMaxQueuedBytes = 64 * 1024;
// Bytes taken from a socket at a time. A peer that sends faster than its messages are
// handled waits in its own socket buffers (TCP slows it down) instead of in this process.
inline constexpr qint64 kMaxReadBytes = 16 * 1024;

// TCP keep-alive on a connected socket: probes after 20 s of silence, every 5 s, and the
// connection fails after 6 unanswered ones, so a peer whose machine vanished without
// closing is noticed within about a minute; the same minute bounds data that is never
// acknowledged. Where the system lacks the finer settings only keep-alive itself is on.
void KeepConnectionAlive(QAbstractSocket& socket);

// A connected socket as a Link.
class SocketLink : public Link {
 public:
  explicit SocketLink(QTcpSocket& socket, qint64 maxQueued = kMaxQueuedBytes)
      : socket_(socket), maxQueued_(maxQueued) {}
  void Send(std::string_view bytes) override;
  void Close() override;

 private:
  QTcpSocket& socket_;
  qint64 maxQueued_;
};

}  // namespace trilane::net
