#include "glyph/renderers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "glyph/coverage.h"
#include "glyph/font_setup.h"
#include "glyph/internal.h"
#include "glyph/jitter.h"
#include "glyph/samples.h"
#include "glyph/settings.h"

namespace glyph {

namespace {

using detail::frac;
using detail::trunc;
using detail::validImage;

struct Box {
    float left, right, top, bottom;
};

// The box turned about its centre, as the bounding box of its four corners.
template <class Real>
Box turned(const Box& b, Real cosA, Real sinA) {
    const Real cx = (static_cast<Real>(b.left) + b.right) / 2;
    const Real cy = (static_cast<Real>(b.top) + b.bottom) / 2;
    const Real xs[4] = {b.left, b.right, b.right, b.left};
    const Real ys[4] = {b.top, b.top, b.bottom, b.bottom};
    Box r{0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const Real x = cx + (xs[i] - cx) * cosA - (ys[i] - cy) * sinA;
        const Real y = cy + (xs[i] - cx) * sinA + (ys[i] - cy) * cosA;
        if (i == 0 || x < r.left) r.left = static_cast<float>(x);
        if (i == 0 || x > r.right) r.right = static_cast<float>(x);
        if (i == 0 || y < r.top) r.top = static_cast<float>(y);
        if (i == 0 || y > r.bottom) r.bottom = static_cast<float>(y);
    }
    return r;
}

Box scaledBox(const GlyphOutline& o, float size) {
    const float k = size > 1.0f ? size / static_cast<float>(trunc(size)) : 1.0f;
    return Box{k * o.boxLeft, k * o.boxRight, k * o.boxTop, k * o.boxBottom};
}

int ascentOf(HDC dc, HFONT font) {
    if (!font) return 0;
    detail::Selection selected(dc, font, false);
    TEXTMETRICA tm{};
    if (!GetTextMetricsA(dc, &tm)) return 0;
    return tm.tmAscent;
}

// Everything but the jitters, shared by drawChar and drawCharPerspective.
void drawLayoutChar(HWND window, int imageWidth, int imageHeight, int pixelsPerRow,
                    uint8_t* pixels, int lineIndex, int charIndex, int cellWidth, int lineHeight,
                    float x, float y, int inverted, float opacity, float angle, bool perspective,
                    int perspectiveOn, float horizontalScale, float tilt, float extraAngle) {
    if (!window || !validImage(imageWidth, imageHeight, pixelsPerRow, pixels)) return;
    detail::DeviceContexts dcs;
    if (!dcs) return;
    const int dpi = GetDeviceCaps(dcs.memory(), LOGPIXELSY);

    unsigned char c = 0;
    CHARFORMATA format;
    if (!readLayoutChar(window, lineIndex, charIndex, &c, &format)) return;
    if (isBlankCharacter(c)) return;

    const GlyphRenderSettings& settings = glyphSettings();
    COLORREF colour = format.crTextColor;
    const int xi = trunc(x);
    const JitterOffset offset = offsetJitter(lineIndex, charIndex, imageWidth, xi);
    angle += rotationJitter(lineIndex, charIndex, imageWidth, xi);
    colorJitter(colour, lineIndex, charIndex, imageWidth, xi);
    float s = scaleJitter(lineIndex, charIndex, imageWidth, xi);
    if (s == 0.0f) s = 1.0f;
    s *= settings.charScale;
    const float gx = x + offset.dx;
    const float gy = y + offset.dy;

    const int D = settings.oversampling;
    const int P = trunc(std::fabs(static_cast<double>(format.yHeight) * dpi * s *
                                  settings.renderScale * (settings.highQuality ? D : 1) *
                                  kPerTwip));
    detail::OwnedFont font(fontFromCharFormat(format, P));

    GlyphOutline outline;
    if (!extractGlyphOutline(c, font.get(), &outline)) {
        releaseGlyphOutline(&outline);
        detail::WorkMemory scratch(
            detail::bytesFor(static_cast<int64_t>(std::max(D, 4)) * imageHeight * pixelsPerRow, 1));
        // The fallback draws where the character stands, without its jitter.
        drawCharFallback(window, imageWidth, imageHeight, pixelsPerRow, pixels, lineIndex,
                         charIndex, cellWidth, lineHeight, trunc(x), trunc(y), inverted, opacity,
                         angle, scratch.as());
        return;
    }

    // The oversampled path places the glyph by the ascent of the font at its
    // unscaled height, so a jittered size grows about the baseline's place.
    detail::OwnedFont unscaled;
    if (settings.highQuality)
        unscaled = detail::OwnedFont(fontFromCharFormat(
            format, trunc(static_cast<double>(format.yHeight) * dpi * settings.renderScale * D *
                          kPerTwip)));

    PlacedOutline placed;
    placed.outline = &outline;
    placed.size = static_cast<float>(P);
    placed.angle = angle;
    placed.x = gx;
    placed.y = gy;
    placed.lineHeight = lineHeight;
    placed.inverted = inverted;
    placed.opacity = opacity;
    placed.colour = colour;
    placed.directFont = font.get();
    placed.oversampledFont = unscaled.get();
    placed.perspective = perspective;
    placed.perspectiveOn = perspectiveOn;
    placed.horizontalScale = horizontalScale;
    placed.tilt = tilt;
    placed.extraAngle = extraAngle;
    OutputImage image{pixels, imageWidth, imageHeight, pixelsPerRow};
    drawPlacedOutline(image, placed);
    releaseGlyphOutline(&outline);
}

}  // namespace

void drawPlacedOutline(const OutputImage& image, const PlacedOutline& p) {
    if (!p.outline || !image.pixels) return;
    detail::DeviceContexts dcs;
    if (!dcs) return;
    HDC dc = dcs.memory();
    const GlyphRenderSettings& settings = glyphSettings();
    const bool hq = settings.highQuality;
    const int D = settings.oversampling > 0 ? settings.oversampling : 4;

    Box box = scaledBox(*p.outline, p.size);
    if (p.angle != 0.0f) {
        const double a = p.angle * kBoxRadiansPerDegree;
        box = turned<double>(box, std::cos(a), std::sin(a));
    }
    const float L = box.left, R = box.right, T = box.top, B = box.bottom;

    const int margin = hq ? 16 : 3;
    const int64_t width = static_cast<int64_t>(trunc(R + 0.5f)) - trunc(L) + margin;
    const int64_t height = static_cast<int64_t>(trunc(B + 0.5f)) - trunc(T) + margin;
    if (!detail::workBitmapFits(width, height)) return;
    detail::WorkBitmap bitmap(dcs.screen(), dc, static_cast<int>(width), static_cast<int>(height));
    if (!bitmap) return;

    float ox = 0.0f, oy = 0.0f;
    if (hq) {
        const float fD = static_cast<float>(D);
        ox = fD * (L / fD - static_cast<float>(trunc(L) / D) + frac(p.x));
        oy = fD * (T / fD - static_cast<float>(trunc(T) / D) + frac(p.y));
    }
    if (p.perspective)
        fillOutlinePerspective(dc, p.size, p.angle, p.outline, ox - L, oy - T, p.perspectiveOn,
                               p.horizontalScale, p.tilt, p.extraAngle);
    else
        fillOutline(dc, p.size, p.angle, p.outline, ox - L, oy - T);

    if (hq) {
        const int ascent = ascentOf(dc, p.oversampledFont);
        const int destX = trunc(static_cast<float>(trunc(L) / D) + p.x);
        const int destY = trunc(static_cast<float>(p.lineHeight - ascent / D) + p.y - 5.0f +
                                static_cast<float>(trunc(T) / D));
        rasterizeGlyphBitmap(dc, bitmap.width(), bitmap.height(), destX, destY, image, p.colour,
                             1 - p.inverted, p.opacity);
    } else {
        const int ascent = ascentOf(dc, p.directFont);
        compositeBitmapDirect(image, dc, bitmap.width() - margin, bitmap.height() - margin,
                              trunc(L + p.x),
                              trunc(static_cast<float>(p.lineHeight - ascent) + T + p.y), p.colour,
                              p.inverted, p.opacity);
    }
}

void drawChar(HWND layoutWindow, int imageWidth, int imageHeight, int pixelsPerRow,
              uint8_t* pixels, int lineIndex, int charIndex, int cellWidth, int lineHeight, float x,
              float y, int inverted, float opacity, float angle) {
    drawLayoutChar(layoutWindow, imageWidth, imageHeight, pixelsPerRow, pixels, lineIndex,
                   charIndex, cellWidth, lineHeight, x, y, inverted, opacity, angle, false, 0, 1.0f,
                   0.0f, 0.0f);
}

void drawCharPerspective(HWND layoutWindow, int imageWidth, int imageHeight, int pixelsPerRow,
                         uint8_t* pixels, int lineIndex, int charIndex, int cellWidth,
                         int lineHeight, float x, float y, int inverted, float opacity, float angle,
                         int /*unused*/, int perspective, float horizontalScale, float tilt,
                         float extraAngle) {
    drawLayoutChar(layoutWindow, imageWidth, imageHeight, pixelsPerRow, pixels, lineIndex,
                   charIndex, cellWidth, lineHeight, x, y, inverted, opacity, angle, true,
                   perspective, horizontalScale, tilt, extraAngle);
}

int drawGlyphAt(HFONT font, HDC memoryDC, unsigned char character, float size, int ascent,
                COLORREF colour, HWND layoutWindow, int imageWidth, int imageHeight,
                int pixelsPerRow, uint8_t* pixels, int lineWidth, int lineHeight, float x, float y,
                int inverted, float opacity, int revealOffset, float slope, float angle) {
    if (!layoutWindow || isBlankCharacter(character)) return 1;
    if (!validImage(imageWidth, imageHeight, pixelsPerRow, pixels)) return 1;
    GlyphOutline outline;
    if (!extractGlyphOutline(character, font, &outline)) {
        releaseGlyphOutline(&outline);
        return 0;
    }
    const GlyphRenderSettings& settings = glyphSettings();
    const bool hq = settings.highQuality;
    const int D = settings.oversampling > 0 ? settings.oversampling : 4;
    const float fD = static_cast<float>(D);

    Box box = scaledBox(outline, size);
    if (angle != 0.0f) {
        const auto a = static_cast<float>(angle * kBoxRadiansPerDegree);
        box = turned<float>(box, std::cos(a), std::sin(a));
    }
    const float L = box.left, R = box.right, T = box.top, B = box.bottom;
    const int margin = hq ? 20 : 3;
    const int64_t width = static_cast<int64_t>(trunc(R + 0.5f)) - trunc(L) + margin;
    const int64_t height = static_cast<int64_t>(trunc(B + 0.5f)) - trunc(T) + margin;
    if (!memoryDC || !detail::workBitmapFits(width, height)) {
        releaseGlyphOutline(&outline);
        return 1;
    }
    {
        detail::WorkBitmap bitmap(memoryDC, memoryDC, static_cast<int>(width),
                                  static_cast<int>(height));
        if (bitmap) {
            float ox = 0.0f, oy = 0.0f;
            if (hq) {
                ox = fD * (frac(L / fD) + frac(x));
                oy = fD * (frac(T / fD) + frac(y));
            }
            fillOutline(memoryDC, size, angle, &outline, ox - L, oy - T);

            const OutputImage image{pixels, imageWidth, imageHeight, pixelsPerRow};
            const int bw = bitmap.width(), bh = bitmap.height();
            const int oversampledX = trunc(x + static_cast<float>(trunc(L / fD)));
            const int oversampledY = trunc(y + static_cast<float>(lineHeight - ascent / D) - 5.0f +
                                           static_cast<float>(trunc(T) / D));
            const int directY = trunc(y + static_cast<float>(lineHeight - ascent) + T + 0.5f);
            if (opacity >= 0.0f) {
                if (hq)
                    rasterizeGlyphBitmap(memoryDC, bw, bh, oversampledX, oversampledY, image,
                                         colour, 1 - inverted, opacity);
                else
                    compositeBitmapDirect(image, memoryDC, bw - 3, bh - 3, trunc(x + L + 0.5f),
                                          directY, colour, inverted, opacity);
            } else {
                const int lineTop = trunc(y);
                if (hq)
                    rasterizeGlyphBitmapLimited(memoryDC, bw, bh, oversampledX, oversampledY,
                                                image, colour, 1 - inverted, opacity,
                                                revealOffset, lineTop, lineWidth, lineHeight,
                                                slope);
                else
                    compositeBitmapDirectLimited(
                        image, memoryDC, bw - 3, bh - 3,
                        trunc(x + static_cast<float>(trunc(L)) + 0.5f), directY, colour, inverted,
                        opacity, revealOffset, lineTop, lineWidth, lineHeight, slope);
            }
        }
    }
    releaseGlyphOutline(&outline);
    return 1;
}

void drawCharFallback(HWND layoutWindow, int imageWidth, int imageHeight, int pixelsPerRow,
                      uint8_t* pixels, int lineIndex, int charIndex, int cellWidth, int lineHeight,
                      int x, int y, int inverted, float opacity, float angle, uint8_t* scratch) {
    if (!layoutWindow || !validImage(imageWidth, imageHeight, pixelsPerRow, pixels)) return;
    detail::DeviceContexts dcs;
    if (!dcs) return;
    HDC dc = dcs.memory();
    const int64_t bitmapWidth = static_cast<int64_t>(cellWidth) + 15;
    if (!detail::workBitmapFits(bitmapWidth, lineHeight)) return;
    detail::WorkBitmap bitmap(dcs.screen(), dc, static_cast<int>(bitmapWidth), lineHeight);
    if (!bitmap) return;

    unsigned char c = 0;
    CHARFORMATA format;
    if (!readLayoutChar(layoutWindow, lineIndex, charIndex, &c, &format) || c == 0) return;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    detail::OwnedFont font(fontFromCharFormat(format, formatPixelHeight(format, dpi)));
    detail::Selection selected(dc, font.get(), false);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    const char text = static_cast<char>(c);
    SIZE extent{0, 0};
    GetTextExtentPointA(dc, &text, 1, &extent);
    if (c == '\t') return;
    TextOutA(dc, 0, lineHeight - tm.tmAscent - 5, &text, 1);

    const OutputImage image{pixels, imageWidth, imageHeight, pixelsPerRow};
    const COLORREF colour = format.crTextColor;
    detail::BitmapSamples samples(dc);

    if (angle == 0.0f) {
        const int lastColumn = tm.tmMaxCharWidth + 1;
        for (int row = 0; row <= lineHeight; ++row) {
            const int64_t Y = static_cast<int64_t>(y) + row;
            if (Y < 0 || Y >= imageHeight) continue;
            for (int column = 0; column <= lastColumn; ++column) {
                const int64_t X = static_cast<int64_t>(x) + column;
                if (X < 0 || X >= imageWidth) continue;
                const COLORREF p = samples.pixel(column, row);
                const int low = p == CLR_INVALID ? 255 : static_cast<int>(p & 0xFF);
                // Inverted, the box is the character's advance; whatever ink
                // hangs beyond it is drawn as ink.
                const int coverage = (!inverted || column >= extent.cx) ? 255 - low : low;
                if (coverage == 0) continue;
                blendFallbackUpright(image.at(static_cast<int>(X), static_cast<int>(Y)), coverage,
                                     opacity, colour);
            }
        }
        return;
    }

    const size_t planeBytes = detail::bytesFor(static_cast<int64_t>(pixelsPerRow) * imageHeight, 4);
    detail::WorkMemory ownScratch;
    if (!scratch) {
        ownScratch = detail::WorkMemory(planeBytes);
        scratch = ownScratch.as();
        if (!scratch) return;
    } else {
        std::memset(scratch, 0, planeBytes);
    }
    const double a = angle * kBoxRadiansPerDegree;
    const double ca = std::cos(a), sa = std::sin(a);
    const int cx = cellWidth / 2;
    const int cy = lineHeight / 2;
    // Half-pixel steps through the source leave no holes in the turned image.
    for (int iy = 0; iy < 2 * lineHeight; ++iy) {
        const double sy = iy * 0.5;
        for (int ix = 0; ix < 2 * static_cast<int64_t>(cellWidth); ++ix) {
            const double sx = ix * 0.5;
            const int X = trunc(cx + (sx - cx) * ca - (sy - cy) * sa + x + 0.5);
            if (X < 0 || X >= imageWidth) continue;
            const int Y = trunc((sx - cx) * sa + (sy - cy) * ca + cy + y + 0.5);
            if (Y < 0 || Y >= imageHeight) continue;
            const int px = trunc(sx + 0.5), py = trunc(sy + 0.5);
            if (px >= cellWidth || py >= lineHeight) continue;
            const int low = samples.lowByte(px, py);
            const int coverage = inverted ? low : 255 - low;
            if (coverage <= 0) continue;
            const size_t slot = 4 * (static_cast<size_t>(Y) * pixelsPerRow + X);
            blendFallbackRotated(image.at(X, Y), scratch + slot, coverage, colour);
        }
    }
}

}  // namespace glyph
