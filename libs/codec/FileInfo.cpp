// fileinfo: format name, size, depth and format-specific values of a file.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/codec/core/FileBytes.h"
#include "libs/codec/core/FormatRegistry.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

void copyText(char* buffer, int32_t size, const char* text) {
    if (!buffer) return;
    const size_t n = std::min(std::strlen(text), size_t(size - 1));
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
}

} // namespace

// format receives PV_FORMAT_TEXT_SIZE bytes at most, description
// PV_DESCRIPTION_TEXT_SIZE; both are zero-terminated.
PVCODEC_API int32_t fileinfo(const char* file, char* format, PVFileInfo* info, char* description,
                             int16_t /*zero*/) {
    if (!file || !info) return PVE_BAD_ARGUMENT;
    try {
        copyText(format, PV_FORMAT_TEXT_SIZE, "");
        copyText(description, PV_DESCRIPTION_TEXT_SIZE, "");
        std::vector<uint8_t> bytes;
        const int32_t rc = gifcore::readFileBytes(file, bytes);
        if (rc != PVE_OK) return rc;
        const gifcore::FormatEntry* entry = gifcore::findFormat(bytes.data(), bytes.size(), file);
        if (!entry) return PVE_UNKNOWN_FORMAT;
        gifcore::FormatInfo found;
        const int32_t result = entry->info(bytes.data(), bytes.size(), found);
        if (result != PVE_OK) return result;
        *info =
            PVFileInfo{found.width, found.height, found.bitsPerPixel, found.value1, found.value2};
        copyText(format, PV_FORMAT_TEXT_SIZE, entry->name);
        copyText(description, PV_DESCRIPTION_TEXT_SIZE, found.description);
        return PVE_OK;
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    } catch (...) {
        return PVE_INTERNAL;
    }
}
