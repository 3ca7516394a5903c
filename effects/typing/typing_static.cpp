// "Static Text", "Scrolling" and "Vertical Line": the text drawn from the
// top of the frame, moved up through it like end credits, or set one
// character per line as a column that scrolls up.
#include <cmath>
#include <cstdlib>

#include "effects/typing/typing.h"
#include "effects/typing/typing_render.h"
#include "glyph/font_setup.h"
#include "glyph/line_renderer.h"
#include "glyph/renderers.h"

namespace {

int32_t trunc32(double v) { return static_cast<int32_t>(v); }

// Scroll position: the text enters at the bottom edge and has left at the
// top when pos reaches H + T.
float scrollPosition(const TypingFrame& f, float textLength) {
    float L = static_cast<float>(f.imageHeight) + textLength;
    if (f.scrollControl == 1) return f.phase * L;
    if (L == 0.0f) L = 1.0f;
    float pos = f.scrollSum;
    if (pos < 0.0f) pos = 0.0f;
    if (pos > L) pos = L;
    return pos;
}

void reportProgress(const TypingScene& scene, int32_t current, int32_t total) {
    PF_InData* in = scene.in_data;
    // The answer is not looked at: an abort request does not stop the frame.
    if (in && in->inter.progress) (void)in->inter.progress(in->effect_ref, current, total);
}

}  // namespace

void DrawStaticOrScrolling(const TypingFrame& f, const TypingScene& scene) {
    const LibraryFunctions& lib = *scene.library;
    const HideRichDocument doc = scene.document;
    const int32_t W = f.imageWidth, H = f.imageHeight;
    auto query = [doc](LineQueryFn q, int32_t line) { return q ? q(doc, line) : 0; };

    float T = 0.0f;
    for (int32_t i = 0; i < f.lineCount; ++i) {
        glyph::LineEntry& e = scene.lineTable[i];
        e.width = query(lib.GetWidthLineHideRich, i);
        e.height = query(lib.GetHeightLineHideRich, i);
        e.top = query(lib.GetTopLineHideRich, i);
        if (f.leading != 1.0) e.top = trunc32(e.top * f.leading);
        e.left = query(lib.GetLeftLineHideRich, i);
        e.justification = lib.GetJustifyLineHideRich ? lib.GetJustifyLineHideRich(doc, i) : -1;
        if (f.leading == 1.0)
            T += static_cast<float>(e.height);
        else
            T = static_cast<float>(T + e.height * f.leading);
    }

    int32_t i = 0;
    float y = 0.0f;
    if (f.effectType == kScrolling) {
        const float pos = scrollPosition(f, T);
        if (pos <= static_cast<float>(H)) {
            y = static_cast<float>(H) - pos;
        } else {
            while (i < f.lineCount &&
                   scene.lineTable[i].top + scene.lineTable[i].height * f.leading + H < pos)
                ++i;
            if (i < f.lineCount) y = static_cast<float>(scene.lineTable[i].top + H) - pos;
        }
    }

    float x = 0.0f;
    while (y <= static_cast<float>(H) && i < f.lineCount) {
        const glyph::LineEntry& e = scene.lineTable[i];
        switch (e.justification) {
            case 0: x = static_cast<float>(e.left); break;
            case 1: x = static_cast<float>(std::abs(trunc32(static_cast<double>(W - e.width))) / 2); break;
            case 2: x = static_cast<float>(std::abs(trunc32(static_cast<double>(W - e.width)))); break;
            default: break;  // keeps the previous line's x
        }
        reportProgress(scene, trunc32(y), H);
        const int invertLine = f.invertHeadline && e.justification == 1 ? 1 : 0;
        glyph::drawLine(scene.layoutWindow, W, H, f.pixelsPerRow, f.pixels, i, y, x, 0.0f,
                        f.invertParagraph, invertLine, f.randomInvertMode, f.density, 1.0f, f.printSize);
        y = static_cast<float>(y + e.height * f.leading);
        ++i;
    }
}

void DrawVerticalLine(const TypingFrame& f, const TypingScene& scene) {
    const LibraryFunctions& lib = *scene.library;
    const HideRichDocument doc = scene.document;
    const int32_t W = f.imageWidth, H = f.imageHeight;

    // The drawn length of each line: its characters stacked one above the
    // other, taken from the growth of the all-height.
    float T = 0.0f;
    int32_t previousAllHeight = 0;
    for (int32_t i = 0; i < f.lineCount; ++i) {
        glyph::LineEntry& e = scene.lineTable[i];
        e.height = lib.GetHeightLineHideRich ? lib.GetHeightLineHideRich(doc, i) : 0;
        e.allHeight = lib.GetAllHeightLineHideRich ? lib.GetAllHeightLineHideRich(doc, i) : 0;
        e.justification = lib.GetJustifyLineHideRich ? lib.GetJustifyLineHideRich(doc, i) : -1;
        T = static_cast<float>(T + (e.allHeight - previousAllHeight) * f.leading);
        previousAllHeight = e.allHeight;
    }
    auto lineLength = [&](int32_t i) {
        const int32_t before = i > 0 ? scene.lineTable[i - 1].allHeight : 0;
        return (scene.lineTable[i].allHeight - before) * f.leading;
    };

    const float pos = scrollPosition(f, T);
    int32_t i = 0;
    float y;
    if (pos <= static_cast<float>(H)) {
        y = static_cast<float>(H) - pos;
    } else {
        double through = 0.0;  // ℓ0 + … + ℓi-1
        while (i < f.lineCount && through + lineLength(i) + H < pos) {
            through += lineLength(i);
            ++i;
        }
        y = static_cast<float>(H + through - pos);
    }

    const float base = static_cast<float>(W / 4);
    while (y <= static_cast<float>(H) && i < f.lineCount) {
        const int32_t length = lib.GetLengthLineHideRich ? lib.GetLengthLineHideRich(doc, i) : 0;
        const int32_t justification = scene.lineTable[i].justification;
        for (int32_t j = 0; j < length && y <= static_cast<float>(H); ++j) {
            const int a = glyph::measureCharAdvance(scene.layoutWindow, i, j) + 1;
            const int h = lib.GetHeightCharHideRich ? lib.GetHeightCharHideRich(doc, i, j) : 0;
            float x = base;
            if (justification == 1)
                x = base - static_cast<float>(a / 2);
            else if (justification == 2)
                x = base - static_cast<float>(a);
            glyph::drawChar(scene.layoutWindow, W, H, f.pixelsPerRow, f.pixels, i, j, a + 1, h, x, y, 0,
                            1.0f, 0.0f);
            y = static_cast<float>(y + h * f.leading);
        }
        ++i;
    }
}
