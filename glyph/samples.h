// Reads the pixels of the bitmap selected into a DC straight from its store,
// answering exactly what GetPixel would: the colour inside the bitmap,
// CLR_INVALID outside it. Without a readable store it asks GetPixel.
#pragma once

#include "platform/gdi/gdi.h"

namespace glyph::detail {

class BitmapSamples {
public:
    explicit BitmapSamples(HDC dc) : dc_(dc) {
        HGDIOBJ current = GetCurrentObject(dc, OBJ_BITMAP);
        if (current && ZolGetBitmapBits(static_cast<HBITMAP>(current), &bits_) && bits_.bits &&
            (bits_.bitsPerPixel == 1 || bits_.bitsPerPixel == 32))
            direct_ = true;
    }

    COLORREF pixel(int x, int y) const {
        if (!direct_) return GetPixel(dc_, x, y);
        if (x < 0 || y < 0 || x >= bits_.width || y >= bits_.height) return CLR_INVALID;
        const auto* row = static_cast<const unsigned char*>(bits_.bits) +
                          static_cast<ptrdiff_t>(y) * bits_.stride;
        if (bits_.bitsPerPixel == 1)
            return (row[x >> 3] & (0x80u >> (x & 7))) ? 0x00FFFFFFu : 0u;
        uint32_t p = reinterpret_cast<const uint32_t*>(row)[x];
        return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
    }
    // A sample is ink when its pixel is anything but pure white.
    bool isSet(int x, int y) const { return pixel(x, y) != 0x00FFFFFFu; }
    int lowByte(int x, int y) const { return static_cast<int>(pixel(x, y) & 0xFFu); }

    // Row access for the fast paths: null when the store cannot be read
    // directly or the row lies outside the bitmap.
    bool direct() const { return direct_; }
    int width() const { return direct_ ? bits_.width : 0; }
    int height() const { return direct_ ? bits_.height : 0; }
    int bitsPerPixel() const { return direct_ ? bits_.bitsPerPixel : 0; }
    const unsigned char* row(int y) const {
        if (!direct_ || y < 0 || y >= bits_.height) return nullptr;
        return static_cast<const unsigned char*>(bits_.bits) +
               static_cast<ptrdiff_t>(y) * bits_.stride;
    }

private:
    HDC dc_;
    ZolBitmapBits bits_{};
    bool direct_ = false;
};

}  // namespace glyph::detail
