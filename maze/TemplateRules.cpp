#include "maze/TemplateRules.h"

#include "maze/RingGrid.h"

#include <iterator>

bool HasGridBuilder(int nType)
{
    return nType == BOX_TEMPLATE_TYPE || nType == RING_TEMPLATE_TYPE;
}

CString DescribeTemplateType(int nType)
{
    static const char* const kNames[] = {"Box", "Hex", "Octagon-Box", "Triangular", "Trapezoid-Box", "Quad-Triangle"};
    CString text;
    if (nType >= 0 && nType < int(std::size(kNames)))
        text.Format("the %s template type", kNames[nType]);
    else if (nType == RING_TEMPLATE_TYPE)
        text = "the CIRCULAR template type";
    else
        text.Format("template type %d", nType);
    return text;
}

CString RefuseTemplateType(int nType)
{
    if (HasGridBuilder(nType))
        return CString();
    return "Mazes of " + DescribeTemplateType(nType) +
           " are not available in this version of Quillmont.  Please choose Box, CIRCULAR or Square Tiled.";
}

CString RefuseCellCounts(int nType, BOOL bFitToPage, int nCellsWide, int nCellsLong)
{
    if (nType != BOX_TEMPLATE_TYPE || !bFitToPage || (nCellsWide >= 1 && nCellsLong >= 1))
        return CString();
    return "A maze fitted to the page needs at least 1 cell wide and 1 cell long.  Please enter an integer "
           "between 1 and 100000.";
}
