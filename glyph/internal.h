// Helpers shared by the engine's sources: conversions that never leave the
// integer range, work memory from the page allocator, and owners of the
// graphics objects a call creates.
#pragma once

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "platform/gdi/gdi.h"
#include "platform/win/winapi.h"

namespace glyph::detail {

// Truncation toward zero. Values beyond the int range (or NaN, which a
// zero-width image can feed into a jitter phase) are pinned instead of
// becoming undefined.
inline int trunc(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return INT_MAX;
    if (v <= -2147483648.0) return INT_MIN;
    return static_cast<int>(v);
}
inline int trunc(float v) { return trunc(static_cast<double>(v)); }

// Fraction of v: v less its whole part (negative for negative v).
inline float frac(float v) { return v - static_cast<float>(trunc(v)); }

// A channel or alpha value from an intermediate: truncated, limited to 0..255.
inline uint8_t toByte(double v) {
    if (!(v > 0.0)) return 0;
    if (v >= 255.0) return 255;
    return static_cast<uint8_t>(v);
}

// An output frame the renderers can write: rows at least as long as the
// image is wide.
inline bool validImage(int width, int height, int pixelsPerRow, const void* pixels) {
    return pixels && width > 0 && height > 0 && pixelsPerRow >= width;
}

// Work bitmaps a glyph or a text cell may ask for: each side below 32768
// pixels and at most 32 million of them (a glyph of about 700 output
// pixels at 8x), so a nonsense size fails cleanly instead of exhausting
// memory.
inline bool workBitmapFits(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width < (1 << 15) && height < (1 << 15) &&
           width * height <= (int64_t{1} << 25);
}

// Zero-filled pages, released when the owner goes.
class WorkMemory {
public:
    WorkMemory() = default;
    explicit WorkMemory(size_t bytes)
        : p_(bytes ? VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)
                   : nullptr),
          size_(p_ ? bytes : 0) {}
    ~WorkMemory() { reset(); }
    WorkMemory(WorkMemory&& o) noexcept : p_(std::exchange(o.p_, nullptr)), size_(o.size_) {}
    WorkMemory& operator=(WorkMemory&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
            size_ = o.size_;
        }
        return *this;
    }
    WorkMemory(const WorkMemory&) = delete;
    WorkMemory& operator=(const WorkMemory&) = delete;

    void reset() {
        if (p_) VirtualFree(p_, 0, MEM_RELEASE);
        p_ = nullptr;
        size_ = 0;
    }
    explicit operator bool() const { return p_ != nullptr; }
    template <class T = uint8_t>
    T* as() const {
        return static_cast<T*>(p_);
    }
    size_t size() const { return size_; }

private:
    void* p_ = nullptr;
    size_t size_ = 0;
};

// Bytes for `count` elements of `size`, 0 when the product would not fit.
inline size_t bytesFor(int64_t count, size_t size) {
    if (count <= 0) return 0;
    if (static_cast<uint64_t>(count) > (uint64_t{1} << 40) / size) return 0;
    return static_cast<size_t>(count) * size;
}

// The screen DC and a memory DC made from it, released in reverse order.
class DeviceContexts {
public:
    DeviceContexts() {
        screen_ = GetDC(nullptr);
        if (screen_) memory_ = CreateCompatibleDC(screen_);
    }
    ~DeviceContexts() {
        if (memory_) DeleteDC(memory_);
        if (screen_) ReleaseDC(nullptr, screen_);
    }
    DeviceContexts(const DeviceContexts&) = delete;
    DeviceContexts& operator=(const DeviceContexts&) = delete;
    explicit operator bool() const { return memory_ != nullptr; }
    HDC screen() const { return screen_; }
    HDC memory() const { return memory_; }

private:
    HDC screen_ = nullptr;
    HDC memory_ = nullptr;
};

// An object selected into a DC; the previous one is put back first and the
// object deleted after, when owned.
class Selection {
public:
    Selection() = default;
    Selection(HDC dc, HGDIOBJ object, bool owned) : dc_(dc), object_(object), owned_(owned) {
        if (dc_ && object_) previous_ = SelectObject(dc_, object_);
    }
    ~Selection() { reset(); }
    Selection(Selection&& o) noexcept
        : dc_(std::exchange(o.dc_, nullptr)),
          object_(std::exchange(o.object_, nullptr)),
          previous_(std::exchange(o.previous_, nullptr)),
          owned_(o.owned_) {}
    Selection& operator=(Selection&& o) noexcept {
        if (this != &o) {
            reset();
            dc_ = std::exchange(o.dc_, nullptr);
            object_ = std::exchange(o.object_, nullptr);
            previous_ = std::exchange(o.previous_, nullptr);
            owned_ = o.owned_;
        }
        return *this;
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    void reset() {
        if (dc_ && previous_) SelectObject(dc_, previous_);
        if (owned_ && object_) DeleteObject(object_);
        dc_ = nullptr;
        object_ = nullptr;
        previous_ = nullptr;
    }
    // True when the object exists and went into the DC.
    bool ok() const { return object_ && previous_; }

private:
    HDC dc_ = nullptr;
    HGDIOBJ object_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    bool owned_ = false;
};

// A font owned until the end of the scope (deleted after any selection of it
// has been undone, since selections are declared later and end first).
class OwnedFont {
public:
    OwnedFont() = default;
    explicit OwnedFont(HFONT f) : f_(f) {}
    ~OwnedFont() { reset(); }
    OwnedFont(OwnedFont&& o) noexcept : f_(std::exchange(o.f_, nullptr)) {}
    OwnedFont& operator=(OwnedFont&& o) noexcept {
        if (this != &o) {
            reset();
            f_ = std::exchange(o.f_, nullptr);
        }
        return *this;
    }
    OwnedFont(const OwnedFont&) = delete;
    OwnedFont& operator=(const OwnedFont&) = delete;
    void reset() {
        if (f_) DeleteObject(f_);
        f_ = nullptr;
    }
    HFONT get() const { return f_; }
    explicit operator bool() const { return f_ != nullptr; }

private:
    HFONT f_ = nullptr;
};

// A work bitmap of the given size selected into `dc`, filled white, with
// the black brush selected for the fills.
class WorkBitmap {
public:
    WorkBitmap(HDC compatibleWith, HDC dc, int width, int height) {
        if (width <= 0 || height <= 0) return;
        HBITMAP b = CreateCompatibleBitmap(compatibleWith, width, height);
        if (!b) return;
        bitmap_ = Selection(dc, b, true);
        if (!bitmap_.ok()) {
            bitmap_.reset();
            return;
        }
        RECT r{0, 0, width, height};
        FillRect(dc, &r, reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        brush_ = Selection(dc, GetStockObject(BLACK_BRUSH), false);
        width_ = width;
        height_ = height;
    }
    explicit operator bool() const { return width_ > 0; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    Selection bitmap_;
    Selection brush_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace glyph::detail
