// Effects that look at each pixel's small neighbourhood: edge detection,
// engraving, despeckling (median) and oil painting (most frequent
// brightness). Neighbours outside the picture repeat its edge pixels.
#include "libs/effects/core/PixelEffects.h"
#include "libs/effects/core/Raster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace fx {

namespace {

// Rows y-1, y, y+1 of the source, clamped into the picture.
struct Rows3 {
    const uint8_t *up, *mid, *down;
};
Rows3 rows3(const ic::DibView& in, int32_t y) {
    return Rows3{in.row(std::max(y - 1, 0)), in.row(y), in.row(std::min(y + 1, in.height - 1))};
}

// Runs body(rows around y, output row) for every row of the area, reporting
// progress; 0 when the caller said stop, else the finished picture.
template <class Body> uintptr_t eachAreaRow(EffectJob& job, Body&& body) {
    const Rect a = job.area();
    for (int32_t y = a.top; y < a.bottom; ++y) {
        body(rows3(job.in(), y), reinterpret_cast<uint8_t*>(job.outRow(y)));
        if (!job.progress().row(y - a.top, a.height())) return 0;
    }
    return job.finish();
}

} // namespace

uintptr_t edge(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
               int32_t amount, int32_t bottom, int32_t right) {
    EffectJob job(dib, true, cb, user);
    if (amount < 1 || amount > 100 || !job.setArea(left, top, right, bottom) || !job.out())
        return 0;
    const Rect a = job.area();
    const ic::DibView& in = job.in();
    const float gain = amount / 4.0f; // a full black-white step reaches white at amount 1
    return eachAreaRow(job, [&](const Rows3& r, uint8_t* out) {
        for (int32_t x = a.left; x < a.right; ++x) {
            const size_t l = size_t(std::max(x - 1, 0)) * 3, m = size_t(x) * 3,
                         rt = size_t(std::min(x + 1, in.width - 1)) * 3;
            for (size_t c = 0; c < 3; ++c) { // Sobel
                const int32_t gx = (r.up[rt + c] + 2 * r.mid[rt + c] + r.down[rt + c]) -
                                   (r.up[l + c] + 2 * r.mid[l + c] + r.down[l + c]);
                const int32_t gy = (r.down[l + c] + 2 * r.down[m + c] + r.down[rt + c]) -
                                   (r.up[l + c] + 2 * r.up[m + c] + r.up[rt + c]);
                out[m + c] = clamp255f(std::sqrt(float(gx * gx + gy * gy)) * gain);
            }
        }
    });
}

uintptr_t engrave(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                  int32_t depth, int32_t bottom, int32_t right) {
    EffectJob job(dib, true, cb, user);
    if (depth < 1 || depth > 10 || !job.setArea(left, top, right, bottom) || !job.out()) return 0;
    const Rect a = job.area();
    const ic::DibView& in = job.in();
    return eachAreaRow(job, [&](const Rows3& r, uint8_t* out) {
        for (int32_t x = a.left; x < a.right; ++x) {
            const int32_t l = std::max(x - 1, 0), rt = std::min(x + 1, in.width - 1);
            // Lit from the top left: a grey relief carved into the surface.
            const int32_t d = luma(r.up + size_t(l) * 3) - luma(r.down + size_t(rt) * 3);
            const uint8_t v = clamp255(128 + d * depth / 2);
            uint8_t* o = out + size_t(x) * 3;
            o[0] = o[1] = o[2] = v;
        }
    });
}

uintptr_t despeckle(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                    int32_t tolerance, int32_t bottom, int32_t right) {
    EffectJob job(dib, true, cb, user);
    if (tolerance < 0 || tolerance > 100 || !job.setArea(left, top, right, bottom) || !job.out())
        return 0;
    const Rect a = job.area();
    const ic::DibView& in = job.in();
    return eachAreaRow(job, [&](const Rows3& r, uint8_t* out) {
        for (int32_t x = a.left; x < a.right; ++x) {
            const size_t l = size_t(std::max(x - 1, 0)) * 3, m = size_t(x) * 3,
                         rt = size_t(std::min(x + 1, in.width - 1)) * 3;
            for (size_t c = 0; c < 3; ++c) {
                std::array<uint8_t, 9> v = {r.up[l + c],   r.up[m + c],   r.up[rt + c],
                                            r.mid[l + c],  r.mid[m + c],  r.mid[rt + c],
                                            r.down[l + c], r.down[m + c], r.down[rt + c]};
                std::nth_element(v.begin(), v.begin() + 4, v.end());
                // A pixel close to its neighbourhood's median is detail, not a speck.
                if (std::abs(int32_t(r.mid[m + c]) - v[4]) > tolerance) out[m + c] = v[4];
            }
        }
    });
}

uintptr_t oilPainting(uintptr_t dib, int32_t left, int32_t top, ic::ProgressFn cb, void* user,
                      int32_t size, int32_t bottom, int32_t right) {
    EffectJob job(dib, true, cb, user);
    if (size < 0 || size > 50 || !job.setArea(left, top, right, bottom) || !job.out()) return 0;
    if (size == 0) return job.finish();
    const Rect a = job.area();
    const Raster src = load(job, widen(a, size, job.in().width, job.in().height));
    // Brightness in 32 levels: few enough that strokes merge into flat dabs.
    std::vector<uint8_t> level(size_t(src.width) * size_t(src.height));
    for (int32_t y = 0; y < src.height; ++y)
        for (int32_t x = 0; x < src.width; ++x)
            level[size_t(y) * size_t(src.width) + size_t(x)] =
                uint8_t(luma(src.row(y) + size_t(x) * 3) >> 3);
    struct Bin {
        int32_t count, b, g, r;
    };
    for (int32_t y = a.top; y < a.bottom; ++y) {
        const int32_t sy0 = std::max(y - size - src.originY, 0);
        const int32_t sy1 = std::min(y + size - src.originY, src.height - 1);
        std::array<Bin, 32> hist{};
        // Adds (sign 1) or removes (-1) column sx of the window's rows.
        auto column = [&](int32_t sx, int32_t sign) {
            if (sx < 0 || sx >= src.width) return;
            for (int32_t sy = sy0; sy <= sy1; ++sy) {
                const uint8_t* p = src.row(sy) + size_t(sx) * 3;
                Bin& b = hist[level[size_t(sy) * size_t(src.width) + size_t(sx)]];
                b.count += sign;
                b.b += sign * p[0];
                b.g += sign * p[1];
                b.r += sign * p[2];
            }
        };
        const int32_t x0 = a.left - src.originX;
        for (int32_t sx = x0 - size; sx < x0 + size; ++sx)
            column(sx, 1);
        uint8_t* out = reinterpret_cast<uint8_t*>(job.outRow(y));
        for (int32_t x = a.left; x < a.right; ++x) {
            const int32_t sx = x - src.originX;
            column(sx + size, 1);
            const Bin* best = &hist[0];
            for (const Bin& b : hist)
                if (b.count > best->count) best = &b;
            uint8_t* o = out + size_t(x) * 3;
            o[0] = uint8_t(best->b / best->count);
            o[1] = uint8_t(best->g / best->count);
            o[2] = uint8_t(best->r / best->count);
            column(sx - size, -1);
        }
        if (!job.progress().row(y - a.top, a.height())) return 0;
    }
    return job.finish();
}

} // namespace fx
