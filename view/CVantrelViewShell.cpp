// The view's links to the application object and the main frame.
#include "view/CVantrelView.h"

#include "app/CMainFrame.h"
#include "app/CSplashThread.h"
#include "app/CVantrelApp.h"

namespace {
CVantrelApp* VantrelApp() { return dynamic_cast<CVantrelApp*>(AfxGetApp()); }
}  // namespace

void CVantrelView::CollapseInfoPane()
{
    // While the pane is switched on, its page timers size it: every resize of the splitter repaints this
    // view, so a collapse here would undo each growth of the pane at once. A grid rebuild hides the pane
    // through the document, and switching the pane off hides it through the application.
    if (IsInfoPaneVisible())
        return;
    if (auto* pFrame = dynamic_cast<CMainFrame*>(GetParentFrame()))
        pFrame->SetAdPaneHeight(0, 0);
}

void CVantrelView::AnnounceToApplication()
{
    CVantrelApp* pApp = VantrelApp();
    if (!pApp)
        return;
    // The view's first update closes the splash screen.
    if (pApp->splashShown) {
        if (pApp->splashThread)
            pApp->splashThread->HideSplash();
        pApp->splashShown = FALSE;
    }
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
        pApp->SwitchInfoPane(bVisible ? TRUE : FALSE);
}
