#include "image/CRasterWmfPlayer.h"

#include "image/CRasterImageBMP.h"
#include "image/CRasterMemFile.h"
#include "image/CRasterWmf.h"
#include "image/CheckedMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kMaxObjects = 65536;

// WMF record functions played here.
enum : WORD {
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_SETBKMODE = 0x0102,
    META_SETPOLYFILLMODE = 0x0106,
    META_RESTOREDC = 0x0127,
    META_SELECTOBJECT = 0x012D,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_CREATEPALETTE = 0x00F7,
    META_DELETEOBJECT = 0x01F0,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_SETBKCOLOR = 0x0201,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_OFFSETWINDOWORG = 0x020F,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_SCALEWINDOWEXT = 0x0410,
    META_ELLIPSE = 0x0418,
    META_RECTANGLE = 0x041B,
    META_SETPIXEL = 0x041F,
    META_POLYPOLYGON = 0x0538,
    META_ROUNDRECT = 0x061C,
    META_PATBLT = 0x061D,
    META_CREATEREGION = 0x06FF,
    META_DIBSTRETCHBLT = 0x0B41,
    META_STRETCHDIB = 0x0F43,
};

// EMF record types played here.
enum : DWORD {
    EMR_HEADER = 1,
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10,
    EMR_SETVIEWPORTEXTEX = 11,
    EMR_SETVIEWPORTORGEX = 12,
    EMR_EOF = 14,
    EMR_SETPIXELV = 15,
    EMR_SETBKMODE = 18,
    EMR_SETPOLYFILLMODE = 19,
    EMR_SETBKCOLOR = 25,
    EMR_MOVETOEX = 27,
    EMR_SAVEDC = 33,
    EMR_RESTOREDC = 34,
    EMR_SELECTOBJECT = 37,
    EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_ROUNDRECT = 44,
    EMR_LINETO = 54,
    EMR_STRETCHDIBITS = 81,
    EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87,
    EMR_POLYPOLYGON16 = 91,
};

constexpr WORD PS_NULL = 5;
constexpr WORD BS_NULL = 1;
constexpr WORD BS_HATCHED = 2;
constexpr WORD OPAQUE = 2;
constexpr WORD WINDING = 2;

// Signed 16-bit parameter i of a WMF record's parameter block.
SHORT Param16(const BYTE* p, std::size_t i)
{
    return SHORT(WORD(p[2 * i] | (p[2 * i + 1] << 8)));
}

DWORD Param32(const BYTE* p, std::size_t i)
{
    return DWORD(WORD(Param16(p, i))) | (DWORD(WORD(Param16(p, i + 1))) << 16);
}

DWORD Read32(const BYTE* p)
{
    return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}

LONG ReadL(const BYTE* p)
{
    return LONG(Read32(p));
}

// Stock objects of enhanced metafiles (index with the top bit set).
bool StockObject(DWORD index, CRasterWmfPlayer::Pen& pen, CRasterWmfPlayer::Brush& brush, bool& isPen)
{
    static const COLORREF greys[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
    const DWORD n = index & 0x7FFFFFFF;
    if (n <= 4) {
        brush = CRasterWmfPlayer::Brush{0, greys[n], 0};
        isPen = false;
        return true;
    }
    if (n == 5) {
        brush = CRasterWmfPlayer::Brush{BS_NULL, 0, 0};
        isPen = false;
        return true;
    }
    if (n >= 6 && n <= 8) {
        pen = CRasterWmfPlayer::Pen{WORD(n == 8 ? PS_NULL : 0), 0, n == 6 ? 0xFFFFFFu : 0u};
        isPen = true;
        return true;
    }
    return false;
}

} // namespace

CRasterWmfPlayer::CRasterWmfPlayer(CRasterImage& image, const MetafileData& metafile)
    : m_image(image), m_meta(metafile),
      m_canvas(image, 64ull * image.GetWidth() * image.GetHeight() + (1ull << 22))
{
    if (!m_meta.enhanced) {
        // Until the metafile sets its own window, the placeable box spans the picture.
        const PlaceableMetafileHeader& h = m_meta.placeable;
        m_state.winOrgX = h.left;
        m_state.winOrgY = h.top;
        m_state.winExtX = double(h.right) - h.left;
        m_state.winExtY = double(h.bottom) - h.top;
        if (m_state.winExtX == 0)
            m_state.winExtX = 1;
        if (m_state.winExtY == 0)
            m_state.winExtY = 1;
    } else {
        const EnhancedMetafileHeader& h = m_meta.header;
        // The picture frame in reference pixels when the header can say it, else the bounds.
        if (h.millimetres[0] > 0 && h.millimetres[1] > 0 && h.device[0] > 0 && h.device[1] > 0 &&
            h.frame[2] > h.frame[0] && h.frame[3] > h.frame[1]) {
            const double sx = double(h.device[0]) / (h.millimetres[0] * 100.0);
            const double sy = double(h.device[1]) / (h.millimetres[1] * 100.0);
            m_frameLeft = h.frame[0] * sx;
            m_frameTop = h.frame[1] * sy;
            m_frameWidth = (double(h.frame[2]) - h.frame[0]) * sx;
            m_frameHeight = (double(h.frame[3]) - h.frame[1]) * sy;
        } else {
            m_frameLeft = h.bounds[0];
            m_frameTop = h.bounds[1];
            m_frameWidth = std::max(1.0, double(h.bounds[2]) - h.bounds[0]);
            m_frameHeight = std::max(1.0, double(h.bounds[3]) - h.bounds[1]);
        }
    }
}

LONG CRasterWmfPlayer::Play()
{
    return m_meta.enhanced ? PlayEmf() : PlayWmf();
}

WmfPoint CRasterWmfPlayer::Map(double x, double y) const
{
    const double w = m_canvas.Width(), h = m_canvas.Height();
    if (!m_meta.enhanced)
        return WmfPoint{(x - m_state.winOrgX) * w / m_state.winExtX, (y - m_state.winOrgY) * h / m_state.winExtY};
    const double dx = m_state.vpOrgX + (x - m_state.winOrgX) * m_state.vpExtX / m_state.winExtX;
    const double dy = m_state.vpOrgY + (y - m_state.winOrgY) * m_state.vpExtY / m_state.winExtY;
    return WmfPoint{(dx - m_frameLeft) * w / m_frameWidth, (dy - m_frameTop) * h / m_frameHeight};
}

double CRasterWmfPlayer::PenPixels() const
{
    const WmfPoint a = Map(0, 0), b = Map(m_state.pen.width, 0);
    return std::fabs(b.x - a.x);
}

int CRasterWmfPlayer::AddObject(const Object& object)
{
    for (std::size_t i = 0; i < m_objects.size(); ++i)
        if (m_objects[i].kind == Object::None) {
            m_objects[i] = object;
            return int(i);
        }
    if (m_objects.size() >= kMaxObjects)
        return -1;
    m_objects.push_back(object);
    return int(m_objects.size() - 1);
}

void CRasterWmfPlayer::SetObject(DWORD index, const Object& object)
{
    if (index >= kMaxObjects)
        return;
    if (index >= m_objects.size())
        m_objects.resize(std::size_t(index) + 1);
    m_objects[index] = object;
}

// which < 0: that many levels back; otherwise the saved state of that number (1 = first saved).
void CRasterWmfPlayer::RestoreDc(LONG which)
{
    const LONG depth = LONG(m_saved.size());
    const LONG target = which < 0 ? depth + which : which - 1;
    if (target >= 0 && target < depth) {
        m_state = m_saved[std::size_t(target)];
        m_saved.resize(std::size_t(target));
    }
}

void CRasterWmfPlayer::Select(const Object& object)
{
    if (object.kind == Object::PenObject)
        m_state.pen = object.pen;
    else if (object.kind == Object::BrushObject)
        m_state.brush = object.brush;
}

// Fills with the current brush, then outlines with the current pen.
void CRasterWmfPlayer::DrawShape(const std::vector<std::vector<WmfPoint>>& logical, bool closed)
{
    std::vector<std::vector<WmfPoint>> device(logical.size());
    for (std::size_t i = 0; i < logical.size(); ++i)
        for (const WmfPoint& p : logical[i])
            device[i].push_back(Map(p.x, p.y));
    const bool winding = m_state.fillMode == WINDING;
    if (closed && m_state.brush.style != BS_NULL) {
        if (m_state.brush.style == BS_HATCHED)
            m_canvas.HatchPolygons(device, winding, m_state.brush.hatch, m_state.brush.color,
                                   m_state.bkMode == OPAQUE ? LONG(m_state.bkColor & 0xFFFFFF) : -1);
        else
            m_canvas.FillPolygons(device, winding, m_state.brush.color);
    }
    if (m_state.pen.style == PS_NULL)
        return;
    const double width = PenPixels();
    for (const auto& poly : device) {
        const std::size_t n = poly.size();
        for (std::size_t i = 0; i + 1 < n && !m_canvas.Exhausted(); ++i)
            m_canvas.Line(poly[i], poly[i + 1], width, m_state.pen.color);
        if (closed && n > 2)
            m_canvas.Line(poly[n - 1], poly[0], width, m_state.pen.color);
        if (n == 1)
            m_canvas.Line(poly[0], poly[0], width, m_state.pen.color);
    }
}

void CRasterWmfPlayer::DrawEllipse(double l, double t, double r, double b)
{
    const double cx = (l + r) / 2, cy = (t + b) / 2, rx = std::fabs(r - l) / 2, ry = std::fabs(b - t) / 2;
    const WmfPoint a = Map(l, t), c = Map(r, b);
    const double size = std::fabs(c.x - a.x) + std::fabs(c.y - a.y);
    const int n = int(std::clamp(size, 16.0, 720.0));
    std::vector<std::vector<WmfPoint>> poly(1);
    for (int i = 0; i < n; ++i) {
        const double angle = 2 * kPi * i / n;
        poly[0].push_back(WmfPoint{cx + rx * std::cos(angle), cy + ry * std::sin(angle)});
    }
    DrawShape(poly, true);
}

void CRasterWmfPlayer::DrawRoundRect(double l, double t, double r, double b, double w, double h)
{
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    const double rx = std::min(std::fabs(w) / 2, (r - l) / 2), ry = std::min(std::fabs(h) / 2, (b - t) / 2);
    std::vector<std::vector<WmfPoint>> poly(1);
    const double centres[4][2] = {{r - rx, t + ry}, {r - rx, b - ry}, {l + rx, b - ry}, {l + rx, t + ry}};
    for (int corner = 0; corner < 4; ++corner)
        for (int i = 0; i <= 8; ++i) {
            const double angle = kPi / 2 * (corner - 1) + kPi / 2 * i / 8;
            poly[0].push_back(WmfPoint{centres[corner][0] + rx * std::cos(angle), centres[corner][1] + ry * std::sin(angle)});
        }
    DrawShape(poly, true);
}

void CRasterWmfPlayer::FillRect(double l, double t, double r, double b, COLORREF color)
{
    const WmfPoint a = Map(l, t), c = Map(r, b);
    m_canvas.FillPolygons({{a, {c.x, a.y}, c, {a.x, c.y}}}, false, color);
}

// A device-independent bitmap (information header, palette, bits) drawn into a destination
// rectangle, nearest-neighbour; the source rectangle counts rows from the bottom or from the top.
void CRasterWmfPlayer::StretchDib(const BYTE* dib, std::size_t size, double dx, double dy, double dw, double dh,
                                  LONG sx, LONG sy, LONG sw, LONG sh, bool srcFromBottom)
{
    // The bitmap's own size is paid for before it is decoded, so that a metafile of many bitmaps
    // that claim to be huge cannot keep the decoder busy.
    if (size < 40 || sw == 0 || sh == 0 || m_canvas.Exhausted())
        return;
    const bool core = Read32(dib) == 12;
    const std::int64_t declaredW = core ? Param16(dib + 4, 0) : LONG(Read32(dib + 4));
    const std::int64_t declaredH = core ? Param16(dib + 4, 1) : LONG(Read32(dib + 8));
    if (!m_canvas.Afford(std::uint64_t(std::llabs(declaredW)) * std::uint64_t(std::llabs(declaredH))))
        return;
    CRasterImage bitmap;
    CRasterMemFile stream(dib, DWORD(std::min<std::size_t>(size, 0x7FFFFFFF)));
    if (!DecodeBmp(bitmap, &stream))
        return;
    const LONG bw = LONG(bitmap.GetWidth()), bh = LONG(bitmap.GetHeight());
    const WmfPoint a = Map(dx, dy), b = Map(dx + dw, dy + dh);
    const LONG x0 = std::max<LONG>(0, LONG(std::ceil(std::min(a.x, b.x) - 0.5)));
    const LONG x1 = std::min<LONG>(m_canvas.Width(), LONG(std::ceil(std::max(a.x, b.x) - 0.5)));
    const LONG y0 = std::max<LONG>(0, LONG(std::ceil(std::min(a.y, b.y) - 0.5)));
    const LONG y1 = std::min<LONG>(m_canvas.Height(), LONG(std::ceil(std::max(a.y, b.y) - 0.5)));
    if (x0 >= x1 || y0 >= y1)
        return;
    if (!m_canvas.Afford(std::uint64_t(x1 - x0) * std::uint64_t(y1 - y0)))
        return;
    const double spanX = b.x - a.x, spanY = b.y - a.y;
    const LONG topRow = srcFromBottom ? bh - sy - sh : sy;
    for (LONG y = y0; y < y1; ++y) {
        const double v = (y + 0.5 - a.y) / spanY; // 0 at the destination's first edge
        const LONG row = bh - 1 - (topRow + LONG(std::floor(v * sh)));
        for (LONG x = x0; x < x1; ++x) {
            const double u = (x + 0.5 - a.x) / spanX;
            const LONG col = sx + LONG(std::floor(u * sw));
            if (col < 0 || col >= bw || row < 0 || row >= bh)
                continue;
            const RGBQUAD c = bitmap.GetPixelColor(col, row, false);
            m_canvas.SetPixel(x, y, RGB(c.rgbRed, c.rgbGreen, c.rgbBlue));
        }
    }
}

LONG CRasterWmfPlayer::PlayWmf()
{
    const std::vector<BYTE>& bytes = m_meta.bytes;
    if (bytes.size() < 18)
        return 0;
    const std::size_t headerWords = WORD(bytes[2] | (bytes[3] << 8));
    const std::size_t objectCount = WORD(bytes[10] | (bytes[11] << 8));
    m_objects.reserve(std::min<std::size_t>(objectCount, 1024));
    std::size_t pos = std::max<std::size_t>(18, headerWords * 2);
    LONG played = 0;
    while (pos + 6 <= bytes.size() && !m_canvas.Exhausted()) {
        if (m_image.GetEscape())
            break;
        const std::uint64_t words = Read32(&bytes[pos]);
        const WORD function = WORD(bytes[pos + 4] | (bytes[pos + 5] << 8));
        if (words < 3 || words * 2 > bytes.size() - pos)
            break;
        const BYTE* p = &bytes[pos + 6];
        const std::size_t n = std::size_t(words - 3); // parameter count in 16-bit words
        pos += std::size_t(words) * 2;
        if (function == META_EOF)
            break;
        bool done = true;
        switch (function) {
        case META_SAVEDC: m_saved.push_back(m_state); break;
        case META_RESTOREDC:
            if (n >= 1)
                RestoreDc(Param16(p, 0));
            break;
        case META_SETBKMODE: if (n >= 1) m_state.bkMode = WORD(Param16(p, 0)); break;
        case META_SETPOLYFILLMODE: if (n >= 1) m_state.fillMode = WORD(Param16(p, 0)); break;
        case META_SETBKCOLOR: if (n >= 2) m_state.bkColor = Param32(p, 0) & 0xFFFFFF; break;
        case META_SETWINDOWORG:
            if (n >= 2) {
                m_state.winOrgY = Param16(p, 0);
                m_state.winOrgX = Param16(p, 1);
            }
            break;
        case META_OFFSETWINDOWORG:
            if (n >= 2) {
                m_state.winOrgY += Param16(p, 0);
                m_state.winOrgX += Param16(p, 1);
            }
            break;
        case META_SETWINDOWEXT:
            if (n >= 2 && Param16(p, 0) != 0 && Param16(p, 1) != 0) {
                m_state.winExtY = Param16(p, 0);
                m_state.winExtX = Param16(p, 1);
            }
            break;
        case META_SCALEWINDOWEXT:
            if (n >= 4 && Param16(p, 0) && Param16(p, 1) && Param16(p, 2) && Param16(p, 3)) {
                // yDenom, yNum, xDenom, xNum
                const double ex = m_state.winExtX * Param16(p, 3) / Param16(p, 2);
                const double ey = m_state.winExtY * Param16(p, 1) / Param16(p, 0);
                if (ex != 0 && ey != 0) {
                    m_state.winExtX = ex;
                    m_state.winExtY = ey;
                }
            }
            break;
        case META_MOVETO:
            if (n >= 2)
                m_state.position = WmfPoint{double(Param16(p, 1)), double(Param16(p, 0))};
            break;
        case META_LINETO:
            if (n >= 2) {
                const WmfPoint to{double(Param16(p, 1)), double(Param16(p, 0))};
                DrawShape({{m_state.position, to}}, false);
                m_state.position = to;
            }
            break;
        case META_RECTANGLE:
            if (n >= 4) {
                const double b = Param16(p, 0), r = Param16(p, 1), t = Param16(p, 2), l = Param16(p, 3);
                DrawShape({{{l, t}, {r, t}, {r, b}, {l, b}}}, true);
            }
            break;
        case META_ROUNDRECT:
            if (n >= 6)
                DrawRoundRect(Param16(p, 5), Param16(p, 4), Param16(p, 3), Param16(p, 2), Param16(p, 1), Param16(p, 0));
            break;
        case META_ELLIPSE:
            if (n >= 4)
                DrawEllipse(Param16(p, 3), Param16(p, 2), Param16(p, 1), Param16(p, 0));
            break;
        case META_SETPIXEL:
            if (n >= 4) {
                const WmfPoint d = Map(Param16(p, 3), Param16(p, 2));
                m_canvas.SetPixel(LONG(std::floor(d.x)), LONG(std::floor(d.y)), Param32(p, 0) & 0xFFFFFF);
            }
            break;
        case META_POLYGON:
        case META_POLYLINE:
            if (n >= 1) {
                const std::size_t count = WORD(Param16(p, 0));
                if (1 + 2 * count > n)
                    break;
                std::vector<std::vector<WmfPoint>> poly(1);
                for (std::size_t i = 0; i < count; ++i)
                    poly[0].push_back(WmfPoint{double(Param16(p, 1 + 2 * i)), double(Param16(p, 2 + 2 * i))});
                DrawShape(poly, function == META_POLYGON);
            }
            break;
        case META_POLYPOLYGON:
            if (n >= 1) {
                const std::size_t polys = WORD(Param16(p, 0));
                if (1 + polys > n)
                    break;
                std::size_t at = 1 + polys, total = 0;
                for (std::size_t i = 0; i < polys; ++i)
                    total += WORD(Param16(p, 1 + i));
                if (at + 2 * total > n)
                    break;
                std::vector<std::vector<WmfPoint>> shapes(polys);
                for (std::size_t i = 0; i < polys; ++i)
                    for (std::size_t k = WORD(Param16(p, 1 + i)); k > 0; --k, at += 2)
                        shapes[i].push_back(WmfPoint{double(Param16(p, at)), double(Param16(p, at + 1))});
                DrawShape(shapes, true);
            }
            break;
        case META_PATBLT:
            if (n >= 6) {
                const DWORD rop = Param32(p, 0);
                const double h = Param16(p, 2), w = Param16(p, 3), y = Param16(p, 4), x = Param16(p, 5);
                if (rop == 0x00F00021 && m_state.brush.style != BS_NULL)
                    FillRect(x, y, x + w, y + h, m_state.brush.color);
                else if (rop == 0x00000042)
                    FillRect(x, y, x + w, y + h, 0);
                else if (rop == 0x00FF0062)
                    FillRect(x, y, x + w, y + h, 0xFFFFFF);
                else
                    done = false;
            }
            break;
        case META_CREATEPENINDIRECT:
            if (n >= 5) {
                Object o;
                o.kind = Object::PenObject;
                o.pen = Pen{WORD(Param16(p, 0) & 0x0F), double(std::abs(Param16(p, 1))), Param32(p, 3) & 0xFFFFFF};
                AddObject(o);
            } else {
                AddObject(Object{Object::Other, {}, {}});
            }
            break;
        case META_CREATEBRUSHINDIRECT:
            if (n >= 4) {
                Object o;
                o.kind = Object::BrushObject;
                o.brush = Brush{WORD(Param16(p, 0)), Param32(p, 1) & 0xFFFFFF, WORD(Param16(p, 3))};
                if (o.brush.style > BS_HATCHED)
                    o.brush.style = BS_NULL; // pattern brushes are not drawn
                AddObject(o);
            } else {
                AddObject(Object{Object::Other, {}, {}});
            }
            break;
        case META_DIBCREATEPATTERNBRUSH:
        case META_CREATEPATTERNBRUSH: {
            Object o;
            o.kind = Object::BrushObject;
            o.brush.style = BS_NULL;
            AddObject(o);
            done = false;
            break;
        }
        case META_CREATEFONTINDIRECT:
        case META_CREATEPALETTE:
        case META_CREATEREGION:
            AddObject(Object{Object::Other, {}, {}});
            break;
        case META_SELECTOBJECT:
            if (n >= 1) {
                const std::size_t i = WORD(Param16(p, 0));
                if (i < m_objects.size())
                    Select(m_objects[i]);
            }
            break;
        case META_DELETEOBJECT:
            if (n >= 1) {
                const std::size_t i = WORD(Param16(p, 0));
                if (i < m_objects.size())
                    m_objects[i].kind = Object::None;
            }
            break;
        case META_STRETCHDIB:
            // rop, usage, srcH, srcW, srcY, srcX, dstH, dstW, dstY, dstX, bitmap
            if (n > 11 + 20)
                StretchDib(p + 22, (n - 11) * 2, Param16(p, 10), Param16(p, 9), Param16(p, 8), Param16(p, 7),
                           Param16(p, 6), Param16(p, 5), Param16(p, 4), Param16(p, 3), true);
            break;
        case META_DIBSTRETCHBLT:
            // rop, srcH, srcW, srcY, srcX, dstH, dstW, dstY, dstX, bitmap
            if (n > 10 + 20)
                StretchDib(p + 20, (n - 10) * 2, Param16(p, 9), Param16(p, 8), Param16(p, 7), Param16(p, 6),
                           Param16(p, 5), Param16(p, 4), Param16(p, 3), Param16(p, 2), false);
            break;
        default: done = false; break;
        }
        if (done)
            ++played;
    }
    return played;
}

LONG CRasterWmfPlayer::PlayEmf()
{
    const std::vector<BYTE>& bytes = m_meta.bytes;
    std::size_t pos = 0;
    LONG played = 0;
    while (pos + 8 <= bytes.size() && !m_canvas.Exhausted()) {
        if (m_image.GetEscape())
            break;
        const DWORD type = Read32(&bytes[pos]);
        const DWORD size = Read32(&bytes[pos + 4]);
        if (size < 8 || size > bytes.size() - pos)
            break;
        const BYTE* p = &bytes[pos + 8];
        const std::size_t n = size - 8; // parameter bytes
        pos += size;
        if (type == EMR_EOF)
            break;
        bool done = true;
        auto point = [&](std::size_t at) { return WmfPoint{double(ReadL(p + at)), double(ReadL(p + at + 4))}; };
        switch (type) {
        case EMR_HEADER: break;
        case EMR_SAVEDC: m_saved.push_back(m_state); break;
        case EMR_RESTOREDC:
            if (n >= 4)
                RestoreDc(ReadL(p));
            break;
        case EMR_SETBKMODE: if (n >= 4) m_state.bkMode = WORD(Read32(p)); break;
        case EMR_SETPOLYFILLMODE: if (n >= 4) m_state.fillMode = WORD(Read32(p)); break;
        case EMR_SETBKCOLOR: if (n >= 4) m_state.bkColor = Read32(p) & 0xFFFFFF; break;
        case EMR_SETWINDOWEXTEX:
            if (n >= 8 && ReadL(p) != 0 && ReadL(p + 4) != 0) {
                m_state.winExtX = ReadL(p);
                m_state.winExtY = ReadL(p + 4);
            }
            break;
        case EMR_SETVIEWPORTEXTEX:
            if (n >= 8 && ReadL(p) != 0 && ReadL(p + 4) != 0) {
                m_state.vpExtX = ReadL(p);
                m_state.vpExtY = ReadL(p + 4);
            }
            break;
        case EMR_SETWINDOWORGEX:
            if (n >= 8) {
                m_state.winOrgX = ReadL(p);
                m_state.winOrgY = ReadL(p + 4);
            }
            break;
        case EMR_SETVIEWPORTORGEX:
            if (n >= 8) {
                m_state.vpOrgX = ReadL(p);
                m_state.vpOrgY = ReadL(p + 4);
            }
            break;
        case EMR_MOVETOEX: if (n >= 8) m_state.position = point(0); break;
        case EMR_LINETO:
            if (n >= 8) {
                const WmfPoint to = point(0);
                DrawShape({{m_state.position, to}}, false);
                m_state.position = to;
            }
            break;
        case EMR_SETPIXELV:
            if (n >= 12) {
                const WmfPoint d = Map(ReadL(p), ReadL(p + 4));
                m_canvas.SetPixel(LONG(std::floor(std::clamp(d.x, -1.0, 1e7))), LONG(std::floor(std::clamp(d.y, -1.0, 1e7))),
                                  Read32(p + 8) & 0xFFFFFF);
            }
            break;
        case EMR_RECTANGLE:
        case EMR_ELLIPSE:
        case EMR_ROUNDRECT:
            if (n >= (type == EMR_ROUNDRECT ? 24u : 16u)) {
                const double l = ReadL(p), t = ReadL(p + 4), r = ReadL(p + 8), b = ReadL(p + 12);
                if (type == EMR_RECTANGLE)
                    DrawShape({{{l, t}, {r, t}, {r, b}, {l, b}}}, true);
                else if (type == EMR_ELLIPSE)
                    DrawEllipse(l, t, r, b);
                else
                    DrawRoundRect(l, t, r, b, ReadL(p + 16), ReadL(p + 20));
            }
            break;
        case EMR_POLYGON:
        case EMR_POLYLINE:
        case EMR_POLYGON16:
        case EMR_POLYLINE16:
            if (n >= 20) {
                const bool small = type == EMR_POLYGON16 || type == EMR_POLYLINE16;
                const std::uint64_t count = Read32(p + 16), each = small ? 4 : 8;
                if (count * each > n - 20)
                    break;
                std::vector<std::vector<WmfPoint>> poly(1);
                for (std::size_t i = 0; i < count; ++i) {
                    const BYTE* q = p + 20 + i * each;
                    poly[0].push_back(small ? WmfPoint{double(SHORT(q[0] | (q[1] << 8))), double(SHORT(q[2] | (q[3] << 8)))}
                                            : WmfPoint{double(ReadL(q)), double(ReadL(q + 4))});
                }
                DrawShape(poly, type == EMR_POLYGON || type == EMR_POLYGON16);
            }
            break;
        case EMR_POLYPOLYGON16:
            if (n >= 24) {
                const std::uint64_t polys = Read32(p + 16), total = Read32(p + 20);
                if (polys * 4 > n - 24 || total * 4 > n - 24 - polys * 4)
                    break;
                std::uint64_t sum = 0;
                for (std::size_t i = 0; i < polys; ++i)
                    sum += Read32(p + 24 + i * 4);
                if (sum > total)
                    break;
                std::vector<std::vector<WmfPoint>> shapes(polys);
                const BYTE* q = p + 24 + polys * 4;
                for (std::size_t i = 0; i < polys; ++i)
                    for (DWORD k = Read32(p + 24 + i * 4); k > 0; --k, q += 4)
                        shapes[i].push_back(WmfPoint{double(SHORT(q[0] | (q[1] << 8))), double(SHORT(q[2] | (q[3] << 8)))});
                DrawShape(shapes, true);
            }
            break;
        case EMR_CREATEPEN:
            if (n >= 20) {
                const DWORD index = Read32(p);
                Object o;
                o.kind = Object::PenObject;
                o.pen = Pen{WORD(Read32(p + 4) & 0x0F), double(std::labs(long(ReadL(p + 8)))), Read32(p + 16) & 0xFFFFFF};
                SetObject(index, o);
            }
            break;
        case EMR_CREATEBRUSHINDIRECT:
            if (n >= 16) {
                const DWORD index = Read32(p);
                Object o;
                o.kind = Object::BrushObject;
                o.brush = Brush{WORD(Read32(p + 4)), Read32(p + 8) & 0xFFFFFF, WORD(Read32(p + 12))};
                if (o.brush.style > BS_HATCHED)
                    o.brush.style = BS_NULL;
                SetObject(index, o);
            }
            break;
        case EMR_SELECTOBJECT:
            if (n >= 4) {
                const DWORD index = Read32(p);
                if (index & 0x80000000) {
                    bool isPen = false;
                    Pen pen;
                    Brush brush;
                    if (StockObject(index, pen, brush, isPen)) {
                        if (isPen)
                            m_state.pen = pen;
                        else
                            m_state.brush = brush;
                    }
                } else if (index < m_objects.size()) {
                    Select(m_objects[index]);
                }
            }
            break;
        case EMR_DELETEOBJECT:
            if (n >= 4 && Read32(p) < m_objects.size())
                m_objects[Read32(p)].kind = Object::None;
            break;
        case EMR_STRETCHDIBITS:
            if (n >= 72) {
                const LONG xDest = ReadL(p + 16), yDest = ReadL(p + 20), xSrc = ReadL(p + 24), ySrc = ReadL(p + 28);
                const LONG cxSrc = ReadL(p + 32), cySrc = ReadL(p + 36);
                const std::uint64_t offBmi = Read32(p + 40), cbBmi = Read32(p + 44), offBits = Read32(p + 48),
                                    cbBits = Read32(p + 52);
                const LONG cxDest = ReadL(p + 64), cyDest = ReadL(p + 68);
                // Offsets count from the record's start; header, palette and bits are joined into one DIB.
                if (offBmi < 8 || offBits < 8 || offBmi + cbBmi > size || offBits + cbBits > size)
                    break;
                std::vector<BYTE> dib(p - 8 + offBmi, p - 8 + offBmi + cbBmi);
                dib.insert(dib.end(), p - 8 + offBits, p - 8 + offBits + cbBits);
                StretchDib(dib.data(), dib.size(), xDest, yDest, cxDest, cyDest, xSrc, ySrc, cxSrc, cySrc, true);
            }
            break;
        default: done = false; break;
        }
        if (done)
            ++played;
    }
    return played;
}
