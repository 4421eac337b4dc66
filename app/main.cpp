// Zentrope. Until the main window lands, the program shows a demo window:
// the GIFs named on the command line (or found in the samples folder)
// playing, and the other pictures in the still-image component.
#include "app/DemoWindow.h"
#include "bindings/CodecBinding.h"
#include "imaging/common/MessageBox.h"
#include "platform/Module.h"

#include <QApplication>
#include <algorithm>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("Quillon's Zentrope");
    InstallMessageBoxHandler();
    DLL96V1::Startup(argv[0]);
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i)
        files.emplace_back(argv[i]);
    if (files.empty()) {
        const fs::path samples = fs::path(ProgramFolder()) / ".." / "samples";
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(samples, ec))
            files.push_back(entry.path());
        std::sort(files.begin(), files.end());
    }
    std::vector<std::string> animations, stills;
    for (const fs::path& file : files) {
        std::string ext = file.extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        (ext == ".gif" ? animations : stills).push_back(file.string());
    }
    stills.push_back("SPLASH.RES"); // the program's own bitmap resource
    DemoWindow window(animations, stills);
    window.resize(900, 560);
    window.show();
    return app.exec();
}
