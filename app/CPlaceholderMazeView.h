#pragma once
// PLACEHOLDER for the maze view until the real one joins the program: an empty scroll view.
#include "platform/CScrollView.h"

class CPlaceholderMazeView : public CScrollView {
    DECLARE_DYNCREATE(CPlaceholderMazeView)
public:
    void OnDraw(CDC* pDC) override;
};
