#pragma once
// The program's own measurements for the benchmark (--measure): how long the table takes
// to paint each frame while cards fly, and the memory the process holds.
#include <QElapsedTimer>
#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace trilane {

// Times every paint of a widget while `busy` says cards are moving.
class PaintTimer : public QObject {
 public:
  PaintTimer(QWidget* widget, std::function<bool()> busy);
  const std::vector<double>& FrameMs() const { return frameMs_; }
  double MaxMs() const;
  double MedianMs() const;
  int CountOver(double ms) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* widget_;
  std::function<bool()> busy_;
  std::vector<double> frameMs_;
  bool inside_ = false;
};

// Counts what the whole program paints while it is on: the paint events of every widget
// and the pixels they cover.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QObject* parent);
  void Start();
  long Paints() const { return paints_; }
  long long Pixels() const { return pixels_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  long paints_ = 0;
  long long pixels_ = 0;
};

// Resident memory of this process in kilobytes (0 when the system does not say).
long ResidentKb();
// What the resident memory is made of: "anon 41000 file 30000 shmem 6000 heap-used 20000
// heap-free 900" in kilobytes, as far as the system says.
std::string MemoryParts();
// Processor time this process has used, user and system, in milliseconds.
double ProcessorMs();

}  // namespace trilane
