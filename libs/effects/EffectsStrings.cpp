// The effects library's string table and initialisation entry point.
#include "libs/effects/PvEffects.h"

#include <algorithm>
#include <cstring>

namespace {
struct Entry {
    uint32_t id;
    const char* text;
};
constexpr Entry kTable[] = {
    {1, "The picture handed to the effects library is missing or damaged."},
    {2, "The area lies outside the picture."},
    {3, "There is not enough memory for the effect."},
    {4, "The effect was cancelled."},
};
} // namespace

PVEFFECTS_API int32_t PVLoadString(uint32_t id, char* buffer, int32_t size) {
    if (!buffer || size < 1) return 0;
    buffer[0] = '\0';
    for (const Entry& e : kTable)
        if (e.id == id) {
            const int32_t n = std::min<int32_t>(int32_t(std::strlen(e.text)), size - 1);
            std::memcpy(buffer, e.text, size_t(n));
            buffer[n] = '\0';
            return n;
        }
    return 0;
}

PVEFFECTS_API int32_t InitDLL(uintptr_t /*window*/) {
    return 1;
}
