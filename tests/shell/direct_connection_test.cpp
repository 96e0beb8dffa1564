// Host and joiner connections in one process over real loopback sockets: seating through the
// waiting window, a whole match played by the computer on every seat, chat both ways, and
// games that end because a player left or the host was never there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <memory>

#include "records/settings.h"
#include "shell/direct/chat_panel.h"
#include "shell/direct/direct_play_connection.h"
#include "shell/direct/direct_play_front.h"
#include "shell/direct/network_fields.h"
#include "shell/direct/wait_window.h"
#include "shell/modal.h"
#include "shell/table/table_widget.h"
#include "shell/widgets/qor_button.h"
#include "table/auto_player.h"
#include "table/table_match.h"
#include "table_test_app.h"
#include "tests/program/program_folder.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kWaitMs = 20000;

QString InterruptedText() {
  return ShownText(direct::InterruptedGameMessage());
}

// One machine of the game: a table nobody looks at, its seat played by the computer after
// every event, and the connection.
class Machine : private FlowHost {
 public:
  explicit Machine(uint32_t seed) : match_(view_, this) {
    DirectPlayServices services;
    services.match = &match_;
    services.seed = seed;
    services.playSound = [this](std::string_view name) { sounds.emplace_back(name); };
    connection = std::make_unique<DirectPlayConnection>(services);
    connection->SetTickInterval(2);
    connection->SetAfterEvent([this] { Play(); });
    view_.onRoundFinished = [this] { ++roundsFinished; };
  }

  void Play() {
    if (!autoplay || !match_.Network()) return;
    for (;;) {
      const auto did = player_.Step(match_.Flow());
      if (did == AutoPlayer::Did::kNothing) return;
      if (did == AutoPlayer::Did::kEndedMatch) {
        ended = true;
        return;
      }
    }
  }
  RoundFlow& Flow() { return match_.Flow(); }
  const EndMatchRequest& EndRequest() const { return player_.EndRequest(); }
  // Totals by NetId.
  std::array<int32_t, 4> Totals() const {
    std::array<int32_t, 4> byNetId{};
    const RoundFlow& flow = match_.Flow();
    const int own = flow.Setup().ownSeat;
    for (int k = 1; k <= 4; ++k) byNetId[k - 1] = flow.RoundTotals()[PositionOf(own, k) - 1];
    return byNetId;
  }
  bool Heard(const std::string& sound) const {
    return std::find(sounds.begin(), sounds.end(), sound) != sounds.end();
  }

  std::vector<std::string> sounds;
  int roundsFinished = 0;
  bool ended = false;
  bool autoplay = true;

 private:
  void FlowLeaving() override {}
  void FlowArrived(RoundFlow& flow) override {
    flow.SetReentryHandler(
        [](std::string_view entry) { ADD_FAILURE() << "re-entered " << std::string(entry); });
  }

  HeadlessTable view_;
  TableMatch match_;
  AutoPlayer player_;

 public:
  // Last, so the connection (and its controller) goes before the match that names it.
  std::unique_ptr<DirectPlayConnection> connection;
};

MatchStart Start(const char* name) {
  MatchStart start;
  start.name = name;
  return start;
}

// A host listening on a free loopback port, with `joiners` seated.
void Seat(Machine& host, std::vector<Machine*> joiners) {
  QString error;
  ASSERT_TRUE(host.connection->StartHosting("Host", QHostAddress::LocalHost, 0, &error))
      << error.toStdString();
  const quint16 port = host.connection->ListeningPort();
  ASSERT_NE(port, 0);
  int expected = 0;
  for (Machine* joiner : joiners) {
    ++expected;
    QSignalSpy seated(joiner->connection.get(), &DirectPlayConnection::seatedAs);
    joiner->connection->StartJoining("Join", Start("Join"), "127.0.0.1", port);
    ASSERT_TRUE(seated.wait(kWaitMs));
    EXPECT_EQ(seated.at(0).at(0).toInt(), expected + 1);
    EXPECT_EQ(host.connection->Joiners(), expected);
  }
}

TEST(DirectPlayConnectionTest, AWholeMatchOverLoopbackAgreesOnEveryMachine) {
  test::TableTestApp();
  Machine host(7), joiner(0);
  Seat(host, {&joiner});
  // Seated but not dealt: the joiner may not chat yet, and nothing has sounded.
  EXPECT_FALSE(joiner.connection->ChatAllowed());
  EXPECT_FALSE(joiner.connection->SendChat("early"));
  EXPECT_EQ(joiner.connection->Phase(), direct::LinkPhase::kSeated);

  ASSERT_TRUE(host.connection->StartGame(Start("Host"), false));
  EXPECT_TRUE(host.connection->Ticking());
  EXPECT_TRUE(host.connection->ChatAllowed());
  QTRY_VERIFY_WITH_TIMEOUT(joiner.connection->ChatAllowed(), kWaitMs);

  // Chat both ways: others' lines sound, own lines do not.
  QSignalSpy hostLines(host.connection.get(), &DirectPlayConnection::chatLine);
  QSignalSpy joinerLines(joiner.connection.get(), &DirectPlayConnection::chatLine);
  EXPECT_TRUE(joiner.connection->SendChat("hello host"));
  ASSERT_TRUE(hostLines.wait(kWaitMs));
  EXPECT_EQ(hostLines.at(0).at(0).toInt(), 2);
  EXPECT_EQ(hostLines.at(0).at(1).toString(), "hello host");
  EXPECT_FALSE(hostLines.at(0).at(2).toBool());
  EXPECT_TRUE(host.Heard("WToMenK"));
  EXPECT_EQ(joinerLines.count(), 1);  // its own line, at once
  EXPECT_TRUE(joinerLines.at(0).at(2).toBool());
  EXPECT_FALSE(joiner.Heard("WToMenK"));
  EXPECT_FALSE(host.connection->SendChat(""));
  EXPECT_TRUE(host.connection->SendChat("hi"));
  QTRY_COMPARE_WITH_TIMEOUT(joinerLines.count(), 2, kWaitMs);
  EXPECT_EQ(joinerLines.at(1).at(0).toInt(), 1);

  QTRY_VERIFY_WITH_TIMEOUT(host.ended && joiner.ended, kWaitMs * 3);
  EXPECT_EQ(host.roundsFinished, 4);
  EXPECT_EQ(joiner.roundsFinished, 4);
  EXPECT_EQ(host.Totals(), joiner.Totals());
  EXPECT_EQ(host.EndRequest().rounds, 4);
  EXPECT_EQ(joiner.EndRequest().rounds, 4);
  EXPECT_EQ(host.EndRequest().score, host.Totals()[0]);
  EXPECT_EQ(joiner.EndRequest().score, joiner.Totals()[1]);
  EXPECT_EQ(host.connection->PlayerNames(), (std::vector<std::string>{"Host", "Join"}));
  EXPECT_EQ(joiner.connection->PlayerNames(), (std::vector<std::string>{"Host", "Join"}));

  // Leaving after the last result is no interruption for anyone.
  QSignalSpy hostInterrupted(host.connection.get(), &DirectPlayConnection::gameInterrupted);
  QSignalSpy joinerInterrupted(joiner.connection.get(), &DirectPlayConnection::gameInterrupted);
  host.connection->Leave();
  joiner.connection->Leave();
  QTest::qWait(50);
  EXPECT_EQ(hostInterrupted.count(), 0);
  EXPECT_EQ(joinerInterrupted.count(), 0);
  EXPECT_FALSE(host.Heard("WWrongs"));
}

TEST(DirectPlayConnectionTest, AJoinerLeavingEndsTheGameForEveryone) {
  test::TableTestApp();
  Machine host(11), first(0), second(0);
  Seat(host, {&first, &second});
  ASSERT_TRUE(host.connection->StartGame(Start("Host"), false));
  QTRY_VERIFY_WITH_TIMEOUT(second.connection->ChatAllowed() && first.connection->ChatAllowed(),
                           kWaitMs);

  QSignalSpy hostInterrupted(host.connection.get(), &DirectPlayConnection::gameInterrupted);
  QSignalSpy secondInterrupted(second.connection.get(), &DirectPlayConnection::gameInterrupted);
  first.connection.reset();  // the program closed mid-game
  ASSERT_TRUE(hostInterrupted.wait(kWaitMs));
  EXPECT_EQ(hostInterrupted.at(0).at(0).toString(), InterruptedText());
  EXPECT_TRUE(host.Heard("WWrongs"));
  EXPECT_FALSE(host.connection->ChatAllowed());
  EXPECT_FALSE(host.connection->Ticking());
  // With two joiners the host tells the other one ("abort").
  QTRY_COMPARE_WITH_TIMEOUT(secondInterrupted.count(), 1, kWaitMs);
  EXPECT_EQ(secondInterrupted.at(0).at(0).toString(), InterruptedText());
  EXPECT_TRUE(second.Heard("WWrongs"));
  EXPECT_FALSE(second.connection->ChatAllowed());
  // Nothing is pending any more and nothing comes twice.
  QTest::qWait(100);
  EXPECT_EQ(hostInterrupted.count(), 1);
  EXPECT_EQ(secondInterrupted.count(), 1);
  EXPECT_EQ(host.Flow().Stage(), RoundStage::kStopped);
}

TEST(DirectPlayConnectionTest, TheHostLeavingEndsAJoinersGame) {
  test::TableTestApp();
  Machine host(5), joiner(0);
  joiner.autoplay = false;  // it stays in the middle of the round
  Seat(host, {&joiner});
  ASSERT_TRUE(host.connection->StartGame(Start("Host"), false));
  QTRY_VERIFY_WITH_TIMEOUT(joiner.connection->ChatAllowed(), kWaitMs);
  QSignalSpy interrupted(joiner.connection.get(), &DirectPlayConnection::gameInterrupted);
  host.connection->Leave();
  ASSERT_TRUE(interrupted.wait(kWaitMs));
  EXPECT_EQ(interrupted.at(0).at(0).toString(), InterruptedText());
  EXPECT_TRUE(joiner.Heard("WWrongs"));
  EXPECT_FALSE(joiner.connection->Ticking());
}

TEST(DirectPlayConnectionTest, NobodyAtTheAddressReadsNoAccessibleGames) {
  test::TableTestApp();
  quint16 port = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    port = probe.serverPort();
  }
  Machine joiner(0);
  QSignalSpy failed(joiner.connection.get(), &DirectPlayConnection::joinFailed);
  joiner.connection->StartJoining("Join", Start("Join"), "127.0.0.1", port);
  EXPECT_TRUE(joiner.connection->JoinError());
  ASSERT_TRUE(failed.wait(kWaitMs));
  EXPECT_EQ(failed.at(0).at(0).toString(), ShownText(direct::NoAccessibleGamesMessage()));
  EXPECT_TRUE(joiner.connection->JoinError());
  EXPECT_FALSE(joiner.Heard("WWrongs"));
}

TEST(DirectPlayConnectionTest, APortInUseCannotBeHosted) {
  test::TableTestApp();
  QTcpServer holder;
  ASSERT_TRUE(holder.listen(QHostAddress::LocalHost, 0));
  Machine host(1);
  QString error;
  EXPECT_FALSE(
      host.connection->StartHosting("Host", QHostAddress::LocalHost, holder.serverPort(), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(host.connection->PlayingAs(), DirectPlayConnection::Role::kNone);
}

// The player window's OK through the waiting windows: the joiner's closes when it is
// seated, the host's "Ok" starts the game; a host that cancels goes back to the player
// window with nothing listening.
TEST(DirectPlayConnectionTest, WaitingWindowsOpenTheTable) {
  test::TableTestApp();
  TSettings settings;
  Machine host(3), joiner(0);
  QString error;
  ASSERT_TRUE(host.connection->StartHosting("Host", QHostAddress::LocalHost, 0, &error));
  NetChoice choice;
  choice.joining = true;
  choice.address = "127.0.0.1";
  choice.port = host.connection->ListeningPort();

  // A window of the host's that is not the connection's: its "Ok" once someone sits.
  WaitWindow hostWindow(settings, WaitWindow::Role::kHost, nullptr);
  QObject::connect(host.connection.get(), &DirectPlayConnection::joinerSeated, &hostWindow,
                   [&hostWindow](int netId, const QString&) { hostWindow.JoinerSeated(netId); });
  hostWindow.show();
  const bool joined = WaitForTable(*joiner.connection, settings, choice, Start("Join"), nullptr);
  EXPECT_TRUE(joined);
  EXPECT_TRUE(hostWindow.OkEnabled());
  EXPECT_FALSE(hostWindow.CancelEnabled());
  EXPECT_EQ(joiner.connection->NetId(), 2);

  Machine lonely(4);
  NetChoice hosting;
  hosting.port = 0;
  QTimer canceller;
  QObject::connect(&canceller, &QTimer::timeout, [] {
    if (auto* window = qobject_cast<WaitWindow*>(QApplication::activeModalWidget())) {
      QTest::mouseClick(window->findChild<QorCardsButton*>("Button2"), Qt::LeftButton);
    }
  });
  canceller.start(20);
  EXPECT_FALSE(WaitForTable(*lonely.connection, settings, hosting, Start("Host"), nullptr));
  canceller.stop();
  EXPECT_EQ(lonely.connection->ListeningPort(), 0);
}

TEST(DirectPlayConnectionTest, AJoinerLeavingBeforeTheStartClosesTheHostsWaitingWindow) {
  test::TableTestApp();
  TSettings settings;
  quint16 port = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    port = probe.serverPort();
  }
  Machine host(2);
  auto joiner = std::make_unique<Machine>(0);
  QStringList boxes;
  SetModalShownHook([&](QWidget& shown) {
    if (auto* box = qobject_cast<QMessageBox*>(&shown)) {
      boxes << box->text();
      QTimer::singleShot(0, box, [box] { box->done(QMessageBox::Ok); });
    } else if (qobject_cast<WaitWindow*>(&shown) != nullptr) {
      // Someone sits down and leaves again while the host waits.
      QObject::connect(joiner->connection.get(), &DirectPlayConnection::seatedAs,
                       joiner->connection.get(),
                       [&joiner] { QTimer::singleShot(0, [&joiner] { joiner.reset(); }); });
      joiner->connection->StartJoining("Join", Start("Join"), "127.0.0.1", port);
    }
  });
  NetChoice hosting;
  hosting.port = port;
  const bool started = WaitForTable(*host.connection, settings, hosting, Start("Host"), nullptr);
  SetModalShownHook({});
  EXPECT_FALSE(started);
  EXPECT_EQ(joiner, nullptr);
  EXPECT_EQ(boxes, QStringList{InterruptedText()});
  EXPECT_TRUE(host.Heard("WWrongs"));
  EXPECT_EQ(host.connection->Phase(), direct::LinkPhase::kClosed);
}

// The main menu's way in: the player window, the waiting window, the table with the chat
// strip over its message box, and the way back when the joiner leaves mid-game.
TEST(DirectPlayFrontTest, HostingFromThePlayerWindowToTheTableAndBack) {
  test::TableTestApp();
  testing::ProgramFolder folder;
  folder.InstallClubFiles();
  TSettings settings;
  settings.NetMode = true;
  quint16 port = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    port = probe.serverPort();
  }

  TableServices tableServices;
  tableServices.settings = &settings;
  TableWidget table(tableServices, nullptr);
  table.ApplyWindowSize(kSmallWindow, QSize(760, 500));
  table.show();
  HeadlessTable view;
  TableMatch match(view);
  std::vector<std::string> sounds;
  bool tableShown = false, backInMenu = false;
  DirectPlayContext window;
  window.settings = &settings;
  window.table = &table;
  window.programFolder = folder.Path();
  window.playSound = [&](std::string_view name) { sounds.emplace_back(name); };
  window.showTable = [&] { tableShown = true; };
  window.backToMenu = [&] { backInMenu = true; };
  window.match = &match;
  window.seed = 9;
  DirectPlayFront front(window);
  auto joiner = std::make_unique<Machine>(0);
  joiner->autoplay = false;

  QStringList boxes;
  SetModalShownHook([&](QWidget& shown) {
    if (auto* box = qobject_cast<QMessageBox*>(&shown)) {
      boxes << box->text();
      QTimer::singleShot(0, box, [box] { box->done(QMessageBox::Ok); });
    } else if (auto* player = qobject_cast<NetPlayerDialog*>(&shown)) {
      player->findChild<QLineEdit*>("Edit1")->setText("Anna");
      player->findChild<QLineEdit*>("Edit2")->setText("pw");
      player->findChild<QLineEdit*>("Edit3")->setText("pw");
      player->Fields()->PortField()->setText(QString::number(port));
      QTest::mouseClick(player->findChild<QorCardsButton*>("Button1"), Qt::LeftButton);
    } else if (auto* wait = qobject_cast<WaitWindow*>(&shown)) {
      QObject::connect(joiner->connection.get(), &DirectPlayConnection::seatedAs, wait, [wait] {
        QTimer::singleShot(0, wait, [wait] {
          QTest::mouseClick(wait->findChild<QorCardsButton*>("Button1"), Qt::LeftButton);
        });
      });
      joiner->connection->StartJoining("Bo", Start("Bo"), "127.0.0.1", port);
    }
  });
  const bool opened = front.OpenPlayerWindow(6);
  SetModalShownHook({});
  ASSERT_TRUE(opened);
  EXPECT_TRUE(tableShown);
  EXPECT_EQ(settings.ServerPort, std::to_string(port));
  ASSERT_TRUE(front.Playing());
  EXPECT_EQ(front.Connection()->Phase(), direct::LinkPhase::kPlaying);
  EXPECT_EQ(front.Connection()->PlayerNames(), (std::vector<std::string>{"Anna", "Bo"}));

  // The chat strip lies over the table's message box, and moves with the window's size.
  ChatPanel* chat = front.Chat();
  ASSERT_NE(chat, nullptr);
  EXPECT_EQ(chat->parentWidget(), &table);
  EXPECT_EQ(chat->pos(), QPoint(584, 10));
  EXPECT_TRUE(chat->ChatEnabled());
  settings.WindowSize = kLargeWindow;
  table.ApplyWindowSize(kLargeWindow, QSize(1520, 1000));
  EXPECT_EQ(chat->pos(), QPoint(1168, 20));

  QTRY_VERIFY_WITH_TIMEOUT(joiner->connection->ChatAllowed(), kWaitMs);
  EXPECT_TRUE(joiner->connection->SendChat("hi Anna"));
  QTRY_COMPARE_WITH_TIMEOUT(chat->Lines().Lines()[0].writer, 2, kWaitMs);
  EXPECT_EQ(chat->Lines().Lines()[0].text, "hi Anna");
  QTest::keyClicks(chat->Field(), "hi Bo");
  QTest::keyClick(chat->Field(), Qt::Key_Return);
  EXPECT_EQ(chat->Lines().Lines()[1].writer, 1);
  QSignalSpy joinerLines(joiner->connection.get(), &DirectPlayConnection::chatLine);
  ASSERT_TRUE(joinerLines.wait(kWaitMs));
  EXPECT_EQ(joinerLines.at(0).at(1).toString(), "hi Bo");

  // The joiner's program goes away mid-game: the message, then the main menu.
  SetModalShownHook([&](QWidget& shown) {
    if (auto* box = qobject_cast<QMessageBox*>(&shown)) {
      boxes << box->text();
      QTimer::singleShot(0, box, [box] { box->done(QMessageBox::Ok); });
    }
  });
  joiner.reset();
  QTRY_VERIFY_WITH_TIMEOUT(backInMenu, kWaitMs);
  SetModalShownHook({});
  EXPECT_EQ(boxes, QStringList{InterruptedText()});
  EXPECT_FALSE(front.Playing());
  EXPECT_EQ(front.Chat(), nullptr);
  EXPECT_NE(std::find(sounds.begin(), sounds.end(), "WWrongs"), sounds.end());
}

}  // namespace
}  // namespace trilane
