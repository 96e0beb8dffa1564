// Two programs in one process play a network match over loopback from their main menus:
// the player windows, the waiting windows, the tables with their chat strips, a whole
// match of four played by the tables' own autoplay, and the end of the match into the
// "N" history line and the network club files.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include "assets/assets.h"
#include "records/club_file.h"
#include "records/history_file.h"
#include "shell/direct/chat_panel.h"
#include "shell/direct/program_direct_play.h"
#include "shell/direct/wait_window.h"
#include "shell/main_window.h"
#include "shell/modal.h"
#include "shell/table/table_autopilot.h"
#include "shell/table/table_widget.h"
#include "shell/title_screen.h"
#include "shell/widgets/qor_button.h"
#include "table_test_app.h"
#include "tests/program/program_folder.h"
#include "words/words.h"

namespace trilane {
namespace {

using testing::ProgramFolder;

struct Program {
  ProgramFolder folder;
  std::unique_ptr<MainWindow> window;
  std::unique_ptr<DirectPlayFront> directPlay;
  std::unique_ptr<TableAutopilot> autopilot;

  void Start() {
    folder.InstallClubFiles();
    window =
        std::make_unique<MainWindow>(CommandLine{}, QString::fromStdString(folder.Path().string()));
    directPlay = OfferDirectPlay(*window);
    directPlay->SetTickInterval(5);
    autopilot = std::make_unique<TableAutopilot>(*window->Table(), window->Match());
    window->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Initialised(); }, 5000));
    QTest::keyClick(window->Title(), Qt::Key_Space);
    ASSERT_EQ(window->Screen(), ScreenState::kMainMenu);
    window->Settings().NetMode = true;
    window->Settings().SoundOn = false;
    window->Settings().FlightSpeed = 6;
  }
  ~Program() {
    autopilot.reset();
    directPlay.reset();
    window.reset();
  }
};

void Fill(QWidget& window, const char* name, const QString& text) {
  auto* edit = window.findChild<QLineEdit*>(name);
  ASSERT_NE(edit, nullptr) << name;
  edit->setText(text);
}

TEST(DirectProgramTest, TwoProgramsPlayAMatchFromTheirMenus) {
  test::TableTestApp();
  SetLanguageIndex(kEnglish);
  quint16 port = 0;
  {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    port = probe.serverPort();
  }
  Program host, joiner;
  host.Start();
  joiner.Start();

  QStringList messages;
  SetModalAutoClose(-1);
  SetModalShownHook([&](QWidget& shown) {
    if (auto* box = qobject_cast<QMessageBox*>(&shown)) {
      messages << box->text();
      box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click()
                                   : box->button(QMessageBox::Yes)->click();
      return;
    }
    const bool atHost = shown.parentWidget() == host.window.get();
    if (shown.objectName() == "FormPassword") {
      Fill(shown, "Edit1", atHost ? "Anna" : "Bo");
      Fill(shown, "Edit2", "pw");
      Fill(shown, "Edit3", "pw");
      if (!atHost) {
        shown.findChild<QRadioButton*>("RadioItem1")->click();
        Fill(shown, "Edit4", "127.0.0.1");
      }
      Fill(shown, "Edit5", QString::number(port));
      QTimer::singleShot(0, &shown,
                         [&shown] { shown.findChild<QAbstractButton*>("Button1")->click(); });
      return;
    }
    if (auto* wait = qobject_cast<WaitWindow*>(&shown); wait && atHost) {
      // The second program joins from its own menu while the host waits, and the host
      // starts once it is seated.
      QTimer::singleShot(0, joiner.window.get(), [&] { joiner.window->NewPlayer(); });
      auto* poll = new QTimer(wait);
      QObject::connect(poll, &QTimer::timeout, wait, [wait] {
        if (wait->OkEnabled()) wait->findChild<QAbstractButton*>("Button1")->click();
      });
      poll->start(10);
    }
  });
  host.window->NewPlayer();
  ASSERT_EQ(host.window->Screen(), ScreenState::kTable);
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return joiner.window->Screen() == ScreenState::kTable; }, 10000));
  EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
  ASSERT_NE(host.directPlay->Chat(), nullptr);
  ASSERT_NE(joiner.directPlay->Chat(), nullptr);
  EXPECT_EQ(host.window->Match().Flow().Setup().mode, PlayMode::kNet);
  EXPECT_EQ(joiner.window->Match().Flow().Setup().ownSeat, 2);

  // Chat from the joiner's table reaches the host's strip.
  ASSERT_TRUE(QTest::qWaitFor([&] { return joiner.directPlay->Chat()->ChatEnabled(); }, 10000));
  QTest::keyClicks(joiner.directPlay->Chat()->Field(), "good luck");
  QTest::keyClick(joiner.directPlay->Chat()->Field(), Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return host.directPlay->Chat()->Lines().Lines()[0].writer == 2; }, 10000));
  EXPECT_EQ(host.directPlay->Chat()->Lines().Lines()[0].text, "good luck");

  // Both tables play themselves; the timelines are hurried along.
  for (Program* p : {&host, &joiner}) {
    p->autopilot->SetDelay(0);
    p->autopilot->SetOn(true);
  }
  QTimer hurry;
  QObject::connect(&hurry, &QTimer::timeout, [&] {
    for (Program* p : {&host, &joiner}) p->window->Table()->FinishTimeline();
  });
  hurry.start(5);
  const auto over = [](Program& p) { return p.window->Match().Flow().EndEnabled(); };
  ASSERT_TRUE(QTest::qWaitFor([&] { return over(host) && over(joiner); }, 120000));
  hurry.stop();
  for (Program* p : {&host, &joiner}) p->autopilot->SetOn(false);
  EXPECT_EQ(host.window->Match().Flow().Counters().matchGames, 4);

  // The end buttons: each program writes its "N" line and member, then shows its menu.
  for (Program* p : {&host, &joiner}) {
    p->window->Table()->findChild<QAbstractButton*>("Button8")->click();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return p->window->Screen() == ScreenState::kMainMenu; }, 10000));
  }
  SetModalShownHook({});
  for (Program* p : {&host, &joiner}) {
    const HistoryCheck history =
        CheckHistoryFile(p->folder.Path() / "History" / "Trilane_I0001.hst");
    ASSERT_TRUE(history.valid);
    const auto row = ReadHistoryRecord(history.recordLines[0]);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(row->players, "Anna/Bo");
    EXPECT_EQ(row->kind, kNetMatch);
    EXPECT_EQ(row->games, 4);
    auto net = LoadClubFile(p->folder.File("Trilane.net"));
    ASSERT_TRUE(net.has_value());
    EXPECT_EQ(ReadMember(*net, 1).games, 4);
  }
  EXPECT_EQ(host.directPlay->Chat(), nullptr);
  EXPECT_FALSE(host.directPlay->Playing());
}

}  // namespace
}  // namespace trilane
