#include "glyph/blend.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "glyph/internal.h"
#include "glyph/samples.h"

namespace glyph {

using detail::toByte;

namespace {

// The weight of one step of alpha, as the blends have always used it.
constexpr double kByteStep = 0.003921569;
constexpr float kByteStepF = 0.003921569f;

void setColour(uint8_t* pixel, COLORREF colour) {
    pixel[1] = GetRValue(colour);
    pixel[2] = GetGValue(colour);
    pixel[3] = GetBValue(colour);
}

// A transparent destination simply takes the colour and the coverage.
void blendOverEmpty(uint8_t* pixel, int coverage, float opacity, COLORREF colour) {
    pixel[0] = opacity == 1.0f ? toByte(coverage) : toByte(static_cast<float>(coverage) * opacity);
    setColour(pixel, colour);
}

uint8_t addAlpha(int alpha, int coverage, float opacity, float weighted) {
    return opacity == 1.0f ? static_cast<uint8_t>(std::min(alpha + coverage, 255))
                           : toByte(static_cast<float>(alpha) + weighted);
}

}  // namespace

void blendCoverage(uint8_t* pixel, int coverage, float opacity, COLORREF colour, int normal) {
    const int alpha = pixel[0];
    if (alpha == 0) {
        blendOverEmpty(pixel, coverage, opacity, colour);
        return;
    }
    const float c = static_cast<float>(coverage) * opacity;
    if (c >= 255.0f) {
        pixel[0] = 255;
        if (normal) setColour(pixel, colour);
        return;
    }
    if (normal) {
        const double t = c * kByteStep;
        const double s = 1.0 - t;
        pixel[0] = addAlpha(alpha, coverage, opacity, c);
        pixel[1] = toByte(pixel[1] * s + GetRValue(colour) * t);
        pixel[2] = toByte(pixel[2] * s + GetGValue(colour) * t);
        pixel[3] = toByte(pixel[3] * s + GetBValue(colour) * t);
    } else {
        // The box around the glyph can only take alpha away, never add it:
        // that is what cuts the glyph's hole into earlier drawing.
        pixel[0] = opacity == 1.0f ? static_cast<uint8_t>(std::min(alpha, coverage))
                                   : toByte(std::min(static_cast<float>(alpha), c));
    }
}

void blendCoverageMixed(uint8_t* pixel, int coverage, float opacity, COLORREF colour, int normal) {
    const int alpha = pixel[0];
    const float c = static_cast<float>(coverage) * opacity;
    if (alpha == 0 || c >= 255.0f) {
        blendCoverage(pixel, coverage, opacity, colour, normal);
        return;
    }
    const float w = static_cast<float>(alpha) / 255.0f;
    pixel[0] = addAlpha(alpha, coverage, opacity, c);
    pixel[1] = toByte(pixel[1] * w + GetRValue(colour) * (1.0f - w));
    pixel[2] = toByte(pixel[2] * w + GetGValue(colour) * (1.0f - w));
    pixel[3] = toByte(pixel[3] * w + GetBValue(colour) * (1.0f - w));
}

void blendAlphaWeighted(uint8_t* pixel, int coverage, float opacity, COLORREF colour) {
    const int alpha = pixel[0];
    if (alpha == 0) {
        blendOverEmpty(pixel, coverage, opacity, colour);
        return;
    }
    const float c = static_cast<float>(coverage) * opacity;
    if (c >= 255.0f) {
        pixel[0] = 255;
        setColour(pixel, colour);
        return;
    }
    pixel[0] = addAlpha(alpha, coverage, opacity, c);
    const float w = static_cast<float>(alpha) * kByteStepF;
    pixel[1] = toByte(GetRValue(colour) * (1.0f - w) + pixel[1] * w);
    pixel[2] = toByte(GetGValue(colour) * (1.0f - w) + pixel[2] * w);
    pixel[3] = toByte(GetBValue(colour) * (1.0f - w) + pixel[3] * w);
}

void blendFallbackUpright(uint8_t* pixel, int coverage, float opacity, COLORREF colour) {
    const int alpha = pixel[0];
    if (alpha == 0) {
        blendOverEmpty(pixel, coverage, opacity, colour);
        return;
    }
    pixel[0] = addAlpha(alpha, coverage, opacity, static_cast<float>(coverage) * opacity);
    pixel[1] = static_cast<uint8_t>(std::min(pixel[1] + GetRValue(colour), 255));
    pixel[2] = static_cast<uint8_t>(std::min(pixel[2] + GetGValue(colour), 255));
    pixel[3] = static_cast<uint8_t>(std::min(pixel[3] + GetBValue(colour), 255));
}

void blendFallbackRotated(uint8_t* pixel, uint8_t* slot, int coverage, COLORREF colour) {
    pixel[1] = std::max(pixel[1], GetRValue(colour));
    pixel[2] = std::max(pixel[2], GetGValue(colour));
    pixel[3] = std::max(pixel[3], GetBValue(colour));
    // The rotated walk samples at half-pixel steps, so a pixel is usually hit
    // several times; averaging the hits keeps the edges from saturating.
    const int s = *slot;
    const uint8_t a = toByte(coverage);
    if (s > 0) {
        const auto v = static_cast<uint8_t>((a + s) / 2);
        pixel[0] = v;
        *slot = v;
    } else {
        *slot = a;
        pixel[0] = std::max(pixel[0], a);
    }
}

void compositeBitmapDirect(const OutputImage& image, HDC dc, int bitmapWidth, int bitmapHeight,
                           int destX, int destY, COLORREF colour, int inverted, float opacity) {
    if (!image.pixels || !dc) return;
    detail::BitmapSamples samples(dc);
    for (int i = 0; i < bitmapHeight; ++i) {
        const int64_t y = static_cast<int64_t>(destY) + i;
        if (y < 0 || y >= image.height) continue;
        for (int j = 0; j < bitmapWidth; ++j) {
            const int64_t x = static_cast<int64_t>(destX) + j;
            if (x < 0 || x >= image.width) continue;
            int coverage = samples.lowByte(j, i);
            if (!inverted) coverage = 255 - coverage;
            if (coverage == 0) continue;
            blendAlphaWeighted(image.at(static_cast<int>(x), static_cast<int>(y)), coverage, opacity,
                               colour);
        }
    }
}

void compositeBitmapDirectLimited(const OutputImage& image, HDC dc, int bitmapWidth,
                                  int bitmapHeight, int destX, int destY, COLORREF colour,
                                  int inverted, float opacity, int revealOffset, int lineTop,
                                  int lineWidth, int lineHeight, float slope) {
    if (!image.pixels || !dc) return;
    const float progress = std::fabs(opacity);
    const int64_t threshold = detail::trunc(
        static_cast<float>(static_cast<int64_t>(lineWidth) *
                           detail::trunc(static_cast<float>(lineHeight) * slope)) *
        progress);
    detail::BitmapSamples samples(dc);
    for (int i = 0; i < bitmapHeight; ++i) {
        const int64_t y = static_cast<int64_t>(destY) + i;
        if (y < 0 || y >= image.height) continue;
        const int64_t rowShift =
            static_cast<int64_t>(lineWidth) *
            detail::trunc(slope * static_cast<float>(static_cast<int64_t>(destY) + i - lineTop));
        for (int j = 0; j < bitmapWidth; ++j) {
            const int64_t x = static_cast<int64_t>(destX) + j;
            if (x < 0 || x >= image.width) continue;
            if (x + rowShift - revealOffset >= threshold) continue;
            int coverage = samples.lowByte(j, i);
            if (!inverted) coverage = 255 - coverage;
            if (coverage == 0) continue;
            blendAlphaWeighted(image.at(static_cast<int>(x), static_cast<int>(y)), coverage, 1.0f,
                               colour);
        }
    }
}

void copyImage(uint8_t* destination, const uint8_t* source, int width, int height,
               int destinationRowBytes, int sourceRowBytes) {
    if (!destination || !source || width <= 0 || height <= 0) return;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::memmove(destination + static_cast<ptrdiff_t>(y) * destinationRowBytes,
                     source + static_cast<ptrdiff_t>(y) * sourceRowBytes, rowBytes);
}

}  // namespace glyph
