// Whole-picture effects that lay a pattern over the picture: halftone
// screen, extruded blocks and the seamless tile.
#include "libs/effects/core/PixelEffects.h"
#include "libs/effects/core/Raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fx {

namespace {

// Where a point of a cell (u, v in [-0.5, 0.5)) ranks in the order the cell
// fills with ink as the tone darkens: 0 first, 1 last.
float spot(int32_t shape, float u, float v) {
    u = std::fabs(u);
    v = std::fabs(v);
    switch (shape) {
    case 1: // ellipse, wider than high: its area while it fits in the cell
        return std::min(1.f, std::numbers::pi_v<float> * 0.6f * (u * u + v * v / 0.36f));
    case 2:
        return 4 * std::max(u, v) * std::max(u, v); // square
    case 3: { // diamond; the ink share grows as 2 t^2, then closes the corners
        const float t = u + v;
        return t <= 0.5f ? 2 * t * t : 1 - 2 * (1 - t) * (1 - t);
    }
    case 4:
        return 2 * v; // line
    case 5: {         // cross: arms of width 2 min(u, v)
        const float t = 1 - 2 * std::min(u, v);
        return 1 - t * t;
    }
    default: // circle: its area while it fits in the cell
        return std::min(1.f, std::numbers::pi_v<float> * (u * u + v * v));
    }
}

} // namespace

uintptr_t halftone(uintptr_t dib, int32_t cellSize, int32_t shape, ic::ProgressFn cb, void* user,
                   double angle) {
    EffectJob job(dib, true, cb, user);
    if (cellSize < 1 || cellSize > 100 || shape < 0 || shape > 5 || !std::isfinite(angle) ||
        !job.out())
        return 0;
    const ic::DibView& in = job.in();
    const double rad = angle * std::numbers::pi / 180.0;
    const float c = float(std::cos(rad) / cellSize), s = float(std::sin(rad) / cellSize);
    for (int32_t y = 0; y < in.height; ++y) {
        const uint8_t* p = in.row(y);
        uint8_t* o = reinterpret_cast<uint8_t*>(job.outRow(y));
        for (int32_t x = 0; x < in.width; ++x, p += 3, o += 3) {
            // Cell coordinates on the screen turned by angle.
            const float u = (float(x) + 0.5f) * c + (float(y) + 0.5f) * s;
            const float v = (float(y) + 0.5f) * c - (float(x) + 0.5f) * s;
            const float darkness = 1.f - float(luma(p)) / 255.f;
            const bool ink = darkness > 0 && spot(shape, u - std::floor(u) - 0.5f,
                                                  v - std::floor(v) - 0.5f) <= darkness;
            o[0] = o[1] = o[2] = ink ? 0 : 255;
        }
        if (!job.progress().row(y, in.height)) return 0;
    }
    return job.finish();
}

uintptr_t extrude(uintptr_t dib, int32_t levels, int32_t value, ic::ProgressFn cb, void* user) {
    EffectJob job(dib, true, cb, user);
    if (value < 1 || value > 50 || !job.out()) return 0;
    const ic::DibView& in = job.in();
    const int32_t side = 2 * value + 4;
    for (int32_t by = 0; by < in.height; by += side) {
        const int32_t h = std::min(side, in.height - by);
        for (int32_t bx = 0; bx < in.width; bx += side) {
            const int32_t w = std::min(side, in.width - bx);
            int64_t sum[3] = {0, 0, 0};
            for (int32_t y = by; y < by + h; ++y)
                for (int32_t x = bx; x < bx + w; ++x)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += in.row(y)[size_t(x) * 3 + size_t(c)];
            int32_t mean[3];
            for (int c = 0; c < 3; ++c)
                mean[c] = int32_t(sum[c] / (int64_t(w) * h));
            // The block's bevel: a quarter of its side, or with levels its
            // brightness decides how high (wide) it stands.
            int32_t bevel = side / 4;
            if (levels)
                bevel = std::max(1, bevel * (mean[0] * 29 + mean[1] * 150 + mean[2] * 77) /
                                        (255 * 256));
            for (int32_t y = 0; y < h; ++y) {
                uint8_t* o = reinterpret_cast<uint8_t*>(job.outRow(by + y)) + size_t(bx) * 3;
                for (int32_t x = 0; x < w; ++x, o += 3) {
                    const int32_t top = y, bottom = h - 1 - y, left = x, right = w - 1 - x;
                    const int32_t m = std::min({top, bottom, left, right});
                    // Lit from the top left.
                    int32_t shade = 0;
                    if (m < bevel) shade = m == top ? 64 : m == left ? 32 : m == right ? -32 : -64;
                    for (int c = 0; c < 3; ++c)
                        o[c] = clamp255(mean[c] + shade);
                }
            }
        }
        if (!job.progress().row(by, in.height)) return 0;
    }
    return job.finish();
}

uintptr_t tile(uintptr_t dib, void* user, ic::ProgressFn cb) {
    EffectJob job(dib, true, cb, user);
    if (!job.out()) return 0;
    const ic::DibView& in = job.in();
    const int32_t W = in.width, H = in.height;
    // Four copies, shifted by half the picture across and down, blended so
    // each copy's own wrap-around seam gets weight 0: the result's left and
    // right (top and bottom) edges then continue into each other.
    auto weight = [](int32_t i, int32_t n) {
        return 1.f - std::fabs(2.f * (float(i) + 0.5f) / float(n) - 1.f);
    };
    for (int32_t y = 0; y < H; ++y) {
        const float wy = weight(y, H);
        const uint8_t* r0 = in.row(y);
        const uint8_t* r1 = in.row((y + H / 2) % H);
        uint8_t* o = reinterpret_cast<uint8_t*>(job.outRow(y));
        for (int32_t x = 0; x < W; ++x, o += 3) {
            const float wx = weight(x, W);
            const size_t x0 = size_t(x) * 3, x1 = size_t((x + W / 2) % W) * 3;
            for (size_t c = 0; c < 3; ++c)
                o[c] = clamp255f(wy * (wx * r0[x0 + c] + (1 - wx) * r0[x1 + c]) +
                                 (1 - wy) * (wx * r1[x0 + c] + (1 - wx) * r1[x1 + c]));
        }
        if (!job.progress().row(y, H)) return 0;
    }
    return job.finish();
}

} // namespace fx
