// The oversampled path: a glyph filled black on white into a work bitmap
// `oversampling` times larger than its place in the output is reduced to
// one 8-bit coverage per output pixel and blended in. 8x keeps one byte per
// sample and averages 8 x 8 boxes; 4x keeps one bit per sample and counts
// them four at a time through the nibble count table.
#pragma once

#include <cstdint>

#include "glyph/blend.h"
#include "platform/gdi/gdi.h"

namespace glyph {

// Fills the nibble count table of the settings; run at the start of every
// frame drawn on the oversampled path.
void buildNibbleCountTable();

// Counts the 4 x 4 samples of each output pixel of a 4x bit mask (4h rows
// of maskStride bytes, two output pixels per byte, bit 0 leftmost) into
// pair bytes (h rows of pairStride bytes): low nibble the left pixel's
// count, high nibble the right one's, 16 stored as 15. `columns` byte
// columns are processed per row.
void downsampleBitmask(const uint8_t* mask, int maskStride, uint8_t* pairs, int pairStride,
                       int columns, int h);
// Byte columns processed for an output box w pixels wide.
int downsampleColumns(int w);

// Blends the work bitmap selected into `dc` (width x height samples) with
// its top-left sample at output pixel (destX, destY). normal 1 draws the
// glyph, 0 the box with the glyph left out.
void rasterizeGlyphBitmap(HDC dc, int width, int height, int destX, int destY,
                          const OutputImage& image, COLORREF colour, int normal, float opacity);
// The same, taking only the samples that the reveal has uncovered:
// progress |opacity| of the line from its left end, the edge staggered from
// row to row by the slope. The blend runs at full opacity.
void rasterizeGlyphBitmapLimited(HDC dc, int width, int height, int destX, int destY,
                                 const OutputImage& image, COLORREF colour, int normal,
                                 float opacity, int revealOffset, int lineTop, int lineWidth,
                                 int lineHeight, float slope);

}  // namespace glyph
