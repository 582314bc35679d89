// Lines, polygons, pens, mapping modes, blits and clipping in memory contexts, checked pixel by pixel
// against pixels the tests work out themselves.
#include "tests/support/GdiTestSupport.h"

#include <QBuffer>
#include <QImage>
#include <QPdfWriter>

#include <array>
#include <climits>
#include <cstring>
#include <cmath>
#include <memory>

#include "platform/gdi/CDC.h"

namespace {

// A context on a 600-dots-per-inch device: a memory context compatible with a PDF page at 600 dpi.
struct PdfDevice {
    QBuffer buffer;
    std::unique_ptr<QPdfWriter> writer;
    HDC dc = nullptr;
    PdfDevice()
    {
        buffer.open(QIODevice::WriteOnly);
        writer = std::make_unique<QPdfWriter>(&buffer);
        writer->setResolution(600);
        dc = CreatePagedDeviceDC(writer.get());
    }
    ~PdfDevice() { DeleteDC(dc); }
};

void UsePen(HDC dc, int style, int width, COLORREF color)
{
    DeleteObject(SelectObject(dc, CreatePen(style, width, color)));
}

void UseBrush(HDC dc, COLORREF color) { DeleteObject(SelectObject(dc, CreateSolidBrush(color))); }

}  // namespace

TEST(GdiArithmetic, MulDivRoundsHalvesAwayFromZeroAndRefusesWhatDoesNotFit)
{
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(5, -1, 2), -3);
    EXPECT_EQ(MulDiv(7, 1, 3), 2);
    EXPECT_EQ(MulDiv(8, 1, 3), 3);
    EXPECT_EQ(MulDiv(120, 1000, 720), 167);  // a 12-point font in thousandths of an inch
    EXPECT_EQ(MulDiv(7499, 96, 1000), 720);
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);  // 64-bit intermediate
    EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(GdiLines, LineToLeavesOutItsLastPixel)
{
    Canvas c(20, 12);
    MoveToEx(c.dc, 2, 3, nullptr);
    ASSERT_TRUE(LineTo(c.dc, 8, 3));
    std::set<std::pair<int, int>> expected;
    for (int x = 2; x < 8; ++x)
        expected.insert({x, 3});
    // A diagonal and a shallow line: the pixel nearest the ideal line in each column, the end left out.
    MoveToEx(c.dc, 0, 5, nullptr);
    LineTo(c.dc, 5, 10);
    for (int i = 0; i < 5; ++i)
        expected.insert({i, 5 + i});
    MoveToEx(c.dc, 8, 6, nullptr);
    LineTo(c.dc, 18, 9);
    for (int i = 0; i < 10; ++i)
        expected.insert({8 + i, 6 + int(std::floor(i * 3.0 / 10 + 0.5))});
    EXPECT_EQ(c.pixels(kBlack), expected);

    POINT pos;
    GetCurrentPositionEx(c.dc, &pos);
    EXPECT_EQ(pos.x, 18);
    EXPECT_EQ(pos.y, 9);
    // A line to where it starts draws nothing.
    LineTo(c.dc, 18, 9);
    EXPECT_EQ(c.at(18, 9), kWhite);
}

TEST(GdiLines, PolylineDrawsEveryVertexButTheLast)
{
    Canvas c(10, 10);
    POINT pts[] = {{1, 1}, {5, 1}, {5, 6}};
    ASSERT_TRUE(Polyline(c.dc, pts, 3));
    std::set<std::pair<int, int>> expected;
    for (int x = 1; x <= 5; ++x)
        expected.insert({x, 1});
    for (int y = 2; y < 6; ++y)
        expected.insert({5, y});
    EXPECT_EQ(c.pixels(kBlack), expected);
    EXPECT_FALSE(Polyline(c.dc, pts, 1));
}

TEST(GdiLines, DottedPenDrawsThreeOnThreeOffRestartingAtEachCall)
{
    Canvas c(30, 4, kRed);
    UsePen(c.dc, PS_DOT, 0, kBlack);
    MoveToEx(c.dc, 0, 1, nullptr);
    LineTo(c.dc, 20, 1);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(c.at(x, 1), (x % 6) < 3 ? kBlack : kWhite) << x;  // gaps take the background colour
    EXPECT_EQ(c.at(20, 1), kRed);

    SetBkMode(c.dc, TRANSPARENT);
    MoveToEx(c.dc, 0, 2, nullptr);
    LineTo(c.dc, 4, 2);
    LineTo(c.dc, 12, 2);  // the pattern starts again here
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(c.at(x, 2), x < 3 ? kBlack : kRed) << x;
    for (int x = 4; x < 12; ++x)
        EXPECT_EQ(c.at(x, 2), ((x - 4) % 6) < 3 ? kBlack : kRed) << x;
}

TEST(GdiLines, NullPenDrawsNothing)
{
    Canvas c(10, 10);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    MoveToEx(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 9, 9);
    EXPECT_EQ(c.count(kBlack), 0);
}

TEST(GdiPolygons, FillFollowsTheTopLeftRule)
{
    Canvas c(12, 12);
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
    POINT tri[] = {{0, 0}, {8, 0}, {0, 8}};
    ASSERT_TRUE(Polygon(c.dc, tri, 3));
    std::set<std::pair<int, int>> expected;
    // A pixel is in when its top-left corner is inside or on the left or top edge; the hypotenuse
    // x + y = 8 is a right edge.
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            if (x + y < 8)
                expected.insert({x, y});
    EXPECT_EQ(c.pixels(kBlack), expected);

    Canvas r(12, 12);
    SelectObject(r.dc, GetStockObject(NULL_PEN));
    SelectObject(r.dc, GetStockObject(BLACK_BRUSH));
    POINT rect[] = {{2, 3}, {9, 3}, {9, 7}, {2, 7}};
    Polygon(r.dc, rect, 4);
    EXPECT_EQ(r.bounds(kWhite).left, 2);
    EXPECT_EQ(r.bounds(kWhite).top, 3);
    EXPECT_EQ(r.bounds(kWhite).right, 9);
    EXPECT_EQ(r.bounds(kWhite).bottom, 7);
    EXPECT_EQ(r.count(kBlack), 7 * 4);
}

TEST(GdiPolygons, AlternateLeavesTheInnerPentagonOpenAndWindingFillsIt)
{
    // A five-pointed star drawn in one stroke: its centre is covered twice.
    POINT star[] = {{20, 0}, {32, 38}, {0, 14}, {40, 14}, {8, 38}};
    Canvas alt(41, 40), wind(41, 40);
    for (Canvas* c : {&alt, &wind}) {
        SelectObject(c->dc, GetStockObject(NULL_PEN));
        SelectObject(c->dc, GetStockObject(BLACK_BRUSH));
    }
    EXPECT_EQ(GetPolyFillMode(alt.dc), ALTERNATE);
    SetPolyFillMode(wind.dc, WINDING);
    Polygon(alt.dc, star, 5);
    Polygon(wind.dc, star, 5);
    EXPECT_EQ(alt.at(20, 20), kWhite);
    EXPECT_EQ(wind.at(20, 20), kBlack);
    EXPECT_EQ(alt.at(20, 5), kBlack);  // a point of the star
    EXPECT_EQ(wind.at(20, 5), kBlack);
}

TEST(GdiPolygons, OutlineIsDrawnOverTheFill)
{
    Canvas c(12, 12);
    UsePen(c.dc, PS_SOLID, 0, kRed);
    UseBrush(c.dc, kBlue);
    POINT rect[] = {{1, 1}, {8, 1}, {8, 6}, {1, 6}};
    Polygon(c.dc, rect, 4);
    for (int y = 1; y <= 6; ++y)
        for (int x = 1; x <= 8; ++x) {
            bool edge = x == 1 || x == 8 || y == 1 || y == 6;
            EXPECT_EQ(c.at(x, y), edge ? kRed : kBlue) << x << "," << y;
        }
    EXPECT_EQ(c.count(kRed) + c.count(kBlue), 8 * 6);
}

TEST(GdiShapes, RectangleFramesWithThePenAndIsSmallerWithoutOne)
{
    Canvas c(12, 12);
    UseBrush(c.dc, kBlue);
    ASSERT_TRUE(Rectangle(c.dc, 1, 1, 6, 5));
    EXPECT_EQ(c.count(kBlack), 2 * 5 + 2 * 2);  // frame on columns 1 and 5, rows 1 and 4
    EXPECT_EQ(c.count(kBlue), 3 * 2);
    Canvas n(12, 12);
    UseBrush(n.dc, kBlue);
    SelectObject(n.dc, GetStockObject(NULL_PEN));
    Rectangle(n.dc, 1, 1, 6, 5);
    RECT b = n.bounds(kWhite);
    EXPECT_EQ(b.right - b.left, 4);
    EXPECT_EQ(b.bottom - b.top, 3);
    RECT fill{2, 7, 10, 11};
    HBRUSH red = CreateSolidBrush(kRed);
    FillRect(n.dc, &fill, red);
    DeleteObject(red);
    EXPECT_EQ(n.count(kRed), 8 * 4);
}

TEST(GdiPens, WidthIsInLogicalUnitsScaledByTheDevice)
{
    // A 0.1 inch pen is 10 pixels at 96 dpi (9.6 rounded) and 60 at 600 dpi; centred on the line.
    Canvas screen(120, 120);
    SetMapMode(screen.dc, MM_HIENGLISH);
    UsePen(screen.dc, PS_SOLID, 100, kBlack);
    MoveToEx(screen.dc, 100, -500, nullptr);
    LineTo(screen.dc, 900, -500);
    int rows = 0, first = -1;
    for (int y = 0; y < 120; ++y)
        if (screen.at(48, y) == kBlack) {
            rows++;
            if (first < 0)
                first = y;
        }
    EXPECT_EQ(rows, 10);
    EXPECT_EQ(first, 48 - 5);

    PdfDevice pdf;
    ASSERT_NE(pdf.dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(pdf.dc, LOGPIXELSX), 600);
    Canvas fine(200, 200, kWhite, pdf.dc);
    SetMapMode(fine.dc, MM_HIENGLISH);
    for (auto [width, expected] : {std::pair{100, 60}, std::pair{2, 1}, std::pair{3, 2}, std::pair{0, 1}}) {
        PatBlt(fine.dc, 0, 0, 1000, -1000, WHITENESS);
        UsePen(fine.dc, PS_SOLID, width, kBlack);
        MoveToEx(fine.dc, 10, -150, nullptr);  // device row 90
        LineTo(fine.dc, 300, -150);
        int n = 0;
        for (int y = 0; y < 200; ++y)
            n += fine.at(100, y) == kBlack;
        EXPECT_EQ(n, expected) << "pen width " << width;
    }
}

TEST(GdiPens, WidePensHaveRoundEnds)
{
    Canvas c(40, 40);
    UsePen(c.dc, PS_SOLID, 10, kBlack);
    MoveToEx(c.dc, 10, 20, nullptr);
    LineTo(c.dc, 30, 20);
    // The ends reach 5 pixels beyond the end points on the axis but not at the corners.
    EXPECT_EQ(c.at(5, 20), kBlack);
    EXPECT_EQ(c.at(34, 20), kBlack);
    EXPECT_EQ(c.at(36, 20), kWhite);
    EXPECT_EQ(c.at(5, 15), kWhite);
    EXPECT_EQ(c.at(34, 24), kWhite);
    EXPECT_EQ(c.at(20, 15), kBlack);
    EXPECT_EQ(c.at(20, 24), kBlack);
    EXPECT_EQ(c.at(20, 25), kWhite);
}

TEST(GdiMapping, DefaultPageGivesTheDrawingExtentAndBackBufferSize)
{
    CDC screen;
    ASSERT_TRUE(screen.CreateCompatibleDC(nullptr));
    screen.SetMapMode(MM_HIENGLISH);
    CSize extent(7499, -9499);
    screen.LPtoDP(&extent);
    EXPECT_EQ(extent, CSize(720, -912));
    CSize buffer(extent.cx + 1, -extent.cy + 1);
    EXPECT_EQ(buffer, CSize(721, 913));
    extent.cx += 1;
    screen.DPtoLP(&extent);
    EXPECT_EQ(extent, CSize(7510, -9500));
    // The window extent a memory context reports is its reference device's (the 1920 x 1080 screen).
    EXPECT_EQ(screen.GetWindowExt(), CSize(20000, 11250));
    EXPECT_EQ(screen.GetViewportExt(), CSize(1920, -1080));
    EXPECT_EQ(screen.GetDeviceCaps(LOGPIXELSX), 96);
    EXPECT_EQ(screen.GetDeviceCaps(LOGPIXELSY), 96);
}

TEST(GdiMapping, PointsIncludeTheOriginsAndRoundToNearest)
{
    Canvas c(10, 10);
    SetMapMode(c.dc, MM_HIENGLISH);
    POINT p[] = {{1000, -1000}, {5, -5}, {6, -6}, {-6, 6}};
    LPtoDP(c.dc, p, 4);
    EXPECT_EQ(p[0].x, 96);
    EXPECT_EQ(p[0].y, 96);
    EXPECT_EQ(p[1].x, 0);  // 0.48
    EXPECT_EQ(p[2].x, 1);  // 0.576
    EXPECT_EQ(p[3].x, -1);
    EXPECT_EQ(p[3].y, -1);
    SetViewportOrgEx(c.dc, 10, 20, nullptr);
    SetWindowOrgEx(c.dc, 500, -500, nullptr);
    POINT q{1500, -1500};
    LPtoDP(c.dc, &q, 1);
    EXPECT_EQ(q.x, 10 + 96);
    EXPECT_EQ(q.y, 20 + 96);
    DPtoLP(c.dc, &q, 1);
    EXPECT_EQ(q.x, 500 + 1000);
    EXPECT_EQ(q.y, -500 - 1000);
    // Changing the mode keeps the origins.
    SetMapMode(c.dc, MM_TEXT);
    POINT o{0, 0};
    LPtoDP(c.dc, &o, 1);
    EXPECT_EQ(o.x, 10 - 500);
    EXPECT_EQ(o.y, 20 + 500);
}

TEST(GdiMapping, AnisotropicExtentsScaleEachAxis)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SetMapMode(MM_HIENGLISH);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(7499, -9599);
    dc.SetViewportExt(4499, 5759);
    EXPECT_EQ(dc.GetWindowExt(), CSize(7499, -9599));
    CPoint corner(7499, -9599);
    dc.LPtoDP(&corner);
    EXPECT_EQ(corner, CPoint(4499, 5759));
    CSize half(7499 / 2, -9599 / 2);
    dc.LPtoDP(&half);
    EXPECT_EQ(half.cx, MulDiv(3749, 4499, 7499));
    EXPECT_EQ(half.cy, MulDiv(-4799, 5759, 9599));
    // Fixed modes ignore extents.
    dc.SetMapMode(MM_TEXT);
    dc.SetWindowExt(10, 10);
    EXPECT_EQ(dc.GetWindowExt(), CSize(1, 1));
}

TEST(GdiBlits, WhitenessAndSourceCopyThroughMappedCoordinates)
{
    Canvas dst(200, 200, kBlack);
    SetMapMode(dst.dc, MM_HIENGLISH);
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 1000, -500, nullptr, 0, 0, WHITENESS));
    EXPECT_EQ(dst.bounds(kBlack).right, 96);
    EXPECT_EQ(dst.bounds(kBlack).bottom, 48);
    EXPECT_EQ(dst.count(kWhite), 96 * 48);

    Canvas src(100, 100, kWhite);
    SetMapMode(src.dc, MM_HIENGLISH);
    RECT red{0, 0, 500, -500};
    HBRUSH b = CreateSolidBrush(kRed);
    FillRect(src.dc, &red, b);
    DeleteObject(b);
    ASSERT_TRUE(BitBlt(dst.dc, 1000, -1000, 500, -500, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.count(kRed), 48 * 48);
    EXPECT_EQ(dst.at(96, 96), kRed);
    EXPECT_EQ(dst.at(96 + 47, 96 + 47), kRed);
    EXPECT_EQ(dst.at(96 + 48, 96), kBlack);
}

TEST(GdiBlits, RasterOperationsCombineSourceAndDestination)
{
    const COLORREF d = RGB(0xF0, 0x0F, 0x55), s = RGB(0x3C, 0xFF, 0x00);
    struct Case {
        DWORD rop;
        COLORREF expected;
    } cases[] = {{SRCCOPY, s},          {SRCAND, s & d},       {SRCPAINT, s | d},
                 {SRCINVERT, s ^ d},    {DSTINVERT, ~d & 0xFFFFFF}, {BLACKNESS, 0},
                 {WHITENESS, 0xFFFFFF}, {NOTSRCCOPY, ~s & 0xFFFFFF}, {PATCOPY, kGreen}};
    Canvas src(1, 1, s);
    for (const Case& k : cases) {
        Canvas dst(1, 1, d);
        UseBrush(dst.dc, kGreen);
        EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, k.rop));
        EXPECT_EQ(dst.at(0, 0), k.expected) << std::hex << k.rop;
    }
    Canvas dst(2, 2, d);
    EXPECT_FALSE(PatBlt(dst.dc, 0, 0, 2, 2, SRCCOPY));  // a source operation needs a source
    EXPECT_TRUE(PatBlt(dst.dc, 0, 0, 1, 2, DSTINVERT));
    EXPECT_EQ(dst.at(0, 1), ~d & 0xFFFFFF);
    EXPECT_EQ(dst.at(1, 1), d);
}

TEST(GdiBlits, StretchReplicatesAndMirrors)
{
    Canvas src(2, 1);
    SetPixel(src.dc, 0, 0, kRed);
    SetPixel(src.dc, 1, 0, kBlue);
    Canvas dst(4, 2);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 4, 2, src.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.at(0, 0), kRed);
    EXPECT_EQ(dst.at(1, 1), kRed);
    EXPECT_EQ(dst.at(2, 0), kBlue);
    EXPECT_EQ(dst.at(3, 1), kBlue);
    // A negative width runs leftwards from x: pixels 0 to 3, mirrored.
    ASSERT_TRUE(StretchBlt(dst.dc, 4, 0, -4, 1, src.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.at(3, 0), kRed);
    EXPECT_EQ(dst.at(2, 0), kRed);
    EXPECT_EQ(dst.at(1, 0), kBlue);
    EXPECT_EQ(dst.at(0, 0), kBlue);
    EXPECT_EQ(dst.at(0, 1), kRed);
}

TEST(GdiBitmaps, CompatibleBitmapsRefuseEmptyAndAbsurdSizes)
{
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 0, 10), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 10, -1), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 100000, 100000), nullptr);
    HBITMAP ok = CreateCompatibleBitmap(dc, 4499, 5699);  // the default page at 600 dpi
    ASSERT_NE(ok, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObject(ok, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 4499);
    EXPECT_EQ(bm.bmHeight, 5699);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    // A bitmap lives in one memory context at a time.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_NE(SelectObject(dc, ok), nullptr);
    EXPECT_EQ(SelectObject(other, ok), nullptr);
    DeleteDC(other);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(ok));
    EXPECT_FALSE(DeleteObject(ok));  // a deleted handle is refused, not followed
}

// Pages are rendered one after another into bitmaps of one size, whose memory is used again: what was
// drawn on a deleted page never shows on the next one or on a DIB section of its size.
TEST(GdiBitmaps, APageBitmapStartsAfreshAfterOneOfItsSizeIsDeleted)
{
    constexpr int w = 2550, h = 3300;  // a letter page at 300 dpi
    const POINT spots[] = {{0, 0}, {w - 1, 0}, {w / 2, h / 2}, {0, h - 1}, {w - 1, h - 1}};
    HDC dc = CreateCompatibleDC(nullptr);
    for (int page = 0; page < 3; ++page) {
        HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
        ASSERT_NE(bitmap, nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        for (const POINT& p : spots)
            EXPECT_EQ(GetPixel(dc, p.x, p.y), kBlack) << "page " << page;  // a new bitmap is black
        ASSERT_TRUE(PatBlt(dc, 0, 0, w, h, WHITENESS));
        for (const POINT& p : spots)
            EXPECT_EQ(GetPixel(dc, p.x, p.y), kWhite) << "page " << page;
        for (const POINT& p : spots)
            SetPixel(dc, p.x, p.y, kRed);
        SelectObject(dc, old);
        EXPECT_TRUE(DeleteObject(bitmap));
    }
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                       nullptr, 0);
    ASSERT_NE(section, nullptr);
    HGDIOBJ old = SelectObject(dc, section);
    for (const POINT& p : spots)
        EXPECT_EQ(GetPixel(dc, p.x, p.y), kBlack);  // a section's bits start zeroed
    SelectObject(dc, old);
    DeleteObject(section);
    DeleteDC(dc);
}

TEST(GdiClip, ClipRegionsLimitDrawingAndSaveDCRestoresThem)
{
    Canvas c(20, 20);
    EXPECT_EQ(GetClipRgn(c.dc, nullptr), -1);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(c.dc, probe), 0);
    int saved = SaveDC(c.dc);
    EXPECT_EQ(IntersectClipRect(c.dc, 2, 3, 10, 8), SIMPLEREGION);
    HRGN tri = CreatePolygonRgn(std::array<POINT, 3>{POINT{12, 0}, POINT{20, 0}, POINT{20, 8}}.data(), 3, ALTERNATE);
    EXPECT_EQ(ExtSelectClipRgn(c.dc, tri, RGN_OR), COMPLEXREGION);
    RECT box;
    GetClipBox(c.dc, &box);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(box.bottom, 8);
    EXPECT_EQ(GetClipRgn(c.dc, probe), 1);
    EXPECT_TRUE(PtInRegion(probe, 5, 5));
    EXPECT_FALSE(PtInRegion(probe, 11, 5));
    EXPECT_TRUE(PtInRegion(probe, 19, 1));
    PatBlt(c.dc, 0, 0, 20, 20, BLACKNESS);
    int inside = 8 * 5;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            if (PtInRegion(tri, x, y))
                ++inside;
    EXPECT_EQ(c.count(kBlack), inside);
    EXPECT_EQ(c.at(1, 5), kWhite);
    RestoreDC(c.dc, saved);
    EXPECT_EQ(GetClipRgn(c.dc, probe), 0);
    GetClipBox(c.dc, &box);
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(box.bottom, 20);
    int column19 = 0;
    for (int y = 0; y < 20; ++y)
        column19 += c.at(19, y) == kBlack;
    ExcludeClipRect(c.dc, 0, 0, 19, 20);
    PatBlt(c.dc, 0, 0, 20, 20, BLACKNESS);
    EXPECT_EQ(c.count(kBlack), inside + 20 - column19);
    DeleteObject(tri);
    DeleteObject(probe);
}

TEST(GdiClip, ClipBoxIsReportedInLogicalUnits)
{
    Canvas c(192, 96);
    SetMapMode(c.dc, MM_HIENGLISH);
    RECT box;
    EXPECT_EQ(GetClipBox(c.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 2000);
    EXPECT_EQ(box.bottom, -1000);
}

TEST(GdiRegions, PolygonRegionsFillThroughTheMappingAndCombine)
{
    Canvas c(120, 120);
    SetMapMode(c.dc, MM_HIENGLISH);
    POINT square[] = {{0, 0}, {1000, 0}, {1000, -1000}, {0, -1000}};
    HRGN rgn = CreatePolygonRgn(square, 4, ALTERNATE);
    HBRUSH red = CreateSolidBrush(kRed);
    ASSERT_TRUE(FillRgn(c.dc, rgn, red));
    EXPECT_EQ(c.count(kRed), 96 * 96);
    EXPECT_EQ(c.bounds(kWhite).right, 96);

    HRGN hole = CreateRectRgn(250, -750, 750, -250);
    RECT box;
    EXPECT_EQ(GetRgnBox(hole, &box), SIMPLEREGION);
    EXPECT_EQ(box.top, -750);
    EXPECT_EQ(box.bottom, -250);
    EXPECT_EQ(CombineRgn(rgn, rgn, hole, RGN_DIFF), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(rgn, 100, -100));
    EXPECT_FALSE(PtInRegion(rgn, 500, -500));
    PatBlt(c.dc, 0, 0, 2000, -2000, WHITENESS);
    FillRgn(c.dc, rgn, red);
    EXPECT_EQ(c.count(kRed), 96 * 96 - 48 * 48);
    DeleteObject(red);
    DeleteObject(hole);
    DeleteObject(rgn);
}

TEST(GdiObjects, SelectingGivesBackWhatWasSelectedAndDeletingWaitsForTheContext)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(&dc, 8, 8));
    CBitmap* oldBitmap = dc.SelectObject(&bmp);
    ASSERT_NE(oldBitmap, nullptr);
    dc.PatBlt(0, 0, 8, 8, WHITENESS);
    {
        CPen red(PS_SOLID, 0, kRed);
        CPen* old = dc.SelectObject(&red);
        ASSERT_NE(old, nullptr);
        EXPECT_EQ(GetStockObject(BLACK_PEN), old->m_hObject);
        EXPECT_EQ(dc.GetCurrentPen(), &red);
        // The pen object goes with `red`; the context keeps drawing with it until it lets it go.
    }
    dc.MoveTo(0, 0);
    dc.LineTo(4, 0);
    EXPECT_EQ(dc.GetPixel(0, 0), kRed);
    dc.SelectStockObject(BLACK_PEN);
    dc.MoveTo(0, 1);
    dc.LineTo(4, 1);
    EXPECT_EQ(dc.GetPixel(0, 1), kBlack);
    dc.FillSolidRect(4, 4, 2, 2, kBlue);
    EXPECT_EQ(dc.GetPixel(5, 5), kBlue);
    EXPECT_EQ(dc.GetBkColor(), kBlue);
    dc.SelectObject(oldBitmap);
}

TEST(GdiWindow, ImageContextsReportEveryChangeAtOnce)
{
    QImage backing(50, 40, QImage::Format_RGB32);
    backing.fill(Qt::white);
    std::vector<RECT> flushed;
    HDC dc = CreateImageDC(&backing, [&](const RECT& r) { flushed.push_back(r); });
    ASSERT_NE(dc, nullptr);
    MoveToEx(dc, 5, 5, nullptr);
    LineTo(dc, 20, 5);
    ASSERT_EQ(flushed.size(), 1u);
    EXPECT_LE(flushed[0].left, 5);
    EXPECT_GE(flushed[0].right, 20);
    EXPECT_EQ(backing.pixel(10, 5), qRgb(0, 0, 0));
    BitBlt(dc, 0, 30, 50, 10, nullptr, 0, 0, BLACKNESS);
    ASSERT_EQ(flushed.size(), 2u);
    EXPECT_EQ(flushed[1].top, 30);
    EXPECT_EQ(flushed[1].bottom, 40);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    DeleteDC(dc);
}

TEST(GdiLines, TwoPointPolygonDrawsBothEnds)
{
    // The cell drawer draws each wall as a two-point polygon: there and back covers both end points.
    Canvas c(12, 6);
    POINT wall[] = {{2, 2}, {9, 2}};
    ASSERT_TRUE(Polygon(c.dc, wall, 2));
    std::set<std::pair<int, int>> expected;
    for (int x = 2; x <= 9; ++x)
        expected.insert({x, 2});
    EXPECT_EQ(c.pixels(kBlack), expected);
}

TEST(GdiState, RestoreDCBringsBackMappingObjectsAndColours)
{
    Canvas c(10, 10);
    HPEN red = CreatePen(PS_SOLID, 0, kRed);
    const int level = SaveDC(c.dc);
    EXPECT_EQ(level, 1);
    SetMapMode(c.dc, MM_HIENGLISH);
    SetViewportOrgEx(c.dc, 3, 4, nullptr);
    SelectObject(c.dc, red);
    SetBkColor(c.dc, kBlue);
    SetBkMode(c.dc, TRANSPARENT);
    SetTextColor(c.dc, kGreen);
    EXPECT_EQ(SaveDC(c.dc), 2);
    SetMapMode(c.dc, MM_TEXT);
    EXPECT_TRUE(RestoreDC(c.dc, -1));
    EXPECT_EQ(GetMapMode(c.dc), MM_HIENGLISH);
    EXPECT_EQ(GetCurrentObject(c.dc, OBJ_PEN), red);
    EXPECT_TRUE(RestoreDC(c.dc, level));
    EXPECT_EQ(GetMapMode(c.dc), MM_TEXT);
    EXPECT_EQ(GetCurrentObject(c.dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetBkColor(c.dc), kWhite);
    EXPECT_EQ(GetBkMode(c.dc), OPAQUE);
    EXPECT_EQ(GetTextColor(c.dc), kBlack);
    POINT org;
    GetViewportOrgEx(c.dc, &org);
    EXPECT_EQ(org.x, 0);
    EXPECT_FALSE(RestoreDC(c.dc, 1));  // nothing saved any more
    EXPECT_EQ(GetCurrentObject(c.dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(DeleteObject(red));
}

TEST(GdiObjects, DescribeThemselves)
{
    HPEN pen = CreatePen(PS_DOT, 7, kRed);
    LOGPEN lp{};
    EXPECT_EQ(GetObject(pen, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, UINT(PS_DOT));
    EXPECT_EQ(lp.lopnWidth.x, 7);
    EXPECT_EQ(lp.lopnColor, kRed);
    LOGBRUSH lb{};
    GetObject(GetStockObject(NULL_BRUSH), sizeof lb, &lb);
    EXPECT_EQ(lb.lbStyle, BS_NULL);
    EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
    Canvas c(1, 1);
    EXPECT_EQ(GetObjectType(c.dc), OBJ_MEMDC);
    LOGFONTA lf{};
    lf.lfHeight = -12;
    std::strcpy(lf.lfFaceName, "Courier");
    HFONT font = CreateFontIndirect(&lf);
    LOGFONTA back{};
    EXPECT_EQ(GetObject(font, sizeof back, &back), 60);
    EXPECT_STREQ(back.lfFaceName, "Courier");
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));  // stock objects stay
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), OBJ_PEN);
    DeleteObject(pen);
    DeleteObject(font);
    EXPECT_EQ(GetObjectType(pen), 0u);
}

TEST(GdiShapes, EllipseStaysInsideItsBox)
{
    Canvas c(30, 20);
    UseBrush(c.dc, kBlue);
    ASSERT_TRUE(Ellipse(c.dc, 2, 3, 22, 15));
    RECT b = c.bounds(kWhite);
    EXPECT_EQ(b.left, 2);
    EXPECT_EQ(b.top, 3);
    EXPECT_EQ(b.right, 22);
    EXPECT_EQ(b.bottom, 15);
    EXPECT_EQ(c.at(12, 9), kBlue);
    EXPECT_EQ(c.at(2, 3), kWhite);  // corners are outside
}

TEST(GdiShapes, ArcRunsCounterClockwiseFromStartToEnd)
{
    // From the east radial to the north radial: only the upper-right quarter of the circle.
    Canvas c(24, 24);
    ASSERT_TRUE(Arc(c.dc, 0, 0, 21, 21, 21, 10, 10, 0));
    auto drawn = c.pixels(kBlack);
    ASSERT_FALSE(drawn.empty());
    for (auto [x, y] : drawn) {
        EXPECT_GE(x, 9) << x << "," << y;
        EXPECT_LE(y, 11) << x << "," << y;
    }
    EXPECT_EQ(c.at(10, 10), kWhite);  // an arc has no fill
}
