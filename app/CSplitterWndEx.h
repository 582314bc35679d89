#pragma once
// The frame's splitter: knows when both of its panes exist.
#include "platform/CSplitterWnd.h"

class CSplitterWndEx : public CSplitterWnd {
public:
    CSplitterWndEx() = default;

    // Set once both panes exist; the frame lays out the rows only from then on.
    BOOL splitterReady = FALSE;
    // The hidden column of the hide and show column operations; -1 when none is hidden.
    int hiddenColumn = -1;

protected:
    // Item drawing goes to the window's default handling.
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) override;
};
