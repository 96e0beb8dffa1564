#pragma once
// The flying card's glide over the table: the small window that carries the card and the
// frames that move it at the player's speed. Which card flies from where to where is the
// table's business; this only moves it.
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPoint>
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

 private:
  void Frame();

  QWidget& table_;
  const TSettings* settings_;
  FlightLayer* layer_;
  QTimer frameTimer_;
  QElapsedTimer clock_;
  std::vector<QPoint> path_;
  double stepsPerMs_ = 1.0;
  std::function<void()> landed_;
  bool gliding_ = false;
};

}  // namespace trilane
