#pragma once
// The widgets the table lays over its background: the picture elements (hands, plates,
// tablets, the round box), the flying card and the burst at the pointer. They only show
// what they are given; the table decides what lies where.
#include <QImage>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace trilane {

// A picture element of the table (hand, plate, tablet, round box). It only shows the
// picture it is given; the table finds what lies under the pointer itself.
class TableImage : public QWidget {
 public:
  TableImage(const char* name, QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(name));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
  }
  void SetPicture(QImage picture) {
    picture_ = std::move(picture);
    Touched(geometry());
    update();
  }
  void setVisible(bool visible) override {
    if (visible != isVisible()) Touched(geometry());
    QWidget::setVisible(visible);
  }
  // Tells the table which of its pixels this element changed (for the flights' saved picture).
  std::function<void(const QRect&)> touched;
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (picture_.isNull()) return;
    QPainter p(this);
    p.drawImage(0, 0, picture_);
  }
  void moveEvent(QMoveEvent* event) override {
    Touched(QRect(event->oldPos(), size()));
    Touched(geometry());
  }
  void resizeEvent(QResizeEvent* event) override {
    Touched(QRect(pos(), event->oldSize()));
    Touched(geometry());
  }

 private:
  void Touched(const QRect& r) {
    if (touched && r.isValid()) touched(r);
  }
  QImage picture_;
};

// The flying card. The table keeps a saved picture of itself; this small window shows the
// saved picture's patch under the card with the card drawn over it, and moves with the
// card, so each frame repaints only the card's old and new rectangles.
class FlightLayer : public QWidget {
 public:
  static constexpr int kMargin = 2;

  FlightLayer(const QPixmap& saved, QWidget* parent) : QWidget(parent), saved_(saved) {
    setObjectName(QStringLiteral("FlightLayer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    hide();
  }
  void Start(QImage sprite, QPoint at) {
    sprite_ = std::move(sprite);
    at_ = at;
    setGeometry(Frame());
    raise();
    show();
    update();
  }
  void MoveTo(QPoint at) {
    if (at == at_) return;
    at_ = at;
    setGeometry(Frame());
  }
  void Stop() {
    hide();
    sprite_ = QImage();
  }
  bool Active() const { return isVisible(); }
  // While the table draws itself into the saved picture, the card stays out of it.
  void SetPassThrough(bool on) { passThrough_ = on; }

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (passThrough_) return;
    QPainter p(this);
    const QRect r = event->rect();
    const QRect source = r.translated(pos());
    const qreal dpr = saved_.devicePixelRatio();
    p.drawPixmap(
        r, saved_,
        QRectF(source.x() * dpr, source.y() * dpr, source.width() * dpr, source.height() * dpr));
    p.drawImage(kMargin, kMargin, sprite_);
  }

 private:
  QRect Frame() const {
    return QRect(at_, sprite_.size()).adjusted(-kMargin, -kMargin, kMargin, kMargin);
  }
  const QPixmap& saved_;
  QImage sprite_;
  QPoint at_;
  bool passThrough_ = false;
};

// The burst at the pointer when a button or a card is pressed (with the options on).
class SaluteLayer : public QWidget {
 public:
  SaluteLayer(QImage strip, QWidget* parent) : QWidget(parent), strip_(std::move(strip)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(100, 100);
    timer_.setInterval(12);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] {
      if (++frame_ >= kFrames) {
        timer_.stop();
        deleteLater();
        return;
      }
      update();
    });
  }
  void Play(QPoint centre) {
    move(centre - QPoint(50, 50));
    raise();
    show();
    timer_.start();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, strip_, frame_ * 100, 0, 100, 100);
  }

 private:
  static constexpr int kFrames = 30;
  QImage strip_;
  QTimer timer_;
  int frame_ = 0;
};

}  // namespace trilane
