#include "bindings/LibrarySearch.h"

#include "platform/Module.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace bindings {

uintptr_t LoadLibraryBySearch(const std::string& fileName) {
    char platformName[256];
    if (!PlatformLibraryName(fileName.c_str(), platformName, sizeof platformName)) return 0;
    // 1. The program's folder.
    if (uintptr_t h = LoadModule((fs::path(ProgramFolder()) / platformName).c_str())) return h;
    // 2. The bare name: the system's own search.
    if (uintptr_t h = LoadModule(platformName)) return h;
    // 3. The folder list: program folder, system folder, Windows folder.
    for (const char* folder : {ProgramFolder(), SystemFolder(), WindowsFolder()}) {
        const fs::path found = fs::path(folder) / platformName;
        std::error_code ec;
        if (!fs::is_regular_file(found, ec)) continue;
        if (uintptr_t h = LoadModule(found.c_str())) return h;
        // 4. That path without its extension.
        fs::path bare = found;
        bare.replace_extension();
        if (uintptr_t h = LoadModule(bare.c_str())) return h;
    }
    return 0;
}

} // namespace bindings
