#include "shell/table/table_flights.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "records/settings.h"
#include "shell/table/card_flight.h"
#include "shell/table/table_layers.h"

namespace trilane {

CardGlide::CardGlide(QWidget& table, const TSettings* settings)
    : QObject(&table), table_(table), settings_(settings) {
  layer_ = new FlightLayer(&table_);
  frameTimer_.setTimerType(Qt::PreciseTimer);
  connect(&frameTimer_, &QTimer::timeout, this, [this] { Frame(); });
}

void CardGlide::Start(QImage sprite, QPoint from, QPoint to, std::function<void()> landed) {
  layer_->Start(std::move(sprite), from);
  path_ = FlightPath(from, to);
  landed_ = std::move(landed);
  gliding_ = true;
  clock_.start();
  stepsPerMs_ = FlightStepsPerSecond(settings_ ? settings_->FlightSpeed : 4) / 1000.0;
  const qreal hz = table_.screen() ? table_.screen()->refreshRate() : 60.0;
  frameTimer_.start(std::max(4, static_cast<int>(1000.0 / std::max<qreal>(hz, 1.0))));
}

void CardGlide::Frame() {
  if (!gliding_) return;
  const size_t due = static_cast<size_t>(static_cast<double>(clock_.elapsed()) * stepsPerMs_);
  if (due + 1 >= path_.size()) {
    Stop();
    if (landed_) landed_();
    return;
  }
  layer_->MoveTo(path_[due]);
}

void CardGlide::Stop() {
  frameTimer_.stop();
  gliding_ = false;
}

void CardGlide::Calm() {
  if (layer_->Active()) layer_->Stop();
}

void CardGlide::Drop() {
  Stop();
  layer_->Stop();
}

}  // namespace trilane
