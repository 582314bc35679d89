// JPEG codec through its entry points: round trips at the depths it writes, resolution from JFIF
// and EXIF, the size probe, scaling, decoder options, EXIF kept only by the object that read it,
// refusals and library failures.
#include "image/CRasterJpeg.h"
#include "tests/image/PngJpegTestUtil.h"

#include "ImageTestUtil.h"

#include <gtest/gtest.h>

using namespace pjtest;

namespace {

Bytes PhotoJpeg(LONG w = 40, LONG h = 30)
{
    CRasterImage img;
    FillPhoto(img, w, h);
    return EncodeBytes(img, IMAGE_FORMAT_JPG);
}

// Our files start with a JFIF header: units at byte 13, densities at 14 and 16.
Bytes WithDensity(Bytes f, BYTE unit, WORD x, WORD y)
{
    f[13] = unit;
    f[14] = BYTE(x >> 8);
    f[15] = BYTE(x);
    f[16] = BYTE(y >> 8);
    f[17] = BYTE(y);
    return f;
}

bool HasMarker(const Bytes& f, BYTE marker)
{
    // Walks the segments up to the scan header.
    std::size_t pos = 2;
    while (pos + 4 <= f.size() && f[pos] == 0xFF) {
        if (f[pos + 1] == marker)
            return true;
        if (f[pos + 1] == 0xDA)
            break;
        pos += 2 + ((std::size_t(f[pos + 2]) << 8) | f[pos + 3]);
    }
    return false;
}

// The number of components in the frame header.
int FrameComponents(const Bytes& f)
{
    for (std::size_t i = 2; i + 9 < f.size(); ++i)
        if (f[i] == 0xFF && (f[i + 1] == 0xC0 || f[i + 1] == 0xC1 || f[i + 1] == 0xC2))
            return f[i + 9];
    return -1;
}

} // namespace

TEST(JpegCodec, TrueColourRoundTripStaysClose)
{
    CRasterImage img;
    FillPhoto(img, 64, 48);
    const Bytes f = EncodeBytes(img, IMAGE_FORMAT_JPG);
    ASSERT_FALSE(f.empty()) << img.GetLastError();
    EXPECT_EQ(FrameComponents(f), 3);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(back, f, IMAGE_FORMAT_JPG)) << back.GetLastError();
    EXPECT_EQ(back.GetBpp(), 24);
    EXPECT_EQ(back.GetType(), DWORD(IMAGE_FORMAT_JPG));
    ASSERT_EQ(back.GetWidth(), 64u);
    ASSERT_EQ(back.GetHeight(), 48u);
    int maxDiff;
    double mean;
    ComponentError(TopDownPixels(back), TopDownPixels(img), maxDiff, mean);
    // Quality 90 on smooth areas with a few hard edges: small on average, bounded at the edges.
    EXPECT_LT(mean, 4.0);
    EXPECT_LT(maxDiff, 80);
    // Red and blue are not swapped: the disc is red (red 220, blue 40).
    const RGBQUAD c = back.GetPixelColor(32, 24);
    EXPECT_GT(c.rgbRed, 180);
    EXPECT_LT(c.rgbBlue, 80);
}

TEST(JpegCodec, GreyRampImageIsWrittenWithOneComponent)
{
    CRasterImage img(33, 17, 8, 0);
    img.SetGrayPalette();
    for (LONG y = 0; y < 17; ++y)
        for (LONG x = 0; x < 33; ++x)
            img.SetPixelIndex(x, y, BYTE(x * 7 + y));
    const Bytes f = EncodeBytes(img, IMAGE_FORMAT_JPG);
    ASSERT_FALSE(f.empty()) << img.GetLastError();
    EXPECT_EQ(FrameComponents(f), 1);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(back, f, IMAGE_FORMAT_JPG));
    EXPECT_EQ(back.GetBpp(), 8);
    EXPECT_TRUE(back.IsGrayScale());
    int maxDiff;
    double mean;
    ComponentError(TopDownPixels(back), TopDownPixels(img), maxDiff, mean);
    EXPECT_LT(mean, 2.0);
}

TEST(JpegCodec, RefusesPaletteImagesThatAreNotGrey)
{
    for (DWORD bpp : {1u, 4u, 8u}) {
        CRasterImage img;
        imagetest::Fill(img, 8, 8, bpp);
        EXPECT_TRUE(EncodeBytes(img, IMAGE_FORMAT_JPG).empty());
        EXPECT_STREQ(img.GetLastError(), "JPEG can save only RGB or GreyScale images");
    }
    CRasterImage empty;
    EXPECT_TRUE(EncodeBytes(empty, IMAGE_FORMAT_JPG).empty());
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
}

TEST(JpegCodec, ResolutionFromJfif)
{
    const Bytes f = PhotoJpeg();
    struct Case {
        BYTE unit;
        WORD x, y;
        LONG dpiX, dpiY;
    } cases[] = {{1, 300, 300, 300, 300}, {0, 1, 1, 1, 1}, {1, 0, 0, 96, 96}, {2, 118, 40, 300, 102}};
    for (const Case& c : cases) {
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(img, WithDensity(f, c.unit, c.x, c.y), IMAGE_FORMAT_JPG));
        EXPECT_EQ(img.GetXDPI(), c.dpiX) << int(c.unit) << " " << c.x;
        EXPECT_EQ(img.GetYDPI(), c.dpiY) << int(c.unit) << " " << c.y;
    }
    // The writer stores the image's resolution in dots per inch.
    CRasterImage img;
    FillPhoto(img, 8, 8);
    img.SetXDPI(150);
    img.SetYDPI(75);
    const Bytes g = EncodeBytes(img, IMAGE_FORMAT_JPG);
    EXPECT_EQ(g[13], 1);
    EXPECT_EQ((g[14] << 8) | g[15], 150);
    EXPECT_EQ((g[16] << 8) | g[17], 75);
}

TEST(JpegCodec, ResolutionFromExifWinsOverJfif)
{
    ExifBuilder b(true);
    const Bytes exif = Segment(0xE1, b.Payload({b.Rat(0x011A, 72, 1), b.Rat(0x011B, 144, 1), b.Short(0x0128, 2)}));
    const Bytes f = InsertSegments(WithDensity(PhotoJpeg(), 1, 300, 300), {exif});
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, f, IMAGE_FORMAT_JPG)) << img.GetLastError();
    EXPECT_EQ(img.GetXDPI(), 72);
    EXPECT_EQ(img.GetYDPI(), 144);

    // Centimetres: 118 dots per cm are 299.72 dpi, truncated.
    const Bytes cm = Segment(0xE1, b.Payload({b.Rat(0x011A, 118, 1), b.Rat(0x011B, 118, 1), b.Short(0x0128, 3)}));
    ASSERT_TRUE(DecodeBytes(img, InsertSegments(PhotoJpeg(), {cm}), IMAGE_FORMAT_JPG));
    EXPECT_EQ(img.GetXDPI(), 299);

    // A broken EXIF block never fails the decode: the JFIF density is used.
    Bytes broken = exif;
    broken[4 + 6] = 'X';
    ASSERT_TRUE(DecodeBytes(img, InsertSegments(WithDensity(PhotoJpeg(), 1, 200, 200), {broken}), IMAGE_FORMAT_JPG));
    EXPECT_EQ(img.GetXDPI(), 200);
}

TEST(JpegCodec, SizeProbeAndScale)
{
    const Bytes f = PhotoJpeg(40, 30);
    CRasterImage probe;
    probe.SetEscape(-1);
    ASSERT_TRUE(DecodeBytes(probe, f, IMAGE_FORMAT_JPG));
    EXPECT_EQ(probe.GetWidth(), 40u);
    EXPECT_EQ(probe.GetHeight(), 30u);
    EXPECT_FALSE(probe.IsValid());

    CRasterImage half;
    half.SetJpegScale(2);
    ASSERT_TRUE(DecodeBytes(half, f, IMAGE_FORMAT_JPG));
    EXPECT_EQ(half.GetWidth(), 20u);
    EXPECT_EQ(half.GetHeight(), 15u);

    // Scale 0 is full size (libjpeg alone would take a zero denominator as double size).
    CRasterImage full;
    full.SetJpegScale(0);
    ASSERT_TRUE(DecodeBytes(full, f, IMAGE_FORMAT_JPG));
    EXPECT_EQ(full.GetWidth(), 40u);
    probe.SetJpegScale(0);
    ASSERT_TRUE(DecodeBytes(probe, f, IMAGE_FORMAT_JPG));
    EXPECT_EQ(probe.GetWidth(), 40u);
}

TEST(JpegCodec, DecoderOptions)
{
    const Bytes f = PhotoJpeg();
    CRasterImage grey;
    grey.SetCodecOption(CRasterImageJPG::DECODE_GRAYSCALE, IMAGE_FORMAT_JPG);
    ASSERT_TRUE(DecodeBytes(grey, f, IMAGE_FORMAT_JPG)) << grey.GetLastError();
    EXPECT_EQ(grey.GetBpp(), 8);
    EXPECT_TRUE(grey.IsGrayScale());

    // Quantised to jpegQuality colours.
    CRasterImage q;
    q.SetCodecOption(CRasterImageJPG::DECODE_QUANTIZE, IMAGE_FORMAT_JPG);
    q.SetJpegQuality(16);
    ASSERT_TRUE(DecodeBytes(q, f, IMAGE_FORMAT_JPG)) << q.GetLastError();
    EXPECT_EQ(q.GetBpp(), 8);
    for (LONG x = 0; x < 40; ++x)
        EXPECT_LT(q.GetPixelIndex(x, 10), 16);
    EXPECT_FALSE(q.IsGrayScale());

    // Grey and quantised together: a one-row colour map.
    CRasterImage gq;
    gq.SetCodecOption(CRasterImageJPG::DECODE_GRAYSCALE | CRasterImageJPG::DECODE_QUANTIZE, IMAGE_FORMAT_JPG);
    gq.SetJpegQuality(8);
    ASSERT_TRUE(DecodeBytes(gq, f, IMAGE_FORMAT_JPG)) << gq.GetLastError();
    const RGBQUAD c = gq.GetPaletteColor(3);
    EXPECT_EQ(c.rgbRed, c.rgbGreen);
    EXPECT_EQ(c.rgbRed, c.rgbBlue);

    // An option the library refuses fails with its message.
    CRasterImage few;
    few.SetCodecOption(CRasterImageJPG::DECODE_QUANTIZE, IMAGE_FORMAT_JPG);
    few.SetJpegQuality(1);
    EXPECT_FALSE(DecodeBytes(few, f, IMAGE_FORMAT_JPG));
    EXPECT_STRNE(few.GetLastError(), "");

    // Progressive and optimised writing read back at the same size.
    CRasterImage img;
    FillPhoto(img, 24, 16);
    img.SetCodecOption(CRasterImageJPG::ENCODE_PROGRESSIVE | CRasterImageJPG::ENCODE_OPTIMIZE, IMAGE_FORMAT_JPG);
    const Bytes p = EncodeBytes(img, IMAGE_FORMAT_JPG);
    EXPECT_TRUE(HasMarker(p, 0xC2));
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(back, p, IMAGE_FORMAT_JPG));
    EXPECT_EQ(back.GetWidth(), 24u);
}

TEST(JpegCodec, ExifIsKeptOnlyByTheObjectThatReadIt)
{
    ExifBuilder b(false);
    const Bytes exif = Segment(0xE1, b.Payload({ExifBuilder::Text(0x010F, "Maker"), b.Rat(0x011A, 72, 1), b.Short(0x0128, 2)}));
    const Bytes f = InsertSegments(PhotoJpeg(), {exif, Segment(0xFE, {'h', 'i'})});

    // Through the dispatch: a fresh codec object writes a plain JFIF file.
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, f, IMAGE_FORMAT_JPG));
    const Bytes plain = EncodeBytes(img, IMAGE_FORMAT_JPG);
    EXPECT_FALSE(HasMarker(plain, 0xE1));
    EXPECT_TRUE(HasMarker(plain, 0xE0));

    // The same object: the EXIF block and the comment go back in front of the new image data.
    CRasterImageJPG codec;
    CRasterMemFile in(f.data(), DWORD(f.size()));
    ASSERT_TRUE(codec.Decode(&in));
    EXPECT_TRUE(codec.GetExifData().IsExif);
    EXPECT_STREQ(codec.GetExifData().CameraMake, "Maker");
    EXPECT_STREQ(codec.GetExifData().Comments, "hi");
    CRasterMemFile out;
    out.Open();
    ASSERT_TRUE(codec.Encode(&out));
    const Bytes kept(out.GetBuffer(false), out.GetBuffer(false) + out.Size());
    EXPECT_TRUE(HasMarker(kept, 0xE1));
    EXPECT_TRUE(HasMarker(kept, 0xFE));
    EXPECT_FALSE(HasMarker(kept, 0xE0));
    CRasterImage again;
    ASSERT_TRUE(DecodeBytes(again, kept, IMAGE_FORMAT_JPG)) << again.GetLastError();
    EXPECT_EQ(again.GetWidth(), 40u);
    EXPECT_EQ(again.GetXDPI(), 72);
}

TEST(JpegCodec, LibraryFailures)
{
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(img, Bytes{}, IMAGE_FORMAT_JPG));
    EXPECT_FALSE(img.IsValid());

    CRasterMemFile empty;
    empty.Open();
    EXPECT_FALSE(img.Decode(&empty, IMAGE_FORMAT_JPG));
    EXPECT_STREQ(img.GetLastError(), "Empty input file");

    Bytes notJpeg = PhotoJpeg();
    notJpeg[1] = 0x00;
    EXPECT_FALSE(DecodeBytes(img, notJpeg, IMAGE_FORMAT_JPG));
    EXPECT_STRNE(img.GetLastError(), "");

    // A truncated file decodes to its end; the missing rows come from the supplied end marker.
    const Bytes f = PhotoJpeg(64, 64);
    const Bytes cut(f.begin(), f.begin() + f.size() / 2);
    CRasterImage part;
    ASSERT_TRUE(DecodeBytes(part, cut, IMAGE_FORMAT_JPG)) << part.GetLastError();
    EXPECT_EQ(part.GetHeight(), 64u);

    // A marker that asks to skip past the end of the data stops at the end.
    Bytes skip = {0xFF, 0xD8, 0xFF, 0xE5, 0xFF, 0xFF, 1, 2, 3};
    EXPECT_FALSE(DecodeBytes(img, skip, IMAGE_FORMAT_JPG));

    // A stream that refuses writes.
    class Refusing : public CRasterMemFile {
    public:
        Refusing() { Open(); }
        DWORD Write(const void*, DWORD, DWORD) override { return 0; }
    } refusing;
    CRasterImage photo;
    FillPhoto(photo, 200, 200);
    EXPECT_FALSE(photo.Encode(&refusing, IMAGE_FORMAT_JPG));
    EXPECT_STREQ(photo.GetLastError(), "Output file write error --- out of disk space?");
}

TEST(JpegCodec, DetectedSecond)
{
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, PhotoJpeg(), IMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(img.GetType(), DWORD(IMAGE_FORMAT_JPG));
}
