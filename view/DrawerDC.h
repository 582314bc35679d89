#pragma once
// Takes the window's DC, prepared with the scroll origin, for a cell drawer called without a DC, and
// gives it back on every path out.
#include "view/CVantrelView.h"

class DrawerDC {
public:
    DrawerDC(CVantrelView& view, CDC* pDC) : m_view(view), m_pDC(pDC)
    {
        if (!m_pDC) {
            m_view.m_windowDC = m_view.GetDC();
            m_view.OnPrepareDC(m_view.m_windowDC);
            m_pDC = m_view.m_windowDC;
            m_bTaken = true;
        }
    }
    ~DrawerDC()
    {
        if (m_bTaken) {
            m_view.ReleaseDC(m_view.m_windowDC);
            m_view.m_windowDC = nullptr;
        }
    }
    DrawerDC(const DrawerDC&) = delete;
    DrawerDC& operator=(const DrawerDC&) = delete;
    CDC* get() const { return m_pDC; }

private:
    CVantrelView& m_view;
    CDC* m_pDC;
    bool m_bTaken = false;
};
