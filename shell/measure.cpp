#include "shell/measure.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QPaintEvent>
#include <QWidget>
#include <algorithm>

#include <cstring>

#include <sys/resource.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace trilane {

PaintTimer::PaintTimer(QWidget* widget, std::function<bool()> busy)
    : QObject(widget), widget_(widget), busy_(std::move(busy)) {
  widget_->installEventFilter(this);
}

bool PaintTimer::eventFilter(QObject* watched, QEvent* event) {
  if (watched != widget_ || event->type() != QEvent::Paint || inside_ || !busy_()) return false;
  // The paint is delivered from here, inside the same paint pass, so its whole cost is
  // timed; the event is then taken as handled.
  inside_ = true;
  QElapsedTimer timer;
  timer.start();
  const bool handled = QCoreApplication::sendEvent(widget_, event);
  frameMs_.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  inside_ = false;
  return handled;
}

double PaintTimer::MaxMs() const {
  return frameMs_.empty() ? 0.0 : *std::max_element(frameMs_.begin(), frameMs_.end());
}

double PaintTimer::MedianMs() const {
  if (frameMs_.empty()) return 0.0;
  std::vector<double> sorted = frameMs_;
  std::sort(sorted.begin(), sorted.end());
  return sorted[sorted.size() / 2];
}

int PaintTimer::CountOver(double ms) const {
  return static_cast<int>(
      std::count_if(frameMs_.begin(), frameMs_.end(), [ms](double f) { return f > ms; }));
}

PaintCounter::PaintCounter(QObject* parent) : QObject(parent) {}

void PaintCounter::Start() {
  paints_ = 0;
  pixels_ = 0;
  QCoreApplication::instance()->installEventFilter(this);
}

bool PaintCounter::eventFilter(QObject*, QEvent* event) {
  if (event->type() == QEvent::Paint) {
    ++paints_;
    for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
      pixels_ += static_cast<long long>(r.width()) * r.height();
  }
  return false;
}

double ProcessorMs() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0.0;
  auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

std::string MemoryParts() {
  std::string parts;
  QFile status("/proc/self/status");
  if (status.open(QIODevice::ReadOnly)) {
    for (const QByteArray& line : status.readAll().split('\n')) {
      for (const char* key : {"RssAnon:", "RssFile:", "RssShmem:"}) {
        if (!line.startsWith(key)) continue;
        const QByteArray name = QByteArray(key + 3).chopped(1).toLower();
        parts += name.toStdString() + " " +
                 line.mid(static_cast<qsizetype>(std::strlen(key)))
                     .trimmed()
                     .split(' ')
                     .value(0)
                     .toStdString() +
                 " ";
      }
    }
  }
#if defined(__GLIBC__)
  const struct mallinfo2 heap = mallinfo2();
  parts += "heap-used " + std::to_string((heap.uordblks + heap.hblkhd) / 1024) + " heap-free " +
           std::to_string(heap.fordblks / 1024);
#endif
  return parts;
}

long ResidentKb() {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
  }
  return 0;
}

}  // namespace trilane
