#include "platform/ui/CScrollView.h"

#include "platform/ui/WindowDC.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

#include <cstdint>

IMPLEMENT_DYNAMIC(CScrollView, CWndView)

const SIZE CScrollView::sizeDefault = {0, 0};

namespace {
// v * num / den rounded to nearest, halves away from zero.
int Scale(int v, int num, int den)
{
    const std::int64_t p = std::int64_t(v) * num;
    const std::int64_t q = p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den);
    return int(q);
}

constexpr int kDevicePerInch = 96;
constexpr int kHiEnglishPerInch = 1000;

// Gives the scroll area's viewport to the view as its client and reports scrolling.
class CScrollArea : public QAbstractScrollArea {
public:
    explicit CScrollArea(QWidget* pParent) : QAbstractScrollArea(pParent) {}
    std::function<void()> onScroll;

protected:
    void scrollContentsBy(int, int) override
    {
        if (onScroll)
            onScroll();
    }
};
} // namespace

CScrollView::CScrollView() = default;
CScrollView::~CScrollView() = default;

void CScrollView::CreateWidgets(QWidget* pParent)
{
    auto* pArea = new CScrollArea(pParent);
    pArea->setFrameShape(QFrame::NoFrame);
    pArea->onScroll = [this] { OnScrolled(); };
    m_pWidget = pArea;
    m_pClient = pArea->viewport();
}

QAbstractScrollArea* CScrollView::GetScrollArea() const { return static_cast<QAbstractScrollArea*>(m_pWidget); }

CSize CScrollView::LogicalToDevice(SIZE size) const
{
    if (m_nMapMode == MM_HIENGLISH)
        return CSize(Scale(size.cx, kDevicePerInch, kHiEnglishPerInch), Scale(size.cy, kDevicePerInch, kHiEnglishPerInch));
    return CSize(size.cx, size.cy);
}

CSize CScrollView::DeviceToLogical(SIZE size) const
{
    if (m_nMapMode == MM_HIENGLISH)
        return CSize(Scale(size.cx, kHiEnglishPerInch, kDevicePerInch), Scale(size.cy, kHiEnglishPerInch, kDevicePerInch));
    return CSize(size.cx, size.cy);
}

void CScrollView::SetScrollSizes(int nMapMode, SIZE sizeTotal, const SIZE& sizePage, const SIZE& sizeLine)
{
    m_nMapMode = nMapMode;
    m_totalLog = CSize(sizeTotal.cx, sizeTotal.cy);
    // Sizes are given positive; in MM_HIENGLISH a negative height (y grows upwards) counts by its size.
    auto dev = [this](SIZE s) {
        CSize d = LogicalToDevice(s);
        return CSize(std::abs(d.cx), std::abs(d.cy));
    };
    m_totalDev = dev(sizeTotal);
    m_pageDev = dev(sizePage);
    m_lineDev = dev(sizeLine);
    if (m_pageDev.cx == 0)
        m_pageDev.cx = m_totalDev.cx / 10;
    if (m_pageDev.cy == 0)
        m_pageDev.cy = m_totalDev.cy / 10;
    if (m_lineDev.cx == 0)
        m_lineDev.cx = m_pageDev.cx / 10;
    if (m_lineDev.cy == 0)
        m_lineDev.cy = m_pageDev.cy / 10;
    UpdateBars();
}

void CScrollView::GetDeviceScrollSizes(int& nMapMode, SIZE& sizeTotal, SIZE& sizePage, SIZE& sizeLine) const
{
    nMapMode = m_nMapMode;
    sizeTotal = m_totalDev;
    sizePage = m_pageDev;
    sizeLine = m_lineDev;
}

void CScrollView::UpdateBars()
{
    QAbstractScrollArea* pArea = GetScrollArea();
    if (!pArea)
        return;
    m_bUpdatingBars = true;
    const QSize client = pArea->maximumViewportSize();
    QScrollBar* h = pArea->horizontalScrollBar();
    QScrollBar* v = pArea->verticalScrollBar();
    const bool needH = m_totalDev.cx > client.width();
    const bool needV = m_totalDev.cy > client.height();
    pArea->setHorizontalScrollBarPolicy(needH ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    pArea->setVerticalScrollBarPolicy(needV ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const QSize viewport = m_pClient ? m_pClient->size() : client;
    h->setRange(0, std::max(0, int(m_totalDev.cx) - viewport.width()));
    v->setRange(0, std::max(0, int(m_totalDev.cy) - viewport.height()));
    h->setPageStep(std::max(1, int(m_pageDev.cx)));
    v->setPageStep(std::max(1, int(m_pageDev.cy)));
    h->setSingleStep(std::max(1, int(m_lineDev.cx)));
    v->setSingleStep(std::max(1, int(m_lineDev.cy)));
    m_bUpdatingBars = false;
}

CPoint CScrollView::GetDeviceScrollPosition() const
{
    QAbstractScrollArea* pArea = GetScrollArea();
    if (!pArea)
        return CPoint(0, 0);
    return CPoint(pArea->horizontalScrollBar()->value(), pArea->verticalScrollBar()->value());
}

CPoint CScrollView::GetScrollPosition() const
{
    const CPoint dev = GetDeviceScrollPosition();
    CSize log = DeviceToLogical(CSize(dev.x, dev.y));
    if (m_nMapMode == MM_HIENGLISH)
        log.cy = -log.cy;
    return CPoint(log.cx, log.cy);
}

void CScrollView::ScrollToDevicePosition(POINT ptDev)
{
    if (QAbstractScrollArea* pArea = GetScrollArea()) {
        pArea->horizontalScrollBar()->setValue(ptDev.x);
        pArea->verticalScrollBar()->setValue(ptDev.y);
    }
}

void CScrollView::ScrollToPosition(POINT pt)
{
    CSize dev = LogicalToDevice(CSize(pt.x, pt.y));
    if (m_nMapMode == MM_HIENGLISH)
        dev.cy = -dev.cy;
    ScrollToDevicePosition(CPoint(dev.cx, dev.cy));
}

void CScrollView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    const CPoint pos = GetDeviceScrollPosition();
    AfxPrepareScrollDC(pDC, m_nMapMode, CPoint(-pos.x, -pos.y), pInfo != nullptr);
    CWndView::OnPrepareDC(pDC, pInfo);
}

void CScrollView::OnScrolled()
{
    if (m_bUpdatingBars)
        return;
    Invalidate(TRUE);
    UpdateWindow();
}

void CScrollView::OnSize(UINT nType, int cx, int cy)
{
    CWndView::OnSize(nType, cx, cy);
    UpdateBars();
}

BOOL CScrollView::OnMouseWheel(UINT, short zDelta, CPoint)
{
    QAbstractScrollArea* pArea = GetScrollArea();
    if (!pArea)
        return FALSE;
    QScrollBar* v = pArea->verticalScrollBar();
    v->setValue(v->value() - zDelta * v->singleStep() * 3 / 120);
    return TRUE;
}
