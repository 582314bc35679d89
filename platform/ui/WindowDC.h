#pragma once
// The window layer's seam to the device-context layer: a DC over a window's backing image that reports
// every drawing call's changed rectangle, so the window can show it at once.
#include "platform/core/CRect.h"

#include <functional>

class CDC;
class QImage;

// Null when the image cannot carry a DC.
CDC* AfxNewWindowDC(QImage* pImage, std::function<void(const RECT&)> onFlush);
void AfxDeleteWindowDC(CDC* pDC);

// Puts a scroll view's mapping mode and scroll origin (the viewport origin, in device pixels) on a DC.
// A printing DC keeps its origin.
void AfxPrepareScrollDC(CDC* pDC, int nMapMode, POINT ptViewportOrg, bool bPrinting);
