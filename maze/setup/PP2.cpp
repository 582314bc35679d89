#include "maze/setup/PP2.h"

#include "maze/TemplateRules.h"
#include "maze/setup/MazeSetupIds.h"
#include "maze/setup/PP1.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/CDataExchange.h"
#include "resources/resource.h"

IMPLEMENT_DYNCREATE(PP2, CPropertyPage)

BEGIN_MESSAGE_MAP(PP2, CPropertyPage)
    ON_BN_CLICKED(IDC_DIM_FIT_TO_PAGE, &PP2::OnFitToPage)
END_MESSAGE_MAP()

namespace {
const DialogTemplate& DimensionsTemplate()
{
    using K = DialogItemKind;
    static const DialogTemplate t = {
        "Dimensions",
        316,
        178,
        {
            {K::GroupBox, IDC_DIM_GROUP, "Dimensions", 7, 7, 150, 92},
            {K::Static, IDC_DIM_CELLS_WIDE_LABEL, "Cells Wide:", 16, 24, 60, 10},
            {K::Edit, IDC_DIM_CELLS_WIDE, "", 80, 22, 60, 12},
            {K::Static, IDC_DIM_CELLS_LONG_LABEL, "Cells Long:", 16, 42, 60, 10},
            {K::Edit, IDC_DIM_CELLS_LONG, "", 80, 40, 60, 12},
            {K::Static, IDC_DIM_SCALE_LABEL, "SCALE:", 16, 60, 60, 10, 0, true},
            {K::Edit, IDC_DIM_SCALE, "", 80, 58, 60, 12, WS_DISABLED, true},
            {K::CheckBox, IDC_DIM_FIT_TO_PAGE, "Fit To Page (ignores SCALE)", 16, 78, 130, 12, WS_DISABLED, true},
            {K::GroupBox, IDC_DIM_CIRCULAR_GROUP, "Circular", 163, 7, 146, 92},
            {K::Static, IDC_DIM_INNER_CELLS_LABEL, "Inner Radius Cells:", 168, 24, 90, 10},
            {K::Edit, IDC_DIM_INNER_CELLS, "", 260, 22, 42, 12},
            {K::Static, IDC_DIM_INNER_PCT_LABEL, "% Inner Radius Size:", 168, 42, 90, 10},
            {K::Edit, IDC_DIM_INNER_PCT, "", 260, 40, 42, 12},
            {K::Static, IDC_STATIC,
             "0's as dimensions will maximize the number of cells based upon the scale. A larger scale makes the "
             "maze easier! NOT ALLOWED FOR FIT TO PAGE.",
             7, 110, 302, 30, 0, true},
        },
    };
    return t;
}

// Shows or hides a control (its visible style) and leaves its other styles.
void SetVisible(CDialogItem& item, bool bVisible)
{
    item.ModifyStyle(bVisible ? 0 : WS_VISIBLE, bVisible ? WS_VISIBLE : 0);
}

void SetEnabled(CDialogItem& item, bool bEnabled)
{
    item.ModifyStyle(bEnabled ? WS_DISABLED : 0, bEnabled ? 0 : WS_DISABLED);
}

// An edit the user can type in and see, or a read-only hidden one.
void SetEditable(CEdit& edit, bool bEditable)
{
    edit.SetReadOnly(!bEditable);
    SetVisible(edit, bEditable);
}
} // namespace

PP2::PP2() : CPropertyPage(IDD_PAGE_DIMENSIONS)
{
    AfxRegisterDialogTemplate(IDD_PAGE_DIMENSIONS, &DimensionsTemplate());
}

PP2::~PP2() = default;

void PP2::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DIM_FIT_TO_PAGE, m_checkFitToPage);
    DDX_Control(pDX, IDC_DIM_SCALE_LABEL, m_labelScale);
    DDX_Control(pDX, IDC_DIM_SCALE, m_editScale);
    DDX_Control(pDX, IDC_DIM_INNER_PCT_LABEL, m_labelInnerPct);
    DDX_Control(pDX, IDC_DIM_INNER_CELLS_LABEL, m_labelInnerCells);
    DDX_Control(pDX, IDC_DIM_CELLS_LONG_LABEL, m_labelCellsLong);
    DDX_Control(pDX, IDC_DIM_CELLS_WIDE_LABEL, m_labelCellsWide);
    DDX_Control(pDX, IDC_DIM_GROUP, m_groupDimensions);
    DDX_Control(pDX, IDC_DIM_CIRCULAR_GROUP, m_groupCircular);
    DDX_Control(pDX, IDC_DIM_INNER_PCT, m_editInnerPct);
    DDX_Control(pDX, IDC_DIM_INNER_CELLS, m_editInnerCells);
    DDX_Control(pDX, IDC_DIM_CELLS_WIDE, m_editCellsWide);
    DDX_Control(pDX, IDC_DIM_CELLS_LONG, m_editCellsLong);
    DDX_Text(pDX, IDC_DIM_CELLS_LONG, m_nCellsLong);
    DDV_MinMaxInt(pDX, m_nCellsLong, 0, 100000);
    DDX_Text(pDX, IDC_DIM_CELLS_WIDE, m_nCellsWide);
    DDV_MinMaxInt(pDX, m_nCellsWide, 0, 100000);
    DDX_Text(pDX, IDC_DIM_SCALE, m_nScale);
    DDV_MinMaxInt(pDX, m_nScale, 0, 100000);
    DDX_Text(pDX, IDC_DIM_INNER_CELLS, m_nInnerCells);
    DDV_MinMaxInt(pDX, m_nInnerCells, 1, 10000);
    DDX_Text(pDX, IDC_DIM_INNER_PCT, m_fInnerPct);
    DDV_MinMaxFloat(pDX, m_fInnerPct, 0.1f, 99.9f);
    DDX_Check(pDX, IDC_DIM_FIT_TO_PAGE, m_bFitToPage);
    // 0 means as many cells as fit at the scale, which a maze fitted to the page does not have.
    if (pDX->m_bSaveAndValidate) {
        const int nType = m_pStylePage ? m_pStylePage->m_nType : 0;
        const CString refusal = RefuseCellCounts(nType, m_bFitToPage, m_nCellsWide, m_nCellsLong);
        if (!refusal.IsEmpty()) {
            pDX->PrepareEditCtrl(m_nCellsWide < 1 ? IDC_DIM_CELLS_WIDE : IDC_DIM_CELLS_LONG);
            AfxMessageBox(refusal, MB_ICONEXCLAMATION);
            pDX->Fail();
        }
    }
}

BOOL PP2::OnSetActive()
{
    UpdateData(FALSE);
    const bool ring = m_pStylePage && m_pStylePage->m_nType >= 40;
    SetEnabled(m_groupCircular, ring);
    SetEditable(m_editInnerCells, ring);
    SetEditable(m_editInnerPct, ring);
    SetEnabled(m_labelInnerCells, ring);
    SetEnabled(m_labelInnerPct, ring);
    SetEnabled(m_groupDimensions, !ring);
    SetEditable(m_editCellsLong, !ring);
    SetEditable(m_editCellsWide, !ring);
    SetEnabled(m_labelCellsWide, !ring);
    SetEnabled(m_labelCellsLong, !ring);
    if (ring) {
        SetEnabled(m_labelScale, false);
    } else {
        // The scale edit becomes editable but stays disabled, its label enabled but hidden.
        m_editScale.SetReadOnly(FALSE);
        SetEnabled(m_labelScale, true);
        OnFitToPage();
    }
    return CPropertyPage::OnSetActive();
}

void PP2::OnFitToPage()
{
    UpdateData(TRUE);
    if (m_bFitToPage) {
        SetEditable(m_editScale, false);
        SetEnabled(m_labelScale, false);
    } else {
        SetEditable(m_editScale, true);
        SetEnabled(m_labelScale, true);
    }
    SetModified(TRUE);
    Invalidate();
}
