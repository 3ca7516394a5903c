// The library's text-engine exports, called by name from the real
// ZOLQuillarine.DLL, each test with its own copy of the plug-in folder so
// the interchange files of parallel tests never meet.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "library/HideRichApi.h"
#include "platform/gdi/gdi.h"
#include "platform/richedit/richedit.h"

namespace fs = std::filesystem;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string fixture(const std::string& name) { return slurp(std::string(ZOL_RTF_FIXTURES) + "/" + name); }

// Rich text of one paragraph run list, for the small cases.
std::string rtf(const std::string& body) {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fmodern\\fprq1\\fcharset0 "
           "Courier New;}}{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green255\\blue255;}\\pard\\plain " +
           body + "}";
}

// Cell height and width of one character in a font, measured the way the
// library measures: a memory context compatible with the screen.
SIZE measure(const LOGFONTA& lf, const std::string& text) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HFONT font = CreateFontIndirectA(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE s{};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &s);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return s;
}

LOGFONTA font(const char* face, LONG height, bool bold = false) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = FF_SWISS;
    std::strcpy(lf.lfFaceName, face);
    return lf;
}

struct Api {
    CreateHideRichFn Create;
    ReloadHideRichFn Reload;
    DeleteHideRichFn Delete;
    GetCountHideRichFn Count;
    LineQueryFn Width, Height, AllHeight, Top, Left, Justify, Length;
    CharQueryFn HeightChar, WidthChar;
    GetWNDHideRichFn Wnd;
    GetWNDHideRich2Fn Wnd2;
    DrawCharHideRichFn DrawChar;
    DrawLineHideRichFn DrawLine, LineWidth;
};

class HideRich : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/zolhiderichXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        fs::create_symlink(std::string(ZOL_PLUGIN_DIR) + "/ZOLQuillarine.DLL", dir_ + "/ZOLQuillarine.DLL");
        // The plug-ins name the library in lower case; the platform finds it anyway.
        module_ = LoadLibraryA((dir_ + "/zolquillarine.dll").c_str());
        ASSERT_NE(module_, nullptr);
        auto get = [&](const char* name) {
            FARPROC p = GetProcAddress(module_, name);
            EXPECT_NE(p, nullptr) << name;
            return p;
        };
        api_.Create = reinterpret_cast<CreateHideRichFn>(get("CreateHideRich"));
        api_.Reload = reinterpret_cast<ReloadHideRichFn>(get("ReloadHideRich"));
        api_.Delete = reinterpret_cast<DeleteHideRichFn>(get("DeleteHideRich"));
        api_.Count = reinterpret_cast<GetCountHideRichFn>(get("GetCountHideRich"));
        api_.Width = reinterpret_cast<LineQueryFn>(get("GetWidthLineHideRich"));
        api_.Height = reinterpret_cast<LineQueryFn>(get("GetHeightLineHideRich"));
        api_.AllHeight = reinterpret_cast<LineQueryFn>(get("GetAllHeightLineHideRich"));
        api_.Top = reinterpret_cast<LineQueryFn>(get("GetTopLineHideRich"));
        api_.Left = reinterpret_cast<LineQueryFn>(get("GetLeftLineHideRich"));
        api_.Justify = reinterpret_cast<LineQueryFn>(get("GetJustifyLineHideRich"));
        api_.Length = reinterpret_cast<LineQueryFn>(get("GetLengthLineHideRich"));
        api_.HeightChar = reinterpret_cast<CharQueryFn>(get("GetHeightCharHideRich"));
        api_.WidthChar = reinterpret_cast<CharQueryFn>(get("GetWidthCharHideRich"));
        api_.Wnd = reinterpret_cast<GetWNDHideRichFn>(get("GetWNDHideRich"));
        api_.Wnd2 = reinterpret_cast<GetWNDHideRich2Fn>(get("GetWNDHideRich2"));
        api_.DrawChar = reinterpret_cast<DrawCharHideRichFn>(get("DrawCharHideRich"));
        api_.DrawLine = reinterpret_cast<DrawLineHideRichFn>(get("DrawLineHideRich"));
        api_.LineWidth = reinterpret_cast<DrawLineHideRichFn>(get("GetLineWidthHideRich"));
    }
    void TearDown() override {
        for (HideRichDocument d : docs_) api_.Delete(d);
        if (module_) FreeLibrary(module_);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    void write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ + "/" + name, std::ios::binary) << bytes;
    }
    HideRichDocument create(const std::string& text, int32_t width = 1000, double scale = 1.0, int32_t wrap = 1,
                            int32_t invertMode = 0, double invertChance = 0, int32_t randomBase = 0) {
        write("stream.tmp", text);
        HideRichDocument d = api_.Create(nullptr, width, 400, wrap, scale, 1.0, invertChance, invertMode, randomBase);
        EXPECT_NE(d, 0u);
        docs_.push_back(d);
        return d;
    }
    std::string lineText(HideRichDocument d, int32_t line) {
        HWND w = api_.Wnd(d);
        auto start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
        char buf[512] = {};
        TEXTRANGEA r{{static_cast<LONG>(start), static_cast<LONG>(start + api_.Length(d, line))}, buf, sizeof buf};
        SendMessageA(w, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&r));
        return buf;
    }

    std::string dir_;
    HMODULE module_ = nullptr;
    Api api_{};
    std::vector<HideRichDocument> docs_;
};

// ---------------------------------------------------------------- records

TEST_F(HideRich, EmptyMiddleLineHoldsOneSpaceAsHighAsItsFontPlusOne) {
    HideRichDocument d = create(fixture("a_two_breaks_b.rtf"));
    ASSERT_EQ(api_.Count(d), 3);
    EXPECT_EQ(api_.Length(d, 1), 1);
    EXPECT_EQ(lineText(d, 1), " ");
    // The paragraph mark of the empty line is 20 point, A and B are 12 point.
    SIZE space = measure(font("Arial", -27), " ");
    SIZE a = measure(font("Arial", -16), "A");
    EXPECT_EQ(api_.Height(d, 1), space.cy + 1);
    EXPECT_EQ(api_.Height(d, 0), a.cy + 1);
    EXPECT_NE(space.cy, a.cy);
    EXPECT_EQ(api_.Top(d, 2), (api_.Height(d, 0) - 1) + (api_.Height(d, 1) - 1));
    // The space stays in the text the plug-ins read.
    HWND w = api_.Wnd(d);
    char text[32] = {};
    SendMessageA(w, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "A\r\n \r\nB");
}

TEST_F(HideRich, TrailingBreakGivesNoExtraLine) {
    HideRichDocument d = create(fixture("trailing_break.rtf"));
    EXPECT_EQ(api_.Count(d), 1);
    EXPECT_EQ(api_.Length(d, 0), 5);
    EXPECT_EQ(api_.Height(d, 1), 0);
    EXPECT_EQ(api_.Justify(d, 1), -1);
}

TEST_F(HideRich, OneLineHiAtTwentyPoints) {
    HideRichDocument d = create(rtf("\\f0\\fs40 Hi"));
    EXPECT_EQ(api_.Count(d), 1);
    EXPECT_EQ(api_.Length(d, 0), 2);
    EXPECT_EQ(api_.Top(d, 0), 0);
    LOGFONTA lf = font("Arial", -27);
    EXPECT_EQ(api_.Height(d, 0), measure(lf, "H").cy + 1);
    EXPECT_EQ(api_.Width(d, 0), measure(lf, "H").cx + measure(lf, "i").cx);
    EXPECT_EQ(api_.AllHeight(d, 0), 2 * measure(lf, "H").cy);
}

TEST_F(HideRich, StartPositionsFollowSoftWrapsAndSkipTwoAtBreaks) {
    // Every character that a wrong start would land on has a size of its own.
    HideRichDocument d = create(rtf("\\f0\\fs20 aaaa \\fs40 b\\fs24 bbb\\par\\fs60 c\\fs28 ccc"), 60);
    ASSERT_EQ(api_.Count(d), 3);
    EXPECT_EQ(lineText(d, 0), "aaaa ");
    EXPECT_EQ(lineText(d, 1), "bbbb");
    EXPECT_EQ(lineText(d, 2), "cccc");
    auto cell = [](int points) { return measure(font("Arial", -((points * 96 + 36) / 72)), "b").cy; };
    EXPECT_EQ(api_.HeightChar(d, 1, 0), cell(20));
    EXPECT_EQ(api_.HeightChar(d, 1, 1), cell(12));
    EXPECT_EQ(api_.HeightChar(d, 2, 0), cell(30));
    EXPECT_EQ(api_.HeightChar(d, 2, 1), cell(14));
    // The window agrees: one position per character, two per break.
    HWND w = api_.Wnd(d);
    EXPECT_EQ(SendMessageA(w, EM_LINEINDEX, 1, 0), 5);
    EXPECT_EQ(SendMessageA(w, EM_LINEINDEX, 2, 0), 11);
}

TEST_F(HideRich, TabCountsFourTimesItsExtent) {
    HideRichDocument d = create(rtf("\\f0\\fs24 a\\tab b"));
    LOGFONTA lf = font("Arial", -16);
    EXPECT_EQ(api_.Width(d, 0), measure(lf, "a").cx + 4 * measure(lf, "\t").cx + measure(lf, "b").cx);
    EXPECT_EQ(api_.Length(d, 0), 3);
}

struct ScaleCase {
    double scale;
    int fs;          // half points
    LONG recordPx;   // font height of the records
    LONG queryPx;    // font height of the character query
};

class HideRichScale : public HideRich, public ::testing::WithParamInterface<ScaleCase> {};

TEST_P(HideRichScale, RecordAndCharacterHeights) {
    const ScaleCase& c = GetParam();
    HideRichDocument d = create(rtf("\\f0\\fs" + std::to_string(c.fs) + " X"), 1000, c.scale);
    EXPECT_EQ(api_.Height(d, 0), measure(font("Arial", c.recordPx), "X").cy + 1);
    LOGFONTA q = font("Arial", c.queryPx);
    q.lfQuality = DEFAULT_QUALITY;
    EXPECT_EQ(api_.HeightChar(d, 0, 0), measure(q, "X").cy);
}

INSTANTIATE_TEST_SUITE_P(
    Scales, HideRichScale,
    ::testing::Values(
        // 12 pt: records -Round(96 * 240 * s / 1440); queries H = 16, P = Round(16 * 72 * s / 96).
        ScaleCase{1.0, 24, -16, -16}, ScaleCase{0.5, 24, -8, -8},
        // 10 pt at 2.0: H = 13, P = Round(19.5) = 20, height -MulDiv(20, 96, 72) = -27.
        ScaleCase{2.0, 20, -27, -27},
        // 11 pt at 1.5: H = 15, P = Round(16.875) = 17 → -23; records Round(22.0) = 22.
        ScaleCase{1.5, 22, -22, -23}));

TEST_F(HideRich, AllHeightOfLastLineSumsEveryCharacterInsertedSpacesIncluded) {
    HideRichDocument d = create(rtf("\\f0\\fs24 ab\\par\\par cde"));
    ASSERT_EQ(api_.Count(d), 3);
    LOGFONTA lf = font("Arial", -16);
    int cy = measure(lf, "a").cy;
    EXPECT_EQ(api_.AllHeight(d, 0), 2 * cy);
    EXPECT_EQ(api_.AllHeight(d, 1), 3 * cy);
    EXPECT_EQ(api_.AllHeight(d, 2), 6 * cy);
}

TEST_F(HideRich, JustificationAndIndentPerLine) {
    HideRichDocument d = create(rtf("\\f0\\fs24 \\ql L\\par\\qc C\\par\\qr R\\par\\qj J\\par\\ql\\li720\\fi-360 I"),
                                1000, 1.5);
    ASSERT_EQ(api_.Count(d), 5);
    const int32_t expected[] = {0, 1, 2, 0, 0};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(api_.Justify(d, i), expected[i]) << i;
    EXPECT_EQ(api_.Left(d, 0), 0);
    // Start indent 360, offset 360 twips: 18 + 18 points, times 1.5.
    EXPECT_EQ(api_.Left(d, 4), 54);
}

TEST_F(HideRich, WordProcessorFileKeepsCharactersSizesColoursFacesAndAlignment) {
    HideRichDocument d = create(fixture("wordprocessor.rtf"), 2000);
    ASSERT_EQ(api_.Count(d), 6);
    EXPECT_EQ(lineText(d, 0), "Title line");
    EXPECT_EQ(lineText(d, 1), "Caf\xe9 and na\xefve text");
    EXPECT_EQ(lineText(d, 2), "\xcf\xf0\xe8\xe2\xe5\xf2 italic");
    EXPECT_EQ(lineText(d, 3), "Justified undergone");
    EXPECT_EQ(lineText(d, 4), " ");  // the picture's paragraph, now a space
    EXPECT_EQ(lineText(d, 5), "\x97 dash");
    const int32_t justify[] = {1, 0, 2, 0, 0, 0};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(api_.Justify(d, i), justify[i]) << i;

    HWND w = api_.Wnd(d);
    auto formatAt = [&](int line, int index) {
        auto start = SendMessageA(w, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
        CHARRANGE r{static_cast<LONG>(start + index), static_cast<LONG>(start + index + 1)};
        SendMessageA(w, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
        CHARFORMATA cf{};
        cf.cbSize = sizeof cf;
        SendMessageA(w, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        return cf;
    };
    CHARFORMATA title = formatAt(0, 0);
    EXPECT_STREQ(title.szFaceName, "Arial");
    EXPECT_EQ(title.yHeight, 320);
    EXPECT_EQ(title.dwEffects & CFE_BOLD, CFE_BOLD);
    EXPECT_EQ(title.crTextColor, RGB(255, 0, 0));
    CHARFORMATA body = formatAt(1, 0);
    EXPECT_STREQ(body.szFaceName, "Times New Roman");
    EXPECT_EQ(body.yHeight, 240);
    EXPECT_EQ(body.crTextColor, RGB(0, 128, 0));
    EXPECT_EQ(body.dwEffects, 0u);
    CHARFORMATA cyr = formatAt(2, 0);
    EXPECT_STREQ(cyr.szFaceName, "Courier New");
    EXPECT_EQ(cyr.bCharSet, RUSSIAN_CHARSET);
    EXPECT_EQ(cyr.bPitchAndFamily, FIXED_PITCH | FF_MODERN);
    EXPECT_EQ(cyr.yHeight, 200);
    EXPECT_EQ(cyr.crTextColor, RGB(0, 0, 255));
    EXPECT_EQ(formatAt(2, 8).dwEffects, static_cast<DWORD>(CFE_ITALIC));
    EXPECT_EQ(formatAt(3, 10).dwEffects, static_cast<DWORD>(CFE_UNDERLINE));
    EXPECT_EQ(formatAt(3, 15).dwEffects, static_cast<DWORD>(CFE_STRIKEOUT));
    // Indents: \li720\fi-360 gives 18 + 18 points.
    EXPECT_EQ(api_.Left(d, 1), 36);
}

TEST_F(HideRich, PlainTextTakesTheDefaultFormat) {
    HideRichDocument d = create("Vellomarchen Quillarine");
    ASSERT_EQ(api_.Count(d), 1);
    EXPECT_EQ(lineText(d, 0), "Vellomarchen Quillarine");
    HWND w = api_.Wnd(d);
    CHARRANGE r{0, 1};
    SendMessageA(w, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(w, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_STREQ(cf.szFaceName, "Arial");
    EXPECT_EQ(cf.yHeight, 200);
    EXPECT_EQ(cf.crTextColor, RGB(255, 0, 0));
    EXPECT_EQ(cf.bCharSet, RUSSIAN_CHARSET);
    // 10 point at 96 pixels per inch is a 13-pixel font.
    LOGFONTA lf = font("Arial", -13);
    lf.lfCharSet = RUSSIAN_CHARSET;
    lf.lfPitchAndFamily = 0;
    EXPECT_EQ(api_.Height(d, 0), measure(lf, "V").cy + 1);
}

// ---------------------------------------------------------------- files and widths

TEST_F(HideRich, NegativeWidthReadsTheSecondFileAtItsMagnitude) {
    write("Stream.tmp", rtf("\\f0\\fs24 first"));
    // Wraps at 300 pixels, not at 1000.
    std::string words;
    for (int i = 0; i < 30; ++i) words += "word ";
    write("stream2.tmp", rtf("\\f0\\fs24 " + words));
    HideRichDocument second = api_.Create(nullptr, -300, 400, 1, 1.0, 1.0, 0, 0, 0);
    docs_.push_back(second);
    HideRichDocument wide = api_.Create(nullptr, -1000, 400, 1, 1.0, 1.0, 0, 0, 0);
    docs_.push_back(wide);
    HideRichDocument first = api_.Create(nullptr, 0, 400, 1, 1.0, 1.0, 0, 0, 0);
    docs_.push_back(first);
    EXPECT_GT(api_.Count(second), api_.Count(wide));
    EXPECT_EQ(lineText(second, 0).substr(0, 5), "word ");
    for (int i = 0; i < api_.Count(second); ++i) EXPECT_LE(api_.Width(second, i), 300) << i;
    // Width 0 loads the first file; every word is broken at a character.
    EXPECT_EQ(lineText(first, 0), "f");
}

TEST_F(HideRich, NoWrapKeepsAParagraphOnOneLine) {
    std::string words;
    for (int i = 0; i < 30; ++i) words += "word ";
    HideRichDocument d = create(rtf("\\f0\\fs24 " + words), 100, 1.0, 0x100);  // only the low byte counts
    EXPECT_EQ(api_.Count(d), 1);
    EXPECT_EQ(api_.Length(d, 0), 150);
}

TEST_F(HideRich, MissingFileGivesAHandleWithNoLines) {
    HideRichDocument d = api_.Create(nullptr, 500, 400, 1, 1.0, 1.0, 0, 0, 0);
    docs_.push_back(d);
    ASSERT_NE(d, 0u);
    EXPECT_EQ(api_.Count(d), 0);
    for (int line : {-1, 0, 1}) {
        EXPECT_EQ(api_.Width(d, line), 0);
        EXPECT_EQ(api_.Height(d, line), 0);
        EXPECT_EQ(api_.Top(d, line), 0);
        EXPECT_EQ(api_.Left(d, line), 0);
        EXPECT_EQ(api_.AllHeight(d, line), 0);
        EXPECT_EQ(api_.Length(d, line), 0);
        EXPECT_EQ(api_.Justify(d, line), -1);
        EXPECT_EQ(api_.HeightChar(d, line, 0), 0);
        EXPECT_EQ(api_.WidthChar(d, line, 0), 0);
    }
    EXPECT_NE(api_.Wnd(d), nullptr);
}

TEST_F(HideRich, ReloadAlwaysReadsTheFirstFile) {
    write("Stream2.tmp", rtf("\\f0\\fs24 second"));
    write("Stream.tmp", rtf("\\f0\\fs24 one\\par two"));
    HideRichDocument d = api_.Create(nullptr, -500, 400, 1, 1.0, 1.0, 0, 0, 0);
    docs_.push_back(d);
    EXPECT_EQ(api_.Count(d), 1);
    EXPECT_EQ(api_.Reload(d, 1, 500, 400), 1);
    EXPECT_EQ(api_.Count(d), 2);
    EXPECT_EQ(lineText(d, 1), "two");
}

// ---------------------------------------------------------------- failures

TEST_F(HideRich, BadHandlesAndOutOfRangeArgumentsGiveTheFailureResult) {
    HideRichDocument good = create(rtf("\\f0\\fs24 ab"));
    HideRichDocument gone = create(rtf("\\f0\\fs24 cd"));
    ASSERT_EQ(api_.Delete(gone), 1);
    docs_.pop_back();
    HWND window = api_.Wnd(good);
    const HideRichDocument bad[] = {0u, 1u, 0xFFFFFFFFu, gone, HandleToField(window)};
    for (HideRichDocument b : bad) {
        EXPECT_EQ(api_.Count(b), 0);
        EXPECT_EQ(api_.Width(b, 0), 0);
        EXPECT_EQ(api_.Justify(b, 0), -1);
        EXPECT_EQ(api_.Length(b, 0), 0);
        EXPECT_EQ(api_.HeightChar(b, 0, 0), 0);
        EXPECT_EQ(api_.WidthChar(b, 0, 0), 0);
        EXPECT_EQ(api_.Wnd(b), nullptr);
        EXPECT_EQ(api_.Reload(b, 1, 100, 100), 0);
        EXPECT_EQ(api_.Delete(b), 0);
        uint32_t px[4] = {};
        EXPECT_EQ(api_.DrawChar(b, 0, 0, px, 2, 2, 0, 1), 0);
        EXPECT_EQ(api_.DrawLine(b, 0, px, 2, 2, 0, 0, 0, 1.0), 0);
        EXPECT_EQ(api_.LineWidth(b, 0, px, 2, 2, 0, 0, 0, 1.0), 0);
    }
    for (int32_t line : {-1, 1, INT_MAX, INT_MIN}) {
        EXPECT_EQ(api_.Width(good, line), 0);
        EXPECT_EQ(api_.Justify(good, line), -1);
        EXPECT_EQ(api_.Length(good, line), 0);
        EXPECT_EQ(api_.HeightChar(good, line, 0), 0);
        EXPECT_EQ(api_.LineWidth(good, line, nullptr, 0, 0, 0, 0, 0, 1.0), 0);
    }
    // Character indices are not checked against the line; far ones read the end.
    for (int32_t index : {-5, 2, 1000, INT_MAX, INT_MIN}) {
        EXPECT_GE(api_.HeightChar(good, 0, index), 0);
        EXPECT_GE(api_.WidthChar(good, 0, index), 0);
        uint32_t px[16] = {};
        EXPECT_EQ(api_.DrawChar(good, 0, index, px, 4, 4, 0, 0), 0);
    }
    // Buffers that are missing or have no pixels are never written.
    EXPECT_EQ(api_.DrawChar(good, 0, 0, nullptr, 10, 10, 0, 0), 0);
    uint32_t one = 0x12345678;
    EXPECT_EQ(api_.DrawLine(good, 0, &one, 0, 1, 0, 0, 0, 1.0), 0);
    EXPECT_EQ(api_.DrawLine(good, 0, &one, -4, -4, 0, 0, 0, 1.0), 0);
    EXPECT_EQ(one, 0x12345678u);
    EXPECT_EQ(api_.Wnd2(), nullptr);
}

TEST_F(HideRich, NegativeAndExtremeSizesNeverFail) {
    write("Stream.tmp", rtf("\\f0\\fs24 some words to wrap"));
    for (int32_t width : {INT_MIN, -1, 1, INT_MAX}) {
        HideRichDocument d = api_.Create(nullptr, width, -5, 1, 1.0, 1.0, 0, 0, 0);
        docs_.push_back(d);
        EXPECT_NE(d, 0u);
        EXPECT_GE(api_.Count(d), 0);
        EXPECT_EQ(api_.Reload(d, 1, -300, -1), 1);
        EXPECT_GE(api_.Count(d), 1);
    }
}

TEST_F(HideRich, DocumentsLeftUndeletedGoWithTheLibrary) {
    create(rtf("\\f0\\fs24 kept"));
    create(rtf("\\f0\\fs24 kept too"));
    docs_.clear();
    uint32_t before = ZolHandleCount(ZolKind_Window);
    ASSERT_TRUE(FreeLibrary(module_));
    module_ = nullptr;
    EXPECT_EQ(ZolHandleCount(ZolKind_Window), before - 2);
    EXPECT_EQ(ZolHandleCount(ZolKind_Document), 0u);
}

// ---------------------------------------------------------------- drawing

TEST_F(HideRich, WidthOfATabIsTheNextTabStop) {
    HideRichDocument d = create(rtf("\\f1\\fs24 \\tab ab\\tab c"));
    LOGFONTA lf = font("Courier New", -16);
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = FIXED_PITCH;
    int a = measure(lf, "a").cx;
    EXPECT_EQ(api_.WidthChar(d, 0, 0), 50);  // NextTab(0)
    EXPECT_EQ(api_.WidthChar(d, 0, 1), a);
    // NextTab(50 + 2a): 2a is below 50, so the stop after 50 is 100.
    ASSERT_LT(2 * a, 50);
    EXPECT_EQ(api_.WidthChar(d, 0, 3), 100);
}

TEST_F(HideRich, LineShiftedByAnOffsetMovesItsPixels) {
    HideRichDocument d = create(rtf("\\f1\\fs24\\cf1 MMM"));
    const int w = 80, h = 30;
    std::vector<uint32_t> plain(w * h, 0), shifted(w * h, 0);
    EXPECT_EQ(api_.DrawLine(d, 0, plain.data(), w, h, 0, 0, 0, 1.0), 0);
    EXPECT_EQ(api_.DrawLine(d, 0, shifted.data(), w, h, 15, 0, 0, 1.0), 0);
    int full = api_.LineWidth(d, 0, nullptr, 0, 0, 0, 0, 0, 1.0);
    EXPECT_EQ(api_.LineWidth(d, 0, nullptr, 0, 0, 15, 0, 0, 1.0), full - 15);
    int written = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x + 15 < w; ++x) {
            EXPECT_EQ(shifted[y * w + x], plain[y * w + x + 15]) << x << "," << y;
            written += plain[y * w + x + 15] != 0;
        }
    EXPECT_GT(written, 0);
    // Black text: colour bits 0, coverage in the top byte.
    for (uint32_t p : plain) EXPECT_EQ(p & 0x00FFFFFF, 0u);
}

TEST_F(HideRich, WhiteCharacterWritesNothingUnlessInverted) {
    HideRichDocument d = create(rtf("\\f0\\fs24\\cf2 W"));
    const int w = 30, h = 20;
    std::vector<uint32_t> px(w * h, 0);
    EXPECT_EQ(api_.DrawChar(d, 0, 0, px.data(), w, h, 0, 0), 0);
    for (uint32_t p : px) EXPECT_EQ(p, 0u);
    EXPECT_EQ(api_.DrawChar(d, 0, 0, px.data(), w, h, 0, 1), 0);
    int cx = api_.WidthChar(d, 0, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(px[y * w + x], x <= cx ? 0xFFFFFFFFu : 0u) << x << "," << y;
}

// The library's generator, to know what a line's one draw gives.
double firstDraw(uint32_t seed) {
    seed = seed * 134775813u + 1u;
    uint32_t r = static_cast<uint32_t>((static_cast<uint64_t>(seed) * 9998u) >> 32);
    return (r + 1) / 10000.0;
}

// Full coverage on the top row of a cell marks an inverted character (the
// glyphs never reach it).
std::vector<bool> invertedCells(const std::vector<uint32_t>& px, const std::vector<int>& lefts) {
    std::vector<bool> out;
    for (int x : lefts) out.push_back((px[x + 1] >> 24) == 255);
    return out;
}

struct InvertCase {
    const char* name;
    int32_t mode;
    double chance;
    int32_t afterTab;
    int32_t all;
    std::vector<bool> expected;  // per character of "ab.c\tde,f" except the tab
};

class HideRichInvert : public HideRich, public ::testing::WithParamInterface<InvertCase> {};

TEST_P(HideRichInvert, CellsInvertedByMode) {
    const InvertCase& c = GetParam();
    HideRichDocument d = create(rtf("\\f1\\fs24\\cf1 ab.c\\tab de,f"), 1000, 1.0, 1, c.mode, c.chance, 7);
    const int w = 200, h = 24;
    std::vector<uint32_t> px(w * h, 0);
    EXPECT_EQ(api_.DrawLine(d, 0, px.data(), w, h, 0, c.afterTab, c.all, 1.0), 0);
    // The tab is drawn as nothing but advances by its own extent.
    LOGFONTA lf = font("Courier New", -16);
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = FIXED_PITCH;
    std::vector<int> lefts;
    int x = 0;
    for (int i = 0; i < 9; ++i) {
        if (i == 4) {
            x += measure(lf, "\t").cx;
            continue;
        }
        lefts.push_back(x);
        x += api_.WidthChar(d, 0, i);
    }
    EXPECT_EQ(invertedCells(px, lefts), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, HideRichInvert,
    ::testing::Values(
        InvertCase{"none", 0, 1.0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}},
        InvertCase{"lettersNever", 1, 0.0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}},
        InvertCase{"lettersAlways", 1, 1.0, 0, 0, {1, 1, 0, 1, 1, 1, 0, 1}},
        InvertCase{"wordsAlways", 2, 1.0, 0, 0, {1, 1, 0, 1, 1, 1, 0, 1}},
        InvertCase{"linesAlways", 3, 1.0, 0, 0, {1, 1, 0, 1, 1, 1, 0, 1}},
        InvertCase{"afterTab", 0, 0.0, 1, 0, {0, 0, 0, 0, 1, 0, 0, 0}},
        InvertCase{"all", 0, 0.0, 0, 1, {1, 1, 0, 1, 1, 1, 0, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HideRich, LinesModeInvertsTheWholeLineByOneDraw) {
    // Line 1 seeds with 100 + base; a chance just above that draw inverts,
    // one just below does not.
    const int32_t base = 3;
    double r = firstDraw(100 + base);
    for (double chance : {r + 0.00005, r - 0.00005}) {
        HideRichDocument d = create(rtf("\\f1\\fs24\\cf1 x\\par ab.c"), 1000, 1.0, 1, 3, chance, base);
        const int w = 100, h = 24;
        std::vector<uint32_t> px(w * h, 0);
        api_.DrawLine(d, 1, px.data(), w, h, 0, 0, 0, 1.0);
        int cx = api_.WidthChar(d, 1, 0);
        bool on = chance > r;
        EXPECT_EQ(invertedCells(px, {0, cx, 2 * cx, 3 * cx}), (std::vector<bool>{on, on, false, on})) << chance;
    }
}

}  // namespace
