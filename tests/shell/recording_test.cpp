// Game recordings: frames of a widget whose picture changes, equal frames dropped, the cap
// of 250 frames, the delays written, and the file that ends up in "GIFGame".
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWidget>

#include "options_qt_app.h"
#include "platform/images.h"
#include "records/settings.h"
#include "shell/recording/game_recorder.h"

namespace trilane {
namespace {

class RecordingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WindowTestApp();
    ASSERT_TRUE(temp_.isValid());
    settings_.GifRecording = true;
    settings_.GifSource = 1;
    settings_.GifDelay = 1000;
    table_.resize(24, 16);
    Paint(Qt::red);
  }

  void Paint(const QColor& colour) {
    QPalette palette = table_.palette();
    palette.setColor(QPalette::Window, colour);
    table_.setPalette(palette);
    table_.setAutoFillBackground(true);
  }

  QStringList Recordings() const {
    return QDir(temp_.filePath("GIFGame")).entryList(QDir::Files | QDir::Hidden);
  }

  std::vector<GifFrame> Decode(const QString& name) const {
    QFile file(QDir(temp_.filePath("GIFGame")).filePath(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    return DecodeGifFrames(
        {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())},
        1000);
  }

  QTemporaryDir temp_;
  TSettings settings_;
  QWidget table_;
};

TEST_F(RecordingTest, EqualFramesAreDroppedAndTheLastOneStaysFiveSeconds) {
  GameRecorder recorder(settings_, temp_.path());
  QSignalSpy saved(&recorder, &GameRecorder::saved);
  ASSERT_TRUE(recorder.Start(&table_));
  recorder.CaptureFrame();
  recorder.CaptureFrame();  // the same picture: dropped
  Paint(Qt::green);
  recorder.CaptureFrame();
  Paint(Qt::blue);  // taken by the stop
  recorder.Stop(true);
  EXPECT_FALSE(recorder.Recording());
  recorder.WaitForSave();

  ASSERT_EQ(saved.count(), 1);
  EXPECT_TRUE(saved.at(0).at(1).toBool());
  const QStringList files = Recordings();
  ASSERT_EQ(files.size(), 1) << files.join(", ").toStdString();  // no work file left behind
  EXPECT_TRUE(QRegularExpression("^\\d{4}\\.\\d\\d\\.\\d\\d-\\d\\d\\.\\d\\d\\.\\d\\d\\.gif$")
                  .match(files[0])
                  .hasMatch())
      << files[0].toStdString();
  EXPECT_EQ(saved.at(0).at(0).toString(), QDir(temp_.filePath("GIFGame")).filePath(files[0]));

  const auto frames = Decode(files[0]);
  ASSERT_EQ(frames.size(), 3u);
  const QColor expected[] = {Qt::red, Qt::green, Qt::blue};
  const int delays[] = {1000, 1000, 5000};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(frames[i].image.size(), QSize(24, 16));
    // The encoder keeps five bits of each channel.
    const QColor got = frames[i].image.pixelColor(5, 5);
    EXPECT_NEAR(got.red(), expected[i].red(), 8) << i;
    EXPECT_NEAR(got.green(), expected[i].green(), 8) << i;
    EXPECT_NEAR(got.blue(), expected[i].blue(), 8) << i;
    EXPECT_EQ(frames[i].delayMs, delays[i]) << i;
  }
}

TEST_F(RecordingTest, AtMostTwoHundredFiftyFramesAreKept) {
  settings_.GifDelay = 40;
  GameRecorder recorder(settings_, temp_.path());
  ASSERT_TRUE(recorder.Start(&table_));
  for (int i = 0; i < 260; ++i) {
    Paint(QColor(i % 256, (i * 7) % 256, i < 256 ? 0 : 255));
    recorder.CaptureFrame();
  }
  EXPECT_EQ(recorder.FrameCount(), GameRecorder::kMaxFrames);
  recorder.Stop(true);
  recorder.WaitForSave();
  ASSERT_EQ(Recordings().size(), 1);
  const auto frames = Decode(Recordings()[0]);
  ASSERT_EQ(frames.size(), 250u);
  EXPECT_EQ(frames[0].delayMs, 40);
  EXPECT_EQ(frames[248].delayMs, 40);
  EXPECT_EQ(frames[249].delayMs, 5000);
}

TEST_F(RecordingTest, NothingIsWrittenWhenOffOrDiscarded) {
  settings_.GifRecording = false;
  {
    GameRecorder recorder(settings_, temp_.path());
    EXPECT_FALSE(recorder.Start(&table_));
    EXPECT_FALSE(recorder.Recording());
  }
  settings_.GifRecording = true;
  {
    GameRecorder recorder(settings_, temp_.path());
    ASSERT_TRUE(recorder.Start(&table_));
    recorder.CaptureFrame();
    Paint(Qt::yellow);
    recorder.CaptureFrame();
    recorder.Stop(false);
    EXPECT_FALSE(recorder.Saving());
  }
  EXPECT_TRUE(Recordings().isEmpty()) << Recordings().join(", ").toStdString();
}

TEST_F(RecordingTest, ARecordingStillRunningIsSavedWhenTheRecorderGoesAway) {
  {
    GameRecorder recorder(settings_, temp_.path());
    ASSERT_TRUE(recorder.Start(&table_));
    recorder.CaptureFrame();
    Paint(Qt::green);
    recorder.CaptureFrame();
  }
  ASSERT_EQ(Recordings().size(), 1);
  const auto frames = Decode(Recordings()[0]);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[1].delayMs, 5000);
}

TEST_F(RecordingTest, TwoRecordingsOfTheSameSecondKeepBothFiles) {
  GameRecorder recorder(settings_, temp_.path());
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(recorder.Start(&table_));
    Paint(round == 0 ? Qt::red : Qt::green);
    recorder.CaptureFrame();
    recorder.Stop(true);
  }
  recorder.WaitForSave();
  // Either both fell in one second (the second is named "...-2.gif") or in two.
  EXPECT_EQ(Recordings().size(), 2) << Recordings().join(", ").toStdString();
}

TEST(RecordingName, DateAndTimeWithPoints) {
  EXPECT_EQ(GameRecorder::RecordingFileName(QDateTime(QDate(2026, 3, 7), QTime(9, 5, 2))),
            "2026.03.07-09.05.02.gif");
}

}  // namespace
}  // namespace trilane
