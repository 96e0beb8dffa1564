#include "shell/world/world_drawing.h"

#include <QFontMetrics>
#include <QPainter>

#include "shell/modal.h"
#include "shell/pictures.h"
#include "words/word_entries.h"

namespace trilane {

void DrawWorldRow(QPainter& painter, const WorldRow& row, const RowColumns& c, int left,
                  int centreY) {
  const QFontMetrics metrics(painter.font());
  const int baseline = centreY + (metrics.ascent() - metrics.descent()) / 2;
  if (row.place > 0) painter.drawText(left + c.place, baseline, QString::number(row.place) + ".");
  if (!row.country.empty()) {
    const QImage flag = FlagPicture(row.country);
    if (!flag.isNull()) painter.drawImage(left + c.flag, centreY - flag.height() / 2, flag);
  }
  if (!row.sex.empty()) {
    const QImage sex = SexPicture(row.sex);
    if (!sex.isNull()) painter.drawImage(left + c.sex, centreY - sex.height() / 2, sex);
  }
  // A nick or city too long for its column is cut at the next column rather than overdrawn.
  const int nickRight = row.city.empty() ? left + c.valueRight - 60 : left + c.city - 6;
  painter.drawText(QRect(left + c.nick, centreY - 12, nickRight - left - c.nick, 24),
                   Qt::AlignLeft | Qt::AlignVCenter, FromCp1251(row.nick));
  if (!row.city.empty()) {
    painter.drawText(QRect(left + c.city, centreY - 12, c.valueRight - c.city - 70, 24),
                     Qt::AlignLeft | Qt::AlignVCenter, FromCp1251(row.city));
  }
  const QString value = FromCp1251(row.value);
  painter.drawText(left + c.valueRight - metrics.horizontalAdvance(value), baseline, value);
}

void DrawNoConnect(QPainter& painter, const QRect& area) {
  painter.save();
  painter.setPen(QColor(200, 0, 0));
  painter.drawText(area, Qt::AlignCenter, WordText(kWordNoConnect));
  painter.restore();
}

}  // namespace trilane
