#pragma once
// The journey's own copies of the program's dialogs and of the preview window, made offscreen in the
// journey's process by the same code, with the same fonts and at the same scale as the program's. They
// tell where each control lies in the program's window and how each text looks when it shows whole.
#include "tests/journey/JourneySupport.h"
#include "tests/support/DialogTextFit.h"

#include <QFont>
#include <QRect>

#include <functional>
#include <string>
#include <vector>

class CDialog;
class CPropertySheet;

namespace journey {

// The offscreen application of the journey's process, made on first use.
void EnsureReferenceApplication();
// The scale of the interface, the program's and the copies' (QT_SCALE_FACTOR; 1 without it).
double InterfaceScale();

// A control's text in its window: its room in the window's logical pixels, from the top-left corner of
// the window's client area.
struct WindowText {
    std::string what;
    dialog_fit::ShownText shown;
    QFont font;
};

// The texts the window shows now: its controls', and those of the pages it shows (hidden and disabled
// controls, and pages not on view, left out).
std::vector<WindowText> TextsOf(QWidget* pWindow);
// A widget's rectangle in its window's logical pixels.
QRect RectIn(QWidget* pWindow, QWidget* pWidget);

// Runs open(), which opens a dialog offscreen as the program opens it, and lets look() read the dialog
// before it closes.
void Reference(const std::function<void()>& open, const std::function<void(CDialog&)>& look);

// Opens the journey's own copy of Maze Setup as the program opens it over a new maze, showing the page,
// and lets look() read it.
void ReferenceMazeSetup(int page, const std::function<void(CPropertySheet&)>& look);
// The tab of the sheet's page, in the sheet's logical pixels.
QRect TabOf(CPropertySheet& sheet, int page);

// A rectangle of the window (logical pixels) on the screen, where the window's client area is client.
Box OnScreen(const Box& client, const QRect& r);

// What the screen leaves out of the text, "" when it shows it whole: the ink of the text in its room
// on the screen against the ink of the same text drawn with nothing cut off.
std::string Cut(const QImage& screen, const Box& client, const WindowText& t);

} // namespace journey
