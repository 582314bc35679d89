#include "app/CPlaceholderMazeView.h"

IMPLEMENT_DYNCREATE(CPlaceholderMazeView, CScrollView)

void CPlaceholderMazeView::OnDraw(CDC*) {}
