// Paths: the shape of a character's path as the glyph engine reads it,
// replaying paths, and the fill and stroke rules.
#include <algorithm>

#include "gdi_support.h"

using namespace gditest;

namespace {

bool samePath(const Path& a, const Path& b) {
    if (a.points.size() != b.points.size()) return false;
    for (size_t i = 0; i < a.points.size(); ++i)
        if (a.points[i].x != b.points[i].x || a.points[i].y != b.points[i].y || a.types[i] != b.types[i])
            return false;
    return true;
}

Path readPath(HDC dc) {
    Path p;
    int n = GetPath(dc, nullptr, nullptr, 0);
    if (n <= 0) return p;
    p.points.resize(n);
    p.types.resize(n);
    GetPath(dc, p.points.data(), p.types.data(), n);
    return p;
}

// ---------------------------------------------------------------- glyph paths

struct GlyphCase {
    const char* face;
    LONG height;
    LONG weight;
    bool italic;
    unsigned char ch;
    int figures;
};

class GlyphPaths : public ::testing::TestWithParam<GlyphCase> {};

TEST_P(GlyphPaths, HaveTheShapeTheGlyphEngineReads) {
    const GlyphCase& c = GetParam();
    Font f(c.face, c.height, c.weight, c.italic);
    Path p = fontCharPath(f, c.ch);
    ASSERT_GT(p.points.size(), 5u);
    // The pen's move to (0, 0) comes first.
    EXPECT_EQ(p.points[0].x, 0);
    EXPECT_EQ(p.points[0].y, 0);
    EXPECT_EQ(p.types[0], PT_MOVETO);
    int figures = 0;
    size_t start = 1;
    for (size_t i = 1; i < p.types.size();) {
        BYTE t = p.types[i];
        if (i == start) {
            ASSERT_EQ(t, PT_MOVETO) << "figure at " << i;
            ++figures;
            ++i;
            continue;
        }
        if ((t & ~PT_CLOSEFIGURE) == PT_BEZIERTO) {
            ASSERT_LE(i + 3, p.types.size());
            EXPECT_EQ(p.types[i + 1], PT_BEZIERTO);
            EXPECT_EQ(p.types[i + 2] & ~PT_CLOSEFIGURE, PT_BEZIERTO);
            i += 3;
        } else {
            ASSERT_EQ(t & ~PT_CLOSEFIGURE, PT_LINETO) << "type " << int(t) << " at " << i;
            i += 1;
        }
        // Every figure ends on a point that carries the close flag.
        if (i == p.types.size() || p.types[i] == PT_MOVETO) {
            EXPECT_TRUE(p.types[i - 1] & PT_CLOSEFIGURE) << "figure ending at " << i - 1;
            start = i;
        } else {
            EXPECT_FALSE(p.types[i - 1] & PT_CLOSEFIGURE);
        }
    }
    EXPECT_EQ(figures, c.figures);
}

INSTANTIATE_TEST_SUITE_P(Chars, GlyphPaths,
                         ::testing::Values(GlyphCase{"Arial", -128, 400, false, 'o', 2},
                                           GlyphCase{"Arial", -16, 400, false, 'B', 3},
                                           GlyphCase{"Arial", -64, 700, false, '8', 3},
                                           GlyphCase{"Arial", -64, 400, true, 'g', 2},
                                           GlyphCase{"Arial", -64, 400, false, '%', 5},
                                           GlyphCase{"Times New Roman", -100, 400, false, 'W', 1},
                                           GlyphCase{"Courier New", -50, 400, false, 'i', 2},
                                           GlyphCase{"Arial", -40, 400, false, 'E', 1},
                                           GlyphCase{"Arial", 512, 400, false, '&', 3}));

TEST(GlyphPaths, CellTopLeftAtThePointAndYGrowsDownwards) {
    Font f("Arial", -100);
    Surface s(8, 8);
    s.use(f);
    TEXTMETRICA tm{};
    GetTextMetricsA(s.dc(), &tm);
    Path e = charPath(s.dc(), 'E');
    // The flat-bottomed E sits on the baseline, an ascent below the point.
    LONG bottom = 0, top = 1 << 20, left = 1 << 20;
    for (size_t i = 1; i < e.points.size(); ++i) {
        bottom = std::max(bottom, e.points[i].y);
        top = std::min(top, e.points[i].y);
        left = std::min(left, e.points[i].x);
    }
    EXPECT_EQ(bottom, tm.tmAscent);
    EXPECT_GT(top, 0);
    EXPECT_LT(top, tm.tmAscent / 3);
    EXPECT_GT(left, 0);
    // Drawn at (x, y), every glyph point moves by exactly (x, y).
    Path moved = charPath(s.dc(), 'E', 37, -11);
    ASSERT_EQ(moved.points.size(), e.points.size());
    for (size_t i = 1; i < e.points.size(); ++i) {
        EXPECT_EQ(moved.points[i].x, e.points[i].x + 37);
        EXPECT_EQ(moved.points[i].y, e.points[i].y - 11);
    }
    // Baseline alignment puts the baseline at the point instead.
    SetTextAlign(s.dc(), TA_BASELINE);
    Path base = charPath(s.dc(), 'E');
    ASSERT_EQ(base.points.size(), e.points.size());
    EXPECT_EQ(base.points[2].y, e.points[2].y - tm.tmAscent);
}

struct CountCase {
    unsigned char ch;
    int points;  // the pen's move included
};

class PathCounts : public ::testing::TestWithParam<CountCase> {};

TEST_P(PathCounts, SpaceIsEmptyAndPlainBarsAreFivePoints) {
    Font f("Arial", -16);
    Path p = fontCharPath(f, GetParam().ch);
    EXPECT_EQ(static_cast<int>(p.points.size()), GetParam().points);
}

// A space adds nothing, so not even the pen's move is kept; a hyphen and an
// l are plain rectangles, the pen's move and four corners.
INSTANTIATE_TEST_SUITE_P(Chars, PathCounts,
                         ::testing::Values(CountCase{' ', 0}, CountCase{'-', 5}, CountCase{'l', 5},
                                           CountCase{'I', 5}));

TEST(GlyphPaths, WithoutAPenMoveTheFirstPointIsTheGlyphs) {
    Font f("Arial", -60);
    Surface s(8, 8);
    s.use(f);
    Path with = charPath(s.dc(), 'a');
    Path without = charPath(s.dc(), 'a', 0, 0, false);
    ASSERT_EQ(without.points.size() + 1, with.points.size());
    EXPECT_TRUE(std::equal(without.types.begin(), without.types.end(), with.types.begin() + 1));
}

TEST(GlyphPaths, UnderlineAndStrikeOutAddBands) {
    LOGFONTA lf = logFont("Arial", -60);
    Font plain(lf);
    lf.lfUnderline = 1;
    Font under(lf);
    lf.lfStrikeOut = 1;
    Font both(lf);
    auto figures = [](const Path& p) {
        return std::count(p.types.begin() + 1, p.types.end(), static_cast<BYTE>(PT_MOVETO));
    };
    Path a = fontCharPath(plain, 'x'), b = fontCharPath(under, 'x'), c = fontCharPath(both, 'x');
    EXPECT_EQ(figures(b), figures(a) + 1);
    EXPECT_EQ(figures(c), figures(a) + 2);
    TEXTMETRICA tm{};
    Surface s(4, 4);
    s.use(under);
    GetTextMetricsA(s.dc(), &tm);
    // The underline lies below the baseline, inside the cell.
    EXPECT_GT(b.points.back().y, tm.tmAscent);
    EXPECT_LE(b.points.back().y, tm.tmHeight);
}

// ---------------------------------------------------------------- GetPath

TEST(GetPathCalls, CountQueryCopyAndRefusals) {
    Font f("Arial", -40);
    Surface s(8, 8);
    s.use(f);
    EXPECT_EQ(GetPath(s.dc(), nullptr, nullptr, 0), -1);  // no path yet
    BeginPath(s.dc());
    MoveToEx(s.dc(), 0, 0, nullptr);
    TextOutA(s.dc(), 0, 0, "o", 1);
    EXPECT_EQ(GetPath(s.dc(), nullptr, nullptr, 0), -1);  // still open
    EndPath(s.dc());
    int n = GetPath(s.dc(), nullptr, nullptr, 0);
    ASSERT_GT(n, 5);
    std::vector<POINT> pts(n);
    std::vector<BYTE> types(n, 0xEE);
    EXPECT_EQ(GetPath(s.dc(), pts.data(), types.data(), n - 1), -1);
    EXPECT_EQ(types[0], 0xEE);  // nothing copied
    EXPECT_EQ(GetPath(s.dc(), pts.data(), types.data(), -5), -1);
    EXPECT_EQ(GetPath(s.dc(), pts.data(), types.data(), n), n);
    // A fill consumes the path; an abort discards one.
    ASSERT_TRUE(StrokeAndFillPath(s.dc()));
    EXPECT_EQ(GetPath(s.dc(), nullptr, nullptr, 0), -1);
    EXPECT_FALSE(StrokeAndFillPath(s.dc()));
    BeginPath(s.dc());
    TextOutA(s.dc(), 0, 0, "o", 1);
    EXPECT_FALSE(EndPath(s.dc()) && false);
    AbortPath(s.dc());
    EXPECT_EQ(GetPath(s.dc(), nullptr, nullptr, 0), -1);
    EXPECT_FALSE(EndPath(s.dc()));
}

TEST(GetPathCalls, CurrentPositionFollowsTheDrawing) {
    Surface s(8, 8);
    POINT prev{}, pos{};
    MoveToEx(s.dc(), 3, 4, nullptr);
    MoveToEx(s.dc(), 5, 6, &prev);
    EXPECT_EQ(prev.x, 3);
    EXPECT_EQ(prev.y, 4);
    LineTo(s.dc(), 7, 1);
    ASSERT_TRUE(GetCurrentPositionEx(s.dc(), &pos));
    EXPECT_EQ(pos.x, 7);
    EXPECT_EQ(pos.y, 1);
    // Text leaves the position alone unless asked to move it.
    Font f("Arial", -10);
    s.use(f);
    TextOutA(s.dc(), 0, 0, "ab", 2);
    GetCurrentPositionEx(s.dc(), &pos);
    EXPECT_EQ(pos.x, 7);
    SetTextAlign(s.dc(), TA_UPDATECP);
    SIZE ext{};
    GetTextExtentPoint32A(s.dc(), "ab", 2, &ext);
    TextOutA(s.dc(), 0, 0, "ab", 2);
    GetCurrentPositionEx(s.dc(), &pos);
    EXPECT_EQ(pos.x, 7 + ext.cx);
}

// ---------------------------------------------------------------- replay

// The glyph engine replays a path either with PolyDraw or, on platforms
// without it, with MoveToEx, LineTo, PolyBezierTo and CloseFigure; both
// must rebuild the same path.
TEST(Replay, PolyDrawAndTheHandReplayRebuildThePath) {
    Font f("Times New Roman", -90);
    Path glyph = fontCharPath(f, '&');
    ASSERT_GT(glyph.points.size(), 10u);
    // Replayed on its own the pen's first move draws nothing and is not kept.
    Path expected = glyph;
    expected.points.erase(expected.points.begin());
    expected.types.erase(expected.types.begin());
    Surface s(8, 8);
    BeginPath(s.dc());
    ASSERT_TRUE(PolyDraw(s.dc(), glyph.points.data(), glyph.types.data(), static_cast<int>(glyph.points.size())));
    EndPath(s.dc());
    EXPECT_TRUE(samePath(readPath(s.dc()), expected));

    BeginPath(s.dc());
    for (size_t i = 0; i < glyph.points.size(); ++i) {
        BYTE t = glyph.types[i] & ~PT_CLOSEFIGURE;
        size_t last = i;
        if (t == PT_MOVETO) {
            MoveToEx(s.dc(), glyph.points[i].x, glyph.points[i].y, nullptr);
        } else if (t == PT_LINETO) {
            LineTo(s.dc(), glyph.points[i].x, glyph.points[i].y);
        } else {
            PolyBezierTo(s.dc(), &glyph.points[i], 3);
            last = i + 2;
            i += 2;
        }
        if (glyph.types[last] & PT_CLOSEFIGURE) CloseFigure(s.dc());
    }
    EndPath(s.dc());
    EXPECT_TRUE(samePath(readPath(s.dc()), expected));
}

TEST(Replay, BadPointTypesAreRefusedWhole) {
    Surface s(8, 8);
    POINT pts[4] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}};
    const std::vector<std::vector<BYTE>> bad = {
        {PT_MOVETO, PT_BEZIERTO, PT_BEZIERTO, PT_LINETO},  // a curve needs three points
        {PT_MOVETO, 0, PT_LINETO, PT_LINETO},
        {PT_MOVETO, 8, PT_LINETO, PT_LINETO},
        {PT_MOVETO, PT_LINETO, PT_LINETO, PT_BEZIERTO},
    };
    for (const auto& types : bad) {
        BeginPath(s.dc());
        EXPECT_FALSE(PolyDraw(s.dc(), pts, types.data(), 4));
        EndPath(s.dc());
        EXPECT_EQ(GetPath(s.dc(), nullptr, nullptr, 0), 0);
    }
    EXPECT_FALSE(PolyDraw(s.dc(), nullptr, nullptr, 2));
    EXPECT_FALSE(PolyBezierTo(s.dc(), pts, 2));
    BeginPath(s.dc());
    EXPECT_FALSE(CloseFigure(s.dc()));  // no figure to close
    AbortPath(s.dc());
}

// ---------------------------------------------------------------- fills

struct ShapeCase {
    const char* what;
    std::vector<POINT> points;
    std::vector<BYTE> types;
    int fillMode;
    bool stroke;
    long pixels;
};

class Fills : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(Fills, SetThePixelsWhoseCentresAreInside) {
    const ShapeCase& c = GetParam();
    for (int bits : {32, 1}) {
        Surface s(40, 40, bits);
        SetPolyFillMode(s.dc(), c.fillMode);
        BeginPath(s.dc());
        ASSERT_TRUE(PolyDraw(s.dc(), c.points.data(), c.types.data(), static_cast<int>(c.points.size())));
        EndPath(s.dc());
        ASSERT_TRUE(c.stroke ? StrokeAndFillPath(s.dc()) : FillPath(s.dc()));
        EXPECT_EQ(s.ink(), c.pixels) << c.what << " on " << bits << " bits";
    }
}

const BYTE M = PT_MOVETO, L = PT_LINETO, LC = PT_LINETO | PT_CLOSEFIGURE;

INSTANTIATE_TEST_SUITE_P(
    Shapes, Fills,
    ::testing::Values(
        // A 5 x 6 rectangle: its 30 pixels; the pen adds the column on its
        // right and the row below it (the pixels right of and below the
        // points it passes through).
        ShapeCase{"rectangle", {{2, 3}, {7, 3}, {7, 9}, {2, 9}}, {M, L, L, LC}, ALTERNATE, false, 30},
        ShapeCase{"stroked rectangle", {{2, 3}, {7, 3}, {7, 9}, {2, 9}}, {M, L, L, LC}, ALTERNATE, true, 42},
        // Half of a 20 x 20 square along its diagonal: 200 pixels of area,
        // the 20 on the diagonal counted once (centres strictly inside one
        // side).
        ShapeCase{"triangle", {{0, 0}, {20, 0}, {0, 20}}, {M, L, LC}, ALTERNATE, false, 190},
        // Two squares of the same turn, one inside the other.
        ShapeCase{"nested, alternate",
                  {{0, 0}, {30, 0}, {30, 30}, {0, 30}, {10, 10}, {20, 10}, {20, 20}, {10, 20}},
                  {M, L, L, LC, M, L, L, LC},
                  ALTERNATE,
                  false,
                  800},
        ShapeCase{"nested, winding",
                  {{0, 0}, {30, 0}, {30, 30}, {0, 30}, {10, 10}, {20, 10}, {20, 20}, {10, 20}},
                  {M, L, L, LC, M, L, L, LC},
                  WINDING,
                  false,
                  900},
        // An open figure is closed for the fill.
        ShapeCase{"open", {{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {M, L, L, L}, ALTERNATE, false, 100},
        // Entirely outside the bitmap.
        ShapeCase{"outside", {{-50, -50}, {-10, -50}, {-10, -10}}, {M, L, LC}, ALTERNATE, false, 0}));

TEST(Fills, ABezierCircleCoversItsArea) {
    Surface s(220, 220);
    const double r = 100, k = 0.5523 * r, c = 110;
    auto P = [](double x, double y) { return POINT{static_cast<LONG>(x), static_cast<LONG>(y)}; };
    POINT curve[12] = {P(c + r, c + k), P(c + k, c + r), P(c, c + r), P(c - k, c + r), P(c - r, c + k), P(c - r, c),
                       P(c - r, c - k), P(c - k, c - r), P(c, c - r), P(c + k, c - r), P(c + r, c - k), P(c + r, c)};
    BeginPath(s.dc());
    MoveToEx(s.dc(), static_cast<int>(c + r), static_cast<int>(c), nullptr);
    PolyBezierTo(s.dc(), curve, 12);
    CloseFigure(s.dc());
    EndPath(s.dc());
    FillPath(s.dc());
    EXPECT_NEAR(s.ink() / (3.14159265 * r * r), 1.0, 0.005);
}

TEST(Fills, TheGlyphEnginesSquareOfThirteenPoints) {
    // Move-to and three line-to points, the last closing: filled as the
    // glyph engine converts it, every line as a straight Bézier.
    Surface s(30, 30);
    std::vector<POINT> pts = {{4, 4}, {14, 4}, {14, 4}, {24, 4}, {24, 14}, {24, 14}, {24, 24},
                              {14, 24}, {14, 24}, {4, 24}, {4, 14}, {4, 14}, {4, 4}};
    std::vector<BYTE> types(13, PT_BEZIERTO);
    types[0] = PT_MOVETO;
    BeginPath(s.dc());
    ASSERT_TRUE(PolyDraw(s.dc(), pts.data(), types.data(), 13));
    EndPath(s.dc());
    ASSERT_TRUE(StrokeAndFillPath(s.dc()));
    EXPECT_EQ(s.ink(), 21 * 21);
    EXPECT_EQ(GetPixel(s.dc(), 4, 4), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(s.dc(), 24, 24), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(s.dc(), 25, 24), RGB(255, 255, 255));
}

TEST(Strokes, LinesOutsideAPathDrawWithThePen) {
    Surface s(20, 20);
    MoveToEx(s.dc(), 2, 5, nullptr);
    LineTo(s.dc(), 11, 5);
    EXPECT_EQ(s.ink(), 10);
    HPEN red = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(s.dc(), red);
    MoveToEx(s.dc(), 5, 10, nullptr);
    LineTo(s.dc(), 15, 10);
    EXPECT_EQ(GetPixel(s.dc(), 10, 9), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(s.dc(), 10, 11), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(s.dc(), 10, 8), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(s.dc(), 10, 12), RGB(255, 255, 255));
    SelectObject(s.dc(), GetStockObject(NULL_PEN));
    long before = s.ink();
    LineTo(s.dc(), 0, 0);
    EXPECT_EQ(s.ink(), before);
    SelectObject(s.dc(), old);
    DeleteObject(red);
}

}  // namespace
