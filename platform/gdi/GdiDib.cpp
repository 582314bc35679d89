// Bitmaps and device-independent bitmaps: compatible bitmaps, DIB sections (bottom-up rows padded to
// 4 bytes, zeroed), DIB-initialised bitmaps, DIBs to the device and bitmaps back to DIBs.
#include "platform/gdi/GdiDevice.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <sys/mman.h>

namespace gdi {

namespace {

// Bitmaps larger than this many bytes of pixels are refused rather than attempted.
constexpr long long kMaxBitmapBytes = 1LL << 30;

bool ValidDepth(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32; }

QRgb FromQuad(const RGBQUAD& q) { return qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue); }
RGBQUAD ToQuad(QRgb c) { return RGBQUAD{BYTE(qBlue(c)), BYTE(qGreen(c)), BYTE(qRed(c)), 0}; }

// The colour table GetDIBits gives a bitmap that has none of its own at the asked depth.
std::vector<RGBQUAD> StandardColors(int bpp)
{
    std::vector<RGBQUAD> t;
    if (bpp == 1) {
        t = {ToQuad(qRgb(0, 0, 0)), ToQuad(qRgb(255, 255, 255))};
    } else if (bpp == 4) {
        static const QRgb vga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                     0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                     0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
        for (QRgb c : vga)
            t.push_back(ToQuad(c));
    } else if (bpp == 8) {
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    t.push_back(ToQuad(qRgb(r * 51, g * 51, b * 51)));
        for (int i = 0; i < 40; ++i) {
            int v = (i * 255) / 39;
            t.push_back(ToQuad(qRgb(v, v, v)));
        }
    }
    return t;
}

class Nearest {
public:
    explicit Nearest(const std::vector<RGBQUAD>& table) : m_table(table) {}
    BYTE index(QRgb c)
    {
        if (m_valid && c == m_last)
            return m_lastIndex;
        int best = 0;
        long long bestDist = -1;
        for (size_t i = 0; i < m_table.size(); ++i) {
            long long dr = qRed(c) - m_table[i].rgbRed, dg = qGreen(c) - m_table[i].rgbGreen,
                      db = qBlue(c) - m_table[i].rgbBlue;
            long long d = dr * dr + dg * dg + db * db;
            if (bestDist < 0 || d < bestDist) {
                bestDist = d;
                best = int(i);
                if (d == 0)
                    break;
            }
        }
        m_valid = true;
        m_last = c;
        m_lastIndex = BYTE(best);
        return m_lastIndex;
    }

private:
    const std::vector<RGBQUAD>& m_table;
    bool m_valid = false;
    QRgb m_last = 0;
    BYTE m_lastIndex = 0;
};

// Writes colour c as pixel x of a packed row at the given depth.
void WritePixel(BYTE* row, int x, int bpp, QRgb c, Nearest* nearest)
{
    switch (bpp) {
    case 32:
        row[x * 4] = BYTE(qBlue(c));
        row[x * 4 + 1] = BYTE(qGreen(c));
        row[x * 4 + 2] = BYTE(qRed(c));
        row[x * 4 + 3] = 0;
        break;
    case 24:
        row[x * 3] = BYTE(qBlue(c));
        row[x * 3 + 1] = BYTE(qGreen(c));
        row[x * 3 + 2] = BYTE(qRed(c));
        break;
    case 16: {
        WORD w = WORD(((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3));
        row[x * 2] = BYTE(w & 0xFF);
        row[x * 2 + 1] = BYTE(w >> 8);
        break;
    }
    case 8: row[x] = nearest->index(c); break;
    case 4: {
        BYTE v = nearest->index(c) & 0x0F;
        int shift = 4 * (1 - x % 2);
        row[x / 2] = BYTE((row[x / 2] & ~(0x0F << shift)) | (v << shift));
        break;
    }
    case 1: {
        BYTE v = nearest->index(c) & 1;
        int bit = 7 - x % 8;
        row[x / 8] = BYTE((row[x / 8] & ~(1 << bit)) | (v << bit));
        break;
    }
    default: break;
    }
}

constexpr size_t kHuge = size_t(2) << 20;

// Whether a picture of this many bytes is mapped on its own (NewPicture) and worth keeping for reuse.
bool LargePicture(size_t bytes) { return bytes >= 4 * kHuge; }

// The pixels of the last large bitmap deleted, for the next one of the same size. Pages are rendered
// one after another into bitmaps of one size, and the system clears every byte of fresh memory before
// the page is filled: as long as drawing the maze. Let go a few seconds after it was put by, so a
// finished print job does not hold a page's memory.
struct Spare {
    QImage image;
    unsigned generation = 0;
};

Spare& SparePicture()
{
    static Spare spare;
    return spare;
}

// Puts a deleted bitmap's pixels by, on the thread that draws (the one with the event loop).
void KeepPicture(QImage&& image)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread() || !image.isDetached() ||
        image.format() != QImage::Format_RGB32 || !LargePicture(size_t(image.sizeInBytes())))
        return;
    Spare& spare = SparePicture();
    spare.image = std::move(image);
    const unsigned generation = ++spare.generation;
    QTimer::singleShot(3000, app, [generation] {
        Spare& kept = SparePicture();
        if (kept.generation == generation)
            kept.image = QImage();
    });
}

// A w x h RGB32 picture. Pages for the printer run to a hundred megabytes: pictures that large are
// mapped in huge pages where the system offers them, which the first writes fill hundreds of times
// faster than small ones. Its pixels are undefined until written.
QImage NewPicture(int w, int h)
{
    const size_t bytes = size_t(w) * 4 * size_t(h);
    if (!LargePicture(bytes))
        return QImage(w, h, QImage::Format_RGB32);
    Spare& spare = SparePicture();
    if (spare.image.width() == w && spare.image.height() == h && spare.image.bytesPerLine() == qsizetype(w) * 4) {
        ++spare.generation;
        return std::exchange(spare.image, QImage());
    }
    const size_t length = (bytes + kHuge - 1) / kHuge * kHuge + kHuge;  // room to align the start
    void* mapped = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return QImage();
    auto* start = reinterpret_cast<uchar*>((reinterpret_cast<std::uintptr_t>(mapped) + kHuge - 1) & ~(kHuge - 1));
    madvise(start, length - kHuge, MADV_HUGEPAGE);
    struct Mapping {
        void* address;
        size_t length;
    };
    auto* mapping = new Mapping{mapped, length};
    QImage image(
        start, w, h, qsizetype(w) * 4, QImage::Format_RGB32,
        [](void* info) {
            auto* m = static_cast<Mapping*>(info);
            munmap(m->address, m->length);
            delete m;
        },
        mapping);
    if (image.isNull()) {
        munmap(mapped, length);
        delete mapping;
    }
    return image;
}

}  // namespace

DWORD DibStride(LONG width, int bpp) { return DWORD(((long long)width * bpp + 31) / 32 * 4); }

int DibColorCount(const BITMAPINFOHEADER& h)
{
    if (h.biBitCount > 8)
        return 0;
    const int full = 1 << h.biBitCount;
    return h.biClrUsed && int(h.biClrUsed) < full ? int(h.biClrUsed) : full;
}

DibReader::DibReader(const BITMAPINFO* bmi, const void* bits, UINT usage)
{
    if (!bmi || !bits || usage != DIB_RGB_COLORS)
        return;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || !ValidDepth(h.biBitCount) ||
        h.biCompression != BI_RGB)
        return;
    if (h.biHeight == INT32_MIN)
        return;
    m_width = h.biWidth;
    m_height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    m_bpp = h.biBitCount;
    m_bottomUp = h.biHeight > 0;
    m_stride = DibStride(m_width, m_bpp);
    if ((long long)m_stride * m_height > kMaxBitmapBytes)
        return;
    m_bits = static_cast<const BYTE*>(bits);
    const RGBQUAD* colors = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(bmi) + h.biSize);
    for (int i = 0, n = DibColorCount(h); i < n; ++i)
        m_colors[i] = FromQuad(colors[i]);
    m_valid = true;
}

const BYTE* DibReader::row(int yTop) const
{
    return m_bits + size_t(m_bottomUp ? m_height - 1 - yTop : yTop) * m_stride;
}

QRgb DibReader::pixel(int x, int yTop) const
{
    QRgb c;
    decode(row(yTop), x, 1, &c);
    return c;
}

void DibReader::decode(const BYTE* r, int x, int n, QRgb* out) const
{
    switch (m_bpp) {
    case 32:
        for (const BYTE* p = r + size_t(x) * 4; n > 0; --n, p += 4)
            *out++ = qRgb(p[2], p[1], p[0]);
        return;
    case 24: {
        const BYTE* p = r + size_t(x) * 3;
        if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
            // Four bytes at a time hold blue, green and red in place; the last pixel is read alone, as
            // the byte after it may lie past the row.
            for (; n > 1; --n, p += 3) {
                quint32 v;
                std::memcpy(&v, p, 4);
                *out++ = v | 0xFF000000u;
            }
        }
        for (; n > 0; --n, p += 3)
            *out++ = qRgb(p[2], p[1], p[0]);
        return;
    }
    case 8:
        for (const BYTE* p = r + x; n > 0; --n)
            *out++ = m_colors[*p++];
        return;
    default:
        for (; n > 0; --n)
            *out++ = packedPixel(r, x++);
        return;
    }
}

QRgb DibReader::packedPixel(const BYTE* r, int x) const
{
    switch (m_bpp) {
    case 16: {
        int w = r[x * 2] | (r[x * 2 + 1] << 8);
        int cr = (w >> 10) & 31, cg = (w >> 5) & 31, cb = w & 31;
        return qRgb((cr << 3) | (cr >> 2), (cg << 3) | (cg >> 2), (cb << 3) | (cb >> 2));
    }
    case 4: return m_colors[(r[x / 2] >> (4 * (1 - x % 2))) & 0x0F];
    case 1: return m_colors[(r[x / 8] >> (7 - x % 8)) & 1];
    default: return 0xFF000000u;
    }
}

Bitmap::~Bitmap()
{
    std::free(bits);
    KeepPicture(std::move(image));
}

namespace {

// A BITMAPINFO with room for a full colour table.
struct InfoBuffer {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

InfoBuffer DibInfo(const Bitmap& b)
{
    InfoBuffer info{};
    info.header = b.header;
    for (size_t i = 0; i < b.colors.size() && i < 256; ++i)
        info.colors[i] = b.colors[i];
    return info;
}

}  // namespace

namespace {

// Rectangles a pending fill keeps apart before it is written out: a page's watermark tiles, not a
// maze of copied tiles, whose region would cost more to keep than the fill it saves.
constexpr int kMostPlaced = 256;

// Fills rect of image with colour. White, the colour of every new page, has one byte value
// throughout: memset fills it without reading it into the cache first, whole rows in one call.
void FillArea(QImage& image, const QRect& rect, QRgb colour)
{
    const qsizetype bytesPerLine = image.bytesPerLine();
    uchar* first = image.bits() + rect.top() * bytesPerLine + qsizetype(rect.left()) * 4;
    if (colour == 0xFFFFFFFFu && rect.width() == image.width() && bytesPerLine == qsizetype(image.width()) * 4) {
        std::memset(first, 0xFF, size_t(rect.height()) * size_t(bytesPerLine));
        return;
    }
    for (int y = 0; y < rect.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(first + y * bytesPerLine);
        if (colour == 0xFFFFFFFFu)
            std::memset(row, 0xFF, size_t(rect.width()) * 4);
        else
            std::fill(row, row + rect.width(), colour);
    }
}

}  // namespace

void Bitmap::sync()
{
    if (dib) {
        pull();
    } else if (solid) {
        for (const QRect& rect : QRegion(image.rect()).subtracted(placed))
            FillArea(image, rect, *solid);
        solid.reset();
        placed = QRegion();
    }
}

void Bitmap::syncBeside(const QRegion& overwritten)
{
    if (solid && !dib && placed.rectCount() + overwritten.rectCount() <= kMostPlaced)
        placed += overwritten;
    else
        sync();
}

void Bitmap::pull()
{
    InfoBuffer info = DibInfo(*this);
    DibReader r(reinterpret_cast<const BITMAPINFO*>(&info), bits, DIB_RGB_COLORS);
    if (!r.valid())
        return;
    for (int y = 0; y < r.height(); ++y)
        r.decode(r.row(y), 0, r.width(), reinterpret_cast<QRgb*>(image.scanLine(y)));
}

void Bitmap::push()
{
    const int h = image.height();
    const bool bottomUp = header.biHeight > 0;
    Nearest nearest(colors);
    for (int y = 0; y < h; ++y) {
        BYTE* row = bits + size_t(bottomUp ? h - 1 - y : y) * stride;
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        const int w = image.width();
        if (bitsPixel == 24) {
            for (int x = 0; x < w; ++x, row += 3) {
                row[0] = BYTE(qBlue(line[x]));
                row[1] = BYTE(qGreen(line[x]));
                row[2] = BYTE(qRed(line[x]));
            }
        } else {
            for (int x = 0; x < w; ++x)
                WritePixel(row, x, bitsPixel, line[x], &nearest);
        }
    }
}

}  // namespace gdi

using namespace gdi;

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    if (hdc && !AsDC(hdc))
        return nullptr;
    if (cx <= 0 || cy <= 0 || (long long)cx * cy * 4 > kMaxBitmapBytes)
        return nullptr;
    auto b = std::make_unique<Bitmap>();
    b->image = NewPicture(cx, cy);
    if (b->image.isNull())
        return nullptr;
    b->fillWith(0xFF000000u);  // black
    return static_cast<HBITMAP>(Handle(Register(std::move(b))));
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bitsOut, void* section, DWORD)
{
    if (bitsOut)
        *bitsOut = nullptr;
    if ((hdc && !AsDC(hdc)) || !bmi || section || usage != DIB_RGB_COLORS)
        return nullptr;
    const BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN ||
        !ValidDepth(h.biBitCount) || h.biCompression != BI_RGB)
        return nullptr;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const DWORD stride = DibStride(h.biWidth, h.biBitCount);
    const long long size = (long long)stride * height;
    if (size > kMaxBitmapBytes || (long long)h.biWidth * height * 4 > kMaxBitmapBytes)
        return nullptr;
    auto b = std::make_unique<Bitmap>();
    b->image = NewPicture(h.biWidth, height);
    b->bits = static_cast<BYTE*>(std::calloc(size_t(size), 1));
    if (b->image.isNull() || !b->bits)
        return nullptr;
    b->dib = true;
    b->bitsPixel = h.biBitCount;
    b->stride = stride;
    b->header = h;
    b->header.biSize = sizeof(BITMAPINFOHEADER);
    b->header.biSizeImage = DWORD(size);
    const RGBQUAD* colors = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(bmi) + h.biSize);
    b->colors.assign(colors, colors + DibColorCount(h));
    b->header.biClrUsed = DWORD(b->colors.size());
    // The bits start zeroed: every pixel reads as a zero pixel does.
    const InfoBuffer info = DibInfo(*b);
    DibReader reader(reinterpret_cast<const BITMAPINFO*>(&info), b->bits, DIB_RGB_COLORS);
    QRgb zero = 0xFF000000u;
    if (reader.valid())
        reader.decode(b->bits, 0, 1, &zero);
    b->image.fill(zero);
    if (bitsOut)
        *bitsOut = b->bits;
    return static_cast<HBITMAP>(Handle(Register(std::move(b))));
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* bmi,
                       UINT usage)
{
    if (!header || header->biWidth <= 0 || header->biHeight == 0 || header->biHeight == INT32_MIN)
        return nullptr;
    HBITMAP hb = CreateCompatibleBitmap(hdc, header->biWidth, header->biHeight < 0 ? -header->biHeight : header->biHeight);
    auto* b = As<Bitmap>(hb, OBJ_BITMAP);
    if (!b)
        return nullptr;
    if (init & CBM_INIT) {
        DibReader r(bmi, bits, usage);
        if (!r.valid()) {
            DeleteObject(hb);
            return nullptr;
        }
        const int w = std::min(r.width(), b->image.width()), h = std::min(r.height(), b->image.height());
        b->sync();
        for (int y = 0; y < h; ++y)
            r.decode(r.row(y), 0, w, reinterpret_cast<QRgb*>(b->image.scanLine(y)));
    }
    return hb;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT startScan,
                      UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage)
{
    DC* dc = AsDC(hdc);
    DibReader r(bmi, bits, usage);
    if (!dc || !r.valid() || w > DWORD(INT32_MAX) || h > DWORD(INT32_MAX))
        return 0;
    QImage* img = dc->surface();
    if (!img && !dc->vector())
        return 0;
    const bool bottomUp = bmi->bmiHeader.biHeight > 0;
    const DWORD stride = DibStride(r.width(), bmi->bmiHeader.biBitCount);
    // bits holds `lines` scan lines from startScan on (counted from the bottom of a bottom-up DIB):
    // those inside the DIB give the destination rows they land on, and only those rows are drawn.
    const long long firstScan = std::max<long long>(startScan, 0);
    const long long endScan = std::min<long long>((long long)startScan + lines, r.height());
    // Destination row j of scan line `scan`, and the scan lines that land on rows 0 .. h - 1.
    const auto rowOf = [&](long long scan) { return bottomUp ? (long long)ySrc + h - 1 - scan : scan - ySrc; };
    const long long scanLo = std::max<long long>(firstScan, ySrc);
    const long long scanHi = std::min(endScan, (long long)ySrc + h);
    // The destination columns whose source column lies inside the DIB.
    const long long iFirst = std::clamp<long long>(-(long long)xSrc, 0, w);
    const long long iEnd = std::clamp<long long>((long long)r.width() - xSrc, iFirst, w);
    const int set = int(std::max<long long>(0, scanHi - scanLo));
    const auto source = [&](long long scan) {
        return static_cast<const BYTE*>(bits) + size_t(scan - startScan) * stride;
    };
    POINT p = dc->toDevice(xDest, yDest);
    const QRect target(p.x, p.y, int(w), int(h));
    if (QPainter* painter = dc->vector()) {
        // The rows that exist, in a picture with the device's orientation; the others stay clear.
        QImage part(int(w), int(h), QImage::Format_ARGB32);
        if (part.isNull())
            return 0;
        part.fill(0);
        for (long long scan = scanLo; scan < scanHi && iFirst < iEnd; ++scan)
            r.decode(source(scan), int(xSrc + iFirst), int(iEnd - iFirst),
                     reinterpret_cast<QRgb*>(part.scanLine(int(rowOf(scan)))) + iFirst);
        PrepareVector(dc, *painter);
        painter->drawImage(target.topLeft(), part);
        return set;
    }
    Clip clip = ClipFor(dc, *img);
    for (long long scan = scanLo; scan < scanHi && iFirst < iEnd; ++scan) {
        const BYTE* row = source(scan);
        const auto toInt = [](long long v) { return int(std::clamp<long long>(v, INT_MIN, INT_MAX)); };
        clip.span(toInt(p.y + rowOf(scan)), toInt(p.x + iFirst), toInt(p.x + iEnd), [&](int y, int x0, int x1) {
            r.decode(row, int(xSrc + (x0 - p.x)), x1 - x0, reinterpret_cast<QRgb*>(img->scanLine(y)) + x0);
        });
    }
    dc->changed(target);
    return set;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop)
{
    DC* dc = AsDC(hdc);
    DibReader r(bmi, bits, usage);
    if (!dc || !r.valid())
        return 0;
    QImage src(r.width(), r.height(), QImage::Format_RGB32);
    if (src.isNull())
        return 0;
    for (int y = 0; y < r.height(); ++y)
        r.decode(r.row(y), 0, r.width(), reinterpret_cast<QRgb*>(src.scanLine(y)));
    // The source rectangle's first corner is its top-left on the picture: for a bottom-up DIB ySrc is
    // counted from the bottom, so its top row is height - ySrc - srcHeight.
    const bool bottomUp = bmi->bmiHeader.biHeight > 0;
    const long long top = bottomUp ? (long long)r.height() - ySrc - srcHeight : ySrc;
    QPoint s0(xSrc, int(top)), s1(xSrc + srcWidth, int(top + srcHeight));
    POINT d0 = dc->toDevice(xDest, yDest), d1 = dc->toDevice(xDest + destWidth, yDest + destHeight);
    const BYTE code = BYTE((rop >> 16) & 0xFF);
    if (!BlitTo(dc, d0, d1, RopUsesSource(code) ? &src : nullptr, s0, s1, code))
        return 0;
    return std::abs(srcHeight);
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* bmi, UINT usage)
{
    DC* dc = AsDC(hdc);
    auto* b = As<Bitmap>(bitmap, OBJ_BITMAP);
    if (!dc || !b || !bmi || usage != DIB_RGB_COLORS || bmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER))
        return 0;
    b->sync();
    const int w = b->image.width(), h = b->image.height();
    BITMAPINFOHEADER& hd = bmi->bmiHeader;
    if (hd.biBitCount == 0) {
        if (bits)
            return 0;
        hd.biWidth = w;
        hd.biHeight = h;
        hd.biPlanes = 1;
        hd.biBitCount = WORD(b->bitsPixel);
        hd.biCompression = BI_RGB;
        hd.biSizeImage = DibStride(w, b->bitsPixel) * DWORD(h);
        hd.biClrUsed = 0;
        return 1;
    }
    const int bpp = hd.biBitCount;
    if (!ValidDepth(bpp) || hd.biCompression != BI_RGB)
        return 0;
    const bool topDown = hd.biHeight < 0;
    const DWORD stride = DibStride(w, bpp);
    hd.biWidth = w;
    hd.biHeight = topDown ? -h : h;
    hd.biPlanes = 1;
    hd.biSizeImage = stride * DWORD(h);
    const bool sameIndexed = bpp <= 8 && b->dib && b->bitsPixel == bpp;
    std::vector<RGBQUAD> table = sameIndexed ? b->colors : StandardColors(bpp);
    if (bpp <= 8) {
        for (size_t i = 0; i < size_t(1 << bpp); ++i)
            bmi->bmiColors[i] = i < table.size() ? table[i] : RGBQUAD{0, 0, 0, 0};
    }
    if (!bits)
        return 1;
    Nearest nearest(table);
    int copied = 0;
    for (long long scan = start; scan < (long long)start + lines && scan < h; ++scan) {
        BYTE* row = static_cast<BYTE*>(bits) + size_t(scan - start) * stride;
        const int y = topDown ? int(scan) : h - 1 - int(scan);  // picture row, from the top
        if (sameIndexed) {
            const bool srcBottomUp = b->header.biHeight > 0;
            std::memcpy(row, b->bits + size_t(srcBottomUp ? h - 1 - y : y) * b->stride, stride);
        } else {
            std::memset(row, 0, stride);
            const QRgb* line = reinterpret_cast<const QRgb*>(b->image.constScanLine(y));
            for (int x = 0; x < w; ++x)
                WritePixel(row, x, bpp, line[x], &nearest);
        }
        ++copied;
    }
    return copied;
}
