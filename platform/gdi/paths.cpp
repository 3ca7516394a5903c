// The path bracket, the pen's lines and curves, and the fills of a path.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/gdi/internal.h"

namespace zolgdi {

namespace {

constexpr size_t kMaxPathPoints = size_t(1) << 24;

bool inPath(const DC& dc) { return dc.pathState == PathState::Open; }

PointD toD(POINT p) { return {static_cast<double>(p.x), static_cast<double>(p.y)}; }

// A figure starts at the current position when something is drawn from it
// with no figure open.
void ensureFigure(DC& dc) {
    bool open = !dc.pendingMove && !dc.types.empty() && !(dc.types.back() & PT_CLOSEFIGURE);
    if (open) return;
    dc.figureStart = dc.points.size();
    dc.points.push_back(dc.position);
    dc.types.push_back(PT_MOVETO);
    dc.pendingMove = false;
}

void add(DC& dc, POINT p, BYTE type) {
    if (dc.points.size() >= kMaxPathPoints) throw std::length_error("path too long");
    dc.points.push_back(p);
    dc.types.push_back(type);
}

// Lines drawn straight into the bitmap with the selected pen.
void strokeLine(DC& dc, const Polygon& line, bool closed) {
    if (!dc.bitmap || !dc.pen || dc.pen->hollow) return;
    strokePolyline(*dc.bitmap, line, closed, dc.pen->width, dc.pen->colour);
}

bool lineTo(DC& dc, POINT p) {
    if (inPath(dc)) {
        ensureFigure(dc);
        add(dc, p, PT_LINETO);
    } else {
        strokeLine(dc, {toD(dc.position), toD(p)}, false);
    }
    dc.position = p;
    return true;
}

bool bezierTo(DC& dc, const POINT* p) {
    if (inPath(dc)) {
        ensureFigure(dc);
        for (int i = 0; i < 3; ++i) add(dc, p[i], PT_BEZIERTO);
    } else {
        Polygon line{toD(dc.position)};
        flattenCubic(line, toD(dc.position), toD(p[0]), toD(p[1]), toD(p[2]));
        strokeLine(dc, line, false);
    }
    dc.position = p[2];
    return true;
}

bool closeFigure(DC& dc) {
    if (!inPath(dc) || dc.pendingMove || dc.types.empty() || dc.figureStart >= dc.points.size()) return false;
    dc.types.back() |= PT_CLOSEFIGURE;
    dc.position = dc.points[dc.figureStart];
    return true;
}

// The path's figures as polylines, curves flattened.
struct Figure {
    Polygon line;
    bool closed = false;
};

std::vector<Figure> figures(const DC& dc) {
    std::vector<Figure> out;
    const auto& pts = dc.points;
    const auto& types = dc.types;
    for (size_t i = 0; i < pts.size(); ++i) {
        BYTE t = types[i] & ~PT_CLOSEFIGURE;
        if (t == PT_MOVETO || out.empty()) {
            out.push_back({});
            out.back().line.push_back(toD(pts[i]));
        } else if (t == PT_BEZIERTO && i + 2 < pts.size()) {
            Polygon& l = out.back().line;
            flattenCubic(l, l.back(), toD(pts[i]), toD(pts[i + 1]), toD(pts[i + 2]));
            i += 2;
        } else {
            out.back().line.push_back(toD(pts[i]));
        }
        if (types[i] & PT_CLOSEFIGURE) out.back().closed = true;
    }
    return out;
}

void clearPath(DC& dc) {
    dc.pathState = PathState::None;
    dc.points.clear();
    dc.types.clear();
    dc.pendingMove = false;
    dc.figureStart = 0;
}

BOOL paintPath(HDC h, bool fill, bool stroke) {
    try {
        DC* dc = dcFrom(h);
        if (!dc) return FALSE;
        if (dc->pathState != PathState::Closed) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (dc->bitmap) {
            std::vector<Figure> figs = figures(*dc);
            if (fill && dc->brush && !dc->brush->hollow) {
                std::vector<Polygon> polys;
                polys.reserve(figs.size());
                for (const Figure& f : figs) polys.push_back(f.line);
                fillPolygons(*dc->bitmap, polys, dc->fillMode == WINDING, dc->brush->colour);
            }
            if (stroke)
                for (const Figure& f : figs) strokeLine(*dc, f.line, f.closed);
        }
        clearPath(*dc);
        return TRUE;
    } catch (...) {
        if (DC* dc = dcFrom(h)) clearPath(*dc);
        return FALSE;
    }
}

bool validTypes(const BYTE* types, int count) {
    for (int i = 0; i < count; ++i) {
        BYTE t = types[i] & ~PT_CLOSEFIGURE;
        if (t == PT_BEZIERTO) {
            if (i + 2 >= count || (types[i + 1] & ~PT_CLOSEFIGURE) != PT_BEZIERTO ||
                (types[i + 2] & ~PT_CLOSEFIGURE) != PT_BEZIERTO)
                return false;
            i += 2;
        } else if (t != PT_LINETO && t != PT_MOVETO) {
            return false;
        }
    }
    return true;
}

}  // namespace

// The glyph outline sink of a text call inside a path: integer points,
// curves as cubic Béziers, the closing line of a figure left implicit.
struct PathTextSink : OutlineSink {
    std::vector<POINT> points;
    std::vector<BYTE> types;
    size_t start = 0;
    PointD current{0, 0};

    static POINT round(double x, double y) {
        auto r = [](double v) { return static_cast<LONG>(std::clamp(std::floor(v + 0.5), -2.0e9, 2.0e9)); };
        return {r(x), r(y)};
    }
    void moveTo(double x, double y) override {
        start = points.size();
        points.push_back(round(x, y));
        types.push_back(PT_MOVETO);
        current = {x, y};
    }
    void lineTo(double x, double y) override {
        points.push_back(round(x, y));
        types.push_back(PT_LINETO);
        current = {x, y};
    }
    void conicTo(double cx, double cy, double x, double y) override {
        cubicTo(current.x + 2.0 / 3.0 * (cx - current.x), current.y + 2.0 / 3.0 * (cy - current.y),
                x + 2.0 / 3.0 * (cx - x), y + 2.0 / 3.0 * (cy - y), x, y);
    }
    void cubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y) override {
        points.push_back(round(c1x, c1y));
        points.push_back(round(c2x, c2y));
        points.push_back(round(x, y));
        types.insert(types.end(), 3, PT_BEZIERTO);
        current = {x, y};
    }
    void closeFigure() override {
        if (points.size() <= start) return;
        POINT f = points[start];
        if (points.size() - start > 1 && types.back() == PT_LINETO && points.back().x == f.x &&
            points.back().y == f.y) {
            points.pop_back();
            types.pop_back();
        }
        if (points.size() - start <= 1) {
            points.resize(start);
            types.resize(start);
            return;
        }
        types.back() |= PT_CLOSEFIGURE;
    }
};

void addTextToPath(DC& dc, const Realized& r, const unsigned char* text, int count, double left,
                   double baseline) {
    PathTextSink sink;
    emitText(r, text, count, left, baseline, sink);
    if (sink.points.empty()) return;
    if (dc.points.size() + sink.points.size() + 1 > kMaxPathPoints) throw std::length_error("path too long");
    if (dc.pendingMove) {
        dc.points.push_back(dc.position);
        dc.types.push_back(PT_MOVETO);
        dc.pendingMove = false;
    }
    // Each glyph figure is closed, so the pen's own figure is over too.
    size_t base = dc.points.size();
    dc.points.insert(dc.points.end(), sink.points.begin(), sink.points.end());
    dc.types.insert(dc.types.end(), sink.types.begin(), sink.types.end());
    dc.figureStart = base + sink.start;
}

}  // namespace zolgdi

using namespace zolgdi;

ZOLAPI BOOL BeginPath(HDC h) {
    DC* dc = dcFrom(h);
    if (!dc) return FALSE;
    clearPath(*dc);
    dc->pathState = PathState::Open;
    return TRUE;
}

ZOLAPI BOOL EndPath(HDC h) {
    DC* dc = dcFrom(h);
    if (!dc) return FALSE;
    if (dc->pathState != PathState::Open) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    dc->pathState = PathState::Closed;
    dc->pendingMove = false;
    return TRUE;
}

ZOLAPI BOOL AbortPath(HDC h) {
    DC* dc = dcFrom(h);
    if (!dc) return FALSE;
    clearPath(*dc);
    return TRUE;
}

ZOLAPI BOOL MoveToEx(HDC h, int x, int y, POINT* previous) {
    DC* dc = dcFrom(h);
    if (!dc) return FALSE;
    if (previous) *previous = dc->position;
    dc->position = {x, y};
    if (inPath(*dc)) dc->pendingMove = true;
    return TRUE;
}

ZOLAPI BOOL LineTo(HDC h, int x, int y) {
    try {
        DC* dc = dcFrom(h);
        return dc && lineTo(*dc, {x, y}) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

ZOLAPI BOOL PolyBezierTo(HDC h, const POINT* points, DWORD count) {
    try {
        DC* dc = dcFrom(h);
        if (!dc) return FALSE;
        if (!points || count % 3 != 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        for (DWORD i = 0; i < count; i += 3) bezierTo(*dc, points + i);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

ZOLAPI BOOL CloseFigure(HDC h) {
    DC* dc = dcFrom(h);
    if (!dc) return FALSE;
    if (!closeFigure(*dc)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

ZOLAPI BOOL PolyDraw(HDC h, const POINT* points, const BYTE* types, int count) {
    try {
        DC* dc = dcFrom(h);
        if (!dc) return FALSE;
        if (count < 0 || (count > 0 && (!points || !types)) || !validTypes(types, count)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        POINT start = dc->position;
        for (int i = 0; i < count; ++i) {
            BYTE t = types[i] & ~PT_CLOSEFIGURE;
            int last = i;
            if (t == PT_MOVETO) {
                dc->position = points[i];
                if (inPath(*dc)) dc->pendingMove = true;
                start = points[i];
            } else if (t == PT_LINETO) {
                lineTo(*dc, points[i]);
            } else {
                bezierTo(*dc, points + i);
                last = i + 2;
                i += 2;
            }
            if (types[last] & PT_CLOSEFIGURE) {
                if (inPath(*dc)) {
                    closeFigure(*dc);
                } else {
                    lineTo(*dc, start);
                }
            }
        }
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

ZOLAPI BOOL GetCurrentPositionEx(HDC h, POINT* position) {
    DC* dc = dcFrom(h);
    if (!dc || !position) return FALSE;
    *position = dc->position;
    return TRUE;
}

ZOLAPI int GetPath(HDC h, POINT* points, BYTE* types, int count) {
    DC* dc = dcFrom(h);
    if (!dc) return -1;
    if (dc->pathState != PathState::Closed || count < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    int n = static_cast<int>(dc->points.size());
    if (count == 0) return n;
    if (count < n || !points || !types) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    std::copy(dc->points.begin(), dc->points.end(), points);
    std::copy(dc->types.begin(), dc->types.end(), types);
    return n;
}

ZOLAPI BOOL StrokeAndFillPath(HDC h) { return paintPath(h, true, true); }
ZOLAPI BOOL FillPath(HDC h) { return paintPath(h, true, false); }
ZOLAPI BOOL StrokePath(HDC h) { return paintPath(h, false, true); }

ZOLAPI int SetPolyFillMode(HDC h, int mode) {
    DC* dc = dcFrom(h);
    if (!dc) return 0;
    if (mode != ALTERNATE && mode != WINDING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int old = dc->fillMode;
    dc->fillMode = mode;
    return old;
}

ZOLAPI int GetPolyFillMode(HDC h) {
    DC* dc = dcFrom(h);
    return dc ? dc->fillMode : 0;
}
