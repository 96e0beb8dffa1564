#pragma once
// Passwords are kept only as salted, deliberately slow hashes. Hashing costs tens of
// milliseconds and tens of megabytes, so a few run at a time; a password proven recently is
// remembered (as a keyed digest, never in clear) so that the best-results calls of a rated
// match, which all carry the password, do not pay the cost again each time.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace trilane::club {

enum class HashStrength {
  Interactive,  // the library's interactive limits: for a real club
  Fast,         // the library's minimum: for tests and load runs only
};

// Thrown by Hash and Verify when no hashing slot freed within the wait: the call is answered
// as failed at once instead of queueing behind a flood of password checks.
struct HasherBusy : std::runtime_error {
  HasherBusy() : std::runtime_error("password hashing is busy") {}
};

class PasswordHasher {
 public:
  explicit PasswordHasher(HashStrength strength, int parallel = 2,
                          std::chrono::milliseconds maxWait = std::chrono::seconds(2));
  virtual ~PasswordHasher() = default;
  // Empty on failure (out of memory).
  std::string Hash(std::string_view password);
  bool Verify(std::string_view nick, std::string_view password, const std::string& hash,
              int64_t now);
  // True when Verify would answer from memory, without hashing.
  bool Remembered(std::string_view nick, std::string_view password, const std::string& hash,
                  int64_t now);
  // Notes a password as proven for this hash (one this hasher has just made of it).
  void Remember(std::string_view nick, std::string_view password, const std::string& hash,
                int64_t now);
  // True when the hash was made with weaker settings than this hasher's.
  bool NeedsRehash(const std::string& hash) const;

 protected:
  // The slow check itself, run inside a hashing slot (tests hold it there).
  virtual bool CheckHash(std::string_view password, const std::string& hash);

 private:
  std::string Digest(std::string_view nick, std::string_view password, std::string_view hash);
  void Enter();
  void Leave();

  HashStrength strength_;
  unsigned long long opsLimit_;
  size_t memLimit_;
  int parallel_;
  std::chrono::milliseconds maxWait_;
  int running_ = 0;
  std::mutex mutex_;
  std::condition_variable slot_;
  unsigned char cacheKey_[32];
  std::unordered_map<std::string, int64_t> proven_;  // digest -> time proven
};

// Initialises the crypto library once; false when it cannot.
bool InitCrypto();

}  // namespace trilane::club
