#include "glyph/outline.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "glyph/internal.h"

namespace glyph {

namespace {

using detail::WorkMemory;

constexpr uint8_t kClose = 1;

bool isLineTo(uint8_t t) { return (t & ~kClose) == 2; }
bool isMoveTo(uint8_t t) { return (t & 6) == 6; }

POINT midpoint(POINT from, POINT to) {
    // Integer halving, truncating toward zero, per coordinate.
    return POINT{from.x + (to.x - from.x) / 2, from.y + (to.y - from.y) / 2};
}

// Carves the outline's arrays out of one block of pages.
bool allocateArrays(GlyphOutline* o, int pointCapacity, int typeCapacity, int figures) {
    const size_t pointBytes = static_cast<size_t>(pointCapacity) * sizeof(POINT);
    const size_t typeBytes = (static_cast<size_t>(typeCapacity) + 7) & ~size_t{7};
    const size_t figureSlots = static_cast<size_t>(std::max(figures, 1));
    const size_t total = 3 * pointBytes + 2 * typeBytes + figureSlots * (2 * sizeof(int) + 8) + 64;
    void* block = VirtualAlloc(nullptr, total, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!block) return false;
    auto* p = static_cast<uint8_t*>(block);
    o->block = block;
    o->points = reinterpret_cast<POINT*>(p);
    o->workPoints = reinterpret_cast<POINT*>(p + pointBytes);
    o->sparePoints = reinterpret_cast<POINT*>(p + 2 * pointBytes);
    p += 3 * pointBytes;
    o->figureExtra = reinterpret_cast<uint64_t*>(p);
    p += figureSlots * 8;
    o->figurePointCounts = reinterpret_cast<int*>(p);
    p += figureSlots * sizeof(int);
    o->figureStarts = reinterpret_cast<int*>(p);
    p += figureSlots * sizeof(int);
    o->types = p;
    o->workTypes = p + typeBytes;
    o->pointCapacity = pointCapacity;
    o->typeCapacity = typeCapacity;
    return true;
}

void clearArrays(GlyphOutline* o) {
    o->points = o->workPoints = o->sparePoints = nullptr;
    o->types = o->workTypes = nullptr;
    o->figurePointCounts = nullptr;
    o->figureExtra = nullptr;
    o->figureStarts = nullptr;
    o->pointCount = 0;
    o->figureCount = 0;
    o->pointCapacity = o->typeCapacity = 0;
    o->block = nullptr;
}

// Number of points the conversion writes, starting at input index `from`.
int64_t convertedCount(const uint8_t* types, int n, int from) {
    int64_t count = 0;
    for (int i = from; i < n; ++i) {
        count += isLineTo(types[i]) ? 3 : 1;
        if (types[i] & kClose) count += 3;
    }
    return count;
}

// Copies the outline's points and types into the fill arrays.
int prepareFill(GlyphOutline* o) {
    const int count = std::clamp(o->pointCount, 0, std::min(o->pointCapacity, o->typeCapacity));
    if (count > 0) {
        std::memcpy(o->workPoints, o->points, sizeof(POINT) * count);
        std::memcpy(o->sparePoints, o->points, sizeof(POINT) * count);
        for (int i = 0; i < count; ++i) o->workTypes[i] = static_cast<uint8_t>(o->types[i] & ~kClose);
    }
    return count;
}

float sizeFactor(float size) {
    // Font heights are whole pixels; the factor gives back the fraction.
    return size > 1.0f ? size / static_cast<float>(detail::trunc(size)) : 1.0f;
}

void fillPrepared(HDC dc, GlyphOutline* o) {
    // Only the low 16 bits of the count have ever reached the replay.
    const int replay = static_cast<int16_t>(static_cast<uint16_t>(o->pointCount & 0xFFFF));
    const int count = std::min(replay, std::min(o->pointCapacity, o->typeCapacity));
    BeginPath(dc);
    playOutline(dc, o->workPoints, o->workTypes, count, 0);
    EndPath(dc);
    StrokeAndFillPath(dc);
}

}  // namespace

void releaseGlyphOutline(GlyphOutline* outline) {
    if (!outline) return;
    if (outline->block) VirtualFree(outline->block, 0, MEM_RELEASE);
    clearArrays(outline);
}

int extractGlyphOutline(unsigned char character, HFONT font, GlyphOutline* outline) {
    if (!outline) return 0;
    releaseGlyphOutline(outline);
    outline->character = character;
    outline->hasOutline = 0;

    detail::DeviceContexts dcs;
    if (!dcs) return 0;
    HDC dc = dcs.memory();
    detail::Selection bitmap(dc, CreateCompatibleBitmap(dcs.screen(), 8, 8), true);
    detail::Selection selectedFont(dc, font, false);

    BeginPath(dc);
    MoveToEx(dc, 0, 0, nullptr);
    const char text = static_cast<char>(character);
    TextOutA(dc, 0, 0, &text, 1);
    EndPath(dc);

    const int n = GetPath(dc, nullptr, nullptr, 0);
    if (n <= 0) return 0;
    // Too short to be an outline: decided before anything is read.
    if (n <= 5) return outlineFromPath(nullptr, nullptr, n, outline);
    WorkMemory input(detail::bytesFor(n, sizeof(POINT) + 1));
    if (!input) return 0;
    auto* in = input.as<POINT>();
    auto* inTypes = reinterpret_cast<uint8_t*>(in + n);
    const int got = GetPath(dc, in, inTypes, n);
    if (got <= 0) return 0;
    return outlineFromPath(in, inTypes, std::min(n, got), outline);
}

int outlineFromPath(const POINT* points, const uint8_t* types, int count, GlyphOutline* outline) {
    if (!outline) return 0;
    if (count <= 0) {
        outline->hasOutline = 0;
        releaseGlyphOutline(outline);
        return 0;
    }
    // Short paths are plain rectangles (a hyphen, often an l): the text
    // fallback draws those.
    const int n = count < 5 ? 4 : count;
    outline->hasOutline = n > 5 ? 1 : 0;
    if (!outline->hasOutline) {
        releaseGlyphOutline(outline);
        return 0;
    }
    return convertGlyphPath(points, types, count, outline);
}

int convertGlyphPath(const POINT* in, const uint8_t* inTypes, int n, GlyphOutline* outline) {
    if (!outline || !in || !inTypes || n <= 0) return 0;
    releaseGlyphOutline(outline);
    // The first point is the pen's move to (0, 0); the character begins at
    // the next move-to.
    int from = n;
    for (int i = 1; i < n; ++i)
        if (isMoveTo(inTypes[i])) {
            from = i;
            break;
        }

    int64_t lineOrMove = 0, closes = 0;
    for (int i = 0; i < n; ++i) {
        if (isLineTo(inTypes[i]) || (inTypes[i] & ~kClose) == 6) ++lineOrMove;
        if (inTypes[i] & kClose) ++closes;
    }
    const int64_t needed = convertedCount(inTypes, n, from);
    const int64_t pointCapacity = std::max<int64_t>(n + 3 * lineOrMove + 2 * closes + 64, needed);
    const int64_t typeCapacity = std::max<int64_t>(n + 3 * lineOrMove + 64, needed);
    int64_t figures = 0;
    for (int i = from; i < n; ++i)
        if (inTypes[i] & kClose) ++figures;
    if (pointCapacity > (1 << 24)) return 0;
    if (!allocateArrays(outline, static_cast<int>(pointCapacity), static_cast<int>(typeCapacity),
                        static_cast<int>(figures)))
        return 0;

    POINT* out = outline->points;
    uint8_t* outTypes = outline->types;
    int j = 0;
    int s = 0;
    for (int i = from; i < n; ++i) {
        const POINT p = in[i];
        const uint8_t t = inTypes[i];
        if (isLineTo(t)) {
            // A line is a cubic whose control points both sit at its middle.
            const POINT m = midpoint(in[i - 1], p);
            out[j] = m;
            outTypes[j++] = kOutlineBezier;
            out[j] = m;
            outTypes[j++] = kOutlineBezier;
            out[j] = p;
            outTypes[j++] = kOutlineBezier;
        } else {
            out[j] = p;
            outTypes[j++] = static_cast<uint8_t>(t & ~kClose);
        }
        if (t & kClose) {
            const POINT f = out[s];
            const POINT m = midpoint(f, p);
            out[j] = m;
            outTypes[j++] = kOutlineBezier;
            out[j] = m;
            outTypes[j++] = kOutlineBezier;
            out[j] = f;
            outTypes[j++] = kOutlineBezierClose;
            s = j;
        }
    }
    outline->pointCount = j;

    int figure = 0;
    int start = 0;
    for (int k = 0; k < j; ++k) {
        if (!(outTypes[k] & kClose)) continue;
        outline->figureStarts[figure] = start;
        outline->figurePointCounts[figure] = k - start + 1;
        outline->figureExtra[figure] = 0;
        ++figure;
        start = k + 1;
    }
    outline->figureCount = figure;

    if (j > 0) {
        int l = out[0].x, r = out[0].x, t = out[0].y, b = out[0].y;
        for (int k = 1; k < j; ++k) {
            l = std::min<int>(l, out[k].x);
            r = std::max<int>(r, out[k].x);
            t = std::min<int>(t, out[k].y);
            b = std::max<int>(b, out[k].y);
        }
        outline->boxLeft = l;
        outline->boxRight = r;
        outline->boxTop = t;
        outline->boxBottom = b;
    } else {
        outline->boxLeft = outline->boxRight = outline->boxTop = outline->boxBottom = 0;
    }
    return 1;
}

int playOutline(HDC dc, const POINT* points, const uint8_t* types, int count, int close) {
    if (!dc) return 0;
    if ((GetVersion() & 0x80000000u) == 0) return PolyDraw(dc, points, types, count);
    return playOutlineByHand(dc, points, types, count, close);
}

int playOutlineByHand(HDC dc, const POINT* points, const uint8_t* types, int count, int close) {
    if (!dc) return 0;
    int figureStart = 0;
    for (int i = 0; i < count; ++i) {
        uint8_t t = types[i];
        const uint8_t kind = static_cast<uint8_t>(t & ~kClose);
        if (kind == 6) {
            if (close) CloseFigure(dc);
            MoveToEx(dc, points[i].x, points[i].y, nullptr);
            figureStart = i;
        } else if (kind == 2) {
            LineTo(dc, points[i].x, points[i].y);
        } else if (kind == 4) {
            if (i + 2 >= count) break;
            PolyBezierTo(dc, points + i, 3);
            i += 2;
            t = types[i];
        }
        if (t & kClose) {
            LineTo(dc, points[figureStart].x, points[figureStart].y);
            CloseFigure(dc);
            figureStart = i + 1 < count ? i + 1 : figureStart;
        }
    }
    return 1;
}

void fillOutline(HDC dc, float size, float angle, GlyphOutline* outline, float offsetX,
                 float offsetY) {
    if (!dc || !outline) return;
    const int count = prepareFill(outline);
    const float k = sizeFactor(size);
    const float cx = k * static_cast<float>(outline->boxLeft + outline->boxRight) / 2.0f;
    const float cy = k * static_cast<float>(outline->boxTop + outline->boxBottom) / 2.0f;
    const float a = angle * 0.017453289f;
    const float ca = std::cos(a), sa = std::sin(a);
    for (int i = 0; i < count; ++i) {
        float x = k * static_cast<float>(outline->points[i].x);
        float y = k * static_cast<float>(outline->points[i].y);
        if (angle != 0.0f) {
            const float rx = cx + (x - cx) * ca - (y - cy) * sa;
            const float ry = cy + (x - cx) * sa + (y - cy) * ca;
            x = rx;
            y = ry;
        }
        outline->workPoints[i].x = detail::trunc(x + offsetX + 0.5f);
        outline->workPoints[i].y = detail::trunc(y + offsetY + 0.5f);
    }
    fillPrepared(dc, outline);
}

void fillOutlinePerspective(HDC dc, float size, float angle, GlyphOutline* outline, float offsetX,
                            float offsetY, int perspective, float horizontalScale, float tilt,
                            float extraAngle) {
    if (!dc || !outline) return;
    const int count = prepareFill(outline);
    const float k = sizeFactor(size);
    const float cx = k * static_cast<float>(outline->boxLeft + outline->boxRight) / 2.0f;
    const float cy = k * static_cast<float>(outline->boxTop + outline->boxBottom) / 2.0f;
    float a = angle * 0.017453289f;
    if (perspective) a += extraAngle;
    const float ca = std::cos(a), sa = std::sin(a);
    const float foreshorten = std::cos(tilt);
    for (int i = 0; i < count; ++i) {
        float dx = k * static_cast<float>(outline->points[i].x) - cx;
        float dy = k * static_cast<float>(outline->points[i].y) - cy;
        if (perspective) {
            dx *= horizontalScale;
            dy *= foreshorten;
        }
        outline->workPoints[i].x = detail::trunc(cx + dx * ca - dy * sa + offsetX + 0.5f);
        outline->workPoints[i].y = detail::trunc(cy + dx * sa + dy * ca + offsetY + 0.5f);
    }
    fillPrepared(dc, outline);
}

}  // namespace glyph
