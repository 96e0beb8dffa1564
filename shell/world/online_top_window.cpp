#include "shell/world/online_top_window.h"

#include <QButtonGroup>
#include <QPainter>
#include <QRadioButton>
#include <algorithm>

#include "records/settings.h"
#include "rules/game.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "shell/world/world_drawing.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kBodyWidth = 600;
constexpr int kBodyHeight = 470;
const QRect kList(20, 44, 560, 320);

// The medal with the place's number on it.
QImage Medal(int64_t place) {
  QImage medal = ProgramPng("GMedal");
  if (medal.isNull()) return {};
  char name[16];
  std::snprintf(name, sizeof name, "GPlace%02d", static_cast<int>(place));
  const QImage number = ProgramPng(name);
  if (!number.isNull()) {
    QPainter painter(&medal);
    painter.drawImage((medal.width() - number.width()) / 2, (medal.height() - number.height()) / 2,
                      number);
  }
  return medal;
}

}  // namespace

OnlineTopWindow::OnlineTopWindow(WorldServices& services, QWidget* parent)
    : AuxWindow(services.Settings(), AuxHeader{WordText(kWordOnlineTopTenTitle), 610, 40}, parent),
      services_(services) {
  setObjectName("FormTourTop10");
  auto* group = new QButtonGroup(this);
  static constexpr int kWords[3] = {kWordOnlineTopScore, kWordOnlineTopRating, kWordOnlineTopGames};
  for (int i = 0; i < 3; ++i) {
    choices_[i] = new QRadioButton(WordText(kWords[i]), Body());
    choices_[i]->setObjectName(QStringLiteral("RadioGroup1_%1").arg(i + 1));
    choices_[i]->setGeometry(20 + i * 150, 8, 145, 28);
    group->addButton(choices_[i], i);
  }
  choices_[0]->setChecked(true);
  connect(group, &QButtonGroup::idClicked, this, [this](int id) {
    services_.PlaySound(TableSound::kOpenWindow);
    ChooseList(id);
  });
  auto* ok = MakeButton(WordText(kWordOk), Body());
  ok->setObjectName("Button1");
  ok->setGeometry(kBodyWidth - 150, kBodyHeight - 48, 130, 34);
  connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
  SetBodySize(kBodyWidth, kBodyHeight);
  ChooseList(0);
}

void OnlineTopWindow::ChooseList(int index) {
  list_ = std::clamp(index, 0, 2);
  choices_[list_]->setChecked(true);
  const char selector = OnlineListSelector(list_);
  // The player's own figure comes from the tournament record of the signed-in account.
  std::optional<int64_t> own;
  if (const auto account = services_.account ? services_.account() : std::nullopt) {
    const auto rating = services_.Client().WebReadRating(kTourneyGameId, account->nick);
    if (rating.ok) {
      own = selector == 's'   ? rating.value.Score
            : selector == 'r' ? rating.value.Rating
                              : rating.value.Kon;
    }
  }
  read_ = ReadOnlineTop(services_.Client(), selector, own);
  update();
}

void OnlineTopWindow::paintEvent(QPaintEvent* event) {
  AuxWindow::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const int top = HeaderHeight();
  const QRect list = kList.translated(0, top);
  painter.fillRect(list, QColor(255, 255, 245));
  painter.setPen(QColor(128, 0, 0));
  painter.drawRect(list.adjusted(0, 0, -1, -1));
  painter.setFont(RoleFont(settings_, FontRole::kConew, 15, true));
  if (read_.list.failed) {
    DrawNoConnect(painter, list);
  } else {
    RowColumns columns;
    columns.valueRight = 530;
    int row = 0;
    for (const WorldRow& entry : read_.list.rows) {
      if (row >= 10) break;
      painter.setPen(row < 3 ? QColor(160, 0, 0) : QColor(0, 0, 80));
      DrawWorldRow(painter, entry, columns, list.left(), list.top() + 16 + row * 31);
      ++row;
    }
  }
  if (!read_.ownPlace) return;
  const int y = list.bottom() + 8;
  if (*read_.ownPlace <= 10) {
    const QImage medal = Medal(*read_.ownPlace);
    if (!medal.isNull()) painter.drawImage(QRect(20, y, 64, 64), medal);
  } else {
    painter.setFont(RoleFont(settings_, FontRole::kDecor, 18, true));
    painter.setPen(QColor(0, 0, 128));
    painter.drawText(QRect(20, y, 300, 40), Qt::AlignLeft | Qt::AlignVCenter,
                     WordText(kWordYourPlace) + ": " + QString::number(*read_.ownPlace));
  }
}

}  // namespace trilane
