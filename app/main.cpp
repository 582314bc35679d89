#include "app/CVantrelApp.h"
#include "platform/core/ResourceTables.h"
#include "resources/VantrelResources.h"
#include "resources/periph/PeriphResources.h"

// The one application object.
CVantrelApp theApp;

int main(int argc, char** argv)
{
    AfxSetResourceTables(&GetVantrelResources());
    VantrelInitPeriphResources();
    return AfxWinMain(argc, argv);
}
