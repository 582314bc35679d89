#pragma once
// The program's own definitions of menus, accelerator tables, toolbars and the string table, and the
// one place the window layer looks them up. The resource library fills a ResourceTables and the
// program (or a test) installs it with AfxSetResourceTables before any window is made.
#include "platform/core/WinTypes.h"

// Menu entries form a flat list as a resource script nests them: a popup opens with MENU_POPUP and
// closes with MENU_END; the whole menu ends with MENU_END at depth 0.
enum MenuEntryKind { MENU_ITEM, MENU_SEPARATOR, MENU_POPUP, MENU_END };

struct MenuEntry {
    MenuEntryKind kind;
    const char* text; // item or popup caption; '&' marks the mnemonic, "\t" starts the shortcut text
    UINT id;          // command id of an item
};

struct MenuResource {
    UINT id;
    const MenuEntry* entries;
};

// Accelerator modifiers.
constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;

struct AccelEntry {
    BYTE fVirt;  // FCONTROL | FALT | FSHIFT
    WORD key;    // 'A'..'Z', '0'..'9'
    UINT cmd;
};

struct AccelResource {
    UINT id;
    const AccelEntry* entries;
    int count;
};

struct ToolBarResource {
    UINT id;
    int buttonWidth;
    int buttonHeight;
    const char* imagePath; // a strip of buttonWidth x buttonHeight images, one per button in order
    const UINT* buttons;   // ID_SEPARATOR (0) marks a separator
    int count;
};

struct StringResource {
    UINT id;
    const char* text;
};

struct ResourceTables {
    const MenuResource* menus = nullptr;
    int menuCount = 0;
    const AccelResource* accels = nullptr;
    int accelCount = 0;
    const ToolBarResource* toolbars = nullptr;
    int toolbarCount = 0;
    const StringResource* strings = nullptr;
    int stringCount = 0;
    const char* iconPaths[4] = {}; // resource paths of the main icon at its sizes
};

namespace vantrel_res {
inline const ResourceTables*& Installed()
{
    static const ResourceTables* tables = nullptr;
    return tables;
}
} // namespace vantrel_res

inline void AfxSetResourceTables(const ResourceTables* tables) { vantrel_res::Installed() = tables; }
inline const ResourceTables* AfxGetResourceTables() { return vantrel_res::Installed(); }

inline const MenuResource* AfxFindMenu(UINT id)
{
    const ResourceTables* t = AfxGetResourceTables();
    for (int i = 0; t && i < t->menuCount; ++i)
        if (t->menus[i].id == id)
            return &t->menus[i];
    return nullptr;
}

inline const AccelResource* AfxFindAccelerators(UINT id)
{
    const ResourceTables* t = AfxGetResourceTables();
    for (int i = 0; t && i < t->accelCount; ++i)
        if (t->accels[i].id == id)
            return &t->accels[i];
    return nullptr;
}

inline const ToolBarResource* AfxFindToolBar(UINT id)
{
    const ResourceTables* t = AfxGetResourceTables();
    for (int i = 0; t && i < t->toolbarCount; ++i)
        if (t->toolbars[i].id == id)
            return &t->toolbars[i];
    return nullptr;
}

// The string resource's text, or null when there is none.
inline const char* AfxFindString(UINT id)
{
    const ResourceTables* t = AfxGetResourceTables();
    for (int i = 0; t && i < t->stringCount; ++i)
        if (t->strings[i].id == id)
            return t->strings[i].text;
    return nullptr;
}
