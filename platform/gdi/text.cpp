// Font objects, metrics and extents, and text output.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "platform/gdi/internal.h"

#include FT_OUTLINE_H

namespace zolgdi {

namespace {

const Realized* selectedFont(DC& dc) {
    if (!dc.font || !dc.font->realized) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return dc.font->realized.get();
}

bool validText(const char* text, int count) {
    if (count < 0 || (count > 0 && !text)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

// Coverage of a box of the bitmap, one byte a pixel.
struct Coverage {
    int x0, y0, w, h;
    std::vector<unsigned char> a;
};

void addSpans(int y, int count, const FT_Span* spans, void* user) {
    Coverage& c = *static_cast<Coverage*>(user);
    // The rasteriser's rows count upwards; our rows are the negated ones.
    int row = -y - 1 - c.y0;
    if (row < 0 || row >= c.h) return;
    unsigned char* line = c.a.data() + static_cast<size_t>(row) * c.w;
    for (int i = 0; i < count; ++i) {
        int from = std::max(0, spans[i].x - c.x0);
        int to = std::min(c.w, spans[i].x + spans[i].len - c.x0);
        for (int x = from; x < to; ++x) line[x] = static_cast<unsigned char>(std::min(255, line[x] + spans[i].coverage));
    }
}

// Renders each character's outline with FreeType's antialiasing rasteriser
// into the coverage box; characters that overlap add up.
struct RenderSink : OutlineSink {
    using Tag = std::remove_pointer_t<decltype(FT_Outline::tags)>;
    using ContourIndex = std::remove_pointer_t<decltype(FT_Outline::contours)>;
    Coverage& cov;
    std::vector<FT_Vector> points;
    std::vector<Tag> tags;
    std::vector<ContourIndex> contours;
    size_t start = 0;
    bool far = false;

    explicit RenderSink(Coverage& c) : cov(c) {}

    void push(double x, double y, int tag) {
        // Glyphs this far out are nowhere near a bitmap; they are dropped
        // whole, and the clamp keeps the fixed-point conversion in range.
        if (!(std::fabs(x) <= 4.0e6 && std::fabs(y) <= 4.0e6)) {
            far = true;
            x = std::clamp(x, -4.0e6, 4.0e6);
            y = std::clamp(y, -4.0e6, 4.0e6);
        }
        points.push_back({std::lround(x * 64), -std::lround(y * 64)});
        tags.push_back(static_cast<Tag>(tag));
    }
    void moveTo(double x, double y) override {
        start = points.size();
        push(x, y, FT_CURVE_TAG_ON);
    }
    void lineTo(double x, double y) override { push(x, y, FT_CURVE_TAG_ON); }
    void conicTo(double cx, double cy, double x, double y) override {
        push(cx, cy, FT_CURVE_TAG_CONIC);
        push(x, y, FT_CURVE_TAG_ON);
    }
    void cubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y) override {
        push(c1x, c1y, FT_CURVE_TAG_CUBIC);
        push(c2x, c2y, FT_CURVE_TAG_CUBIC);
        push(x, y, FT_CURVE_TAG_ON);
    }
    void closeFigure() override {
        if (points.size() <= start) return;
        // The rasteriser closes contours itself.
        if (points.size() - start > 1 && points.back().x == points[start].x &&
            points.back().y == points[start].y) {
            points.pop_back();
            tags.pop_back();
        }
        contours.push_back(static_cast<ContourIndex>(points.size() - 1));
    }
    void endGlyph() override {
        if (!contours.empty() && !far && points.size() < 32000 && contours.size() < 32000) {
            FT_Outline o{};
            o.n_points = static_cast<decltype(o.n_points)>(points.size());
            o.n_contours = static_cast<decltype(o.n_contours)>(contours.size());
            o.points = points.data();
            o.tags = tags.data();
            o.contours = contours.data();
            o.flags = FT_OUTLINE_NONE;
            FT_Raster_Params params{};
            params.source = &o;
            params.flags = FT_RASTER_FLAG_AA | FT_RASTER_FLAG_DIRECT | FT_RASTER_FLAG_CLIP;
            params.gray_spans = addSpans;
            params.user = &cov;
            params.clip_box.xMin = cov.x0;
            params.clip_box.xMax = cov.x0 + cov.w;
            params.clip_box.yMin = -(cov.y0 + cov.h);
            params.clip_box.yMax = -cov.y0;
            if (FT_Library lib = freetype()) FT_Outline_Render(lib, &o, &params);
        }
        points.clear();
        tags.clear();
        contours.clear();
        start = 0;
        far = false;
    }
};

void fillBox(Bitmap& bm, int64_t x0, int64_t y0, int64_t x1, int64_t y1, COLORREF c) {
    x0 = std::max<int64_t>(x0, 0);
    y0 = std::max<int64_t>(y0, 0);
    x1 = std::min<int64_t>(x1, bm.width);
    y1 = std::min<int64_t>(y1, bm.height);
    for (int64_t y = y0; y < y1; ++y) bm.span(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1), c);
}

void renderText(DC& dc, const Realized& r, const unsigned char* text, int count, int64_t left,
                int64_t baseline) {
    if (!dc.bitmap) return;
    Bitmap& bm = *dc.bitmap;
    int64_t width = textWidth(r, text, count);
    int64_t top = baseline - r.tm.tmAscent;
    if (dc.bkMode == OPAQUE) fillBox(bm, left, top, left + width, top + r.tm.tmHeight, dc.bkColour);

    // Glyphs may reach past their cells; an em on every side is plenty.
    int64_t margin = static_cast<int64_t>(std::ceil(r.ppem * std::max(1.0, r.sx / r.sy))) + 2;
    int64_t x0 = std::max<int64_t>(0, left - margin), x1 = std::min<int64_t>(bm.width, left + width + margin);
    int64_t y0 = std::max<int64_t>(0, top - margin), y1 = std::min<int64_t>(bm.height, top + r.tm.tmHeight + margin);
    if (x0 >= x1 || y0 >= y1) return;
    Coverage cov{static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0), {}};
    cov.a.assign(static_cast<size_t>(cov.w) * cov.h, 0);
    RenderSink sink(cov);
    emitText(r, text, count, static_cast<double>(left), static_cast<double>(baseline), sink);

    const COLORREF c = dc.textColour;
    const int cr = GetRValue(c), cg = GetGValue(c), cb = GetBValue(c);
    for (int y = 0; y < cov.h; ++y) {
        const unsigned char* line = cov.a.data() + static_cast<size_t>(y) * cov.w;
        int by = cov.y0 + y;
        for (int x = 0; x < cov.w; ++x) {
            int a = line[x];
            if (!a) continue;
            int bx = cov.x0 + x;
            if (bm.bpp == 1) {
                if (a >= 128) bm.set(bx, by, c);
                continue;
            }
            if (a == 255) {
                bm.set(bx, by, c);
                continue;
            }
            COLORREF d = bm.get(bx, by);
            auto mix = [a](int old, int now) { return (old * (255 - a) + now * a + 127) / 255; };
            bm.set(bx, by, RGB(static_cast<BYTE>(mix(GetRValue(d), cr)), static_cast<BYTE>(mix(GetGValue(d), cg)),
                               static_cast<BYTE>(mix(GetBValue(d), cb))));
        }
    }
}

BOOL extent(HDC h, const char* text, int count, SIZE* size) {
    try {
        DC* dc = dcFrom(h);
        if (!dc) return FALSE;
        if (!size || !validText(text, count)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        const Realized* r = selectedFont(*dc);
        if (!r) return FALSE;
        size->cx = textWidth(*r, reinterpret_cast<const unsigned char*>(text), count);
        size->cy = r->tm.tmHeight;
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

}  // namespace

}  // namespace zolgdi

using namespace zolgdi;

ZOLAPI HFONT CreateFontIndirectA(const LOGFONTA* lf) {
    try {
        if (!lf) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        auto f = std::make_unique<Font>();
        f->logical = *lf;
        f->realized = realize(*lf);
        if (!f->realized) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return nullptr;
        }
        return handleOf<HFONT>(registerObject(std::move(f)));
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

ZOLAPI HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, const char* faceName) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = static_cast<BYTE>(italic);
    lf.lfUnderline = static_cast<BYTE>(underline);
    lf.lfStrikeOut = static_cast<BYTE>(strikeOut);
    lf.lfCharSet = static_cast<BYTE>(charSet);
    lf.lfOutPrecision = static_cast<BYTE>(outPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(clipPrecision);
    lf.lfQuality = static_cast<BYTE>(quality);
    lf.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (faceName) std::memcpy(lf.lfFaceName, faceName, strnlen(faceName, LF_FACESIZE - 1));
    return CreateFontIndirectA(&lf);
}

ZOLAPI BOOL GetTextMetricsA(HDC h, TEXTMETRICA* metrics) {
    DC* dc = dcFrom(h);
    if (!dc) return FALSE;
    if (!metrics) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const Realized* r = selectedFont(*dc);
    if (!r) return FALSE;
    *metrics = r->tm;
    return TRUE;
}

ZOLAPI BOOL GetTextExtentPointA(HDC h, const char* text, int count, SIZE* size) {
    return extent(h, text, count, size);
}

ZOLAPI BOOL GetTextExtentPoint32A(HDC h, const char* text, int count, SIZE* size) {
    return extent(h, text, count, size);
}

ZOLAPI int GetTextFaceA(HDC h, int size, char* name) {
    DC* dc = dcFrom(h);
    if (!dc) return 0;
    const Realized* r = selectedFont(*dc);
    if (!r) return 0;
    int len = static_cast<int>(r->family.size());
    if (!name) return len + 1;
    if (size <= 0) return 0;
    int n = std::min(len, size - 1);
    std::memcpy(name, r->family.data(), static_cast<size_t>(n));
    name[n] = '\0';
    return n;
}

ZOLAPI BOOL ZolGetFontInfo(HFONT font, ZolFontInfo* info) {
    Font* f = as<Font>(font, Kind::Font);
    if (!f || !f->realized || !info) return FALSE;
    const Realized& r = *f->realized;
    *info = ZolFontInfo{};
    std::strncpy(info->file, r.file.c_str(), sizeof info->file - 1);
    std::strncpy(info->family, r.family.c_str(), sizeof info->family - 1);
    info->faceIndex = r.faceIndex;
    info->pixelsPerEm = r.ppem;
    info->scaleX = r.sx;
    info->scaleY = r.sy;
    info->syntheticBold = r.embolden ? TRUE : FALSE;
    info->syntheticItalic = r.shear != 0 ? TRUE : FALSE;
    return TRUE;
}

ZOLAPI BOOL TextOutA(HDC h, int x, int y, const char* text, int count) {
    try {
        DC* dc = dcFrom(h);
        if (!dc || !validText(text, count)) return FALSE;
        const Realized* r = selectedFont(*dc);
        if (!r) return FALSE;
        if (count == 0) return TRUE;
        auto bytes = reinterpret_cast<const unsigned char*>(text);
        int64_t width = textWidth(*r, bytes, count);
        bool updateCp = dc->textAlign & TA_UPDATECP;
        int64_t px = updateCp ? dc->position.x : x, py = updateCp ? dc->position.y : y;
        int64_t left = px;
        UINT horizontal = dc->textAlign & TA_CENTER;
        if (horizontal == TA_CENTER)
            left = px - width / 2;
        else if (horizontal == TA_RIGHT)
            left = px - width;
        int64_t baseline = py + r->tm.tmAscent;
        UINT vertical = dc->textAlign & TA_BASELINE;
        if (vertical == TA_BASELINE)
            baseline = py;
        else if (vertical == TA_BOTTOM)
            baseline = py - r->tm.tmDescent;
        if (dc->pathState == PathState::Open)
            addTextToPath(*dc, *r, bytes, count, static_cast<double>(left), static_cast<double>(baseline));
        else
            renderText(*dc, *r, bytes, count, left, baseline);
        if (updateCp) {
            int64_t nx = horizontal == TA_LEFT ? left + width : horizontal == TA_RIGHT ? left : px;
            dc->position.x = static_cast<LONG>(std::clamp<int64_t>(nx, INT32_MIN, INT32_MAX));
        }
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}
