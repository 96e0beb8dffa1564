// The tournament lobby and a seat's club game against the reference club service with its
// tournament tables, three headless seats of trilane-cli at the same table.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <chrono>
#include <string>
#include <vector>

#include "../program/club_member.h"
#include "../web/club_service_process.h"
#include "net/club/club_controller.h"
#include "program/club_match_end.h"
#include "records/settings.h"
#include "shell/layout.h"
#include "shell/modal.h"
#include "shell/table/table_geometry.h"
#include "shell/table/table_widget.h"
#include "shell/tourney/club_game.h"
#include "shell/tourney/lobby_window.h"
#include "shell/tourney/turn_clocks.h"
#include "shell/widgets/qor_button.h"
#include "table/auto_player.h"
#include "table/table_match.h"
#include "table_test_app.h"
#include "web/curl_transport.h"
#include "web/service_addresses.h"
#include "words/words.h"

namespace trilane::tourney {
namespace {

// Runs the event loop until `condition` holds or `ms` milliseconds pass. (QTest's QTRY
// macros write to QTest's own log and return quietly under GoogleTest, so a wait that runs
// out would pass unseen.)
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
#define WAIT_TRUE(condition, ms) \
  ASSERT_TRUE(WaitFor([&] { return static_cast<bool>(condition); }, ms)) << #condition

// ---------------------------------------------------------------------------------------
// Against the reference club service.

using namespace std::chrono_literals;
using web::TQorClient;
using Member = trilane::testing::ClubMember;
namespace fs = std::filesystem;

constexpr int kShortSecondMs = 60;

// The flow's table nobody looks at; it passes the turn clock on to the seat's game.
class ClockedTable : public HeadlessTable {
 public:
  ClubGame* game = nullptr;
  void SetTurnClock(int position, int seconds) override {
    if (game != nullptr) game->ClockSet(position, seconds);
  }
  void StopTurnClocks() override {
    if (game != nullptr) game->ClocksStopped();
  }
};

class TourneyServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef TRILANE_CLUB_SERVICE_BUILT
    GTEST_SKIP() << "this build has no club service";
#endif
    test::TableTestApp();
    SetModalAutoClose(0);
    basePort_ = web::testing::FreePort();
    service_ = std::make_unique<web::testing::ClubService>(
        std::vector<std::string>{"--tourney-base-port", std::to_string(basePort_),
                                 "--tourney-second-ms", std::to_string(kShortSecondMs)});
    ASSERT_FALSE(service_->Url().empty()) << "the service did not start";
  }
  void TearDown() override {
    SetModalAutoClose(-1);
  }

  QorCardsButton* Seat(LobbyWindow& lobby, int table, int seat) {
    const QString name = QStringLiteral("ButtonT%1%2")
                             .arg(table, 2, 10, QLatin1Char('0'))
                             .arg(QChar("abcd"[seat - 1]));
    return lobby.findChild<QorCardsButton*>(name);
  }
  // Caption letters of a table's four buttons as the pure tests write them.
  std::string Shown(LobbyWindow& lobby, int table) {
    std::string out;
    for (int k = 1; k <= 4; ++k) {
      QorCardsButton* b = Seat(lobby, table, k);
      const QString text = b->text();
      char c = 'O';
      if (text == QString::fromStdString(std::string(Word(kWordLogOff)))) c = 'L';
      if (text == QString::fromStdString(std::string(Word(kWordTakeThePlaceOf)))) c = 'T';
      if (text == QString::fromStdString(std::string(Word(kWordFree)))) c = 'F';
      if (text == QString::fromStdString(std::string(Word(kWordServerOff)))) c = 'S';
      out += b->isEnabled() ? c : static_cast<char>(c + ('a' - 'A'));
    }
    return out;
  }

  int basePort_ = 0;
  std::unique_ptr<web::testing::ClubService> service_;
  TSettings settings_;
};

TEST_F(TourneyServiceTest, TakingAndGivingUpASeatAndTheServerGoingOff) {
  Member ann(service_->Url(), "Ann", "127.0.0.1");
  Member bob(service_->Url(), "Bob", "127.0.0.2");
  ASSERT_TRUE(ann.signedIn && bob.signedIn);

  ClockedTable view;
  TableMatch match(view);
  ClubGame game(ClubGameServices{&match, {}, {}});
  view.game = &game;
  LobbyServices services;
  services.web = ann.client.get();
  services.user = ann.account;
  services.game = &game;
  std::vector<std::string> sounds;
  services.playSound = [&sounds](std::string_view name) { sounds.emplace_back(name); };
  LobbyWindow lobby(settings_, std::move(services), nullptr);
  lobby.show();

  EXPECT_TRUE(lobby.ServerOn());
  EXPECT_EQ(lobby.ServerAddress(), "127.0.0.1");
  EXPECT_EQ(lobby.BasePort(), basePort_);
  EXPECT_EQ(lobby.OwnSeatRecord().Nick, "Ann");
  EXPECT_EQ(lobby.findChild<QLabel*>("LabelWe")->text(), "Welcome to the club!");
  for (int t = 1; t <= 10; ++t) EXPECT_EQ(Shown(lobby, t), "Tfff") << "table " << t;

  // Ann takes the first seat of table 3: the club socket connects and introduces the seat.
  QTest::mouseClick(Seat(lobby, 3, 1), Qt::LeftButton);
  EXPECT_EQ(lobby.Held(), (HeldSeat{3, 1}));
  EXPECT_EQ(Shown(lobby, 3), "Ltff");
  EXPECT_EQ(Shown(lobby, 1), "tfff");
  WAIT_TRUE(game.Link() == club::ClubLink::kConnected, 5000);
  EXPECT_EQ(ann.client->WebReadTables().value[2].Seats[0].Nick, "Ann");
  // Neither "Close" nor Esc leaves the lobby while a seat is held.
  EXPECT_FALSE(lobby.findChild<QorCardsButton*>("ButtonOk")->isEnabled());
  lobby.reject();
  EXPECT_TRUE(lobby.isVisible());

  // Bob sits down beside her; the list shows him once it is read again.
  ASSERT_EQ(bob.client->WebTakeSeat("4", kTourneyGameId, 3, 1, TQorClient{"Bob"}, 2),
            web::SeatResult::kTaken);
  lobby.Refresh();
  EXPECT_EQ(Shown(lobby, 3), "Lotf");
  EXPECT_EQ(Seat(lobby, 3, 2)->text(), "Bob : 0");
  // A taken seat is refused with the sound, and nothing else changes.
  lobby.ClickSeat(3, 2);
  EXPECT_EQ(lobby.Held(), (HeldSeat{3, 1}));

  // Ann gives her seat up: the service frees it, the socket closes, the lobby may close.
  QTest::mouseClick(Seat(lobby, 3, 1), Qt::LeftButton);
  EXPECT_FALSE(lobby.Held().Held());
  EXPECT_EQ(game.Link(), club::ClubLink::kNone);
  EXPECT_EQ(ann.client->WebReadTables().value[2].Seats[0].Nick, "X");
  // Bob keeps his seat (his address is not hers), so the third seat stays offered.
  EXPECT_EQ(Shown(lobby, 3), "ToTf");
  EXPECT_EQ(Shown(lobby, 4), "Tfff");
  EXPECT_TRUE(lobby.findChild<QorCardsButton*>("ButtonOk")->isEnabled());

  // She sits down again at table 6, and the service goes away: every seat reads "Server
  // Off", the seat is no longer held, the lamp is off, and the welcome line says so.
  lobby.ClickSeat(6, 1);
  ASSERT_EQ(lobby.Held(), (HeldSeat{6, 1}));
  WAIT_TRUE(game.Link() == club::ClubLink::kConnected, 5000);
  service_.reset();
  // The socket's loss before any deal is the watcher's: "Server connection error!".
  WAIT_TRUE(game.TakeSocketError() || !lobby.Held().Held(), 5000);
  lobby.Refresh();
  EXPECT_FALSE(lobby.ServerOn());
  EXPECT_FALSE(lobby.Held().Held());
  for (int t = 1; t <= 10; ++t) EXPECT_EQ(Shown(lobby, t), "ssss") << "table " << t;
  EXPECT_EQ(lobby.findChild<QLabel*>("LabelWe")->text(), WordText(kWordNoConnect));
  EXPECT_EQ(lobby.findChild<QLabel*>("LabelLamp")->text(),
            WordText(kWordServerLamp) + " " + WordText(kWordOff));
  lobby.reject();
  EXPECT_FALSE(lobby.isVisible());
}

TEST_F(TourneyServiceTest, TheSocketWatcherFreesTheSeatWhenTheTableCannotBeReached) {
  // The web service lists the tables, but no tournament server listens on their ports.
  service_ = std::make_unique<web::testing::ClubService>(std::vector<std::string>{
      "--no-tourney", "--tourney-base-port", std::to_string(web::testing::FreePort())});
  ASSERT_FALSE(service_->Url().empty());
  Member ann(service_->Url(), "Ann", "127.0.0.1");
  ASSERT_TRUE(ann.signedIn);
  ClockedTable view;
  TableMatch match(view);
  ClubGame game(ClubGameServices{&match, {}, {}});
  view.game = &game;
  LobbyServices services;
  services.web = ann.client.get();
  services.user = ann.account;
  services.game = &game;
  LobbyWindow lobby(settings_, std::move(services), nullptr);
  lobby.SetWatchInterval(20);
  lobby.show();
  ASSERT_TRUE(lobby.ServerOn());

  lobby.ClickSeat(2, 1);
  ASSERT_EQ(lobby.Held(), (HeldSeat{2, 1}));
  ASSERT_EQ(ann.client->WebReadTables().value[1].Seats[0].Nick, "Ann");
  // The refused connection is reported by the watcher ("Server connection error!", closed by
  // itself here), which gives the seat up and reads the list again.
  WAIT_TRUE(!lobby.Held().Held(), 5000);
  EXPECT_EQ(ann.client->WebReadTables().value[1].Seats[0].Nick, "X");
  EXPECT_EQ(game.Link(), club::ClubLink::kNone);
  EXPECT_EQ(Shown(lobby, 2), "Tfff");
}

// The pacer's seat played by the program's match owner and the lobby; the three other
// seats by trilane-cli, each from its own loopback address. The game runs to its end, every
// seat agrees on every deal's totals, and the history line of the program's seat is the one
// the tournament's figures give.
TEST_F(TourneyServiceTest, AGameAtATablePlayedToItsEnd) {
#ifndef TRILANE_CLI
  GTEST_SKIP() << "this build has no trilane-cli";
#else
  const std::vector<std::string> nicks = {"Ann", "Bob", "Cid", "Dee"};
  Member ann(service_->Url(), nicks[0], "127.0.0.1");
  ASSERT_TRUE(ann.signedIn);
  std::vector<std::unique_ptr<Member> > others;
  for (int s = 2; s <= 4; ++s) {
    others.push_back(
        std::make_unique<Member>(service_->Url(), nicks[s - 1], "127.0.0." + std::to_string(s)));
    ASSERT_TRUE(others.back()->registered) << nicks[s - 1];
  }

  ClockedTable view;
  TableMatch match(view);
  ClubGame game(ClubGameServices{&match, {}, {}});
  game.SetTickInterval(kShortSecondMs);
  view.game = &game;
  std::vector<std::array<int32_t, 4> > pacerTotals;
  view.onRoundFinished = [&] {
    std::array<int32_t, 4> bySeat{};
    for (int s = 1; s <= 4; ++s) bySeat[s - 1] = match.Flow().RoundTotals()[PositionOf(1, s) - 1];
    pacerTotals.push_back(bySeat);
  };
  AutoPlayer player;
  std::optional<EndMatchRequest> booked;
  QObject::connect(&game, &ClubGame::booked,
                   [&](const EndMatchRequest& request) { booked = request; });
  bool ended = false;
  game.SetAfterEvent([&] {
    if (!game.ClubMode() || ended) return;
    for (;;) {
      const AutoPlayer::Did did = player.Step(match.Flow());
      if (did == AutoPlayer::Did::kNothing) break;
      if (did == AutoPlayer::Did::kEndedMatch) {
        ended = true;
        game.EndGame(player.EndRequest());
        break;
      }
    }
  });

  LobbyServices services;
  services.web = ann.client.get();
  services.user = ann.account;
  services.game = &game;
  LobbyWindow lobby(settings_, std::move(services), nullptr);
  lobby.show();
  lobby.ClickSeat(2, 1);
  ASSERT_EQ(lobby.Held(), (HeldSeat{2, 1}));
  WAIT_TRUE(game.Link() == club::ClubLink::kConnected, 5000);

  // The others sit down in order, each once the seat below is connected.
  std::vector<std::unique_ptr<QProcess> > seats;
  for (int s = 2; s <= 4; ++s) {
    auto process = std::make_unique<QProcess>();
    process->setProgram(QStringLiteral(TRILANE_CLI));
    process->setArguments(
        {"tourney", "--service", QString::fromStdString(service_->Url()) + "/directory.txt",
         "--nick", QString::fromStdString(nicks[s - 1]), "--password", "pass1", "--table", "2",
         "--seat", QString::number(s), "--json", "--timeout", "120", "--tick-ms",
         QString::number(kShortSecondMs), "--source", QStringLiteral("127.0.0.%1").arg(s)});
    process->start();
    ASSERT_TRUE(process->waitForStarted(5000));
    QProcess* p = process.get();
    WAIT_TRUE(p->canReadLine() || p->state() == QProcess::NotRunning, 20000);
    const QByteArray seated = p->readLine();
    ASSERT_TRUE(seated.startsWith("{\"seated\""))
        << seated.toStdString() << " " << p->readAllStandardError().toStdString();
    seats.push_back(std::move(process));
  }

  // The fourth seat makes the table full: the server deals and the lobby closes.
  WAIT_TRUE(game.ClubMode() || booked, 10000);
  WAIT_TRUE(!lobby.isVisible(), 5000);
  EXPECT_EQ(game.SeatNames()[3], "Dee");
  WAIT_TRUE(booked.has_value(), 120000);
  EXPECT_TRUE(booked->endMatch);
  EXPECT_TRUE(booked->sendClubResult);
  EXPECT_EQ(booked->rounds, 4);
  ASSERT_EQ(pacerTotals.size(), 4u);

  for (size_t i = 0; i < seats.size(); ++i) {
    QProcess& p = *seats[i];
    // A seat may have finished while the test's loop was running already.
    const bool finished = p.state() == QProcess::NotRunning || p.waitForFinished(20000);
    if (!finished) p.kill();
    ASSERT_TRUE(finished) << p.readAllStandardError().toStdString() << "|"
                          << p.readAllStandardOutput().toStdString();
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), 4) << "seat " << i + 2;
    for (int round = 1; round <= 4; ++round) {
      const std::array<int32_t, 4>& t = pacerTotals[static_cast<size_t>(round - 1)];
      const std::string expected = "{\"round\":" + std::to_string(round) + ",\"totals\":[" +
                                   std::to_string(t[0]) + "," + std::to_string(t[1]) + "," +
                                   std::to_string(t[2]) + "," + std::to_string(t[3]) + "]}";
      EXPECT_EQ(lines[round - 1].toStdString(), expected) << "seat " << i + 2;
    }
  }

  // The service booked the game: the tournament figures give the history line.
  const web::WebRead<web::OnlineRating> after = ann.client->WebReadRating(kTourneyGameId, "Ann");
  ASSERT_TRUE(after.ok);
  EXPECT_EQ(after.value.Kon, 4);
  ClubMatchEnd end;
  end.seatNames = game.SeatNames();
  end.ownName = "Ann";
  end.games = booked->rounds;
  end.tableScore = booked->score;
  end.scoreBefore = game.Start().initialScore;
  end.after = after.value;
  const HistoryRecord record = ClubHistoryRecord(end);
  EXPECT_EQ(record.players, "Ann/Bob/Cid/Dee");
  EXPECT_EQ(record.result, after.value.Score - lobby.OwnSeatRecord().Score);
  EXPECT_EQ(record.rating, static_cast<double>(after.value.Rating));
  const web::WebRead<web::RecordList> top = ann.client->WebReadOnlineTop('s');
  ASSERT_TRUE(top.ok);
  int listed = 0;
  for (const web::TQorRecord& r : top.value) listed += r.Nick != "#" ? 1 : 0;
  EXPECT_EQ(listed, 4);
#endif
}

// The lobby and the table of a club game as players see them, in a Latin, a Cyrillic and a
// CJK language and in the smallest and the largest window: every caption fits its button and
// the turn clock lies clear of the cards, plates, tablets and buttons. With
// TRILANE_SCREENSHOT_DIR set, the pictures are saved there.
TEST_F(TourneyServiceTest, LobbyAndClubTableInThreeScripts) {
#ifndef TRILANE_CLI
  GTEST_SKIP() << "this build has no trilane-cli";
#else
  // A slower clock: the table is looked at while this seat's own clock runs.
  service_ = std::make_unique<web::testing::ClubService>(
      std::vector<std::string>{"--tourney-base-port", std::to_string(web::testing::FreePort()),
                               "--tourney-second-ms", "400"});
  ASSERT_FALSE(service_->Url().empty());
  const char* shotDir = std::getenv("TRILANE_SCREENSHOT_DIR");
  const auto save = [&](QWidget& w, const std::string& name) {
    if (shotDir != nullptr)
      w.grab().save(QString::fromStdString(std::string(shotDir) + "/" + name));
  };
  // This program sits second, from the address its club socket leaves from; the headless
  // seats play from addresses of their own.
  const std::vector<std::string> nicks = {"Boris", "Ann", "Cid", "Dee"};
  const auto cliAddress = [](int s) { return QStringLiteral("127.0.0.%1").arg(10 + s); };
  Member ann(service_->Url(), "Ann", "127.0.0.1");
  ASSERT_TRUE(ann.signedIn);
  for (int s : {1, 3, 4}) {
    Member other(service_->Url(), nicks[s - 1], cliAddress(s).toStdString());
    ASSERT_TRUE(other.registered);
  }

  settings_.SoundOn = false;
  settings_.FlightSpeed = 6;
  TableServices tableServices;
  tableServices.settings = &settings_;
  tableServices.cards = &test::TestCards(1.0);
  TableWidget table(tableServices, nullptr);
  TableMatch match(table.View(), &table.Host());
  table.ShowMatch(match);
  table.ApplyWindowSize(kSmallWindow, QSize(kBaseWidth, kBaseHeight));
  TurnClocks clocks(table, settings_);
  ClubGame game(ClubGameServices{
      &match, {}, [&clocks](int position, int count) { clocks.Show(position, count); }});
  table.SetTurnClockHandler([&game](int position, int seconds) {
    if (position == 0) {
      game.ClocksStopped();
    } else {
      game.ClockSet(position, seconds);
    }
  });

  auto cliSeat = [&](int s) {
    auto process = std::make_unique<QProcess>();
    process->setProgram(QStringLiteral(TRILANE_CLI));
    process->setArguments({"tourney", "--service",
                           QString::fromStdString(service_->Url()) + "/directory.txt", "--nick",
                           QString::fromStdString(nicks[s - 1]), "--password", "pass1", "--table",
                           "1", "--seat", QString::number(s), "--json", "--timeout", "60",
                           "--tick-ms", "400", "--source", cliAddress(s)});
    process->start();
    return process;
  };
  auto pacer = cliSeat(1);
  WAIT_TRUE(pacer->canReadLine(), 20000);

  LobbyServices services;
  services.web = ann.client.get();
  services.user = ann.account;
  services.game = &game;
  services.openTopTen = [](QWidget*) {};
  auto lobby = std::make_unique<LobbyWindow>(settings_, std::move(services), nullptr);
  lobby->show();
  lobby->ClickSeat(1, 2);
  ASSERT_EQ(lobby->Held(), (HeldSeat{1, 2}));
  WAIT_TRUE(game.Link() == club::ClubLink::kConnected, 5000);
  auto third = cliSeat(3);
  WAIT_TRUE(third->canReadLine(), 20000);
  lobby->Refresh();
  const int languages[] = {0, 1, 5};
  for (int language : languages) {
    SetLanguageIndex(language);
    LobbyServices again;
    again.web = ann.client.get();
    again.user = ann.account;
    again.openTopTen = [](QWidget*) {};
    LobbyWindow shown(settings_, std::move(again), nullptr);
    shown.show();
    QTest::qWait(50);
    for (QorCardsButton* b : shown.findChildren<QorCardsButton*>()) {
      const int needed = QFontMetrics(b->font()).horizontalAdvance(b->text());
      EXPECT_LE(needed, b->width() - 6)
          << "language " << language << " " << b->objectName().toStdString() << " \""
          << b->text().toStdString() << "\"";
    }
    for (QLabel* l : shown.findChildren<QLabel*>()) {
      if (l->text().isEmpty()) continue;
      EXPECT_LE(QFontMetrics(l->font()).horizontalAdvance(l->text()), l->width())
          << "language " << language << " " << l->objectName().toStdString();
    }
    save(shown, "lobby-" + std::to_string(language) + ".png");
  }
  SetLanguageIndex(0);

  auto fourth = cliSeat(4);
  // The deal closes the lobby; the pacer starts the round at once, and this seat's own
  // clock runs while it arranges.
  const bool dealt = WaitFor([&] { return game.ClubMode(); }, 20000);
  if (!dealt) {
    for (auto* p : {pacer.get(), third.get(), fourth.get()}) p->kill();
  }
  ASSERT_TRUE(dealt) << pacer->readAllStandardError().toStdString() << "|"
                     << third->readAllStandardError().toStdString() << "|"
                     << fourth->readAllStandardError().toStdString();
  WAIT_TRUE(!lobby->isVisible(), 5000);
  WAIT_TRUE(clocks.ShownPosition() == 4, 20000);
  table.show();
  for (int size : {kSmallWindow, 5}) {
    const WindowGeometry g = GeometryForWindowSize(size, QSize());
    test::TestCards(g.k.kc);
    for (int language : languages) {
      SetLanguageIndex(language);
      table.Retranslate();
      table.ApplyWindowSize(size, g.client);
      table.FinishTimeline();
      QTest::qWait(20);
      // The names came from the table list after the first deal was on the table.
      EXPECT_EQ(table.findChild<QWidget*>(QStringLiteral("ImageSay%1").arg(PositionOf(2, 1)))
                    ->accessibleName(),
                "Boris");
      QLabel* clock = table.findChild<QLabel*>("ImTimer4");
      ASSERT_NE(clock, nullptr);
      EXPECT_TRUE(clock->isVisible());
      const TableGeometry geo = ComputeTableGeometry(
          table.TableLayout(), tableServices.cards->CardW(), tableServices.cards->CardH());
      for (int p = 1; p <= 4; ++p) {
        const QRect c = table.findChild<QLabel*>(QStringLiteral("ImTimer%1").arg(p))->geometry();
        const std::vector<std::pair<const char*, QRect> > elements = {
            {"own rows", OwnRowsArea(geo)},   {"hand 1", SeatRowsArea(geo, 1)},
            {"hand 2", SeatRowsArea(geo, 2)}, {"hand 3", SeatRowsArea(geo, 3)},
            {"tablet 1", geo.tablets[0]},     {"tablet 2", geo.tablets[1]},
            {"tablet 3", geo.tablets[2]},     {"tablet 4", geo.tablets[3]},
            {"plate 1", geo.plates[0]},       {"plate 2", geo.plates[1]},
            {"plate 3", geo.plates[2]},       {"action", geo.actionButton},
            {"end", geo.endButton},           {"memo", geo.memo},
            {"round", geo.roundBox}};
        for (const auto& [name, rect] : elements)
          EXPECT_FALSE(c.intersects(rect))
              << "clock " << p << " covers " << name << " at size " << size;
        EXPECT_TRUE(table.rect().contains(c)) << "clock " << p;
      }
      save(table, "club-table-" + std::to_string(size) + "-" + std::to_string(language) + ".png");
    }
  }
  SetLanguageIndex(0);
  test::TestCards(1.0);

  // A player whose program dies ends the game for the others, who are told who left and
  // that they won; the table offers only the way back to the menu.
  QString stopLine, stopSecond;
  QObject::connect(&game, &ClubGame::stopped, [&](const QString& line, const QString& second) {
    stopLine = line;
    stopSecond = second;
  });
  fourth->kill();
  WAIT_TRUE(!stopLine.isEmpty(), 20000);
  EXPECT_EQ(stopLine, "Player Dee interrupted the game!");
  EXPECT_EQ(stopSecond, WordText(kWordYouWon));
  EXPECT_EQ(game.Link(), club::ClubLink::kFinished);
  EXPECT_EQ(clocks.ShownPosition(), 0);
  table.FinishTimeline();
  EXPECT_FALSE(table.ActionButtonEnabled());
  const EndMatchRequest request = match.Flow().OnEndButton();
  EXPECT_TRUE(request.endMatch);
  game.Leave();
  for (auto* p : {pacer.get(), third.get(), fourth.get()})
    if (p->state() != QProcess::NotRunning && !p->waitForFinished(20000)) p->kill();
#endif
}

}  // namespace
}  // namespace trilane::tourney
