// Device contexts: creation, saved states, mapping modes, object selection, clipping, lines, shapes,
// blits and the printer's document calls.
#include "platform/gdi/CDC.h"
#include "platform/gdi/GdiDevice.h"

#include <QPagedPaintDevice>
#include <QPageLayout>

#include <array>
#include <climits>
#include <cmath>
#include <numbers>
#include <span>

namespace gdi {

namespace {

int g_screenWidth = 1920;
int g_screenHeight = 1080;

// v × num / den rounded to nearest, halves away from zero, clamped to 32 bits.
long long Scale(long long v, long long num, long long den)
{
    if (den == 0)
        return 0;
    long long p = v * num;
    bool neg = (p < 0) != (den < 0);
    long long q = (std::llabs(p) + std::llabs(den) / 2) / std::llabs(den);
    q = neg ? -q : q;
    return std::clamp<long long>(q, INT_MIN, INT_MAX);
}

// Units per inch of the fixed mapping modes.
int UnitsPerInch(int mode)
{
    switch (mode) {
    case MM_LOMETRIC: return 254;
    case MM_HIMETRIC: return 2540;
    case MM_LOENGLISH: return 100;
    case MM_HIENGLISH: return 1000;
    case MM_TWIPS: return 1440;
    default: return 0;
    }
}

HDC ToHandle(DC* dc) { return reinterpret_cast<HDC>(dc); }

DC* NewDC(DWORD kind, const Caps& caps)
{
    auto* dc = new DC;
    dc->kind = kind;
    dc->caps = caps;
    Select(dc->s, Stock(BLACK_PEN));
    Select(dc->s, Stock(WHITE_BRUSH));
    Select(dc->s, Stock(SYSTEM_FONT));
    if (kind == OBJ_MEMDC) {
        Select(dc->s, StockBitmap());
    }
    RegisterDC(dc);
    return dc;
}

}  // namespace

Caps ScreenCaps()
{
    Caps c;
    c.horzRes = g_screenWidth;
    c.vertRes = g_screenHeight;
    return c;
}

DC* AsDC(HDC h) { return IsLiveDC(h) ? reinterpret_cast<DC*>(h) : nullptr; }

void Select(State& s, Object* obj)
{
    Object** slot = nullptr;
    switch (obj->type) {
    case OBJ_PEN: slot = reinterpret_cast<Object**>(&s.pen); break;
    case OBJ_BRUSH: slot = reinterpret_cast<Object**>(&s.brush); break;
    case OBJ_FONT: slot = reinterpret_cast<Object**>(&s.font); break;
    case OBJ_BITMAP: slot = reinterpret_cast<Object**>(&s.bitmap); break;
    default: return;
    }
    Retain(obj);
    Object* old = *slot;
    *slot = obj;
    Release(old);
}

void RetainState(const State& s)
{
    Retain(s.pen);
    Retain(s.brush);
    Retain(s.font);
    Retain(s.bitmap);
}

void ReleaseState(const State& s)
{
    Release(s.pen);
    Release(s.brush);
    Release(s.font);
    Release(s.bitmap);
}

DC::~DC()
{
    if (s.bitmap && s.bitmap->selectedInto == this)
        s.bitmap->selectedInto = nullptr;
    for (const State& st : saved) {
        if (st.bitmap && st.bitmap->selectedInto == this)
            st.bitmap->selectedInto = nullptr;
        ReleaseState(st);
    }
    ReleaseState(s);
    if (wrapper)
        wrapper->m_hDC = nullptr;
    if (temporary)
        temporary->m_hDC = nullptr;
}

QImage* DC::target()
{
    if (info || paged)
        return nullptr;
    if (external)
        return external;
    if (!s.bitmap || s.bitmap->stock)
        return nullptr;
    return &s.bitmap->image;
}

QImage* DC::surface()
{
    QImage* img = target();
    if (img && !external)
        s.bitmap->sync();
    return img;
}

QImage* DC::surfaceBeside(const QRegion& overwritten)
{
    QImage* img = target();
    if (img && !external)
        s.bitmap->syncBeside(overwritten);
    return img;
}

QRect DC::surfaceRect()
{
    if (paged)
        return QRect(0, 0, caps.horzRes, caps.vertRes);
    if (external)
        return external->rect();
    if (kind == OBJ_MEMDC && s.bitmap)
        return s.bitmap->image.rect();
    return QRect(0, 0, caps.horzRes, caps.vertRes);
}

void DC::changed(const QRect& deviceRect)
{
    if (!external && s.bitmap && s.bitmap->dib)
        s.bitmap->push();
    if (external && flush) {
        QRect r = deviceRect.intersected(external->rect());
        if (!r.isEmpty())
            flush(RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    }
}

POINT DC::toDevice(LONG x, LONG y) const
{
    return POINT{LONG(std::clamp<long long>(Scale((long long)x - s.wOrg.x, s.vExt.cx, s.wExt.cx) + s.vOrg.x,
                                             INT_MIN, INT_MAX)),
                 LONG(std::clamp<long long>(Scale((long long)y - s.wOrg.y, s.vExt.cy, s.wExt.cy) + s.vOrg.y,
                                             INT_MIN, INT_MAX))};
}

POINT DC::toLogical(LONG x, LONG y) const
{
    return POINT{LONG(std::clamp<long long>(Scale((long long)x - s.vOrg.x, s.wExt.cx, s.vExt.cx) + s.wOrg.x,
                                             INT_MIN, INT_MAX)),
                 LONG(std::clamp<long long>(Scale((long long)y - s.vOrg.y, s.wExt.cy, s.vExt.cy) + s.wOrg.y,
                                             INT_MIN, INT_MAX))};
}

int DC::widthToDevice(int w) const
{
    if (w != m_lastWidth.w || s.wExt.cx != m_lastWidth.window || s.vExt.cx != m_lastWidth.viewport)
        m_lastWidth = {w, s.wExt.cx, s.vExt.cx, int(std::llabs(Scale(w, std::abs(s.vExt.cx), std::abs(s.wExt.cx))))};
    return m_lastWidth.device;
}
int DC::heightToDevice(int h) const { return int(std::llabs(Scale(h, std::abs(s.vExt.cy), std::abs(s.wExt.cy)))); }
int DC::widthToLogical(int w) const { return int(std::llabs(Scale(w, std::abs(s.wExt.cx), std::abs(s.vExt.cx)))); }
int DC::heightToLogical(int h) const { return int(std::llabs(Scale(h, std::abs(s.wExt.cy), std::abs(s.vExt.cy)))); }

QRect DC::deviceRect(LONG l, LONG t, LONG r, LONG b) const
{
    POINT p = toDevice(l, t), q = toDevice(r, b);
    int x0 = std::min(p.x, q.x), x1 = std::max(p.x, q.x);
    int y0 = std::min(p.y, q.y), y1 = std::max(p.y, q.y);
    return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1));
}

}  // namespace gdi

using namespace gdi;

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    long long p = (long long)a * b;
    bool neg = (p < 0) != (c < 0);
    long long q = (std::llabs(p) + std::llabs((long long)c) / 2) / std::llabs((long long)c);
    if (q > INT_MAX)
        return -1;
    return int(neg ? -q : q);
}

void SetScreenSize(int width, int height)
{
    if (width > 0 && height > 0) {
        g_screenWidth = width;
        g_screenHeight = height;
    }
}

HDC GetDC(std::nullptr_t)
{
    DC* dc = NewDC(OBJ_DC, ScreenCaps());
    dc->info = true;
    return ToHandle(dc);
}

int ReleaseDC(std::nullptr_t, HDC hdc) { return DeleteDC(hdc); }

HDC CreateCompatibleDC(HDC hdc)
{
    DC* ref = hdc ? AsDC(hdc) : nullptr;
    if (hdc && !ref)
        return nullptr;
    return ToHandle(NewDC(OBJ_MEMDC, ref ? ref->caps : ScreenCaps()));
}

HDC CreateImageDC(QImage* image, GdiFlushHandler onFlush)
{
    if (!image || image->isNull())
        return nullptr;
    if (image->format() != QImage::Format_RGB32)
        *image = image->convertToFormat(QImage::Format_RGB32);
    DC* dc = NewDC(OBJ_DC, ScreenCaps());
    dc->external = image;
    dc->flush = std::move(onFlush);
    return ToHandle(dc);
}

HDC CreatePagedDeviceDC(QPagedPaintDevice* device)
{
    if (!device)
        return nullptr;
    Caps c;
    c.dpiX = device->logicalDpiX();
    c.dpiY = device->logicalDpiY();
    if (c.dpiX <= 0 || c.dpiY <= 0)
        return nullptr;
    QPageLayout layout = device->pageLayout();
    QRect full = layout.fullRectPixels(c.dpiX);
    QRect paint = layout.paintRectPixels(c.dpiX);
    c.horzRes = paint.width();
    c.vertRes = MulDiv(paint.height(), c.dpiY, c.dpiX);
    c.physWidth = full.width();
    c.physHeight = MulDiv(full.height(), c.dpiY, c.dpiX);
    c.offsetX = paint.left();
    c.offsetY = MulDiv(paint.top(), c.dpiY, c.dpiX);
    c.technology = DT_RASPRINTER;
    DC* dc = NewDC(OBJ_DC, c);
    dc->printing = true;
    dc->paged = std::make_unique<Paged>();
    dc->paged->device = device;
    return ToHandle(dc);
}

BOOL DeleteDC(HDC hdc)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return FALSE;
    if (dc->paged && dc->paged->inDoc)
        dc->paged->painter.end();
    ForgetDC(dc);
    delete dc;
    return TRUE;
}

int GetDeviceCaps(HDC hdc, int index)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return 0;
    const Caps& c = dc->caps;
    const bool printer = c.technology == DT_RASPRINTER;
    switch (index) {
    case DRIVERVERSION: return 0x0400;
    case TECHNOLOGY: return c.technology;
    case HORZSIZE: return MulDiv(c.horzRes, 254, c.dpiX * 10);
    case VERTSIZE: return MulDiv(c.vertRes, 254, c.dpiY * 10);
    case HORZRES: return c.horzRes;
    case VERTRES: return c.vertRes;
    case BITSPIXEL: return printer ? 24 : 32;
    case PLANES: return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS: return -1;
    case NUMFONTS: return 0;
    case CURVECAPS: return CC_CIRCLES | CC_ELLIPSES | CC_WIDE | CC_STYLED | CC_INTERIORS;
    case LINECAPS: return LC_POLYLINE | LC_WIDE | LC_STYLED | LC_INTERIORS;
    case POLYGONALCAPS: return PC_POLYGON | PC_RECTANGLE | PC_WINDPOLYGON | PC_SCANLINE | PC_WIDE | PC_INTERIORS;
    case TEXTCAPS: return TC_CP_STROKE | TC_UA_ABLE | TC_SO_ABLE | TC_RA_ABLE;
    case CLIPCAPS: return 1;
    case RASTERCAPS:
        return RC_BITBLT | RC_BITMAP64 | RC_GDI20_OUTPUT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX: return c.dpiX;
    case LOGPIXELSY: return c.dpiY;
    case SIZEPALETTE:
    case NUMRESERVED: return 0;
    case COLORRES: return 24;
    case PHYSICALWIDTH: return c.physWidth;
    case PHYSICALHEIGHT: return c.physHeight;
    case PHYSICALOFFSETX: return c.offsetX;
    case PHYSICALOFFSETY: return c.offsetY;
    default: return 0;
    }
}

int SaveDC(HDC hdc)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return 0;
    dc->saved.push_back(dc->s);
    RetainState(dc->s);
    return int(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int nSavedDC)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return FALSE;
    const int n = int(dc->saved.size());
    const int index = nSavedDC < 0 ? n + nSavedDC : nSavedDC - 1;
    if (nSavedDC == 0 || index < 0 || index >= n)
        return FALSE;
    Bitmap* before = dc->s.bitmap;
    if (before && before != dc->saved[size_t(index)].bitmap && before->selectedInto == dc)
        before->selectedInto = nullptr;
    ReleaseState(dc->s);
    dc->s = dc->saved[size_t(index)];  // takes over that saved state's references
    for (int i = index + 1; i < n; ++i)
        ReleaseState(dc->saved[size_t(i)]);
    dc->saved.resize(size_t(index));
    if (dc->s.bitmap && !dc->s.bitmap->stock)
        dc->s.bitmap->selectedInto = dc;
    return TRUE;
}

// ---- mapping ----

namespace {

SIZE ReportedWindowExt(const DC* dc)
{
    const int u = UnitsPerInch(dc->s.mapMode);
    if (u)
        return SIZE{MulDiv(dc->caps.horzRes, u, dc->caps.dpiX), MulDiv(dc->caps.vertRes, u, dc->caps.dpiY)};
    return dc->s.wExt;
}

SIZE ReportedViewportExt(const DC* dc)
{
    if (UnitsPerInch(dc->s.mapMode))
        return SIZE{dc->caps.horzRes, -dc->caps.vertRes};
    return dc->s.vExt;
}

// Reads one value of a context into *out.
template <class T, class F> BOOL Query(HDC hdc, T* out, F get)
{
    DC* dc = AsDC(hdc);
    if (!dc || !out)
        return FALSE;
    *out = get(dc);
    return TRUE;
}

// Replaces a point of the context's state, giving the old one.
BOOL SwapPoint(HDC hdc, POINT State::*field, int x, int y, POINT* old)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return FALSE;
    if (old)
        *old = dc->s.*field;
    dc->s.*field = POINT{x, y};
    return TRUE;
}

// Sets an extent; the fixed mapping modes keep theirs. old receives the extent as reported.
BOOL SetExtent(HDC hdc, SIZE State::*field, SIZE (*reported)(const DC*), int x, int y, SIZE* old)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return FALSE;
    if (old)
        *old = reported(dc);
    if (dc->s.mapMode != MM_ANISOTROPIC)
        return TRUE;
    if (x == 0 || y == 0)
        return FALSE;
    dc->s.*field = SIZE{x, y};
    return TRUE;
}

}  // namespace

int SetMapMode(HDC hdc, int mode)
{
    DC* dc = AsDC(hdc);
    if (!dc || mode < MM_TEXT || mode > MM_ANISOTROPIC || mode == 7)
        return 0;
    int old = dc->s.mapMode;
    dc->s.mapMode = mode;
    if (mode == MM_TEXT) {
        dc->s.wExt = SIZE{1, 1};
        dc->s.vExt = SIZE{1, 1};
    } else if (int u = UnitsPerInch(mode)) {
        // The exact ratio of the device's resolution, so that conversions round only once.
        dc->s.wExt = SIZE{u, u};
        dc->s.vExt = SIZE{dc->caps.dpiX, -dc->caps.dpiY};
    }
    return old;
}

int GetMapMode(HDC hdc)
{
    DC* dc = AsDC(hdc);
    return dc ? dc->s.mapMode : 0;
}

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* old) { return SwapPoint(hdc, &State::wOrg, x, y, old); }
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* old) { return SwapPoint(hdc, &State::vOrg, x, y, old); }

BOOL OffsetViewportOrgEx(HDC hdc, int dx, int dy, POINT* old)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return FALSE;
    return SetViewportOrgEx(hdc, dc->s.vOrg.x + dx, dc->s.vOrg.y + dy, old);
}

BOOL SetWindowExtEx(HDC hdc, int x, int y, SIZE* old)
{
    return SetExtent(hdc, &State::wExt, ReportedWindowExt, x, y, old);
}

BOOL SetViewportExtEx(HDC hdc, int x, int y, SIZE* old)
{
    return SetExtent(hdc, &State::vExt, ReportedViewportExt, x, y, old);
}

BOOL GetWindowOrgEx(HDC hdc, POINT* p) { return Query(hdc, p, [](DC* dc) { return dc->s.wOrg; }); }
BOOL GetViewportOrgEx(HDC hdc, POINT* p) { return Query(hdc, p, [](DC* dc) { return dc->s.vOrg; }); }
BOOL GetWindowExtEx(HDC hdc, SIZE* s) { return Query(hdc, s, [](DC* dc) { return ReportedWindowExt(dc); }); }
BOOL GetViewportExtEx(HDC hdc, SIZE* s) { return Query(hdc, s, [](DC* dc) { return ReportedViewportExt(dc); }); }

BOOL LPtoDP(HDC hdc, POINT* points, int count)
{
    DC* dc = AsDC(hdc);
    if (!dc || (!points && count > 0))
        return FALSE;
    for (int i = 0; i < count; ++i)
        points[i] = dc->toDevice(points[i].x, points[i].y);
    return TRUE;
}

BOOL DPtoLP(HDC hdc, POINT* points, int count)
{
    DC* dc = AsDC(hdc);
    if (!dc || (!points && count > 0))
        return FALSE;
    for (int i = 0; i < count; ++i)
        points[i] = dc->toLogical(points[i].x, points[i].y);
    return TRUE;
}

// ---- objects and modes ----

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h)
{
    DC* dc = AsDC(hdc);
    Object* o = Lookup(h);
    if (!dc || !o)
        return nullptr;
    switch (o->type) {
    case OBJ_REGION:
        return reinterpret_cast<HGDIOBJ>(std::intptr_t(ExtSelectClipRgn(hdc, static_cast<HRGN>(h), RGN_COPY)));
    case OBJ_PEN:
    case OBJ_BRUSH:
    case OBJ_FONT: {
        Object* const old = o->type == OBJ_PEN ? static_cast<Object*>(dc->s.pen)
                            : o->type == OBJ_BRUSH ? static_cast<Object*>(dc->s.brush)
                                                   : static_cast<Object*>(dc->s.font);
        // Drawing puts the same pen back again and again: nothing changes.
        if (old != o)
            Select(dc->s, o);
        return Handle(old);
    }
    case OBJ_BITMAP: {
        auto* b = static_cast<Bitmap*>(o);
        if (dc->kind != OBJ_MEMDC || (b->selectedInto && b->selectedInto != dc))
            return nullptr;
        Bitmap* old = dc->s.bitmap;
        bool oldStillHeld = false;
        for (const State& st : dc->saved)
            oldStillHeld = oldStillHeld || st.bitmap == old;
        if (old && old != b && old->selectedInto == dc && !oldStillHeld)
            old->selectedInto = nullptr;
        if (!b->stock)
            b->selectedInto = dc;
        HGDIOBJ result = Handle(old);
        Select(dc->s, b);
        return result;
    }
    case OBJ_PAL: return GetStockObject(DEFAULT_PALETTE);
    default: return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_PEN: return Handle(dc->s.pen);
    case OBJ_BRUSH: return Handle(dc->s.brush);
    case OBJ_FONT: return Handle(dc->s.font);
    case OBJ_BITMAP: return Handle(dc->s.bitmap);
    case OBJ_PAL: return GetStockObject(DEFAULT_PALETTE);
    default: return nullptr;
    }
}

#define VANTREL_DC_SETTER(Setter, Getter, Type, field, invalid)                                           \
    Type Setter(HDC hdc, Type value)                                                                      \
    {                                                                                                     \
        DC* dc = AsDC(hdc);                                                                               \
        if (!dc)                                                                                          \
            return invalid;                                                                               \
        Type old = dc->s.field;                                                                           \
        dc->s.field = value;                                                                              \
        return old;                                                                                       \
    }                                                                                                     \
    Type Getter(HDC hdc)                                                                                  \
    {                                                                                                     \
        DC* dc = AsDC(hdc);                                                                               \
        return dc ? dc->s.field : invalid;                                                                \
    }

VANTREL_DC_SETTER(SetBkColor, GetBkColor, COLORREF, bkColor, CLR_INVALID)
VANTREL_DC_SETTER(SetTextColor, GetTextColor, COLORREF, textColor, CLR_INVALID)
#undef VANTREL_DC_SETTER

namespace {

// Sets an int mode of the context when valid, giving the old one (0 on failure).
int SwapMode(HDC hdc, int State::*field, int mode, bool valid)
{
    DC* dc = AsDC(hdc);
    if (!dc || !valid)
        return 0;
    std::swap(dc->s.*field, mode);
    return mode;
}

int ModeOf(HDC hdc, int State::*field)
{
    DC* dc = AsDC(hdc);
    return dc ? dc->s.*field : 0;
}

}  // namespace

int SetBkMode(HDC hdc, int mode) { return SwapMode(hdc, &State::bkMode, mode, mode == TRANSPARENT || mode == OPAQUE); }
int GetBkMode(HDC hdc) { return ModeOf(hdc, &State::bkMode); }

int SetPolyFillMode(HDC hdc, int mode)
{
    return SwapMode(hdc, &State::fillMode, mode, mode == ALTERNATE || mode == WINDING);
}

int GetPolyFillMode(HDC hdc) { return ModeOf(hdc, &State::fillMode); }

int SetStretchBltMode(HDC hdc, int mode)
{
    return SwapMode(hdc, &State::stretchMode, mode, mode >= BLACKONWHITE && mode <= HALFTONE);
}

int GetStretchBltMode(HDC hdc) { return ModeOf(hdc, &State::stretchMode); }

// ---- clipping ----

namespace {

int RegionKindOf(const QRegion& r)
{
    if (r.isEmpty())
        return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int VisibleKind(DC* dc)
{
    return RegionKindOf(dc->s.clip ? dc->s.clip->intersected(dc->surfaceRect()) : QRegion(dc->surfaceRect()));
}

QRegion CurrentClip(DC* dc) { return dc->s.clip ? *dc->s.clip : QRegion(dc->surfaceRect()); }

}  // namespace

int GetClipBox(HDC hdc, RECT* rect)
{
    DC* dc = AsDC(hdc);
    if (!dc || !rect)
        return RGN_ERROR;
    QRect b = dc->s.clip ? dc->s.clip->intersected(dc->surfaceRect()).boundingRect() : dc->surfaceRect();
    if (b.isEmpty()) {
        *rect = RECT{0, 0, 0, 0};
        return NULLREGION;
    }
    POINT p = dc->toLogical(b.left(), b.top()), q = dc->toLogical(b.right() + 1, b.bottom() + 1);
    *rect = RECT{p.x, p.y, q.x, q.y};
    return VisibleKind(dc);
}

int SelectClipRgn(HDC hdc, HRGN rgn) { return ExtSelectClipRgn(hdc, rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC hdc, HRGN rgn, int mode)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return RGN_ERROR;
    auto* r = As<Region>(rgn, OBJ_REGION);
    if (rgn && !r)
        return RGN_ERROR;
    if (mode == RGN_COPY) {
        if (r)
            dc->s.clip = r->area();
        else
            dc->s.clip.reset();
        return VisibleKind(dc);
    }
    if (!r)
        return RGN_ERROR;
    std::optional<QRegion> combined = CombineRegions(CurrentClip(dc), r->area(), mode);
    if (!combined)
        return RGN_ERROR;
    dc->s.clip = *combined;
    return VisibleKind(dc);
}

namespace {

int ClipByRect(HDC hdc, int left, int top, int right, int bottom, int mode)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return RGN_ERROR;
    QRect r = dc->deviceRect(left, top, right, bottom);
    dc->s.clip = *CombineRegions(CurrentClip(dc), r.isEmpty() ? QRegion() : QRegion(r), mode);
    return VisibleKind(dc);
}

}  // namespace

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    return ClipByRect(hdc, left, top, right, bottom, RGN_AND);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    return ClipByRect(hdc, left, top, right, bottom, RGN_DIFF);
}

int GetClipRgn(HDC hdc, HRGN rgn)
{
    DC* dc = AsDC(hdc);
    auto* r = As<Region>(rgn, OBJ_REGION);
    if (!dc || !r)
        return -1;
    if (!dc->s.clip)
        return 0;
    r->setRegion(*dc->s.clip);
    return 1;
}

// ---- lines and shapes ----

namespace gdi {

void PrepareVector(DC* dc, QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    if (dc->s.clip)
        p.setClipRegion(*dc->s.clip);
    else
        p.setClipping(false);
}

Clip ClipFor(DC* dc, const QImage& img) { return Clip(img.rect(), dc->s.clip); }

}  // namespace gdi

namespace {

std::optional<QRgb> BrushColor(const Brush* b)
{
    if (!b || b->style == BS_NULL)
        return std::nullopt;
    return ToRgb(b->color);
}

// The current pen on the device: nothing for PS_NULL; one pixel (dotted or not) when its width maps to
// one device pixel or less; otherwise a geometric pen of that many pixels.
struct PenUse {
    bool none = true;
    bool wide = false;
    bool dotted = false;
    int width = 1;
    QRgb color = 0;
};

PenUse CurrentPen(const DC* dc)
{
    PenUse u;
    const Pen* p = dc->s.pen;
    if (!p || p->style == PS_NULL)
        return u;
    u.none = false;
    u.width = std::max(1, dc->widthToDevice(p->width));
    u.wide = u.width > 1;
    u.dotted = !u.wide && p->style == PS_DOT;
    u.color = ToRgb(p->color);
    return u;
}

QPen VectorPen(const DC* dc)
{
    PenUse u = CurrentPen(dc);
    if (u.none)
        return QPen(Qt::NoPen);
    QPen pen{QColor(u.color)};
    pen.setWidth(u.width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    if (u.dotted)
        pen.setStyle(Qt::DotLine);
    return pen;
}

QRect Bounds(std::span<const QPoint> pts, int margin)
{
    if (pts.empty())
        return QRect();
    int x0 = pts[0].x(), x1 = x0, y0 = pts[0].y(), y1 = y0;
    for (const QPoint& p : pts) {
        x0 = std::min(x0, p.x());
        x1 = std::max(x1, p.x());
        y0 = std::min(y0, p.y());
        y1 = std::max(y1, p.y());
    }
    return QRect(QPoint(x0, y0), QPoint(x1, y1)).adjusted(-margin, -margin, margin, margin);
}

// A call's points in device units. A page of walls draws hundreds of thousands of short lines, whose
// few points are kept without taking memory from the heap.
class DevicePoints {
public:
    DevicePoints(const DC* dc, const POINT* pts, int n) : m_size(size_t(n))
    {
        if (m_size > m_inline.size())
            m_heap.resize(m_size);
        m_points = m_heap.empty() ? m_inline.data() : m_heap.data();
        for (size_t i = 0; i < m_size; ++i) {
            const POINT d = dc->toDevice(pts[i].x, pts[i].y);
            m_points[i] = QPoint(d.x, d.y);
        }
    }
    DevicePoints(const DevicePoints&) = delete;
    DevicePoints& operator=(const DevicePoints&) = delete;
    operator std::span<const QPoint>() const { return {m_points, m_size}; }

private:
    size_t m_size;
    std::array<QPoint, 8> m_inline;
    std::vector<QPoint> m_heap;
    QPoint* m_points;
};

// Whether all the points lie on one line.
bool Collinear(std::span<const QPoint> pts)
{
    const auto from0 = [&](size_t i) {
        return std::pair<__int128, __int128>((long long)pts[i].x() - pts[0].x(), (long long)pts[i].y() - pts[0].y());
    };
    size_t i = 1;
    while (i < pts.size() && pts[i] == pts[0])
        ++i;
    if (i == pts.size())
        return true;
    const auto [ux, uy] = from0(i);
    for (++i; i < pts.size(); ++i) {
        const auto [vx, vy] = from0(i);
        if (ux * vy != uy * vx)
            return false;
    }
    return true;
}

// Strokes the path through pts (closing it when asked) with the current pen, which it gives back.
PenUse Stroke(DC* dc, QImage* img, std::span<const QPoint> pts, bool closed)
{
    PenUse u = CurrentPen(dc);
    if (u.none || pts.size() < 2)
        return u;
    if (QPainter* p = dc->vector()) {
        PrepareVector(dc, *p);
        p->setPen(VectorPen(dc));
        p->setBrush(Qt::NoBrush);
        if (closed)
            p->drawPolygon(pts.data(), int(pts.size()));
        else
            p->drawPolyline(pts.data(), int(pts.size()));
        return u;
    }
    Clip clip = ClipFor(dc, *img);
    // A wide segment covers the same pixels both ways: the closed outline of two points is one line.
    const size_t segments = closed && !(u.wide && pts.size() == 2) ? pts.size() : pts.size() - 1;
    int phase = 0;
    const QRgb gap = ToRgb(dc->s.bkColor);
    const QRgb* gapColor = dc->s.bkMode == OPAQUE ? &gap : nullptr;
    for (size_t i = 0; i < segments; ++i) {
        QPoint a = pts[i], b = pts[(i + 1) % pts.size()];
        if (u.wide)
            WideLine(*img, clip, a, b, u.width, u.color);
        else
            CosmeticLine(*img, clip, a, b, u.color, u.dotted ? &phase : nullptr, gapColor);
    }
    return u;
}

}  // namespace

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) { return SwapPoint(hdc, &State::pos, x, y, old); }
BOOL GetCurrentPositionEx(HDC hdc, POINT* p) { return Query(hdc, p, [](DC* dc) { return dc->s.pos; }); }

BOOL LineTo(HDC hdc, int x, int y)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return FALSE;
    POINT pts[2] = {dc->s.pos, POINT{x, y}};
    dc->s.pos = pts[1];
    return Polyline(hdc, pts, 2);
}

BOOL Polyline(HDC hdc, const POINT* points, int count)
{
    DC* dc = AsDC(hdc);
    if (!dc || !points || count < 2)
        return FALSE;
    QImage* img = dc->surface();
    if (!img && !dc->vector())
        return FALSE;
    const DevicePoints pts(dc, points, count);
    const PenUse pen = Stroke(dc, img, pts, false);
    dc->changed(Bounds(pts, pen.width));
    return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* points, int count)
{
    DC* dc = AsDC(hdc);
    if (!dc || !points || count < 2)
        return FALSE;
    QImage* img = dc->surface();
    if (!img && !dc->vector())
        return FALSE;
    const DevicePoints pts(dc, points, count);
    const std::span<const QPoint> corners = pts;
    if (std::optional<QRgb> fill = BrushColor(dc->s.brush)) {
        if (QPainter* p = dc->vector()) {
            PrepareVector(dc, *p);
            p->setPen(Qt::NoPen);
            p->setBrush(QColor(*fill));
            p->drawPolygon(corners.data(), count, dc->s.fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
        } else if (!Collinear(corners)) {
            // Corners on one line enclose no pixel: the edges cross every row in pairs at one point.
            FillSpans(*img, ClipFor(dc, *img), {std::vector<QPoint>(corners.begin(), corners.end())},
                      dc->s.fillMode == WINDING, *fill);
        }
    }
    const PenUse pen = Stroke(dc, img, pts, true);
    dc->changed(Bounds(pts, pen.width));
    return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return FALSE;
    QImage* img = dc->surface();
    if (!img && !dc->vector())
        return FALSE;
    QRect r = dc->deviceRect(left, top, right, bottom);
    if (r.isEmpty())
        return TRUE;
    PenUse pen = CurrentPen(dc);
    std::optional<QRgb> fill = BrushColor(dc->s.brush);
    // Without a pen the filled area is one pixel smaller on the right and at the bottom, as on the
    // device this layer stands in for.
    QRect inner = pen.none ? r.adjusted(0, 0, -1, -1) : pen.wide ? r : r.adjusted(1, 1, -1, -1);
    if (fill && !inner.isEmpty()) {
        if (QPainter* p = dc->vector()) {
            PrepareVector(dc, *p);
            p->fillRect(inner, QColor(*fill));
        } else {
            FillRect(*img, ClipFor(dc, *img), inner, *fill);
        }
    }
    std::vector<QPoint> frame = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    Stroke(dc, img, frame, true);
    dc->changed(r.adjusted(-pen.width, -pen.width, pen.width, pen.width));
    return TRUE;
}

namespace {

// Ellipses and arcs are drawn by the painter, without antialiasing, in device pixels.
BOOL PaintCurve(HDC hdc, int left, int top, int right, int bottom, const std::function<void(QPainter&, QRect)>& draw)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return FALSE;
    QImage* img = dc->surface();
    if (!img && !dc->vector())
        return FALSE;
    QRect r = dc->deviceRect(left, top, right, bottom);
    if (r.width() < 2 || r.height() < 2)
        return TRUE;
    QRect shape = r.adjusted(0, 0, -1, -1);
    if (QPainter* vp = dc->vector()) {
        PrepareVector(dc, *vp);
        draw(*vp, shape);
    } else {
        QPainter p(img);
        PrepareVector(dc, p);
        draw(p, shape);
    }
    PenUse pen = CurrentPen(dc);
    dc->changed(r.adjusted(-pen.width, -pen.width, pen.width, pen.width));
    return TRUE;
}

}  // namespace

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return FALSE;
    QPen pen = VectorPen(dc);
    std::optional<QRgb> fill = BrushColor(dc->s.brush);
    return PaintCurve(hdc, left, top, right, bottom, [&](QPainter& p, QRect shape) {
        p.setPen(pen);
        p.setBrush(fill ? QBrush(QColor(*fill)) : QBrush(Qt::NoBrush));
        p.drawEllipse(shape);
    });
}

BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return FALSE;
    QPen pen = VectorPen(dc);
    POINT s = dc->toDevice(xStart, yStart), e = dc->toDevice(xEnd, yEnd);
    return PaintCurve(hdc, left, top, right, bottom, [&](QPainter& p, QRect shape) {
        // Counter-clockwise on the device from the start radial to the end radial.
        QPointF c = QRectF(shape).center();
        double a0 = std::atan2(-(s.y - c.y()), s.x - c.x()) * 180 / std::numbers::pi;
        double a1 = std::atan2(-(e.y - c.y()), e.x - c.x()) * 180 / std::numbers::pi;
        double span = a1 - a0;
        if (span <= 0)
            span += 360;
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(shape, int(std::lround(a0 * 16)), int(std::lround(span * 16)));
    });
}

int FillRect(HDC hdc, const RECT* rect, HBRUSH brush)
{
    DC* dc = AsDC(hdc);
    auto* b = As<Brush>(brush, OBJ_BRUSH);
    if (!dc || !rect || !b)
        return FALSE;
    QImage* img = dc->surface();
    if (!img && !dc->vector())
        return FALSE;
    QRect r = dc->deviceRect(rect->left, rect->top, rect->right, rect->bottom);
    std::optional<QRgb> fill = BrushColor(b);
    if (!fill || r.isEmpty())
        return TRUE;
    if (QPainter* p = dc->vector()) {
        PrepareVector(dc, *p);
        p->fillRect(r, QColor(*fill));
    } else {
        FillRect(*img, ClipFor(dc, *img), r, *fill);
    }
    dc->changed(r);
    return TRUE;
}

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush)
{
    DC* dc = AsDC(hdc);
    auto* r = As<Region>(rgn, OBJ_REGION);
    auto* b = As<Brush>(brush, OBJ_BRUSH);
    if (!dc || !r || !b)
        return FALSE;
    QImage* img = dc->surface();
    if (!img && !dc->vector())
        return FALSE;
    std::optional<QRgb> fill = BrushColor(b);
    if (!fill)
        return TRUE;
    // The region is in logical units: a polygon region is filled by its mapped outline, any other by
    // its mapped rectangles.
    std::vector<std::vector<QPoint>> polys;
    QRegion mapped;
    if (!r->polygons.empty()) {
        for (const auto& poly : r->polygons) {
            std::vector<QPoint> d;
            for (const QPoint& p : poly) {
                POINT q = dc->toDevice(p.x(), p.y());
                d.emplace_back(q.x, q.y);
            }
            polys.push_back(std::move(d));
        }
    } else {
        for (const QRect& q : r->area()) {
            QRect d = dc->deviceRect(q.left(), q.top(), q.right() + 1, q.bottom() + 1);
            if (!d.isEmpty())
                mapped += d;
        }
    }
    QRect changed;
    if (QPainter* p = dc->vector()) {
        PrepareVector(dc, *p);
        if (!polys.empty())
            mapped = PolygonRegion(polys, r->fillMode == WINDING);
        for (const QRect& q : mapped)
            p->fillRect(q, QColor(*fill));
        changed = mapped.boundingRect();
    } else if (!polys.empty()) {
        FillSpans(*img, ClipFor(dc, *img), polys, r->fillMode == WINDING, *fill);
        for (const auto& poly : polys)
            changed |= Bounds(poly, 1);
    } else {
        Clip clip = ClipFor(dc, *img);
        for (const QRect& q : mapped)
            FillRect(*img, clip, q, *fill);
        changed = mapped.boundingRect();
    }
    dc->changed(changed);
    return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return CLR_INVALID;
    QImage* img = dc->surface();
    if (!img)
        return CLR_INVALID;
    POINT p = dc->toDevice(x, y);
    if (!ClipFor(dc, *img).contains(p.x, p.y))
        return CLR_INVALID;
    reinterpret_cast<QRgb*>(img->scanLine(p.y))[p.x] = ToRgb(color);
    dc->changed(QRect(p.x, p.y, 1, 1));
    return color & 0xFFFFFF;
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    DC* dc = AsDC(hdc);
    if (!dc)
        return CLR_INVALID;
    QImage* img = dc->surface();
    if (!img)
        return CLR_INVALID;
    POINT p = dc->toDevice(x, y);
    if (!ClipFor(dc, *img).contains(p.x, p.y))
        return CLR_INVALID;
    return ToColorRef(reinterpret_cast<const QRgb*>(img->constScanLine(p.y))[p.x]);
}

// ---- blits ----

namespace gdi {

namespace {

// Whether the rectangle covers every pixel of the plain bitmap the context draws on, clipping and all.
bool FillsWholeBitmap(DC* dc, const QRect& deviceRect)
{
    const Bitmap* b = dc->s.bitmap;
    if (dc->kind != OBJ_MEMDC || dc->external || dc->paged || !b || b->stock || b->dib)
        return false;
    const QRect all = b->image.rect();
    return deviceRect.contains(all) && (!dc->s.clip || QRegion(all).subtracted(*dc->s.clip).isEmpty());
}

// Whether a blit writes every pixel of its clipped destination whatever it held: a fill without a
// source, or a copy whose source rectangle lies within the source (Blit skips pixels beyond it).
bool OverwritesWhatItCovers(BYTE code, const QImage* src, const QRect& srcRect)
{
    if (!src)
        return code == 0x00 || code == 0xFF || code == 0xF0;
    return code == 0xCC && src->rect().contains(srcRect);
}

// The device pixels of rect that a drawing call on dc reaches: within its bitmap and its clip region.
QRegion Covered(DC* dc, const QRect& rect)
{
    const QImage* img = dc->target();
    QRegion area(img ? rect.intersected(img->rect()) : QRect());
    if (dc->s.clip)
        area &= *dc->s.clip;
    return area;
}

}  // namespace

BOOL BlitTo(DC* dst, POINT d0, POINT d1, const QImage* src, QPoint s0, QPoint s1, BYTE code)
{
    if (!dst->target() && !dst->vector())
        return FALSE;
    QRect dstRect(QPoint(std::min(d0.x, d1.x), std::min(d0.y, d1.y)),
                  QPoint(std::max(d0.x, d1.x) - 1, std::max(d0.y, d1.y) - 1));
    if (dstRect.isEmpty())
        return TRUE;
    QRect srcRect;
    bool flipX = false, flipY = false;
    if (src) {
        srcRect = QRect(QPoint(std::min(s0.x(), s1.x()), std::min(s0.y(), s1.y())),
                        QPoint(std::max(s0.x(), s1.x()) - 1, std::max(s0.y(), s1.y()) - 1));
        if (srcRect.isEmpty())
            return TRUE;
        flipX = (d1.x < d0.x) != (s1.x() < s0.x());
        flipY = (d1.y < d0.y) != (s1.y() < s0.y());
    }
    const Brush* brush = dst->s.brush;
    const QRgb pattern = brush && brush->style != BS_NULL ? ToRgb(brush->color) : 0xFF000000u;
    if (!src && (code == 0x00 || code == 0xFF || code == 0xF0) && FillsWholeBitmap(dst, dstRect)) {
        dst->s.bitmap->fillWith(Rop3(code, pattern, 0, 0));
        return TRUE;
    }
    QImage* img = OverwritesWhatItCovers(code, src, srcRect) ? dst->surfaceBeside(Covered(dst, dstRect))
                                                             : dst->surface();
    if (QPainter* p = dst->vector()) {
        PrepareVector(dst, *p);
        switch (code) {
        case 0xCC:
            // A whole picture the right way round goes as it is: a page is a hundred megabytes.
            if (srcRect == src->rect() && !flipX && !flipY)
                p->drawImage(dstRect, *src);
            else
                p->drawImage(dstRect, src->copy(srcRect).mirrored(flipX, flipY));
            break;
        case 0x00: p->fillRect(dstRect, Qt::black); break;
        case 0xFF: p->fillRect(dstRect, Qt::white); break;
        case 0xF0: p->fillRect(dstRect, QColor(pattern)); break;
        default: return FALSE;  // a printer page cannot be read back
        }
        return TRUE;
    }
    Blit(*img, ClipFor(dst, *img), dstRect, src, srcRect, flipX, flipY, code, pattern);
    dst->changed(dstRect);
    return TRUE;
}

}  // namespace gdi

namespace {

BOOL Blt(DC* dst, int x, int y, int cx, int cy, DC* src, int xs, int ys, int cxs, int cys, DWORD rop)
{
    const BYTE code = BYTE((rop >> 16) & 0xFF);
    const bool needsSource = RopUsesSource(code);
    if (!dst || (needsSource && !src))
        return FALSE;
    POINT d0 = dst->toDevice(x, y), d1 = dst->toDevice(x + cx, y + cy);
    if (!needsSource)
        return BlitTo(dst, d0, d1, nullptr, QPoint(), QPoint(), code);
    QImage* img = dst->surface();
    if (!img && !dst->vector())
        return FALSE;
    const QImage* srcImg = src == dst ? img : src->surface();
    if (!srcImg)
        return FALSE;
    QImage copy;
    if (src == dst) {
        copy = srcImg->copy();
        srcImg = &copy;
    }
    POINT s0 = src->toDevice(xs, ys), s1 = src->toDevice(xs + cxs, ys + cys);
    return BlitTo(dst, d0, d1, srcImg, QPoint(s0.x, s0.y), QPoint(s1.x, s1.y), code);
}

}  // namespace

BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, DWORD rop)
{
    return Blt(AsDC(dst), x, y, cx, cy, src ? AsDC(src) : nullptr, xSrc, ySrc, cx, cy, rop);
}

BOOL StretchBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xSrc, int ySrc, int cxSrc, int cySrc, DWORD rop)
{
    return Blt(AsDC(dst), x, y, cx, cy, src ? AsDC(src) : nullptr, xSrc, ySrc, cxSrc, cySrc, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int cx, int cy, DWORD rop)
{
    if (RopUsesSource(BYTE((rop >> 16) & 0xFF)))
        return FALSE;
    return Blt(AsDC(hdc), x, y, cx, cy, nullptr, 0, 0, 0, 0, rop);
}

// ---- documents on a printer ----

namespace {

Paged* PagedOf(HDC hdc)
{
    DC* dc = AsDC(hdc);
    return dc ? dc->paged.get() : nullptr;
}

}  // namespace

int StartDocA(HDC hdc, const DOCINFOA*)
{
    Paged* p = PagedOf(hdc);
    if (!p || p->inDoc || !p->painter.begin(p->device))
        return -1;
    p->inDoc = true;
    p->pages = 0;
    return 1;
}

int StartPage(HDC hdc)
{
    Paged* p = PagedOf(hdc);
    if (!p || !p->inDoc || p->inPage)
        return -1;
    // The painter opened the first page; every later one is a new page of the device.
    if (p->pages > 0 && !p->device->newPage())
        return -1;
    ++p->pages;
    p->inPage = true;
    return 1;
}

int EndPage(HDC hdc)
{
    Paged* p = PagedOf(hdc);
    if (!p || !p->inPage)
        return -1;
    p->inPage = false;
    return 1;
}

int EndDoc(HDC hdc)
{
    Paged* p = PagedOf(hdc);
    if (!p || !p->inDoc)
        return -1;
    p->inPage = false;
    p->inDoc = false;
    return p->painter.end() ? 1 : -1;
}

int AbortDoc(HDC hdc)
{
    Paged* p = PagedOf(hdc);
    if (!p)
        return -1;
    if (p->inDoc)
        p->painter.end();
    p->inDoc = false;
    p->inPage = false;
    return 1;
}
