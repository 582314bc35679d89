#include "app/CVantrelApp.h"
#include "platform/ResourceTables.h"
#include "resources/VantrelResources.h"

// The one application object.
CVantrelApp theApp;

int main(int argc, char** argv)
{
    AfxSetResourceTables(&GetVantrelResources());
    return AfxWinMain(argc, argv);
}
