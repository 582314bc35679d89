#include "image/CRasterGif.h"

#include "image/CRasterFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr BYTE kExtensionIntroducer = '!';
constexpr BYTE kImageIntroducer = ',';
constexpr BYTE kTrailer = ';';
constexpr BYTE kLabelGraphicControl = 0xF9;
constexpr BYTE kLabelComment = 0xFE;
constexpr BYTE kLabelApplication = 0xFF;

constexpr int kCellWidth = 17;
constexpr int kCellHeight = 15;

const char kNoImage[] = "GIF: no image data";
const char kTooLarge[] = "GIF: image too large for the format";
const char kWriteError[] = "Write Error in GIF file";
const char kTooMuchWork[] = "GIF: too many frames to compose";

// Pixels a decode may create, copy and merge over all its frames (about a second of work).
constexpr std::uint64_t kMaxComposeWork = std::uint64_t(1) << 31;

struct GifScreen {
    WORD width = 0;
    WORD height = 0;
    BYTE flags = 0;
    bool hasTable() const { return (flags & 0x80) != 0; }
    int tableCount() const { return 2 << (flags & 7); }
};

// Reads the 9 descriptor bytes after the ",".
bool ReadDescriptor(CRasterFile* f, GifImageDescriptor& d)
{
    BYTE b[9];
    if (f->Read(b, 1, 9) != 9)
        return false;
    d.left = WORD(b[0] | (b[1] << 8));
    d.top = WORD(b[2] | (b[3] << 8));
    d.width = WORD(b[4] | (b[5] << 8));
    d.height = WORD(b[6] | (b[7] << 8));
    d.flags = b[8];
    return true;
}

// A block is decoded only when it lies on the screen and has pixels; others are passed over.
bool BlockIsUsable(const GifImageDescriptor& d, const GifScreen& s)
{
    return d.width > 0 && d.height > 0 && int(d.left) + d.width <= s.width && int(d.top) + d.height <= s.height;
}

// The block scanner: a byte is acted on only at the start or after a zero byte (or when it is zero
// itself); returns the next acted-on "!", "," or ";", or -1 at the end of the stream.
LONG NextIntroducer(CRasterFile* f, bool& prevZero)
{
    for (;;) {
        const LONG c = f->GetC();
        if (c < 0)
            return -1;
        if (!prevZero && c != 0)
            continue;
        if (c == kExtensionIntroducer || c == kImageIntroducer || c == kTrailer)
            return c;
        prevZero = c == 0;
    }
}

// Passes over the local table and data sub-blocks of a block that is not decoded, so that its data
// is never scanned for introducers.
void SkipBlock(CRasterFile* f, const GifImageDescriptor& d)
{
    if ((d.flags & 0x80) && !f->Seek(3 * (2 << (d.flags & 7)), SEEK_CUR))
        return;
    if (f->GetC() < 0)
        return;
    for (;;) {
        const LONG n = f->GetC();
        if (n <= 0 || !f->Seek(n, SEEK_CUR))
            return;
    }
}

int BppForCount(int count)
{
    return count <= 2 ? 1 : (count <= 16 ? 4 : 8);
}

} // namespace

// The codec object feeds the data coders through these small adapters, so that the image class
// itself keeps a single virtual operation.
struct CRasterImageGIF::Adapters {
    struct Input final : CGifByteInput {
        CRasterImageGIF* gif;
        explicit Input(CRasterImageGIF* g) : gif(g) {}
        int ReadByte() override { return gif->ReadByte(); }
    };
    struct Rows final : CGifRowSink {
        CRasterImageGIF* gif;
        explicit Rows(CRasterImageGIF* g) : gif(g) {}
        int PutRow(BYTE* pixels, int length) override { return gif->PutRow(pixels, length); }
    };
    struct Pixels final : CGifPixelSource {
        CRasterImageGIF* gif;
        explicit Pixels(CRasterImageGIF* g) : gif(g) {}
        int NextPixel() override { return gif->NextPixel(); }
    };
    struct Output final : CGifByteOutput {
        CRasterImageGIF* gif;
        explicit Output(CRasterImageGIF* g) : gif(g) {}
        bool WriteBytes(const BYTE* data, int count) override
        {
            gif->PutBytes(gif->m_out, data, DWORD(count));
            return !gif->m_writeFault;
        }
    };
};

CRasterImageGIF::CRasterImageGIF() : CRasterImage(IMAGE_FORMAT_GIF) {}

CRasterImageGIF::~CRasterImageGIF() = default;

void CRasterImageGIF::SetComment(const char* text)
{
    std::memset(m_comment, 0, sizeof m_comment);
    if (text)
        std::strncpy(m_comment, text, sizeof m_comment - 1);
}

// ---------------------------------------------------------------------------------------------
// Reading

int CRasterImageGIF::ReadByte()
{
    if (m_readPos >= kReadChunk) {
        DWORD n = m_in ? m_in->Read(m_readBuffer, 1, kReadChunk) : 0;
        m_readFill = int(n);
        if (n < DWORD(kReadChunk))
            m_readBuffer[n] = 0xFF;
        m_readPos = 0;
    }
    if (m_readPos >= m_readFill)
        return -1;
    return m_readBuffer[m_readPos++];
}

bool CRasterImageGIF::ReadExtension(CRasterFile* f)
{
    const LONG label = f->GetC();
    if (label < 0)
        return false;
    bool ok = true;
    if (label == kLabelGraphicControl) {
        const LONG size = f->GetC();
        BYTE gc[4];
        const DWORD got = f->Read(gc, 1, 4);
        ok = size == LONG(got) && got == 4;
        if (ok) {
            std::memcpy(m_graphicControl, gc, 4);
            if (gc[0] & 1)
                m_info.transIndex = gc[3];
            m_info.frameDelay = DWORD(gc[1] | (gc[2] << 8));
            m_disposalMethod = (gc[0] >> 2) & 7;
        }
    } else if (label == kLabelComment) {
        const LONG n = f->GetC();
        ok = n >= 0;
        if (ok) {
            std::memset(m_comment, 0, sizeof m_comment);
            ok = f->Read(m_comment, 1, DWORD(n)) == DWORD(n);
        }
        if (n == 0)
            return true; // an empty comment: its size byte was the terminator
    } else if (label == kLabelApplication) {
        BYTE id[11];
        ok = f->GetC() == 11 && f->Read(id, 1, 11) == 11;
        if (ok) {
            const LONG n = f->GetC();
            BYTE data[256];
            ok = n >= 0 && f->Read(data, 1, DWORD(n)) == DWORD(n);
            if (ok && n > 2)
                m_loopCount = data[1] + 256 * data[2];
            if (n == 0)
                return true; // no data sub-block: the size byte was the terminator
        }
    }
    // The remaining sub-blocks up to the terminator; every step reads at least one byte.
    BYTE skip[256];
    while (ok) {
        const LONG n = f->GetC();
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = f->Read(skip, 1, DWORD(n)) == DWORD(n);
    }
    return ok;
}

int CRasterImageGIF::DecodeLzw(int lineWidth, int& badCodes)
{
    Adapters::Input input(this);
    Adapters::Rows rows(this);
    return m_decoder.DecodeLzw(input, rows, lineWidth, badCodes);
}

int CRasterImageGIF::PutRow(BYTE* pixels, int length)
{
    if (length <= 0)
        return 0;
    GifPackLine(pixels, length, m_rowBpp);
    const LONG bytes = LONG((std::int64_t(length) * m_rowBpp + 7) / 8);
    if (m_interlaced) {
        // Lines beyond the last pass have no row: the data is over-long and decoding stops.
        if (m_interlace.Done())
            return -1;
        if (m_rowIterator) {
            m_rowIterator->SetY(LONG(GetHeight()) - m_interlace.Row() - 1);
            m_rowIterator->SetRow(pixels, bytes);
        }
        m_interlace.Advance();
        return 0;
    }
    if (m_rowsLeft <= 0)
        return -1;
    if (m_rowIterator) {
        m_rowIterator->SetRow(pixels, bytes);
        m_rowIterator->PrevRow();
    }
    --m_rowsLeft;
    return 0;
}

int CRasterImageGIF::SkipToNextImage(CRasterFile* f, LONG position)
{
    if (!f->Seek(position, SEEK_SET))
        return -1;
    LONG prev = -1;
    for (;;) {
        const LONG c = f->GetC();
        if (c < 0)
            return -1;
        if (prev == 0 && c == kImageIntroducer) {
            f->Seek(-1, SEEK_CUR);
            return 0;
        }
        prev = c;
    }
}

void CRasterImageGIF::MergeFrame(CRasterImage& background, CRasterImage& frame, const GifImageDescriptor& d)
{
    const LONG H = LONG(background.GetHeight());
    const LONG W = LONG(background.GetWidth());
    const LONG fh = LONG(frame.GetHeight());
    const LONG fw = LONG(frame.GetWidth());
    const LONG firstRow = std::max<LONG>(0, H - d.top - fh);
    const LONG endX = std::min<LONG>(W, LONG(d.left) + fw);
    const LONG trans = frame.GetTransIndex();
    const int bgBpp = background.GetBpp(), frBpp = frame.GetBpp();
    if (bgBpp > 8 || frBpp > 8 || endX <= LONG(d.left))
        return;
    // Rows are unpacked to one index per byte, merged, and packed back.
    std::vector<BYTE> src(size_t(fw) + 1), dst(size_t(W) + 1);
    for (LONG y = firstRow; y <= H - LONG(d.top) - 1; ++y) {
        const LONG fy = y - firstRow;
        if (fy >= fh)
            break;
        const BYTE* srow = frame.GetBits(DWORD(fy));
        BYTE* drow = background.GetBits(DWORD(y));
        if (!srow || !drow)
            continue;
        GifUnpackLine(srow, fw, frBpp, src.data());
        BYTE* out = bgBpp == 8 ? drow : dst.data();
        if (bgBpp != 8)
            GifUnpackLine(drow, W, bgBpp, out);
        for (LONG x = d.left; x < endX; ++x) {
            const BYTE v = src[size_t(x - d.left)];
            if (LONG(v) != trans)
                out[x] = v;
        }
        if (bgBpp != 8) {
            GifPackLine(out, W, bgBpp);
            std::memcpy(drow, out, size_t((std::int64_t(W) * bgBpp + 7) / 8));
        }
    }
}

void CRasterImageGIF::DecodeBlockData(CRasterFile* f, const GifImageDescriptor& d, bool toImage, int bpp)
{
    std::unique_ptr<CRasterRowIterator> it;
    if (toImage) {
        it = std::make_unique<CRasterRowIterator>(this);
        it->Upset();
    }
    m_rowIterator = it.get();
    m_rowBpp = bpp;
    m_rowWidth = d.width;
    m_readPos = kReadBufferSize;
    m_readFill = 0;
    m_interlaced = (d.flags & 0x40) != 0;
    m_interlace.Start(d.height);
    m_rowsLeft = d.height;
    m_in = f;
    const LONG p = f->Tell();
    int badCodes = 0;
    DecodeLzw(d.width, badCodes);
    m_rowIterator = nullptr;
    if (badCodes > 0)
        SkipToNextImage(f, p);
    else
        f->Seek(LONG(m_readPos) - LONG(m_readFill) + 1, SEEK_CUR);
}

LONG CRasterImageGIF::CountFrames(CRasterFile* f, int tableCount, WORD screenWidth, WORD screenHeight)
{
    const LONG start = f->Tell();
    GifScreen screen;
    screen.width = screenWidth;
    screen.height = screenHeight;
    int count = tableCount;
    // Counting walks the whole file; the transparency it meets belongs to later frames, not to the
    // one about to be decoded, so it is put back afterwards.
    BYTE savedControl[4];
    std::memcpy(savedControl, m_graphicControl, 4);
    const LONG savedTrans = m_info.transIndex;
    const DWORD savedDelay = m_info.frameDelay;
    const int savedDisposal = m_disposalMethod;

    LONG frames = 0;
    bool prevZero = true;
    for (;;) {
        const LONG c = NextIntroducer(f, prevZero);
        if (c < 0 || c == kTrailer)
            break;
        if (c == kExtensionIntroducer) {
            ReadExtension(f);
            continue;
        }
        GifImageDescriptor d;
        if (!ReadDescriptor(f, d))
            break;
        if (!BlockIsUsable(d, screen)) {
            SkipBlock(f, d);
            continue;
        }
        ++frames;
        if (d.flags & 0x80) {
            count = 2 << (d.flags & 7);
            BYTE local[256 * 3];
            if (f->Read(local, 1, DWORD(count * 3)) != DWORD(count * 3))
                break;
        }
        // Only the end of the data matters here: walk it without storing pixels.
        DecodeBlockData(f, d, false, BppForCount(count));
    }
    f->Seek(start, SEEK_SET);
    std::memcpy(m_graphicControl, savedControl, 4);
    m_info.transIndex = savedTrans;
    m_info.frameDelay = savedDelay;
    m_disposalMethod = savedDisposal;
    return frames;
}

bool CRasterImageGIF::Decode(CRasterFile* f)
{
    if (!f)
        return false;
    BYTE header[13];
    if (f->Read(header, 1, 13) != 13 || std::memcmp(header, "GIF8", 4) != 0)
        return false;
    GifScreen screen;
    screen.width = WORD(header[6] | (header[7] << 8));
    screen.height = WORD(header[8] | (header[9] << 8));
    screen.flags = header[10];

    if (m_info.escape == -1) {
        m_head.biWidth = screen.width;
        m_head.biHeight = screen.height;
        return true;
    }

    BYTE table[256 * 3] = {};
    int count = screen.tableCount();
    bool hasTable = screen.hasTable();
    int trueColorScore = 0;
    if (hasTable) {
        if (f->Read(table, 1, DWORD(count * 3)) != DWORD(count * 3)) {
            SetLastError(kNoImage);
            return false;
        }
    } else {
        trueColorScore = 1;
    }

    m_info.frameCount = CountFrames(f, count, screen.width, screen.height);
    if (m_info.frameCount == 0) {
        SetLastError(kNoImage);
        return false;
    }
    if (m_info.frame < 0 || m_info.frame >= m_info.frameCount)
        return false;
    if (m_info.frameCount == 1)
        trueColorScore = 0;

    std::unique_ptr<CRasterImage> trueColor;
    LONG imageNumber = 0;
    LONG firstTransIndex = -1;
    int prevDisposal = 0;
    bool decoded = false;
    bool prevZero = true;
    std::uint64_t work = 0;
    for (;;) {
        if (m_info.escape > 0)
            return false;
        const LONG c = NextIntroducer(f, prevZero);
        if (c < 0 || c == kTrailer)
            break;
        if (c == kExtensionIntroducer) {
            if (!ReadExtension(f))
                break;
            continue;
        }

        GifImageDescriptor d;
        if (!ReadDescriptor(f, d))
            break;
        if (!BlockIsUsable(d, screen)) {
            SkipBlock(f, d);
            continue;
        }

        if (imageNumber == 0) {
            const bool smaller = d.width != screen.width && d.height != screen.height;
            // A true-colour mosaic no wider than one cell or no taller than one cell starts with a
            // cell that matches the screen in one direction; it is recognised by its first cell.
            const bool mosaicCell = (d.flags & 0x80) && d.left == 0 && d.top == 0 &&
                                    d.width == std::min<int>(kCellWidth, screen.width) &&
                                    d.height == std::min<int>(kCellHeight, screen.height) &&
                                    (d.width != screen.width || d.height != screen.height);
            if (smaller || mosaicCell)
                ++trueColorScore;
        }
        if (d.flags & 0x80) {
            count = 2 << (d.flags & 7);
            if (f->Read(table, 1, DWORD(count * 3)) != DWORD(count * 3))
                break;
            hasTable = true;
        }
        const int bpp = BppForCount(count);
        // Each frame costs its own area and, when composed, a copy of the screen: a file of many
        // frames is refused before that work becomes unbounded.
        work += std::uint64_t(d.width) * d.height + (trueColorScore < 2 ? std::uint64_t(screen.width) * screen.height : 0);
        if (work > kMaxComposeWork) {
            SetLastError(kTooMuchWork);
            return false;
        }

        // The picture so far becomes the background the new block is laid on.
        CRasterImage background(IMAGE_FORMAT_GIF);
        background.CopyInfo(*this);
        if (imageNumber == 0) {
            if (!background.Create(screen.width, screen.height, DWORD(bpp), IMAGE_FORMAT_GIF)) {
                SetLastError(background.GetLastError());
                return false;
            }
            firstTransIndex = m_info.transIndex;
            background.Clear(m_graphicControl[3]);
        } else {
            background.Copy(*this);
            if (prevDisposal == 2)
                background.Clear(BYTE(firstTransIndex));
        }

        if (!Create(d.width, d.height, DWORD(bpp), IMAGE_FORMAT_GIF))
            return false;
        if (hasTable) {
            BYTE r[256], g[256], b[256];
            for (int i = 0; i < 256; ++i) {
                const bool inTable = i < count;
                r[i] = inTable ? table[i * 3] : 255;
                g[i] = inTable ? table[i * 3 + 1] : 255;
                b[i] = inTable ? table[i * 3 + 2] : 255;
            }
            SetPalette(m_info.transIndex != -1 ? 256 : DWORD(count), r, g, b);
        }

        DecodeBlockData(f, d, true, bpp);
        if (m_info.escape != 0)
            return false;
        decoded = true;

        if (trueColorScore < 2) {
            MergeFrame(background, *this, d);
            background.SetTransIndex(firstTransIndex);
            background.SetPalette(GetPalette(), GetNumColors());
            Transfer(background);
        } else {
            m_info.frame = m_info.frameCount - 1;
            if (!trueColor) {
                trueColor = std::make_unique<CRasterImage>(screen.width, screen.height, 24, IMAGE_FORMAT_GIF);
                if (!trueColor->IsValid()) {
                    SetLastError(trueColor->GetLastError());
                    return false;
                }
            }
            // Block row r from the top lands on screen row top + r from the top, as colours.
            const LONG h = LONG(GetHeight());
            const RGBQUAD* pal = GetPalette();
            std::vector<BYTE> line(size_t(d.width) + 1);
            for (LONG r = 0; r < h && pal; ++r) {
                const BYTE* src = GetBits(DWORD(h - 1 - r));
                BYTE* dst = trueColor->GetBits(DWORD(LONG(screen.height) - 1 - (LONG(d.top) + r)));
                if (!src || !dst)
                    continue;
                GifUnpackLine(src, d.width, bpp, line.data());
                BYTE* px = dst + size_t(d.left) * 3;
                for (LONG x = 0; x < LONG(d.width); ++x, px += 3) {
                    const RGBQUAD c = line[size_t(x)] < GetNumColors() ? pal[line[size_t(x)]] : RGBQUAD{0, 0, 0, 0};
                    px[0] = c.rgbBlue;
                    px[1] = c.rgbGreen;
                    px[2] = c.rgbRed;
                }
            }
        }
        prevDisposal = (m_graphicControl[0] >> 2) & 7;

        if (imageNumber == m_info.frame)
            break;
        ++imageNumber;
    }

    if (!decoded) {
        SetLastError(kNoImage);
        return false;
    }
    if (trueColor) {
        if (m_graphicControl[0] & 1) {
            trueColor->SetTransColor(GetPaletteColor(BYTE(m_info.transIndex)));
            trueColor->SetTransIndex(0);
        }
        const LONG frames = m_info.frameCount;
        Transfer(*trueColor);
        m_info.frameCount = frames;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Writing

void CRasterImageGIF::PutBytes(CRasterFile* f, const void* data, DWORD count)
{
    if (count && f->Write(data, 1, count) != count)
        m_writeFault = true;
}

void CRasterImageGIF::PutByte(CRasterFile* f, BYTE value)
{
    if (!f->PutC(value))
        m_writeFault = true;
}

void CRasterImageGIF::PutWord(CRasterFile* f, WORD value)
{
    PutByte(f, BYTE(value & 0xFF));
    PutByte(f, BYTE(value / 256));
}

void CRasterImageGIF::WriteScreen(CRasterFile* f)
{
    PutBytes(f, "GIF89a", 6);
    PutWord(f, WORD(GetWidth()));
    PutWord(f, WORD(GetHeight()));
    const WORD bpp = GetBpp();
    const RGBQUAD* pal = GetPalette();
    PutByte(f, pal ? BYTE(0x80 | ((bpp - 1) << 5) | (bpp - 1)) : BYTE(0x11));
    PutByte(f, 0);
    PutByte(f, 0);
    for (DWORD i = 0; pal && i < GetNumColors(); ++i) {
        const BYTE rgb[3] = {pal[i].rgbRed, pal[i].rgbGreen, pal[i].rgbBlue};
        PutBytes(f, rgb, 3);
    }
}

void CRasterImageGIF::WriteGraphicControl(CRasterFile* f)
{
    m_graphicControl[0] = BYTE(((m_disposalMethod << 2) & 0x1F) | (m_info.transIndex != -1 ? 1 : 0));
    m_graphicControl[1] = BYTE(m_info.frameDelay & 0xFF);
    m_graphicControl[2] = BYTE((m_info.frameDelay >> 8) & 0xFF);
    m_graphicControl[3] = BYTE(m_info.transIndex & 0xFF);
    const BYTE intro[3] = {kExtensionIntroducer, kLabelGraphicControl, 4};
    PutBytes(f, intro, 3);
    PutBytes(f, m_graphicControl, 4);
    PutByte(f, 0);
}

void CRasterImageGIF::WriteComment(CRasterFile* f)
{
    const size_t n = std::min<size_t>(std::strlen(m_comment), 255);
    if (n == 0)
        return;
    const BYTE intro[3] = {kExtensionIntroducer, kLabelComment, BYTE(n)};
    PutBytes(f, intro, 3);
    PutBytes(f, m_comment, DWORD(n));
    PutByte(f, 0);
}

void CRasterImageGIF::WriteImage(CRasterFile* f, bool localTable)
{
    m_curX = 0;
    m_curY = LONG(GetHeight()) - 1;
    m_pixelsLeft = LONG(GetWidth()) * LONG(GetHeight());
    m_encodeLine.assign(size_t(GetWidth()) + 1, 0);
    PutByte(f, kImageIntroducer);
    PutWord(f, WORD(m_info.xOffset));
    PutWord(f, WORD(m_info.yOffset));
    PutWord(f, WORD(GetWidth()));
    PutWord(f, WORD(GetHeight()));
    const WORD bpp = GetBpp();
    const RGBQUAD* pal = GetPalette();
    if (localTable && pal) {
        PutByte(f, BYTE(0x80 | (bpp - 1)));
        for (DWORD i = 0; i < GetNumColors(); ++i) {
            const BYTE rgb[3] = {pal[i].rgbRed, pal[i].rgbGreen, pal[i].rgbBlue};
            PutBytes(f, rgb, 3);
        }
    } else {
        PutByte(f, 0);
    }
    const int codeSize = std::max<int>(bpp, 2);
    PutByte(f, BYTE(codeSize));
    m_out = f;
    bool ok;
    switch (GetCodecOption(IMAGE_FORMAT_GIF)) {
    case GIF_ENCODE_PLAIN: ok = CompressPlain(codeSize + 1); break;
    case GIF_ENCODE_RUNS: ok = CompressRuns(codeSize + 1); break;
    default: ok = CompressLzw(codeSize + 1); break;
    }
    if (!ok)
        m_writeFault = true;
    PutByte(f, 0);
}

int CRasterImageGIF::NextPixel()
{
    if (m_pixelsLeft <= 0 || m_curY < 0)
        return -1;
    if (m_curX == 0) {
        const BYTE* row = GetBits(DWORD(m_curY));
        if (!row || GetBpp() > 8)
            return -1;
        GifUnpackLine(row, LONG(GetWidth()), GetBpp(), m_encodeLine.data());
    }
    --m_pixelsLeft;
    const int v = m_encodeLine[size_t(m_curX)];
    if (++m_curX >= LONG(GetWidth())) {
        m_curX = 0;
        --m_curY;
    }
    return v;
}

bool CRasterImageGIF::CompressLzw(int initBits)
{
    Adapters::Pixels pixels(this);
    Adapters::Output out(this);
    return m_lzw.CompressLzw(initBits, pixels, out);
}

bool CRasterImageGIF::CompressPlain(int initBits)
{
    Adapters::Pixels pixels(this);
    Adapters::Output out(this);
    return m_lzw.CompressPlain(initBits, pixels, out);
}

bool CRasterImageGIF::CompressRuns(int initBits)
{
    Adapters::Pixels pixels(this);
    Adapters::Output out(this);
    return m_runs.CompressRuns(initBits, pixels, out);
}

bool CRasterImageGIF::EncodeTrueColor(CRasterFile* f)
{
    WriteScreen(f);
    WriteComment(f);
    auto cell = std::make_unique<CRasterImageGIF>();
    const LONG W = LONG(GetWidth());
    const LONG H = LONG(GetHeight());
    const bool transparent = IsTransparent();
    const RGBQUAD transColor = GetTransColor();
    for (LONG y = 0; y < H; y += kCellHeight) {
        for (LONG x = 0; x < W; x += kCellWidth) {
            const LONG w = std::min<LONG>(kCellWidth, W - x);
            const LONG h = std::min<LONG>(kCellHeight, H - y);
            if (!cell->IsValid() || LONG(cell->GetWidth()) != w || LONG(cell->GetHeight()) != h) {
                if (!cell->Create(w, h, 8, 0)) {
                    SetLastError(cell->GetLastError());
                    return false;
                }
            }
            if (transparent) {
                cell->SetTransIndex(0);
                cell->SetPaletteColor(0, transColor);
            }
            // Entry 1 + k + 17 j holds the pixel in column k of the cell's bottom-up row j.
            RGBQUAD* pal = cell->GetPalette();
            for (LONG j = 0; j < h; ++j)
                for (LONG k = 0; k < w; ++k)
                    pal[1 + k + kCellWidth * j] = GetPixelColor(x + k, H - y - h + j);
            // Each pixel takes the lowest entry of its colour (the nearest-colour search stops at
            // the first exact match), found here through a small hash of the cell's palette.
            WORD firstOf[512];
            DWORD keyOf[512];
            std::fill(std::begin(firstOf), std::end(firstOf), WORD(0xFFFF));
            BYTE lowest[256];
            for (int e = 0; e < 256; ++e) {
                const DWORD key = DWORD(pal[e].rgbRed) << 16 | DWORD(pal[e].rgbGreen) << 8 | pal[e].rgbBlue;
                DWORD slot = (key * 2654435761u) >> 23;
                while (firstOf[slot] != 0xFFFF && keyOf[slot] != key)
                    slot = (slot + 1) & 511;
                if (firstOf[slot] == 0xFFFF) {
                    firstOf[slot] = WORD(e);
                    keyOf[slot] = key;
                }
                lowest[e] = BYTE(firstOf[slot]);
            }
            for (LONG j = 0; j < h; ++j) {
                BYTE* row = cell->GetBits(DWORD(j));
                for (LONG k = 0; k < w; ++k)
                    row[k] = lowest[1 + k + kCellWidth * j];
            }
            cell->SetOffset(x, y);
            cell->m_writeFault = false;
            cell->WriteGraphicControl(f);
            cell->WriteImage(f, true);
            if (cell->m_writeFault)
                m_writeFault = true;
        }
    }
    PutByte(f, kTrailer);
    return true;
}

bool CRasterImageGIF::Encode(CRasterFile* f)
{
    if (EncodeSafeCheck(f))
        return false;
    if (GetWidth() > 0xFFFF || GetHeight() > 0xFFFF) {
        SetLastError(kTooLarge);
        return false;
    }
    m_writeFault = false;
    m_out = f;
    if (GetBpp() > 8) {
        if (!EncodeTrueColor(f))
            return false;
    } else {
        WriteScreen(f);
        WriteGraphicControl(f);
        WriteComment(f);
        WriteImage(f, false);
        PutByte(f, kTrailer);
    }
    // A write fault is a failed save, not a success with a note.
    if (!f->Flush() || m_writeFault || f->Error() > 0) {
        SetLastError(kWriteError);
        return false;
    }
    return true;
}

bool DecodeGif(CRasterImage& image, CRasterFile* stream)
{
    return image.DecodeAs<CRasterImageGIF>(stream, true);
}

bool EncodeGif(CRasterImage& image, CRasterFile* stream)
{
    return image.EncodeAs<CRasterImageGIF>(stream);
}
