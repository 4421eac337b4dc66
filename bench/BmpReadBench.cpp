// BMP decoding: our reader (bytes to packed DIB, as the codec's entry points
// do) against ImageMagick on the same in-memory files: the photo-like
// 1920x1080 picture as a 24-bit and as an 8-bit (palette) BMP.
#include "bench/BenchImages.h"
#include "bench/MagickPeer.h"
#include "libs/codec/core/BmpDecoder.h"
#include "platform/GlobalBlock.h"

#include <benchmark/benchmark.h>
#include <stdexcept>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void put(Bytes& b, size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A bottom-up BMP with a 40-byte header of the photo frame at 8 or 24 bits.
Bytes writeBmp(int bits) {
    const benchimages::IndexedFrame f = benchimages::photoFrame();
    const uint32_t colors = bits == 8 ? 256 : 0;
    const size_t stride = (size_t(f.width) * size_t(bits) / 8 + 3) / 4 * 4;
    const size_t offset = 54 + colors * 4;
    Bytes b(offset + stride * size_t(f.height));
    b[0] = 'B', b[1] = 'M';
    put(b, 2, uint32_t(b.size()), 4);
    put(b, 10, uint32_t(offset), 4);
    put(b, 14, 40, 4);
    put(b, 18, uint32_t(f.width), 4);
    put(b, 22, uint32_t(f.height), 4);
    put(b, 26, 1, 2);
    put(b, 28, uint32_t(bits), 2);
    put(b, 46, colors, 4);
    for (uint32_t i = 0; i < colors; ++i) // table entries are B, G, R, 0
        b[54 + 4 * i] = f.palette[i * 3 + 2], b[55 + 4 * i] = f.palette[i * 3 + 1],
                   b[56 + 4 * i] = f.palette[i * 3];
    for (int y = 0; y < f.height; ++y) {
        uint8_t* row = &b[offset + stride * size_t(f.height - 1 - y)];
        for (int x = 0; x < f.width; ++x) {
            const uint8_t index = f.pixels[size_t(y) * size_t(f.width) + size_t(x)];
            if (bits == 8) {
                row[x] = index;
            } else {
                for (int c = 0; c < 3; ++c)
                    row[3 * x + c] = f.palette[size_t(index) * 3 + size_t(2 - c)];
            }
        }
    }
    return b;
}

const Bytes& content(int bits) {
    static const Bytes b24 = writeBmp(24), b8 = writeBmp(8);
    return bits == 8 ? b8 : b24;
}

constexpr int64_t kPixels = 1920 * 1080;

void Read_ours_bmp(benchmark::State& state) {
    const Bytes& bytes = content(int(state.range(0)));
    for (auto _ : state) {
        zp::GlobalBlock out;
        if (gifcore::decodeBmpFile(bytes.data(), bytes.size(), gifcore::kBmpMaxPixels,
                                   gifcore::Progress(nullptr, nullptr), out) != 1)
            throw std::runtime_error("our BMP reader failed");
        benchmark::DoNotOptimize(out.get());
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

void Read_imagemagick_bmp(benchmark::State& state) {
    const Bytes& bytes = content(int(state.range(0)));
    for (auto _ : state)
        if (magickpeer::decode(bytes.data(), bytes.size(), "BMP") != uint64_t(kPixels))
            throw std::runtime_error("ImageMagick failed");
    state.SetItemsProcessed(state.iterations() * kPixels);
}

} // namespace

BENCHMARK(Read_ours_bmp)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(Read_imagemagick_bmp)->Arg(24)->Arg(8)->Unit(benchmark::kMillisecond);
