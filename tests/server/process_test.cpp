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
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "server/text_rules.h"
#include "tests/web/club_service_process.h"

namespace fs = std::filesystem;

namespace {

const char kService[] = TRILANE_PROGRAM_DIR "/trilane-club-service";

// Below the kernel's range of automatic ports, as the web layer's service tests pick them.
using trilane::web::testing::FreePort;

// With TRILANE_TEST_POSTGRES set (.ci/run sets it inside a temporary PostgreSQL cluster,
// whose PGHOST, PGPORT, PGUSER and PGPASSWORD the tools and the service read), every
// service keeps its club in a PostgreSQL database of its own data folder instead of SQLite:
// the same tests then hold both stores to the same answers.
bool PostgresStores() {
  const char* on = std::getenv("TRILANE_TEST_POSTGRES");
  return on && *on && std::string(on) != "0";
}

std::string PostgresDatabaseFor(const fs::path& data) {
  return "club_" + std::to_string(std::hash<std::string>{}(data.string()));
}

// Drops the data folder's database and, when `create`, makes it new and empty.
void ResetPostgresDatabase(const fs::path& data, bool create) {
  if (!PostgresStores()) return;
  const std::string name = PostgresDatabaseFor(data);
  ASSERT_EQ(std::system(("dropdb --if-exists " + name + " >/dev/null").c_str()), 0);
  if (create) {
    ASSERT_EQ(std::system(("createdb " + name).c_str()), 0) << "createdb " << name;
  }
}

class Service {
 public:
  explicit Service(const fs::path& data, std::vector<std::string> extra = {}) {
    int out[2];
    if (pipe(out) != 0) return;
    std::vector<std::string> args = {kService, "--listen",    "127.0.0.1:0",
                                     "--data", data.string(), "--fast-hashes"};
    if (PostgresStores())
      args.insert(args.end(), {"--store", "dbname=" + PostgresDatabaseFor(data)});
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
  pid_t pid() const { return pid_; }
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
    ResetPostgresDatabase(data_, true);
  }
  void TearDown() override {
    fs::remove_all(data_);
    ResetPostgresDatabase(data_, false);
  }
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
  EXPECT_FALSE(Upload(ftpPort, "notes.txt", "hello"));  // only <nick>.jpg is taken
  EXPECT_FALSE(Upload(ftpPort, "Bob.jpg", "not a picture"));  // an FTP error, not "226"
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

// ---- Calls from chosen loopback addresses, as players behind one address or several ----

size_t Collect(char* data, size_t size, size_t count, void* sink) {
  static_cast<std::string*>(sink)->append(data, size * count);
  return size * count;
}

// A post with the access token from a chosen address of 127.0.0.0/8; "" when no reply came.
std::string PostFrom(const Service& service, const std::string& from, const std::string& script,
                     const std::string& body) {
  CURL* curl = curl_easy_init();
  const std::string url =
      "http://127.0.0.1:" + std::to_string(service.port()) + "/scripts/" + script;
  const std::string source = "host!" + from;
  std::string reply;
  long status = 0;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_INTERFACE, source.c_str());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "MosaicTurnKey");
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
  const bool ok = curl_easy_perform(curl) == CURLE_OK;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_cleanup(curl);
  return ok && status == 200 ? reply : "";
}

// A player of the club at one address.
struct Player {
  const Service& service;
  std::string nick;
  std::string address = "127.0.0.1";

  std::string Post(const std::string& script, const std::string& body) const {
    return PostFrom(service, address, script, body);
  }
  std::string Register() const {
    return Post("account", "nick=" + nick +
                               "&pw=abcd&city=Oslo&country1=Norway&country2=1-035&sex=W"
                               "&email=a@b.c&dater=01.01.1990&R01=xxx&R02=xxx&R03=xxx&R04=0"
                               "&R05=0&R06=0");
  }
  std::string SignIn(const std::string& password = "abcd") const {
    return Post("account", "nick=" + nick + "&&pw=" + password + "&&label0=0");
  }
  std::string Qors() const { return Post("account", "nick=" + nick + "&&labelqorread=0"); }
  std::string MoveQors(int64_t amount) const {
    return Post("account", "nick=" + nick + "&labelqorsave=0&R04=" + std::to_string(amount));
  }
  std::string SaveProfile(const std::string& about) const {
    return Post("account", "nick=" + nick + "&labelinfosave=0&namei=" + nick + "&about=" + about);
  }
  // Takes (can=1) or gives up (can=0, 2) a tournament seat.
  std::string Seat(int table, int seat, int can = 1) const {
    const std::string s = std::to_string(seat);
    return Post("tourney", "client4on" + s + "=0&gid=94&num=" + std::to_string(table) +
                               "&can=" + std::to_string(can) + "&nick" + s + "=" + nick);
  }
};

// The figures a rated match leaves, kept as the program keeps them.
struct Rated {
  int64_t kon = 0, best = 0, sessions = 0, konl = 0, score = 0;
  double rating = 0;
};

std::string ResultsBody(const std::string& nick, const Rated& r) {
  return "nick=" + nick + "&pw=abcd&crdtrilanekon=" + std::to_string(r.kon) +
         "&crdtrilanebest=" + std::to_string(r.best) +
         "&crdtrilanerating=" + trilane::club::FormatReal(r.rating) +
         "&crdtrilaneses=" + std::to_string(r.sessions) +
         "&crdtrilanekonl=" + std::to_string(r.konl) +
         "&crdtrilanescore=" + std::to_string(r.score) + "&crdtrilaneR1=0&crdtrilaneR2=#";
}

// The pre-charge of a rated match: "" when refused.
std::string PreCharge(const Player& p, Rated& local) {
  const double k = static_cast<double>(local.kon);
  Rated pre = local;
  pre.kon += 4;
  pre.rating = (k * (local.rating - k / 80) - 40) / (k + 4) + (k + 4) / 80;
  pre.konl = 0;
  pre.score = 0;
  const std::string reply = p.Post("account", ResultsBody(p.nick, pre));
  if (reply == "ok") local = pre;
  return reply;
}

// The booking of a match scored m after its pre-charge, from the figures before the
// pre-charge (`before`); the reply.
std::string Book(const Player& p, const Rated& before, Rated& local, int64_t m) {
  const double k1 = static_cast<double>(local.kon);
  Rated after = local;
  after.rating = k1 / 80 + (40 + k1 * (local.rating - k1 / 80) + m) / k1;
  const int64_t b = before.score + m;
  if (before.konl + 4 >= 80) {
    after.best = std::max(before.best, b);
    after.sessions = before.sessions + 1;
    after.konl = 0;
    after.score = 0;
  } else {
    after.konl = before.konl + 4;
    after.score = b;
  }
  const std::string reply = p.Post("account", ResultsBody(p.nick, after));
  if (reply == "ok") local = after;
  return reply;
}

bool PlayMatch(const Player& p, Rated& local, int64_t m) {
  const Rated before = local;
  return PreCharge(p, local) == "ok" && Book(p, before, local, m) == "ok";
}

class Club : public ServiceProcess {
 protected:
  // Plays a whole cycle of twenty matches for the signed-in player: the first scored
  // `first`, the others 1.
  void PlayCycle(const Player& p, Rated& local, int64_t first) {
    for (int match = 0; match < 20; ++match) {
      ASSERT_TRUE(PlayMatch(p, local, match == 0 ? first : 1)) << "match " << match;
    }
    ASSERT_EQ(local.sessions, 1);
  }
  static std::string AccountEntry(const std::string& nick, int64_t score) {
    return "gid=1114&nick=" + nick + "&city=Oslo&country=Norway&score=" + std::to_string(score) +
           "&R7=W&R8=5.7f&R9=#&R10=#*";
  }
};

const std::vector<std::string> kNoLimit = {"--rate", "100000", "--burst", "100000"};
constexpr int kTables = 10;

// A larger club: two service processes on one database, any of them answering any call.
TEST_F(Club, TwoProcessesOnOneDatabaseActAsOne) {
  std::vector<std::string> options = kNoLimit;
  options.push_back("--no-tourney");
  Service first(data_, options);
  Service second(data_, options);
  ASSERT_GT(first.port(), 0);
  ASSERT_GT(second.port(), 0);
  const Player annHere{first, "Ann"};
  const Player annThere{second, "Ann"};
  ASSERT_EQ(annHere.Register(), "ok");
  EXPECT_EQ(annThere.Register(), "is");
  // A sign-in on one process vouches for the calls without a password on the other.
  ASSERT_EQ(annHere.SignIn()[0], '$');
  EXPECT_EQ(annThere.SaveProfile("hello"), "ok");

  // One booking sent 24 times at once, half to each process: booked once.
  Rated local;
  const Rated before = local;
  ASSERT_EQ(PreCharge(annHere, local), "ok");
  std::vector<std::string> replies(24);
  std::vector<std::thread> callers;
  for (int i = 0; i < 24; ++i) {
    callers.emplace_back([&, i] {
      Rated mine = local;
      replies[i] = Book(i % 2 ? annThere : annHere, before, mine, 7);
    });
  }
  for (auto& t : callers) t.join();
  EXPECT_EQ(std::count(replies.begin(), replies.end(), "ok"), 1);

  // Ann asks for the first seat of every table at once through both: she gets one.
  std::vector<std::string> seats(kTables);
  std::vector<std::thread> takers;
  for (int t = 1; t <= kTables; ++t) {
    takers.emplace_back([&, t] { seats[t - 1] = (t % 2 ? annThere : annHere).Seat(t, 1); });
  }
  for (auto& t : takers) t.join();
  EXPECT_EQ(std::count(seats.begin(), seats.end(), "ok"), 1);
}

TEST_F(Club, AnAccountEntryHoldsTheCycleScoreTheServiceBooked) {
  Service service(data_, kNoLimit);
  const Player ann{service, "Ann"};
  ASSERT_EQ(ann.Register(), "ok");
  ASSERT_EQ(ann.SignIn()[0], '$');
  Rated local;
  PlayCycle(ann, local, 7);
  EXPECT_EQ(local.best, 26);
  // The cycle scored 26; the entry claims 16,000 and first place.
  EXPECT_EQ(ann.Post("worldtop", AccountEntry("Ann", 16000)), "$1$");
  const std::string table = ann.Post("worldtop", "gid=1114");
  EXPECT_EQ(table.substr(0, table.find('*') + 1), "$1 1 26 Ann Norway Oslo W 5.7f # #*");
  EXPECT_EQ(table.find("16000"), std::string::npos);
  // One entry per completed cycle, whatever the score claimed.
  EXPECT_EQ(ann.Post("worldtop", AccountEntry("Ann", 26)), "err");
}

TEST_F(Club, RatedMatchesAreBoundedByWhatFourDealsGiveAndCappedPerDay) {
  Service service(data_, kNoLimit);
  const Player ann{service, "Ann"};
  ASSERT_EQ(ann.Register(), "ok");
  ASSERT_EQ(ann.SignIn()[0], '$');
  Rated local;
  // Four deals give one seat at most 4 x 324 points (a Clean Dragon in each).
  Rated before = local;
  ASSERT_EQ(PreCharge(ann, local), "ok");
  EXPECT_EQ(Book(ann, before, local, 1297), "err");
  EXPECT_EQ(Book(ann, before, local, -1297), "err");
  EXPECT_EQ(Book(ann, before, local, 1296), "ok");
  before = local;
  ASSERT_EQ(PreCharge(ann, local), "ok");
  EXPECT_EQ(Book(ann, before, local, -1296), "ok");
  // Forty rated matches a day, the two above included.
  for (int match = 2; match < 40; ++match) ASSERT_TRUE(PlayMatch(ann, local, 0)) << match;
  EXPECT_EQ(PreCharge(ann, local), "err");
  EXPECT_EQ(local.kon, 160);
}

TEST_F(Club, TwoNicksAtOneAddressStopPasswordlessCallsForBoth) {
  Service service(data_, kNoLimit);
  const Player ann{service, "Ann"};
  ASSERT_EQ(ann.Register(), "ok");
  ASSERT_EQ(ann.SignIn()[0], '$');
  // Ann earns the first place's bonus of 25 Qors.
  Rated local;
  PlayCycle(ann, local, 7);
  ASSERT_EQ(ann.Post("worldtop", AccountEntry("Ann", 26)), "$1$");
  ASSERT_EQ(ann.MoveQors(25), "ok");
  ASSERT_EQ(ann.Qors(), "$25$");
  // Alone at her address she may save her profile and sit down without a password.
  EXPECT_EQ(ann.SaveProfile("first"), "ok");
  EXPECT_EQ(ann.Seat(1, 1), "ok");
  EXPECT_EQ(ann.Seat(1, 1, 2), "ok");

  // A neighbour behind the same address signs in as himself...
  const Player mallory{service, "Mallory"};
  ASSERT_EQ(mallory.Register(), "ok");
  ASSERT_EQ(mallory.SignIn()[0], '$');
  // ...and tries to move her balance to himself, to rewrite her profile and to seat her.
  EXPECT_EQ(mallory.MoveQors(25), "err");
  const Player annFromThere{service, "Ann"};
  EXPECT_EQ(annFromThere.MoveQors(-25), "err");
  EXPECT_EQ(ann.Qors(), "$25$");
  EXPECT_EQ(mallory.Qors(), "$0$");
  EXPECT_EQ(annFromThere.SaveProfile("second"), "err");
  EXPECT_EQ(ann.Post("account", "nick=Ann&&labelinforead=0"), "$Ann~~first~~~~~~~~~~~$");
  EXPECT_EQ(annFromThere.Seat(1, 1), "err");
  EXPECT_EQ(mallory.Seat(1, 1), "err");

  // Ann alone at another address is vouched for there.
  const Player annElsewhere{service, "Ann", "127.0.0.2"};
  ASSERT_EQ(annElsewhere.SignIn()[0], '$');
  EXPECT_EQ(annElsewhere.Seat(1, 1), "ok");
  EXPECT_EQ(annElsewhere.MoveQors(-5), "ok");
  EXPECT_EQ(ann.Qors(), "$20$");
}

TEST_F(Club, DebitsOfOneAccountAreCappedPerDay) {
  Service service(data_, kNoLimit);
  const Player ann{service, "Ann"};
  ASSERT_EQ(ann.Register(), "ok");
  ASSERT_EQ(ann.SignIn()[0], '$');
  Rated local;
  PlayCycle(ann, local, 7);
  ASSERT_EQ(ann.Post("worldtop", AccountEntry("Ann", 26)), "$1$");
  ASSERT_EQ(ann.MoveQors(25), "ok");
  for (int debit = 0; debit < 20; ++debit) ASSERT_EQ(ann.MoveQors(-1), "ok") << debit;
  EXPECT_EQ(ann.MoveQors(-1), "err");
  EXPECT_EQ(ann.Qors(), "$5$");
}

TEST_F(Club, GivingUpSeatOneFreesOnlySeatsTakenAtTheSameAddress) {
  Service service(data_, kNoLimit);
  const Player ann{service, "Ann", "127.0.0.1"};
  const Player bob{service, "Bob", "127.0.0.2"};
  const Player cy{service, "Cy", "127.0.0.3"};
  for (const Player* p : {&ann, &bob, &cy}) {
    ASSERT_EQ(p->Register(), "ok");
    ASSERT_EQ(p->SignIn()[0], '$');
  }
  ASSERT_EQ(ann.Seat(2, 1), "ok");
  ASSERT_EQ(bob.Seat(2, 2), "ok");
  ASSERT_EQ(cy.Seat(2, 3), "ok");
  EXPECT_EQ(ann.Seat(2, 1, 2), "ok");
  EXPECT_EQ(ann.Seat(2, 2, 0), "err");
  EXPECT_EQ(ann.Seat(2, 3, 0), "err");
  EXPECT_EQ(ann.Post("tourney", "readclient2=0&&gid=94&&num=2").substr(0, 5), "$Bob ");
  EXPECT_EQ(ann.Post("tourney", "readclient3=0&&gid=94&&num=2").substr(0, 4), "$Cy ");
}

TEST_F(Club, PasswordChecksAreCountedPerAddressAndNick) {
  Service service(data_, kNoLimit);
  const Player ann{service, "Ann"};
  const Player bob{service, "Bob"};
  ASSERT_EQ(ann.Register(), "ok");
  ASSERT_EQ(bob.Register(), "ok");
  // Someone at the address guesses Bob's password all day long.
  auto client = service.Client();
  for (int guess = 0; guess < 300; ++guess) {
    auto res = client.Post("/scripts/account", {{"User-Agent", "MosaicTurnKey"}},
                           "nick=Bob&&pw=guess" + std::to_string(guess) + "&&label0=0",
                           "application/x-www-form-urlencoded");
    ASSERT_TRUE(res);
    ASSERT_EQ(res->body, "no");
  }
  EXPECT_EQ(bob.SignIn(), "no");  // no more checks of Bob's password here today
  EXPECT_EQ(ann.SignIn()[0], '$');
  const Player bobElsewhere{service, "Bob", "127.0.0.2"};
  EXPECT_EQ(bobElsewhere.SignIn()[0], '$');
  // A wrong password stays wrong the second time.
  EXPECT_EQ(ann.SignIn("abce"), "no");
  EXPECT_EQ(ann.SignIn("abce"), "no");
}

TEST_F(Club, DailyLimitsSurviveARestart) {
  {
    Service service(data_, kNoLimit);
    const Player ann{service, "Ann"};
    ASSERT_EQ(ann.Post("stats", "gid=814&stat3=1&stat4=Ann"), "$ ok#");
    ASSERT_EQ(ann.Post("stats", "gid=814&stat3=1&stat4=Ann"), "$ err#");
    EXPECT_EQ(service.Stop(), 0);
  }
  Service again(data_, kNoLimit);
  const Player ann{again, "Ann"};
  EXPECT_EQ(ann.Post("stats", "gid=814&stat3=1&stat4=Ann"), "$ err#");
  const Player elsewhere{again, "Ann", "127.0.0.2"};
  EXPECT_EQ(elsewhere.Post("stats", "gid=814&stat3=1&stat4=Ann"), "$ ok#");
}

// ---- The photo upload under attack ----

// The command lines of the service's child processes.
std::vector<std::string> ChildCommandLines(pid_t parent) {
  std::vector<std::string> lines;
  std::ifstream children("/proc/" + std::to_string(parent) + "/task/" + std::to_string(parent) +
                         "/children");
  for (pid_t child; children >> child;) {
    std::ifstream cmdline("/proc/" + std::to_string(child) + "/cmdline", std::ios::binary);
    lines.emplace_back(std::istreambuf_iterator<char>(cmdline), std::istreambuf_iterator<char>());
  }
  return lines;
}

struct SlowSource {
  size_t sent = 0;
  size_t total = 0;
  fs::path watched;
  bool seen = false;
};

// Feeds a JPEG-looking upload of `total` bytes in 16 KB pieces, looking for the target file
// in the photos folder while the upload runs.
size_t FeedAndWatch(char* buffer, size_t size, size_t count, void* source) {
  auto* s = static_cast<SlowSource*>(source);
  std::error_code ec;
  if (s->sent > 0 && fs::exists(s->watched, ec)) s->seen = true;
  const size_t n = std::min({size * count, s->total - s->sent, size_t{16384}});
  std::memset(buffer, 'j', n);
  if (s->sent == 0 && n >= 3) std::memcpy(buffer, "\xFF\xD8\xFF", 3);
  s->sent += n;
  return n;
}

TEST_F(ServiceProcess, PhotoUploadsAreCheckedAsideAndBoundedInSize) {
  const int ftpPort = FreePort();
  const std::string password = "cellar-door-7";
  Service service(data_, {"--ftp-port", std::to_string(ftpPort), "--ftp-password", password});
  const std::string jpeg = std::string("\xFF\xD8\xFF\xE0", 4) + std::string(300, 'a');
  auto upload = [&](const std::string& name, const std::string& content) {
    CURL* curl = curl_easy_init();
    const std::string url = "ftp://127.0.0.1:" + std::to_string(ftpPort) + "/" + name;
    std::string source = content;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_USERPWD, ("trilane:" + password).c_str());
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, ReadFrom);
    curl_easy_setopt(curl, CURLOPT_READDATA, &source);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
    const bool ok = curl_easy_perform(curl) == CURLE_OK;
    curl_easy_cleanup(curl);
    return ok;
  };
  bool uploaded = false;
  for (int attempt = 0; attempt < 50 && !uploaded; ++attempt) {
    uploaded = upload("Ann.jpg", jpeg);
    if (!uploaded) usleep(100000);  // the FTP server may still be starting
  }
  ASSERT_TRUE(uploaded);
  const fs::path photos = data_ / "photos";

  // The password is nowhere on a command line of the service's children.
  const auto lines = ChildCommandLines(service.pid());
  ASSERT_FALSE(lines.empty());
  for (const std::string& line : lines) EXPECT_EQ(line.find(password), std::string::npos);

  // An upload over Ann's photo that is no picture is refused and leaves her photo alone.
  EXPECT_FALSE(upload("Ann.jpg", "not a picture at all"));
  std::ifstream kept(photos / "Ann.jpg", std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), jpeg);

  // A 4 MB upload is cut off past 512 KB and never shows in the photos folder.
  SlowSource big{0, 4 << 20, photos / "Big.jpg"};
  CURL* curl = curl_easy_init();
  const std::string url = "ftp://127.0.0.1:" + std::to_string(ftpPort) + "/Big.jpg";
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_USERPWD, ("trilane:" + password).c_str());
  curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl, CURLOPT_READFUNCTION, FeedAndWatch);
  curl_easy_setopt(curl, CURLOPT_READDATA, &big);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
  const CURLcode result = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  EXPECT_NE(result, CURLE_OK);
  EXPECT_LT(big.sent, big.total);
  EXPECT_FALSE(big.seen);
  EXPECT_FALSE(fs::exists(photos / "Big.jpg"));
  // Nothing of it is left behind beside the photos either.
  auto leftOver = [&] {
    std::error_code ec;
    return fs::exists(data_ / "photo-uploads", ec) && !fs::is_empty(data_ / "photo-uploads", ec);
  };
  for (int i = 0; i < 20 && leftOver(); ++i) usleep(50000);
  EXPECT_FALSE(leftOver());
  EXPECT_EQ(service.Stop(), 0);
}

}  // namespace
