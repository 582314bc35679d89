#include "app/CAdWindowPlaceholder.h"

IMPLEMENT_DYNCREATE(CAdWindowPlaceholder, CWndView)

void CAdWindowPlaceholder::OnDraw(CDC*) {}
