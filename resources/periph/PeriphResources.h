#pragma once
// The splash picture (BITMAP 168, IDB_SPLASH), the page watermark (BITMAP 171) and the empty window's
// backdrop (BITMAP 160) in the module's resources. The program registers them at its entry, before the
// application starts (a static library's own registration may be left out by the linker); without
// them the splash is empty and the view draws no watermark or backdrop. Registering twice is harmless.
#include "resources/resource.h"

constexpr UINT IDB_BACKDROP = 160;
constexpr UINT IDB_WATERMARK = 171;

void VantrelInitPeriphResources();
