#pragma once
// The Dimensions page of the Maze Setup sheet: rows and columns of a square template, or the innermost
// ring's cells and radius of a ring template, as the Style page's current choice asks.
#include "platform/ui/CPropertyPage.h"

class PP1;

class PP2 : public CPropertyPage {
    DECLARE_DYNCREATE(PP2)
public:
    PP2();
    ~PP2() override;

    BOOL OnSetActive() override;
    void OnFitToPage();

    PP1* m_pStylePage = nullptr;
    CButton m_checkFitToPage;
    CDialogItem m_labelScale;
    CEdit m_editScale;
    CDialogItem m_labelInnerPct;
    CDialogItem m_labelInnerCells;
    CDialogItem m_labelCellsLong;
    CDialogItem m_labelCellsWide;
    CDialogItem m_groupDimensions;
    CDialogItem m_groupCircular;
    CEdit m_editInnerPct;
    CEdit m_editInnerCells;
    CEdit m_editCellsWide;
    CEdit m_editCellsLong;
    int m_nCellsLong = 0;
    int m_nCellsWide = 0;
    int m_nScale = 0;
    int m_nInnerCells = 0;
    float m_fInnerPct = 0.0f;
    BOOL m_bFitToPage = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    DECLARE_MESSAGE_MAP()
};
