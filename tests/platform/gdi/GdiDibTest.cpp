// Device-independent bitmaps: DIB sections, DIBs drawn to the device and bitmaps read back as DIBs.
#include "tests/support/GdiTestSupport.h"

#include <cstring>
#include <vector>

namespace {

struct Info24 {
    BITMAPINFOHEADER h{};
    Info24(LONG w, LONG hgt, WORD bpp = 24)
    {
        h.biSize = sizeof h;
        h.biWidth = w;
        h.biHeight = hgt;
        h.biPlanes = 1;
        h.biBitCount = bpp;
        h.biCompression = BI_RGB;
    }
    const BITMAPINFO* bmi() const { return reinterpret_cast<const BITMAPINFO*>(&h); }
};

// A packed 24-bit bottom-up DIB of w x h pixels whose colours the caller gives row by row from the top.
std::vector<BYTE> Dib24(int w, int h, const std::vector<COLORREF>& topDown)
{
    const int stride = ((w * 24 + 31) / 32) * 4;
    std::vector<BYTE> bits(size_t(stride * h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = topDown[size_t(y * w + x)];
            BYTE* p = bits.data() + (h - 1 - y) * stride + x * 3;
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    return bits;
}

}  // namespace

TEST(GdiDib, SectionsAreBottomUpPaddedZeroedAndFollowTheDrawing)
{
    Info24 info(3, 2);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, info.bmi(), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    ASSERT_NE(bits, nullptr);
    const int stride = 12;  // 3 pixels x 3 bytes, padded to 4
    std::vector<BYTE> zero(size_t(stride * 2), 0);
    EXPECT_EQ(std::memcmp(bits, zero.data(), zero.size()), 0);
    DIBSECTION ds{};
    ASSERT_EQ(GetObject(section, sizeof ds, &ds), int(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmWidthBytes, stride);
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    EXPECT_EQ(ds.dsBmih.biSizeImage, DWORD(stride * 2));

    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, section);
    EXPECT_EQ(SetPixel(dc, 0, 0, kRed), kRed);  // the top-left pixel is in the last row in memory
    const BYTE* b = static_cast<const BYTE*>(bits);
    EXPECT_EQ(b[stride + 0], 0);
    EXPECT_EQ(b[stride + 1], 0);
    EXPECT_EQ(b[stride + 2], 255);
    // Writing the bits directly shows through the next drawing call.
    static_cast<BYTE*>(bits)[3] = 255;  // blue of the bottom row's second pixel
    EXPECT_EQ(GetPixel(dc, 1, 1), kBlue);
    DeleteDC(dc);
    DeleteObject(section);

    Info24 bad(0, 2);
    EXPECT_EQ(CreateDIBSection(nullptr, bad.bmi(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
}

TEST(GdiDib, SetDIBitsToDeviceCopiesRowsRightSideUp)
{
    std::vector<BYTE> bits = Dib24(2, 2, {kRed, kGreen, kBlue, kBlack});
    Info24 info(2, 2);
    Canvas c(6, 6);
    EXPECT_EQ(SetDIBitsToDevice(c.dc, 1, 2, 2, 2, 0, 0, 0, 2, bits.data(), info.bmi(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(c.at(1, 2), kRed);
    EXPECT_EQ(c.at(2, 2), kGreen);
    EXPECT_EQ(c.at(1, 3), kBlue);
    EXPECT_EQ(c.at(2, 3), kBlack);
    EXPECT_EQ(c.count(kWhite), 36 - 4);
    // A part of the source: ySrc counts from the bottom row.
    Canvas part(4, 4);
    SetDIBitsToDevice(part.dc, 0, 0, 1, 1, 1, 1, 0, 2, bits.data(), info.bmi(), DIB_RGB_COLORS);
    EXPECT_EQ(part.at(0, 0), kGreen);
}

TEST(GdiDib, StretchDIBitsScalesTheSourceRectangle)
{
    std::vector<BYTE> bits = Dib24(2, 2, {kRed, kGreen, kBlue, kBlack});
    Info24 info(2, 2);
    Canvas c(8, 8);
    EXPECT_EQ(StretchDIBits(c.dc, 0, 0, 4, 4, 0, 0, 2, 2, bits.data(), info.bmi(), DIB_RGB_COLORS, SRCCOPY), 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            COLORREF want = y < 2 ? (x < 2 ? kRed : kGreen) : (x < 2 ? kBlue : kBlack);
            EXPECT_EQ(c.at(x, y), want) << x << "," << y;
        }
    EXPECT_EQ(c.at(4, 4), kWhite);
}

TEST(GdiDib, GetDIBitsReadsABitmapAtTheAskedDepth)
{
    Canvas c(3, 2);
    SetPixel(c.dc, 0, 0, kRed);
    SetPixel(c.dc, 2, 1, kBlue);
    SelectObject(c.dc, GetCurrentObject(c.dc, OBJ_BITMAP));  // stays selected: reading is allowed
    HDC screen = GetDC(nullptr);
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[256];
    } info{};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    BITMAPINFO* bmi = reinterpret_cast<BITMAPINFO*>(&info);
    ASSERT_NE(GetDIBits(screen, c.bitmap, 0, 2, nullptr, bmi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(info.h.biWidth, 3);
    EXPECT_EQ(info.h.biHeight, 2);
    EXPECT_EQ(info.h.biBitCount, 32);

    info.h.biBitCount = 24;
    std::vector<BYTE> rows(24, 0xEE);
    ASSERT_EQ(GetDIBits(screen, c.bitmap, 0, 2, rows.data(), bmi, DIB_RGB_COLORS), 2);
    // Bottom row first: (2, 1) is blue; the top row starts with red.
    EXPECT_EQ(rows[6], 255);
    EXPECT_EQ(rows[8], 0);
    EXPECT_EQ(rows[12 + 2], 255);
    EXPECT_EQ(rows[12 + 0], 0);
    EXPECT_EQ(rows[9], 0);  // padding is cleared

    info.h.biBitCount = 1;
    std::vector<BYTE> mono(8, 0);
    ASSERT_EQ(GetDIBits(screen, c.bitmap, 0, 2, mono.data(), bmi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(info.colors[1].rgbRed, 255);
    // Bottom row: white, white, blue (nearest to black); top row: red (nearest to black), white, white.
    EXPECT_EQ(mono[0] & 0xE0, 0xC0);
    EXPECT_EQ(mono[4] & 0xE0, 0x60);
    ReleaseDC(nullptr, screen);
}

TEST(GdiDib, IndexedSectionsKeepTheirColourTable)
{
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[256];
    } info{};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = 2;
    info.h.biHeight = 1;
    info.h.biPlanes = 1;
    info.h.biBitCount = 8;
    info.h.biClrUsed = 256;
    info.colors[7] = RGBQUAD{10, 20, 30, 0};
    void* bits = nullptr;
    HBITMAP s = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(s, nullptr);
    static_cast<BYTE*>(bits)[1] = 7;
    BITMAP bm{};
    GetObject(s, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 8);
    decltype(info) out{};
    out.h.biSize = sizeof(BITMAPINFOHEADER);
    out.h.biBitCount = 8;
    BYTE px[4] = {};
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDIBits(screen, s, 0, 1, px, reinterpret_cast<BITMAPINFO*>(&out), DIB_RGB_COLORS), 1);
    EXPECT_EQ(px[1], 7);
    EXPECT_EQ(out.colors[7].rgbGreen, 20);
    ReleaseDC(nullptr, screen);
    DeleteObject(s);
}

TEST(GdiDib, CreateDIBitmapInitialisesFromTheBits)
{
    std::vector<BYTE> bits = Dib24(2, 2, {kRed, kGreen, kBlue, kBlack});
    Info24 info(2, 2);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP b = CreateDIBitmap(dc, &info.h, CBM_INIT, bits.data(), info.bmi(), DIB_RGB_COLORS);
    ASSERT_NE(b, nullptr);
    SelectObject(dc, b);
    EXPECT_EQ(GetPixel(dc, 0, 0), kRed);
    EXPECT_EQ(GetPixel(dc, 1, 1), kBlack);
    DeleteDC(dc);
    DeleteObject(b);
}
