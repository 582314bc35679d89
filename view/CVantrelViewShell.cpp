// The view's links to the application around it, through the host interface the application implements.
#include "view/CVantrelView.h"

#include "platform/ui/CWinApp.h"
#include "view/IViewHost.h"

namespace {
IViewHost* Host() { return dynamic_cast<IViewHost*>(AfxGetApp()); }
}  // namespace

void CVantrelView::CollapseInfoPane()
{
    // While the pane is switched on, its page timers size it: every resize of the splitter repaints this
    // view, so a collapse here would undo each growth of the pane at once. A grid rebuild hides the pane
    // through the document, and switching the pane off hides it through the application.
    if (IsInfoPaneVisible())
        return;
    if (IViewHost* pHost = Host())
        pHost->CollapseInfoPane(GetParentFrame());
}

void CVantrelView::AnnounceToApplication()
{
    if (IViewHost* pHost = Host())
        pHost->OnMazeViewReady(this);
}

bool CVantrelView::IsInfoPaneVisible() const
{
    IViewHost* pHost = Host();
    return pHost && pHost->IsInfoPaneOn();
}

void CVantrelView::SetInfoPaneVisible(bool bVisible)
{
    if (IViewHost* pHost = Host())
        pHost->SwitchInfoPane(bVisible ? TRUE : FALSE);
}

CWnd* CVantrelView::GetInfoPane() const
{
    IViewHost* pHost = Host();
    return pHost ? pHost->GetInfoPane() : nullptr;
}
