// WMF codec: the placeable header check, the picture size rules, enhanced metafiles, the refusals,
// and the records our metafile player draws (and skips) on the window-coloured background.
#include "image/CRasterWmf.h"
#include "image/CRasterWmfPlayer.h"
#include "tests/image/SmallCodecTestUtil.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace smalltest;

namespace {

// Builds placeable WMF files record by record.
class WmfBuilder {
public:
    WmfBuilder& Record(WORD function, std::initializer_list<int> words, const Bytes& raw = {})
    {
        Bytes r;
        Put32(r, unsigned(3 + words.size() + (raw.size() + 1) / 2));
        Put16(r, function);
        for (int w : words)
            Put16(r, unsigned(w) & 0xFFFF);
        r.insert(r.end(), raw.begin(), raw.end());
        if (raw.size() % 2)
            r.push_back(0);
        body.insert(body.end(), r.begin(), r.end());
        return *this;
    }
    WmfBuilder& Pen(int style, int width, COLORREF c) { return Record(0x02FA, {style, width, 0, int(c & 0xFFFF), int(c >> 16)}); }
    WmfBuilder& Brush(int style, COLORREF c, int hatch = 0) { return Record(0x02FC, {style, int(c & 0xFFFF), int(c >> 16), hatch}); }
    WmfBuilder& Select(int i) { return Record(0x012D, {i}); }
    WmfBuilder& Rect(int l, int t, int r, int b) { return Record(0x041B, {b, r, t, l}); }

    Bytes File(int left, int top, int right, int bottom, int upi, bool corruptChecksum = false) const
    {
        Bytes b;
        Put32(b, CRasterImageWMF::kPlaceableKey);
        Put16(b, 0);
        for (int v : {left, top, right, bottom})
            Put16(b, unsigned(v) & 0xFFFF);
        Put16(b, unsigned(upi));
        Put32(b, 0);
        WORD sum = 0;
        for (std::size_t i = 0; i < 20; i += 2)
            sum ^= WORD(b[i] | (b[i + 1] << 8));
        Put16(b, corruptChecksum ? sum ^ 1 : sum);
        Bytes records = body;
        Put32(records, 3); // end of file
        Put16(records, 0);
        Put16(b, 1);
        Put16(b, 9);
        Put16(b, 0x300);
        Put32(b, unsigned(9 + records.size() / 2));
        Put16(b, 8);
        Put32(b, 64);
        Put16(b, 0);
        b.insert(b.end(), records.begin(), records.end());
        return b;
    }

    Bytes body;
};

// An enhanced metafile of the given bounds (inclusive, reference pixels) with the records given.
Bytes EmfFile(int l, int t, int r, int b, const Bytes& records, DWORD signature = 0x464D4520)
{
    Bytes body = records;
    Put32(body, 14);
    Put32(body, 20);
    for (int i = 0; i < 3; ++i)
        Put32(body, 0);
    Bytes h;
    Put32(h, 1);
    Put32(h, 88);
    for (int v : {l, t, r, b})
        Put32(h, unsigned(v));
    for (int i = 0; i < 4; ++i)
        Put32(h, 0); // no frame: the bounds place the picture
    Put32(h, signature);
    Put32(h, 0x10000);
    Put32(h, unsigned(88 + body.size()));
    Put32(h, 2);
    Put16(h, 4);
    Put16(h, 0);
    for (int i = 0; i < 3; ++i)
        Put32(h, 0);
    for (int i = 0; i < 4; ++i)
        Put32(h, 0);
    h.insert(h.end(), body.begin(), body.end());
    return h;
}

Bytes EmfRecord(DWORD type, std::initializer_list<int> values)
{
    Bytes r;
    Put32(r, type);
    Put32(r, unsigned(8 + 4 * values.size()));
    for (int v : values)
        Put32(r, unsigned(v));
    return r;
}

bool DecodeSized(const Bytes& data, CRasterImageWMF& img, LONG w = 0, LONG h = 0)
{
    CRasterMemFile stream(data.data(), DWORD(data.size()));
    return img.Decode(&stream, w, h);
}

constexpr unsigned kWhite = 0xFFFFFF;

} // namespace

TEST(WmfCodec, PlaceableHeaderCheck)
{
    PlaceableMetafileHeader h;
    h.key = CRasterImageWMF::kPlaceableKey;
    h.right = 1440;
    h.bottom = 1440;
    h.unitsPerInch = 1440;
    const WORD words[10] = {WORD(h.key), WORD(h.key >> 16), 0, 0, 0, 1440, 1440, 1440, 0, 0};
    for (WORD w : words)
        h.checksum ^= w;
    EXPECT_TRUE(CRasterImageWMF::CheckMetafileHeader(h));
    PlaceableMetafileHeader bad = h;
    bad.checksum ^= 4;
    EXPECT_FALSE(CRasterImageWMF::CheckMetafileHeader(bad));
    bad = h;
    bad.key = 0x12345678;
    EXPECT_FALSE(CRasterImageWMF::CheckMetafileHeader(bad));
    for (WORD upi : {0, 2541}) {
        bad = h;
        bad.checksum = WORD(bad.checksum ^ 1440 ^ upi);
        bad.unitsPerInch = upi;
        EXPECT_FALSE(CRasterImageWMF::CheckMetafileHeader(bad)) << upi;
    }
}

TEST(WmfCodec, BadPlaceableHeadersEndAsCorrupted)
{
    WmfBuilder wmf;
    CRasterImage img;
    for (const Bytes& file : {wmf.File(0, 0, 1440, 1440, 0), wmf.File(0, 0, 1440, 1440, 2541),
                              wmf.File(0, 0, 1440, 1440, 1440, true), Bytes(10, 0)}) {
        EXPECT_FALSE(DecodeBytes(file, img, IMAGE_FORMAT_WMF));
        EXPECT_STREQ(img.GetLastError(), "corrupted WMF");
    }
    // A metafile whose size runs past the data.
    Bytes cut = wmf.File(0, 0, 1440, 1440, 1440);
    cut.resize(cut.size() - 2);
    EXPECT_FALSE(DecodeBytes(cut, img, IMAGE_FORMAT_WMF));
    EXPECT_STREQ(img.GetLastError(), "corrupted WMF");
}

TEST(WmfCodec, PictureSizeRules)
{
    WmfBuilder wmf;
    CRasterImage img;
    // One inch square at 1440 units per inch on a 96-dpi screen.
    ASSERT_TRUE(DecodeBytes(wmf.File(0, 0, 1440, 1440, 1440), img, IMAGE_FORMAT_WMF)) << img.GetLastError();
    EXPECT_EQ(img.GetWidth(), 96u);
    EXPECT_EQ(img.GetHeight(), 96u);
    EXPECT_EQ(img.GetType(), DWORD(IMAGE_FORMAT_WMF));
    EXPECT_EQ(img.GetBpp(), 24);
    // Found by detection too.
    CRasterImage detected;
    ASSERT_TRUE(DecodeBytes(wmf.File(-720, 0, 720, 720, 1440), detected, IMAGE_FORMAT_UNKNOWN));
    EXPECT_EQ(detected.GetType(), DWORD(IMAGE_FORMAT_WMF));
    EXPECT_EQ(detected.GetWidth(), 96u);
    EXPECT_EQ(detected.GetHeight(), 48u);
    // 10000 x 2000 pixels is rendered at 4000 x 800.
    ASSERT_TRUE(DecodeBytes(wmf.File(0, 0, 10000, 2000, 96), img, IMAGE_FORMAT_WMF));
    EXPECT_EQ(img.GetWidth(), 4000u);
    EXPECT_EQ(img.GetHeight(), 800u);
    // Extents of zero or below are empty.
    for (const Bytes& file : {wmf.File(0, 0, 0, 100, 96), wmf.File(100, 0, 0, 100, 96), wmf.File(0, 50, 100, 10, 96),
                              wmf.File(0, 0, 10, 10, 2000)}) {
        EXPECT_FALSE(DecodeBytes(file, img, IMAGE_FORMAT_WMF));
        EXPECT_STREQ(img.GetLastError(), "empty WMF");
    }
    // Forced sizes replace the computed ones.
    CRasterImageWMF forced;
    ASSERT_TRUE(DecodeSized(wmf.File(0, 0, 1440, 1440, 1440), forced, 50, 20));
    EXPECT_EQ(forced.GetWidth(), 50u);
    EXPECT_EQ(forced.GetHeight(), 20u);
    ASSERT_TRUE(DecodeSized(wmf.File(0, 0, 1440, 1440, 1440), forced, 0, 30));
    EXPECT_EQ(forced.GetWidth(), 96u);
    EXPECT_EQ(forced.GetHeight(), 30u);
    // A very tall picture forced one pixel wide keeps its pixel column and is shrunk to 4000 rows.
    ASSERT_TRUE(DecodeSized(EmfFile(0, 0, 99, 1048655, {}), forced, 1, 0));
    EXPECT_EQ(forced.GetWidth(), 1u);
    EXPECT_EQ(forced.GetHeight(), 4000u);
}

TEST(WmfCodec, ShrinkKeepsTheAspect)
{
    LONG w = 10000, h = 2000;
    CRasterImageWMF::ShrinkMetafile(w, h);
    EXPECT_EQ(w, 4000);
    EXPECT_EQ(h, 800);
    w = 1000;
    h = 8000;
    CRasterImageWMF::ShrinkMetafile(w, h);
    EXPECT_EQ(w, 500);
    EXPECT_EQ(h, 4000);
    w = 3000;
    h = 20;
    CRasterImageWMF::ShrinkMetafile(w, h);
    EXPECT_EQ(w, 3000);
    EXPECT_EQ(h, 20);
    w = 100000;
    h = 5;
    CRasterImageWMF::ShrinkMetafile(w, h);
    EXPECT_EQ(w, 4000);
    EXPECT_EQ(h, 1);
}

TEST(WmfCodec, CannotBeWrittenAndCanBeCancelled)
{
    CRasterImage img(4, 4, 24, 0);
    EXPECT_TRUE(EncodeBytes(img, IMAGE_FORMAT_WMF).empty());
    EXPECT_STREQ(img.GetLastError(), "Save WMF not supported");
    CRasterImageWMF direct;
    EXPECT_FALSE(direct.Encode(nullptr));
    EXPECT_STREQ(direct.GetLastError(), "");
    EXPECT_FALSE(direct.Decode(nullptr));

    CRasterImage cancelled;
    cancelled.SetEscape(1);
    EXPECT_FALSE(DecodeBytes(WmfBuilder().File(0, 0, 96, 96, 96), cancelled, IMAGE_FORMAT_WMF));
    EXPECT_STREQ(cancelled.GetLastError(), "Cancelled");
    EXPECT_FALSE(cancelled.IsValid());
}

TEST(WmfCodec, BackgroundIsTheWindowColourAndShapesUseTheirObjects)
{
    // 100 x 100 units at 96 per inch: one unit per pixel.
    WmfBuilder wmf;
    wmf.Pen(5, 0, 0).Brush(0, RGB(0, 0, 255)).Select(0).Select(1).Rect(10, 10, 30, 20);
    wmf.Brush(0, RGB(255, 0, 0)).Select(2).Record(0x0418, {90, 90, 50, 50}); // ellipse
    wmf.Pen(0, 0, RGB(0, 128, 0)).Select(3).Record(0x0214, {70, 0}).Record(0x0213, {70, 99}); // line y = 70
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(wmf.File(0, 0, 100, 100, 96), img, IMAGE_FORMAT_WMF)) << img.GetLastError();
    ASSERT_EQ(img.GetWidth(), 100u);
    EXPECT_EQ(TopDown(img, 0, 0), kWhite);
    EXPECT_EQ(TopDown(img, 99, 99), kWhite);
    EXPECT_EQ(TopDown(img, 15, 15), 0x0000FFu);
    EXPECT_EQ(TopDown(img, 29, 19), 0x0000FFu);
    EXPECT_EQ(TopDown(img, 30, 20), kWhite); // right and bottom edges are not filled
    EXPECT_EQ(TopDown(img, 70, 60), 0xFF0000u); // inside the ellipse
    EXPECT_EQ(TopDown(img, 52, 52), kWhite);    // its bounding box corner
    EXPECT_EQ(TopDown(img, 40, 70), 0x008000u);
    EXPECT_EQ(TopDown(img, 40, 71), kWhite);
}

TEST(WmfCodec, WindowMappingSaveRestoreAndFillModes)
{
    WmfBuilder wmf;
    // The window maps 0..10 onto the picture: every unit is 10 pixels.
    wmf.Record(0x020B, {0, 0}).Record(0x020C, {10, 10});
    wmf.Pen(5, 0, 0).Select(0).Brush(0, RGB(1, 2, 3)).Select(1);
    wmf.Record(0x001E, {}).Record(0x020C, {100, 100}).Record(0x0127, {-1}); // save, change, restore
    wmf.Rect(1, 1, 2, 2);
    // Two overlapping squares as one polygon set: alternate leaves the overlap empty, winding fills it.
    wmf.Record(0x0538, {2, 4, 4, 4, 4, 8, 4, 8, 8, 4, 8, 6, 6, 10, 6, 10, 10, 6, 10});
    WmfBuilder winding = wmf;
    winding.body.clear();
    winding.Record(0x020C, {10, 10}).Pen(5, 0, 0).Select(0).Brush(0, RGB(1, 2, 3)).Select(1);
    winding.Record(0x0106, {2});
    winding.Record(0x0538, {2, 4, 4, 4, 4, 8, 4, 8, 8, 4, 8, 6, 6, 10, 6, 10, 10, 6, 10});
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(wmf.File(0, 0, 100, 100, 96), img, IMAGE_FORMAT_WMF));
    EXPECT_EQ(TopDown(img, 15, 15), 0x010203u);
    EXPECT_EQ(TopDown(img, 25, 25), kWhite);
    EXPECT_EQ(TopDown(img, 50, 50), 0x010203u);
    EXPECT_EQ(TopDown(img, 70, 70), kWhite); // inside both squares
    EXPECT_EQ(TopDown(img, 90, 90), 0x010203u);
    ASSERT_TRUE(DecodeBytes(winding.File(0, 0, 100, 100, 96), img, IMAGE_FORMAT_WMF));
    EXPECT_EQ(TopDown(img, 70, 70), 0x010203u);
}

TEST(WmfCodec, DeletedAndUnknownObjectsAndRecordsAreSkipped)
{
    WmfBuilder wmf;
    wmf.Pen(5, 0, 0).Select(0).Brush(0, RGB(9, 9, 9)).Select(1);
    wmf.Record(0x01F0, {1});                      // delete the brush: the selection stays
    wmf.Brush(0, RGB(200, 0, 0));                 // takes the freed slot 1
    wmf.Select(7).Select(-1);                     // no such objects
    wmf.Record(0x0521, {3, 'a' | ('b' << 8), 'c', 5, 5}); // text is not drawn
    wmf.Record(0x0F43, {1, 2, 3});                // a bitmap record too short to hold a bitmap
    wmf.Record(0x7777, {1, 2, 3, 4});             // unknown function
    wmf.Rect(0, 0, 10, 10);
    wmf.Select(1).Rect(20, 0, 30, 10);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(wmf.File(0, 0, 40, 20, 96), img, IMAGE_FORMAT_WMF));
    EXPECT_EQ(TopDown(img, 5, 5), 0x090909u);
    EXPECT_EQ(TopDown(img, 25, 5), 0xC80000u);
    // A record whose size runs past the metafile ends the playing, not the decode.
    WmfBuilder broken;
    broken.Brush(0, RGB(0, 0, 0)).Select(0).Rect(0, 0, 10, 10);
    Put32(broken.body, 1000);
    Put16(broken.body, 0x041B);
    broken.Rect(20, 0, 30, 10);
    ASSERT_TRUE(DecodeBytes(broken.File(0, 0, 40, 20, 96), img, IMAGE_FORMAT_WMF));
    EXPECT_EQ(TopDown(img, 5, 5), 0u);
    EXPECT_EQ(TopDown(img, 25, 5), kWhite);
}

TEST(WmfCodec, EmbeddedBitmapsAndPixels)
{
    // A 2 x 2 24-bit DIB: bottom row red, green; top row blue, black; stretched over 20 x 20 units.
    Bytes dib;
    Put32(dib, 40);
    Put32(dib, 2);
    Put32(dib, 2);
    Put16(dib, 1);
    Put16(dib, 24);
    for (int i = 0; i < 6; ++i)
        Put32(dib, 0);
    dib.insert(dib.end(), {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0});
    WmfBuilder wmf;
    wmf.Record(0x0F43, {0x0020, 0x00CC, 0, 2, 2, 0, 0, 20, 20, 0, 0}, dib);
    wmf.Record(0x041F, {int(RGB(0, 255, 255) & 0xFFFF), int(RGB(0, 255, 255) >> 16), 25, 30}); // pixel (30, 25)
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(wmf.File(0, 0, 40, 40, 96), img, IMAGE_FORMAT_WMF));
    EXPECT_EQ(TopDown(img, 5, 5), 0x0000FFu);
    EXPECT_EQ(TopDown(img, 15, 5), 0u);
    EXPECT_EQ(TopDown(img, 5, 15), 0xFF0000u);
    EXPECT_EQ(TopDown(img, 15, 15), 0x00FF00u);
    EXPECT_EQ(TopDown(img, 25, 25), kWhite);
    EXPECT_EQ(TopDown(img, 30, 25), 0x00FFFFu);
}

TEST(WmfCodec, EnhancedMetafiles)
{
    Bytes records = EmfRecord(39, {1, 0, int(RGB(0, 200, 0)), 0}); // brush 1
    const Bytes sel = EmfRecord(37, {1}), nullPen = EmfRecord(37, {int(0x80000008)});
    records.insert(records.end(), sel.begin(), sel.end());
    records.insert(records.end(), nullPen.begin(), nullPen.end());
    const Bytes rect = EmfRecord(43, {10, 10, 20, 30});
    records.insert(records.end(), rect.begin(), rect.end());
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(EmfFile(0, 0, 40, 40, records), img, IMAGE_FORMAT_WMF)) << img.GetLastError();
    EXPECT_EQ(img.GetWidth(), 40u);
    EXPECT_EQ(img.GetHeight(), 40u);
    EXPECT_EQ(TopDown(img, 15, 20), 0x00C800u);
    EXPECT_EQ(TopDown(img, 25, 20), kWhite);
    EXPECT_FALSE(DecodeBytes(EmfFile(0, 0, 40, 40, records, 0x12345678), img, IMAGE_FORMAT_WMF));
    EXPECT_STREQ(img.GetLastError(), "corrupted WMF");
    EXPECT_FALSE(DecodeBytes(EmfFile(10, 0, 10, 40, records), img, IMAGE_FORMAT_WMF));
    EXPECT_STREQ(img.GetLastError(), "empty WMF");
}

TEST(WmfCodec, DrawingWorkIsCapped)
{
    // Thousands of full-picture fills: the player stops when its work budget is spent.
    WmfBuilder wmf;
    wmf.Brush(0, RGB(5, 5, 5)).Select(0);
    for (int i = 0; i < 20000; ++i)
        wmf.Rect(0, 0, 1000, 1000);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(wmf.File(0, 0, 1000, 1000, 96), img, IMAGE_FORMAT_WMF));
    EXPECT_EQ(TopDown(img, 500, 500), 0x050505u);
}

TEST(WmfCodec, BitmapsClaimingHugeSizesCannotKeepThePlayerBusy)
{
    // Two hundred top-down bitmaps that each claim 9000 x 9000 pixels and bring none: each would
    // be allocated and turned over in full. The player pays for a bitmap's size before decoding it.
    Bytes dib;
    Put32(dib, 40);
    Put32(dib, 9000);
    Put32(dib, unsigned(-9000));
    Put16(dib, 1);
    Put16(dib, 8);
    for (int i = 0; i < 6; ++i)
        Put32(dib, 0);
    WmfBuilder wmf;
    wmf.Brush(0, RGB(7, 7, 7)).Select(0).Rect(0, 0, 50, 50);
    for (int i = 0; i < 200; ++i)
        wmf.Record(0x0F43, {0x0020, 0x00CC, 0, 100, 100, 0, 0, 100, 100, 0, 0}, dib);
    const auto start = std::chrono::steady_clock::now();
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(wmf.File(0, 0, 100, 100, 96), img, IMAGE_FORMAT_WMF));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(TopDown(img, 25, 25), 0x070707u);
}
