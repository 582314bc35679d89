#pragma once
// Resolves a tile-set reference string into a loaded tile set. The view calls it when the document asks
// for its tile set to be reloaded; the settings sheet's Style page resolves the same references.
#include "platform/core/CString.h"

class CBMPTiler;

// The built-in tile set's resources: the definition and its sheet.
constexpr unsigned BUILTIN_TILE_DEFINITION = 192;
constexpr unsigned BUILTIN_TILE_SHEET = 180;

// Loads the set that reference names into tiler:
// - empty, or ":ID:#180": the built-in set;
// - ":ID:#n" for another n: a message that the set is missing, then the built-in set;
// - otherwise a definition file: the path as given when it names a file, else the file of that name in
//   the "Tiler" folder of installPath; its sheet is looked up beside it. A reference that names no file
//   leaves tiler as it was.
// Returns whether a set was loaded.
bool LoadTilerReference(CBMPTiler& tiler, const CString& reference, const CString& installPath);
