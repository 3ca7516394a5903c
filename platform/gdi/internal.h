// Shared inside the graphics stand-in only; nothing here is exported.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/gdi/gdi.h"

namespace zolgdi {

// ---------------------------------------------------------------- objects

enum class Kind : uint8_t { DC = 1, Bitmap, Font, Brush, Pen };

// Every object is owned by its handle and by each DC that has it selected;
// it is freed when both are gone. Stock objects are never freed.
struct Object {
    explicit Object(Kind k);
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    Kind kind;
    uint32_t handle = 0;  // 0 once deleted
    uint32_t issued = 0;  // the handle it was given, kept after deletion
    int selections = 0;
    bool stock = false;
};

struct Bitmap : Object {
    Bitmap(int w, int h, int bitsPerPixel);
    int width;
    int height;
    int bpp;     // 1 or 32
    int stride;  // bytes per row
    std::vector<uint32_t> store;

    uint32_t* row32(int y) { return store.data() + static_cast<size_t>(y) * (stride / 4); }
    unsigned char* row1(int y) {
        return reinterpret_cast<unsigned char*>(store.data()) + static_cast<size_t>(y) * stride;
    }
    COLORREF get(int x, int y);
    void set(int x, int y, COLORREF c);
    // Solid colour over x0..x1-1 of row y, already clipped by the caller.
    void span(int y, int x0, int x1, COLORREF c);
};

struct Brush : Object {
    Brush() : Object(Kind::Brush) {}
    COLORREF colour = 0;
    bool hollow = false;
};

struct Pen : Object {
    Pen() : Object(Kind::Pen) {}
    COLORREF colour = 0;
    int width = 1;
    bool hollow = false;
};

struct Realized;
struct Font : Object {
    Font() : Object(Kind::Font) {}
    LOGFONTA logical{};
    std::shared_ptr<const Realized> realized;
};

enum class PathState : uint8_t { None, Open, Closed };

struct DC : Object {
    DC() : Object(Kind::DC) {}
    bool memory = false;
    bool fromGetDC = false;
    Bitmap* bitmap = nullptr;  // null on a screen DC
    Font* font = nullptr;
    Brush* brush = nullptr;
    Pen* pen = nullptr;
    COLORREF textColour = 0;
    COLORREF bkColour = 0x00FFFFFF;
    int bkMode = OPAQUE;
    UINT textAlign = 0;
    int fillMode = ALTERNATE;
    POINT position{0, 0};

    PathState pathState = PathState::None;
    bool pendingMove = false;  // a MoveToEx in the path that nothing has drawn from yet
    std::vector<POINT> points;
    std::vector<BYTE> types;
    size_t figureStart = 0;
};

// Lookup of a live handle of the kind; null (and the last error set) for
// anything else.
DC* dcFrom(HDC h);
Object* objectFrom(const void* h);
template <class T>
T* as(const void* h, Kind k) {
    Object* o = objectFrom(h);
    return o && o->kind == k ? static_cast<T*>(o) : nullptr;
}
// Registers a new object and returns its handle value, 0 when the table is full
// (the object is then freed).
uint32_t registerObject(std::unique_ptr<Object> o);
template <class H>
H handleOf(uint32_t v) {
    return reinterpret_cast<H>(static_cast<uintptr_t>(v));
}
uint32_t valueOf(const void* h);

// Brightness rule that turns a colour into black or white on one-bit stores.
bool isLight(COLORREF c);
inline uint32_t toStore(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF fromStore(uint32_t p) {
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}

// ---------------------------------------------------------------- fonts

// A glyph outline in font units, y up, as FreeType gives it: every contour
// starts with a move and ends back on its first point.
struct Segment {
    enum Op : uint8_t { Move, Line, Conic, Cubic } op;
    int32_t x[3];
    int32_t y[3];
};
using Outline = std::vector<Segment>;

struct FaceEntry;

// A logical font resolved to a face and a size.
struct Realized {
    FaceEntry* face = nullptr;
    std::string family;
    std::string file;
    int faceIndex = 0;
    double ppem = 0;
    double sx = 0, sy = 0;  // pixels per font unit
    double shear = 0;       // synthetic slant, x per y in font units
    int32_t embolden = 0;   // synthetic bold strength in font units, 0 for none
    TEXTMETRICA tm{};
    bool underline = false, strikeOut = false;
    // Bands below the baseline (down positive) in pixels: top and thickness.
    int underlineTop = 0, underlineThickness = 1;
    int strikeTop = 0, strikeThickness = 1;
    std::array<uint32_t, 256> glyph{};
    std::array<int32_t, 256> advance{};  // whole pixels
};

// Never null; throws only on out-of-memory. Falls back through fontconfig
// so that some face is always found when any scalable font is installed;
// a system without one gets an error (null from the caller).
std::shared_ptr<const Realized> realize(const LOGFONTA& lf);
// The glyph's outline in font units, synthetic bold applied; cached.
const Outline& glyphOutline(const Realized& r, uint32_t glyph);

// Receives the device-space pieces of a glyph, y down.
struct OutlineSink {
    virtual ~OutlineSink() = default;
    virtual void moveTo(double x, double y) = 0;
    virtual void lineTo(double x, double y) = 0;
    virtual void conicTo(double cx, double cy, double x, double y) = 0;
    virtual void cubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y) = 0;
    virtual void closeFigure() = 0;
    // After the contours of one character (or of one band).
    virtual void endGlyph() {}
};
// The characters' outlines with the cell's left edge at `left` and the
// baseline at `baseline`, underline and strike-out bands included.
void emitText(const Realized& r, const unsigned char* text, int count, double left,
              double baseline, OutlineSink& sink);
int textWidth(const Realized& r, const unsigned char* text, int count);

// The one FreeType library of the process; null when it cannot start.
FT_Library freetype();

// ---------------------------------------------------------------- rasterising

struct PointD {
    double x, y;
};
using Polygon = std::vector<PointD>;

// Fills the polygons (each implicitly closed) into the bitmap with a solid
// colour; a pixel is inside when its centre is.
void fillPolygons(Bitmap& b, const std::vector<Polygon>& polys, bool winding, COLORREF c);
// Draws a polyline with a pen of the given width.
void strokePolyline(Bitmap& b, const Polygon& line, bool closed, int width, COLORREF c);
// Splits a cubic curve into lines, appending everything after its start.
void flattenCubic(Polygon& out, PointD p0, PointD p1, PointD p2, PointD p3);

// The characters' outlines added to the open path of the DC, the cell's
// left edge at `left` and the baseline at `baseline`.
void addTextToPath(DC& dc, const Realized& r, const unsigned char* text, int count, double left,
                   double baseline);

}  // namespace zolgdi
