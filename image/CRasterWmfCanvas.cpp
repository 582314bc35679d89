#include "image/CRasterWmfPlayer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A coordinate as a pixel index, kept well inside the 32-bit range.
LONG ToPixel(double v)
{
    if (!(v > -1e7))
        return -10000000;
    if (v > 1e7)
        return 10000000;
    return LONG(std::floor(v));
}

// The first pixel whose centre lies at or after v.
LONG FirstCentreAtOrAfter(double v)
{
    return ToPixel(std::ceil(v - 0.5));
}

struct Edge {
    double yTop, yBottom, x, dxdy;
    int dir;
};

// The hatch styles on an 8-pixel grid: horizontal, vertical, two diagonals, cross, diagonal cross.
bool HatchAt(WORD style, LONG x, LONG y)
{
    const LONG u = x & 7, v = y & 7;
    switch (style) {
    case 0: return v == 0;
    case 1: return u == 0;
    case 2: return u == v;
    case 3: return u == 7 - v;
    case 4: return u == 0 || v == 0;
    case 5: return u == v || u == 7 - v;
    default: return true;
    }
}

} // namespace

CRasterWmfCanvas::CRasterWmfCanvas(CRasterImage& image, std::uint64_t budget)
    : m_image(image), m_width(LONG(image.GetWidth())), m_height(LONG(image.GetHeight())), m_budget(budget)
{
}

void CRasterWmfCanvas::Put(LONG x, LONG y, COLORREF color)
{
    BYTE* p = m_image.GetBits(DWORD(m_height - 1 - y)) + std::size_t(x) * 3;
    p[0] = BYTE(color >> 16);
    p[1] = BYTE(color >> 8);
    p[2] = BYTE(color);
}

void CRasterWmfCanvas::SetPixel(LONG x, LONG y, COLORREF color)
{
    if (x >= 0 && y >= 0 && x < m_width && y < m_height && !Exhausted()) {
        Put(x, y, color);
        Spend(1);
    }
}

template <class Span>
void CRasterWmfCanvas::Spans(const std::vector<std::vector<WmfPoint>>& polygons, bool winding, Span span)
{
    std::vector<Edge> edges;
    double yMin = 1e300, yMax = -1e300;
    for (const auto& poly : polygons) {
        const std::size_t n = poly.size();
        for (std::size_t i = 0; i < n; ++i) {
            const WmfPoint a = poly[i], b = poly[(i + 1) % n];
            if (a.y == b.y || !std::isfinite(a.x + a.y + b.x + b.y))
                continue;
            const bool down = a.y < b.y;
            const WmfPoint& top = down ? a : b;
            const WmfPoint& bottom = down ? b : a;
            edges.push_back(Edge{top.y, bottom.y, top.x, (bottom.x - top.x) / (bottom.y - top.y), down ? 1 : -1});
            yMin = std::min(yMin, top.y);
            yMax = std::max(yMax, bottom.y);
        }
    }
    if (edges.empty())
        return;
    const LONG row0 = std::max<LONG>(0, FirstCentreAtOrAfter(yMin));
    const LONG row1 = std::min<LONG>(m_height, FirstCentreAtOrAfter(yMax));
    if (row0 >= row1)
        return;
    if (!Afford(std::uint64_t(row1 - row0) * (edges.size() + 1)))
        return;
    std::vector<std::pair<double, int>> xs;
    for (LONG y = row0; y < row1 && !Exhausted(); ++y) {
        const double yc = y + 0.5;
        xs.clear();
        for (const Edge& e : edges)
            if (e.yTop <= yc && yc < e.yBottom)
                xs.emplace_back(e.x + (yc - e.yTop) * e.dxdy, e.dir);
        std::sort(xs.begin(), xs.end());
        int wind = 0;
        for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
            wind += winding ? xs[i].second : 1;
            const bool inside = winding ? wind != 0 : (wind & 1) != 0;
            if (!inside)
                continue;
            // Pixels whose centres lie in [x_i, x_i+1).
            const LONG x0 = std::max<LONG>(0, FirstCentreAtOrAfter(xs[i].first));
            const LONG x1 = std::min<LONG>(m_width, FirstCentreAtOrAfter(xs[i + 1].first));
            if (x0 < x1) {
                span(y, x0, x1);
                Spend(std::uint64_t(x1 - x0));
            }
        }
    }
}

void CRasterWmfCanvas::FillPolygons(const std::vector<std::vector<WmfPoint>>& polygons, bool winding, COLORREF color)
{
    Spans(polygons, winding, [&](LONG y, LONG x0, LONG x1) {
        for (LONG x = x0; x < x1; ++x)
            Put(x, y, color);
    });
}

void CRasterWmfCanvas::HatchPolygons(const std::vector<std::vector<WmfPoint>>& polygons, bool winding, WORD hatch,
                                     COLORREF color, LONG background)
{
    Spans(polygons, winding, [&](LONG y, LONG x0, LONG x1) {
        for (LONG x = x0; x < x1; ++x) {
            if (HatchAt(hatch, x, y))
                Put(x, y, color);
            else if (background >= 0)
                Put(x, y, COLORREF(background));
        }
    });
}

void CRasterWmfCanvas::Disc(WmfPoint c, double radius, COLORREF color)
{
    std::vector<std::vector<WmfPoint>> poly(1);
    const int n = radius < 4 ? 12 : 24;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * kPi * i / n;
        poly[0].push_back(WmfPoint{c.x + radius * std::cos(a), c.y + radius * std::sin(a)});
    }
    FillPolygons(poly, true, color);
}

void CRasterWmfCanvas::Line(WmfPoint a, WmfPoint b, double width, COLORREF color)
{
    if (Exhausted() || !std::isfinite(a.x + a.y + b.x + b.y))
        return;
    if (width > 1.5) {
        const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
        const double r = width / 2;
        if (len > 0) {
            const double nx = -dy / len * r, ny = dx / len * r;
            std::vector<std::vector<WmfPoint>> quad{{{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny},
                                                     {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}}};
            FillPolygons(quad, true, color);
        }
        Disc(a, r, color);
        Disc(b, r, color);
        return;
    }
    // Clip the segment to the canvas (with a margin) so that the steps below stay few.
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x + 1, m_width + 1 - a.x, a.y + 1, m_height + 1 - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return;
    const WmfPoint s{a.x + t0 * dx, a.y + t0 * dy}, e{a.x + t1 * dx, a.y + t1 * dy};
    const double steps = std::ceil(std::max(std::fabs(e.x - s.x), std::fabs(e.y - s.y)));
    const LONG n = LONG(std::min(steps, 1e6));
    Spend(std::uint64_t(n) + 1);
    for (LONG i = 0; i <= n; ++i) {
        const double t = n ? double(i) / n : 0;
        const LONG x = ToPixel(s.x + t * (e.x - s.x)), y = ToPixel(s.y + t * (e.y - s.y));
        if (x >= 0 && y >= 0 && x < m_width && y < m_height)
            Put(x, y, color);
    }
}
