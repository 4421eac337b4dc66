#include "libs/effects/core/Raster.h"

#include <algorithm>
#include <cstring>

namespace fx {

Rect widen(const Rect& area, int32_t margin, int32_t width, int32_t height) {
    return Rect{std::max(0, area.left - margin), std::max(0, area.top - margin),
                std::min(width, area.right + margin), std::min(height, area.bottom + margin)};
}

Raster load(const EffectJob& job, const Rect& r) {
    Raster out;
    out.width = r.width();
    out.height = r.height();
    out.originX = r.left;
    out.originY = r.top;
    out.px.resize(size_t(out.width) * size_t(out.height) * 3);
    for (int32_t y = 0; y < out.height; ++y)
        std::memcpy(out.row(y), job.in().row(r.top + y) + size_t(r.left) * 3,
                    size_t(out.width) * 3);
    return out;
}

void storeArea(EffectJob& job, const Raster& src) {
    const Rect& a = job.area();
    const size_t bytes = size_t(a.width()) * 3;
    for (int32_t y = a.top; y < a.bottom; ++y)
        std::memcpy(reinterpret_cast<uint8_t*>(job.outRow(y)) + size_t(a.left) * 3,
                    src.row(y - src.originY) + size_t(a.left - src.originX) * 3, bytes);
}

namespace {

// 16-bit fixed-point reciprocal of the window length: sum * inv >> 16 is the
// mean, and sum * inv stays below 2^32 for any radius.
inline uint32_t reciprocal(int32_t n) {
    return uint32_t((65536 + n / 2) / n);
}

void blurLine(const uint8_t* src, uint8_t* dst, int32_t n, int32_t radius, uint32_t inv) {
    uint32_t s0 = 0, s1 = 0, s2 = 0;
    for (int32_t k = -radius; k <= radius; ++k) {
        const uint8_t* p = src + size_t(std::clamp(k, 0, n - 1)) * 3;
        s0 += p[0];
        s1 += p[1];
        s2 += p[2];
    }
    for (int32_t x = 0; x < n; ++x) {
        uint8_t* d = dst + size_t(x) * 3;
        d[0] = uint8_t((s0 * inv + 32768) >> 16);
        d[1] = uint8_t((s1 * inv + 32768) >> 16);
        d[2] = uint8_t((s2 * inv + 32768) >> 16);
        const uint8_t* in = src + size_t(std::min(x + radius + 1, n - 1)) * 3;
        const uint8_t* out = src + size_t(std::max(x - radius, 0)) * 3;
        s0 += uint32_t(in[0]) - out[0];
        s1 += uint32_t(in[1]) - out[1];
        s2 += uint32_t(in[2]) - out[2];
    }
}

} // namespace

bool boxBlurRows(Raster& r, int32_t radius, Ticker& t) {
    const uint32_t inv = reciprocal(2 * radius + 1);
    std::vector<uint8_t> line(size_t(r.width) * 3);
    for (int32_t y = 0; y < r.height; ++y) {
        blurLine(r.row(y), line.data(), r.width, radius, inv);
        std::memcpy(r.row(y), line.data(), line.size());
        if (!t.tick()) return false;
    }
    return true;
}

bool boxBlurColumns(Raster& r, int32_t radius, Ticker& t) {
    const uint32_t inv = reciprocal(2 * radius + 1);
    const size_t n = size_t(r.width) * 3;
    std::vector<uint32_t> sums(n, 0);
    std::vector<uint8_t> dst(r.px.size());
    for (int32_t k = -radius; k <= radius; ++k) {
        const uint8_t* p = r.row(std::clamp(k, 0, r.height - 1));
        for (size_t i = 0; i < n; ++i)
            sums[i] += p[i];
    }
    for (int32_t y = 0; y < r.height; ++y) {
        uint8_t* d = dst.data() + size_t(y) * n;
        for (size_t i = 0; i < n; ++i)
            d[i] = uint8_t((sums[i] * inv + 32768) >> 16);
        const uint8_t* in = r.row(std::min(y + radius + 1, r.height - 1));
        const uint8_t* out = r.row(std::max(y - radius, 0));
        for (size_t i = 0; i < n; ++i)
            sums[i] += uint32_t(in[i]) - out[i];
        if (!t.tick()) return false;
    }
    r.px.swap(dst);
    return true;
}

bool gaussLike(Raster& r, int32_t radius, Ticker& t) {
    for (int pass = 0; pass < 3; ++pass)
        if (!boxBlurRows(r, radius, t)) return false;
    for (int pass = 0; pass < 3; ++pass)
        if (!boxBlurColumns(r, radius, t)) return false;
    return true;
}

} // namespace fx
