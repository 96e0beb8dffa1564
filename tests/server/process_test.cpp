// The service program itself, started on a free port of 127.0.0.1 with a temporary data
// folder and driven with raw HTTP.

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char kService[] = TRILANE_PROGRAM_DIR "/trilane-club-service";

int FreePort() {
  // Below the kernel's range of automatic ports: a port picked there and closed could be handed
  // to the next socket that binds port 0 or connects out before the service binds it.
  int automatic = 32768;
  if (std::ifstream range("/proc/sys/net/ipv4/ip_local_port_range"); range) range >> automatic;
  std::mt19937 random(
      static_cast<unsigned>(getpid()) * 7919u +
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 200; ++attempt) {
    const int port =
        10000 +
        static_cast<int>(random() % static_cast<unsigned>(std::max(automatic - 10000, 1000)));
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    const bool free = bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    if (free) return port;
  }
  return 0;
}

class Service {
 public:
  explicit Service(const fs::path& data, std::vector<std::string> extra = {}) {
    int out[2];
    if (pipe(out) != 0) return;
    std::vector<std::string> args = {kService, "--listen",    "127.0.0.1:0",
                                     "--data", data.string(), "--fast-hashes"};
    args.insert(args.end(), extra.begin(), extra.end());
    if (std::find(args.begin(), args.end(), "--ftp-port") == args.end()) {
      args.insert(args.end(), {"--ftp-port", "0"});
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(kService, argv.data());
      _exit(127);
    }
    close(out[1]);
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    const std::string prefix = "listening on http://127.0.0.1:";
    if (line.rfind(prefix, 0) == 0) port_ = std::stoi(line.substr(prefix.size()));
    listeningLine_ = line;
  }

  // Stops with SIGTERM; the exit status.
  int Stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  ~Service() { Stop(); }

  int port() const { return port_; }
  const std::string& listeningLine() const { return listeningLine_; }

  httplib::Client Client() const {
    httplib::Client client("127.0.0.1", port_);
    client.set_read_timeout(10, 0);
    return client;
  }

  // A post with the access token; "" when no reply came.
  std::string Post(const std::string& script, const std::string& body) const {
    auto client = Client();
    auto res = client.Post("/scripts/" + script, {{"User-Agent", "MosaicTurnKey"}}, body,
                           "application/x-www-form-urlencoded");
    return res && res->status == 200 ? res->body : "";
  }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  std::string listeningLine_;
};

class ServiceProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = fs::temp_directory_path() /
            ("club-test-" + std::to_string(getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(data_);
  }
  void TearDown() override { fs::remove_all(data_); }
  fs::path data_;
};

const char kRegister[] =
    "nick=Ann&pw=abcd&city=Oslo&country1=Norway&country2=1-035&sex=W&email=ann@mail.ee"
    "&dater=01.01.1990&R01=xxx&R02=xxx&R03=xxx&R04=0&R05=0&R06=0";

TEST_F(ServiceProcess, AnswersEveryScriptOnlyToTheProgramsToken) {
  Service service(data_);
  ASSERT_GT(service.port(), 0) << service.listeningLine();
  EXPECT_EQ(service.Post("account", kRegister), "ok");
  EXPECT_EQ(service.Post("account", "nick=Ann&&pw=abcd&&label0=0").substr(0, 24),
            "$Oslo Norway 1-035 W ann");
  EXPECT_EQ(service.Post("stats", "gid=814&stat1=1&stat2=1"), "$ ok#");
  EXPECT_EQ(service.Post("worldtop", "rgid=814"), "$0$");
  EXPECT_EQ(service.Post("tourney", "serverinforead=0&&gid=94"), "$Y Welcome_to_the_club!$");

  auto client = service.Client();
  for (const char* agent : {"", "Mozilla/5.0", "mosaicturnkey"}) {
    httplib::Headers headers;
    if (*agent) headers.emplace("User-Agent", agent);
    auto res =
        client.Post("/scripts/account", headers, "label1=0", "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 403) << agent;
  }
  auto ip = client.Get("/scripts/myip");
  ASSERT_TRUE(ip);
  EXPECT_EQ(ip->body, "127.0.0.1");
  EXPECT_EQ(service.Stop(), 0);
}

TEST_F(ServiceProcess, HostileRequestsAreAnsweredWithoutHarm) {
  Service service(data_);
  ASSERT_EQ(service.Post("account", kRegister), "ok");
  const std::string hostile[] = {
      "nick=Ann'; DROP TABLE accounts;--&&pw=abcd&&label0=0",
      "nick=Ann%27%20OR%201=1--&&pw=x&&label0=0",
      "nick=%FF%FE%00&&pw=abcd&&label0=0",
      "nick=" + std::string(5000, 'A') + "&&pw=abcd&&label0=0",
      "nick=Ann&&label0=0",
      "label0=0",
      "\xFF\xFE\x01\x02=\x03&&&&==&=",
  };
  for (const std::string& body : hostile) {
    const std::string reply = service.Post("account", body);
    EXPECT_TRUE(reply == "no" || reply == "err") << body.substr(0, 40) << " -> " << reply;
  }
  auto client = service.Client();
  auto big = client.Post("/scripts/account", {{"User-Agent", "MosaicTurnKey"}},
                         std::string(100000, 'x'), "application/x-www-form-urlencoded");
  ASSERT_TRUE(big);
  EXPECT_EQ(big->status, 413);
  // The account is intact and the service still answers.
  EXPECT_EQ(service.Post("account", "nick=Ann&&pw=abcd&&label0=0")[0], '$');
  EXPECT_EQ(service.Post("account", "label1=0"), "$1$");
}

TEST_F(ServiceProcess, AFloodFromOneAddressIsRefused) {
  Service service(data_, {"--rate", "2", "--burst", "5"});
  auto client = service.Client();
  int refused = 0, answered = 0;
  for (int i = 0; i < 30; ++i) {
    auto res = client.Post("/scripts/account", {{"User-Agent", "MosaicTurnKey"}}, "label1=0",
                           "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    (res->status == 429 ? refused : answered) += 1;
    if (res->status == 200) {
      EXPECT_EQ(res->body, "$0$");
    }
  }
  EXPECT_GE(refused, 20);
  EXPECT_GE(answered, 5);
}

TEST_F(ServiceProcess, ARestartKeepsEveryStoredResult) {
  const std::string entry =
      "gid=814&nick=Bob&city=Rome&country=1-024&score=33&R7=M&R8=5.7f&R9=#&R10=#*";
  const std::string message =
      "gid=100&nick=Bob&city=Rome&country=1-024&score=1&R7=M&R8=5.7f"
      "&R9=10:00_01.01.2026_Trilane&R10=Hello!*";
  std::string before[4];
  {
    Service service(data_);
    ASSERT_EQ(service.Post("account", kRegister), "ok");
    ASSERT_EQ(service.Post("account", "nick=Ann&&pw=abcd&&label0=0")[0], '$');
    ASSERT_EQ(
        service.Post("account",
                     "nick=Ann&pw=abcd&crdtrilanekon=4&crdtrilanebest=0&crdtrilanerating=-9.95"
                     "&crdtrilaneses=0&crdtrilanekonl=0&crdtrilanescore=0&crdtrilaneR1=0"
                     "&crdtrilaneR2=#"),
        "ok");
    ASSERT_EQ(service.Post("worldtop", entry), "$1$");
    ASSERT_EQ(service.Post("worldtop", message), "$1$");
    ASSERT_EQ(service.Post("stats", "gid=814&stat3=1&stat4=Bob"), "$ ok#");
    before[0] = service.Post("account", "nick=Ann&&pw=abcd&&crdtrilanebest=0");
    before[1] = service.Post("worldtop", "gid=814");
    before[2] = service.Post("worldtop", "gid=100");
    before[3] = service.Post("stats", "gid=814");
    EXPECT_EQ(service.Stop(), 0);
  }
  Service again(data_);
  EXPECT_EQ(again.Post("account", "nick=Ann&&pw=abcd&&crdtrilanebest=0"), before[0]);
  EXPECT_EQ(before[0], "$4 0 -9.95 0 0 0 0 #$");
  EXPECT_EQ(again.Post("worldtop", "gid=814"), before[1]);
  EXPECT_EQ(again.Post("worldtop", "gid=100"), before[2]);
  EXPECT_EQ(again.Post("stats", "gid=814"), before[3]);
  EXPECT_EQ(again.Post("account", kRegister), "is");
}

TEST_F(ServiceProcess, DirectoryFollowsTheOperatorsSwitches) {
  fs::create_directories(data_);
  Service service(data_);
  auto client = service.Client();
  auto plain = client.Get("/directory.txt");
  ASSERT_TRUE(plain);
  EXPECT_NE(plain->body.find("AccPath="), std::string::npos);
  EXPECT_EQ(plain->body.find("Pause"), std::string::npos);
  std::ofstream(data_ / "club.conf") << "world_top_paused = 1\nchat_paused=1\n"
                                        "tourney_server = off\nwelcome = See you at nine\n";
  // The lamp follows the file without a directory fetch in between.
  bool lampOff = false;
  for (int i = 0; i < 40 && !lampOff; ++i) {
    lampOff = service.Post("tourney", "serverinforead=0&&gid=94") == "$X See_you_at_nine$";
    if (!lampOff) usleep(100000);
  }
  EXPECT_TRUE(lampOff);
  auto paused = client.Get("/directory.txt");
  ASSERT_TRUE(paused);
  EXPECT_NE(paused->body.find("WTGamesPause"), std::string::npos);
  EXPECT_NE(paused->body.find("CTGamesPause"), std::string::npos);
}

TEST_F(ServiceProcess, ServesTheRouterHelpAndNoOtherPage) {
  fs::create_directories(data_);
  Service service(data_);
  auto client = service.Client();
  auto page = client.Get("/help/router.html");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(page->body.find("25666"), std::string::npos);
  EXPECT_NE(page->body.find("</html>"), std::string::npos);
  for (const char* other :
       {"/help/", "/help/other.html", "/help/router.htm", "/help/router.html/x"}) {
    auto missing = client.Get(other);
    ASSERT_TRUE(missing) << other;
    EXPECT_EQ(missing->status, 404) << other;
  }
}

TEST_F(ServiceProcess, ServesAddOnsByTheirKnownNamesOnly) {
  const fs::path addons = data_ / "addons";
  fs::create_directories(addons);
  std::ofstream(addons / "QorCards06A.dll", std::ios::binary) << "MZ-cards";
  std::ofstream(addons / "secret.txt") << "no";
  Service service(data_, {"--addons", addons.string()});
  auto client = service.Client();
  auto found = client.Get("/downloads/progr/cards/qorcards06a.dll");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->status, 200);
  EXPECT_EQ(found->body, "MZ-cards");
  for (const char* path :
       {"/downloads/progr/cards/secret.txt", "/downloads/progr/cards/QorCVoice3.dll",
        "/downloads/progr/cards/..%2Fclub.sqlite"}) {
    auto res = client.Get(path);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 404) << path;
  }
}

size_t ReadFrom(char* buffer, size_t size, size_t count, void* source) {
  auto* text = static_cast<std::string*>(source);
  const size_t n = std::min(text->size(), size * count);
  std::memcpy(buffer, text->data(), n);
  text->erase(0, n);
  return n;
}

bool Upload(int port, const std::string& name, std::string content) {
  CURL* curl = curl_easy_init();
  const std::string url = "ftp://127.0.0.1:" + std::to_string(port) + "/" + name;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_USERPWD, "trilane:photos");
  curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl, CURLOPT_READFUNCTION, ReadFrom);
  curl_easy_setopt(curl, CURLOPT_READDATA, &content);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
  const bool ok = curl_easy_perform(curl) == CURLE_OK;
  curl_easy_cleanup(curl);
  return ok;
}

TEST_F(ServiceProcess, PhotosUploadedByFtpAreServedAndOthersDropped) {
  const int ftpPort = FreePort();
  Service service(data_, {"--ftp-port", std::to_string(ftpPort)});
  const std::string jpeg = std::string("\xFF\xD8\xFF\xE0", 4) + std::string(300, 'j');
  bool uploaded = false;
  for (int attempt = 0; attempt < 50 && !uploaded; ++attempt) {
    uploaded = Upload(ftpPort, "Ann.jpg", jpeg);
    if (!uploaded) usleep(100000);  // the FTP server may still be starting
  }
  ASSERT_TRUE(uploaded);
  EXPECT_TRUE(Upload(ftpPort, "notes.txt", "hello"));
  EXPECT_TRUE(Upload(ftpPort, "Bob.jpg", "not a picture"));
  EXPECT_EQ(Upload(ftpPort, "../escape.jpg", jpeg) && fs::exists(data_ / "escape.jpg"), false);

  auto client = service.Client();
  auto photo = client.Get("/photos/Ann.jpg");
  ASSERT_TRUE(photo);
  EXPECT_EQ(photo->status, 200);
  EXPECT_EQ(photo->body, jpeg);
  for (const char* path : {"/photos/Bob.jpg", "/photos/notes.jpg", "/photos/Zed.jpg"}) {
    auto res = client.Get(path);
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 404) << path;
  }
  EXPECT_FALSE(fs::exists(data_ / "photos" / "notes.txt"));
  EXPECT_EQ(service.Stop(), 0);
}

}  // namespace
