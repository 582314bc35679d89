// The framework's device-context object over the flat device-context calls.
#include "platform/gdi/CDC.h"

#include "platform/gdi/GdiDevice.h"

using namespace gdi;

CDC::~CDC()
{
    if (m_hDC)
        ::DeleteDC(Detach());
}

BOOL CDC::Attach(HDC hDC)
{
    DC* dc = AsDC(hDC);
    if (!dc || m_hDC)
        return FALSE;
    m_hDC = hDC;
    m_bPrinting = dc->printing;
    dc->wrapper = this;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    if (DC* dc = AsDC(h); dc && dc->wrapper == this)
        dc->wrapper = nullptr;
    m_hDC = nullptr;
    m_bPrinting = FALSE;
    return h;
}

CDC* CDC::FromHandle(HDC hDC)
{
    DC* dc = AsDC(hDC);
    if (!dc)
        return nullptr;
    if (dc->wrapper)
        return dc->wrapper;
    if (!dc->temporary) {
        auto w = std::make_unique<CDC>();
        w->m_hDC = hDC;
        w->m_bPrinting = dc->printing;
        dc->temporary = std::move(w);
    }
    return dc->temporary.get();
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr)); }

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    POINT old{0, 0};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    POINT old{0, 0};
    ::SetViewportOrgEx(m_hDC, x, y, &old);
    return CPoint(old);
}

CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight)
{
    POINT old{0, 0};
    ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &old);
    return CPoint(old);
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    SIZE old{0, 0};
    ::SetWindowExtEx(m_hDC, cx, cy, &old);
    return CSize(old);
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    SIZE old{0, 0};
    ::SetViewportExtEx(m_hDC, cx, cy, &old);
    return CSize(old);
}

CPoint CDC::GetWindowOrg() const
{
    POINT p{0, 0};
    ::GetWindowOrgEx(m_hDC, &p);
    return CPoint(p);
}

CPoint CDC::GetViewportOrg() const
{
    POINT p{0, 0};
    ::GetViewportOrgEx(m_hDC, &p);
    return CPoint(p);
}

CSize CDC::GetWindowExt() const
{
    SIZE s{0, 0};
    ::GetWindowExtEx(m_hDC, &s);
    return CSize(s);
}

CSize CDC::GetViewportExt() const
{
    SIZE s{0, 0};
    ::GetViewportExtEx(m_hDC, &s);
    return CSize(s);
}

void CDC::LPtoDP(SIZE* lpSize) const
{
    const DC* dc = AsDC(m_hDC);
    if (!dc || !lpSize)
        return;
    lpSize->cx = MulDiv(lpSize->cx, std::abs(dc->s.vExt.cx), std::abs(dc->s.wExt.cx));
    lpSize->cy = MulDiv(lpSize->cy, std::abs(dc->s.vExt.cy), std::abs(dc->s.wExt.cy));
}

void CDC::DPtoLP(SIZE* lpSize) const
{
    const DC* dc = AsDC(m_hDC);
    if (!dc || !lpSize)
        return;
    lpSize->cx = MulDiv(lpSize->cx, std::abs(dc->s.wExt.cx), std::abs(dc->s.vExt.cx));
    lpSize->cy = MulDiv(lpSize->cy, std::abs(dc->s.wExt.cy), std::abs(dc->s.vExt.cy));
}

CPen* CDC::SelectObject(CPen* pPen)
{
    return pPen ? CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, pPen->m_hObject))) : nullptr;
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    return pBrush ? CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, pBrush->m_hObject))) : nullptr;
}

CFont* CDC::SelectObject(CFont* pFont)
{
    return pFont ? CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, pFont->m_hObject))) : nullptr;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    return pBitmap ? CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, pBitmap->m_hObject))) : nullptr;
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject)
{
    return pObject ? CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->m_hObject)) : nullptr;
}

int CDC::SelectObject(CRgn* pRgn) { return ::SelectClipRgn(m_hDC, pRgn ? HRGN(*pRgn) : nullptr); }

CGdiObject* CDC::SelectStockObject(int nIndex)
{
    HGDIOBJ h = GetStockObject(nIndex);
    return h ? CGdiObject::FromHandle(::SelectObject(m_hDC, h)) : nullptr;
}

CPen* CDC::GetCurrentPen() const { return CPen::FromHandle(static_cast<HPEN>(GetCurrentObject(m_hDC, OBJ_PEN))); }

CBrush* CDC::GetCurrentBrush() const
{
    return CBrush::FromHandle(static_cast<HBRUSH>(GetCurrentObject(m_hDC, OBJ_BRUSH)));
}

CFont* CDC::GetCurrentFont() const { return CFont::FromHandle(static_cast<HFONT>(GetCurrentObject(m_hDC, OBJ_FONT))); }

CBitmap* CDC::GetCurrentBitmap() const
{
    return CBitmap::FromHandle(static_cast<HBITMAP>(GetCurrentObject(m_hDC, OBJ_BITMAP)));
}

CPoint CDC::MoveTo(int x, int y)
{
    POINT old{0, 0};
    ::MoveToEx(m_hDC, x, y, &old);
    return CPoint(old);
}

CPoint CDC::GetCurrentPosition() const
{
    POINT p{0, 0};
    ::GetCurrentPositionEx(m_hDC, &p);
    return CPoint(p);
}

void CDC::FillSolidRect(const RECT* lpRect, COLORREF crColor)
{
    if (!lpRect)
        return;
    ::SetBkColor(m_hDC, crColor);
    HBRUSH brush = ::CreateSolidBrush(crColor);
    ::FillRect(m_hDC, lpRect, brush);
    ::DeleteObject(brush);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF crColor)
{
    RECT r{x, y, x + cx, y + cy};
    FillSolidRect(&r, crColor);
}

BOOL CDC::FillRgn(CRgn* pRgn, CBrush* pBrush)
{
    return pRgn && pBrush && ::FillRgn(m_hDC, *pRgn, *pBrush);
}

CSize CDC::GetTextExtent(LPCSTR lpszString, int nCount) const
{
    SIZE s{0, 0};
    ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &s);
    return CSize(s);
}

int CDC::StartDoc(LPCSTR lpszDocName)
{
    DOCINFOA info{int(sizeof(DOCINFOA)), lpszDocName, nullptr, nullptr, 0};
    return ::StartDocA(m_hDC, &info);
}
