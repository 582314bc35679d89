// Editing of layer objects on the image and text layers: selecting, moving and sizing with the tracker,
// placing new pictures and text blocks, the in-place text editor, the font change, and the Delete,
// Bring to top and Move to bottom commands.
#include "view/CVantrelView.h"

#include "image/CRasterImage.h"
#include "maze/CLogicalRectTracker.h"
#include "maze/CVantrelDoc.h"
#include "platform/core/FileDialog.h"
#include "platform/core/Profile.h"
#include "platform/ui/FontDialog.h"
#include "platform/ui/TrackerLoop.h"
#include "view/CImageSettingsDialog.h"

#include <memory>
#include <utility>

namespace {

constexpr const char* kFontSection = "FONT";
constexpr const char* kChooseFontEntry = "CF";
constexpr const char* kLogFontEntry = "LF";
constexpr UINT kFontRecordBytes = 60;
// Font dialog flags: printer fonts and effects (colour, underline, strike-out).
constexpr DWORD kFontDialogFlags = CF_PRINTERFONTS | CF_EFFECTS;
constexpr const char* kImageFilter = "Bitmap file(*.bmp)|*.bmp|GIF file(*.gif)|*.gif|TIFF file(*.tif)|*.tif||";
// The frame handles of new objects, in device pixels.
constexpr int kHandleSize = 8;
// The editor stands this many pixels out from the text object on every side.
constexpr int kEditorMargin = 3;

bool IsTextKind(int nKind)
{
    return nKind == CLogicalRectTracker::kindTextTransparent || nKind == CLogicalRectTracker::kindTextOpaque;
}

// The last font chosen for a new text object; used only when both records are there with exactly
// the size they are written with, so a damaged profile cannot hand over a short or overlong record.
struct SavedFont {
    bool valid = false;
    CHOOSEFONTA cf;
    LOGFONTA lf;
};

SavedFont ReadSavedFont()
{
    SavedFont saved;
    std::vector<BYTE> cf, lf;
    const CProfile& profile = AfxGetProfile();
    if (!profile.GetProfileBinary(kFontSection, kChooseFontEntry, cf) ||
        !profile.GetProfileBinary(kFontSection, kLogFontEntry, lf))
        return saved;
    if (cf.size() != kFontRecordBytes || lf.size() != kFontRecordBytes)
        return saved;
    saved.cf = ChooseFontFromBytes(cf.data(), cf.size());
    saved.lf = LogFontFromBytes(lf.data(), lf.size());
    saved.valid = true;
    return saved;
}

void WriteSavedFont(const CHOOSEFONTA& cf, const LOGFONTA& lf)
{
    CProfile& profile = AfxGetProfile();
    profile.WriteProfileBinary(kFontSection, kChooseFontEntry, reinterpret_cast<const BYTE*>(&cf), kFontRecordBytes);
    profile.WriteProfileBinary(kFontSection, kLogFontEntry, reinterpret_cast<const BYTE*>(&lf), kFontRecordBytes);
}

using ObjectArray = CArray<CLogicalRectTracker, CLogicalRectTracker&>;

// Puts source at nIndex (the end when nIndex is the size): a new empty element takes over source's
// picture and font, so that exactly one element owns them (the array's own insertion copies).
void PlaceTaking(ObjectArray& objects, int nIndex, CLogicalRectTracker& source)
{
    CLogicalRectTracker empty;
    if (nIndex >= objects.GetSize())
        nIndex = objects.Add(empty);
    else
        objects.InsertAt(nIndex, empty);
    objects[nIndex] = std::move(source);
}

// A rectangle in window coordinates converted with the prepared DC.
CRect LogicalFromWindow(CDC* pDC, CRect rect)
{
    pDC->DPtoLP(&rect);
    return rect;
}

// The common start of the text layer's button handlers: the DC prepared, the focus on the view, the
// scroll position, and the object of the active layer under the point (or -1).
int PrepareTextClick(CVantrelView& view, CDC* pDC, CPoint point, CPoint& scroll)
{
    view.OnPrepareDC(pDC);
    view.SetFocus();
    scroll = view.GetDeviceScrollPosition();
    return view.FindObjectAt(point, scroll);
}

} // namespace

int CVantrelView::FindObjectAt(CPoint point, CPoint scroll)
{
    // Topmost first; objects of other layers are passed over, so one below them can still be hit.
    CVantrelDoc* pDoc = GetDocument();
    for (int i = pDoc->m_objects.GetSize() - 1; i >= 0; --i) {
        CLogicalRectTracker& object = pDoc->m_objects[i];
        if (object.HitTest(point, scroll.x, scroll.y) >= 0 && object.m_nLayer == m_nActiveLayer)
            return i;
    }
    return -1;
}

void CVantrelView::TrackObject(CDC* pDC, int nIndex, CPoint point, CPoint scroll)
{
    CVantrelDoc* pDoc = GetDocument();
    pDoc->m_objects[nIndex].Track(this, point, scroll.x, scroll.y, FALSE);
    SetActiveLayer(-1);
    CLogicalRectTracker& object = pDoc->m_objects[nIndex];
    object.m_nSelectStyle = 2;
    CRect rect = object.m_rect;
    rect.OffsetRect(-scroll.x, -scroll.y);
    object.m_rectLogical = LogicalFromWindow(pDC, rect);
}

CRect CVantrelView::TrackNewObject(CDC* pDC, CLogicalRectTracker& tracker, CPoint point, CPoint scroll)
{
    tracker.m_nHandleSize = kHandleSize;
    tracker.TrackRubberBand(this, point, FALSE);
    tracker.m_nLayer = m_nActiveLayer;
    CRect band = tracker.m_rect;
    band.NormalizeRect();
    tracker.m_rectLogical = LogicalFromWindow(pDC, band);
    tracker.m_rect = band;
    tracker.m_rect.OffsetRect(scroll.x, scroll.y);
    return band;
}

// ---- Image layers ----------------------------------------------------------------------------------

void CVantrelView::OnImageLButtonDown(UINT nFlags, CPoint point)
{
    AfxInstallTrackerLoop();
    CVantrelDoc* pDoc = GetDocument();
    CClientDC dc(this);
    OnPrepareDC(dc);
    const CPoint scroll = GetDeviceScrollPosition();
    const int nHit = FindObjectAt(point, scroll);
    if (nHit >= 0) {
        TrackObject(dc, nHit, point, scroll);
    } else {
        CLogicalRectTracker tracker;
        tracker.SetImage(new CRasterImage(), CLogicalRectTracker::kindImage);
        const CRect band = TrackNewObject(dc, tracker, point, scroll);
        if (band.IsRectEmpty()) {
            SetActiveLayer(-1);
        } else {
            CFileDialog fileDialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kImageFilter);
            if (fileDialog.DoModal() == IDOK) {
                {
                    // Prepared for the picture and dropped unseen; nothing reads its choice.
                    CImageSettingsDialog settings(this);
                    settings.m_image = *tracker.m_pImage;
                }
                const bool bLoaded = tracker.m_pImage->Load(fileDialog.GetPathName(), IMAGE_FORMAT_UNKNOWN);
                SetActiveLayer(-1);
                // A picture that does not decode would be an object that never shows: none is made.
                if (bLoaded && tracker.m_pImage->IsValid()) {
                    if (tracker.m_pImage->GetBpp() < 24)
                        tracker.m_pImage->IncreaseBpp(24);
                    tracker.m_nSelectStyle = 2;
                    PlaceTaking(pDoc->m_objects, pDoc->m_objects.GetSize(), tracker);
                }
            }
        }
    }
    Invalidate(TRUE);
    pDoc->m_bDirty = 1;
    pDoc->SetModifiedFlag(TRUE);
    CScrollView::OnLButtonDown(nFlags, point);
}

void CVantrelView::OnImageRButtonDown(UINT nFlags, CPoint point) { CScrollView::OnRButtonDown(nFlags, point); }

void CVantrelView::OnImageMouseMove(UINT nFlags, CPoint point)
{
    if (m_nDragState > 0) {
        CVantrelDoc* pDoc = GetDocument();
        pDoc->m_bDirty = 1;
        pDoc->SetModifiedFlag(TRUE);
    }
    CScrollView::OnMouseMove(nFlags, point);
}

// ---- Text layer --------------------------------------------------------------------------------------

void CVantrelView::OpenTextEditor(CDC* pDC, CLogicalRectTracker& object, COLORREF colour, const CString& text,
                                  bool bExisting)
{
    if (!m_textEditor.IsWindow() || !object.m_pChooseFont || !object.m_pLogFont)
        return;
    const int nPointSize = object.m_pChooseFont->iPointSize;
    object.m_pLogFont->lfHeight = -MulDiv(nPointSize, pDC->GetDeviceCaps(LOGPIXELSY), 72);
    CFont font;
    font.CreateFontIndirect(object.m_pLogFont);
    CFont* pOldFont = pDC->SelectObject(&font);
    pDC->SetTextColor(colour);
    m_textEditor.SetFont(&font, TRUE);

    CHARFORMAT format;
    m_textEditor.GetDefaultCharFormat(format);
    format.crTextColor = colour;
    format.dwMask |= CFM_SIZE;
    format.dwEffects &= 0x3FFFFFFF;
    format.yHeight = nPointSize * 2;
    m_textEditor.SetDefaultCharFormat(format);

    CRect rect = object.m_rect;
    const CPoint scroll = GetDeviceScrollPosition();
    rect.OffsetRect(-scroll.x, -scroll.y);
    rect.InflateRect(kEditorMargin, kEditorMargin);
    m_textEditor.SetWindowPos(&CWnd::wndTop, rect.left, rect.top, rect.Width(), rect.Height(), SWP_SHOWWINDOW);
    if (bExisting) {
        CRect formatting(0, 0, rect.Width(), rect.Height());
        m_textEditor.SetRect(&formatting);
    }
    m_textEditor.SetWindowText(text);
    m_textEditor.ModifyStyle(0, WS_VISIBLE);
    m_textEditor.SetFocus();
    m_textEditor.UpdateWindow();
    pDC->SelectObject(pOldFont);
}

void CVantrelView::OnTextLButtonDown(UINT nFlags, CPoint point)
{
    AfxInstallTrackerLoop();
    CVantrelDoc* pDoc = GetDocument();
    const SavedFont saved = ReadSavedFont();
    CClientDC windowDC(this);
    CFontDialog fontDialog(saved.valid ? &saved.lf : nullptr, kFontDialogFlags, windowDC, nullptr);

    CClientDC dc(this);
    CPoint scroll;
    const int nHit = PrepareTextClick(*this, dc, point, scroll);
    if (nHit >= 0) {
        TrackObject(dc, nHit, point, scroll);
        CLogicalRectTracker& object = pDoc->m_objects[nHit];
        const COLORREF colour = object.m_pChooseFont ? object.m_pChooseFont->rgbColors : object.m_crText;
        OpenTextEditor(dc, object, colour, object.m_strText, true);
    } else {
        CLogicalRectTracker tracker;
        tracker.SetImage(nullptr, CLogicalRectTracker::kindTextTransparent);
        const CRect band = TrackNewObject(dc, tracker, point, scroll);
        if (band.IsRectEmpty()) {
            SetActiveLayer(-1);
            SetFocus();
        } else {
            if (saved.valid)
                fontDialog.m_cf.rgbColors = saved.cf.rgbColors;
            if (fontDialog.DoModal() != IDOK)
                return;
            WriteSavedFont(fontDialog.m_cf, fontDialog.m_lf);
            tracker.NewFontRecord();
            *tracker.m_pChooseFont = fontDialog.m_cf;
            *tracker.m_pLogFont = fontDialog.m_lf;
            tracker.m_crText = fontDialog.GetColor();
            SetActiveLayer(-1);
            tracker.m_nSelectStyle = 2;
            OpenTextEditor(dc, tracker, tracker.m_crText, CString(), false);
            PlaceTaking(pDoc->m_objects, pDoc->m_objects.GetSize(), tracker);
        }
    }
    Invalidate(TRUE);
    pDoc->SetModifiedFlag(TRUE);
    CScrollView::OnLButtonDown(nFlags, point);
}

void CVantrelView::OnTextRButtonDown(UINT nFlags, CPoint point)
{
    CVantrelDoc* pDoc = GetDocument();
    CClientDC dc(this);
    CPoint scroll;
    const int nHit = PrepareTextClick(*this, dc, point, scroll);
    if (nHit >= 0) {
        SetActiveLayer(-1);
        CLogicalRectTracker& object = pDoc->m_objects[nHit];
        // Only text objects carry a font; a picture on the text layer has none to change.
        if (IsTextKind(object.m_nKind) && object.m_pChooseFont && object.m_pLogFont) {
            const int nPixelsY = dc->GetDeviceCaps(LOGPIXELSY);
            object.m_pLogFont->lfHeight = -MulDiv(object.m_pChooseFont->iPointSize, nPixelsY, 720);
            CClientDC windowDC(this);
            CFontDialog fontDialog(object.m_pLogFont, kFontDialogFlags, windowDC, nullptr);
            fontDialog.m_cf.rgbColors = object.m_crText;
            if (fontDialog.DoModal() != IDOK)
                return;
            *object.m_pChooseFont = fontDialog.m_cf;
            *object.m_pLogFont = fontDialog.m_lf;
            object.m_pLogFont->lfHeight = -MulDiv(fontDialog.m_cf.iPointSize, nPixelsY, 72);
            object.m_crText = fontDialog.GetColor();
            SetActiveLayer(-1);
            SetFocus();
        }
    }
    Invalidate(TRUE);
    pDoc->SetModifiedFlag(TRUE);
    CScrollView::OnRButtonDown(nFlags, point);
}

void CVantrelView::OnTextMouseMove(UINT nFlags, CPoint point) { OnImageMouseMove(nFlags, point); }

void CVantrelView::OnTextEditKillFocus()
{
    CVantrelDoc* pDoc = GetDocument();
    CString text;
    m_textEditor.GetWindowText(text);
    for (int i = 0; i < pDoc->m_objects.GetSize(); ++i) {
        CLogicalRectTracker& object = pDoc->m_objects[i];
        if (object.m_nSelectStyle == 2 && IsTextKind(object.m_nKind)) {
            object.m_strText = text;
            pDoc->m_bDirty = 1;
            object.m_nSelectStyle = 1;
        }
    }
    HideTextEditor();
    pDoc->UpdateAllViews(nullptr);
}

void CVantrelView::OnTextEditChange()
{
    if (!m_textEditor.IsWindowVisible())
        return;
    CVantrelDoc* pDoc = GetDocument();
    CString text;
    m_textEditor.GetWindowText(text);
    for (int i = 0; i < pDoc->m_objects.GetSize(); ++i) {
        CLogicalRectTracker& object = pDoc->m_objects[i];
        if (object.m_nSelectStyle == 2 && IsTextKind(object.m_nKind) && object.m_strText.str() != text.str()) {
            object.m_strText = text;
            pDoc->SetModifiedFlag(TRUE);
        }
    }
}

void CVantrelView::HideTextEditor()
{
    if (m_textEditor.IsWindow())
        m_textEditor.ModifyStyle(WS_VISIBLE, 0);
}

BOOL CVantrelView::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT)
{
    AfxInstallTrackerLoop();
    if (pWnd == this) {
        CVantrelDoc* pDoc = GetDocument();
        const CPoint scroll = GetDeviceScrollPosition();
        for (int i = 0; i < pDoc->m_objects.GetSize(); ++i) {
            CLogicalRectTracker& object = pDoc->m_objects[i];
            if (object.m_nLayer == m_nActiveLayer && object.SetCursor(this, nHitTest, scroll.x, scroll.y))
                return TRUE;
        }
    }
    AfxRestoreDefaultCursor(this);
    return FALSE;
}

// ---- Object commands ---------------------------------------------------------------------------------

int CVantrelView::FindSelectedObject()
{
    CVantrelDoc* pDoc = GetDocument();
    for (int i = 0; i < pDoc->m_objects.GetSize(); ++i) {
        if (pDoc->m_objects[i].m_nSelectStyle == 2)
            return i;
    }
    return -1;
}

void CVantrelView::OnDeleteObject()
{
    CVantrelDoc* pDoc = GetDocument();
    for (int i = pDoc->m_objects.GetSize() - 1; i >= 0; --i) {
        if (pDoc->m_objects[i].m_nSelectStyle == 2)
            pDoc->m_objects.RemoveAt(i);
    }
    SetActiveLayer(-1);
    HideTextEditor();
    pDoc->m_bDirty = 1;
    pDoc->UpdateAllViews(nullptr);
}

void CVantrelView::MoveSelectedObject(bool bToTop)
{
    CVantrelDoc* pDoc = GetDocument();
    const int nIndex = FindSelectedObject();
    if (nIndex >= 0) {
        // The new place takes the object over, picture and font included; the old place, left owning
        // nothing, is removed.
        CLogicalRectTracker moved(std::move(pDoc->m_objects[nIndex]));
        if (bToTop) {
            PlaceTaking(pDoc->m_objects, pDoc->m_objects.GetSize(), moved);
            pDoc->m_objects.RemoveAt(nIndex);
        } else {
            PlaceTaking(pDoc->m_objects, 0, moved);
            pDoc->m_objects.RemoveAt(nIndex + 1);
        }
    }
    pDoc->m_bDirty = 1;
    SetFocus();
    HideTextEditor();
    pDoc->UpdateAllViews(nullptr);
}

void CVantrelView::OnBringToTop() { MoveSelectedObject(true); }

void CVantrelView::OnMoveToBottom() { MoveSelectedObject(false); }

void CVantrelView::OnUpdateDeleteObject(CCmdUI* pCmdUI) { pCmdUI->Enable(FindSelectedObject() >= 0); }
void CVantrelView::OnUpdateBringToTop(CCmdUI* pCmdUI) { pCmdUI->Enable(FindSelectedObject() >= 0); }
void CVantrelView::OnUpdateMoveToBottom(CCmdUI* pCmdUI) { pCmdUI->Enable(FindSelectedObject() >= 0); }
