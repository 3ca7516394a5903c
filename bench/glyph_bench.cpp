// The glyph engine's costs: outline extraction, both coverage paths, the
// blends and the line renderer.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "glyph/blend.h"
#include "glyph/coverage.h"
#include "glyph/font_setup.h"
#include "glyph/line_renderer.h"
#include "glyph/outline.h"
#include "glyph/settings.h"
#include "platform/gdi/gdi.h"
#include "platform/richedit/richedit.h"

namespace {

HFONT arial(int pixels) {
    LOGFONTA lf{};
    lf.lfHeight = -pixels;
    std::strcpy(lf.lfFaceName, "Arial");
    return CreateFontIndirectA(&lf);
}

const char kText[] = "Sphinx of black quartz, judge my vow";

void BM_ExtractGlyphOutline(benchmark::State& state) {
    HFONT font = arial(static_cast<int>(state.range(0)));
    size_t i = 0;
    for (auto _ : state) {
        glyph::GlyphOutline o;
        benchmark::DoNotOptimize(glyph::extractGlyphOutline(kText[i % (sizeof kText - 1)], font, &o));
        glyph::releaseGlyphOutline(&o);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
    DeleteObject(font);
}
BENCHMARK(BM_ExtractGlyphOutline)->Arg(13)->Arg(52)->Arg(104);

// A letter filled once into a work bitmap D times its output size, then
// reduced to coverage and blended, as the oversampled path does per letter.
void coverage(benchmark::State& state, int D) {
    glyph::GlyphRenderSettings& s = glyph::glyphSettings();
    s = glyph::GlyphRenderSettings{};
    s.highQuality = true;
    s.oversampling = D;
    glyph::buildNibbleCountTable();
    const int px = static_cast<int>(state.range(0));
    HFONT font = arial(px * D);
    glyph::GlyphOutline o;
    glyph::extractGlyphOutline('g', font, &o);
    const int w = (o.boxRight - o.boxLeft) + 16, h = (o.boxBottom - o.boxTop) + 16;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT r{0, 0, w, h};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    glyph::fillOutline(dc, static_cast<float>(px * D), 0.0f, &o, -o.boxLeft, -o.boxTop);
    std::vector<uint8_t> frame(static_cast<size_t>(w / D + 4) * (h / D + 4) * 4);
    const glyph::OutputImage image{frame.data(), w / D + 4, h / D + 4, w / D + 4};
    for (auto _ : state) {
        glyph::rasterizeGlyphBitmap(dc, w, h, 1, 1, image, RGB(200, 30, 30), 1, 1.0f);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["samples"] = static_cast<double>(w) * h;
    SelectObject(dc, oldBrush);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    glyph::releaseGlyphOutline(&o);
    DeleteObject(font);
}
void BM_Coverage4x(benchmark::State& state) { coverage(state, 4); }
void BM_Coverage8x(benchmark::State& state) { coverage(state, 8); }
BENCHMARK(BM_Coverage4x)->Arg(13)->Arg(32)->Arg(96);
BENCHMARK(BM_Coverage8x)->Arg(13)->Arg(32)->Arg(96);

// A megapixel of coverage values through each blend.
template <class Blend>
void blendPixels(benchmark::State& state, Blend&& blend) {
    std::vector<uint8_t> pixels(1 << 20 << 2);
    std::vector<uint8_t> coverage(1 << 20);
    for (size_t i = 0; i < coverage.size(); ++i) {
        coverage[i] = static_cast<uint8_t>(i * 37);
        pixels[4 * i] = static_cast<uint8_t>(i * 11);
    }
    for (auto _ : state) {
        for (size_t i = 0; i < coverage.size(); ++i) blend(&pixels[4 * i], coverage[i]);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(coverage.size()));
}
void BM_BlendCoverage(benchmark::State& state) {
    const float o = state.range(0) ? 0.5f : 1.0f;
    blendPixels(state, [o](uint8_t* p, int a) { glyph::blendCoverage(p, a, o, RGB(9, 99, 199), 1); });
}
void BM_BlendAlphaWeighted(benchmark::State& state) {
    const float o = state.range(0) ? 0.5f : 1.0f;
    blendPixels(state, [o](uint8_t* p, int a) { glyph::blendAlphaWeighted(p, a, o, RGB(9, 99, 199)); });
}
void BM_BlendFallbackUpright(benchmark::State& state) {
    blendPixels(state, [](uint8_t* p, int a) { glyph::blendFallbackUpright(p, a, 1.0f, RGB(9, 99, 199)); });
}
BENCHMARK(BM_BlendCoverage)->Arg(0)->Arg(1);
BENCHMARK(BM_BlendAlphaWeighted)->Arg(0)->Arg(1);
BENCHMARK(BM_BlendFallbackUpright);

struct Source {
    std::string text;
    size_t at = 0;
};
DWORD readSource(UINT_PTR cookie, BYTE* buffer, LONG size, LONG* transferred) {
    auto* s = reinterpret_cast<Source*>(cookie);
    const size_t n = std::min<size_t>(static_cast<size_t>(size), s->text.size() - s->at);
    std::memcpy(buffer, s->text.data() + s->at, n);
    s->at += n;
    *transferred = static_cast<LONG>(n);
    return 0;
}

// One line of 36 characters of Liberation Serif at 20 points (27 pixels),
// drawn by the line renderer on the path of the argument: 0 direct, 4, 8.
void BM_DrawLine(benchmark::State& state) {
    ZolRegisterRichEditClass();
    HWND window = CreateWindowExA(0, RICHEDIT_CLASSA, "", 0, 0, 0, 1920, 200, nullptr, nullptr,
                                  nullptr, nullptr);
    Source source{std::string("{\\rtf1\\ansi{\\fonttbl{\\f0 Liberation Serif;}}\\f0\\fs40 ") + kText + "}"};
    EDITSTREAM stream{reinterpret_cast<UINT_PTR>(&source), 0, readSource};
    SendMessageA(window, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));

    glyph::GlyphRenderSettings& s = glyph::glyphSettings();
    s = glyph::GlyphRenderSettings{};
    s.highQuality = state.range(0) != 0;
    s.oversampling = state.range(0) == 8 ? 8 : 4;
    glyph::buildNibbleCountTable();
    glyph::LineEntry line{700, 40, 0, 0, 0, 0, 40};
    s.lineTable = &line;
    s.lineCount = 1;
    const int W = 800, H = 60;
    std::vector<uint8_t> frame(static_cast<size_t>(W) * H * 4);
    for (auto _ : state) {
        std::memset(frame.data(), 0, frame.size());
        glyph::drawLine(window, W, H, W, frame.data(), 0, 5.0f, 10.0f, 0.0f, 0, 0, 0, 0.0, 1.0f, 1.0f);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(sizeof kText - 1));
    s.lineTable = nullptr;
    DestroyWindow(window);
}
BENCHMARK(BM_DrawLine)->Arg(0)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

}  // namespace
