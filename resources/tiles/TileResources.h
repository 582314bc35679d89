#pragma once
// The built-in tile set (TILE 192, IMG 180) and the missing-tile bitmap (BITMAP 176) in the module's
// resources. Registered on first call; call before looking them up, since a static library's own
// registration may be left out by the linker.
void VantrelInitTileResources();
