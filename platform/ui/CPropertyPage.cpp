#include "platform/ui/CPropertyPage.h"

#include "platform/gdi/WinGdi.h"
#include "platform/ui/CPropertySheet.h"

#include <QAbstractButton>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <vector>

IMPLEMENT_DYNAMIC(CPropertyPage, CObject)

CPropertyPage::CPropertyPage(UINT nIDTemplate) : CDialog(nIDTemplate) {}

CPropertyPage::~CPropertyPage() = default;

BOOL CPropertyPage::CreatePageWindow(CPropertySheet* pSheet, QWidget* pParent)
{
    const DialogTemplate* pTemplate = AfxFindDialogTemplate(GetTemplateID());
    if (!pTemplate)
        return FALSE;
    DestroyControls();
    m_pSheet = pSheet;
    m_bFirstSetActive = TRUE;
    CreateControls(*pTemplate);
    QDialog* pWindow = GetQDialog();
    pWindow->setParent(pParent, Qt::Widget);
    pWindow->move(0, 0);
    pWindow->show();
    OnInitDialog();
    return TRUE;
}

BOOL CPropertyPage::OnSetActive()
{
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }

void CPropertyPage::OnOK() { SetModified(FALSE); }

void CPropertyPage::OnCancel() {}

void CPropertyPage::SetModified(BOOL bChanged)
{
    m_bModified = bChanged ? TRUE : FALSE;
    if (m_pSheet)
        m_pSheet->UpdateApplyButton();
}

CString CPropertyPage::GetCaption() const
{
    const DialogTemplate* pTemplate = AfxFindDialogTemplate(GetTemplateID());
    return pTemplate && pTemplate->caption ? CString(pTemplate->caption) : CString();
}

void CPropertyPage::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    for (int nID = nIDFirstButton; nID <= nIDLastButton; ++nID)
        if (CDialogItem* pItem = GetDlgItem(nID))
            if (auto* pButton = qobject_cast<QAbstractButton*>(pItem->GetWidget()))
                pButton->setChecked(nID == nIDCheckButton);
}

int CPropertyPage::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const
{
    for (int nID = nIDFirstButton; nID <= nIDLastButton; ++nID)
        if (CDialogItem* pItem = GetDlgItem(nID))
            if (auto* pButton = qobject_cast<QAbstractButton*>(pItem->GetWidget()); pButton && pButton->isChecked())
                return nID;
    return 0;
}

BOOL CPropertyPage::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (m_pSheet && nCode == CN_COMMAND && (nID == UINT(IDOK) || nID == UINT(IDCANCEL)))
        return m_pSheet->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    return CDialog::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// ---- picture control ----

namespace {
// The bitmap's pixels as an image; null for no bitmap or one the graphics layer cannot read.
QImage ImageOfBitmap(HBITMAP hBitmap)
{
    BITMAP bm{};
    if (!hBitmap || !GetObject(hBitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return {};
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight; // top-down rows
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    QImage image(bm.bmWidth, bm.bmHeight, QImage::Format_RGB32);
    HDC hdc = CreateCompatibleDC(nullptr);
    const int lines = GetDIBits(hdc, hBitmap, 0, UINT(bm.bmHeight), image.bits(), &bmi, DIB_RGB_COLORS);
    DeleteDC(hdc);
    return lines == bm.bmHeight ? image : QImage();
}
} // namespace

HBITMAP CStatic::SetBitmap(HBITMAP hBitmap)
{
    HBITMAP hOld = m_hBitmap;
    m_hBitmap = hBitmap;
    if (auto* pLabel = qobject_cast<QLabel*>(m_pWidget)) {
        const QImage image = ImageOfBitmap(hBitmap);
        if (image.isNull()) {
            pLabel->clear();
        } else {
            pLabel->setPixmap(QPixmap::fromImage(image));
            pLabel->resize(image.size());
        }
    }
    return hOld;
}
