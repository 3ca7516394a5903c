// Fonts: which file a logical font picks, its metrics and extents against
// the font file's own figures, the code pages, and the ink of filled glyph
// paths against FreeType's own rendering.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gdi_support.h"

using namespace gditest;

namespace {

// The font file a logical font resolved to, opened on its own.
class FaceFile {
public:
    explicit FaceFile(const ZolFontInfo& info) {
        FT_Init_FreeType(&lib_);
        if (FT_New_Face(lib_, info.file, info.faceIndex, &face_) != 0) face_ = nullptr;
    }
    ~FaceFile() {
        if (face_) FT_Done_Face(face_);
        FT_Done_FreeType(lib_);
    }
    FT_Face operator->() const { return face_; }
    FT_Face get() const { return face_; }
    TT_OS2* os2() const { return static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2)); }
    long advance(FT_ULong unicode) const {
        FT_Fixed a = 0;
        FT_Get_Advance(face_, FT_Get_Char_Index(face_, unicode), FT_LOAD_NO_SCALE, &a);
        return a;
    }
    // FreeType's antialiased rendering of the character at `ppem` pixels
    // to the em: the sum of its coverage, in pixels.
    double renderedInk(FT_ULong unicode, double ppem) const {
        FT_Set_Char_Size(face_, 0, std::lround(ppem * 64), 72, 72);
        if (FT_Load_Char(face_, unicode, FT_LOAD_RENDER | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return -1;
        const FT_Bitmap& b = face_->glyph->bitmap;
        double sum = 0;
        for (unsigned y = 0; y < b.rows; ++y)
            for (unsigned x = 0; x < b.width; ++x) sum += b.buffer[y * b.pitch + x];
        return sum / 255.0;
    }

private:
    FT_Library lib_ = nullptr;
    FT_Face face_ = nullptr;
};

long roundHalfUp(double v) { return static_cast<long>(std::floor(v + 0.5)); }

struct Box {
    long left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);
};

Box boxOf(const Path& p, size_t from = 0) {
    Box b;
    for (size_t i = from; i < p.points.size(); ++i) {
        b.left = std::min<long>(b.left, p.points[i].x);
        b.top = std::min<long>(b.top, p.points[i].y);
        b.right = std::max<long>(b.right, p.points[i].x);
        b.bottom = std::max<long>(b.bottom, p.points[i].y);
    }
    return b;
}

// The character's path drawn into a bitmap that holds it, filled with the
// black brush and (when `stroke`) outlined with the default pen; the number
// of pixels set.
long filledInk(const Font& f, unsigned char ch, bool stroke) {
    Path p = fontCharPath(f, ch);
    if (p.points.empty()) return 0;
    Box b = boxOf(p);
    Surface s(static_cast<int>(b.right - b.left + 6), static_cast<int>(b.bottom - b.top + 6));
    s.use(f);
    char text = static_cast<char>(ch);
    BeginPath(s.dc());
    TextOutA(s.dc(), static_cast<int>(3 - b.left), static_cast<int>(3 - b.top), &text, 1);
    EndPath(s.dc());
    EXPECT_TRUE(stroke ? StrokeAndFillPath(s.dc()) : FillPath(s.dc()));
    return s.ink();
}

// ---------------------------------------------------------------- which file

struct FileCase {
    const char* face;
    LONG weight;
    bool italic;
    const char* file;  // part of the chosen file's name
};

class FontFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(FontFile, FaceWeightAndSlantPickTheFile) {
    const FileCase& c = GetParam();
    Font f(c.face, -20, c.weight, c.italic);
    ASSERT_NE(f.get(), nullptr);
    ZolFontInfo info = f.info();
    EXPECT_NE(std::string(info.file).find(c.file), std::string::npos) << info.file;
    EXPECT_FALSE(info.syntheticBold);
    EXPECT_FALSE(info.syntheticItalic);
}

INSTANTIATE_TEST_SUITE_P(
    Faces, FontFile,
    ::testing::Values(FileCase{"Arial", FW_NORMAL, false, "LiberationSans-Regular"},
                      FileCase{"Arial", FW_BOLD, false, "LiberationSans-Bold."},
                      FileCase{"Arial", FW_NORMAL, true, "LiberationSans-Italic"},
                      FileCase{"Arial", FW_BOLD, true, "LiberationSans-BoldItalic"},
                      FileCase{"arial", FW_DONTCARE, false, "LiberationSans-Regular"},
                      FileCase{"Times New Roman", FW_BOLD, false, "LiberationSerif-Bold."},
                      FileCase{"Courier New", FW_NORMAL, true, "LiberationMono-Italic"}));

TEST(FontFile, AFaceWithoutBoldOrItalicFilesIsEmboldenedAndSlanted) {
    // This face comes in one style only.
    const char* face = "DejaVu Math TeX Gyre";
    Font regular(face, -100), bold(face, -100, FW_BOLD), italic(face, -100, FW_NORMAL, true);
    ASSERT_STREQ(regular.info().file, bold.info().file);
    EXPECT_TRUE(bold.info().syntheticBold);
    EXPECT_FALSE(bold.info().syntheticItalic);
    EXPECT_TRUE(italic.info().syntheticItalic);
    Surface s(4, 4);
    SIZE r{}, b{};
    s.use(regular);
    GetTextExtentPoint32A(s.dc(), "H", 1, &r);
    s.use(bold);
    GetTextExtentPoint32A(s.dc(), "H", 1, &b);
    EXPECT_GT(b.cx, r.cx);
    // The slant leans the top of an upright stem to the right.
    Path up = fontCharPath(regular, 'l'), lean = fontCharPath(italic, 'l');
    ASSERT_EQ(up.points.size(), lean.points.size());
    auto topRight = [](const Path& p) {
        LONG best = -1 << 20;
        LONG top = 1 << 20;
        for (size_t i = 1; i < p.points.size(); ++i) top = std::min(top, p.points[i].y);
        for (size_t i = 1; i < p.points.size(); ++i)
            if (p.points[i].y == top) best = std::max(best, p.points[i].x);
        return best;
    };
    EXPECT_GT(topRight(lean), topRight(up) + 10);
}

TEST(FontFile, AFaceThatIsNotInstalledFallsBackToAnInstalledOne) {
    Font f("ADMUI3Sm", 10);
    ASSERT_NE(f.get(), nullptr);
    ZolFontInfo info = f.info();
    EXPECT_GT(std::strlen(info.file), 0u);
    // The pitch and family lead the fallback: a roman face asks for serifs.
    LOGFONTA lf = logFont("No Such Face At All", -20);
    lf.lfPitchAndFamily = FF_ROMAN | VARIABLE_PITCH;
    Font roman(lf);
    lf.lfPitchAndFamily = FF_MODERN | FIXED_PITCH;
    Font modern(lf);
    EXPECT_NE(std::string(roman.info().family).find("Serif"), std::string::npos) << roman.info().family;
    EXPECT_NE(std::string(modern.info().family).find("Mono"), std::string::npos) << modern.info().family;
}

// ---------------------------------------------------------------- metrics

struct MetricCase {
    const char* face;
    LONG height;
    LONG weight;
};

class Metrics : public ::testing::TestWithParam<MetricCase> {};

TEST_P(Metrics, AgreeWithTheFontFile) {
    const MetricCase& c = GetParam();
    Font f(c.face, c.height, c.weight);
    FaceFile file(f.info());
    ASSERT_NE(file.get(), nullptr);
    TT_OS2* os2 = file.os2();
    ASSERT_NE(os2, nullptr);
    const double upem = file->units_per_EM, cell = os2->usWinAscent + os2->usWinDescent;
    // Negative heights are the em (character height), positive ones the cell.
    const double scale = c.height < 0 ? -c.height / upem : c.height / cell;

    Surface s(4, 4);
    s.use(f);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(s.dc(), &tm));
    EXPECT_EQ(tm.tmAscent, roundHalfUp(os2->usWinAscent * scale));
    EXPECT_NEAR(tm.tmDescent, os2->usWinDescent * scale, 1.0);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    if (c.height > 0)
        EXPECT_EQ(tm.tmHeight, c.height);
    else
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -c.height);
    EXPECT_EQ(tm.tmAveCharWidth, roundHalfUp(os2->xAvgCharWidth * scale));
    EXPECT_EQ(tm.tmMaxCharWidth, roundHalfUp(file->max_advance_width * scale));
    EXPECT_EQ(tm.tmWeight, c.weight);

    // Extents: whole-pixel advances added up, and the cell's height.
    const char* text = "Wavy fig0.";
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(s.dc(), text, static_cast<int>(std::strlen(text)), &size));
    long expected = 0;
    for (const char* p = text; *p; ++p) expected += roundHalfUp(file.advance(static_cast<unsigned char>(*p)) * scale);
    EXPECT_EQ(size.cx, expected);
    EXPECT_EQ(size.cy, tm.tmHeight);
    SIZE one{};
    ASSERT_TRUE(GetTextExtentPointA(s.dc(), "W", 1, &one));
    EXPECT_EQ(one.cx, roundHalfUp(file.advance('W') * scale));
}

INSTANTIATE_TEST_SUITE_P(Sizes, Metrics,
                         ::testing::Values(MetricCase{"Arial", -16, 400}, MetricCase{"Arial", 14, 400},
                                           MetricCase{"Arial", -13, 700}, MetricCase{"Arial", -128, 400},
                                           MetricCase{"Times New Roman", -27, 400},
                                           MetricCase{"Times New Roman", 40, 700},
                                           MetricCase{"Courier New", -10, 400},
                                           MetricCase{"Courier New", 333, 400}));

TEST(Metrics, KnownFiguresOfFourteenPixelArial) {
    // The digitalizer's initial symbols: a 14-pixel cell of Arial.
    Font f("Arial", 14);
    Surface s(4, 4);
    s.use(f);
    SIZE space{}, zero{};
    ASSERT_TRUE(GetTextExtentPoint32A(s.dc(), " ", 1, &space));
    ASSERT_TRUE(GetTextExtentPoint32A(s.dc(), "0", 1, &zero));
    EXPECT_EQ(space.cx, 3);
    EXPECT_EQ(space.cy, 14);
    EXPECT_EQ(zero.cx, 7);
    EXPECT_EQ(zero.cy, 14);
    char face[64] = {};
    EXPECT_GT(GetTextFaceA(s.dc(), sizeof face, face), 0);
    EXPECT_STREQ(face, "Liberation Sans");
}

TEST(Metrics, ZeroCountMeasuresNothingButTheHeight) {
    Font f("Arial", -20);
    Surface s(4, 4);
    s.use(f);
    SIZE size{99, 99};
    ASSERT_TRUE(GetTextExtentPoint32A(s.dc(), "", 0, &size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_GT(size.cy, 20);
}

// ---------------------------------------------------------------- bad input

struct HeightCase {
    LONG height;
    LONG cellAtLeast;
    LONG cellAtMost;
};

class OddHeights : public ::testing::TestWithParam<HeightCase> {};

TEST_P(OddHeights, AreClampedToUsableFonts) {
    const HeightCase& c = GetParam();
    Font f("Arial", c.height);
    ASSERT_NE(f.get(), nullptr);
    Surface s(16, 16);
    s.use(f);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(s.dc(), &tm));
    EXPECT_GE(tm.tmHeight, c.cellAtLeast);
    EXPECT_LE(tm.tmHeight, c.cellAtMost);
    EXPECT_TRUE(TextOutA(s.dc(), 0, 0, "Ag", 2));
    Path p = charPath(s.dc(), 'A');
    for (const POINT& pt : p.points) EXPECT_LT(std::abs(pt.y), 100000);
}

INSTANTIATE_TEST_SUITE_P(Heights, OddHeights,
                         ::testing::Values(HeightCase{0, 10, 30}, HeightCase{1, 1, 1}, HeightCase{-1, 1, 2},
                                           HeightCase{100000, 16384, 16384},
                                           HeightCase{-100000, 16384, 20000},
                                           HeightCase{INT32_MIN, 16384, 20000}));

TEST(BadFontInput, UnterminatedFaceNameIsReadToItsThirtyTwoBytes) {
    LOGFONTA lf = logFont("", -20);
    std::memset(lf.lfFaceName, 'A', sizeof lf.lfFaceName);
    // What follows the record must not be read: keep it in a larger buffer
    // whose next bytes would change the name.
    struct {
        LOGFONTA lf;
        char after[8];
    } block;
    block.lf = lf;
    std::memcpy(block.after, "rialXXX", 8);
    HFONT a = CreateFontIndirectA(&block.lf);
    std::memcpy(block.after, "Other!!", 8);
    HFONT b = CreateFontIndirectA(&block.lf);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    LOGFONTA back{};
    EXPECT_EQ(GetObjectA(a, sizeof back, &back), static_cast<int>(sizeof back));
    EXPECT_EQ(std::memcmp(back.lfFaceName, lf.lfFaceName, LF_FACESIZE), 0);
    ZolFontInfo ia{}, ib{};
    ASSERT_TRUE(ZolGetFontInfo(a, &ia));
    ASSERT_TRUE(ZolGetFontInfo(b, &ib));
    EXPECT_STREQ(ia.file, ib.file);
    DeleteObject(a);
    DeleteObject(b);
}

TEST(BadFontInput, NullRecordsAndUnknownCharacterSets) {
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // An unknown character set reads its bytes as ANSI.
    Font unknown("Arial", -40, FW_NORMAL, false, 99);
    Font ansi("Arial", -40);
    ASSERT_NE(unknown.get(), nullptr);
    Path u = fontCharPath(unknown, 0xC0), a = fontCharPath(ansi, 0xC0);
    EXPECT_EQ(u.points.size(), a.points.size());
    EXPECT_TRUE(std::equal(u.types.begin(), u.types.end(), a.types.begin()));
    HFONT byName = CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 2, 0, nullptr);
    EXPECT_NE(byName, nullptr);
    DeleteObject(byName);
}

// ---------------------------------------------------------------- code pages

struct CodePageCase {
    const char* face;
    BYTE charset;
    unsigned char byte;
    FT_ULong unicode;
};

class CodePages : public ::testing::TestWithParam<CodePageCase> {};

// The path of the byte is the outline of the code point it stands for in
// that character set: as many figures, the same box.
TEST_P(CodePages, ByteDrawsItsCodePointInTheCharacterSet) {
    const CodePageCase& c = GetParam();
    const LONG height = -200;
    Font f(c.face, height, FW_NORMAL, false, c.charset);
    FaceFile file(f.info());
    ASSERT_NE(file.get(), nullptr);
    FT_UInt glyph = FT_Get_Char_Index(file.get(), c.unicode);
    ASSERT_NE(glyph, 0u) << "the face has no glyph for U+" << std::hex << c.unicode;
    ASSERT_EQ(FT_Load_Glyph(file.get(), glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
    FT_BBox box;
    FT_Outline_Get_CBox(&file->glyph->outline, &box);

    Path p = fontCharPath(f, c.byte);
    ASSERT_GT(p.points.size(), 1u);
    int figures = 0;
    for (size_t i = 1; i < p.types.size(); ++i) figures += p.types[i] == PT_MOVETO;
    EXPECT_EQ(figures, file->glyph->outline.n_contours);

    Surface s(4, 4);
    s.use(f);
    TEXTMETRICA tm{};
    GetTextMetricsA(s.dc(), &tm);
    const double k = -height / static_cast<double>(file->units_per_EM);
    Box b = boxOf(p, 1);
    EXPECT_NEAR(b.left, box.xMin * k, 1.5);
    EXPECT_NEAR(b.right, box.xMax * k, 1.5);
    EXPECT_NEAR(b.top, tm.tmAscent - box.yMax * k, 1.5);
    EXPECT_NEAR(b.bottom, tm.tmAscent - box.yMin * k, 1.5);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, CodePages,
    ::testing::Values(CodePageCase{"Arial", RUSSIAN_CHARSET, 0xC0, 0x0410},  // Cyrillic capital A
                      CodePageCase{"Arial", ANSI_CHARSET, 0xC0, 0x00C0},     // A with grave
                      CodePageCase{"Arial", DEFAULT_CHARSET, 0xC0, 0x00C0},
                      CodePageCase{"Arial", RUSSIAN_CHARSET, 0xFF, 0x044F},  // ya
                      CodePageCase{"Arial", EASTEUROPE_CHARSET, 0xA3, 0x0141},
                      CodePageCase{"Arial", GREEK_CHARSET, 0xD3, 0x03A3},
                      CodePageCase{"Arial", TURKISH_CHARSET, 0xD0, 0x011E},
                      CodePageCase{"Arial", HEBREW_CHARSET, 0xE0, 0x05D0},
                      CodePageCase{"DejaVu Sans", ARABIC_CHARSET, 0xC8, 0x0628},
                      CodePageCase{"Arial", BALTIC_CHARSET, 0xC0, 0x0104},
                      CodePageCase{"Arial", ANSI_CHARSET, 0x80, 0x20AC},  // euro sign
                      CodePageCase{"Arial", SYMBOL_CHARSET, 'B', 'B'}));

TEST(CodePages, ByteWithoutAGlyphIsTheMissingGlyph) {
    // 0x81 is not defined in the ANSI code page; 0x90 neither.
    Font f("Arial", -60);
    Path a = fontCharPath(f, 0x81), b = fontCharPath(f, 0x90);
    ASSERT_GT(a.points.size(), 5u);
    ASSERT_EQ(a.points.size(), b.points.size());
    for (size_t i = 0; i < a.points.size(); ++i) {
        EXPECT_EQ(a.points[i].x, b.points[i].x);
        EXPECT_EQ(a.points[i].y, b.points[i].y);
    }
    FaceFile file(f.info());
    Surface s(4, 4);
    s.use(f);
    SIZE size{};
    GetTextExtentPoint32A(s.dc(), "\x81", 1, &size);
    FT_Fixed notdef = 0;
    FT_Get_Advance(file.get(), 0, FT_LOAD_NO_SCALE, &notdef);
    EXPECT_EQ(size.cx, roundHalfUp(notdef * 60.0 / file->units_per_EM));
}

// ---------------------------------------------------------------- ink

struct InkCase {
    const char* face;
    LONG weight;
    bool italic;
    int size;  // output pixels to the em
};

class Ink : public ::testing::TestWithParam<InkCase> {};

// Length of the path's polygon through all its points, control points
// included: no shorter than the outline itself.
double polygonLength(const Path& p) {
    double len = 0;
    size_t start = 0;
    for (size_t i = 1; i <= p.points.size(); ++i) {
        bool next = i == p.points.size() || p.types[i] == PT_MOVETO;
        const POINT& a = p.points[i - 1];
        const POINT& b = next ? p.points[start] : p.points[i];
        len += std::hypot(b.x - a.x, b.y - a.y);
        if (next) start = i;
    }
    return len;
}

// The glyph engine fills paths at 8x and averages 8 x 8 samples; that must
// give the ink FreeType's own antialiasing gives at the output size. The
// path's points are whole samples, so an edge may move by up to half a
// sample: thin strokes of small sizes stray the most.
TEST_P(Ink, FilledAtEightTimesMatchesFreeTypeRendering) {
    const InkCase& c = GetParam();
    Font f(c.face, -8 * c.size, c.weight, c.italic);
    ASSERT_NE(f.get(), nullptr);
    FaceFile file(f.info());
    ASSERT_NE(file.get(), nullptr);
    const double each = std::max(0.04, 1.0 / c.size);
    double deviation = 0;
    // Curves and counters, thin strokes, diagonals, dots.
    const std::string chars = "oeg@&WiaS%1";
    for (unsigned char ch : chars) {
        double expected = file.renderedInk(ch, c.size);
        double filled = filledInk(f, ch, false) / 64.0;
        ASSERT_GT(expected, 1.0);
        EXPECT_NEAR(filled / expected, 1.0, each) << "'" << ch << "': " << filled << " against " << expected;
        deviation += std::fabs(filled / expected - 1.0);
        // The default pen adds a one-sample line along the outline: at
        // most one sample for each sample of outline, outside the fill.
        long fillSamples = filledInk(f, ch, false), strokeSamples = filledInk(f, ch, true);
        EXPECT_GE(strokeSamples, fillSamples);
        EXPECT_LE(strokeSamples - fillSamples, polygonLength(fontCharPath(f, ch))) << "'" << ch << "'";
    }
    // FreeType's rasteriser cuts curves a little at small sizes, so even the
    // exact area is a percent or two above its figure there.
    EXPECT_LT(deviation / chars.size(), 0.03);
}

INSTANTIATE_TEST_SUITE_P(Faces, Ink,
                         ::testing::Values(InkCase{"Arial", FW_NORMAL, false, 12}, InkCase{"Arial", FW_NORMAL, false, 24},
                                           InkCase{"Arial", FW_BOLD, false, 16}, InkCase{"Arial", FW_NORMAL, true, 20},
                                           InkCase{"Times New Roman", FW_NORMAL, false, 18},
                                           InkCase{"Times New Roman", FW_BOLD, true, 30},
                                           InkCase{"Courier New", FW_NORMAL, false, 14},
                                           InkCase{"DejaVu Sans", FW_NORMAL, false, 40}));

}  // namespace
