#pragma once
// The table's pictures, drawn from what the table shows: the hands, the own rows while
// arranging, the open rows, the plates, the score tablets, the round box and the message
// box frame. Pure drawing: where a picture goes and what a screen reader hears of it is
// the table widget's business; the painter only says which cards it drew where.
#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

#include "shell/layout.h"
#include "shell/table/table_geometry.h"
#include "table/review.h"
#include "table/table_view.h"

class QPainter;

namespace trilane {

struct TSettings;
class CardGraphics;

// What the table shows of one seat.
struct SeatShown {
  Hand hand{};
  bool handShown = false;
  bool faceUp = false;
  TableText handText;
  std::optional<Arrangement> rows;
  std::optional<RowIndex> marked;
  TableText plate;
  PlateColour plateColour = PlateColour::kYellow;
  bool tabletShown = false;
  int32_t total = 0;
  std::array<std::optional<int32_t>, 3> boxes{};
};

// A face-up card in a picture: its rectangle (picture coordinates) and its name.
struct CardSpot {
  QRect rect;
  QString name;
};

// A seat's cards: where the picture lies on the table, the picture, the face-up cards in
// it and what is said of it, in order.
struct SeatPicture {
  QRect area;
  QImage picture;
  std::vector<CardSpot> spots;
  QStringList spoken;
};

// A text of the game in the current language.
QString ShownTableText(const TableText& text);
// A card as people read it whatever the language: rank and suit symbol.
QString CardLabel(const Card& card);

class TablePainter {
 public:
  // `layout` and `geometry` are the table's own, followed as they change.
  TablePainter(const TSettings* settings, CardGraphics* cards, const Layout& layout,
               const TableGeometry& geometry);

  // The decor font at a design height.
  QFont Font(int baseHeight, bool bold = true) const;
  // A transparent picture.
  QImage Blank(QSize size) const;
  // One card face (the flying and the dragged card).
  QImage CardPicture(const Card& card) const;

  // The own rows while arranging: the cards not yet flown still in the hand below, the
  // picked card marked, the row names and the keyboard's highlight.
  SeatPicture ArrangingRows(const SeatShown& seat, const OwnRowsView& own,
                            std::optional<Slot> highlight) const;
  // Where a row's name plate lies in the own rows' picture while arranging; `withReason`:
  // the plates close up to leave room for the reason under them.
  QRect RowNameRect(RowIndex row, bool withReason) const;
  // The review after a result: the best rows in small cards beside their names, what they
  // would have scored and what the own rows scored; without a review (a round settled by
  // special combinations) the panel says that no rows were played.
  QImage ReviewPanel(const std::optional<RoundReview>& review) const;
  // A seat's rows open on the table, the row being rated marked.
  SeatPicture OpenRows(int position, const SeatShown& seat) const;
  // A seat's hand, face up or down, with the text over it.
  SeatPicture HandCards(int position, const SeatShown& seat) const;

  QImage Plate(QSize size, PlateColour colour, const QString& text) const;
  // The tablet: the total over the three rows' points; `spoken` gets the figures shown.
  QImage Tablet(QSize size, const SeatShown& seat, QStringList* spoken) const;
  QImage RoundBox(QSize size, const QString& heading, const QString& count) const;
  QImage MessageFrame(QSize size, bool smallWindow) const;

 private:
  void DrawCode(QImage& image, QPoint at, std::string_view code) const;
  void DrawMark(QImage& image, QPoint at, std::string_view code, const QColor& frame) const;
  void DrawPlate(QPainter& p, const QRect& r, PlateColour colour, const QString& text) const;

  const TSettings* settings_;
  CardGraphics* cards_;
  const Layout& layout_;
  const TableGeometry& geo_;
};

}  // namespace trilane
