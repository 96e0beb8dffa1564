#pragma once
// What the pages of the options window share: the setters that show the record without
// announcing a change, the list fillers, the measures of the sample pictures and the card
// look the sample graphics load.
#include <QComboBox>
#include <QSignalBlocker>
#include <QString>
#include <algorithm>
#include <initializer_list>
#include <string_view>

#include "platform/graphics/card_graphics.h"
#include "shell/card_look.h"
#include "shell/modal.h"
#include "words/words.h"

class QAbstractButton;
class QImage;
class QPainter;
class QSpinBox;

namespace trilane {

struct TSettings;

// The four sample faces or backs, 71 x 96 each, at x = 0, 63, 126 and 189.
constexpr int kSampleStep = 63;
constexpr int kSampleWidth = 3 * kSampleStep + 71;
constexpr int kSampleHeight = 96;

QString Latin(std::string_view text);

// Writes the items of a list in the current language, keeping the chosen one.
void SetItems(QComboBox* box, std::initializer_list<QString> items);

template <size_t N>
void SetWordItems(QComboBox* box, const int (&words)[N]) {
  const QSignalBlocker quiet(box);
  const int current = box->currentIndex();
  if (box->count() != static_cast<int>(N)) box->clear();
  for (size_t i = 0; i < N; ++i) {
    if (box->count() == static_cast<int>(N)) {
      box->setItemText(static_cast<int>(i), WordText(words[i]));
    } else {
      box->addItem(WordText(words[i]));
    }
  }
  box->setCurrentIndex(std::max(current, 0));
}

void SetIndexQuietly(QComboBox* box, int index);
void SetCheckedQuietly(QAbstractButton* box, bool on);
void SetValueQuietly(QSpinBox* box, int value);

// Draws the outline of a small card cell and a picture inside it.
void DrawCell(QPainter& painter, int x, const QImage& picture);

}  // namespace trilane
