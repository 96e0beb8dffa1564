#include "shell/table/table_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <string>

#include "platform/graphics/card_graphics.h"
#include "records/settings.h"
#include "shell/fonts.h"
#include "shell/pictures.h"
#include "table/arrangement_coach.h"
#include "words/words.h"

namespace trilane {

namespace {

const char* PlatePicture(PlateColour colour) {
  switch (colour) {
    case PlateColour::kBlue:
      return "SPBlue";
    case PlateColour::kGreen:
      return "SPGreen";
    case PlateColour::kRed:
      return "SPRed";
    case PlateColour::kYellow:
      return "SPYellow";
    case PlateColour::kViolet:
      return "SPFiolet";
  }
  return "SPBlue";
}

// The overlay of the row being rated: Back, Middle, Front.
const char* RowMark(RowIndex row) {
  switch (row) {
    case kBack:
      return "Xo";
    case kMiddle:
      return "Xa";
    case kFront:
      return "Xy";
  }
  return "Xo";
}

QColor PointsColour(int32_t value) {
  if (value > 0) return QColor(0, 150, 40);
  if (value < 0) return QColor(210, 20, 20);
  return QColor(20, 60, 200);
}

QColor MarkColour(RowIndex row) {
  switch (row) {
    case kBack:
      return QColor(240, 130, 20);
    case kMiddle:
      return QColor(40, 110, 230);
    case kFront:
      return QColor(230, 200, 20);
  }
  return QColor(240, 130, 20);
}

}  // namespace

QString ShownTableText(const TableText& text) {
  return QString::fromStdString(ComposeText(text, [](int entry) { return Word(entry); }));
}

QString CardLabel(const Card& card) {
  static const char* kRanks[] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
  static const char16_t kSuits[] = {u'\u2665', u'\u2666', u'\u2663', u'\u2660'};
  if (!card.code.IsCard() || card.rank < 1 || card.rank > 13) return QString();
  const int suit = SuitIndexOf(card.code.suit);
  QString label = QString::fromLatin1(kRanks[card.rank - 1]);
  if (suit >= 1 && suit <= 4) label += QChar(kSuits[suit - 1]);
  return label;
}

TablePainter::TablePainter(const TSettings* settings, CardGraphics* cards, const Layout& layout,
                           const TableGeometry& geometry)
    : settings_(settings), cards_(cards), layout_(layout), geo_(geometry) {}

QFont TablePainter::Font(int baseHeight, bool bold) const {
  const int px = std::max(6, layout_.Scale(baseHeight));
  if (settings_) return RoleFont(*settings_, FontRole::kDecor, px, bold);
  QFont f;
  f.setPixelSize(px);
  f.setBold(bold);
  return f;
}

QImage TablePainter::Blank(QSize size) const {
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

void TablePainter::DrawCode(QImage& image, QPoint at, std::string_view code) const {
  if (cards_) cards_->DrawCard(at.x(), at.y(), code, image);
}

// A mark over a card (the picked card, the row being rated): see-through, so the card
// stays readable under it.
void TablePainter::DrawMark(QImage& image, QPoint at, std::string_view code,
                            const QColor& frame) const {
  QImage mark = Blank(QSize(geo_.cardW, geo_.cardH));
  DrawCode(mark, QPoint(0, 0), code);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setOpacity(0.45);
  p.drawImage(at, mark);
  p.setOpacity(1.0);
  p.setPen(QPen(frame, std::max(2, layout_.Scale(2))));
  p.setBrush(Qt::NoBrush);
  const double radius = geo_.cardW / 14.0;
  p.drawRoundedRect(QRectF(at, QSizeF(geo_.cardW, geo_.cardH)).adjusted(1, 1, -1, -1), radius,
                    radius);
}

void TablePainter::DrawPlate(QPainter& p, const QRect& r, PlateColour colour,
                             const QString& text) const {
  const QImage plate = ProgramPng(PlatePicture(colour));
  if (!plate.isNull())
    p.drawImage(r, plate);
  else {
    p.setBrush(QColor(40, 60, 160));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(r, r.height() / 2.0, r.height() / 2.0);
  }
  QFont f = Font(13);
  QFontMetrics fm(f);
  while (fm.horizontalAdvance(text) > r.width() - 6 && f.pixelSize() > 7) {
    f.setPixelSize(f.pixelSize() - 1);
    fm = QFontMetrics(f);
  }
  p.setFont(f);
  p.setPen(colour == PlateColour::kYellow ? QColor(40, 20, 0) : QColor(255, 255, 255));
  p.drawText(r, Qt::AlignCenter, fm.elidedText(text, Qt::ElideRight, r.width() - 4));
}

QImage TablePainter::CardPicture(const Card& card) const {
  QImage picture = Blank(QSize(geo_.cardW, geo_.cardH));
  DrawCode(picture, QPoint(0, 0), card.code.Bytes());
  return picture;
}

SeatPicture TablePainter::ArrangingRows(const SeatShown& seat, const OwnRowsView& own,
                                        std::optional<Slot> highlight) const {
  SeatPicture out;
  auto spot = [&](QPoint at, const Card& card) {
    out.spots.push_back({QRect(at, QSize(geo_.cardW, geo_.cardH)), CardLabel(card)});
    out.spoken << out.spots.back().name;
  };
  const QRect area = OwnRowsArea(geo_);
  out.area = area;
  QImage picture = Blank(area.size());
  // While the cards are laid out, the ones not yet flown stay in the hand below.
  const int left = CardsIn(seat.hand);
  const QPoint handOffset = geo_.hands[3].topLeft() - area.topLeft();
  int ordinal = 0;
  for (const Card& card : seat.hand) {
    if (!card.code.IsCard()) continue;
    const QPoint at = handOffset + HandCellAt(geo_, 4, ordinal++, left);
    DrawCode(picture, at, card.code.Bytes());
    spot(at, card);
  }
  for (RowIndex row : kAllRows) {
    for (int s2 = 1; s2 <= CardsInRow(row); ++s2) {
      const Slot slot{row, s2};
      const Card& card = CardAt(own.rows, slot);
      if (!card.code.IsCard()) continue;
      DrawCode(picture, GridCellAt(geo_, slot), card.code.Bytes());
      if (own.selected == slot)
        DrawMark(picture, GridCellAt(geo_, slot), "Xb", QColor(255, 230, 0));
      spot(GridCellAt(geo_, slot), card);
    }
  }
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  // Rows that do not rise: the row that is too strong gets a red name, and the first
  // reason stands on a red plate under the names.
  const std::array<int, 3> reasons = RowReasons(own.rows);
  const bool explained = reasons[kFront] != 0 || reasons[kMiddle] != 0;
  for (int r = 0; r < 3; ++r) {
    const QString name = ShownTableText(own.names[static_cast<size_t>(r)]);
    if (name.isEmpty()) continue;
    DrawPlate(p, RowNameRect(static_cast<RowIndex>(r), explained),
              reasons[static_cast<size_t>(r)] ? PlateColour::kRed : PlateColour::kBlue, name);
  }
  if (explained) {
    const int reason = reasons[kFront] ? reasons[kFront] : reasons[kMiddle];
    const QString text = ShownTableText(TableText::Word(reason));
    QRect r = RowNameRect(kBack, true);
    r.translate(0, r.top() - RowNameRect(kMiddle, true).top());
    DrawPlate(p, r, PlateColour::kRed, text);
    out.spoken << text;
  }
  if (highlight) {
    p.setPen(QPen(QColor(255, 220, 0), std::max(2, layout_.Scale(3))));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(
        QRect(GridCellAt(geo_, *highlight), QSize(geo_.cardW, geo_.cardH)).adjusted(1, 1, -1, -1),
        6, 6);
  }
  p.end();
  out.picture = std::move(picture);
  return out;
}

QRect TablePainter::RowNameRect(RowIndex row, bool withReason) const {
  const QRect area = OwnRowsArea(geo_);
  const int plateX = 3 * (geo_.cardW + geo_.gap);
  const int plateW = std::min(2 * geo_.cardW + geo_.gap, area.width() - plateX);
  // With a reason the four plates share the Front row's height.
  const int top = withReason ? 4 + 23 * static_cast<int>(row) : 8 + 30 * static_cast<int>(row);
  return QRect(plateX, layout_.Scale(top), plateW, layout_.Scale(20));
}

SeatPicture TablePainter::OpenRows(int position, const SeatShown& seat) const {
  SeatPicture out;
  out.area = SeatRowsArea(geo_, position);
  QImage picture = Blank(out.area.size());
  for (RowIndex row : kAllRows) {
    for (int s2 = 1; s2 <= CardsInRow(row); ++s2) {
      const Slot slot{row, s2};
      const Card& card = CardAt(*seat.rows, slot);
      if (!card.code.IsCard()) continue;
      const QPoint at = SeatRowCellAt(geo_, position, slot);
      DrawCode(picture, at, card.code.Bytes());
      if (seat.marked == row) DrawMark(picture, at, RowMark(row), MarkColour(row));
      out.spots.push_back({QRect(at, QSize(geo_.cardW, geo_.cardH)), CardLabel(card)});
      out.spoken << out.spots.back().name;
    }
  }
  out.picture = std::move(picture);
  return out;
}

SeatPicture TablePainter::HandCards(int position, const SeatShown& seat) const {
  SeatPicture out;
  out.area = geo_.hands[position - 1];
  QImage picture = Blank(out.area.size());
  if (seat.handShown) {
    const int n = CardsIn(seat.hand);
    int ordinal = 0;
    for (const Card& card : seat.hand) {
      if (!card.code.IsCard()) continue;
      const QPoint at = HandCellAt(geo_, position, ordinal++, n);
      DrawCode(picture, at, seat.faceUp ? card.code.Bytes() : std::string("00"));
      if (!seat.faceUp) continue;
      out.spots.push_back({QRect(at, QSize(geo_.cardW, geo_.cardH)), CardLabel(card)});
      out.spoken << out.spots.back().name;
    }
    if (!seat.faceUp && n > 0) out.spoken << QString::number(n);
  }
  const QString text = ShownTableText(seat.handText);
  if (!text.isEmpty()) {
    QPainter p(&picture);
    p.setFont(Font(14));
    p.setPen(QColor(0, 0, 0, 160));
    p.drawText(picture.rect().translated(1, 1), Qt::AlignCenter | Qt::TextWordWrap, text);
    p.setPen(QColor(255, 255, 210));
    p.drawText(picture.rect(), Qt::AlignCenter | Qt::TextWordWrap, text);
    out.spoken << text;
  }
  out.picture = std::move(picture);
  return out;
}

QImage TablePainter::Plate(QSize size, PlateColour colour, const QString& text) const {
  QImage picture = Blank(size);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  DrawPlate(p, picture.rect(), colour, text);
  p.end();
  return picture;
}

QImage TablePainter::Tablet(QSize size, const SeatShown& seat, QStringList* spoken) const {
  QImage picture = Blank(size);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  const QRect r = picture.rect();
  const QImage back = ProgramPng("GTablet");
  if (!back.isNull())
    p.drawImage(r, back);
  else {
    p.setBrush(QColor(245, 240, 220));
    p.setPen(QColor(90, 60, 20));
    p.drawRoundedRect(r.adjusted(0, 0, -1, -1), 8, 8);
  }
  // The total across the top, the three rows' points in boxes below.
  const int inset = layout_.Scale(8);
  const QRect totalBox(inset, inset, r.width() - 2 * inset, r.height() * 11 / 20 - inset);
  p.setFont(Font(30));
  p.setPen(PointsColour(seat.total));
  p.drawText(totalBox, Qt::AlignCenter, QString::fromStdString(SignedNumber(seat.total)));
  const int boxTop = r.height() * 11 / 20 + layout_.Scale(2);
  const int boxW = (r.width() - 2 * inset - 2 * layout_.Scale(4)) / 3;
  const int boxH = r.height() - boxTop - inset;
  if (spoken) *spoken << QString::fromStdString(SignedNumber(seat.total));
  for (int i = 0; i < 3; ++i) {
    const QRect box(inset + i * (boxW + layout_.Scale(4)), boxTop, boxW, boxH);
    p.setPen(QPen(QColor(120, 100, 70), 1));
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRoundedRect(box, 4, 4);
    if (!seat.boxes[i]) continue;
    p.setFont(Font(16));
    p.setPen(PointsColour(*seat.boxes[i]));
    const QString v = QString::fromStdString(SignedNumber(*seat.boxes[i]));
    p.drawText(box, Qt::AlignCenter, v);
    if (spoken) *spoken << v;
  }
  p.end();
  return picture;
}

QImage TablePainter::RoundBox(QSize size, const QString& heading, const QString& count) const {
  QImage picture = Blank(size);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  const QImage back = ProgramPng("GKonBox");
  if (!back.isNull()) p.drawImage(picture.rect(), back);
  const QRect r = picture.rect();
  p.setPen(QColor(255, 230, 120));
  p.setFont(Font(18));
  p.drawText(QRect(0, layout_.Scale(8), r.width(), r.height() / 2 - layout_.Scale(8)),
             Qt::AlignCenter, heading);
  p.setPen(QColor(255, 255, 255));
  p.setFont(Font(22));
  p.drawText(QRect(0, r.height() / 2, r.width(), r.height() / 2 - layout_.Scale(8)),
             Qt::AlignCenter, count);
  p.end();
  return picture;
}

QImage TablePainter::ReviewPanel(const std::optional<RoundReview>& found) const {
  if (!found) {
    // The round was settled by special combinations: the title and why there is nothing.
    const QSize size(layout_.Scale(360), layout_.Scale(110));
    QImage picture = Blank(size);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(230, 190, 60), std::max(2, layout_.Scale(2))));
    p.setBrush(QColor(10, 45, 20, 235));
    p.drawRoundedRect(QRectF(picture.rect()).adjusted(1, 1, -1, -1), layout_.Scale(10),
                      layout_.Scale(10));
    const int pad = layout_.Scale(12);
    p.setFont(Font(18));
    p.setPen(QColor(255, 220, 90));
    p.drawText(QRect(pad, pad, size.width() - 2 * pad, layout_.Scale(28)), Qt::AlignCenter,
               ShownTableText(TableText::Word(kWordReviewTitle)));
    p.setFont(Font(14, false));
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(pad, pad + layout_.Scale(30), size.width() - 2 * pad,
                     size.height() - 2 * pad - layout_.Scale(30)),
               Qt::AlignCenter | Qt::TextWordWrap,
               ShownTableText(TableText::Word(kWordReviewNone)));
    p.end();
    return picture;
  }
  const RoundReview& review = *found;
  const int pad = layout_.Scale(12);
  const int cw = std::max(8, geo_.cardW * 3 / 5), ch = std::max(10, geo_.cardH * 3 / 5);
  const int gap = std::max(1, layout_.Scale(3));
  const int rowsW = 5 * cw + 4 * gap;
  const int nameW = layout_.Scale(150);
  const int titleH = layout_.Scale(28), captionH = layout_.Scale(22), lineH = layout_.Scale(24);
  const QSize size(2 * pad + rowsW + layout_.Scale(10) + nameW,
                   2 * pad + titleH + captionH + 3 * ch + 2 * gap + layout_.Scale(8) + 2 * lineH);
  QImage picture = Blank(size);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.setPen(QPen(QColor(230, 190, 60), std::max(2, layout_.Scale(2))));
  p.setBrush(QColor(10, 45, 20, 235));
  p.drawRoundedRect(QRectF(picture.rect()).adjusted(1, 1, -1, -1), layout_.Scale(10),
                    layout_.Scale(10));

  int y = pad;
  auto line = [&](const QString& text, int height, int fontSize, const QColor& colour,
                  int flags = Qt::AlignHCenter | Qt::AlignVCenter) {
    QFont f = Font(fontSize);
    QFontMetrics fm(f);
    const int width = size.width() - 2 * pad;
    while (fm.horizontalAdvance(text) > width && f.pixelSize() > 7) {
      f.setPixelSize(f.pixelSize() - 1);
      fm = QFontMetrics(f);
    }
    p.setFont(f);
    p.setPen(colour);
    p.drawText(QRect(pad, y, width, height), flags, fm.elidedText(text, Qt::ElideRight, width));
    y += height;
  };
  line(ShownTableText(TableText::Word(kWordReviewTitle)), titleH, 18, QColor(255, 220, 90));
  line(ShownTableText(TableText::Word(kWordReviewBestRows)), captionH, 13, QColor(255, 255, 255));
  for (RowIndex row : kAllRows) {
    for (int s = 1; s <= CardsInRow(row); ++s) {
      const Card& card = CardAt(review.best.rows, Slot{row, s});
      if (!card.code.IsCard()) continue;
      const QImage face =
          CardPicture(card).scaled(cw, ch, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      p.drawImage(pad + (s - 1) * (cw + gap), y, face);
    }
    const RowValue& value = review.best.values[static_cast<size_t>(row)];
    const int entry = RowNameEntry(value.category, value.v[0]);
    const QRect plate(pad + rowsW + layout_.Scale(10), y + (ch - layout_.Scale(20)) / 2, nameW,
                      layout_.Scale(20));
    if (entry > 0) DrawPlate(p, plate, PlateColour::kBlue, ShownTableText(TableText::Word(entry)));
    y += ch + gap;
  }
  y += layout_.Scale(8) - gap;
  auto points = [](int32_t value) { return QString::fromStdString(SignedNumber(value)); };
  if (review.PlayedBest()) {
    line(ShownTableText(TableText::Word(kWordReviewPlayedBest)), lineH, 15, QColor(255, 220, 90));
  } else {
    line(ShownTableText(TableText::Word(kWordReviewWouldScore)) + points(review.best.points), lineH,
         15, QColor(140, 255, 140));
  }
  line(ShownTableText(TableText::Word(kWordReviewScored)) + points(review.scored), lineH, 15,
       QColor(255, 255, 255));
  p.end();
  return picture;
}

QImage TablePainter::MessageFrame(QSize size, bool smallWindow) const {
  QImage frame = ProgramPng(smallWindow ? "RamkaERSm" : "RamkaERBg");
  QImage picture = Blank(size);
  if (!frame.isNull()) {
    QPainter p(&picture);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(picture.rect(), frame);
  }
  return picture;
}

}  // namespace trilane
