// The libcurl transport against a responder that answers well or badly: every fault ends as a
// failed call with its failure value, and no call waits past its read time-out.

#include <gtest/gtest.h>

#include "test_server.h"
#include "web/calls.h"
#include "web/curl_transport.h"

namespace trilane::web {
namespace {

using testing::TestServer;
using Mode = TestServer::Mode;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kReadTimeout = 300ms;
// How late past its time-out a call may end: libcurl looks at a silent transfer about once a
// second, and the sanitizer builds share two cores with other work.
constexpr auto kLateness = 1500ms;

template <typename Call>
Clock::duration Timed(Call call) {
  const auto start = Clock::now();
  call();
  return Clock::now() - start;
}

struct CurlTransportTest : ::testing::Test {
  TestServer server;
  CurlTransport transport;
  WebClient client{transport, *AddressesUnder(server.Url("/directory.txt"))};
  void SetUp() override {
    client.SetReadTimeout(kReadTimeout);
    client.SetRecordsReadTimeout(kReadTimeout);
  }
};

TEST_F(CurlTransportTest, PostsTheExactBytesWithTheToken) {
  server.Set(Mode::kReply, 200, "$17$");
  const auto members = client.WebClubMembers();
  EXPECT_TRUE(members.ok);
  EXPECT_EQ(members.value, 17);
  const std::string request = server.LastRequest();
  EXPECT_EQ(request.rfind("POST /scripts/account HTTP/1.1\r\n", 0), 0u) << request;
  EXPECT_NE(request.find("\r\nUser-Agent: MosaicTurnKey\r\n"), std::string::npos);
  EXPECT_NE(request.find("\r\nContent-Type: application/x-www-form-urlencoded\r\n"),
            std::string::npos);
  EXPECT_NE(request.find("\r\nContent-Length: 8\r\n"), std::string::npos);
  EXPECT_EQ(request.substr(request.size() - 8), "label1=0");

  // Code page 1251 bytes go out raw in a PostForm.
  server.Set(Mode::kReply, 200, "$ ok#");
  EXPECT_TRUE(client.WebSaveQors("\xC0\xED\xED&x", 5));
  EXPECT_NE(server.LastRequest().find("nick=\xC0\xED\xED&x&labelqorsave=0&R04=5"),
            std::string::npos);
}

TEST_F(CurlTransportTest, EveryFaultIsAFailedCall) {
  struct Case {
    Mode mode;
    int status;
    const char* body;
  };
  const Case cases[] = {
      {Mode::kReply, 500, "$ ok#$7$"},  // an error status, whatever the body says
      {Mode::kReply, 404, "$7$"},      {Mode::kNoReply, 0, ""},  {Mode::kSlowReply, 0, ""},
      {Mode::kGarbage, 0, ""},         {Mode::kCutReply, 0, ""}, {Mode::kClose, 0, ""},
  };
  for (const Case& c : cases) {
    server.Set(c.mode, c.status, c.body);
    // Every call ends within its read time-out, the silent ones included.
    const auto place = Timed([&] {
      const auto r = client.WebRatingPlace(3.05);
      EXPECT_FALSE(r.ok) << static_cast<int>(c.mode);
      EXPECT_EQ(r.value, -1);
    });
    const auto save = Timed([&] { EXPECT_FALSE(client.WebSaveQors("Ann", 1)); });
    const auto user = Timed([&] {
      const auto r = client.WebReadUser("Ann", "pw12");
      EXPECT_FALSE(r.ok);
      EXPECT_EQ(r.value, ResetUser("Ann", "pw12"));
    });
    const auto reg = Timed([&] {
      EXPECT_EQ(client.WebRegisterUser(ResetUser("Ann", "pw12")), RegisterResult::kFailed);
    });
    const auto photo = Timed([&] { EXPECT_EQ(client.WebLoadAvatar("Ann"), std::nullopt); });
    for (const auto elapsed : {place, save, user, reg, photo}) {
      EXPECT_LT(elapsed, kReadTimeout + kLateness) << static_cast<int>(c.mode);
    }
  }
}

TEST_F(CurlTransportTest, ADrippingReplyEndsAtTheCallsLimit) {
  // One byte every 100 ms keeps the read time-out from ever running out; the call's own
  // limit ends it.
  server.Set(Mode::kDrip);
  const auto limit = kReadTimeout + CurlTransport::kOverallMargin;
  const auto elapsed = Timed([&] { EXPECT_FALSE(client.WebClubMembers().ok); });
  EXPECT_GE(elapsed, limit - 100ms);
  EXPECT_LT(elapsed, limit + kLateness);
}

TEST_F(CurlTransportTest, NobodyListening) {
  int port;
  {
    TestServer gone;
    port = gone.Port();
  }
  WebClient lonely(transport, *AddressesUnder("http://127.0.0.1:" + std::to_string(port) + "/"));
  lonely.SetReadTimeout(kReadTimeout);
  EXPECT_LT(Timed([&] { EXPECT_FALSE(lonely.WebClubMembers().ok); }), kReadTimeout + kLateness);
  EXPECT_EQ(lonely.WebLoadAvatar("Ann"), std::nullopt);
}

TEST_F(CurlTransportTest, GetsAreFetchedWhole) {
  const std::string jpeg("\xFF\xD8\x00\x01jpeg\xFF\xD9", 10);
  server.Set(Mode::kReply, 200, jpeg);
  EXPECT_EQ(client.WebLoadAvatar("Ann"), jpeg);
  EXPECT_EQ(server.LastRequest().rfind("GET /photos/Ann.jpg HTTP/1.1\r\n", 0), 0u);
  EXPECT_EQ(server.LastRequest().find("MosaicTurnKey"), std::string::npos);
  server.Set(Mode::kReply, 404, "not here");
  EXPECT_EQ(client.WebLoadAvatar("Ann"), std::nullopt);
}

TEST_F(CurlTransportTest, UploadToAMissingFtpServerFails) {
  int port;
  {
    TestServer gone;
    port = gone.Port();
  }
  ServiceAddresses a = client.Addresses();
  a.photoUpload = {"127.0.0.1", port, "u", "p", "/"};
  client.SetAddresses(a);
  EXPECT_LT(Timed([&] { EXPECT_FALSE(client.UploadPhoto("Ann", "bytes")); }),
            kReadTimeout + kLateness);
}

}  // namespace
}  // namespace trilane::web
