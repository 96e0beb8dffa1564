#pragma once
// The world top ten: seven categories of tables, chosen with the buttons A to G on the left
// strip. The upper picture lists the category's ten best; for the tables of whole cycles
// (B, C, D) the lower picture gives the table's count and the player's own entries. Without
// the graphics library the window is the compact one: 640 pixels wide, one picture, and
// three icons choosing the table of this program, of the phone version or of the accounts.
#include <QImage>
#include <QTimer>
#include <array>

#include "program/world_reads.h"
#include "shell/aux_window.h"
#include "shell/world/world_drawing.h"
#include "shell/world/world_services.h"

namespace trilane {

class QorCardsButton;

class WorldTopWindow : public AuxWindow {
  Q_OBJECT

 public:
  // `compact`: the graphics library is missing.
  WorldTopWindow(WorldServices& services, WorldCategory start, bool compact, QWidget* parent);

  // Reads and shows a category (the buttons call it after their sound).
  void ShowCategory(WorldCategory category);
  // The online list of category E: 0 score, 1 rating, 2 games.
  void ChooseOnlineList(int index);
  // Reads the category again (the refresh button).
  void Refresh();

  WorldCategory Category() const { return read_.category; }
  const WorldCategoryRead& Shown() const { return read_; }
  // The compact layout's table icon under a point of its picture, or nothing.
  static std::optional<WorldCategory> CompactIconAt(QPoint point);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Layout();
  void PaintFull(QPainter& painter, int top);
  void PaintCompact(QPainter& painter, int top);
  void PaintList(QPainter& painter, const WorldList& list, QRect area, const RowColumns& columns,
                 int rowStep, int maxRows);
  std::optional<WorldIdentity> OwnIdentity(WorldCategory category) const;

  WorldServices& services_;
  bool compact_;
  WorldCategoryRead read_;
  int onlineList_ = 0;
  std::array<QorCardsButton*, 7> categoryButtons_{};
  std::array<QorCardsButton*, 3> onlineButtons_{};
  QorCardsButton* passport_;
  QorCardsButton* refresh_;
  QorCardsButton* ok_;
  QTimer refreshTimer_;
  std::array<QImage, 3> compactIcons_;
};

}  // namespace trilane
