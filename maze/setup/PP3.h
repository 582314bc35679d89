#pragma once
// The Page page of the Maze Setup sheet: the maze's size and margins on the page in inches, and the
// printer report switch.
#include "platform/ui/CPropertyPage.h"

class PP3 : public CPropertyPage {
    DECLARE_DYNCREATE(PP3)
public:
    PP3();
    ~PP3() override;

    void OnAutoCenter();
    void OnPrinterDebugInfo();

    float m_fHeight = 0.0f;
    float m_fWidth = 0.0f;
    float m_fLeft = 0.0f;
    float m_fTop = 0.0f;
    BOOL m_bPrinterDebug = FALSE;
    BOOL m_bAutoCenter = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    DECLARE_MESSAGE_MAP()
};
