#pragma once
// The one QApplication of the benchmark program, offscreen, made on first use.
#include <QApplication>

inline QApplication& benchApp() {
    static int argc = 1;
    static char name[] = "zentrope-bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
            return existing;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv); // lives until exit
    }();
    return *app;
}
