#pragma once
// The keyboard's lock states, for the status bar's indicators. The default asks the X server; where
// there is none (offscreen) every lock reads as off. Tests install their own query.
#include "platform/core/WinTypes.h"

#include <functional>

constexpr UINT LOCK_CAPS = 0x1;
constexpr UINT LOCK_NUM = 0x2;
constexpr UINT LOCK_SCROLL = 0x4;

using KeyboardLockQuery = std::function<UINT()>;
// Installs the query (an empty one restores the default) and returns the one it replaces.
KeyboardLockQuery SetKeyboardLockQuery(KeyboardLockQuery query);
// LOCK_* bits of the locks that are on.
UINT AfxGetKeyboardLocks();
