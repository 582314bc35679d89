// JPEG 2000 family: JP2 and code streams through the dispatch, the plain PNM, PGX and Sun raster
// readers and writers on hand-made files, components as frames, the rate option, every message, and
// headers that promise more than the file holds.
#include "image/CRasterJpeg2000.h"

#include "ImageTestUtil.h"
#include "image/CRasterImage.h"
#include "image/CRasterJpeg2000Formats.h"
#include "image/CRasterMemFile.h"
#include "tests/image/TiffInteropTools.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace codectest;

namespace {

Bytes Text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

Bytes Concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes SunHeader(DWORD w, DWORD h, DWORD depth, DWORD type, DWORD mapType, DWORD mapLength, DWORD length)
{
    Bytes out;
    for (DWORD v : {0x59A66A95u, w, h, depth, length, type, mapType, mapLength})
        out.insert(out.end(), {BYTE(v >> 24), BYTE(v >> 16), BYTE(v >> 8), BYTE(v)});
    return out;
}

CRasterImage GreyRamp(LONG w, LONG h)
{
    CRasterImage img(w, h, 8, 0);
    img.SetGrayPalette();
    for (LONG y = 0; y < h; ++y)
        for (LONG x = 0; x < w; ++x)
            img.SetPixelIndex(x, y, BYTE((x * 13 + y * 29) & 255));
    return img;
}

int GreyAt(const CRasterImage& img, LONG x, LONG yFromTop)
{
    return img.GetPixelColor(x, LONG(img.GetHeight()) - 1 - yFromTop, false).rgbGreen;
}

} // namespace

TEST(Jpeg2000Codec, ThreeComponentsDecodeToTrueColourWithTheGivenId)
{
    CRasterImage src;
    Photo(src, 40, 30);
    src.SetJpegQuality(100);
    const Bytes jp2 = EncodeBytes(src, IMAGE_FORMAT_JP2);
    ASSERT_FALSE(jp2.empty()) << src.GetLastError();
    EXPECT_EQ(jas::DetectFamily(jp2.data(), jp2.size()), jas::Family::Jp2);

    CRasterImage byId, detected;
    ASSERT_TRUE(DecodeBytes(byId, jp2, IMAGE_FORMAT_JP2)) << byId.GetLastError();
    EXPECT_EQ(byId.GetBpp(), 24);
    EXPECT_EQ(byId.GetType(), DWORD(IMAGE_FORMAT_JP2));
    ASSERT_TRUE(DecodeBytes(detected, jp2, IMAGE_FORMAT_UNKNOWN));
    // Found by detection, the picture takes its member's id, so it can be encoded again.
    EXPECT_EQ(detected.GetType(), DWORD(IMAGE_FORMAT_JP2));
    EXPECT_FALSE(EncodeBytes(detected, detected.GetType()).empty());
    // Irreversible wavelet at full rate: close to the source, and not a channel swap.
    EXPECT_LE(MaxDifference(src, byId), 3);

    const Bytes jpc = EncodeBytes(src, IMAGE_FORMAT_JPC);
    ASSERT_FALSE(jpc.empty());
    EXPECT_EQ(jas::DetectFamily(jpc.data(), jpc.size()), jas::Family::Jpc);
    CRasterImage fromJpc;
    ASSERT_TRUE(DecodeBytes(fromJpc, jpc, IMAGE_FORMAT_JPC));
    EXPECT_EQ(fromJpc.GetType(), DWORD(IMAGE_FORMAT_JPC));
    EXPECT_LE(MaxDifference(src, fromJpc), 3);
    // The format comes from the content: a code stream asked for as JP2 still decodes.
    EXPECT_TRUE(DecodeBytes(fromJpc, jpc, IMAGE_FORMAT_JP2));
}

TEST(Jpeg2000Codec, GreyComponentDecodesToEightBitsWithGreyPalette)
{
    CRasterImage grey = GreyRamp(33, 17);
    grey.SetJpegQuality(100);
    for (DWORD type : {IMAGE_FORMAT_JP2, IMAGE_FORMAT_JPC}) {
        CRasterImage back;
        ASSERT_TRUE(DecodeBytes(back, EncodeBytes(grey, type), type)) << type;
        EXPECT_EQ(back.GetBpp(), 8);
        EXPECT_TRUE(back.IsGrayScale());
        EXPECT_LE(MaxDifference(grey, back), 3) << type;
    }
}

TEST(Jpeg2000Codec, RateFollowsTheJpegQuality)
{
    // A noisy picture does not compress by itself, so the file size shows the rate limit.
    CRasterImage noisy(64, 64, 24, 0);
    unsigned seed = 7;
    for (LONG y = 0; y < 64; ++y)
        for (LONG x = 0; x < 64; ++x) {
            seed = seed * 1103515245u + 12345u;
            noisy.SetPixelColor(x, y, RGBQUAD{BYTE(seed >> 8), BYTE(seed >> 16), BYTE(seed >> 24), 0});
        }
    const double raw = 64.0 * 64 * 3;
    for (int quality : {10, 50}) {
        noisy.SetJpegQuality(BYTE(quality));
        const Bytes file = EncodeBytes(noisy, IMAGE_FORMAT_JPC);
        ASSERT_FALSE(file.empty());
        EXPECT_LE(double(file.size()), raw * quality / 100 * 1.05 + 200) << quality;
        EXPECT_GE(double(file.size()), raw * quality / 100 * 0.5) << quality;
    }
}

TEST(Jpeg2000Codec, PlainFormatsRoundTripExactly)
{
    CRasterImage colour;
    imagetest::Fill(colour, 23, 11, 24);
    CRasterImage grey = GreyRamp(23, 11);
    for (DWORD type : {IMAGE_FORMAT_PNM, IMAGE_FORMAT_RAS}) {
        for (CRasterImage* src : {&colour, &grey}) {
            CRasterImage back;
            ASSERT_TRUE(DecodeBytes(back, EncodeBytes(*src, type), type)) << type;
            EXPECT_EQ(back.GetType(), type);
            EXPECT_EQ(back.GetBpp(), src->GetBpp()) << type;
            EXPECT_EQ(MaxDifference(*src, back), 0) << type;
        }
    }
    const Bytes pgx = EncodeBytes(grey, IMAGE_FORMAT_PGX);
    const std::string head = "PG ML + 8 23 11\n";
    ASSERT_GT(pgx.size(), head.size());
    EXPECT_EQ(std::string(pgx.begin(), pgx.begin() + long(head.size())), head); // one component
    EXPECT_EQ(pgx.size(), head.size() + 23 * 11);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(back, pgx, IMAGE_FORMAT_PGX));
    EXPECT_EQ(MaxDifference(grey, back), 0);

    // PNM headers as the writer puts them; Sun raster rows padded to 16 bits, blue first.
    const Bytes ppm = EncodeBytes(colour, IMAGE_FORMAT_PNM);
    EXPECT_EQ(std::string(ppm.begin(), ppm.begin() + 13), "P6\n23 11\n255\n");
    const Bytes ras = EncodeBytes(colour, IMAGE_FORMAT_RAS);
    ASSERT_EQ(ras.size(), 32u + 70 * 11);
    const RGBQUAD topLeft = colour.GetPixelColor(0, 10, false);
    EXPECT_EQ(ras[32], topLeft.rgbBlue);
    EXPECT_EQ(ras[34], topLeft.rgbRed);
}

TEST(Jpeg2000Codec, EncoderRefusals)
{
    CRasterImage colour;
    imagetest::Fill(colour, 4, 4, 24);
    EXPECT_TRUE(EncodeBytes(colour, IMAGE_FORMAT_PGX).empty());
    EXPECT_STREQ(colour.GetLastError(), "PGX can save only GrayScale images");

    CRasterImage palette;
    imagetest::Fill(palette, 4, 4, 8);
    for (DWORD type : {IMAGE_FORMAT_JP2, IMAGE_FORMAT_PNM, IMAGE_FORMAT_RAS}) {
        EXPECT_TRUE(EncodeBytes(palette, type).empty());
        EXPECT_STREQ(palette.GetLastError(), "JasPer can save only RGB or GrayScale images");
    }
    CRasterImage empty;
    EXPECT_TRUE(EncodeBytes(empty, IMAGE_FORMAT_JP2).empty());
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
    EXPECT_FALSE(colour.Encode(static_cast<CRasterFile*>(nullptr), IMAGE_FORMAT_RAS));
    EXPECT_STREQ(colour.GetLastError(), "null file handler");

    // A 4-bit grey ramp (entry i = i) is grey and goes out as one 8-bit component.
    CRasterImage four(3, 1, 4, 0);
    for (int i = 0; i < 16; ++i)
        four.SetPaletteColor(BYTE(i), BYTE(i), BYTE(i), BYTE(i));
    four.SetPixelIndex(2, 0, 15);
    const Bytes pgm = EncodeBytes(four, IMAGE_FORMAT_PNM);
    EXPECT_EQ(pgm, Concat(Text("P5\n3 1\n255\n"), Bytes{0, 0, 15}));
}

TEST(Jpeg2000Codec, PnmVariants)
{
    CRasterImage img;
    // Plain bitmap: 1 is black; decoded to a 1-bit image with a black-to-white palette.
    ASSERT_TRUE(DecodeBytes(img, Text("P1\n# comment\n3 2\n1 0 1\n0 1 0\n"), IMAGE_FORMAT_PNM));
    EXPECT_EQ(img.GetBpp(), 1);
    EXPECT_EQ(GreyAt(img, 0, 0), 0);
    EXPECT_EQ(GreyAt(img, 1, 0), 255);
    EXPECT_EQ(GreyAt(img, 1, 1), 0);
    // Raw bitmap, rows padded to a byte.
    ASSERT_TRUE(DecodeBytes(img, Concat(Text("P4 10 1\n"), Bytes{0x80, 0x40}), IMAGE_FORMAT_PNM));
    EXPECT_EQ(GreyAt(img, 0, 0), 0);
    EXPECT_EQ(GreyAt(img, 1, 0), 255);
    EXPECT_EQ(GreyAt(img, 9, 0), 0);
    // Maxval 15: a 4-bit image with the 17-step grey palette.
    ASSERT_TRUE(DecodeBytes(img, Text("P2 2 1 15 0 15\n"), IMAGE_FORMAT_PNM));
    EXPECT_EQ(img.GetBpp(), 4);
    EXPECT_EQ(GreyAt(img, 1, 0), 255);
    // 16-bit samples are scaled to 8 bits (through the conversion to sRGB).
    ASSERT_TRUE(DecodeBytes(img, Concat(Text("P5 2 1 65535\n"), Bytes{0xFF, 0xFF, 0x80, 0x00}), IMAGE_FORMAT_PNM));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(GreyAt(img, 0, 0), 255);
    EXPECT_EQ(GreyAt(img, 1, 0), 128);
    // Plain colour.
    ASSERT_TRUE(DecodeBytes(img, Text("P3 1 1 255 10 20 30"), IMAGE_FORMAT_PNM));
    const RGBQUAD c = img.GetPixelColor(0, 0, false);
    EXPECT_EQ(c.rgbRed, 10);
    EXPECT_EQ(c.rgbGreen, 20);
    EXPECT_EQ(c.rgbBlue, 30);
    // Found by detection (it is tried last): the id of the member found; asked for as another
    // member of the family, the id asked for.
    ASSERT_TRUE(DecodeBytes(img, Text("P3 1 1 255 10 20 30"), IMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(img.GetType(), DWORD(IMAGE_FORMAT_PNM));
    ASSERT_TRUE(DecodeBytes(img, Text("P3 1 1 255 10 20 30"), IMAGE_FORMAT_RAS));
    EXPECT_EQ(img.GetType(), DWORD(IMAGE_FORMAT_RAS));
    ASSERT_TRUE(DecodeBytes(img, Concat(SunHeader(1, 1, 8, 1, 0, 0, 2), Bytes{7, 0}), IMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(img.GetType(), DWORD(IMAGE_FORMAT_RAS));
    ASSERT_TRUE(DecodeBytes(img, Text("PG ML + 8 1 1\n\x07"), IMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(img.GetType(), DWORD(IMAGE_FORMAT_PGX));
}

TEST(Jpeg2000Codec, SunRasterVariants)
{
    CRasterImage img;
    // 8-bit with a colour map: three components from the map.
    Bytes mapped = SunHeader(3, 1, 8, 1, 1, 6, 4);
    mapped.insert(mapped.end(), {10, 200, 20, 210, 30, 220}); // reds, greens, blues of 2 entries
    mapped.insert(mapped.end(), {0, 1, 1, 0});
    ASSERT_TRUE(DecodeBytes(img, mapped, IMAGE_FORMAT_RAS)) << img.GetLastError();
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(img.GetPixelColor(1, 0, false).rgbRed, 200);
    EXPECT_EQ(img.GetPixelColor(1, 0, false).rgbBlue, 220);
    // 1-bit without a map: a set bit is black.
    Bytes bits = Concat(SunHeader(3, 1, 1, 1, 0, 0, 2), Bytes{0xA0, 0});
    ASSERT_TRUE(DecodeBytes(img, bits, IMAGE_FORMAT_RAS));
    EXPECT_EQ(img.GetBpp(), 1);
    EXPECT_EQ(GreyAt(img, 0, 0), 0);
    EXPECT_EQ(GreyAt(img, 1, 0), 255);
    // Byte-encoded 8-bit grey: a run of 4 bytes of 9, a literal 0x80, then 5.
    Bytes rle = Concat(SunHeader(6, 1, 8, 2, 0, 0, 0), Bytes{0x80, 3, 9, 0x80, 0, 5});
    ASSERT_TRUE(DecodeBytes(img, rle, IMAGE_FORMAT_RAS));
    std::vector<int> row;
    for (LONG x = 0; x < 6; ++x)
        row.push_back(img.GetPixelIndex(x, 0));
    EXPECT_EQ(row, (std::vector<int>{9, 9, 9, 9, 0x80, 5}));
    // 32-bit pixels in RGB order (type 3), a pad byte first.
    Bytes rgb32 = Concat(SunHeader(1, 1, 32, 3, 0, 0, 4), Bytes{0, 1, 2, 3});
    ASSERT_TRUE(DecodeBytes(img, rgb32, IMAGE_FORMAT_RAS));
    EXPECT_EQ(img.GetPixelColor(0, 0, false).rgbRed, 1);
    EXPECT_EQ(img.GetPixelColor(0, 0, false).rgbBlue, 3);
}

TEST(Jpeg2000Codec, ComponentsOtherThanThreeAreFrames)
{
    // Two grey components of different values, written through the component writer.
    jas::ComponentImage two;
    two.comps.resize(2);
    for (int k = 0; k < 2; ++k) {
        two.comps[k].Allocate(8, 4);
        for (int i = 0; i < 32; ++i)
            two.comps[k].Samples()[i] = k == 0 ? i : 255 - i;
    }
    CRasterMemFile mem;
    mem.Open();
    ASSERT_TRUE(jas::WriteJpeg2000(mem, jas::Family::Jpc, two, 1.0));
    const BYTE* data = mem.GetBuffer(false);
    const Bytes file(data, data + mem.Size());
    for (LONG frame = 0; frame < 2; ++frame) {
        CRasterImage img;
        img.SetFrame(frame);
        ASSERT_TRUE(DecodeBytes(img, file, IMAGE_FORMAT_JPC)) << img.GetLastError();
        EXPECT_EQ(img.GetNumFrames(), 2);
        EXPECT_EQ(img.GetBpp(), 8);
        EXPECT_NEAR(GreyAt(img, 3, 1), frame == 0 ? 11 : 244, 2);
    }
    CRasterImage img;
    img.SetFrame(2);
    EXPECT_FALSE(DecodeBytes(img, file, IMAGE_FORMAT_JPC));
    EXPECT_STREQ(img.GetLastError(), "wrong frame!");
    EXPECT_EQ(img.GetNumFrames(), 0); // the family does not report frame counts on failure
}

TEST(Jpeg2000Codec, BadDataIsRefused)
{
    CRasterImage img;
    imagetest::Fill(img, 2, 2, 24);
    const std::vector<Bytes> bad = {
        Text("not an image at all"),
        Text("P6 100000 100000 255\n\1\2\3"),      // far more samples than bytes
        Text("P5 3 2 255\n\1\2"),                  // truncated raw data
        Text("P2 2 1 0\n0 0"),                     // maxval 0
        Text("P3 1 1 255 10 20"),                  // missing sample
        Text("PG ML + 8 3 3\n\1\2"),               // truncated PGX
        Text("PG XX + 8 1 1\n\1"),                 // unknown byte order
        SunHeader(4000000, 4000000, 8, 2, 0, 0, 0), // run-length data that cannot fill the picture
        SunHeader(2, 2, 7, 1, 0, 0, 0),             // unsupported depth
        Bytes{0xFF, 0x4F, 0xFF, 0x51, 0, 0},        // a code stream cut after its first marker
        Bytes{0, 0, 0, 12, 0x6A, 0x50, 0x20, 0x20, 0x0D, 0x0A, 0x87, 0x0A, 0, 0},
    };
    for (const Bytes& b : bad) {
        for (DWORD type : {IMAGE_FORMAT_JP2, IMAGE_FORMAT_PNM}) {
            EXPECT_FALSE(DecodeBytes(img, b, type)) << std::string(b.begin(), b.end());
            EXPECT_STREQ(img.GetLastError(), "error: cannot load image data");
            EXPECT_EQ(img.GetWidth(), 2u); // the image stays as it was
        }
    }
}

TEST(Jpeg2000Codec, FuzzFindings)
{
    // A colour PNM of 11-bit samples decodes to 24 bits; written as Sun raster with an odd row
    // length its rows are padded, and it must read back (the size check once refused it).
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Concat(Text("P6 25 6 1414\n"), Bytes(25 * 6 * 6, 0x02)), IMAGE_FORMAT_PNM));
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(back, EncodeBytes(img, IMAGE_FORMAT_RAS), IMAGE_FORMAT_RAS));
    EXPECT_EQ(MaxDifference(img, back), 0);
}
