#include "support.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/richedit/richedit.h"

namespace glyphtest {

int64_t Frame::alphaSum() const {
    int64_t s = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) s += bytes[4 * (static_cast<size_t>(y) * pixelsPerRow + x)];
    return s;
}

int Frame::inkedPixels() const {
    int n = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (bytes[4 * (static_cast<size_t>(y) * pixelsPerRow + x)]) ++n;
    return n;
}

bool Frame::inkBox(int& left, int& top, int& right, int& bottom) const {
    bool any = false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (!bytes[4 * (static_cast<size_t>(y) * pixelsPerRow + x)]) continue;
            if (!any) {
                left = right = x;
                top = bottom = y;
                any = true;
            }
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    return any;
}

double Frame::centreX() const {
    double s = 0, w = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int a = bytes[4 * (static_cast<size_t>(y) * pixelsPerRow + x)];
            s += a * x;
            w += a;
        }
    return w ? s / w : -1;
}

double Frame::centreY() const {
    double s = 0, w = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int a = bytes[4 * (static_cast<size_t>(y) * pixelsPerRow + x)];
            s += a * y;
            w += a;
        }
    return w ? s / w : -1;
}

WorkDC::WorkDC(int width, int height, int bitsPerPixel) : width_(width), height_(height) {
    screen_ = GetDC(nullptr);
    memory_ = CreateCompatibleDC(screen_);
    // A fresh memory DC makes one-bit bitmaps; the screen makes 32-bit ones.
    bitmap_ = CreateCompatibleBitmap(bitsPerPixel == 1 ? memory_ : screen_, width, height);
    previous_ = SelectObject(memory_, bitmap_);
    RECT r{0, 0, width, height};
    FillRect(memory_, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    // The fills use the black brush, as the renderers select it.
    previousBrush_ = SelectObject(memory_, GetStockObject(BLACK_BRUSH));
}

WorkDC::~WorkDC() {
    SelectObject(memory_, previousBrush_);
    SelectObject(memory_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(memory_);
    ReleaseDC(nullptr, screen_);
}

void WorkDC::black(int left, int top, int right, int bottom) {
    RECT r{left, top, right, bottom};
    FillRect(memory_, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

int WorkDC::blackCount() const {
    int n = 0;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (GetPixel(memory_, x, y) != 0x00FFFFFF) ++n;
    return n;
}

namespace {

struct Source {
    const std::string* text;
    size_t at = 0;
};

DWORD readSource(UINT_PTR cookie, BYTE* buffer, LONG size, LONG* transferred) {
    auto* s = reinterpret_cast<Source*>(cookie);
    const size_t n = std::min<size_t>(static_cast<size_t>(size), s->text->size() - s->at);
    std::memcpy(buffer, s->text->data() + s->at, n);
    s->at += n;
    *transferred = static_cast<LONG>(n);
    return 0;
}

}  // namespace

LayoutWindow::LayoutWindow(const std::string& rtf, int width, int height) {
    ZolRegisterRichEditClass();
    window_ = CreateWindowExA(0, RICHEDIT_CLASSA, "", 0, 0, 0, width, height, nullptr, nullptr,
                              nullptr, nullptr);
    if (!window_) return;
    SendMessageA(window_, EM_SETWRAP, WRAP_TO_WINDOW, 0);
    Source source{&rtf};
    EDITSTREAM stream{reinterpret_cast<UINT_PTR>(&source), 0, readSource};
    SendMessageA(window_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

LayoutWindow::~LayoutWindow() {
    if (window_) DestroyWindow(window_);
}

int LayoutWindow::lineCount() const {
    return static_cast<int>(SendMessageA(window_, EM_GETLINECOUNT, 0, 0));
}

std::string rtfText(const std::string& text, const std::string& face, int halfPoints,
                    COLORREF colour, bool bold, bool italic) {
    char head[512];
    std::snprintf(head, sizeof head,
                  "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss %s;}}{\\colortbl;\\red%u\\green%u\\blue%u;}"
                  "\\f0\\fs%d\\cf1%s%s ",
                  face.c_str(), GetRValue(colour), GetGValue(colour), GetBValue(colour), halfPoints,
                  bold ? "\\b" : "", italic ? "\\i" : "");
    std::string body;
    for (char c : text) {
        if (c == '\n')
            body += "\\par ";
        else if (c == '\t')
            body += "\\tab ";
        else if (c == '\\' || c == '{' || c == '}')
            body += std::string("\\") + c;
        else
            body += c;
    }
    return head + body + "}";
}

bool writePng(const Frame& frame, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, frame.width, frame.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(static_cast<size_t>(frame.width) * 4);
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const uint8_t* p = frame.bytes.data() + 4 * (static_cast<size_t>(y) * frame.pixelsPerRow + x);
            row[4 * x + 0] = p[1];
            row[4 * x + 1] = p[2];
            row[4 * x + 2] = p[3];
            row[4 * x + 3] = p[0];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return true;
}

std::string outputPath(const std::string& name) {
    const char* dir = std::getenv("GLYPH_TEST_OUT");
    return std::string(dir && *dir ? dir : GLYPH_TEST_OUT_DIR) + "/" + name;
}

}  // namespace glyphtest
