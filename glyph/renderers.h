// The character renderers: one character of the layout document drawn at a
// float position with its format and jitters (drawChar, and drawCharPerspective
// for the foreshortened letters), one glyph of an already built font
// (drawGlyphAt, the line renderer's step), and plain text output for
// characters without a usable outline (drawCharFallback).
#pragma once

#include <cstdint>

#include "glyph/blend.h"
#include "glyph/outline.h"
#include "platform/gdi/gdi.h"

namespace glyph {

// Degrees to radians where a renderer turns a box.
inline constexpr double kBoxRadiansPerDegree = 0.01745328888888889;

// Characters that are never drawn: end of text, blanks and breaks.
inline bool isBlankCharacter(unsigned char c) {
    return c == 0 || c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

void drawChar(HWND layoutWindow, int imageWidth, int imageHeight, int pixelsPerRow,
              uint8_t* pixels, int lineIndex, int charIndex, int cellWidth, int lineHeight, float x,
              float y, int inverted, float opacity, float angle);

// `unused` is passed by the callers and has no effect.
void drawCharPerspective(HWND layoutWindow, int imageWidth, int imageHeight, int pixelsPerRow,
                         uint8_t* pixels, int lineIndex, int charIndex, int cellWidth,
                         int lineHeight, float x, float y, int inverted, float opacity, float angle,
                         int unused, int perspective, float horizontalScale, float tilt,
                         float extraAngle);

// 1, or 0 when the character has no usable outline. A negative opacity
// reveals the glyph up to the progress -opacity of the line.
int drawGlyphAt(HFONT font, HDC memoryDC, unsigned char character, float size, int ascent,
                COLORREF colour, HWND layoutWindow, int imageWidth, int imageHeight,
                int pixelsPerRow, uint8_t* pixels, int lineWidth, int lineHeight, float x, float y,
                int inverted, float opacity, int revealOffset, float slope, float angle);

// `scratch`: a zero-filled plane of at least 4 bytes per output pixel, for
// the rotated fallback; null makes one for the call.
void drawCharFallback(HWND layoutWindow, int imageWidth, int imageHeight, int pixelsPerRow,
                      uint8_t* pixels, int lineIndex, int charIndex, int cellWidth, int lineHeight,
                      int x, int y, int inverted, float opacity, float angle, uint8_t* scratch);

// The placement and drawing of an extracted outline that drawChar,
// drawCharPerspective and the morphing effect's renderers share: the box is
// scaled by the size's fraction and turned by the angle, a work bitmap is
// filled and blended in on the path the settings select.
struct PlacedOutline {
    GlyphOutline* outline = nullptr;
    float size = 0.0f;   // the glyph's pixel size (oversampled on that path)
    float angle = 0.0f;  // degrees
    float x = 0.0f;      // the cell's left edge and the line's top, jitter applied
    float y = 0.0f;
    int lineHeight = 0;
    int inverted = 0;
    float opacity = 1.0f;
    COLORREF colour = 0;
    HFONT directFont = nullptr;       // its ascent places the glyph on the direct path
    HFONT oversampledFont = nullptr;  // and on the oversampled path
    bool perspective = false;         // fill with the perspective transform
    int perspectiveOn = 0;
    float horizontalScale = 1.0f;
    float tilt = 0.0f;
    float extraAngle = 0.0f;
};
void drawPlacedOutline(const OutputImage& image, const PlacedOutline& placed);

}  // namespace glyph
