#pragma once
// Loads the effects module the way the program does (dlopen from the
// program's folder) so tests call the real entry points across the real
// boundary.
#include "platform/Module.h"
#include <gtest/gtest.h>
#include <string>

namespace testsupport {

inline HMODULELIKE effectsModule() {
    static HMODULELIKE module = [] {
        const std::string path = std::string(ProgramFolder()) + "/libq3spec32.so";
        HMODULELIKE m = LoadModule(path.c_str());
        if (!m) ADD_FAILURE() << "cannot load " << path << ": " << ModuleLoadError();
        return m;
    }();
    return module;
}

template <class Fn> Fn effectsProc(const char* name) {
    auto p = reinterpret_cast<Fn>(GetModuleProc(effectsModule(), name));
    if (!p) ADD_FAILURE() << "effects entry point missing: " << name;
    return p;
}

} // namespace testsupport
