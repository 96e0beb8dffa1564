#include "shell/clock.h"

#include <QDateTime>
#include <QLocale>

namespace trilane {

CalendarTime Now() {
  const QDateTime now = QDateTime::currentDateTime();
  CalendarTime t;
  t.year = now.date().year();
  t.month = now.date().month();
  t.day = now.date().day();
  t.hour = now.time().hour();
  t.minute = now.time().minute();
  return t;
}

std::string ShortDatePattern() {
  const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
  std::string out;
  for (QChar c : format) {
    if (c == 'd' || c == 'M' || c == 'y' || c == '.' || c == '/' || c == '-' || c == ' ') {
      out += static_cast<char>(c.unicode());
    }
  }
  if (out.find('d') == std::string::npos || out.find('M') == std::string::npos ||
      out.find('y') == std::string::npos) {
    return kDefaultDatePattern;
  }
  return out;
}

}  // namespace trilane
