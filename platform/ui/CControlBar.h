#pragma once
// The base of the frame's bars (toolbars, status bar): a child window of the frame with a bar style
// and a docking style, updated by the frame on idle.
#include "platform/ui/CWnd.h"

class CFrameWnd;

class CControlBar : public CWnd {
public:
    CControlBar() = default;
    ~CControlBar() override;

    DWORD GetBarStyle() const { return m_dwStyle; }
    virtual void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
    // The sides the bar may dock on (CBRS_ALIGN_*).
    void EnableDocking(DWORD dwDockStyle);
    DWORD GetDockingStyle() const { return m_dwDockStyle; }
    BOOL IsVisible() const;
    // Whether the bar has been floated (taken off its dock bar) and not docked again.
    BOOL IsFloating() const { return m_bFloating; }

    // Takes the update handlers' states for the bar's elements.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;

protected:
    friend class CFrameWnd;
    bool IsNativeWidget() const override { return true; }
    // Registers the bar with its frame after the widget exists.
    void AttachToFrame(CWnd* pParentWnd);

    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
    BOOL m_bFloating = FALSE;
    CFrameWnd* m_pDockSite = nullptr;
};
