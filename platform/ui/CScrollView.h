#pragma once
// A view with scroll bars over a logical page. SetScrollSizes gives the page in logical units of a
// mapping mode (MM_TEXT or MM_HIENGLISH at 96 device pixels per inch); OnPrepareDC puts the mapping mode
// and the scroll origin on a DC.
#include "platform/ui/CWndView.h"

#include "platform/gdi/WinGdi.h"

class QAbstractScrollArea;

class CScrollView : public CWndView {
    DECLARE_DYNAMIC(CScrollView)
public:
    CScrollView();
    ~CScrollView() override;

    // A zero page or line size takes a tenth of the total (or of the page).
    static const SIZE sizeDefault;
    void SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage = sizeDefault,
                        const SIZE& sizeLine = sizeDefault);
    void GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const;
    CSize GetTotalSize() const { return m_totalLog; }
    int GetMapMode() const { return m_nMapMode; }

    // The scroll position in device pixels, and in logical units.
    CPoint GetDeviceScrollPosition() const;
    CPoint GetScrollPosition() const;
    void ScrollToPosition(POINT pt);
    void ScrollToDevicePosition(POINT ptDev);

    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;

    // Logical size in the view's mapping mode to device pixels (rounded to nearest) and back.
    CSize LogicalToDevice(SIZE size) const;
    CSize DeviceToLogical(SIZE size) const;

    QAbstractScrollArea* GetScrollArea() const;

protected:
    void CreateWidgets(QWidget* pParent) override;
    void OnSize(UINT nType, int cx, int cy) override;
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) override;
    void UpdateBars();

    int m_nMapMode = MM_TEXT;
    CSize m_totalLog;
    CSize m_totalDev;
    CSize m_pageDev;
    CSize m_lineDev;

private:
    void OnScrolled();
    bool m_bUpdatingBars = false;
};
