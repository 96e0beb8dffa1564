#pragma once
// Direct play offered in the program's main window: the menu's member lines and "New
// Player" open the network player window in network mode, each game is a network game on
// the window's match, and the end of a match writes the network records.
#include <memory>

#include "shell/direct/direct_play_front.h"

namespace trilane {

class MainWindow;

// The front stays with the window; it must be destroyed before the window.
std::unique_ptr<DirectPlayFront> OfferDirectPlay(MainWindow& window);

}  // namespace trilane
