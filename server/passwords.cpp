#include "server/passwords.h"

#include <sodium.h>

namespace trilane::club {
namespace {

constexpr int64_t kProvenSeconds = 600;
constexpr size_t kProvenMax = 100000;

}  // namespace

bool InitCrypto() {
  return sodium_init() >= 0;
}

PasswordHasher::PasswordHasher(HashStrength strength, int parallel,
                               std::chrono::milliseconds maxWait)
    : strength_(strength),
      opsLimit_(strength == HashStrength::Fast ? crypto_pwhash_OPSLIMIT_MIN
                                               : crypto_pwhash_OPSLIMIT_INTERACTIVE),
      memLimit_(strength == HashStrength::Fast ? crypto_pwhash_MEMLIMIT_MIN
                                               : crypto_pwhash_MEMLIMIT_INTERACTIVE),
      parallel_(parallel < 1 ? 1 : parallel),
      maxWait_(maxWait) {
  randombytes_buf(cacheKey_, sizeof cacheKey_);
}

void PasswordHasher::Enter() {
  std::unique_lock lock(mutex_);
  if (!slot_.wait_for(lock, maxWait_, [&] { return running_ < parallel_; })) throw HasherBusy();
  ++running_;
}

void PasswordHasher::Leave() {
  std::lock_guard lock(mutex_);
  --running_;
  slot_.notify_one();
}

std::string PasswordHasher::Hash(std::string_view password) {
  char out[crypto_pwhash_STRBYTES];
  Enter();
  const int rc = crypto_pwhash_str(out, password.data(), password.size(), opsLimit_, memLimit_);
  Leave();
  return rc == 0 ? std::string(out) : std::string();
}

std::string PasswordHasher::Digest(std::string_view nick, std::string_view password,
                                   std::string_view hash) {
  crypto_generichash_state state;
  crypto_generichash_init(&state, cacheKey_, sizeof cacheKey_, 32);
  const unsigned char zero = 0;
  for (std::string_view part : {nick, password, hash}) {
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(part.data()),
                              part.size());
    crypto_generichash_update(&state, &zero, 1);
  }
  unsigned char digest[32];
  crypto_generichash_final(&state, digest, sizeof digest);
  return std::string(reinterpret_cast<char*>(digest), sizeof digest);
}

bool PasswordHasher::Remembered(std::string_view nick, std::string_view password,
                                const std::string& hash, int64_t now) {
  const std::string digest = Digest(nick, password, hash);
  std::lock_guard lock(mutex_);
  auto it = proven_.find(digest);
  return it != proven_.end() && now - it->second < kProvenSeconds;
}

void PasswordHasher::Remember(std::string_view nick, std::string_view password,
                              const std::string& hash, int64_t now) {
  const std::string digest = Digest(nick, password, hash);
  std::lock_guard lock(mutex_);
  if (proven_.size() >= kProvenMax) proven_.clear();
  proven_[digest] = now;
}

bool PasswordHasher::NeedsRehash(const std::string& hash) const {
  // A hasher made fast for tests never replaces a real hash with a weaker one. Otherwise the
  // library answers 1 when the hash's settings differ from these (-1 for no hash it knows).
  if (strength_ == HashStrength::Fast) return false;
  return crypto_pwhash_str_needs_rehash(hash.c_str(), opsLimit_, memLimit_) == 1;
}

bool PasswordHasher::CheckHash(std::string_view password, const std::string& hash) {
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

bool PasswordHasher::Verify(std::string_view nick, std::string_view password,
                            const std::string& hash, int64_t now) {
  // The stored hash is part of the digest, so a changed password forgets the old proof.
  const std::string digest = Digest(nick, password, hash);
  {
    std::lock_guard lock(mutex_);
    auto it = proven_.find(digest);
    if (it != proven_.end() && now - it->second < kProvenSeconds) return true;
  }
  Enter();
  bool ok = false;
  try {
    ok = CheckHash(password, hash);
  } catch (...) {
    Leave();
    throw;
  }
  Leave();
  if (ok) Remember(nick, password, hash, now);
  return ok;
}

}  // namespace trilane::club
