#pragma once
// Synthetic input for the modal tracking loop: the events are given to a window's client widget one
// after another from a zero timer, which fires once the handler under test has entered its loop.
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "platform/core/CRect.h"
#include "platform/gdi/WinGdi.h"
#include "platform/ui/CWnd.h"

namespace layerstest {

struct InputStep {
    QEvent::Type type;
    CPoint point;
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons buttons = Qt::NoButton;
};

// Each event is made just before it is sent: Qt shares the state of queued pointer events.
inline void Schedule(CWnd* pWnd, std::vector<InputStep> steps)
{
    QPointer<QWidget> w = pWnd->GetClientWidget();
    QTimer::singleShot(0, w, [w, steps] {
        for (const InputStep& s : steps) {
            if (!w)
                return;
            if (s.type == QEvent::KeyPress) {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(w, &key);
                continue;
            }
            const QPointF local(s.point.x, s.point.y);
            QMouseEvent mouse(s.type, local, QPointF(w->mapToGlobal(local.toPoint())), s.button, s.buttons,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(w, &mouse);
        }
    });
}

// Moves with the left button held through the given points, then releases it at the last one.
inline void PostDrag(CWnd* pWnd, std::initializer_list<CPoint> points)
{
    std::vector<InputStep> steps;
    CPoint last;
    for (const CPoint& p : points) {
        steps.push_back({QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton});
        last = p;
    }
    steps.push_back({QEvent::MouseButtonRelease, last, Qt::LeftButton, Qt::NoButton});
    Schedule(pWnd, std::move(steps));
}

// The left button goes down at p: the press reaches the window's handlers at once, the way the window
// system delivers it (queue the rest of the gesture first).
inline void Press(CWnd* pWnd, CPoint p)
{
    QWidget* w = pWnd->GetClientWidget();
    const QPointF local(p.x, p.y);
    QMouseEvent press(QEvent::MouseButtonPress, local, QPointF(w->mapToGlobal(local.toPoint())), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
}

// A click where the button went down: released at the same point.
inline void PostRelease(CWnd* pWnd, CPoint p) { PostDrag(pWnd, {p}); }

// Moves with the button held, then Escape.
inline void PostMoveAndEscape(CWnd* pWnd, CPoint p)
{
    Schedule(pWnd, {{QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton}, {QEvent::KeyPress, p}});
}

// What a font dialog answers when the user chooses DejaVu Sans at nPointSize tenths of a point in a
// colour: the size and colour in the settings block, the font measured on the 96-dpi screen.
inline void AnswerFont(CHOOSEFONTA& cf, LOGFONTA& lf, int nPointSize, COLORREF colour, LONG nWeight = FW_NORMAL)
{
    cf.iPointSize = nPointSize;
    cf.rgbColors = colour;
    LOGFONTA chosen;
    std::strcpy(chosen.lfFaceName, "DejaVu Sans");
    chosen.lfHeight = -MulDiv(nPointSize, 96, 720);
    chosen.lfWeight = nWeight;
    lf = chosen;
}

} // namespace layerstest
