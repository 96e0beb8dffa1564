#include "shell/top_ten_window.h"

#include <QPainter>

#include "records/settings.h"
#include "shell/animation_label.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/text.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kBodyWidth = 460;
constexpr int kBodyHeight = 420;
constexpr int kRowsTop = 120;  // in the body
constexpr int kRowStep = 24;

}  // namespace

TopTenWindow::TopTenWindow(const TSettings& settings, std::vector<TopTenRow> entries, bool net,
                           QWidget* parent)
    : AuxWindow(settings, AuxHeader{WordText(kWordTopTen), 430, 40}, parent),
      entries_(std::move(entries)),
      net_(net) {
  setObjectName("FormTopTen");
  trophy_ = new AnimationLabel("GTopTen", Body());
  trophy_->setGeometry(20, 8, 64, 64);
  trophy_->SetRunning(true);
  club_ = new AnimationLabel(net ? "GClubG" : "GClubF", Body());
  club_->setGeometry(kBodyWidth - 84, 8, 64, 64);
  club_->SetRunning(true);

  auto* ok = MakeButton(WordText(kWordOk), Body());
  ok->setObjectName("Button1");
  ok->setGeometry((kBodyWidth - 120) / 2, kBodyHeight - 44, 120, 30);
  connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
  SetBodySize(kBodyWidth, kBodyHeight);
}

void TopTenWindow::paintEvent(QPaintEvent* event) {
  AuxWindow::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const int top = HeaderHeight();

  // The title names the table: local games or network games.
  painter.setFont(RoleFont(settings_, FontRole::kDecor, 17, true));
  painter.setPen(QColor(128, 0, 0));
  const QString title = WordText(net_ ? kWordTopCategoryG : kWordTopCategoryF);
  painter.drawText(QRect(90, top + 20, kBodyWidth - 180, 40), Qt::AlignCenter | Qt::TextWordWrap,
                   title);

  // Column headers.
  painter.setFont(RoleFont(settings_, FontRole::kDecor, 15, true));
  painter.setPen(QColor(0, 0, 128));
  painter.drawText(QRect(40, top + 84, 200, 24), Qt::AlignLeft | Qt::AlignVCenter,
                   WordText(kWordTopTen));
  painter.drawText(QRect(kBodyWidth - 240, top + 84, 200, 24), Qt::AlignRight | Qt::AlignVCenter,
                   WordText(kWordScore));
  painter.setPen(QColor(0, 0, 128, 120));
  painter.drawLine(36, top + 110, kBodyWidth - 36, top + 110);

  const QFont rowFont = RoleFont(settings_, FontRole::kConew, 15, true);
  painter.setFont(rowFont);
  for (int i = 0; i < static_cast<int>(entries_.size()) && i < 10; ++i) {
    const int y = top + kRowsTop + i * kRowStep;
    if (i % 2 == 0) painter.fillRect(36, y, kBodyWidth - 72, kRowStep, QColor(255, 255, 255, 110));
    painter.setPen(i < 3 ? QColor(160, 0, 0) : Qt::black);
    const QRect row(40, y, kBodyWidth - 80, kRowStep);
    painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, QString::number(i + 1) + ".");
    painter.drawText(row.adjusted(36, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     FromCp1251(entries_[i].name));
    painter.drawText(row, Qt::AlignRight | Qt::AlignVCenter, QString::number(entries_[i].score));
  }
}

}  // namespace trilane
