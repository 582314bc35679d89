#pragma once
// The window layer's part of the rectangle tracker: the modal mouse loop of CRectTracker::Track and
// TrackRubberBand, and the cursor position and shapes of CRectTracker::SetCursor, over Qt.
class CWnd;

// Installs the loop and the cursor handlers the first time it is called; later calls change nothing,
// so handlers a test installs afterwards stay. Tracking starts only while the left button is down;
// the window layer installs this when it starts, so that it sees the first press.
void AfxInstallTrackerLoop();

// Gives the window's client area its class cursor again (the arrow).
void AfxRestoreDefaultCursor(CWnd* pWnd);
