#pragma once
// The program's menus, accelerators, toolbars, string table and icon, ready to install with
// AfxSetResourceTables.
#include "platform/core/ResourceTables.h"

const ResourceTables& GetVantrelResources();

