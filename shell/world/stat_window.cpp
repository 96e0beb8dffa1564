#include "shell/world/stat_window.h"

#include <QFontMetrics>
#include <QInputDialog>
#include <QPainter>

#include "program/world_rules.h"
#include "records/settings.h"
#include "rules/game.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/world/world_drawing.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kBodyWidth = 560;
constexpr int kBodyHeight = 440;
constexpr int kRowsTop = 14;
constexpr int kRowStep = 30;

}  // namespace

StatWindow::StatWindow(WorldServices& services, QWidget* parent)
    : AuxWindow(services.Settings(), AuxHeader{WordText(kWordWorldStatsTitle), 300, 40}, parent),
      services_(services) {
  setObjectName("FStat");
  askName = [this](const QString& prompt) -> std::optional<QString> {
    bool ok = false;
    const QString text = QInputDialog::getText(this, WordText(kWordILikeThisGame), prompt,
                                               QLineEdit::Normal, QString(), &ok);
    if (!ok) return std::nullopt;
    return text;
  };
  like_ = MakeButton(WordText(kWordILikeThisGame), Body());
  like_->setObjectName("Button1");
  like_->setGeometry(20, kBodyHeight - 50, 330, 36);
  like_->setEnabled(!settings_.Liked);
  connect(like_, &QAbstractButton::clicked, this, [this] { Like(); });
  close_ = MakeButton(WordText(kWordClose), Body());
  close_->setObjectName("Button2");
  close_->setGeometry(kBodyWidth - 150, kBodyHeight - 50, 130, 36);
  connect(close_, &QAbstractButton::clicked, this, &QDialog::reject);
  SetBodySize(kBodyWidth, kBodyHeight);
  read_ = ReadStatistics(services_.Client());
}

bool StatWindow::Like() {
  TSettings& settings = services_.Settings();
  if (settings.Liked) return false;
  std::string name = settings.TopTenNick;
  if (name == kDefaultPassportNick || !IsPassportName(name, kPassportNickChars)) {
    // A name the passport would take: 2 to 12 of its characters.
    for (;;) {
      const auto answer = askName ? askName(WordText(kWordEnterYourName)) : std::nullopt;
      if (!answer) return false;
      const auto bytes = ToCp1251Exactly(answer->trimmed());
      if (bytes && IsPassportName(*bytes, kPassportNickChars)) {
        name = *bytes;
        break;
      }
      ShowError(this, WordText(kWordIncorrectName));
    }
    settings.TopTenNick = name;
  }
  if (!services_.Client().WebLike(kWindowsTableId, 1, name)) {
    ShowError(this, WordText(kWordCantConnectToServer));
    return false;
  }
  like_->setEnabled(false);
  settings.Liked = true;
  if (!read_.failed && read_.rows.size() >= 4) {
    read_.rows[2].second = std::to_string(std::stoll(read_.rows[2].second) + 1);
    read_.rows[3].second = name;
  }
  if (services_.saveSettings) services_.saveSettings();
  update();
  return true;
}

void StatWindow::paintEvent(QPaintEvent* event) {
  AuxWindow::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const int top = HeaderHeight();
  const bool purple = Design() == AuxDesign::kPurple;
  const QColor label = purple ? QColor(200, 175, 50) : QColor(0, 0, 128);
  const QColor value = purple ? QColor(255, 255, 255) : QColor(128, 0, 0);
  painter.setFont(RoleFont(settings_, FontRole::kDecor, 15, true));
  for (size_t i = 0; i < read_.rows.size(); ++i) {
    const int y = top + kRowsTop + static_cast<int>(i) * kRowStep;
    if (i % 2 == 0 && !purple)
      painter.fillRect(14, y, kBodyWidth - 28, kRowStep, QColor(255, 255, 255, 120));
    painter.setPen(label);
    // The label takes the row up to the value's column; a long one is drawn smaller, not cut.
    const QRect labelArea(20, y, kBodyWidth - 150, kRowStep);
    const QString labelText = WordText(read_.rows[i].first);
    QFont font = RoleFont(settings_, FontRole::kDecor, 15, true);
    while (QFontMetrics(font).horizontalAdvance(labelText) > labelArea.width() &&
           font.pixelSize() > 9) {
      font.setPixelSize(font.pixelSize() - 1);
    }
    painter.setFont(font);
    painter.drawText(labelArea, Qt::AlignLeft | Qt::AlignVCenter, labelText);
    painter.setFont(RoleFont(settings_, FontRole::kConew, 15, true));
    painter.setPen(value);
    QString shown = FromCp1251(read_.rows[i].second);
    if (i == 0 && read_.failed) shown = WordText(kWordNoConnect);
    painter.drawText(QRect(kBodyWidth - 150, y, 130, kRowStep), Qt::AlignRight | Qt::AlignVCenter,
                     shown);
  }
  painter.setFont(RoleFont(settings_, FontRole::kDecor, 13, false));
  painter.setPen(label);
  const std::string note = StatisticsNote(Word(kWordStatisticsSince));
  painter.drawText(QRect(20, top + kRowsTop + 10 * kRowStep + 8, kBodyWidth - 40, 40),
                   Qt::AlignCenter | Qt::TextWordWrap, QString::fromStdString(note));
}

}  // namespace trilane
