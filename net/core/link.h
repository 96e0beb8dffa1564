#pragma once
// One byte stream to one peer, as the controllers see it. The Qt sockets implement it for
// real play and MemoryLink for tests; either way the controllers only hand it bytes and
// are told, by whoever owns the stream, what arrived and when it closed.

#include <string_view>

namespace trilane::net {

class Link {
 public:
  virtual ~Link() = default;
  // Queues bytes for the peer; returns at once and never calls back into a controller.
  virtual void Send(std::string_view bytes) = 0;
  // Closes the stream after the bytes already queued. The closing is reported to the peer,
  // never to the side that closed.
  virtual void Close() = 0;
};

}  // namespace trilane::net
