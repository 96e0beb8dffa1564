#include "shell/table/speed_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/table/card_flight.h"
#include "words/words.h"

namespace trilane {

namespace {

// The pace of the demonstration per speed, in milliseconds per frame.
int DemoInterval(int speed) {
  static constexpr int kIntervals[] = {110, 95, 80, 65, 40, 25};
  return kIntervals[std::clamp(speed, kMinFlightSpeed, kMaxFlightSpeed) - 1];
}

constexpr int kDemoFrames = 10;

}  // namespace

SpeedWindow::SpeedWindow(TSettings& settings, QWidget* parent)
    : AuxWindow(settings, AuxHeader{WordText(kWordSpeed), 300, 40}, parent), writable_(settings) {
  setObjectName(QStringLiteral("FormSpeed"));
  setWindowTitle(WordText(kWordChoiceOfSpeed));
  SetBodySize(310, 275 - HeaderHeight());

  auto* outer = new QVBoxLayout(Body());
  outer->setContentsMargins(16, 10, 16, 14);
  auto* caption = new QLabel(WordText(kWordSelectFlightSpeed), Body());
  caption->setWordWrap(true);
  outer->addWidget(caption);

  slider_ = new QSlider(Qt::Horizontal, Body());
  slider_->setObjectName(QStringLiteral("TrackBar1"));
  slider_->setRange(kMinFlightSpeed, kMaxFlightSpeed);
  slider_->setPageStep(1);
  slider_->setTickPosition(QSlider::TicksBelow);
  slider_->setTickInterval(1);
  slider_->setValue(std::clamp(settings.FlightSpeed, kMinFlightSpeed, kMaxFlightSpeed));
  slider_->setAccessibleName(WordText(kWordSelectFlightSpeed));
  outer->addSpacing(44);  // the flying card's lane
  outer->addWidget(slider_);
  auto* marks = new QHBoxLayout;
  for (int i = kMinFlightSpeed; i <= kMaxFlightSpeed; ++i) {
    auto* mark = new QLabel(QString::number(i), Body());
    mark->setAlignment(Qt::AlignCenter);
    marks->addWidget(mark);
  }
  outer->addLayout(marks);
  outer->addStretch(1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  QorCardsButton* ok = MakeButton(WordText(kWordOk), Body());
  ok->setObjectName(QStringLiteral("Button1"));
  ok->setFixedSize(100, 32);
  ok->setDefault(true);
  connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
  buttons->addWidget(ok);
  buttons->addStretch(1);
  outer->addLayout(buttons);

  connect(slider_, &QSlider::valueChanged, this, [this](int value) {
    writable_.FlightSpeed = value;
    timer_.setInterval(DemoInterval(value));
  });
  timer_.setInterval(DemoInterval(slider_->value()));
  connect(&timer_, &QTimer::timeout, this, [this] {
    frame_ = (frame_ + 1) % kDemoFrames;
    update();
  });
  timer_.start();
}

void SpeedWindow::paintEvent(QPaintEvent* event) {
  AuxWindow::paintEvent(event);
  // A small card crossing its lane: one tenth of the way per frame.
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const int lane = slider_->mapTo(this, QPoint(0, 0)).y() - 34;
  const int x = 20 + (width() - 60) * frame_ / (kDemoFrames - 1);
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(QColor(250, 250, 250));
  p.drawRoundedRect(QRect(x, lane, 20, 28), 3, 3);
  p.setBrush(QColor(30, 60, 170));
  p.drawRoundedRect(QRect(x + 3, lane + 3, 14, 22), 2, 2);
}

}  // namespace trilane
