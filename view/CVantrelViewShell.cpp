// The view's links to the application object and the main frame.
#include "view/CVantrelView.h"

#include "app/CMainFrame.h"
#include "app/CVantrelApp.h"

namespace {
CVantrelApp* VantrelApp() { return dynamic_cast<CVantrelApp*>(AfxGetApp()); }
}  // namespace

void CVantrelView::CollapseInfoPane()
{
    if (auto* pFrame = dynamic_cast<CMainFrame*>(GetParentFrame()))
        pFrame->SetAdPaneHeight(0, 0);
}

void CVantrelView::AnnounceToApplication()
{
    if (CVantrelApp* pApp = VantrelApp())
        pApp->mazeView = this;
}

bool CVantrelView::IsInfoPaneVisible() const
{
    CVantrelApp* pApp = VantrelApp();
    return pApp && pApp->infoPaneVisible;
}

void CVantrelView::SetInfoPaneVisible(bool bVisible)
{
    if (CVantrelApp* pApp = VantrelApp())
        pApp->infoPaneVisible = bVisible ? TRUE : FALSE;
}
