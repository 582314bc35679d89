#pragma once
// PLACEHOLDER for the information pane until the real one joins the program: an empty view.
#include "platform/CWndView.h"

class CAdWindowPlaceholder : public CWndView {
    DECLARE_DYNCREATE(CAdWindowPlaceholder)
public:
    void OnDraw(CDC* pDC) override;
};
