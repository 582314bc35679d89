// PNG codec through its entry points: what each colour type and depth decodes to, transparency,
// resolution, the writer's choices (palette size, transparent index, alpha), round trips at every
// depth it writes, and the failures with their texts.
#include "image/CRasterPng.h"
#include "tests/image/PngJpegTestUtil.h"

#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace pjtest;

namespace {

// A stream whose writes fail after a number of bytes.
class FailingStream : public CRasterMemFile {
public:
    explicit FailingStream(DWORD budget) : m_budget(budget) { Open(); }
    DWORD Write(const void* buffer, DWORD size, DWORD count) override
    {
        if (DWORD(Size()) + size * count > m_budget)
            return 0;
        return CRasterMemFile::Write(buffer, size, count);
    }

private:
    DWORD m_budget;
};

Bytes Grey8Alpha(BYTE grey, BYTE alpha, const Bytes& bkgd = {})
{
    PngBuilder b(2, 1, 8, 4);
    if (!bkgd.empty())
        b.Chunk("bKGD", bkgd);
    return b.Rows({{grey, alpha, grey, 255}}).End();
}

} // namespace

TEST(PngDecode, Rgba8BecomesTrueColourWithAlphaPlane)
{
    const Bytes f = PngBuilder(2, 2, 8, 6).Rows({{10, 20, 30, 0, 40, 50, 60, 128}, {70, 80, 90, 255, 1, 2, 3, 4}}).End();
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, f, IMAGE_FORMAT_PNG)) << img.GetLastError();
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(img.GetType(), DWORD(IMAGE_FORMAT_PNG));
    ASSERT_TRUE(img.AlphaIsValid());
    // Row 1 is the top row of the picture.
    EXPECT_EQ(TopDownPixels(img), (std::vector<std::uint32_t>{0x0A141E, 0x28323C, 0x46505A, 0x010203}));
    EXPECT_EQ(img.AlphaGet(0, 1), 0);
    EXPECT_EQ(img.AlphaGet(1, 1), 128);
    EXPECT_EQ(img.AlphaGet(0, 0), 255);
    EXPECT_EQ(img.AlphaGet(1, 0), 4);
}

TEST(PngDecode, BackgroundOfAnRgbaFileBecomesTheTransparentColour)
{
    // Samples are 16 bits in the chunk; an 8-bit file's fit the low byte.
    const Bytes f = PngBuilder(1, 1, 8, 6).Chunk("bKGD", {0, 0x10, 0, 0x20, 0, 0x30}).Rows({{1, 2, 3, 4}}).End();
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, f, IMAGE_FORMAT_PNG)) << img.GetLastError();
    const RGBQUAD t = img.GetInfo().transColor;
    EXPECT_EQ(t.rgbRed, 0x10);
    EXPECT_EQ(t.rgbGreen, 0x20);
    EXPECT_EQ(t.rgbBlue, 0x30);
    EXPECT_EQ(img.GetTransIndex(), -1);
    EXPECT_EQ(img.AlphaGet(0, 0), 4); // not composited
}

TEST(PngDecode, GreyWithAlphaIsCompositedOnItsBackgroundOrLightGrey)
{
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Grey8Alpha(100, 0), IMAGE_FORMAT_PNG)) << img.GetLastError();
    EXPECT_EQ(img.GetBpp(), 8);
    EXPECT_FALSE(img.AlphaIsValid());
    EXPECT_TRUE(img.IsGrayScale());
    EXPECT_EQ(img.GetPixelIndex(0, 0), 192); // fully transparent: the default background
    EXPECT_EQ(img.GetPixelIndex(1, 0), 100); // opaque: unchanged

    ASSERT_TRUE(DecodeBytes(img, Grey8Alpha(100, 0, {0, 30}), IMAGE_FORMAT_PNG)) << img.GetLastError();
    EXPECT_EQ(img.GetPixelIndex(0, 0), 30); // the file's own background
    EXPECT_EQ(img.GetPixelIndex(1, 0), 100);
}

TEST(PngDecode, SixteenBitGreyWithAlphaKeepsItsAlpha)
{
    const Bytes f = PngBuilder(1, 1, 16, 4).Rows({{0x80, 0x00, 0x40, 0x00}}).End();
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, f, IMAGE_FORMAT_PNG)) << img.GetLastError();
    EXPECT_EQ(img.GetBpp(), 24);
    ASSERT_TRUE(img.AlphaIsValid());
    EXPECT_EQ(TopDownPixels(img)[0], 0x808080u);
    EXPECT_EQ(img.AlphaGet(0, 0), 0x40);
}

TEST(PngDecode, PaletteTransparency)
{
    const Bytes plte = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    CRasterImage img;
    // One tRNS entry of 0: a transparent index.
    Bytes f = PngBuilder(3, 1, 8, 3).Chunk("PLTE", plte).Chunk("tRNS", {0}).Rows({{0, 1, 2}}).End();
    ASSERT_TRUE(DecodeBytes(img, f, IMAGE_FORMAT_PNG)) << img.GetLastError();
    EXPECT_EQ(img.GetTransIndex(), 0);
    EXPECT_FALSE(img.AlphaPaletteIsEnabled());
    EXPECT_EQ(TopDownPixels(img), (std::vector<std::uint32_t>{0xFF0000, 0x00FF00, 0x0000FF}));

    // Anything else: palette alpha, the entries without a tRNS value opaque.
    f = PngBuilder(3, 1, 8, 3).Chunk("PLTE", plte).Chunk("tRNS", {10, 20}).Rows({{0, 1, 2}}).End();
    CRasterImage alpha;
    ASSERT_TRUE(DecodeBytes(alpha, f, IMAGE_FORMAT_PNG)) << alpha.GetLastError();
    EXPECT_EQ(alpha.GetTransIndex(), -1);
    EXPECT_TRUE(alpha.AlphaPaletteIsEnabled());
    EXPECT_EQ(alpha.GetPaletteColor(0).rgbReserved, 10);
    EXPECT_EQ(alpha.GetPaletteColor(1).rgbReserved, 20);
    EXPECT_EQ(alpha.GetPaletteColor(2).rgbReserved, 255);
    EXPECT_EQ(alpha.GetPaletteColor(255).rgbReserved, 255);

    // A grey colour key is not a palette index: no transparency at all.
    f = PngBuilder(2, 1, 8, 0).Chunk("tRNS", {0, 7}).Rows({{7, 8}}).End();
    CRasterImage grey;
    ASSERT_TRUE(DecodeBytes(grey, f, IMAGE_FORMAT_PNG)) << grey.GetLastError();
    EXPECT_EQ(grey.GetTransIndex(), -1);
    EXPECT_FALSE(grey.AlphaPaletteIsEnabled());
}

TEST(PngDecode, TwoBitGreyBecomesFourBitWithFourLevels)
{
    // Top row 0 1 2 3 3 (00 01 10 11 | 11), bottom row 3 2 1 0 0.
    {
        const Bytes f = PngBuilder(5, 2, 2, 0).Rows({{0x1B, 0xC0}, {0xE4, 0x00}}).End();
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(img, f, IMAGE_FORMAT_PNG)) << img.GetLastError();
        EXPECT_EQ(img.GetBpp(), 4);
        EXPECT_EQ(img.GetPaletteColor(0).rgbRed, 0);
        EXPECT_EQ(img.GetPaletteColor(1).rgbRed, 85);
        EXPECT_EQ(img.GetPaletteColor(2).rgbGreen, 170);
        EXPECT_EQ(img.GetPaletteColor(3).rgbBlue, 255);
        const BYTE top[5] = {0, 1, 2, 3, 3}, bottom[5] = {3, 2, 1, 0, 0};
        for (LONG x = 0; x < 5; ++x) {
            EXPECT_EQ(img.GetPixelIndex(x, 1), top[x]) << x;
            EXPECT_EQ(img.GetPixelIndex(x, 0), bottom[x]) << x;
        }
    }
}

TEST(PngDecode, Expand2To4WorksInPlaceFromTheEnd)
{
    BYTE row[4] = {0x1B, 0xE4, 0, 0}; // 0 1 2 3 3 2 1 0
    CRasterImagePNG::Expand2To4(row, 8);
    EXPECT_EQ(row[0], 0x01);
    EXPECT_EQ(row[1], 0x23);
    EXPECT_EQ(row[2], 0x32);
    EXPECT_EQ(row[3], 0x10);
}

TEST(PngDecode, ResolutionFromPhys)
{
    auto phys = [](std::uint32_t x, std::uint32_t y, BYTE unit) {
        Bytes d;
        Put32(d, x);
        Put32(d, y);
        d.push_back(unit);
        return PngBuilder(1, 1, 8, 0).Chunk("pHYs", d).Rows({{0}}).End();
    };
    CRasterImage img;
    img.SetXDPI(300);
    ASSERT_TRUE(DecodeBytes(img, PngBuilder(1, 1, 8, 0).Rows({{0}}).End(), IMAGE_FORMAT_PNG));
    EXPECT_EQ(img.GetXDPI(), 96); // no pHYs
    EXPECT_EQ(img.GetYDPI(), 96);
    ASSERT_TRUE(DecodeBytes(img, phys(11811, 2835, 1), IMAGE_FORMAT_PNG));
    EXPECT_EQ(img.GetXDPI(), 300);
    EXPECT_EQ(img.GetYDPI(), 72);
    ASSERT_TRUE(DecodeBytes(img, phys(5, 7, 0), IMAGE_FORMAT_PNG)); // no unit: the values as they are
    EXPECT_EQ(img.GetXDPI(), 5);
    EXPECT_EQ(img.GetYDPI(), 7);
}

TEST(PngDecode, EscapeMinusOneFails)
{
    CRasterImage img;
    img.SetEscape(-1);
    EXPECT_FALSE(DecodeBytes(img, PngBuilder(4, 3, 8, 2).Rows({Bytes(12), Bytes(12), Bytes(12)}).End(), IMAGE_FORMAT_PNG));
    EXPECT_FALSE(img.IsValid());
}

TEST(PngDecode, FailuresKeepLibraryTexts)
{
    const Bytes good = PngBuilder(4, 3, 8, 2).Rows({Bytes(12, 1), Bytes(12, 2), Bytes(12, 3)}).End();
    CRasterImage img;
    Bytes truncated(good.begin(), good.begin() + 40);
    EXPECT_FALSE(DecodeBytes(img, truncated, IMAGE_FORMAT_PNG));
    EXPECT_STREQ(img.GetLastError(), "Read Error");
    EXPECT_FALSE(img.IsValid());

    Bytes notPng = good;
    notPng[1] = 'Q';
    EXPECT_FALSE(DecodeBytes(img, notPng, IMAGE_FORMAT_PNG));
    EXPECT_STRNE(img.GetLastError(), "");

    // Widths past libpng's limit are refused before any buffer is sized for them.
    const Bytes wide = PngBuilder(0x7FFFFFFF, 1, 16, 6).Rows({Bytes(8)}).End();
    EXPECT_FALSE(DecodeBytes(img, wide, IMAGE_FORMAT_PNG));
    EXPECT_STREQ(img.GetLastError(), "Invalid IHDR data");
    // Within it, an image above the memory cap fails in Create.
    const Bytes big = PngBuilder(1000000, 100, 8, 2).Rows({Bytes(8)}).End();
    EXPECT_FALSE(DecodeBytes(img, big, IMAGE_FORMAT_PNG));
    EXPECT_STREQ(img.GetLastError(), "CRASTERIMAGE_MAX_MEMORY exceeded");
}

TEST(PngDecode, HugeAncillaryChunkIsPassedOverWithoutAllocatingIt)
{
    // Found by fuzzing: a text chunk after the image whose length field claims 1.9 GB.
    Bytes f = PngBuilder(1, 1, 8, 0).Rows({{5}}).out;
    Put32(f, 0x75300000);
    f.insert(f.end(), {'t', 'E', 'X', 't', 'k', 0, 'v'});
    const auto start = std::chrono::steady_clock::now();
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(img, f, IMAGE_FORMAT_PNG));
    EXPECT_STREQ(img.GetLastError(), "Read Error");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(PngEncode, RoundTripsAtEveryDepthItWrites)
{
    for (DWORD bpp : {1u, 4u, 8u, 24u}) {
        for (DWORD interlace : {0u, 1u}) {
            CRasterImage img;
            imagetest::Fill(img, 37, 23, bpp);
            img.SetCodecOption(interlace, IMAGE_FORMAT_PNG);
            const Bytes f = EncodeBytes(img, IMAGE_FORMAT_PNG);
            ASSERT_FALSE(f.empty()) << img.GetLastError();
            const Bytes ihdr = ChunkData(f, "IHDR");
            ASSERT_EQ(ihdr.size(), 13u);
            EXPECT_EQ(ihdr[8], bpp == 24 ? 8 : bpp);
            EXPECT_EQ(ihdr[9], bpp == 24 ? 2 : 3);
            EXPECT_EQ(ihdr[12], interlace);
            CRasterImage back;
            ASSERT_TRUE(DecodeBytes(back, f, IMAGE_FORMAT_PNG)) << back.GetLastError();
            EXPECT_EQ(back.GetBpp(), bpp);
            EXPECT_EQ(back.GetCodecOption(IMAGE_FORMAT_PNG), interlace);
            EXPECT_EQ(TopDownPixels(back), TopDownPixels(img)) << bpp << " " << interlace;
        }
    }
}

TEST(PngEncode, AlphaPlaneIsWrittenAsRgbaScaledByAlphaMax)
{
    for (DWORD interlace : {0u, 1u}) {
        CRasterImage img;
        imagetest::Fill(img, 9, 5, 24);
        img.AlphaCreate();
        for (LONG y = 0; y < 5; ++y)
            for (LONG x = 0; x < 9; ++x)
                img.AlphaSet(x, y, BYTE(x * 30 + y));
        img.SetCodecOption(interlace, IMAGE_FORMAT_PNG);
        Bytes f = EncodeBytes(img, IMAGE_FORMAT_PNG);
        EXPECT_EQ(ChunkData(f, "IHDR")[9], 6);
        CRasterImage back;
        ASSERT_TRUE(DecodeBytes(back, f, IMAGE_FORMAT_PNG)) << back.GetLastError();
        ASSERT_TRUE(back.AlphaIsValid());
        EXPECT_EQ(TopDownPixels(back), TopDownPixels(img));
        EXPECT_EQ(TopDownAlpha(back), TopDownAlpha(img));

        img.AlphaSetMax(128);
        f = EncodeBytes(img, IMAGE_FORMAT_PNG);
        ASSERT_TRUE(DecodeBytes(back, f, IMAGE_FORMAT_PNG));
        EXPECT_EQ(back.AlphaGet(8, 4), BYTE(unsigned(8 * 30 + 4) * 128 / 255));
    }
}

TEST(PngEncode, TrueColourWithTransparentColourGetsAlphaZeroThere)
{
    CRasterImage img;
    imagetest::Fill(img, 6, 4, 24);
    const RGBQUAD key = img.GetPixelColor(2, 1);
    img.SetPixelColor(4, 3, key);
    img.SetTransIndex(0);
    img.SetTransColor(key);
    const Bytes f = EncodeBytes(img, IMAGE_FORMAT_PNG);
    EXPECT_FALSE(img.AlphaIsValid()); // the temporary plane is gone
    EXPECT_EQ(ChunkData(f, "IHDR")[9], 6);
    const Bytes bkgd = ChunkData(f, "bKGD");
    ASSERT_EQ(bkgd.size(), 6u);
    EXPECT_EQ(bkgd[1], key.rgbRed);
    EXPECT_EQ(bkgd[5], key.rgbBlue);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(back, f, IMAGE_FORMAT_PNG));
    ASSERT_TRUE(back.AlphaIsValid());
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 6; ++x)
            EXPECT_EQ(back.AlphaGet(x, y), imagetest::SameColor(img.GetPixelColor(x, y), key) ? 0 : 255) << x << "," << y;
    EXPECT_EQ(back.AlphaGet(2, 1), 0);
    EXPECT_EQ(back.AlphaGet(4, 3), 0);
}

TEST(PngEncode, PaletteShrinksToTheHighestIndexInUse)
{
    CRasterImage img(100, 100, 8, 0);
    for (int i = 0; i < 256; ++i)
        img.SetPaletteColor(BYTE(i), BYTE(i), 0, BYTE(255 - i));
    for (LONG y = 0; y < 100; ++y)
        for (LONG x = 0; x < 100; ++x)
            img.SetPixelIndex(x, y, BYTE((x + y) % 10));
    Bytes f = EncodeBytes(img, IMAGE_FORMAT_PNG);
    EXPECT_EQ(ChunkData(f, "PLTE").size(), 30u);
    EXPECT_FALSE(HasChunk(f, "tRNS"));
    const Bytes phys = ChunkData(f, "pHYs");
    ASSERT_EQ(phys.size(), 9u);
    EXPECT_EQ(phys[3], 3780 & 255); // 96 dpi in pixels per metre
    EXPECT_EQ(phys[8], 1);

    // 65,536 pixels or more: the whole palette.
    CRasterImage big(256, 256, 8, 0);
    big.Clear(3);
    f = EncodeBytes(big, IMAGE_FORMAT_PNG);
    EXPECT_EQ(ChunkData(f, "PLTE").size(), 768u);
}

TEST(PngEncode, TransparentIndexIsMovedToZero)
{
    CRasterImage img;
    imagetest::Fill(img, 8, 8, 8);
    const auto before = TopDownPixels(img);
    const RGBQUAD was0 = img.GetPaletteColor(0), was5 = img.GetPaletteColor(5);
    img.SetTransIndex(5);
    const Bytes f = EncodeBytes(img, IMAGE_FORMAT_PNG);
    ASSERT_FALSE(f.empty());
    EXPECT_EQ(ChunkData(f, "tRNS"), Bytes{0});
    // The caller's image now has the transparent colour at index 0; its picture is the same.
    EXPECT_EQ(img.GetTransIndex(), 0);
    EXPECT_TRUE(imagetest::SameColor(img.GetPaletteColor(0), was5));
    EXPECT_TRUE(imagetest::SameColor(img.GetPaletteColor(5), was0));
    EXPECT_EQ(TopDownPixels(img), before);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(back, f, IMAGE_FORMAT_PNG));
    EXPECT_EQ(back.GetTransIndex(), 0);
    EXPECT_EQ(TopDownPixels(back), before);

    // An index outside the palette marks nothing.
    CRasterImage four;
    imagetest::Fill(four, 4, 4, 4);
    four.SetTransIndex(40);
    const Bytes g = EncodeBytes(four, IMAGE_FORMAT_PNG);
    ASSERT_FALSE(g.empty());
    EXPECT_FALSE(HasChunk(g, "tRNS"));
    EXPECT_EQ(four.GetTransIndex(), 40);
}

TEST(PngEncode, PaletteAlphaGoesToTrns)
{
    CRasterImage img;
    imagetest::Fill(img, 4, 4, 4);
    for (int i = 0; i < 16; ++i) {
        RGBQUAD c = img.GetPaletteColor(BYTE(i));
        c.rgbReserved = BYTE(i * 16);
        img.SetPaletteColor(BYTE(i), c);
    }
    img.AlphaPaletteEnable(true);
    const Bytes f = EncodeBytes(img, IMAGE_FORMAT_PNG);
    const Bytes trns = ChunkData(f, "tRNS");
    ASSERT_EQ(trns.size(), 16u);
    EXPECT_EQ(trns[3], 48);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(back, f, IMAGE_FORMAT_PNG));
    EXPECT_TRUE(back.AlphaPaletteIsEnabled());
    EXPECT_EQ(back.GetPaletteColor(7).rgbReserved, 112);
}

TEST(PngEncode, Failures)
{
    CRasterImage empty;
    EXPECT_TRUE(EncodeBytes(empty, IMAGE_FORMAT_PNG).empty());
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");

    CRasterImage img;
    imagetest::Fill(img, 50, 50, 24);
    EXPECT_FALSE(img.Encode(static_cast<CRasterFile*>(nullptr), IMAGE_FORMAT_PNG));
    EXPECT_STREQ(img.GetLastError(), "null file handler");

    FailingStream full(20);
    EXPECT_FALSE(img.Encode(&full, IMAGE_FORMAT_PNG));
    EXPECT_STREQ(img.GetLastError(), "Error saving PNG file");

    // The same with a temporary alpha plane: it is gone afterwards too.
    img.SetTransIndex(0);
    FailingStream full2(100);
    EXPECT_FALSE(img.Encode(&full2, IMAGE_FORMAT_PNG));
    EXPECT_FALSE(img.AlphaIsValid());
}

TEST(PngDispatch, DetectedAfterTheEarlierReaders)
{
    CRasterImage img;
    imagetest::Fill(img, 5, 5, 24);
    const Bytes f = EncodeBytes(img, IMAGE_FORMAT_PNG);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(back, f, IMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(back.GetType(), DWORD(IMAGE_FORMAT_PNG));
    EXPECT_EQ(TopDownPixels(back), TopDownPixels(img));
}
