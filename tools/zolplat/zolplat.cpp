// zolplat: looks at what the graphics services make of a font.
//
//   zolplat glyph-path --face NAME --height H [--weight W] [--italic] [--charset C] --char CODE
//       {"ascent", "points": [[x, y], ...], "types": [...]}: the path after a
//       move to (0, 0) and the one character drawn at (0, 0).
//   zolplat text-extent --face NAME --height H [--weight W] [--italic] --text TEXT
//       {"cx", "cy", "ascent", "height"}
//   zolplat fill --face NAME --height H --char CODE -o OUT.png
//       the glyph path stroked and filled black on white, as the glyph
//       engine fills it, written as a PNG.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

namespace {

struct FontArgs {
    std::string face = "Arial";
    int height = 0;
    int weight = FW_NORMAL;
    bool italic = false;
    int charset = ANSI_CHARSET;
};

void addFontOptions(CLI::App* app, FontArgs& f, bool withCharset) {
    app->add_option("--face", f.face, "face name")->required();
    app->add_option("--height", f.height, "LOGFONT height: negative character height, positive cell height")
        ->required();
    app->add_option("--weight", f.weight, "weight, 400 normal, 700 bold")->check(CLI::Range(0, 1000));
    app->add_flag("--italic", f.italic, "italic");
    if (withCharset) app->add_option("--charset", f.charset, "character set")->check(CLI::Range(0, 255));
}

// A character code as a number (decimal, or hex with 0x), or one byte.
bool parseChar(const std::string& s, unsigned char& out) {
    if (s.empty()) return false;
    try {
        size_t used = 0;
        long v = std::stol(s, &used, 0);
        if (used == s.size()) {
            if (v < 0 || v > 255) return false;
            out = static_cast<unsigned char>(v);
            return true;
        }
    } catch (...) {
    }
    if (s.size() != 1) return false;
    out = static_cast<unsigned char>(s[0]);
    return true;
}

HFONT makeFont(const FontArgs& f) {
    LOGFONTA lf{};
    lf.lfHeight = f.height;
    lf.lfWeight = f.weight;
    lf.lfItalic = f.italic ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(f.charset);
    lf.lfQuality = PROOF_QUALITY;
    std::strncpy(lf.lfFaceName, f.face.c_str(), LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

// The path of one character as the glyph engine asks for it.
struct GlyphPath {
    int ascent = 0;
    std::vector<POINT> points;
    std::vector<BYTE> types;
};

bool glyphPath(HDC dc, unsigned char ch, GlyphPath& out) {
    TEXTMETRICA tm{};
    if (!GetTextMetricsA(dc, &tm)) return false;
    out.ascent = tm.tmAscent;
    char text = static_cast<char>(ch);
    if (!BeginPath(dc) || !MoveToEx(dc, 0, 0, nullptr) || !TextOutA(dc, 0, 0, &text, 1) || !EndPath(dc))
        return false;
    int n = GetPath(dc, nullptr, nullptr, 0);
    if (n < 0) return false;
    out.points.resize(static_cast<size_t>(n));
    out.types.resize(static_cast<size_t>(n));
    if (n > 0 && GetPath(dc, out.points.data(), out.types.data(), n) != n) return false;
    return true;
}

int fail(const std::string& what) {
    std::cerr << "zolplat: " << what << "\n";
    return 1;
}

// A memory DC with the font selected; everything is released on destruction.
struct FontDC {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HFONT font = nullptr;
    HGDIOBJ oldFont = nullptr;
    explicit FontDC(const FontArgs& f) : font(makeFont(f)) {
        if (dc && font) oldFont = SelectObject(dc, font);
    }
    bool ok() const { return screen && dc && font && oldFont; }
    ~FontDC() {
        if (oldFont) SelectObject(dc, oldFont);
        if (font) DeleteObject(font);
        if (dc) DeleteDC(dc);
        if (screen) ReleaseDC(nullptr, screen);
    }
};

int glyphPathCommand(const FontArgs& f, const std::string& code) {
    unsigned char ch = 0;
    if (!parseChar(code, ch)) return fail("--char wants a code from 0 to 255 or one character");
    FontDC fd(f);
    if (!fd.ok()) return fail("cannot create the font");
    GlyphPath p;
    if (!glyphPath(fd.dc, ch, p)) return fail("cannot read the path");
    nlohmann::json points = nlohmann::json::array(), types = nlohmann::json::array();
    for (const POINT& pt : p.points) points.push_back({pt.x, pt.y});
    for (BYTE t : p.types) types.push_back(t);
    nlohmann::json out = {{"ascent", p.ascent}, {"points", points}, {"types", types}};
    std::cout << out.dump() << "\n";
    return 0;
}

int textExtentCommand(const FontArgs& f, const std::string& text) {
    FontDC fd(f);
    if (!fd.ok()) return fail("cannot create the font");
    SIZE size{};
    TEXTMETRICA tm{};
    if (text.size() > static_cast<size_t>(INT_MAX) ||
        !GetTextExtentPoint32A(fd.dc, text.data(), static_cast<int>(text.size()), &size) ||
        !GetTextMetricsA(fd.dc, &tm))
        return fail("cannot measure the text");
    nlohmann::json out = {{"cx", size.cx}, {"cy", size.cy}, {"ascent", tm.tmAscent}, {"height", tm.tmHeight}};
    std::cout << out.dump() << "\n";
    return 0;
}

int fillCommand(const FontArgs& f, const std::string& code, const std::string& output) {
    unsigned char ch = 0;
    if (!parseChar(code, ch)) return fail("--char wants a code from 0 to 255 or one character");
    FontDC fd(f);
    if (!fd.ok()) return fail("cannot create the font");
    GlyphPath p;
    if (!glyphPath(fd.dc, ch, p)) return fail("cannot read the path");
    TEXTMETRICA tm{};
    SIZE size{};
    char text = static_cast<char>(ch);
    GetTextMetricsA(fd.dc, &tm);
    GetTextExtentPoint32A(fd.dc, &text, 1, &size);
    // The cell, grown to hold whatever of the glyph lies outside it, and a
    // pixel of white all round.
    long left = 0, top = 0, right = size.cx, bottom = tm.tmHeight;
    for (const POINT& pt : p.points) {
        left = std::min<long>(left, pt.x);
        top = std::min<long>(top, pt.y);
        right = std::max<long>(right, pt.x + 1);
        bottom = std::max<long>(bottom, pt.y + 1);
    }
    long w = right - left + 2, h = bottom - top + 2;
    if (w > 16384 || h > 16384) return fail("the glyph is too large to write");
    int dx = static_cast<int>(1 - left), dy = static_cast<int>(1 - top);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bm = CreateCompatibleBitmap(screen, static_cast<int>(w), static_cast<int>(h));
    if (!screen || !dc || !bm) return fail("cannot make the bitmap");
    HGDIOBJ oldBitmap = SelectObject(dc, bm);
    RECT all{0, 0, static_cast<LONG>(w), static_cast<LONG>(h)};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    std::vector<POINT> moved = p.points;
    for (POINT& pt : moved) pt.x += dx, pt.y += dy;
    BOOL ok = BeginPath(dc) && PolyDraw(dc, moved.data(), p.types.data(), static_cast<int>(moved.size())) &&
              EndPath(dc) && StrokeAndFillPath(dc);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldBitmap);
    if (ok) ok = ZolSaveBitmapPng(bm, output.c_str());
    DeleteObject(bm);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return ok ? 0 : fail("cannot write " + output);
}

}  // namespace

// zolplat layout (layout_command.cpp): the library's display lines.
CLI::App* addLayoutCommand(CLI::App& app);
int runLayoutCommand();

int main(int argc, char** argv) {
    CLI::App app{"zolplat: fonts, paths and fills of the graphics services"};
    app.require_subcommand(1);

    FontArgs pathFont, extentFont, fillFont;
    std::string pathChar, extentText, fillChar, fillOut;

    auto* path = app.add_subcommand("glyph-path", "the path of one character, as JSON");
    addFontOptions(path, pathFont, true);
    path->add_option("--char", pathChar, "character code")->required();

    auto* extent = app.add_subcommand("text-extent", "the extent of a text, as JSON");
    addFontOptions(extent, extentFont, true);
    extent->add_option("--text", extentText, "the text, one byte a character")->required();

    auto* fill = app.add_subcommand("fill", "the filled glyph path, as a PNG");
    addFontOptions(fill, fillFont, true);
    fill->add_option("--char", fillChar, "character code")->required();
    fill->add_option("-o,--output", fillOut, "PNG file to write")->required();

    auto* layout = addLayoutCommand(app);

    CLI11_PARSE(app, argc, argv);
    try {
        if (*path) return glyphPathCommand(pathFont, pathChar);
        if (*extent) return textExtentCommand(extentFont, extentText);
        if (*fill) return fillCommand(fillFont, fillChar, fillOut);
        if (*layout) return runLayoutCommand();
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    return 1;
}
