// Windows: mouse messages, timers, painting, capture, the wait cursor and the scroll view.
#include "tests/support/UiTestSupport.h"

#include "platform/core/CDocument.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/CFrameWnd.h"
#include "platform/ui/CRichEditCtrl.h"
#include "platform/ui/CScrollView.h"
#include "platform/ui/CSplitterWnd.h"
#include "platform/ui/CWinApp.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>
#include <QKeyEvent>
#include <QTextCursor>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {
// A window that records the messages it gets.
class RecordingWnd : public CWnd {
public:
    std::vector<std::string> log;
    std::vector<UINT> flags;
    std::vector<CPoint> points;
    int paints = 0;
    int erases = 0;
    int timerTicks = 0;
    bool killInTimer = false;

    void OnLButtonDown(UINT nFlags, CPoint pt) override { Record("ldown", nFlags, pt); }
    void OnLButtonUp(UINT nFlags, CPoint pt) override { Record("lup", nFlags, pt); }
    void OnRButtonDown(UINT nFlags, CPoint pt) override { Record("rdown", nFlags, pt); }
    void OnMouseMove(UINT nFlags, CPoint pt) override { Record("move", nFlags, pt); }
    void OnPaint() override
    {
        ++paints;
        CWnd::OnPaint();
    }
    BOOL OnEraseBkgnd(CDC* pDC) override
    {
        ++erases;
        return CWnd::OnEraseBkgnd(pDC);
    }
    void OnTimer(UINT_PTR nIDEvent) override
    {
        ++timerTicks;
        log.push_back("timer" + std::to_string(nIDEvent));
        if (killInTimer)
            KillTimer(nIDEvent);
    }

private:
    void Record(const char* what, UINT nFlags, CPoint pt)
    {
        log.push_back(what);
        flags.push_back(nFlags);
        points.push_back(pt);
    }
};

void SendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods)
{
    QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), button, buttons, mods);
    QCoreApplication::sendEvent(w, &e);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        const CRect rc(0, 0, 200, 100);
        ASSERT_TRUE(m_wnd.Create(nullptr, 1, WS_VISIBLE, &rc));
        m_wnd.ShowWindow(SW_SHOW);
        QCoreApplication::processEvents();
    }
    RecordingWnd m_wnd;
};

TEST_F(WindowTest, MouseMessagesCarryButtonAndKeyState)
{
    QWidget* w = m_wnd.GetClientWidget();
    SendMouse(w, QEvent::MouseButtonPress, QPoint(10, 20), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    SendMouse(w, QEvent::MouseMove, QPoint(12, 22), Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    SendMouse(w, QEvent::MouseButtonRelease, QPoint(13, 23), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    SendMouse(w, QEvent::MouseButtonPress, QPoint(1, 2), Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    EXPECT_EQ(m_wnd.log, (std::vector<std::string>{"ldown", "move", "lup", "rdown"}));
    EXPECT_EQ(m_wnd.flags, (std::vector<UINT>{MK_LBUTTON | MK_SHIFT, MK_LBUTTON | MK_CONTROL, 0, MK_RBUTTON}));
    EXPECT_EQ(m_wnd.points[0].x, 10);
    EXPECT_EQ(m_wnd.points[0].y, 20);
    EXPECT_EQ(m_wnd.points[2].x, 13);

    m_wnd.SetCapture();
    EXPECT_EQ(CWnd::GetCapture(), &m_wnd);
    ReleaseCapture();
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(WindowTest, TimersTickUntilKilledEvenFromTheirHandler)
{
    EXPECT_EQ(m_wnd.SetTimer(7, 5), 7u);
    m_wnd.killInTimer = true;
    QElapsedTimer clock;
    clock.start();
    while (m_wnd.timerTicks == 0 && clock.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(m_wnd.timerTicks, 1);
    // Killed inside its handler: no further ticks.
    clock.restart();
    while (clock.elapsed() < 60)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(m_wnd.timerTicks, 1);
    EXPECT_EQ(m_wnd.log.back(), "timer7");
    EXPECT_FALSE(m_wnd.KillTimer(7));
}

TEST_F(WindowTest, InvalidatedWindowsPaintAtUpdateWindowAndOnlyThen)
{
    QCoreApplication::processEvents();
    const int paints = m_wnd.paints;
    m_wnd.UpdateWindow(); // nothing marked: no paint
    EXPECT_EQ(m_wnd.paints, paints);
    m_wnd.Invalidate(FALSE);
    const int erases = m_wnd.erases;
    m_wnd.UpdateWindow(); // paints now, before returning to the loop
    EXPECT_EQ(m_wnd.paints, paints + 1);
    EXPECT_EQ(m_wnd.erases, erases);
    m_wnd.Invalidate(TRUE);
    m_wnd.UpdateWindow();
    EXPECT_EQ(m_wnd.erases, erases + 1);
    CRect rc;
    m_wnd.GetClientRect(&rc);
    EXPECT_EQ(rc.Width(), 200);
    EXPECT_EQ(rc.Height(), 100);
    EXPECT_EQ(m_wnd.GetBackingImage()->size(), QSize(200, 100));
}

TEST_F(WindowTest, WaitCursorNestsAndShowsAtOnce)
{
    CWinApp app;
    AfxInstallWindowHandlers();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    {
        CWaitCursor wait;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        CDocument doc;
        doc.BeginWaitCursor();
        doc.EndWaitCursor();
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // An unmatched end does nothing.
    app.DoWaitCursor(-1);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

TEST_F(WindowTest, DrawingThroughAWindowDCShowsAtOnce)
{
    PaintCounter counter;
    m_wnd.GetClientWidget()->installEventFilter(&counter);
    CDC* pDC = m_wnd.GetDC();
    ASSERT_NE(pDC, nullptr);
    const int paintsBefore = m_wnd.paints;
    pDC->FillSolidRect(10, 10, 5, 5, RGB(255, 0, 0));
    // Shown before control returns to any event loop, without running the window's own paint.
    EXPECT_GE(counter.count, 1);
    EXPECT_EQ(m_wnd.paints, paintsBefore);
    EXPECT_EQ(m_wnd.GetBackingImage()->pixel(12, 12), qRgb(255, 0, 0));
    EXPECT_EQ(m_wnd.GetBackingImage()->pixel(16, 16), qRgb(255, 255, 255));
    EXPECT_EQ(m_wnd.ReleaseDC(pDC), 1);
    m_wnd.GetClientWidget()->removeEventFilter(&counter);
}

TEST_F(WindowTest, AResizeWhileAWindowDCIsAliveWaitsForItsRelease)
{
    CDC* pDC = m_wnd.GetDC();
    ASSERT_NE(pDC, nullptr);
    const QImage* pBefore = m_wnd.GetBackingImage();
    m_wnd.GetClientWidget()->resize(300, 150);
    QCoreApplication::sendPostedEvents();
    // The DC still draws into the image the window shows.
    EXPECT_EQ(m_wnd.GetBackingImage(), pBefore);
    pDC->FillSolidRect(20, 20, 4, 4, RGB(0, 0, 255));
    EXPECT_EQ(m_wnd.GetBackingImage()->pixel(21, 21), qRgb(0, 0, 255));
    EXPECT_EQ(m_wnd.ReleaseDC(pDC), 1);
    // Released: the backing takes the new size and keeps what was drawn.
    EXPECT_EQ(m_wnd.GetBackingImage()->size(), QSize(300, 150));
    EXPECT_EQ(m_wnd.GetBackingImage()->pixel(21, 21), qRgb(0, 0, 255));
}

class PlainScrollView : public CScrollView {
    DECLARE_DYNCREATE(PlainScrollView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(PlainScrollView, CScrollView)

TEST(ScrollViewTest, HighEnglishSizesScrollInDevicePixels)
{
    EnsureTestApplication();
    PlainScrollView view;
    const CRect rc(0, 0, 300, 200);
    ASSERT_TRUE(view.Create(nullptr, 1, WS_VISIBLE, &rc));
    view.GetWidget()->show();
    QCoreApplication::processEvents();
    // 7499 x 9499 thousandths of an inch at 96 dots per inch.
    view.SetScrollSizes(MM_HIENGLISH, CSize(7499, 9499), CSize(1000, 1000), CSize(100, 100));
    int mode = 0;
    SIZE total{}, page{}, line{};
    view.GetDeviceScrollSizes(mode, total, page, line);
    EXPECT_EQ(mode, MM_HIENGLISH);
    EXPECT_EQ(total.cx, 720);
    EXPECT_EQ(total.cy, 912);
    EXPECT_EQ(page.cx, 96);
    EXPECT_EQ(line.cy, 10);
    QAbstractScrollArea* area = view.GetScrollArea();
    const QSize client = view.GetClientWidget()->size();
    EXPECT_EQ(area->verticalScrollBar()->maximum(), 912 - client.height());
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 720 - client.width());

    view.ScrollToDevicePosition(CPoint(48, 96));
    EXPECT_EQ(view.GetDeviceScrollPosition().x, 48);
    EXPECT_EQ(view.GetDeviceScrollPosition().y, 96);
    // In logical units y grows upwards: one inch down is -1000.
    EXPECT_EQ(view.GetScrollPosition().x, 500);
    EXPECT_EQ(view.GetScrollPosition().y, -1000);
    view.ScrollToPosition(CPoint(0, -500));
    EXPECT_EQ(view.GetDeviceScrollPosition().y, 48);

    // Zero sizes take a tenth of the total and of the page.
    view.SetScrollSizes(MM_HIENGLISH, CSize(10000, 10000));
    view.GetDeviceScrollSizes(mode, total, page, line);
    EXPECT_EQ(page.cx, 96);
    EXPECT_EQ(line.cx, 9);
    // A page that fits needs no scrolling.
    view.SetScrollSizes(MM_HIENGLISH, CSize(0, 0), CSize(0, 0), CSize(0, 0));
    EXPECT_EQ(area->verticalScrollBar()->maximum(), 0);
}

// Fills the first logical square inch (y grows upwards) black.
class InchView : public CScrollView {
public:
    void OnDraw(CDC* pDC) override { pDC->FillSolidRect(0, 0, 1000, -1000, RGB(0, 0, 0)); }
};

TEST(ScrollViewTest, PaintsThroughTheMappingModeAndScrollOrigin)
{
    EnsureTestApplication();
    InchView view;
    const CRect rc(0, 0, 300, 200);
    ASSERT_TRUE(view.Create(nullptr, 1, WS_VISIBLE, &rc));
    view.GetWidget()->show();
    view.SetScrollSizes(MM_HIENGLISH, CSize(7499, 9499));
    QCoreApplication::processEvents();
    view.Invalidate(TRUE);
    view.UpdateWindow();
    const QImage* image = view.GetBackingImage();
    EXPECT_EQ(image->pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image->pixel(95, 95), qRgb(0, 0, 0));
    EXPECT_EQ(image->pixel(96, 10), qRgb(255, 255, 255));
    // Half an inch down the page is scrolled away.
    view.ScrollToDevicePosition(CPoint(0, 48));
    view.UpdateWindow();
    EXPECT_EQ(image->pixel(10, 47), qRgb(0, 0, 0));
    EXPECT_EQ(image->pixel(10, 48), qRgb(255, 255, 255));
}

// A parent that hears its editor's notifications.
class EditorParent : public CWnd {
public:
    std::vector<std::string> heard;
    void OnKill() { heard.push_back("kill"); }
    void OnChange() { heard.push_back("change"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(EditorParent, CWnd)
    ON_EN_KILLFOCUS(2000, &EditorParent::OnKill)
    ON_EN_CHANGE(2000, &EditorParent::OnChange)
END_MESSAGE_MAP()

// The editor as the view makes it: hidden, a child of a shown window that hears it.
class RichEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        const CRect rc(0, 0, 300, 200);
        ASSERT_TRUE(parent.Create(nullptr, 1, WS_VISIBLE, &rc));
        parent.GetWidget()->show();
        ASSERT_TRUE(editor.Create(0x40810004, CRect(0, 0, 10, 10), &parent, 2000));
    }
    EditorParent parent;
    CRichEditCtrl editor;
};

TEST_F(RichEditTest, HiddenEditorShowsTextAndTellsItsParent)
{
    EXPECT_FALSE(editor.GetStyle() & WS_VISIBLE);
    editor.SetEventMask(editor.GetEventMask() | 0x300);
    EXPECT_EQ(editor.GetEventMask(), 0x300u);
    editor.SetWindowText("first line");
    CString text;
    editor.GetWindowText(text);
    EXPECT_EQ(std::string(text), "first line");
    EXPECT_TRUE(parent.heard.empty()); // no ENM_CHANGE asked for

    editor.SetWindowPos(&CWnd::wndTop, 20, 30, 100, 40, SWP_SHOWWINDOW);
    EXPECT_TRUE(editor.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(editor.GetWidget()->geometry(), QRect(20, 30, 100, 40));
    CHARFORMAT cf;
    editor.GetDefaultCharFormat(cf);
    cf.dwMask |= CFM_SIZE | CFM_COLOR;
    cf.dwEffects &= 0x3FFFFFFF;
    cf.crTextColor = RGB(200, 0, 0);
    cf.yHeight = 240;
    EXPECT_TRUE(editor.SetDefaultCharFormat(cf));
    EXPECT_EQ(editor.GetTextEdit()->currentCharFormat().foreground().color(), QColor(200, 0, 0));
    // 240 twips are 12 points, 16 pixels of the 96-dpi screen.
    EXPECT_EQ(editor.GetTextEdit()->currentCharFormat().font().pixelSize(), 16);

    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(editor.GetTextEdit(), &out);
    EXPECT_EQ(parent.heard, (std::vector<std::string>{"kill"}));
    editor.SetEventMask(ENM_CHANGE);
    editor.SetWindowText("changed");
    EXPECT_EQ(parent.heard.back(), "change");
    editor.ModifyStyle(WS_VISIBLE, 0);
    EXPECT_FALSE(editor.GetWidget()->isVisibleTo(parent.GetWidget()));
}

// The ink of a text colour in an image: its bounding box and how many pixels carry it.
struct Ink {
    QRect box;
    int pixels = 0;
};
Ink InkOf(const QImage& image, QRgb colour)
{
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) {
                ink.box |= QRect(x, y, 1, 1);
                ++ink.pixels;
            }
    return ink;
}

TEST_F(RichEditTest, TheFontBecomesTheDefaultFormatAndTheTextLooksAsAWindowDCDrawsIt)
{

    // A face that maps to an installed one, every effect on, the size in screen pixels.
    LOGFONTA lf;
    std::strcpy(lf.lfFaceName, "Arial");
    lf.lfHeight = -160;
    lf.lfWeight = FW_BOLD;
    lf.lfItalic = lf.lfUnderline = lf.lfStrikeOut = 1;
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&lf));
    editor.SetFont(&font, TRUE);
    CHARFORMAT cf;
    editor.GetDefaultCharFormat(cf);
    EXPECT_STREQ(cf.szFaceName, "Arial");
    EXPECT_EQ(cf.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT),
              CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT);
    EXPECT_EQ(cf.yHeight, 160 * 15);

    // The colour and size change the way the text layer asks for them; face and effects stay.
    cf.dwMask |= CFM_SIZE;
    cf.dwEffects &= 0x3FFFFFFF;
    cf.crTextColor = RGB(200, 0, 0);
    cf.yHeight = 240;
    ASSERT_TRUE(editor.SetDefaultCharFormat(cf));
    editor.GetDefaultCharFormat(cf);
    EXPECT_STREQ(cf.szFaceName, "Arial");
    EXPECT_EQ(cf.dwEffects & CFE_BOLD, CFE_BOLD);
    editor.SetWindowText("Maze");
    QTextCursor at(editor.GetTextEdit()->document());
    at.setPosition(2);
    const QFont shown = at.charFormat().font();
    EXPECT_EQ(shown.family(), QString("DejaVu Sans"));
    EXPECT_TRUE(shown.bold());
    EXPECT_TRUE(shown.italic());
    EXPECT_TRUE(shown.underline());
    EXPECT_TRUE(shown.strikeOut());
    EXPECT_EQ(shown.pixelSize(), 16);
    EXPECT_EQ(at.charFormat().foreground().color(), QColor(200, 0, 0));

    // Without WS_VSCROLL the editor has no scroll bar, and its text stands 3 pixels inside its edge:
    // the same ink as a window DC's DrawText of the same font there.
    editor.SetWindowPos(&CWnd::wndTop, 0, 0, 200, 60, SWP_SHOWWINDOW);
    EXPECT_EQ(editor.GetTextEdit()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    const QImage typed = editor.GetWidget()->grab().toImage();
    RecordingWnd page;
    const CRect pageRect(0, 0, 200, 60);
    ASSERT_TRUE(page.Create(nullptr, 3, WS_VISIBLE, &pageRect));
    page.GetWidget()->show();
    CDC* pDC = page.GetDC();
    LOGFONTA drawn = lf;
    drawn.lfHeight = -16;
    CFont drawnFont;
    drawnFont.CreateFontIndirect(&drawn);
    pDC->SelectObject(&drawnFont);
    pDC->SetTextColor(RGB(200, 0, 0));
    pDC->SetBkMode(TRANSPARENT);
    CRect box(3, 3, 197, 57);
    pDC->DrawText("Maze", -1, &box, DT_WORDBREAK | DT_EDITCONTROL);
    const QImage committed = page.GetBackingImage()->copy(0, 0, 200, 60);
    page.ReleaseDC(pDC);
    const Ink a = InkOf(typed, qRgb(200, 0, 0));
    const Ink b = InkOf(committed, qRgb(200, 0, 0));
    EXPECT_GT(b.pixels, 30);
    EXPECT_EQ(a.box, b.box);
    EXPECT_NEAR(a.pixels, b.pixels, b.pixels / 10);
}

// Escape hands the focus back to the parent: the editor hears it as a loss of the focus. Its own
// context menu takes the focus away for a while only, and is not.
TEST_F(RichEditTest, EscapeEndsTheTypingAndAPopupDoesNot)
{
    QApplication::setActiveWindow(parent.GetWidget());
    editor.SetWindowPos(&CWnd::wndTop, 10, 10, 190, 50, SWP_SHOWWINDOW);
    editor.SetFocus();
    QApplication::processEvents();
    ASSERT_EQ(CWnd::GetFocus(), &editor);
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QCoreApplication::sendEvent(editor.GetTextEdit(), &popup);
    EXPECT_TRUE(parent.heard.empty());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(editor.GetTextEdit(), &escape);
    QApplication::processEvents();
    EXPECT_EQ(CWnd::GetFocus(), &parent);
    EXPECT_EQ(parent.heard, (std::vector<std::string>{"kill"}));
}

// A static splitter of two rows, each a scroll view.
class SplitterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        ASSERT_TRUE(splitter.CreateStatic(nullptr, 2, 1));
        ASSERT_TRUE(splitter.CreateView(0, 0, RUNTIME_CLASS(PlainScrollView), CSize(0, 0), &context));
        ASSERT_TRUE(splitter.CreateView(1, 0, RUNTIME_CLASS(PlainScrollView), CSize(0, 0), &context));
    }
    CSplitterWnd splitter;
    CCreateContext context;
};

TEST_F(SplitterTest, RowsBelowTheFirstKeepTheirIdealHeights)
{
    EXPECT_FALSE(splitter.CreateView(1, 0, RUNTIME_CLASS(PlainScrollView), CSize(0, 0), &context));
    splitter.GetWidget()->resize(300, 400 + CSplitterWnd::kSplitterBar);
    splitter.SetRowInfo(1, 150, 20);
    splitter.RecalcLayout();
    int cur = 0, min = 0;
    splitter.GetRowInfo(1, cur, min);
    EXPECT_EQ(cur, 150);
    EXPECT_EQ(min, 20);
    splitter.GetRowInfo(0, cur, min);
    EXPECT_EQ(cur, 250);
    // Below its minimum a row is hidden.
    splitter.SetRowInfo(1, 10, 20);
    splitter.RecalcLayout();
    splitter.GetRowInfo(1, cur, min);
    EXPECT_EQ(cur, 0);
    EXPECT_FALSE(splitter.GetPane(1, 0)->GetWidget()->isVisibleTo(splitter.GetWidget()));
    // Taller than the splitter: the row gets all there is.
    splitter.SetRowInfo(1, 1000, 0);
    splitter.RecalcLayout();
    splitter.GetRowInfo(1, cur, min);
    EXPECT_EQ(cur, 400);
    // Dragging the bar moves the boundary between the rows.
    splitter.SetRowInfo(1, 100, 0);
    splitter.RecalcLayout();
    QWidget* w = splitter.GetClientWidget();
    const int barY = 300 + CSplitterWnd::kSplitterBar / 2;
    SendMouse(w, QEvent::MouseButtonPress, QPoint(10, barY), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    SendMouse(w, QEvent::MouseMove, QPoint(10, 200), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    SendMouse(w, QEvent::MouseButtonRelease, QPoint(10, 200), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    splitter.GetRowInfo(0, cur, min);
    EXPECT_EQ(cur, 200);
    splitter.GetRowInfo(1, cur, min);
    EXPECT_EQ(cur, 200);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);

    splitter.SetActivePane(1, 0);
    int row = -1;
    EXPECT_EQ(splitter.GetActivePane(&row), splitter.GetPane(1, 0));
    EXPECT_EQ(row, 1);
}

// Activating a pane gives it the focus, unless the focus is in it already: an editor open in the pane
// keeps the focus, also when its window is inactive and gets it back later.
TEST_F(SplitterTest, TheActivePaneTakesTheFocusUnlessItHoldsItInAChild)
{
    splitter.GetWidget()->resize(300, 400);
    splitter.SetRowInfo(1, 150, 0);
    splitter.RecalcLayout();
    splitter.GetWidget()->show();
    QApplication::setActiveWindow(splitter.GetWidget());
    CWnd* pTop = splitter.GetPane(0, 0);
    CWnd* pBottom = splitter.GetPane(1, 0);
    CRichEditCtrl editor;
    ASSERT_TRUE(editor.Create(0x40810004 | WS_VISIBLE, CRect(10, 10, 200, 60), pTop, 2000));

    splitter.SetActivePane(1, 0);
    EXPECT_EQ(CWnd::GetFocus(), pBottom);
    splitter.SetActivePane(0, 0);
    EXPECT_EQ(CWnd::GetFocus(), pTop);
    editor.SetFocus();
    splitter.SetActivePane(0, 0);
    EXPECT_EQ(CWnd::GetFocus(), &editor);

    // Inactive (a dialog above it): the editor stays the window's focus child.
    QApplication::setActiveWindow(nullptr);
    splitter.SetActivePane(0, 0);
    EXPECT_EQ(splitter.GetWidget()->focusWidget(), editor.GetTextEdit());
    QApplication::setActiveWindow(splitter.GetWidget());
    EXPECT_EQ(CWnd::GetFocus(), &editor);
    splitter.SetActivePane(1, 0);
    EXPECT_EQ(CWnd::GetFocus(), pBottom);
}
} // namespace
