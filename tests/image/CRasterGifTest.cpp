// The GIF codec through its entry points: file layout written, round trips at every depth and with
// every data encoder, true-colour mosaics, frames and disposal, interlace, comments, transparency,
// and the refusals with their texts.
#include "tests/image/GifTestUtil.h"

#include "image/CRasterFile.h"

#include <gtest/gtest.h>

#include <string>

using namespace giftest;

namespace {

const std::vector<RGB3> kFour{{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};

std::vector<Bytes> Fill(int w, int h, BYTE v)
{
    return std::vector<Bytes>(size_t(h), Bytes(size_t(w), v));
}

// An indexed image whose pixel (x, yTop) is (x * 7 + yTop * 3) mod colours, with a palette it
// can tell apart.
CRasterImage MakeIndexed(int w, int h, int bpp)
{
    CRasterImage img(w, h, DWORD(bpp), 0);
    const int colours = int(img.GetNumColors());
    for (int i = 0; i < colours; ++i)
        img.SetPaletteColor(BYTE(i), BYTE(i * 37), BYTE(255 - i), BYTE(i * 11));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.SetPixelIndex(x, h - 1 - y, BYTE((x * 7 + y * 3) % colours));
    return img;
}

CRasterImage MakeTrueColor(int w, int h)
{
    CRasterImage img(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.SetPixelColor(x, y, RGBQUAD{BYTE(x * 5), BYTE(y * 9), BYTE((x * y) & 0xFF), 0});
    return img;
}

// A stream that accepts a limited number of bytes and then refuses every write.
class FullStream : public CRasterFile {
public:
    explicit FullStream(DWORD room) : m_room(room) {}
    bool Close() override { return true; }
    DWORD Read(void*, DWORD, DWORD) override { return 0; }
    DWORD Write(const void*, DWORD size, DWORD count) override
    {
        DWORD n = size * count;
        if (n > m_room) {
            m_room = 0;
            return 0;
        }
        m_room -= n;
        return count;
    }
    bool Seek(LONG, int) override { return true; }
    LONG Tell() override { return 0; }
    LONG Size() override { return 0; }
    bool Flush() override { return true; }
    bool Eof() override { return true; }
    LONG Error() override { return 0; }
    LONG GetC() override { return -1; }

private:
    DWORD m_room;
};

} // namespace

TEST(GifWriter, IndexedImagesHaveTheDocumentedLayoutAndRoundTrip)
{
    struct Case {
        int bpp;
        BYTE packed;
        int codeSize;
    };
    for (Case c : {Case{1, 0x80, 2}, Case{4, 0xE3, 4}, Case{8, 0xE7, 8}}) {
        for (DWORD option : {0u, 1u, 2u}) {
            CRasterImage img = MakeIndexed(37, 23, c.bpp);
            img.SetCodecOption(option, IMAGE_FORMAT_GIF);
            Bytes file;
            ASSERT_TRUE(EncodeToBytes(img, file)) << img.GetLastError();
            ASSERT_EQ(std::string(file.begin(), file.begin() + 6), "GIF89a");
            EXPECT_EQ(file[10], c.packed);
            auto recs = Walk(file);
            ASSERT_EQ(recs.size(), 4u) << "header, graphic control, image, trailer";
            EXPECT_EQ(recs[1].kind, '!');
            EXPECT_EQ(recs[1].label, 0xF9);
            ASSERT_EQ(recs[2].kind, ',');
            EXPECT_EQ(recs[2].codeSize, c.codeSize);
            EXPECT_EQ(recs[2].flags, 0) << "no local table";
            const int maxBlock = option == 2 ? 255 : 254;
            for (int n : recs[2].subBlocks)
                EXPECT_LE(n, maxBlock);

            CRasterImage back;
            ASSERT_TRUE(DecodeBytes(file, back)) << back.GetLastError();
            ASSERT_EQ(back.GetWidth(), 37u);
            ASSERT_EQ(back.GetHeight(), 23u);
            EXPECT_EQ(back.GetBpp(), c.bpp);
            EXPECT_EQ(back.GetType(), DWORD(IMAGE_FORMAT_GIF));
            for (int y = 0; y < 23; ++y)
                for (int x = 0; x < 37; ++x)
                    ASSERT_EQ(IndexAt(back, x, y), IndexAt(img, x, y)) << c.bpp << " option " << option;
            for (DWORD i = 0; i < img.GetNumColors(); ++i) {
                RGBQUAD a = img.GetPaletteColor(BYTE(i)), b = back.GetPaletteColor(BYTE(i));
                ASSERT_EQ(a.rgbRed, b.rgbRed);
                ASSERT_EQ(a.rgbGreen, b.rgbGreen);
                ASSERT_EQ(a.rgbBlue, b.rgbBlue);
            }
        }
    }
}

TEST(GifWriter, TrueColorIsAMosaicOfCells)
{
    CRasterImage img = MakeTrueColor(40, 20);
    Bytes file;
    ASSERT_TRUE(EncodeToBytes(img, file));
    EXPECT_EQ(file[10], 0x11);
    auto recs = Walk(file);
    // Header, then six cells each after a graphic control, then the trailer.
    ASSERT_EQ(recs.size(), 1u + 6 * 2 + 1);
    const int lefts[6] = {0, 17, 34, 0, 17, 34}, tops[6] = {0, 0, 0, 15, 15, 15};
    const int widths[6] = {17, 17, 6, 17, 17, 6}, heights[6] = {15, 15, 15, 5, 5, 5};
    for (int i = 0; i < 6; ++i) {
        const GifRecord& gc = recs[1 + 2 * i];
        const GifRecord& im = recs[2 + 2 * i];
        EXPECT_EQ(gc.label, 0xF9);
        ASSERT_EQ(im.kind, ',');
        EXPECT_EQ(im.left, lefts[i]);
        EXPECT_EQ(im.top, tops[i]);
        EXPECT_EQ(im.width, widths[i]);
        EXPECT_EQ(im.height, heights[i]);
        EXPECT_EQ(im.flags, 0x87) << "local table of 256 entries";
        EXPECT_EQ(im.codeSize, 8);
    }

    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(file, back)) << back.GetLastError();
    ASSERT_EQ(back.GetBpp(), 24);
    ASSERT_EQ(back.GetWidth(), 40u);
    ASSERT_EQ(back.GetHeight(), 20u);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(TopDown(back, x, y), TopDown(img, x, y)) << x << "," << y;
}

TEST(GifWriter, NarrowAndShortTrueColorImagesReadBackWhole)
{
    // One cell wide or one cell tall: the first cell matches the screen in one direction.
    for (auto [w, h] : {std::pair{10, 40}, std::pair{17, 31}, std::pair{40, 10}, std::pair{52, 15}, std::pair{5, 5}}) {
        CRasterImage img = MakeTrueColor(w, h);
        Bytes file;
        ASSERT_TRUE(EncodeToBytes(img, file));
        CRasterImage back;
        ASSERT_TRUE(DecodeBytes(file, back));
        ASSERT_EQ(back.GetWidth(), DWORD(w));
        ASSERT_EQ(back.GetHeight(), DWORD(h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(TopDown(back, x, y), TopDown(img, x, y)) << w << "x" << h << " at " << x << "," << y;
    }
}

TEST(GifWriter, TransparentTrueColorCellsUseEntryZero)
{
    CRasterImage img = MakeTrueColor(30, 20);
    const RGBQUAD key{10, 20, 30, 0};
    for (int x = 0; x < 30; x += 3)
        img.SetPixelColor(x, 4, key);
    img.SetTransColor(key);
    img.SetTransIndex(0);
    Bytes file;
    ASSERT_TRUE(EncodeToBytes(img, file));
    int cells = 0;
    for (auto& r : Walk(file)) {
        if (r.kind == '!' && r.label == 0xF9) {
            ASSERT_EQ(r.firstBlock.size(), 4u);
            EXPECT_EQ(r.firstBlock[0] & 1, 1);
            EXPECT_EQ(r.firstBlock[3], 0);
        }
        if (r.kind == ',') {
            ++cells;
            EXPECT_EQ(r.firstColor.r, 30);
            EXPECT_EQ(r.firstColor.g, 20);
            EXPECT_EQ(r.firstColor.b, 10);
        }
    }
    EXPECT_EQ(cells, 4);
    CRasterImage back;
    ASSERT_TRUE(DecodeBytes(file, back));
    ASSERT_EQ(back.GetBpp(), 24);
    EXPECT_TRUE(back.IsTransparent());
    RGBQUAD t = back.GetTransColor();
    EXPECT_EQ(t.rgbBlue, 10);
    EXPECT_EQ(t.rgbGreen, 20);
    EXPECT_EQ(t.rgbRed, 30);
    EXPECT_EQ(TopDown(back, 3, 20 - 1 - 4), 0x1E140Au);
}

TEST(GifWriter, CommentIsWrittenUpTo255CharactersAndReadBack)
{
    const std::string text(300, 'c');
    auto gif = std::make_unique<CRasterImageGIF>();
    ASSERT_TRUE(gif->Create(4, 4, 8, IMAGE_FORMAT_GIF));
    gif->SetComment(text.c_str());
    CRasterMemFile mem;
    mem.Open();
    ASSERT_TRUE(gif->Encode(&mem));
    Bytes file(mem.GetBuffer(false), mem.GetBuffer(false) + mem.Size());
    bool found = false;
    for (auto& r : Walk(file))
        if (r.kind == '!' && r.label == 0xFE) {
            found = true;
            EXPECT_EQ(r.subBlocks, std::vector<int>{255});
        }
    EXPECT_TRUE(found);
    auto back = std::make_unique<CRasterImageGIF>();
    ASSERT_TRUE(DecodeInto(file, *back));
    EXPECT_EQ(std::string(back->GetComment()), text.substr(0, 255));

    // No comment, no comment extension.
    auto plain = std::make_unique<CRasterImageGIF>();
    ASSERT_TRUE(plain->Create(4, 4, 8, IMAGE_FORMAT_GIF));
    CRasterMemFile mem2;
    mem2.Open();
    ASSERT_TRUE(plain->Encode(&mem2));
    Bytes file2(mem2.GetBuffer(false), mem2.GetBuffer(false) + mem2.Size());
    for (auto& r : Walk(file2))
        EXPECT_FALSE(r.kind == '!' && r.label == 0xFE);
}

TEST(GifWriter, RefusalsAndWriteFaultsCarryTheirTexts)
{
    CRasterImage img = MakeIndexed(8, 8, 8);
    EXPECT_FALSE(EncodeGif(img, nullptr));
    EXPECT_STREQ(img.GetLastError(), "null file handler");
    CRasterImage empty;
    CRasterMemFile mem;
    mem.Open();
    EXPECT_FALSE(EncodeGif(empty, &mem));
    EXPECT_STREQ(empty.GetLastError(), "null image!!!");
    for (DWORD room : {0u, 10u, 400u, 790u}) {
        FullStream full(room);
        EXPECT_FALSE(EncodeGif(img, &full)) << room;
        EXPECT_STREQ(img.GetLastError(), "Write Error in GIF file");
    }
    CRasterImage tc = MakeTrueColor(40, 40);
    FullStream full(500);
    EXPECT_FALSE(EncodeGif(tc, &full));
    EXPECT_STREQ(tc.GetLastError(), "Write Error in GIF file");
}

TEST(GifReader, PaletteDepthFollowsTheTableSize)
{
    for (auto [entries, bpp] : {std::pair{2, 1}, std::pair{4, 4}, std::pair{16, 4}, std::pair{32, 8}, std::pair{256, 8}}) {
        std::vector<RGB3> table;
        for (int i = 0; i < entries; ++i)
            table.push_back(RGB3{BYTE(i), BYTE(255 - i), BYTE(i / 2)});
        std::vector<Bytes> rows(5, Bytes(9));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x)
                rows[y][x] = BYTE((x + y) % entries);
        GifBuilder b;
        b.Header(9, 5, table).Image(0, 0, 9, 5, rows, std::max(2, bpp == 1 ? 2 : 8)).Trailer();
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(b.out, img)) << entries;
        EXPECT_EQ(img.GetBpp(), bpp);
        EXPECT_FALSE(img.IsTransparent());
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x) {
                const RGB3 c = table[(x + y) % entries];
                ASSERT_EQ(TopDown(img, x, y), unsigned(c.r) << 16 | unsigned(c.g) << 8 | c.b);
            }
    }
}

TEST(GifReader, TransparencyPadsThePaletteWithWhite)
{
    for (bool transparent : {false, true}) {
        GifBuilder b;
        b.Header(4, 4, std::vector<RGB3>(128, RGB3{1, 2, 3}));
        if (transparent)
            b.Control(0, 2);
        b.Image(0, 0, 4, 4, Fill(4, 4, 2), 7).Trailer();
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(b.out, img));
        ASSERT_EQ(img.GetBpp(), 8);
        EXPECT_EQ(img.GetTransIndex(), transparent ? 2 : -1);
        RGBQUAD pad = img.GetPaletteColor(200);
        EXPECT_EQ(pad.rgbRed, transparent ? 255 : 0);
        EXPECT_EQ(pad.rgbGreen, transparent ? 255 : 0);
        RGBQUAD used = img.GetPaletteColor(100);
        EXPECT_EQ(used.rgbRed, 1);
    }
}

TEST(GifReader, InterlacedBlocksStoreEveryRowOnce)
{
    for (int h = 1; h <= 20; ++h) {
        std::vector<Bytes> rows;
        for (int r = 0; r < h; ++r)
            rows.push_back(Bytes{BYTE(r + 1), BYTE(100 + r), BYTE(r + 1)});
        std::vector<RGB3> table(256, RGB3{0, 0, 0});
        GifBuilder b;
        b.Header(3, h, table).Image(0, 0, 3, h, rows, 8, {}, true).Trailer();
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(b.out, img)) << h;
        for (int r = 0; r < h; ++r) {
            EXPECT_EQ(IndexAt(img, 0, r), r + 1) << "height " << h << " row " << r;
            EXPECT_EQ(IndexAt(img, 1, r), 100 + r);
        }
    }
}

TEST(GifReader, FramesComposeWithTransparencyAndDisposal)
{
    // Frame 0 fills the screen red; frame 1 lays a green plus with transparent corners and asks to
    // be disposed to the background; frame 2 lays a blue square.
    GifBuilder b;
    b.Header(6, 6, kFour).Loop(3);
    b.Control(1, 0).Image(0, 0, 6, 6, Fill(6, 6, 1), 2);
    b.Control(2, 0, 7).Image(1, 1, 3, 3, {{0, 2, 0}, {2, 2, 2}, {0, 2, 0}}, 2);
    b.Control(0, -1, 9).Image(3, 3, 2, 2, Fill(2, 2, 3), 2);
    b.Trailer();

    const char* expected[3][6] = {
        {"111111", "111111", "111111", "111111", "111111", "111111"},
        {"111111", "112111", "122211", "112111", "111111", "111111"},
        // Disposal 2 clears to the first frame's transparent index (0) before frame 2.
        {"000000", "000000", "000000", "000330", "000330", "000000"},
    };
    for (int frame = 0; frame < 3; ++frame) {
        auto gif = std::make_unique<CRasterImageGIF>();
        gif->SetFrame(frame);
        ASSERT_TRUE(DecodeInto(b.out, *gif)) << frame;
        EXPECT_EQ(gif->GetNumFrames(), 3);
        EXPECT_EQ(gif->GetLoopCount(), 3);
        ASSERT_EQ(gif->GetWidth(), 6u);
        ASSERT_EQ(gif->GetHeight(), 6u);
        EXPECT_EQ(gif->GetTransIndex(), 0);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                ASSERT_EQ(IndexAt(*gif, x, y), expected[frame][y][x] - '0') << "frame " << frame << " " << x << "," << y;
    }
    auto gif = std::make_unique<CRasterImageGIF>();
    gif->SetFrame(1);
    ASSERT_TRUE(DecodeInto(b.out, *gif));
    EXPECT_EQ(gif->GetFrameDelay(), 7u);
    EXPECT_EQ(gif->GetDisposalMethod(), 2);

    // A frame out of range fails, and the dispatch entry tells how many frames there are.
    for (LONG bad : {3, -1, 100}) {
        CRasterImage img;
        img.SetFrame(bad);
        EXPECT_FALSE(DecodeBytes(b.out, img));
        EXPECT_EQ(img.GetNumFrames(), 3);
        EXPECT_FALSE(img.IsValid());
    }
}

TEST(GifReader, OnlyTheFirstFrameIsComposedWithAGlobalTable)
{
    // Several small blocks: with a global table only frame 0 is composed, at the table's depth.
    GifBuilder b;
    b.Header(40, 30, kFour).Image(0, 0, 10, 10, Fill(10, 10, 1), 2).Image(20, 15, 10, 10, Fill(10, 10, 2), 2).Trailer();
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(b.out, img));
    EXPECT_EQ(img.GetBpp(), 4);
    EXPECT_EQ(img.GetNumFrames(), 2);
    EXPECT_EQ(IndexAt(img, 5, 5), 1);
    EXPECT_EQ(IndexAt(img, 25, 20), 0);
}

TEST(GifReader, BlocksOffTheScreenOrEmptyArePassedOver)
{
    GifBuilder b;
    b.Header(6, 6, kFour);
    b.Image(4, 4, 4, 4, Fill(4, 4, 2), 2); // beyond the screen
    b.Image(0, 0, 0, 6, Fill(0, 6, 0), 2); // no columns
    b.Image(0, 0, 6, 0, {}, 2);            // no rows
    b.Image(0, 0, 6, 6, Fill(6, 6, 3), 2);
    b.Trailer();
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(b.out, img)) << img.GetLastError();
    EXPECT_EQ(img.GetNumFrames(), 1);
    EXPECT_EQ(IndexAt(img, 0, 0), 3);
    EXPECT_EQ(IndexAt(img, 5, 5), 3);

    // The data of a block passed over is skipped whole: a zero followed by "," inside it is not
    // taken for another image.
    GifBuilder hidden;
    hidden.Header(6, 6, kFour);
    const BYTE offScreen[] = {',', 4, 0, 4, 0, 4, 0, 4, 0, 0, 2, 12, 0, ',', 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 0};
    hidden.Raw(offScreen, sizeof offScreen).Image(0, 0, 6, 6, Fill(6, 6, 3), 2).Trailer();
    CRasterImage real;
    ASSERT_TRUE(DecodeBytes(hidden.out, real));
    EXPECT_EQ(real.GetNumFrames(), 1);
    EXPECT_EQ(IndexAt(real, 0, 0), 3);

    GifBuilder none;
    none.Header(6, 6, kFour).Image(0, 0, 0, 0, Fill(0, 0, 0), 2).Image(1, 1, 9, 9, Fill(9, 9, 1), 2).Trailer();
    CRasterImage fail;
    EXPECT_FALSE(DecodeBytes(none.out, fail));
    EXPECT_STREQ(fail.GetLastError(), "GIF: no image data");
    EXPECT_FALSE(fail.IsValid());
}

TEST(GifReader, RefusesWhatIsNotAGifAndKeepsTheImage)
{
    CRasterImage img = MakeIndexed(5, 5, 8);
    const Bytes notGif{'G', 'I', 'F', '7', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'};
    EXPECT_FALSE(DecodeBytes(notGif, img));
    EXPECT_EQ(img.GetWidth(), 5u) << "a failed decode leaves the image as it was";
    const Bytes headerOnly{'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, ';'};
    EXPECT_FALSE(DecodeBytes(headerOnly, img));
    EXPECT_STREQ(img.GetLastError(), "GIF: no image data");
    EXPECT_FALSE(DecodeBytes(Bytes{'G', 'I', 'F'}, img));
    EXPECT_EQ(img.GetWidth(), 5u);
}

TEST(GifReader, TruncatedDataKeepsWhatArrived)
{
    std::vector<Bytes> rows;
    for (int y = 0; y < 64; ++y) {
        Bytes r(64);
        for (int x = 0; x < 64; ++x)
            r[x] = BYTE((x * 13 + y * 7) & 0xFF);
        rows.push_back(r);
    }
    GifBuilder b;
    b.Header(64, 64, std::vector<RGB3>(256, RGB3{9, 9, 9})).Image(0, 0, 64, 64, rows, 8).Trailer();
    for (size_t cut : {size_t(13 + 768 + 10 + 1 + 255 + 40), b.out.size() / 2, b.out.size() - 3}) {
        Bytes part(b.out.begin(), b.out.begin() + long(cut));
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(part, img)) << cut;
        EXPECT_EQ(img.GetWidth(), 64u);
        EXPECT_EQ(IndexAt(img, 5, 0), 5 * 13);
    }
}

TEST(GifReader, BadCodesResynchroniseOnTheNextImage)
{
    GifBuilder b;
    b.Header(4, 4, kFour);
    // Frame 0: clear, 1, then 7 (far beyond the table), then end; padded with junk sub-blocks.
    const DWORD acc = 4 | (1 << 3) | (7 << 6) | (5u << 9);
    const BYTE frame0[] = {',', 0, 0, 0, 0, 4, 0, 4, 0, 0, 2, 2, BYTE(acc & 0xFF), BYTE(acc >> 8), 3, 7, 7, 7, 0};
    b.Raw(frame0, sizeof frame0);
    b.Image(0, 0, 4, 4, Fill(4, 4, 3), 2).Trailer();
    auto gif = std::make_unique<CRasterImageGIF>();
    gif->SetFrame(1);
    ASSERT_TRUE(DecodeInto(b.out, *gif));
    EXPECT_EQ(gif->GetNumFrames(), 2);
    EXPECT_EQ(IndexAt(*gif, 3, 3), 3);
}

TEST(GifReader, EscapeMinusOneGivesTheScreenSizeOnly)
{
    GifBuilder b;
    b.Header(300, 200, kFour).Image(0, 0, 2, 2, Fill(2, 2, 1), 2).Trailer();
    CRasterImage img;
    img.SetEscape(-1);
    ASSERT_TRUE(DecodeBytes(b.out, img));
    EXPECT_EQ(img.GetWidth(), 300u);
    EXPECT_EQ(img.GetHeight(), 200u);
    EXPECT_FALSE(img.IsValid());
    CRasterImage stop;
    stop.SetEscape(1);
    EXPECT_FALSE(DecodeBytes(b.out, stop));
}

TEST(GifReader, ExtensionsAreReadAndAFaultyOneEndsTheScan)
{
    GifBuilder b;
    const BYTE emptyComment[] = {'!', 0xFE, 0};
    b.Header(2, 2, kFour).Raw(emptyComment, 3).Comment("hello").Image(0, 0, 2, 2, Fill(2, 2, 2), 2).Trailer();
    auto gif = std::make_unique<CRasterImageGIF>();
    ASSERT_TRUE(DecodeInto(b.out, *gif));
    EXPECT_STREQ(gif->GetComment(), "hello") << "an empty comment's size byte is its terminator";
    EXPECT_EQ(IndexAt(*gif, 1, 1), 2);

    // A graphic control of the wrong size fails: the scan stops before the image.
    GifBuilder bad;
    bad.Header(2, 2, kFour);
    const BYTE wrong[] = {'!', 0xF9, 5, 1, 0, 0, 1, 9, 0};
    bad.Raw(wrong, sizeof wrong).Image(0, 0, 2, 2, Fill(2, 2, 2), 2).Trailer();
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(bad.out, img));
}

TEST(GifReader, OneBitFramesComposeAtTheirPackedDepth)
{
    // Frame 1 lays a pattern over a white screen; its index 1 is transparent, so only its zeros land.
    const std::vector<RGB3> two{{0, 0, 0}, {255, 255, 255}};
    std::vector<Bytes> pattern(5, Bytes(9));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x)
            pattern[y][x] = BYTE((x + y) % 3 == 0 ? 0 : 1);
    GifBuilder b;
    b.Header(20, 10, two).Control(0, -1).Image(0, 0, 20, 10, Fill(20, 10, 1), 2);
    b.Control(0, 1).Image(3, 2, 9, 5, pattern, 2).Trailer();
    auto gif = std::make_unique<CRasterImageGIF>();
    gif->SetFrame(1);
    ASSERT_TRUE(DecodeInto(b.out, *gif));
    ASSERT_EQ(gif->GetBpp(), 1);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 3 && x < 12 && y >= 2 && y < 7;
            const int want = inside && (x - 3 + y - 2) % 3 == 0 ? 0 : 1;
            ASSERT_EQ(IndexAt(*gif, x, y), want) << x << "," << y;
        }
}

TEST(GifReader, HugeOneBitScreensComposeInBoundedTime)
{
    // Found by fuzzing: screen-sized blocks of 3072 x 61440 pixels with almost no data. Each frame
    // is merged row by row at the packed depth, not pixel by pixel.
    Bytes second(150, 1);
    std::fill(second.begin(), second.begin() + 50, BYTE(0));
    GifBuilder b;
    b.Header(3072, 61440, {{0, 0, 0}, {255, 255, 255}});
    b.Control(1, -1).Raw(",\0\0\0\0\0\x0c\0\xf0\0", 10).Data(2, Bytes(100, 1));
    b.Control(1, 0).Raw(",\0\0\0\0\0\x0c\0\xf0\0", 10).Data(2, second);
    b.Trailer();
    auto gif = std::make_unique<CRasterImageGIF>();
    gif->SetFrame(1);
    ASSERT_TRUE(DecodeInto(b.out, *gif));
    EXPECT_EQ(gif->GetWidth(), 3072u);
    EXPECT_EQ(gif->GetHeight(), 61440u);
    EXPECT_EQ(IndexAt(*gif, 10, 0), 1);
    EXPECT_EQ(IndexAt(*gif, 120, 0), 1);
    EXPECT_EQ(IndexAt(*gif, 200, 0), 0);
    EXPECT_EQ(IndexAt(*gif, 5, 1), 0);
}

TEST(GifDispatch, EncodedAndDetectedThroughTheImageRecord)
{
    for (int bpp : {1, 8, 24}) {
        CRasterImage img = bpp == 24 ? MakeTrueColor(50, 31) : MakeIndexed(50, 31, bpp);
        BYTE* buffer = nullptr;
        LONG size = 0;
        ASSERT_TRUE(img.Encode(buffer, size, IMAGE_FORMAT_GIF)) << img.GetLastError();
        CRasterImage detected;
        EXPECT_TRUE(detected.Decode(buffer, DWORD(size), IMAGE_FORMAT_UNKNOWN));
        EXPECT_EQ(detected.GetType(), DWORD(IMAGE_FORMAT_GIF));
        EXPECT_EQ(detected.GetWidth(), 50u);
        EXPECT_EQ(detected.GetHeight(), 31u);
        EXPECT_EQ(detected.GetBpp(), bpp);
        EXPECT_EQ(TopDown(detected, 17, 9), TopDown(img, 17, 9));
        std::free(buffer);
    }
}

TEST(GifReader, ComposingVeryManyLargeFramesIsRefused)
{
    // Every frame composed copies the 8192 x 8192 screen: 40 of them are more work than a decode
    // may do, while the first few are fine.
    GifBuilder b;
    b.Header(8192, 8192, {{0, 0, 0}, {255, 255, 255}});
    for (int i = 0; i < 40; ++i)
        b.Image(i, i, 1, 1, {Bytes{1}}, 2);
    b.Trailer();
    auto few = std::make_unique<CRasterImageGIF>();
    few->SetFrame(5);
    ASSERT_TRUE(DecodeInto(b.out, *few));
    EXPECT_EQ(IndexAt(*few, 5, 5), 1);
    EXPECT_EQ(IndexAt(*few, 6, 6), 0);
    auto many = std::make_unique<CRasterImageGIF>();
    many->SetFrame(39);
    EXPECT_FALSE(DecodeInto(b.out, *many));
    EXPECT_STREQ(many->GetLastError(), "GIF: too many frames to compose");
}

TEST(GifReader, BlocksWithOwnTablesAndNoGlobalTableComposeInTrueColor)
{
    // No global table, several blocks, the first smaller than the screen both ways: every block is
    // drawn in its own colours on one 24-bit picture. With one block only, the palette image stays.
    GifBuilder b;
    b.Header(30, 20, {});
    b.Image(0, 0, 10, 10, Fill(10, 10, 1), 2, {{255, 0, 0}, {0, 255, 0}});
    b.Image(15, 5, 10, 10, Fill(10, 10, 0), 2, {{0, 0, 255}, {255, 255, 255}});
    b.Trailer();
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(b.out, img));
    ASSERT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(img.GetWidth(), 30u);
    EXPECT_EQ(TopDown(img, 3, 3), 0x00FF00u);
    EXPECT_EQ(TopDown(img, 20, 12), 0x0000FFu);
    EXPECT_EQ(TopDown(img, 28, 1), 0x000000u);
    EXPECT_EQ(img.GetNumFrames(), 2);

    GifBuilder one;
    one.Header(30, 20, {}).Image(0, 0, 10, 10, Fill(10, 10, 1), 2, {{255, 0, 0}, {0, 255, 0}}).Trailer();
    CRasterImage single;
    ASSERT_TRUE(DecodeBytes(one.out, single));
    EXPECT_EQ(single.GetBpp(), 1);
    EXPECT_EQ(TopDown(single, 3, 3), 0x00FF00u);
}
