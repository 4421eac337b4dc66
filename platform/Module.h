#pragma once
// Run-time loaded libraries (dlopen here, LoadLibrary on Windows) and the
// folders the bindings search.
#include "platform/PlatformExport.h"
#include <cstdint>

using HMODULELIKE = uintptr_t; // 0 = not loaded

// Loads a library by path or bare name; 0 on failure (ModuleLoadError says why).
ZP_API HMODULELIKE LoadModule(const char* path);
ZP_API void* GetModuleProc(HMODULELIKE module, const char* name);
ZP_API int32_t FreeModule(HMODULELIKE module);
// Text of the last failed LoadModule on this thread ("" when none).
ZP_API const char* ModuleLoadError();
// A module's string table entry, read through the module's exported
// "PVLoadString"; answers the length copied (0 when there is none).
ZP_API int32_t LoadModuleString(HMODULELIKE module, uint32_t id, char* buffer, int32_t size);

// "PVCX96V3.DLL" -> "libpvcx96v3.so": the platform's form of a library name.
// Answers the length written, 0 when the buffer is too small.
ZP_API int32_t PlatformLibraryName(const char* windowsName, char* buffer, int32_t size);
// The folder of the running program, with no trailing separator.
ZP_API const char* ProgramFolder();
// The system folder: $ZENTROPE_SYSTEM_DIR, else /usr/lib/zentrope.
ZP_API const char* SystemFolder();
// The "Windows folder", where profile files live: the settings folder.
ZP_API const char* WindowsFolder();

// The entry point every module exports for its string table.
using PVLoadStringProc = int32_t (*)(uint32_t id, char* buffer, int32_t size);
