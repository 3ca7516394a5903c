// The line renderer: one whole line of the layout document from a start
// position, character after character, for the animations that move whole
// lines. It skips what has scrolled off to the left, jitters every
// character, and decides per character whether it is drawn inverted.
#pragma once

#include <cstdint>

#include "platform/win/winapi.h"

namespace glyph {

// skip: pixels of the line already scrolled off before x (0 draws from the
// first character; a negative skip counts as 0). randomInvertMode: 0 none,
// 1 letters, 2 words, each inverted with probability density. A negative
// opacity reveals the line up to the progress -opacity, its edge slanted by
// the slope. Width and height of the line come from the settings' line table.
void drawLine(HWND layoutWindow, int imageWidth, int imageHeight, int pixelsPerRow,
              uint8_t* pixels, int lineIndex, float y, float x, float skip, int invertAfterTab,
              int invertLine, int randomInvertMode, double density, float opacity, float slope);

}  // namespace glyph
