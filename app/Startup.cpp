#include "app/Startup.h"

#include "app/SharedForms.h"
#include "app/TMainForm.h"
#include "app/TSPLForm.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

QString& CommandLineFile() {
    static QString file;
    return file;
}

TProgramStart::TProgramStart() = default;
TProgramStart::~TProgramStart() = default;
TProgramStart::TProgramStart(TProgramStart&&) noexcept = default;

TProgramStart StartProgram(const QStringList& args) {
    TProgramStart start;
    CommandLineFile() = args.isEmpty() ? QString() : args.first();
    start.Steps << "command line";

    start.Splash = new TSPLForm; // no owner: it frees itself when closed
    if (!CommandLineFile().isEmpty()) start.Splash->Timer1->setInterval(TSPLForm::FileInterval);
    start.Splash->show();
    start.Steps << "splash";

    QApplication::setApplicationDisplayName("Quillon's Zentrope");
    // Every window without an icon of its own (and its caption bar) shows this.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/bitmaps/ZENTROPE.bmp")));
    start.Steps << "title";

    // The main window comes first, so it is the one whose closing ends the loop.
    start.MainForm = std::make_unique<TMainForm>();
    start.Steps << "TMainForm";
    CreateSharedForms(); // TYesNo, then TStatusForm
    start.Steps << "TYesNo"
                << "TStatusForm";
    // The apply-to-selected-frames dialog (TApplyToAllForm) belongs here,
    // after the status window; it arrives with the editor.
    start.MainForm->show();
    return start;
}

namespace {

// Saves a picture of the main window after a delay and ends the program:
// on a virtual screen nobody is there to close it. The path is resolved
// before the program starts, as opening a command-line file changes the
// current folder.
struct TScreenshot {
    QByteArray Shown; // as given, for the message
    QString File;     // absolute
    int Delay = 5000; // milliseconds
};

TScreenshot ScreenshotRequest() {
    TScreenshot shot;
    shot.Shown = qgetenv("ZENTROPE_SCREENSHOT");
    if (shot.Shown.isEmpty()) return shot;
    shot.File = QFileInfo(QString::fromLocal8Bit(shot.Shown)).absoluteFilePath();
    bool ok = false;
    const int delay = qEnvironmentVariableIntValue("ZENTROPE_SCREENSHOT_DELAY", &ok);
    if (ok && delay >= 0) shot.Delay = delay;
    return shot;
}

void ScheduleScreenshot(TMainForm* window, const TScreenshot& shot) {
    if (shot.File.isEmpty()) return;
    QTimer::singleShot(shot.Delay, window, [window, shot] {
        if (window->grab().save(shot.File))
            std::printf("screenshot: %s\n", shot.Shown.constData());
        else
            std::fprintf(stderr, "could not save the screenshot to %s\n", shot.Shown.constData());
        std::fflush(stdout);
        QApplication::quit();
    });
}

} // namespace

int RunProgram(QApplication& app, const QStringList& args) {
    const TScreenshot shot = ScreenshotRequest();
    TProgramStart start = StartProgram(args);
    // Closing the main window ends the program even while other windows
    // (help, a status window) are still open.
    QObject::connect(start.MainForm.get(), &TMainForm::FormClosed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    ScheduleScreenshot(start.MainForm.get(), shot);
    const int result = app.exec();
    DestroySharedForms();
    return result;
}
