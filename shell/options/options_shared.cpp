#include "shell/options/options_shared.h"

#include <QAbstractButton>
#include <QImage>
#include <QPainter>
#include <QSpinBox>

#include "records/settings.h"
#include "shell/options/options_page.h"

namespace trilane {

void OptionsContext::Salute() const {
  if (record.SaluteButtons && services.salute) services.salute();
}

QString Latin(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

void SetItems(QComboBox* box, std::initializer_list<QString> items) {
  const QSignalBlocker quiet(box);
  const int current = box->currentIndex();
  if (box->count() != static_cast<int>(items.size())) {
    box->clear();
    for (const QString& item : items) box->addItem(item);
  } else {
    int i = 0;
    for (const QString& item : items) box->setItemText(i++, item);
  }
  box->setCurrentIndex(std::max(current, 0));
}

void SetIndexQuietly(QComboBox* box, int index) {
  const QSignalBlocker quiet(box);
  box->setCurrentIndex(index);
}

void SetCheckedQuietly(QAbstractButton* box, bool on) {
  const QSignalBlocker quiet(box);
  box->setChecked(on);
}

void SetValueQuietly(QSpinBox* box, int value) {
  const QSignalBlocker quiet(box);
  box->setValue(value);
}

void DrawCell(QPainter& painter, int x, const QImage& picture) {
  if (!picture.isNull()) painter.drawImage(QRect(x + 1, 1, 69, 94), picture);
  painter.setPen(Qt::black);
  painter.drawLine(x + 2, 0, x + 68, 0);
  painter.drawLine(x + 2, 95, x + 68, 95);
  painter.drawLine(x, 2, x, 93);
  painter.drawLine(x + 70, 2, x + 70, 93);
}

}  // namespace trilane
