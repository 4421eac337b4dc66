#pragma once
// Program entry: the splash window, the application's title, the forms in
// their order and the message loop. The steps before the loop are a
// function of their own so that tests see the order and the splash set-up
// without running a loop or waiting.
#include <QString>
#include <QStringList>
#include <memory>

class QApplication;
class TMainForm;
class TSPLForm;

// The file named first on the command line ("" if none). The main window
// opens it once when it is created and then clears it.
QString& CommandLineFile();

// What StartProgram made, in the order it made it.
struct TProgramStart {
    TSPLForm* Splash = nullptr; // frees itself when it closes
    std::unique_ptr<TMainForm> MainForm;
    QStringList Steps; // one word per step, for tests and tracing
    TProgramStart();
    ~TProgramStart();
    TProgramStart(TProgramStart&&) noexcept;
};

// The steps up to the message loop. `args` are the program's arguments
// without the program name.
TProgramStart StartProgram(const QStringList& args);

// StartProgram, then the message loop until the main window closes. With
// ZENTROPE_SCREENSHOT=path in the environment the main window's picture is
// saved there after ZENTROPE_SCREENSHOT_DELAY milliseconds (5000 if unset)
// and the program ends.
int RunProgram(QApplication& app, const QStringList& args);
