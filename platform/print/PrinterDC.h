#pragma once
// A device context over a printer (a real one or PDF output): its document calls StartDoc, StartPage,
// EndPage and EndDoc go to the printer, and its capabilities are the printer's page and resolution.
#include "platform/gdi/WinGdi.h"

class QPrinter;

// The printer must outlive the context. Null when the printer is not usable.
HDC CreatePrinterDC(QPrinter* printer);
