// The work a JPEG 2000 code stream declares, judged before the library decodes it: hand-made code
// streams that declare far more tiles, packets or code-blocks than their bytes can hold are refused
// with their own message, and the counts of an encoder's stream are what it wrote.
#include "image/CRasterImage.h"
#include "image/CRasterJpeg2000Formats.h"
#include "image/CRasterMemFile.h"
#include "tests/image/TiffInteropTools.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

using namespace codectest;

namespace {

struct Writer {
    Bytes b;
    void u8(unsigned v) { b.push_back(BYTE(v)); }
    void u16(unsigned v)
    {
        u8(v >> 8);
        u8(v);
    }
    void u32(DWORD v)
    {
        u16(v >> 16);
        u16(v & 0xFFFF);
    }
    void segment(unsigned marker, const Bytes& body)
    {
        u16(marker);
        u16(unsigned(body.size() + 2));
        b.insert(b.end(), body.begin(), body.end());
    }
};

struct Layout {
    DWORD width = 64, height = 64, tileWidth = 64, tileHeight = 64;
    unsigned components = 1, layers = 1, levels = 5;
    unsigned codeBlockExponent = 4; // code-blocks of 2^(4 + 2) = 64 samples a side
};

Bytes Cod(const Layout& l, unsigned layers)
{
    Writer w;
    w.u8(0);      // no precincts, no SOP or EPH
    w.u8(0);      // layer-resolution-component-position
    w.u16(layers);
    w.u8(0);      // no colour transform
    w.u8(l.levels);
    w.u8(l.codeBlockExponent);
    w.u8(l.codeBlockExponent);
    w.u8(0);      // code-block style
    w.u8(1);      // reversible wavelet
    return w.b;
}

// A code stream of the layout: main header, then one empty tile-part for tile 0 whose header holds
// tileHeader, then the end marker.
Bytes Codestream(const Layout& l, const Bytes& tileHeader = {})
{
    Writer w;
    w.u16(0xFF4F);
    Writer siz;
    siz.u16(0);
    for (DWORD v : {l.width, l.height, DWORD(0), DWORD(0), l.tileWidth, l.tileHeight, DWORD(0), DWORD(0)})
        siz.u32(v);
    siz.u16(l.components);
    for (unsigned i = 0; i < l.components; ++i) {
        siz.u8(7); // 8-bit unsigned
        siz.u8(1);
        siz.u8(1);
    }
    w.segment(0xFF51, siz.b);
    w.segment(0xFF52, Cod(l, l.layers));
    Bytes qcd{0x40};
    qcd.resize(1 + 3 * l.levels + 1, 0x40);
    w.segment(0xFF5C, qcd);
    w.u16(0xFF90);
    w.u16(10);
    w.u16(0);                                        // tile 0
    w.u32(DWORD(12 + tileHeader.size() + 2 + 1));    // the whole tile-part
    w.u8(0);
    w.u8(1);
    w.b.insert(w.b.end(), tileHeader.begin(), tileHeader.end());
    w.u16(0xFF93);
    w.u8(0); // an empty packet
    w.u16(0xFFD9);
    return w.b;
}

std::string Refusal(const Bytes& stream)
{
    CRasterImage img;
    img.Create(2, 2, 24, 0);
    EXPECT_FALSE(DecodeBytes(img, stream, IMAGE_FORMAT_JPC));
    EXPECT_EQ(img.GetWidth(), 2u); // the image stays as it was
    return img.GetLastError();
}

jas::DeclaredWork Declared(const Bytes& data, LONG at = 0)
{
    CRasterMemFile f(data.data(), DWORD(data.size()));
    EXPECT_TRUE(f.Seek(at, SEEK_SET));
    jas::DeclaredWork w;
    EXPECT_TRUE(jas::ReadDeclaredWork(f, jas::DetectFamily(data.data() + at, data.size() - std::size_t(at)), w));
    EXPECT_EQ(f.Tell(), at); // the stream is where it was
    return w;
}

} // namespace

TEST(Jpeg2000Work, FarTooManyDeclaredTilesAreRefusedBeforeDecoding)
{
    // A picture 393236 samples wide in tiles of 20 x 14: 19662 tiles in a stream of under 100 bytes.
    Layout l;
    l.width = 393236;
    l.height = 14;
    l.tileWidth = 20;
    l.tileHeight = 14;
    const Bytes stream = Codestream(l);
    EXPECT_EQ(Declared(stream).tiles, 19662u);
    EXPECT_EQ(Refusal(stream), "error: 19662 tiles declared in a code stream of " + std::to_string(stream.size()) +
                                   " bytes");
    // As many tiles as eight times the stream can hold, and more: refused only beyond the allowance.
    jas::DeclaredWork w;
    w.bytes = 499;
    w.tiles = jas::WorkAllowance(499) / 14;
    w.work = w.tiles * 14;
    EXPECT_EQ(jas::DisproportionateWork(w), "");
    ++w.tiles;
    EXPECT_EQ(jas::DisproportionateWork(w), "error: 578 tiles declared in a code stream of 499 bytes");
}

TEST(Jpeg2000Work, FarTooManyPacketsAreRefusedFromTheMainOrATilePartHeader)
{
    const std::string packets = "error: more tiles, resolutions and packets declared than a code stream of ";
    Layout l;
    l.layers = 65535; // 6 resolutions of 65535 layers: 393210 packets, each at least a byte
    const Bytes many = Codestream(l);
    EXPECT_EQ(Refusal(many), packets + std::to_string(many.size()) + " bytes can hold");

    // The main header asks for one layer, the tile's own header for 65535.
    l.layers = 1;
    EXPECT_EQ(Declared(Codestream(l)).packets, 6u);
    Writer tileCod;
    tileCod.segment(0xFF52, Cod(l, 65535));
    const Bytes inTile = Codestream(l, tileCod.b);
    EXPECT_EQ(Refusal(inTile), packets + std::to_string(inTile.size()) + " bytes can hold");
}

TEST(Jpeg2000Work, FarTooManyCodeBlocksAreRefused)
{
    // 8192 x 8192 samples in code-blocks of 4 x 4: over four million code-blocks in a few bytes.
    Layout l;
    l.width = l.height = l.tileWidth = l.tileHeight = 8192;
    l.codeBlockExponent = 0;
    const Bytes stream = Codestream(l);
    EXPECT_GT(Declared(stream).codeBlocks, 4000000u);
    EXPECT_EQ(Refusal(stream), "error: more code-blocks declared than a code stream of " +
                                   std::to_string(stream.size()) + " bytes can justify");
}

TEST(Jpeg2000Work, AnEncodersStreamIsCountedAsWrittenAndStillDecodes)
{
    CRasterImage src;
    Photo(src, 40, 30);
    for (DWORD type : {IMAGE_FORMAT_JPC, IMAGE_FORMAT_JP2}) {
        const Bytes data = EncodeBytes(src, type);
        ASSERT_FALSE(data.empty());
        // After five bytes of something else, as a picture inside a document is read.
        Bytes embedded{1, 2, 3, 4, 5};
        embedded.insert(embedded.end(), data.begin(), data.end());
        const jas::DeclaredWork w = Declared(embedded, 5);
        // One tile of three components, five resolutions (the 30-sample side halves four times), one
        // layer and one precinct each.
        EXPECT_EQ(w.tiles, 1u);
        EXPECT_EQ(w.samples, 3u * 40 * 30);
        EXPECT_EQ(w.packets, 15u);
        EXPECT_EQ(w.work, 14u + 3 * 5 + 15);
        EXPECT_LE(w.bytes, data.size());
        EXPECT_EQ(jas::DisproportionateWork(w), "");
        CRasterImage back;
        EXPECT_TRUE(DecodeBytes(back, data, type)) << back.GetLastError();
    }
}
