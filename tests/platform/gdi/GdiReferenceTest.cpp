// The faster drawing routines against the ones they replaced, kept here as references: wide lines
// (floating-point row spans), device-independent bitmaps copied to the device (pixel by pixel through
// a picture of the copied rows) and the first pixels of a DIB section. Every case compares whole
// canvases pixel for pixel.
#include "tests/support/GdiTestSupport.h"

#include <QImage>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// ---- references ----

// The former wide-line rasteriser: for each row, the columns within width / 2 of the segment, worked
// out in floating point for the point nudged by 1/1024 right and down; painted onto `img` where `mask`
// (when given) holds the pixel.
bool RangeOf(double k, double c, double lo, double hi, double& x0, double& x1)
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

void ReferenceWideLine(QImage& img, QPoint a, QPoint b, double width, QRgb color, const QRegion* mask = nullptr)
{
    const double eps = 1.0 / 1024, r = width / 2;
    const double ax = a.x(), ay = a.y(), bx = b.x(), by = b.y();
    const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy, len = std::sqrt(len2);
    const int yTop = int(std::floor(std::min(ay, by) - r)) - 1;
    const int yBottom = int(std::ceil(std::max(ay, by) + r)) + 1;
    for (int y = std::max(yTop, 0); y <= std::min(yBottom, img.height() - 1); ++y) {
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
            if (RangeOf(dx, (-ax) * dx + (yc - ay) * dy, 0, len2, t0, t1) &&
                RangeOf(dy / len, ((-ax) * dy - (yc - ay) * dx) / len, -r, r, s0, s1)) {
                double x0 = std::max(t0, s0), x1 = std::min(t1, s1);
                if (x0 <= x1) {
                    lo = std::min(lo, x0);
                    hi = std::max(hi, x1);
                }
            }
        }
        if (lo > hi)
            continue;
        const double first = std::max(std::ceil(lo - eps), 0.0);
        const double last = std::min(std::floor(hi - eps), double(img.width() - 1));
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = int(first); x <= int(last) && first <= last; ++x)
            if (!mask || mask->contains(QPoint(x, y)))
                line[x] = color;
    }
}

// A packed DIB pixel as the former per-pixel reader gave it.
QRgb ReferenceDibPixel(const BITMAPINFO* bmi, const BYTE* row, int x)
{
    const int bpp = bmi->bmiHeader.biBitCount;
    const RGBQUAD* colors = bmi->bmiColors;
    const auto quad = [](const RGBQUAD& q) { return qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue); };
    switch (bpp) {
    case 32:
    case 24: {
        const BYTE* p = row + x * (bpp / 8);
        return qRgb(p[2], p[1], p[0]);
    }
    case 16: {
        int w = row[x * 2] | (row[x * 2 + 1] << 8);
        int cr = (w >> 10) & 31, cg = (w >> 5) & 31, cb = w & 31;
        return qRgb((cr << 3) | (cr >> 2), (cg << 3) | (cg >> 2), (cb << 3) | (cb >> 2));
    }
    case 8: return quad(colors[row[x]]);
    case 4: return quad(colors[(row[x / 2] >> (4 * (1 - x % 2))) & 0x0F]);
    case 1: return quad(colors[(row[x / 8] >> (7 - x % 8)) & 1]);
    default: return 0xFF000000u;
    }
}

DWORD Stride(LONG width, int bpp) { return DWORD((width * bpp + 31) / 32 * 4); }

// The former SetDIBitsToDevice onto a picture in device units (MM_TEXT, origins 0): the rows that exist
// go through a picture of w x h pixels, then onto the canvas where the clip holds.
int ReferenceSetDIBits(QImage& img, const QRegion& clip, int xDest, int yDest, int w, int h, int xSrc, int ySrc,
                       UINT startScan, UINT lines, const BYTE* bits, const BITMAPINFO* bmi)
{
    const bool bottomUp = bmi->bmiHeader.biHeight > 0;
    const int dibWidth = bmi->bmiHeader.biWidth;
    const int dibHeight = std::abs(bmi->bmiHeader.biHeight);
    QImage part(w, h, QImage::Format_ARGB32);
    part.fill(0);
    int set = 0;
    for (int j = 0; j < h; ++j) {
        long long scan = bottomUp ? (long long)ySrc + (h - 1 - j) : (long long)ySrc + j;
        long long mem = scan - startScan;
        if (scan < 0 || scan >= dibHeight || mem < 0 || mem >= lines)
            continue;
        ++set;
        const BYTE* row = bits + size_t(mem) * Stride(dibWidth, bmi->bmiHeader.biBitCount);
        for (int i = 0; i < w; ++i) {
            long long sx = (long long)xSrc + i;
            if (sx >= 0 && sx < dibWidth)
                part.setPixel(i, j, ReferenceDibPixel(bmi, row, int(sx)));
        }
    }
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const QPoint d(xDest + i, yDest + j);
            if (qAlpha(part.pixel(i, j)) && img.rect().contains(d) && clip.contains(d))
                img.setPixel(d, part.pixel(i, j) | 0xFF000000u);
        }
    return set;
}

// ---- canvases ----

void Clear(Canvas& c)
{
    HBRUSH white = CreateSolidBrush(kWhite);
    RECT all{0, 0, c.w, c.h};
    FillRect(c.dc, &all, white);
    DeleteObject(white);
}

QImage White(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(0xFFFFFFFFu);
    return image;
}

std::string Where(QPoint a, QPoint b, int width)
{
    return "from " + std::to_string(a.x()) + "," + std::to_string(a.y()) + " to " + std::to_string(b.x()) + "," +
           std::to_string(b.y()) + " width " + std::to_string(width);
}

constexpr QRgb kInk = 0xFF204080u;  // RGB(0x20, 0x40, 0x80)
constexpr COLORREF kInkRef = RGB(0x20, 0x40, 0x80);

// Draws a -> b with a pen of `width` pixels: a two-point polygon (its outline goes there and back)
// when asked, else LineTo.
void DrawWide(Canvas& c, QPoint a, QPoint b, int width, bool polygon)
{
    HPEN pen = CreatePen(PS_SOLID, width, kInkRef);
    HGDIOBJ old = SelectObject(c.dc, pen);
    if (polygon) {
        HGDIOBJ oldBrush = SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
        POINT pts[2] = {{a.x(), a.y()}, {b.x(), b.y()}};
        Polygon(c.dc, pts, 2);
        SelectObject(c.dc, oldBrush);
    } else {
        MoveToEx(c.dc, a.x(), a.y(), nullptr);
        LineTo(c.dc, b.x(), b.y());
    }
    SelectObject(c.dc, old);
    DeleteObject(pen);
}

// Every pixel of the canvas a different colour, to copy from.
void PaintGradient(Canvas& c)
{
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x)
            SetPixel(c.dc, x, y, RGB(x * 6, y * 6, (x * y) & 0xFF));
}

// A GDI region of the same pixels.
HRGN RegionOf(const QRegion& region)
{
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    for (const QRect& r : region) {
        HRGN part = CreateRectRgn(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
        CombineRgn(clip, clip, part, RGN_OR);
        DeleteObject(part);
    }
    return clip;
}

// A fixed sequence of numbers for the shapes (the same on every run).
struct Sequence {
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    int next(int lo, int hi)
    {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return lo + int((state >> 33) % std::uint64_t(hi - lo + 1));
    }
};

} // namespace

// Every short segment to each end within 16 pixels, at widths from 2 to 30, as a line and (from
// another start) as a two-point polygon with a brush, whose outline runs there and back and which
// fills nothing: the pixels are those of the former rasteriser.
TEST(GdiReference, ShortWideLinesMatchTheFormerRasteriser)
{
    constexpr int kSize = 80, kReach = 16;
    Canvas c(kSize, kSize);
    int compared = 0;
    for (bool polygon : {false, true})
        for (int width : {2, 3, 5, 6, 9, 17, 30})
            for (int dy = -kReach; dy <= kReach; ++dy)
                for (int dx = -kReach; dx <= kReach; ++dx) {
                    const QPoint a = polygon ? QPoint(39, 41) : QPoint(40, 40);
                    const QPoint b = a + QPoint(dx, dy);
                    Clear(c);
                    DrawWide(c, a, b, width, polygon);
                    QImage want = White(kSize, kSize);
                    ReferenceWideLine(want, a, b, width, kInk);
                    if (polygon)
                        ReferenceWideLine(want, b, a, width, kInk);
                    ASSERT_EQ(c.picture(), want) << Where(a, b, width) << (polygon ? " (polygon)" : "");
                    ++compared;
                }
    EXPECT_EQ(compared, 2 * 7 * 33 * 33);
}

// Long segments whose ends lie far off the canvas (up to 60 million pixels away), at any slope.
TEST(GdiReference, LongAndFarWideLinesMatchTheFormerRasteriser)
{
    constexpr int kSize = 160;
    Canvas c(kSize, kSize);
    Sequence seq;
    for (int i = 0; i < 800; ++i) {
        const int reach = i < 200 ? 400 : i < 400 ? 70000 : i < 600 ? 2000000 : 60000000;
        QPoint a(seq.next(-reach, reach), seq.next(-reach, reach));
        // Through a point of the canvas, so that most lines cross it.
        const QPoint through(seq.next(0, kSize - 1), seq.next(0, kSize - 1));
        QPoint b = through + (through - a);
        if (i % 7 == 0)
            b.setY(a.y());
        if (i % 11 == 0)
            b.setX(a.x());
        const int width = seq.next(2, i % 5 == 0 ? 600 : 40);
        Clear(c);
        DrawWide(c, a, b, width, false);
        QImage want = White(kSize, kSize);
        ReferenceWideLine(want, a, b, width, kInk);
        ASSERT_EQ(c.picture(), want) << Where(a, b, width);
    }
}

// Ends two billion pixels away and pens of millions (up to two billion) of pixels.
TEST(GdiReference, HugePensMatchTheFormerRasteriser)
{
    constexpr int kSize = 64;
    Canvas c(kSize, kSize);
    const struct {
        QPoint a, b;
        int width;
    } cases[] = {
        {{-2000000000, 10}, {2000000000, 40}, 3},
        {{-1500000000, -1500000000}, {1500000000, 1500000000}, 5000},
        {{10, 10}, {50, 20}, 1 << 24},
        {{-900000000, 30}, {900000000, 31}, 1 << 21},
        {{20, 20}, {20, 20}, 40},
        {{32, 32}, {32, 32}, 2000000000},
    };
    for (const auto& k : cases) {
        Clear(c);
        DrawWide(c, k.a, k.b, k.width, false);
        QImage want = White(kSize, kSize);
        ReferenceWideLine(want, k.a, k.b, k.width, kInk);
        EXPECT_EQ(c.picture(), want) << Where(k.a, k.b, k.width);
    }
}

// Under a clip region of several rectangles, wide lines paint what the former rasteriser painted
// inside the region and nothing outside it.
TEST(GdiReference, WideLinesUnderAClipRegionMatchTheFormerRasteriser)
{
    constexpr int kSize = 100;
    Canvas c(kSize, kSize);
    QRegion region = QRegion(10, 5, 60, 50) + QRegion(40, 45, 50, 40);
    region -= QRegion(30, 20, 15, 15);
    HRGN clip = RegionOf(region);
    Sequence seq;
    for (int i = 0; i < 400; ++i) {
        const QPoint a(seq.next(-20, 120), seq.next(-20, 120));
        const QPoint b(seq.next(-20, 120), seq.next(-20, 120));
        const int width = seq.next(2, 25);
        SelectClipRgn(c.dc, nullptr);
        Clear(c);
        SelectClipRgn(c.dc, clip);
        DrawWide(c, a, b, width, false);
        QImage want = White(kSize, kSize);
        ReferenceWideLine(want, a, b, width, kInk, &region);
        ASSERT_EQ(c.picture(), want) << Where(a, b, width);
    }
    SelectClipRgn(c.dc, nullptr);
    DeleteObject(clip);
}

// Polygons whose corners lie on one line, filled with a brush and drawn without a pen, paint nothing,
// in either fill mode; a thin triangle next to them is filled, and so is one whose first corner comes
// twice.
TEST(GdiReference, PolygonsOnOneLineFillNothing)
{
    Canvas c(60, 60);
    HBRUSH red = CreateSolidBrush(kRed);
    SelectObject(c.dc, red);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    const std::vector<std::vector<POINT>> lines = {
        {{5, 5}, {50, 40}},
        {{5, 5}, {50, 40}, {23, 19}},
        {{10, 50}, {10, 5}, {10, 30}, {10, 1}},
        {{3, 30}, {55, 30}, {20, 30}},
        {{0, 0}, {30, 15}, {58, 29}, {2, 1}},
        {{7, 7}, {7, 7}, {40, 7}},
    };
    for (int mode : {ALTERNATE, WINDING}) {
        SetPolyFillMode(c.dc, mode);
        for (const auto& pts : lines)
            Polygon(c.dc, pts.data(), int(pts.size()));
    }
    EXPECT_EQ(c.count(kWhite), 60 * 60);
    const POINT thin[3] = {{5, 5}, {50, 40}, {21, 17}};
    Polygon(c.dc, thin, 3);
    const int thinArea = c.count(kRed);
    EXPECT_GT(thinArea, 0);
    // A triangle whose first corner comes twice is filled.
    const POINT twice[4] = {{30, 50}, {30, 50}, {58, 50}, {30, 58}};
    Polygon(c.dc, twice, 4);
    EXPECT_GT(c.count(kRed), thinArea);
    SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
}

// DIBs of every depth, bottom-up and top-down, copied to the device from inside and from beyond their
// edges, in part (some scan lines only), partly off the canvas and under a clip region: the canvas
// and the number of rows set are those of the former copy.
TEST(GdiReference, SetDIBitsToDeviceMatchesTheFormerCopy)
{
    constexpr int kSize = 40;
    Canvas c(kSize, kSize);
    QRegion region = QRegion(0, 0, kSize, kSize) - QRegion(12, 8, 9, 14);
    HRGN clip = RegionOf(region);
    struct Info {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    };
    Sequence seq;
    int compared = 0;
    for (int bpp : {1, 4, 8, 16, 24, 32})
        for (int orientation : {1, -1})
            for (int i = 0; i < 60; ++i) {
                const int dibW = seq.next(1, 23), dibH = seq.next(1, 19);
                Info info{};
                info.header.biSize = sizeof(BITMAPINFOHEADER);
                info.header.biWidth = dibW;
                info.header.biHeight = orientation * dibH;
                info.header.biPlanes = 1;
                info.header.biBitCount = WORD(bpp);
                info.header.biCompression = BI_RGB;
                for (RGBQUAD& q : info.colors)
                    q = RGBQUAD{BYTE(seq.next(0, 255)), BYTE(seq.next(0, 255)), BYTE(seq.next(0, 255)), 0};
                std::vector<BYTE> bits(size_t(Stride(dibW, bpp)) * size_t(dibH));
                for (BYTE& v : bits)
                    v = BYTE(seq.next(0, 255));
                const UINT startScan = UINT(seq.next(0, 3) == 0 ? seq.next(0, dibH - 1) : 0);
                const UINT lines = UINT(seq.next(0, 3) == 0 ? seq.next(0, dibH) : dibH);
                const int w = seq.next(1, 30), h = seq.next(1, 26);
                const int xSrc = seq.next(-6, dibW), ySrc = seq.next(-6, dibH);
                const int xDest = seq.next(-10, kSize - 5), yDest = seq.next(-10, kSize - 5);
                const bool clipped = i % 3 == 0;
                SelectClipRgn(c.dc, nullptr);
                Clear(c);
                SelectClipRgn(c.dc, clipped ? clip : nullptr);
                // Only the lines from startScan on are passed.
                const BYTE* passed = bits.data() + size_t(startScan) * Stride(dibW, bpp);
                const UINT passedLines = std::min<UINT>(lines, UINT(dibH) - startScan);
                const auto* bmi = reinterpret_cast<const BITMAPINFO*>(&info);
                const int got = SetDIBitsToDevice(c.dc, xDest, yDest, DWORD(w), DWORD(h), xSrc, ySrc, startScan,
                                                  passedLines, passed, bmi, DIB_RGB_COLORS);
                QImage want = White(kSize, kSize);
                const int expected = ReferenceSetDIBits(want, clipped ? region : QRegion(0, 0, kSize, kSize), xDest,
                                                        yDest, w, h, xSrc, ySrc, startScan, passedLines, passed, bmi);
                SelectClipRgn(c.dc, nullptr);
                const std::string where = "depth " + std::to_string(bpp) + " case " + std::to_string(i) +
                                          (orientation < 0 ? " top-down" : " bottom-up");
                ASSERT_EQ(got, expected) << where;
                ASSERT_EQ(c.picture(), want) << where;
                ++compared;
            }
    EXPECT_EQ(compared, 6 * 2 * 60);
    DeleteObject(clip);
}

// A new DIB section reads, everywhere, as its zeroed bits do: colour 0 of its table, or black.
TEST(GdiReference, NewSectionsShowTheColourOfZeroBits)
{
    struct Info {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    };
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        Info info{};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = 7;
        info.header.biHeight = 5;
        info.header.biPlanes = 1;
        info.header.biBitCount = WORD(bpp);
        info.header.biCompression = BI_RGB;
        info.colors[0] = RGBQUAD{0x30, 0x60, 0x90, 0};
        info.colors[1] = RGBQUAD{0xFF, 0xFF, 0xFF, 0};
        HDC mem = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        HBITMAP section = CreateDIBSection(mem, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(section, nullptr) << bpp;
        HGDIOBJ old = SelectObject(mem, section);
        Canvas c(7, 5);
        BitBlt(c.dc, 0, 0, 7, 5, mem, 0, 0, SRCCOPY);
        const COLORREF want = bpp <= 8 ? RGB(0x90, 0x60, 0x30) : kBlack;
        EXPECT_EQ(c.count(want), 35) << bpp;
        SelectObject(mem, old);
        DeleteObject(section);
        DeleteDC(mem);
    }
}

// Handles used a moment ago are refused once deleted: pens, brushes and contexts, each looked up again
// and again just before.
TEST(GdiReference, HandlesInUseAreRefusedOnceDeleted)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 3, kRed);
    HBRUSH brush = CreateSolidBrush(kBlue);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(SelectObject(dc, pen), nullptr);
        EXPECT_NE(SelectObject(dc, brush), nullptr);
        EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_PEN));
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    }
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetObjectType(pen), 0u);
    EXPECT_EQ(SelectObject(dc, pen), nullptr);
    EXPECT_EQ(SelectObject(dc, brush), nullptr);
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 0);
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), nullptr);
    EXPECT_FALSE(DeleteDC(dc));
}

// A new bitmap reads black everywhere, and fills that cover a whole bitmap (raster operations without
// a source, through any mapping, not cut by the clip region) leave every pixel of that colour; drawing
// afterwards changes only what it draws.
TEST(GdiReference, WholeBitmapFillsReadAsTheirColourEverywhere)
{
    constexpr int kW = 30, kH = 20;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, kW, kH);
    ASSERT_NE(bitmap, nullptr);
    // Never selected: its bits are black.
    std::vector<QRgb> bits(size_t(kW * kH), 0x12345678u);
    BITMAPINFO info = TopDown32(kW, kH);
    ASSERT_EQ(GetDIBits(dc, bitmap, 0, kH, bits.data(), &info, DIB_RGB_COLORS), kH);
    EXPECT_EQ(std::count(bits.begin(), bits.end(), 0u), kW * kH);

    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, kW - 1, kH - 1), kBlack);
    const auto expectOnly = [&](COLORREF background, std::vector<std::pair<QPoint, COLORREF>> marks, const char* when) {
        QImage want(kW, kH, QImage::Format_RGB32);
        want.fill(qRgb(GetRValue(background), GetGValue(background), GetBValue(background)));
        for (const auto& [p, c] : marks)
            want.setPixel(p, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        Canvas copy(kW, kH, kGreen);
        BitBlt(copy.dc, 0, 0, kW, kH, dc, 0, 0, SRCCOPY);
        EXPECT_EQ(copy.picture(), want) << when;
    };
    SetPixel(dc, 3, 4, kRed);
    expectOnly(kBlack, {{QPoint(3, 4), kRed}}, "a pixel on a new bitmap");

    PatBlt(dc, 0, 0, kW, kH, WHITENESS);
    expectOnly(kWhite, {}, "whiteness over the red pixel");
    SetPixel(dc, 5, 6, kRed);
    expectOnly(kWhite, {{QPoint(5, 6), kRed}}, "a pixel after whiteness");

    // A clip region that leaves one pixel out: that pixel keeps its colour.
    HRGN all = CreateRectRgn(0, 0, kW, kH);
    HRGN hole = CreateRectRgn(5, 6, 6, 7);
    CombineRgn(all, all, hole, RGN_DIFF);
    SelectClipRgn(dc, all);
    PatBlt(dc, 0, 0, kW, kH, BLACKNESS);
    SelectClipRgn(dc, nullptr);
    expectOnly(kBlack, {{QPoint(5, 6), kRed}}, "blackness around a hole in the clip region");

    // The brush's colour, through a mapping whose window is larger than the bitmap.
    HBRUSH blue = CreateSolidBrush(kBlue);
    HGDIOBJ oldBrush = SelectObject(dc, blue);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 300, -200, nullptr);
    SetViewportExtEx(dc, kW, kH, nullptr);
    PatBlt(dc, -10, 10, 320, -220, PATCOPY);
    SetMapMode(dc, MM_TEXT);
    expectOnly(kBlue, {}, "the brush through a mapping");
    // A fill that misses a column leaves it.
    PatBlt(dc, 0, 0, kW - 1, kH, WHITENESS);
    std::vector<std::pair<QPoint, COLORREF>> column;
    for (int y = 0; y < kH; ++y)
        column.push_back({QPoint(kW - 1, y), kBlue});
    expectOnly(kWhite, column, "whiteness short of the last column");

    SelectObject(dc, oldBrush);
    SelectObject(dc, old);
    DeleteObject(blue);
    DeleteObject(hole);
    DeleteObject(all);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// Stretches that keep the width, down and up, mirrored top to bottom, from sources partly beyond the
// source bitmap and under a clip region: each destination pixel is the source pixel at
// ((2 i + 1) w) / (2 W) across and likewise down, as the former copy took it pixel by pixel.
TEST(GdiReference, StretchesOfTheSameWidthMatchTheFormerCopy)
{
    constexpr int kSize = 40;
    Canvas source(kSize, kSize);
    PaintGradient(source);
    const QImage sourcePicture = source.picture();
    QRegion region = QRegion(0, 0, kSize, kSize) - QRegion(10, 12, 7, 9);
    HRGN clip = RegionOf(region);
    Canvas c(kSize, kSize);
    Sequence seq;
    for (int i = 0; i < 300; ++i) {
        const int w = seq.next(1, 30), h = seq.next(1, 35), sh = seq.next(1, 35);
        const int xd = seq.next(-5, 30), yd = seq.next(-5, 30), xs = seq.next(-5, 30), ys = seq.next(-5, 30);
        const bool flip = i % 4 == 0, clipped = i % 3 == 0;
        SelectClipRgn(c.dc, nullptr);
        Clear(c);
        SelectClipRgn(c.dc, clipped ? clip : nullptr);
        // A mirrored copy runs the source from its bottom row up.
        StretchBlt(c.dc, xd, yd, w, h, source.dc, xs, flip ? ys + sh : ys, w, flip ? -sh : sh, SRCCOPY);
        SelectClipRgn(c.dc, nullptr);
        QImage want = White(kSize, kSize);
        for (int j = 0; j < h; ++j)
            for (int k = 0; k < w; ++k) {
                const QPoint d(xd + k, yd + j);
                if (!want.rect().contains(d) || (clipped && !region.contains(d)))
                    continue;
                const int row = int(((2LL * (flip ? h - 1 - j : j) + 1) * sh) / (2LL * h));
                const QPoint s(xs + k, ys + row);
                if (sourcePicture.rect().contains(s))
                    want.setPixel(d, sourcePicture.pixel(s));
            }
        ASSERT_EQ(c.picture(), want) << "case " << i;
    }
    DeleteObject(clip);
}

// Copies and fills onto a bitmap whose fill of the whole has not been written out yet leave that fill
// wherever they do not reach: copies from sources partly beyond their bitmap, under a clip region,
// beside the bitmap, hundreds of small ones, and drawing after them. The reference bitmap has its fill
// written at once.
TEST(GdiReference, CopiesOntoAFreshFillLeaveTheFillWhereTheyDoNotReach)
{
    constexpr int kSize = 40;
    Canvas source(kSize, kSize);
    PaintGradient(source);
    // A 24-bit picture of 5 x 3 pixels for StretchDIBits, bottom-up.
    BITMAPINFO dibInfo{};
    dibInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    dibInfo.bmiHeader.biWidth = 5;
    dibInfo.bmiHeader.biHeight = 3;
    dibInfo.bmiHeader.biPlanes = 1;
    dibInfo.bmiHeader.biBitCount = 24;
    dibInfo.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> dib(3 * 16);
    for (size_t i = 0; i < dib.size(); ++i)
        dib[i] = BYTE(i * 37 + 11);
    HRGN clip = RegionOf(QRegion(0, 0, kSize, kSize) - QRegion(10, 12, 7, 9));
    HBRUSH ink = CreateSolidBrush(kInkRef);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(200, 10, 10));
    Sequence seq;
    for (int i = 0; i < 90; ++i) {
        Canvas fresh(kSize, kSize), settled(kSize, kSize);
        const DWORD fill = i % 3 == 0 ? BLACKNESS : i % 3 == 1 ? WHITENESS : PATCOPY;
        for (Canvas* c : {&fresh, &settled}) {
            SelectObject(c->dc, ink);
            PatBlt(c->dc, 0, 0, kSize, kSize, fill);
        }
        SetPixel(settled.dc, 0, 0, GetPixel(settled.dc, 0, 0));
        const int calls = i % 10 == 9 ? 400 : seq.next(1, 8);
        for (int k = 0; k < calls; ++k) {
            const int kind = seq.next(0, 3), clipped = seq.next(0, 2) == 0;
            const int small = calls > 100 ? 3 : 30;
            const int w = seq.next(1, small), h = seq.next(1, small), sw = seq.next(1, small), sh = seq.next(1, small);
            const int xd = seq.next(-5, kSize + 2), yd = seq.next(-5, kSize + 2);
            const int xs = seq.next(-5, kSize), ys = seq.next(-5, kSize);
            for (Canvas* c : {&fresh, &settled}) {
                SelectClipRgn(c->dc, clipped ? clip : nullptr);
                switch (kind) {
                case 0: StretchBlt(c->dc, xd, yd, w, h, source.dc, xs, ys, k % 2 ? w : sw, sh, SRCCOPY); break;
                case 1:
                    StretchDIBits(c->dc, xd, yd, w, h, xs % 6, ys % 4, 5 - std::abs(xs % 6) + (k % 3), 3, dib.data(),
                                  &dibInfo, DIB_RGB_COLORS, SRCCOPY);
                    break;
                case 2: PatBlt(c->dc, xd, yd, w, h, k % 2 ? BLACKNESS : PATCOPY); break;
                default: BitBlt(c->dc, -60, -60, 50, 50, source.dc, 0, 0, SRCCOPY); break;
                }
                SelectClipRgn(c->dc, nullptr);
            }
        }
        if (i % 2) {
            for (Canvas* c : {&fresh, &settled}) {
                SelectObject(c->dc, pen);
                MoveToEx(c->dc, 2, kSize - 3, nullptr);
                LineTo(c->dc, kSize - 4, 5);
                SelectObject(c->dc, GetStockObject(BLACK_PEN));
            }
        }
        for (Canvas* c : {&fresh, &settled})
            SelectObject(c->dc, GetStockObject(WHITE_BRUSH));
        ASSERT_EQ(fresh.picture(), settled.picture()) << "case " << i;
    }
    DeleteObject(pen);
    DeleteObject(ink);
    DeleteObject(clip);
}
