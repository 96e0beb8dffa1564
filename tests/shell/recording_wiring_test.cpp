// Game recordings in the program as it runs: the main window and its table on the offscreen
// platform, wired to a recorder the way the game program wires them. A recording starts at
// the deal and is written to "GIFGame" when the player leaves the table or closes the program
// in the middle of the game.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/trilane/game_recording.h"
#include "assets/assets.h"
#include "records/settings.h"
#include "shell/main_window.h"
#include "shell/modal.h"
#include "shell/recording/game_recorder.h"
#include "shell/table/table_widget.h"
#include "shell/title_screen.h"
#include "tests/program/program_folder.h"
#include "table_test_app.h"
#include "words/words.h"

namespace trilane {
namespace {

// Says Yes to every question and types the member's password into the welcome window.
class Responder {
 public:
  explicit Responder(QString password) : password_(std::move(password)) {
    SetModalAutoClose(-1);
    SetModalShownHook([this](QWidget& window) { Respond(window); });
  }
  ~Responder() { SetModalShownHook({}); }
  std::vector<QString> messages;

 private:
  void Respond(QWidget& window) {
    if (auto* box = qobject_cast<QMessageBox*>(&window)) {
      messages.push_back(box->text());
      QAbstractButton* yes = box->button(QMessageBox::Yes);
      (yes ? yes : box->button(QMessageBox::Ok))->click();
      return;
    }
    if (window.objectName() == "FormPassword") {
      window.findChild<QLineEdit*>("Edit2")->setText(password_);
      QTimer::singleShot(0, &window,
                         [&window] { window.findChild<QAbstractButton*>("Button1")->click(); });
      return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(&window)) dialog->reject();
  }
  QString password_;
};

class RecordingWiringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TableTestApp();
    SetLanguageIndex(kEnglish);
    folder_.InstallClubFiles();
    folder_.PutMember(1, "Anna", 2.0, 10, 30, "one");
  }

  // The program at its table: Anna signed in and her first round dealt.
  void StartGame(bool recordingOn) {
    window_ = std::make_unique<MainWindow>(CommandLine{}, Folder());
    window_->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->Initialised(); }, 5000));
    window_->Settings().GifRecording = recordingOn;
    window_->Settings().GifSource = 1;
    window_->Settings().GifDelay = 1000;
    recorder_ = std::make_unique<GameRecorder>(window_->Settings(), Folder());
    RecordGames(test::TableTestApp(), *window_->Table(), *recorder_);
    saved_ = std::make_unique<QSignalSpy>(recorder_.get(), &GameRecorder::saved);
    QTest::keyClick(window_->Title(), Qt::Key_Space);
    window_->OpenMember(1);
    ASSERT_EQ(window_->Screen(), ScreenState::kTable);
  }

  QString Folder() const { return QString::fromStdString(folder_.Path().string()); }
  QStringList Recordings() const {
    return QDir(Folder() + "/GIFGame").entryList({"*.gif"}, QDir::Files);
  }

  testing::ProgramFolder folder_;
  Responder responder_{"one"};
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<GameRecorder> recorder_;
  std::unique_ptr<QSignalSpy> saved_;
};

TEST_F(RecordingWiringTest, LeavingTheTableSavesTheGame) {
  StartGame(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder_->Recording(); }, 5000))
      << "no recording started at the deal";
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder_->FrameCount() >= 1; }, 5000));
  EXPECT_TRUE(Recordings().isEmpty());  // nothing written while the game goes on

  window_->QuitToMenu();
  ASSERT_EQ(window_->Screen(), ScreenState::kMainMenu);
  EXPECT_FALSE(recorder_->Recording());
  recorder_->WaitForSave();
  ASSERT_TRUE(QTest::qWaitFor([&] { return saved_->count() == 1; }, 5000));
  EXPECT_TRUE(saved_->at(0).at(1).toBool());
  EXPECT_EQ(Recordings().size(), 1) << Recordings().join(", ").toStdString();
}

// Closing the window in the middle of a game ends the program's event loop: the recording
// must be written before the program goes. Runs the application's loop, so it comes last.
TEST_F(RecordingWiringTest, ClosingTheProgramSavesTheGame) {
  StartGame(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder_->Recording(); }, 5000));
  QTimer::singleShot(0, window_.get(), [this] { window_->close(); });
  QTimer::singleShot(20000, &test::TableTestApp(), [] { QCoreApplication::exit(3); });  // a close that hangs
  ASSERT_EQ(QApplication::exec(), 0);
  // Right after the loop, as the program's main returns: the file must already be there.
  EXPECT_FALSE(recorder_->Recording());
  EXPECT_FALSE(recorder_->Saving());
  ASSERT_EQ(Recordings().size(), 1) << "the game cut short by the close was not saved";
}

}  // namespace
}  // namespace trilane
