#include "shell/about_window.h"

#include <QPainter>

#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/main_menu.h"
#include "shell/modal.h"
#include "shell/pictures.h"
#include "shell/text.h"
#include "words/words.h"

namespace trilane {
namespace {

constexpr int kBodyWidth = 440;
constexpr int kBodyHeight = 260;

}  // namespace

AboutWindow::AboutWindow(const TSettings& settings, QWidget* parent)
    : AuxWindow(settings, AuxHeader{WordText(kWordAbout), 300, 40}, parent) {
  setObjectName("FormAbout");
  caption_ = ProgramPng("Cap" + std::string(PictureSuffix()));
  TintCaptionPicture(caption_, settings.CaptionTint);
  auto* ok = MakeButton(WordText(kWordOk), Body());
  ok->setObjectName("Button1");
  ok->setGeometry((kBodyWidth - 120) / 2, kBodyHeight - 44, 120, 30);
  connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
  const QString product = FromUtf8(ProductTitle());
  setAccessibleDescription(product + " " + kShownVersion + ". " + FromUtf8(ReleaseDate()) + ". " +
                           FromUtf8(AuthorLine()));
  SetBodySize(kBodyWidth, kBodyHeight);
}

void AboutWindow::paintEvent(QPaintEvent* event) {
  AuxWindow::paintEvent(event);
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const int top = HeaderHeight();
  const QRect picture(20, top + 12, kBodyWidth - 40, (kBodyWidth - 40) * 70 / 400);
  // The caption picture is made for the green of the menu: it stands on a piece of it.
  painter.setPen(QPen(QColor(200, 175, 50), 2));
  painter.setBrush(QColor(20, 92, 40));
  painter.drawRoundedRect(picture.adjusted(-6, -4, 6, 4), 8, 8);
  if (!caption_.isNull()) painter.drawImage(picture, caption_);

  int y = picture.bottom() + 16;
  auto line = [&](const QString& text, const QFont& font, const QColor& colour) {
    painter.setFont(font);
    const int h = painter.fontMetrics().height();
    DrawShadowText(painter, text, 10, kBodyWidth - 10, 'c', colour, y);
    y += h + 6;
  };
  line(FromUtf8(ProductTitle()) + "  " + kShownVersion,
       RoleFont(settings_, FontRole::kDecor, 26, true), QColor(128, 0, 0));
  line(FromUtf8(ReleaseDate()), RoleFont(settings_, FontRole::kSerif, 17, false),
       QColor(0, 0, 128));
  line(FromUtf8(AuthorLine()), RoleFont(settings_, FontRole::kSerif, 17, false), QColor(0, 0, 128));
}

}  // namespace trilane
