// The waiting window's states for host and joiner, and the chat strip at the table.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "records/settings.h"
#include "shell/direct/chat_panel.h"
#include "shell/direct/direct_play_front.h"
#include "shell/direct/wait_window.h"
#include "shell/widgets/qor_button.h"
#include "table_test_app.h"
#include "words/word_entries.h"
#include "words/words.h"

namespace trilane {
namespace {

QString English(int entry) {
  return QString::fromUtf8(Word(entry).data(), static_cast<qsizetype>(Word(entry).size()));
}

TEST(WaitWindowTest, HostIsSeatedLineByLineAndCanNoLongerCancel) {
  test::TableTestApp();
  TSettings settings;
  WaitWindow window(settings, WaitWindow::Role::kHost, nullptr);
  QSignalSpy cancelled(&window, &WaitWindow::cancelled);
  window.show();
  EXPECT_EQ(window.StateLine(), English(kWordWaitingForPlayers));
  EXPECT_FALSE(window.OkEnabled());
  EXPECT_TRUE(window.CancelEnabled());
  for (int id = 2; id <= 4; ++id) EXPECT_FALSE(window.LineShown(id));

  window.JoinerSeated(2);
  EXPECT_TRUE(window.LineShown(2));
  EXPECT_FALSE(window.LineShown(3));
  EXPECT_TRUE(window.OkEnabled());
  EXPECT_FALSE(window.CancelEnabled());
  window.JoinerSeated(3);
  EXPECT_TRUE(window.LineShown(3));
  EXPECT_FALSE(window.LineShown(4));

  // Esc and the disabled "Cancel" do nothing now; only "Ok" closes, with the go flag.
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(cancelled.count(), 0);
  QTest::mouseClick(window.findChild<QorCardsButton*>("Button1"), Qt::LeftButton);
  EXPECT_TRUE(window.Go());
  EXPECT_FALSE(window.isVisible());
}

TEST(WaitWindowTest, HostCancelsBeforeAnyoneSits) {
  test::TableTestApp();
  TSettings settings;
  WaitWindow window(settings, WaitWindow::Role::kHost, nullptr);
  QSignalSpy cancelled(&window, &WaitWindow::cancelled);
  window.show();
  // "Ok" is disabled until a joiner sits.
  QTest::mouseClick(window.findChild<QorCardsButton*>("Button1"), Qt::LeftButton);
  EXPECT_TRUE(window.isVisible());
  QTest::mouseClick(window.findChild<QorCardsButton*>("Button2"), Qt::LeftButton);
  EXPECT_EQ(cancelled.count(), 1);
  EXPECT_FALSE(window.Go());
  EXPECT_FALSE(window.isVisible());
}

TEST(WaitWindowTest, JoinerReadsNoGamesWhileItsErrorFlagIsSet) {
  test::TableTestApp();
  TSettings settings;
  WaitWindow window(settings, WaitWindow::Role::kJoiner, nullptr);
  bool error = false;
  window.SetJoinErrorSource([&error] { return error; });
  window.show();
  EXPECT_EQ(window.StateLine(), English(kWordWaitingForGame));
  EXPECT_FALSE(window.OkEnabled());
  EXPECT_TRUE(window.CancelEnabled());
  window.Tick();
  EXPECT_EQ(window.StateLine(), English(kWordWaitingForGame));
  error = true;
  window.Tick();
  EXPECT_EQ(window.StateLine(), English(kWordNoGamesAvailable));
  // A joiner's "Ok" never starts anything: it is seated by the host.
  window.JoinerSeated(2);
  EXPECT_FALSE(window.OkEnabled());
}

TEST(ChatStripTest, LinesFillThenScrollUp) {
  ChatLines lines;
  lines.Add("a", 1);
  lines.Add("b", 2);
  EXPECT_EQ(lines.Lines()[0].text, "a");
  EXPECT_EQ(lines.Lines()[1].writer, 2);
  EXPECT_EQ(lines.Lines()[2].writer, 0);
  lines.Add("c", 3);
  lines.Add("d", 4);
  lines.Add("e", 1);
  EXPECT_EQ(lines.Lines()[0].text, "b");
  EXPECT_EQ(lines.Lines()[3].text, "e");
  EXPECT_EQ(lines.Lines()[3].writer, 1);
  lines.Clear();
  EXPECT_EQ(lines.Lines()[0].writer, 0);
}

TEST(ChatStripTest, LongLinesAreShortenedByAtMostTwelve) {
  // Ten pixels a character; 85 pixels hold eight.
  const auto width = [](const QString& s) { return static_cast<int>(s.size()) * 10; };
  EXPECT_EQ(ShortenChatLine("12345678", width, 85), "12345678");
  EXPECT_EQ(ShortenChatLine("123456789", width, 85), "12345678...");
  EXPECT_EQ(ShortenChatLine("ABCDEFGHIJKLMNOPQRSTU", width, 85), "ABCDEFGHI...");
  EXPECT_EQ(ShortenChatLine("", width, 85), "");
}

TEST(ChatStripTest, WritersKeepTheirColours) {
  EXPECT_EQ(ChatColour(1), QColor(128, 0, 0));
  EXPECT_EQ(ChatColour(2), QColor(0, 0, 128));
  EXPECT_EQ(ChatColour(3), QColor(0, 128, 0));
  EXPECT_EQ(ChatColour(4), QColor(128, 128, 0));
}

TEST(ChatPanelTest, EnterSendsTheTextOnceAndTypingAtTheButtonIsReported) {
  test::TableTestApp();
  TSettings settings;
  ChatPanel panel(settings, nullptr);
  panel.Place(QRect(584, 10, 130, 90), Layout(), true);
  panel.show();
  QSignalSpy sent(&panel, &ChatPanel::sendRequested);
  QSignalSpy typed(&panel, &ChatPanel::typedAtSendButton);

  QLineEdit* field = panel.Field();
  EXPECT_EQ(field->maxLength(), kChatFieldCharacters);
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(sent.count(), 0);  // nothing for an empty field
  QTest::keyClicks(field, "hello");
  QTest::keyClick(field, Qt::Key_Return);
  ASSERT_EQ(sent.count(), 1);
  EXPECT_EQ(sent.at(0).at(0).toString(), "hello");
  EXPECT_TRUE(field->text().isEmpty());

  panel.SetChatEnabled(false);
  EXPECT_FALSE(panel.SendButton()->isEnabled());
  field->setText("late");
  QTest::mouseClick(panel.SendButton(), Qt::LeftButton);
  EXPECT_EQ(sent.count(), 1);

  panel.SetChatEnabled(true);
  QTest::keyClicks(panel.SendButton(), "719");
  ASSERT_EQ(typed.count(), 3);
  EXPECT_EQ(typed.at(2).at(0).value<QChar>(), QChar('9'));

  // Long lines are cut to the strip.
  panel.AddLine(2, "WWWWWWWWWWWWWWW");
  EXPECT_TRUE(panel.Lines().Lines()[0].text.endsWith("..."));
  EXPECT_EQ(panel.Lines().Lines()[0].writer, 2);
}

// The player window of network play: the name is cut to four characters, the network
// fields are checked after the name and password, and the window closes only once the
// table is open.
TEST(NetPlayerDialogTest, OkChecksTheFieldsThenOpensTheTable) {
  test::TableTestApp();
  TSettings settings;
  int opened = 0;
  bool tableOpens = false;
  QString reason;
  NetChoice taken;
  NetPlayerDialog dialog(
      settings, 6, {}, {},
      [&](const SignInResult& player, const NetChoice& choice, QString* error) {
        ++opened;
        taken = choice;
        EXPECT_EQ(player.nameUtf8, "Anna");
        if (error != nullptr) *error = reason;
        return tableOpens;
      },
      nullptr);
  dialog.show();
  auto* name = dialog.findChild<QLineEdit*>("Edit1");
  ASSERT_NE(name, nullptr);
  name->clear();
  QTest::keyClicks(name, "Annabel");
  EXPECT_EQ(name->text(), "Anna");
  for (const char* field : {"Edit2", "Edit3"}) {
    QTest::keyClicks(dialog.findChild<QLineEdit*>(field), "pw");
  }
  auto* ok = dialog.findChild<QorCardsButton*>("Button1");

  dialog.Fields()->PortField()->clear();
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(opened, 0);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.Fields()->ErrorText(), English(kWordIncorrectPort));

  dialog.Fields()->PortField()->setText("25666");
  reason = "in use";
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(opened, 1);
  EXPECT_FALSE(taken.joining);
  EXPECT_EQ(taken.port, 25666);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.Fields()->ErrorText(), English(kWordIncorrectPort) + " in use");

  tableOpens = true;
  reason.clear();
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(opened, 2);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace trilane
