#include "shell/world/server_write_window.h"

#include <QPainter>

#include "records/settings.h"
#include "rules/game.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/world/world_drawing.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kBodyWidth = 420;
constexpr int kBodyHeight = 250;

}  // namespace

ServerWriteWindow::ServerWriteWindow(WorldServices& services, int64_t cycleScore, QWidget* parent)
    : AuxWindow(services.Settings(), AuxHeader{WordText(kWordWorldTopTenTitle), 280, 40}, parent),
      services_(services),
      cycleScore_(cycleScore) {
  setObjectName("FormServerWrite");
  send_ = MakeButton(WordText(kWordSend), Body());
  send_->setObjectName("Button1");
  send_->setGeometry(20, kBodyHeight - 48, 120, 34);
  connect(send_, &QAbstractButton::clicked, this, [this] { Send(); });
  passport_ = MakeButton(WordText(kWordPassport), Body());
  passport_->setObjectName("Button2");
  passport_->setGeometry(150, kBodyHeight - 48, 120, 34);
  passport_->setEnabled(static_cast<bool>(services_.openPassport));
  connect(passport_, &QAbstractButton::clicked, this, [this] {
    if (!services_.openPassport) return;
    services_.PlaySound(TableSound::kOpenWindow);
    services_.openPassport(this);
    update();
  });
  close_ = MakeButton(WordText(kWordClose), Body());
  close_->setObjectName("Button3");
  close_->setGeometry(280, kBodyHeight - 48, 120, 34);
  connect(close_, &QAbstractButton::clicked, this, &QDialog::reject);
  SetBodySize(kBodyWidth, kBodyHeight);
}

bool ServerWriteWindow::Send() {
  if (place_) return true;
  const WorldIdentity passport = PassportOf(services_.Settings());
  const auto saved =
      services_.Client().WebSaveRecord(kWindowsTableId, passport.nick, passport.city,
                                       passport.country, cycleScore_, passport.sex, "#", "#");
  if (!saved.ok || saved.value < 1) {
    ShowError(this, WordText(kWordCantWriteResult));
    return false;
  }
  place_ = saved.value;
  send_->setEnabled(false);
  update();
  return true;
}

void ServerWriteWindow::paintEvent(QPaintEvent* event) {
  AuxWindow::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const int top = HeaderHeight();
  const bool purple = Design() == AuxDesign::kPurple;
  const QColor label = purple ? QColor(200, 175, 50) : QColor(0, 0, 128);
  const QColor value = purple ? QColor(255, 255, 255) : QColor(128, 0, 0);

  painter.setFont(RoleFont(settings_, FontRole::kDecor, 18, true));
  painter.setPen(label);
  painter.drawText(QRect(20, top + 12, kBodyWidth - 40, 30), Qt::AlignLeft | Qt::AlignVCenter,
                   WordText(kWordYourScore) + ": ");
  painter.setPen(value);
  painter.drawText(QRect(20, top + 12, kBodyWidth - 40, 30), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(cycleScore_));

  // The passport the entry goes with.
  const WorldIdentity passport = PassportOf(settings_);
  painter.setFont(RoleFont(settings_, FontRole::kConew, 15, true));
  painter.setPen(label);
  const int y = top + 64;
  painter.drawText(QRect(20, y, 140, 24), Qt::AlignLeft | Qt::AlignVCenter,
                   WordText(kWordPassport) + ":");
  const QImage sex = SexPicture(passport.sex);
  if (!sex.isNull()) painter.drawImage(160, y + 4, sex);
  const QImage flag = FlagPicture(passport.country);
  if (!flag.isNull()) painter.drawImage(182, y + 6, flag);
  painter.setPen(value);
  painter.drawText(QRect(206, y, kBodyWidth - 226, 24), Qt::AlignLeft | Qt::AlignVCenter,
                   FromCp1251(passport.nick));
  painter.drawText(QRect(206, y + 26, kBodyWidth - 226, 24), Qt::AlignLeft | Qt::AlignVCenter,
                   FromCp1251(passport.city));

  if (place_) {
    painter.setFont(RoleFont(settings_, FontRole::kDecor, 18, true));
    painter.setPen(label);
    painter.drawText(QRect(20, top + 128, kBodyWidth - 40, 32), Qt::AlignCenter,
                     WordText(kWordYourPlace) + ": " + QString::number(*place_));
  }
}

}  // namespace trilane
