#pragma once
// The image settings dialog: an image's size, colour depth and transparency, and an alpha level chosen
// with a slider while a 250 x 200 preview shows the image blended at that level over a backdrop. The
// view prepares one for every picture it places but never shows it; nothing reads the level.
#include "image/CRasterImage.h"
#include "platform/core/CObject.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CPropertyPage.h"
#include "platform/ui/CSliderCtrl.h"

class CWnd;

constexpr UINT IDC_IMAGE_PREVIEW = 1070;
constexpr UINT IDC_IMAGE_ALPHA = 1071;
constexpr UINT IDC_IMAGE_ALPHA_PERCENT = 1073;
constexpr UINT IDC_IMAGE_WIDE = 1074;
constexpr UINT IDC_IMAGE_BPP = 1075;
constexpr UINT IDC_IMAGE_HIGH = 1076;
constexpr UINT IDC_IMAGE_TRANSPARENCY = 1077;
// The preview's first picture, and the backdrop the image is blended over.
constexpr UINT IDB_IMAGE_PREVIEW = 185;
constexpr UINT IDB_IMAGE_BACKDROP = 165;

// Carries run-time class information; it is not made by class.
class CImageSettingsDialog : public CDialog, public CObject {
    DECLARE_DYNAMIC(CImageSettingsDialog)
public:
    enum { IDD = 184 };
    // The preview's size in pixels.
    static constexpr int kPreviewWidth = 250;
    static constexpr int kPreviewHeight = 200;

    explicit CImageSettingsDialog(CWnd* pParent = nullptr);
    ~CImageSettingsDialog() override;

    BOOL OnInitDialog() override;
    // The slider moved: the level follows it and the preview is drawn again.
    void OnHScroll(UINT nSBCode, UINT nPos, CDialogItem* pScrollBar) override;
    void OnBnClickedOk();
    // Texts and preview for m_image at m_nAlpha.
    void UpdatePreview();

    CSliderCtrl m_slider;
    CStatic m_alphaPercent;
    CStatic m_wide;
    CStatic m_high;
    CStatic m_bpp;
    CStatic m_transparency;
    CStatic m_previewCtrl;
    CRasterImage m_backdrop;
    CRasterImage m_image;  // filled by the owner before the dialog is shown
    CRasterImage m_preview;
    int m_nAlpha = 255;    // 0 transparent .. 255 opaque; starts opaque

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    DECLARE_MESSAGE_MAP()
};
