// Zentrope: views, assembles and edits animated GIFs.
#include "app/Startup.h"
#include "bindings/CodecBinding.h"
#include "capture/TScanDeviceDialog.h"
#include "imaging/common/MessageBox.h"
#include "platform/MediaExtensions.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    InstallMessageBoxHandler();
    // The scanner's source chooser and device window are ours.
    InstallScannerDialogs();
    // Records the program's name for the scanner settings; the libraries
    // load on first use.
    DLL96V1::Startup(argv[0]);
    // The video types the media player opens, on first run.
    zp::SeedMediaExtensions();
    QStringList args = QApplication::arguments();
    args.removeFirst();
    return RunProgram(app, args);
}
