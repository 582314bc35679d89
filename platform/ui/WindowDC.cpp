#include "platform/ui/WindowDC.h"

#include "platform/gdi/CDC.h"

CDC* AfxNewWindowDC(QImage* pImage, std::function<void(const RECT&)> onFlush)
{
    HDC hDC = CreateImageDC(pImage, onFlush ? GdiFlushHandler(std::move(onFlush)) : GdiFlushHandler());
    if (!hDC)
        return nullptr;
    auto* pDC = new CDC;
    pDC->Attach(hDC);
    return pDC;
}

// The CDC deletes the context it holds.
void AfxDeleteWindowDC(CDC* pDC) { delete pDC; }

void AfxPrepareScrollDC(CDC* pDC, int nMapMode, POINT ptViewportOrg, bool bPrinting)
{
    if (!pDC)
        return;
    pDC->SetMapMode(nMapMode);
    if (!bPrinting)
        pDC->SetViewportOrg(ptViewportOrg.x, ptViewportOrg.y);
}
