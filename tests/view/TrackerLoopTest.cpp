// The rectangle tracker's modal loop: moving, sizing, rubber bands and cancelling, driven by queued
// mouse and key events through the window layer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <vector>

#include "maze/CLogicalRectTracker.h"
#include "platform/gdi/CRectTracker.h"
#include "platform/ui/CWnd.h"
#include "platform/ui/TrackerLoop.h"
#include "tests/support/UiTestSupport.h"
#include "tests/view/TrackerInput.h"

using namespace layerstest;

namespace {

class TrackerWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        AfxInstallTrackerLoop();
        CRect r(0, 0, 300, 200);
        ASSERT_TRUE(wnd.Create(nullptr, 0, WS_VISIBLE, &r));
        wnd.GetWidget()->show();
        QApplication::processEvents();
        tracker.m_rect.SetRect(50, 40, 150, 100);
        tracker.m_nStyle = CRectTracker::solidLine | CRectTracker::resizeOutside;
        tracker.m_nHandleSize = 8;
    }

    QImage Pixels() { return wnd.GetBackingImage()->copy(); }

    CWnd wnd;
    CRectTracker tracker;
};

TEST_F(TrackerWindow, MiddleDragMovesTheRectangleAndLeavesNoFrameBehind)
{
    const QImage before = Pixels();
    PostDrag(&wnd, {CPoint(110, 75), CPoint(130, 95), CPoint(125, 90)});
    Press(&wnd, CPoint(100, 70));
    EXPECT_TRUE(tracker.Track(&wnd, CPoint(100, 70)));
    EXPECT_EQ(tracker.m_rect, CRect(75, 60, 175, 120));
    // The tracking frame inverts the window's pixels; it is taken away when tracking ends.
    EXPECT_EQ(Pixels(), before);
}

TEST_F(TrackerWindow, HandlesSizeOneCornerOrOneSide)
{
    // The bottom-right handle lies just outside the corner.
    PostDrag(&wnd, {CPoint(184, 124)});
    Press(&wnd, CPoint(154, 104));
    EXPECT_TRUE(tracker.Track(&wnd, CPoint(154, 104)));
    EXPECT_EQ(tracker.m_rect, CRect(50, 40, 180, 120));
    // The left side's handle; dragged past the right side the rectangle turns the right way round.
    tracker.m_rect.SetRect(50, 40, 150, 100);
    PostDrag(&wnd, {CPoint(196, 70)});
    Press(&wnd, CPoint(46, 70));
    EXPECT_TRUE(tracker.Track(&wnd, CPoint(46, 70)));
    EXPECT_EQ(tracker.m_rect, CRect(150, 40, 200, 100));
}

TEST_F(TrackerWindow, MinimumSizeHoldsAMovedSide)
{
    tracker.m_sizeMin = CSize(30, 20);
    PostDrag(&wnd, {CPoint(70, 104)});
    Press(&wnd, CPoint(154, 104));
    EXPECT_TRUE(tracker.Track(&wnd, CPoint(154, 104)));
    EXPECT_EQ(tracker.m_rect, CRect(50, 40, 80, 100));
    PostDrag(&wnd, {CPoint(84, 50)});
    Press(&wnd, CPoint(84, 104));
    EXPECT_TRUE(tracker.Track(&wnd, CPoint(84, 104)));
    EXPECT_EQ(tracker.m_rect, CRect(50, 40, 80, 60));
}

TEST_F(TrackerWindow, EscapeAndMissesLeaveTheRectangle)
{
    PostMoveAndEscape(&wnd, CPoint(200, 150));
    Press(&wnd, CPoint(100, 70));
    EXPECT_FALSE(tracker.Track(&wnd, CPoint(100, 70)));
    EXPECT_EQ(tracker.m_rect, CRect(50, 40, 150, 100));
    // A press beside the tracker tracks nothing and takes no events.
    Press(&wnd, CPoint(250, 10));
    EXPECT_FALSE(tracker.Track(&wnd, CPoint(250, 10)));
    // A click without movement keeps the rectangle: tracked, but not changed.
    PostRelease(&wnd, CPoint(100, 70));
    Press(&wnd, CPoint(100, 70));
    EXPECT_FALSE(tracker.Track(&wnd, CPoint(100, 70)));
    EXPECT_EQ(tracker.m_rect, CRect(50, 40, 150, 100));
    // Once the button is up there is nothing to track, and nothing waits for a release.
    EXPECT_FALSE(tracker.Track(&wnd, CPoint(100, 70)));
}

TEST_F(TrackerWindow, RubberBandsInEveryDirection)
{
    CRectTracker band;
    PostDrag(&wnd, {CPoint(60, 50), CPoint(90, 80)});
    Press(&wnd, CPoint(20, 30));
    EXPECT_TRUE(band.TrackRubberBand(&wnd, CPoint(20, 30), FALSE));
    EXPECT_EQ(band.m_rect, CRect(20, 30, 90, 80));
    // Up and to the left: without inversion the result is normalised; with it, it stays inverted.
    PostDrag(&wnd, {CPoint(10, 5)});
    Press(&wnd, CPoint(40, 45));
    EXPECT_TRUE(band.TrackRubberBand(&wnd, CPoint(40, 45), FALSE));
    EXPECT_EQ(band.m_rect, CRect(10, 5, 40, 45));
    PostDrag(&wnd, {CPoint(10, 5)});
    Press(&wnd, CPoint(40, 45));
    EXPECT_TRUE(band.TrackRubberBand(&wnd, CPoint(40, 45), TRUE));
    EXPECT_EQ(band.m_rect, CRect(40, 45, 10, 5));
    // A click draws an empty band.
    PostRelease(&wnd, CPoint(70, 70));
    Press(&wnd, CPoint(70, 70));
    EXPECT_FALSE(band.TrackRubberBand(&wnd, CPoint(70, 70), FALSE));
    EXPECT_TRUE(band.m_rect.IsRectEmpty());
}

// Records the frames the loop draws and the changes it reports.
class RecordingTracker : public CRectTracker {
public:
    void DrawTrackerRect(const RECT* lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd) override
    {
        frames.emplace_back(*lpRect);
        CRectTracker::DrawTrackerRect(lpRect, pWndClipTo, pDC, pWnd);
    }
    void OnChangedRect(const CRect& rectOld) override { changes.push_back(rectOld); }
    std::vector<CRect> frames;
    std::vector<CRect> changes;
};

TEST_F(TrackerWindow, EachMoveDrawsTheFrameAndTakesThePreviousOneAway)
{
    RecordingTracker band;
    Press(&wnd, CPoint(20, 20));
    PostDrag(&wnd, {CPoint(60, 50), CPoint(10, 10)});
    EXPECT_TRUE(band.TrackRubberBand(&wnd, CPoint(20, 20), FALSE));
    // Drawn, taken away and drawn anew at each move, the last one taken away at the end; frames are
    // drawn the right way round, and every change reports the rectangle before it.
    const std::vector<CRect> frames{CRect(20, 20, 60, 50), CRect(20, 20, 60, 50), CRect(10, 10, 20, 20),
                                    CRect(10, 10, 20, 20)};
    EXPECT_EQ(band.frames, frames);
    const std::vector<CRect> changes{CRect(20, 20, 20, 20), CRect(20, 20, 60, 50)};
    EXPECT_EQ(band.changes, changes);
    EXPECT_EQ(band.m_rect, CRect(10, 10, 20, 20));
}

TEST_F(TrackerWindow, TheFrameInvertsItsOutlineOnly)
{
    CClientDC dc(&wnd);
    QImage* image = wnd.GetBackingImage();
    const QRgb outline = image->pixel(50, 40);
    const QRgb corner = image->pixel(149, 99);
    const QRgb inside = image->pixel(70, 60);
    const CRect r(50, 40, 150, 100);
    tracker.DrawTrackerRect(&r, nullptr, dc, &wnd);
    EXPECT_EQ(image->pixel(50, 40) & 0xFFFFFF, ~outline & 0xFFFFFF);
    EXPECT_EQ(image->pixel(149, 99) & 0xFFFFFF, ~corner & 0xFFFFFF);
    EXPECT_EQ(image->pixel(70, 60), inside);
    tracker.DrawTrackerRect(&r, nullptr, dc, &wnd);
    EXPECT_EQ(image->pixel(50, 40), outline);
    EXPECT_EQ(image->pixel(149, 99), corner);
}

TEST_F(TrackerWindow, LogicalTrackerKeepsTheScrollOffset)
{
    // The object's tracker rectangle is in the scrolled document: window coordinates plus (40, 300).
    CLogicalRectTracker object;
    object.m_rect.SetRect(90, 340, 190, 400);
    object.m_nHandleSize = 8;
    PostDrag(&wnd, {CPoint(110, 80)});
    Press(&wnd, CPoint(100, 70));
    EXPECT_TRUE(object.Track(&wnd, CPoint(100, 70), 40, 300));
    EXPECT_EQ(object.m_rect, CRect(100, 350, 200, 410));
    // HitTest looks at the window position of the rectangle and leaves it as it was.
    EXPECT_EQ(object.HitTest(CPoint(120, 80), 40, 300), CRectTracker::hitMiddle);
    EXPECT_EQ(object.HitTest(CPoint(120, 380), 40, 300), CRectTracker::hitNothing);
    EXPECT_EQ(object.m_rect, CRect(100, 350, 200, 410));
}

} // namespace
