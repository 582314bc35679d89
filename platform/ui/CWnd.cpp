#include "platform/ui/CWnd.h"

#include "platform/core/CDocument.h"
#include "platform/ui/CFrameWnd.h"
#include "platform/ui/QtText.h"
#include "platform/ui/WindowDC.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <QWidget>

namespace {
const char* const kWndProperty = "vantrel_cwnd";

UINT KeyState(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    UINT n = 0;
    if (buttons & Qt::LeftButton)
        n |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        n |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        n |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        n |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        n |= MK_CONTROL;
    return n;
}

CPoint ClientPoint(const QPointF& p) { return CPoint(int(p.x()), int(p.y())); }

CWnd* g_pCapture = nullptr;
} // namespace

// Translates the Qt events of a window's widgets into its message handlers.
class CWndBridge : public QObject {
public:
    explicit CWndBridge(CWnd* pWnd) : m_pWnd(pWnd) {}

    bool eventFilter(QObject* pObject, QEvent* pEvent) override
    {
        if (pObject == m_pWnd->m_pClient && FilterClient(pEvent))
            return true;
        if (pObject == m_pWnd->m_pWidget) {
            switch (pEvent->type()) {
            case QEvent::Close:
                if (!m_bClosing) {
                    // The window decides through OnClose; it destroys itself when it agrees.
                    pEvent->ignore();
                    m_bClosing = true;
                    m_pWnd->OnClose();
                    m_bClosing = false;
                    return true;
                }
                break;
            default:
                break;
            }
        }
        return QObject::eventFilter(pObject, pEvent);
    }

    bool m_bClosing = false;

private:
    bool FilterClient(QEvent* pEvent)
    {
        switch (pEvent->type()) {
        case QEvent::Paint:
            m_pWnd->ResizeBacking();
            if (m_pWnd->m_bNeedsPaint && !m_pWnd->m_bFlushing)
                m_pWnd->PaintNow();
            {
                QPainter painter(m_pWnd->m_pClient);
                painter.drawImage(0, 0, *m_pWnd->m_pBacking);
            }
            return true;
        case QEvent::Resize: {
            m_pWnd->ResizeBacking();
            m_pWnd->m_bNeedsPaint = true;
            m_pWnd->m_bNeedsErase = true;
            const QSize s = m_pWnd->m_pClient->size();
            QWidget* pTop = m_pWnd->m_pWidget;
            m_pWnd->OnSize(pTop && pTop->isMaximized() ? SIZE_MAXIMIZED : SIZE_RESTORED, s.width(), s.height());
            return false;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            auto* e = static_cast<QMouseEvent*>(pEvent);
            const CPoint pt = ClientPoint(e->position());
            const UINT flags = KeyState(e->buttons(), e->modifiers());
            const bool left = e->button() == Qt::LeftButton;
            const bool right = e->button() == Qt::RightButton;
            if (pEvent->type() == QEvent::MouseMove)
                m_pWnd->OnMouseMove(flags, pt);
            else if (pEvent->type() == QEvent::MouseButtonPress) {
                if (CFrameWnd* pFrame = m_pWnd->GetParentFrame())
                    pFrame->OnPaneMouseActivate(m_pWnd);
                if (left)
                    m_pWnd->OnLButtonDown(flags, pt);
                else if (right)
                    m_pWnd->OnRButtonDown(flags, pt);
            } else if (pEvent->type() == QEvent::MouseButtonRelease) {
                if (left)
                    m_pWnd->OnLButtonUp(flags, pt);
                else if (right)
                    m_pWnd->OnRButtonUp(flags, pt);
            } else if (left) {
                m_pWnd->OnLButtonDblClk(flags, pt);
            }
            return true;
        }
        case QEvent::Wheel: {
            auto* e = static_cast<QWheelEvent*>(pEvent);
            return m_pWnd->OnMouseWheel(KeyState(e->buttons(), e->modifiers()), short(e->angleDelta().y()),
                                        ClientPoint(e->position()));
        }
        case QEvent::FocusIn:
            m_pWnd->OnSetFocus(nullptr);
            return false;
        case QEvent::FocusOut:
            m_pWnd->OnKillFocus(CWnd::GetFocus());
            return false;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* e = static_cast<QKeyEvent*>(pEvent);
            // Letters and digits have the same codes as virtual keys.
            const UINT nChar = UINT(e->key());
            if (pEvent->type() == QEvent::KeyPress) {
                m_pWnd->OnKeyDown(nChar, 1, 0);
                if (!e->text().isEmpty())
                    m_pWnd->OnChar(UINT(e->text().at(0).unicode()), 1, 0);
            } else {
                m_pWnd->OnKeyUp(nChar, 1, 0);
            }
            return false;
        }
        default:
            return false;
        }
    }

    CWnd* m_pWnd;
};

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (g_pCapture == this)
        g_pCapture = nullptr;
    for (auto& [id, pTimer] : m_timers)
        delete pTimer;
    m_timers.clear();
    if (m_pWidget) {
        QWidget* pWidget = m_pWidget;
        DetachWidgets();
        delete pWidget;
    }
    delete m_pBridge;
}

CWnd* CWnd::FromWidget(const QWidget* pWidget)
{
    for (const QWidget* w = pWidget; w; w = w->parentWidget()) {
        QVariant v = w->property(kWndProperty);
        if (v.isValid())
            return static_cast<CWnd*>(v.value<void*>());
    }
    return nullptr;
}

void CWnd::CreateWidgets(QWidget* pParent)
{
    m_pWidget = new QWidget(pParent);
    m_pClient = m_pWidget;
}

BOOL CWnd::Create(CWnd* pParent, UINT nID, DWORD dwStyle, const RECT* pRect)
{
    CREATESTRUCT cs;
    cs.style = dwStyle;
    if (pRect) {
        cs.x = pRect->left;
        cs.y = pRect->top;
        cs.cx = pRect->right - pRect->left;
        cs.cy = pRect->bottom - pRect->top;
    }
    if (!PreCreateWindow(cs))
        return FALSE;
    m_pParent = pParent;
    m_nID = nID;
    m_dwStyle = cs.style;
    CreateWidgets(pParent ? pParent->GetChildParentWidget() : nullptr);
    AttachWidgets();
    if (cs.lpszName)
        m_pWidget->setWindowTitle(QStr(cs.lpszName));
    if (pRect)
        m_pWidget->setGeometry(cs.x, cs.y, cs.cx, cs.cy);
    if (OnCreate(&cs) == -1) {
        DestroyWindow();
        return FALSE;
    }
    if (pParent && (dwStyle & WS_VISIBLE))
        m_pWidget->show();
    return TRUE;
}

void CWnd::AttachWidgets()
{
    m_pWidget->setProperty(kWndProperty, QVariant::fromValue<void*>(this));
    if (m_pClient != m_pWidget)
        m_pClient->setProperty(kWndProperty, QVariant::fromValue<void*>(this));
    if (!m_pBridge)
        m_pBridge = new CWndBridge(this);
    if (!IsNativeWidget()) {
        m_pClient->setAttribute(Qt::WA_OpaquePaintEvent);
        m_pClient->setFocusPolicy(Qt::ClickFocus);
        m_pWidget->installEventFilter(m_pBridge);
        if (m_pClient != m_pWidget)
            m_pClient->installEventFilter(m_pBridge);
    }
    // A child is deleted by its parent widget; forget it then.
    QObject::connect(m_pWidget, &QObject::destroyed, m_pBridge, [this] { DetachWidgets(); });
}

void CWnd::DetachWidgets()
{
    if (m_pWidget && m_pBridge)
        QObject::disconnect(m_pWidget, nullptr, m_pBridge, nullptr);
    m_pWidget = nullptr;
    m_pClient = nullptr;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_pWidget)
        return FALSE;
    OnDestroy();
    for (auto& [id, pTimer] : m_timers)
        delete pTimer;
    m_timers.clear();
    QWidget* pWidget = m_pWidget;
    DetachWidgets();
    pWidget->hide();
    pWidget->deleteLater();
    return TRUE;
}

CFrameWnd* CWnd::GetParentFrame() const
{
    for (CWnd* p = m_pParent; p; p = p->m_pParent)
        if (auto* pFrame = dynamic_cast<CFrameWnd*>(p))
            return pFrame;
    return nullptr;
}

void CWnd::SetWindowText(const char* lpszText)
{
    if (m_pWidget)
        m_pWidget->setWindowTitle(QStr(lpszText ? lpszText : ""));
}

void CWnd::GetWindowText(CString& rString) const
{
    rString = m_pWidget ? m_pWidget->windowTitle().toLatin1().constData() : "";
}

void CWnd::GetClientRect(LPRECT lpRect) const
{
    *lpRect = CRect(0, 0, m_pClient ? m_pClient->width() : 0, m_pClient ? m_pClient->height() : 0);
}

void CWnd::GetWindowRect(LPRECT lpRect) const
{
    if (!m_pWidget) {
        *lpRect = CRect();
        return;
    }
    const QRect g = m_pWidget->geometry();
    *lpRect = CRect(g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    if (!m_pWidget)
        return;
    m_pWidget->setGeometry(x, y, std::max(0, nWidth), std::max(0, nHeight));
    if (bRepaint)
        Invalidate();
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint)
{
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    if (!m_pWidget)
        return FALSE;
    const BOOL bWasVisible = m_pWidget->isVisible();
    switch (nCmdShow) {
    case SW_HIDE:
        m_pWidget->hide();
        break;
    case SW_SHOWMAXIMIZED:
        // Without a window manager the state alone changes no size: take the screen's work area too.
        if (m_pWidget->isWindow() && m_pWidget->screen())
            m_pWidget->setGeometry(m_pWidget->screen()->availableGeometry());
        m_pWidget->showMaximized();
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        m_pWidget->showMinimized();
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        m_pWidget->showNormal();
        break;
    default:
        m_pWidget->show();
        break;
    }
    return bWasVisible;
}

const CWnd CWnd::wndTop;

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    if (!m_pWidget)
        return FALSE;
    if (!(nFlags & SWP_NOMOVE))
        m_pWidget->move(x, y);
    if (!(nFlags & SWP_NOSIZE))
        m_pWidget->resize(std::max(0, cx), std::max(0, cy));
    if (pWndInsertAfter == &wndTop && !(nFlags & SWP_NOZORDER))
        m_pWidget->raise();
    if (nFlags & SWP_SHOWWINDOW) {
        m_dwStyle |= WS_VISIBLE;
        m_pWidget->show();
    } else if (nFlags & SWP_HIDEWINDOW) {
        m_dwStyle &= ~WS_VISIBLE;
        m_pWidget->hide();
    }
    return TRUE;
}

DWORD CWnd::GetStyle() const
{
    return m_pWidget && !m_pWidget->isHidden() ? (m_dwStyle | WS_VISIBLE) : (m_dwStyle & ~WS_VISIBLE);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT)
{
    const DWORD old = GetStyle();
    m_dwStyle = (old & ~dwRemove) | dwAdd;
    if (m_pWidget && ((old ^ m_dwStyle) & WS_VISIBLE))
        m_pWidget->setVisible(m_dwStyle & WS_VISIBLE);
    return old != m_dwStyle;
}

BOOL CWnd::IsWindowVisible() const { return m_pWidget && m_pWidget->isVisible(); }

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    if (!m_pWidget)
        return FALSE;
    const BOOL bWasDisabled = !m_pWidget->isEnabled();
    m_pWidget->setEnabled(bEnable);
    return bWasDisabled;
}

void CWnd::Invalidate(BOOL bErase)
{
    m_bNeedsPaint = true;
    m_bNeedsErase = m_bNeedsErase || bErase;
    if (m_pClient)
        m_pClient->update();
}

void CWnd::InvalidateRect(LPCRECT, BOOL bErase)
{
    // The whole client area is repainted: handlers always redraw all of it.
    Invalidate(bErase);
}

void CWnd::UpdateWindow()
{
    if (m_pClient && m_bNeedsPaint && m_pClient->isVisible())
        m_pClient->repaint();
}

QImage* CWnd::GetBackingImage()
{
    ResizeBacking();
    return m_pBacking.get();
}

void CWnd::ResizeBacking()
{
    const QSize size = m_pClient ? m_pClient->size().expandedTo(QSize(1, 1)) : QSize(1, 1);
    if (m_pBacking && m_pBacking->size() == size)
        return;
    if (m_pBacking && m_nLiveDCs > 0) {
        m_bResizePending = true;
        return;
    }
    auto pImage = std::make_unique<QImage>(size, QImage::Format_RGB32);
    pImage->fill(Qt::white);
    if (m_pBacking) {
        QPainter p(pImage.get());
        p.drawImage(0, 0, *m_pBacking);
    }
    m_pBacking = std::move(pImage);
}

void CWnd::PaintNow()
{
    if (m_bInPaint)
        return;
    m_bInPaint = true;
    m_bNeedsPaint = false;
    if (m_bNeedsErase) {
        m_bNeedsErase = false;
        CDC* pDC = BeginPaintDC();
        OnEraseBkgnd(pDC);
        EndPaintDC(pDC);
    }
    OnPaint();
    m_bInPaint = false;
}

void CWnd::ShowBacking(const RECT& changed)
{
    if (!m_pClient || !m_pClient->isVisible() || m_bInPaint)
        return;
    m_bFlushing = true;
    m_pClient->repaint(QRect(changed.left, changed.top, changed.right - changed.left, changed.bottom - changed.top));
    m_bFlushing = false;
}

CDC* CWnd::GetDC()
{
    if (!m_pClient)
        return nullptr;
    ResizeBacking();
    CDC* pDC = AfxNewWindowDC(m_pBacking.get(), [this](const RECT& r) { ShowBacking(r); });
    if (pDC)
        ++m_nLiveDCs;
    return pDC;
}

int CWnd::ReleaseDC(CDC* pDC)
{
    if (!pDC)
        return 0;
    AfxDeleteWindowDC(pDC);
    DropLiveDC();
    return 1;
}

void CWnd::DropLiveDC()
{
    if (m_nLiveDCs > 0 && --m_nLiveDCs == 0 && m_bResizePending) {
        m_bResizePending = false;
        ResizeBacking();
        m_bNeedsPaint = true;
        if (m_pClient)
            m_pClient->update();
    }
}

CDC* CWnd::BeginPaintDC()
{
    ResizeBacking();
    // A paint shows its result when it ends; its DC needs no flushing.
    CDC* pDC = AfxNewWindowDC(m_pBacking.get(), {});
    if (pDC)
        ++m_nLiveDCs;
    return pDC;
}

void CWnd::EndPaintDC(CDC* pDC)
{
    if (!pDC)
        return;
    AfxDeleteWindowDC(pDC);
    DropLiveDC();
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, void*)
{
    if (!m_pWidget)
        return 0;
    KillTimer(nIDEvent);
    auto* pTimer = new QTimer;
    pTimer->setInterval(int(std::max<UINT>(nElapse, 1)));
    QObject::connect(pTimer, &QTimer::timeout, [this, nIDEvent] { OnTimer(nIDEvent); });
    m_timers[nIDEvent] = pTimer;
    pTimer->start();
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    auto it = m_timers.find(nIDEvent);
    if (it == m_timers.end())
        return FALSE;
    // The timer may be the one whose handler is running: delete it once control is back in the loop.
    it->second->stop();
    it->second->deleteLater();
    m_timers.erase(it);
    return TRUE;
}

CWnd* CWnd::SetFocus()
{
    CWnd* pOld = GetFocus();
    if (m_pClient)
        m_pClient->setFocus(Qt::OtherFocusReason);
    return pOld;
}

CWnd* CWnd::GetFocus() { return FromWidget(QApplication::focusWidget()); }

BOOL CWnd::HoldsFocus() const
{
    if (!m_pWidget)
        return FALSE;
    const QWidget* pFocus = m_pWidget->window()->focusWidget();
    return pFocus && (pFocus == m_pWidget || m_pWidget->isAncestorOf(pFocus));
}

CWnd* CWnd::SetCapture()
{
    CWnd* pOld = g_pCapture;
    if (g_pCapture && g_pCapture != this && g_pCapture->m_pClient)
        g_pCapture->m_pClient->releaseMouse();
    g_pCapture = this;
    if (m_pClient && m_pClient->isVisible())
        m_pClient->grabMouse();
    return pOld;
}

CWnd* CWnd::GetCapture() { return g_pCapture; }

BOOL ReleaseCapture()
{
    if (g_pCapture && g_pCapture->GetClientWidget())
        g_pCapture->GetClientWidget()->releaseMouse();
    g_pCapture = nullptr;
    return TRUE;
}

void CWnd::BeginWaitCursor() { DoWaitCursor(1); }
void CWnd::EndWaitCursor() { DoWaitCursor(-1); }
void CWnd::RestoreWaitCursor() { DoWaitCursor(0); }

CWaitCursor::CWaitCursor() { DoWaitCursor(1); }
CWaitCursor::~CWaitCursor() { DoWaitCursor(-1); }
void CWaitCursor::Restore() { DoWaitCursor(0); }

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }
int CWnd::OnCreate(LPCREATESTRUCT) { return 0; }
void CWnd::OnClose() { DestroyWindow(); }
void CWnd::OnPaint() { CPaintDC dc(this); }

BOOL CWnd::OnEraseBkgnd(CDC*)
{
    if (m_pBacking)
        m_pBacking->fill(Qt::white);
    return TRUE;
}

void CWnd::OnSize(UINT, int, int) {}
void CWnd::OnSizing(UINT, LPRECT) {}
void CWnd::OnTimer(UINT_PTR) {}
void CWnd::OnSetFocus(CWnd*) {}
void CWnd::OnKillFocus(CWnd*) {}
void CWnd::OnLButtonDown(UINT, CPoint) {}
void CWnd::OnLButtonUp(UINT, CPoint) {}
void CWnd::OnLButtonDblClk(UINT, CPoint) {}
void CWnd::OnRButtonDown(UINT, CPoint) {}
void CWnd::OnRButtonUp(UINT, CPoint) {}
void CWnd::OnMouseMove(UINT, CPoint) {}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return FALSE; }
void CWnd::OnKeyDown(UINT, UINT, UINT) {}
void CWnd::OnKeyUp(UINT, UINT, UINT) {}
void CWnd::OnChar(UINT, UINT, UINT) {}
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT) {}
BOOL CWnd::OnNotify(WPARAM, LPARAM, LRESULT*) { return FALSE; }
