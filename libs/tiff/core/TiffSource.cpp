#include "libs/tiff/core/TiffSource.h"

#include "libs/tiff/core/TiffErrors.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

namespace tifcore {

namespace {

std::mutex lastErrorMutex;
char lastError[512] = "";

// libtiff hands ever-growing allocations to a hostile file's claims; one
// allocation beyond this is refused inside libtiff.
constexpr tmsize_t kMaxSingleAlloc = tmsize_t(1) << 30;

int onError(TIFF*, void*, const char*, const char* format, va_list args) {
    char text[sizeof lastError];
    std::vsnprintf(text, sizeof text, format, args);
    setLastLibtiffError(text);
    return 1;
}

int onWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

TiffSource* self(thandle_t h) {
    return static_cast<TiffSource*>(h);
}

tmsize_t readProc(thandle_t h, void* buffer, tmsize_t size) {
    TiffSource* s = self(h);
    if (size <= 0 || s->position >= s->size) return 0;
    const uint64_t n = std::min<uint64_t>(uint64_t(size), s->size - s->position);
    std::memcpy(buffer, s->data + s->position, size_t(n));
    s->position += n;
    return tmsize_t(n);
}

tmsize_t writeProc(thandle_t, void*, tmsize_t) {
    return 0;
}

toff_t seekProc(thandle_t h, toff_t offset, int whence) {
    TiffSource* s = self(h);
    uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = s->position;
    else if (whence == SEEK_END)
        base = s->size;
    // Offsets are unsigned; a position past the end simply reads nothing.
    if (offset > UINT64_MAX - base) return toff_t(-1);
    s->position = base + offset;
    return s->position;
}

int closeProc(thandle_t) {
    return 0;
}
toff_t sizeProc(thandle_t h) {
    return self(h)->size;
}
int mapProc(thandle_t, void**, toff_t*) {
    return 0;
}
void unmapProc(thandle_t, void*, toff_t) {}

// The process-wide handlers too: libtiff calls them for messages that carry
// no open handle.
void silenceGlobalHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

} // namespace

const char* lastLibtiffError() {
    return lastError;
}

void setLastLibtiffError(const char* text) {
    std::lock_guard<std::mutex> lock(lastErrorMutex);
    std::snprintf(lastError, sizeof lastError, "%s", text ? text : "");
}

TiffSource::TiffSource(const uint8_t* bytes, size_t length) : data(bytes), size(length) {}

TiffSource::~TiffSource() {
    if (tiff_) TIFFClose(tiff_);
}

int32_t TiffSource::open() {
    silenceGlobalHandlers();
    setLastLibtiffError("");
    if (size < 8 ||
        !((data[0] == 'I' && data[1] == 'I' && (data[2] == 42 || data[2] == 43) && data[3] == 0) ||
          (data[0] == 'M' && data[1] == 'M' && data[2] == 0 && (data[3] == 42 || data[3] == 43))))
        return TE_NOT_TIFF;
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return TE_NO_MEMORY;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxSingleAlloc);
    TIFFOpenOptionsSetErrorHandlerExtR(options, onError, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, nullptr);
    // "m": no memory mapping (the bytes are already in memory).
    tiff_ = TIFFClientOpenExt("memory", "rm", this, readProc, writeProc, seekProc, closeProc,
                              sizeProc, mapProc, unmapProc, options);
    TIFFOpenOptionsFree(options);
    return tiff_ ? TE_OK : TE_CORRUPT;
}

int32_t TiffSource::pageCount() {
    if (!tiff_) return 0;
    const tdir_t count = TIFFNumberOfDirectories(tiff_);
    return int32_t(std::min<tdir_t>(count, kMaxPages));
}

} // namespace tifcore
