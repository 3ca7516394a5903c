// Solid fills and strokes into bitmaps. A pixel (x, y) is the square from
// (x, y) to (x + 1, y + 1); a fill sets it when its centre is inside, so the
// pixels set by a fill at any size add up to the area of the shape.
#include <algorithm>
#include <cmath>

#include "platform/gdi/internal.h"

namespace zolgdi {

namespace {

struct Edge {
    double x0, y0, x1, y1;  // y0 < y1
    double slope;           // dx per dy
    int dir;
    int firstRow;
};

struct Crossing {
    double x;
    int dir;
};

// Coordinates past this are far outside any bitmap; keeping them bounded
// keeps the row arithmetic in range.
constexpr double kFar = 1.0e7;

double bound(double v) { return std::clamp(v, -kFar, kFar); }

}  // namespace

void flattenCubic(Polygon& out, PointD p0, PointD p1, PointD p2, PointD p3) {
    // Enough pieces that no piece strays more than a tenth of a pixel from
    // the curve (Wang's bound).
    double ax = p0.x - 2 * p1.x + p2.x, ay = p0.y - 2 * p1.y + p2.y;
    double bx = p1.x - 2 * p2.x + p3.x, by = p1.y - 2 * p2.y + p3.y;
    double m = std::sqrt(std::max(ax * ax + ay * ay, bx * bx + by * by));
    int n = static_cast<int>(std::ceil(std::sqrt(m * 0.75 / 0.1)));
    n = std::clamp(n, 1, 1024);
    for (int i = 1; i <= n; ++i) {
        double t = static_cast<double>(i) / n, u = 1 - t;
        double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        out.push_back({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
    }
}

void fillPolygons(Bitmap& bm, const std::vector<Polygon>& polys, bool winding, COLORREF colour) {
    std::vector<Edge> edges;
    double minY = kFar, maxY = -kFar;
    for (const Polygon& p : polys) {
        size_t n = p.size();
        if (n < 2) continue;
        for (size_t i = 0; i < n; ++i) {
            PointD a{bound(p[i].x), bound(p[i].y)};
            PointD b{bound(p[(i + 1) % n].x), bound(p[(i + 1) % n].y)};
            if (a.y == b.y) continue;
            Edge e;
            e.dir = a.y < b.y ? 1 : -1;
            if (a.y > b.y) std::swap(a, b);
            e.x0 = a.x;
            e.y0 = a.y;
            e.x1 = b.x;
            e.y1 = b.y;
            e.slope = (b.x - a.x) / (b.y - a.y);
            e.firstRow = static_cast<int>(std::ceil(a.y - 0.5));
            minY = std::min(minY, a.y);
            maxY = std::max(maxY, b.y);
            edges.push_back(e);
        }
    }
    if (edges.empty()) return;
    int rowFrom = std::max(0, static_cast<int>(std::ceil(minY - 0.5)));
    int rowTo = std::min(bm.height, static_cast<int>(std::ceil(maxY - 0.5)));
    if (rowFrom >= rowTo) return;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.firstRow < b.firstRow; });

    std::vector<const Edge*> active;
    std::vector<Crossing> xs;
    size_t next = 0;
    for (int row = rowFrom; row < rowTo; ++row) {
        const double yc = row + 0.5;
        while (next < edges.size() && edges[next].firstRow <= row) active.push_back(&edges[next++]);
        active.erase(std::remove_if(active.begin(), active.end(), [&](const Edge* e) { return e->y1 <= yc; }),
                     active.end());
        xs.clear();
        for (const Edge* e : active)
            if (e->y0 <= yc) xs.push_back({e->x0 + (yc - e->y0) * e->slope, e->dir});
        if (xs.size() < 2) continue;
        std::sort(xs.begin(), xs.end(), [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        auto fill = [&](double xa, double xb) {
            int c0 = std::max(0, static_cast<int>(std::ceil(xa - 0.5)));
            int c1 = std::min(bm.width, static_cast<int>(std::ceil(xb - 0.5)));
            bm.span(row, c0, c1, colour);
        };
        if (!winding) {
            for (size_t i = 0; i + 1 < xs.size(); i += 2) fill(xs[i].x, xs[i + 1].x);
        } else {
            int w = 0;
            for (size_t i = 0; i + 1 < xs.size(); ++i) {
                w += xs[i].dir;
                if (w != 0) fill(xs[i].x, xs[i + 1].x);
            }
        }
    }
}

namespace {

void plot(Bitmap& bm, double x, double y, COLORREF c) {
    if (!(x >= 0 && y >= 0 && x < bm.width && y < bm.height)) return;
    bm.set(static_cast<int>(x), static_cast<int>(y), c);
}

// The one-pixel line: along its longer axis one pixel a column (or row),
// the one the line passes through at that column's centre; both end points'
// pixels included.
void thinLine(Bitmap& bm, PointD a, PointD b, COLORREF c) {
    a = {bound(a.x), bound(a.y)};
    b = {bound(b.x), bound(b.y)};
    double dx = b.x - a.x, dy = b.y - a.y;
    if (dx == 0 && dy == 0) {
        plot(bm, std::floor(a.x), std::floor(a.y), c);
        return;
    }
    bool xMajor = std::fabs(dx) >= std::fabs(dy);
    if (xMajor ? a.x > b.x : a.y > b.y) std::swap(a, b);
    double lo = xMajor ? a.x : a.y, hi = xMajor ? b.x : b.y;
    double limit = xMajor ? bm.width : bm.height;
    double from = std::max(std::floor(lo), 0.0), to = std::min(std::floor(hi), limit - 1);
    double slope = xMajor ? (b.y - a.y) / (b.x - a.x) : (b.x - a.x) / (b.y - a.y);
    for (double k = from; k <= to; ++k) {
        double t = std::clamp(k + 0.5, lo, hi);
        double other = (xMajor ? a.y : a.x) + (t - lo) * slope;
        if (xMajor)
            plot(bm, k, std::floor(other), c);
        else
            plot(bm, std::floor(other), k, c);
    }
}

}  // namespace

void strokePolyline(Bitmap& bm, const Polygon& line, bool closed, int width, COLORREF c) {
    if (line.empty()) return;
    size_t n = line.size();
    size_t segments = closed ? n : n - 1;
    if (width <= 1) {
        if (n == 1) thinLine(bm, line[0], line[0], c);
        for (size_t i = 0; i < segments; ++i) thinLine(bm, line[i], line[(i + 1) % n], c);
        return;
    }
    // A wide pen: a band along every piece and a square on every corner,
    // centred where the one-pixel pen's pixels have their centres.
    const double h = width / 2.0;
    std::vector<Polygon> shapes;
    Polygon centred(line);
    for (PointD& p : centred) p = {p.x + 0.5, p.y + 0.5};
    for (size_t i = 0; i < n; ++i) {
        PointD p = centred[i];
        shapes.push_back({{p.x - h, p.y - h}, {p.x + h, p.y - h}, {p.x + h, p.y + h}, {p.x - h, p.y + h}});
    }
    for (size_t i = 0; i < segments; ++i) {
        PointD a = centred[i], b = centred[(i + 1) % n];
        double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
        if (len == 0) continue;
        double nx = -dy / len * h, ny = dx / len * h;
        shapes.push_back({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}});
    }
    for (const Polygon& s : shapes) fillPolygons(bm, {s}, true, c);
}

}  // namespace zolgdi
