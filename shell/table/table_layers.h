#pragma once
// The widgets the table lays over its background: the picture elements (hands, plates,
// tablets, the round box), the flying card and the burst at the pointer. They only show
// what they are given; the table decides what lies where.
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

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
    update();
  }
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (picture_.isNull()) return;
    QPainter p(this);
    p.drawImage(0, 0, picture_);
  }

 private:
  QImage picture_;
};

// The flying card: a small window of the card's size that moves over the table. It draws
// only the card; the table and its elements show through its transparent corners and
// margin, painted by the window system's backing store for the few pixels the card left
// and entered, so no picture of the whole table is kept.
class FlightLayer : public QWidget {
 public:
  static constexpr int kMargin = 2;

  explicit FlightLayer(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FlightLayer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
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

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(kMargin, kMargin, sprite_);
  }

 private:
  QRect Frame() const {
    return QRect(at_, sprite_.size()).adjusted(-kMargin, -kMargin, kMargin, kMargin);
  }
  QImage sprite_;
  QPoint at_;
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
