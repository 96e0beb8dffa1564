#pragma once
// The application object the window tests share, with the program's pictures registered and
// English words. Tests run with QT_QPA_PLATFORM=offscreen (CTest sets it).
#include <QApplication>

#include "assets/assets.h"
#include "words/words.h"

namespace trilane::test {

inline QApplication& WindowTestApp() {
  static int argc = 1;
  static char name[] = "shell_window_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    auto* created = new QApplication(argc, argv);
    InitAssets();
    SetLanguageIndex(0);
    return created;
  }();
  return *app;
}

}  // namespace trilane::test
