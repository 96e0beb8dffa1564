// Request bodies of any shape, to each of the four scripts, through parsing and dispatch
// against a small club made afresh for every input, so that a crash found replays alone.
// An input is one or more requests separated by "\n--\n"; the first byte of each picks the
// script and the caller's address. Nothing may crash, every reply must be short and free of
// control characters, no balance may fall below zero, and no call without an account's
// password may show that account's own record.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "server/club_service.h"

using namespace trilane::club;

namespace {

constexpr int64_t kNow = 1'765'000'000;
// Only Ann's own record holds this address; no reply may show it without her password.
constexpr std::string_view kAnnEmail = "ann@hidden.ee";
constexpr std::string_view kAnnPassword = "abcd";
constexpr std::string_view kSeparator = "\n--\n";

struct Club {
  Club() {
    store = MakeSqlClubStore(OpenSqlitePool(":memory:", 1));
    service = std::make_unique<ClubService>(*store, hasher);
    // Two signed-in accounts at two addresses, one with Qors, give the fuzzer something to
    // move and to find.
    service->Handle(Script::Account,
                    "nick=Ann&pw=abcd&city=Oslo&country1=Norway&country2=1-035&sex=W&email=" +
                        std::string(kAnnEmail),
                    "10.0.0.1", kNow);
    service->Handle(Script::Account, "nick=Ann&&pw=abcd&&label0=0", "10.0.0.1", kNow);
    service->Handle(Script::Account,
                    "nick=Bob&pw=efgh&city=Rome&country1=Italy&country2=1-024&sex=M&email=b@b.it",
                    "10.0.0.2", kNow);
    service->Handle(Script::Account, "nick=Bob&&pw=efgh&&label0=0", "10.0.0.2", kNow);
    store->AddQors("Ann", 50);
  }
  PasswordHasher hasher{HashStrength::Fast};
  std::unique_ptr<ClubStore> store;
  std::unique_ptr<ClubService> service;
};

void CheckBalance(ClubStore& store, std::string_view nick) {
  if (auto account = store.FindAccount(nick); account && account->qors < 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool crypto = InitCrypto();
  if (!crypto) std::abort();
  std::string_view input(reinterpret_cast<const char*>(data), size);
  Club club;
  // Once an input has registered an account with Ann's address, that account may show it.
  bool emailClaimed = false;
  for (int call = 0; !input.empty() && call < 16; ++call) {
    const size_t end = input.find(kSeparator);
    std::string_view part = input.substr(0, end);
    input =
        end == std::string_view::npos ? std::string_view() : input.substr(end + kSeparator.size());
    if (part.empty()) continue;
    const uint8_t selector = static_cast<uint8_t>(part[0]);
    const Script script = static_cast<Script>(selector % 4);
    const char* address = (selector & 4) ? "10.0.0.2" : "10.0.0.1";
    const std::string_view body = part.substr(1);
    emailClaimed = emailClaimed || body.find(kAnnEmail) != std::string_view::npos;

    const std::string reply = club.service->Handle(script, body, address, kNow + call);
    if (reply.empty() || reply.size() > 64 * 1024) std::abort();
    for (unsigned char c : reply) {
      if (c < 0x20) std::abort();
    }
    std::string reason;
    const auto request = ParseRequest(script, body, &reason);
    if (!emailClaimed && reply.find(kAnnEmail) != std::string::npos) {
      const std::string* password = request ? request->Find("pw") : nullptr;
      if (!password || *password != kAnnPassword) std::abort();
    }
    CheckBalance(*club.store, "Ann");
    CheckBalance(*club.store, "Bob");
    if (const std::string* nick = request ? request->Find("nick") : nullptr) {
      CheckBalance(*club.store, *nick);
    }
  }
  return 0;
}
