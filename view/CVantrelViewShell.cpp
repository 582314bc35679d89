// The view's links to the application object and the main frame.
#include "view/CVantrelView.h"

void CVantrelView::CollapseInfoPane() {}
void CVantrelView::AnnounceToApplication() {}
bool CVantrelView::IsInfoPaneVisible() const { return false; }
void CVantrelView::SetInfoPaneVisible(bool) {}
