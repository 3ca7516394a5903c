// Glyph outlines: a character's path in a font, converted so that every
// segment is a cubic Bezier, then scaled, rotated (or foreshortened) into
// integer points of a work bitmap and filled black on white.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi.h"

namespace glyph {

// Point types of a converted outline.
enum : uint8_t {
    kOutlineMove = 6,
    kOutlineBezier = 4,
    kOutlineBezierClose = 5,
};

struct GlyphOutline {
    unsigned char character = 0;
    int hasOutline = 0;  // the path had more than 5 points
    // Bounding box of every point, control points included, in device pixels.
    int boxLeft = 0, boxRight = 0, boxTop = 0, boxBottom = 0;
    POINT* points = nullptr;
    POINT* workPoints = nullptr;   // the transformed copy that is filled
    POINT* sparePoints = nullptr;  // a second copy of points, refreshed by every fill
    uint8_t* types = nullptr;
    uint8_t* workTypes = nullptr;  // types without the close flag, for the fill
    // The fills read only the low 16 bits, as a signed value.
    int pointCount = 0;
    int figureCount = 0;
    int* figurePointCounts = nullptr;  // closing point included
    uint64_t* figureExtra = nullptr;   // zero
    int* figureStarts = nullptr;
    int pointCapacity = 0;
    int typeCapacity = 0;
    void* block = nullptr;  // the one page block all arrays live in
};

// 1 and a filled outline, or 0 when the character has no usable outline
// (an empty path, or one of 5 points or fewer: a plain rectangle).
int extractGlyphOutline(unsigned char character, HFONT font, GlyphOutline* outline);
// The outline of a character's platform path: 0 for an empty path or one
// of 5 points or fewer (no usable outline), else as convertGlyphPath.
int outlineFromPath(const POINT* points, const uint8_t* types, int count, GlyphOutline* outline);
// The conversion of a platform path (points with move-to, line-to,
// Bezier-to and close types, starting with the pen's move to (0, 0), which
// is skipped) into the outline. 0 when its arrays cannot be allocated.
int convertGlyphPath(const POINT* points, const uint8_t* types, int count, GlyphOutline* outline);
// Frees every array of the outline and clears it.
void releaseGlyphOutline(GlyphOutline* outline);

// Adds the points to the DC's path. 0 without a DC.
int playOutline(HDC dc, const POINT* points, const uint8_t* types, int count, int close);
// The replay by hand, for platforms without PolyDraw.
int playOutlineByHand(HDC dc, const POINT* points, const uint8_t* types, int count, int close);

// Fills the outline scaled by size / whole part of size (for a fractional
// size), rotated by `angle` degrees about its box centre and moved by the
// offset, with the DC's pen and brush.
void fillOutline(HDC dc, float size, float angle, GlyphOutline* outline, float offsetX,
                 float offsetY);
// As fillOutline; with `perspective` set the points are also stretched
// across by horizontalScale and foreshortened down by cos(tilt), and the
// rotation grows by extraAngle (radians).
void fillOutlinePerspective(HDC dc, float size, float angle, GlyphOutline* outline, float offsetX,
                            float offsetY, int perspective, float horizontalScale, float tilt,
                            float extraAngle);

}  // namespace glyph
