// The image record: layout, life cycle, palette, pixel access, alpha plane, nearest colour, bit fields.
#include "image/CRasterImage.h"

#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>

using imagetest::Fill;

TEST(RasterImageRecord, StridesAndBlockSizes)
{
    CRasterImage a;
    ASSERT_NE(a.Create(3, 2, 1, 0), nullptr);
    EXPECT_EQ(a.GetEffWidth(), 4u);
    EXPECT_EQ(a.GetHeader().biSizeImage, 8u);
    EXPECT_EQ(a.GetNumColors(), 2u);
    EXPECT_EQ(a.GetSize(), 56u);

    CRasterImage b(3, 2, 24, 0);
    EXPECT_EQ(b.GetEffWidth(), 12u);
    EXPECT_EQ(b.GetHeader().biSizeImage, 24u);
    EXPECT_EQ(b.GetNumColors(), 0u);
    EXPECT_EQ(b.GetSize(), 64u);
    EXPECT_FALSE(b.IsIndexed());
    EXPECT_EQ(b.GetColorType(), 2);

    // The block starts with the header, then the palette, then the rows.
    const auto* head = static_cast<const BITMAPINFOHEADER*>(a.GetDIB());
    EXPECT_EQ(head->biSize, 40u);
    EXPECT_EQ(head->biWidth, 3);
    EXPECT_EQ(head->biHeight, 2);
    EXPECT_EQ(head->biPlanes, 1);
    EXPECT_EQ(head->biClrUsed, 2u);
    EXPECT_EQ(a.GetBits(0), static_cast<BYTE*>(a.GetDIB()) + 40 + 8);
    EXPECT_EQ(a.GetBits(1), a.GetBits(0) + 4);
    EXPECT_EQ(a.GetBits(2), nullptr);

    for (LONG w : {1, 7, 8, 31, 33, 1001})
        for (DWORD bpp : {1u, 4u, 8u, 24u}) {
            CRasterImage img(w, 3, bpp);
            EXPECT_EQ(img.GetEffWidth(), ((DWORD(w) * bpp + 31) / 32) * 4) << w << " " << bpp;
            EXPECT_EQ(img.GetEffWidth() % 4, 0u);
        }
}

TEST(RasterImageRecord, DepthIsNormalised)
{
    const std::pair<DWORD, WORD> cases[] = {{0, 1}, {1, 1}, {2, 4}, {3, 4}, {4, 4}, {5, 8},
                                            {8, 8}, {9, 24}, {16, 24}, {24, 24}, {32, 24}};
    for (auto [asked, got] : cases) {
        CRasterImage img(4, 4, asked);
        EXPECT_EQ(img.GetBpp(), got) << asked;
    }
}

TEST(RasterImageRecord, FreshImageDefaults)
{
    CRasterImage img;
    EXPECT_EQ(img.GetJpegQuality(), 90);
    EXPECT_EQ(img.AlphaGetMax(), 255);
    EXPECT_EQ(img.GetTransIndex(), -1);
    EXPECT_EQ(img.GetXDPI(), 96);
    EXPECT_EQ(img.GetYDPI(), 96);
    EXPECT_EQ(img.GetHeader().biXPelsPerMeter, 3780);
    EXPECT_EQ(img.GetHeader().biYPelsPerMeter, 3780);
    EXPECT_TRUE(img.GetEnabled());
    EXPECT_FALSE(img.IsValid());
    EXPECT_EQ(img.GetBits(0), nullptr);
    EXPECT_EQ(img.GetType(), 0u);
}

TEST(RasterImageRecord, DpiStoresPixelsPerMetre)
{
    CRasterImage img(2, 2, 8);
    img.SetXDPI(72);
    EXPECT_EQ(img.GetXDPI(), 72);
    EXPECT_EQ(img.GetHeader().biXPelsPerMeter, 2835);
    // The block's copy of the header follows.
    EXPECT_EQ(static_cast<const BITMAPINFOHEADER*>(img.GetDIB())->biXPelsPerMeter, 2835);
    img.SetYDPI(300);
    EXPECT_EQ(img.GetHeader().biYPelsPerMeter, 11811);
    img.SetXDPI(0);
    EXPECT_EQ(img.GetXDPI(), 96);
    img.SetXDPI(-5);
    EXPECT_EQ(img.GetXDPI(), 96);
    EXPECT_EQ(img.GetHeader().biXPelsPerMeter, 3780);
}

TEST(RasterImageRecord, CreateRefusesBadSizesAndZeroesMemory)
{
    CRasterImage img;
    EXPECT_EQ(img.Create(0, 5, 8), nullptr);
    EXPECT_STREQ(img.GetLastError(), "CRasterImage::Create : width and height must be greater than zero");
    EXPECT_EQ(img.Create(5, -1, 8), nullptr);
    EXPECT_STREQ(img.GetLastError(), "CRasterImage::Create : width and height must be greater than zero");
    // 20000 x 20000 x 3 bytes is 1.2 GB: above the cap, refused before any allocation.
    EXPECT_EQ(img.Create(20000, 20000, 24), nullptr);
    EXPECT_STREQ(img.GetLastError(), "CRASTERIMAGE_MAX_MEMORY exceeded");
    // A 1-bit image whose pixel count alone passes the cap is refused too (planes are a byte a pixel).
    EXPECT_EQ(img.Create(0x7FFFFFFF, 0x7FFFFFFF, 1), nullptr);
    EXPECT_STREQ(img.GetLastError(), "CRASTERIMAGE_MAX_MEMORY exceeded");
    EXPECT_FALSE(img.IsValid());

    ASSERT_NE(img.Create(33, 17, 24), nullptr);
    const BYTE* bytes = static_cast<const BYTE*>(img.GetDIB()) + 40;
    for (DWORD i = 0; i < img.GetHeader().biSizeImage; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    CRasterImage pal(9, 9, 8);
    for (DWORD i = 0; i < pal.GetNumColors(); ++i)
        ASSERT_EQ(pal.GetPaletteColor(BYTE(i)).rgbRed, 0);
}

TEST(RasterImageRecord, LifeCycleTransferGhostDestroy)
{
    CRasterImage a;
    Fill(a, 5, 4, 8);
    a.SetTransIndex(3);
    CRasterImage b;
    ASSERT_TRUE(b.Transfer(a));
    EXPECT_FALSE(a.IsValid());
    EXPECT_TRUE(b.IsValid());
    EXPECT_EQ(b.GetTransIndex(), 3);
    EXPECT_TRUE(a.Destroy());
    EXPECT_TRUE(a.Destroy()); // twice is harmless
    EXPECT_TRUE(b.Transfer(b)); // self-transfer keeps the image
    EXPECT_TRUE(b.IsValid());

    {
        CRasterImage ghost;
        ghost.Ghost(&b);
        EXPECT_TRUE(ghost.IsGhost());
        EXPECT_EQ(ghost.GetDIB(), b.GetDIB());
        EXPECT_FALSE(ghost.Destroy());
        EXPECT_EQ(ghost.Create(2, 2, 8), nullptr);
        CRasterImage thief;
        EXPECT_FALSE(thief.Transfer(ghost)); // a ghost's buffers are not its to give
    }
    EXPECT_TRUE(b.IsValid());
    EXPECT_EQ(b.GetPixelIndex(1, 1), (1 * 3 + 1 * 5 + 1) % 256);
}

TEST(RasterImageRecord, CopyIsDeepAndCopiesValuesOnly)
{
    CRasterImage a;
    Fill(a, 6, 3, 4);
    a.AlphaCreate();
    a.AlphaSet(2, 1, 77);
    a.SetXDPI(150);
    a.SetTransIndex(2);
    CRasterImage b(a);
    EXPECT_NE(b.GetDIB(), a.GetDIB());
    EXPECT_EQ(std::memcmp(b.GetDIB(), a.GetDIB(), a.GetSize()), 0);
    EXPECT_EQ(b.AlphaGet(2, 1), 77);
    EXPECT_EQ(b.GetXDPI(), 150);
    EXPECT_EQ(b.GetHeader().biXPelsPerMeter, a.GetHeader().biXPelsPerMeter);
    EXPECT_EQ(b.GetTransIndex(), 2);
    // The copy's ownership fields describe its own buffers.
    EXPECT_EQ(b.GetInfo().pixels, b.GetBits(0));
    EXPECT_EQ(b.GetInfo().ghostOf, nullptr);
    a.SetPixelIndex(0, 0, 9);
    EXPECT_NE(b.GetPixelIndex(0, 0), 9);

    CRasterImage& same = b;
    b = same; // self-assignment leaves it alone
    EXPECT_EQ(b.AlphaGet(2, 1), 77);

    CRasterImage c;
    c.Copy(a, false, false, false);
    EXPECT_EQ(c.GetWidth(), 6u);
    EXPECT_EQ(c.GetHeight(), 3u);
    EXPECT_TRUE(imagetest::SameColor(c.GetPaletteColor(5), a.GetPaletteColor(5)));
    EXPECT_FALSE(c.AlphaIsValid());
    for (LONG x = 0; x < 6; ++x)
        EXPECT_EQ(c.GetPixelIndex(x, 0), 0); // not copied, and not heap garbage

    // Copying an image without pixels leaves an empty image.
    CRasterImage empty, d;
    Fill(d, 2, 2, 24);
    d.Copy(empty);
    EXPECT_FALSE(d.IsValid());
}

TEST(RasterImageRecord, ClearAtEveryDepth)
{
    CRasterImage four(5, 3, 4);
    four.Clear(5);
    EXPECT_EQ(four.GetBits(0)[0], 0x55);
    four.Clear(0x13);
    EXPECT_EQ(four.GetBits(2)[2], 0x33);
    EXPECT_EQ(four.GetPixelIndex(4, 2), 3);
    CRasterImage one(9, 2, 1);
    one.Clear(1);
    EXPECT_EQ(one.GetBits(0)[0], 0xFF);
    EXPECT_EQ(one.GetBits(1)[3], 0xFF);
    one.Clear(0);
    EXPECT_EQ(one.GetBits(1)[1], 0x00);
    CRasterImage eight(3, 3, 8);
    eight.Clear(7);
    EXPECT_EQ(eight.GetPixelIndex(2, 2), 7);
}

TEST(RasterImageRecord, PixelEncodings)
{
    CRasterImage one(10, 2, 1);
    one.SetPixelIndex(0, 0, 1);
    one.SetPixelIndex(9, 1, 3); // only the low bit counts
    EXPECT_EQ(one.GetBits(0)[0], 0x80);
    EXPECT_EQ(one.GetBits(1)[1], 0x40);
    EXPECT_EQ(one.GetPixelIndex(9, 1), 1);
    one.SetPixelIndex(9, 1, 0);
    EXPECT_EQ(one.GetBits(1)[1], 0x00);

    CRasterImage four(3, 1, 4);
    four.SetPixelIndex(0, 0, 0xA);
    four.SetPixelIndex(1, 0, 0x1F); // low 4 bits only
    four.SetPixelIndex(2, 0, 0x3);
    EXPECT_EQ(four.GetBits(0)[0], 0xAF);
    EXPECT_EQ(four.GetBits(0)[1], 0x30);
    EXPECT_EQ(four.GetPixelIndex(1, 0), 0xF);

    CRasterImage rgb(2, 2, 24);
    rgb.SetPixelColor(1, 1, RGB(10, 20, 30));
    const BYTE* p = rgb.GetBits(1) + 3;
    EXPECT_EQ(p[0], 30); // blue first
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 10);
    EXPECT_EQ(rgb.GetPixelPointer(1, 1), p);
    EXPECT_EQ(rgb.GetPixelPointer(2, 1), nullptr);
    EXPECT_EQ(four.GetPixelPointer(0, 0), nullptr);
    EXPECT_EQ(rgb.GetPixelIndex(0, 0), 0);

    // Outside the image: the transparent index, else the first byte of the pixel data.
    CRasterImage eight(4, 4, 8);
    eight.SetPixelIndex(0, 0, 42);
    EXPECT_EQ(eight.GetPixelIndex(-1, 0), 42);
    eight.SetTransIndex(7);
    EXPECT_EQ(eight.GetPixelIndex(-1, 0), 7);
    eight.SetPixelIndex(4, 0, 1); // ignored
    EXPECT_TRUE(eight.IsInside(3, 3));
    EXPECT_FALSE(eight.IsInside(4, 3));
    EXPECT_FALSE(eight.IsInside(0, -1));
}

TEST(RasterImageRecord, PixelColorsInsideAndOutside)
{
    CRasterImage img(3, 3, 8);
    img.SetPaletteColor(5, 1, 2, 3, 9);
    img.SetPaletteColor(6, 200, 100, 50);
    img.SetPixelIndex(1, 1, 5);
    img.SetPixelIndex(0, 0, 6);
    RGBQUAD c = img.GetPixelColor(1, 1);
    EXPECT_EQ(c.rgbRed, 1);
    EXPECT_EQ(c.rgbGreen, 2);
    EXPECT_EQ(c.rgbBlue, 3);
    EXPECT_EQ(c.rgbReserved, 9);
    // Outside without transparency: the colour of pixel (0, 0).
    EXPECT_EQ(img.GetPixelColor(-1, 7).rgbRed, 200);
    img.SetTransIndex(5);
    EXPECT_EQ(img.GetPixelColor(-1, 7).rgbRed, 1);
    EXPECT_EQ(img.GetTransColor().rgbGreen, 2);
    img.AlphaCreate();
    img.AlphaSet(1, 1, 33);
    EXPECT_EQ(img.GetPixelColor(1, 1, true).rgbReserved, 33);
    EXPECT_EQ(img.BlindGetPixelColor(1, 1).rgbReserved, 33);

    CRasterImage rgb(2, 2, 24);
    rgb.SetTransColor(RGBQUAD{1, 2, 3, 4});
    EXPECT_EQ(rgb.GetTransColor().rgbReserved, 0);
    rgb.SetTransIndex(0);
    EXPECT_EQ(rgb.GetTransColor().rgbBlue, 1); // 24 bits: the stored colour
    EXPECT_EQ(rgb.GetPixelColor(5, 5).rgbRed, 3);
    rgb.AlphaCreate();
    rgb.SetPixelColor(0, 1, RGBQUAD{7, 8, 9, 100}, true);
    EXPECT_EQ(rgb.AlphaGet(0, 1), 100);
    rgb.SetPixelColor(1, 1, RGBQUAD{7, 8, 9, 100}, false);
    EXPECT_EQ(rgb.AlphaGet(1, 1), 255);
}

TEST(RasterImageRecord, PaletteOperations)
{
    CRasterImage img(4, 2, 4);
    img.SetGrayPalette();
    EXPECT_EQ(img.GetPaletteColor(1).rgbRed, 17);
    EXPECT_EQ(img.GetPaletteColor(15).rgbBlue, 255);
    EXPECT_FALSE(img.IsGrayScale()); // entry 1 is 17, not 1

    CRasterImage gray(2, 2, 8);
    gray.SetGrayPalette();
    EXPECT_EQ(gray.GetPaletteColor(200).rgbGreen, 200);
    EXPECT_TRUE(gray.IsGrayScale());
    CRasterImage bw(2, 2, 1);
    bw.SetGrayPalette();
    EXPECT_EQ(bw.GetPaletteColor(1).rgbRed, 255);

    // Out-of-range indexes are ignored or read as zero.
    img.SetPaletteColor(16, 1, 2, 3);
    EXPECT_EQ(img.GetPaletteColor(16).rgbRed, 0);
    BYTE r = 9;
    EXPECT_FALSE(img.GetPaletteColor(16, &r, nullptr, nullptr));
    EXPECT_EQ(r, 9);

    // Separate channel arrays: missing greens are the reds, missing blues the greens.
    const BYTE reds[3] = {10, 20, 30};
    img.SetPalette(3, reds);
    EXPECT_EQ(img.GetPaletteColor(2).rgbBlue, 30);
    const RgbColor triples[2] = {{1, 2, 3}, {4, 5, 6}};
    img.SetPalette(triples, 2);
    EXPECT_EQ(img.GetPaletteColor(1).rgbRed, 4);
    EXPECT_EQ(img.GetPaletteColor(1).rgbBlue, 6);
    // A table longer than the palette is cut to the palette.
    RGBQUAD big[300] = {};
    big[15].rgbRed = 99;
    img.SetPalette(big, 300);
    EXPECT_EQ(img.GetPaletteColor(15).rgbRed, 99);

    // SwapIndex swaps entries and pixels; an index outside the palette leaves everything alone.
    img.SetPaletteColor(0, 0, 0, 1);
    img.SetPaletteColor(3, 0, 0, 3);
    img.SetPixelIndex(0, 0, 0);
    img.SetPixelIndex(1, 0, 3);
    img.SwapIndex(0, 3);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 3);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 0);
    EXPECT_EQ(img.GetPaletteColor(0).rgbBlue, 3);
    img.SwapIndex(0, 200);
    EXPECT_EQ(img.GetPaletteColor(0).rgbBlue, 3);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 0);

    EXPECT_FALSE(img.AlphaPaletteIsValid());
    img.SetPaletteColor(2, 1, 1, 1, 128);
    EXPECT_TRUE(img.AlphaPaletteIsValid());

    RGBQUAD dark{0, 0, 0, 0}, light{255, 255, 255, 0};
    EXPECT_LT(CRasterImage::CompareColors(&dark, &light), 0);
    RGBQUAD green{0, 255, 0, 0};
    EXPECT_EQ(CRasterImage::CompareColors(&green, &dark), (601 * 255) >> 10);
}

TEST(RasterImageRecord, NearestIndexTiesCacheAndCount)
{
    CRasterImage img(2, 2, 4);
    img.SetPaletteColor(3, 100, 100, 100);
    img.SetPaletteColor(5, 100, 100, 100);
    img.SetPaletteColor(0, 255, 255, 255);
    for (BYTE i = 1; i < 16; ++i)
        if (i != 3 && i != 5)
            img.SetPaletteColor(i, 255, 255, 255);
    // Equal distance: the lower index wins.
    EXPECT_EQ(img.GetNearestIndex(RGBQUAD{90, 90, 90, 0}), 3);
    // Asked again, the cache answers, even though the palette was changed behind its back...
    std::memset(img.GetPalette() + 3, 255, 3);
    EXPECT_EQ(img.GetNearestIndex(RGBQUAD{90, 90, 90, 0}), 3);
    // ...while a palette write empties the cache.
    img.SetPaletteColor(3, 255, 255, 255);
    EXPECT_EQ(img.GetNearestIndex(RGBQUAD{90, 90, 90, 0}), 5);
    // The closest entry by squared distance, ties or not.
    img.SetPaletteColor(7, 0, 0, 250);
    EXPECT_EQ(img.GetNearestIndex(RGBQUAD{255, 0, 0, 0}), 7);

    CRasterImage eight(2, 2, 8);
    eight.SetPaletteColor(255, 10, 10, 10);
    EXPECT_EQ(eight.GetNearestIndex(RGBQUAD{10, 10, 10, 0}), 255);
    EXPECT_EQ(CRasterImage().GetNearestIndex(RGBQUAD{1, 1, 1, 0}), 0);
}

TEST(RasterImageRecord, AlphaPlane)
{
    CRasterImage img(3, 2, 24);
    EXPECT_FALSE(img.AlphaIsValid());
    EXPECT_EQ(img.AlphaGet(0, 0), 0);
    EXPECT_EQ(img.AlphaGetPointer(0, 0), nullptr);
    img.AlphaCreate();
    EXPECT_EQ(img.AlphaGet(2, 1), 255);
    EXPECT_EQ(img.GetColorType(), 4);
    img.AlphaSet(0, 0, 1);
    img.AlphaSet(2, 0, 3);
    img.AlphaSet(0, 1, 4);
    img.AlphaSet(3, 0, 9); // outside: ignored
    ASSERT_TRUE(img.AlphaMirror());
    EXPECT_EQ(img.AlphaGet(2, 0), 1);
    EXPECT_EQ(img.AlphaGet(0, 0), 3);
    ASSERT_TRUE(img.AlphaFlip());
    EXPECT_EQ(img.AlphaGet(2, 1), 1);
    EXPECT_EQ(img.AlphaGet(2, 0), 4);

    CRasterImage other(3, 2, 8);
    img.AlphaSetMax(200);
    EXPECT_TRUE(other.AlphaCopy(img));
    EXPECT_EQ(other.AlphaGet(2, 0), 4);
    EXPECT_EQ(other.AlphaGetMax(), 200);
    CRasterImage wrong(2, 2, 8);
    EXPECT_FALSE(wrong.AlphaCopy(img));
    img.AlphaSet(BYTE(5));
    EXPECT_EQ(img.AlphaGet(1, 1), 5);
    img.AlphaDelete();
    EXPECT_FALSE(img.AlphaFlip());
    EXPECT_FALSE(img.AlphaMirror());
}

TEST(RasterImageRecord, CodecOptionsAndEncodeCheck)
{
    CRasterImage img(IMAGE_FORMAT_GIF);
    EXPECT_TRUE(img.SetCodecOption(2));
    EXPECT_EQ(img.GetCodecOption(IMAGE_FORMAT_GIF), 2u);
    EXPECT_EQ(img.GetCodecOption(), 2u);
    EXPECT_FALSE(img.SetCodecOption(1, 16));
    EXPECT_EQ(img.GetCodecOption(16), 0u);

    EXPECT_TRUE(img.EncodeSafeCheck(nullptr));
    EXPECT_STREQ(img.GetLastError(), "null file handler");
    CRasterImage* self = &img;
    EXPECT_TRUE(img.EncodeSafeCheck(reinterpret_cast<CRasterFile*>(self)));
    EXPECT_STREQ(img.GetLastError(), "null image!!!");

    std::string longText(400, 'x');
    img.SetLastError(longText.c_str());
    EXPECT_EQ(std::strlen(img.GetLastError()), 255u);
}

TEST(RasterImageRecord, BitfieldConversion)
{
    // 16 bits, 5-6-5, two pixels per row: white and a pure green, pure red pair on the next row.
    CRasterImage img(2, 2, 24);
    const BYTE src[] = {0xFF, 0xFF, 0xE0, 0x07, // row 0: white, green
                        0x00, 0xF8, 0x1F, 0x00}; // row 1: red, blue
    img.Bitfield2RGB(src, sizeof src, 0xF800, 0x07E0, 0x001F, 16);
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(0, 0), RGBQUAD{0xF8, 0xFC, 0xF8, 0}));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(1, 0), RGBQUAD{0, 0xFC, 0, 0}));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(0, 1), RGBQUAD{0, 0, 0xF8, 0}));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(1, 1), RGBQUAD{0xF8, 0, 0, 0}));

    // 5-5-5: 0x7C00 red, 0x03E0 green; 0x0210 is green 16, blue 16.
    const BYTE src555[] = {0x00, 0x7C, 0x10, 0x02, 0, 0, 0, 0};
    img.Bitfield2RGB(src555, sizeof src555, 0x7C00, 0x03E0, 0x001F, 16);
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(0, 0), RGBQUAD{0, 0, 0xF8, 0}));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(1, 0), RGBQUAD{0x80, 0x80, 0, 0}));

    // Empty or overlapping masks cannot describe a pixel: read as 5-5-5.
    img.Bitfield2RGB(src555, sizeof src555, 0, 0, 0, 16);
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(0, 0), RGBQUAD{0, 0, 0xF8, 0}));
    img.Bitfield2RGB(src555, sizeof src555, 0xFFFF, 0xFFFF, 0xFFFF, 16);
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(1, 0), RGBQUAD{0x80, 0x80, 0, 0}));
    // Masks above 16 bits are cut to 16 bits; a 1-bit channel shifts left into bit 7.
    img.Bitfield2RGB(src, sizeof src, 0xFFFF0001, 0x0002, 0x0004, 16);
    EXPECT_EQ(img.GetPixelColor(0, 0).rgbRed, 0x80);

    // 32 bits: blue, green, red, unused; the fourth byte is dropped.
    const BYTE src32[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    img.Bitfield2RGB(src32, sizeof src32, 0, 0, 0, 32);
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(1, 0), RGBQUAD{5, 6, 7, 0}));
    EXPECT_TRUE(imagetest::SameColor(img.GetPixelColor(1, 1), RGBQUAD{13, 14, 15, 0}));

    // A source shorter than the image converts only the rows it holds.
    CRasterImage tall(2, 2, 24);
    tall.Bitfield2RGB(src32, 8, 0, 0, 0, 32);
    EXPECT_EQ(tall.GetPixelColor(0, 1).rgbBlue, 0);
    EXPECT_EQ(tall.GetPixelColor(1, 0).rgbBlue, 5);

    // In place: the image's own block as a 16-bit source.
    CRasterImage own(3, 2, 24);
    BYTE* bits = own.GetBits(0);
    const BYTE rows16[] = {0x1F, 0, 0xE0, 0x03, 0x00, 0x7C, 0, 0, 0xFF, 0x7F, 0, 0, 0, 0, 0, 0};
    std::memcpy(bits, rows16, sizeof rows16);
    own.Bitfield2RGB(bits, own.GetHeader().biSizeImage, 0x7C00, 0x03E0, 0x001F, 16);
    EXPECT_TRUE(imagetest::SameColor(own.GetPixelColor(0, 0), RGBQUAD{0xF8, 0, 0, 0}));
    EXPECT_TRUE(imagetest::SameColor(own.GetPixelColor(1, 0), RGBQUAD{0, 0xF8, 0, 0}));
    EXPECT_TRUE(imagetest::SameColor(own.GetPixelColor(2, 0), RGBQUAD{0, 0, 0xF8, 0}));
    EXPECT_TRUE(imagetest::SameColor(own.GetPixelColor(0, 1), RGBQUAD{0xF8, 0xF8, 0xF8, 0}));
}

TEST(RasterImageRecord, ColourHelpersAndRowIterator)
{
    RGBQUAD q = CRasterImage::RGBtoRGBQUAD(RGB(1, 2, 3));
    EXPECT_EQ(q.rgbRed, 1);
    EXPECT_EQ(q.rgbGreen, 2);
    EXPECT_EQ(q.rgbBlue, 3);
    CRasterImage img(2, 3, 24);
    BYTE buf[7] = {1, 2, 3, 4, 5, 6, 7};
    img.RGBtoBGR(buf, 7);
    EXPECT_EQ(buf[0], 3);
    EXPECT_EQ(buf[2], 1);
    EXPECT_EQ(buf[3], 6);
    EXPECT_EQ(buf[6], 7);

    CRasterRowIterator it(&img);
    EXPECT_EQ(it.GetRow(), img.GetBits(0));
    EXPECT_EQ(it.SetY(2), img.GetBits(2));
    EXPECT_EQ(it.SetY(3), img.GetBits(2)); // out of range: unchanged
    EXPECT_EQ(it.SetY(-1), img.GetBits(2));
    it.SetY(0);
    it.Upset();
    EXPECT_EQ(it.GetY(), 2);
    EXPECT_EQ(it.GetRow(), img.GetBits(2));
    const BYTE row[20] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    it.SetRow(row, 20); // cut to the stride
    EXPECT_EQ(img.GetBits(2)[7], 9);
    EXPECT_EQ(img.GetBits(1)[0], 0);
    EXPECT_TRUE(it.PrevRow());
    EXPECT_TRUE(it.PrevRow());
    EXPECT_FALSE(it.PrevRow());
    EXPECT_FALSE(it.ItOK());
    it.SetRow(row, 20); // nothing: outside
    EXPECT_EQ(img.GetBits(0)[0], 0);
}
