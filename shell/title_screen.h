#pragma once
// The title screen: a black picture with two raised silver panels, the release date, the
// author line and the version, the short title whose letters cycle through a ring of ten
// colours, and four small pictures walking round the outer panel. A key released or a
// click leaves it.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>

namespace trilane {

// The letters of a short title and where each one is drawn (its left edge).
std::vector<int> TitleLetterPositions(const QString& shortTitle);

// One step clockwise round the walkers' rectangle (155, 68)-(550, 362).
QPoint NextWalkerPosition(QPoint p);

class TitleScreen : public QWidget {
  Q_OBJECT

 public:
  explicit TitleScreen(QWidget* parent);

  // Draws the fixed parts for the current language and starts the 20 ms animation.
  void Prepare();
  // Leaves the screen: the animation stops and the pictures are let go.
  void Stop();
  // Holds the animation on its frame, pictures kept (Prepare starts it anew).
  void Pause() { timer_.stop(); }
  bool Running() const { return timer_.isActive(); }
  // One frame (the timer calls it; tests and screenshots too).
  void Tick();
  const QImage& Picture() const { return frame_; }

 signals:
  void left();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  QPoint FrameOrigin() const;

  QImage base_;   // panels and fixed texts
  QImage frame_;  // base + letters + walkers
  QImage walkers_;
  std::array<QImage, 4> walkerFrames_;  // the four walkers cut from their strip
  QFont lettersFont_;
  std::array<QColor, 10> ring_;
  std::array<QPoint, 4> walker_;
  int ticks_ = 0;
  QString shortTitle_;
  std::vector<int> letterX_;
  QRect lettersRect_;
  bool coloursStepped_ = false;  // the letters change colour in the next frame
  QRegion walkersDrawn_;         // where the last frame drew the walkers
  QTimer timer_;
  bool leaving_ = false;
};

}  // namespace trilane
