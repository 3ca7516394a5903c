#include <gtest/gtest.h>

#include <vector>

#include "glyph/coverage.h"
#include "glyph/outline.h"
#include "glyph/settings.h"
#include "support.h"

namespace {

using glyphtest::Frame;
using glyphtest::SettingsScope;
using glyphtest::WorkDC;

void useOversampling(int d) {
    glyph::glyphSettings().oversampling = d;
    glyph::glyphSettings().highQuality = true;
    glyph::buildNibbleCountTable();
}

TEST(NibbleCountTable, CountsBothNibbles) {
    SettingsScope scope;
    glyph::buildNibbleCountTable();
    const uint16_t* t = glyph::glyphSettings().nibbleCounts;
    EXPECT_EQ(t[0x00], 0);
    EXPECT_EQ(t[0x0F], 4);
    EXPECT_EQ(t[0xF0], 4 * 256);
    EXPECT_EQ(t[0xFF], 4 * 256 + 4);
    EXPECT_EQ(t[0x31], 2 * 256 + 1);
    EXPECT_EQ(t[0x8E], 1 * 256 + 3);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(t[b], __builtin_popcount(b >> 4) * 256 + __builtin_popcount(b & 15)) << b;
}

struct MaskCase {
    const char* name;
    uint8_t rows[4];  // one byte column, four sample rows
    uint8_t pair;
};
void PrintTo(const MaskCase& c, std::ostream* os) { *os << c.name; }

class Downsample : public ::testing::TestWithParam<MaskCase> {};

TEST_P(Downsample, CountsSixteenSamplesPerPixel) {
    SettingsScope scope;
    glyph::buildNibbleCountTable();
    const MaskCase& c = GetParam();
    uint8_t mask[4] = {c.rows[0], c.rows[1], c.rows[2], c.rows[3]};
    uint8_t pair = 0xAA;
    glyph::downsampleBitmask(mask, 1, &pair, 1, 1, 1);
    EXPECT_EQ(pair, c.pair);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Downsample,
    ::testing::Values(MaskCase{"empty", {0, 0, 0, 0}, 0x00},
                      MaskCase{"full left pixel stores 15", {0x0F, 0x0F, 0x0F, 0x0F}, 0x0F},
                      MaskCase{"full right pixel stores 15", {0xF0, 0xF0, 0xF0, 0xF0}, 0xF0},
                      MaskCase{"both full", {0xFF, 0xFF, 0xFF, 0xFF}, 0xFF},
                      MaskCase{"half of the left pixel", {0x03, 0x03, 0x03, 0x03}, 0x08},
                      MaskCase{"one sample right, three left", {0x10, 0x07, 0, 0}, 0x13}));

TEST(Downsample, ColumnCountFollowsTheEngineRules) {
    SettingsScope scope;
    EXPECT_EQ(glyph::downsampleColumns(0), 1);
    EXPECT_EQ(glyph::downsampleColumns(1), 1);
    EXPECT_EQ(glyph::downsampleColumns(7), 3);
    glyph::glyphSettings().rules = glyph::EngineRules::Morphing;
    EXPECT_EQ(glyph::downsampleColumns(0), 0);
    EXPECT_EQ(glyph::downsampleColumns(1), 1);
    EXPECT_EQ(glyph::downsampleColumns(7), 4);
}

// One output pixel's worth of samples set in a work bitmap, rasterised.
struct BlockCase {
    const char* name;
    int oversampling;
    int bitsPerPixel;
    int inkColumns;  // how many sample columns of the block at output (1, 1) are black
    int coverage;
};
void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.name; }

class CoverageOfABlock : public ::testing::TestWithParam<BlockCase> {};

TEST_P(CoverageOfABlock, GivesTheAlpha) {
    SettingsScope scope;
    const BlockCase& c = GetParam();
    useOversampling(c.oversampling);
    const int D = c.oversampling;
    WorkDC work(6 * D, 6 * D, c.bitsPerPixel);
    work.black(D, D, D + c.inkColumns, 2 * D);
    Frame frame(8, 8);
    glyph::rasterizeGlyphBitmap(work.dc(), 6 * D, 6 * D, 0, 0, frame.image(), RGB(200, 100, 50),
                                1, 1.0f);
    EXPECT_EQ(frame.alpha(1, 1), c.coverage);
    if (c.coverage) {
        EXPECT_EQ(frame.at(1, 1)[1], 200);
        EXPECT_EQ(frame.at(1, 1)[3], 50);
    }
    // Nothing else has ink.
    EXPECT_EQ(frame.alphaSum(), c.coverage);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CoverageOfABlock,
    ::testing::Values(BlockCase{"4x full block is 255", 4, 32, 4, 255},
                      BlockCase{"4x half block is 136", 4, 32, 2, 136},
                      BlockCase{"4x quarter block", 4, 1, 1, 68},
                      BlockCase{"4x one-bit bitmap, full", 4, 1, 4, 255},
                      BlockCase{"8x full block is 255", 8, 32, 8, 255},
                      BlockCase{"8x half block truncates to 127", 8, 32, 4, 127},
                      BlockCase{"8x one column", 8, 1, 1, 31}));

TEST(Rasterize4x, LeavesTheLastTwoRowsAndColumnsOut) {
    SettingsScope scope;
    useOversampling(4);
    WorkDC work(24, 24);
    work.black(0, 0, 24, 24);
    Frame frame(10, 10);
    glyph::rasterizeGlyphBitmap(work.dc(), 24, 24, 2, 3, frame.image(), RGB(1, 1, 1), 1, 1.0f);
    int l, t, r, b;
    ASSERT_TRUE(frame.inkBox(l, t, r, b));
    EXPECT_EQ(l, 2);
    EXPECT_EQ(t, 3);
    EXPECT_EQ(r, 5);  // 6 output columns, the last two undrawn
    EXPECT_EQ(b, 6);
    EXPECT_EQ(frame.inkedPixels(), 16);
}

TEST(Rasterize8x, DrawsTheWholeBox) {
    SettingsScope scope;
    useOversampling(8);
    WorkDC work(24, 16);
    work.black(0, 0, 24, 16);
    Frame frame(10, 10);
    glyph::rasterizeGlyphBitmap(work.dc(), 24, 16, 2, 3, frame.image(), RGB(1, 1, 1), 1, 1.0f);
    EXPECT_EQ(frame.inkedPixels(), 6);
    EXPECT_EQ(frame.alpha(4, 4), 255);
}

TEST(Rasterize8x, EveryBoxPixelGoesThroughTheBlend) {
    SettingsScope scope;
    useOversampling(8);
    WorkDC work(16, 16);  // all white: coverage 0 everywhere
    Frame frame(4, 4);
    glyph::rasterizeGlyphBitmap(work.dc(), 16, 16, 0, 0, frame.image(), RGB(9, 9, 9), 1, 1.0f);
    EXPECT_EQ(frame.alphaSum(), 0);
    // A transparent pixel blended at coverage 0 takes the colour.
    EXPECT_EQ(frame.at(1, 1)[1], 9);
    EXPECT_EQ(frame.at(2, 2)[1], 0);
}

TEST(Rasterize4x, APairStraddlingTheLeftEdgeIsNotDrawn) {
    SettingsScope scope;
    useOversampling(4);
    WorkDC work(32, 16);
    work.black(0, 0, 32, 16);
    Frame frame(8, 4);
    glyph::rasterizeGlyphBitmap(work.dc(), 32, 16, -1, 0, frame.image(), RGB(1, 1, 1), 1, 1.0f);
    EXPECT_EQ(frame.alpha(0, 0), 0);  // right pixel of the pair whose left is at -1
    EXPECT_EQ(frame.alpha(1, 0), 255);
    EXPECT_EQ(frame.alpha(4, 0), 255);
    EXPECT_EQ(frame.alpha(5, 0), 0);  // the box's last columns
}

TEST(Rasterize4x, TheRightPixelNeedsRoomInTheImage) {
    SettingsScope scope;
    useOversampling(4);
    WorkDC work(32, 16);
    work.black(0, 0, 32, 16);
    Frame frame(3, 2);
    glyph::rasterizeGlyphBitmap(work.dc(), 32, 16, 0, 0, frame.image(), RGB(1, 1, 1), 1, 1.0f);
    EXPECT_EQ(frame.alpha(0, 0), 255);
    EXPECT_EQ(frame.alpha(1, 0), 255);
    EXPECT_EQ(frame.alpha(2, 0), 255);
}

TEST(Rasterize4x, InvertedModeCutsTheGlyphOutOfTheBox) {
    SettingsScope scope;
    useOversampling(4);
    WorkDC work(24, 24);
    work.black(4, 4, 8, 8);  // output pixel (1, 1) is glyph
    Frame frame(6, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) frame.at(x, y)[0] = 200;
    glyph::rasterizeGlyphBitmap(work.dc(), 24, 24, 0, 0, frame.image(), RGB(5, 6, 7), 0, 1.0f);
    EXPECT_EQ(frame.alpha(1, 1), 0);    // inside the glyph: a hole
    EXPECT_EQ(frame.alpha(0, 0), 255);  // the box around it
    EXPECT_EQ(frame.alpha(5, 5), 200);  // outside the drawn part of the box
}

TEST(Rasterize, IgnoresBadArguments) {
    SettingsScope scope;
    useOversampling(4);
    WorkDC work(8, 8);
    Frame frame(4, 4);
    glyph::rasterizeGlyphBitmap(nullptr, 8, 8, 0, 0, frame.image(), 0, 1, 1.0f);
    glyph::rasterizeGlyphBitmap(work.dc(), -8, 8, 0, 0, frame.image(), 0, 1, 1.0f);
    glyph::rasterizeGlyphBitmap(work.dc(), 8, 8, 0, 0, glyph::OutputImage{}, 0, 1, 1.0f);
    EXPECT_EQ(frame.alphaSum(), 0);
    // Asking for more samples than the bitmap holds reads the outside as ink,
    // as the pixel call answers there; it must not read past the store.
    Frame wide(8, 8);
    glyph::rasterizeGlyphBitmap(work.dc(), 32, 32, 0, 0, wide.image(), 0, 1, 1.0f);
    EXPECT_GT(wide.alphaSum(), 0);
}

// The reveal on both sampling schemes: a line of 12 pixels, 4 high, all ink.
struct LimitedCase {
    const char* name;
    int oversampling;
    float progress;
    float slope;
    int minInk, maxInk;
};
void PrintTo(const LimitedCase& c, std::ostream* os) { *os << c.name; }

class LimitedRasterize : public ::testing::TestWithParam<LimitedCase> {};

TEST_P(LimitedRasterize, RevealsTheLine) {
    SettingsScope scope;
    const LimitedCase& c = GetParam();
    useOversampling(c.oversampling);
    const int D = c.oversampling;
    WorkDC work(14 * D, 6 * D);
    work.black(0, 0, 14 * D, 6 * D);
    Frame frame(16, 8);
    glyph::rasterizeGlyphBitmapLimited(work.dc(), 14 * D, 6 * D, 0, 0, frame.image(),
                                       RGB(1, 1, 1), 1, -c.progress, 0, 0, 12, 4, c.slope);
    EXPECT_GE(frame.inkedPixels(), c.minInk);
    EXPECT_LE(frame.inkedPixels(), c.maxInk);
}

// 8x draws the 14 x 6 box whole; 4x leaves two rows and columns out (12 x 4).
INSTANTIATE_TEST_SUITE_P(
    Table, LimitedRasterize,
    ::testing::Values(LimitedCase{"4x progress 0", 4, 0.0f, 0.25f, 0, 0},
                      LimitedCase{"4x full progress", 4, 1.0f, 0.25f, 48, 48},
                      LimitedCase{"4x half progress", 4, 0.5f, 0.25f, 24, 24},
                      LimitedCase{"8x progress 0", 8, 0.0f, 0.25f, 0, 0},
                      LimitedCase{"8x full progress covers the line's 12 columns", 8, 1.0f, 0.25f,
                                  12 * 4, 12 * 4},
                      LimitedCase{"8x slope 1 prints row after row", 8, 0.5f, 1.0f, 26, 26}));

TEST(LimitedRasterize, BlendsAtFullOpacity) {
    SettingsScope scope;
    useOversampling(8);
    WorkDC work(32, 8);
    work.black(0, 0, 32, 8);
    Frame frame(4, 2);
    glyph::rasterizeGlyphBitmapLimited(work.dc(), 32, 8, 0, 0, frame.image(), RGB(1, 1, 1), 1,
                                       -0.5f, 0, 0, 4, 1, 1.0f);
    EXPECT_EQ(frame.alpha(0, 0), 255);
    EXPECT_EQ(frame.alpha(1, 0), 255);
    EXPECT_EQ(frame.alpha(2, 0), 0);
}

// A filled outline's coverage is its area, on both paths.
class SquareArea : public ::testing::TestWithParam<int> {};

TEST_P(SquareArea, CoverageOfAFilledSquareIsItsArea) {
    SettingsScope scope;
    const int D = GetParam();
    useOversampling(D);
    // A 10 x 10 output-pixel square, built as the conversion would from a
    // move-to and four lines.
    const int s = 10 * D;
    const POINT path[] = {{0, 0}, {D, D}, {D + s, D}, {D + s, D + s}, {D, D + s}, {D, D}};
    const uint8_t types[] = {6, 6, 2, 2, 2, 3};
    glyph::GlyphOutline outline;
    ASSERT_EQ(glyph::convertGlyphPath(path, types, 6, &outline), 1);
    WorkDC work(14 * D, 14 * D);
    glyph::fillOutline(work.dc(), 12.0f, 0.0f, &outline, 0.0f, 0.0f);
    Frame frame(16, 16);
    glyph::rasterizeGlyphBitmap(work.dc(), 14 * D, 14 * D, 0, 0, frame.image(), 0, 1, 1.0f);
    // The one-pixel pen adds a sample around the edge.
    const double area = frame.alphaSum() / 255.0;
    EXPECT_NEAR(area, 100.0, 100.0 * 0.1) << "D=" << D;
    EXPECT_GE(area, 100.0);
    glyph::releaseGlyphOutline(&outline);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, SquareArea, ::testing::Values(4, 8));

}  // namespace
