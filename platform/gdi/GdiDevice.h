#pragma once
// Inside the graphics layer: the objects that GDI handles point at, the device-context record and the
// raster routines that draw with the device's pixel rules. Only the layer's own sources include this.
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <memory>
#include <optional>
#include <vector>

#include "platform/gdi/CDC.h"
#include "platform/gdi/CGdiObject.h"
#include "platform/gdi/WinGdi.h"

class QPagedPaintDevice;

namespace gdi {

struct DC;

// ---- objects behind handles ----
struct Object {
    explicit Object(DWORD t) : type(t) {}
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    DWORD type;
    int selections = 0;          // device-context states (current and saved) that hold it
    bool deletePending = false;  // DeleteObject came while it was selected
    bool stock = false;
    CGdiObject* wrapper = nullptr;          // the C++ object the handle is attached to
    std::unique_ptr<CGdiObject> temporary;  // wrapper made for a handle that had none
};

struct Pen : Object {
    Pen() : Object(OBJ_PEN) {}
    int style = PS_SOLID;
    int width = 0;  // logical units; 0 is one device pixel
    COLORREF color = 0;
};

struct Brush : Object {
    Brush() : Object(OBJ_BRUSH) {}
    UINT style = BS_SOLID;
    COLORREF color = 0;
};

struct Font : Object {
    Font() : Object(OBJ_FONT) {}
    LOGFONTA lf{};
    bool deviceUnits = false;  // stock fonts keep their pixel size whatever the mapping
};

struct Palette : Object {
    Palette() : Object(OBJ_PAL) {}
};

struct Region : Object {
    Region() : Object(OBJ_REGION) {}
    // A region made from polygons keeps them, so that filling it through a mapping can rasterise the
    // mapped outline instead of scaling rectangles; its rectangles are worked out when first asked for.
    std::vector<std::vector<QPoint>> polygons;
    int fillMode = ALTERNATE;
    const QRegion& area() const;
    void setRegion(const QRegion& r)
    {
        cached = r;
        polygons.clear();
    }

private:
    mutable std::optional<QRegion> cached;
    friend int ::OffsetRgn(HRGN, int, int);
};

struct Bitmap : Object {
    Bitmap() : Object(OBJ_BITMAP) {}
    ~Bitmap() override;
    QImage image;       // Format_RGB32; what every drawing call reads and writes
    int bitsPixel = 32; // depth reported by GetObject
    DC* selectedInto = nullptr;
    // A bitmap whose every pixel is one colour has that colour here and its image not yet written:
    // pages are filled whole once or twice before anything is drawn on them. While it is set, the
    // pixels of placed already hold what was copied over the colour (the tiles of a watermark), so the
    // fill leaves them out.
    std::optional<QRgb> solid;
    QRegion placed;
    // DIB section: the caller's view of the pixels, kept in step with image around each drawing call.
    bool dib = false;
    BITMAPINFOHEADER header{};
    std::vector<RGBQUAD> colors;
    BYTE* bits = nullptr;
    DWORD stride = 0;
    // Brings image up to date before its pixels are read or written: from a DIB section's bits, or
    // with the one colour of all its pixels.
    void sync();
    // Every pixel becomes colour, to be written when first needed.
    void fillWith(QRgb colour)
    {
        solid = colour;
        placed = QRegion();
    }
    // As sync, for a call that is about to write every pixel of overwritten whatever it holds: a
    // pending fill leaves them out.
    void syncBeside(const QRegion& overwritten);
    void pull();  // bits -> image
    void push();  // image -> bits
};

// ---- handle table ----
// Registers a new object and returns it; handles are the objects' addresses, checked against the table.
template <class T> T* Register(std::unique_ptr<T> obj);
void Register(Object* obj);
Object* Lookup(HGDIOBJ h, DWORD type = 0);
void Retain(Object* obj);
void Release(Object* obj);
void Destroy(Object* obj);  // deletes the object and forgets its handle
bool IsLiveDC(const void* p);
void RegisterDC(DC* dc);
void ForgetDC(DC* dc);

template <class T> inline T* Register(std::unique_ptr<T> obj)
{
    T* p = obj.release();
    Register(static_cast<Object*>(p));
    return p;
}
inline HGDIOBJ Handle(Object* o) { return static_cast<void*>(o); }
template <class T> inline T* As(HGDIOBJ h, DWORD type) { return static_cast<T*>(Lookup(h, type)); }

Object* Stock(int index);
// RGN_AND, RGN_OR, RGN_XOR or RGN_DIFF of two regions; none for another mode.
std::optional<QRegion> CombineRegions(const QRegion& a, const QRegion& b, int mode);
Bitmap* StockBitmap();

// ---- device contexts ----
struct Caps {
    int horzRes = 1920;
    int vertRes = 1080;
    int dpiX = 96;
    int dpiY = 96;
    int physWidth = 0;
    int physHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
    int technology = DT_RASDISPLAY;
};
Caps ScreenCaps();

struct State {
    int mapMode = MM_TEXT;
    POINT wOrg{0, 0};
    POINT vOrg{0, 0};
    SIZE wExt{1, 1};
    SIZE vExt{1, 1};
    Pen* pen = nullptr;
    Brush* brush = nullptr;
    Font* font = nullptr;
    Bitmap* bitmap = nullptr;
    COLORREF bkColor = 0xFFFFFF;
    COLORREF textColor = 0;
    int bkMode = OPAQUE;
    int fillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    POINT pos{0, 0};
    std::optional<QRegion> clip;  // device units; none: the whole surface
};

// A printer: the painter over a paged device, begun at StartDoc and ended at EndDoc.
struct Paged {
    QPagedPaintDevice* device = nullptr;
    QPainter painter;
    bool inDoc = false;
    bool inPage = false;
    int pages = 0;
};

struct DC {
    DWORD kind = OBJ_DC;  // OBJ_DC or OBJ_MEMDC
    Caps caps;
    bool printing = false;
    bool info = false;  // the screen's information context: nothing to draw on
    State s;
    std::vector<State> saved;
    QImage* external = nullptr;  // a window's image
    GdiFlushHandler flush;
    std::unique_ptr<Paged> paged;
    CDC* wrapper = nullptr;
    std::unique_ptr<CDC> temporary;

    ~DC();
    // The image drawing calls write to (null for printers and empty memory contexts), brought up to
    // date first (Bitmap::sync).
    QImage* surface();
    // The same, for a call that writes every pixel of overwritten (device pixels) whatever they hold.
    QImage* surfaceBeside(const QRegion& overwritten);
    // The same image as it stands, for calls that replace every pixel or need only its size.
    QImage* target();
    // After a drawing call: writes a DIB section back and tells a window what changed.
    void changed(const QRect& deviceRect);
    QPainter* vector() { return paged && paged->inDoc ? &paged->painter : nullptr; }
    bool drawable() { return vector() != nullptr || surface() != nullptr; }

    // Mapping, logical <-> device, rounding to nearest (halves away from zero).
    POINT toDevice(LONG x, LONG y) const;
    POINT toLogical(LONG x, LONG y) const;
    int widthToDevice(int w) const;  // magnitude, by the x factor; the last answer is remembered
    int heightToDevice(int h) const; // magnitude, by the y factor
    int widthToLogical(int w) const;
    int heightToLogical(int h) const;
    int signX() const { return (s.vExt.cx < 0) != (s.wExt.cx < 0) ? -1 : 1; }
    int signY() const { return (s.vExt.cy < 0) != (s.wExt.cy < 0) ? -1 : 1; }
    QRect deviceRect(LONG l, LONG t, LONG r, LONG b) const;  // normalised, right/bottom exclusive
    QRect surfaceRect();

private:
    // widthToDevice's last width, the extents it was scaled by and the result (a pen's width is scaled
    // for every line it draws).
    mutable struct {
        int w = 0;
        LONG window = 0, viewport = 0;
        int device = 0;
    } m_lastWidth;
};
DC* AsDC(HDC h);
void Select(State& s, Object* obj);  // puts obj in s, retaining it and releasing what it replaces
void RetainState(const State& s);
void ReleaseState(const State& s);

// ---- raster routines over an RGB32 image ----
inline QRgb ToRgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }
inline COLORREF ToColorRef(QRgb c) { return RGB(BYTE(qRed(c)), BYTE(qGreen(c)), BYTE(qBlue(c))); }

// The pixels a drawing call may touch: the surface, cut by the context's clip region.
class Clip {
public:
    Clip(const QRect& surface, const std::optional<QRegion>& clip);
    bool contains(int x, int y) const;
    const QRect& bounds() const { return m_bounds; }
    // Whether the pixels are those of bounds() alone, a rectangle.
    bool rectangular() const { return !m_rects; }
    // Calls f(y, x0, x1) for each clipped piece of [x0, x1) on row y.
    template <class F> void span(int y, int x0, int x1, F&& f) const
    {
        if (y < m_bounds.top() || y > m_bounds.bottom())
            return;
        if (!m_rects) {
            int a = std::max(x0, m_bounds.left()), b = std::min(x1, m_bounds.right() + 1);
            if (a < b)
                f(y, a, b);
            return;
        }
        for (const QRect& r : *m_rects) {
            if (y < r.top() || y > r.bottom())
                continue;
            int a = std::max(x0, r.left()), b = std::min(x1, r.right() + 1);
            if (a < b)
                f(y, a, b);
        }
    }

private:
    QRect m_bounds;
    std::optional<std::vector<QRect>> m_rects;
};

using SpanSink = std::function<void(int y, int x0, int x1)>;
// Rows yMin..yMax of polygons with integer vertices, by the top-left rule: a pixel belongs to the
// polygon when its top-left corner lies inside, or on a left or top edge.
void PolygonSpans(const std::vector<std::vector<QPoint>>& polys, bool winding, int yMin, int yMax,
                  const SpanSink& out);
QRegion PolygonRegion(const std::vector<std::vector<QPoint>>& polys, bool winding);
void FillSpans(QImage& img, const Clip& clip, const std::vector<std::vector<QPoint>>& polys, bool winding,
               QRgb color);
void FillRect(QImage& img, const Clip& clip, const QRect& r, QRgb color);

// One-pixel lines from a to b without b. A dotted line (dotPhase not null) draws 3 pixels on, 3 off,
// counting through *dotPhase; the off pixels take gapColor, or stay as they are when it is null.
void CosmeticLine(QImage& img, const Clip& clip, QPoint a, QPoint b, QRgb color, int* dotPhase = nullptr,
                  const QRgb* gapColor = nullptr);
// A line of the given width in pixels, centred, with round ends: the pixels whose point nudged by
// 1/1024 pixel right and down lies within width / 2 of the segment from a to b.
void WideLine(QImage& img, const Clip& clip, QPoint a, QPoint b, int width, QRgb color);

// Raster operation code (bits 16..23 of a ternary raster operation) applied to pattern, source, dest.
QRgb Rop3(BYTE code, QRgb p, QRgb s, QRgb d);
inline bool RopUsesSource(BYTE code) { return ((code >> 2) & 0x33) != (code & 0x33); }
// dst: normalised destination; src/srcRect may be null/empty for operations without a source. The
// source is sampled at the nearest pixel; flipX/flipY mirror it.
void Blit(QImage& dst, const Clip& clip, const QRect& dstRect, const QImage* src, const QRect& srcRect,
          bool flipX, bool flipY, BYTE code, QRgb pattern);

// ---- device-independent bitmaps ----
// Reads pixel (x, y from the top) of a packed DIB; false outside it or for formats not understood.
class DibReader {
public:
    DibReader(const BITMAPINFO* bmi, const void* bits, UINT usage);
    bool valid() const { return m_valid; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    QRgb pixel(int x, int yTop) const;
    const BYTE* row(int yTop) const;
    // Pixels x .. x + n - 1 of a packed row of this DIB's depth and colours into out, as pixel() reads them.
    void decode(const BYTE* row, int x, int n, QRgb* out) const;

private:
    QRgb packedPixel(const BYTE* row, int x) const;

    bool m_valid = false;
    int m_width = 0, m_height = 0, m_bpp = 0;
    bool m_bottomUp = true;
    DWORD m_stride = 0;
    const BYTE* m_bits = nullptr;
    QRgb m_colors[256]{};
};
DWORD DibStride(LONG width, int bpp);
int DibColorCount(const BITMAPINFOHEADER& h);

void PrepareVector(DC* dc, QPainter& p);  // clip and no antialiasing for a painter over the device
Clip ClipFor(DC* dc, const QImage& img);
// Copies src's device rectangle from corner s0 to s1 onto dst's device rectangle from d0 to d1 with a
// raster operation code (src may be null when the code reads no source); corners in opposite orders
// mirror the picture.
BOOL BlitTo(DC* dst, POINT d0, POINT d1, const QImage* src, QPoint s0, QPoint s1, BYTE code);

// ---- text ----
QFont RealizeFont(DC* dc);

}  // namespace gdi
