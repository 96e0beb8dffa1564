#include "platform/graphics/addons.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <QFile>
#include <thread>

#include "test_support.h"

namespace trilane {
namespace {

using testing::ProgramFolders;

TEST(AddonPresence, LooksInTheProgramFolderAndItsParent) {
  ProgramFolders folders;
  const ResourceLocator locator(folders.Program());
  AddonState state = AddonPresence(locator);
  EXPECT_EQ(std::count(state.present.begin(), state.present.end(), true), 0);
  EXPECT_FALSE(state.saluteAvailable);

  folders.Put("QorCards06B.dll", false);
  folders.Put("QorCGraph1.dll", true);
  state = AddonPresence(locator);
  EXPECT_TRUE(state.present[1]);  // 2 "QorCards06B.dll"
  EXPECT_TRUE(state.present[8]);  // 9 "QorCGraph1.dll"
  EXPECT_EQ(std::count(state.present.begin(), state.present.end(), true), 2);
  EXPECT_TRUE(state.saluteAvailable);
}

// A download folder served on 127.0.0.1 from a background thread.
class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::RegisterProgramResources();
    const QByteArray library = testing::ReadAll(testing::Addon("QorCVoice3.dll"));
    server.Get("/downloads/progr/cards/QorCVoice3.dll",
               [library](const httplib::Request&, httplib::Response& r) {
                 r.set_content(library.toStdString(), "application/octet-stream");
               });
    server.Get(
        "/downloads/progr/cards/QorCGraph1.dll", [](const httplib::Request&, httplib::Response& r) {
          r.set_content("<html>not here</html>", "text/html");  // an error page with status 200
        });
    server.Get("/downloads/progr/cards/QorRadio.rad",
               [](const httplib::Request&, httplib::Response& r) {
                 r.set_content("radio list", "text/plain");
               });
    port = server.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    thread = std::thread([this] { server.listen_after_bind(); });
    for (int waited = 0; !server.is_running() && waited < 5000; waited += 2) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(server.is_running()) << "the test server did not start";
  }
  void TearDown() override {
    server.stop();
    thread.join();
  }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(port) + "/"; }

  httplib::Server server;
  std::thread thread;
  int port = 0;
  ProgramFolders folders;
  testing::NoticeRecorder notices;
  ResourceLocator locator{folders.Program()};
};

TEST_F(DownloadTest, GoodFilesLandInTheParentFolder) {
  EXPECT_TRUE(FetchAddon(7, locator, Base()).ok);
  EXPECT_EQ(testing::ReadAll(folders.Parent() + "/QorCVoice3.dll"),
            testing::ReadAll(testing::Addon("QorCVoice3.dll")));
  EXPECT_TRUE(AddonPresence(locator).present[6]);
  EXPECT_TRUE(FetchAddon(5, locator, Base()).ok);
  EXPECT_EQ(testing::ReadAll(folders.Parent() + "/QorRadio.rad"), QByteArray("radio list"));
}

TEST_F(DownloadTest, FailuresLeaveNothingAndKeepWhatWasThere) {
  EXPECT_FALSE(FetchAddon(1, locator, Base()).ok);  // 404
  EXPECT_FALSE(QFile::exists(folders.Parent() + "/QorCards06A.dll"));
  // An error page is no library: refused, and an existing copy is kept.
  folders.Put("QorCGraph1.dll", true);
  EXPECT_FALSE(FetchAddon(9, locator, Base()).ok);
  EXPECT_EQ(testing::ReadAll(folders.Parent() + "/QorCGraph1.dll"),
            testing::ReadAll(testing::Addon("QorCGraph1.dll")));
  EXPECT_FALSE(FetchAddon(0, locator, Base()).ok);
  EXPECT_FALSE(FetchAddon(10, locator, Base()).ok);
  EXPECT_FALSE(FetchAddon(7, locator, "http://127.0.0.1:1").ok);  // refused
  EXPECT_EQ(QDir(folders.Parent()).entryList(QDir::Files), QStringList{"QorCGraph1.dll"});
}

}  // namespace
}  // namespace trilane
