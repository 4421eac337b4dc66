// Mosaic: the area cut into square tiles (or bricks, each row shifted by
// half a tile) set in grout, each tile a raised slab whose bevelled rim
// catches a light from the chosen direction.
#include "libs/effects/core/GeometryEffects.h"
#include "libs/effects/core/Sampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace fx {
namespace {

struct Grid {
    float tile = 2, grout = 0, bevel = 1;
    bool brick = false;
    int32_t cols = 1, rows = 1;
    // Tile of the area-relative pixel (x, y) and the pixel centre's place in it.
    int32_t locate(int32_t x, int32_t y, float& u, float& v) const {
        const int32_t j = int32_t(float(y) / tile);
        const float shifted = float(x) + (brick && (j & 1) ? tile * 0.5f : 0.0f);
        const int32_t i = int32_t(shifted / tile);
        u = shifted + 0.5f - float(i) * tile;
        v = float(y) + 0.5f - float(j) * tile;
        return j * cols + i;
    }
};

uint32_t tileHash(uint32_t n) {
    n = (n ^ 61u) ^ (n >> 16);
    n *= 9u;
    n ^= n >> 4;
    n *= 0x27D4EB2Du;
    return n ^ (n >> 15);
}

} // namespace

uintptr_t mosaic(const AreaCall& call, const MosaicOptions& o) {
    EffectJob job(call.dib, true, call.cb, call.user);
    if (!job.ok() || !job.setArea(call.left, call.top, call.right, call.bottom)) return 0;
    ic::MutableDib* out = job.out();
    if (!out) return 0;
    const Rect& a = job.area();
    const Sampler src(job.in(), a);
    Grid g;
    g.tile = std::max(2.0f, float(std::clamp(o.size, 1, 100000)) / 10.0f);
    g.grout = g.tile * float(std::clamp(o.space, 0, 90)) / 100.0f;
    g.bevel = std::max(1.0f, g.tile * 0.15f);
    g.brick = o.type == 1;
    g.cols = int32_t(float(a.width()) / g.tile) + 2;
    g.rows = int32_t(float(a.height()) / g.tile) + 1;

    // Flat tiles take the mean colour of the pixels they cover.
    std::vector<uint64_t> sums;
    if (o.surface == 1) {
        sums.assign(size_t(g.cols) * size_t(g.rows) * 4, 0);
        for (int32_t y = a.top; y < a.bottom; ++y)
            for (int32_t x = a.left; x < a.right; ++x) {
                float u, v;
                uint64_t* s = &sums[size_t(g.locate(x - a.left, y - a.top, u, v)) * 4];
                const uint8_t* p = src.pixel(x, y);
                s[0] += p[0], s[1] += p[1], s[2] += p[2], s[3] += 1;
            }
    }
    const float slope = float(std::clamp(o.height, 0, 10000)) / 10.0f / g.bevel;
    const float azimuth = float(o.light % 360) * std::numbers::pi_v<float> / 180.0f;
    // Light from the azimuth (counter-clockwise from the right), 45 degrees up.
    const float lx = std::cos(azimuth), ly = -std::sin(azimuth), lz = 1.0f;
    const float jitter = float(std::clamp(o.random, 0, 5)) * 0.04f;
    const uint8_t grout[3] = {GetBValue(o.back), GetGValue(o.back), GetRValue(o.back)};
    const uint8_t shine[3] = {GetBValue(o.fore), GetGValue(o.fore), GetRValue(o.fore)};

    for (int32_t y = a.top; y < a.bottom; ++y) {
        if (!job.progress().row(y - a.top, a.height())) return 0;
        uint8_t* row = out->row(y);
        for (int32_t x = a.left; x < a.right; ++x) {
            float u, v;
            const int32_t id = g.locate(x - a.left, y - a.top, u, v);
            // Distance to the tile's face edge and the way out of it.
            const float du = std::min(u, g.tile - u), dv = std::min(v, g.tile - v);
            const float edge = std::min(du, dv) - g.grout * 0.5f;
            float cover =
                o.antialias ? std::clamp(edge + 0.5f, 0.0f, 1.0f) : (edge > 0 ? 1.0f : 0.0f);
            uint8_t* d = row + size_t(x) * 3;
            if (cover <= 0) {
                d[0] = grout[0], d[1] = grout[1], d[2] = grout[2];
                continue;
            }
            float c[3];
            if (!sums.empty()) {
                const uint64_t* s = &sums[size_t(id) * 4];
                for (int k = 0; k < 3; ++k)
                    c[k] = float(s[k]) / float(std::max<uint64_t>(s[3], 1));
            } else {
                const uint8_t* p = src.pixel(x, y);
                for (int k = 0; k < 3; ++k)
                    c[k] = p[k];
            }
            float shade =
                1.0f + jitter * (float(tileHash(uint32_t(id)) & 0xFFFF) / 32768.0f - 1.0f);
            if (edge < g.bevel && slope > 0) {
                // On the rim the face slopes down towards the nearest edge.
                float nx = 0, ny = 0;
                if (du < dv)
                    nx = u < g.tile * 0.5f ? -slope : slope;
                else
                    ny = v < g.tile * 0.5f ? -slope : slope;
                const float lit = (nx * lx + ny * ly + lz) / std::sqrt(nx * nx + ny * ny + 1.0f);
                shade *= std::max(0.0f, lit);
            }
            for (int k = 0; k < 3; ++k) {
                float value = shade > 1.0f
                                  ? c[k] + (float(shine[k]) - c[k]) * std::min(1.0f, shade - 1.0f)
                                  : c[k] * shade;
                value = value * cover + float(grout[k]) * (1.0f - cover);
                d[k] = uint8_t(std::clamp(value + 0.5f, 0.0f, 255.0f));
            }
        }
    }
    return job.progress().report(100) ? job.finish() : 0;
}

} // namespace fx
