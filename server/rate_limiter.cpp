#include "server/rate_limiter.h"

#include <algorithm>

namespace trilane::club {
namespace {

// Beyond this many addresses the buckets that have filled up again are forgotten.
constexpr size_t kMaxBuckets = 100000;

}  // namespace

RateLimiter::RateLimiter(double perSecond, double burst)
    : perSecond_(perSecond), burst_(std::max(1.0, burst)) {}

bool RateLimiter::Allow(std::string_view address, double now) {
  if (perSecond_ <= 0) return true;
  std::lock_guard lock(mutex_);
  if (buckets_.size() >= kMaxBuckets) {
    std::erase_if(buckets_, [&](const auto& entry) {
      return entry.second.tokens + (now - entry.second.last) * perSecond_ >= burst_;
    });
  }
  auto [it, added] = buckets_.try_emplace(std::string(address), Bucket{burst_, now});
  Bucket& b = it->second;
  b.tokens = std::min(burst_, b.tokens + std::max(0.0, now - b.last) * perSecond_);
  b.last = now;
  if (b.tokens < 1) return false;
  b.tokens -= 1;
  return true;
}

}  // namespace trilane::club
