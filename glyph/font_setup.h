// Characters, formats and fonts of the layout window. The engine keeps no
// fonts: every character is read with its format from the layout
// document's rich-edit window, and its font is built from that format at
// the pixel size the caller needs.
#pragma once

#include "platform/gdi/gdi.h"
#include "platform/richedit/richedit.h"

namespace glyph {

// 1/1440: twips to inches.
inline constexpr double kPerTwip = 0.0006944444444444445;

// First position of line `line`; false when there is no such line.
bool layoutLineStart(HWND window, int line, int* start);
// Characters of the line that starts at `start`, without its break.
int layoutLineLength(HWND window, int start);
// Selects the one position and reads it: the character, or 0 at the end
// of the text.
unsigned char layoutCharAt(HWND window, int position);
// The character format of the current selection.
void layoutSelectionFormat(HWND window, CHARFORMATA* format);

// Character `index` of line `line` with its format (format may be null).
// False when the line does not exist; *character is 0 at the end of the text.
bool readLayoutChar(HWND window, int line, int index, unsigned char* character,
                    CHARFORMATA* format);

// The logical font of a format with the given LOGFONTA height (negative: a
// character height, positive: a cell height).
LOGFONTA logFontFromCharFormat(const CHARFORMATA& format, LONG height);
// A font for the format at `pixelHeight` pixels of character height; null
// when it cannot be made. The caller deletes it.
HFONT fontFromCharFormat(const CHARFORMATA& format, int pixelHeight);
// twips x dots per inch x renderScale / 1440, times `factor`, truncated.
int formatPixelHeight(const CHARFORMATA& format, int dotsPerInch, double factor = 1.0);

// Advance width in output pixels of character `index` of line `line`; a
// tab advances to the next tab stop after the characters before it.
int measureCharAdvance(HWND window, int line, int index);
// Pixels from a pen position to the next tab stop; a pen on a stop moves a
// whole step. Stops lie every renderScale x 50 pixels (at least 1).
float tabAdvance(int pen);

}  // namespace glyph
