#pragma once
// A token bucket per caller address, checked before a request is read any further: a flood
// from one address is refused at once, without touching the database.

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace trilane::club {

class RateLimiter {
 public:
  // `perSecond` tokens are added each second up to `burst`; 0 per second disables the limit.
  RateLimiter(double perSecond, double burst);
  // `nowSeconds` may have any origin as long as it only grows.
  bool Allow(std::string_view address, double nowSeconds);

 private:
  struct Bucket {
    double tokens;
    double last;
  };
  double perSecond_;
  double burst_;
  std::mutex mutex_;
  std::unordered_map<std::string, Bucket> buckets_;
};

}  // namespace trilane::club
