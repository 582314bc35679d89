#include "app/CSplitterWndEx.h"

void CSplitterWndEx::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CWnd::OnDrawItem(nIDCtl, lpDrawItemStruct);
}
