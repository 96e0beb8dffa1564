#pragma once
// The chat of a network game at the table: the strip of the last four lines in the message
// box, each in the colour of its writer's number, and under it the chat field with its
// send button. The table hosts it over its message box; the connection feeds it lines and
// takes what the player sends.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

#include "shell/layout.h"

class QLineEdit;
class QToolButton;

namespace trilane {

struct TSettings;

inline constexpr int kChatLines = 4;
inline constexpr int kChatFieldCharacters = 15;
// A line may be this wide (in base pixels) before it is shortened.
inline constexpr int kChatLineWidth = 85;
inline constexpr int kChatMostRemoved = 12;

// The colour of a writer's lines: 1 maroon, 2 navy, 3 green, 4 olive.
QColor ChatColour(int writer);

// A line as the strip keeps it: while it is wider than `maxWidth` its last character goes,
// at most `mostRemoved` of them; a shortened line ends in "...".
QString ShortenChatLine(const QString& text, const std::function<int(const QString&)>& width,
                        int maxWidth, int mostRemoved = kChatMostRemoved);

// The four lines: a new line takes the first empty one; when all are used they move up.
class ChatLines {
 public:
  struct Line {
    QString text;
    int writer = 0;  // 0: empty
  };
  void Add(const QString& text, int writer);
  void Clear() { lines_ = {}; }
  const std::array<Line, kChatLines>& Lines() const { return lines_; }

 private:
  std::array<Line, kChatLines> lines_{};
};

class ChatPanel : public QWidget {
  Q_OBJECT

 public:
  // `settings` (the fonts) must outlive the panel.
  ChatPanel(const TSettings& settings, QWidget* parent);

  // Places the strip over the table's message box `memo` and the chat field under it, for
  // the window's layout; the small window draws the small frame picture.
  void Place(const QRect& memo, const Layout& layout, bool smallWindow);

  // A line under the writer's number (shortened to fit the strip).
  void AddLine(int writer, const QString& text);
  // A new game: no lines.
  void Clear();
  const ChatLines& Lines() const { return lines_; }

  // The chat field and the send button take input only while chatting is allowed.
  void SetChatEnabled(bool enabled);
  bool ChatEnabled() const;

  QLineEdit* Field() const { return field_; }
  QToolButton* SendButton() const { return send_; }

 signals:
  // Enter in the field or the send button with a text in the field; the field is cleared.
  void sendRequested(const QString& text);
  // A character typed while the send button has the focus.
  void typedAtSendButton(QChar c);
  // The send button gained or lost the focus.
  void sendButtonFocusChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Send();
  QFont StripFont() const;

  const TSettings& settings_;
  Layout layout_;
  bool small_ = true;
  QRect strip_;  // in the panel's own coordinates
  QImage frame_;
  ChatLines lines_;
  QLineEdit* field_;
  QToolButton* send_;
};

}  // namespace trilane
