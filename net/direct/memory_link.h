#pragma once
// Two ends of an in-process byte stream, for running a host and its joiners in one test
// without sockets. Nothing is delivered while a controller runs: bytes and closings wait
// in a queue until the owner pumps them, in reads of the size it chooses, so that reads
// split and join as a real stream's do.

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "net/core/link.h"

namespace trilane::direct {

class MemoryLink : public net::Link {
 public:
  // Both ends of one stream.
  static std::pair<std::unique_ptr<MemoryLink>, std::unique_ptr<MemoryLink>> Pair();
  MemoryLink() = default;
  MemoryLink(const MemoryLink&) = delete;
  MemoryLink& operator=(const MemoryLink&) = delete;
  ~MemoryLink() override;

  void Send(std::string_view bytes) override;
  void Close() override;

  // What the peer sent and this end has not read yet; a read takes at most `maxBytes`.
  bool HasPending() const { return !incoming_.empty() || peerClosedPending_; }
  std::string Read(size_t maxBytes);
  // True once, after every byte, when the peer closed the stream.
  bool TakeClosed();
  bool Open() const { return !closed_; }

 private:
  MemoryLink* peer_ = nullptr;
  std::string incoming_;
  bool peerClosedPending_ = false;
  bool closed_ = false;
};

}  // namespace trilane::direct
