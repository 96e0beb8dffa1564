#include "shell/direct/chat_panel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <algorithm>

#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "words/word_entries.h"

namespace trilane {

namespace {
// The lines sit inside the frame picture's border.
constexpr int kChatTopMargin = 10;
}  // namespace

QColor ChatColour(int writer) {
  switch (writer) {
    case 1:
      return QColor(128, 0, 0);
    case 2:
      return QColor(0, 0, 128);
    case 3:
      return QColor(0, 128, 0);
    case 4:
      return QColor(128, 128, 0);
    default:
      return QColor(0, 0, 0);
  }
}

QString ShortenChatLine(const QString& text, const std::function<int(const QString&)>& width,
                        int maxWidth, int mostRemoved) {
  QString line = text;
  int removed = 0;
  while (removed < mostRemoved && !line.isEmpty() && width(line) > maxWidth) {
    line.chop(1);
    ++removed;
  }
  if (removed > 0) line += QStringLiteral("...");
  return line;
}

void ChatLines::Add(const QString& text, int writer) {
  for (Line& line : lines_) {
    if (line.writer == 0) {
      line = {text, writer};
      return;
    }
  }
  std::rotate(lines_.begin(), lines_.begin() + 1, lines_.end());
  lines_.back() = {text, writer};
}

ChatPanel::ChatPanel(const TSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
  setObjectName("ChatPanel");
  setAttribute(Qt::WA_TranslucentBackground);
  field_ = new QLineEdit(this);
  field_->setObjectName("Edit1");
  field_->setMaxLength(kChatFieldCharacters);
  send_ = new QToolButton(this);
  send_->setObjectName("BitBtn1");
  send_->setToolTip(WordText(kWordSend));
  send_->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
  send_->setFocusPolicy(Qt::StrongFocus);
  send_->installEventFilter(this);
  field_->installEventFilter(this);
  connect(send_, &QToolButton::clicked, this, &ChatPanel::Send);
  Place(QRect(584, 10, 130, 90), Layout(), true);
}

QFont ChatPanel::StripFont() const {
  return RoleFont(settings_, FontRole::kDecor, std::max(6, layout_.Scale(14)), false);
}

void ChatPanel::Place(const QRect& memo, const Layout& layout, bool smallWindow) {
  layout_ = layout;
  small_ = smallWindow;
  frame_ = ProgramPng(smallWindow ? "RamkaERSm" : "RamkaERBg");
  const int button = layout.Scale(35);
  const int gap = layout.Scale(1);
  setGeometry(memo.x(), memo.y(), memo.width(), memo.height() + gap + button);
  strip_ = QRect(0, 0, memo.width(), memo.height());
  const int fieldTop = memo.height() + gap + static_cast<int>((button - layout.Scale(20)) / 2);
  QFont fieldFont = RoleFont(settings_, FontRole::kConew, std::max(6, layout.Scale(14)), true);
  field_->setFont(fieldFont);
  field_->setGeometry(0, fieldTop, std::max(10, memo.width() - layout.Scale(36)),
                      std::max(12, layout.Scale(20)));
  send_->setGeometry(memo.width() - button, memo.height() + gap, button, button);
  send_->setIconSize(QSize(button * 2 / 3, button * 2 / 3));
  // Lines already shown keep the shortening they had; a new size applies to new lines.
  update();
}

void ChatPanel::AddLine(int writer, const QString& text) {
  const QFontMetrics metrics(StripFont());
  const QString line = ShortenChatLine(
      text, [&](const QString& s) { return metrics.horizontalAdvance(s); },
      layout_.Scale(kChatLineWidth));
  lines_.Add(line, writer);
  update(strip_);
}

void ChatPanel::Clear() {
  lines_.Clear();
  field_->clear();
  update(strip_);
}

void ChatPanel::SetChatEnabled(bool enabled) {
  field_->setEnabled(enabled);
  send_->setEnabled(enabled);
}

bool ChatPanel::ChatEnabled() const {
  return field_->isEnabled();
}

void ChatPanel::Send() {
  const QString text = field_->text();
  if (text.isEmpty() || !ChatEnabled()) return;
  field_->clear();
  emit sendRequested(text);
}

void ChatPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  if (!frame_.isNull()) {
    p.drawImage(strip_, frame_);
  } else {
    p.fillRect(strip_, QColor(250, 245, 225));
  }
  p.setRenderHint(QPainter::TextAntialiasing);
  const QFont font = StripFont();
  p.setFont(font);
  const QFontMetrics metrics(font);
  const int x = layout_.Scale(20);
  for (int i = 0; i < kChatLines; ++i) {
    const ChatLines::Line& line = lines_.Lines()[static_cast<size_t>(i)];
    if (line.writer == 0) continue;
    const int top = layout_.Scale(14 * i + 3) + layout_.Scale(kChatTopMargin);
    p.setPen(ChatColour(line.writer));
    p.drawText(x, top + metrics.ascent(), line.text);
  }
}

bool ChatPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched == field_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      // Enter sends and goes no further (it would press the table's action button).
      Send();
      return true;
    }
  }
  if (watched == send_) {
    switch (event->type()) {
      case QEvent::FocusIn:
      case QEvent::FocusOut:
        emit sendButtonFocusChanged();
        break;
      case QEvent::KeyPress: {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        for (QChar c : typed) {
          if (c.isPrint()) emit typedAtSendButton(c);
        }
        break;
      }
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace trilane
