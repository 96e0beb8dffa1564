#include "shell/recording/game_recorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QWaitCondition>
#include <QWidget>
#include <algorithm>
#include <deque>

#include "platform/images.h"
#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "words/word_entries.h"

namespace trilane {

// One recording on its way to a file: frames are queued by the window thread and encoded
// by a thread of the stream's own, into a work file that becomes the recording only when
// it is complete.
class GifStream {
 public:
  GifStream(int id, QString workPath) : id_(id), workPath_(std::move(workPath)) {
    thread_.reset(QThread::create([this] { Run(); }));
    thread_->start(QThread::LowPriority);
  }
  ~GifStream() {
    Finish(false, QString());
    thread_->wait();
  }
  GifStream(const GifStream&) = delete;
  GifStream& operator=(const GifStream&) = delete;

  void Add(const QImage& frame, int delayMs) {
    const QMutexLocker lock(&mutex_);
    if (finished_) return;
    queue_.push_back({frame, delayMs});
    wake_.wakeOne();
  }

  // No more frames. With `keep` the file is completed and renamed to `target` (or, when a
  // file of that name exists, to the first free "name-2.gif", "name-3.gif", ...); without
  // it the frames still queued are dropped and the work file is removed.
  void Finish(bool keep, const QString& target) {
    const QMutexLocker lock(&mutex_);
    if (finished_) return;
    finished_ = true;
    keep_ = keep;
    target_ = target;
    if (!keep) queue_.clear();
    wake_.wakeOne();
  }

  int Id() const { return id_; }
  QThread* Thread() const { return thread_.get(); }
  void Wait() { thread_->wait(); }
  // After the thread has finished.
  bool Ok() const { return ok_; }
  const QString& Path() const { return path_; }

 private:
  struct Job {
    QImage frame;
    int delayMs;
  };

  void Run() {
    GifWriter writer;
    bool opened = false;
    bool failed = false;
    for (;;) {
      QMutexLocker lock(&mutex_);
      while (queue_.empty() && !finished_) wake_.wait(&mutex_);
      if (!queue_.empty()) {
        Job job = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        if (failed) continue;
        if (!opened) {
          opened = writer.Open(workPath_, job.frame.width(), job.frame.height(), true);
          failed = !opened;
        }
        if (!failed) failed = !writer.AddFrame(job.frame, job.delayMs);
        continue;
      }
      const bool keep = keep_;
      const QString target = target_;
      lock.unlock();
      // Without Close the writer's destructor throws the unfinished work file away.
      if (!keep || !opened || failed) return;
      if (!writer.Close()) return;
      const QString path = FreeName(target);
      ok_ = QFile::rename(workPath_, path);
      if (ok_) {
        path_ = path;
      } else {
        QFile::remove(workPath_);
      }
      return;
    }
  }

  static QString FreeName(const QString& target) {
    if (!QFileInfo::exists(target)) return target;
    const QFileInfo info(target);
    for (int n = 2;; ++n) {
      const QString candidate =
          info.dir().filePath(info.completeBaseName() + QStringLiteral("-%1.gif").arg(n));
      if (!QFileInfo::exists(candidate)) return candidate;
    }
  }

  const int id_;
  const QString workPath_;
  QMutex mutex_;
  QWaitCondition wake_;
  std::deque<Job> queue_;
  bool finished_ = false;
  bool keep_ = false;
  QString target_;
  bool ok_ = false;
  QString path_;
  std::unique_ptr<QThread> thread_;
};

namespace {

constexpr int kNoticeWidth = 175;
constexpr int kNoticeHeight = 40;

// "Creating a GIF..." on the waiting bar, in the middle of the window.
class GifNotice : public QWidget {
 public:
  GifNotice(const TSettings& settings, QWidget* parent)
      : QWidget(parent), bar_(ProgramPng("AdvBar3")) {
    setObjectName("GifNotice");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFont(RoleFont(settings, FontRole::kDecor, 14, true));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (bar_.isNull()) {
      painter.fillRect(rect(), QColor(40, 40, 90));
      painter.setPen(QColor(220, 200, 80));
      painter.drawRect(rect().adjusted(0, 0, -1, -1));
    } else {
      painter.drawImage(rect(), bar_);
    }
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, WordText(kWordCreatingGif));
  }

 private:
  QImage bar_;
};

int g_streamNumber = 0;

}  // namespace

GameRecorder::GameRecorder(const TSettings& settings, QString programDir, QObject* parent)
    : QObject(parent), settings_(settings), programDir_(std::move(programDir)) {
  timer_.setInterval(kCaptureIntervalMs);
  connect(&timer_, &QTimer::timeout, this, &GameRecorder::CaptureFrame);
}

GameRecorder::~GameRecorder() {
  timer_.stop();
  if (stream_) {
    // The program is going away: what was recorded is still written, without a notice.
    if (!previous_.isNull()) stream_->Add(previous_, kLastFrameDelayMs);
    stream_->Finish(
        true, QDir(RecordingFolder()).filePath(RecordingFileName(QDateTime::currentDateTime())));
    stream_->Wait();
  }
  for (auto& stream : finishing_) stream->Wait();
}

QString GameRecorder::RecordingFolder() const {
  return QDir(programDir_).filePath(QLatin1String(kFolderName));
}

QString GameRecorder::RecordingFileName(const QDateTime& when) {
  return when.toString(QStringLiteral("yyyy.MM.dd-hh.mm.ss")) + QStringLiteral(".gif");
}

bool GameRecorder::Start(QWidget* table) {
  if (!settings_.GifRecording || table == nullptr) return false;
  if (stream_) Stop(true);
  const QString folder = RecordingFolder();
  if (!QDir().mkpath(folder)) return false;
  const int id = ++g_streamNumber;
  const QString work = QDir(folder).filePath(
      QStringLiteral(".recording-%1-%2.gif").arg(QCoreApplication::applicationPid()).arg(id));
  stream_ = std::make_unique<GifStream>(id, work);
  table_ = table;
  previous_ = QImage();
  frames_ = 0;
  source_ = settings_.GifSource == 2 ? 2 : 1;
  delayMs_ = std::clamp(settings_.GifDelay, 10, 5000);
  timer_.start();
  return true;
}

QImage GameRecorder::Grab() const {
  if (!table_) return {};
  QImage frame;
  if (source_ == 2) {
    QWidget* window = table_->window();
    if (QScreen* screen = window->screen()) {
      const QPoint origin = window->mapToGlobal(QPoint(0, 0)) - screen->geometry().topLeft();
      frame = screen->grabWindow(0, origin.x(), origin.y(), window->width(), window->height())
                  .toImage();
    }
  }
  // Some window systems do not let a program read the screen; the window's own picture
  // is the next best thing.
  if (frame.isNull()) frame = table_->grab().toImage();
  return frame.convertToFormat(QImage::Format_RGB32);
}

void GameRecorder::CaptureFrame() {
  if (!stream_ || frames_ >= kMaxFrames) return;
  const QImage frame = Grab();
  if (frame.isNull()) return;
  if (!previous_.isNull() && frame == previous_) return;
  // A frame goes to the encoder once the next one exists: until then it might be the last,
  // which is shown longer.
  if (!previous_.isNull()) stream_->Add(previous_, delayMs_);
  previous_ = frame;
  ++frames_;
  if (frames_ >= kMaxFrames) timer_.stop();
}

void GameRecorder::Stop(bool save) {
  if (!stream_) return;
  timer_.stop();
  if (!save) {
    stream_.reset();
    previous_ = QImage();
    table_ = nullptr;
    return;
  }
  CaptureFrame();
  if (!previous_.isNull()) stream_->Add(previous_, kLastFrameDelayMs);
  previous_ = QImage();
  ShowNotice();
  GifStream* stream = stream_.get();
  const int id = stream->Id();
  connect(stream->Thread(), &QThread::finished, this, [this, id] { StreamFinished(id); });
  stream->Finish(true,
                 QDir(RecordingFolder()).filePath(RecordingFileName(QDateTime::currentDateTime())));
  finishing_.push_back(std::move(stream_));
  table_ = nullptr;
}

void GameRecorder::StreamFinished(int id) {
  // WaitForSave may have taken the stream before its thread's signal arrived.
  const auto it = std::find_if(finishing_.begin(), finishing_.end(),
                               [id](const auto& s) { return s->Id() == id; });
  if (it == finishing_.end()) return;
  const bool ok = (*it)->Ok();
  const QString path = (*it)->Path();
  finishing_.erase(it);
  if (finishing_.empty()) HideNotice();
  emit saved(path, ok);
}

void GameRecorder::WaitForSave() {
  while (!finishing_.empty()) {
    GifStream* stream = finishing_.front().get();
    stream->Wait();
    StreamFinished(stream->Id());
  }
}

void GameRecorder::ShowNotice() {
  if (!table_ || notice_) return;
  QWidget* window = table_->window();
  auto* notice = new GifNotice(settings_, window);
  notice->setGeometry((window->width() - kNoticeWidth) / 2, (window->height() - kNoticeHeight) / 2,
                      kNoticeWidth, kNoticeHeight);
  notice->show();
  notice->raise();
  notice_ = notice;
}

void GameRecorder::HideNotice() {
  if (notice_) notice_->deleteLater();
  notice_ = nullptr;
}

}  // namespace trilane
