#include "app/CSplashWnd.h"

#include "platform/core/Resource.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

CSplashWnd::CSplashWnd() = default;

CSplashWnd::~CSplashWnd()
{
    onDestroyed = nullptr;
    // After the Qt application has gone (a splash still up at process exit) its windows are left to
    // the process's end.
    if (!QCoreApplication::instance())
        return;
    DestroyWindow();
    m_owner.DestroyWindow();
}

void CSplashWnd::SetBitmapFile(const CString& path)
{
    m_strFile = path;
    m_bFromFile = TRUE;
}

void CSplashWnd::SetBitmapResource(UINT nID)
{
    m_nResourceID = nID;
    m_strResourceName.Empty();
    m_bFromFile = FALSE;
}

void CSplashWnd::SetBitmapResource(LPCSTR lpszName)
{
    m_nResourceID = 0;
    m_strResourceName = lpszName ? lpszName : "";
    m_bFromFile = FALSE;
}

BOOL CSplashWnd::Create()
{
    // A device-independent section at the bitmap's own size, from the file or the resources.
    if (m_bFromFile) {
        m_image.Load(m_strFile, IMAGE_FORMAT_BMP);
    } else {
        LPCSTR name = m_nResourceID ? MAKEINTRESOURCE(m_nResourceID) : static_cast<LPCSTR>(m_strResourceName);
        if (HRSRC resource = FindResource(nullptr, name, RT_BITMAP))
            m_image.LoadResource(resource, IMAGE_FORMAT_BMP);
    }
    m_bitmap.DeleteObject();
    if (m_image.IsValid() && m_bitmap.Attach(m_image.MakeBitmap())) {
        BITMAP bm{};
        m_bitmap.GetBitmap(&bm);
        width = bm.bmWidth;
        height = bm.bmHeight;
    }

    // The invisible owner keeps the splash off the task bar.
    if (!m_owner.IsWindow())
        m_owner.CWnd::Create(nullptr, 0, 0);
    const CRect rect(0, 0, width, height);
    CWnd::Create(nullptr, 0, WS_VISIBLE, &rect);
    BuildPalette();
    // Show it and paint it now: start-up goes on without returning to the event loop.
    ShowWindow(SW_SHOW);
    Invalidate(TRUE);
    UpdateWindow();
    return TRUE;
}

void CSplashWnd::CreateWidgets(QWidget*)
{
    m_pWidget = new QWidget(m_owner.GetWidget(), Qt::SplashScreen | Qt::FramelessWindowHint);
    m_pWidget->setCursor(Qt::ArrowCursor);
    m_pClient = m_pWidget;
}

void CSplashWnd::BuildPalette()
{
    m_palette.clear();
    m_bHalftone = m_image.IsValid() && m_image.GetBpp() > 8;
    if (!m_image.IsValid() || m_bHalftone)
        return;
    m_palette.resize(256);
    const RGBQUAD* table = m_image.GetPalette();
    const DWORD count = std::min<DWORD>(m_image.GetNumColors(), 256);
    for (DWORD i = 0; table && i < count; ++i) {
        m_palette[i].peRed = table[i].rgbRed;
        m_palette[i].peGreen = table[i].rgbGreen;
        m_palette[i].peBlue = table[i].rgbBlue;
    }
}

int CSplashWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CenterWindow();
    return 0;
}

void CSplashWnd::CenterWindow()
{
    if (!m_pWidget)
        return;
    QScreen* pScreen = m_pWidget->screen() ? m_pWidget->screen() : QGuiApplication::primaryScreen();
    if (!pScreen)
        return;
    const QRect area = pScreen->geometry();
    const QSize size = m_pWidget->size();
    m_pWidget->move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
}

void CSplashWnd::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bitmap.GetSafeHandle())
        return;
    CDC memDC;
    memDC.CreateCompatibleDC(dc);
    CBitmap* pOldBitmap = memDC.SelectObject(&m_bitmap);
    dc->BitBlt(0, 0, width, height, &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(pOldBitmap);
}

void CSplashWnd::OnLButtonDown(UINT nFlags, CPoint point)
{
    // The button-up first, then the move by the caption, as a click on a caption would.
    OnLButtonUp(nFlags, point);
    StartCaptionMove(point);
}

void CSplashWnd::StartCaptionMove(CPoint point)
{
    if (QWindow* pWindow = m_pWidget ? m_pWidget->windowHandle() : nullptr; pWindow && pWindow->startSystemMove())
        return;
    m_bDragging = true;
    m_dragAnchor = point;
}

void CSplashWnd::OnMouseMove(UINT, CPoint point)
{
    if (!m_bDragging || !m_pWidget)
        return;
    // The grab point stays under the mouse.
    m_pWidget->move(m_pWidget->pos() + QPoint(point.x - m_dragAnchor.x, point.y - m_dragAnchor.y));
}

void CSplashWnd::OnLButtonUp(UINT, CPoint) { m_bDragging = false; }

void CSplashWnd::OnClose()
{
    // The user cannot close the splash; only its thread can, by setting allowClose first.
    if (allowClose)
        CWnd::OnClose();
}

void CSplashWnd::OnDestroy()
{
    m_bDragging = false;
    // The owner goes with the window it owns.
    m_owner.DestroyWindow();
    if (onDestroyed)
        onDestroyed();
}
