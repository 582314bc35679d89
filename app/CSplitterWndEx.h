#pragma once
// The frame's splitter: knows when both of its panes exist.
#include "platform/ui/CSplitterWnd.h"

class CSplitterWndEx : public CSplitterWnd {
public:
    CSplitterWndEx() = default;

    // Set once both panes exist; the frame lays out the rows only from then on.
    BOOL splitterReady = FALSE;
    // The hidden column of the hide and show column operations; -1 when none is hidden.
    int hiddenColumn = -1;

    // Takes a column out of the layout until ShowColumn: its panes are hidden and get the ids of a
    // column past the visible ones, the panes to its right move one column left, and the active pane
    // moves to the next column when it was in this one. One column at a time, and never the last one.
    void HideColumn(int colHide);
    // Brings the hidden column back at its place with its width.
    void ShowColumn();

private:
    int m_nHiddenWidth = 0;  // the hidden column's width and minimum when it was hidden
    int m_nHiddenMin = 0;

protected:
    // Item drawing goes to the window's default handling.
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) override;
};
