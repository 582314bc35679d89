#include "platform/ui/TrackerLoop.h"

#include "platform/gdi/CRectTracker.h"
#include "platform/ui/CWnd.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace {

// Whether the left button is down by the events the application has delivered. Window-system input
// also sets the application's own button state; events a program sends itself set only this.
bool g_bLeftDown = false;

class ButtonWatch : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::MouseButtonPress || pEvent->type() == QEvent::MouseButtonDblClick ||
            pEvent->type() == QEvent::MouseButtonRelease) {
            auto* e = static_cast<QMouseEvent*>(pEvent);
            if (e->button() == Qt::LeftButton)
                g_bLeftDown = pEvent->type() != QEvent::MouseButtonRelease;
        }
        return false;
    }
};

bool LeftButtonDown() { return g_bLeftDown || (QGuiApplication::mouseButtons() & Qt::LeftButton); }

// Takes every mouse and key event of the application while tracking: pointer moves feed the tracker,
// the left button's release ends it, Escape or the right button cancels it.
class TrackFilter : public QObject {
public:
    TrackFilter(QWidget* pClient, CDC* pDC, const CRectTracker::TrackMove& move)
        : m_pClient(pClient), m_pDC(pDC), m_move(move)
    {
    }

    bool m_bReleased = false;
    QEventLoop m_loop;

protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override
    {
        switch (pEvent->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* e = static_cast<QMouseEvent*>(pEvent);
            if (!m_pClient) {
                m_loop.quit();
                return true;
            }
            const QPointF p = pObject == m_pClient ? e->position() : m_pClient->mapFromGlobal(e->globalPosition());
            const CPoint point(int(p.x()), int(p.y()));
            if (pEvent->type() == QEvent::MouseMove) {
                m_move(m_pDC, point);
            } else if (pEvent->type() == QEvent::MouseButtonRelease && e->button() == Qt::LeftButton) {
                m_move(m_pDC, point);
                g_bLeftDown = false;
                m_bReleased = true;
                m_loop.quit();
            } else if (pEvent->type() != QEvent::MouseButtonRelease && e->button() == Qt::RightButton) {
                m_loop.quit();
            }
            return true;
        }
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(pEvent)->key() == Qt::Key_Escape)
                m_loop.quit();
            return true;
        case QEvent::KeyRelease:
        case QEvent::Wheel:
            return true;
        default:
            return false;
        }
    }

private:
    QPointer<QWidget> m_pClient;
    CDC* m_pDC;
    const CRectTracker::TrackMove& m_move;
};

bool RunTrackLoop(CWnd* pWnd, const CRectTracker::TrackMove& move, const std::function<void(CDC*)>& finish)
{
    QWidget* pClient = pWnd ? pWnd->GetClientWidget() : nullptr;
    // A button that is no longer down has nothing to track: its release has come and gone.
    if (!pClient || !QApplication::instance() || !LeftButtonDown())
        return false;
    CDC* pDC = pWnd->GetDC();
    TrackFilter filter(pClient, pDC, move);
    QApplication::instance()->installEventFilter(&filter);
    pWnd->SetCapture();
    filter.m_loop.exec();
    QApplication::instance()->removeEventFilter(&filter);
    if (CWnd::GetCapture() == pWnd)
        ReleaseCapture();
    finish(pDC);
    pWnd->ReleaseDC(pDC);
    return filter.m_bReleased;
}

bool CursorPosition(CWnd* pWnd, CPoint* pClient)
{
    QWidget* pWidget = pWnd ? pWnd->GetClientWidget() : nullptr;
    if (!pWidget)
        return false;
    const QPoint p = pWidget->mapFromGlobal(QCursor::pos());
    *pClient = CPoint(p.x(), p.y());
    return true;
}

void CursorShape(CWnd* pWnd, int nHit)
{
    QWidget* pWidget = pWnd ? pWnd->GetClientWidget() : nullptr;
    if (!pWidget)
        return;
    Qt::CursorShape shape = Qt::SizeAllCursor;
    switch (nHit) {
    case CRectTracker::hitTopLeft:
    case CRectTracker::hitBottomRight: shape = Qt::SizeFDiagCursor; break;
    case CRectTracker::hitTopRight:
    case CRectTracker::hitBottomLeft: shape = Qt::SizeBDiagCursor; break;
    case CRectTracker::hitTop:
    case CRectTracker::hitBottom: shape = Qt::SizeVerCursor; break;
    case CRectTracker::hitLeft:
    case CRectTracker::hitRight: shape = Qt::SizeHorCursor; break;
    default: break;
    }
    pWidget->setCursor(shape);
}

} // namespace

void AfxInstallTrackerLoop()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    if (QApplication::instance())
        QApplication::instance()->installEventFilter(new ButtonWatch());
    CRectTracker::SetTrackLoop(RunTrackLoop);
    CRectTracker::SetCursorHandlers(CursorPosition, CursorShape);
}

void AfxRestoreDefaultCursor(CWnd* pWnd)
{
    if (QWidget* pWidget = pWnd ? pWnd->GetClientWidget() : nullptr)
        pWidget->unsetCursor();
}
