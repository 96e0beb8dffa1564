#include "net/direct/memory_link.h"

#include <algorithm>

namespace trilane::direct {

std::pair<std::unique_ptr<MemoryLink>, std::unique_ptr<MemoryLink>> MemoryLink::Pair() {
  auto a = std::make_unique<MemoryLink>();
  auto b = std::make_unique<MemoryLink>();
  a->peer_ = b.get();
  b->peer_ = a.get();
  return {std::move(a), std::move(b)};
}

MemoryLink::~MemoryLink() {
  if (peer_ != nullptr) {
    if (!closed_ && !peer_->closed_) peer_->peerClosedPending_ = true;
    peer_->peer_ = nullptr;
  }
}

void MemoryLink::Send(std::string_view bytes) {
  if (closed_ || peer_ == nullptr || peer_->closed_) return;
  peer_->incoming_.append(bytes);
}

void MemoryLink::Close() {
  if (closed_) return;
  closed_ = true;
  if (peer_ != nullptr && !peer_->closed_) peer_->peerClosedPending_ = true;
}

std::string MemoryLink::Read(size_t maxBytes) {
  const size_t n = std::min(maxBytes, incoming_.size());
  std::string out = incoming_.substr(0, n);
  incoming_.erase(0, n);
  return out;
}

bool MemoryLink::TakeClosed() {
  if (!incoming_.empty() || !peerClosedPending_) return false;
  peerClosedPending_ = false;
  closed_ = true;
  return true;
}

}  // namespace trilane::direct
