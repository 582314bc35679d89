#pragma once
// The Style page's example bitmaps (BITMAP 154 to 165) in the module's resources. Registered on first
// call; call before looking them up, since a static library's own registration may be left out by the
// linker.
void VantrelInitStyleExampleResources();
