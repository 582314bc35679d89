#include "maze/setup/PP5.h"

#include "maze/setup/MazeSetupIds.h"
#include "platform/ui/CDataExchange.h"
#include "resources/resource.h"

IMPLEMENT_DYNCREATE(PP5, CPropertyPage)

BEGIN_MESSAGE_MAP(PP5, CPropertyPage)
END_MESSAGE_MAP()

namespace {
const DialogTemplate& GrowthTemplate()
{
    using K = DialogItemKind;
    // A compass: each weight sits where its direction points, the hidden centre weight in the middle.
    static const DialogTemplate t = {
        "GROWTH",
        316,
        178,
        {
            {K::Edit, IDC_GROW_E, "", 200, 64, 40, 12},
            {K::Edit, IDC_GROW_N, "", 138, 20, 40, 12},
            {K::Edit, IDC_GROW_NW, "", 76, 20, 40, 12},
            {K::Edit, IDC_GROW_NE, "", 200, 20, 40, 12},
            {K::CheckBox, IDC_GROW_RELATIVE, "Movement relative to current direction", 76, 140, 200, 12},
            {K::Edit, IDC_GROW_S, "", 138, 108, 40, 12},
            {K::Edit, IDC_GROW_SE, "", 200, 108, 40, 12},
            {K::Edit, IDC_GROW_CENTER, "", 138, 64, 40, 12, WS_DISABLED, true},
            {K::Edit, IDC_GROW_SW, "", 76, 108, 40, 12},
            {K::Edit, IDC_GROW_W, "", 76, 64, 40, 12},
            {K::Static, IDC_STATIC, "N", 155, 10, 10, 9},
            {K::Static, IDC_STATIC, "NW", 90, 10, 16, 9},
            {K::Static, IDC_STATIC, "NE", 214, 10, 16, 9},
            {K::Static, IDC_STATIC, "W", 64, 66, 10, 9},
            {K::Static, IDC_STATIC, "E", 244, 66, 10, 9},
            {K::Static, IDC_STATIC, "SW", 90, 122, 16, 9},
            {K::Static, IDC_STATIC, "S", 155, 122, 10, 9},
            {K::Static, IDC_STATIC, "SE", 214, 122, 16, 9},
        },
    };
    return t;
}
} // namespace

PP5::PP5() : CPropertyPage(IDD_PAGE_GROWTH)
{
    AfxRegisterDialogTemplate(IDD_PAGE_GROWTH, &GrowthTemplate());
}

PP5::~PP5() = default;

void PP5::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_GROW_E, m_nE);
    DDX_Text(pDX, IDC_GROW_N, m_nN);
    DDX_Text(pDX, IDC_GROW_NW, m_nNW);
    DDX_Text(pDX, IDC_GROW_NE, m_nNE);
    DDX_Check(pDX, IDC_GROW_RELATIVE, m_bRelative);
    DDX_Text(pDX, IDC_GROW_S, m_nS);
    DDX_Text(pDX, IDC_GROW_SE, m_nSE);
    DDX_Text(pDX, IDC_GROW_CENTER, m_nCenter);
    DDX_Text(pDX, IDC_GROW_SW, m_nSW);
    DDX_Text(pDX, IDC_GROW_W, m_nW);
}
