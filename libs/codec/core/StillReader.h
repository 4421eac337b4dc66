#pragma once
// What every still-image reader of the codec shares: read the file, decode
// it to a packed DIB at its stored depth, bring it to the depth asked for
// (0 = as stored, 1, 4, 8, 24; dithered when asked), and hand it out as a
// DIB or as a device bitmap with its palette. A format supplies only its
// decode function.
#include "libs/codec/CodecErrors.h"
#include "libs/codec/PvCodec.h"
#include "libs/imagecore/Progress.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>
#include <new>

namespace gifcore {

// Progress of the readers: the imagecore one (1 = go on, 0 = stop).
using Progress = ic::Progress;

// Runs body, answering PVE_NO_MEMORY or PVE_INTERNAL for what it throws:
// nothing may leave a decoder called from the extern "C" entry points.
template <class Body> int32_t guarded(Body&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    } catch (...) {
        return PVE_INTERNAL;
    }
}

// Reports progress 0..99 as rows go by, calling back only when the percent
// changes so a tall picture does not flood the caller. With fromStart, row
// 0 reports 0 as well.
class RowProgress {
  public:
    RowProgress(const Progress& progress, int32_t rows, bool fromStart = false)
        : progress_(progress), rows_(rows), last_(fromStart ? -1 : 0) {}
    // False when the caller said stop.
    bool row(int32_t done) {
        const int32_t percent = int32_t(int64_t(done) * 99 / rows_);
        if (percent == last_) return true;
        last_ = percent;
        return progress_.report(percent);
    }

  private:
    const Progress& progress_;
    int32_t rows_;
    int32_t last_;
};

// Format-specific choices passed through from the entry points.
struct StillOptions {
    int16_t pcdMode = 2;           // Photo CD: 0 = 192 x 128, 1 = 384 x 256, 2 = 768 x 512
    int32_t* imageCount = nullptr; // when set, receives the number of images in the file
};

// Decodes the whole file in data into out (a packed DIB of 1, 4, 8 or 24
// bits). Answers PVE_OK or a negative CodecError; reports progress 0..99
// and stops with PVE_CANCELLED when told to.
using StillDecodeFn = int32_t (*)(const uint8_t* data, size_t size, const StillOptions& options,
                                  const Progress& progress, zp::GlobalBlock& out);

// Bodies of the two entry-point forms. Both validate their arguments, catch
// every exception and report progress 100 at the end.
int32_t readStillToDib(StillDecodeFn decode, const StillOptions& options, const char* file,
                       int32_t bits, int32_t dither, uintptr_t* dib, uintptr_t* palette, void* user,
                       PVProgressCallback cb);
int32_t readStillToBitmap(StillDecodeFn decode, const StillOptions& options, const char* file,
                          int32_t bits, int32_t dither, uintptr_t* bitmap, uintptr_t* palette,
                          void* user, PVProgressCallback cb);

// Decode + depth conversion into a DIB block (used by the two above).
int32_t readStill(StillDecodeFn decode, const StillOptions& options, const char* file, int32_t bits,
                  int32_t dither, const Progress& progress, zp::GlobalBlock& out);

} // namespace gifcore
