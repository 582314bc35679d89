#pragma once
// The clipboard's text over QClipboard, with the global-memory blocks the clipboard takes. The clipboard
// is opened by one owner at a time: OpenClipboard fails while it is open, and SetClipboardData and
// EmptyClipboard act only while it is open. SetClipboardData takes ownership of the block.
#include <cstddef>

#include "platform/core/WinTypes.h"

using HGLOBAL = void*;
class CWnd;

constexpr UINT CF_TEXT = 1;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_DDESHARE = 0x2000;

// Zero-filled blocks; null when nBytes is 0 or cannot be had.
HGLOBAL GlobalAlloc(UINT uFlags, std::size_t dwBytes);
LPVOID GlobalLock(HGLOBAL hMem);
BOOL GlobalUnlock(HGLOBAL hMem);
HGLOBAL GlobalFree(HGLOBAL hMem);
std::size_t GlobalSize(HGLOBAL hMem);

BOOL OpenClipboard(CWnd* pNewOwner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// CF_TEXT: the block's text up to its first zero becomes the clipboard's text (8-bit characters).
HGLOBAL SetClipboardData(UINT uFormat, HGLOBAL hMem);
BOOL IsClipboardOpen();
