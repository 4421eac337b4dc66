// The effects library's string table and initialisation entry point.
#include "libs/effects/PvEffects.h"
#include "libs/imagecore/StringTable.h"

namespace {
struct Entry {
    int32_t code;
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
    const Entry* e = ic::findString(kTable, id);
    return ic::copyString(buffer, size, e ? e->text : "");
}

PVEFFECTS_API int32_t InitDLL(uintptr_t /*window*/) {
    return 1;
}
