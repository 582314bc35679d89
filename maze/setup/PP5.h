#pragma once
// The GROWTH page of the Maze Setup sheet: the eight compass weights of maze growth, the hidden centre
// weight, and whether directions are taken relative to the current one.
#include "platform/ui/CPropertyPage.h"

class PP5 : public CPropertyPage {
    DECLARE_DYNCREATE(PP5)
public:
    PP5();
    ~PP5() override;

    int m_nE = 1;
    int m_nN = 1;
    int m_nNW = 1;
    int m_nNE = 1;
    BOOL m_bRelative = FALSE;
    int m_nS = 1;
    int m_nSE = 1;
    int m_nCenter = 1;
    int m_nSW = 1;
    int m_nW = 1;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    DECLARE_MESSAGE_MAP()
};
