// The tournament in the running program: the lobby opened from the main window, a seat
// taken there, the game played on the window's table by its autopilot while three headless
// seats of trilane-cli play the others, the end-of-game button, the "T" history line, and
// the lobby again after the game.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <sstream>

#include "../web/club_service_process.h"
#include "records/history_file.h"
#include "shell/main_window.h"
#include "shell/table/table_autopilot.h"
#include "shell/table/table_widget.h"
#include "shell/title_screen.h"
#include "shell/tourney/lobby_window.h"
#include "shell/tourney/tourney_front.h"
#include "shell/widgets/qor_button.h"
#include "table_test_app.h"
#include "tests/program/program_folder.h"
#include "web/curl_transport.h"
#include "web/service_addresses.h"

namespace trilane::tourney {
namespace {

template <class Condition>
bool WaitFor(Condition condition, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > ms) return false;
    QTest::qWait(5);
  }
  return true;
}

TEST(TourneyProgram, AGameFromTheLobbyToTheHistoryAndBack) {
#if !defined(TRILANE_CLUB_SERVICE_BUILT) || !defined(TRILANE_CLI)
  GTEST_SKIP() << "this build has no club service or trilane-cli";
#else
  test::TableTestApp();
  // A clock second of 300 ms: the game is quick, and the table's flights still fit the
  // turns.
  web::testing::ClubService service({"--tourney-base-port",
                                     std::to_string(web::testing::FreePort()),
                                     "--tourney-second-ms", "300"});
  ASSERT_FALSE(service.Url().empty());
  const std::vector<std::string> nicks = {"Ann", "Bob", "Cid", "Dee"};
  const auto address = [](int s) { return QStringLiteral("127.0.0.%1").arg(s == 1 ? 1 : 10 + s); };
  web::CurlTransport transport;
  web::SetServiceOverride(service.Url() + "/directory.txt");
  web::WebClient web(transport, web::ChooseAddresses(transport, nullptr, std::chrono::seconds(5)));
  for (int s = 1; s <= 4; ++s) {
    web::CurlTransport own;
    own.SetLocalAddress(address(s).toStdString());
    web::WebClient client(own, web.Addresses());
    web::TQorUser user = web::ResetUser(nicks[s - 1], "pass1");
    user.City = "Oslo";
    user.Country1 = "Norway";
    user.Country2 = "1-035";
    user.Sex = 'M';
    user.EMail = nicks[s - 1] + "@example.no";
    user.R01 = user.R02 = user.R03 = "xxx";
    ASSERT_EQ(client.WebRegisterUser(user), web::RegisterResult::kCreated);
  }
  const web::WebRead<web::TQorUser> ann = web.WebReadUser("Ann", "pass1");
  ASSERT_TRUE(ann.ok);

  testing::ProgramFolder folder;
  folder.InstallClubFiles();
  MainWindow window(CommandLine{}, QString::fromStdString(folder.Path().string()));
  TourneyContext context;
  context.window = &window;
  context.web = &web;
  context.signedIn = [&] { return std::optional<web::TQorUser>(ann.value); };
  auto front = OfferTourney(std::move(context));
  front->Game().SetTickInterval(300);
  TableAutopilot autopilot(*window.Table(), window.Match());
  autopilot.SetDelay(20);
  autopilot.SetOn(true);
  window.show();
  ASSERT_TRUE(WaitFor([&] { return window.Initialised(); }, 5000));
  QTest::keyClick(window.Title(), Qt::Key_Space);
  ASSERT_EQ(window.Screen(), ScreenState::kMainMenu);
  window.Settings().SoundOn = false;
  window.Settings().FlightSpeed = 6;

  std::vector<std::unique_ptr<QProcess> > seats;
  int lobbiesShown = 0;
  QObject::connect(front.get(), &TourneyFront::lobbyShown, [&] {
    ++lobbiesShown;
    LobbyWindow* lobby = front->Lobby();
    if (lobbiesShown > 1) {
      lobby->reject();  // after the game: back to the menu
      return;
    }
    lobby->ClickSeat(1, 1);
    for (int s = 2; s <= 4; ++s) {
      auto process = std::make_unique<QProcess>();
      process->setProgram(QStringLiteral(TRILANE_CLI));
      process->setArguments({"tourney", "--service",
                             QString::fromStdString(service.Url()) + "/directory.txt", "--nick",
                             QString::fromStdString(nicks[s - 1]), "--password", "pass1", "--table",
                             "1", "--seat", QString::number(s), "--json", "--timeout", "200",
                             "--tick-ms", "300", "--source", address(s)});
      process->start();
      if (!WaitFor([&] { return process->canReadLine(); }, 20000)) return;
      seats.push_back(std::move(process));
    }
  });
  // The end-of-game button is the player's: pressed once the game is over.
  QTimer endPresser;
  QObject::connect(&endPresser, &QTimer::timeout, [&] {
    auto* end = window.Table()->findChild<QorCardsButton*>(QStringLiteral("Button8"));
    if (window.Screen() == ScreenState::kTable && end->isEnabled() &&
        !window.Table()->TimelineBusy())
      end->click();
  });
  endPresser.start(50);
  bool finished = false;
  QObject::connect(front.get(), &TourneyFront::matchFinished, [&] { finished = true; });

  window.OpenTourney();  // returns when the lobby closes for the game
  ASSERT_EQ(lobbiesShown, 1);
  ASSERT_EQ(seats.size(), 3u);
  EXPECT_EQ(window.Screen(), ScreenState::kTable);
  ASSERT_TRUE(WaitFor([&] { return finished && lobbiesShown == 2; }, 150000));
  EXPECT_EQ(window.Screen(), ScreenState::kMainMenu);
  for (auto& p : seats) {
    EXPECT_TRUE(p->state() == QProcess::NotRunning || p->waitForFinished(20000));
    EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
  }

  // The "T" line: the table's names, four games, the tournament's score and rating.
  const web::WebRead<web::OnlineRating> after = web.WebReadRating(kTourneyGameId, "Ann");
  ASSERT_TRUE(after.ok);
  std::ifstream file(folder.Path() / kHistoryFolderName / "Trilane_I0001.hst", std::ios::binary);
  ASSERT_TRUE(file) << "no history file";
  std::stringstream text;
  text << file.rdbuf();
  const std::string first = text.str().substr(0, text.str().find('\r'));
  EXPECT_NE(first.find("Ann/Bob/Cid/Dee"), std::string::npos) << first;
  EXPECT_NE(first.find(std::string(1, MatchKindLetter(kTourneyMatch))), std::string::npos) << first;
  EXPECT_NE(first.find(" " + std::to_string(after.value.Score) + " "), std::string::npos) << first;
  EXPECT_NE(first.find(std::to_string(after.value.Rating) + ",00"), std::string::npos) << first;
  // The pacer's program counted one online game for the table.
  const web::WebRead<web::TQorStat> stats = web.WebReadStats();
  ASSERT_TRUE(stats.ok);
  EXPECT_EQ(stats.value.StatX[5], 1);
  front.reset();
  web::SetServiceOverride(std::nullopt);
#endif
}

}  // namespace
}  // namespace trilane::tourney
