#pragma once
// The two clocks of the main menu in the larger windows: the time, with a blinking colon,
// and the information clock, which shows one page of web figures a minute. Each is a
// 115 x 64 picture drawn over the window's background.
#include <QImage>
#include <QString>
#include <QTime>
#include <QWidget>
#include <array>
#include <string>

namespace trilane {

inline constexpr int kMenuClockWidth = 115;
inline constexpr int kMenuClockHeight = 64;

class TimeClock : public QWidget {
  Q_OBJECT

 public:
  explicit TimeClock(QWidget* parent);
  // Shows `now`; repaints only when hours, minutes or the colon changed.
  void Refresh(const QTime& now);
  // What is shown, for the screen reader and tests: "9:05".
  QString Shown() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage face_;
  std::array<QImage, 10> digits_;
  QImage colon_;
  int hours_ = -1;
  int minutes_ = -1;
  bool colonShown_ = false;
};

// One page of the information clock as the window draws it.
struct InformationFace {
  int page = 0;      // 1..7 (0: nothing to show yet)
  std::string icon;  // program picture of the page
  QString value;     // digits, a sign or "K", "M", "G"
  QString hint;
  // The best player's flag beside the icon ("C-RRR"), or empty.
  std::string country;
};

class InformationClock : public QWidget {
  Q_OBJECT

 public:
  explicit InformationClock(QWidget* parent);
  void SetFace(const InformationFace& face);
  const InformationFace& Face() const { return face_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage background_;
  InformationFace face_;
  QImage icon_;
  QImage flag_;
  std::array<QImage, 10> digits_;
};

}  // namespace trilane
