// Pixel rules of the device: polygon fill by the top-left rule, one-pixel lines without their last
// pixel, wide lines with round ends, raster operations and nearest-pixel stretching.
#include "platform/gdi/GdiDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace gdi {

namespace {

// floor(n / d) and ceil(n / d) for d != 0.
template <class T> T FloorDiv(T n, T d)
{
    if (d < 0) {
        n = -n;
        d = -d;
    }
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}
template <class T> T CeilDiv(T n, T d) { return -FloorDiv(-n, d); }

inline void Put(QImage& img, int x, int y, QRgb c) { reinterpret_cast<QRgb*>(img.scanLine(y))[x] = c; }

// n pixels of colour c from p on, two at a time.
inline void FillPixels(QRgb* p, int n, QRgb c)
{
    const quint64 two = quint64(c) << 32 | c;
    for (; n >= 2; n -= 2, p += 2)
        std::memcpy(p, &two, 8);
    if (n)
        *p = c;
}

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

using Wide = __int128;

// floor(sqrt(n)) for 0 <= n < 2^124.
Wide ISqrt(Wide n)
{
    if (n <= 0)
        return 0;
    Wide r = Wide(std::sqrt(static_cast<long double>(n)));
    while (r > 0 && r * r > n)
        --r;
    while ((r + 1) * (r + 1) <= n)
        ++r;
    return r;
}

// floor(r sqrt(n)) for 0 <= r < 2^41 and 0 <= n < 2^66, without forming r^2 n: with s = floor(sqrt(n))
// it is r s + t for the largest t in [0, r) with (r s + t)^2 <= r^2 n, that is 2 r s t + t^2 <= r^2 (n - s^2).
Wide FloorRootProduct(Wide r, Wide n)
{
    const Wide s = ISqrt(n), e = n - s * s;
    Wide lo = 0, hi = r;
    while (lo < hi) {
        const Wide t = (lo + hi + 1) / 2;
        if (2 * r * s * t + t * t <= r * r * e)
            lo = t;
        else
            hi = t - 1;
    }
    return r * s + lo;
}

// An interval of integers; empty when lo > hi.
struct Range {
    Wide lo = 1, hi = 0;
    bool empty() const { return lo > hi; }
    Range operator&(const Range& o) const { return {std::max(lo, o.lo), std::min(hi, o.hi)}; }
    // The smallest interval holding both.
    Range operator|(const Range& o) const
    {
        if (empty())
            return o;
        if (o.empty())
            return *this;
        return {std::min(lo, o.lo), std::max(hi, o.hi)};
    }
};

// The integers v with lo <= k v + c <= hi.
Range Solve(Wide k, Wide c, Wide lo, Wide hi)
{
    if (k == 0)
        return c >= lo && c <= hi ? Range{std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max()}
                                  : Range{};
    if (k > 0)
        return {CeilDiv(lo - c, k), FloorDiv(hi - c, k)};
    return {CeilDiv(hi - c, k), FloorDiv(lo - c, k)};
}

// The wide line of width w from a to a + d, in units of 1/1024 pixel: pixel (x, y) is painted when the
// point (x + 1/1024, y + 1/1024) lies within w / 2 of the segment. The nudge decides points on the
// outline (a horizontal line of width w covers exactly w rows) and keeps every test exact in integers.
class WideSegment {
public:
    static constexpr Wide kUnit = 1024;

    // Any segment between points of 32-bit coordinates and any width below 2^31 keeps every value
    // within 128 bits: |dx|, |dy| <= 2^32, m_r <= 2^40, rows k within 2^33 of a.
    WideSegment(long long dx, long long dy, long long w)
        : m_dx(dx), m_dy(dy), m_r(kUnit * w / 2), m_len2(Wide(dx) * dx + Wide(dy) * dy),
          m_m(FloorRootProduct(m_r, m_len2))
    {
    }

    // The painted columns of row k below a, as offsets from a's column.
    Range Row(long long k) const
    {
        const Wide y = kUnit * k + 1;
        // The point's scaled x is kUnit * i + 1 for column offset i.
        const auto columns = [](Range x) {
            return x.empty() ? x : Range{CeilDiv<Wide>(x.lo - 1, kUnit), FloorDiv<Wide>(x.hi - 1, kUnit)};
        };
        Range r = columns(Disc(y)) | Shift(columns(Disc(y - kUnit * m_dy)), m_dx);
        if (m_len2 > 0) {
            // Along the segment within [0, len2], across it within [-r len, r len].
            const Range along = Solve(m_dx, y * m_dy, 0, kUnit * m_len2);
            const Range across = Solve(m_dy, -y * m_dx, -m_m, m_m);
            r = r | columns(along & across);
        }
        return r;
    }

private:
    // The scaled x of points of row y (scaled, relative to the centre) within the end disc.
    Range Disc(Wide y) const
    {
        const Wide h = m_r * m_r - y * y;
        if (h < 0)
            return {};
        const Wide s = ISqrt(h);
        return {-s, s};
    }
    static Range Shift(Range r, Wide by) { return r.empty() ? r : Range{r.lo + by, r.hi + by}; }

    long long m_dx, m_dy;
    Wide m_r, m_len2, m_m;
};

// The painted rows of a short segment, kept by its direction and width: walls of a maze are a few
// shapes drawn tens of thousands of times.
struct Stamp {
    long long dx = 0, dy = 0, w = -1;
    long long top = 0;                            // first row, relative to the start point
    std::vector<std::pair<int, int>> columns;     // per row, first and last column relative to it
    int left = 0, right = -1;                     // the first and last column of all rows
};
constexpr long long kStampRows = 512;
constexpr size_t kStamps = 64;

const Stamp& StampFor(long long dx, long long dy, long long w, long long top, long long bottom)
{
    thread_local std::vector<Stamp> stamps(kStamps);
    const size_t slot = size_t((dx * 73856093LL) ^ (dy * 19349663LL) ^ (w * 83492791LL)) % kStamps;
    Stamp& st = stamps[slot];
    if (st.dx == dx && st.dy == dy && st.w == w)
        return st;
    st.dx = dx;
    st.dy = dy;
    st.w = w;
    st.top = top;
    st.columns.clear();
    const WideSegment seg(dx, dy, w);
    st.left = 0;
    st.right = -1;
    for (long long k = top; k <= bottom; ++k) {
        const Range r = seg.Row(k);
        st.columns.emplace_back(r.empty() ? std::pair<int, int>(1, 0) : std::pair<int, int>(int(r.lo), int(r.hi)));
        if (!r.empty()) {
            st.left = st.right < st.left ? int(r.lo) : std::min(st.left, int(r.lo));
            st.right = std::max(st.right, int(r.hi));
        }
    }
    return st;
}

}  // namespace

void WideLine(QImage& img, const Clip& clip, QPoint a, QPoint b, int width, QRgb color)
{
    const QRect& bounds = clip.bounds();
    if (bounds.isEmpty())
        return;
    const long long ax = a.x(), ay = a.y(), dx = (long long)b.x() - ax, dy = (long long)b.y() - ay;
    // Rows that can hold a painted pixel, relative to a.
    const long long half = ((long long)width + 1) / 2;
    const long long top = std::min(0LL, dy) - half - 1, bottom = std::max(0LL, dy) + half + 1;
    const long long rowFrom = std::max(top, bounds.top() - ay), rowTo = std::min(bottom, bounds.bottom() - ay);
    uchar* const bits = img.bits();
    const qsizetype bytesPerLine = img.bytesPerLine();
    auto paint = [&](long long k, long long first, long long last) {
        first = std::max<long long>(first, bounds.left());
        last = std::min<long long>(last, bounds.right());
        if (first > last)
            return;
        clip.span(int(ay + k), int(first), int(last) + 1, [&](int yy, int x0, int x1) {
            QRgb* line = reinterpret_cast<QRgb*>(bits + yy * bytesPerLine);
            std::fill(line + x0, line + x1, color);
        });
    };
    if (std::max(std::llabs(dx), std::llabs(dy)) + width < kStampRows) {
        const Stamp& st = StampFor(dx, dy, width, top, bottom);
        if (clip.rectangular() && ax + st.left >= bounds.left() && ax + st.right <= bounds.right()) {
            // Every row lies within the clip rectangle across: straight onto the rows.
            uchar* row = bits + (ay + rowFrom) * bytesPerLine;
            for (long long k = rowFrom; k <= rowTo; ++k, row += bytesPerLine) {
                const auto [first, last] = st.columns[size_t(k - st.top)];
                if (first <= last)
                    FillPixels(reinterpret_cast<QRgb*>(row) + ax + first, last - first + 1, color);
            }
            return;
        }
        for (long long k = rowFrom; k <= rowTo; ++k) {
            const auto [first, last] = st.columns[size_t(k - st.top)];
            if (first <= last)
                paint(k, ax + first, ax + last);
        }
        return;
    }
    const WideSegment seg(dx, dy, width);
    for (long long k = rowFrom; k <= rowTo; ++k) {
        const Range r = seg.Row(k);
        if (!r.empty())
            paint(k, (long long)(r.lo + ax), (long long)(r.hi + ax));
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
    // Columns map one to one whenever the widths agree and nothing mirrors them: rows are copied.
    const bool sameColumns = useSrc && sw == dw && !flipX;
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
            if (sameColumns && code == 0xCC) {
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
