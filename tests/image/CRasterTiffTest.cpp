// TIFF codec: round trips at every depth the writer produces, the reader's paths (strips, tiles,
// RGBA, CIELab, 16-bit and odd depths), pages, orientation, resolution and every message, and files
// built byte by byte that lie about their sizes.
#include "image/CRasterTiff.h"

#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "tests/image/TiffInteropTools.h"
#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>

using namespace codectest;

namespace {

// Builds little-endian TIFF files entry by entry; strips (or tiles) go after the directory.
class TiffBuilder {
public:
    TiffBuilder& Short(WORD tag, std::vector<WORD> values)
    {
        Bytes b;
        for (WORD v : values)
            b.insert(b.end(), {BYTE(v), BYTE(v >> 8)});
        m_entries[tag] = {3, DWORD(values.size()), b};
        return *this;
    }
    TiffBuilder& Long(WORD tag, std::vector<DWORD> values)
    {
        Bytes b;
        for (DWORD v : values)
            b.insert(b.end(), {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)});
        m_entries[tag] = {4, DWORD(values.size()), b};
        return *this;
    }
    TiffBuilder& Rational(WORD tag, DWORD num, DWORD den)
    {
        Long(tag, {num, den});
        m_entries[tag].type = 5;
        m_entries[tag].count = 1;
        return *this;
    }
    // A grey or palette picture of one sample per pixel in one strip per strip argument.
    TiffBuilder& Basic(DWORD w, DWORD h, WORD bps, WORD photometric, WORD spp = 1)
    {
        Long(256, {w}).Long(257, {h}).Short(258, std::vector<WORD>(spp, bps)).Short(259, {1});
        return Short(262, {photometric}).Short(277, {spp});
    }
    Bytes Build(const std::vector<Bytes>& blocks, bool tiled = false)
    {
        const WORD offsetsTag = tiled ? 324 : 273, countsTag = tiled ? 325 : 279;
        Long(offsetsTag, std::vector<DWORD>(blocks.size(), 0));
        std::vector<DWORD> counts;
        for (const Bytes& b : blocks)
            counts.push_back(DWORD(b.size()));
        Long(countsTag, counts);
        const DWORD ifdEnd = 8 + 2 + 12 * DWORD(m_entries.size()) + 4;
        DWORD extra = 0;
        for (auto& [tag, e] : m_entries)
            if (e.value.size() > 4)
                extra += DWORD(e.value.size() + (e.value.size() & 1));
        DWORD at = ifdEnd + extra;
        std::vector<DWORD> offsets;
        for (const Bytes& b : blocks) {
            offsets.push_back(at);
            at += DWORD(b.size());
        }
        Long(offsetsTag, offsets);

        Bytes out = {'I', 'I', 42, 0, 8, 0, 0, 0};
        Put16(out, WORD(m_entries.size()));
        Bytes tail;
        DWORD tailAt = ifdEnd;
        for (auto& [tag, e] : m_entries) {
            Put16(out, tag);
            Put16(out, e.type);
            Put32(out, e.count);
            if (e.value.size() <= 4) {
                Bytes v = e.value;
                v.resize(4, 0);
                out.insert(out.end(), v.begin(), v.end());
            } else {
                Put32(out, tailAt + DWORD(tail.size()));
                tail.insert(tail.end(), e.value.begin(), e.value.end());
                if (e.value.size() & 1)
                    tail.push_back(0);
            }
        }
        Put32(out, 0);
        out.insert(out.end(), tail.begin(), tail.end());
        for (const Bytes& b : blocks)
            out.insert(out.end(), b.begin(), b.end());
        return out;
    }

private:
    struct Entry {
        WORD type = 0;
        DWORD count = 0;
        Bytes value;
    };
    static void Put16(Bytes& b, WORD v) { b.insert(b.end(), {BYTE(v), BYTE(v >> 8)}); }
    static void Put32(Bytes& b, DWORD v) { b.insert(b.end(), {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)}); }
    std::map<WORD, Entry> m_entries;
};

// Compression codes of the TIFF format.
constexpr DWORD kNone = 1, kG4 = 4, kLzw = 5, kJpeg = 7;

bool SamePixels(const CRasterImage& a, const CRasterImage& b)
{
    return MaxDifference(a, b) == 0;
}

// Grey value of a decoded pixel at (x, y counted from the top).
int GreyAt(const CRasterImage& img, LONG x, LONG yFromTop)
{
    return img.GetPixelColor(x, LONG(img.GetHeight()) - 1 - yFromTop, false).rgbGreen;
}

// 3 x 2 grey picture, top row 10 20 30, bottom row 40 50 60.
Bytes SmallGrey(WORD orientation)
{
    return TiffBuilder().Basic(3, 2, 8, 1).Short(274, {orientation}).Build({{10, 20, 30, 40, 50, 60}});
}

} // namespace

TEST(TiffCodec, RoundTripsAtEveryDepth)
{
    struct Case {
        DWORD bpp;
        DWORD compression; // 0: the writer's choice
        DWORD expected;    // compression found in the file
    };
    for (const Case& c : {Case{1, 0, kG4}, Case{4, 0, kLzw}, Case{8, 0, kLzw}, Case{24, kLzw, kLzw}, Case{24, kNone, kNone},
                          Case{8, kNone, kNone}}) {
        CRasterImage img;
        imagetest::Fill(img, 37, 23, c.bpp);
        if (c.bpp == 1) { // white first: written as it is
            img.SetPaletteColor(0, 255, 255, 255);
            img.SetPaletteColor(1, 0, 0, 0);
        }
        img.SetCodecOption(c.compression, IMAGE_FORMAT_TIF);
        CRasterImage copy(img);
        const Bytes file = EncodeBytes(img, IMAGE_FORMAT_TIF);
        ASSERT_FALSE(file.empty()) << c.bpp << img.GetLastError();
        CRasterImage back;
        ASSERT_TRUE(DecodeBytes(back, file, IMAGE_FORMAT_TIF)) << c.bpp << back.GetLastError();
        EXPECT_EQ(back.GetBpp(), c.bpp);
        EXPECT_EQ(back.GetType(), DWORD(IMAGE_FORMAT_TIF));
        EXPECT_TRUE(SamePixels(copy, back)) << c.bpp;
        EXPECT_EQ(back.GetCodecOption(IMAGE_FORMAT_TIF), c.expected) << c.bpp;
        EXPECT_EQ(back.GetNumFrames(), 1);
    }
}

TEST(TiffCodec, TrueColourDefaultsToJpegWithinItsLoss)
{
    CRasterImage img;
    Photo(img, 64, 48);
    img.SetJpegQuality(95);
    const Bytes file = EncodeBytes(img, IMAGE_FORMAT_TIF);
    ASSERT_FALSE(file.empty()) << img.GetLastError();
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(back, file, IMAGE_FORMAT_TIF)) << back.GetLastError();
    EXPECT_EQ(back.GetCodecOption(IMAGE_FORMAT_TIF), kJpeg);
    EXPECT_EQ(back.GetBpp(), 24);
    // A smooth picture at quality 95 stays within a few levels; a wrong channel order would not.
    EXPECT_LE(MaxDifference(img, back), 12);
}

TEST(TiffCodec, PaletteAndGreyPhotometric)
{
    // A grey ramp (entry i = i) is written as black-is-zero and reads back with the same ramp.
    CRasterImage grey(16, 4, 8, 0);
    grey.SetGrayPalette();
    for (LONG x = 0; x < 16; ++x)
        grey.SetPixelIndex(x, 1, BYTE(x * 16));
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(back, EncodeBytes(grey, IMAGE_FORMAT_TIF), 0));
    EXPECT_TRUE(back.IsGrayScale());
    EXPECT_EQ(back.GetPixelIndex(5, 1), 80);
    EXPECT_EQ(back.GetType(), DWORD(IMAGE_FORMAT_TIF)); // found by detection

    // Colour palettes keep their colours through the 16-bit colour map.
    CRasterImage pal;
    imagetest::Fill(pal, 9, 9, 8);
    ASSERT_TRUE(DecodeBytes(back, EncodeBytes(pal, IMAGE_FORMAT_TIF), IMAGE_FORMAT_TIF));
    EXPECT_FALSE(back.IsGrayScale());
    for (int i : {0, 3, 200})
        EXPECT_TRUE(imagetest::SameColor(back.GetPaletteColor(BYTE(i)), pal.GetPaletteColor(BYTE(i)))) << i;
}

TEST(TiffCodec, BlackFirstBilevelIsWrittenMinIsWhite)
{
    CRasterImage img(10, 3, 1, 0);
    img.SetPaletteColor(0, 0, 0, 0);
    img.SetPaletteColor(1, 255, 255, 255);
    img.Clear(0);
    img.SetPixelIndex(2, 1, 1); // one white pixel on black
    const Bytes file = EncodeBytes(img, IMAGE_FORMAT_TIF);
    ASSERT_FALSE(file.empty());
    // The caller's image was changed in place: entries exchanged, bits complemented.
    EXPECT_EQ(img.GetPaletteColor(0).rgbRed, 255);
    EXPECT_EQ(img.GetPaletteColor(1).rgbRed, 0);
    EXPECT_EQ(img.GetPixelIndex(2, 1), 0);
    EXPECT_EQ(img.GetPixelIndex(3, 1), 1);
    EXPECT_EQ(img.GetNearestIndex(RGBQUAD{0, 0, 0, 0}), 1); // no stale colour cache
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(back, file, IMAGE_FORMAT_TIF));
    EXPECT_EQ(back.GetPaletteColor(0).rgbRed, 255);
    EXPECT_EQ(back.GetPaletteColor(1).rgbRed, 0);
    EXPECT_EQ(back.GetPixelColor(2, 1, false).rgbRed, 255);
    EXPECT_EQ(back.GetPixelColor(3, 1, false).rgbRed, 0);
}

TEST(TiffCodec, AlphaSurvivesAsAnExtraSample)
{
    CRasterImage rgba;
    Photo(rgba, 12, 7);
    rgba.AlphaCreate();
    for (LONG x = 0; x < 12; ++x)
        rgba.AlphaSet(x, 3, BYTE(x * 20));
    rgba.SetCodecOption(kLzw, IMAGE_FORMAT_TIF);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(back, EncodeBytes(rgba, IMAGE_FORMAT_TIF), IMAGE_FORMAT_TIF)) << back.GetLastError();
    ASSERT_TRUE(back.AlphaIsValid());
    EXPECT_EQ(back.AlphaGet(7, 3), 140);
    EXPECT_EQ(back.AlphaGet(7, 4), 255);
    // Colours stay straight (not multiplied by their alpha): exact where opaque, within the
    // rounding of the library's premultiplication elsewhere.
    for (LONG y = 0; y < 7; ++y)
        for (LONG x = y == 3 ? 1 : 0; x < 12; ++x) {
            const RGBQUAD a = rgba.GetPixelColor(x, y, false), b = back.GetPixelColor(x, y, false);
            const int tolerance = y == 3 ? 255 / (x * 20) + 1 : 0;
            ASSERT_LE(std::abs(a.rgbRed - b.rgbRed), tolerance) << x << "," << y;
            ASSERT_LE(std::abs(a.rgbGreen - b.rgbGreen), tolerance) << x << "," << y;
            ASSERT_LE(std::abs(a.rgbBlue - b.rgbBlue), tolerance) << x << "," << y;
        }

    CRasterImage indexed;
    imagetest::Fill(indexed, 6, 5, 8);
    indexed.AlphaCreate();
    indexed.AlphaSet(4, 2, 33);
    ASSERT_TRUE(DecodeBytes(back, EncodeBytes(indexed, IMAGE_FORMAT_TIF), IMAGE_FORMAT_TIF)) << back.GetLastError();
    EXPECT_EQ(back.GetBpp(), 8);
    ASSERT_TRUE(back.AlphaIsValid());
    EXPECT_EQ(back.AlphaGet(4, 2), 33);
    EXPECT_EQ(back.GetPixelIndex(4, 2), indexed.GetPixelIndex(4, 2));
}

TEST(TiffCodec, GroupFourOptionRefusedForTrueColour)
{
    CRasterImage bilevel(16, 16, 1, 0);
    bilevel.SetPaletteColor(0, 255, 255, 255);
    bilevel.SetPixelIndex(3, 3, 1);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, EncodeBytes(bilevel, IMAGE_FORMAT_TIF), IMAGE_FORMAT_TIF));
    EXPECT_EQ(img.GetCodecOption(IMAGE_FORMAT_TIF), kG4);
    ASSERT_TRUE(img.IncreaseBpp(24));
    EXPECT_TRUE(EncodeBytes(img, IMAGE_FORMAT_TIF).empty());
    EXPECT_STREQ(img.GetLastError(), "Error saving TIFF file");
}

TEST(TiffCodec, PagesAreWrittenAndChosenByFrame)
{
    CRasterImageTIF writer;
    CRasterMemFile mem;
    mem.Open();
    const LONG widths[3] = {5, 7, 9};
    for (int page = 0; page < 3; ++page) {
        CRasterImage img;
        imagetest::Fill(img, widths[page], 4, 8);
        writer.Copy(img);
        ASSERT_TRUE(writer.Encode(&mem, page < 2)) << page << writer.GetLastError();
    }
    const BYTE* data = mem.GetBuffer(false);
    const Bytes file(data, data + mem.Size());
    for (LONG frame = 0; frame < 3; ++frame) {
        CRasterImage img;
        img.SetFrame(frame);
        ASSERT_TRUE(DecodeBytes(img, file, IMAGE_FORMAT_TIF)) << frame;
        EXPECT_EQ(LONG(img.GetWidth()), widths[frame]);
        EXPECT_EQ(img.GetNumFrames(), 3);
    }
    CRasterImage img;
    img.SetFrame(3);
    EXPECT_FALSE(DecodeBytes(img, file, IMAGE_FORMAT_TIF));
    EXPECT_STREQ(img.GetLastError(), "Error: page not present in TIFF file");
    EXPECT_EQ(img.GetNumFrames(), 3);
}

TEST(TiffCodec, ResolutionAndPosition)
{
    Bytes file = TiffBuilder()
                     .Basic(2, 2, 8, 1)
                     .Short(296, {3})
                     .Rational(282, 118, 1)
                     .Rational(283, 59, 1)
                     .Rational(286, 7, 2)
                     .Rational(287, 5, 1)
                     .Build({{1, 2, 3, 4}});
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, file, IMAGE_FORMAT_TIF)) << img.GetLastError();
    EXPECT_EQ(img.GetXDPI(), 300); // 118 x 2.54 + 0.5 = 300.22
    EXPECT_EQ(img.GetYDPI(), 150);
    EXPECT_EQ(img.GetXOffset(), 3);
    EXPECT_EQ(img.GetYOffset(), 5);

    CRasterImage out;
    imagetest::Fill(out, 3, 3, 8);
    out.SetXDPI(72);
    out.SetYDPI(200);
    ASSERT_TRUE(DecodeBytes(img, EncodeBytes(out, IMAGE_FORMAT_TIF), IMAGE_FORMAT_TIF));
    EXPECT_EQ(img.GetXDPI(), 72);
    EXPECT_EQ(img.GetYDPI(), 200);
}

TEST(TiffCodec, OrientationTurnsThePicture)
{
    // Expected top-down rows for each orientation of the stored rows (10 20 30 / 40 50 60).
    struct Case {
        WORD orientation;
        LONG w, h;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {1, 3, 2, {10, 20, 30, 40, 50, 60}},
        {2, 3, 2, {30, 20, 10, 60, 50, 40}},
        {3, 3, 2, {60, 50, 40, 30, 20, 10}},
        {4, 3, 2, {40, 50, 60, 10, 20, 30}},
        {5, 2, 3, {10, 40, 20, 50, 30, 60}}, // first row is the left side, first column the top
        {6, 2, 3, {40, 10, 50, 20, 60, 30}}, // first row is the right side: a clockwise turn
        {7, 2, 3, {60, 30, 50, 20, 40, 10}},
        {8, 2, 3, {30, 60, 20, 50, 10, 40}}, // first row is the left side, read upwards
    };
    for (const Case& c : cases) {
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(img, SmallGrey(c.orientation), IMAGE_FORMAT_TIF)) << c.orientation;
        ASSERT_EQ(LONG(img.GetWidth()), c.w) << c.orientation;
        ASSERT_EQ(LONG(img.GetHeight()), c.h) << c.orientation;
        std::vector<int> rows;
        for (LONG y = 0; y < c.h; ++y)
            for (LONG x = 0; x < c.w; ++x)
                rows.push_back(GreyAt(img, x, y));
        EXPECT_EQ(rows, c.rows) << c.orientation;
    }
    // 5 is RotateRight followed by Mirror, 6 RotateRight.
    CRasterImage five, six, expected;
    ASSERT_TRUE(DecodeBytes(five, SmallGrey(5), IMAGE_FORMAT_TIF));
    ASSERT_TRUE(DecodeBytes(six, SmallGrey(6), IMAGE_FORMAT_TIF));
    ASSERT_TRUE(DecodeBytes(expected, SmallGrey(1), IMAGE_FORMAT_TIF));
    expected.RotateRight();
    EXPECT_TRUE(SamePixels(six, expected));
    expected.Mirror();
    EXPECT_TRUE(SamePixels(five, expected));
}

TEST(TiffCodec, TilesAssembleWithACutLastColumn)
{
    // 20 x 5 grey picture in 16 x 16 tiles: the second tile column keeps only 4 of its 16 bytes.
    const DWORD w = 20, h = 5;
    std::vector<Bytes> tiles(2, Bytes(16 * 16, 0));
    for (DWORD y = 0; y < h; ++y)
        for (DWORD x = 0; x < w; ++x)
            tiles[x / 16][y * 16 + x % 16] = BYTE(y * 40 + x);
    Bytes file = TiffBuilder().Basic(w, h, 8, 1).Long(322, {16}).Long(323, {16}).Build(tiles, true);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, file, IMAGE_FORMAT_TIF)) << img.GetLastError();
    ASSERT_EQ(img.GetWidth(), w);
    for (DWORD y = 0; y < h; ++y)
        for (DWORD x = 0; x < w; ++x)
            ASSERT_EQ(GreyAt(img, LONG(x), LONG(y)), int(y * 40 + x)) << x << "," << y;
}

TEST(TiffCodec, SixteenBitAndOddDepths)
{
    // 16-bit grey keeps the high byte of each sample.
    Bytes samples16 = {0x34, 0x12, 0xFF, 0xAB, 0x00, 0x80};
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, TiffBuilder().Basic(3, 1, 16, 1).Build({samples16}), IMAGE_FORMAT_TIF));
    EXPECT_EQ(img.GetBpp(), 8);
    EXPECT_EQ(GreyAt(img, 0, 0), 0x12);
    EXPECT_EQ(GreyAt(img, 1, 0), 0xAB);
    EXPECT_EQ(GreyAt(img, 2, 0), 0x80);

    // 16-bit grey with alpha: both samples of every pixel are reduced (not only the first half).
    Bytes ga16 = {0, 0x10, 0, 0x20, 0, 0x30, 0, 0x40};
    ASSERT_TRUE(DecodeBytes(img, TiffBuilder().Basic(2, 1, 16, 1, 2).Build({ga16}), IMAGE_FORMAT_TIF));
    EXPECT_EQ(img.GetPixelIndex(0, 0), 0x10);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 0x30);

    // 2-bit grey: four levels unpacked to one index each, with a four-step ramp.
    ASSERT_TRUE(DecodeBytes(img, TiffBuilder().Basic(5, 1, 2, 1).Build({{0x1B, 0xC0}}), IMAGE_FORMAT_TIF));
    std::vector<int> greys;
    for (LONG x = 0; x < 5; ++x)
        greys.push_back(GreyAt(img, x, 0));
    EXPECT_EQ(greys, (std::vector<int>{0, 85, 170, 255, 255}));

    // 4-bit min-is-white: index 0 is white.
    ASSERT_TRUE(DecodeBytes(img, TiffBuilder().Basic(2, 1, 4, 0).Build({{0x0F}}), IMAGE_FORMAT_TIF));
    EXPECT_EQ(img.GetBpp(), 4);
    EXPECT_EQ(GreyAt(img, 0, 0), 255);
    EXPECT_EQ(GreyAt(img, 1, 0), 0);
}

TEST(TiffCodec, CieLabRows)
{
    // L* 100 is white, L* 0 black; a saturated +a is reddish; the fourth sample is alpha.
    Bytes lab = {255, 0, 0, 9, 0, 0, 0, 200, 128, 100, 0, 255};
    Bytes file = TiffBuilder().Basic(3, 1, 8, 8, 4).Build({lab});
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, file, IMAGE_FORMAT_TIF)) << img.GetLastError();
    EXPECT_EQ(img.GetBpp(), 24);
    const RGBQUAD white = img.GetPixelColor(0, 0, false), black = img.GetPixelColor(1, 0, false),
                  red = img.GetPixelColor(2, 0, false);
    EXPECT_GE(white.rgbRed, 253);
    EXPECT_GE(white.rgbBlue, 253);
    EXPECT_LE(black.rgbGreen, 10); // the conversion has no linear segment near black
    EXPECT_GT(red.rgbRed, red.rgbGreen + 50);
    ASSERT_TRUE(img.AlphaIsValid());
    EXPECT_EQ(img.AlphaGet(0, 0), 9);
    EXPECT_EQ(img.AlphaGet(1, 0), 200);
}

TEST(TiffCodec, Messages)
{
    CRasterImage img;
    const Bytes junk(64, 'x');
    EXPECT_FALSE(DecodeBytes(img, junk, IMAGE_FORMAT_TIF));
    EXPECT_STREQ(img.GetLastError(), "Error encountered while opening TIFF file");

    const Bytes file = SmallGrey(1);
    img.SetEscape(-1);
    EXPECT_TRUE(DecodeBytes(img, file, IMAGE_FORMAT_TIF));
    EXPECT_STREQ(img.GetLastError(), "output dimensions returned");
    EXPECT_EQ(img.GetWidth(), 3u);
    EXPECT_EQ(img.GetHeight(), 2u);
    EXPECT_FALSE(img.IsValid());

    CRasterImage cancelled;
    cancelled.SetEscape(1);
    EXPECT_FALSE(DecodeBytes(cancelled, file, IMAGE_FORMAT_TIF));
    EXPECT_STREQ(cancelled.GetLastError(), "Cancelled");

    CRasterImage empty;
    EXPECT_TRUE(EncodeBytes(empty, IMAGE_FORMAT_TIF).empty());
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
    CRasterImage some;
    imagetest::Fill(some, 2, 2, 8);
    EXPECT_FALSE(some.Encode(static_cast<CRasterFile*>(nullptr), IMAGE_FORMAT_TIF));
    EXPECT_STREQ(some.GetLastError(), "null file handler");
}

TEST(TiffCodec, FilesThatLieAboutTheirSizes)
{
    CRasterImage img;
    // Rows per strip of 0 would never advance.
    EXPECT_FALSE(DecodeBytes(img, TiffBuilder().Basic(4, 4, 8, 1).Long(278, {0}).Build({Bytes(16, 1)}), IMAGE_FORMAT_TIF));
    EXPECT_FALSE(img.IsValid());
    // A strip far shorter than its rows: the missing bytes read as zero, nothing is overrun.
    Bytes shortStrip = TiffBuilder().Basic(300, 200, 8, 1).Build({Bytes(10, 7)});
    if (DecodeBytes(img, shortStrip, IMAGE_FORMAT_TIF)) {
        EXPECT_EQ(img.GetWidth(), 300u);
    }
    // Huge dimensions over a few bytes of data are refused before allocating.
    EXPECT_FALSE(DecodeBytes(img, TiffBuilder().Basic(2000000, 2000000, 8, 1).Build({Bytes(8, 0)}), IMAGE_FORMAT_TIF));
    // Tiles of no width.
    EXPECT_FALSE(DecodeBytes(img, TiffBuilder().Basic(4, 4, 8, 1).Long(322, {0}).Long(323, {16}).Build({Bytes(256, 1)}, true),
                             IMAGE_FORMAT_TIF));
    // Tiles whose offsets point past the end of the file.
    Bytes badTiles = TiffBuilder().Basic(40, 40, 8, 1).Long(322, {16}).Long(323, {16}).Build({Bytes(256, 1)}, true);
    EXPECT_FALSE(DecodeBytes(img, badTiles, IMAGE_FORMAT_TIF));
    // A palette file with 16 bits per sample and many samples per pixel stays inside its buffers.
    Bytes wide = TiffBuilder().Basic(3, 3, 16, 3, 5).Build({Bytes(90, 0xEE)});
    DecodeBytes(img, wide, IMAGE_FORMAT_TIF);
}
