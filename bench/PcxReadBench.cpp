// PCX decoding: our reader (bytes to packed DIB, as the codec's entry points
// do) against ImageMagick on the same in-memory files: the photo-like
// 1920x1080 picture as an 8-bit (VGA palette) and a 24-bit (three planes)
// run-length PCX.
#include "bench/BenchImages.h"
#include "bench/MagickPeer.h"
#include "libs/codec/core/PcxDecoder.h"
#include "platform/GlobalBlock.h"

#include <benchmark/benchmark.h>
#include <stdexcept>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Run-length codes one line, as PCX writers do (runs end at the line).
void encodeLine(const Bytes& line, Bytes& out) {
    for (size_t i = 0; i < line.size();) {
        size_t n = 1;
        while (i + n < line.size() && n < 63 && line[i + n] == line[i])
            ++n;
        if (n > 1 || line[i] >= 0xC0) out.push_back(uint8_t(0xC0 | n));
        out.push_back(line[i]);
        i += n;
    }
}

Bytes writePcx(int bits) {
    const benchimages::IndexedFrame f = benchimages::photoFrame();
    const int planes = bits == 8 ? 1 : 3;
    const size_t bpl = size_t(f.width + 1) & ~size_t(1);
    Bytes b(128, 0);
    b[0] = 0x0A, b[1] = 5, b[2] = 1, b[3] = 8;
    b[8] = uint8_t(f.width - 1), b[9] = uint8_t((f.width - 1) >> 8);
    b[10] = uint8_t(f.height - 1), b[11] = uint8_t((f.height - 1) >> 8);
    b[65] = uint8_t(planes), b[66] = uint8_t(bpl), b[67] = uint8_t(bpl >> 8);
    Bytes line(bpl);
    for (int y = 0; y < f.height; ++y)
        for (int p = 0; p < planes; ++p) {
            for (int x = 0; x < f.width; ++x) {
                const uint8_t index = f.pixels[size_t(y) * size_t(f.width) + size_t(x)];
                line[size_t(x)] = planes == 1 ? index : f.palette[size_t(index) * 3 + size_t(p)];
            }
            encodeLine(line, b);
        }
    if (planes == 1) {
        b.push_back(0x0C);
        b.insert(b.end(), f.palette.begin(), f.palette.end());
    }
    return b;
}

const Bytes& content(int bits) {
    static const Bytes b24 = writePcx(24), b8 = writePcx(8);
    return bits == 8 ? b8 : b24;
}

constexpr int64_t kPixels = 1920 * 1080;

void Read_ours_pcx(benchmark::State& state) {
    const Bytes& bytes = content(int(state.range(0)));
    for (auto _ : state) {
        zp::GlobalBlock out;
        if (gifcore::decodePcx(bytes.data(), bytes.size(), {}, gifcore::Progress(nullptr, nullptr),
                               out) != 1)
            throw std::runtime_error("our PCX reader failed");
        benchmark::DoNotOptimize(out.get());
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

void Read_imagemagick_pcx(benchmark::State& state) {
    const Bytes& bytes = content(int(state.range(0)));
    for (auto _ : state)
        if (magickpeer::decode(bytes.data(), bytes.size(), "PCX") != uint64_t(kPixels))
            throw std::runtime_error("ImageMagick failed");
    state.SetItemsProcessed(state.iterations() * kPixels);
}

} // namespace

BENCHMARK(Read_ours_pcx)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(Read_imagemagick_pcx)->Arg(8)->Arg(24)->Unit(benchmark::kMillisecond);
