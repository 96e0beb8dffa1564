#include "shell/menu_clocks.h"

#include <QPainter>

#include "shell/flags.h"
#include "shell/fonts.h"
#include "shell/pictures.h"

namespace trilane {

namespace {

// The digit sets of the information clock's seven pages.
constexpr std::array<char, 7> kPageDigitSets = {'R', 'A', 'G', 'Y', 'V', 'L', 'N'};
// Their colours, for the characters that have no digit picture.
constexpr std::array<QRgb, 7> kPageInks = {0xffff4a4a, 0xff4ae8ff, 0xff4cff6a, 0xffffe84a,
                                           0xffd07aff, 0xffa0c8ff, 0xffffa040};
constexpr int kInfoDigitW = 12;
constexpr int kInfoDigitH = 20;

}  // namespace

TimeClock::TimeClock(QWidget* parent) : QWidget(parent) {
  setObjectName("ImClock1");
  setFixedSize(kMenuClockWidth, kMenuClockHeight);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  face_ = ProgramPng("GClockBG");
  for (int d = 0; d < 10; ++d)
    digits_[static_cast<size_t>(d)] = ProgramPng("GBClock" + std::to_string(d));
  colon_ = ProgramPng("GBClockP");
}

void TimeClock::Refresh(const QTime& now) {
  const bool colon = now.msec() > 500;
  if (now.hour() == hours_ && now.minute() == minutes_ && colon == colonShown_) return;
  const bool changed = now.hour() != hours_ || now.minute() != minutes_;
  hours_ = now.hour();
  minutes_ = now.minute();
  colonShown_ = colon;
  if (changed) setAccessibleName(Shown());
  update();
}

QString TimeClock::Shown() const {
  if (hours_ < 0) return {};
  return QStringLiteral("%1:%2").arg(hours_).arg(minutes_, 2, 10, QLatin1Char('0'));
}

void TimeClock::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!face_.isNull()) p.drawImage(rect(), face_);
  if (hours_ < 0) return;
  auto digit = [&](int x, int d) {
    const QImage& picture = digits_[static_cast<size_t>(d)];
    if (!picture.isNull()) p.drawImage(QPoint(x, 15), picture);
  };
  if (hours_ / 10 > 0) digit(14, hours_ / 10);
  digit(34, hours_ % 10);
  digit(61, minutes_ / 10);
  digit(81, minutes_ % 10);
  if (colonShown_ && !colon_.isNull()) p.drawImage(QPoint(55, 24), colon_);
}

InformationClock::InformationClock(QWidget* parent) : QWidget(parent) {
  setObjectName("ImClock2");
  setFixedSize(kMenuClockWidth, kMenuClockHeight);
  background_ = ProgramPng("GClockBG");
}

void InformationClock::SetFace(const InformationFace& face) {
  const bool newPage = face.page != face_.page;
  const bool newIcon = face.icon != face_.icon;
  face_ = face;
  if (newIcon) {
    const QImage icon = ProgramPng(face_.icon);
    icon_ = icon.isNull() ? QImage()
                          : icon.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  flag_ = FlagPicture(face_.country);
  if (newPage) {
    for (auto& d : digits_) d = QImage();
    if (face_.page >= 1 && face_.page <= 7) {
      const std::string set =
          std::string("G") + kPageDigitSets[static_cast<size_t>(face_.page - 1)] + "Clock";
      for (int d = 0; d < 10; ++d)
        digits_[static_cast<size_t>(d)] = ProgramPng(set + std::to_string(d));
    }
  }
  setToolTip(face_.hint);
  setAccessibleName(face_.hint + QStringLiteral(" ") + face_.value);
  update();
}

void InformationClock::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  if (!background_.isNull()) p.drawImage(rect(), background_);
  if (face_.page < 1 || face_.page > 7) return;
  if (!icon_.isNull()) p.drawImage(QPoint(10, 10), icon_);
  if (!flag_.isNull()) p.drawImage(QPoint(30, 12), flag_);
  // The value right-aligned in the lower part of the face; a character without a digit
  // picture ("K", "M", "G", "-") is written in the colour of the page's digits.
  const int top = (height() - kInfoDigitH) / 2 + 6;
  int x = width() - 10;
  p.setFont(NamedFont(QStringLiteral("Arial"), 16, true));
  const QColor ink = QColor::fromRgba(kPageInks[static_cast<size_t>(face_.page - 1)]);
  for (qsizetype i = face_.value.size() - 1; i >= 0; --i) {
    const QChar c = face_.value[i];
    const QImage* picture = c.isDigit() && c.unicode() < 128
                                ? &digits_[static_cast<size_t>(c.unicode() - '0')]
                                : nullptr;
    if (picture && !picture->isNull()) {
      x -= kInfoDigitW;
      p.drawImage(QPoint(x, top), *picture);
    } else {
      const int w = p.fontMetrics().horizontalAdvance(c);
      x -= w;
      p.setPen(ink);
      p.drawText(QRect(x, top, w, kInfoDigitH), Qt::AlignCenter, QString(c));
    }
    if (x < 30) break;  // the icon's column
  }
}

}  // namespace trilane
