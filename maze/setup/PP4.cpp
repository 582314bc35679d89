#include "maze/setup/PP4.h"

#include "maze/setup/MazeSetupIds.h"
#include "platform/ui/CDataExchange.h"
#include "resources/resource.h"

IMPLEMENT_DYNCREATE(PP4, CPropertyPage)

BEGIN_MESSAGE_MAP(PP4, CPropertyPage)
    ON_BN_CLICKED(IDC_ADV_PEN_THINNEST, &PP4::OnPenThinnest)
    ON_BN_CLICKED(IDC_ADV_PEN_HUNDREDTH, &PP4::OnPenHundredth)
    ON_BN_CLICKED(IDC_ADV_PEN_OTHER, &PP4::OnPenOther)
END_MESSAGE_MAP()

namespace {
const DialogTemplate& AdvancedTemplate()
{
    using K = DialogItemKind;
    static const DialogTemplate t = {
        "Advanced",
        316,
        178,
        {
            {K::GroupBox, IDC_STATIC, "Printing Pen Width", 7, 7, 200, 64},
            {K::RadioButton, IDC_ADV_PEN_THINNEST, "Thinnest!", 16, 20, 100, 12, WS_GROUP},
            {K::RadioButton, IDC_ADV_PEN_HUNDREDTH, "Set to 1/100\"", 16, 34, 100, 12},
            {K::RadioButton, IDC_ADV_PEN_OTHER, "Other in X/1000\"", 16, 48, 100, 12},
            {K::Static, IDC_STATIC, "X=", 122, 50, 12, 10},
            {K::Edit, IDC_ADV_PEN_WIDTH, "", 136, 48, 50, 12},
            {K::Static, IDC_STATIC, "Random Number Seed", 7, 82, 96, 10},
            {K::Edit, IDC_ADV_SEED, "", 106, 80, 80, 12},
            {K::CheckBox, IDC_ADV_ERASED_VISIBLE, "Make Erased Cells Visible in Layout", 7, 100, 250, 12},
            {K::CheckBox, IDC_ADV_INFO_WINDOW, "Show Updated Information Window", 7, 116, 250, 12, 0, true},
            {K::CheckBox, IDC_ADV_ANIMATE, "Animate Maze Creation && Solving", 7, 132, 250, 12},
        },
    };
    return t;
}
} // namespace

PP4::PP4() : CPropertyPage(IDD_PAGE_ADVANCED)
{
    AfxRegisterDialogTemplate(IDD_PAGE_ADVANCED, &AdvancedTemplate());
}

PP4::~PP4() = default;

void PP4::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ADV_INFO_WINDOW, m_checkInfoWindow);
    DDX_Control(pDX, IDC_ADV_PEN_THINNEST, m_radioThinnest);
    DDX_Control(pDX, IDC_ADV_PEN_HUNDREDTH, m_radioHundredth);
    DDX_Control(pDX, IDC_ADV_PEN_OTHER, m_radioOther);
    DDX_Control(pDX, IDC_ADV_PEN_WIDTH, m_editPenWidth);
    DDX_Text(pDX, IDC_ADV_SEED, m_nSeed);
    DDX_Check(pDX, IDC_ADV_ERASED_VISIBLE, m_bErasedVisible);
    DDX_Text(pDX, IDC_ADV_PEN_WIDTH, m_nPenWidth);
    DDX_Check(pDX, IDC_ADV_INFO_WINDOW, m_bInfoWindow);
    DDX_Check(pDX, IDC_ADV_ANIMATE, m_bAnimate);
}

void PP4::CheckPenButton(CButton& button)
{
    for (CButton* p : {&m_radioThinnest, &m_radioHundredth, &m_radioOther})
        p->SetCheck(p == &button ? BST_CHECKED : BST_UNCHECKED);
}

BOOL PP4::OnSetActive()
{
    if (m_nPenWidth == 0)
        CheckPenButton(m_radioThinnest);
    else if (m_nPenWidth == 10)
        CheckPenButton(m_radioHundredth);
    else
        CheckPenButton(m_radioOther);
    m_checkInfoWindow.ShowWindow(1);
    return CPropertyPage::OnSetActive();
}

void PP4::OnPenThinnest()
{
    CheckPenButton(m_radioThinnest);
    m_nPenWidth = 0;
    m_editPenWidth.SetReadOnly(TRUE);
    SetModified(TRUE);
    UpdateData(FALSE);
}

void PP4::OnPenHundredth()
{
    CheckPenButton(m_radioHundredth);
    m_nPenWidth = 10;
    m_editPenWidth.SetReadOnly(TRUE);
    SetModified(TRUE);
    UpdateData(FALSE);
}

void PP4::OnPenOther()
{
    m_editPenWidth.SetReadOnly(FALSE);
    CheckPenButton(m_radioOther);
    SetModified(TRUE);
    UpdateData(FALSE);
}
