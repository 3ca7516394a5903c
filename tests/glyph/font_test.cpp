#include <gtest/gtest.h>

#include <cstring>

#include "glyph/font_setup.h"
#include "glyph/settings.h"
#include "support.h"

namespace {

using glyphtest::LayoutWindow;
using glyphtest::SettingsScope;

struct TabCase {
    double renderScale;
    int pen;
    float advance;
};

class TabAdvance : public ::testing::TestWithParam<TabCase> {};

TEST_P(TabAdvance, MovesToTheNextStop) {
    SettingsScope scope;
    glyph::glyphSettings().renderScale = GetParam().renderScale;
    EXPECT_EQ(glyph::tabAdvance(GetParam().pen), GetParam().advance);
}

INSTANTIATE_TEST_SUITE_P(Table, TabAdvance,
                         ::testing::Values(TabCase{1.0, 0, 50}, TabCase{1.0, 49, 1},
                                           TabCase{1.0, 50, 50}, TabCase{1.0, 120, 30},
                                           TabCase{0.5, 10, 15}, TabCase{0.5, 25, 25},
                                           // Half of one step is 0, raised to 1.
                                           TabCase{0.01, 0, 1}, TabCase{0.01, 37, 1},
                                           TabCase{0.0, 5, 1},
                                           // The division truncates toward zero.
                                           TabCase{1.0, -10, 60}));

CHARFORMATA format(DWORD effects, LONG twips, const char* face) {
    CHARFORMATA f{};
    f.cbSize = sizeof f;
    f.dwEffects = effects;
    f.yHeight = twips;
    f.crTextColor = RGB(1, 2, 3);
    f.bCharSet = 204;
    f.bPitchAndFamily = 0x22;
    std::strncpy(f.szFaceName, face, sizeof f.szFaceName);
    return f;
}

TEST(LogFontFromCharFormat, TakesEffectsCharsetPitchAndFace) {
    const LOGFONTA lf = glyph::logFontFromCharFormat(
        format(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE, 240, "Liberation Serif"), -16);
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_EQ(lf.lfWidth, 0);
    EXPECT_EQ(lf.lfEscapement, 0);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfStrikeOut, 0);
    EXPECT_EQ(lf.lfCharSet, 204);
    EXPECT_EQ(lf.lfOutPrecision, 0);
    EXPECT_EQ(lf.lfClipPrecision, 0);
    EXPECT_EQ(lf.lfQuality, 2);
    EXPECT_EQ(lf.lfPitchAndFamily, 0x22);
    EXPECT_STREQ(lf.lfFaceName, "Liberation Serif");

    const LOGFONTA plain = glyph::logFontFromCharFormat(format(CFE_STRIKEOUT, 240, "Arial"), 9);
    EXPECT_EQ(plain.lfWeight, 400);
    EXPECT_EQ(plain.lfItalic, 0);
    EXPECT_EQ(plain.lfStrikeOut, 1);
    EXPECT_EQ(plain.lfHeight, 9);
}

TEST(LogFontFromCharFormat, AFaceThatFillsTheFieldIsNotOverrun) {
    CHARFORMATA f = format(0, 240, "");
    std::memset(f.szFaceName, 'X', sizeof f.szFaceName);
    const LOGFONTA lf = glyph::logFontFromCharFormat(f, -10);
    EXPECT_EQ(std::memcmp(lf.lfFaceName, f.szFaceName, 32), 0);
    HFONT font = glyph::fontFromCharFormat(f, 10);
    EXPECT_NE(font, nullptr) << "an unknown face falls back to some font";
    DeleteObject(font);
}

struct HeightCase {
    double renderScale;
    double factor;
    int pixels;
};

class FormatPixelHeight : public ::testing::TestWithParam<HeightCase> {};

TEST_P(FormatPixelHeight, Truncates) {
    SettingsScope scope;
    glyph::glyphSettings().renderScale = GetParam().renderScale;
    EXPECT_EQ(glyph::formatPixelHeight(format(0, 240, "Arial"), 96, GetParam().factor),
              GetParam().pixels);
}

// 12 points at 96 dots per inch is 16 pixels.
INSTANTIATE_TEST_SUITE_P(Table, FormatPixelHeight,
                         ::testing::Values(HeightCase{1.0, 1.0, 16}, HeightCase{1.0, 4.0, 64},
                                           HeightCase{1.0, 8.0, 128}, HeightCase{0.5, 1.0, 8},
                                           HeightCase{0.33, 1.0, 5}, HeightCase{1.0, 1.03, 16}));

TEST(ReadLayoutChar, ReadsCharactersAndFormatsOfTheLayoutWindow) {
    LayoutWindow doc("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                     "{\\colortbl;\\red255\\green0\\blue0;}"
                     "\\f0\\fs24 Ab\\f1\\fs40\\b\\cf1 c\\par\\b0\\cf0 Second}");
    ASSERT_NE(doc.hwnd(), nullptr);
    unsigned char c = 0;
    CHARFORMATA f;
    ASSERT_TRUE(glyph::readLayoutChar(doc.hwnd(), 0, 1, &c, &f));
    EXPECT_EQ(c, 'b');
    EXPECT_EQ(f.yHeight, 240);
    EXPECT_STREQ(f.szFaceName, "Arial");
    ASSERT_TRUE(glyph::readLayoutChar(doc.hwnd(), 0, 2, &c, &f));
    EXPECT_EQ(c, 'c');
    EXPECT_EQ(f.yHeight, 400);
    EXPECT_TRUE(f.dwEffects & CFE_BOLD);
    EXPECT_EQ(f.crTextColor, RGB(255, 0, 0));
    EXPECT_STREQ(f.szFaceName, "Courier New");
    ASSERT_TRUE(glyph::readLayoutChar(doc.hwnd(), 1, 0, &c, &f));
    EXPECT_EQ(c, 'S');
    // Past the end of the text the character is 0; a missing line is refused.
    ASSERT_TRUE(glyph::readLayoutChar(doc.hwnd(), 1, 40, &c, &f));
    EXPECT_EQ(c, 0);
    EXPECT_FALSE(glyph::readLayoutChar(doc.hwnd(), 7, 0, &c, &f));
    EXPECT_FALSE(glyph::readLayoutChar(doc.hwnd(), -1, 0, &c, &f));
    EXPECT_FALSE(glyph::readLayoutChar(nullptr, 0, 0, &c, &f));
}

int extentOf(const char* face, int twips, char c) {
    CHARFORMATA f = format(0, twips, face);
    HFONT font = glyph::fontFromCharFormat(f, glyph::formatPixelHeight(f, 96));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE s{};
    GetTextExtentPointA(dc, &c, 1, &s);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return s.cx;
}

TEST(MeasureCharAdvance, MeasuresEachCharacterInItsOwnFont) {
    SettingsScope scope;
    LayoutWindow doc(glyphtest::rtfText("Wi\tx\t\ty", "Arial", 24));
    const int w = extentOf("Arial", 240, 'W');
    const int i = extentOf("Arial", 240, 'i');
    const int x = extentOf("Arial", 240, 'x');
    EXPECT_GT(w, i);
    EXPECT_EQ(glyph::measureCharAdvance(doc.hwnd(), 0, 0), w);
    EXPECT_EQ(glyph::measureCharAdvance(doc.hwnd(), 0, 1), i);
    // A tab goes to the next stop of 50 pixels after what stands before it.
    EXPECT_EQ(glyph::measureCharAdvance(doc.hwnd(), 0, 2), 50 - (w + i));
    EXPECT_EQ(glyph::measureCharAdvance(doc.hwnd(), 0, 3), x);
    EXPECT_EQ(glyph::measureCharAdvance(doc.hwnd(), 0, 4), 100 - (50 + x));
    EXPECT_EQ(glyph::measureCharAdvance(doc.hwnd(), 0, 5), 50);  // on a stop: a whole step
    EXPECT_EQ(glyph::measureCharAdvance(doc.hwnd(), 0, 40), 0);  // end of the text
    EXPECT_EQ(glyph::measureCharAdvance(doc.hwnd(), 3, 0), 0);   // no such line
    EXPECT_EQ(glyph::measureCharAdvance(nullptr, 0, 0), 0);

    glyph::glyphSettings().renderScale = 0.5;  // fonts and stops at half size
    EXPECT_LE(glyph::measureCharAdvance(doc.hwnd(), 0, 0), w / 2 + 1);
    EXPECT_GE(glyph::measureCharAdvance(doc.hwnd(), 0, 0), w / 2 - 1);
}

TEST(MeasureCharAdvance, ReleasesWhatItCreates) {
    SettingsScope scope;
    LayoutWindow doc(glyphtest::rtfText("a\tb", "Arial", 24));
    const DWORD live = ZolGdiLiveObjects();
    for (int k = 0; k < 50; ++k) glyph::measureCharAdvance(doc.hwnd(), 0, k % 4);
    EXPECT_EQ(ZolGdiLiveObjects(), live);
}

}  // namespace
