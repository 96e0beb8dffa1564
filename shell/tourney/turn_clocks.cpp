#include "shell/tourney/turn_clocks.h"

#include <QLabel>
#include <QPainter>

#include "shell/fonts.h"
#include "shell/pictures.h"
#include "shell/table/table_widget.h"

namespace trilane::tourney {
namespace {

constexpr int kClockSide = 40;

}  // namespace

QRect ClockBaseRect(int position) {
  // In the free green of the table's upper half, clear of every seat's cards, open rows,
  // plates and tablets: the left and right players' clocks above the inner corners of their
  // hands, the top player's beside its plate, and the own clock beside the own plate as it
  // stands above the grid while arranging.
  switch (position) {
    case 1:
      return {192, 140, kClockSide, kClockSide};
    case 2:
      return {466, 98, kClockSide, kClockSide};
    case 3:
      return {528, 110, kClockSide, kClockSide};
    default:
      return {466, 146, kClockSide, kClockSide};
  }
}

TurnClocks::TurnClocks(TableWidget& table, const TSettings& settings)
    : QObject(&table), table_(table), settings_(settings) {
  for (int p = 1; p <= 4; ++p) {
    auto* image = new QLabel(&table);
    image->setObjectName(QStringLiteral("ImTimer%1").arg(p));
    image->setAttribute(Qt::WA_TransparentForMouseEvents);
    image->hide();
    images_[static_cast<size_t>(p - 1)] = image;
  }
  connect(&table, &TableWidget::laidOut, this, &TurnClocks::Relayout);
  Relayout();
}

void TurnClocks::Show(int position, int count) {
  position_ = position >= 1 && position <= 4 ? position : 0;
  count_ = position_ == 0 ? 0 : count;
  Render();
}

void TurnClocks::Relayout() {
  const Layout& layout = table_.TableLayout();
  for (int p = 1; p <= 4; ++p) {
    const QRect base = ClockBaseRect(p);
    images_[static_cast<size_t>(p - 1)]->setGeometry(
        layout.ScaledRect(base.left(), base.top(), base.right() + 1, base.bottom() + 1));
  }
  Render();
}

void TurnClocks::Render() {
  for (int p = 1; p <= 4; ++p) {
    QLabel* image = images_[static_cast<size_t>(p - 1)];
    if (p != position_) {
      image->hide();
      image->clear();
      continue;
    }
    const QSize size = image->size();
    const bool urgent = count_ < 8;
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QImage face = ProgramPng(urgent ? "GTimerR" : "GTimerY");
    if (!face.isNull()) {
      painter.drawImage(picture.rect(), face);
    } else {
      painter.setBrush(QColor(20, 20, 20, 200));
      painter.setPen(Qt::NoPen);
      painter.drawEllipse(picture.rect().adjusted(1, 1, -1, -1));
    }
    painter.setFont(
        RoleFont(settings_, FontRole::kDecor, std::max(8, size.height() * 9 / 20), true));
    painter.setPen(urgent ? QColor(255, 255, 0) : QColor(255, 0, 0));
    painter.drawText(picture.rect(), Qt::AlignCenter, QString::number(count_));
    painter.end();
    image->setPixmap(QPixmap::fromImage(picture));
    image->setAccessibleName(QString::number(count_));
    image->raise();
    image->show();
  }
}

}  // namespace trilane::tourney
