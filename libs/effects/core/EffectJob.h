#pragma once
// What every effect shares: open the caller's DIB (by handle, read only),
// check it (24 bits where the effect needs it), turn the area into a
// half-open rectangle, make the output (a copy of the whole picture, so
// pixels outside the area stay as they were), and report progress. An effect
// writes only inside area() of out().
#include "libs/imagecore/Dib.h"
#include "libs/imagecore/Progress.h"
#include "platform/GlobalBlock.h"

#include <cstdint>
#include <new>

namespace fx {

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
};

// A right or bottom of 0 means the picture's width or height. False for an
// empty area or one reaching outside the picture.
bool normalizeArea(int32_t width, int32_t height, int32_t left, int32_t top, int32_t right,
                   int32_t bottom, Rect& out);

// A 24-bit RGB pixel as stored (B, G, R).
struct Bgr {
    uint8_t b, g, r;
};

class EffectJob {
  public:
    // Opens the DIB; with need24 a DIB of another depth fails (ok() false),
    // as does one whose pixels at 32 bits would pass ic::kMaxPixelBytes.
    EffectJob(uintptr_t dib, bool need24, ic::ProgressFn cb = nullptr, void* user = nullptr);
    ~EffectJob();
    EffectJob(const EffectJob&) = delete;
    EffectJob& operator=(const EffectJob&) = delete;

    bool ok() const { return ok_; }
    const ic::DibView& in() const { return in_; }
    const ic::Progress& progress() const { return progress_; }
    // Sets the area (see normalizeArea); false when it is bad.
    bool setArea(int32_t left, int32_t top, int32_t right, int32_t bottom);
    const Rect& area() const { return area_; }

    // The output: a copy of the input, made on first use; nullptr when
    // memory runs out.
    ic::MutableDib* out();
    // Source pixel of a 24-bit picture, x and y clamped into the picture.
    Bgr at(int32_t x, int32_t y) const;
    Bgr* outRow(int32_t y) { return reinterpret_cast<Bgr*>(out()->row(y)); }
    // Hands the output to the caller (0 when there is none).
    uintptr_t finish();

  private:
    HGLOBAL handle_;
    bool ok_ = false;
    bool locked_ = false;
    ic::DibView in_;
    ic::Progress progress_;
    Rect area_;
    zp::GlobalBlock outBlock_;
    ic::MutableDib* outView_ = nullptr;
};

// Runs an entry point's body and turns every exception into "none".
template <class Body> auto guarded(Body&& body) -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        return {};
    }
}

} // namespace fx
