#include "app/BitmapSetup.h"

#include "platform/ui/CDataExchange.h"
#include "resources/resource.h"

namespace {
const DialogTemplate kBitmapSetupTemplate = {
    "Bitmap Setup",
    215,
    154,
    {
        {DialogItemKind::CheckBox, IDC_SCREEN_RESOLUTION, "Set to Screen Resolution", 15, 12, 120, 10},
        {DialogItemKind::GroupBox, IDC_STATIC, "Bitmap Dimensions", 7, 30, 201, 50},
        {DialogItemKind::Static, IDC_STATIC, "X=", 20, 47, 12, 10},
        {DialogItemKind::Edit, IDC_BITMAP_X, "", 35, 45, 50, 13, ES_AUTOHSCROLL},
        {DialogItemKind::Static, IDC_STATIC, "Y=", 110, 47, 12, 10},
        {DialogItemKind::Edit, IDC_BITMAP_Y, "", 125, 45, 50, 13, ES_AUTOHSCROLL},
        {DialogItemKind::Static, IDC_STATIC, "Number of mazes to render", 15, 95, 100, 10},
        {DialogItemKind::Edit, IDC_MAZES_TO_RENDER, "", 120, 93, 40, 13, ES_AUTOHSCROLL},
        {DialogItemKind::DefPushButton, IDOK, "OK", 43, 128, 50, 14},
        {DialogItemKind::PushButton, IDCANCEL, "Cancel", 122, 128, 50, 14},
    }};
}  // namespace

BitmapSetup::BitmapSetup(CWnd* pParent) : CDialog(IDD_BITMAP_SETUP, pParent)
{
    AfxRegisterDialogTemplate(IDD_BITMAP_SETUP, &kBitmapSetupTemplate);
}

void BitmapSetup::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_SCREEN_RESOLUTION, m_bScreenResolution);
    DDX_Text(pDX, IDC_BITMAP_X, m_nX);
    DDX_Text(pDX, IDC_BITMAP_Y, m_nY);
    DDX_Text(pDX, IDC_MAZES_TO_RENDER, m_nMazes);
    DDV_MinMaxInt(pDX, m_nMazes, 1, 999);
}
