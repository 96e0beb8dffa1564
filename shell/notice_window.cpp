#include "shell/notice_window.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include "platform/paths.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "shell/text.h"
#include "shell/widgets/qor_button.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kTextLeft = 59;
constexpr int kClientHeight = 90;

QFont NoticeFont() {
  return NamedFont("Comic Sans MS", 15, true);
}

}  // namespace

int NoticeWindow::ClientWidthFor(int widestLine) {
  return widestLine + kTextLeft >= 350 ? widestLine + kTextLeft + 50 : 400;
}

NoticeWindow::NoticeWindow(const QString& line1, const QString& line2, const QString& link,
                           QWidget* parent)
    : QDialog(parent) {
  setObjectName("FormLink");
  setWindowTitle(WordText(kWordAttention));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  auto* picture = new QLabel(this);
  picture->setObjectName("Image1");
  picture->setGeometry(5, 5, 48, 48);
  picture->setPixmap(QPixmap::fromImage(ProgramPng("GNotice")));

  const QFontMetrics metrics(NoticeFont());
  int widest = 0;
  const QString lines[3] = {line1, line2, link};
  for (int i = 0; i < 3; ++i) {
    if (lines[i].isEmpty()) continue;
    widest = std::max(widest, metrics.horizontalAdvance(lines[i]));
    QLabel* label = AddLine(lines[i], 5 + 16 * i, i == 2);
    label->setObjectName(QString("Label%1").arg(i + 1));
  }
  const int width = ClientWidthFor(widest);
  setFixedSize(width, kClientHeight);

  auto* ok = new QorCardsButton(WordText(kWordOk), this);
  ok->setObjectName("Button1");
  ok->setFont(NamedFont("Comic Sans MS", 14, true));
  ok->setGeometry(5, 58, width - 10, 27);
  ok->setDefault(true);
  connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
}

QLabel* NoticeWindow::AddLine(const QString& text, int top, bool link) {
  auto* label = new QLabel(this);
  label->setFont(NoticeFont());
  label->setGeometry(kTextLeft, top, 2000, 18);
  if (link) {
    // The link opens with the desktop's handler; Qt's own link handling is not used, so
    // that a text that is no URL still goes to the shell as a file.
    label->setText(
        QString("<a href=\"link\" style=\"color:#0000ff;\">%1</a>").arg(text.toHtmlEscaped()));
    label->setCursor(Qt::PointingHandCursor);
    connect(label, &QLabel::linkActivated, this, [text] { OpenWithShell(text); });
  } else {
    label->setText(text);
    label->setTextFormat(Qt::PlainText);
  }
  return label;
}

QString NoticeText(const NoticeLine& line) {
  QString text;
  if (line.word >= 0) text = WordText(line.word);
  return text + FromUtf8(line.tail);
}

void WindowNotices::ShowNotice(const NoticeLine& line1, const NoticeLine& line2,
                               const NoticeLine& line3) {
  ++shown_;
  NoticeWindow window(NoticeText(line1), NoticeText(line2), NoticeText(line3), parent_);
  ExecModal(window);
}

}  // namespace trilane
