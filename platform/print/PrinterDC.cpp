// Printer contexts: a paged-device context over a QPrinter.
#include "platform/print/PrinterDC.h"

#include <QPrinter>

HDC CreatePrinterDC(QPrinter* printer)
{
    if (!printer || !printer->isValid())
        return nullptr;
    return CreatePagedDeviceDC(printer);
}
