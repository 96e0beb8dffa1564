// The game program's feed of the menu's information clock, against a small web service on
// 127.0.0.1: a read that fails shows "NO CONNECT" and the next minute reads again; a read in
// flight leaves the window free, and the read after it goes out once it is in.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/trilane/information_feed.h"
#include "assets/assets.h"
#include "records/settings.h"
#include "shell/main_menu.h"
#include "shell/menu_clocks.h"
#include "web/service_addresses.h"
#include "words/words.h"

namespace trilane {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "information_feed_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    auto* a = new QApplication(argc, argv);
    InitAssets();
    return a;
  }();
  return *app;
}

// Answers the club-member count ("$<n>$") one connection at a time: the first connection is
// closed unanswered when told to fail, and a reply can be held back until released.
class MemberCountService {
 public:
  MemberCountService() {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    listen(listener_, 8);
    socklen_t length = sizeof addr;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &length);
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~MemberCountService() {
    stop_ = true;
    Release();
    thread_.join();
    close(listener_);
  }

  std::string Directory() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/directory.txt";
  }
  void FailFirst() { failFirst_ = true; }
  void Hold() { held_ = true; }
  void Release() {
    std::lock_guard lock(mutex_);
    held_ = false;
    released_.notify_all();
  }
  int Requests() const { return requests_; }

 private:
  static bool Readable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, ms) > 0;
  }

  void Run() {
    while (!stop_) {
      if (!Readable(listener_, 50)) continue;
      const int fd = accept(listener_, nullptr, nullptr);
      if (fd < 0) continue;
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos && Readable(fd, 2000)) {
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<size_t>(n));
      }
      const int number = ++requests_;
      if (!(number == 1 && failFirst_)) {
        {
          // Held no longer than the client waits for a reply.
          std::unique_lock lock(mutex_);
          released_.wait_for(lock, std::chrono::milliseconds(2500), [this] { return !held_; });
        }
        const std::string body = "$" + std::to_string(1000 * number + 234) + "$";
        const std::string reply =
            "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
            "\r\nConnection: close\r\n\r\n" + body;
        send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
      }
      close(fd);
    }
  }

  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> failFirst_{false};
  std::atomic<int> requests_{0};
  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
};

class InformationFeedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    SetLanguageIndex(kEnglish);
    web::SetServiceOverride(service_.Directory());
    menu_ = std::make_unique<MainMenu>(settings_, nullptr);
    FeedInformationClock(*menu_);
    clock_ = menu_->findChild<InformationClock*>();
    ASSERT_NE(clock_, nullptr);
  }
  void TearDown() override { web::SetServiceOverride(std::nullopt); }

  // Minute 6, and every seventh after it, shows page 7: the club's member count.
  void Ask(int minute) { emit menu_->informationWanted(minute); }
  bool Shows(const QString& value) const { return clock_->Face().value == value; }

  MemberCountService service_;
  TSettings settings_;
  std::unique_ptr<MainMenu> menu_;
  InformationClock* clock_ = nullptr;
};

TEST_F(InformationFeedTest, AFailedReadShowsNoConnectAndTheNextMinuteReadsAgain) {
  service_.FailFirst();
  Ask(6);
  ASSERT_TRUE(QTest::qWaitFor([&] { return clock_->Face().page != 0; }, 5000));
  EXPECT_EQ(clock_->Face().page, 7);
  EXPECT_EQ(clock_->Face().value, "0");
  EXPECT_EQ(clock_->Face().hint, "Club members: NO CONNECT");

  Ask(13);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("2234"); }, 5000))
      << "after a failed read no other was made: " << service_.Requests() << " request(s)";
  EXPECT_EQ(clock_->Face().hint, "Club members: ");
}

TEST_F(InformationFeedTest, AReadInFlightLeavesTheWindowFreeAndTheNextFollowsIt) {
  service_.Hold();
  QElapsedTimer timer;
  timer.start();
  Ask(6);
  EXPECT_LT(timer.elapsed(), 1000) << "the read held the window's thread";
  ASSERT_TRUE(QTest::qWaitFor([&] { return service_.Requests() == 1; }, 5000));
  // The window goes on while the service keeps its answer.
  bool ticked = false;
  QTimer::singleShot(10, menu_.get(), [&ticked] { ticked = true; });
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticked; }, 1000));
  EXPECT_EQ(clock_->Face().page, 0);

  service_.Release();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("1234"); }, 5000));
  Ask(13);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("2234"); }, 5000))
      << service_.Requests() << " request(s)";
}

// Minute 5 is the Qors page: with an account signed in it reads the account's balance,
// without one it gives way to the member count.
TEST_F(InformationFeedTest, TheQorsPageFollowsTheSignedInAccount) {
  std::string nick = "Vera";
  SetInformationAccount([&nick] { return nick; });
  Ask(5);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("1234"); }, 5000));
  EXPECT_EQ(clock_->Face().page, 6);
  EXPECT_EQ(clock_->Face().icon, "GQors128");
  nick.clear();
  Ask(12);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Shows("2234"); }, 5000));
  EXPECT_EQ(clock_->Face().page, 7);
  SetInformationAccount({});
}

}  // namespace
}  // namespace trilane
