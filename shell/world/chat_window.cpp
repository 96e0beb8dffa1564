#include "shell/world/chat_window.h"

#include <QCheckBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

#include "base/codepage.h"
#include "records/settings.h"
#include "rules/game.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "shell/world/world_drawing.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kBoardWidth = 700;
constexpr int kRowHeight = 50;
constexpr int kBoardHeight = 10 * kRowHeight;
constexpr int kBodyWidth = kBoardWidth + 20;
constexpr int kBodyHeight = kBoardHeight + 158;
constexpr int kMaxMessageChars = 200;

bool EmptyRecord(const web::TQorRecord& record) {
  return record.Nick.empty() || record.Nick == "#";
}

// The message text of a record: "#" is an empty one.
std::string MessageText(const web::TQorRecord& record) {
  std::string text = record.R10;
  if (!text.empty() && text.back() == '*') text.pop_back();
  return text == "#" ? std::string() : text;
}

// The program's title in the first language of the tables, whatever the current one.
std::string TitleInFirstLanguage() {
  const int current = LanguageIndex();
  SetLanguageIndex(0);
  std::string title(ProductTitle());
  SetLanguageIndex(current);
  return title;
}

}  // namespace

int64_t BoardRead::Newest() const {
  if (failed || EmptyRecord(records[0])) return 0;
  return records[0].Score;
}

BoardRead ReadBoard(web::WebClient& client) {
  const auto read = client.WebReadRecords(kBoardId);
  BoardRead board;
  board.failed = !read.ok;
  board.records = read.value;
  return board;
}

QString MessageHeader(const web::TQorRecord& record) {
  const std::string header =
      record.City + " : " + ShownBoardText(record.R09) + " " + record.R08 + " : " + record.Nick;
  return FromCp1251(header);
}

ChatWindow::ChatWindow(WorldServices& services, int64_t lastRead, QWidget* parent)
    : AuxWindow(services.Settings(), AuxHeader{WordText(kWordQorGamesChat), 550, 40}, parent),
      services_(services),
      settingsPath_(ChatSettingsPath(services.ProgramFolder())),
      options_(LoadChatSettings(settingsPath_)),
      lastRead_(lastRead) {
  setObjectName("FormChat");
  sendUp_ = ProgramPng("AdvButR");
  sendDown_ = ProgramPng("AdvButG");
  newMark_ = ProgramPng("GNew");

  input_ = new QLineEdit(Body());
  input_->setObjectName("Edit1");
  input_->setMaxLength(kMaxMessageChars);
  input_->setFont(RoleFont(settings_, FontRole::kConew, 15, true));
  input_->setGeometry(10, kBoardHeight + 12, kBoardWidth - 80, 32);
  connect(input_, &QLineEdit::returnPressed, this, [this] { Send(); });

  send_ = new QLabel(Body());
  send_->setObjectName("Image3");
  send_->setGeometry(kBoardWidth - 60, kBoardHeight + 12, 64, 32);
  send_->setPixmap(QPixmap::fromImage(sendUp_));
  send_->setCursor(Qt::PointingHandCursor);
  send_->installEventFilter(this);

  lastAtBottom_ = new QCheckBox(WordText(kWordLastMessageAtBottom), Body());
  lastAtBottom_->setObjectName("CheckBox1");
  lastAtBottom_->setGeometry(10, kBoardHeight + 50, kBoardWidth, 26);
  lastAtBottom_->setChecked(options_.lastAtBottom);
  connect(lastAtBottom_, &QCheckBox::clicked, this, [this](bool on) {
    options_.lastAtBottom = on;
    SaveOptions();
    DrawBoard();
    // Until the next tick: the board is not turned over and over.
    lastAtBottom_->setEnabled(false);
  });
  openOnNew_ = new QCheckBox(WordText(kWordOpenOnNewMessage), Body());
  openOnNew_->setObjectName("CheckBox2");
  openOnNew_->setGeometry(10, kBoardHeight + 78, kBoardWidth, 26);
  openOnNew_->setChecked(options_.openOnNew);
  connect(openOnNew_, &QCheckBox::clicked, this, [this](bool on) {
    options_.openOnNew = on;
    SaveOptions();
  });

  passport_ = MakeButton(WordText(kWordPassport), Body());
  passport_->setObjectName("Button2");
  passport_->setGeometry(10, kBodyHeight - 46, 150, 34);
  passport_->setEnabled(static_cast<bool>(services_.openPassport));
  connect(passport_, &QAbstractButton::clicked, this, [this] {
    if (!services_.openPassport) return;
    services_.PlaySound(TableSound::kOpenWindow);
    services_.openPassport(this);
    CheckPassport();
  });
  close_ = MakeButton(WordText(kWordClose), Body());
  close_->setObjectName("Button1");
  close_->setGeometry(kBodyWidth - 160, kBodyHeight - 46, 150, 34);
  connect(close_, &QAbstractButton::clicked, this, &QDialog::reject);

  timer_.setInterval(15000);
  connect(&timer_, &QTimer::timeout, this, &ChatWindow::Tick);
  timer_.start();

  SetBodySize(kBodyWidth, kBodyHeight);
  CheckPassport();
  Reload();
}

bool ChatWindow::InputAllowed() const {
  const TSettings& s = services_.Settings();
  return IsPassportName(s.TopTenNick, kPassportNickChars) &&
         IsPassportName(s.TopTenCity, kPassportCityChars);
}

void ChatWindow::CheckPassport() {
  input_->setEnabled(InputAllowed());
}

void ChatWindow::Tick() {
  CheckPassport();
  send_->show();
  lastAtBottom_->setEnabled(true);
}

void ChatWindow::SaveOptions() {
  // A file that cannot be written keeps the old options; the board works on regardless.
  SaveChatSettings(settingsPath_, options_);
}

void ChatWindow::Reload() {
  board_ = ReadBoard(services_.Client());
  DrawBoard();
}

bool ChatWindow::Send() {
  const QString typed = input_->text();
  if (typed.isEmpty() || !input_->isEnabled()) return false;
  const std::string text = BoardText(*Utf8ToCp1251(typed.toStdString(), '_'));
  const QDateTime now = QDateTime::currentDateTime();
  const QLocale locale = QLocale::system();
  const std::string stamp = MessageStamp(
      *Utf8ToCp1251(locale.toString(now.time(), QLocale::ShortFormat).toStdString(), '_'),
      *Utf8ToCp1251(locale.toString(now.date(), QLocale::ShortFormat).toStdString(), '_'),
      *Utf8ToCp1251(TitleInFirstLanguage(), '_'));
  const BoardRead before = ReadBoard(services_.Client());
  const TSettings& s = services_.Settings();
  bool posted = false;
  if (!before.failed) {
    const auto saved =
        services_.Client().WebSaveRecord(kBoardId, s.TopTenNick, s.TopTenCity, s.TopTenCountry,
                                         before.Newest() + 1, s.TopTenSex, stamp, text);
    posted = saved.ok && saved.value > 0;
  }
  if (!posted) {
    ShowError(this, WordText(kWordCantSendMessage));
    return false;
  }
  // One message per tick: the field and the send picture come back with the timer.
  input_->clear();
  input_->setEnabled(false);
  send_->hide();
  Reload();
  // The service numbers the message itself (two players may post at once): the board read
  // again says which number it took.
  const int64_t number = board_.failed ? before.Newest() + 1 : board_.Newest();
  lastRead_ = number;
  options_.lastSeen = number;
  SaveOptions();
  DrawBoard();
  return true;
}

bool ChatWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == send_) {
    if (event->type() == QEvent::MouseButtonPress) {
      send_->setPixmap(QPixmap::fromImage(sendDown_));
      return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
      send_->setPixmap(QPixmap::fromImage(sendUp_));
      Send();
      return true;
    }
  }
  return AuxWindow::eventFilter(watched, event);
}

void ChatWindow::DrawBoard() {
  picture_ = QImage(kBoardWidth, kBoardHeight, QImage::Format_ARGB32_Premultiplied);
  picture_.fill(Qt::white);
  QPainter painter(&picture_);
  painter.setRenderHint(QPainter::TextAntialiasing);
  for (int k = 0; k < 10; ++k) {
    const int y = k * kRowHeight;
    QLinearGradient upper(0, 0, kBoardWidth, 0);
    upper.setColorAt(0, QColor(255, 200, 200));
    upper.setColorAt(1, Qt::white);
    painter.fillRect(0, y, kBoardWidth, kRowHeight / 2, upper);
    QLinearGradient lower(0, 0, kBoardWidth, 0);
    lower.setColorAt(0, QColor(200, 200, 255));
    lower.setColorAt(1, Qt::white);
    painter.fillRect(0, y + kRowHeight / 2, kBoardWidth, kRowHeight / 2, lower);
    painter.setPen(QColor(128, 0, 0));
    painter.drawLine(0, y, kBoardWidth - 1, y);
    painter.setPen(QColor(0, 0, 128));
    painter.drawLine(0, y + kRowHeight - 1, kBoardWidth - 1, y + kRowHeight - 1);
  }
  if (board_.failed) {
    painter.setFont(RoleFont(settings_, FontRole::kDecor, 24, true));
    DrawNoConnect(painter, QRect(0, 0, kBoardWidth, kBoardHeight));
    update();
    return;
  }
  const QFont headerFont = RoleFont(settings_, FontRole::kConew, 13, true);
  const QFont textFont = RoleFont(settings_, FontRole::kConew, 15, true);
  for (int i = 1; i <= 10; ++i) {
    const web::TQorRecord& record = board_.records[i - 1];
    if (EmptyRecord(record)) continue;
    const int y = (BoardRow(i, options_.lastAtBottom) - 1) * kRowHeight;
    painter.setFont(headerFont);
    painter.setPen(QColor(128, 0, 0));
    painter.drawText(QRect(5, y + 2, 55, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::number(record.Score) + ".");
    const QImage flag = FlagPicture(record.Country);
    if (!flag.isNull()) painter.drawImage(60, y + 7, flag);
    const QImage sex = SexPicture(record.R07);
    if (!sex.isNull()) painter.drawImage(80, y + 5, sex);
    painter.setPen(Qt::black);
    painter.drawText(QRect(105, y + 2, 540, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(MessageHeader(record), Qt::ElideRight, 540));
    painter.setFont(textFont);
    painter.setPen(QColor(0, 0, 128));
    const QString text = FromCp1251(ShownBoardText(MessageText(record)));
    painter.drawText(QRect(5, y + 25, 640, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(text, Qt::ElideRight, 640));
    if (record.Score > lastRead_ && !newMark_.isNull()) {
      painter.drawImage(650, y + (kRowHeight - newMark_.height()) / 2, newMark_);
    }
  }
  update();
}

void ChatWindow::paintEvent(QPaintEvent* event) {
  AuxWindow::paintEvent(event);
  QPainter painter(this);
  painter.drawImage(10, HeaderHeight(), picture_);
}

}  // namespace trilane
