// Drawing images into memory contexts and converting between images and GDI bitmaps, checked pixel
// by pixel. Image rows count from the bottom; device rows from the top.
#include "tests/support/GdiTestSupport.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "image/CRasterImage.h"

namespace {

// A 24-bit image whose pixels the caller gives row by row from the top.
CRasterImage Image24(LONG w, LONG h, const std::vector<COLORREF>& topDown)
{
    CRasterImage img(w, h, 24);
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            img.SetPixelColor(x, h - 1 - y, topDown[size_t(y * w + x)]);
    return img;
}

constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kYellow = RGB(255, 255, 0);

}  // namespace

TEST(ImageDraw, OwnSizeCopiesTheWholeImage)
{
    CRasterImage img = Image24(3, 2, {kRed, kGreen, kBlue, kBlack, kGrey, kYellow});
    Canvas c(8, 8);
    EXPECT_EQ(img.Draw(c.dc, 2, 3), 1);
    EXPECT_EQ(c.at(2, 3), kRed);
    EXPECT_EQ(c.at(4, 3), kBlue);
    EXPECT_EQ(c.at(2, 4), kBlack);
    EXPECT_EQ(c.at(4, 4), kYellow);
    EXPECT_EQ(c.count(kWhite), 64 - 6);
    // The context's clipping crops it.
    Canvas clipped(8, 8);
    IntersectClipRect(clipped.dc, 0, 0, 3, 8);
    img.Draw(clipped.dc, 2, 3);
    EXPECT_EQ(clipped.count(kWhite), 64 - 2);
}

TEST(ImageDraw, RefusesWithoutPixelsContextOrSize)
{
    Canvas c(4, 4);
    CRasterImage empty;
    EXPECT_EQ(empty.Draw(c.dc, 0, 0), 0);
    CRasterImage img = Image24(1, 1, {kRed});
    EXPECT_EQ(img.Draw(nullptr, 0, 0), 0);
    EXPECT_EQ(img.Draw(c.dc, 0, 0, 0, 1), 0);
    img.Enable(false);
    EXPECT_EQ(img.Draw(c.dc, 0, 0), 0);
    EXPECT_EQ(c.count(kWhite), 16);
}

TEST(ImageDraw, StretchReplicatesTwoByTwoToFourByFour)
{
    CRasterImage img = Image24(2, 2, {kRed, kGreen, kBlue, kBlack});
    Canvas c(6, 6);
    EXPECT_EQ(img.Draw(c.dc, 1, 1, 4, 4), 1);
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
            COLORREF want = j < 2 ? (i < 2 ? kRed : kGreen) : (i < 2 ? kBlue : kBlack);
            EXPECT_EQ(c.at(1 + i, 1 + j), want) << i << "," << j;
        }
    EXPECT_EQ(c.count(kWhite), 36 - 16);
}

TEST(ImageDraw, StretchThreeByThreeToTwoByTwoTakesTheBottomLeftBlock)
{
    // Source steps of 1.5 from the bottom-left corner pick columns 0, 1 and rows 0, 1 from the bottom.
    CRasterImage img = Image24(3, 3, {kRed, kGreen, kBlue,      // top row (y 2)
                                      kBlack, kGrey, kYellow,   // y 1
                                      kWhite, kBlue, kGreen});  // bottom row (y 0)
    Canvas c(4, 4, RGB(1, 2, 3));
    img.Draw(c.dc, 0, 0, 2, 2);
    EXPECT_EQ(c.at(0, 0), kBlack);
    EXPECT_EQ(c.at(1, 0), kGrey);
    EXPECT_EQ(c.at(0, 1), kWhite);
    EXPECT_EQ(c.at(1, 1), kBlue);
    EXPECT_EQ(c.at(2, 0), RGB(1, 2, 3));
}

TEST(ImageDraw, StretchOfAPaletteImageUsesItsColours)
{
    CRasterImage img(2, 1, 8);
    img.SetPaletteColor(0, 255, 0, 0);
    img.SetPaletteColor(1, 0, 0, 255);
    img.SetPixelIndex(0, 0, 0);
    img.SetPixelIndex(1, 0, 1);
    Canvas c(4, 2);
    img.Draw(c.dc, 0, 0, 4, 2);
    EXPECT_EQ(c.at(0, 1), kRed);
    EXPECT_EQ(c.at(3, 0), kBlue);
}

TEST(ImageDraw, AClipBoxMissingTheTargetPaintsNothing)
{
    CRasterImage img = Image24(2, 2, {kRed, kRed, kRed, kRed});
    Canvas c(10, 10);
    IntersectClipRect(c.dc, 0, 0, 3, 3);
    EXPECT_EQ(img.Draw(c.dc, 5, 5, 4, 4), 1);
    EXPECT_EQ(c.count(kWhite), 100);
}

TEST(ImageDraw, BlendOfHalfAlphaOverWhite)
{
    // a = (128 x 256) >> 8 = 128; black gives (0 + 255 x 127) >> 8 = 126, white (255 x 255) >> 8 = 254.
    CRasterImage img = Image24(2, 1, {kBlack, kWhite});
    img.AlphaCreate();
    img.AlphaSet(128);
    Canvas c(4, 1);
    EXPECT_EQ(img.Draw(c.dc, 1, 0), 1);
    EXPECT_EQ(c.at(1, 0), RGB(126, 126, 126));
    EXPECT_EQ(c.at(2, 0), RGB(254, 254, 254));
    EXPECT_EQ(c.at(0, 0), kWhite);
    EXPECT_EQ(c.at(3, 0), kWhite);
    // Fully transparent pixels leave the destination; alphaMax scales every pixel.
    img.AlphaSet(0, 0, 0);
    img.AlphaSetMax(127);
    Canvas d(2, 1, kRed);
    img.Draw(d.dc, 0, 0);
    EXPECT_EQ(d.at(0, 0), kRed);
    const int a = (128 * 128) >> 8;
    EXPECT_EQ(d.at(1, 0), RGB((255 * a + 255 * (255 - a)) >> 8, (255 * a) >> 8, (255 * a) >> 8));
}

TEST(ImageDraw, TransparentIndexLeavesTheBackgroundVisible)
{
    CRasterImage img(3, 1, 8);
    img.SetPaletteColor(1, 0, 0, 255);
    img.SetPaletteColor(3, 255, 0, 0);
    img.SetPixelIndex(0, 0, 3);
    img.SetPixelIndex(1, 0, 1);
    img.SetPixelIndex(2, 0, 3);
    img.SetTransIndex(3);
    Canvas c(3, 1, kGreen);
    img.Draw(c.dc, 0, 0);
    EXPECT_EQ(c.at(0, 0), kGreen);
    EXPECT_EQ(c.at(1, 0), kBlue);
    EXPECT_EQ(c.at(2, 0), kGreen);
    // Stretched, too.
    Canvas s(6, 2, kGreen);
    img.Draw(s.dc, 0, 0, 6, 2);
    EXPECT_EQ(s.count(kGreen), 8);
    EXPECT_EQ(s.count(kBlue), 4);
}

TEST(ImageDraw, ClipRectangleIsAppliedAndTheCallersClipRegionRestoredExactly)
{
    CRasterImage img = Image24(4, 4, std::vector<COLORREF>(16, kRed));
    Canvas c(10, 10);
    // A clip region of two separate pieces: a clip box added back would cover the gap between them.
    HRGN a = CreateRectRgn(0, 0, 3, 10), b = CreateRectRgn(5, 0, 10, 10);
    CombineRgn(a, a, b, RGN_OR);
    SelectClipRgn(c.dc, a);
    RECT clip{1, 1, 7, 3};
    EXPECT_EQ(img.Draw(c.dc, 0, 0, 8, 8, &clip), 1);
    HRGN after = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetClipRgn(c.dc, after), 1);
    EXPECT_TRUE(EqualRgn(a, after));
    int red = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool in = x >= 1 && x < 7 && y >= 1 && y < 3 && (x < 3 || x >= 5);
            EXPECT_EQ(c.at(x, y) == kRed, in) << x << "," << y;
            red += in;
        }
    EXPECT_EQ(red, 8);
    // A context with no clip region has none afterwards.
    Canvas d(10, 10);
    img.Draw(d.dc, 0, 0, 4, 4, &clip);
    EXPECT_EQ(GetClipRgn(d.dc, after), 0);
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(after);
}

TEST(ImageDraw, DrawDeviceUnitsConvertsALogicalRectangle)
{
    CRasterImage img = Image24(2, 2, {kRed, kRed, kRed, kRed});
    Canvas c(120, 120);
    SetMapMode(c.dc, MM_HIENGLISH);
    EXPECT_EQ(img.DrawDeviceUnits(c.dc, 0, 0, 1000, -1000), 1);
    EXPECT_EQ(c.count(kRed), 96 * 96);
    EXPECT_EQ(c.bounds(kWhite).right, 96);
    EXPECT_EQ(GetMapMode(c.dc), MM_HIENGLISH);
    // A rectangle upside down on the page gives a negative device height: the image's own height,
    // from the converted top (device row 96) down.
    PatBlt(c.dc, 0, 0, 2000, -2000, WHITENESS);
    img.DrawDeviceUnits(c.dc, RECT{0, -1000, 1000, 0});
    EXPECT_EQ(c.count(kRed), 96 * 2);
    EXPECT_EQ(c.bounds(kWhite).top, 96);
    // The viewport origin is applied by the conversion and again by the drawing in pixel units.
    PatBlt(c.dc, 0, 0, 2000, -2000, WHITENESS);
    SetViewportOrgEx(c.dc, 5, 7, nullptr);
    img.DrawDeviceUnits(c.dc, 0, 0, 500, -500);
    EXPECT_EQ(c.bounds(kWhite).left, 10);
    EXPECT_EQ(c.bounds(kWhite).top, 14);
}

TEST(ImageDraw, SmoothStretchInterpolates)
{
    CRasterImage img = Image24(2, 1, {kBlack, kWhite});
    Canvas c(8, 1);
    img.Draw(c.dc, 0, 0, 8, 1, nullptr, true);
    int previous = -1;
    for (int x = 0; x < 8; ++x) {
        int v = GetRValue(c.at(x, 0));
        EXPECT_GE(v, previous);
        previous = v;
    }
    EXPECT_EQ(c.at(0, 0), kBlack);
    EXPECT_EQ(c.at(7, 0), kWhite);
    EXPECT_NE(c.at(3, 0), kBlack);
    EXPECT_NE(c.at(3, 0), kWhite);
}

namespace {

// An opaque stretched draw as the former loop made it, pixel by pixel: the paint box is the target
// cut by the clip box (logical units, MM_TEXT with the viewport origin at `origin`); each destination
// pixel takes the source pixel its float coordinates fall on (or the bilinear mix there when smooth
// and stretched); the box's rows count from its bottom.
QImage ReferenceStretch(const CRasterImage& img, QImage canvas, const RECT& clipBox, LONG x, LONG y, LONG cx,
                        LONG cy, bool smooth, QPoint origin)
{
    const LONG width = LONG(img.GetWidth()), height = LONG(img.GetHeight());
    RECT p{};
    p.top = std::min(clipBox.bottom, std::max(clipBox.top, y));
    p.left = std::min(clipBox.right, std::max(clipBox.left, x));
    p.right = std::max(clipBox.left, std::min(clipBox.right, x + cx));
    p.bottom = std::max(clipBox.top, std::min(clipBox.bottom, y + cy));
    const float fx = float(width) / float(cx), fy = float(height) / float(cy);
    smooth = smooth && (cx != width || cy != height);  // a picture at its own size is copied as it is
    for (LONG yy = 0; yy < p.bottom - p.top; ++yy)
        for (LONG xx = 0; xx < p.right - p.left; ++xx) {
            const float dy = float(height) - float(p.bottom - yy - y) * fy;
            const float dx = float(xx + p.left - x) * fx;
            const LONG sy = std::clamp<LONG>(LONG(std::floor(dy)), 0, height - 1);
            const LONG sx = std::clamp<LONG>(LONG(std::floor(dx)), 0, width - 1);
            const RGBQUAD c = smooth ? img.GetPixelColorInterpolated(dx - 0.5f, dy - 0.5f, INTERP_BILINEAR, OVERFLOW_REPEAT)
                                     : img.GetPixelColor(sx, sy, false);
            canvas.setPixel(QPoint(int(p.left + xx), int(p.bottom - 1 - yy)) + origin, qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue));
        }
    return canvas;
}

} // namespace

// Stretched opaque draws of a 24-bit and a palette picture, grown and shrunk by uneven factors, partly
// off the canvas and under a clip rectangle, nearest and smooth, onto bitmaps and a DIB section: the
// pixels are the former loop's.
TEST(ImageDraw, StretchedDrawsMatchTheFormerPixelLoop)
{
    CRasterImage rgb(13, 9, 24);
    CRasterImage indexed(11, 7, 8);
    for (int i = 0; i < 256; ++i)
        indexed.SetPaletteColor(BYTE(i), BYTE(i * 7), BYTE(255 - i), BYTE(i * 13));
    for (LONG y = 0; y < 9; ++y)
        for (LONG x = 0; x < 13; ++x) {
            rgb.SetPixelColor(x, y, RGB(x * 19 + y, y * 27, (x * y * 11) & 0xFF));
            if (x < 11 && y < 7)
                indexed.SetPixelIndex(x, y, BYTE((x * 31 + y * 17) & 0xFF));
        }
    const struct {
        LONG x, y, cx, cy;
    } draws[] = {{3, 2, 64, 45}, {-7, 5, 71, 19}, {10, -4, 5, 3}, {0, 0, 80, 60}, {20, 11, 13, 9},
                 {-30, -20, 150, 101}, {40, 30, 1, 1}, {5, 50, 33, 17}};
    // Onto a bitmap, onto one whose viewport origin is moved, and onto a DIB section.
    enum Target { kBitmap, kMovedOrigin, kSection };
    for (Target target : {kBitmap, kMovedOrigin, kSection})
        for (CRasterImage* img : {&rgb, &indexed})
            for (bool smooth : {false, true})
                for (bool clipped : {false, true})
                    for (const auto& d : draws) {
                        Canvas c(80, 60);
                        HDC dc = c.dc;
                        HBITMAP section = nullptr;
                        HGDIOBJ previous = nullptr;
                        if (target == kSection) {
                            BITMAPINFO info = TopDown32(80, 60);
                            info.bmiHeader.biBitCount = 24;
                            void* bits = nullptr;
                            dc = CreateCompatibleDC(c.dc);
                            section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
                            previous = SelectObject(dc, section);
                            PatBlt(dc, 0, 0, 80, 60, WHITENESS);
                        }
                        const QPoint origin = target == kMovedOrigin ? QPoint(7, -5) : QPoint(0, 0);
                        SetViewportOrgEx(dc, origin.x(), origin.y(), nullptr);
                        if (clipped)
                            IntersectClipRect(dc, 6, 4, 57, 41);
                        RECT clipBox{};
                        GetClipBox(dc, &clipBox);
                        const QImage before = c.picture();
                        img->Draw(dc, d.x, d.y, d.cx, d.cy, nullptr, smooth);
                        if (target == kSection) {
                            SelectClipRgn(dc, nullptr);
                            BitBlt(c.dc, 0, 0, 80, 60, dc, 0, 0, SRCCOPY);
                            SelectObject(dc, previous);
                            DeleteObject(section);
                            DeleteDC(dc);
                        }
                        const QImage want =
                            ReferenceStretch(*img, before, clipBox, d.x, d.y, d.cx, d.cy, smooth, origin);
                        EXPECT_EQ(c.picture(), want)
                            << (img == &rgb ? "24-bit" : "palette") << (smooth ? " smooth" : "")
                            << (clipped ? " clipped" : "") << " target " << target << " at " << d.x << "," << d.y
                            << " size " << d.cx << "x" << d.cy;
                    }
}

TEST(ImageGdi, MakeBitmapForAContextAndAsASection)
{
    CRasterImage img = Image24(2, 2, {kRed, kGreen, kBlue, kBlack});
    Canvas c(1, 1);
    HBITMAP ddb = img.MakeBitmap(c.dc);
    ASSERT_NE(ddb, nullptr);
    HDC mem = CreateCompatibleDC(c.dc);
    HGDIOBJ old = SelectObject(mem, ddb);
    EXPECT_EQ(GetPixel(mem, 0, 0), kRed);
    EXPECT_EQ(GetPixel(mem, 1, 1), kBlack);
    SelectObject(mem, old);

    CRasterImage pal(3, 1, 4);
    pal.SetPaletteColor(5, 1, 2, 3);
    pal.SetPixelIndex(2, 0, 5);
    HBITMAP section = pal.MakeBitmap();
    ASSERT_NE(section, nullptr);
    DIBSECTION ds{};
    ASSERT_EQ(GetObject(section, sizeof ds, &ds), int(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBitsPixel, 4);
    EXPECT_EQ(std::memcmp(ds.dsBm.bmBits, pal.GetBits(), pal.GetHeader().biSizeImage), 0);
    SelectObject(mem, section);
    EXPECT_EQ(GetPixel(mem, 2, 0), RGB(1, 2, 3));
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(ddb);
    DeleteObject(section);
    CRasterImage none;
    EXPECT_EQ(none.MakeBitmap(), nullptr);
}

TEST(ImageGdi, CreateFromHBITMAP)
{
    // A 32-bit bitmap becomes a 24-bit image.
    Canvas c(3, 2);
    SetPixel(c.dc, 0, 0, kRed);
    SetPixel(c.dc, 2, 1, kBlue);
    CRasterImage img;
    ASSERT_TRUE(img.CreateFromHBITMAP(c.bitmap));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(img.GetWidth(), 3u);
    EXPECT_EQ(img.GetHeight(), 2u);
    RGBQUAD top = img.GetPixelColor(0, 1), bottom = img.GetPixelColor(2, 0), other = img.GetPixelColor(1, 0);
    EXPECT_EQ(top.rgbRed, 255);
    EXPECT_EQ(top.rgbBlue, 0);
    EXPECT_EQ(bottom.rgbBlue, 255);
    EXPECT_EQ(bottom.rgbRed, 0);
    EXPECT_EQ(other.rgbGreen, 255);

    // An 8-bit bitmap becomes an 8-bit image with the bitmap's colour table as palette.
    CRasterImage pal(2, 2, 8);
    pal.SetPaletteColor(9, 10, 20, 30);
    pal.SetPixelIndex(1, 1, 9);
    HBITMAP section = pal.MakeBitmap();
    CRasterImage back;
    ASSERT_TRUE(back.CreateFromHBITMAP(section));
    EXPECT_EQ(back.GetBpp(), 8);
    EXPECT_EQ(back.GetNumColors(), 256u);
    EXPECT_EQ(back.GetPixelIndex(1, 1), 9);
    EXPECT_EQ(back.GetPaletteColor(9).rgbGreen, 20);
    DeleteObject(section);

    EXPECT_FALSE(img.CreateFromHBITMAP(nullptr));
    EXPECT_FALSE(img.IsValid());
}
