// Rectangle tracker geometry and the layer object's ownership, scroll handling and file record.
#include "maze/CLogicalRectTracker.h"

#include "image/CRasterImage.h"
#include "platform/core/CArray.h"
#include "platform/core/CException.h"
#include "tests/support/MzeBytes.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

CRectTracker MakeTracker(CRect r, UINT style, int handle)
{
    CRectTracker t(&r, style);
    t.m_nHandleSize = handle;
    return t;
}

TEST(DocTracker, HandlesInsideAndOutside)
{
    CRectTracker in = MakeTracker(CRect(10, 10, 110, 60), CRectTracker::resizeInside, 8);
    EXPECT_EQ(in.HitTest(CPoint(12, 12)), CRectTracker::hitTopLeft);
    EXPECT_EQ(in.HitTest(CPoint(105, 12)), CRectTracker::hitTopRight);
    EXPECT_EQ(in.HitTest(CPoint(105, 55)), CRectTracker::hitBottomRight);
    EXPECT_EQ(in.HitTest(CPoint(12, 55)), CRectTracker::hitBottomLeft);
    EXPECT_EQ(in.HitTest(CPoint(60, 12)), CRectTracker::hitTop);
    EXPECT_EQ(in.HitTest(CPoint(105, 35)), CRectTracker::hitRight);
    EXPECT_EQ(in.HitTest(CPoint(60, 55)), CRectTracker::hitBottom);
    EXPECT_EQ(in.HitTest(CPoint(12, 35)), CRectTracker::hitLeft);
    EXPECT_EQ(in.HitTest(CPoint(60, 35)), CRectTracker::hitMiddle);
    EXPECT_EQ(in.HitTest(CPoint(5, 5)), CRectTracker::hitNothing);
    EXPECT_EQ(in.HitTest(CPoint(110, 35)), CRectTracker::hitNothing);

    CRectTracker out = MakeTracker(CRect(10, 10, 110, 60), CRectTracker::resizeOutside, 8);
    CRect trueRect;
    out.GetTrueRect(&trueRect);
    EXPECT_EQ(trueRect, CRect(2, 2, 118, 68));
    EXPECT_EQ(out.HitTest(CPoint(5, 5)), CRectTracker::hitTopLeft);
    EXPECT_EQ(out.HitTest(CPoint(115, 65)), CRectTracker::hitBottomRight);
    EXPECT_EQ(out.HitTest(CPoint(12, 12)), CRectTracker::hitMiddle);
    EXPECT_EQ(out.HitTest(CPoint(1, 1)), CRectTracker::hitNothing);

    // No resize style: the whole rectangle moves.
    CRectTracker plain = MakeTracker(CRect(10, 10, 110, 60), CRectTracker::dottedLine, 8);
    EXPECT_EQ(plain.HitTest(CPoint(11, 11)), CRectTracker::hitMiddle);
}

TEST(DocTracker, SmallRectanglesHideSideHandlesAndShrinkInsideHandles)
{
    CRectTracker small = MakeTracker(CRect(10, 10, 30, 30), CRectTracker::resizeInside, 8);
    EXPECT_EQ(small.GetHandleMask(), 0x0Fu);
    EXPECT_EQ(small.HitTest(CPoint(20, 11)), CRectTracker::hitMiddle);
    CRectTracker tiny = MakeTracker(CRect(10, 10, 16, 40), CRectTracker::resizeInside, 8);
    EXPECT_EQ(tiny.GetHandleSize(), 3);
    CRectTracker big = MakeTracker(CRect(0, 0, 100, 100), CRectTracker::resizeInside, 8);
    EXPECT_EQ(big.GetHandleMask(), 0xFFu);
}

TEST(DocTracker, InvertedRectangles)
{
    CRectTracker inv = MakeTracker(CRect(110, 10, 10, 60), CRectTracker::resizeInside, 8);
    // Hit-testing works on the rectangle the right way round ...
    EXPECT_EQ(inv.HitTest(CPoint(12, 12)), CRectTracker::hitTopLeft);
    // ... and the handle of the stored corners is found by normalising.
    EXPECT_EQ(inv.NormalizeHit(CRectTracker::hitTopLeft), CRectTracker::hitTopRight);
    EXPECT_EQ(inv.NormalizeHit(CRectTracker::hitLeft), CRectTracker::hitRight);
    EXPECT_EQ(inv.NormalizeHit(CRectTracker::hitMiddle), CRectTracker::hitMiddle);
    CRectTracker both = MakeTracker(CRect(110, 60, 10, 10), CRectTracker::resizeInside, 8);
    EXPECT_EQ(both.NormalizeHit(CRectTracker::hitTopLeft), CRectTracker::hitBottomRight);
}

CPoint g_cursor;
int g_shape = -100;

TEST(DocTracker, SetCursorAsksTheWindowLayer)
{
    CRectTracker t = MakeTracker(CRect(10, 10, 110, 60), CRectTracker::resizeInside, 8);
    CRectTracker::SetCursorHandlers(nullptr, nullptr);
    EXPECT_FALSE(t.SetCursor(nullptr, HTCLIENT));
    CRectTracker::SetCursorHandlers([](CWnd*, CPoint* p) { *p = g_cursor; return true; },
                                    [](CWnd*, int hit) { g_shape = hit; });
    g_cursor = CPoint(105, 55);
    EXPECT_TRUE(t.SetCursor(nullptr, HTCLIENT));
    EXPECT_EQ(g_shape, CRectTracker::hitBottomRight);
    EXPECT_FALSE(t.SetCursor(nullptr, 2));
    g_cursor = CPoint(500, 500);
    g_shape = -100;
    EXPECT_FALSE(t.SetCursor(nullptr, HTCLIENT));
    EXPECT_EQ(g_shape, -100);

    // The layer object hit-tests its rectangle in window coordinates and leaves it as it was.
    CLogicalRectTracker obj;
    obj.m_rect = CRect(110, 210, 210, 260);
    obj.m_nStyle = CRectTracker::resizeInside;
    obj.m_nHandleSize = 8;
    g_cursor = CPoint(12, 12);
    EXPECT_TRUE(obj.SetCursor(nullptr, HTCLIENT, 100, 200));
    EXPECT_EQ(g_shape, CRectTracker::hitTopLeft);
    EXPECT_EQ(obj.m_rect, CRect(110, 210, 210, 260));
    EXPECT_EQ(obj.HitTest(CPoint(60, 35), 100, 200), CRectTracker::hitMiddle);
    EXPECT_EQ(obj.HitTest(CPoint(160, 235), 100, 200), CRectTracker::hitNothing);
    EXPECT_EQ(obj.m_rect, CRect(110, 210, 210, 260));
    CRectTracker::SetCursorHandlers(nullptr, nullptr);
}

CRasterImage* NewImage(int w, int h)
{
    auto* img = new CRasterImage();
    img->Create(w, h, 24, IMAGE_FORMAT_BMP);
    img->Clear(0x40);
    return img;
}

TEST(DocTracker, OwnershipFollowsCopiesAndMoves)
{
    CLogicalRectTracker copy;
    {
        CLogicalRectTracker temp;
        temp.SetImage(NewImage(3, 2), CLogicalRectTracker::kindImage);
        copy = temp;
        temp.ReleaseOwnership();
    }
    ASSERT_NE(copy.m_pImage, nullptr);
    EXPECT_EQ(copy.m_pImage->GetWidth(), 3u);

    // The document's array moves its elements as it grows; each picture stays with its object.
    CArray<CLogicalRectTracker, CLogicalRectTracker&> objects;
    for (int i = 0; i < 40; ++i) {
        CLogicalRectTracker t;
        t.SetImage(NewImage(i + 1, 1), CLogicalRectTracker::kindImage);
        objects.Add(t);
        t.ReleaseOwnership();
    }
    objects.RemoveAt(3);
    ASSERT_EQ(objects.GetSize(), 39);
    EXPECT_EQ(objects[3].m_pImage->GetWidth(), 5u);
    EXPECT_EQ(objects[38].m_pImage->GetWidth(), 40u);

    // SetImage frees the picture it replaces and sets the kind.
    CLogicalRectTracker t;
    EXPECT_EQ(t.SetImage(NewImage(1, 1), 3), 1);
    EXPECT_EQ(t.SetImage(nullptr, 1), 1);
    EXPECT_EQ(t.m_pImage, nullptr);
    EXPECT_EQ(t.m_nKind, 1);

    // A text object without a font record and an object of no kind are destroyed safely.
    {
        CLogicalRectTracker text;
        text.m_nKind = 2;
    }
    {
        CLogicalRectTracker odd;
        odd.m_nKind = 7;
        odd.m_pImage = NewImage(1, 1);
    }
}

// The text record of the file format, built from its table.
MzeBytes TextRecordBytes(const CHOOSEFONTA& cf, const LOGFONTA& lf)
{
    MzeBytes b;
    b.Double(1.0).String("NONE;").Int(2).Int(1);
    b.Ints({100, -200, 1100, -700});  // logical: left, top, right, bottom
    b.Int(8).Int(17);                  // handle size, tracker style
    b.Ints({90, 10, 110, 30});         // tracker: bottom, left, right, top
    b.Ints({4, 5});                    // minimum size
    b.Int(0x00112233).Int(LAYER_TEXT).String("Hello maze");
    b.Int(60).Raw(&cf, 60).Int(60).Raw(&lf, 60);
    return b;
}

void FillText(CLogicalRectTracker& t, CHOOSEFONTA& cf, LOGFONTA& lf)
{
    cf.iPointSize = 120;
    cf.rgbColors = 0x00112233;
    cf.Flags = 0x102;
    lf.lfHeight = -167;
    lf.lfWeight = FW_BOLD;
    std::strcpy(lf.lfFaceName, "Arial");
    t.m_nKind = 2;
    t.m_nSelectStyle = 1;
    t.SetLogicalRect(100, -200, 1100, -700);
    t.m_nHandleSize = 8;
    t.m_nStyle = 17;
    t.m_rect = CRect(10, 30, 110, 90);
    t.m_sizeMin = CSize(4, 5);
    t.m_crText = 0x00112233;
    t.m_nLayer = LAYER_TEXT;
    t.m_strText = "Hello maze";
    t.NewFontRecord();
    *t.m_pChooseFont = cf;
    *t.m_pLogFont = lf;
}

TEST(DocTracker, TextRecordBytesBothWays)
{
    CHOOSEFONTA cf;
    LOGFONTA lf;
    CLogicalRectTracker t;
    FillText(t, cf, lf);
    auto expected = TextRecordBytes(cf, lf).bytes;
    EXPECT_EQ(StoreToBytes([&](CArchive& ar) { t.Serialize(ar); }), expected);

    CLogicalRectTracker back;
    LoadFromBytes(expected, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back.m_nKind, 2);
    EXPECT_EQ(back.m_nSelectStyle, 1);
    EXPECT_EQ(back.m_rectLogical, CRect(100, -200, 1100, -700));
    EXPECT_EQ(back.m_rect, CRect(10, 30, 110, 90));
    EXPECT_EQ(back.m_sizeMin, CSize(4, 5));
    EXPECT_EQ(back.m_nStyle, 17u);
    EXPECT_EQ(back.m_crText, 0x00112233u);
    EXPECT_EQ(back.m_strText, "Hello maze");
    ASSERT_NE(back.m_pChooseFont, nullptr);
    ASSERT_NE(back.m_pLogFont, nullptr);
    EXPECT_EQ(std::memcmp(back.m_pChooseFont, &cf, 60), 0);
    EXPECT_EQ(std::memcmp(back.m_pLogFont, &lf, 60), 0);
}

TEST(DocTracker, FontBlocksAreBoundedAndTerminated)
{
    CHOOSEFONTA cf;
    LOGFONTA lf;
    CLogicalRectTracker t;
    FillText(t, cf, lf);
    std::memset(lf.lfFaceName, 'A', sizeof lf.lfFaceName);  // no terminator
    MzeBytes b = TextRecordBytes(cf, lf);
    // Replace the font block by a 70-byte one: 60 bytes kept, 10 skipped.
    b.bytes.resize(b.size() - 64);
    b.Int(70).Raw(&lf, 60).Raw("0123456789", 10).Int(0x5A5A5A5A);
    CLogicalRectTracker back;
    int after = 0;
    LoadFromBytes(b.bytes, [&](CArchive& ar) {
        back.Serialize(ar);
        ar >> after;
    });
    EXPECT_EQ(after, 0x5A5A5A5A);
    EXPECT_EQ(std::strlen(back.m_pLogFont->lfFaceName), std::size_t(LF_FACESIZE - 1));
    EXPECT_EQ(back.m_pLogFont->lfWeight, FW_BOLD);

    // A short block leaves the rest of the font zero.
    MzeBytes s = TextRecordBytes(cf, lf);
    s.bytes.resize(s.size() - 64);
    s.Int(20).Raw(&lf, 20);
    CLogicalRectTracker shortFont;
    LoadFromBytes(s.bytes, [&](CArchive& ar) { shortFont.Serialize(ar); });
    EXPECT_EQ(shortFont.m_pLogFont->lfHeight, -167);
    EXPECT_EQ(shortFont.m_pLogFont->lfFaceName[0], '\0');
}

TEST(DocTracker, BrokenRecordsLeaveTheObjectAlone)
{
    CHOOSEFONTA cf;
    LOGFONTA lf;
    CLogicalRectTracker t;
    FillText(t, cf, lf);
    const auto good = TextRecordBytes(cf, lf).bytes;

    auto expectRejected = [&](std::vector<unsigned char> bytes) {
        CLogicalRectTracker target;
        target.m_strText = "kept";
        target.m_nKind = 1;
        EXPECT_THROW(LoadFromBytes(bytes, [&](CArchive& ar) { target.Serialize(ar); }), CArchiveException);
        EXPECT_EQ(target.m_strText, "kept");
        EXPECT_EQ(target.m_nKind, 1);
        EXPECT_EQ(target.m_pChooseFont, nullptr);
    };
    // Every truncation of the record.
    for (std::size_t n = 0; n < good.size(); ++n)
        expectRejected(std::vector<unsigned char>(good.begin(), good.begin() + long(n)));
    // Unknown kinds and layers.
    const std::size_t kindAt = 8 + 1 + 5;
    for (int kind : {0, 4, -1}) {
        auto bad = good;
        std::memcpy(&bad[kindAt], &kind, 4);
        expectRejected(bad);
    }
    const std::size_t layerAt = kindAt + 60;
    for (int layer : {0, 5, 1 << 30}) {
        auto bad = good;
        std::memcpy(&bad[layerAt], &layer, 4);
        expectRejected(bad);
    }
    // Font block lengths the file cannot hold or that are negative.
    const std::size_t fontAt = good.size() - 128;
    for (int len : {-1, 1 << 30, 200}) {
        auto bad = good;
        std::memcpy(&bad[fontAt], &len, 4);
        expectRejected(bad);
    }
}

MzeBytes ImageRecordBytes(int alphaPresent, int alphaLevel, int type, const std::vector<unsigned char>& data)
{
    MzeBytes b;
    b.Double(1.0).String("NONE;").Int(3).Int(0);
    b.Ints({0, 0, 2000, -1000}).Int(8).Int(10).Ints({100, 0, 200, 0}).Ints({0, 0});
    b.Int(0).Int(LAYER_BACKGROUND).String("");
    b.Int(alphaPresent).Byte(unsigned(alphaLevel)).Int(type).Int(std::int64_t(data.size())).Raw(data);
    return b;
}

TEST(DocTracker, ImageRecords)
{
    auto bmp = MakeBmp24(3, 2, [](int x, int y) { return std::uint32_t(0x102030 + x + 16 * y); });

    // Stored alpha is applied to a picture that decoded without a plane.
    CLogicalRectTracker a;
    LoadFromBytes(ImageRecordBytes(1, 77, IMAGE_FORMAT_BMP, bmp).bytes, [&](CArchive& ar) { a.Serialize(ar); });
    ASSERT_NE(a.m_pImage, nullptr);
    EXPECT_EQ(a.m_nKind, 3);
    EXPECT_EQ(a.m_nLayer, LAYER_BACKGROUND);
    EXPECT_EQ(a.m_pImage->GetWidth(), 3u);
    EXPECT_EQ(a.m_pImage->GetHeight(), 2u);
    EXPECT_EQ(a.m_pImage->GetType(), DWORD(IMAGE_FORMAT_BMP));
    EXPECT_TRUE(a.m_pImage->AlphaIsValid());
    EXPECT_EQ(a.m_pImage->AlphaGet(2, 1), 77);

    // Written back: the same fields, the picture encoded again in its own format.
    auto stored = StoreToBytes([&](CArchive& ar) { a.Serialize(ar); });
    CRasterImage copy(*a.m_pImage);
    BYTE* enc = nullptr;
    LONG encSize = 0;
    ASSERT_TRUE(copy.Encode(enc, encSize, IMAGE_FORMAT_BMP));
    std::vector<unsigned char> encoded(enc, enc + encSize);
    std::free(enc);
    EXPECT_EQ(stored, ImageRecordBytes(1, 77, IMAGE_FORMAT_BMP, encoded).bytes);

    // Without alpha: no plane.
    CLogicalRectTracker b;
    LoadFromBytes(ImageRecordBytes(0, 0, IMAGE_FORMAT_BMP, bmp).bytes, [&](CArchive& ar) { b.Serialize(ar); });
    ASSERT_NE(b.m_pImage, nullptr);
    EXPECT_FALSE(b.m_pImage->AlphaIsValid());

    // Format 0 finds the format by its content, and the picture keeps that format.
    CLogicalRectTracker d;
    LoadFromBytes(ImageRecordBytes(0, 0, 0, bmp).bytes, [&](CArchive& ar) { d.Serialize(ar); });
    ASSERT_NE(d.m_pImage, nullptr);
    EXPECT_EQ(d.m_pImage->GetType(), DWORD(IMAGE_FORMAT_BMP));

    // Bytes that do not decode, or none at all: an image object with no picture.
    for (auto data : {std::vector<unsigned char>{1, 2, 3, 4}, std::vector<unsigned char>{}}) {
        CLogicalRectTracker e;
        LoadFromBytes(ImageRecordBytes(1, 9, IMAGE_FORMAT_BMP, data).bytes, [&](CArchive& ar) { e.Serialize(ar); });
        EXPECT_EQ(e.m_nKind, 3);
        EXPECT_EQ(e.m_pImage, nullptr);
    }
    // An object with no picture is stored with no bytes.
    CLogicalRectTracker empty;
    empty.m_nKind = 3;
    empty.m_nLayer = LAYER_BACKGROUND;
    empty.SetLogicalRect(0, 0, 2000, -1000);
    empty.m_nHandleSize = 8;
    empty.m_nStyle = 10;
    empty.m_rect = CRect(0, 0, 200, 100);
    EXPECT_EQ(StoreToBytes([&](CArchive& ar) { empty.Serialize(ar); }),
              ImageRecordBytes(0, 0, 0, {}).bytes);

    // Byte counts the file cannot hold, bad alpha flags and unknown format ids are refused.
    auto good = ImageRecordBytes(0, 0, IMAGE_FORMAT_BMP, bmp).bytes;
    const std::size_t countAt = good.size() - bmp.size() - 4;
    for (auto [at, v] : {std::pair<std::size_t, int>{countAt, int(bmp.size()) + 1}, {countAt, -1},
                         {countAt - 4, 16}, {countAt - 4, -1}, {countAt - 9, 2}}) {
        auto bad = good;
        std::memcpy(&bad[at], &v, 4);
        CLogicalRectTracker r;
        EXPECT_THROW(LoadFromBytes(bad, [&](CArchive& ar) { r.Serialize(ar); }), CArchiveException);
        EXPECT_EQ(r.m_pImage, nullptr);
    }
}

} // namespace
