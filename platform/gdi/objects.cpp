// Device contexts, the object handles, bitmaps, brushes, pens and pixels.
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/gdi/internal.h"

namespace zolgdi {

namespace {

DWORD g_live = 0;

constexpr int kScreenDpi = 96;
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
constexpr int kMaxSide = 65536;
constexpr int64_t kMaxPixels = int64_t(1) << 26;

struct Stock {
    uint32_t objects[DEFAULT_GUI_FONT + 1] = {};
    uint32_t monoBitmap = 0;  // what a fresh memory DC has selected
};

// Stock objects live until the process ends; kept here as well as in the
// handle table so they stay reachable whatever is torn down first at exit.
std::vector<Object*>& immortals() {
    static auto* v = new std::vector<Object*>();
    return *v;
}

uint32_t addStock(std::unique_ptr<Object> o) {
    o->stock = true;
    Object* raw = o.get();
    uint32_t h = registerObject(std::move(o));
    if (h) immortals().push_back(raw);
    return h;
}

uint32_t stockBrush(COLORREF c, bool hollow) {
    auto b = std::make_unique<Brush>();
    b->colour = c;
    b->hollow = hollow;
    return addStock(std::move(b));
}

uint32_t stockPen(COLORREF c, bool hollow) {
    auto p = std::make_unique<Pen>();
    p->colour = c;
    p->hollow = hollow;
    return addStock(std::move(p));
}

uint32_t stockFont(LONG height, const char* face) {
    auto f = std::make_unique<Font>();
    f->logical.lfHeight = height;
    f->logical.lfWeight = FW_NORMAL;
    f->logical.lfQuality = DEFAULT_QUALITY;
    std::strncpy(f->logical.lfFaceName, face, LF_FACESIZE - 1);
    try {
        f->realized = realize(f->logical);
    } catch (...) {
        f->realized = nullptr;
    }
    return addStock(std::move(f));
}

Stock& stock() {
    static Stock s = [] {
        Stock t;
        t.objects[WHITE_BRUSH] = stockBrush(RGB(255, 255, 255), false);
        t.objects[LTGRAY_BRUSH] = stockBrush(RGB(192, 192, 192), false);
        t.objects[GRAY_BRUSH] = stockBrush(RGB(128, 128, 128), false);
        t.objects[DKGRAY_BRUSH] = stockBrush(RGB(64, 64, 64), false);
        t.objects[BLACK_BRUSH] = stockBrush(RGB(0, 0, 0), false);
        t.objects[NULL_BRUSH] = stockBrush(0, true);
        t.objects[WHITE_PEN] = stockPen(RGB(255, 255, 255), false);
        t.objects[BLACK_PEN] = stockPen(RGB(0, 0, 0), false);
        t.objects[NULL_PEN] = stockPen(0, true);
        t.objects[SYSTEM_FONT] = stockFont(16, "System");
        t.objects[DEFAULT_GUI_FONT] = stockFont(-11, "MS Sans Serif");
        t.monoBitmap = addStock(std::make_unique<Bitmap>(1, 1, 1));
        return t;
    }();
    return s;
}

template <class T>
T* stockObject(uint32_t v, Kind k) {
    Object* o = static_cast<Object*>(ZolHandleGet(ZolKind_Gdi, v));
    return o && o->kind == k ? static_cast<T*>(o) : nullptr;
}

// An object without a handle and without a DC holding it is gone.
void releaseIfUnused(Object* o) {
    if (o && !o->stock && o->handle == 0 && o->selections == 0) delete o;
}

// Puts `o` into `slot`, returning the handle value of what was there.
template <class T>
uint32_t swapSelected(T*& slot, T* o) {
    T* old = slot;
    ++o->selections;
    slot = o;
    uint32_t previous = 0;
    if (old) {
        previous = old->issued;
        --old->selections;
        releaseIfUnused(old);
    }
    return previous;
}

template <class T>
void dropSelected(T*& slot) {
    if (!slot) return;
    T* old = slot;
    slot = nullptr;
    --old->selections;
    releaseIfUnused(old);
}

HDC newDC(bool memory, bool fromGetDC) {
    Stock& s = stock();
    auto dc = std::make_unique<DC>();
    dc->memory = memory;
    dc->fromGetDC = fromGetDC;
    DC* raw = dc.get();
    if (auto* f = stockObject<Font>(s.objects[SYSTEM_FONT], Kind::Font)) swapSelected(raw->font, f);
    if (auto* b = stockObject<Brush>(s.objects[WHITE_BRUSH], Kind::Brush)) swapSelected(raw->brush, b);
    if (auto* p = stockObject<Pen>(s.objects[BLACK_PEN], Kind::Pen)) swapSelected(raw->pen, p);
    if (memory) {
        if (auto* b = stockObject<Bitmap>(s.monoBitmap, Kind::Bitmap)) swapSelected(raw->bitmap, b);
    }
    uint32_t h = registerObject(std::move(dc));
    return handleOf<HDC>(h);
}

void destroyDC(DC* dc) {
    dropSelected(dc->bitmap);
    dropSelected(dc->font);
    dropSelected(dc->brush);
    dropSelected(dc->pen);
    ZolHandleRemove(ZolKind_Gdi, dc->handle);
    dc->handle = 0;
    delete dc;
}

Brush* brushFrom(HBRUSH h) { return as<Brush>(h, Kind::Brush); }

}  // namespace

Object::Object(Kind k) : kind(k) { ++g_live; }
Object::~Object() { --g_live; }

Bitmap::Bitmap(int w, int h, int bitsPerPixel) : Object(Kind::Bitmap), width(w), height(h), bpp(bitsPerPixel) {
    stride = bpp == 32 ? w * 4 : ((w + 31) / 32) * 4;
    store.assign(static_cast<size_t>(stride / 4) * static_cast<size_t>(h), 0u);
}

COLORREF Bitmap::get(int x, int y) {
    if (bpp == 32) return fromStore(row32(y)[x]);
    return (row1(y)[x >> 3] & (0x80 >> (x & 7))) ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

void Bitmap::set(int x, int y, COLORREF c) {
    if (bpp == 32) {
        row32(y)[x] = toStore(c);
        return;
    }
    unsigned char& byte = row1(y)[x >> 3];
    unsigned char bit = static_cast<unsigned char>(0x80 >> (x & 7));
    byte = isLight(c) ? static_cast<unsigned char>(byte | bit) : static_cast<unsigned char>(byte & ~bit);
}

void Bitmap::span(int y, int x0, int x1, COLORREF c) {
    if (x0 >= x1) return;
    if (bpp == 32) {
        std::fill(row32(y) + x0, row32(y) + x1, toStore(c));
        return;
    }
    unsigned char* r = row1(y);
    bool light = isLight(c);
    int x = x0;
    for (; x < x1 && (x & 7); ++x) set(x, y, c);
    if (x + 8 <= x1) {
        int bytes = (x1 - x) / 8;
        std::memset(r + (x >> 3), light ? 0xFF : 0x00, static_cast<size_t>(bytes));
        x += bytes * 8;
    }
    for (; x < x1; ++x) set(x, y, c);
}

bool isLight(COLORREF c) {
    return GetRValue(c) * 299 + GetGValue(c) * 587 + GetBValue(c) * 114 >= 128 * 1000;
}

uint32_t valueOf(const void* h) {
    uintptr_t v = reinterpret_cast<uintptr_t>(h);
    return v <= 0xFFFFFFFFu ? static_cast<uint32_t>(v) : 0;
}

Object* objectFrom(const void* h) {
    uint32_t v = valueOf(h);
    Object* o = v ? static_cast<Object*>(ZolHandleGet(ZolKind_Gdi, v)) : nullptr;
    if (!o) SetLastError(ERROR_INVALID_HANDLE);
    return o;
}

DC* dcFrom(HDC h) { return as<DC>(h, Kind::DC); }

uint32_t registerObject(std::unique_ptr<Object> o) {
    uint32_t h = ZolHandleAdd(ZolKind_Gdi, o.get());
    if (!h) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    o->handle = h;
    o->issued = h;
    o.release();
    return h;
}

}  // namespace zolgdi

using namespace zolgdi;

// ---------------------------------------------------------------- device contexts

ZOLAPI HDC GetDC(HWND window) {
    try {
        if (window && !IsWindow(window)) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
        return newDC(false, true);
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

ZOLAPI int ReleaseDC(HWND, HDC h) {
    try {
        DC* dc = dcFrom(h);
        if (!dc || !dc->fromGetDC) return 0;
        destroyDC(dc);
        return 1;
    } catch (...) {
        return 0;
    }
}

ZOLAPI HDC CreateCompatibleDC(HDC h) {
    try {
        if (h && !dcFrom(h)) return nullptr;
        return newDC(true, false);
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

ZOLAPI BOOL DeleteDC(HDC h) {
    try {
        DC* dc = dcFrom(h);
        if (!dc) return FALSE;
        destroyDC(dc);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

ZOLAPI int GetDeviceCaps(HDC h, int index) {
    DC* dc = dcFrom(h);
    if (!dc) return 0;
    switch (index) {
    case HORZRES:
        return dc->memory ? (dc->bitmap ? dc->bitmap->width : 0) : kScreenWidth;
    case VERTRES:
        return dc->memory ? (dc->bitmap ? dc->bitmap->height : 0) : kScreenHeight;
    case BITSPIXEL:
        return dc->memory ? (dc->bitmap ? dc->bitmap->bpp : 1) : 32;
    case PLANES:
        return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return kScreenDpi;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
}

// ---------------------------------------------------------------- objects

ZOLAPI HGDIOBJ GetStockObject(int which) {
    try {
        if (which < 0 || which > DEFAULT_GUI_FONT) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        return handleOf<HGDIOBJ>(stock().objects[which]);
    } catch (...) {
        return nullptr;
    }
}

ZOLAPI HGDIOBJ SelectObject(HDC h, HGDIOBJ object) {
    try {
        DC* dc = dcFrom(h);
        Object* o = objectFrom(object);
        if (!dc || !o) return nullptr;
        switch (o->kind) {
        case Kind::Font: {
            Font* f = static_cast<Font*>(o);
            if (!f->realized) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            return handleOf<HGDIOBJ>(swapSelected(dc->font, f));
        }
        case Kind::Brush:
            return handleOf<HGDIOBJ>(swapSelected(dc->brush, static_cast<Brush*>(o)));
        case Kind::Pen:
            return handleOf<HGDIOBJ>(swapSelected(dc->pen, static_cast<Pen*>(o)));
        case Kind::Bitmap: {
            Bitmap* b = static_cast<Bitmap*>(o);
            if (b == dc->bitmap) return object;
            // A bitmap draws into one memory DC at a time.
            if (!dc->memory || (!b->stock && b->selections > 0)) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            return handleOf<HGDIOBJ>(swapSelected(dc->bitmap, b));
        }
        case Kind::DC:
            break;
        }
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    } catch (...) {
        return nullptr;
    }
}

ZOLAPI BOOL DeleteObject(HGDIOBJ object) {
    try {
        Object* o = objectFrom(object);
        if (!o || o->kind == Kind::DC) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (o->stock) return TRUE;
        ZolHandleRemove(ZolKind_Gdi, o->handle);
        o->handle = 0;
        releaseIfUnused(o);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

ZOLAPI HGDIOBJ GetCurrentObject(HDC h, UINT type) {
    DC* dc = dcFrom(h);
    if (!dc) return nullptr;
    Object* o = nullptr;
    switch (type) {
    case OBJ_PEN: o = dc->pen; break;
    case OBJ_BRUSH: o = dc->brush; break;
    case OBJ_FONT: o = dc->font; break;
    case OBJ_BITMAP: o = dc->bitmap; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
    }
    return o ? handleOf<HGDIOBJ>(o->handle) : nullptr;
}

ZOLAPI DWORD GetObjectType(const void* handle) {
    uint32_t v = valueOf(handle);
    Object* o = v ? static_cast<Object*>(ZolHandleGet(ZolKind_Gdi, v)) : nullptr;
    if (!o) return 0;
    switch (o->kind) {
    case Kind::DC: return static_cast<DC*>(o)->memory ? OBJ_MEMDC : OBJ_DC;
    case Kind::Bitmap: return OBJ_BITMAP;
    case Kind::Font: return OBJ_FONT;
    case Kind::Brush: return OBJ_BRUSH;
    case Kind::Pen: return OBJ_PEN;
    }
    return 0;
}

ZOLAPI int GetObjectA(HGDIOBJ object, int size, void* buffer) {
    try {
        Object* o = objectFrom(object);
        if (!o) return 0;
        if (o->kind == Kind::Bitmap) {
            Bitmap* b = static_cast<Bitmap*>(o);
            if (!buffer) return static_cast<int>(sizeof(BITMAP));
            if (size < static_cast<int>(sizeof(BITMAP))) return 0;
            BITMAP bm{};
            bm.bmWidth = b->width;
            bm.bmHeight = b->height;
            bm.bmWidthBytes = b->stride;
            bm.bmPlanes = 1;
            bm.bmBitsPixel = static_cast<WORD>(b->bpp);
            bm.bmBits = b->store.data();
            std::memcpy(buffer, &bm, sizeof bm);
            return static_cast<int>(sizeof bm);
        }
        if (o->kind == Kind::Font) {
            if (!buffer) return static_cast<int>(sizeof(LOGFONTA));
            if (size < static_cast<int>(sizeof(LOGFONTA))) return 0;
            std::memcpy(buffer, &static_cast<Font*>(o)->logical, sizeof(LOGFONTA));
            return static_cast<int>(sizeof(LOGFONTA));
        }
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    } catch (...) {
        return 0;
    }
}

ZOLAPI DWORD ZolGdiLiveObjects() {
    // The stock objects are made on first use; counting makes them first so
    // that counts taken before and after any call compare.
    try {
        stock();
    } catch (...) {
    }
    return g_live;
}

// ---------------------------------------------------------------- bitmaps

ZOLAPI HBITMAP CreateCompatibleBitmap(HDC h, int width, int height) {
    try {
        DC* dc = dcFrom(h);
        if (!dc) return nullptr;
        if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide ||
            int64_t(width) * height > kMaxPixels) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        int bpp = dc->memory ? (dc->bitmap ? dc->bitmap->bpp : 1) : 32;
        if (width == 0 || height == 0) width = height = 1, bpp = 1;
        return handleOf<HBITMAP>(registerObject(std::make_unique<Bitmap>(width, height, bpp)));
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    } catch (...) {
        return nullptr;
    }
}

ZOLAPI BOOL ZolGetBitmapBits(HBITMAP h, ZolBitmapBits* out) {
    Bitmap* b = as<Bitmap>(h, Kind::Bitmap);
    if (!b || !out) return FALSE;
    out->bits = b->store.data();
    out->width = b->width;
    out->height = b->height;
    out->stride = b->stride;
    out->bitsPerPixel = static_cast<WORD>(b->bpp);
    return TRUE;
}

ZOLAPI COLORREF GetPixel(HDC h, int x, int y) {
    DC* dc = dcFrom(h);
    if (!dc || !dc->bitmap || x < 0 || y < 0 || x >= dc->bitmap->width || y >= dc->bitmap->height)
        return CLR_INVALID;
    return dc->bitmap->get(x, y);
}

ZOLAPI COLORREF SetPixel(HDC h, int x, int y, COLORREF colour) {
    DC* dc = dcFrom(h);
    if (!dc || !dc->bitmap || x < 0 || y < 0 || x >= dc->bitmap->width || y >= dc->bitmap->height)
        return CLR_INVALID;
    dc->bitmap->set(x, y, colour & 0x00FFFFFF);
    return dc->bitmap->get(x, y);
}

ZOLAPI HBRUSH CreateSolidBrush(COLORREF colour) {
    try {
        auto b = std::make_unique<Brush>();
        b->colour = colour & 0x00FFFFFF;
        return handleOf<HBRUSH>(registerObject(std::move(b)));
    } catch (...) {
        return nullptr;
    }
}

ZOLAPI HPEN CreatePen(int style, int width, COLORREF colour) {
    try {
        if (style != PS_SOLID && style != PS_NULL) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        auto p = std::make_unique<Pen>();
        p->colour = colour & 0x00FFFFFF;
        p->width = std::clamp(width, 1, 4096);
        p->hollow = style == PS_NULL;
        return handleOf<HPEN>(registerObject(std::move(p)));
    } catch (...) {
        return nullptr;
    }
}

ZOLAPI int FillRect(HDC h, const RECT* rect, HBRUSH brush) {
    try {
        DC* dc = dcFrom(h);
        Brush* b = brushFrom(brush);
        if (!dc || !b || !rect) {
            if (!rect) SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if (b->hollow || !dc->bitmap) return 1;
        Bitmap& bm = *dc->bitmap;
        int x0 = std::max<LONG>(rect->left, 0), x1 = std::min<LONG>(rect->right, bm.width);
        int y0 = std::max<LONG>(rect->top, 0), y1 = std::min<LONG>(rect->bottom, bm.height);
        for (int y = y0; y < y1; ++y) bm.span(y, x0, x1, b->colour);
        return 1;
    } catch (...) {
        return 0;
    }
}

ZOLAPI BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX,
                   int sourceY, DWORD rop) {
    try {
        DC* d = dcFrom(dest);
        if (!d) return FALSE;
        if (rop != SRCCOPY && rop != BLACKNESS && rop != WHITENESS) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        DC* s = nullptr;
        if (rop == SRCCOPY) {
            s = dcFrom(source);
            if (!s) return FALSE;
        }
        if (width <= 0 || height <= 0 || !d->bitmap) return TRUE;
        Bitmap& db = *d->bitmap;
        // Clip the destination box, then the source box, in 64 bits so no
        // coordinate overflows.
        int64_t dx0 = std::max<int64_t>(x, 0), dy0 = std::max<int64_t>(y, 0);
        int64_t dx1 = std::min<int64_t>(int64_t(x) + width, db.width);
        int64_t dy1 = std::min<int64_t>(int64_t(y) + height, db.height);
        if (s) {
            if (!s->bitmap) return TRUE;
            int64_t ox = int64_t(sourceX) - x, oy = int64_t(sourceY) - y;
            dx0 = std::max<int64_t>(dx0, -ox);
            dy0 = std::max<int64_t>(dy0, -oy);
            dx1 = std::min<int64_t>(dx1, s->bitmap->width - ox);
            dy1 = std::min<int64_t>(dy1, s->bitmap->height - oy);
            if (dx0 >= dx1 || dy0 >= dy1) return TRUE;
            Bitmap& sb = *s->bitmap;
            std::vector<COLORREF> rows(static_cast<size_t>((dx1 - dx0) * (dy1 - dy0)));
            size_t k = 0;
            for (int64_t yy = dy0; yy < dy1; ++yy)
                for (int64_t xx = dx0; xx < dx1; ++xx)
                    rows[k++] = sb.get(static_cast<int>(xx + ox), static_cast<int>(yy + oy));
            k = 0;
            for (int64_t yy = dy0; yy < dy1; ++yy)
                for (int64_t xx = dx0; xx < dx1; ++xx)
                    db.set(static_cast<int>(xx), static_cast<int>(yy), rows[k++]);
            return TRUE;
        }
        COLORREF c = rop == WHITENESS ? RGB(255, 255, 255) : RGB(0, 0, 0);
        for (int64_t yy = dy0; yy < dy1; ++yy)
            db.span(static_cast<int>(yy), static_cast<int>(dx0), static_cast<int>(dx1), c);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

// ---------------------------------------------------------------- text state

ZOLAPI UINT SetTextAlign(HDC h, UINT align) {
    DC* dc = dcFrom(h);
    if (!dc) return GDI_ERROR;
    UINT old = dc->textAlign;
    dc->textAlign = align & (TA_UPDATECP | TA_CENTER | TA_BASELINE);
    return old;
}

ZOLAPI UINT GetTextAlign(HDC h) {
    DC* dc = dcFrom(h);
    return dc ? dc->textAlign : GDI_ERROR;
}

ZOLAPI COLORREF SetTextColor(HDC h, COLORREF colour) {
    DC* dc = dcFrom(h);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->textColour;
    dc->textColour = colour & 0x00FFFFFF;
    return old;
}

ZOLAPI COLORREF GetTextColor(HDC h) {
    DC* dc = dcFrom(h);
    return dc ? dc->textColour : CLR_INVALID;
}

ZOLAPI COLORREF SetBkColor(HDC h, COLORREF colour) {
    DC* dc = dcFrom(h);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->bkColour;
    dc->bkColour = colour & 0x00FFFFFF;
    return old;
}

ZOLAPI COLORREF GetBkColor(HDC h) {
    DC* dc = dcFrom(h);
    return dc ? dc->bkColour : CLR_INVALID;
}

ZOLAPI int SetBkMode(HDC h, int mode) {
    DC* dc = dcFrom(h);
    if (!dc) return 0;
    if (mode != TRANSPARENT && mode != OPAQUE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int old = dc->bkMode;
    dc->bkMode = mode;
    return old;
}

ZOLAPI int GetBkMode(HDC h) {
    DC* dc = dcFrom(h);
    return dc ? dc->bkMode : 0;
}

// Version 5.1: the top bit clear says the platform has the full path calls.
ZOLAPI DWORD GetVersion() { return 0x0A280105u; }
