#pragma once
// Drawing shared by the world windows: the flag of a country code from the continents'
// strips, the sex mark, and one row of a world list at the columns the lists share.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <string_view>

#include "program/world_reads.h"
#include "shell/flags.h"
#include "shell/text.h"

class QPainter;

namespace trilane {

// Where the parts of a row go, from the row's left edge.
struct RowColumns {
  int place = 15;
  int flag = 45;
  int sex = 75;
  int nick = 105;
  int city = 255;
  int valueRight = 505;
};

// Draws `row` with its text baseline centred on `centreY`.
void DrawWorldRow(QPainter& painter, const WorldRow& row, const RowColumns& columns, int left,
                  int centreY);

// "No Connect" centred in `area`, in red.
void DrawNoConnect(QPainter& painter, const QRect& area);

}  // namespace trilane
