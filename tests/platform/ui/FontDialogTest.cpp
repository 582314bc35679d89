// The font dialog seam without a handler: the Qt dialogs, accepted as they open, give back the initial
// font and colour in the platform's records.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <cstring>

#include "platform/core/MessageBox.h"
#include "platform/ui/FontDialog.h"
#include "tests/support/UiTestSupport.h"

namespace {

// Accepts every modal dialog that opens while it lives, and counts them.
class Acceptor {
public:
    Acceptor()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ++accepted;
                m_bReject ? pDialog->reject() : pDialog->accept();
            }
        });
        m_timer.start(20);
    }
    void RejectAll() { m_bReject = true; }
    int accepted = 0;

private:
    QTimer m_timer;
    bool m_bReject = false;
};

TEST(FontDialogSeam, TheQtDialogsAnswerInTheFontRecords)
{
    EnsureTestApplication();
    LOGFONTA initial;
    std::strcpy(initial.lfFaceName, "DejaVu Sans");
    initial.lfHeight = -16;  // 12 points on the 96-dpi screen
    initial.lfItalic = 1;
    CFontDialog dialog(&initial, CF_PRINTERFONTS | CF_EFFECTS);
    dialog.m_cf.rgbColors = RGB(10, 120, 230);
    EXPECT_EQ(dialog.m_cf.Flags, CF_PRINTERFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT);

    Acceptor acceptor;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(acceptor.accepted, 2);  // the font, then the colour
    EXPECT_EQ(dialog.GetSize(), 120);
    EXPECT_EQ(dialog.m_lf.lfHeight, -16);
    EXPECT_STREQ(dialog.m_lf.lfFaceName, "DejaVu Sans");
    EXPECT_EQ(dialog.m_lf.lfItalic, 1);
    EXPECT_EQ(dialog.GetColor(), RGB(10, 120, 230));

    acceptor.RejectAll();
    CFontDialog cancelled(&initial);
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
}

} // namespace
