#include "app/CBalloonTip.h"

#include "platform/core/MessageBox.h"
#include "platform/gdi/CDC.h"

#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <cmath>
#include <vector>

BOOL CBalloonTip::s_bShown = FALSE;

namespace {
constexpr char kCombineError[] = "ERROR in Combining Region";
// The caption and sizing frame styles the tip drops at creation.
constexpr DWORD kCaptionStyle = 0x00C00000;
constexpr DWORD kSizingFrameStyle = 0x00040000;

// The invisible pop-up that owns every tip, so that a tip has no task-bar button. Made once.
CWnd* TipOwner()
{
    static CWnd* pOwner = nullptr;
    if (!pOwner) {
        pOwner = new CWnd;
        pOwner->Create(nullptr, 0, 0);
    }
    return pOwner;
}

// A rounded rectangle as a polygon: quarter ellipses of nEllipseW x nEllipseH at the corners.
std::vector<POINT> RoundRectOutline(int left, int top, int right, int bottom, int nEllipseW, int nEllipseH)
{
    const double rx = std::min(nEllipseW, right - left) / 2.0;
    const double ry = std::min(nEllipseH, bottom - top) / 2.0;
    const double pi = 3.14159265358979;
    constexpr int kSteps = 8;
    const double cx[4] = {right - rx, left + rx, left + rx, right - rx};
    const double cy[4] = {top + ry, top + ry, bottom - ry, bottom - ry};
    std::vector<POINT> points;
    for (int corner = 0; corner < 4; ++corner)
        for (int i = 0; i <= kSteps; ++i) {
            const double a = (corner * 90.0 + i * 90.0 / kSteps) * pi / 180.0;
            points.push_back(POINT{LONG(std::lround(cx[corner] + rx * std::cos(a))),
                                   LONG(std::lround(cy[corner] - ry * std::sin(a)))});
        }
    return points;
}

// The pixels of a region inside (0, 0, w, h), as a widget mask.
QRegion MaskOf(const CRgn& rgn, int w, int h)
{
    QRegion mask;
    for (int y = 0; y < h; ++y) {
        int x = 0;
        while (x < w) {
            while (x < w && !rgn.PtInRegion(x, y))
                ++x;
            const int start = x;
            while (x < w && rgn.PtInRegion(x, y))
                ++x;
            if (x > start)
                mask += QRect(start, y, x - start, 1);
        }
    }
    return mask;
}
}  // namespace

CBalloonTip::CBalloonTip(const CString& strText, const LOGFONTA& font, BOOL bAbove)
    : m_strText(strText), m_bAbove(bAbove)
{
    m_font.CreateFontIndirect(&font);
}

CBalloonTip::~CBalloonTip() = default;

CBalloonTip* CBalloonTip::Show(int x, int y, int nWidth, int nHeight, const CString& strText, const LOGFONTA& font,
                               int nSeconds, BOOL bAbove)
{
    if (s_bShown)
        return nullptr;
    CRect rect;
    if (bAbove)
        rect = CRect(x - int(0.65 * nWidth), y - nHeight, x + int(0.35 * nWidth), y);
    else
        rect = CRect(x - int(0.35 * nWidth), y, x + int(0.65 * nWidth), y + nHeight);
    auto* pTip = new CBalloonTip(strText, font, bAbove);
    pTip->m_screenRect = rect;
    if (!pTip->Create(nullptr, 0, WS_VISIBLE, &rect)) {
        delete pTip;
        return nullptr;
    }
    s_bShown = TRUE;
    pTip->SetTimer(kTimerID, UINT(nSeconds) * 1000);
    // The caption and sizing frame the tip was created with are gone; the window shifts to match.
    const int top = bAbove ? rect.top + kCaptionHeight + 2 * kSizingFrameHeight : rect.top - kSizingFrameHeight;
    pTip->SetWindowPos(&CWnd::wndTop, rect.left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return pTip;
}

void CBalloonTip::Hide()
{
    if (!s_bShown)
        return;
    ShowWindow(SW_HIDE);
    Dismiss();
}

void CBalloonTip::Dismiss()
{
    KillTimer(kTimerID);
    DestroyWindow();
}

BOOL CBalloonTip::PreCreateWindow(CREATESTRUCT& cs)
{
    TipOwner();
    return CWnd::PreCreateWindow(cs);
}

void CBalloonTip::CreateWidgets(QWidget*)
{
    m_pWidget = new QWidget(TipOwner()->GetWidget(), Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    m_pWidget->setAttribute(Qt::WA_ShowWithoutActivating);
    m_pClient = m_pWidget;
}

BOOL CBalloonTip::MakeBalloonRegion(CRgn& rgn) const
{
    CRect r;
    GetClientRect(&r);
    const int W = r.Width();
    const int H = r.Height();
    std::vector<POINT> rounded;
    POINT pointer[3];
    if (m_bAbove) {
        rounded = RoundRectOutline(r.left, r.top, r.right, r.bottom - int(0.25 * H), int(0.18 * W), int(0.25 * H));
        pointer[0] = POINT{r.left + LONG(0.93 * W), r.bottom - LONG(0.4 * H)};
        pointer[1] = POINT{r.left + LONG(0.65 * W), r.bottom};
        pointer[2] = POINT{r.left + LONG(0.7 * W), r.bottom - LONG(0.4 * H)};
    } else {
        rounded = RoundRectOutline(r.left, r.bottom - int(0.75 * H), r.right, r.bottom, int(0.18 * W), int(0.25 * H));
        pointer[0] = POINT{r.left + LONG(0.07 * W), LONG(0.4 * H)};
        pointer[1] = POINT{r.left + LONG(0.35 * W), r.bottom - H};
        pointer[2] = POINT{r.left + LONG(0.3 * W), LONG(0.4 * H)};
    }
    CRgn roundRgn, pointerRgn;
    roundRgn.CreatePolygonRgn(rounded.data(), int(rounded.size()), ALTERNATE);
    pointerRgn.CreatePolygonRgn(pointer, 3, ALTERNATE);
    rgn.DeleteObject();
    rgn.CreateRectRgn(0, 0, 0, 0);
    if (rgn.CombineRgn(&roundRgn, &pointerRgn, RGN_OR) == RGN_ERROR) {
        AfxMessageBox(kCombineError);
        return FALSE;
    }
    return TRUE;
}

int CBalloonTip::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    ModifyStyle(kCaptionStyle | kSizingFrameStyle, 0);
    CRect r;
    GetClientRect(&r);
    const int H = r.Height();
    if (m_bAbove)
        m_textRect = CRect(r.left, int(0.1 * H), r.right, int(0.7 * H));
    else
        m_textRect = CRect(r.left, int(0.3 * H), r.right, int(0.9 * H));
    CRgn rgn;
    if (!MakeBalloonRegion(rgn))
        return -1;
    m_pWidget->setMask(MaskOf(rgn, r.Width(), r.Height()));
    return 0;
}

void CBalloonTip::OnPaint()
{
    CPaintDC dc(this);
    CRgn rgn;
    if (!MakeBalloonRegion(rgn))
        return;
    CBrush fill(kFillColour);
    dc->FillRgn(&rgn, &fill);
    // The frame: the region less its inside, where the inside keeps 2 pixels from the sides and 1
    // from the top and bottom.
    CRgn inside, shifted, frame;
    inside.CreateRectRgn(0, 0, 0, 0);
    inside.CopyRgn(&rgn);
    const POINT shifts[4] = {{2, 0}, {-2, 0}, {0, 1}, {0, -1}};
    for (const POINT& s : shifts) {
        shifted.DeleteObject();
        shifted.CreateRectRgn(0, 0, 0, 0);
        shifted.CopyRgn(&rgn);
        shifted.OffsetRgn(s);
        inside.CombineRgn(&inside, &shifted, RGN_AND);
    }
    frame.CreateRectRgn(0, 0, 0, 0);
    frame.CombineRgn(&rgn, &inside, RGN_DIFF);
    CBrush black(0x000000);
    dc->FillRgn(&frame, &black);

    CFont* pOldFont = dc->SelectObject(&m_font);
    dc->SetTextColor(kTextColour);
    dc->SetBkMode(TRANSPARENT);
    CRect text = m_textRect;
    const CSize extent = dc->GetTextExtent(m_strText);
    if (extent.cx < text.Width())
        dc->DrawText(m_strText, &text, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    else
        dc->DrawText(m_strText, &text, DT_CENTER | DT_WORDBREAK);
    dc->SelectObject(pOldFont);
}

void CBalloonTip::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kTimerID)
        Dismiss();
}

void CBalloonTip::OnLButtonDown(UINT, CPoint) { Dismiss(); }
void CBalloonTip::OnRButtonDown(UINT, CPoint) { Dismiss(); }

void CBalloonTip::OnDestroy()
{
    s_bShown = FALSE;
    // The window's handlers may still be on the stack: the object goes once control is back in the loop.
    QTimer::singleShot(0, [this] { delete this; });
}
