#pragma once
// Reading a 24-bit picture at real coordinates for the geometric effects:
// bilinear between the four nearest pixels, the coordinates clamped into a
// rectangle first, so any mapping (even NaN or infinite ones) reads inside.
// Pixel centres sit at whole coordinates.
#include "libs/effects/core/EffectJob.h"

#include <cstdint>
#include <vector>

namespace fx {

class Sampler {
  public:
    // Samples from `bounds` (inside the picture) of a 24-bit view.
    Sampler(const ic::DibView& view, const Rect& bounds) : bounds_(bounds) {
        rows_.resize(size_t(view.height));
        for (int32_t y = 0; y < view.height; ++y)
            rows_[size_t(y)] = view.row(y);
        maxX_ = float(bounds.right - 1);
        maxY_ = float(bounds.bottom - 1);
    }

    const Rect& bounds() const { return bounds_; }
    const uint8_t* pixel(int32_t x, int32_t y) const { return rows_[size_t(y)] + size_t(x) * 3; }

    // Nearest pixel, clamped into the bounds.
    Bgr nearest(int32_t x, int32_t y) const {
        x = x < bounds_.left ? bounds_.left : (x >= bounds_.right ? bounds_.right - 1 : x);
        y = y < bounds_.top ? bounds_.top : (y >= bounds_.bottom ? bounds_.bottom - 1 : y);
        const uint8_t* p = pixel(x, y);
        return Bgr{p[0], p[1], p[2]};
    }

    // Bilinear sample written to dst (3 bytes, B G R).
    void bilinear(float sx, float sy, uint8_t* dst) const {
        const float lx = float(bounds_.left), ly = float(bounds_.top);
        if (!(sx >= lx)) sx = lx; // also catches NaN
        if (!(sx <= maxX_)) sx = maxX_;
        if (!(sy >= ly)) sy = ly;
        if (!(sy <= maxY_)) sy = maxY_;
        const int32_t x0 = int32_t(sx), y0 = int32_t(sy);
        const uint32_t fx = uint32_t((sx - float(x0)) * 256.0f);
        const uint32_t fy = uint32_t((sy - float(y0)) * 256.0f);
        const int32_t dx = x0 + 1 < bounds_.right ? 3 : 0;
        const uint8_t* a = pixel(x0, y0);
        const uint8_t* b = y0 + 1 < bounds_.bottom ? pixel(x0, y0 + 1) : a;
        for (int c = 0; c < 3; ++c) {
            const uint32_t top = a[c] * (256 - fx) + a[c + dx] * fx;
            const uint32_t bottom = b[c] * (256 - fx) + b[c + dx] * fx;
            dst[c] = uint8_t((top * (256 - fy) + bottom * fy + 32768) >> 16);
        }
    }

  private:
    Rect bounds_;
    std::vector<const uint8_t*> rows_;
    float maxX_ = 0, maxY_ = 0;
};

// Runs map(x, y, sx, sy) for every pixel of the job's area, top row first;
// when it answers true the output pixel becomes the bilinear sample of the
// input at (sx, sy), clamped into `bounds`. False when memory ran out or
// the progress callback said stop.
template <class Map> bool remapArea(EffectJob& job, const Rect& bounds, Map&& map) {
    ic::MutableDib* out = job.out();
    if (!out) return false;
    const Sampler sampler(job.in(), bounds);
    const Rect& a = job.area();
    for (int32_t y = a.top; y < a.bottom; ++y) {
        if (!job.progress().row(y - a.top, a.height())) return false;
        uint8_t* row = out->row(y);
        for (int32_t x = a.left; x < a.right; ++x) {
            float sx, sy;
            if (map(x, y, sx, sy)) sampler.bilinear(sx, sy, row + size_t(x) * 3);
        }
    }
    return job.progress().report(100);
}

} // namespace fx
