#pragma once
// The string tables the modules answer PVLoadString from: entries keyed by
// their error code, looked up by the code taken as unsigned 16-bit (the
// number the bindings pass), and copied into the caller's buffer.
#include <cstddef>
#include <cstdint>

namespace ic {

// The entry whose code matches id, or nullptr. Works on any table whose
// entries have an integer `code`.
template <class Entry, size_t N> const Entry* findString(const Entry (&table)[N], uint32_t id) {
    for (const Entry& e : table)
        if (uint32_t(uint16_t(e.code)) == id) return &e;
    return nullptr;
}

// Copies text followed by suffix into buffer, cut to size - 1 and
// zero-terminated; answers the length copied (0 for no buffer).
int32_t copyString(char* buffer, int32_t size, const char* text, const char* suffix = "");

} // namespace ic
