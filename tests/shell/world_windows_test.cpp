// The world windows and the message board against the real club service on 127.0.0.1: the
// categories filled from the service's tables, "No Connect" when it is down, a paused
// service, posting with characters the board does not take, the chat settings file, the
// like, a cycle's entry, and the menu's web pictures.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "assets/assets.h"
#include "platform/graphics/notice.h"
#include "program/club_access.h"
#include "records/club_file.h"
#include "records/settings.h"
#include "rules/game.h"
#include "shell/flags.h"
#include "shell/main_menu.h"
#include "shell/main_window.h"
#include "shell/menu_clocks.h"
#include "shell/modal.h"
#include "shell/title_screen.h"
#include "shell/world/chat_window.h"
#include "shell/world/online_top_window.h"
#include "shell/world/program_world.h"
#include "shell/world/server_write_window.h"
#include "shell/world/stat_window.h"
#include "shell/world/world_top_window.h"
#include "tests/web/club_service_process.h"
#include "web/curl_transport.h"
#include "web/information_clock.h"
#include "words/words.h"

namespace trilane {
namespace {

namespace fs = std::filesystem;
using web::testing::ClubService;

QApplication& App() {
  static int argc = 1;
  static char name[] = "shell_world_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    auto* a = new QApplication(argc, argv);
    InitAssets();
    return a;
  }();
  return *app;
}

// A folder of its own for each test, with the program folder "Trilane" inside it: the chat
// settings file, which lies above the program folder, stays in the test's folder.
class TestFolder {
 public:
  TestFolder() {
    std::random_device rd;
    dir_ = fs::temp_directory_path() /
           ("trilane-world-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    fs::create_directories(Program());
    EXPECT_FALSE(SaveClubFile(Program() / kClubFileName, NewClubFile(false)).has_value());
    EXPECT_FALSE(SaveClubFile(Program() / kNetClubFileName, NewClubFile(true)).has_value());
  }
  ~TestFolder() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path Program() const { return dir_ / "Trilane"; }
  fs::path ChatFile() const { return dir_ / "QorChatQor.ini"; }

 private:
  fs::path dir_;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Notices as they are asked for, without a window.
class RecordedNotices : public NoticeSink {
 public:
  void ShowNotice(const NoticeLine& line1, const NoticeLine&, const NoticeLine&) override {
    words.push_back(line1.word);
  }
  std::vector<int> words;
};

// Answers every modal window at once and remembers what was shown.
class Responder {
 public:
  Responder() {
    SetModalAutoClose(-1);
    SetModalShownHook([this](QWidget& window) {
      windows.push_back(window.objectName());
      if (auto* box = qobject_cast<QMessageBox*>(&window)) {
        messages.push_back(box->text());
        QAbstractButton* yes = box->button(QMessageBox::Yes);
        (yes ? yes : box->button(QMessageBox::Ok))->click();
        return;
      }
      if (auto* dialog = qobject_cast<QDialog*>(&window)) dialog->reject();
    });
  }
  ~Responder() { SetModalShownHook({}); }
  std::vector<QString> windows;
  std::vector<QString> messages;
};

// An address where nothing listens.
std::string DeadService() {
  return "http://127.0.0.1:" + std::to_string(web::testing::FreePort()) + "/directory.txt";
}

class WorldWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    SetLanguageIndex(kEnglish);
    settings_.TopTenNick = "Ann";
    settings_.TopTenCity = "Oslo";
    settings_.TopTenCountry = "1-035";
    settings_.TopTenSex = "W";
    settings_.Liked = false;
  }
  void TearDown() override { web::SetServiceOverride(std::nullopt); }

  // The services of a program whose service directory is `directory`.
  std::unique_ptr<WorldServices> Services(const std::string& directory) {
    web::SetServiceOverride(directory);
    return std::make_unique<WorldServices>(settings_, folder_.Program(), nullptr, &notices_);
  }

  // Writes straight to the service, as other players would.
  void Seed(const std::string& url, int64_t gid, const std::string& nick, const std::string& city,
            const std::string& country, const std::string& sex, int64_t score,
            const std::string& text = "#") {
    web::CurlTransport transport;
    web::WebClient client(transport, *web::AddressesUnder(url + "/directory.txt"));
    const auto saved = client.WebSaveRecord(gid, nick, city, country, score, sex, "#", text);
    ASSERT_TRUE(saved.ok) << nick;
  }

  TestFolder folder_;
  TSettings settings_;
  RecordedNotices notices_;
};

TEST_F(WorldWindowsTest, CategoriesAreFilledFromTheServiceAndTheClubFile) {
  ClubService service;
  ASSERT_FALSE(service.Url().empty());
  Seed(service.Url(), kWindowsTableId, "Ann", "Oslo", "1-035", "W", 120);
  Seed(service.Url(), kWindowsTableId, "Bob", "Rome", "1-024", "M", 80);
  Seed(service.Url(), kWindowsTableId, "Ann", "Oslo", "1-035", "W", 40);
  Seed(service.Url(), kAndroidTableId, "Kim", "Seoul", "2-021", "M", 300);
  auto services = Services(service.Url() + "/directory.txt");

  WorldTopWindow window(*services, WorldCategory::kWindowsCycles, false, nullptr);
  const WorldCategoryRead& c = window.Shown();
  ASSERT_FALSE(c.list.failed);
  ASSERT_EQ(c.list.rows.size(), 3u);
  EXPECT_EQ(c.list.rows[0], (WorldRow{1, "1-035", "W", "Ann", "Oslo", "120"}));
  EXPECT_EQ(c.list.rows[1], (WorldRow{2, "1-024", "M", "Bob", "Rome", "80"}));
  EXPECT_EQ(c.list.rows[2].value, "40");
  ASSERT_TRUE(c.hasOwn);
  EXPECT_EQ(c.count, 3);
  // The passport's own entries, and no one else's.
  ASSERT_FALSE(c.own.failed);
  ASSERT_EQ(c.own.rows.size(), 2u);
  for (const WorldRow& row : c.own.rows) EXPECT_EQ(row.nick, "Ann");

  window.ShowCategory(WorldCategory::kAndroidCycles);
  ASSERT_EQ(window.Shown().list.rows.size(), 1u);
  EXPECT_EQ(window.Shown().list.rows[0].nick, "Kim");
  EXPECT_EQ(window.Shown().count, 1);
  // The menu's world picture comes back to the last of B, C and D.
  EXPECT_EQ(WorldPictureCategory(services->lastCategory), WorldCategory::kAndroidCycles);

  // Without an account the account table shows its count and no own entries.
  window.ShowCategory(WorldCategory::kAccountCycles);
  EXPECT_FALSE(window.Shown().list.failed);
  EXPECT_TRUE(window.Shown().list.rows.empty());
  EXPECT_EQ(window.Shown().count, 0);
  EXPECT_TRUE(window.Shown().own.rows.empty());

  window.ShowCategory(WorldCategory::kAccountRating);
  EXPECT_FALSE(window.Shown().list.failed);
  window.ChooseOnlineList(1);
  EXPECT_EQ(window.Category(), WorldCategory::kOnline);
  EXPECT_FALSE(window.Shown().list.failed);
  EXPECT_FALSE(window.Shown().hasOwn);

  // F and G: the club files' top tens, whatever the service says.
  window.ShowCategory(WorldCategory::kLocal);
  const ClubFilePtr club = LoadClubInUse(folder_.Program(), false);
  ASSERT_TRUE(club);
  const std::vector<TopTenRow> local = TopTenRows(*club);
  ASSERT_EQ(window.Shown().list.rows.size(), local.size());
  for (size_t i = 0; i < local.size(); ++i) {
    EXPECT_EQ(window.Shown().list.rows[i].place, static_cast<int64_t>(i + 1));
    EXPECT_EQ(window.Shown().list.rows[i].value, std::to_string(local[i].score));
  }
  window.Refresh();
  EXPECT_EQ(window.Category(), WorldCategory::kLocal);
  EXPECT_FALSE(window.grab().isNull());
}

TEST_F(WorldWindowsTest, NoConnectWhenTheServiceIsDown) {
  Responder responder;
  auto services = Services(DeadService());
  WorldTopWindow window(*services, WorldCategory::kWindowsCycles, false, nullptr);
  for (WorldCategory category :
       {WorldCategory::kAccountRating, WorldCategory::kAccountCycles, WorldCategory::kWindowsCycles,
        WorldCategory::kAndroidCycles, WorldCategory::kOnline}) {
    window.ShowCategory(category);
    EXPECT_TRUE(window.Shown().list.failed) << static_cast<int>(category);
  }
  window.ShowCategory(WorldCategory::kWindowsCycles);
  EXPECT_TRUE(window.Shown().own.failed);
  EXPECT_FALSE(window.Shown().count);
  // The club file's table needs no service.
  window.ShowCategory(WorldCategory::kLocal);
  EXPECT_FALSE(window.Shown().list.failed);

  StatWindow stats(*services, nullptr);
  EXPECT_TRUE(stats.Shown().failed);

  // The watch finds nothing to compare and leaves the shared folder alone.
  web::CurlTransport transport;
  web::WebClient client(transport, services->Addresses());
  EXPECT_FALSE(CheckChat(client, folder_.Program()).read);
  EXPECT_FALSE(fs::exists(folder_.ChatFile()));

  OnlineTopWindow online(*services, nullptr);
  EXPECT_TRUE(online.Shown().list.failed);

  ChatWindow chat(*services, 0, nullptr);
  EXPECT_TRUE(chat.Board().failed);
  chat.Input()->setText("Hello");
  EXPECT_FALSE(chat.Send());
  ServerWriteWindow entry(*services, 77, nullptr);
  EXPECT_FALSE(entry.Send());
  EXPECT_FALSE(entry.Place());
  const std::vector<QString> expected = {WordText(kWordCantSendMessage),
                                         WordText(kWordCantWriteResult)};
  EXPECT_EQ(responder.messages, expected);
}

TEST_F(WorldWindowsTest, APausedServiceOpensNeitherTheTablesNorTheBoard) {
  ClubService service;
  std::ofstream(service.DataFolder() / "club.conf") << "world_top_paused = 1\nchat_paused = 1\n";
  auto services = Services(service.Url() + "/directory.txt");
  EXPECT_FALSE(services->Addresses().worldTopAvailable);
  EXPECT_FALSE(services->Addresses().chatAvailable);

  // Through the main window, as the menu's pictures open them.
  TestFolder folder;
  Responder responder;
  auto window = std::make_unique<MainWindow>(CommandLine{},
                                             QString::fromStdString(folder.Program().string()));
  window->show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Initialised(); }, 5000));
  auto wiring = OfferWorldWindows(*window);
  const int before = window->Notices().Shown();
  wiring->OpenWorldTop(0, true);
  wiring->OpenChat();
  EXPECT_EQ(window->Notices().Shown(), before + 2);
  EXPECT_EQ(std::count(responder.windows.begin(), responder.windows.end(), "FormServerRead"), 0);
  EXPECT_EQ(std::count(responder.windows.begin(), responder.windows.end(), "FormChat"), 0);
  EXPECT_EQ(std::count(responder.windows.begin(), responder.windows.end(), "FormLink"), 2);
}

TEST_F(WorldWindowsTest, PostingReplacesDisallowedCharactersAndShowsThemAsBlanks) {
  ClubService service;
  Seed(service.Url(), kBoardId, "Bob", "Rome", "1-024", "M", 1, "First");
  auto services = Services(service.Url() + "/directory.txt");

  ChatWindow chat(*services, 0, nullptr);
  ASSERT_FALSE(chat.Board().failed);
  EXPECT_EQ(chat.Board().Newest(), 1);
  ASSERT_TRUE(chat.InputAllowed());
  // Blanks, "#", Chinese: all become "_" before posting.
  chat.Input()->setText(QString::fromUtf8("Hi there #1 \xE4\xB8\x96\xE7\x95\x8C ok"));
  ASSERT_TRUE(chat.Send());
  const web::TQorRecord& posted = chat.Board().records[0];
  EXPECT_EQ(posted.Score, 2);
  EXPECT_EQ(posted.Nick, "Ann");
  EXPECT_EQ(posted.R10, "Hi_there__1____ok");
  EXPECT_EQ(ShownBoardText(posted.R10), "Hi there  1    ok");
  EXPECT_NE(posted.R09.find("_Trilane"), std::string::npos) << posted.R09;
  EXPECT_EQ(MessageHeader(posted).toStdString().rfind("Oslo : ", 0), 0u);
  // The field waits for the next tick; the file knows the new message as seen.
  EXPECT_TRUE(chat.Input()->text().isEmpty());
  EXPECT_FALSE(chat.Input()->isEnabled());
  EXPECT_EQ(LoadChatSettings(folder_.ChatFile()).lastSeen, 2);

  // A text of nothing but such characters still goes, as a row of "_".
  ChatWindow again(*services, 2, nullptr);
  again.Input()->setText("###");
  ASSERT_TRUE(again.Send());
  EXPECT_EQ(again.Board().records[0].R10, "___");
}

TEST_F(WorldWindowsTest, AnInvalidPassportCannotWrite) {
  ClubService service;
  settings_.TopTenCity = "X";  // one character
  auto services = Services(service.Url() + "/directory.txt");
  ChatWindow chat(*services, 0, nullptr);
  EXPECT_FALSE(chat.InputAllowed());
  EXPECT_FALSE(chat.Input()->isEnabled());
  chat.Input()->setText("Hello");
  EXPECT_FALSE(chat.Send());
}

TEST_F(WorldWindowsTest, TheChatSettingsFileIsCreatedAndRead) {
  ClubService service;
  Seed(service.Url(), kBoardId, "Bob", "Rome", "1-024", "M", 1, "One");
  Seed(service.Url(), kBoardId, "Bob", "Rome", "1-024", "M", 2, "Two");
  auto services = Services(service.Url() + "/directory.txt");
  ASSERT_FALSE(fs::exists(folder_.ChatFile()));

  // A fresh installation: the file is made, and every message above 1 is new.
  web::CurlTransport transport;
  web::WebClient client(transport, services->Addresses());
  const ChatCheck fresh = CheckChat(client, folder_.Program());
  EXPECT_EQ(ReadAll(folder_.ChatFile()), "1\r\n0\r\n0\r\n");
  EXPECT_EQ(fresh.lastSeen, 1);
  EXPECT_EQ(fresh.newest, 2);
  EXPECT_TRUE(fresh.NewMessages());

  {
    ChatWindow chat(*services, fresh.lastSeen, nullptr);
    auto* bottom = chat.findChild<QCheckBox*>("CheckBox1");
    auto* open = chat.findChild<QCheckBox*>("CheckBox2");
    ASSERT_TRUE(bottom && open);
    EXPECT_FALSE(bottom->isChecked());
    bottom->click();
    EXPECT_FALSE(bottom->isEnabled());  // until the next tick
    open->click();
    EXPECT_EQ(ReadAll(folder_.ChatFile()), "1\r\n1\r\n1\r\n");
  }
  ChatWindow reopened(*services, 2, nullptr);
  EXPECT_TRUE(reopened.Options().lastAtBottom);
  EXPECT_TRUE(reopened.Options().openOnNew);

  ASSERT_TRUE(SaveChatSettings(folder_.ChatFile(), {2, true, true}));
  EXPECT_FALSE(CheckChat(client, folder_.Program()).NewMessages());
}

TEST_F(WorldWindowsTest, TheLikeAsksForAPassportNameUnderTheDefaultNick) {
  ClubService service;
  settings_.TopTenNick = "Incognito";
  auto services = Services(service.Url() + "/directory.txt");
  int saves = 0;
  services->saveSettings = [&saves] { return ++saves > 0; };
  Responder responder;

  StatWindow stats(*services, nullptr);
  ASSERT_FALSE(stats.Shown().failed);
  ASSERT_TRUE(stats.LikeButton()->isEnabled());
  EXPECT_EQ(stats.Shown().rows[2].second, "0");

  // Cancelling sends nothing.
  stats.askName = [](const QString&) { return std::nullopt; };
  EXPECT_FALSE(stats.Like());
  EXPECT_FALSE(settings_.Liked);

  std::vector<QString> answers = {"L", "Liker Two", "Liker"};
  size_t asked = 0;
  stats.askName = [&](const QString&) -> std::optional<QString> { return answers[asked++]; };
  ASSERT_TRUE(stats.Like());
  EXPECT_EQ(asked, 3u);  // one character, then a blank: refused
  EXPECT_EQ(settings_.TopTenNick, "Liker");
  EXPECT_TRUE(settings_.Liked);
  EXPECT_EQ(saves, 1);
  EXPECT_FALSE(stats.LikeButton()->isEnabled());
  EXPECT_EQ(stats.Shown().rows[2].second, "1");
  EXPECT_EQ(stats.Shown().rows[3].second, "Liker");

  StatWindow reread(*services, nullptr);
  EXPECT_EQ(reread.Shown().rows[2].second, "1");
  EXPECT_EQ(reread.Shown().rows[3].second, "Liker");
  EXPECT_FALSE(reread.LikeButton()->isEnabled());
}

TEST_F(WorldWindowsTest, ACycleIsEnteredUnderThePassport) {
  ClubService service;
  auto services = Services(service.Url() + "/directory.txt");
  ServerWriteWindow entry(*services, 95, nullptr);
  ASSERT_TRUE(entry.Send());
  EXPECT_EQ(entry.Place(), 1);
  EXPECT_FALSE(entry.findChild<QAbstractButton*>("Button1")->isEnabled());

  WorldTopWindow window(*services, WorldCategory::kWindowsCycles, false, nullptr);
  ASSERT_EQ(window.Shown().list.rows.size(), 1u);
  EXPECT_EQ(window.Shown().list.rows[0], (WorldRow{1, "1-035", "W", "Ann", "Oslo", "95"}));
}

TEST_F(WorldWindowsTest, TheCompactLayoutChoosesTablesWithItsIcons) {
  ClubService service;
  Seed(service.Url(), kAndroidTableId, "Kim", "Seoul", "2-021", "M", 300);
  auto services = Services(service.Url() + "/directory.txt");
  WorldTopWindow window(*services, WorldCategory::kWindowsCycles, true, nullptr);
  EXPECT_EQ(window.width(), 640);
  EXPECT_FALSE(window.findChild<QWidget*>("RxGIFAnA")->isVisible());
  const std::pair<QPoint, WorldCategory> icons[] = {{{110, 310}, WorldCategory::kWindowsCycles},
                                                    {{152, 397}, WorldCategory::kAndroidCycles},
                                                    {{105, 447}, WorldCategory::kAccountCycles}};
  for (auto [point, category] : icons) EXPECT_EQ(WorldTopWindow::CompactIconAt(point), category);
  EXPECT_FALSE(WorldTopWindow::CompactIconAt({104, 310}));
  EXPECT_FALSE(WorldTopWindow::CompactIconAt({110, 349}));
  EXPECT_FALSE(WorldTopWindow::CompactIconAt({153, 310}));

  window.show();
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(120, window.HeaderHeight() + 360));
  EXPECT_EQ(window.Category(), WorldCategory::kAndroidCycles);
  ASSERT_EQ(window.Shown().list.rows.size(), 1u);
  EXPECT_EQ(window.Shown().list.rows[0].nick, "Kim");
}

TEST_F(WorldWindowsTest, TheMenuShowsItsWebPicturesInEveryWindowSize) {
  ClubService service;
  web::SetServiceOverride(service.Url() + "/directory.txt");
  for (int size : {1, 5}) {
    TestFolder folder;
    TSettings chosen;
    chosen.WindowSize = size;
    ASSERT_FALSE(SaveSettings(folder.Program() / kSettingsFileName, chosen).has_value());
    Responder responder;
    auto window = std::make_unique<MainWindow>(CommandLine{},
                                               QString::fromStdString(folder.Program().string()));
    auto wiring = OfferWorldWindows(*window);
    QSignalSpy checked(wiring.get(), &WorldWiring::chatChecked);
    window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Initialised(); }, 5000));
    QTest::keyClick(window->Title(), Qt::Key_Space);
    ASSERT_EQ(window->Screen(), ScreenState::kMainMenu);
    // Entering the menu asks the board for news.
    EXPECT_TRUE(checked.wait(10000));

    const QRect client = window->rect();
    std::vector<QRect> placed;
    for (const char* name : {"ImTR", "ImageAdvR2", "ImageAdvR3", "RxGIFAnChat"}) {
      auto* picture = window->Menu()->findChild<QWidget*>(name);
      ASSERT_NE(picture, nullptr) << name;
      EXPECT_TRUE(picture->isVisible()) << name;
      EXPECT_FALSE(picture->toolTip().isEmpty()) << name;
      EXPECT_TRUE(client.contains(picture->geometry())) << name << " size " << size;
      for (const QRect& other : placed) EXPECT_FALSE(other.intersects(picture->geometry())) << name;
      placed.push_back(picture->geometry());
    }
    // None lies over a button of the menu.
    for (auto* button : window->Menu()->findChildren<QAbstractButton*>()) {
      if (!button->isVisible()) continue;
      for (const QRect& p : placed)
        EXPECT_FALSE(p.intersects(button->geometry())) << button->objectName().toStdString();
    }

    // The tournament without an account: the notice, never a silent click.
    const int before = window->Notices().Shown();
    QTest::mouseClick(window->Menu()->findChild<QWidget*>("ImTR"), Qt::LeftButton);
    EXPECT_EQ(window->Notices().Shown(), before + 1);
    // The statistics picture opens its window.
    QTest::mouseClick(window->Menu()->findChild<QWidget*>("ImageAdvR3"), Qt::LeftButton);
    EXPECT_EQ(std::count(responder.windows.begin(), responder.windows.end(), "FStat"), 1);
    QTest::mouseClick(window->Menu()->findChild<QWidget*>("RxGIFAnChat"), Qt::LeftButton);
    EXPECT_EQ(std::count(responder.windows.begin(), responder.windows.end(), "FormChat"), 1);
    QTest::mouseClick(window->Menu()->findChild<QWidget*>("ImageAdvR2"), Qt::LeftButton);
    EXPECT_EQ(std::count(responder.windows.begin(), responder.windows.end(), "FormServerRead"), 1);
    wiring.reset();
    window->CloseWithoutAsking();
  }
}

TEST_F(WorldWindowsTest, TheInformationClockShowsTheBestWindowsPlayersFlag) {
  ClubService service;
  Seed(service.Url(), kWindowsTableId, "Ann", "Oslo", "1-035", "W", 120);
  Seed(service.Url(), kAndroidTableId, "Kim", "Seoul", "2-021", "M", 300);
  web::CurlTransport transport;
  web::WebClient client(transport, *web::AddressesUnder(service.Url() + "/directory.txt"));
  const web::InformationPage windows = web::ReadInformationPage(client, 3, "");
  EXPECT_EQ(windows.country, "1-035");
  EXPECT_EQ(windows.nick, "Ann");
  // The phone table's page has no flag.
  EXPECT_EQ(web::ReadInformationPage(client, 4, "").country, "");

  auto draw = [](const std::string& country) {
    InformationClock clock(nullptr);
    InformationFace face;
    face.page = 3;
    face.icon = "Windows";
    face.value = "120";
    face.country = country;
    clock.SetFace(face);
    return clock.grab().toImage().copy(30, 12, 16, 11);
  };
  const QImage flagged = draw("1-035");
  EXPECT_NE(flagged, draw(""));
  EXPECT_EQ(flagged.convertToFormat(QImage::Format_RGB32),
            FlagPicture("1-035").convertToFormat(QImage::Format_RGB32));
}

TEST_F(WorldWindowsTest, ThePurpleTopTenOpensTheWorldWindowOnTheLocalTable) {
  ClubService service;
  web::SetServiceOverride(service.Url() + "/directory.txt");
  for (bool purple : {false, true}) {
    TestFolder folder;
    TSettings chosen;
    chosen.AuxPurple = purple;
    ASSERT_FALSE(SaveSettings(folder.Program() / kSettingsFileName, chosen).has_value());
    Responder responder;
    auto window = std::make_unique<MainWindow>(CommandLine{},
                                               QString::fromStdString(folder.Program().string()));
    auto wiring = OfferWorldWindows(*window);
    window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Initialised(); }, 5000));
    QTest::keyClick(window->Title(), Qt::Key_Space);
    window->OpenTopTen();
    EXPECT_EQ(std::count(responder.windows.begin(), responder.windows.end(), "FormServerRead"),
              purple ? 1 : 0);
    EXPECT_EQ(std::count(responder.windows.begin(), responder.windows.end(), "FormTopTen"),
              purple ? 0 : 1);
    wiring.reset();
    window->CloseWithoutAsking();
  }
}

TEST_F(WorldWindowsTest, ThePopupItemsHelpAndChatCallTheirHooks) {
  ClubService service;
  web::SetServiceOverride(service.Url() + "/directory.txt");
  TestFolder folder;
  Responder responder;
  auto window = std::make_unique<MainWindow>(CommandLine{},
                                             QString::fromStdString(folder.Program().string()));
  auto wiring = OfferWorldWindows(*window);
  int helps = 0;
  window->SetHelpOpener([&helps] { ++helps; });
  window->show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Initialised(); }, 5000));
  QTest::keyClick(window->Title(), Qt::Key_Space);
  ASSERT_EQ(window->Screen(), ScreenState::kMainMenu);

  bool helpEnabled = false, chatEnabled = false;
  QTimer::singleShot(0, window.get(), [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* help = menu->findChild<QAction*>("Help");
    QAction* chat = menu->findChild<QAction*>("MChat");
    ASSERT_TRUE(help && chat);
    helpEnabled = help->isEnabled();
    chatEnabled = chat->isEnabled();
    menu->close();
    help->trigger();
    chat->trigger();
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                          window->mapToGlobal(QPoint(10, 10)));
  QApplication::sendEvent(window.get(), &event);
  EXPECT_TRUE(helpEnabled);
  EXPECT_TRUE(chatEnabled);
  EXPECT_EQ(helps, 1);
  EXPECT_EQ(std::count(responder.windows.begin(), responder.windows.end(), "FormChat"), 1);
  wiring.reset();
  window->CloseWithoutAsking();
}

TEST_F(WorldWindowsTest, NewMessagesRaiseTheSirenAndOpeningTheBoardLowersIt) {
  ClubService service;
  Seed(service.Url(), kBoardId, "Bob", "Rome", "1-024", "M", 1, "One");
  Seed(service.Url(), kBoardId, "Bob", "Rome", "1-024", "M", 2, "Two");
  web::SetServiceOverride(service.Url() + "/directory.txt");
  TestFolder folder;
  Responder responder;
  auto window = std::make_unique<MainWindow>(CommandLine{},
                                             QString::fromStdString(folder.Program().string()));
  auto wiring = OfferWorldWindows(*window);
  QSignalSpy checked(wiring.get(), &WorldWiring::chatChecked);
  window->show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Initialised(); }, 5000));
  QTest::keyClick(window->Title(), Qt::Key_Space);
  ASSERT_TRUE(checked.wait(10000));
  EXPECT_TRUE(checked.first().first().toBool());
  EXPECT_TRUE(window->Menu()->ChatNews());
  EXPECT_TRUE(window->Menu()->findChild<QWidget*>("GSirenaR")->isVisible());

  window->OpenChat();
  EXPECT_EQ(std::count(responder.windows.begin(), responder.windows.end(), "FormChat"), 1);
  EXPECT_FALSE(window->Menu()->ChatNews());
  EXPECT_EQ(LoadChatSettings(folder.ChatFile()).lastSeen, 2);
  // Nothing new since: the next check stays quiet.
  checked.clear();
  wiring->CheckChatNow();
  ASSERT_TRUE(checked.wait(10000));
  EXPECT_FALSE(checked.first().first().toBool());
  wiring.reset();
  window->CloseWithoutAsking();
}

}  // namespace
}  // namespace trilane
