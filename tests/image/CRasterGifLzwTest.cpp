// The GIF data coders on their own: LZW decoding of known streams, round trips through the three
// encoders with code-width changes and table resets, sub-block framing, interlaced row order.
#include "image/CRasterGifLzw.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

struct VecInput : CGifByteInput {
    explicit VecInput(std::vector<BYTE> d) : data(std::move(d)) {}
    int ReadByte() override { return pos < data.size() ? data[pos++] : -1; }
    std::vector<BYTE> data;
    size_t pos = 0;
};

struct Rows : CGifRowSink {
    int PutRow(BYTE* pixels, int length) override
    {
        rows.emplace_back(pixels, pixels + length);
        return int(rows.size()) > limit ? -1 : 0;
    }
    std::vector<BYTE> Flat() const
    {
        std::vector<BYTE> all;
        for (auto& r : rows)
            all.insert(all.end(), r.begin(), r.end());
        return all;
    }
    std::vector<std::vector<BYTE>> rows;
    int limit = 1 << 30;
};

struct VecPixels : CGifPixelSource {
    explicit VecPixels(const std::vector<BYTE>& p) : px(p) {}
    int NextPixel() override { return pos < px.size() ? px[pos++] : -1; }
    const std::vector<BYTE>& px;
    size_t pos = 0;
};

struct VecOutput : CGifByteOutput {
    bool WriteBytes(const BYTE* d, int n) override
    {
        if (fail)
            return false;
        bytes.insert(bytes.end(), d, d + n);
        return true;
    }
    std::vector<BYTE> bytes;
    bool fail = false;
};

// Sub-block lengths of framed data (without a terminator); empty when the framing is broken.
std::vector<int> SubBlockLengths(const std::vector<BYTE>& data)
{
    std::vector<int> lens;
    size_t p = 0;
    while (p < data.size()) {
        int n = data[p];
        if (n == 0 || p + 1 + n > data.size())
            return {};
        lens.push_back(n);
        p += 1 + n;
    }
    return lens;
}

enum class Coder { Lzw, Plain, Runs };

std::vector<BYTE> Encode(Coder coder, int codeSize, const std::vector<BYTE>& pixels)
{
    VecPixels src(pixels);
    VecOutput out;
    bool ok = false;
    if (coder == Coder::Runs) {
        auto enc = std::make_unique<CGifRunEncoder>();
        ok = enc->CompressRuns(codeSize + 1, src, out);
    } else {
        auto enc = std::make_unique<CGifLzwEncoder>();
        ok = coder == Coder::Lzw ? enc->CompressLzw(codeSize + 1, src, out) : enc->CompressPlain(codeSize + 1, src, out);
    }
    EXPECT_TRUE(ok);
    return out.bytes;
}

// Decodes framed data (code size byte, sub-blocks, terminator) into lines of width pixels.
std::vector<BYTE> Decode(int codeSize, const std::vector<BYTE>& framed, int width, int* bad = nullptr, int* result = nullptr)
{
    std::vector<BYTE> in{BYTE(codeSize)};
    in.insert(in.end(), framed.begin(), framed.end());
    in.push_back(0);
    VecInput input(in);
    Rows rows;
    auto dec = std::make_unique<CGifLzwDecoder>();
    int badCodes = -1;
    int r = dec->DecodeLzw(input, rows, width, badCodes);
    if (bad)
        *bad = badCodes;
    if (result)
        *result = r;
    return rows.Flat();
}

std::vector<BYTE> Pattern(int kind, size_t n, int colours, unsigned seed)
{
    std::mt19937 rng(seed);
    std::vector<BYTE> px(n);
    for (size_t i = 0; i < n; ++i) {
        switch (kind) {
        case 0: px[i] = BYTE(rng() % colours); break;                       // noise: many resets
        case 1: px[i] = BYTE((i / 37) % colours); break;                    // short runs
        case 2: px[i] = BYTE((i / 5000) % colours); break;                  // very long runs
        default: px[i] = BYTE((rng() % 7 == 0) ? rng() % colours : (i / 3) % colours); break;
        }
    }
    return px;
}

} // namespace

TEST(GifLzwDecoder, DecodesAKnownStream)
{
    // A 10 x 10 four-colour picture, code size 2, as published with the format's description.
    const std::vector<BYTE> data{0x16, 0x8C, 0x2D, 0x99, 0x87, 0x2A, 0x1C, 0xDC, 0x33, 0xA0, 0x02, 0x75, 0xEC,
                                 0x95, 0xFA, 0xA8, 0xDE, 0x60, 0x8C, 0x04, 0x91, 0x4C, 0x01};
    const char* expected[10] = {"1111122222", "1111122222", "1111122222", "1110000222", "1110000222",
                                "2220000111", "2220000111", "2222211111", "2222211111", "2222211111"};
    int bad = -1, result = -1;
    auto px = Decode(2, data, 10, &bad, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(bad, 0);
    ASSERT_EQ(px.size(), 100u);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(px[y * 10 + x], expected[y][x] - '0') << x << "," << y;
}

TEST(GifLzwDecoder, RefusesBadCodeSizesAndStopsOnShortData)
{
    Rows rows;
    int bad = 0;
    auto dec = std::make_unique<CGifLzwDecoder>();
    for (int size : {0, 1, 10, 12, 255}) {
        VecInput in({BYTE(size), 1, 0, 0});
        EXPECT_EQ(dec->DecodeLzw(in, rows, 4, bad), GIF_LZW_BAD_CODE_SIZE) << size;
    }
    VecInput empty({});
    EXPECT_LT(dec->DecodeLzw(empty, rows, 4, bad), 0);

    // A sub-block that promises more bytes than there are ends the data without a fault.
    const auto full = Encode(Coder::Lzw, 8, Pattern(0, 5000, 256, 1));
    std::vector<BYTE> cut{8};
    cut.insert(cut.end(), full.begin(), full.begin() + 600);
    VecInput shortIn(cut);
    Rows got;
    EXPECT_EQ(dec->DecodeLzw(shortIn, got, 100, bad), 0);
    EXPECT_GT(got.rows.size(), 0u);
    EXPECT_LT(got.rows.size(), 50u);
}

TEST(GifLzwDecoder, EndsAtAZeroLengthSubBlockAndKeepsThePartialLine)
{
    // Code size 2: clear (4), 1, 2, 3 then the data stops with the terminator: three pixels, one line.
    // Codes 4,1,2,3 at width 3 then 4 after the table grows: bits 100 001 010 011 packed LSB first.
    const BYTE b0 = BYTE(0b001'100 | (0b10 << 6)); // clear, 1, low bits of 2
    const BYTE b1 = BYTE(0b0011'0);                // high bit of 2, then 3 at width 3 -> 011
    int result = -1;
    auto px = Decode(2, {2, b0, b1}, 8, nullptr, &result);
    EXPECT_EQ(result, 0);
    // The four zero bits left in the last byte read as one more code (0) at the new width 4.
    EXPECT_EQ(px, (std::vector<BYTE>{1, 2, 3, 0}));
}

TEST(GifLzwDecoder, CountsCodesBeyondTheTableAndSurvivesThem)
{
    // After a clear, a code far above the next free slot is bad: counted and decoded as the
    // previous string repeated, never read from an unset slot.
    // width 3: clear(4) 1 7(bad: next free is 6)  end(5)
    std::vector<BYTE> bits;
    DWORD acc = 4 | (1 << 3) | (7 << 6);
    // after "1" the table gains no slot (first code); "7" adds slot 6 -> width stays 3; end at width 3.
    acc |= DWORD(5) << 9;
    std::vector<BYTE> sub{2, BYTE(acc & 0xFF), BYTE(acc >> 8)};
    int bad = -1, result = -1;
    auto px = Decode(2, sub, 16, &bad, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(bad, 1);
    EXPECT_EQ(px, (std::vector<BYTE>{1, 1, 1}));
}

TEST(GifLzwDecoder, ARefusedRowStopsDecoding)
{
    const auto px = Pattern(3, 64 * 64, 16, 7);
    const auto data = Encode(Coder::Lzw, 4, px);
    std::vector<BYTE> in{4};
    in.insert(in.end(), data.begin(), data.end());
    in.push_back(0);
    VecInput input(in);
    Rows rows;
    rows.limit = 3;
    int bad = 0;
    auto dec = std::make_unique<CGifLzwDecoder>();
    EXPECT_EQ(dec->DecodeLzw(input, rows, 64, bad), -1);
    EXPECT_EQ(rows.rows.size(), 4u);
}

TEST(GifEncoders, RoundTripEveryCoderCodeSizeAndPattern)
{
    for (Coder coder : {Coder::Lzw, Coder::Plain, Coder::Runs}) {
        for (int codeSize : {2, 3, 4, 5, 8}) {
            const int colours = codeSize == 2 ? 4 : 1 << codeSize;
            for (int kind = 0; kind < 4; ++kind) {
                for (size_t n : {size_t(1), size_t(2), size_t(77), size_t(20011), size_t(120000)}) {
                    const auto px = Pattern(kind, n, colours, unsigned(n + kind));
                    const auto data = Encode(coder, codeSize, px);
                    const auto lens = SubBlockLengths(data);
                    ASSERT_FALSE(lens.empty());
                    const int maxLen = coder == Coder::Runs ? 255 : 254;
                    for (size_t i = 0; i < lens.size(); ++i)
                        ASSERT_LE(lens[i], maxLen);
                    int bad = -1, result = -1;
                    auto back = Decode(codeSize, data, 1000, &bad, &result);
                    ASSERT_EQ(result, 0);
                    ASSERT_EQ(bad, 0);
                    ASSERT_EQ(back, px) << int(coder) << " size " << codeSize << " kind " << kind << " n " << n;
                }
            }
        }
    }
}

TEST(GifEncoders, LzwCompressesRunsAndFillsWholePackets)
{
    // 200,000 equal pixels: LZW strings grow by one per code, so about 630 codes suffice.
    std::vector<BYTE> same(200000, 3);
    const auto lzw = Encode(Coder::Lzw, 8, same);
    EXPECT_LT(lzw.size(), 1200u);
    const auto runs = Encode(Coder::Runs, 8, same);
    EXPECT_LT(runs.size(), 1200u);
    // Plain codes never compress: one code of at least 9 bits per pixel.
    const auto plain = Encode(Coder::Plain, 8, same);
    EXPECT_GT(plain.size(), same.size() * 9 / 8);
    auto lens = SubBlockLengths(plain);
    for (size_t i = 0; i + 1 < lens.size(); ++i)
        EXPECT_EQ(lens[i], 254);
    lens = SubBlockLengths(Encode(Coder::Runs, 2, Pattern(0, 50000, 4, 3)));
    for (size_t i = 0; i + 1 < lens.size(); ++i)
        EXPECT_EQ(lens[i], 255);
}

TEST(GifEncoders, NoiseResetsTheTableAndStillRoundTrips)
{
    // 8-bit noise fills the 4,096-entry table about every 3,800 pixels: many clear codes.
    const auto px = Pattern(0, 300000, 256, 99);
    const auto data = Encode(Coder::Lzw, 8, px);
    // Noise does not compress; the output is about 12 bits per pixel once the table is full.
    EXPECT_GT(data.size(), px.size());
    EXPECT_LT(data.size(), px.size() * 14 / 8);
    EXPECT_EQ(Decode(8, data, 300, nullptr), px);
}

TEST(GifEncoders, WriteFaultIsReported)
{
    std::vector<BYTE> px(1000, 1);
    VecPixels src(px);
    VecOutput out;
    out.fail = true;
    auto enc = std::make_unique<CGifLzwEncoder>();
    EXPECT_FALSE(enc->CompressLzw(3, src, out));
    VecPixels src2(px);
    auto runs = std::make_unique<CGifRunEncoder>();
    EXPECT_FALSE(runs->CompressRuns(3, src2, out));
}

TEST(GifRunEncoder, TriangleCostAndIntegerSqrt)
{
    for (std::int64_t x = 0; x < 5000; ++x) {
        std::int64_t r = CGifRunEncoder::IntegerSqrt(x);
        EXPECT_LE(r * r, x);
        EXPECT_GT((r + 1) * (r + 1), x);
    }
    // Runs of 1 + 2 + ... + k pixels cost k codes; 10 = 1+2+3+4.
    EXPECT_EQ(CGifRunEncoder::TriangleCost(10, 100), 4);
    EXPECT_EQ(CGifRunEncoder::TriangleCost(11, 100), 5);
    EXPECT_EQ(CGifRunEncoder::TriangleCost(1, 100), 1);
    // With codes limited to 3 (6 pixels per triangle): 13 = 6 + 6 + 1.
    EXPECT_EQ(CGifRunEncoder::TriangleCost(13, 3), 7);
}

TEST(GifInterlace, EveryRowOnceInPassOrder)
{
    for (int h = 1; h <= 40; ++h) {
        std::vector<int> expected;
        for (int start : {0, 4, 2, 1}) {
            const int step = start == 0 ? 8 : start * 2;
            for (int r = start; r < h; r += step)
                expected.push_back(r);
        }
        CGifInterlace il;
        il.Start(h);
        std::vector<int> got;
        while (!il.Done() && got.size() < 1000) {
            got.push_back(il.Row());
            il.Advance();
        }
        EXPECT_EQ(got, expected) << "height " << h;
    }
}

TEST(GifPackLine, PacksLowBitsLeftmostHigh)
{
    BYTE four[5] = {0x1, 0xF2, 0x3, 0x4, 0x5};
    GifPackLine(four, 5, 4);
    EXPECT_EQ(four[0], 0x12);
    EXPECT_EQ(four[1], 0x34);
    EXPECT_EQ(four[2], 0x50);
    BYTE one[10] = {1, 0, 1, 1, 0, 0, 0, 3, 1, 0};
    GifPackLine(one, 10, 1);
    EXPECT_EQ(one[0], 0b10110001);
    EXPECT_EQ(one[1], 0b10000000);
    BYTE eight[2] = {200, 7};
    GifPackLine(eight, 2, 8);
    EXPECT_EQ(eight[0], 200);
    EXPECT_EQ(eight[1], 7);
}

TEST(GifPackLine, UnpackUndoesPack)
{
    for (int bpp : {1, 4, 8}) {
        const int mask = (1 << bpp) - 1;
        for (int width : {1, 7, 8, 9, 33}) {
            std::vector<BYTE> line(width + 1), want(width);
            for (int x = 0; x < width; ++x)
                line[size_t(x)] = want[size_t(x)] = BYTE((x * 5 + 3) & mask);
            GifPackLine(line.data(), width, bpp);
            std::vector<BYTE> back(width);
            GifUnpackLine(line.data(), width, bpp, back.data());
            EXPECT_EQ(back, want) << bpp << " bits, width " << width;
        }
    }
}
