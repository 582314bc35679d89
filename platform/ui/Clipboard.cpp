#include "platform/ui/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include <cstring>
#include <new>
#include <set>

namespace {
// Every block handed out, so that a stale or foreign handle is refused instead of followed.
struct Block {
    std::size_t size;
};

std::set<void*>& Blocks()
{
    static std::set<void*> blocks;
    return blocks;
}

bool g_bOpen = false;

Block* BlockOf(HGLOBAL h) { return h && Blocks().count(h) ? static_cast<Block*>(h) : nullptr; }
} // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t dwBytes)
{
    if (dwBytes == 0 || dwBytes > (std::size_t(1) << 30))
        return nullptr;
    void* p = ::operator new(sizeof(Block) + dwBytes, std::nothrow);
    if (!p)
        return nullptr;
    auto* block = new (p) Block{dwBytes};
    std::memset(block + 1, 0, dwBytes);
    Blocks().insert(block);
    return block;
}

LPVOID GlobalLock(HGLOBAL hMem)
{
    Block* block = BlockOf(hMem);
    return block ? static_cast<void*>(block + 1) : nullptr;
}

BOOL GlobalUnlock(HGLOBAL hMem) { return BlockOf(hMem) ? TRUE : FALSE; }

HGLOBAL GlobalFree(HGLOBAL hMem)
{
    Block* block = BlockOf(hMem);
    if (!block)
        return hMem;
    Blocks().erase(block);
    block->~Block();
    ::operator delete(block);
    return nullptr;
}

std::size_t GlobalSize(HGLOBAL hMem)
{
    Block* block = BlockOf(hMem);
    return block ? block->size : 0;
}

BOOL OpenClipboard(CWnd*)
{
    if (g_bOpen)
        return FALSE;
    g_bOpen = true;
    return TRUE;
}

BOOL CloseClipboard()
{
    if (!g_bOpen)
        return FALSE;
    g_bOpen = false;
    return TRUE;
}

BOOL IsClipboardOpen() { return g_bOpen ? TRUE : FALSE; }

BOOL EmptyClipboard()
{
    if (!g_bOpen)
        return FALSE;
    if (QClipboard* pClipboard = QGuiApplication::clipboard())
        pClipboard->clear();
    return TRUE;
}

HGLOBAL SetClipboardData(UINT uFormat, HGLOBAL hMem)
{
    Block* block = BlockOf(hMem);
    if (!g_bOpen || uFormat != CF_TEXT || !block)
        return nullptr;
    const char* text = static_cast<const char*>(GlobalLock(hMem));
    const std::size_t length = strnlen(text, block->size);
    QClipboard* pClipboard = QGuiApplication::clipboard();
    if (pClipboard)
        pClipboard->setText(QString::fromLatin1(text, qsizetype(length)));
    GlobalFree(hMem);
    return pClipboard ? hMem : nullptr;
}
