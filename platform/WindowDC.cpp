#include "platform/WindowDC.h"

CDC* AfxNewWindowDC(QImage*, std::function<void(const RECT&)>) { return nullptr; }

void AfxDeleteWindowDC(CDC*) {}

void AfxPrepareScrollDC(CDC*, int, POINT, bool) {}
