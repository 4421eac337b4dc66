// PNG decoding: our reader (libpng from memory to a packed DIB, as the
// codec's entry points do) against ImageMagick on the same bytes: the
// photo-like 1920x1080 picture as a 24-bit RGB PNG written by libpng's
// simplified writer.
#include "bench/BenchImages.h"
#include "bench/MagickPeer.h"
#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/PngDecoder.h"
#include "platform/GlobalBlock.h"

#include <benchmark/benchmark.h>
#include <png.h>
#include <stdexcept>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes writePng() {
    const benchimages::IndexedFrame f = benchimages::photoFrame();
    Bytes rgb(size_t(f.width) * size_t(f.height) * 3);
    for (size_t i = 0; i < f.pixels.size(); ++i)
        for (size_t c = 0; c < 3; ++c)
            rgb[i * 3 + c] = f.palette[size_t(f.pixels[i]) * 3 + c];
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(f.width);
    image.height = png_uint_32(f.height);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr))
        throw std::runtime_error("PNG size");
    Bytes out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr))
        throw std::runtime_error("PNG write");
    out.resize(size);
    return out;
}

const Bytes& content() {
    static const Bytes bytes = writePng();
    return bytes;
}

constexpr int64_t kPixels = 1920 * 1080;

void Read_ours_png(benchmark::State& state) {
    const Bytes& bytes = content();
    for (auto _ : state) {
        zp::GlobalBlock out;
        if (gifcore::decodePng(bytes.data(), bytes.size(), {}, gifcore::Progress(nullptr, nullptr),
                               out) != PVE_OK)
            throw std::runtime_error("our PNG reader failed");
        benchmark::DoNotOptimize(out.get());
    }
    state.SetItemsProcessed(state.iterations() * kPixels);
}

void Read_imagemagick_png(benchmark::State& state) {
    const Bytes& bytes = content();
    for (auto _ : state)
        if (magickpeer::decode(bytes.data(), bytes.size(), "PNG") != uint64_t(kPixels))
            throw std::runtime_error("ImageMagick failed");
    state.SetItemsProcessed(state.iterations() * kPixels);
}

} // namespace

BENCHMARK(Read_ours_png)->Unit(benchmark::kMillisecond);
BENCHMARK(Read_imagemagick_png)->Unit(benchmark::kMillisecond);
