// The work a JPEG 2000 code stream declares, read from its own markers before the library sees it.
// The library sets up every declared tile, tile-component resolution, precinct packet and code-block,
// whatever the stream holds, so a few hundred bytes can declare seconds of work. A complete stream
// spends at least 14 bytes a tile (its SOT and SOD markers) and a byte a packet; a stream that
// declares many times more than its bytes can hold is refused before decoding.
#include "image/CRasterFile.h"
#include "image/CRasterJpeg2000Formats.h"
#include "image/CheckedMath.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <map>
#include <vector>

namespace jas {
namespace {

constexpr WORD kSOC = 0xFF4F, kSIZ = 0xFF51, kCOD = 0xFF52, kCOC = 0xFF53, kSOT = 0xFF90, kSOD = 0xFF93;
constexpr int kMaxResolutions = 33;
constexpr std::uint64_t kTileBytes = 14; // SOT and SOD, the least a tile-part can be

// Coding style of one component: from COD, or COC for that component.
struct Style {
    int levels = 5;          // decomposition levels; resolutions = levels + 1
    int xcb = 6, ycb = 6;    // code-block size exponents
    std::array<BYTE, kMaxResolutions> ppx{}, ppy{}; // precinct size exponents by resolution
};

struct Coding {
    bool hasCod = false;
    unsigned layers = 1;
    Style cod;
    std::map<unsigned, Style> coc; // by component
};

struct Layout {
    std::uint64_t start = 0, bytes = 0; // the code stream within the file
    std::uint64_t sizEnd = 0;           // where the main header goes on after SIZ
    std::uint64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0, tx0 = 0, ty0 = 0, tw = 0, th = 0;
    std::vector<std::pair<BYTE, BYTE>> sub; // component subsampling dx, dy
    Coding main;
    std::map<std::uint64_t, Coding> tiles; // tiles whose tile-part headers change the coding
};

// Reads n bytes at an offset of the file; false past its end.
bool ReadAt(CRasterFile& f, std::uint64_t pos, void* out, std::size_t n)
{
    return pos <= std::uint64_t(std::numeric_limits<LONG>::max()) && f.Seek(LONG(pos), SEEK_SET) &&
           raster::ReadExact(f, out, n);
}

WORD ReadU16At(CRasterFile& f, std::uint64_t pos, bool& ok)
{
    BYTE b[2] = {};
    ok = ok && ReadAt(f, pos, b, 2);
    return WORD((b[0] << 8) | b[1]);
}

// The code stream of a JP2 file: the contents of its first code-stream box.
bool FindCodestream(CRasterFile& f, std::uint64_t pos, std::uint64_t end, Layout& out)
{
    while (pos + 8 <= end) {
        BYTE h[16] = {};
        if (!ReadAt(f, pos, h, 8))
            return false;
        raster::ByteCursor c(h, 8);
        std::uint64_t length = c.u32be();
        const DWORD type = c.u32be();
        std::uint64_t header = 8;
        if (length == 1) {
            if (!ReadAt(f, pos + 8, h + 8, 8))
                return false;
            raster::ByteCursor x(h + 8, 8);
            length = std::uint64_t(x.u32be()) << 32;
            length |= x.u32be();
            header = 16;
        } else if (length == 0) {
            length = end - pos;
        }
        if (length < header || length > end - pos)
            return false;
        if (type == 0x6A703263) { // 'jp2c'
            out.start = pos + header;
            out.bytes = length - header;
            return true;
        }
        pos += length;
    }
    return false;
}

// SPcod or SPcoc: levels, code-block size, and the precinct sizes when the style says so.
bool ReadStyle(raster::ByteCursor& c, bool precincts, Style& s)
{
    s.levels = c.u8();
    s.xcb = c.u8() + 2;
    s.ycb = c.u8() + 2;
    c.skip(2); // code-block style, transform
    if (s.levels > kMaxResolutions - 1)
        return false;
    for (int r = 0; r <= s.levels; ++r) {
        const BYTE pp = precincts ? c.u8() : 0xFF;
        s.ppx[std::size_t(r)] = BYTE(pp & 0x0F);
        s.ppy[std::size_t(r)] = BYTE(pp >> 4);
    }
    return c.ok();
}

void ReadCod(raster::ByteCursor c, Coding& coding)
{
    const BYTE scod = c.u8();
    c.skip(1); // progression order
    const unsigned layers = c.u16be();
    c.skip(1); // colour transform
    Style s;
    if (ReadStyle(c, scod & 1, s) && layers > 0) {
        coding.hasCod = true;
        coding.layers = layers;
        coding.cod = s;
    }
}

void ReadCoc(raster::ByteCursor c, std::size_t components, Coding& coding)
{
    const unsigned comp = components < 257 ? c.u8() : c.u16be();
    const BYTE scoc = c.u8();
    Style s;
    if (comp < components && ReadStyle(c, scoc & 1, s))
        coding.coc[comp] = s;
}

// Reads marker segments from pos up to the marker that ends the header (SOT for the main header,
// SOD for a tile-part header), giving COD and COC to coding. The position of that marker, or 0 when
// the header cannot be read.
std::uint64_t ReadHeader(CRasterFile& f, std::uint64_t pos, std::uint64_t end, WORD until, std::size_t components,
                         Coding& coding)
{
    std::vector<BYTE> body;
    while (pos + 2 <= end) {
        bool ok = true;
        const WORD marker = ReadU16At(f, pos, ok);
        if (!ok || (marker >> 8) != 0xFF)
            return 0;
        if (marker == until)
            return pos;
        const WORD length = ReadU16At(f, pos + 2, ok);
        if (!ok || length < 2 || pos + 2 + length > end)
            return 0;
        if (marker == kCOD || marker == kCOC) {
            body.resize(length - 2u);
            if (!ReadAt(f, pos + 4, body.data(), body.size()))
                return 0;
            raster::ByteCursor c(body.data(), body.size());
            if (marker == kCOD)
                ReadCod(c, coding);
            else
                ReadCoc(c, components, coding);
        }
        pos += 2u + length;
    }
    return 0;
}

bool ReadSiz(CRasterFile& f, Layout& l)
{
    const std::uint64_t end = l.start + l.bytes;
    bool ok = true;
    if (ReadU16At(f, l.start, ok) != kSOC || ReadU16At(f, l.start + 2, ok) != kSIZ || !ok)
        return false;
    const WORD length = ReadU16At(f, l.start + 4, ok);
    if (!ok || length < 41 || l.start + 4 + length > end)
        return false;
    std::vector<BYTE> body(length - 2u);
    if (!ReadAt(f, l.start + 6, body.data(), body.size()))
        return false;
    l.sizEnd = l.start + 4 + length;
    raster::ByteCursor c(body.data(), body.size());
    c.skip(2); // capabilities
    l.x1 = c.u32be();
    l.y1 = c.u32be();
    l.x0 = c.u32be();
    l.y0 = c.u32be();
    l.tw = c.u32be();
    l.th = c.u32be();
    l.tx0 = c.u32be();
    l.ty0 = c.u32be();
    const unsigned components = c.u16be();
    if (components == 0 || c.remaining() != 3u * components)
        return false;
    for (unsigned i = 0; i < components; ++i) {
        c.skip(1); // depth
        const BYTE dx = c.u8(), dy = c.u8();
        if (dx == 0 || dy == 0)
            return false;
        l.sub.emplace_back(dx, dy);
    }
    // The picture and the tile grid as the library accepts them.
    return c.ok() && l.x1 > l.x0 && l.y1 > l.y0 && l.tw > 0 && l.th > 0 && l.tx0 <= l.x0 && l.ty0 <= l.y0 &&
           l.tx0 + l.tw > l.x0 && l.ty0 + l.th > l.y0;
}

// Walks the tile-parts by their lengths and keeps the coding their headers give their tiles.
void ReadTileParts(CRasterFile& f, std::uint64_t pos, std::uint64_t tiles, Layout& l)
{
    const std::uint64_t end = l.start + l.bytes;
    while (pos + kTileBytes <= end) {
        BYTE h[12] = {};
        if (!ReadAt(f, pos, h, sizeof h))
            return;
        raster::ByteCursor c(h, sizeof h);
        if (c.u16be() != kSOT || c.u16be() != 10)
            return;
        const std::uint64_t tile = c.u16be();
        const std::uint64_t length = c.u32be();
        if (tile >= tiles)
            return;
        const std::uint64_t partEnd = length == 0 ? end : pos + length;
        if ((length != 0 && length < kTileBytes) || partEnd > end)
            return;
        Coding& coding = l.tiles[tile];
        if (!ReadHeader(f, pos + 12, partEnd, kSOD, l.sub.size(), coding))
            return;
        if (!coding.hasCod && coding.coc.empty())
            l.tiles.erase(tile);
        if (length == 0)
            return;
        pos = partEnd;
    }
}

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) { return (a + b - 1) / b; }

// Counts saturate instead of wrapping: a stream may declare more than 64 bits can count.
constexpr std::uint64_t kAll = std::numeric_limits<std::uint64_t>::max();
std::uint64_t Mul(std::uint64_t a, std::uint64_t b)
{
    std::uint64_t r = 0;
    return raster::CheckedMul(a, b, r) ? r : kAll;
}
void Add(std::uint64_t& total, std::uint64_t v)
{
    if (!raster::CheckedAdd(total, v, total))
        total = kAll;
}
std::int64_t CeilShift(std::int64_t a, int s) { return -((-a) >> s); }
std::uint64_t Span(std::int64_t lo, std::int64_t hi, int e) // cells of size 2^e that [lo, hi) meets
{
    return hi > lo ? std::uint64_t(CeilShift(hi, e) - (lo >> e)) : 0;
}

const Style& StyleOf(const Coding& main, const Coding* tile, unsigned comp)
{
    if (tile) {
        if (auto it = tile->coc.find(comp); it != tile->coc.end())
            return it->second;
        if (tile->hasCod)
            return tile->cod;
    }
    if (auto it = main.coc.find(comp); it != main.coc.end())
        return it->second;
    return main.cod;
}

// Adds the resolutions, packets and code-blocks of one tile-component.
void CountTileComponent(const Style& s, unsigned layers, std::int64_t cx0, std::int64_t cy0, std::int64_t cx1,
                        std::int64_t cy1, DeclaredWork& w)
{
    Add(w.work, std::uint64_t(s.levels) + 1);
    for (int r = 0; r <= s.levels; ++r) {
        const int shift = s.levels - r;
        const std::int64_t rx0 = CeilShift(cx0, shift), ry0 = CeilShift(cy0, shift);
        const std::int64_t rx1 = CeilShift(cx1, shift), ry1 = CeilShift(cy1, shift);
        const int ppx = s.ppx[std::size_t(r)], ppy = s.ppy[std::size_t(r)];
        const std::uint64_t precincts = Mul(Span(rx0, rx1, ppx), Span(ry0, ry1, ppy));
        Add(w.packets, Mul(precincts, layers));
        Add(w.work, Mul(precincts, layers));
        if (r == 0) {
            Add(w.codeBlocks, Mul(Span(rx0, rx1, std::min(s.xcb, ppx)), Span(ry0, ry1, std::min(s.ycb, ppy))));
            continue;
        }
        const int n = shift + 1; // the bands' decomposition level
        const int cbx = std::max(0, std::min(s.xcb, ppx - 1)), cby = std::max(0, std::min(s.ycb, ppy - 1));
        for (int band = 1; band <= 3; ++band) {
            const std::int64_t ox = band & 1 ? std::int64_t(1) << (n - 1) : 0;
            const std::int64_t oy = band & 2 ? std::int64_t(1) << (n - 1) : 0;
            Add(w.codeBlocks, Mul(Span(CeilShift(cx0 - ox, n), CeilShift(cx1 - ox, n), cbx),
                                  Span(CeilShift(cy0 - oy, n), CeilShift(cy1 - oy, n), cby)));
        }
    }
}

void Count(CRasterFile& file, Layout& l, DeclaredWork& w)
{
    w.bytes = l.bytes;
    for (const auto& [dx, dy] : l.sub)
        Add(w.samples, Mul(CeilDiv(l.x1, dx) - CeilDiv(l.x0, dx), CeilDiv(l.y1, dy) - CeilDiv(l.y0, dy)));
    const std::uint64_t across = CeilDiv(l.x1 - l.tx0, l.tw), down = CeilDiv(l.y1 - l.ty0, l.th);
    w.tiles = Mul(across, down);
    w.work = Mul(w.tiles, kTileBytes);
    // Too many tiles already: nothing else is read.
    if (w.work > WorkAllowance(w.bytes))
        return;
    const std::uint64_t end = l.start + l.bytes;
    const std::uint64_t firstTile = ReadHeader(file, l.sizEnd, end, kSOT, l.sub.size(), l.main);
    if (!firstTile)
        return; // the library refuses a main header it cannot read
    ReadTileParts(file, firstTile, w.tiles, l);
    for (std::uint64_t t = 0;
         t < w.tiles && w.work <= WorkAllowance(w.bytes) && w.codeBlocks <= CodeBlockAllowance(w.bytes); ++t) {
        const std::uint64_t p = t % across, q = t / across;
        const std::uint64_t tx0 = std::max(l.tx0 + p * l.tw, l.x0), ty0 = std::max(l.ty0 + q * l.th, l.y0);
        const std::uint64_t tx1 = std::min(l.tx0 + (p + 1) * l.tw, l.x1), ty1 = std::min(l.ty0 + (q + 1) * l.th, l.y1);
        const auto it = l.tiles.find(t);
        const Coding* tile = it == l.tiles.end() ? nullptr : &it->second;
        const unsigned layers = tile && tile->hasCod ? tile->layers : l.main.layers;
        for (unsigned c = 0; c < l.sub.size(); ++c) {
            const auto [dx, dy] = l.sub[c];
            CountTileComponent(StyleOf(l.main, tile, c), layers, std::int64_t(CeilDiv(tx0, dx)),
                               std::int64_t(CeilDiv(ty0, dy)), std::int64_t(CeilDiv(tx1, dx)),
                               std::int64_t(CeilDiv(ty1, dy)), w);
        }
    }
}

} // namespace

bool ReadDeclaredWork(CRasterFile& file, Family family, DeclaredWork& w)
{
    w = DeclaredWork();
    const LONG here = file.Tell(), size = file.Size();
    if (here < 0 || size < here)
        return false;
    Layout l;
    bool read = false;
    if (family == Family::Jp2) {
        read = FindCodestream(file, std::uint64_t(here), std::uint64_t(size), l);
    } else if (family == Family::Jpc) {
        l.start = std::uint64_t(here);
        l.bytes = std::uint64_t(size - here);
        read = true;
    }
    read = read && ReadSiz(file, l);
    if (read)
        Count(file, l, w);
    return file.Seek(here, SEEK_SET) && read;
}

std::uint64_t WorkAllowance(std::uint64_t bytes) { return 8 * bytes + 4096; }
std::uint64_t CodeBlockAllowance(std::uint64_t bytes) { return 256 * bytes + 65536; }

std::string DisproportionateWork(const DeclaredWork& w)
{
    char text[128] = {};
    const unsigned long long bytes = w.bytes;
    if (Mul(w.tiles, kTileBytes) > WorkAllowance(w.bytes))
        std::snprintf(text, sizeof text, "error: %llu tiles declared in a code stream of %llu bytes",
                      static_cast<unsigned long long>(w.tiles), bytes);
    else if (w.work > WorkAllowance(w.bytes))
        std::snprintf(text, sizeof text, "error: more tiles, resolutions and packets declared than a code stream of %llu bytes can hold",
                      bytes);
    else if (w.codeBlocks > CodeBlockAllowance(w.bytes))
        std::snprintf(text, sizeof text, "error: more code-blocks declared than a code stream of %llu bytes can justify",
                      bytes);
    return text;
}

} // namespace jas
