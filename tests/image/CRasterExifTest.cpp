// EXIF reader: splitting a JPEG stream into segments, the values of the EXIF directories in both
// byte orders, the comment, and every check on offsets, counts and directory links.
#include "image/CRasterExif.h"
#include "tests/image/PngJpegTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace pjtest;

namespace {

// A minimal JPEG stream: SOI, the given segments, a frame header, a scan header, data and EOI.
Bytes Stream(const std::vector<Bytes>& segments)
{
    Bytes f = {0xFF, 0xD8};
    for (const Bytes& s : segments)
        f.insert(f.end(), s.begin(), s.end());
    const Bytes sof = Segment(0xC2, {8, 0x01, 0x2C, 0x00, 0xC8, 3, 1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1});
    const Bytes sos = Segment(0xDA, {1, 1, 0, 0, 63, 0});
    f.insert(f.end(), sof.begin(), sof.end());
    f.insert(f.end(), sos.begin(), sos.end());
    f.insert(f.end(), {0x12, 0x34, 0x56, 0xFF, 0xD9});
    return f;
}

std::vector<ExifEntry> CameraIfd0(const ExifBuilder& b, unsigned orientation = 6)
{
    return {ExifBuilder::Text(0x010F, "Maker Co"), ExifBuilder::Text(0x0110, "Model 7"), b.Short(0x0112, orientation),
            b.Rat(0x011A, 72, 1), b.Rat(0x011B, 600, 2), b.Short(0x0128, 2)};
}

std::vector<ExifEntry> CameraSub(const ExifBuilder& b, unsigned iso = 4)
{
    Bytes comment = {'A', 'S', 'C', 'I', 'I', 0, 0, 0, 'h', 'e', 'l', 'l', 'o', ' ', ' ', ' '};
    return {b.Rat(0x829A, 1, 250),
            b.Rat(0x829D, 28, 10),
            b.Short(0x8827, iso),
            ExifBuilder::Undefined(0x9000, {'0', '2', '3', '0'}),
            ExifBuilder::Text(0x9003, "2024:01:02 03:04:05"),
            b.Short(0x9209, 0x19),
            b.Rat(0x920A, 50, 1),
            ExifBuilder::Undefined(0x9286, comment),
            b.Long(0xA002, 640),
            b.Long(0xA003, 480),
            b.Rat(0xA20E, 1000, 1),
            b.Short(0xA210, 2)};
}

struct Reader {
    ExifData data{};
    CRasterExifInfo info{&data};
    bool Segments(const Bytes& f, int mode = CRasterExifInfo::EXIF_READ_EXIF)
    {
        CRasterMemFile s(f.data(), DWORD(f.size()));
        return info.ReadSegments(&s, mode);
    }
    bool Payload(Bytes p) { return info.ReadExifSegment(p.data(), DWORD(p.size())); }
};

} // namespace

TEST(ExifReader, BothByteOrdersGiveTheSameValues)
{
    for (bool mm : {false, true}) {
        ExifBuilder b(mm);
        Reader r;
        ASSERT_TRUE(r.Segments(Stream({Segment(0xE1, b.Payload(CameraIfd0(b), CameraSub(b)))}))) << r.info.GetLastError();
        const ExifData& d = r.data;
        EXPECT_TRUE(d.IsExif);
        EXPECT_STREQ(d.CameraMake, "Maker Co");
        EXPECT_STREQ(d.CameraModel, "Model 7");
        EXPECT_EQ(d.Orientation, 6);
        EXPECT_FLOAT_EQ(d.Xresolution, 72);
        EXPECT_FLOAT_EQ(d.Yresolution, 300);
        EXPECT_FLOAT_EQ(d.ResolutionUnit, 1.0f);
        EXPECT_FLOAT_EQ(d.ExposureTime, 0.004f);
        EXPECT_FLOAT_EQ(d.ApertureFNumber, 2.8f);
        EXPECT_EQ(d.ISOequivalent, 800); // 4 is below 50: times 200
        EXPECT_STREQ(d.Version, "0230");
        EXPECT_STREQ(d.DateTime, "2024:01:02 03:04:05");
        EXPECT_EQ(d.FlashUsed, 1);
        EXPECT_FLOAT_EQ(d.FocalLength, 50);
        EXPECT_STREQ(d.Comments, "hello");
        EXPECT_FLOAT_EQ(d.FocalplaneXRes, 1000);
        EXPECT_FLOAT_EQ(d.CCDWidth, 0.64f); // the larger pixel dimension x units / resolution
        // Frame header.
        EXPECT_EQ(d.Height, 300);
        EXPECT_EQ(d.Width, 200);
        EXPECT_EQ(d.IsColor, 1);
        EXPECT_EQ(d.Process, 0xC2);
    }
}

TEST(ExifReader, TagRules)
{
    ExifBuilder b(false);
    Reader r;
    // ISO 100 stays; orientation 9 becomes 0 with a text, and reading goes on.
    ASSERT_TRUE(r.Payload(b.Payload(CameraIfd0(b, 9), CameraSub(b, 100))));
    EXPECT_EQ(r.data.ISOequivalent, 100);
    EXPECT_EQ(r.data.Orientation, 0);
    EXPECT_STREQ(r.info.GetLastError(), "Undefined rotation value");
    EXPECT_STREQ(r.data.CameraModel, "Model 7");

    // Shutter speed and aperture values stand in when the direct values are missing; unit 3 is cm.
    Reader apex;
    ASSERT_TRUE(apex.Payload(b.Payload({b.Short(0x0128, 3)}, {b.Rat(0x9201, 8, 1), b.Rat(0x9202, 4, 1)})));
    EXPECT_FLOAT_EQ(apex.data.ExposureTime, 1.0f / 256);
    EXPECT_FLOAT_EQ(apex.data.ApertureFNumber, 4.0f);
    EXPECT_FLOAT_EQ(apex.data.ResolutionUnit, 0.3937007874f);

    // Long texts are cut to their fields; a user comment without "ASCII" is taken from its start.
    Reader texts;
    ASSERT_TRUE(texts.Payload(b.Payload({ExifBuilder::Text(0x010F, std::string(50, 'm')),
                                         ExifBuilder::Undefined(0x9286, Bytes(300, 'c'))})));
    EXPECT_EQ(std::strlen(texts.data.CameraMake), 31u);
    EXPECT_EQ(std::strlen(texts.data.Comments), 199u);

    // An extreme ISO value saturates instead of overflowing (found by fuzzing).
    Reader iso;
    ASSERT_TRUE(iso.Payload(b.Payload({{0x8827, 9, 1, b.U32(0x80000000u)}})));
    EXPECT_EQ(iso.data.ISOequivalent, LONG(0x80000000u));
}

TEST(ExifReader, ConvertValue)
{
    CRasterExifInfo info;
    const BYTE zeroDen[8] = {5, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(info.ConvertValue(zeroDen, 5), 0.0);
    EXPECT_EQ(info.ConvertValue(zeroDen, 10), 0.0);
    const BYTE neg[4] = {0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(info.ConvertValue(neg, 6), -2.0);
    EXPECT_EQ(info.ConvertValue(neg, 8), -2.0);
    EXPECT_EQ(info.ConvertValue(neg, 9), -2.0);
    EXPECT_EQ(info.ConvertValue(neg, 3), 65534.0);
    EXPECT_EQ(info.ConvertValue(neg, 2), 0.0);
    float f = 1.5f;
    BYTE fb[4];
    std::memcpy(fb, &f, 4);
    EXPECT_EQ(info.ConvertValue(fb, 11), 1.5);
    EXPECT_EQ(CRasterExifInfo::BytesPerFormat(5), 8);
    EXPECT_EQ(CRasterExifInfo::BytesPerFormat(13), 0);
}

TEST(ExifReader, Segments)
{
    // Not a JPEG: nothing read.
    Reader none;
    EXPECT_FALSE(none.Segments({0xFF, 0xD9, 0xFF, 0xE1, 0, 4, 1, 2}));
    EXPECT_EQ(none.info.GetSectionCount(), 0);

    // Only the first comment is read; CR LF loses the CR and unprintables become "?".
    Reader com;
    const Bytes f = Stream({Segment(0xE0, {'J', 'F', 'I', 'F', 0}), Segment(0xFE, {'a', '\r', '\n', 'b', 0x01, '\t'}),
                            Segment(0xFE, {'s', 'e', 'c', 'o', 'n', 'd'})});
    ASSERT_TRUE(com.Segments(f));
    EXPECT_STREQ(com.data.Comments, "a\nb?\t");
    EXPECT_FALSE(com.data.IsExif);
    // JFIF and the second comment dropped: comment, frame, scan.
    ASSERT_EQ(com.info.GetSectionCount(), 3);
    EXPECT_EQ(com.info.GetSection(0).Type, 0xFE);
    EXPECT_EQ(com.info.GetSection(2).Type, 0xDA);

    // With the image data: one more entry with everything after the scan header.
    Reader img;
    ASSERT_TRUE(img.Segments(f, CRasterExifInfo::EXIF_READ_EXIF | CRasterExifInfo::EXIF_READ_IMAGE));
    ASSERT_EQ(img.info.GetSectionCount(), 4);
    EXPECT_EQ(img.info.GetSection(3).Type, CRasterExifInfo::M_IMAGE_DATA);
    EXPECT_EQ(img.info.GetSection(3).Size, 5u);

    Reader bad;
    EXPECT_FALSE(bad.Segments({0xFF, 0xD8, 0xFF, 0xE2, 0x00, 0x01}));
    EXPECT_STREQ(bad.info.GetLastError(), "invalid marker");
    Reader shortRead;
    EXPECT_FALSE(shortRead.Segments({0xFF, 0xD8, 0xFF, 0xE2, 0x00, 0x10, 1, 2}));
    EXPECT_STREQ(shortRead.info.GetLastError(), "Premature end of file?");
    Reader padding;
    EXPECT_FALSE(padding.Segments({0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xE2, 0, 2}));
    Reader eoi;
    EXPECT_FALSE(eoi.Segments({0xFF, 0xD8, 0xFF, 0xD9, 0x00, 0x02}));

    std::vector<Bytes> many(20, Segment(0xE2, {1}));
    Reader tooMany;
    EXPECT_FALSE(tooMany.Segments(Stream(many)));
    EXPECT_STREQ(tooMany.info.GetLastError(), "Too many sections in jpg file");

    // A scan header as the twentieth segment still has room for the image data after it.
    Reader full;
    ASSERT_TRUE(full.Segments(Stream(std::vector<Bytes>(18, Segment(0xE2, {1}))), CRasterExifInfo::EXIF_READ_IMAGE));
    EXPECT_EQ(full.info.GetSectionCount(), 21);
}

TEST(ExifReader, KeepExifOnlyAndWriteBack)
{
    ExifBuilder b(true);
    const Bytes app1 = Segment(0xE1, b.Payload(CameraIfd0(b)));
    const Bytes f = Stream({Segment(0xFE, {'n', 'o', 't', 'e'}), Segment(0xE2, {9}), app1});
    Reader r;
    ASSERT_TRUE(r.Segments(f));
    r.info.KeepExifOnly();
    ASSERT_EQ(r.info.GetSectionCount(), 2);
    EXPECT_EQ(r.info.GetSection(0).Type, 0xE1);
    EXPECT_EQ(r.info.GetSection(1).Type, 0xFE);
    EXPECT_NE(r.info.FindSegment(0xE1), nullptr);
    EXPECT_EQ(r.info.FindSegment(0xFE), nullptr); // the last entry is not searched

    CRasterMemFile out;
    out.Open();
    EXPECT_FALSE(r.info.WriteSegments(&out));
    EXPECT_STREQ(r.info.GetLastError(), "Can't write exif : didn't read all");

    // Read another file's image after the kept entries and write the whole back.
    const Bytes other = Stream({Segment(0xE0, {'J', 'F', 'I', 'F', 0})});
    ASSERT_TRUE(r.Segments(other, CRasterExifInfo::EXIF_READ_IMAGE));
    ASSERT_TRUE(r.info.WriteSegments(&out));
    const Bytes written(out.GetBuffer(false), out.GetBuffer(false) + out.Size());
    Bytes expected = {0xFF, 0xD8};
    expected.insert(expected.end(), app1.begin(), app1.end());
    const Bytes com = Segment(0xFE, {'n', 'o', 't', 'e'});
    expected.insert(expected.end(), com.begin(), com.end());
    const Bytes rest = Stream({});
    expected.insert(expected.end(), rest.begin() + 2, rest.end());
    EXPECT_EQ(written, expected);

    // Without an APP0 or APP1 first, a JFIF header is written in front.
    Reader plain;
    ASSERT_TRUE(plain.Segments(Stream({}), CRasterExifInfo::EXIF_READ_IMAGE));
    CRasterMemFile out2;
    out2.Open();
    ASSERT_TRUE(plain.info.WriteSegments(&out2));
    const BYTE* w = out2.GetBuffer(false);
    const BYTE jfif[20] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 1, 1, 0x2C, 1, 0x2C, 0, 0};
    EXPECT_EQ(std::memcmp(w, jfif, 20), 0);
    EXPECT_EQ(out2.Size(), LONG(20 + Stream({}).size() - 2));
}

TEST(ExifReader, HeaderChecks)
{
    ExifBuilder b(false);
    Bytes good = b.Payload(CameraIfd0(b));
    auto fails = [](Bytes p, const char* text) {
        Reader r;
        EXPECT_FALSE(r.Payload(p)) << text;
        EXPECT_STREQ(r.info.GetLastError(), text);
    };
    Bytes p = good;
    p[4] = 1;
    fails(p, "Incorrect Exif header");
    p = good;
    p[6] = 'X';
    fails(p, "Invalid Exif alignment marker.");
    p = good;
    p[8] = 0x2B;
    fails(p, "Invalid Exif start (1)");
    fails(Bytes(good.begin(), good.begin() + 10), "Invalid Exif alignment marker.");
}

TEST(ExifReader, EveryOffsetAndCountIsChecked)
{
    ExifBuilder b(false);
    auto fails = [](Bytes p, const char* text) {
        Reader r;
        EXPECT_FALSE(r.Payload(p)) << text;
        EXPECT_STREQ(r.info.GetLastError(), text);
    };
    // The entry count runs past the block (header 6 + TIFF header 8: the count is at 14).
    Bytes p = b.Payload({b.Short(0x0112, 1)});
    p[14] = 0x30;
    fails(p, "Illegally sized directory");
    // A block that ends inside the count itself.
    fails(Bytes(p.begin(), p.begin() + 15), "Illegally sized directory");

    // A format above 12.
    p = b.Payload({b.Short(0x0112, 1)});
    p[18] = 13;
    fails(p, "Illegal format code in EXIF dir");

    // A value offset past the end, and a component count whose byte count wraps 32 bits.
    p = b.Payload({ExifBuilder::Text(0x010F, "abcdefgh")});
    p[24] = 0xF0;
    fails(p, "Illegal pointer offset value in EXIF.");
    p = b.Payload({{0x829A, 5, 0x20000001u, b.Rational(1, 2)}});
    fails(p, "Illegal pointer offset value in EXIF.");

    // A component count of 0 with an 8-byte format reads no value.
    Reader zero;
    ASSERT_TRUE(zero.Payload(b.Payload({{0x829A, 5, 0, b.U32(0)}})));
    EXPECT_EQ(zero.data.ExposureTime, 0.0f);

    // The first-directory link and sub-directory links outside the block.
    p = b.Payload({b.Short(0x0112, 1)});
    p[10] = 0xFF;
    p[11] = 0xFF;
    fails(p, "Illegal subdirectory link");
    p = b.Payload({b.Long(0x8769, 0x10000)});
    fails(p, "Illegal subdirectory link");
    p = b.Payload({b.Short(0x0112, 1)});
    p[14 + 2 + 12] = 0x00;
    p[14 + 2 + 12 + 1] = 0x40; // next-directory link 0x4000
    fails(p, "Illegal subdirectory link");

    // A thumbnail that runs past the block is not taken.
    Reader thumb;
    ASSERT_TRUE(thumb.Payload(b.Payload({b.Long(0x0201, 8), b.Long(0x0202, 5000)})));
    EXPECT_EQ(thumb.data.ThumbnailPointer, nullptr);
    Reader thumbOk;
    Bytes t = b.Payload({b.Long(0x0201, 8), b.Long(0x0202, 10)});
    ASSERT_TRUE(thumbOk.Payload(t));
    EXPECT_EQ(thumbOk.data.ThumbnailSize, 10u);
}

TEST(ExifReader, DirectoriesThatLinkToThemselvesEnd)
{
    ExifBuilder b(true);
    // The EXIF sub-directory link points back at IFD0 (offset 8), and IFD0's next link does too.
    Bytes p = b.Payload({b.Long(0x8769, 8), b.Short(0x0112, 3)});
    p[14 + 2 + 24 + 3] = 8;
    Reader r;
    EXPECT_TRUE(r.Payload(p));
    EXPECT_EQ(r.data.Orientation, 3);
}
