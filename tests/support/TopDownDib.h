#pragma once
// The header of a device-independent bitmap that reads a device's pixels back in a picture's order.
#include "platform/gdi/WinGdi.h"

// The header of a top-down 32-bit DIB of w x h pixels, rows in the order of a picture's.
inline BITMAPINFO TopDown32(int w, int h)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
