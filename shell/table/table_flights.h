#pragma once
// The flying card's glide over the table: a saved picture of the table without the card,
// brought up to date patch by patch where the table changed, the small window that
// carries the card over that picture, and the frames that move it at the player's speed.
// Which card flies from where to where is the table's business; this only moves it.
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QRegion>
#include <QTimer>
#include <functional>
#include <vector>

class QWidget;

namespace trilane {

struct TSettings;
class FlightLayer;

class CardGlide : public QObject {
 public:
  // `settings` gives the flight speed (none: speed 4).
  CardGlide(QWidget& table, const TSettings* settings);

  FlightLayer* Layer() const { return layer_; }
  // Glides `sprite` from `from` to `to`; `landed` runs once it has arrived.
  void Start(QImage sprite, QPoint from, QPoint to, std::function<void()> landed);
  // The glide ends where it is (the card is put down by the table); the layer stays up
  // while flights follow one another.
  void Stop();
  // Nothing flies next: the layer goes.
  void Calm();
  // Stops everything and takes the layer down.
  void Drop();
  // The table changed these pixels: the saved picture takes them again before the next
  // flight.
  void Touched(const QRect& r) { changed_ += r; }
  // A new size or background: the table is taken whole next time.
  void Forget() { saved_ = QPixmap(); }
  // Takes the whole table into the saved picture while nothing moves (`busy` false), so
  // the first flight after a new size only patches what changed: a whole grab of the
  // largest table costs more than a frame.
  void Warm(bool busy);

 private:
  void Frame();
  void RefreshSaved();

  QWidget& table_;
  const TSettings* settings_;
  QPixmap saved_;    // the table as it looks without the flying card
  QRegion changed_;  // what the table changed since the saved picture was brought up to date
  FlightLayer* layer_;
  QTimer frameTimer_;
  QElapsedTimer clock_;
  std::vector<QPoint> path_;
  double stepsPerMs_ = 1.0;
  std::function<void()> landed_;
  bool gliding_ = false;
};

}  // namespace trilane
