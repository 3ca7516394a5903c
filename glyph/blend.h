// Compositing into the host's 8-bit output frame: the per-pixel blends of
// the oversampled path, the direct path and the text fallback, and the
// direct path's compositing from a work bitmap.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi.h"

namespace glyph {

// The output frame as the engine sees it: 4 bytes per pixel, alpha, red,
// green, blue; pixel (x, y) at 4 * (y * pixelsPerRow + x).
struct OutputImage {
    uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pixelsPerRow = 0;

    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint8_t* at(int x, int y) const {
        return pixels + 4 * (static_cast<int64_t>(y) * pixelsPerRow + x);
    }
};

// The oversampled path's blend. `coverage` is 0..255 after the mode has been
// applied; normal is 1 for a drawn glyph, 0 for a box with the glyph left out.
void blendCoverage(uint8_t* pixel, int coverage, float opacity, COLORREF colour, int normal);
// The same, mixing the colour by the destination's alpha like the direct
// path, as the morphing effect does.
void blendCoverageMixed(uint8_t* pixel, int coverage, float opacity, COLORREF colour, int normal);
// The direct path's blend, weighted by the destination's own alpha.
void blendAlphaWeighted(uint8_t* pixel, int coverage, float opacity, COLORREF colour);
// The text fallback's blends: additive upright, and the rotated one that
// averages repeated hits of a pixel through `slot` (the pixel's scratch byte).
void blendFallbackUpright(uint8_t* pixel, int coverage, float opacity, COLORREF colour);
void blendFallbackRotated(uint8_t* pixel, uint8_t* slot, int coverage, COLORREF colour);

// Composites the work bitmap selected into `dc` (black glyph on white) at
// (destX, destY). inverted 1 draws the box with the glyph left out.
void compositeBitmapDirect(const OutputImage& image, HDC dc, int bitmapWidth, int bitmapHeight,
                           int destX, int destY, COLORREF colour, int inverted, float opacity);
// The same, drawing only what the reveal has uncovered: progress |opacity|
// of the line from its left end, the edge staggered from row to row by the
// slope.
void compositeBitmapDirectLimited(const OutputImage& image, HDC dc, int bitmapWidth,
                                  int bitmapHeight, int destX, int destY, COLORREF colour,
                                  int inverted, float opacity, int revealOffset, int lineTop,
                                  int lineWidth, int lineHeight, float slope);

// Copies width pixels of 4 bytes per row for height rows.
void copyImage(uint8_t* destination, const uint8_t* source, int width, int height,
               int destinationRowBytes, int sourceRowBytes);

}  // namespace glyph
