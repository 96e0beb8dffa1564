#pragma once
// Game recordings: while the setting is on, each game is captured every 100 ms (the table's
// picture, or the screen area under its window) and saved as an animated GIF in "GIFGame"
// beside the program. A frame equal to the one before is dropped; at most 250 frames are
// kept; the last one stays on screen for five seconds.
//
// Frames are encoded as they come, on a thread of their own: the window thread only grabs
// and compares pictures, so recording never holds up the table, and the recording never
// keeps more than a few frames in memory.
#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <memory>
#include <vector>

class QWidget;

namespace trilane {

struct TSettings;
class GifStream;

class GameRecorder : public QObject {
  Q_OBJECT

 public:
  static constexpr int kCaptureIntervalMs = 100;
  static constexpr int kMaxFrames = 250;
  static constexpr int kLastFrameDelayMs = 5000;
  static constexpr const char* kFolderName = "GIFGame";

  // Reads GifRecording, GifSource and GifDelay from `settings` at every Start.
  GameRecorder(const TSettings& settings, QString programDir, QObject* parent = nullptr);
  // Waits for a recording still being written.
  ~GameRecorder() override;

  // Starts an empty recording of `table` (a game was dealt) when recording is on; a recording
  // already running is saved first. False when recording is off or nothing can be written.
  bool Start(QWidget* table);
  // Ends the recording: with `save` a last frame is taken and the animation is finished and
  // named in the background, under the notice "Creating a GIF..."; without it the frames are
  // thrown away.
  void Stop(bool save);

  bool Recording() const { return stream_ != nullptr; }
  // Frames kept in the running recording.
  int FrameCount() const { return frames_; }
  // True while a finished recording is still being written.
  bool Saving() const { return !finishing_.empty(); }
  // Blocks until every recording has been written (the program is closing).
  void WaitForSave();

  // One tick of the capture timer: grabs a frame and keeps it unless it equals the last.
  void CaptureFrame();

  // "2026.12.10-14.05.09.gif" for the moment of saving.
  static QString RecordingFileName(const QDateTime& when);
  QString RecordingFolder() const;

 signals:
  // A recording has been written (`ok`) to `path`, or could not be (`path` empty).
  void saved(const QString& path, bool ok);

 private:
  QImage Grab() const;
  void ShowNotice();
  void HideNotice();
  void StreamFinished(int id);

  const TSettings& settings_;
  QString programDir_;
  QPointer<QWidget> table_;
  QTimer timer_;
  std::unique_ptr<GifStream> stream_;
  std::vector<std::unique_ptr<GifStream>> finishing_;
  QImage previous_;  // the last frame kept, not yet handed to the encoder
  int frames_ = 0;
  int source_ = 1;
  int delayMs_ = 1000;
  QPointer<QWidget> notice_;
};

}  // namespace trilane
