#pragma once
// The splash window: a borderless pop-up showing one bitmap in the middle of the screen, owned by an
// invisible window so that it has no task-bar button of its own. The user can drag it but not close
// it; it closes when its owner thread sets allowClose and asks it to.
#include "image/CRasterImage.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CGdiObject.h"
#include "platform/ui/CWnd.h"

#include <functional>
#include <vector>

// One colour of the palette the splash is painted with.
struct SplashPaletteEntry {
    BYTE peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};

class CSplashWnd : public CWnd {
public:
    CSplashWnd();
    ~CSplashWnd() override;

    // The bitmap to show: a file (sets the from-file flag), a resource id or a resource name.
    void SetBitmapFile(const CString& path);
    void SetBitmapResource(UINT nID);
    void SetBitmapResource(LPCSTR lpszName);

    // Loads the bitmap, makes the invisible owner and the visible pop-up of the bitmap's size (empty
    // when the bitmap does not load), builds the palette. Always TRUE.
    BOOL Create();

    // WM_CLOSE is honoured only while this is set.
    BOOL allowClose = FALSE;
    int width = 0;
    int height = 0;

    // The palette: a halftone palette for bitmaps of more than 8 bits per pixel, else the bitmap's
    // colour table (version 0x300, 256 entries). Our devices are true colour, so selecting and realising
    // it change no pixel.
    BOOL IsHalftonePalette() const { return m_bHalftone; }
    const std::vector<SplashPaletteEntry>& GetPaletteEntries() const { return m_palette; }
    WORD GetPaletteVersion() const { return 0x300; }

    // Called once the window has been destroyed (the owning thread ends then).
    std::function<void()> onDestroyed;

    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnPaint() override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnClose() override;
    void OnDestroy() override;

    // Centres the window on the screen (the owner is invisible, so it is no reference).
    void CenterWindow();

protected:
    void CreateWidgets(QWidget* pParent) override;

private:
    // The move-by-caption system command; where the window system cannot move the window itself,
    // the window follows the mouse until the button is released.
    void StartCaptionMove(CPoint point);
    void BuildPalette();

    CString m_strFile;
    UINT m_nResourceID = 0;
    CString m_strResourceName;
    BOOL m_bFromFile = FALSE;

    CRasterImage m_image;  // the decoded bitmap; its colour table feeds the palette
    CBitmap m_bitmap;      // the device-independent section painted from
    std::vector<SplashPaletteEntry> m_palette;
    BOOL m_bHalftone = FALSE;
    CWnd m_owner;
    bool m_bDragging = false;
    CPoint m_dragAnchor;
};
