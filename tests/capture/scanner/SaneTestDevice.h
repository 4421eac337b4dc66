#pragma once
// SANE's `test` backend as the only scanner: a configuration folder of the
// test program's own (dll.conf naming `test`, test.conf choosing a colour
// picture and a small default area), set before SANE first starts. Its
// device "test:0" offers an "Automatic Document Feeder" source that runs
// empty after ten pages, and read-return-value makes every read fail with a
// status of our choice.
#include "TestSupport.h"
#include "platform/Profile.h"
#include "platform/Scanner.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace sanetest {

inline const std::string& ConfigDir() {
    static const std::string dir = [] {
        const auto folder = testsupport::tempDir("sane");
        std::ofstream(folder / "dll.conf") << "test\n";
        std::ofstream(folder / "test.conf") << "number_of_devices 12\n"
                                               "test-picture \"Color pattern\"\n"
                                               "resolution 50\n";
        setenv("SANE_CONFIG_DIR", folder.c_str(), 1);
        return folder.string();
    }();
    return dir;
}

// Makes test:N the source. The backend keeps each device's options (and
// its feeder count) for the life of the process, so a test that sets a
// fault uses a device of its own.
inline void UseTestDevice(int n = 0) {
    ConfigDir();
    const std::string name = "test:" + std::to_string(n);
    WritePrivateProfileString("Pictavo Twain", "Source", name.c_str(), "pvtwain.ini");
}

} // namespace sanetest
