#pragma once
// Helpers of the GIF tests: a builder for hand-made GIF files, a walker that lists the blocks of a
// file, and memory-stream round trips through the codec entry points.
#include "image/CRasterGif.h"
#include "image/CRasterGifLzw.h"
#include "image/CRasterImage.h"
#include "image/CRasterMemFile.h"
#include "InteropTools.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace giftest {

using Bytes = std::vector<BYTE>;

struct RGB3 {
    BYTE r, g, b;
};

// Builds GIF files record by record; image data is LZW-coded from top-down rows of indexes.
class GifBuilder {
public:
    GifBuilder& Header(int w, int h, const std::vector<RGB3>& globalTable, const char* sig = "GIF89a")
    {
        Raw(sig, 6);
        Word(w);
        Word(h);
        int code = TableCode(globalTable.size());
        out.push_back(globalTable.empty() ? 0x00 : BYTE(0x80 | code));
        out.push_back(0);
        out.push_back(0);
        Table(globalTable, code);
        return *this;
    }
    GifBuilder& Control(int disposal, int transIndex, int delay = 0)
    {
        out.insert(out.end(), {'!', 0xF9, 4});
        out.push_back(BYTE((disposal << 2) | (transIndex >= 0 ? 1 : 0)));
        Word(delay);
        out.push_back(BYTE(transIndex >= 0 ? transIndex : 0));
        out.push_back(0);
        return *this;
    }
    GifBuilder& Comment(const std::string& text)
    {
        out.insert(out.end(), {'!', 0xFE, BYTE(text.size())});
        Raw(text.data(), text.size());
        out.push_back(0);
        return *this;
    }
    GifBuilder& Loop(int count)
    {
        out.insert(out.end(), {'!', 0xFF, 11});
        Raw("NETSCAPE2.0", 11);
        out.insert(out.end(), {3, 1, BYTE(count & 0xFF), BYTE(count >> 8), 0});
        return *this;
    }
    // rows: top-down, each of width indexes; with interlace the rows are sent in pass order.
    GifBuilder& Image(int left, int top, int w, int h, const std::vector<Bytes>& rows, int codeSize,
                      const std::vector<RGB3>& localTable = {}, bool interlace = false)
    {
        out.push_back(',');
        Word(left);
        Word(top);
        Word(w);
        Word(h);
        int code = TableCode(localTable.size());
        out.push_back(BYTE((localTable.empty() ? 0 : 0x80 | code) | (interlace ? 0x40 : 0)));
        Table(localTable, code);
        Bytes px;
        for (int r : RowOrder(h, interlace))
            px.insert(px.end(), rows[r].begin(), rows[r].end());
        Data(codeSize, px);
        return *this;
    }
    // Code size byte, LZW sub-blocks and the terminator.
    GifBuilder& Data(int codeSize, const Bytes& px)
    {
        out.push_back(BYTE(codeSize));
        struct Src : CGifPixelSource {
            const Bytes& p;
            size_t i = 0;
            explicit Src(const Bytes& b) : p(b) {}
            int NextPixel() override { return i < p.size() ? p[i++] : -1; }
        } src(px);
        struct Dst : CGifByteOutput {
            Bytes& o;
            explicit Dst(Bytes& b) : o(b) {}
            bool WriteBytes(const BYTE* d, int n) override
            {
                o.insert(o.end(), d, d + n);
                return true;
            }
        } dst(out);
        auto enc = std::make_unique<CGifLzwEncoder>();
        enc->CompressLzw(codeSize + 1, src, dst);
        out.push_back(0);
        return *this;
    }
    GifBuilder& Trailer()
    {
        out.push_back(';');
        return *this;
    }
    GifBuilder& Raw(const void* p, size_t n)
    {
        auto b = static_cast<const BYTE*>(p);
        out.insert(out.end(), b, b + n);
        return *this;
    }
    void Word(int v)
    {
        out.push_back(BYTE(v & 0xFF));
        out.push_back(BYTE((v >> 8) & 0xFF));
    }

    static std::vector<int> RowOrder(int h, bool interlace)
    {
        std::vector<int> order;
        if (!interlace) {
            for (int r = 0; r < h; ++r)
                order.push_back(r);
            return order;
        }
        for (int start : {0, 4, 2, 1})
            for (int r = start; r < h; r += start == 0 ? 8 : start * 2)
                order.push_back(r);
        return order;
    }

    Bytes out;

private:
    static int TableCode(size_t n)
    {
        int code = 0;
        while ((2u << code) < n)
            ++code;
        return code;
    }
    void Table(const std::vector<RGB3>& t, int code)
    {
        if (t.empty())
            return;
        for (int i = 0; i < (2 << code); ++i) {
            RGB3 c = i < int(t.size()) ? t[i] : RGB3{0, 0, 0};
            out.insert(out.end(), {c.r, c.g, c.b});
        }
    }
};

// One record of a GIF file as the walker found it.
struct GifRecord {
    char kind = 0; // 'H' header, '!' extension, ',' image, ';' trailer
    int label = 0; // extension label
    int left = 0, top = 0, width = 0, height = 0, flags = 0, codeSize = 0;
    Bytes firstBlock;           // first sub-block of an extension
    RGB3 firstColor{0, 0, 0};   // entry 0 of an image's local table
    std::vector<int> subBlocks; // data sub-block lengths
};

// Lists the records of a well-formed file; an empty list when the structure is broken.
inline std::vector<GifRecord> Walk(const Bytes& f)
{
    std::vector<GifRecord> recs;
    size_t p = 13;
    if (f.size() < 13)
        return {};
    GifRecord h;
    h.kind = 'H';
    h.width = f[6] | (f[7] << 8);
    h.height = f[8] | (f[9] << 8);
    h.flags = f[10];
    recs.push_back(h);
    if (f[10] & 0x80)
        p += 3u * (2u << (f[10] & 7));
    auto subBlocks = [&](GifRecord& r) {
        for (;;) {
            if (p >= f.size())
                return false;
            int n = f[p++];
            if (n == 0)
                return true;
            if (r.subBlocks.empty() && r.kind == '!')
                r.firstBlock.assign(f.begin() + long(p), f.begin() + long(std::min(f.size(), p + n)));
            r.subBlocks.push_back(n);
            p += size_t(n);
        }
    };
    while (p < f.size()) {
        GifRecord r;
        r.kind = char(f[p++]);
        if (r.kind == ';') {
            recs.push_back(r);
            return recs;
        }
        if (r.kind == '!') {
            if (p >= f.size())
                return {};
            r.label = f[p++];
        } else if (r.kind == ',') {
            if (p + 10 > f.size())
                return {};
            r.left = f[p] | (f[p + 1] << 8);
            r.top = f[p + 2] | (f[p + 3] << 8);
            r.width = f[p + 4] | (f[p + 5] << 8);
            r.height = f[p + 6] | (f[p + 7] << 8);
            r.flags = f[p + 8];
            p += 9;
            if (r.flags & 0x80) {
                if (p + 3 <= f.size())
                    r.firstColor = RGB3{f[p], f[p + 1], f[p + 2]};
                p += 3u * (2u << (r.flags & 7));
            }
            if (p >= f.size())
                return {};
            r.codeSize = f[p++];
        } else {
            return {};
        }
        if (!subBlocks(r))
            return {};
        recs.push_back(r);
    }
    return {};
}

// Encodes through the GIF entry point into memory.
inline bool EncodeToBytes(CRasterImage& img, Bytes& out)
{
    CRasterMemFile mem;
    mem.Open();
    bool ok = EncodeGif(img, &mem);
    BYTE* b = mem.GetBuffer(false);
    out.assign(b, b + mem.Size());
    return ok;
}

inline bool DecodeBytes(const Bytes& in, CRasterImage& img)
{
    CRasterMemFile mem(in.data(), DWORD(in.size()));
    return DecodeGif(img, &mem);
}

// Decodes straight into a codec object, whose comment and loop count stay readable.
inline bool DecodeInto(const Bytes& in, CRasterImageGIF& gif)
{
    CRasterMemFile mem(in.data(), DWORD(in.size()));
    return gif.Decode(&mem);
}

// Colour of pixel (x, y) with y counted from the top, as 0xRRGGBB.
using interop::TopDown;

inline int IndexAt(const CRasterImage& img, int x, int yTop)
{
    return img.GetPixelIndex(x, LONG(img.GetHeight()) - 1 - yTop);
}

} // namespace giftest
