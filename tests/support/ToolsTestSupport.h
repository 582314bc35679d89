#pragma once
// A main window for the tool and printing tests: the program's menu, an edit toolbar loaded from its
// resource and a maze view of the given class over a document with a grid of square cells.
#include <QApplication>

#include <memory>

#include "maze/CVantrelDoc.h"
#include "maze/Object.h"
#include "platform/core/ResourceTables.h"
#include "platform/ui/CFrameWnd.h"
#include "platform/ui/CToolBar.h"
#include "platform/ui/CWinApp.h"
#include "resources/VantrelResources.h"
#include "resources/resource.h"
#include "tests/support/UiTestSupport.h"
#include "view/CVantrelView.h"

namespace tooltest {

inline QApplication* EnsureApplication() { return EnsureTestApplication(); }

class MazeWindow {
public:
    // A grid of nCols x nRows cells of nCell thousandths, not fitted to the page; no grid when nCols is 0.
    MazeWindow(CRuntimeClass* pViewClass, int nCols, int nRows, int nCell)
    {
        EnsureApplication();
        AfxSetResourceTables(&GetVantrelResources());
        doc.m_bFitToPage = 0;
        doc.m_nScale = nCell;
        doc.m_nCellsX = nCols;
        doc.m_nCellsY = nRows;
        doc.m_nSeed = 12345;
        if (nCols > 0)
            doc.CreateGrid();
        CCreateContext context;
        context.m_pNewViewClass = pViewClass;
        context.m_pCurrentDoc = &doc;
        frame.LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW, nullptr, &context);
        edit.Create(&frame);
        edit.LoadToolBar(IDR_EDIT_TOOLBAR);
        frame.DockControlBar(&edit, AFX_IDW_DOCKBAR_LEFT);
        frame.MoveWindow(0, 0, 1000, 800);
        frame.InitialUpdateFrame(&doc, TRUE);
        view = dynamic_cast<CVantrelView*>(frame.GetActiveView());
        QApplication::processEvents();
    }
    ~MazeWindow() { AfxSetResourceTables(nullptr); }

    Object& grid() { return *doc.GetGrid(0); }
    int flags(int x, int y) { return grid().GetCell(x, y).flags; }
    int passages(int x, int y) { return grid().GetCell(x, y).passages; }

    // The client point at the centre of cell (x, y).
    CPoint CellPoint(int x, int y)
    {
        CClientDC dc(view);
        view->OnPrepareDC(dc);
        const int w = doc.GetCellWidth();
        const int h = doc.GetCellHeight();  // negative: rows run downwards
        POINT p{x * w + w / 2, y * h + h / 2};
        static_cast<CDC*>(dc)->LPtoDP(&p, 1);
        return CPoint(p);
    }
    void LeftClick(int x, int y)
    {
        const CPoint p = CellPoint(x, y);
        view->OnLButtonDown(MK_LBUTTON, p);
        view->OnLButtonUp(0, p);
    }
    void RightClick(int x, int y)
    {
        const CPoint p = CellPoint(x, y);
        view->OnRButtonDown(MK_RBUTTON, p);
        view->OnRButtonUp(0, p);
    }

    CVantrelDoc doc;
    CFrameWnd frame;
    CToolBar edit;
    CVantrelView* view = nullptr;
};

}  // namespace tooltest
