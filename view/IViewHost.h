#pragma once
// What the maze view needs of the application around it: the information pane below it and the splash
// screen. The application object implements this; the view finds it with dynamic_cast on AfxGetApp()
// and does without (no pane, no splash) when the application is no host, as in tests of the view alone.
#include "platform/core/WinTypes.h"

class CFrameWnd;
class CVantrelView;
class CWnd;

class IViewHost {
public:
    // The information pane as a window and command target, or null before the frame made it.
    virtual CWnd* GetInfoPane() const = 0;
    // Whether the pane is switched on.
    virtual BOOL IsInfoPaneOn() const = 0;
    // Switches the pane on (its pages start at once) or off (it collapses).
    virtual void SwitchInfoPane(BOOL bVisible) = 0;
    // Sizes the pane's row in the view's frame to nothing.
    virtual void CollapseInfoPane(CFrameWnd* pViewFrame) = 0;
    // The view's first update: the splash screen closes and pView becomes the application's maze view.
    virtual void OnMazeViewReady(CVantrelView* pView) = 0;

protected:
    ~IViewHost() = default;
};
