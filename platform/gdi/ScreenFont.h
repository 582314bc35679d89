#pragma once
// The Qt font that a window DC of the 96-dpi screen draws a logical font with (heights and width in
// pixels, faces mapped to the installed ones), for controls that must show text as the DCs draw it.
#include <QFont>

#include "platform/core/WinFont.h"

QFont AfxScreenFont(const LOGFONTA& lf);
