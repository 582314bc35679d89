// The handle table, stock objects, pens, brushes, fonts, regions and the object queries.
#include "platform/gdi/CDC.h"
#include "platform/gdi/CGdiObject.h"
#include "platform/gdi/GdiDevice.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <unordered_set>

namespace gdi {

namespace {

// The live handles of one kind. Drawing looks the same few handles up again and again (a page of
// walls makes hundreds of thousands of calls), so recent hits are remembered in a small table that
// forgetting a handle clears.
class LiveSet {
public:
    void insert(const void* p) { m_live.insert(p); }
    void erase(const void* p)
    {
        m_live.erase(p);
        if (m_recent[Slot(p)] == p)
            m_recent[Slot(p)] = nullptr;
    }
    bool contains(const void* p)
    {
        if (!p)
            return false;
        if (m_recent[Slot(p)] == p)
            return true;
        if (!m_live.count(p))
            return false;
        m_recent[Slot(p)] = p;
        return true;
    }

private:
    static size_t Slot(const void* p) { return (reinterpret_cast<std::uintptr_t>(p) >> 4) % kRecent; }
    static constexpr size_t kRecent = 64;
    std::unordered_set<const void*> m_live;
    std::array<const void*, kRecent> m_recent{};
};

LiveSet& LiveObjects()
{
    static LiveSet live;
    return live;
}

LiveSet& LiveDCs()
{
    static LiveSet live;
    return live;
}

std::unique_ptr<Pen> NewPen(int style, int width, COLORREF color)
{
    auto p = std::make_unique<Pen>();
    p->style = style & PS_STYLE_MASK;
    p->width = width < 0 ? 0 : width;
    p->color = color & 0xFFFFFF;
    return p;
}

std::unique_ptr<Brush> NewBrush(UINT style, COLORREF color)
{
    auto b = std::make_unique<Brush>();
    b->style = style;
    b->color = color & 0xFFFFFF;
    return b;
}

std::unique_ptr<Font> NewStockFont(int height, LONG weight, BYTE pitchAndFamily, const char* face)
{
    auto f = std::make_unique<Font>();
    f->lf.lfHeight = height;
    f->lf.lfWeight = weight;
    f->lf.lfPitchAndFamily = pitchAndFamily;
    std::strncpy(f->lf.lfFaceName, face, LF_FACESIZE - 1);
    f->deviceUnits = true;
    return f;
}

}  // namespace

Object::~Object()
{
    if (wrapper)
        wrapper->m_hObject = nullptr;
    if (temporary)
        temporary->m_hObject = nullptr;
}

void Register(Object* obj) { LiveObjects().insert(obj); }

Object* Lookup(HGDIOBJ h, DWORD type)
{
    if (!LiveObjects().contains(h))
        return nullptr;
    Object* o = static_cast<Object*>(h);
    return type == 0 || o->type == type ? o : nullptr;
}

void Retain(Object* obj)
{
    if (obj)
        ++obj->selections;
}

void Release(Object* obj)
{
    if (!obj)
        return;
    if (--obj->selections <= 0 && obj->deletePending)
        Destroy(obj);
}

void Destroy(Object* obj)
{
    LiveObjects().erase(obj);
    delete obj;
}

bool IsLiveDC(const void* p) { return LiveDCs().contains(p); }
void RegisterDC(DC* dc) { LiveDCs().insert(dc); }
void ForgetDC(DC* dc) { LiveDCs().erase(dc); }

const QRegion& Region::area() const
{
    if (!cached)
        cached = PolygonRegion(polygons, fillMode == WINDING);
    return *cached;
}

Object* Stock(int index)
{
    static const std::array<Object*, 18> stock = [] {
        std::array<Object*, 18> s{};
        s[WHITE_BRUSH] = Register(NewBrush(BS_SOLID, 0xFFFFFF));
        s[LTGRAY_BRUSH] = Register(NewBrush(BS_SOLID, 0xC0C0C0));
        s[GRAY_BRUSH] = Register(NewBrush(BS_SOLID, 0x808080));
        s[DKGRAY_BRUSH] = Register(NewBrush(BS_SOLID, 0x404040));
        s[BLACK_BRUSH] = Register(NewBrush(BS_SOLID, 0x000000));
        s[NULL_BRUSH] = Register(NewBrush(BS_NULL, 0));
        s[WHITE_PEN] = Register(NewPen(PS_SOLID, 0, 0xFFFFFF));
        s[BLACK_PEN] = Register(NewPen(PS_SOLID, 0, 0x000000));
        s[NULL_PEN] = Register(NewPen(PS_NULL, 0, 0));
        s[OEM_FIXED_FONT] = Register(NewStockFont(16, FW_NORMAL, FIXED_PITCH | FF_MODERN, "DejaVu Sans Mono"));
        s[ANSI_FIXED_FONT] = Register(NewStockFont(16, FW_NORMAL, FIXED_PITCH | FF_MODERN, "DejaVu Sans Mono"));
        s[ANSI_VAR_FONT] = Register(NewStockFont(16, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "DejaVu Sans"));
        s[SYSTEM_FONT] = Register(NewStockFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "DejaVu Sans"));
        s[DEVICE_DEFAULT_FONT] = Register(NewStockFont(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "DejaVu Sans"));
        s[DEFAULT_PALETTE] = Register(std::make_unique<Palette>());
        s[SYSTEM_FIXED_FONT] = Register(NewStockFont(16, FW_NORMAL, FIXED_PITCH | FF_MODERN, "DejaVu Sans Mono"));
        s[DEFAULT_GUI_FONT] = Register(NewStockFont(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "DejaVu Sans"));
        for (Object* o : s)
            if (o)
                o->stock = true;
        return s;
    }();
    return index >= 0 && index < int(stock.size()) ? stock[size_t(index)] : nullptr;
}

Bitmap* StockBitmap()
{
    static Bitmap* bitmap = [] {
        auto b = std::make_unique<Bitmap>();
        b->image = QImage(1, 1, QImage::Format_RGB32);
        b->image.fill(0xFFFFFFFFu);
        b->bitsPixel = 1;
        b->stock = true;
        return Register(std::move(b));
    }();
    return bitmap;
}

std::optional<QRegion> CombineRegions(const QRegion& a, const QRegion& b, int mode)
{
    switch (mode) {
    case RGN_AND: return a.intersected(b);
    case RGN_OR: return a.united(b);
    case RGN_XOR: return a.xored(b);
    case RGN_DIFF: return a.subtracted(b);
    default: return std::nullopt;
    }
}

}  // namespace gdi

using namespace gdi;

HGDIOBJ GetStockObject(int index) { return Handle(Stock(index)); }

DWORD GetObjectType(HGDIOBJ h)
{
    if (IsLiveDC(h))
        return static_cast<DC*>(h)->kind;
    Object* o = Lookup(h);
    return o ? o->type : 0;
}

BOOL DeleteObject(HGDIOBJ h)
{
    Object* o = Lookup(h);
    if (!o)
        return FALSE;
    if (o->stock)
        return TRUE;
    // An object still selected somewhere goes when the last context lets it go.
    if (o->selections > 0) {
        o->deletePending = true;
        return TRUE;
    }
    Destroy(o);
    return TRUE;
}

int GetObject(HGDIOBJ h, int size, void* out)
{
    Object* o = Lookup(h);
    if (!o || size < 0)
        return 0;
    auto give = [&](const void* data, int n) {
        if (!out)
            return n;
        if (size < n)
            n = size;
        std::memcpy(out, data, size_t(n));
        return n;
    };
    switch (o->type) {
    case OBJ_PEN: {
        auto* p = static_cast<Pen*>(o);
        LOGPEN lp{UINT(p->style), POINT{p->width, 0}, p->color};
        return give(&lp, sizeof lp);
    }
    case OBJ_BRUSH: {
        auto* b = static_cast<Brush*>(o);
        LOGBRUSH lb{b->style, b->color, 0};
        return give(&lb, sizeof lb);
    }
    case OBJ_FONT:
        return give(&static_cast<Font*>(o)->lf, sizeof(LOGFONTA));
    case OBJ_BITMAP: {
        auto* b = static_cast<Bitmap*>(o);
        DIBSECTION ds{};
        ds.dsBm.bmWidth = b->image.width();
        ds.dsBm.bmHeight = b->image.height();
        ds.dsBm.bmPlanes = 1;
        ds.dsBm.bmBitsPixel = WORD(b->bitsPixel);
        if (b->dib) {
            ds.dsBm.bmWidthBytes = LONG(b->stride);
            ds.dsBm.bmBits = b->bits;
            ds.dsBmih = b->header;
            ds.dsBmih.biSizeImage = b->stride * DWORD(b->image.height());
            if (out && size >= int(sizeof(DIBSECTION)))
                return give(&ds, sizeof ds);
        } else {
            // Rows of a device-dependent bitmap are counted in 16-bit words.
            ds.dsBm.bmWidthBytes = ((b->image.width() * b->bitsPixel + 15) / 16) * 2;
        }
        return give(&ds.dsBm, sizeof(BITMAP));
    }
    default:
        return 0;
    }
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    return static_cast<HPEN>(Handle(Register(NewPen(style, width, color))));
}

HPEN CreatePenIndirect(const LOGPEN* lp)
{
    return lp ? CreatePen(int(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor) : nullptr;
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    return static_cast<HBRUSH>(Handle(Register(NewBrush(BS_SOLID, color))));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb)
{
    if (!lb || (lb->lbStyle != BS_SOLID && lb->lbStyle != BS_NULL))
        return nullptr;
    return static_cast<HBRUSH>(Handle(Register(NewBrush(lb->lbStyle, lb->lbColor))));
}

HFONT CreateFontIndirect(const LOGFONTA* lf)
{
    if (!lf)
        return nullptr;
    auto f = std::make_unique<Font>();
    f->lf = *lf;
    f->lf.lfFaceName[LF_FACESIZE - 1] = '\0';
    return static_cast<HFONT>(Handle(Register(std::move(f))));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, LPCSTR face)
{
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = BYTE(italic);
    lf.lfUnderline = BYTE(underline);
    lf.lfStrikeOut = BYTE(strikeOut);
    lf.lfCharSet = BYTE(charSet);
    lf.lfOutPrecision = BYTE(outPrecision);
    lf.lfClipPrecision = BYTE(clipPrecision);
    lf.lfQuality = BYTE(quality);
    lf.lfPitchAndFamily = BYTE(pitchAndFamily);
    if (face)
        std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL)
{
    if (!AsDC(hdc) || !Lookup(palette, OBJ_PAL))
        return nullptr;
    return static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
}

UINT RealizePalette(HDC hdc) { return AsDC(hdc) ? 0 : GDI_ERROR; }

// ---- regions ----

namespace {

int RegionKind(const QRegion& r)
{
    if (r.isEmpty())
        return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRect Normalised(int l, int t, int r, int b)
{
    if (l > r)
        std::swap(l, r);
    if (t > b)
        std::swap(t, b);
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

HRGN NewRegion(const QRegion& region)
{
    auto rgn = std::make_unique<Region>();
    rgn->setRegion(region);
    return static_cast<HRGN>(Handle(Register(std::move(rgn))));
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom)
{
    QRect r = Normalised(left, top, right, bottom);
    return NewRegion(r.isEmpty() ? QRegion() : QRegion(r));
}

HRGN CreateRectRgnIndirect(const RECT* rect)
{
    return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
}

HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int fillMode)
{
    if (!points || !counts || polygons <= 0 || (fillMode != ALTERNATE && fillMode != WINDING))
        return nullptr;
    std::vector<std::vector<QPoint>> polys;
    const POINT* p = points;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] < 0)
            return nullptr;
        std::vector<QPoint> poly;
        for (int k = 0; k < counts[i]; ++k, ++p)
            poly.emplace_back(p->x, p->y);
        if (poly.size() >= 2)
            polys.push_back(std::move(poly));
    }
    auto rgn = std::make_unique<Region>();
    rgn->polygons = std::move(polys);
    rgn->fillMode = fillMode;
    return static_cast<HRGN>(Handle(Register(std::move(rgn))));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode)
{
    if (count < 2)
        return nullptr;
    INT n = count;
    return CreatePolyPolygonRgn(points, &n, 1, fillMode);
}

int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode)
{
    auto* d = As<Region>(dst, OBJ_REGION);
    auto* ra = As<Region>(a, OBJ_REGION);
    auto* rb = As<Region>(b, OBJ_REGION);
    if (!d || !ra || (mode != RGN_COPY && !rb))
        return RGN_ERROR;
    if (mode == RGN_COPY) {
        if (d != ra) {
            d->setRegion(ra->area());
            d->polygons = ra->polygons;
            d->fillMode = ra->fillMode;
        }
        return RegionKind(d->area());
    }
    std::optional<QRegion> r = CombineRegions(ra->area(), rb->area(), mode);
    if (!r)
        return RGN_ERROR;
    d->setRegion(*r);
    return RegionKind(*r);
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom)
{
    auto* r = As<Region>(rgn, OBJ_REGION);
    if (!r)
        return FALSE;
    QRect q = Normalised(left, top, right, bottom);
    r->setRegion(q.isEmpty() ? QRegion() : QRegion(q));
    return TRUE;
}

int OffsetRgn(HRGN rgn, int dx, int dy)
{
    auto* r = As<Region>(rgn, OBJ_REGION);
    if (!r)
        return RGN_ERROR;
    if (r->cached)
        r->cached->translate(dx, dy);
    for (auto& poly : r->polygons)
        for (QPoint& p : poly)
            p += QPoint(dx, dy);
    return RegionKind(r->area());
}

BOOL PtInRegion(HRGN rgn, int x, int y)
{
    auto* r = As<Region>(rgn, OBJ_REGION);
    return r && r->area().contains(QPoint(x, y));
}

BOOL RectInRegion(HRGN rgn, const RECT* rect)
{
    auto* r = As<Region>(rgn, OBJ_REGION);
    if (!r || !rect)
        return FALSE;
    QRect q = Normalised(rect->left, rect->top, rect->right, rect->bottom);
    return !q.isEmpty() && r->area().intersects(q);
}

int GetRgnBox(HRGN rgn, RECT* rect)
{
    auto* r = As<Region>(rgn, OBJ_REGION);
    if (!r || !rect)
        return RGN_ERROR;
    const QRegion& area = r->area();
    QRect b = area.boundingRect();
    *rect = area.isEmpty() ? RECT{0, 0, 0, 0} : RECT{b.left(), b.top(), b.right() + 1, b.bottom() + 1};
    return RegionKind(area);
}

BOOL EqualRgn(HRGN a, HRGN b)
{
    auto* ra = As<Region>(a, OBJ_REGION);
    auto* rb = As<Region>(b, OBJ_REGION);
    return ra && rb && ra->area() == rb->area();
}

// ---- wrappers ----

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    Object* o = Lookup(hObject);
    if (!o || m_hObject)
        return FALSE;
    m_hObject = hObject;
    o->wrapper = this;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    if (Object* o = Lookup(h); o && o->wrapper == this)
        o->wrapper = nullptr;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    Object* o = Lookup(m_hObject);
    if (o && o->temporary.get() == this) {
        // A wrapper FromHandle made may not delete the object it lives in while it runs.
        m_hObject = nullptr;
        return FALSE;
    }
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, void* lpObject) const { return ::GetObject(m_hObject, nCount, lpObject); }

BOOL CGdiObject::CreateStockObject(int nIndex)
{
    HGDIOBJ h = GetStockObject(nIndex);
    return h && Attach(h);
}

namespace {

template <class T> T* WrapperFor(HGDIOBJ h, DWORD type)
{
    Object* o = Lookup(h, type);
    if (!o)
        return nullptr;
    if (o->wrapper)
        return static_cast<T*>(o->wrapper);
    if (!o->temporary) {
        auto w = std::make_unique<T>();
        w->m_hObject = h;
        o->temporary = std::move(w);
    }
    return static_cast<T*>(o->temporary.get());
}

}  // namespace

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h)
{
    switch (GetObjectType(h)) {
    case OBJ_PEN: return WrapperFor<CPen>(h, OBJ_PEN);
    case OBJ_BRUSH: return WrapperFor<CBrush>(h, OBJ_BRUSH);
    case OBJ_FONT: return WrapperFor<CFont>(h, OBJ_FONT);
    case OBJ_BITMAP: return WrapperFor<CBitmap>(h, OBJ_BITMAP);
    case OBJ_REGION: return WrapperFor<CRgn>(h, OBJ_REGION);
    case OBJ_PAL: return WrapperFor<CGdiObject>(h, OBJ_PAL);
    default: return nullptr;
    }
}

CPen* CPen::FromHandle(HPEN h) { return WrapperFor<CPen>(h, OBJ_PEN); }
CBrush* CBrush::FromHandle(HBRUSH h) { return WrapperFor<CBrush>(h, OBJ_BRUSH); }
CFont* CFont::FromHandle(HFONT h) { return WrapperFor<CFont>(h, OBJ_FONT); }
CBitmap* CBitmap::FromHandle(HBITMAP h) { return WrapperFor<CBitmap>(h, OBJ_BITMAP); }
CRgn* CRgn::FromHandle(HRGN h) { return WrapperFor<CRgn>(h, OBJ_REGION); }

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CPen::CreatePenIndirect(const LOGPEN* lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }
BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lb) { return Attach(::CreateBrushIndirect(lb)); }
BOOL CFont::CreateFontIndirect(const LOGFONTA* lf) { return Attach(::CreateFontIndirect(lf)); }

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCSTR lpszFacename)
{
    return Attach(::CreateFont(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline,
                               cStrikeOut, nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily,
                               lpszFacename));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return Attach(::CreateCompatibleBitmap(pDC ? pDC->m_hDC : nullptr, nWidth, nHeight));
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
BOOL CRgn::CreateRectRgnIndirect(const RECT* r) { return Attach(::CreateRectRgnIndirect(r)); }

BOOL CRgn::CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode)
{
    return Attach(::CreatePolygonRgn(lpPoints, nCount, nMode));
}

BOOL CRgn::CreatePolyPolygonRgn(const POINT* lpPoints, const INT* lpPolyCounts, int nCount, int nPolyFillMode)
{
    return Attach(::CreatePolyPolygonRgn(lpPoints, lpPolyCounts, nCount, nPolyFillMode));
}

int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode)
{
    return ::CombineRgn(*this, pRgn1 ? HRGN(*pRgn1) : nullptr, pRgn2 ? HRGN(*pRgn2) : nullptr, nCombineMode);
}

void CRgn::SetRectRgn(int x1, int y1, int x2, int y2) { ::SetRectRgn(*this, x1, y1, x2, y2); }
int CRgn::OffsetRgn(int x, int y) { return ::OffsetRgn(*this, x, y); }
BOOL CRgn::PtInRegion(int x, int y) const { return ::PtInRegion(*this, x, y); }
BOOL CRgn::RectInRegion(const RECT* lpRect) const { return ::RectInRegion(*this, lpRect); }
int CRgn::GetRgnBox(RECT* lpRect) const { return ::GetRgnBox(*this, lpRect); }
BOOL CRgn::EqualRgn(const CRgn* pRgn) const { return pRgn && ::EqualRgn(*this, *pRgn); }
