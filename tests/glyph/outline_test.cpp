#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "glyph/internal.h"
#include "glyph/outline.h"
#include "support.h"

namespace {

using glyphtest::WorkDC;

struct Outline {
    glyph::GlyphOutline o;
    ~Outline() { glyph::releaseGlyphOutline(&o); }
};

HFONT arial(int pixels, int weight = 400) {
    LOGFONTA lf{};
    lf.lfHeight = -pixels;
    lf.lfWeight = weight;
    std::strcpy(lf.lfFaceName, "Arial");
    return CreateFontIndirectA(&lf);
}

bool same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

// The pen's move, then a square of a move-to and three lines, the last one
// closing the figure.
const POINT kSquare[] = {{0, 0}, {10, 10}, {20, 10}, {20, 20}, {10, 20}};
const uint8_t kSquareTypes[] = {6, 6, 2, 2, 3};

TEST(ConvertGlyphPath, LinesBecomeCubicsAndTheFigureIsClosedByACurve) {
    Outline out;
    ASSERT_EQ(glyph::convertGlyphPath(kSquare, kSquareTypes, 5, &out.o), 1);
    const auto& o = out.o;
    ASSERT_EQ(o.pointCount, 13);
    const POINT expected[13] = {{10, 10}, {15, 10}, {15, 10}, {20, 10}, {20, 15}, {20, 15}, {20, 20},
                                {15, 20}, {15, 20}, {10, 20}, {10, 15}, {10, 15}, {10, 10}};
    const uint8_t expectedTypes[13] = {6, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 5};
    for (int i = 0; i < 13; ++i) {
        EXPECT_TRUE(same(o.points[i], expected[i])) << i;
        EXPECT_EQ(o.types[i], expectedTypes[i]) << i;
    }
    EXPECT_EQ(o.figureCount, 1);
    EXPECT_EQ(o.figurePointCounts[0], 13);
    EXPECT_EQ(o.figureStarts[0], 0);
    EXPECT_EQ(o.figureExtra[0], 0u);
    EXPECT_EQ(o.boxLeft, 10);
    EXPECT_EQ(o.boxRight, 20);
    EXPECT_EQ(o.boxTop, 10);
    EXPECT_EQ(o.boxBottom, 20);
    EXPECT_GE(o.pointCapacity, 5 + 3 * 4 + 2 * 1 + 64);
    EXPECT_GE(o.typeCapacity, 5 + 3 * 4 + 64);
}

TEST(ConvertGlyphPath, HalvesTowardZero) {
    const POINT path[] = {{0, 0}, {0, 0}, {-3, 5}, {-3, -7}};
    const uint8_t types[] = {6, 6, 2, 3};
    Outline out;
    ASSERT_EQ(glyph::convertGlyphPath(path, types, 4, &out.o), 1);
    EXPECT_TRUE(same(out.o.points[1], POINT{-1, 2}));   // (0,0) + (-3,5)/2
    EXPECT_TRUE(same(out.o.points[4], POINT{-3, -1}));  // (-3,5) + (0,-12)/2
    EXPECT_TRUE(same(out.o.points[7], POINT{-1, -3}));  // closing: (0,0) + (-3,-7)/2
}

TEST(ConvertGlyphPath, KeepsCurvesAndCountsEveryFigure) {
    // Two figures: a curve closed on its last control triple, then a square.
    const POINT path[] = {{0, 0}, {0, 0}, {4, 0}, {8, 4}, {8, 8}, {20, 20}, {30, 20}, {30, 30}};
    const uint8_t types[] = {6, 6, 4, 4, 5, 6, 2, 3};
    Outline out;
    ASSERT_EQ(glyph::convertGlyphPath(path, types, 8, &out.o), 1);
    const auto& o = out.o;
    // 1 + 3 + closing 3, then 1 + 3 + 3 + closing 3.
    ASSERT_EQ(o.pointCount, 17);
    EXPECT_EQ(o.types[3], 4);  // the close flag moves to the closing curve
    EXPECT_EQ(o.types[6], 5);
    EXPECT_TRUE(same(o.points[6], POINT{0, 0}));
    EXPECT_EQ(o.types[7], 6);
    EXPECT_EQ(o.figureCount, 2);
    EXPECT_EQ(o.figureStarts[1], 7);
    EXPECT_EQ(o.figurePointCounts[0], 7);
    EXPECT_EQ(o.figurePointCounts[1], 10);
    EXPECT_TRUE(same(o.points[16], POINT{20, 20}));
}

TEST(ConvertGlyphPath, SkipsEverythingBeforeTheFirstMoveAfterThePen) {
    const POINT path[] = {{0, 0}, {5, 5}, {6, 6}, {10, 10}, {12, 10}, {12, 12}};
    const uint8_t types[] = {6, 2, 2, 6, 2, 3};
    Outline out;
    ASSERT_EQ(glyph::convertGlyphPath(path, types, 6, &out.o), 1);
    EXPECT_TRUE(same(out.o.points[0], POINT{10, 10}));
    EXPECT_EQ(out.o.pointCount, 1 + 3 + 3 + 3);

    // Without a move-to after the pen nothing is converted.
    const uint8_t noMove[] = {6, 2, 2, 2, 2, 3};
    Outline none;
    ASSERT_EQ(glyph::convertGlyphPath(path, noMove, 6, &none.o), 1);
    EXPECT_EQ(none.o.pointCount, 0);
    EXPECT_EQ(none.o.figureCount, 0);
}

struct PathLengthCase {
    int count;
    int result;
    int hasOutline;
};

class OutlineFromPath : public ::testing::TestWithParam<PathLengthCase> {};

TEST_P(OutlineFromPath, NeedsMoreThanFivePoints) {
    const POINT path[] = {{0, 0}, {1, 1}, {9, 1}, {9, 9}, {1, 9}, {1, 5}, {1, 3}};
    const uint8_t types[] = {6, 6, 2, 2, 2, 2, 3};
    const PathLengthCase& c = GetParam();
    Outline out;
    EXPECT_EQ(glyph::outlineFromPath(path, types, c.count, &out.o), c.result);
    EXPECT_EQ(out.o.hasOutline, c.hasOutline);
    if (!c.result) {
        EXPECT_EQ(out.o.points, nullptr);
        EXPECT_EQ(out.o.types, nullptr);
        EXPECT_EQ(out.o.pointCount, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, OutlineFromPath,
                         ::testing::Values(PathLengthCase{0, 0, 0}, PathLengthCase{3, 0, 0},
                                           PathLengthCase{5, 0, 0}, PathLengthCase{6, 1, 1},
                                           PathLengthCase{7, 1, 1}));

TEST(ExtractGlyphOutline, OutlinesALetterOfARealFace) {
    HFONT font = arial(64);
    ASSERT_NE(font, nullptr);
    Outline out;
    ASSERT_EQ(glyph::extractGlyphOutline('O', font, &out.o), 1);
    const auto& o = out.o;
    EXPECT_EQ(o.character, 'O');
    EXPECT_EQ(o.hasOutline, 1);
    EXPECT_EQ(o.figureCount, 2);  // outer and inner ring
    EXPECT_EQ(o.types[0], glyph::kOutlineMove);
    EXPECT_EQ(o.types[o.pointCount - 1], glyph::kOutlineBezierClose);
    for (int i = 0; i < o.pointCount; ++i) {
        const int t = o.types[i];
        EXPECT_TRUE(t == 6 || t == 4 || t == 5) << i << ": " << t;
    }
    // Every figure is a move-to and whole cubic triples.
    for (int f = 0; f < o.figureCount; ++f) EXPECT_EQ((o.figurePointCounts[f] - 1) % 3, 0) << f;
    // The cell's top-left is at (0, 0): the letter stands between the
    // cell's top and (about) the baseline.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    EXPECT_GT(o.boxTop, 0);
    EXPECT_NEAR(o.boxBottom, tm.tmAscent, 2);
    EXPECT_GT(o.boxLeft, 0);
    EXPECT_LT(o.boxRight, 64);
    DeleteObject(font);
}

TEST(ExtractGlyphOutline, FailsForBlanksAndPlainRectangles) {
    HFONT font = arial(40);
    const DWORD live = ZolGdiLiveObjects();
    {
        Outline space;
        EXPECT_EQ(glyph::extractGlyphOutline(' ', font, &space.o), 0);
        EXPECT_EQ(space.o.hasOutline, 0);
        EXPECT_EQ(space.o.block, nullptr);
        Outline hyphen;  // four corners and the pen's move
        EXPECT_EQ(glyph::extractGlyphOutline('-', font, &hyphen.o), 0);
        EXPECT_EQ(hyphen.o.hasOutline, 0);
        EXPECT_EQ(hyphen.o.points, nullptr);
        Outline noFont;
        EXPECT_EQ(glyph::extractGlyphOutline('A', nullptr, &noFont.o) == 1, true)
            << "the DC's own font outlines the letter";
    }
    EXPECT_EQ(glyph::extractGlyphOutline('A', font, nullptr), 0);
    EXPECT_EQ(ZolGdiLiveObjects(), live) << "every DC and bitmap is released";
    DeleteObject(font);
}

// A work bitmap's ink as a set of pixels, for comparing fills.
std::vector<bool> inkOf(const WorkDC& w, int width, int height) {
    std::vector<bool> ink(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) ink[y * width + x] = GetPixel(w.dc(), x, y) != 0x00FFFFFF;
    return ink;
}

TEST(FillOutline, FillsAndStrokesTheTransformedPoints) {
    Outline out;
    ASSERT_EQ(glyph::convertGlyphPath(kSquare, kSquareTypes, 5, &out.o), 1);
    WorkDC work(40, 40);
    glyph::fillOutline(work.dc(), 12.0f, 0.0f, &out.o, 5.0f, 3.0f);
    // The square 10..20 moved by (5, 3), its edges stroked by the pen.
    EXPECT_EQ(GetPixel(work.dc(), 20, 18), 0u);
    EXPECT_EQ(GetPixel(work.dc(), 15, 13), 0u);
    EXPECT_EQ(GetPixel(work.dc(), 25, 23), 0u);
    EXPECT_EQ(GetPixel(work.dc(), 27, 18), 0x00FFFFFFu);
    EXPECT_EQ(GetPixel(work.dc(), 20, 11), 0x00FFFFFFu);
    EXPECT_NEAR(work.blackCount(), 11 * 11, 11);
    // The copies the fill keeps.
    for (int i = 0; i < out.o.pointCount; ++i) {
        EXPECT_TRUE(same(out.o.sparePoints[i], out.o.points[i]));
        EXPECT_EQ(out.o.workTypes[i], out.o.types[i] & ~1);
        EXPECT_EQ(out.o.workPoints[i].x, out.o.points[i].x + 5);
    }
}

TEST(FillOutline, TurnsClockwiseAboutTheBoxCentre) {
    // A rectangle 20 wide and 10 high about the centre (20, 15).
    const POINT path[] = {{0, 0}, {10, 10}, {30, 10}, {30, 20}, {10, 20}};
    Outline out;
    ASSERT_EQ(glyph::convertGlyphPath(path, kSquareTypes, 5, &out.o), 1);
    WorkDC work(40, 40);
    glyph::fillOutline(work.dc(), 10.0f, 90.0f, &out.o, 0.0f, 0.0f);
    // The right edge's middle, the midpoint control of the first closing
    // curve (index 4), lands on the bottom edge: y = 15 + 10.
    EXPECT_TRUE(same(out.o.workPoints[4], POINT{20, 25})) << out.o.workPoints[4].x << ","
                                                           << out.o.workPoints[4].y;
    // The top-left corner goes to the top-right: (25, 5).
    EXPECT_TRUE(same(out.o.workPoints[0], POINT{25, 5}));
    // The filled shape is now tall.
    EXPECT_EQ(GetPixel(work.dc(), 20, 7), 0u);
    EXPECT_EQ(GetPixel(work.dc(), 20, 23), 0u);
    EXPECT_EQ(GetPixel(work.dc(), 12, 15), 0x00FFFFFFu);
}

TEST(FillOutline, AFractionalSizeScalesThePoints) {
    Outline out;
    ASSERT_EQ(glyph::convertGlyphPath(kSquare, kSquareTypes, 5, &out.o), 1);
    WorkDC work(40, 40);
    glyph::fillOutline(work.dc(), 12.5f, 0.0f, &out.o, 0.0f, 0.0f);
    // 20 x 12.5 / 12 = 20.83, rounded to 21; 10 x 12.5/12 = 10.42 -> 10.
    EXPECT_TRUE(same(out.o.workPoints[3], POINT{21, 10}));
    EXPECT_TRUE(same(out.o.workPoints[6], POINT{21, 21}));
    // Sizes up to 1 are not scaled.
    glyph::fillOutline(work.dc(), 0.5f, 0.0f, &out.o, 0.0f, 0.0f);
    EXPECT_TRUE(same(out.o.workPoints[6], POINT{20, 20}));
}

TEST(FillOutline, ReplaysOnlyTheLow16BitsOfTheCount) {
    Outline out;
    ASSERT_EQ(glyph::convertGlyphPath(kSquare, kSquareTypes, 5, &out.o), 1);
    WorkDC plain(40, 40), wrapped(40, 40);
    glyph::fillOutline(plain.dc(), 12.0f, 0.0f, &out.o, 0.0f, 0.0f);
    out.o.pointCount += 0x10000;
    glyph::fillOutline(wrapped.dc(), 12.0f, 0.0f, &out.o, 0.0f, 0.0f);
    out.o.pointCount -= 0x10000;
    EXPECT_EQ(inkOf(plain, 40, 40), inkOf(wrapped, 40, 40));
    // A count whose low half is negative replays nothing.
    WorkDC none(40, 40);
    const int saved = out.o.pointCount;
    out.o.pointCount = 0x8000;
    glyph::fillOutline(none.dc(), 12.0f, 0.0f, &out.o, 0.0f, 0.0f);
    out.o.pointCount = saved;
    EXPECT_EQ(none.blackCount(), 0);
}

struct PerspectiveCase {
    const char* name;
    int perspective;
    float angle, horizontalScale, tilt, extraAngle;
    POINT topLeft, bottomRight;  // where corners (10,10) and (30,20) land
};
void PrintTo(const PerspectiveCase& c, std::ostream* os) { *os << c.name; }

class FillOutlinePerspective : public ::testing::TestWithParam<PerspectiveCase> {};

TEST_P(FillOutlinePerspective, MapsTheCorners) {
    const PerspectiveCase& c = GetParam();
    const POINT path[] = {{0, 0}, {10, 10}, {30, 10}, {30, 20}, {10, 20}};
    Outline out;
    ASSERT_EQ(glyph::convertGlyphPath(path, kSquareTypes, 5, &out.o), 1);
    WorkDC work(60, 60);
    glyph::fillOutlinePerspective(work.dc(), 12.0f, c.angle, &out.o, 10.0f, 10.0f, c.perspective,
                                  c.horizontalScale, c.tilt, c.extraAngle);
    EXPECT_TRUE(same(out.o.workPoints[0], c.topLeft))
        << out.o.workPoints[0].x << "," << out.o.workPoints[0].y;
    EXPECT_TRUE(same(out.o.workPoints[6], c.bottomRight))
        << out.o.workPoints[6].x << "," << out.o.workPoints[6].y;
    EXPECT_GT(work.blackCount(), 0);
}

// Centre (20, 15); offsets (10, 10).
INSTANTIATE_TEST_SUITE_P(
    Table, FillOutlinePerspective,
    ::testing::Values(
        PerspectiveCase{"off: plain placement", 0, 0.0f, 0.5f, 1.0f, 1.0f, {20, 20}, {40, 30}},
        PerspectiveCase{"off: the extra angle is ignored", 0, 90.0f, 0.5f, 1.0f, 1.0f, {35, 15},
                        {25, 35}},
        PerspectiveCase{"half as wide, tilted to half height", 1, 0.0f, 0.5f, 1.0471976f, 0.0f,
                        {25, 23}, {35, 28}},
        PerspectiveCase{"the extra angle adds to the rotation", 1, 0.0f, 1.0f, 0.0f,
                        1.5707964f, {35, 15}, {25, 35}},
        PerspectiveCase{"mirrored across", 1, 0.0f, -1.0f, 0.0f, 0.0f, {40, 20}, {20, 30}}));

TEST(PlayOutline, TheReplayByHandDrawsWhatPolyDrawDraws) {
    HFONT font = arial(48);
    Outline out;
    ASSERT_EQ(glyph::extractGlyphOutline('&', font, &out.o), 1);
    WorkDC polyDraw(60, 60), byHand(60, 60);
    glyph::fillOutline(polyDraw.dc(), 48.0f, 0.0f, &out.o, 2.0f, 2.0f);
    BeginPath(byHand.dc());
    glyph::playOutlineByHand(byHand.dc(), out.o.workPoints, out.o.workTypes, out.o.pointCount, 0);
    EndPath(byHand.dc());
    StrokeAndFillPath(byHand.dc());
    EXPECT_GT(polyDraw.blackCount(), 200);
    EXPECT_EQ(inkOf(polyDraw, 60, 60), inkOf(byHand, 60, 60));
    EXPECT_EQ(glyph::playOutline(nullptr, out.o.points, out.o.types, out.o.pointCount, 0), 0);
    DeleteObject(font);
}

TEST(PlayOutline, TheReplayByHandClosesFiguresWithALine) {
    // Lines and a close flag, replayed by hand, fill the triangle.
    const POINT pts[] = {{2, 2}, {30, 2}, {2, 30}};
    const uint8_t types[] = {6, 2, 3};
    WorkDC work(40, 40);
    BeginPath(work.dc());
    EXPECT_EQ(glyph::playOutlineByHand(work.dc(), pts, types, 3, 1), 1);
    EndPath(work.dc());
    StrokeAndFillPath(work.dc());
    EXPECT_EQ(GetPixel(work.dc(), 8, 8), 0u);
    EXPECT_EQ(GetPixel(work.dc(), 25, 25), 0x00FFFFFFu);
    EXPECT_NEAR(work.blackCount(), 29 * 29 / 2, 40);
}

}  // namespace
