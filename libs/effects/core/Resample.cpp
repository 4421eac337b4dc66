#include "libs/effects/core/Resample.h"

#include <algorithm>
#include <new>
#include <vector>

namespace fx {

namespace {

constexpr int kWeightBits = 14;
constexpr int kOne = 1 << kWeightBits;

// The source pixels one output pixel draws on, and their weights (sum kOne).
struct Taps {
    std::vector<int32_t> start; // first source index per output index
    std::vector<int32_t> count; // taps per output index
    std::vector<int32_t> weight;
    int32_t stride = 0; // weights per output index
};

// Shrinking: each output pixel averages the source span it covers, partial
// pixels at its ends weighted by their covered part. Growing: the two source
// pixels around the output pixel's centre, bilinear.
Taps makeTaps(int32_t from, int32_t to) {
    Taps t;
    t.start.resize(size_t(to));
    t.count.resize(size_t(to));
    const double scale = double(from) / double(to);
    t.stride = scale > 1.0 ? int32_t(scale) + 2 : 2;
    t.weight.assign(size_t(to) * size_t(t.stride), 0);
    std::vector<double> w(size_t(t.stride));
    for (int32_t i = 0; i < to; ++i) {
        int32_t first = 0, n = 0;
        if (scale > 1.0) {
            const double a = i * scale, b = std::min((i + 1) * scale, double(from));
            first = int32_t(a);
            for (int32_t s = first; s < from && s < b && n < t.stride; ++s, ++n)
                w[size_t(n)] = (std::min(b, s + 1.0) - std::max(a, double(s))) / scale;
        } else {
            const double centre = std::clamp((i + 0.5) * scale - 0.5, 0.0, double(from - 1));
            first = std::min(int32_t(centre), from - 1);
            const double frac = centre - first;
            w[0] = 1.0 - frac;
            w[1] = frac;
            n = (first + 1 < from && frac > 0) ? 2 : 1;
            if (n == 1) w[0] = 1.0;
        }
        // Fixed point, the rounding left on the largest weight so the sum is exact.
        int32_t* out = t.weight.data() + size_t(i) * size_t(t.stride);
        int32_t sum = 0, largest = 0;
        for (int32_t k = 0; k < n; ++k) {
            out[k] = int32_t(w[size_t(k)] * kOne + 0.5);
            sum += out[k];
            if (out[k] > out[largest]) largest = k;
        }
        out[largest] += kOne - sum;
        t.start[size_t(i)] = first;
        t.count[size_t(i)] = n;
    }
    return t;
}

// One source row, resized horizontally, kept with 6 bits of fraction.
template <int C> void horizontal(const uint8_t* src, const Taps& t, int32_t width, uint16_t* out) {
    for (int32_t i = 0; i < width; ++i) {
        const int32_t* w = t.weight.data() + size_t(i) * size_t(t.stride);
        const uint8_t* p = src + size_t(t.start[size_t(i)]) * C;
        int32_t acc[C] = {};
        for (int32_t k = 0; k < t.count[size_t(i)]; ++k, p += C)
            for (int c = 0; c < C; ++c)
                acc[c] += w[k] * p[c];
        for (int c = 0; c < C; ++c)
            out[size_t(i) * C + size_t(c)] = uint16_t((acc[c] + (1 << 7)) >> 8);
    }
}

template <int C> bool smooth(const Plane& src, const Plane& dst, const ic::Progress* progress) {
    const Taps tx = makeTaps(src.width, dst.width);
    const Taps ty = makeTaps(src.height, dst.height);
    // Horizontally resized source rows, the last two kept: neighbouring
    // output rows share at most their edge row when shrinking and both rows
    // when growing, and a row's slot is its parity, so those are never
    // recomputed. (A window of source rows would need memory in proportion
    // to the shrink factor: gigabytes for 65535 rows to one.)
    const size_t line = size_t(dst.width) * C;
    std::vector<uint16_t> rows(line * 2);
    int32_t held[2] = {-1, -1};
    auto resized = [&](int32_t r) -> const uint16_t* {
        uint16_t* slot = rows.data() + line * size_t(r & 1);
        if (held[r & 1] != r) horizontal<C>(src.row(r), tx, dst.width, slot);
        held[r & 1] = r;
        return slot;
    };
    std::vector<int32_t> acc(line);
    for (int32_t y = 0; y < dst.height; ++y) {
        if (progress && !progress->row(y, dst.height)) return false;
        const int32_t first = ty.start[size_t(y)], n = ty.count[size_t(y)];
        const int32_t* w = ty.weight.data() + size_t(y) * size_t(ty.stride);
        std::fill(acc.begin(), acc.end(), 0);
        for (int32_t k = 0; k < n; ++k) {
            const uint16_t* r = resized(first + k);
            const int32_t wk = w[k];
            for (size_t i = 0; i < line; ++i)
                acc[i] += wk * r[i];
        }
        uint8_t* out = dst.row(y);
        for (size_t i = 0; i < line; ++i)
            out[i] = uint8_t(std::min((acc[i] + (1 << 19)) >> 20, 255));
    }
    return true;
}

// Source span [a, b) of output index i (at least one pixel).
void span(int32_t i, int32_t from, int32_t to, int32_t& a, int32_t& b) {
    a = int32_t(int64_t(i) * from / to);
    b = std::max(a + 1, int32_t(int64_t(i + 1) * from / to));
}

template <int C>
bool scans(const Plane& src, const Plane& dst, ScanMode mode, const ic::Progress* progress) {
    std::vector<int32_t> xa(size_t(dst.width)), xb(size_t(dst.width));
    for (int32_t x = 0; x < dst.width; ++x) {
        span(x, src.width, dst.width, xa[size_t(x)], xb[size_t(x)]);
        // Nearest: the pixel under the output pixel's centre.
        if (mode == ScanMode::Nearest) {
            xa[size_t(x)] = int32_t((2 * int64_t(x) + 1) * src.width / (2 * int64_t(dst.width)));
            xb[size_t(x)] = xa[size_t(x)] + 1;
        }
    }
    for (int32_t y = 0; y < dst.height; ++y) {
        if (progress && !progress->row(y, dst.height)) return false;
        int32_t ya, yb;
        span(y, src.height, dst.height, ya, yb);
        if (mode == ScanMode::Nearest) {
            ya = int32_t((2 * int64_t(y) + 1) * src.height / (2 * int64_t(dst.height)));
            yb = ya + 1;
        }
        uint8_t* out = dst.row(y);
        for (int32_t x = 0; x < dst.width; ++x) {
            uint8_t v[C];
            std::copy_n(src.row(ya) + size_t(xa[size_t(x)]) * C, C, v);
            for (int32_t sy = ya; sy < yb; ++sy) {
                const uint8_t* p = src.row(sy) + size_t(xa[size_t(x)]) * C;
                for (int32_t sx = xa[size_t(x)]; sx < xb[size_t(x)]; ++sx, p += C)
                    for (int c = 0; c < C; ++c)
                        v[c] = mode == ScanMode::Or ? uint8_t(v[c] | p[c]) : uint8_t(v[c] & p[c]);
            }
            std::copy_n(v, C, out + size_t(x) * C);
        }
    }
    return true;
}

bool validPlanes(const Plane& src, const Plane& dst) {
    return src.data && dst.data && src.width > 0 && src.height > 0 && dst.width > 0 &&
           dst.height > 0;
}

} // namespace

bool resampleSmooth(const Plane& src, const Plane& dst, int channels,
                    const ic::Progress* progress) {
    if (!validPlanes(src, dst)) return false;
    try {
        return channels == 3 ? smooth<3>(src, dst, progress) : smooth<1>(src, dst, progress);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool resampleScans(const Plane& src, const Plane& dst, int channels, ScanMode mode,
                   const ic::Progress* progress) {
    if (!validPlanes(src, dst)) return false;
    try {
        return channels == 3 ? scans<3>(src, dst, mode, progress)
                             : scans<1>(src, dst, mode, progress);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace fx
