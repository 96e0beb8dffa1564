#pragma once
// The program's own pictures by resource name, for the windows that draw them directly
// (title screen, menu, notices, auxiliary-window headers). Card pictures go through
// CardGraphics instead.
#include <QImage>
#include <QString>
#include <string_view>
#include <vector>

#include "platform/images.h"

namespace trilane {

// A PNG from the program's RCDATA resources; a null image when it is missing or broken.
QImage ProgramPng(std::string_view name);
// The frames of a GIF from the program's RCDATA resources; empty when missing.
std::vector<GifFrame> ProgramGif(std::string_view name);
// Keeps large pictures (a window's background, a table snapshot, a screen's frames) out of
// the heap: each gets pages of its own, which go back to the system the moment it is freed,
// instead of leaving holes in the heap that later small allocations pin. Called once, before
// the first picture is decoded.
void KeepLargePicturesOutOfTheHeap();
// Hands the heap's free pages back to the system. A screen that is left lets go of its
// pictures, but the allocator keeps the freed pages for later unless it is asked to return
// them; the main window asks after every change of screen and every round.
void ReturnFreedMemory();
// Frame `index` (0-based) of a strip of frames `frameWidth` wide laid side by side.
QImage StripFrame(const QImage& strip, int frameWidth, int index);

}  // namespace trilane
