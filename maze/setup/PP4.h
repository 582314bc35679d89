#pragma once
// The Advanced page of the Maze Setup sheet: printing pen width, random seed, erased-cell display, the
// information pane switch and animation.
#include "platform/ui/CPropertyPage.h"

class PP4 : public CPropertyPage {
    DECLARE_DYNCREATE(PP4)
public:
    PP4();
    ~PP4() override;

    BOOL OnSetActive() override;
    void OnPenThinnest();
    void OnPenHundredth();
    void OnPenOther();

    CButton m_checkInfoWindow;
    CButton m_radioThinnest;
    CButton m_radioHundredth;
    CButton m_radioOther;
    CEdit m_editPenWidth;
    UINT m_nSeed = 0;  // the document's -1 (do not reseed) shows as 4294967295
    BOOL m_bErasedVisible = FALSE;
    int m_nPenWidth = 0;
    BOOL m_bInfoWindow = TRUE;
    BOOL m_bAnimate = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    DECLARE_MESSAGE_MAP()

private:
    void CheckPenButton(CButton& button);
};
