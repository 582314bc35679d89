#include "view/CImageSettingsDialog.h"

#include "platform/core/Resource.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CGdiObject.h"
#include "platform/ui/CDataExchange.h"
#include "resources/resource.h"

namespace {
// Dialog units.
const DialogTemplate kImageSettingsTemplate{
    "Image Settings",
    290,
    178,
    {
        {DialogItemKind::Static, IDC_IMAGE_PREVIEW, "", 7, 7, 167, 123},
        {DialogItemKind::GroupBox, IDC_STATIC, "Image Params", 182, 7, 100, 72},
        {DialogItemKind::Static, IDC_IMAGE_WIDE, "WIDE: ", 188, 20, 90, 10},
        {DialogItemKind::Static, IDC_IMAGE_HIGH, "HIGH: ", 188, 33, 90, 10},
        {DialogItemKind::Static, IDC_IMAGE_BPP, "BPP: ", 188, 46, 90, 10},
        {DialogItemKind::Static, IDC_IMAGE_TRANSPARENCY, "TRANSPARENCY SET", 188, 59, 90, 10},
        {DialogItemKind::TrackBar, IDC_IMAGE_ALPHA, "", 7, 136, 167, 18},
        {DialogItemKind::Static, IDC_STATIC, "Transparent", 7, 158, 45, 10},
        {DialogItemKind::Static, IDC_IMAGE_ALPHA_PERCENT, "0%", 80, 158, 30, 10},
        {DialogItemKind::Static, IDC_STATIC, "Opaque", 146, 158, 28, 10},
        {DialogItemKind::DefPushButton, IDOK, "OK", 182, 136, 50, 14},
        {DialogItemKind::PushButton, IDCANCEL, "Cancel", 182, 156, 50, 14},
    }};

constexpr int kTickAt = 127;
constexpr int kTickFrequency = 16;
} // namespace

IMPLEMENT_DYNAMIC(CImageSettingsDialog, CObject)

BEGIN_MESSAGE_MAP(CImageSettingsDialog, CDialog)
    ON_BN_CLICKED(IDOK, &CImageSettingsDialog::OnBnClickedOk)
END_MESSAGE_MAP()

CImageSettingsDialog::CImageSettingsDialog(CWnd* pParent) : CDialog(IDD, pParent)
{
    AfxRegisterDialogTemplate(IDD, &kImageSettingsTemplate);
}

CImageSettingsDialog::~CImageSettingsDialog()
{
    // The preview control shows a bitmap that the dialog made.
    if (HBITMAP hShown = m_previewCtrl.SetBitmap(nullptr))
        DeleteObject(hShown);
}

void CImageSettingsDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_IMAGE_ALPHA, m_slider);
    DDX_Control(pDX, IDC_IMAGE_ALPHA_PERCENT, m_alphaPercent);
    DDX_Control(pDX, IDC_IMAGE_WIDE, m_wide);
    DDX_Control(pDX, IDC_IMAGE_HIGH, m_high);
    DDX_Control(pDX, IDC_IMAGE_BPP, m_bpp);
    DDX_Control(pDX, IDC_IMAGE_TRANSPARENCY, m_transparency);
    DDX_Control(pDX, IDC_IMAGE_PREVIEW, m_previewCtrl);
}

BOOL CImageSettingsDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_slider.SetRange(0, 255, FALSE);
    m_slider.SetPos(m_nAlpha);
    m_slider.SetTic(kTickAt);
    m_slider.SetTicFreq(kTickFrequency);
    UpdatePreview();
    return TRUE;
}

void CImageSettingsDialog::OnHScroll(UINT nSBCode, UINT nPos, CDialogItem* pScrollBar)
{
    m_nAlpha = m_slider.GetPos();
    UpdatePreview();
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}

void CImageSettingsDialog::OnBnClickedOk() { OnOK(); }

void CImageSettingsDialog::UpdatePreview()
{
    CString text;
    text.Format("%d%%", int(m_nAlpha / 255.0 * 100));
    m_alphaPercent.SetWindowText(text);
    text.Format("WIDE: %4d Pixels", int(m_image.GetWidth()));
    m_wide.SetWindowText(text);
    text.Format("HIGH: %4d Pixels", int(m_image.GetHeight()));
    m_high.SetWindowText(text);
    text.Format("BPP:  %4d bits/Pixel", int(m_image.GetBpp()));
    m_bpp.SetWindowText(text);
    m_transparency.SetWindowText(m_image.GetTransIndex() >= 0 ? "TRANSPARENCY SET" : "NON-TRANSPARENT");

    CDC memDC;
    memDC.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&memDC, kPreviewWidth, kPreviewHeight);
    CBitmap* pOld = memDC.SelectObject(&bitmap);
    memDC.PatBlt(0, 0, kPreviewWidth, kPreviewHeight, WHITENESS);
    const CRect rect(0, 0, kPreviewWidth, kPreviewHeight);

    if (HRSRC resource = FindResource(nullptr, MAKEINTRESOURCE(IDB_IMAGE_BACKDROP), RT_BITMAP)) {
        m_backdrop.LoadResource(resource, IMAGE_FORMAT_BMP);
        m_backdrop.Draw(memDC.GetSafeHdc(), rect, nullptr, false);
    }
    CRasterImage cropped;
    if (m_image.Crop(rect, &cropped)) {
        cropped.AlphaCreate();
        cropped.AlphaPaletteEnable(true);
        cropped.AlphaSet(BYTE(m_nAlpha));
        cropped.Draw(memDC.GetSafeHdc(), rect, nullptr, false);
    }
    memDC.SelectObject(pOld);

    m_preview.CreateFromHBITMAP(static_cast<HBITMAP>(bitmap.GetSafeHandle()));
    HBITMAP hShown = m_preview.MakeBitmap(nullptr);
    if (HBITMAP hOld = m_previewCtrl.SetBitmap(hShown))
        DeleteObject(hOld);
}
