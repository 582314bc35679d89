#include "maze/setup/StyleExamples.h"

#include <QtCore/qglobal.h>

#include <mutex>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterStyleExampleResources()
{
    Q_INIT_RESOURCE(style_examples);
}

void VantrelInitStyleExampleResources()
{
    static std::once_flag once;
    std::call_once(once, RegisterStyleExampleResources);
}
