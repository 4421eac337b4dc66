// Transitions: the picture drawn onto a device context's surface a part at
// a time. Every method ranks each pixel (the order in which it appears);
// step s draws the ranks of its share, then the surface is presented and the
// step's delay passes.
#include "libs/effects/core/EffectJob.h"
#include "libs/effects/core/ScaleEffects.h"
#include "libs/imagecore/Quantizer.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace fx {

namespace {

// Alternate bands first (0, 2, 4 ...), then the ones between: the picture
// shows through everywhere at once, then fills in.
struct Interleave {
    int32_t bands;
    int32_t rank(int32_t band) const {
        return band % 2 == 0 ? band / 2 : (bands + 1) / 2 + band / 2;
    }
};

int32_t ceilDiv(int32_t a, int32_t b) {
    return (a + b - 1) / b;
}

class Ranking {
  public:
    Ranking(Transition kind, int32_t width, int32_t height, int32_t thickness)
        : kind_(kind), width_(width), height_(height), t_(thickness) {
        switch (kind) {
        case Transition::Horizontal:
            ranks_ = ceilDiv(height, t_);
            break;
        case Transition::Vertical:
            ranks_ = ceilDiv(width, t_);
            break;
        case Transition::Diagonals:
            ranks_ = ceilDiv(width + height - 1, t_);
            break;
        case Transition::DiagonalSquares:
            ranks_ = ceilDiv(width, t_) + ceilDiv(height, t_) - 1;
            break;
        case Transition::Rectangles:
            ranks_ = std::max(width, height);
            break;
        }
    }
    int32_t ranks() const { return ranks_; }
    int32_t rank(int32_t x, int32_t y) const {
        const Interleave order{ranks_};
        switch (kind_) {
        case Transition::Horizontal:
            return order.rank(y / t_);
        case Transition::Vertical:
            return order.rank(x / t_);
        case Transition::Diagonals:
            return order.rank((x + y) / t_);
        case Transition::DiagonalSquares:
            return order.rank(x / t_ + y / t_);
        case Transition::Rectangles: {
            // Distance from the centre as a share of the half size: rings grow outwards.
            const int64_t dx = std::abs(2 * int64_t(x) + 1 - width_);
            const int64_t dy = std::abs(2 * int64_t(y) + 1 - height_);
            const int64_t r = std::max(dx * ranks_ / width_, dy * ranks_ / height_);
            return int32_t(std::min<int64_t>(r, ranks_ - 1));
        }
        }
        return 0;
    }

  private:
    Transition kind_;
    int32_t width_, height_, t_;
    int32_t ranks_ = 1;
};

// The picture as 0x00RRGGBB words, top row first.
bool loadPicture(uintptr_t picture, bool isDib, std::vector<uint32_t>& pixels, int32_t& width,
                 int32_t& height) {
    if (!isDib) {
        if (!GetDeviceBitmapSize(picture, &width, &height)) return false;
        const uint32_t* bits = DeviceBitmapBits(picture);
        if (!bits) return false;
        pixels.assign(bits, bits + size_t(width) * size_t(height));
        return true;
    }
    EffectJob job(picture, false);
    if (!job.ok()) return false;
    pixels = ic::toRgb(job.in());
    width = job.in().width;
    height = job.in().height;
    return !pixels.empty();
}

} // namespace

int32_t transition(HDC dc, uintptr_t picture, bool isDib, Transition kind, int32_t thickness,
                   int32_t delay) {
    return guarded([&]() -> int32_t {
        int32_t surfaceWidth = 0, surfaceHeight = 0, width = 0, height = 0;
        if (!GetSurfaceDCSize(dc, &surfaceWidth, &surfaceHeight)) return 0;
        std::vector<uint32_t> pixels;
        if (!loadPicture(picture, isDib, pixels, width, height)) return 0;
        // Drawn at the surface's top left corner, clipped to it.
        const int32_t w = std::min(width, surfaceWidth), h = std::min(height, surfaceHeight);
        const Ranking ranking(kind, w, h, std::clamp(thickness, 1, std::max(w, h)));
        std::vector<int32_t> rank(size_t(w) * size_t(h));
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                rank[size_t(y) * size_t(w) + size_t(x)] = ranking.rank(x, y);
        // Ranks no pixel has (rectangles on an oblong picture) are dropped,
        // so that every step draws something.
        std::vector<int32_t> dense(size_t(ranking.ranks()), 0);
        for (int32_t r : rank)
            dense[size_t(r)] = 1;
        int32_t ranks = 0;
        for (int32_t& d : dense)
            d = d ? ranks++ : -1;
        for (int32_t& r : rank)
            r = dense[size_t(r)];
        const int32_t steps = std::min(ranks, kMaxTransitionSteps);
        const auto pause = std::chrono::milliseconds(std::clamp(delay, 0, 1000));
        for (int32_t s = 0; s < steps; ++s) {
            const int32_t from = int32_t(int64_t(ranks) * s / steps);
            const int32_t to = int32_t(int64_t(ranks) * (s + 1) / steps);
            // The surface may have been deleted by the presenter: look it up each step.
            uint32_t* surface = SurfaceDCBits(dc);
            if (!surface) return 0;
            for (int32_t y = 0; y < h; ++y) {
                const int32_t* r = rank.data() + size_t(y) * size_t(w);
                const uint32_t* src = pixels.data() + size_t(y) * size_t(width);
                uint32_t* dst = surface + size_t(y) * size_t(surfaceWidth);
                for (int32_t x = 0; x < w; ++x)
                    if (r[x] >= from && r[x] < to) dst[x] = src[x];
            }
            PresentSurfaceDC(dc);
            if (pause.count() > 0) std::this_thread::sleep_for(pause);
        }
        return 1;
    });
}

} // namespace fx
