#include "resources/periph/PeriphResources.h"

#include <QtCore/qglobal.h>

#include <mutex>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterPeriphResources()
{
    Q_INIT_RESOURCE(periph);
}

void VantrelInitPeriphResources()
{
    static std::once_flag once;
    std::call_once(once, RegisterPeriphResources);
}
