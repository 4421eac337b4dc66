#pragma once
// The one QApplication of a widget test program (offscreen platform, set by
// TestSupport.cpp before any test runs). Call it at the start of each test
// that makes widgets, timers or posted events.
#include <QApplication>

namespace testsupport {

inline QApplication& widgetApp() {
    static int argc = 1;
    static char name[] = "zentrope-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv); // lives until exit
    return *app;
}

} // namespace testsupport
