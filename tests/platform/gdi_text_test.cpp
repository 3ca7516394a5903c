// Text output: antialiased on 32 bits, solid on one bit, in the text
// colour, at the cell's top-left; and the digitalizer's measure of a
// symbol's ink.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

#include "gdi_support.h"

using namespace gditest;

namespace {

struct Ink {
    double total = 0;  // in pixels: 1 for each black pixel
    int greys = 0;     // pixels neither black nor white
    int top = 1 << 20, bottom = -1, left = 1 << 20, right = -1;
    bool neutral = true;  // every pixel has equal red, green and blue
};

Ink inkOf(HDC dc, int w, int h) {
    Ink k;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            if (GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c)) k.neutral = false;
            int a = 255 - GetRValue(c);
            if (!a) continue;
            k.total += a / 255.0;
            k.greys += a != 255;
            k.top = std::min(k.top, y);
            k.bottom = std::max(k.bottom, y);
            k.left = std::min(k.left, x);
            k.right = std::max(k.right, x);
        }
    return k;
}

TEST(TextOut, AntialiasedBlackOnWhiteAtTheCellsTopLeft) {
    Font f("Arial", -40);
    Surface s(200, 80);
    s.use(f);
    TEXTMETRICA tm{};
    GetTextMetricsA(s.dc(), &tm);
    ASSERT_TRUE(TextOutA(s.dc(), 10, 5, "Eg", 2));
    Ink k = inkOf(s.dc(), 200, 80);
    EXPECT_TRUE(k.neutral);
    EXPECT_GT(k.greys, 20);  // antialiased edges
    // E's flat foot stands on the baseline, the ascent below the point; g
    // hangs below it, within the cell.
    EXPECT_GT(k.top, 5);
    EXPECT_LT(k.top, 5 + tm.tmAscent / 3);
    EXPECT_GT(k.bottom, 5 + tm.tmAscent);
    EXPECT_LE(k.bottom, 5 + tm.tmHeight);
    EXPECT_GE(k.left, 10);
    SIZE ext{};
    GetTextExtentPoint32A(s.dc(), "Eg", 2, &ext);
    EXPECT_LE(k.right, 10 + ext.cx);
    EXPECT_EQ(GetPixel(s.dc(), 10 + 5, 5 + tm.tmAscent - 2), RGB(0, 0, 0));  // inside E's stem
}

TEST(TextOut, InkMatchesFreeTypesRendering) {
    Font f("Times New Roman", -30);
    ZolFontInfo info = f.info();
    FT_Library lib;
    FT_Face face;
    FT_Init_FreeType(&lib);
    ASSERT_EQ(FT_New_Face(lib, info.file, info.faceIndex, &face), 0);
    FT_Set_Pixel_Sizes(face, 0, 30);
    for (unsigned char ch : std::string("a@W")) {
        FT_Load_Char(face, ch, FT_LOAD_RENDER | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
        double expected = 0;
        const FT_Bitmap& b = face->glyph->bitmap;
        for (unsigned y = 0; y < b.rows; ++y)
            for (unsigned x = 0; x < b.width; ++x) expected += b.buffer[y * b.pitch + x] / 255.0;
        Surface s(60, 50);
        s.use(f);
        char text = static_cast<char>(ch);
        TextOutA(s.dc(), 10, 5, &text, 1);
        EXPECT_NEAR(inkOf(s.dc(), 60, 50).total / expected, 1.0, 0.03) << ch;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
}

TEST(TextOut, TextColourBackgroundModeAndAlignment) {
    Font f("Arial", -24);
    Surface s(120, 40);
    s.use(f);
    RECT all{0, 0, 120, 40};
    FillRect(s.dc(), &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    // Default: opaque, white background over the cell.
    EXPECT_EQ(GetBkMode(s.dc()), OPAQUE);
    TextOutA(s.dc(), 0, 0, "i", 1);
    EXPECT_EQ(GetPixel(s.dc(), 0, 1), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(s.dc(), 0, 35), RGB(128, 128, 128));  // below the cell
    // Transparent, red: only the glyph changes, in red.
    EXPECT_EQ(SetBkMode(s.dc(), TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetTextColor(s.dc(), RGB(255, 0, 0)), RGB(0, 0, 0));
    TextOutA(s.dc(), 60, 0, "H", 1);
    EXPECT_EQ(GetPixel(s.dc(), 60, 1), RGB(128, 128, 128));
    bool red = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 60; x < 80; ++x) {
            COLORREF c = GetPixel(s.dc(), x, y);
            EXPECT_EQ(GetGValue(c), GetBValue(c));
            red = red || c == RGB(255, 0, 0);
        }
    EXPECT_TRUE(red);
    // Right alignment ends the text at the point.
    EXPECT_EQ(SetTextAlign(s.dc(), TA_RIGHT), 0u);
    Surface t(60, 40);
    t.use(f);
    SetTextAlign(t.dc(), TA_RIGHT);
    TextOutA(t.dc(), 30, 0, "H", 1);
    Ink k = inkOf(t.dc(), 60, 40);
    EXPECT_LT(k.right, 30);
    EXPECT_GT(k.right, 25);
}

TEST(TextOut, UnderlineAndStrikeOutAreDrawn) {
    LOGFONTA lf = logFont("Arial", -30);
    Font plain(lf);
    lf.lfUnderline = 1;
    Font under(lf);
    lf.lfUnderline = 0;
    lf.lfStrikeOut = 1;
    Font struck(lf);
    // Pixels of ink in rows from..to-1 of "oo" drawn at the top-left.
    auto inkInRows = [](const Font& f, int from, int to) {
        Surface s(60, 40);
        s.use(f);
        TextOutA(s.dc(), 0, 0, "oo", 2);
        int n = 0;
        for (int y = from; y < to; ++y)
            for (int x = 0; x < 60; ++x) n += GetPixel(s.dc(), x, y) != RGB(255, 255, 255);
        return n;
    };
    TEXTMETRICA tm{};
    {
        Surface s(4, 4);
        s.use(plain);
        GetTextMetricsA(s.dc(), &tm);
    }
    // Below the baseline "oo" has no ink but the underline; across the
    // middle of the o's the strike-out adds a band the width of the text.
    EXPECT_EQ(inkInRows(plain, tm.tmAscent + 1, tm.tmHeight), 0);
    EXPECT_GE(inkInRows(under, tm.tmAscent + 1, tm.tmHeight), 30);
    const int upper = tm.tmAscent / 2, lower = tm.tmAscent - 2;
    EXPECT_GE(inkInRows(struck, upper, lower), inkInRows(plain, upper, lower) + 12);
}

TEST(TextOut, OneBitBitmapsReadBackOnlyBlackOrWhite) {
    Font f("Times New Roman", -17, FW_NORMAL, true);
    Surface s(120, 30, 1);
    s.use(f);
    SetTextColor(s.dc(), RGB(90, 90, 90));
    ASSERT_TRUE(TextOutA(s.dc(), 2, 2, "Quillarine@%", 12));
    int black = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) {
            COLORREF c = GetPixel(s.dc(), x, y);
            ASSERT_TRUE(c == RGB(0, 0, 0) || c == RGB(255, 255, 255)) << x << "," << y;
            black += c == 0;
        }
    EXPECT_GT(black, 100);
}

TEST(TextOut, OnTheScreenDCAndWithNothingToDraw) {
    HDC screen = GetDC(nullptr);
    EXPECT_TRUE(TextOutA(screen, 0, 0, "abc", 3));
    EXPECT_TRUE(TextOutA(screen, 0, 0, "", 0));
    EXPECT_EQ(GetPixel(screen, 0, 0), CLR_INVALID);
    ReleaseDC(nullptr, screen);
    Surface s(10, 10);
    EXPECT_TRUE(TextOutA(s.dc(), -5000, -5000, "far away", 8));
    EXPECT_TRUE(TextOutA(s.dc(), 2000000000, 0, "far", 3));
    EXPECT_EQ(s.ink(), 0);
}

// The digitalizer's initial record measures a space and a "0" of 14-pixel
// Arial and the "0"'s share of ink on a one-bit bitmap of its size.
double symbolCoverage(HDC memory, char symbol, int width, int height) {
    HBITMAP bm = CreateCompatibleBitmap(memory, width, height);
    HGDIOBJ old = SelectObject(memory, bm);
    RECT r{0, 0, width, height};
    FillRect(memory, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    TextOutA(memory, 0, 0, &symbol, 1);
    double sum = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) sum += 255 - GetRValue(GetPixel(memory, x, y));
    SelectObject(memory, old);
    DeleteObject(bm);
    if (sum > 0) sum /= width * height;
    return sum * 0.003921569;
}

TEST(Digitalizer, InitialSymbolsMeasureAndCover) {
    DWORD objects = ZolGdiLiveObjects();
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    LOGFONTA lf = logFont("Arial", 14);
    lf.lfPitchAndFamily = 0;
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(memory, font);
    SIZE space{}, zero{};
    ASSERT_TRUE(GetTextExtentPoint32A(memory, " ", 1, &space));
    ASSERT_TRUE(GetTextExtentPoint32A(memory, "0", 1, &zero));
    EXPECT_EQ(space.cx, 3);
    EXPECT_EQ(space.cy, 14);
    EXPECT_EQ(zero.cx, 7);
    EXPECT_EQ(zero.cy, 14);
    EXPECT_EQ(symbolCoverage(memory, ' ', space.cx, space.cy), 0.0);
    double c = symbolCoverage(memory, '0', zero.cx, zero.cy);
    EXPECT_GT(c, 0.15);
    EXPECT_LT(c, 0.5);
    // The same every time.
    EXPECT_EQ(symbolCoverage(memory, '0', zero.cx, zero.cy), c);
    SelectObject(memory, old);
    DeleteObject(font);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(ZolGdiLiveObjects(), objects);
}

}  // namespace
