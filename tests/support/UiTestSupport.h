#pragma once
// A Qt application for window tests (offscreen), made once per test program.
#include <QApplication>

inline QApplication* EnsureTestApplication()
{
    static int argc = 1;
    static char name[] = "vantrel_ui_test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return app;
}
