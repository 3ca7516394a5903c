// Small helpers the graphics tests share: owned DCs, bitmaps and fonts, and
// the path of one character as the glyph engine asks for it.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

namespace gditest {

inline LOGFONTA logFont(const char* face, LONG height, LONG weight = FW_NORMAL, bool italic = false,
                        BYTE charset = ANSI_CHARSET) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfItalic = italic ? 1 : 0;
    lf.lfCharSet = charset;
    lf.lfQuality = PROOF_QUALITY;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return lf;
}

class Font {
public:
    explicit Font(const LOGFONTA& lf) : h_(CreateFontIndirectA(&lf)) {}
    Font(const char* face, LONG height, LONG weight = FW_NORMAL, bool italic = false,
         BYTE charset = ANSI_CHARSET)
        : Font(logFont(face, height, weight, italic, charset)) {}
    ~Font() {
        if (h_) DeleteObject(h_);
    }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    HFONT get() const { return h_; }
    ZolFontInfo info() const {
        ZolFontInfo i{};
        EXPECT_TRUE(ZolGetFontInfo(h_, &i));
        return i;
    }

private:
    HFONT h_;
};

// A memory DC compatible with the screen, with a bitmap of the given depth
// (32: compatible with the screen; 1: with a fresh memory DC) filled white
// and the black brush selected, as the glyph engine sets up its work bitmaps.
class Surface {
public:
    Surface(int w, int h, int bits = 32) : screen_(GetDC(nullptr)), dc_(CreateCompatibleDC(screen_)) {
        bitmap_ = CreateCompatibleBitmap(bits == 32 ? screen_ : dc_, w, h);
        oldBitmap_ = SelectObject(dc_, bitmap_);
        RECT all{0, 0, w, h};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        oldBrush_ = SelectObject(dc_, GetStockObject(BLACK_BRUSH));
    }
    ~Surface() {
        if (font_) SelectObject(dc_, oldFont_);
        SelectObject(dc_, oldBrush_);
        SelectObject(dc_, oldBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        ReleaseDC(nullptr, screen_);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    void use(const Font& f) {
        HGDIOBJ old = SelectObject(dc_, f.get());
        if (!font_) oldFont_ = old;
        font_ = true;
    }
    // Pixels that are not pure white.
    long ink() const {
        ZolBitmapBits b{};
        EXPECT_TRUE(ZolGetBitmapBits(bitmap_, &b));
        long n = 0;
        for (int y = 0; y < b.height; ++y) {
            const auto* row = static_cast<const unsigned char*>(b.bits) + static_cast<size_t>(y) * b.stride;
            for (int x = 0; x < b.width; ++x) {
                if (b.bitsPerPixel == 1)
                    n += !(row[x >> 3] & (0x80 >> (x & 7)));
                else
                    n += (reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF) != 0xFFFFFF;
            }
        }
        return n;
    }

private:
    HDC screen_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ oldBitmap_, oldBrush_, oldFont_ = nullptr;
    bool font_ = false;
};

struct Path {
    std::vector<POINT> points;
    std::vector<BYTE> types;
};

// BeginPath, MoveToEx(0, 0), TextOutA of the one character at (x, y),
// EndPath, GetPath: the glyph engine's path of a character.
inline Path charPath(HDC dc, unsigned char ch, int x = 0, int y = 0, bool penMove = true) {
    Path p;
    char text = static_cast<char>(ch);
    EXPECT_TRUE(BeginPath(dc));
    if (penMove) {
        EXPECT_TRUE(MoveToEx(dc, 0, 0, nullptr));
    }
    EXPECT_TRUE(TextOutA(dc, x, y, &text, 1));
    EXPECT_TRUE(EndPath(dc));
    int n = GetPath(dc, nullptr, nullptr, 0);
    EXPECT_GE(n, 0);
    if (n <= 0) return p;
    p.points.resize(n);
    p.types.resize(n);
    EXPECT_EQ(GetPath(dc, p.points.data(), p.types.data(), n), n);
    return p;
}

inline Path fontCharPath(const Font& f, unsigned char ch) {
    Surface s(8, 8);
    s.use(f);
    return charPath(s.dc(), ch);
}

}  // namespace gditest
