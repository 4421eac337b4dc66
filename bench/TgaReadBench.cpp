// TGA decoding: our reader (bytes to packed DIB, as the codec's entry points
// do) against ImageMagick on the same in-memory files: the photo-like
// 1920x1080 picture as a 24-bit TGA, plain (arg 0) and run-length (arg 1).
#include "bench/BenchImages.h"
#include "bench/MagickPeer.h"
#include "libs/codec/core/TgaDecoder.h"
#include "platform/GlobalBlock.h"

#include <benchmark/benchmark.h>
#include <stdexcept>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes writeTga(bool rle) {
    const benchimages::IndexedFrame f = benchimages::photoFrame();
    Bytes b = {0,
               0,
               uint8_t(rle ? 10 : 2),
               0,
               0,
               0,
               0,
               0,
               0,
               0,
               0,
               0,
               uint8_t(f.width),
               uint8_t(f.width >> 8),
               uint8_t(f.height),
               uint8_t(f.height >> 8),
               24,
               0};
    auto bgr = [&](size_t i) {
        const size_t c = size_t(f.pixels[i]) * 3;
        return Bytes{f.palette[c + 2], f.palette[c + 1], f.palette[c]};
    };
    const size_t count = size_t(f.width) * size_t(f.height);
    // Bottom-up, the usual origin.
    auto at = [&](size_t k) {
        const size_t y = size_t(f.height) - 1 - k / size_t(f.width);
        return y * size_t(f.width) + k % size_t(f.width);
    };
    for (size_t k = 0; k < count;) {
        if (!rle) {
            const Bytes p = bgr(at(k++));
            b.insert(b.end(), p.begin(), p.end());
            continue;
        }
        size_t n = 1;
        while (k + n < count && n < 128 && bgr(at(k + n)) == bgr(at(k)))
            ++n;
        if (n > 1) {
            const Bytes p = bgr(at(k));
            b.push_back(uint8_t(0x80 | (n - 1)));
            b.insert(b.end(), p.begin(), p.end());
        } else {
            size_t m = 1;
            while (k + m < count && m < 128 && bgr(at(k + m)) != bgr(at(k + m - 1)))
                ++m;
            b.push_back(uint8_t(m - 1));
            for (size_t i = 0; i < m; ++i) {
                const Bytes p = bgr(at(k + i));
                b.insert(b.end(), p.begin(), p.end());
            }
            n = m;
        }
        k += n;
    }
    return b;
}

const Bytes& content(bool rle) {
    static const Bytes plain = writeTga(false), packed = writeTga(true);
    return rle ? packed : plain;
}

constexpr int64_t kPixels = 1920 * 1080;

void Read_ours_tga(benchmark::State& state) {
    const Bytes& bytes = content(state.range(0) != 0);
    for (auto _ : state) {
        zp::GlobalBlock out;
        if (gifcore::decodeTga(bytes.data(), bytes.size(), {}, gifcore::Progress(nullptr, nullptr),
                               out) != 1)
            throw std::runtime_error("our TGA reader failed");
        benchmark::DoNotOptimize(out.get());
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

void Read_imagemagick_tga(benchmark::State& state) {
    const Bytes& bytes = content(state.range(0) != 0);
    for (auto _ : state)
        if (magickpeer::decode(bytes.data(), bytes.size(), "TGA") != uint64_t(kPixels))
            throw std::runtime_error("ImageMagick failed");
    state.SetItemsProcessed(state.iterations() * kPixels);
}

} // namespace

BENCHMARK(Read_ours_tga)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Read_imagemagick_tga)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
