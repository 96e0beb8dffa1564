#include "shell/tourney/lobby_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTableWidget>

#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/notice_window.h"
#include "shell/pictures.h"
#include "shell/text.h"
#include "shell/tourney/club_game.h"
#include "words/words.h"

namespace trilane::tourney {
namespace {

constexpr int kBodyWidth = 940;
constexpr int kBodyHeight = 440;
constexpr int kRowsTop = 52;
constexpr int kRowStep = 34;
constexpr int kButtonHeight = 30;
constexpr int kTableButtonWidth = 120;
constexpr int kSeatWidth = 140;
constexpr int kGap = 4;
constexpr int kPanelLeft = 718;
constexpr int kPanelWidth = kBodyWidth - kPanelLeft - 10;
constexpr char kSeatLetters[] = "abcd";

QString SeatCaptionText(const SeatButton& b) {
  switch (b.caption) {
    case SeatCaption::kLogOff:
      return WordText(kWordLogOff);
    case SeatCaption::kOccupied:
      return FromCp1251(b.nick) + QStringLiteral(" : ") + QString::number(b.score);
    case SeatCaption::kTakeThePlaceOf:
      return WordText(kWordTakeThePlaceOf);
    case SeatCaption::kFree:
      return WordText(kWordFree);
    case SeatCaption::kServerOff:
      break;
  }
  return WordText(kWordServerOff);
}

}  // namespace

LobbyWindow::LobbyWindow(const TSettings& settings, LobbyServices services, QWidget* parent)
    : AuxWindow(settings, AuxHeader{WordText(kWordWorldOnlineTournamentTitle), 610, 40}, parent),
      services_(std::move(services)),
      seating_(services_.web, services_.user) {
  setObjectName(QStringLiteral("FTour4"));
  const QString rulesHint = WordText(kWordRules) + QStringLiteral(": 1-6");
  const QFont seatFont = RoleFont(settings_, FontRole::kDecor, 14, true);

  welcome_ = new QLabel(Body());
  welcome_->setObjectName(QStringLiteral("LabelWe"));
  welcome_->setGeometry(10, 6, kPanelLeft - 20, 40);
  welcome_->setAlignment(Qt::AlignCenter);
  welcome_->setTextFormat(Qt::PlainText);

  for (int t = 1; t <= kTables; ++t) {
    const int y = kRowsTop + (t - 1) * kRowStep;
    const QString number = QStringLiteral("%1").arg(t, 2, 10, QLatin1Char('0'));
    QorCardsButton* caption =
        MakeButton(WordText(kWordTable) + QStringLiteral(" № ") + QString::number(t), Body());
    caption->setObjectName(QStringLiteral("ButtonT") + number);
    caption->setGeometry(10, y, kTableButtonWidth, kButtonHeight);
    caption->setToolTip(rulesHint);
    caption->setFont(seatFont);
    caption->setFocusPolicy(Qt::NoFocus);
    tableButtons_[static_cast<size_t>(t - 1)] = caption;
    for (int k = 1; k <= kSeatsPerTable; ++k) {
      QorCardsButton* seat = MakeButton(WordText(kWordServerOff), Body());
      seat->setObjectName(QStringLiteral("ButtonT") + number + QChar(kSeatLetters[k - 1]));
      seat->setGeometry(10 + kTableButtonWidth + kGap + (k - 1) * (kSeatWidth + kGap), y,
                        kSeatWidth, kButtonHeight);
      seat->setToolTip(rulesHint);
      seat->setFont(seatFont);
      seat->SetGreyWhenDisabled(true);
      seat->setEnabled(false);
      connect(seat, &QAbstractButton::clicked, this, [this, t, k] { ClickSeat(t, k); });
      seatButtons_[static_cast<size_t>(t - 1)][static_cast<size_t>(k - 1)] = seat;
    }
  }

  // The player card: six rows of a label and a value.
  cardTitle_ = new QLabel(WordText(kWordMyResults), Body());
  cardTitle_->setObjectName(QStringLiteral("LabelPl"));
  cardTitle_->setGeometry(kPanelLeft, kRowsTop - 4, kPanelWidth, 24);
  cardTitle_->setAlignment(Qt::AlignCenter);
  card_ = new QTableWidget(6, 2, Body());
  card_->setObjectName(QStringLiteral("SG"));
  card_->horizontalHeader()->hide();
  card_->verticalHeader()->hide();
  card_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  card_->setSelectionMode(QAbstractItemView::NoSelection);
  card_->setFocusPolicy(Qt::NoFocus);
  card_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  card_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  card_->setFont(RoleFont(settings_, FontRole::kDecor, 13, true));
  const int rowHeight = 26;
  for (int r = 0; r < 6; ++r) card_->setRowHeight(r, rowHeight);
  card_->setColumnWidth(0, kPanelWidth / 2);
  card_->setColumnWidth(1, kPanelWidth - kPanelWidth / 2 - 2);
  card_->setGeometry(kPanelLeft, kRowsTop + 22, kPanelWidth, 6 * rowHeight + 2);

  lamp_ = new QLabel(Body());
  lamp_->setObjectName(QStringLiteral("Image3"));
  lamp_->setGeometry(kPanelLeft, kRowsTop + 200, 48, 48);
  lamp_->setScaledContents(true);
  lampText_ = new QLabel(Body());
  lampText_->setObjectName(QStringLiteral("LabelLamp"));
  lampText_->setGeometry(kPanelLeft + 56, kRowsTop + 200, kPanelWidth - 56, 48);
  lampText_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  const int buttonsTop = kRowsTop + 262;
  top_ = MakeButton(WordText(kWordTop10), Body());
  top_->setObjectName(QStringLiteral("ButtonTop"));
  top_->setGeometry(kPanelLeft, buttonsTop, kPanelWidth, kButtonHeight);
  top_->setVisible(static_cast<bool>(services_.openTopTen));
  connect(top_, &QAbstractButton::clicked, this, [this] {
    if (services_.openTopTen) services_.openTopTen(this);
  });
  refresh_ = MakeButton(WordText(kWordRefresh), Body());
  refresh_->setObjectName(QStringLiteral("ButtonUp"));
  refresh_->setGeometry(kPanelLeft, buttonsTop + 38, kPanelWidth, kButtonHeight);
  refresh_->setToolTip(WordText(kWordNumberGames) + QStringLiteral(" 4"));
  connect(refresh_, &QAbstractButton::clicked, this, [this] {
    DrawPlayerCard();
    Refresh();
  });
  close_ = MakeButton(WordText(kWordClose), Body());
  close_->setObjectName(QStringLiteral("ButtonOk"));
  close_->setGeometry(kPanelLeft, buttonsTop + 76, kPanelWidth, kButtonHeight);
  connect(close_, &QAbstractButton::clicked, this, &QDialog::reject);
  SetBodySize(kBodyWidth, kBodyHeight);

  list_.setInterval(kListRefreshMs);
  connect(&list_, &QTimer::timeout, this, [this] {
    DrawPlayerCard();
    Refresh();
  });
  watch_.setInterval(kWatchMs);
  connect(&watch_, &QTimer::timeout, this, &LobbyWindow::Watch);
  if (services_.game != nullptr)
    connect(services_.game, &ClubGame::dealt, this, &LobbyWindow::GameDealt);

  // The lobby opens holding no seat; a game left behind has been ended or left.
  DrawPlayerCard();
  Refresh();
}

void LobbyWindow::showEvent(QShowEvent* event) {
  AuxWindow::showEvent(event);
  list_.start();
  watch_.start();
}

void LobbyWindow::done(int result) {
  // A held seat keeps the lobby open: it is given up here, or the game takes it.
  if (seating_.Held().Held() && !closingForGame_) return;
  list_.stop();
  watch_.stop();
  AuxWindow::done(result);
}

void LobbyWindow::DrawPlayerCard() {
  ownPlace_ = seating_.ReadOwnPlace();
  const web::TQorClient& own = seating_.OwnSeatRecord();
  const std::array<std::pair<int, QString>, 6> rows = {{
      {kWordPassportNick, FromCp1251(own.Nick)},
      {kWordYourScore, QString::number(own.Score)},
      {kWordYourPlace, ownPlace_ >= 0 ? QString::number(ownPlace_) : WordText(kWordNoConnect)},
      {kWordAccountRating, QString::number(own.Rating)},
      {kWordGame, QString::number(own.Kon)},
      {kWordPassportCity, FromCp1251(own.City)},
  }};
  for (int r = 0; r < 6; ++r) {
    auto* label = new QTableWidgetItem(WordText(rows[static_cast<size_t>(r)].first));
    auto* value = new QTableWidgetItem(rows[static_cast<size_t>(r)].second);
    value->setForeground(QColor(0, 0, 128));
    card_->setItem(r, 0, label);
    card_->setItem(r, 1, value);
  }
}

void LobbyWindow::Refresh() {
  const LobbyRead read = seating_.Refresh();
  if (read.seatLost && services_.game != nullptr) services_.game->GiveUpSeat();
  DrawButtons(read.buttons);
  DrawServerState(read.stateRead, read.info);
  for (QorCardsButton* b : {refresh_, close_, top_}) b->setEnabled(!read.locked);
}

void LobbyWindow::DrawButtons(const LobbyButtons& buttons) {
  for (int t = 0; t < kTables; ++t) {
    for (int k = 0; k < kSeatsPerTable; ++k) {
      const SeatButton& b = buttons[static_cast<size_t>(t)][static_cast<size_t>(k)];
      QorCardsButton* button = seatButtons_[static_cast<size_t>(t)][static_cast<size_t>(k)];
      button->setText(SeatCaptionText(b));
      button->setEnabled(b.enabled);
    }
  }
}

void LobbyWindow::DrawServerState(bool stateRead, const web::ServerInfo& info) {
  const bool on = stateRead && info.state == 'Y';
  const QImage picture = ProgramPng(on ? "GTourOn" : "GTourOff");
  lamp_->setPixmap(QPixmap::fromImage(picture));
  const QString hint =
      WordText(kWordServerLamp) + QStringLiteral(" ") + WordText(on ? kWordOn : kWordOff);
  lamp_->setToolTip(hint);
  lampText_->setText(hint);
  lampText_->setStyleSheet(on ? QStringLiteral("color: rgb(0, 128, 0);")
                              : QStringLiteral("color: rgb(128, 0, 0);"));
  const QString text = stateRead ? FromCp1251(WelcomeText(info.text)) : WordText(kWordNoConnect);
  welcome_->setFont(RoleFont(
      settings_, FontRole::kDecor,
      FontHeight(settings_, WelcomeFontPoints(static_cast<size_t>(text.size())), FontRole::kDecor) *
          4 / 3,
      true));
  welcome_->setText(text);
}

void LobbyWindow::ClickSeat(int table, int seat) {
  const SeatClickOutcome click = seating_.ClickSeat(table, seat);
  switch (click.kind) {
    case SeatClick::kNothing:
      return;
    case SeatClick::kNotGivenUp:
      Sound(TableSound::kFailure);
      return;
    case SeatClick::kGivenUp:
      if (services_.game != nullptr) services_.game->GiveUpSeat();
      break;
    case SeatClick::kSameAddress: {
      NoticeWindow notice(WordText(kWordTableTakenFromYourIp), QString(), QString(), this);
      ExecModal(notice);
      return;
    }
    case SeatClick::kTaken:
      if (services_.game != nullptr && click.port) {
        services_.game->Connect(click.seat, click.start, QString::fromStdString(click.address),
                                *click.port);
      }
      break;
    case SeatClick::kNotTaken:
      Sound(TableSound::kFailure);
      break;
  }
  Refresh();
}

void LobbyWindow::Watch() {
  if (services_.game == nullptr || !services_.game->TakeSocketError()) return;
  ShowError(this, WordText(kWordServerConnectionError));
  seating_.FreeAfterSocketError();
  services_.game->GiveUpSeat();
  Refresh();
}

void LobbyWindow::GameDealt() {
  // The table's names for the game's messages, read while the server still lists them.
  const auto names = seating_.GameDealt();
  if (names && services_.game != nullptr) services_.game->SetSeatNames(*names);
  closingForGame_ = true;
  accept();
}

void LobbyWindow::paintEvent(QPaintEvent* event) {
  AuxWindow::paintEvent(event);
}

void LobbyWindow::Sound(TableSound sound) const {
  if (services_.playSound) services_.playSound(SoundResourceName(sound));
}

}  // namespace trilane::tourney
