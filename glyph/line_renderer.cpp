#include "glyph/line_renderer.h"

#include <cmath>

#include "glyph/font_setup.h"
#include "glyph/internal.h"
#include "glyph/jitter.h"
#include "glyph/renderers.h"
#include "glyph/settings.h"

namespace glyph {

namespace {

using detail::trunc;

bool keepsUpright(unsigned char c) { return c == ' ' || c == ',' || c == '.'; }
bool endsWord(unsigned char c) { return c == '\n' || c == '\r' || keepsUpright(c); }

int extentOf(HDC dc, unsigned char c) {
    const char text = static_cast<char>(c);
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, &text, 1, &size);
    return size.cx;
}

}  // namespace

void drawLine(HWND layoutWindow, int imageWidth, int imageHeight, int pixelsPerRow,
              uint8_t* pixels, int lineIndex, float y, float x, float skip, int invertAfterTab,
              int invertLine, int randomInvertMode, double density, float opacity, float slope) {
    const GlyphRenderSettings& settings = glyphSettings();
    LineEntry line{};
    if (settings.lineTable && lineIndex >= 0 && lineIndex < settings.lineCount)
        line = settings.lineTable[lineIndex];
    crt::srand(static_cast<unsigned>(static_cast<int64_t>(lineIndex) + settings.invertSeed));
    if (!layoutWindow || !detail::validImage(imageWidth, imageHeight, pixelsPerRow, pixels)) return;

    detail::DeviceContexts dcs;
    if (!dcs) return;
    HDC dc = dcs.memory();
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    int start = 0;
    if (!layoutLineStart(layoutWindow, lineIndex, &start)) return;
    const int length = layoutLineLength(layoutWindow, start);
    if (!(skip > 0.0f)) skip = 0.0f;

    // The part that has scrolled off: measure from the first character until
    // the pen passes the skip; the character that crosses it is drawn again,
    // partly hidden to the left of x.
    float pen = 0.0f;
    int first = 0;
    float startOffset = 0.0f;
    if (skip > 0.0f) {
        float added = 0.0f;
        bool measured = false;
        for (int64_t i = 0; i < INT32_MAX - static_cast<int64_t>(start);) {
            const unsigned char c = layoutCharAt(layoutWindow, start + static_cast<int>(i));
            if (c == 0) break;
            CHARFORMATA format;
            layoutSelectionFormat(layoutWindow, &format);
            if (c == '\t') {
                added = tabAdvance(trunc(pen));
            } else {
                detail::OwnedFont font(fontFromCharFormat(format, formatPixelHeight(format, dpi)));
                detail::Selection selected(dc, font.get(), false);
                const char text = static_cast<char>(c);
                SIZE size{0, 0};
                GetTextExtentPointA(dc, &text, 1, &size);
                added = static_cast<float>(size.cx);
            }
            pen += added;
            first = static_cast<int>(i);
            measured = true;
            ++i;
            if (!(pen < skip)) break;
        }
        startOffset = measured ? pen - added - skip : 0.0f;
        pen = startOffset;
    }

    const bool hq = settings.highQuality;
    const int D = hq ? settings.oversampling : 1;
    const int revealOffset = trunc(x);
    bool pendingTabInversion = false;
    bool inWord = false;
    bool wordInverted = false;

    for (int i = first; i < length; ++i) {
        const unsigned char c = layoutCharAt(layoutWindow, start + i);
        if (c == 0) break;
        CHARFORMATA format;
        layoutSelectionFormat(layoutWindow, &format);

        const double twipsDots = static_cast<double>(format.yHeight) * dpi * settings.renderScale;
        const int h0 = trunc(twipsDots * D * -kPerTwip);
        const int xi = trunc(startOffset + x);
        float s = scaleJitter(lineIndex, i, imageWidth, xi) * settings.charScale;
        if (s < 0.01f) s = 0.01f;

        // The measuring font gives the ascent that puts the glyph on the
        // line; with "scale without move" it stays at the unscaled height so
        // that a growing letter keeps its baseline and its neighbours.
        int measureHeight = 0, glyphHeight = 0;
        float size = 0.0f;
        const float oversampledSize =
            static_cast<float>(std::fabs(twipsDots * s * settings.oversampling * kPerTwip));
        if (settings.jitter.scaleWithoutMove) {
            measureHeight = h0;
            size = hq ? oversampledSize : static_cast<float>(std::fabs(static_cast<double>(h0) * s));
            glyphHeight = trunc(size);
        } else {
            int height = trunc(static_cast<double>(h0) * s);
            if (height == 0) height = 1;
            measureHeight = glyphHeight = height;
            size = hq ? oversampledSize : static_cast<float>(std::abs(static_cast<int64_t>(height)));
        }
        LOGFONTA lf = logFontFromCharFormat(format, measureHeight);
        detail::OwnedFont measureFont(CreateFontIndirectA(&lf));
        detail::OwnedFont ownGlyphFont;
        HFONT glyphFont = measureFont.get();
        if (glyphHeight != measureHeight) {
            lf.lfHeight = glyphHeight;
            ownGlyphFont = detail::OwnedFont(CreateFontIndirectA(&lf));
            glyphFont = ownGlyphFont.get();
        }
        detail::Selection selected(dc, measureFont.get(), false);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        const int ascent = tm.tmAscent;
        const int extent = hq ? 0 : extentOf(dc, c);

        int inverted = 0;
        if (randomInvertMode == 1) {
            if (!keepsUpright(c)) inverted = (crt::rand() % 10000) * 0.0001 < density;
        } else if (randomInvertMode == 2) {
            if (endsWord(c)) {
                inWord = false;
            } else {
                if (!inWord) {
                    wordInverted = (crt::rand() % 10000) * 0.0001 < density;
                    inWord = true;
                }
                inverted = wordInverted;
            }
        }
        if (pendingTabInversion) {
            inverted = 1;
            pendingTabInversion = false;
        }
        if (invertLine == 1 && !keepsUpright(c)) inverted = 1;

        if (c != '\t') {
            COLORREF colour = format.crTextColor;
            const JitterOffset offset = offsetJitter(lineIndex, i, imageWidth, xi);
            const float rotation = rotationJitter(lineIndex, i, imageWidth, xi);
            colorJitter(colour, lineIndex, i, imageWidth, xi);
            const float gx = offset.dx + startOffset + x;
            const float gy = y + offset.dy;
            if (!drawGlyphAt(glyphFont, dc, c, size, ascent, colour, layoutWindow, imageWidth,
                             imageHeight, pixelsPerRow, pixels, line.width, line.height, gx, gy,
                             inverted, opacity, revealOffset, slope, rotation)) {
                // Many faces outline a lower-case l or a hyphen as a plain
                // rectangle; the line goes on after it, or a word like
                // "hello" would end at its first l. Its cell is its own
                // advance, so that a turned character turns about its own
                // centre and not the line's; the fallback makes its
                // scratch plane only when it turns.
                const int cell = measureCharAdvance(layoutWindow, lineIndex, i) + 1;
                drawCharFallback(layoutWindow, imageWidth, imageHeight, pixelsPerRow, pixels,
                                 lineIndex, i, cell, line.height, trunc(gx), trunc(gy), inverted,
                                 opacity, rotation, nullptr);
            }
        } else if (invertAfterTab == 1) {
            pendingTabInversion = true;
        }

        float advance = 0.0f;
        if (c == '\t')
            advance = tabAdvance(trunc(pen + skip));
        else if (hq || settings.charScale != 1.0f)
            advance = static_cast<float>(measureCharAdvance(layoutWindow, lineIndex, i)) *
                      settings.charScale;
        else
            advance = static_cast<float>(extent);
        pen += advance;
        x += advance;
    }
}

}  // namespace glyph
