#include "shell/title_screen.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "shell/fonts.h"
#include "shell/pictures.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 500;
constexpr QPoint kWalkTopLeft{155, 68};
constexpr QPoint kWalkBottomRight{550, 362};
const QColor kSilver{192, 192, 192};

QString FromUtf8(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A raised panel: silver fill, light top-left edge, dark bottom-right edge.
void RaisedPanel(QPainter& painter, const QRect& r) {
  painter.fillRect(r, kSilver);
  painter.setPen(QColor(255, 255, 255));
  painter.drawLine(r.topLeft(), r.topRight());
  painter.drawLine(r.topLeft(), r.bottomLeft());
  painter.setPen(QColor(128, 128, 128));
  painter.drawLine(r.bottomLeft(), r.bottomRight());
  painter.drawLine(r.topRight(), r.bottomRight());
}

void CentredText(QPainter& painter, const QString& text, int y, const QColor& colour) {
  painter.setPen(colour);
  painter.drawText(QRect(230, y, 300, 30), Qt::AlignHCenter | Qt::AlignTop, text);
}

}  // namespace

std::vector<int> TitleLetterPositions(const QString& shortTitle) {
  const QString title = shortTitle.left(10);
  const int n = static_cast<int>(title.size());
  if (n == 0) return {};
  int start = 368 - 13 * (n - 1);
  std::vector<int> adj(n, 0);
  for (int i = 0; i < n; ++i) {
    const QChar c = title[i];
    int later = 0;
    if (c == 'W' || c == 'M' || c == QChar(0x041C) || c == QChar(0x042E)) {
      later = 8;
      start -= 5;
    } else if (c == 'Q') {
      later = 6;
      start -= 4;
    } else if (c == 'I' || c == QChar(0x00CD)) {
      later = -12;
      start += 6;
      adj[i] += 3;
    } else if (c == '-') {
      later = -10;
      start += 6;
      adj[i] += 3;
    }
    for (int j = i + 1; j < n; ++j) adj[j] += later;
  }
  std::vector<int> x(n);
  for (int i = 0; i < n; ++i) x[i] = start + 26 * i + adj[i];
  return x;
}

QPoint NextWalkerPosition(QPoint p) {
  if (p.y() == kWalkTopLeft.y() && p.x() < kWalkBottomRight.x()) return {p.x() + 1, p.y()};
  if (p.x() == kWalkBottomRight.x() && p.y() < kWalkBottomRight.y()) return {p.x(), p.y() + 1};
  if (p.y() == kWalkBottomRight.y() && p.x() > kWalkTopLeft.x()) return {p.x() - 1, p.y()};
  if (p.x() == kWalkTopLeft.x() && p.y() > kWalkTopLeft.y()) return {p.x(), p.y() - 1};
  return kWalkTopLeft;  // off the path: back to its start
}

TitleScreen::TitleScreen(QWidget* parent) : QWidget(parent) {
  setObjectName("Image1");
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  timer_.setInterval(20);
  connect(&timer_, &QTimer::timeout, this, &TitleScreen::Tick);
}

void TitleScreen::Prepare() {
  leaving_ = false;
  base_ = QImage(kWidth, kHeight, QImage::Format_RGB32);
  base_.fill(Qt::black);
  {
    QPainter painter(&base_);
    RaisedPanel(painter, QRect(QPoint(130, 50), QPoint(630, 450)));
    RaisedPanel(painter, QRect(QPoint(230, 150), QPoint(530, 350)));
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(NamedFont("Comic Sans MS", 18));
    CentredText(painter, FromUtf8(ReleaseDate()), 240, QColor(255, 0, 0));
    CentredText(painter, FromUtf8(AuthorLine()), 265, QColor(0, 0, 255));
    CentredText(painter, "V 5.7f", 315, QColor(0, 100, 100));
    const QImage logo = ProgramPng("Logo");
    painter.drawImage(250, 270, logo);
    painter.drawImage(445, 270, logo);
  }
  walkers_ = ProgramPng("ILTitle");
  ring_ = {QColor(128, 0, 0),   QColor(0, 0, 255), QColor(255, 255, 0),  QColor(0, 128, 0),
           QColor(255, 0, 0),   QColor(0, 0, 128), QColor(255, 128, 64), QColor(0, 255, 255),
           QColor(128, 0, 128), QColor(0, 255, 0)};
  walker_ = {QPoint(155, 68), QPoint(550, 68), QPoint(155, 362), QPoint(550, 362)};
  // The walkers start at the four corners and go round clockwise: the one at the bottom
  // left first walks up, the one at the bottom right left.
  ticks_ = 0;
  coloursStepped_ = false;
  walkersDrawn_ = QRegion();
  shortTitle_ = FromUtf8(ShortTitle()).left(10);
  letterX_ = TitleLetterPositions(shortTitle_);
  for (int k = 0; k < 4; ++k) walkerFrames_[static_cast<size_t>(k)] = StripFrame(walkers_, 60, k);
  // The letters' font, and the band they are drawn in, as wide as the picture.
  lettersFont_ = NamedFont("Arial", 40, true);
  lettersRect_ = QRect(0, 175, kWidth, QFontMetrics(lettersFont_).height() + 2);
  frame_ = base_;
  Tick();
  timer_.start();
}

void TitleScreen::Stop() {
  timer_.stop();
  // The pictures are drawn again by Prepare; nothing of them stays once the screen is left.
  base_ = QImage();
  frame_ = QImage();
  walkers_ = QImage();
  walkerFrames_.fill(QImage());
}

void TitleScreen::Tick() {
  if (base_.isNull()) return;
  // A minimised window shows nothing: the walkers wait where they are until it is back.
  if (window() && (window()->windowState() & Qt::WindowMinimized)) return;
  // Only what moves is drawn again: the walkers where they were and where they are now,
  // and the letters when their colours have stepped round the ring. The rest of the
  // picture stays as it was, in the frame and on the screen.
  const bool first = ticks_ == 0;
  QRegion dirty = first ? QRegion(QRect(QPoint(0, 0), base_.size())) : walkersDrawn_;
  if (coloursStepped_) dirty += lettersRect_;
  const QSize walkerSize(60, walkers_.height());
  QRegion walkersNow;
  for (int k = 0; k < 4; ++k) walkersNow += QRect(walker_[k], walkerSize);
  dirty += walkersNow;

  if (first) frame_ = base_.copy();
  QPainter painter(&frame_);
  painter.setClipRegion(dirty);
  painter.drawImage(0, 0, base_);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setRenderHint(QPainter::Antialiasing);
  // Most frames only move the walkers: the letters are set again when their band is drawn.
  if (dirty.intersects(lettersRect_)) {
    painter.setFont(lettersFont_);
    const int ascent = painter.fontMetrics().ascent();
    const int n = static_cast<int>(shortTitle_.size());
    for (int i = 0; i < n; ++i) {
      const int ring = i < 9 ? 8 - i : 9;  // letter i + 1 (1..9) in R(9 - (i + 1)), letter 10 in R9
      painter.setPen(ring_[ring]);
      painter.drawText(letterX_[i], 175 + ascent, QString(shortTitle_[i]));
    }
  }
  coloursStepped_ = ticks_ == 10;
  if (coloursStepped_) {
    const QColor firstColour = ring_[0];
    for (int k = 0; k < 9; ++k) ring_[k] = ring_[k + 1];
    ring_[9] = firstColour;
    ticks_ = 0;
  }
  ++ticks_;
  for (int k = 0; k < 4; ++k) {
    const QImage& picture = walkerFrames_[static_cast<size_t>(k)];
    if (!picture.isNull()) painter.drawImage(walker_[k], picture);
    walker_[k] = NextWalkerPosition(walker_[k]);
  }
  painter.end();
  walkersDrawn_ = walkersNow;
  update(dirty.translated(FrameOrigin()));
}

QPoint TitleScreen::FrameOrigin() const {
  return {(width() - frame_.width()) / 2, (height() - frame_.height()) / 2};
}

void TitleScreen::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // Only the asked region is painted: the walkers' steps ask for a few small rectangles.
  painter.setClipRegion(event->region());
  painter.fillRect(event->rect(), Qt::black);
  if (frame_.isNull()) return;
  // The picture is made for the small window; a larger window shows it centred.
  painter.drawImage(FrameOrigin(), frame_);
}

void TitleScreen::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (leaving_ || event->button() != Qt::LeftButton) return;
  leaving_ = true;
  emit left();
}

void TitleScreen::keyReleaseEvent(QKeyEvent* event) {
  QWidget::keyReleaseEvent(event);
  if (leaving_ || event->isAutoRepeat()) return;
  leaving_ = true;
  emit left();
}

}  // namespace trilane
