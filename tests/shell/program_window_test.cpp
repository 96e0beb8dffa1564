// The main window on the offscreen platform: the start with good and broken club files,
// the title screen, the menu, the welcome window and leaving a match.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

#include "assets/assets.h"
#include "program/club_access.h"
#include "rules/computer.h"
#include "shell/main_menu.h"
#include "shell/main_window.h"
#include "shell/menu_clocks.h"
#include "shell/modal.h"
#include "shell/table/table_widget.h"
#include "shell/title_screen.h"
#include "shell/widgets/qor_button.h"
#include "tests/program/program_folder.h"
#include "words/words.h"

namespace trilane {
namespace {

using testing::ProgramFolder;

}  // namespace

// Shared with the dialogs' tests of this program.
QApplication& App() {
  static int argc = 1;
  static char name[] = "shell_program_window_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    auto* a = new QApplication(argc, argv);
    InitAssets();
    return a;
  }();
  return *app;
}

namespace {

// Answers the modal windows as they appear: each message box is recorded and answered
// (Yes for questions), and the welcome window is filled by the test's script.
class Responder {
 public:
  Responder() {
    SetModalAutoClose(-1);
    SetModalShownHook([this](QWidget& window) { Respond(window); });
  }
  ~Responder() { SetModalShownHook({}); }

  std::vector<QString> messages;
  std::vector<QString> windows;
  // Called with the welcome window; fills and presses its buttons.
  std::function<void(QWidget&)> onPassword;

 private:
  void Respond(QWidget& window) {
    windows.push_back(window.objectName());
    if (auto* box = qobject_cast<QMessageBox*>(&window)) {
      messages.push_back(box->text());
      QAbstractButton* yes = box->button(QMessageBox::Yes);
      QAbstractButton* ok = box->button(QMessageBox::Ok);
      (yes ? yes : ok)->click();
      return;
    }
    if (window.objectName() == "FormPassword" && onPassword) {
      onPassword(window);
      return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(&window)) dialog->reject();
  }
};

void Fill(QWidget& window, const char* name, const QString& text) {
  auto* edit = window.findChild<QLineEdit*>(name);
  ASSERT_NE(edit, nullptr) << name;
  edit->setText(text);
}

void Press(QWidget& window, const char* name) {
  auto* button = window.findChild<QAbstractButton*>(name);
  ASSERT_NE(button, nullptr) << name;
  button->click();
}

class ProgramWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    SetLanguageIndex(kEnglish);
  }

  std::unique_ptr<MainWindow> Start(const CommandLine& commandLine = {}) {
    auto window =
        std::make_unique<MainWindow>(commandLine, QString::fromStdString(folder_.Path().string()));
    window->show();
    const bool settled =
        QTest::qWaitFor([&] { return window->Initialised() || window->StartFailed(); }, 5000);
    EXPECT_TRUE(settled);
    return window;
  }

  std::unique_ptr<MainWindow> StartAtMenu() {
    auto window = Start();
    EXPECT_EQ(window->Screen(), ScreenState::kTitleScreen);
    QTest::keyClick(window->Title(), Qt::Key_Space);
    EXPECT_EQ(window->Screen(), ScreenState::kMainMenu);
    return window;
  }

  ProgramFolder folder_;
};

TEST_F(ProgramWindowTest, MissingClubFileStopsTheStart) {
  Responder responder;
  auto window = Start();
  EXPECT_TRUE(window->StartFailed());
  ASSERT_EQ(responder.messages.size(), 1u);
  EXPECT_TRUE(responder.messages[0].startsWith("Can`t find the file \""))
      << responder.messages[0].toStdString();
  // A start that failed leaves the settings file alone.
  EXPECT_FALSE(std::filesystem::exists(folder_.File("Trilane.ini")));
}

TEST_F(ProgramWindowTest, MalformedClubFileStopsTheStart) {
  folder_.InstallClubFiles();
  folder_.Write("Trilane.net", folder_.Read("Trilane.net").substr(10));
  Responder responder;
  auto window = Start();
  EXPECT_TRUE(window->StartFailed());
  ASSERT_EQ(responder.messages.size(), 1u);
  EXPECT_TRUE(responder.messages[0].startsWith("The incorrect file \""));
  EXPECT_TRUE(responder.messages[0].contains("Trilane.net"));
}

TEST_F(ProgramWindowTest, APickInTheOptionsOutlivesTheCommandLine) {
  folder_.InstallClubFiles();
  const std::filesystem::path ini = folder_.File("Trilane.ini");
  Responder responder;
  const CommandLine size3 = ParseCommandLine({"--size", "3", "--lang", "1"});

  // Started with --size 3 --lang 1 and nothing picked: the file keeps its own values, also
  // when something else saves the settings during the run.
  {
    auto window = Start(size3);
    EXPECT_EQ(window->Settings().WindowSize, 3);
    EXPECT_EQ(window->SettingsToStore().WindowSize, 1);
    EXPECT_EQ(window->SettingsToStore().LanguageIndex, 0);
    window->close();
  }
  EXPECT_EQ(LoadSettings(ini).settings.WindowSize, 1);
  EXPECT_EQ(LoadSettings(ini).settings.LanguageIndex, 0);

  // A size picked in the options window is stored, the language from the command line not.
  {
    auto window = Start(size3);
    window->Settings().WindowSize = 4;
    window->ReapplySettings();  // what the options window's change announcement runs
    window->close();
  }
  EXPECT_EQ(LoadSettings(ini).settings.WindowSize, 4);
  EXPECT_EQ(LoadSettings(ini).settings.LanguageIndex, 0);

  // The next plain start opens in the picked size.
  auto window = Start();
  EXPECT_EQ(window->Settings().WindowSize, 4);
  EXPECT_TRUE(responder.messages.empty());
}

TEST_F(ProgramWindowTest, TheClubFileMessageIsInTheLanguageOfTheRun) {
  folder_.InstallClubFiles();
  folder_.Write("Trilane.net", folder_.Read("Trilane.net").substr(0, 100));
  Responder responder;
  auto window = Start(ParseCommandLine({"--lang", "1"}));
  EXPECT_TRUE(window->StartFailed());
  ASSERT_EQ(responder.messages.size(), 1u);
  const QString russian = QString::fromUtf8(WordIn(kWordIncorrectFile, kRussian));
  EXPECT_TRUE(responder.messages[0].startsWith(russian + " \""))
      << responder.messages[0].toStdString();
  // The reader's reason on a line of its own.
  EXPECT_TRUE(responder.messages[0].contains("\nline 3: ")) << responder.messages[0].toStdString();
  SetLanguageIndex(kEnglish);
}

TEST_F(ProgramWindowTest, GoodStartTitleMenuAndANewPlayer) {
  folder_.InstallClubFiles();
  Responder responder;
  auto window = StartAtMenu();
  EXPECT_TRUE(responder.messages.empty());

  auto* newPlayer = window->findChild<QorCardsButton*>("Button6");
  ASSERT_NE(newPlayer, nullptr);
  EXPECT_EQ(newPlayer->text(), "New Player");
  EXPECT_TRUE(newPlayer->isVisible());
  // The empty member lines do nothing.
  window->findChild<QorCardsButton*>("Button1")->click();
  EXPECT_EQ(window->Screen(), ScreenState::kMainMenu);

  // Two different passwords are refused; the window stays until they agree.
  int attempts = 0;
  responder.onPassword = [&](QWidget& dialog) {
    Fill(dialog, "Edit1", "Tester");
    Fill(dialog, "Edit2", "ab");
    Fill(dialog, "Edit3", "xy");
    QTimer::singleShot(0, &dialog, [&dialog, &attempts] {
      ++attempts;
      Press(dialog, "Button1");  // refused: the message box is answered by the responder
      Fill(dialog, "Edit3", "ab");
      Press(dialog, "Button1");
    });
  };
  newPlayer->click();
  EXPECT_EQ(attempts, 1);
  ASSERT_EQ(responder.messages.size(), 1u);
  EXPECT_EQ(responder.messages[0], "The passwords do not match!");
  ASSERT_EQ(window->Screen(), ScreenState::kTable);
  EXPECT_EQ(window->CurrentSlot(), 6);
  EXPECT_EQ(window->Match().Flow().SeatName(4), "Tester");
  EXPECT_EQ(window->Match().Flow().Stage(), RoundStage::kDealt);
  // The name is remembered for the next new player.
  EXPECT_EQ(window->Settings().PlayerName, "Tester");
}

TEST_F(ProgramWindowTest, MemberSignsInAndExitToMenuRemovesTheLine) {
  folder_.InstallClubFiles();
  folder_.PutMember(1, "Anna", 2.0, 10, 30, "one");
  folder_.PutMember(2, "Boris", 1.0, 5, -20, "abc");
  folder_.PutMember(3, "Clara", 0.5, 3, 4, "xyz");
  Responder responder;
  auto window = StartAtMenu();
  EXPECT_TRUE(window->findChild<QorCardsButton*>("Button2")->text().startsWith("Boris"));

  // A wrong password first: the message, then the window is left with Cancel.
  responder.onPassword = [](QWidget& dialog) {
    Fill(dialog, "Edit2", "abd");
    QTimer::singleShot(0, &dialog, [&dialog] {
      Press(dialog, "Button1");
      Press(dialog, "Button2");
    });
  };
  window->OpenMember(2);
  ASSERT_EQ(responder.messages.size(), 1u);
  EXPECT_EQ(responder.messages[0], "Incorrect password!");
  EXPECT_EQ(window->Screen(), ScreenState::kMainMenu);

  responder.onPassword = [](QWidget& dialog) {
    Fill(dialog, "Edit2", "abc");
    QTimer::singleShot(0, &dialog, [&dialog] { Press(dialog, "Button1"); });
  };
  window->OpenMember(2);
  ASSERT_EQ(window->Screen(), ScreenState::kTable);
  EXPECT_EQ(window->Match().Flow().Counters().gamesPlayed, 6);  // 5 stored, one dealt

  // "Exit to menu" is confirmed (the responder says Yes): Boris's line goes, Clara moves up.
  window->QuitToMenu();
  EXPECT_EQ(window->Screen(), ScreenState::kMainMenu);
  ASSERT_EQ(responder.messages.size(), 2u);
  EXPECT_TRUE(responder.messages[1].startsWith("You want to leave in the main menu?"));
  ClubFilePtr club = LoadClubInUse(folder_.Path(), false);
  ASSERT_TRUE(club);
  EXPECT_EQ(ReadMemberStart(*club, 1).nameUtf8, "Anna");
  EXPECT_EQ(ReadMemberStart(*club, 2).nameUtf8, "Clara");
  EXPECT_TRUE(ReadMemberStart(*club, 3).empty);
  EXPECT_TRUE(window->findChild<QorCardsButton*>("Button2")->text().startsWith("Clara"));
}

TEST_F(ProgramWindowTest, OptionsChangesShowOnTheMenu) {
  folder_.InstallClubFiles();
  Responder responder;
  auto window = StartAtMenu();
  auto* options = window->findChild<QorCardsButton*>("Button10");
  ASSERT_NE(options, nullptr);
  EXPECT_FALSE(options->isEnabled());  // nothing handed in yet

  // The options window stands in here: it switches to Russian and the large window.
  window->SetExtraWindows(
      [&window] {
        window->Settings().LanguageIndex = kRussian;
        window->Settings().WindowSize = 5;
      },
      {});
  ASSERT_TRUE(options->isEnabled());
  options->click();
  EXPECT_EQ(window->size(), QSize(1520, 1000));
  EXPECT_EQ(window->findChild<QorCardsButton*>("Button6")->text(), "Новый Игрок");
  EXPECT_FALSE(window->findChild<QorCardsButton*>("BHistory")->isEnabled());
  SetLanguageIndex(kEnglish);
}

TEST_F(ProgramWindowTest, MenuClocksOnlyInTheLargerWindows) {
  folder_.InstallClubFiles();
  Responder responder;
  auto window = StartAtMenu();
  auto* time = window->findChild<TimeClock*>("ImClock1");
  auto* info = window->findChild<InformationClock*>("ImClock2");
  ASSERT_NE(time, nullptr);
  ASSERT_NE(info, nullptr);
  EXPECT_FALSE(time->isVisible());  // the small window has no room for them
  EXPECT_FALSE(info->isVisible());

  QSignalSpy asked(window->Menu(), &MainMenu::informationWanted);
  window->SetExtraWindows([&window] { window->Settings().WindowSize = 5; }, {});
  window->findChild<QorCardsButton*>("Button10")->click();
  ASSERT_TRUE(time->isVisible());
  ASSERT_TRUE(info->isVisible());
  // Both stand inside the window, clear of every button of the menu.
  for (QWidget* clock : {static_cast<QWidget*>(time), static_cast<QWidget*>(info)}) {
    EXPECT_TRUE(window->rect().contains(clock->geometry())) << clock->objectName().toStdString();
    for (auto* button : window->findChildren<QorCardsButton*>()) {
      if (!button->isVisible()) continue;
      EXPECT_FALSE(clock->geometry().intersects(button->geometry()))
          << clock->objectName().toStdString() << " " << button->objectName().toStdString();
    }
  }
  // The time clock shows the time of day, the information clock asks for its page.
  const QTime before = QTime::currentTime();
  QTest::qWait(120);
  const QString shown = time->Shown();
  EXPECT_TRUE(shown == QStringLiteral("%1:%2")
                           .arg(before.hour())
                           .arg(before.minute(), 2, 10, QLatin1Char('0')) ||
              before.second() == 59)
      << shown.toStdString();
  ASSERT_GE(asked.count(), 1);
  EXPECT_EQ(asked.last().at(0).toInt(), before.minute());

  InformationFace face;
  face.page = 7;
  face.icon = "Account48";
  face.value = "1234";
  face.hint = "Club members: ";
  window->Menu()->SetInformationFace(face);
  EXPECT_EQ(info->toolTip(), "Club members: ");
  EXPECT_EQ(info->Face().value, "1234");
}

TEST_F(ProgramWindowTest, PopupMenuOpensAbout) {
  folder_.InstallClubFiles();
  Responder responder;
  auto window = StartAtMenu();
  SetLanguageIndex(kRussian);
  QStringList shown;
  QTimer::singleShot(0, window.get(), [&shown] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), "PopupMenu1");
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator()) shown << action->objectName();
    }
    QAction* about = menu->findChild<QAction*>("About");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), "О программе");
    EXPECT_TRUE(about->isEnabled());
    menu->close();
    about->trigger();
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                          window->mapToGlobal(QPoint(10, 10)));
  QApplication::sendEvent(window.get(), &event);
  SetLanguageIndex(kEnglish);
  EXPECT_EQ(shown,
            (QStringList{"GenCount", "Quit", "ChangeName", "MSpeed", "Help", "About", "MChat"}));
  EXPECT_EQ(responder.windows, (std::vector<QString>{"FormAbout"}));
}

TEST_F(ProgramWindowTest, ChangingTheNameRewritesTheMemberLine) {
  folder_.InstallClubFiles();
  folder_.PutMember(1, "Anna", 2.0, 10, 30, "one");
  Responder responder;
  auto window = StartAtMenu();
  responder.onPassword = [](QWidget& dialog) {
    Fill(dialog, "Edit2", "one");
    QTimer::singleShot(0, &dialog, [&dialog] { Press(dialog, "Button1"); });
  };
  window->OpenMember(1);
  ASSERT_EQ(window->Screen(), ScreenState::kTable);

  responder.onPassword = [](QWidget& dialog) {
    Fill(dialog, "Edit1", "Annette");
    Fill(dialog, "Edit2", "two");
    Fill(dialog, "Edit3", "two");
    QTimer::singleShot(0, &dialog, [&dialog] { Press(dialog, "Button1"); });
  };
  window->ChangeName();
  ASSERT_EQ(responder.messages.size(), 1u);
  EXPECT_EQ(responder.messages[0],
            "Your name and/or the password were successfully changed!\nNew name: Annette");
  EXPECT_EQ(window->Match().Flow().SeatName(4), "Annette");
  ClubFilePtr club = LoadClubInUse(folder_.Path(), false);
  ASSERT_TRUE(club);
  const MemberStart member = ReadMemberStart(*club, 1);
  EXPECT_EQ(member.nameUtf8, "Annette");
  EXPECT_EQ(member.gamesPlayed, 10);  // the results stay
  EXPECT_DOUBLE_EQ(member.rating, 2.0);
}

TEST_F(ProgramWindowTest, PopupAtTheTableSuggestsAndF1OpensHelp) {
  folder_.InstallClubFiles();
  folder_.PutMember(1, "Anna", 2.0, 10, 30, "one");
  Responder responder;
  auto window = StartAtMenu();
  responder.onPassword = [](QWidget& dialog) {
    Fill(dialog, "Edit2", "one");
    QTimer::singleShot(0, &dialog, [&dialog] { Press(dialog, "Button1"); });
  };
  window->OpenMember(1);
  ASSERT_EQ(window->Screen(), ScreenState::kTable);
  RoundFlow& flow = window->Match().Flow();
  // "To begin" until a deal is arranged in rows (a special combination ends it at once).
  for (int deal = 0; deal < 20 && flow.Stage() != RoundStage::kArranging; ++deal) {
    window->Table()->FinishTimeline();
    window->Table()->PressActionButton();
    window->Table()->FinishTimeline();
  }
  ASSERT_EQ(flow.Stage(), RoundStage::kArranging);
  const Arrangement computer =
      ArrangeByComputer(DealHands(flow.CurrentDeck(), flow.Setup().ownSeat)[3]).rows;
  QStringList shown;
  QTimer::singleShot(0, window.get(), [&shown] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator()) shown << action->objectName();
    }
    QAction* suggest = menu->findChild<QAction*>("Suggest");
    ASSERT_NE(suggest, nullptr);
    EXPECT_TRUE(suggest->isEnabled());
    EXPECT_FALSE(menu->findChild<QAction*>("Review")->isEnabled());
    menu->close();
    suggest->trigger();
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                          window->mapToGlobal(QPoint(10, 10)));
  QApplication::sendEvent(window.get(), &event);
  window->Table()->FinishTimeline();
  EXPECT_TRUE(shown.contains("Suggest") && shown.contains("UndoSwap") && shown.contains("Review"));
  EXPECT_EQ(flow.OwnRows(), computer);

  int opened = 0;
  window->SetHelpOpener([&opened] { ++opened; });
  for (QShortcut* shortcut : window->findChildren<QShortcut*>()) {
    if (shortcut->key() == QKeySequence(Qt::Key_F1)) emit shortcut->activated();
  }
  EXPECT_EQ(opened, 1);
}

}  // namespace
}  // namespace trilane
