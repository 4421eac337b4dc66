#pragma once
// Where the bindings look for a run-time library, in this order: the
// program's folder; the bare name (the system's own search); the folder list
// program folder, system folder, Windows folder; and there the found path
// without its extension.
#include <cstdint>
#include <string>

namespace bindings {

// The loaded module for a Windows library name ("Q3SPEC32.DLL"), 0 when
// no place has it.
uintptr_t LoadLibraryBySearch(const std::string& windowsName);

} // namespace bindings
