#include "platform/Module.h"
#include "platform/Profile.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <string>

namespace {
thread_local std::string lastLoadError;
}

HMODULELIKE LoadModule(const char* path) {
    if (!path || !*path) return 0;
    void* h = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* e = dlerror();
        lastLoadError = e ? e : "unknown error";
        return 0;
    }
    lastLoadError.clear();
    return reinterpret_cast<HMODULELIKE>(h);
}

void* GetModuleProc(HMODULELIKE module, const char* name) {
    if (!module || !name) return nullptr;
    return dlsym(reinterpret_cast<void*>(module), name);
}

int32_t FreeModule(HMODULELIKE module) {
    if (!module) return 0;
    return dlclose(reinterpret_cast<void*>(module)) == 0 ? 1 : 0;
}

const char* ModuleLoadError() {
    return lastLoadError.c_str();
}

int32_t LoadModuleString(HMODULELIKE module, uint32_t id, char* buffer, int32_t size) {
    if (!buffer || size < 1) return 0;
    buffer[0] = '\0';
    auto proc = reinterpret_cast<PVLoadStringProc>(GetModuleProc(module, "PVLoadString"));
    if (!proc) return 0;
    const int32_t n = proc(id, buffer, size);
    buffer[size - 1] = '\0';
    return std::clamp(n, 0, size - 1);
}

int32_t PlatformLibraryName(const char* windowsName, char* buffer, int32_t size) {
    if (!windowsName || !buffer) return 0;
    std::string base = windowsName;
    if (auto slash = base.find_last_of("/\\"); slash != std::string::npos) base.erase(0, slash + 1);
    std::transform(base.begin(), base.end(), base.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (base.size() > 4 && base.compare(base.size() - 4, 4, ".dll") == 0)
        base.resize(base.size() - 4);
    const std::string name = "lib" + base + ".so";
    if (int32_t(name.size()) + 1 > size) return 0;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return int32_t(name.size());
}

const char* ProgramFolder() {
    static const std::string folder = [] {
        std::error_code ec;
        auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        return ec ? std::string(".") : exe.parent_path().string();
    }();
    return folder.c_str();
}

const char* SystemFolder() {
    thread_local std::string folder;
    const char* env = std::getenv("ZENTROPE_SYSTEM_DIR");
    folder = env && *env ? env : "/usr/lib/zentrope";
    return folder.c_str();
}

const char* WindowsFolder() {
    return SettingsFolder();
}
