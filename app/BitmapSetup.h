#pragma once
// The Bitmap Setup dialog (161): the size of a rendered bitmap (or the screen's resolution) and how
// many mazes to render. Nothing in the program opens it yet; it is ready for a render command.
#include "platform/ui/CDialog.h"

constexpr UINT IDC_SCREEN_RESOLUTION = 1037;
constexpr UINT IDC_BITMAP_X = 1038;
constexpr UINT IDC_BITMAP_Y = 1039;
constexpr UINT IDC_MAZES_TO_RENDER = 1081;

class BitmapSetup : public CDialog {
public:
    explicit BitmapSetup(CWnd* pParent = nullptr);

    BOOL m_bScreenResolution = FALSE;  // "Set to Screen Resolution"
    int m_nX = 0;                      // bitmap width
    int m_nY = 0;                      // bitmap height
    int m_nMazes = 0;                  // number of mazes to render, 1 to 999 when accepted

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
