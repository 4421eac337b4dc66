// Warp dissolve: the picture flows along a vector field made from its own
// colours, in steps, each step's picture shown through the caller's
// callback. The field is the picture averaged over square cells (larger
// cells, broader flows); each cell's direction comes from its hue or its
// lightness, turned by the rotation, and its length from its saturation
// when asked.
#include "libs/effects/core/GeometryEffects.h"
#include "libs/effects/core/Sampler.h"
#include "libs/imagecore/DibConvert.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace fx {
namespace {

struct Field {
    int32_t cols = 0, rows = 0;
    float cell = 1;
    std::vector<float> vx, vy;

    // Bilinear between cell centres, edges clamped.
    void at(int32_t x, int32_t y, float& fx, float& fy) const {
        const float gx = std::clamp((float(x) + 0.5f) / cell - 0.5f, 0.0f, float(cols - 1));
        const float gy = std::clamp((float(y) + 0.5f) / cell - 0.5f, 0.0f, float(rows - 1));
        const int32_t x0 = int32_t(gx), y0 = int32_t(gy);
        const int32_t x1 = std::min(x0 + 1, cols - 1), y1 = std::min(y0 + 1, rows - 1);
        const float wx = gx - float(x0), wy = gy - float(y0);
        auto mix = [&](const std::vector<float>& v) {
            const float top = v[size_t(y0 * cols + x0)] * (1 - wx) + v[size_t(y0 * cols + x1)] * wx;
            const float bot = v[size_t(y1 * cols + x0)] * (1 - wx) + v[size_t(y1 * cols + x1)] * wx;
            return top * (1 - wy) + bot * wy;
        };
        fx = mix(vx);
        fy = mix(vy);
    }
};

Field makeField(const ic::DibView& in, const WarpOptions& o) {
    Field f;
    f.cell = float(std::clamp(o.scale, 1, 200));
    const int32_t cell = int32_t(f.cell);
    f.cols = (in.width + cell - 1) / cell;
    f.rows = (in.height + cell - 1) / cell;
    std::vector<uint64_t> sums(size_t(f.cols) * size_t(f.rows) * 4, 0);
    for (int32_t y = 0; y < in.height; ++y) {
        const uint8_t* p = in.row(y);
        for (int32_t x = 0; x < in.width; ++x, p += 3) {
            uint64_t* s = &sums[size_t((y / cell) * f.cols + x / cell) * 4];
            s[0] += p[0], s[1] += p[1], s[2] += p[2], s[3] += 1;
        }
    }
    const float turn = float(o.rotation % 360) * std::numbers::pi_v<float> / 180.0f;
    f.vx.resize(size_t(f.cols) * size_t(f.rows));
    f.vy.resize(f.vx.size());
    for (size_t i = 0; i < f.vx.size(); ++i) {
        const float n = float(std::max<uint64_t>(sums[i * 4 + 3], 1));
        const float b = float(sums[i * 4]) / n / 255, g = float(sums[i * 4 + 1]) / n / 255,
                    r = float(sums[i * 4 + 2]) / n / 255;
        const float hi = std::max({r, g, b}), lo = std::min({r, g, b}), chroma = hi - lo;
        float hue = 0; // in turns
        if (chroma > 0) {
            if (hi == r)
                hue = (g - b) / chroma / 6;
            else if (hi == g)
                hue = ((b - r) / chroma + 2) / 6;
            else
                hue = ((r - g) / chroma + 4) / 6;
        }
        const float lightness = 0.299f * r + 0.587f * g + 0.114f * b;
        const float angle = (o.hue ? hue : lightness) * 2 * std::numbers::pi_v<float> + turn;
        const float length = o.saturation ? (hi > 0 ? chroma / hi : 0.0f) : 1.0f;
        f.vx[i] = std::cos(angle) * length;
        f.vy[i] = -std::sin(angle) * length;
    }
    return f;
}

// 1-2-1 smoothing in both directions, edges clamped.
void smooth(const ic::DibView& from, ic::MutableDib& to) {
    const int32_t w = from.width, h = from.height;
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* rows[3] = {from.row(std::max(y - 1, 0)), from.row(y),
                                  from.row(std::min(y + 1, h - 1))};
        uint8_t* d = to.row(y);
        for (int32_t x = 0; x < w; ++x) {
            const size_t l = size_t(std::max(x - 1, 0)) * 3, m = size_t(x) * 3,
                         r = size_t(std::min(x + 1, w - 1)) * 3;
            for (int c = 0; c < 3; ++c) {
                uint32_t sum = 0;
                for (int k = 0; k < 3; ++k) {
                    const uint32_t weight = k == 1 ? 2 : 1;
                    sum += weight * (rows[k][l + c] + 2u * rows[k][m + c] + rows[k][r + c]);
                }
                d[m + c] = uint8_t((sum + 8) / 16);
            }
        }
    }
}

} // namespace

uintptr_t warp(uintptr_t dib, const WarpOptions& o, ic::ProgressFn cb, void* user) {
    EffectJob job(dib, true, cb, user);
    if (!job.ok()) return 0;
    const ic::DibView& in = job.in();
    // Two blocks take turns as the flowing picture; with convolve a third
    // holds the smoothed picture shown (the flow itself stays sharp, so the
    // blur does not build up over the steps).
    zp::GlobalBlock blocks[3] = {zp::GlobalBlock(ic::copyDib(in)), zp::GlobalBlock(ic::copyDib(in)),
                                 zp::GlobalBlock(o.convolve ? ic::copyDib(in) : 0)};
    if (!blocks[0] || !blocks[1] || (o.convolve && !blocks[2])) return 0;
    const Field field = makeField(in, o);
    const int32_t steps = std::clamp(o.steps, 1, 200);
    const float stride = float(std::clamp(o.displacement, 0, 1000)) / float(steps);
    const Rect whole{0, 0, in.width, in.height};
    int current = 0; // the block holding the latest picture
    for (int32_t step = 1; step <= steps; ++step) {
        {
            ic::MutableDib from(blocks[current].get()), to(blocks[1 - current].get());
            if (!from.ok() || !to.ok()) return 0;
            const Sampler src(from.view(), whole);
            for (int32_t y = 0; y < in.height; ++y) {
                uint8_t* row = to.row(y);
                for (int32_t x = 0; x < in.width; ++x) {
                    float vx, vy;
                    field.at(x, y, vx, vy);
                    src.bilinear(float(x) - vx * stride, float(y) - vy * stride,
                                 row + size_t(x) * 3);
                }
            }
            current = 1 - current;
            if (o.convolve) {
                ic::MutableDib shown(blocks[2].get());
                if (!shown.ok()) return 0;
                smooth(to.view(), shown);
            }
        }
        if (!job.progress().report(step * 100 / steps)) return 0;
        const HGLOBAL shown = blocks[o.convolve ? 2 : current].get();
        if (o.show && o.show(shown, user) == 0) return 0;
    }
    if (o.convolve) return blocks[2].release();
    return blocks[current].release();
}

} // namespace fx
