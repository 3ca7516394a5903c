#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "glyph/coverage.h"
#include "glyph/renderers.h"
#include "glyph/settings.h"
#include "support.h"

namespace {

using glyphtest::Frame;
using glyphtest::LayoutWindow;
using glyphtest::rtfText;
using glyphtest::SettingsScope;

enum class Path { Direct, Over4, Over8 };

void usePath(Path p) {
    glyph::GlyphRenderSettings& s = glyph::glyphSettings();
    s.highQuality = p != Path::Direct;
    s.oversampling = p == Path::Over8 ? 8 : 4;
    glyph::buildNibbleCountTable();
}

const char* pathName(Path p) { return p == Path::Direct ? "direct" : p == Path::Over4 ? "4x" : "8x"; }

// Draws character `index` of line 0 at (x, y) with a line height of 40.
void draw(Frame& f, HWND w, int index, float x, float y, int inverted = 0, float angle = 0.0f,
          float opacity = 1.0f) {
    glyph::drawChar(w, f.width, f.height, f.pixelsPerRow, f.bytes.data(), 0, index, 30, 40, x, y,
                    inverted, opacity, angle);
}

class DrawChar : public ::testing::TestWithParam<Path> {};

TEST_P(DrawChar, DrawsTheLetterInItsColourOnTheLine) {
    SettingsScope scope;
    usePath(GetParam());
    LayoutWindow doc(rtfText("H", "Arial", 48, RGB(255, 0, 0)));  // 32 pixels
    Frame frame(80, 60);
    draw(frame, doc.hwnd(), 0, 10.0f, 5.0f);
    int l, t, r, b;
    ASSERT_TRUE(frame.inkBox(l, t, r, b)) << pathName(GetParam());
    // The baseline is 40 below the line's top; the oversampled path sits 5 higher.
    const int baseline = GetParam() == Path::Direct ? 45 : 40;
    EXPECT_NEAR(b, baseline - 1, 1);
    EXPECT_NEAR(b - t + 1, 23, 2);  // an Arial capital is 0.716 em
    EXPECT_NEAR(l, 12, 2);          // the side bearing
    EXPECT_NEAR(r - l + 1, 19, 2);
    int solid = 0;
    for (int y = t; y <= b; ++y)
        for (int x = l; x <= r; ++x) {
            const uint8_t* p = frame.at(x, y);
            if (p[0] != 255) continue;
            ++solid;
            EXPECT_EQ(p[1], 255);
            EXPECT_EQ(p[2], 0);
            EXPECT_EQ(p[3], 0);
        }
    EXPECT_GT(solid, 80);  // two stems and a bar, about 3 pixels thick
    glyphtest::writePng(frame, glyphtest::outputPath(std::string("char_H_") + pathName(GetParam()) + ".png"));
}

TEST_P(DrawChar, BlanksDrawNothing) {
    SettingsScope scope;
    usePath(GetParam());
    LayoutWindow doc(rtfText(" \tx\ny", "Arial", 48));
    Frame frame(40, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 40; ++x) frame.at(x, y)[0] = static_cast<uint8_t>(x + y);
    const std::vector<uint8_t> before = frame.bytes;
    draw(frame, doc.hwnd(), 0, 5.0f, 5.0f);   // space
    draw(frame, doc.hwnd(), 1, 5.0f, 5.0f);   // tab
    draw(frame, doc.hwnd(), 3, 5.0f, 5.0f);   // paragraph break: the end of the text here
    draw(frame, doc.hwnd(), 90, 5.0f, 5.0f);  // beyond the text
    glyph::drawChar(doc.hwnd(), 40, 60, 40, frame.bytes.data(), 5, 0, 30, 40, 5, 5, 0, 1, 0);
    glyph::drawChar(nullptr, 40, 60, 40, frame.bytes.data(), 0, 2, 30, 40, 5, 5, 0, 1, 0);
    EXPECT_EQ(frame.bytes, before);
}

TEST_P(DrawChar, ClipsAGlyphThatLeavesTheImage) {
    SettingsScope scope;
    usePath(GetParam());
    LayoutWindow doc(rtfText("W", "Arial", 48));
    Frame whole(60, 50), cut(60, 50);
    draw(whole, doc.hwnd(), 0, 10.0f, 0.0f);
    draw(cut, doc.hwnd(), 0, -12.0f, 0.0f);
    int l, t, r, b;
    ASSERT_TRUE(cut.inkBox(l, t, r, b));
    EXPECT_EQ(l, 0);
    EXPECT_LT(cut.alphaSum(), whole.alphaSum() * 0.75);
    EXPECT_GT(cut.alphaSum(), 0);
    Frame off(60, 50);
    draw(off, doc.hwnd(), 0, 500.0f, 500.0f);
    draw(off, doc.hwnd(), 0, -500.0f, -200.0f);
    EXPECT_EQ(off.alphaSum(), 0);
}

TEST_P(DrawChar, InvertedDrawsTheBoxWithTheGlyphLeftOut) {
    SettingsScope scope;
    usePath(GetParam());
    LayoutWindow doc(rtfText("O", "Arial", 48));
    Frame normal(60, 60), inverted(60, 60);
    draw(normal, doc.hwnd(), 0, 10.0f, 5.0f);
    draw(inverted, doc.hwnd(), 0, 10.0f, 5.0f, 1);
    int l, t, r, b;
    ASSERT_TRUE(normal.inkBox(l, t, r, b));
    const int cx = (l + r) / 2, cy = (t + b) / 2;
    EXPECT_EQ(normal.alpha(cx, cy), 0);      // the counter of the O
    EXPECT_EQ(inverted.alpha(cx, cy), 255);  // is part of the box
    EXPECT_EQ(inverted.alpha(l + 1, cy), 0); // the ring is the hole
    EXPECT_GT(inverted.inkedPixels(), normal.inkedPixels());
    glyphtest::writePng(inverted, glyphtest::outputPath(std::string("char_O_inverted_") + pathName(GetParam()) + ".png"));
}

TEST_P(DrawChar, AQuarterTurnTurnsTheBoxClockwise) {
    SettingsScope scope;
    usePath(GetParam());
    LayoutWindow doc(rtfText("T", "Arial", 72));
    Frame upright(100, 100), turned(100, 100);
    draw(upright, doc.hwnd(), 0, 20.0f, 10.0f);
    draw(turned, doc.hwnd(), 0, 20.0f, 10.0f, 0, 90.0f);
    int l, t, r, b, l2, t2, r2, b2;
    ASSERT_TRUE(upright.inkBox(l, t, r, b));
    ASSERT_TRUE(turned.inkBox(l2, t2, r2, b2));
    EXPECT_NEAR(r2 - l2, b - t, 3);
    EXPECT_NEAR(b2 - t2, r - l, 3);
    // The T's bar, at the top, ends up on the right.
    EXPECT_GT(turned.centreX(), (l2 + r2) / 2.0 + 2);
    EXPECT_NEAR(turned.alphaSum(), upright.alphaSum(), upright.alphaSum() * 0.06);
    glyphtest::writePng(turned, glyphtest::outputPath(std::string("char_T_90_") + pathName(GetParam()) + ".png"));
}

TEST_P(DrawChar, HalfOpacityHalvesTheInk) {
    SettingsScope scope;
    usePath(GetParam());
    LayoutWindow doc(rtfText("M", "Arial", 48));
    Frame full(60, 60), half(60, 60);
    draw(full, doc.hwnd(), 0, 10.0f, 5.0f);
    draw(half, doc.hwnd(), 0, 10.0f, 5.0f, 0, 0.0f, 0.5f);
    EXPECT_NEAR(half.alphaSum(), full.alphaSum() / 2.0, full.alphaSum() * 0.02);
}

TEST_P(DrawChar, ReleasesEverythingItCreates) {
    SettingsScope scope;
    usePath(GetParam());
    LayoutWindow doc(rtfText("Ag-", "Arial", 30));
    Frame frame(60, 60);
    const DWORD live = ZolGdiLiveObjects();
    for (int k = 0; k < 20; ++k) draw(frame, doc.hwnd(), k % 3, 10.0f, 5.0f, k & 1, k * 7.0f);
    EXPECT_EQ(ZolGdiLiveObjects(), live);
}

INSTANTIATE_TEST_SUITE_P(Paths, DrawChar, ::testing::Values(Path::Direct, Path::Over4, Path::Over8),
                         [](const auto& info) { return std::string(pathName(info.param)) == "direct"
                                                           ? std::string("direct")
                                                           : std::string("x") + (info.param == Path::Over4 ? "4" : "8"); });

TEST(DrawCharPaths, FourAndEightTimesAgree) {
    LayoutWindow doc(rtfText("ag&Q", "Liberation Serif", 40));
    for (int i = 0; i < 4; ++i) {
        SettingsScope scope;
        Frame four(80, 80), eight(80, 80);
        usePath(Path::Over4);
        draw(four, doc.hwnd(), i, 10.3f, 7.6f);
        usePath(Path::Over8);
        draw(eight, doc.hwnd(), i, 10.3f, 7.6f);
        // The outline is stroked with a one-sample pen, a quarter of a pixel
        // at 4x and an eighth at 8x: the 4x glyph is a little heavier.
        EXPECT_GE(four.alphaSum(), eight.alphaSum()) << i;
        EXPECT_NEAR(four.alphaSum(), eight.alphaSum(), eight.alphaSum() * 0.12) << i;
        EXPECT_NEAR(four.centreX(), eight.centreX(), 0.6) << i;
        EXPECT_NEAR(four.centreY(), eight.centreY(), 0.6) << i;
    }
}

TEST(DrawCharPaths, TheOversampledGlyphSitsFivePixelsHigher) {
    LayoutWindow doc(rtfText("E", "Arial", 48));
    SettingsScope scope;
    Frame direct(60, 70), over(60, 70);
    usePath(Path::Direct);
    draw(direct, doc.hwnd(), 0, 10.0f, 10.0f);
    usePath(Path::Over8);
    draw(over, doc.hwnd(), 0, 10.0f, 10.0f);
    EXPECT_NEAR(direct.centreY() - over.centreY(), 5.0, 0.75);
    EXPECT_NEAR(direct.centreX(), over.centreX(), 0.75);
}

TEST(DrawCharPaths, ASubPixelPositionMovesTheOversampledGlyph) {
    LayoutWindow doc(rtfText("H", "Arial", 48));  // an I would be a plain rectangle
    SettingsScope scope;
    usePath(Path::Over8);
    Frame a(60, 60), b(60, 60);
    draw(a, doc.hwnd(), 0, 10.0f, 5.0f);
    draw(b, doc.hwnd(), 0, 10.5f, 5.0f);
    EXPECT_NEAR(b.centreX() - a.centreX(), 0.5, 0.15);
}

TEST(DrawChar, AHyphenGoesThroughTheFallbackAtTheUnjitteredPlace) {
    LayoutWindow doc(rtfText("-H", "Arial", 48, RGB(0, 0, 255)));
    for (Path p : {Path::Direct, Path::Over4}) {
        SettingsScope scope;
        usePath(p);
        Frame still(80, 80), jittered(80, 80);
        draw(still, doc.hwnd(), 0, 20.0f, 10.0f);
        draw(still, doc.hwnd(), 1, 40.0f, 10.0f);
        glyph::JitterSettings& j = glyph::glyphSettings().jitter;
        j.offsetType = 2;  // chaos jump
        j.offsetValue = 20.0f;
        draw(jittered, doc.hwnd(), 0, 20.0f, 10.0f);
        // The hyphen stays where it was drawn without jitter.
        Frame hyphenOnly(80, 80);
        j.offsetType = 1;
        draw(hyphenOnly, doc.hwnd(), 0, 20.0f, 10.0f);
        EXPECT_EQ(jittered.bytes, hyphenOnly.bytes) << pathName(p);
        EXPECT_GT(hyphenOnly.alphaSum(), 0);
        // The fallback draws the hyphen in its colour.
        int l, t, r, b;
        ASSERT_TRUE(hyphenOnly.inkBox(l, t, r, b));
        EXPECT_EQ(hyphenOnly.at((l + r) / 2, (t + b) / 2)[3], 255);
        // A letter moves with the jitter.
        Frame letter(80, 80), letterJittered(80, 80);
        draw(letter, doc.hwnd(), 1, 20.0f, 10.0f);
        j.offsetType = 2;
        draw(letterJittered, doc.hwnd(), 1, 20.0f, 10.0f);
        EXPECT_GT(std::fabs(letter.centreX() - letterJittered.centreX()) +
                      std::fabs(letter.centreY() - letterJittered.centreY()),
                  1.0);
    }
}

TEST(DrawChar, CharScaleAndTheScaleJitterEnlargeTheGlyph) {
    LayoutWindow doc(rtfText("H", "Arial", 36));
    SettingsScope scope;
    usePath(Path::Over4);
    Frame one(120, 120), two(120, 120);
    draw(one, doc.hwnd(), 0, 10.0f, 10.0f);
    glyph::glyphSettings().charScale = 2.0f;
    draw(two, doc.hwnd(), 0, 10.0f, 10.0f);
    EXPECT_NEAR(two.alphaSum(), 4.0 * one.alphaSum(), one.alphaSum() * 0.4);
}

TEST(DrawCharPerspective, ForeshortensAcross) {
    LayoutWindow doc(rtfText("H", "Arial", 48));
    SettingsScope scope;
    usePath(Path::Over4);
    Frame plain(80, 80), narrow(80, 80), off(80, 80);
    draw(plain, doc.hwnd(), 0, 10.0f, 10.0f);
    glyph::drawCharPerspective(doc.hwnd(), 80, 80, 80, narrow.bytes.data(), 0, 0, 30, 40, 10.0f,
                               10.0f, 0, 1.0f, 0.0f, 12345, 1, 0.5f, 0.0f, 0.0f);
    glyph::drawCharPerspective(doc.hwnd(), 80, 80, 80, off.bytes.data(), 0, 0, 30, 40, 10.0f,
                               10.0f, 0, 1.0f, 0.0f, 0, 0, 0.5f, 1.0f, 1.0f);
    int l, t, r, b, l2, t2, r2, b2;
    ASSERT_TRUE(plain.inkBox(l, t, r, b));
    ASSERT_TRUE(narrow.inkBox(l2, t2, r2, b2));
    EXPECT_NEAR(r2 - l2, (r - l) / 2.0, 2);
    EXPECT_NEAR(b2 - t2, b - t, 1);
    EXPECT_NEAR(narrow.centreX(), plain.centreX(), 1.0);  // about the box centre
    EXPECT_EQ(off.bytes, plain.bytes) << "perspective off is the plain fill";
}

// drawGlyphAt with a font built by the caller.
class DrawGlyphAt : public ::testing::Test {
protected:
    void SetUp() override {
        screen = GetDC(nullptr);
        memory = CreateCompatibleDC(screen);
        doc = std::make_unique<LayoutWindow>(rtfText("x", "Arial", 24));
    }
    void TearDown() override {
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    HFONT font(int pixels) {
        LOGFONTA lf{};
        lf.lfHeight = -pixels;
        std::strcpy(lf.lfFaceName, "Arial");
        return CreateFontIndirectA(&lf);
    }
    int at(Frame& f, HFONT font, unsigned char c, float size, int ascent, float opacity,
           float angle = 0.0f) {
        return glyph::drawGlyphAt(font, memory, c, size, ascent, RGB(0, 255, 0), doc->hwnd(),
                                  f.width, f.height, f.pixelsPerRow, f.bytes.data(), 60, 40, 10.0f,
                                  5.0f, 0, opacity, 10, 1.0f / 40.0f, angle);
    }
    SettingsScope scope;
    HDC screen = nullptr, memory = nullptr;
    std::unique_ptr<LayoutWindow> doc;
};

TEST_F(DrawGlyphAt, ReportsCharactersWithoutAnOutline) {
    usePath(Path::Direct);
    HFONT f = font(32);
    Frame frame(80, 60);
    EXPECT_EQ(at(frame, f, '-', 32, 29, 1.0f), 0);
    EXPECT_EQ(at(frame, f, ' ', 32, 29, 1.0f), 1);
    EXPECT_EQ(at(frame, f, '\r', 32, 29, 1.0f), 1);
    EXPECT_EQ(frame.alphaSum(), 0);
    EXPECT_EQ(at(frame, f, 'k', 32, 29, 1.0f), 1);
    EXPECT_GT(frame.alphaSum(), 0);
    EXPECT_EQ(glyph::drawGlyphAt(f, memory, 'k', 32, 29, 0, nullptr, 80, 60, 80,
                                 frame.bytes.data(), 60, 40, 0, 0, 0, 1, 0, 0, 0),
              1);
    DeleteObject(f);
}

TEST_F(DrawGlyphAt, ANegativeOpacityRevealsFromTheLeft) {
    for (Path p : {Path::Direct, Path::Over4, Path::Over8}) {
        usePath(p);
        const int D = p == Path::Direct ? 1 : (p == Path::Over4 ? 4 : 8);
        HFONT f = font(32 * D);
        Frame whole(80, 60), half(80, 60), none(80, 60);
        // The line starts at x 10 and is 60 wide; the slope 1/40 reveals it
        // straight across.
        at(whole, f, 'W', 32.0f * D, 29 * D, -1.0f);
        at(half, f, 'W', 32.0f * D, 29 * D, -0.25f);
        at(none, f, 'W', 32.0f * D, 29 * D, 0.0f - 1e-9f);
        int l, t, r, b;
        ASSERT_TRUE(whole.inkBox(l, t, r, b)) << pathName(p);
        ASSERT_TRUE(half.inkBox(l, t, r, b)) << pathName(p);
        EXPECT_LE(r, 10 + 15) << pathName(p);  // a quarter of 60 past the line's start
        EXPECT_LT(half.alphaSum(), whole.alphaSum());
        EXPECT_EQ(none.alphaSum(), 0) << pathName(p);
        Frame plain(80, 60);
        at(plain, f, 'W', 32.0f * D, 29 * D, 1.0f);
        EXPECT_EQ(plain.bytes, whole.bytes) << pathName(p) << ": a full reveal is the plain draw";
        DeleteObject(f);
    }
}

TEST(DrawCharFallback, DrawsTheCharacterAsTextUprightAndTurned) {
    SettingsScope scope;
    LayoutWindow doc(rtfText("-", "Arial", 48, RGB(200, 0, 0)));
    Frame upright(80, 60), turned(80, 60);
    glyph::drawCharFallback(doc.hwnd(), 80, 60, 80, upright.bytes.data(), 0, 0, 30, 40, 10, 5, 0,
                            1.0f, 0.0f, nullptr);
    std::vector<uint8_t> scratch(80 * 60 * 4, 0);
    glyph::drawCharFallback(doc.hwnd(), 80, 60, 80, turned.bytes.data(), 0, 0, 30, 40, 10, 5, 0,
                            1.0f, 90.0f, scratch.data());
    int l, t, r, b, l2, t2, r2, b2;
    ASSERT_TRUE(upright.inkBox(l, t, r, b));
    ASSERT_TRUE(turned.inkBox(l2, t2, r2, b2));
    EXPECT_GT(r - l, b - t);    // a hyphen is wide
    EXPECT_GT(b2 - t2, r2 - l2);  // turned a quarter, tall
    EXPECT_EQ(upright.at((l + r) / 2, (t + b) / 2)[1], 200);
    glyphtest::writePng(turned, glyphtest::outputPath("fallback_turned.png"));
}

TEST(DrawCharFallback, InvertedFillsTheAdvanceAroundTheCharacter) {
    SettingsScope scope;
    LayoutWindow doc(rtfText("-", "Arial", 48));
    Frame frame(80, 60);
    glyph::drawCharFallback(doc.hwnd(), 80, 60, 80, frame.bytes.data(), 0, 0, 30, 40, 10, 5, 1,
                            1.0f, 0.0f, nullptr);
    // Column 10 is inside the advance: the box; beyond the advance nothing.
    EXPECT_EQ(frame.alpha(10, 10), 255);
    EXPECT_EQ(frame.alpha(75, 10), 0);
    glyph::drawCharFallback(doc.hwnd(), 80, 60, 80, frame.bytes.data(), 0, 0, 30, 40, 10, 5, 1,
                            1.0f, 0.0f, nullptr);
    glyph::drawCharFallback(nullptr, 80, 60, 80, frame.bytes.data(), 0, 0, 30, 40, 10, 5, 1, 1.0f,
                            0.0f, nullptr);
    glyph::drawCharFallback(doc.hwnd(), 80, 60, 10, frame.bytes.data(), 0, 0, 30, 40, 10, 5, 1,
                            1.0f, 0.0f, nullptr);  // rows shorter than the image: refused
}

TEST(Renderers, NonsenseArgumentsDrawNothingOrSomethingButNeverFail) {
    LayoutWindow doc(rtfText("Ag-", "Arial", 48));
    LayoutWindow huge("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs3000 Wg}");  // 1500 points
    for (Path p : {Path::Direct, Path::Over8}) {
        SettingsScope scope;
        usePath(p);
        Frame f(50, 50);
        const float nan = std::nanf("");
        for (int i = 0; i < 3; ++i) {
            glyph::drawChar(doc.hwnd(), 50, 50, 50, f.bytes.data(), 0, i, -30, -40, nan, 1e30f, 0,
                            1.0f, nan);
            glyph::drawChar(doc.hwnd(), 50, 50, 50, f.bytes.data(), 0, i, 1 << 30, 1 << 30, -1e9f,
                            3e9f, 1, -7.0f, 1e9f);
            glyph::drawChar(doc.hwnd(), 50, 50, 50, f.bytes.data(), 0, i, 30, 40, 10, 10, 0, 1.0f,
                            0.0f);
            glyph::drawChar(doc.hwnd(), 0, 50, 0, f.bytes.data(), 0, i, 30, 40, 10, 10, 0, 1, 0);
            glyph::drawChar(doc.hwnd(), 50, 50, 50, nullptr, 0, i, 30, 40, 10, 10, 0, 1, 0);
            glyph::drawChar(doc.hwnd(), 50, 50, 50, f.bytes.data(), 0, i, 30, 40, 10, 10, 0, 1,
                            std::numeric_limits<float>::infinity());
        }
        glyph::drawChar(huge.hwnd(), 50, 50, 50, f.bytes.data(), 0, 0, 30, 40, 0, 0, 0, 1, 0);
        glyph::drawChar(huge.hwnd(), 50, 50, 50, f.bytes.data(), 0, 1, 30, 40, 0, 0, 0, 1, 33);
        glyph::glyphSettings().renderScale = 1e12;
        glyph::glyphSettings().charScale = -3.0f;
        glyph::drawChar(doc.hwnd(), 50, 50, 50, f.bytes.data(), 0, 0, 30, 40, 0, 0, 0, 1, 0);
        glyph::glyphSettings().renderScale = nan;
        glyph::drawChar(doc.hwnd(), 50, 50, 50, f.bytes.data(), 0, 0, 30, 40, 0, 0, 0, 1, 0);
        glyph::glyphSettings().oversampling = 0;
        glyph::drawChar(doc.hwnd(), 50, 50, 50, f.bytes.data(), 0, 0, 30, 40, 0, 0, 0, 1, 0);
        glyph::glyphSettings().oversampling = -8;
        glyph::drawChar(doc.hwnd(), 50, 50, 50, f.bytes.data(), 0, 1, 30, 40, 0, 0, 0, 1, 0);
    }
    SUCCEED();
}

}  // namespace
