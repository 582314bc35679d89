#pragma once
// Built-in resources of the module, kept in the Qt resource system under ":/res/<TYPE>/<id>":
// <TYPE> is the type's name ("TILE", "IMG", "BITMAP" for RT_BITMAP ...) and <id> the decimal
// resource number or the resource's name. Resource data lives as long as the process.
#include "platform/core/WinTypes.h"

#include <cstdint>

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
struct HRSRC__;
using HRSRC = HRSRC__*;
using HGLOBAL = void*;

// An integer resource id or type passed where a name is expected.
inline LPCSTR MAKEINTRESOURCE(unsigned id) { return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(WORD(id))); }
inline bool IS_INTRESOURCE(LPCSTR p) { return (reinterpret_cast<std::uintptr_t>(p) >> 16) == 0; }

// Standard resource types the program uses.
inline LPCSTR const RT_CURSOR = MAKEINTRESOURCE(1);
inline LPCSTR const RT_BITMAP = MAKEINTRESOURCE(2);
inline LPCSTR const RT_ICON = MAKEINTRESOURCE(3);
inline LPCSTR const RT_RCDATA = MAKEINTRESOURCE(10);

// The resource path a (type, name) pair maps to, e.g. ":/res/TILE/129"; empty for a null name or type.
const char* ResourcePath(LPCSTR name, LPCSTR type, char* buffer, unsigned size);

// Null when no such resource exists. The module argument is accepted and ignored (one module).
HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
BOOL FreeResource(HGLOBAL data);
