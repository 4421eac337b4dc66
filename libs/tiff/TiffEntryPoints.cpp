// The TIFF library's entry points (PvTiff.h): read the file, decode the page
// (core/TiffDecoder), bring it to the depth asked and hand it out.
#include "libs/imagecore/DibConvert.h"
#include "libs/tiff/PvTiff.h"
#include "libs/tiff/core/TiffDecoder.h"
#include "libs/tiff/core/TiffErrors.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <vector>

using namespace tifcore;

namespace {

// Largest file read.
constexpr uint64_t kMaxFileBytes = uint64_t(1) << 30;

int32_t readWholeFile(const char* path, std::vector<uint8_t>& out) {
    std::error_code ec;
    if (!path || !std::filesystem::is_regular_file(path, ec)) return TE_OPEN;
    const uint64_t size = std::filesystem::file_size(path, ec);
    if (ec) return TE_OPEN;
    if (size > kMaxFileBytes) return TE_READ;
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return TE_OPEN;
    try {
        out.resize(size_t(size));
    } catch (...) {
        std::fclose(f);
        throw;
    }
    const size_t got = size ? std::fread(out.data(), 1, out.size(), f) : 0;
    std::fclose(f);
    return got == out.size() ? TE_OK : TE_READ;
}

template <class Body> int32_t guarded(Body&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return TE_NO_MEMORY;
    } catch (...) {
        return TE_INTERNAL;
    }
}

bool validDepth(int32_t bits) {
    return bits == 0 || bits == 1 || bits == 4 || bits == 8 || bits == 24;
}

// The page as a DIB at the depth asked, progress 0 .. 100.
int32_t readPage(const char* file, int16_t page, int32_t bits, int32_t dither,
                 const TiffProgress& progress, zp::GlobalBlock& out) {
    if (!file) return TE_BAD_ARGUMENT;
    if (!validDepth(bits)) return TE_BAD_DEPTH;
    std::vector<uint8_t> bytes;
    int32_t rc = readWholeFile(file, bytes);
    if (rc != TE_OK) return rc;
    if (!progress.report(0)) return TE_CANCELLED;
    zp::GlobalBlock decoded;
    rc = decodeTiffPage(bytes.data(), bytes.size(), page, progress, decoded);
    if (rc != TE_OK) return rc;
    zp::GlobalLockGuard lock(decoded.get());
    ic::DibView view;
    if (!lock || !ic::parseDib(lock.data(), decoded.size(), view)) return TE_INTERNAL;
    if (bits != 0 && bits != view.bpp) {
        out.adopt(ic::convertDibDepth(view, bits, dither != 0));
        if (!out) return TE_NO_MEMORY;
    } else {
        out = std::move(decoded);
    }
    if (!progress.report(100)) {
        out.reset();
        return TE_CANCELLED;
    }
    return TE_OK;
}

} // namespace

PVCODEC_API int32_t InitDLL(uintptr_t /*window*/) {
    return 1;
}

PVCODEC_API int32_t getinfo(const char* file, int16_t page, int32_t* width, int32_t* height,
                            int16_t* bits, int16_t* pageCount, int32_t* compression,
                            int16_t /*zero*/) {
    if (!file || !width || !height || !bits || !pageCount || !compression) return TE_BAD_ARGUMENT;
    return guarded([&]() -> int32_t {
        std::vector<uint8_t> bytes;
        int32_t rc = readWholeFile(file, bytes);
        if (rc != TE_OK) return rc;
        TiffPageInfo info;
        rc = readTiffInfo(bytes.data(), bytes.size(), page, info);
        if (rc != TE_OK) return rc;
        *width = info.width;
        *height = info.height;
        *bits = info.bits;
        *pageCount = info.pageCount;
        *compression = info.compression;
        return TE_OK;
    });
}

PVCODEC_API int32_t readtiffiledib(const char* file, int16_t page, int32_t bits, int32_t dither,
                                   uintptr_t* dib, void* user, PVProgressCallback cb,
                                   int16_t /*zero*/) {
    if (!dib) return TE_BAD_ARGUMENT;
    return guarded([&]() -> int32_t {
        zp::GlobalBlock picture;
        const int32_t rc = readPage(file, page, bits, dither, TiffProgress(cb, user), picture);
        if (rc != TE_OK) return rc;
        *dib = picture.release();
        return TE_OK;
    });
}

PVCODEC_API int32_t readtiffile(const char* file, int16_t page, int32_t bits, int32_t dither,
                                uintptr_t* bitmap, uintptr_t* palette, void* user,
                                PVProgressCallback cb, int16_t /*zero*/) {
    if (!bitmap || !palette) return TE_BAD_ARGUMENT;
    return guarded([&]() -> int32_t {
        zp::GlobalBlock picture;
        const int32_t rc = readPage(file, page, bits, dither, TiffProgress(cb, user), picture);
        if (rc != TE_OK) return rc;
        zp::GlobalLockGuard lock(picture.get());
        ic::DibView view;
        if (!lock || !ic::parseDib(lock.data(), picture.size(), view)) return TE_INTERNAL;
        HBITMAP made = 0;
        HPALETTE madePalette = 0;
        if (!ic::dibToDeviceBitmap(view, &made, &madePalette)) return TE_NO_MEMORY;
        *bitmap = made;
        *palette = madePalette;
        return TE_OK;
    });
}
