#include "maze/CLogicalRectTracker.h"

#include "image/CRasterImage.h"
#include "maze/MzeArchive.h"
#include "maze/StoredPicture.h"
#include "platform/core/CArchive.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CGdiObject.h"

#include <memory>
#include <utility>

CLogicalRectTracker::CLogicalRectTracker(const CLogicalRectTracker& src) : CRectTracker(), m_strText(src.m_strText)
{
    CopyFields(src);
}

CLogicalRectTracker::CLogicalRectTracker(CLogicalRectTracker&& src) noexcept
    : CRectTracker(), m_strText(std::move(src.m_strText))
{
    CopyFields(src);
    src.ReleaseOwnership();
}

CLogicalRectTracker::~CLogicalRectTracker()
{
    FreeOwned();
}

CLogicalRectTracker& CLogicalRectTracker::operator=(const CLogicalRectTracker& src)
{
    if (this != &src) {
        m_strText = src.m_strText;
        CopyFields(src);
    }
    return *this;
}

CLogicalRectTracker& CLogicalRectTracker::operator=(CLogicalRectTracker&& src) noexcept
{
    if (this != &src) {
        // The source may share our pointers (a copy not yet released); free only what it does not hold.
        if (m_pImage == src.m_pImage)
            m_pImage = nullptr;
        if (m_pChooseFont == src.m_pChooseFont)
            m_pChooseFont = nullptr;
        if (m_pLogFont == src.m_pLogFont)
            m_pLogFont = nullptr;
        FreeOwned();
        // The text moves, so that moving an object never allocates.
        m_strText = std::move(src.m_strText);
        CopyFields(src);
        src.ReleaseOwnership();
    }
    return *this;
}

void CLogicalRectTracker::CopyFields(const CLogicalRectTracker& src)
{
    m_crText = src.m_crText;
    m_nSelectStyle = src.m_nSelectStyle;
    m_nHandleSize = src.m_nHandleSize;
    m_nStyle = src.m_nStyle;
    m_pImage = src.m_pImage;
    m_pChooseFont = src.m_pChooseFont;
    m_pLogFont = src.m_pLogFont;
    m_nKind = src.m_nKind;
    m_rect = src.m_rect;
    m_rectLogical = src.m_rectLogical;
    m_sizeMin = src.m_sizeMin;
    m_nLayer = src.m_nLayer;
}

void CLogicalRectTracker::FreeOwned()
{
    // Whatever the kind, free only what is there: a text object may have lost its font record and an
    // image object may hold no picture.
    delete m_pLogFont;
    delete m_pChooseFont;
    delete m_pImage;
    ReleaseOwnership();
}

void CLogicalRectTracker::ReleaseOwnership()
{
    m_pImage = nullptr;
    m_pChooseFont = nullptr;
    m_pLogFont = nullptr;
}

void CLogicalRectTracker::NewFontRecord()
{
    delete m_pLogFont;
    delete m_pChooseFont;
    m_pChooseFont = new CHOOSEFONTA();
    m_pLogFont = new LOGFONTA();
}

BOOL CLogicalRectTracker::SetImage(CRasterImage* pImage, int nKind)
{
    if (m_pImage != pImage)
        delete m_pImage;
    m_pImage = pImage;
    m_nKind = nKind;
    return 1;
}

void CLogicalRectTracker::SetLogicalRect(int left, int top, int right, int bottom)
{
    m_rectLogical.SetRect(left, top, right, bottom);
}

BOOL CLogicalRectTracker::SetCursor(CWnd* pWnd, UINT nHitTest, int nScrollX, int nScrollY)
{
    CRect saved = m_rect;
    m_rect.OffsetRect(-nScrollX, -nScrollY);
    BOOL result = CRectTracker::SetCursor(pWnd, nHitTest);
    m_rect = saved;
    return result;
}

int CLogicalRectTracker::HitTest(CPoint point, int nScrollX, int nScrollY)
{
    CRect saved = m_rect;
    m_rect.OffsetRect(-nScrollX, -nScrollY);
    int result = CRectTracker::HitTest(point);
    m_rect = saved;
    return result;
}

BOOL CLogicalRectTracker::Track(CWnd* pWnd, CPoint point, int nScrollX, int nScrollY, BOOL bAllowInvert)
{
    m_rect.OffsetRect(-nScrollX, -nScrollY);
    BOOL result = CRectTracker::Track(pWnd, point, bAllowInvert, nullptr);
    m_rect.OffsetRect(nScrollX, nScrollY);
    return result;
}

namespace {

// Reads a stored font record of n bytes: at most 60 are kept, the rest is skipped.
void ReadFontBlock(CArchive& ar, void* out, bool isLogFont)
{
    int n = mze::ReadCount(ar, 1, mze::kMaxImageBytes);
    unsigned char block[mze::kFontBlockBytes] = {};
    int keep = n < mze::kFontBlockBytes ? n : mze::kFontBlockBytes;
    ar.EnsureRead(block, UINT(keep));
    mze::Skip(ar, std::uint64_t(n - keep));
    if (isLogFont)
        *static_cast<LOGFONTA*>(out) = LogFontFromBytes(block, std::size_t(keep));
    else
        *static_cast<CHOOSEFONTA*>(out) = ChooseFontFromBytes(block, std::size_t(keep));
}

} // namespace

void CLogicalRectTracker::Serialize(CArchive& ar, const StoredPicture* pPicture)
{
    if (ar.IsStoring()) {
        ar << 1.0 << CString("NONE;") << m_nKind << m_nSelectStyle;
        ar << m_rectLogical.left << m_rectLogical.top << m_rectLogical.right << m_rectLogical.bottom;
        ar << m_nHandleSize << int(m_nStyle);
        ar << m_rect.bottom << m_rect.left << m_rect.right << m_rect.top;
        ar << m_sizeMin.cx << m_sizeMin.cy;
        ar << DWORD(m_crText) << m_nLayer << m_strText;
        if (m_nKind == kindTextTransparent || m_nKind == kindTextOpaque) {
            // A text object that lost its font record is stored with an empty one.
            CHOOSEFONTA cf = m_pChooseFont ? *m_pChooseFont : CHOOSEFONTA();
            LOGFONTA lf = m_pLogFont ? *m_pLogFont : LOGFONTA();
            ar << mze::kFontBlockBytes;
            ar.Write(&cf, mze::kFontBlockBytes);
            ar << mze::kFontBlockBytes;
            ar.Write(&lf, mze::kFontBlockBytes);
        } else if (m_nKind == kindImage) {
            if (pPicture) {
                pPicture->Store(ar);
            } else {
                // A picture that cannot be stored ends the store; it is never written as no picture.
                StoredPicture picture;
                CString why;
                if (!picture.Encode(m_pImage, why))
                    mze::Reject();
                picture.Store(ar);
            }
        }
        return;
    }

    StoredPicture picture;
    LoadRecord(ar, picture);
    if (m_nKind == kindImage)
        DecodePicture(picture);
}

bool CLogicalRectTracker::DecodePicture(const StoredPicture& picture)
{
    // A picture that does not decode for want of memory refuses the file; it is never left out.
    bool outOfMemory = false;
    SetImage(picture.Decode(&outOfMemory).release(), kindImage);
    if (outOfMemory)
        AfxThrowMemoryException();
    return m_pImage != nullptr;
}

void CLogicalRectTracker::LoadRecord(CArchive& ar, StoredPicture& picture)
{
    double version = 0;
    CString none;
    ar >> version >> none;
    int kind = mze::ReadIntIn(ar, kindTextTransparent, kindImage);
    int selectStyle = mze::ReadInt(ar);
    CRect logical;
    ar >> logical.left >> logical.top >> logical.right >> logical.bottom;
    int handleSize = mze::ReadInt(ar);
    int style = mze::ReadInt(ar);
    CRect tracker;
    ar >> tracker.bottom >> tracker.left >> tracker.right >> tracker.top;
    CSize sizeMin;
    ar >> sizeMin.cx >> sizeMin.cy;
    DWORD colour = 0;
    ar >> colour;
    int layer = mze::ReadIntIn(ar, LAYER_BACKGROUND, LAYER_TEXT);
    CString text;
    ar >> text;

    // The record is taken only once it has been read whole, so a broken one leaves nothing half-owned.
    CLogicalRectTracker record;
    StoredPicture stored;
    if (kind == kindImage) {
        stored.Load(ar);
    } else {
        record.NewFontRecord();
        ReadFontBlock(ar, record.m_pChooseFont, false);
        ReadFontBlock(ar, record.m_pLogFont, true);
    }
    record.m_nKind = kind;
    record.m_nSelectStyle = selectStyle;
    record.m_rectLogical = logical;
    record.m_nHandleSize = handleSize;
    record.m_nStyle = UINT(style);
    record.m_rect = tracker;
    record.m_sizeMin = sizeMin;
    record.m_crText = colour;
    record.m_nLayer = layer;
    record.m_strText = std::move(text);
    *this = std::move(record);
    picture = std::move(stored);
}

void CLogicalRectTracker::Draw(CDC* pDC)
{
    if (!pDC)
        return;
    if ((m_nKind == kindTextTransparent || m_nKind == kindTextOpaque) && m_pChooseFont && m_pLogFont) {
        // The character height in thousandths of an inch; it stays in the object's font.
        m_pLogFont->lfHeight = -MulDiv(m_pChooseFont->iPointSize, 1000, 720);
        CFont font;
        font.CreateFontIndirect(m_pLogFont);
        CFont* pOldFont = pDC->SelectObject(&font);
        int nOldMode = pDC->SetBkMode(m_nKind == kindTextTransparent ? TRANSPARENT : OPAQUE);
        COLORREF crOld = pDC->SetTextColor(m_crText);
        CRect r = m_rectLogical;
        pDC->DrawText(m_strText, &r, DT_WORDBREAK | DT_EDITCONTROL);
        pDC->SetTextColor(crOld);
        pDC->SetBkMode(nOldMode);
        pDC->SelectObject(pOldFont);
    } else if (m_nKind == kindImage && m_pImage) {
        DrawImage(pDC);
    }
    if (m_nSelectStyle != 0) {
        m_nStyle = m_nSelectStyle == 1 ? (dottedLine | resizeInside)
                 : m_nSelectStyle == 2 ? (solidLine | resizeOutside)
                                       : (resizeInside | hatchInside);
        CRectTracker::Draw(pDC);
    }
}

void CLogicalRectTracker::DrawImage(CDC* pDC) const
{
    // Drawing may change the picture's working state; the object's own stays as it is.
    CRasterImage copy(*m_pImage, true, true, true);
    copy.DrawDeviceUnits(pDC->GetSafeHdc(), m_rectLogical);
}
