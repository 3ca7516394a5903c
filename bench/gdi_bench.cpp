// The graphics services on the glyph engine's hot paths: a font for every
// character, one character's extent, its path, the fill of that path into
// an oversampled work bitmap and the read-back of the work bitmap.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"

namespace {

LOGFONTA arial(LONG height) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfCharSet = RUSSIAN_CHARSET;
    std::strcpy(lf.lfFaceName, "Arial");
    return lf;
}

// A memory DC on the screen with a font selected and an 8 x 8 bitmap, as
// the outline extraction sets it up.
struct FontDC {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
    HFONT font;
    HGDIOBJ oldBitmap, oldFont;
    explicit FontDC(LONG height) {
        LOGFONTA lf = arial(height);
        font = CreateFontIndirectA(&lf);
        oldBitmap = SelectObject(dc, bitmap);
        oldFont = SelectObject(dc, font);
    }
    ~FontDC() {
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(font);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
};

struct GlyphPath {
    std::vector<POINT> points;
    std::vector<BYTE> types;
};

GlyphPath pathOf(HDC dc, char ch) {
    GlyphPath p;
    BeginPath(dc);
    MoveToEx(dc, 0, 0, nullptr);
    TextOutA(dc, 0, 0, &ch, 1);
    EndPath(dc);
    int n = GetPath(dc, nullptr, nullptr, 0);
    p.points.resize(n);
    p.types.resize(n);
    GetPath(dc, p.points.data(), p.types.data(), n);
    return p;
}

// The same font over and over, as the engine asks for it per character.
void BM_CreateFont(benchmark::State& state) {
    LOGFONTA lf = arial(-128);
    for (auto _ : state) {
        HFONT f = CreateFontIndirectA(&lf);
        benchmark::DoNotOptimize(f);
        DeleteObject(f);
    }
}
BENCHMARK(BM_CreateFont);

// A new size every time, as with per-character scale jitter.
void BM_CreateFontNewSize(benchmark::State& state) {
    LONG h = 1;
    for (auto _ : state) {
        LOGFONTA lf = arial(-(h = h % 16000 + 1));
        HFONT f = CreateFontIndirectA(&lf);
        benchmark::DoNotOptimize(f);
        DeleteObject(f);
    }
}
BENCHMARK(BM_CreateFontNewSize);

void BM_OneCharExtent(benchmark::State& state) {
    FontDC fd(-16);
    SIZE size;
    for (auto _ : state) {
        GetTextExtentPoint32A(fd.dc, "g", 1, &size);
        benchmark::DoNotOptimize(size);
    }
}
BENCHMARK(BM_OneCharExtent);

void BM_PathExtraction(benchmark::State& state) {
    FontDC fd(-static_cast<LONG>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(pathOf(fd.dc, '&'));
}
BENCHMARK(BM_PathExtraction)->Arg(64)->Arg(512);

// The glyph engine's fill: a path replayed with PolyDraw into a white work
// bitmap and stroked and filled with the default pen and the black brush.
void BM_StrokeAndFillPath(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    GlyphPath glyph;
    {
        FontDC fd(-size);
        glyph = pathOf(fd.dc, '&');
    }
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bm = CreateCompatibleBitmap(screen, size + 16, size + 16);
    HGDIOBJ old = SelectObject(dc, bm);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    RECT all{0, 0, size + 16, size + 16};
    HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    for (auto _ : state) {
        FillRect(dc, &all, white);
        BeginPath(dc);
        PolyDraw(dc, glyph.points.data(), glyph.types.data(), static_cast<int>(glyph.points.size()));
        EndPath(dc);
        StrokeAndFillPath(dc);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, old);
    DeleteObject(bm);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}
BENCHMARK(BM_StrokeAndFillPath)->Arg(64)->Arg(512);

// Reading every sample of a 512 x 512 work bitmap: one GetPixel a sample,
// and through the direct view of the store.
void BM_ReadSamples(benchmark::State& state) {
    const bool direct = state.range(0) != 0;
    const int bits = static_cast<int>(state.range(1));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bm = CreateCompatibleBitmap(bits == 32 ? screen : dc, 512, 512);
    HGDIOBJ old = SelectObject(dc, bm);
    RECT all{0, 0, 512, 512};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    for (auto _ : state) {
        long set = 0;
        if (direct) {
            ZolBitmapBits b{};
            ZolGetBitmapBits(bm, &b);
            for (int y = 0; y < b.height; ++y) {
                const auto* row = static_cast<const unsigned char*>(b.bits) + static_cast<size_t>(y) * b.stride;
                if (b.bitsPerPixel == 32) {
                    const auto* px = reinterpret_cast<const uint32_t*>(row);
                    for (int x = 0; x < b.width; ++x) set += (px[x] & 0xFFFFFF) != 0xFFFFFF;
                } else {
                    for (int x = 0; x < b.width; ++x) set += !(row[x >> 3] & (0x80 >> (x & 7)));
                }
            }
        } else {
            for (int y = 0; y < 512; ++y)
                for (int x = 0; x < 512; ++x) set += GetPixel(dc, x, y) != 0xFFFFFF;
        }
        benchmark::DoNotOptimize(set);
    }
    state.SetItemsProcessed(state.iterations() * 512 * 512);
    SelectObject(dc, old);
    DeleteObject(bm);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}
BENCHMARK(BM_ReadSamples)->ArgNames({"direct", "bits"})->Args({0, 32})->Args({1, 32})->Args({0, 1})->Args({1, 1});

}  // namespace

BENCHMARK_MAIN();
