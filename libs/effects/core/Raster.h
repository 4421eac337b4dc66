#pragma once
// A 24-bit working copy of part of a picture (B, G, R bytes, rows packed,
// top row first) and the separable running-sum box blur the blur, sharpen
// and soften effects share. Neighbourhood effects load their area plus a
// margin so pixels near the area's edge see their real neighbours.
#include "libs/effects/core/EffectJob.h"

#include <cstdint>
#include <vector>

namespace fx {

struct Raster {
    int32_t width = 0, height = 0;
    int32_t originX = 0, originY = 0; // where (0, 0) lies in the picture
    std::vector<uint8_t> px;

    uint8_t* row(int32_t y) { return px.data() + size_t(y) * size_t(width) * 3; }
    const uint8_t* row(int32_t y) const { return px.data() + size_t(y) * size_t(width) * 3; }
};

// Progress over several passes of rows: `total` rows in all.
class Ticker {
  public:
    Ticker(const ic::Progress& p, int64_t total) : p_(p), total_(total > 0 ? total : 1) {}
    // False when the caller said stop.
    bool tick() {
        ++done_;
        const int64_t step = total_ / 50 + 1;
        return done_ % step != 0 || p_.report(int32_t(done_ * 100 / total_));
    }

  private:
    const ic::Progress& p_;
    int64_t total_;
    int64_t done_ = 0;
};

// The area widened by margin on every side, cut to the picture.
Rect widen(const Rect& area, int32_t margin, int32_t width, int32_t height);
// Copies rect r of the job's 24-bit input.
Raster load(const EffectJob& job, const Rect& r);
// Writes the part of src that lies in the job's area into the output.
void storeArea(EffectJob& job, const Raster& src);

// Box blur of the given radius across rows (horizontal) or down columns
// (vertical); edges repeat the outermost pixel. False when stopped.
bool boxBlurRows(Raster& r, int32_t radius, Ticker& t);
bool boxBlurColumns(Raster& r, int32_t radius, Ticker& t);
// Three box passes each way: close to a Gaussian of sigma sqrt(r(r+1)).
bool gaussLike(Raster& r, int32_t radius, Ticker& t);

inline uint8_t clamp255(int32_t v) {
    return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v));
}
inline uint8_t clamp255f(float v) {
    return uint8_t(v <= 0.f ? 0 : (v >= 255.f ? 255 : int32_t(v + 0.5f)));
}
// Rec. 601 luma, 0..255.
inline int32_t luma(const uint8_t* bgr) {
    return (bgr[0] * 29 + bgr[1] * 150 + bgr[2] * 77) >> 8;
}

} // namespace fx
