// The DXF library's entry points (PvDxf.h): read the file, render it
// (core/DxfRender), bring it to the depth asked and hand out a device bitmap.
#include "libs/dxf/PvDxf.h"
#include "libs/dxf/core/DxfErrors.h"
#include "libs/dxf/core/DxfRender.h"
#include "libs/imagecore/DibConvert.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <vector>

using namespace dxfcore;

namespace {

// Larger files are refused: rendering walks the file twice.
constexpr uint64_t kMaxFileBytes = uint64_t(512) << 20;

int32_t readWholeFile(const char* path, std::vector<uint8_t>& out) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return DE_OPEN;
    const uint64_t size = std::filesystem::file_size(path, ec);
    if (ec) return DE_OPEN;
    if (size > kMaxFileBytes) return DE_READ;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return DE_OPEN;
    out.resize(size_t(size));
    const size_t got = size ? std::fread(out.data(), 1, out.size(), f) : 0;
    std::fclose(f);
    return got == out.size() ? DE_OK : DE_READ;
}

template <class Body> int32_t guarded(Body&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return DE_NO_MEMORY;
    } catch (...) {
        return DE_INTERNAL;
    }
}

} // namespace

PVCODEC_API int32_t InitDLL(uintptr_t /*window*/) {
    return 1;
}

PVCODEC_API int32_t getdxfinfo(const char* file, int32_t* width, int32_t* height, int16_t* bits,
                               int16_t /*zero*/) {
    if (!file || !width || !height || !bits) return DE_BAD_ARGUMENT;
    return guarded([&]() -> int32_t {
        std::vector<uint8_t> bytes;
        int32_t rc = readWholeFile(file, bytes);
        if (rc != DE_OK) return rc;
        int32_t w = 0, h = 0;
        rc = measureDxf(bytes.data(), bytes.size(), w, h);
        if (rc != DE_OK) return rc;
        *width = w, *height = h, *bits = 1;
        return DE_OK;
    });
}

PVCODEC_API int32_t readdxftoddb(const char* file, int32_t bits, int32_t dither, uintptr_t* bitmap,
                                 uintptr_t* palette, void* user, PVProgressCallback cb,
                                 int16_t /*zero*/) {
    if (!file || !bitmap || !palette) return DE_BAD_ARGUMENT;
    if (bits != 0 && bits != 1 && bits != 4 && bits != 8 && bits != 24) return DE_BAD_DEPTH;
    return guarded([&]() -> int32_t {
        auto report = [&](int32_t percent) { return !cb || cb(int16_t(percent), user) != 0; };
        std::vector<uint8_t> bytes;
        int32_t rc = readWholeFile(file, bytes);
        if (rc != DE_OK) return rc;
        if (!report(0)) return DE_CANCELLED;
        zp::GlobalBlock picture;
        rc = renderDxf(bytes.data(), bytes.size(), report, picture);
        if (rc != DE_OK) return rc;
        zp::GlobalLockGuard lock(picture.get());
        ic::DibView view;
        if (!lock || !ic::parseDib(lock.data(), picture.size(), view)) return DE_INTERNAL;
        zp::GlobalBlock converted;
        if (bits > 1) {
            converted.adopt(ic::convertDibDepth(view, bits, dither != 0));
            if (!converted) return DE_NO_MEMORY;
        }
        zp::GlobalLockGuard convertedLock(converted.get());
        ic::DibView finalView = view;
        if (converted &&
            (!convertedLock || !ic::parseDib(convertedLock.data(), converted.size(), finalView)))
            return DE_INTERNAL;
        if (!report(100)) return DE_CANCELLED;
        HBITMAP made = 0;
        HPALETTE madePalette = 0;
        if (!ic::dibToDeviceBitmap(finalView, &made, &madePalette)) return DE_NO_MEMORY;
        *bitmap = made;
        *palette = madePalette;
        return DE_OK;
    });
}
