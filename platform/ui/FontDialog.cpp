#include "platform/ui/FontDialog.h"

#include "platform/gdi/CDC.h"
#include "platform/core/MessageBox.h"
#include "platform/gdi/WinGdi.h"
#include "platform/ui/QtText.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr int kScreenDpi = 96;

FontDialogHandler& Handler()
{
    static FontDialogHandler handler;
    return handler;
}

BOOL ShowQtFontDialog(CHOOSEFONTA& cf, LOGFONTA& lf)
{
    if (!QApplication::instance())
        return FALSE;
    QFont initial;
    if (cf.Flags & CF_INITTOLOGFONTSTRUCT) {
        initial = QFont(QStr(lf.lfFaceName));
        if (lf.lfHeight < 0)
            initial.setPointSizeF(-lf.lfHeight * 72.0 / kScreenDpi);
        else if (cf.iPointSize > 0)
            initial.setPointSizeF(cf.iPointSize / 10.0);
        initial.setBold(lf.lfWeight >= FW_SEMIBOLD);
        initial.setItalic(lf.lfItalic != 0);
        initial.setUnderline(lf.lfUnderline != 0);
        initial.setStrikeOut(lf.lfStrikeOut != 0);
    }
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, QApplication::activeWindow());
    if (!ok)
        return FALSE;
    if (cf.Flags & CF_EFFECTS) {
        const COLORREF c = cf.rgbColors;
        const QColor colour = QColorDialog::getColor(QColor(GetRValue(c), GetGValue(c), GetBValue(c)),
                                                     QApplication::activeWindow());
        if (colour.isValid())
            cf.rgbColors = RGB(colour.red(), colour.green(), colour.blue());
    }
    LOGFONTA chosen;
    const QByteArray face = font.family().toLatin1();
    std::strncpy(chosen.lfFaceName, face.constData(), LF_FACESIZE - 1);
    cf.iPointSize = int(std::lround(font.pointSizeF() * 10.0));
    chosen.lfHeight = -MulDiv(cf.iPointSize, kScreenDpi, 720);
    chosen.lfWeight = font.bold() ? FW_BOLD : FW_NORMAL;
    chosen.lfItalic = font.italic() ? 1 : 0;
    chosen.lfUnderline = font.underline() ? 1 : 0;
    chosen.lfStrikeOut = font.strikeOut() ? 1 : 0;
    lf = chosen;
    return TRUE;
}

} // namespace

FontDialogHandler SetFontDialogHandler(FontDialogHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}

BOOL ChooseFont(CHOOSEFONTA* pcf, LOGFONTA* plf)
{
    if (!pcf || !plf)
        return FALSE;
    if (const FontDialogHandler& handler = Handler())
        return handler(*pcf, *plf);
    return ShowQtFontDialog(*pcf, *plf);
}

CFontDialog::CFontDialog(const LOGFONTA* lplfInitial, DWORD dwFlags, CDC*, CWnd*)
{
    m_cf.Flags = dwFlags;
    if (lplfInitial) {
        m_lf = *lplfInitial;
        m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
    }
}

int CFontDialog::DoModal() { return ChooseFont(&m_cf, &m_lf) ? IDOK : IDCANCEL; }
