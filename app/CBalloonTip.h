#pragma once
// A balloon tip: a pale-yellow rounded window with a pointer, showing a line of red text near a point
// for a number of seconds. At most one exists at a time; it destroys itself when its time is up or
// when it is clicked. Nothing in the program shows one yet; it is ready for a caller.
#include "platform/core/WinFont.h"
#include "platform/gdi/CGdiObject.h"
#include "platform/ui/CWnd.h"

class CBalloonTip : public CWnd {
public:
    // A tip referring to (x, y), of nWidth x nHeight pixels, shown for nSeconds; null while a tip is
    // already shown. bAbove puts the tip above the point (pointer at the bottom).
    static CBalloonTip* Show(int x, int y, int nWidth, int nHeight, const CString& strText, const LOGFONTA& font,
                             int nSeconds, BOOL bAbove);
    // Hides, stops and destroys this tip when a tip is shown.
    void Hide();
    // A tip is shown (process-wide).
    static BOOL IsShown() { return s_bShown; }

    static constexpr UINT_PTR kTimerID = 100;
    // System metrics of the captioned, sizable window the tip starts as (96 dpi).
    static constexpr int kCaptionHeight = 19;
    static constexpr int kSizingFrameHeight = 4;
    static constexpr COLORREF kFillColour = 0xBCFEF9;
    static constexpr COLORREF kTextColour = 0x0000FF;

    // The text rectangle and the window's shape, in client coordinates (set at creation).
    const CRect& GetTextRect() const { return m_textRect; }
    // The union of the rounded rectangle and the pointer; FALSE (and a message) when it cannot be formed.
    BOOL MakeBalloonRegion(CRgn& rgn) const;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnPaint() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnRButtonDown(UINT nFlags, CPoint point) override;
    void OnDestroy() override;
    void CreateWidgets(QWidget* pParent) override;

private:
    CBalloonTip(const CString& strText, const LOGFONTA& font, BOOL bAbove);
    ~CBalloonTip() override;
    void Dismiss();

    CString m_strText;
    CFont m_font;
    BOOL m_bAbove;
    CRect m_textRect;
    CRect m_screenRect;

    static BOOL s_bShown;
};
