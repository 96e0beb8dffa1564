#pragma once
// The application object of the table tests: offscreen, the program's pictures registered,
// English words, and card pictures at the small size.
#include <QApplication>
#include <QDir>

#include "assets/assets.h"
#include "platform/graphics/card_graphics.h"
#include "words/words.h"

namespace trilane::test {

inline QApplication& TableTestApp() {
  static int argc = 1;
  static char name[] = "shell_table_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    auto* created = new QApplication(argc, argv);
    InitAssets();
    SetLanguageIndex(0);
    return created;
  }();
  return *app;
}

// The built-in faces and backs (design 0) at the scale of a window.
inline CardGraphics& TestCards(double kc = 1.0) {
  static SilentNotices notices;
  static CardGraphics* cards = nullptr;
  if (!cards) cards = new CardGraphics(ResourceLocator(QDir::tempPath()), notices);
  cards->SetScale(kc);
  CardLook look;
  cards->LoadCardFaces(look);
  cards->LoadCardBacks(look);
  return *cards;
}

}  // namespace trilane::test
