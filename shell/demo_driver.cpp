#include "shell/demo_driver.h"

#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

#include "shell/measure.h"
#include "shell/modal.h"
#include "shell/table/table_autopilot.h"
#include "shell/table/table_widget.h"

namespace trilane {

DemoDriver::DemoDriver(MainWindow& window, const CommandLine& commandLine)
    : QObject(&window),
      window_(window),
      commandLine_(commandLine),
      autopilot_(new TableAutopilot(*window.Table(), window.Match(), this)) {
  if (commandLine_.demo) SetModalAutoClose(700);
  if (!commandLine_.screenshotDir.empty()) {
    QDir().mkpath(QString::fromStdString(commandLine_.screenshotDir));
    SetModalShownHook(
        [this](QWidget& shown) { Screenshot("dialog-" + shown.objectName(), &shown); });
  }
  connect(&window_, &MainWindow::started, this, &DemoDriver::Started);
  connect(&window_, &MainWindow::titleShown, this, &DemoDriver::TitleShown);
  connect(&window_, &MainWindow::screenChanged, this, &DemoDriver::ScreenChanged);
  connect(window_.Table(), &TableWidget::roundFinished, this, &DemoDriver::RoundFinished);
  connect(window_.Table(), &TableWidget::timelineIdle, this, &DemoDriver::TimelineIdle);
}

DemoDriver::~DemoDriver() {
  if (!commandLine_.screenshotDir.empty()) SetModalShownHook({});
}

void DemoDriver::Started() {
  if (!commandLine_.demo) return;
  QTimer::singleShot(400, this, [this] {
    Screenshot("title");
    QTimer::singleShot(300, &window_, &MainWindow::LeaveTitleScreen);
  });
}

void DemoDriver::TitleShown() {
  if (!commandLine_.measure) return;
  std::printf("title-painted\n");
  std::fflush(stdout);
  if (commandLine_.demo) return;
  if (commandLine_.idleSeconds <= 0) {
    window_.CloseWithoutAsking();
    return;
  }
  // The idle title screen, then the idle menu; nothing is clicked in between.
  MeasureIdle("idle-title", [this] {
    window_.LeaveTitleScreen();
    MeasureIdle("idle-menu", [this] { window_.CloseWithoutAsking(); });
  });
}

void DemoDriver::MeasureIdle(const char* label, std::function<void()> next) {
  if (!idlePaints_) idlePaints_ = new PaintCounter(this);
  const int ms = commandLine_.idleSeconds * 1000;
  // A second to settle (the song starts, the first frames paint), then the figures.
  QTimer::singleShot(1000, this, [this, label, ms, next = std::move(next)]() mutable {
    idlePaints_->Start();
    const double cpuStart = ProcessorMs();
    QTimer::singleShot(ms, this, [this, label, ms, cpuStart, next = std::move(next)] {
      const double cpu = ProcessorMs() - cpuStart;
      std::printf("%s cpu-percent %.2f paints-per-s %.1f kpixels-per-s %.1f\n", label,
                  100.0 * cpu / ms, idlePaints_->Paints() * 1000.0 / ms,
                  static_cast<double>(idlePaints_->Pixels()) / ms);
      std::fflush(stdout);
      next();
    });
  });
}

void DemoDriver::ScreenChanged(ScreenState screen) {
  if (screen == ScreenState::kTable) {
    stagesShot_.clear();
    roundsPlayed_ = 0;
    if (commandLine_.measure && !flightFrames_) {
      TableWidget* table = window_.Table();
      flightFrames_ = new PaintTimer(table, [table] { return table->TimelineBusy(); });
    }
    autopilot_->SetOn(commandLine_.demo);
    return;
  }
  autopilot_->SetOn(false);
  if (screen != ScreenState::kMainMenu || !commandLine_.demo || window_.MatchesStarted() > 0)
    return;
  // The menu after the title screen: a new player sits down; a demo that could not sit
  // down ends.
  QTimer::singleShot(600, this, [this] {
    Screenshot("menu");
    window_.NewPlayer();
    if (window_.Screen() != ScreenState::kTable) window_.CloseWithoutAsking();
  });
}

void DemoDriver::RoundFinished() {
  ++roundsPlayed_;
  if (commandLine_.demoRounds > 0 && roundsPlayed_ >= commandLine_.demoRounds) {
    // The autopilot stops before it deals again; the match ends once the result has played.
    autopilot_->SetOn(false);
    endPending_ = true;
    if (!window_.Table()->TimelineBusy()) TimelineIdle();
  }
}

void DemoDriver::TimelineIdle() {
  if (window_.Screen() != ScreenState::kTable) return;
  const int stage = StageNumber(window_.Match().Flow().Stage());
  if (!commandLine_.screenshotDir.empty() && !stagesShot_.count(stage)) {
    stagesShot_.insert(stage);
    Screenshot(QString("table-%1").arg(stage, 2, 10, QChar('0')));
  }
  if (!endPending_) return;
  endPending_ = false;
  QTimer::singleShot(0, this, [this] {
    if (flightFrames_) {
      std::printf("memory-parts %s\n", MemoryParts().c_str());
      std::printf("rss-kb %ld\nflight-frames %zu max-ms %.3f median-ms %.3f over-16ms %d\n",
                  ResidentKb(), flightFrames_->FrameMs().size(), flightFrames_->MaxMs(),
                  flightFrames_->MedianMs(), flightFrames_->CountOver(16.0));
      std::fflush(stdout);
    }
    window_.EndMatch(window_.Match().Flow().OnEndButton());
    Screenshot("menu-after");
    // The demo looks at the top ten before it leaves.
    window_.OpenTopTen();
    QTimer::singleShot(0, &window_, &MainWindow::CloseWithoutAsking);
  });
}

void DemoDriver::Screenshot(const QString& name, QWidget* what) {
  if (commandLine_.screenshotDir.empty()) return;
  QWidget* target = what ? what : &window_;
  const QPixmap picture = target->grab();
  picture.save(QString::fromStdString(commandLine_.screenshotDir) + "/" + name + ".png");
}

}  // namespace trilane
