#include "maze/setup/PP3.h"

#include "maze/setup/MazeSetupIds.h"
#include "platform/ui/CDataExchange.h"
#include "resources/resource.h"

IMPLEMENT_DYNCREATE(PP3, CPropertyPage)

BEGIN_MESSAGE_MAP(PP3, CPropertyPage)
    ON_BN_CLICKED(IDC_PAGE_AUTO_CENTER, &PP3::OnAutoCenter)
    ON_BN_CLICKED(IDC_PAGE_PRINTER_DEBUG, &PP3::OnPrinterDebugInfo)
END_MESSAGE_MAP()

namespace {
const DialogTemplate& PageTemplate()
{
    using K = DialogItemKind;
    static const DialogTemplate t = {
        "Page",
        316,
        178,
        {
            {K::GroupBox, IDC_STATIC, "Maze Size (inches)", 7, 7, 146, 56},
            {K::Static, IDC_STATIC, "Width:", 16, 24, 40, 10},
            {K::Edit, IDC_PAGE_WIDTH, "", 60, 22, 60, 12},
            {K::Static, IDC_STATIC, "Height:", 16, 42, 40, 10},
            {K::Edit, IDC_PAGE_HEIGHT, "", 60, 40, 60, 12},
            {K::GroupBox, IDC_STATIC, "Page Margin (inches)", 163, 7, 146, 56},
            {K::Static, IDC_STATIC, "Left:", 172, 24, 40, 10},
            {K::Edit, IDC_PAGE_LEFT, "", 216, 22, 60, 12},
            {K::Static, IDC_STATIC, "Top:", 172, 42, 40, 10},
            {K::Edit, IDC_PAGE_TOP, "", 216, 40, 60, 12},
            {K::CheckBox, IDC_PAGE_AUTO_CENTER, "Auto Center Maze on Page", 7, 74, 200, 12, 0, true},
            {K::CheckBox, IDC_PAGE_PRINTER_DEBUG, "Enable Printer Debug Information for Support", 7, 92, 250, 12},
        },
    };
    return t;
}
} // namespace

PP3::PP3() : CPropertyPage(IDD_PAGE_PAGE)
{
    AfxRegisterDialogTemplate(IDD_PAGE_PAGE, &PageTemplate());
}

PP3::~PP3() = default;

void PP3::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_PAGE_HEIGHT, m_fHeight);
    DDX_Text(pDX, IDC_PAGE_WIDTH, m_fWidth);
    DDX_Text(pDX, IDC_PAGE_LEFT, m_fLeft);
    DDX_Text(pDX, IDC_PAGE_TOP, m_fTop);
    DDX_Check(pDX, IDC_PAGE_PRINTER_DEBUG, m_bPrinterDebug);
    DDX_Check(pDX, IDC_PAGE_AUTO_CENTER, m_bAutoCenter);
}

// The boxes change their values through the data exchange alone.
void PP3::OnAutoCenter() {}
void PP3::OnPrinterDebugInfo() {}
