// Request bodies of any shape, to each of the four scripts, through parsing and dispatch
// against an in-memory club: nothing may crash, and every reply must be short and free of
// control characters.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "server/club_service.h"

using namespace trilane::club;

namespace {

struct Club {
  Club() {
    InitCrypto();
    store = MakeSqlClubStore(OpenSqlitePool(":memory:", 1));
    service = std::make_unique<ClubService>(*store, hasher);
    // A signed-in account gives the fuzzer something to find.
    service->Handle(Script::Account,
                    "nick=Ann&pw=abcd&city=Oslo&country1=Norway&country2=1-035&sex=W&email=a@b.c",
                    "10.0.0.1", 1'765'000'000);
    service->Handle(Script::Account, "nick=Ann&&pw=abcd&&label0=0", "10.0.0.1", 1'765'000'000);
  }
  PasswordHasher hasher{HashStrength::Fast};
  std::unique_ptr<ClubStore> store;
  std::unique_ptr<ClubService> service;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Club club;
  if (size < 1) return 0;
  const Script script = static_cast<Script>(data[0] % 4);
  const std::string_view body(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string reply = club.service->Handle(script, body, "10.0.0.1", 1'765'000'100);
  if (reply.empty()) std::abort();
  for (unsigned char c : reply) {
    if (c < 0x20) std::abort();
  }
  return 0;
}
