// Pixel rules of the device: polygon fill by the top-left rule, one-pixel lines without their last
// pixel, wide lines with round ends, raster operations and nearest-pixel stretching.
#include "platform/GdiDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gdi {

namespace {

// floor(n / d) and ceil(n / d) for d > 0.
long long FloorDiv(long long n, long long d) { return n >= 0 ? n / d : -((-n + d - 1) / d); }
long long CeilDiv(long long n, long long d) { return -FloorDiv(-n, d); }

inline void Put(QImage& img, int x, int y, QRgb c) { reinterpret_cast<QRgb*>(img.scanLine(y))[x] = c; }

}  // namespace

Clip::Clip(const QRect& surface, const std::optional<QRegion>& clip)
{
    if (!clip) {
        m_bounds = surface;
        return;
    }
    QRegion r = clip->intersected(surface);
    m_bounds = r.boundingRect();
    if (r.rectCount() > 1)
        m_rects.emplace(r.begin(), r.end());
}

bool Clip::contains(int x, int y) const
{
    if (!m_bounds.contains(x, y))
        return false;
    if (!m_rects)
        return true;
    for (const QRect& r : *m_rects)
        if (r.contains(x, y))
            return true;
    return false;
}

void PolygonSpans(const std::vector<std::vector<QPoint>>& polys, bool winding, int yMin, int yMax,
                  const SpanSink& out)
{
    struct Edge {
        QPoint a, b;  // a.y < b.y
        int dir;
    };
    // Scratch space kept between calls: cell drawers fill tens of thousands of small polygons.
    thread_local std::vector<Edge> edges;
    thread_local std::vector<std::pair<long long, int>> xs;
    edges.clear();
    int top = INT32_MAX, bottom = INT32_MIN;
    for (const auto& poly : polys) {
        const size_t n = poly.size();
        for (size_t i = 0; i < n; ++i) {
            QPoint p = poly[i], q = poly[(i + 1) % n];
            if (p.y() == q.y())
                continue;
            Edge e = p.y() < q.y() ? Edge{p, q, 1} : Edge{q, p, -1};
            edges.push_back(e);
            top = std::min(top, e.a.y());
            bottom = std::max(bottom, e.b.y());
        }
    }
    if (edges.empty())
        return;
    yMin = std::max(yMin, top);
    yMax = std::min(yMax, bottom - 1);
    for (int y = yMin; y <= yMax; ++y) {
        xs.clear();
        for (const Edge& e : edges) {
            if (y < e.a.y() || y >= e.b.y())
                continue;
            // First pixel at or right of the crossing: a crossing exactly on a pixel corner takes it.
            long long num = (long long)(y - e.a.y()) * (e.b.x() - e.a.x());
            long long den = e.b.y() - e.a.y();
            xs.emplace_back(e.a.x() + CeilDiv(num, den), e.dir);
        }
        std::sort(xs.begin(), xs.end());
        if (!winding) {
            for (size_t i = 0; i + 1 < xs.size(); i += 2)
                if (xs[i].first < xs[i + 1].first)
                    out(y, int(xs[i].first), int(xs[i + 1].first));
        } else {
            int w = 0;
            for (size_t i = 0; i + 1 < xs.size(); ++i) {
                w += xs[i].second;
                if (w != 0 && xs[i].first < xs[i + 1].first)
                    out(y, int(xs[i].first), int(xs[i + 1].first));
            }
        }
    }
}

QRegion PolygonRegion(const std::vector<std::vector<QPoint>>& polys, bool winding)
{
    // Rows with the same spans are merged into one band, so a rectangle stays one rectangle.
    std::vector<QRect> rects;
    std::vector<std::pair<int, int>> row, prev;
    int prevY = INT32_MIN, bandTop = 0;
    auto flush = [&](int endY) {
        for (auto [a, b] : prev)
            rects.emplace_back(QPoint(a, bandTop), QPoint(b - 1, endY - 1));
    };
    int curY = INT32_MIN;
    auto endRow = [&]() {
        if (curY == INT32_MIN)
            return;
        if (row == prev && prevY == curY - 1) {
            prevY = curY;
        } else {
            flush(prevY + 1);
            prev = row;
            bandTop = curY;
            prevY = curY;
        }
        row.clear();
    };
    PolygonSpans(polys, winding, INT32_MIN, INT32_MAX, [&](int y, int x0, int x1) {
        if (y != curY) {
            endRow();
            curY = y;
        }
        if (!row.empty() && row.back().second >= x0)
            row.back().second = std::max(row.back().second, x1);
        else
            row.emplace_back(x0, x1);
    });
    endRow();
    flush(prevY + 1);
    QRegion r;
    if (!rects.empty())
        r.setRects(rects.data(), int(rects.size()));
    return r;
}

void FillRect(QImage& img, const Clip& clip, const QRect& r, QRgb color)
{
    QRect b = r.intersected(clip.bounds());
    for (int y = b.top(); y <= b.bottom(); ++y)
        clip.span(y, b.left(), b.right() + 1, [&](int yy, int x0, int x1) {
            QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(yy));
            std::fill(line + x0, line + x1, color);
        });
}

void FillSpans(QImage& img, const Clip& clip, const std::vector<std::vector<QPoint>>& polys, bool winding,
               QRgb color)
{
    const QRect& b = clip.bounds();
    if (b.isEmpty())
        return;
    PolygonSpans(polys, winding, b.top(), b.bottom(), [&](int y, int x0, int x1) {
        clip.span(y, x0, x1, [&](int yy, int a, int c) {
            QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(yy));
            std::fill(line + a, line + c, color);
        });
    });
}

void CosmeticLine(QImage& img, const Clip& clip, QPoint a, QPoint b, QRgb color, int* dotPhase,
                  const QRgb* gapColor)
{
    const long long dx = b.x() - a.x(), dy = b.y() - a.y();
    const long long adx = std::llabs(dx), ady = std::llabs(dy);
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const long long n = std::max(adx, ady);
    for (long long i = 0; i < n; ++i) {
        long long x, y;
        // The pixel nearest to the ideal line along the minor axis; halves go away from the start.
        if (adx >= ady) {
            x = a.x() + sx * i;
            y = a.y() + sy * ((2 * i * ady + adx) / (2 * adx));
        } else {
            y = a.y() + sy * i;
            x = a.x() + sx * ((2 * i * adx + ady) / (2 * ady));
        }
        const QRgb* c = &color;
        if (dotPhase) {
            if ((*dotPhase % 6) >= 3)
                c = gapColor;
            ++*dotPhase;
        }
        if (c && x >= INT32_MIN && x <= INT32_MAX && y >= INT32_MIN && y <= INT32_MAX &&
            clip.contains(int(x), int(y)))
            Put(img, int(x), int(y), *c);
    }
}

namespace {

// Where lo <= k x + c <= hi holds on a line; false when nowhere.
bool LinearRange(double k, double c, double lo, double hi, double& x0, double& x1)
{
    if (std::fabs(k) < 1e-12) {
        if (c < lo || c > hi)
            return false;
        x0 = -1e300;
        x1 = 1e300;
        return true;
    }
    x0 = (lo - c) / k;
    x1 = (hi - c) / k;
    if (x0 > x1)
        std::swap(x0, x1);
    return true;
}

}  // namespace

void WideLine(QImage& img, const Clip& clip, QPoint a, QPoint b, double width, QRgb color)
{
    // Pixel (x, y) is painted when the point (x, y) nudged right and down by a tiny amount lies within
    // width / 2 of the segment: a horizontal line of width w covers exactly w rows.
    const double eps = 1.0 / 1024, r = width / 2;
    const double ax = a.x(), ay = a.y(), bx = b.x(), by = b.y();
    const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy, len = std::sqrt(len2);
    const int yTop = int(std::floor(std::min(ay, by) - r)) - 1;
    const int yBottom = int(std::ceil(std::max(ay, by) + r)) + 1;
    const QRect& bounds = clip.bounds();
    for (int y = std::max(yTop, bounds.top()); y <= std::min(yBottom, bounds.bottom()); ++y) {
        const double yc = y + eps;
        double lo = 1e300, hi = -1e300;
        auto disc = [&](double cx, double cy) {
            double h = r * r - (yc - cy) * (yc - cy);
            if (h < 0)
                return;
            double w = std::sqrt(h);
            lo = std::min(lo, cx - w);
            hi = std::max(hi, cx + w);
        };
        disc(ax, ay);
        disc(bx, by);
        if (len2 > 0) {
            double t0, t1, s0, s1;
            // Projection onto the segment in [0, len2] and distance from its line in [-r, r].
            if (LinearRange(dx, (-ax) * dx + (yc - ay) * dy, 0, len2, t0, t1) &&
                LinearRange(dy / len, ((-ax) * dy - (yc - ay) * dx) / len, -r, r, s0, s1)) {
                double x0 = std::max(t0, s0), x1 = std::min(t1, s1);
                if (x0 <= x1) {
                    lo = std::min(lo, x0);
                    hi = std::max(hi, x1);
                }
            }
        }
        if (lo > hi)
            continue;
        double first = std::ceil(lo - eps), last = std::floor(hi - eps);
        first = std::max(first, double(bounds.left()));
        last = std::min(last, double(bounds.right()));
        if (first > last)
            continue;
        clip.span(y, int(first), int(last) + 1, [&](int yy, int x0, int x1) {
            QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(yy));
            std::fill(line + x0, line + x1, color);
        });
    }
}

QRgb Rop3(BYTE code, QRgb p, QRgb s, QRgb d)
{
    switch (code) {
    case 0x00: return 0xFF000000u;
    case 0xFF: return 0xFFFFFFFFu;
    case 0xCC: return s | 0xFF000000u;
    case 0xF0: return p | 0xFF000000u;
    case 0x55: return ~d | 0xFF000000u;
    case 0x88: return (s & d) | 0xFF000000u;
    case 0xEE: return (s | d) | 0xFF000000u;
    case 0x66: return (s ^ d) | 0xFF000000u;
    case 0x5A: return (p ^ d) | 0xFF000000u;
    default: break;
    }
    // Each set bit i of the code selects the minterm with pattern bit i>>2, source bit (i>>1)&1,
    // destination bit i&1.
    QRgb r = 0;
    for (int i = 0; i < 8; ++i) {
        if (!(code & (1 << i)))
            continue;
        QRgb m = ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
        r |= m;
    }
    return r | 0xFF000000u;
}

void Blit(QImage& dst, const Clip& clip, const QRect& dstRect, const QImage* src, const QRect& srcRect,
          bool flipX, bool flipY, BYTE code, QRgb pattern)
{
    const QRect area = dstRect.intersected(clip.bounds());
    if (area.isEmpty())
        return;
    const bool useSrc = src && RopUsesSource(code) && !srcRect.isEmpty();
    if (RopUsesSource(code) && !useSrc)
        return;
    const long long dw = dstRect.width(), dh = dstRect.height();
    const long long sw = useSrc ? srcRect.width() : 0, sh = useSrc ? srcRect.height() : 0;
    const bool oneToOne = useSrc && sw == dw && sh == dh && !flipX && !flipY;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        int sy = 0;
        const QRgb* srow = nullptr;
        if (useSrc) {
            long long j = y - dstRect.top();
            if (flipY)
                j = dh - 1 - j;
            sy = srcRect.top() + int(oneToOne ? j : ((2 * j + 1) * sh) / (2 * dh));
            if (sy < 0 || sy >= src->height())
                continue;
            srow = reinterpret_cast<const QRgb*>(src->constScanLine(sy));
        }
        clip.span(y, area.left(), area.right() + 1, [&](int yy, int x0, int x1) {
            QRgb* line = reinterpret_cast<QRgb*>(dst.scanLine(yy));
            if (!useSrc && (code == 0x00 || code == 0xFF || code == 0xF0)) {
                std::fill(line + x0, line + x1, Rop3(code, pattern, 0, 0));
                return;
            }
            if (oneToOne && code == 0xCC) {
                int s0 = srcRect.left() + (x0 - dstRect.left());
                int a = std::max(0, -s0);
                int b = std::min(x1 - x0, src->width() - s0);
                if (a < b)
                    std::memmove(line + x0 + a, srow + s0 + a, size_t(b - a) * 4);
                return;
            }
            for (int x = x0; x < x1; ++x) {
                QRgb s = 0;
                if (useSrc) {
                    long long i = x - dstRect.left();
                    if (flipX)
                        i = dw - 1 - i;
                    int sx = srcRect.left() + int(oneToOne ? i : ((2 * i + 1) * sw) / (2 * dw));
                    if (sx < 0 || sx >= src->width())
                        continue;
                    s = srow[sx];
                }
                line[x] = Rop3(code, pattern, s, line[x]);
            }
        });
    }
}

}  // namespace gdi
