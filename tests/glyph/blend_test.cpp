#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "glyph/blend.h"
#include "support.h"

namespace {

using Pixel = std::array<int, 4>;  // alpha, red, green, blue

Pixel run(void (*blend)(uint8_t*, int, float, COLORREF, int), Pixel before, int coverage,
          float opacity, COLORREF colour, int normal) {
    uint8_t p[4];
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(before[i]);
    blend(p, coverage, opacity, colour, normal);
    return Pixel{p[0], p[1], p[2], p[3]};
}

struct BlendCase {
    const char* name;
    Pixel before;
    int coverage;
    float opacity;
    COLORREF colour;
    int normal;
    Pixel after;
};

void PrintTo(const BlendCase& c, std::ostream* os) { *os << c.name; }

class CoverageBlend : public ::testing::TestWithParam<BlendCase> {};

TEST_P(CoverageBlend, GivesThePixel) {
    const BlendCase& c = GetParam();
    EXPECT_EQ(run(glyph::blendCoverage, c.before, c.coverage, c.opacity, c.colour, c.normal),
              c.after);
}

// Weights: 128 x 0.003921569 = 0.50196 for the new colour; 255 x 0.49804 is
// 126.99998, so a full old channel truncates to 126.
INSTANTIATE_TEST_SUITE_P(
    Table, CoverageBlend,
    ::testing::Values(
        BlendCase{"empty pixel takes coverage and colour", {0, 1, 2, 3}, 128, 1.0f,
                  RGB(10, 20, 30), 1, {128, 10, 20, 30}},
        BlendCase{"empty pixel, half opacity", {0, 1, 2, 3}, 128, 0.5f, RGB(10, 20, 30), 1,
                  {64, 10, 20, 30}},
        BlendCase{"empty pixel, coverage 0 still takes the colour", {0, 1, 2, 3}, 0, 1.0f,
                  RGB(10, 20, 30), 1, {0, 10, 20, 30}},
        BlendCase{"over alpha 200 clamps and weights by coverage", {200, 0, 0, 255}, 128, 1.0f,
                  RGB(255, 0, 0), 1, {255, 128, 0, 126}},
        BlendCase{"mixed channel", {10, 100, 100, 100}, 128, 1.0f, RGB(50, 50, 50), 1,
                  {138, 74, 74, 74}},
        BlendCase{"coverage 255 at half opacity over 100", {100, 10, 200, 0}, 255, 0.5f,
                  RGB(200, 10, 0), 1, {227, 105, 104, 0}},
        BlendCase{"full coverage replaces", {90, 1, 2, 3}, 255, 1.0f, RGB(7, 8, 9), 1,
                  {255, 7, 8, 9}},
        BlendCase{"coverage 0 over ink changes nothing", {90, 1, 2, 3}, 0, 1.0f, RGB(7, 8, 9), 1,
                  {90, 1, 2, 3}},
        BlendCase{"inverted: glyph cuts a hole", {90, 1, 2, 3}, 0, 1.0f, RGB(7, 8, 9), 0,
                  {0, 1, 2, 3}},
        BlendCase{"inverted: alpha only falls", {90, 1, 2, 3}, 200, 1.0f, RGB(7, 8, 9), 0,
                  {90, 1, 2, 3}},
        BlendCase{"inverted: partial opacity", {90, 1, 2, 3}, 100, 0.5f, RGB(7, 8, 9), 0,
                  {50, 1, 2, 3}},
        BlendCase{"inverted: full box keeps the colour", {90, 1, 2, 3}, 255, 1.0f, RGB(7, 8, 9),
                  0, {255, 1, 2, 3}},
        BlendCase{"inverted over empty draws the box", {0, 1, 2, 3}, 255, 1.0f, RGB(7, 8, 9), 0,
                  {255, 7, 8, 9}}));

void alphaWeighted(uint8_t* p, int a, float o, COLORREF c, int) { glyph::blendAlphaWeighted(p, a, o, c); }
void upright(uint8_t* p, int a, float o, COLORREF c, int) { glyph::blendFallbackUpright(p, a, o, c); }

class DirectBlend : public ::testing::TestWithParam<BlendCase> {};

TEST_P(DirectBlend, GivesThePixel) {
    const BlendCase& c = GetParam();
    EXPECT_EQ(run(alphaWeighted, c.before, c.coverage, c.opacity, c.colour, 1), c.after);
}

// The destination's own alpha weighs the old colour: w = 200 x 0.003921569
// (single precision) = 0.78431.
INSTANTIATE_TEST_SUITE_P(
    Table, DirectBlend,
    ::testing::Values(
        BlendCase{"empty pixel", {0, 1, 2, 3}, 128, 1.0f, RGB(10, 20, 30), 1, {128, 10, 20, 30}},
        BlendCase{"empty pixel, quarter opacity", {0, 1, 2, 3}, 200, 0.25f, RGB(10, 20, 30), 1,
                  {50, 10, 20, 30}},
        BlendCase{"over alpha 200 weights the old colour", {200, 0, 255, 100}, 128, 1.0f,
                  RGB(255, 0, 50), 1, {255, 54, 200, 89}},
        BlendCase{"half opacity adds weighted coverage", {100, 0, 0, 0}, 255, 0.5f,
                  RGB(0, 0, 0), 1, {227, 0, 0, 0}},
        BlendCase{"full coverage replaces the colour", {100, 1, 2, 3}, 255, 1.0f, RGB(7, 8, 9),
                  1, {255, 7, 8, 9}}));

class UprightFallbackBlend : public ::testing::TestWithParam<BlendCase> {};

TEST_P(UprightFallbackBlend, GivesThePixel) {
    const BlendCase& c = GetParam();
    EXPECT_EQ(run(upright, c.before, c.coverage, c.opacity, c.colour, 1), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UprightFallbackBlend,
    ::testing::Values(
        BlendCase{"empty pixel", {0, 1, 2, 3}, 77, 1.0f, RGB(0, 0, 255), 1, {77, 0, 0, 255}},
        BlendCase{"blue over red saturates to magenta", {255, 255, 0, 0}, 255, 1.0f,
                  RGB(0, 0, 255), 1, {255, 255, 0, 255}},
        BlendCase{"channels add and clamp", {100, 200, 100, 10}, 100, 1.0f, RGB(100, 100, 100),
                  1, {200, 255, 200, 110}},
        BlendCase{"opacity weighs the added alpha", {100, 0, 0, 0}, 100, 0.5f, RGB(1, 1, 1), 1,
                  {150, 1, 1, 1}}));

TEST(RotatedFallbackBlend, AveragesRepeatedHitsOfAPixel) {
    uint8_t p[4] = {40, 10, 200, 0};
    uint8_t slot = 0;
    glyph::blendFallbackRotated(p, &slot, 100, RGB(50, 50, 50));
    EXPECT_EQ((Pixel{p[0], p[1], p[2], p[3]}), (Pixel{100, 50, 200, 50}));
    EXPECT_EQ(slot, 100);
    glyph::blendFallbackRotated(p, &slot, 201, RGB(0, 0, 0));
    EXPECT_EQ(p[0], 150);  // (201 + 100) / 2
    EXPECT_EQ(slot, 150);
    // A first hit never lowers the alpha already there.
    uint8_t q[4] = {220, 0, 0, 0};
    uint8_t fresh = 0;
    glyph::blendFallbackRotated(q, &fresh, 30, RGB(0, 0, 0));
    EXPECT_EQ(q[0], 220);
    EXPECT_EQ(fresh, 30);
}

TEST(MixedCoverageBlend, MixesLikeTheDirectPath) {
    // 200/255 of the old colour, the rest of the new one.
    EXPECT_EQ(run(glyph::blendCoverageMixed, {200, 0, 255, 100}, 128, 1.0f, RGB(255, 0, 50), 1),
              (Pixel{255, 54, 200, 89}));
    // The other cases are the coverage blend's.
    EXPECT_EQ(run(glyph::blendCoverageMixed, {0, 1, 2, 3}, 128, 0.5f, RGB(10, 20, 30), 1),
              (Pixel{64, 10, 20, 30}));
    EXPECT_EQ(run(glyph::blendCoverageMixed, {9, 1, 2, 3}, 255, 1.0f, RGB(10, 20, 30), 1),
              (Pixel{255, 10, 20, 30}));
}

// A 4 x 3 work bitmap: the left column black, the rest white, blended at
// (1, 1) of a 5 x 4 frame.
TEST(CompositeBitmapDirect, NormalModeDrawsTheBlackPixelsOnly) {
    glyphtest::Frame frame(5, 4);
    glyphtest::WorkDC work(4, 3);
    work.black(0, 0, 1, 3);
    glyph::compositeBitmapDirect(frame.image(), work.dc(), 4, 3, 1, 1, RGB(9, 8, 7), 0, 1.0f);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(frame.alpha(x, y), (x == 1 && y >= 1) ? 255 : 0) << x << "," << y;
    EXPECT_EQ(frame.at(1, 2)[1], 9);
}

TEST(CompositeBitmapDirect, InvertedModeDrawsTheBoxAroundTheGlyph) {
    glyphtest::Frame frame(5, 4);
    glyphtest::WorkDC work(4, 3);
    work.black(0, 0, 1, 3);
    glyph::compositeBitmapDirect(frame.image(), work.dc(), 4, 3, 1, 1, RGB(9, 8, 7), 1, 1.0f);
    EXPECT_EQ(frame.alpha(1, 1), 0);
    EXPECT_EQ(frame.alpha(2, 1), 255);
    EXPECT_EQ(frame.alpha(4, 3), 255);
    EXPECT_EQ(frame.inkedPixels(), 9);
}

TEST(CompositeBitmapDirect, ClipsAtEveryEdge) {
    glyphtest::Frame frame(3, 3);
    glyphtest::WorkDC work(6, 6, 1);
    work.black(0, 0, 6, 6);
    glyph::compositeBitmapDirect(frame.image(), work.dc(), 6, 6, -2, -2, RGB(1, 1, 1), 0, 1.0f);
    EXPECT_EQ(frame.inkedPixels(), 9);
    glyphtest::Frame padded(3, 3, 2);  // rows longer than the image
    glyph::compositeBitmapDirect(padded.image(), work.dc(), 6, 6, 1, 1, RGB(1, 1, 1), 0, 1.0f);
    EXPECT_EQ(padded.inkedPixels(), 4);
    EXPECT_EQ(padded.at(3, 1)[0], 0);  // the row's padding is not the image
}

// A line 10 pixels wide and 4 high; the bitmap is all ink.
struct RevealCase {
    const char* name;
    float progress;
    float slope;
    int expectedInk;
};
void PrintTo(const RevealCase& c, std::ostream* os) { *os << c.name; }

class DirectReveal : public ::testing::TestWithParam<RevealCase> {};

TEST_P(DirectReveal, DrawsWhatTheRevealUncovered) {
    const RevealCase& c = GetParam();
    glyphtest::Frame frame(10, 4);
    glyphtest::WorkDC work(10, 4, 1);
    work.black(0, 0, 10, 4);
    glyph::compositeBitmapDirectLimited(frame.image(), work.dc(), 10, 4, 0, 0, RGB(1, 2, 3), 0,
                                        -c.progress, 0, 0, 10, 4, c.slope);
    EXPECT_EQ(frame.inkedPixels(), c.expectedInk);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DirectReveal,
    ::testing::Values(RevealCase{"progress 0 draws nothing", 0.0f, 0.25f, 0},
                      RevealCase{"full progress, slope 1/K draws the line", 1.0f, 0.25f, 40},
                      RevealCase{"half progress, slope 1/K draws the left half", 0.5f, 0.25f, 20},
                      // Slope 1 prints row after row: at half progress the
                      // first two rows are out.
                      RevealCase{"half progress, slope 1 prints by rows", 0.5f, 1.0f, 20},
                      RevealCase{"progress 0.3, slope 1: a row and a fifth", 0.3f, 1.0f, 12}));

TEST(DirectReveal, SlopeOnePrintsRowsInOrder) {
    glyphtest::Frame frame(10, 4);
    glyphtest::WorkDC work(10, 4, 1);
    work.black(0, 0, 10, 4);
    glyph::compositeBitmapDirectLimited(frame.image(), work.dc(), 10, 4, 0, 0, RGB(1, 2, 3), 0,
                                        -0.3f, 0, 0, 10, 4, 1.0f);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(frame.alpha(x, 0), 255);
    EXPECT_EQ(frame.alpha(1, 1), 255);
    EXPECT_EQ(frame.alpha(2, 1), 0);
    EXPECT_EQ(frame.alpha(0, 2), 0);
}

TEST(CopyImage, CopiesRowsWithTheirOwnStrides) {
    std::vector<uint8_t> source(3 * 2 * 4);
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i + 1);
    std::vector<uint8_t> destination(5 * 2 * 4, 0);
    glyph::copyImage(destination.data(), source.data(), 2, 2, 20, 12);
    EXPECT_EQ(std::memcmp(destination.data(), source.data(), 8), 0);
    EXPECT_EQ(std::memcmp(destination.data() + 20, source.data() + 12, 8), 0);
    EXPECT_EQ(destination[8], 0);
    EXPECT_EQ(destination[28], 0);
}

}  // namespace
