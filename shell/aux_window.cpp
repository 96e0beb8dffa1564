#include "shell/aux_window.h"

#include <QFontMetrics>
#include <QPainter>
#include <QResizeEvent>

#include "base/rounding.h"
#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/pictures.h"
#include "shell/window_designs.h"

namespace trilane {

namespace {

constexpr int kAristocraticHeader = 64;
const QColor kFaceColour{236, 233, 216};
const QColor kTitleYellow{255, 255, 0};

int Half(int v) {
  return static_cast<int>(RoundHalfEvenToInt(v / 2.0));
}

}  // namespace

AuxDesign AuxDesignOf(const TSettings& settings) {
  if (settings.AuxPurple) return AuxDesign::kPurple;
  if (settings.AuxGray >= 1 && settings.AuxGray <= 3)
    return static_cast<AuxDesign>(settings.AuxGray);
  return AuxDesign::kGrayAristocratic;
}

void DrawShadowText(QPainter& painter, const QString& text, int x1, int x2, char align,
                    const QColor& colour, int y) {
  const QFontMetrics metrics(painter.font());
  const int width = metrics.horizontalAdvance(text);
  int left = x1;
  if (align == 'c') left = x1 + static_cast<int>(RoundHalfEvenToInt((x2 - x1 - width) / 2.0));
  if (align == 'r') left = x2 - width;
  const int baseline = y + metrics.ascent();
  painter.setPen(QColor(Half(colour.red()), Half(colour.green()), Half(colour.blue())));
  painter.drawText(left + 1, baseline + 1, text);
  painter.setPen(colour);
  painter.drawText(left, baseline, text);
}

AuxWindow::AuxWindow(const TSettings& settings, AuxHeader header, QWidget* parent, AuxDesign design)
    : QDialog(parent), settings_(settings), header_(std::move(header)), design_(design) {
  // A window that names no other design follows the settings.
  if (design_ == AuxDesign::kGrayAristocratic) design_ = AuxDesignOf(settings_);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowTitle(header_.title);
  capBar_ = ProgramPng("GCap" + std::to_string(header_.capWidth));
  body_ = new QWidget(this);
  body_->setObjectName("Body");
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kFaceColour);
  palette.setColor(QPalette::WindowText, Qt::black);
  setPalette(palette);
  setAutoFillBackground(true);
  QFont labelFont = RoleFont(settings_, FontRole::kDecor, 15, true);
  body_->setFont(labelFont);
  new WindowDesign(*this, design_);
}

int AuxWindow::HeaderHeight() const {
  if (design_ == AuxDesign::kGrayAristocratic) return kAristocraticHeader;
  return DesignHeaderHeight(design_, WindowDesignFor(objectName().toStdString()));
}

void AuxWindow::SetTitle(const QString& title) {
  header_.title = title;
  setWindowTitle(title);
  if (auto* look = findChild<WindowDesign*>(QString(), Qt::FindDirectChildrenOnly)) look->Reload();
  update();
}

void AuxWindow::SetBodySize(int width, int bodyHeight) {
  setFixedSize(width, HeaderHeight() + bodyHeight);
}

QorCardsButton* AuxWindow::MakeButton(const QString& caption, QWidget* parent) const {
  auto* button = new QorCardsButton(caption, parent);
  button->SetBody(QorCardsButton::BodyColour::kRed);
  button->SetCaptionColour(Qt::white);
  button->SetHoverColour(QColor(255, 255, 0));
  button->SetAlternativeLook(settings_.NewButtons);
  button->setFont(RoleFont(settings_, FontRole::kDecor, 16, true));
  button->setCursor(Qt::PointingHandCursor);
  if (auto* look = findChild<WindowDesign*>(QString(), Qt::FindDirectChildrenOnly)) {
    look->StyleButton(*button);
  }
  return button;
}

void AuxWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  body_->setGeometry(0, HeaderHeight(), width(), height() - HeaderHeight());
}

void AuxWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // The other designs paint themselves; the caption bar below is the aristocratic one.
  if (auto* look = findChild<WindowDesign*>(QString(), Qt::FindDirectChildrenOnly);
      look &&
      look->Paint(
          painter, header_.title,
          RoleFont(settings_, FontRole::kSerif,
                   FontHeight(settings_, header_.titleFontBase, FontRole::kSerif) * 3 / 4, true))) {
    return;
  }
  painter.fillRect(rect(), kFaceColour);
  const QRect header(0, 0, width(), HeaderHeight());
  if (!capBar_.isNull()) {
    // The bar is made for the window's width; a wider window stretches it.
    painter.drawImage(header, capBar_);
  } else {
    painter.fillRect(header, QColor(110, 10, 20));
  }
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setFont(RoleFont(settings_, FontRole::kSerif,
                           FontHeight(settings_, header_.titleFontBase, FontRole::kSerif) * 3 / 4,
                           true));
  // A title too wide for the bar is drawn smaller rather than cut.
  QFont font = painter.font();
  while (QFontMetrics(font).horizontalAdvance(header_.title.toUpper()) > width() - 16 &&
         font.pixelSize() > 10) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  painter.setFont(font);
  const int top = (HeaderHeight() - QFontMetrics(font).height()) / 2;
  DrawShadowText(painter, header_.title.toUpper(), 0, width(), 'c', kTitleYellow, top);
}

}  // namespace trilane
