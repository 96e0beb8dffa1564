#include "shell/widgets/qor_button.h"

#include <QApplication>
#include <QEnterEvent>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <algorithm>
#include <span>

#include "base/rounding.h"
#include "platform/images.h"
#include "platform/resource_module.h"

namespace trilane {

namespace {

constexpr int kDefaultWidth = 100;
constexpr int kDefaultHeight = 30;

// The grey pieces, decoded once per program.
const QImage& Piece(const char* name) {
  static QHash<QString, QImage> pieces;
  const QString key = QString::fromLatin1(name);
  auto it = pieces.find(key);
  if (it != pieces.end()) return *it;
  QImage picture;
  const std::optional<QByteArray> bytes =
      ResourceModule::Program().Find(ResourceId::Number(kRtRcdata), name);
  if (bytes) {
    picture = DecodePng(std::span<const uint8_t>(
        reinterpret_cast<const uint8_t*>(bytes->constData()), static_cast<size_t>(bytes->size())));
  }
  if (picture.isNull()) {
    static const QImage kNone;
    return kNone;  // not cached: the resources may be registered later
  }
  return *pieces.insert(key, picture.convertToFormat(QImage::Format_ARGB32));
}

int DesignHeightOf(int height) {
  return height <= 30 ? 30 : height <= 45 ? 45 : 60;
}

// Grey piece times the body colour, then lightened towards white.
void Tint(QImage& image, const QColor& colour, int lightening, bool grey) {
  const int r0 = colour.red(), g0 = colour.green(), b0 = colour.blue();
  const int light = std::clamp(lightening, 0, 100);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = line[x];
      const int a = qAlpha(p);
      if (a == 0) continue;
      const int shade = qGray(p);
      int r = std::min(255, r0 * shade / 160);
      int g = std::min(255, g0 * shade / 160);
      int b = std::min(255, b0 * shade / 160);
      if (grey) {
        const int v = (r * 11 + g * 16 + b * 5) / 32;
        r = g = b = std::min(255, v / 2 + 100);
      }
      r += (255 - r) * light / 100;
      g += (255 - g) * light / 100;
      b += (255 - b) * light / 100;
      line[x] = qRgba(r, g, b, a);
    }
  }
}

}  // namespace

QorCardsButton::QorCardsButton(QWidget* parent) : QAbstractButton(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  setAttribute(Qt::WA_Hover, true);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::PointingHandCursor);
  QFont f = font();
  f.setBold(true);
  setFont(f);
  resize(kDefaultWidth, kDefaultHeight);
}

QorCardsButton::QorCardsButton(const QString& caption, QWidget* parent) : QorCardsButton(parent) {
  setText(caption);
}

void QorCardsButton::SetBody(BodyColour colour) {
  if (colour == body_) return;
  body_ = colour;
  Invalidate();
}

void QorCardsButton::SetLightening(int amount) {
  amount = std::clamp(amount, 0, 255);
  if (amount == lightening_) return;
  lightening_ = amount;
  Invalidate();
}

void QorCardsButton::SetCaptionColour(const QColor& colour) {
  if (colour == captionColour_) return;
  captionColour_ = colour;
  update();
}

void QorCardsButton::SetHoverColour(const QColor& colour) {
  hoverColour_ = colour;
  if (hovered_) update();
}

void QorCardsButton::SetLightFont(bool on) {
  lightFont_ = on;
  update();
}

void QorCardsButton::SetGreyWhenDisabled(bool on) {
  if (on == greyWhenDisabled_) return;
  greyWhenDisabled_ = on;
  Invalidate();
}

void QorCardsButton::SetOutline(bool on) {
  if (on == outline_) return;
  outline_ = on;
  Invalidate();
}

void QorCardsButton::SetSmooth(bool on) {
  if (on == smooth_) return;
  smooth_ = on;
  Invalidate();
}

void QorCardsButton::SetAlternativeLook(bool on) {
  if (on == alternative_) return;
  alternative_ = on;
  Invalidate();
}

void QorCardsButton::SetGlyph(const QPixmap& glyph) {
  glyph_ = glyph;
  updateGeometry();
  update();
}

void QorCardsButton::setDefault(bool on) {
  if (on == isDefault_) return;
  isDefault_ = on;
  delete returnKey_;
  delete enterKey_;
  returnKey_ = enterKey_ = nullptr;
  if (!on) return;
  auto press = [this] {
    if (!isEnabled() || !isVisible()) return;
    // Another focused button takes Return itself; the default button waits its turn.
    if (auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        focused && focused != this && focused->window() == window()) {
      focused->click();
      return;
    }
    animateClick();
  };
  returnKey_ = new QShortcut(QKeySequence(Qt::Key_Return), this, press, Qt::WindowShortcut);
  enterKey_ = new QShortcut(QKeySequence(Qt::Key_Enter), this, press, Qt::WindowShortcut);
}

QSize QorCardsButton::sizeHint() const {
  const QFontMetrics fm(font());
  const int glyph = glyph_.isNull() ? 0 : glyph_.width() + 4;
  return QSize(std::max(kDefaultWidth, fm.horizontalAdvance(text()) + glyph + 24),
               std::max(kDefaultHeight, fm.height() + 8));
}

QSize QorCardsButton::minimumSizeHint() const {
  return QSize(24, 16);
}

std::array<const char*, 3> QorCardsButton::PieceNames(int height, bool alternative) {
  switch (DesignHeightOf(height)) {
    case 30:
      return alternative ? std::array<const char*, 3>{"Q29_L", "Q29_R", "Q29_2"}
                         : std::array<const char*, 3>{"R29_L", "R29_R", "R29_2"};
    case 45:
      return alternative ? std::array<const char*, 3>{"Q44_L", "Q44_R", "Q44_2"}
                         : std::array<const char*, 3>{"R44_L", "R44_R", "R44_2"};
    default:
      return alternative ? std::array<const char*, 3>{"Q59_L", "Q59_R", "Q59_2"}
                         : std::array<const char*, 3>{"R59_L", "R59_R", "R59_2"};
  }
}

QColor QorCardsButton::BaseColour(BodyColour colour) {
  switch (colour) {
    case BodyColour::kRed:
      return QColor(200, 24, 24);
    case BodyColour::kGreen:
      return QColor(24, 150, 40);
    case BodyColour::kBlue:
      return QColor(40, 90, 220);
    case BodyColour::kNavy:
      return QColor(24, 36, 120);
    case BodyColour::kYellow:
      return QColor(220, 180, 20);
    case BodyColour::kViolet:
      return QColor(136, 0, 226);
    case BodyColour::kOrange:
      return QColor(240, 120, 16);
    case BodyColour::kCards:
      return QColor(70, 10, 110);
  }
  return QColor(200, 24, 24);
}

void QorCardsButton::Invalidate() {
  cacheValid_ = false;
  update();
}

const QImage& QorCardsButton::BodyPicture() {
  if (cacheValid_ && bodyCache_.size() == size()) return bodyCache_;
  const int w = std::max(1, width());
  const int h = std::max(1, height());
  bodyCache_ = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
  bodyCache_.fill(Qt::transparent);
  const auto names = PieceNames(h, alternative_);
  const QImage& left = Piece(names[0]);
  const QImage& right = Piece(names[1]);
  const QImage& middle = Piece(names[2]);
  const bool grey = greyWhenDisabled_ && !isEnabled();
  const QColor colour = BaseColour(body_);
  const Qt::TransformationMode mode = smooth_ ? Qt::SmoothTransformation : Qt::FastTransformation;
  QPainter p(&bodyCache_);
  if (!left.isNull() && !right.isNull() && !middle.isNull()) {
    const int design = left.height();
    auto endWidth = [&](const QImage& piece) {
      return std::max(1, static_cast<int>(RoundHalfEvenToInt(piece.width() * double(h) / design)));
    };
    int lw = endWidth(left);
    int rw = endWidth(right);
    if (lw + rw > w) {  // a very narrow button: the ends share the width
      lw = w / 2;
      rw = w - lw;
    }
    QImage l = left.scaled(lw, h, Qt::IgnoreAspectRatio, mode);
    QImage r = right.scaled(rw, h, Qt::IgnoreAspectRatio, mode);
    QImage m = middle.scaled(std::max(1, w - lw - rw), h, Qt::IgnoreAspectRatio, mode);
    for (QImage* piece : {&l, &r, &m}) {
      *piece = piece->convertToFormat(QImage::Format_ARGB32);
      Tint(*piece, colour, lightening_, grey);
    }
    p.drawImage(0, 0, l);
    if (w - lw - rw > 0) p.drawImage(lw, 0, m);
    p.drawImage(w - rw, 0, r);
  } else {
    // Without the pictures: a plain rounded body of the same colour.
    p.setRenderHint(QPainter::Antialiasing);
    QColor c = grey ? QColor(150, 150, 150) : colour;
    p.setBrush(c);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, w, h), h / 3.0, h / 3.0);
  }
  if (outline_) {
    p.setRenderHint(QPainter::Antialiasing);
    const QColor line = body_ == BodyColour::kCards ? QColor(200, 175, 50) : colour.darker(220);
    p.setPen(QPen(grey ? QColor(110, 110, 110) : line, 1.0));
    p.setBrush(Qt::NoBrush);
    const double radius = std::min(h / 3.0, 10.0);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1.0, h - 1.0), radius, radius);
  }
  p.end();
  cacheValid_ = true;
  return bodyCache_;
}

void QorCardsButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const int shift = isDown() ? 1 : 0;
  p.drawImage(shift, shift, BodyPicture());

  QColor caption = captionColour_;
  if (!isEnabled() && greyWhenDisabled_)
    caption = QColor(225, 225, 225);
  else if (lightFont_ && hovered_)
    caption = hoverColour_;

  QRect area = rect().translated(shift, shift);
  // A caption too long for the button (a longer language) is drawn smaller first, down to
  // two thirds of its size, and only then shortened.
  QFont captionFont = font();
  const int room = std::max(0, area.width() - 10 - (glyph_.isNull() ? 0 : glyph_.width() + 4));
  const bool pixels = captionFont.pixelSize() > 0;
  const double full = pixels ? captionFont.pixelSize() : captionFont.pointSizeF();
  for (double size = full;
       size > full * 2 / 3 && QFontMetrics(captionFont).horizontalAdvance(text()) > room;) {
    size -= pixels ? 1.0 : 0.5;
    if (pixels)
      captionFont.setPixelSize(static_cast<int>(size));
    else
      captionFont.setPointSizeF(size);
  }
  const QFontMetrics fm(captionFont);
  // elidedText measures a little more strictly than horizontalAdvance: a caption that fits
  // by the loop above is kept whole.
  const QString shown =
      fm.horizontalAdvance(text()) <= room ? text() : fm.elidedText(text(), Qt::ElideRight, room);
  int textWidth = fm.horizontalAdvance(shown);
  if (!glyph_.isNull()) {
    const int total = glyph_.width() + (shown.isEmpty() ? 0 : 4 + textWidth);
    const int gx = area.left() + (area.width() - total) / 2;
    p.drawPixmap(gx, area.top() + (area.height() - glyph_.height()) / 2, glyph_);
    area.setLeft(gx + glyph_.width() + 4);
    area.setWidth(textWidth);
  }
  p.setFont(captionFont);
  p.setPen(caption);
  p.drawText(area, Qt::AlignCenter, shown);

  if (hasFocus() && focusPolicy() != Qt::NoFocus) {
    QPen pen(caption, 1, Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const int inset = std::max(3, height() / 8);
    p.drawRect(rect().adjusted(inset + 4, inset, -inset - 5, -inset - 1).translated(shift, shift));
  }
}

void QorCardsButton::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QAbstractButton::enterEvent(event);
  emit mouseEntered();
}

void QorCardsButton::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QAbstractButton::leaveEvent(event);
  emit mouseLeft();
}

void QorCardsButton::resizeEvent(QResizeEvent* event) {
  cacheValid_ = false;
  QAbstractButton::resizeEvent(event);
}

void QorCardsButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) Invalidate();
  if (event->type() == QEvent::FontChange) updateGeometry();
  QAbstractButton::changeEvent(event);
}

}  // namespace trilane
