#pragma once
// The font dialog goes through one replaceable seam, as message boxes and file dialogs do: ChooseFont
// shows QFontDialog (and, with CF_EFFECTS, a colour choice) unless a handler is installed; tests
// install one that answers. The dialog works on a 96-dpi screen: lfHeight is the character height in
// pixels (negative), iPointSize the size in tenths of a point.
#include <functional>

#include "platform/core/WinFont.h"
#include "platform/core/WinTypes.h"

class CDC;
class CWnd;

// The request and the answer: on entry the settings block and the initial font (used when the block's
// Flags hold CF_INITTOLOGFONTSTRUCT) and the initial colour; on OK both hold the choice.
using FontDialogHandler = std::function<BOOL(CHOOSEFONTA& cf, LOGFONTA& lf)>;

// Installs the handler (an empty one restores the Qt dialog) and returns the one it replaces.
FontDialogHandler SetFontDialogHandler(FontDialogHandler handler);

// TRUE when the user chose a font; the block's stored font pointer slot is not used, lf is the font.
BOOL ChooseFont(CHOOSEFONTA* pcf, LOGFONTA* plf);

class CFontDialog {
public:
    // With an initial font the dialog starts from it (CF_INITTOLOGFONTSTRUCT is added). The printer
    // DC and the parent are accepted; the dialog measures on the 96-dpi screen.
    explicit CFontDialog(const LOGFONTA* lplfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                         CDC* pdcPrinter = nullptr, CWnd* pParentWnd = nullptr);
    virtual ~CFontDialog() = default;

    // IDOK with m_cf and m_lf holding the choice, or IDCANCEL.
    virtual int DoModal();

    int GetSize() const { return m_cf.iPointSize; }
    COLORREF GetColor() const { return m_cf.rgbColors; }
    void GetCurrentFont(LOGFONTA* lplf) const { *lplf = m_lf; }

    CHOOSEFONTA m_cf;
    LOGFONTA m_lf;
};
